#pragma once
// A whole framework control written with only its own lines: a four-state background, one text style and a
// "text" attribute. Registered nowhere; the widget-base tests build it directly.
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QWidget>

#include <vector>

class TestWidgetImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TestWidgetImpl(QWidget* owner, const char* typeName = "qttestwidget");

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    TEVQtLib::FillStyle background[4];
    TEVQtLib::TextStyleDesc textStyle;
    QString text;
    int reads = 0;                                // JSON elements read
    std::vector<TEVQtLib::CtrlState> paintedStates; // state of every paint
};

class TestWidget : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(TestWidget, QWidget, "qttestwidget")
public:
    explicit TestWidget(QWidget* parent = nullptr);
    TestWidgetImpl* painter() const { return tevImpl<TestWidgetImpl>(); }
};

// A framework widget derived from another one: only its type name and its painter are its own.
class TestSubWidget : public TestWidget
{
    Q_OBJECT
    TEV_WIDGET_SUBCLASS(TestSubWidget, "qttestsub")
public:
    explicit TestSubWidget(QWidget* parent = nullptr);
};
