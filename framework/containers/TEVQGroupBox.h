#pragma once
// A titled frame: a one-pixel outline whose top edge is interrupted by the title. It draws only the outline
// and the title; its children are ordinary child widgets placed by whoever creates them.
#include "TEVQControlInfo.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QColor>
#include <QSize>
#include <QString>
#include <QWidget>

class TEVQGroupBox;

class TEV_EXPORT TEVQGroupBoxImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQGroupBoxImpl(TEVQGroupBox* owner);
    ~TEVQGroupBoxImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // The title's size in its style, measured again only when the text or the style changed.
    QSize titleSize();

    bool showText = true;
    TEVQtLib::FillStyle background; // kept, read and written, not painted
    QString text;
    TEVQtLib::TextStyleDesc textStyle;
    QColor lineColor{0, 0, 0, 255};
    int lineSize = 1; // distance of the bottom line from the bottom edge

private:
    QString measuredText;
    TEVQtLib::TextStyleDesc measuredStyle;
    QString measuredFamily;
    QSize measured;
    bool measuredValid = false;
    TEVQtLib::TEVTextCache titleCache; // the title between paints
};

class TEV_EXPORT TEVQGroupBox : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(TEVQGroupBox, QWidget, "qtgroupbox")
public:
    explicit TEVQGroupBox(QWidget* parent = nullptr);
    ~TEVQGroupBox() override;

    static TEVQtLib::ControlInfo getProps();

    // None of the setters repaints; the state arguments are not used.
    void setText(const QString& text);
    const QString& getText() const;
    void setShowText(bool show);
    bool getShowText() const;
    void setTextStyle(TEVQtLib::CommonCtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::CommonCtrlState state) const;
    void setBackground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CommonCtrlState state) const;
    void setLineColor(QColor color);
    QColor getLineColor() const;
    void setLineSize(int size);
    int getLineSize() const;

    TEVQGroupBoxImpl* painter() const { return tevImpl<TEVQGroupBoxImpl>(); }
};
