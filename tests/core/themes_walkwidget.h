#pragma once
// A framework widget that counts how often it re-reads its theme and hears of a language change.
#include "TEVQWidgetMacros.h"

#include <QWidget>

#include <functional>

class WalkWidgetImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit WalkWidgetImpl(QWidget* owner);
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    void notifyChangeLanguage() override;

    int themeReads = 0;
    int languageChanges = 0;
    int mark = 0; // "mark" attribute of the last element read
    std::function<void()> onNotify; // run on every theme read and language change
};

class WalkWidget : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(WalkWidget, QWidget, "qtwalkwidget")
public:
    explicit WalkWidget(QWidget* parent = nullptr);
    WalkWidgetImpl* painter() const { return tevImpl<WalkWidgetImpl>(); }
};
