#pragma once
// The framework's seven-segment display: QLCDNumber draws the digits over a themed background fill, in a
// colour of the control's own. The text last shown through the control is kept, so that it is written back as
// it was given ("12:30" stays "12:30", 1234567 stays 1234567).
#include "TEVQWidgetMacros.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"

#include <QLCDNumber>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQLCDNumber;

class TEV_EXPORT TEVQLCDNumberImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQLCDNumberImpl(TEVQLCDNumber* owner);
    ~TEVQLCDNumberImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    QColor textColor; // invalid until set
    TEVQtLib::FillStyle background;
    QString numText;       // the text last given to the display through the control
    double numValue = 0.0; // the display's value right after that text was shown

private:
    TEVQLCDNumber* lcd() const;
    TEVQtLib::TEVFillCache m_back;
};

class TEV_EXPORT TEVQLCDNumber : public QLCDNumber, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQLCDNumber, "qtlcdnumber")
public:
    // Qt's 5 digits, no frame, a transparent style-sheet background behind the themed one.
    explicit TEVQLCDNumber(QWidget* parent = nullptr);
    ~TEVQLCDNumber() override;

    static TEVQtLib::ControlInfo getProps();

    // One background whatever the state argument. No repaint.
    void setBackground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CommonCtrlState state) const;
    // The digits' colour in every palette group; an invalid colour changes nothing. No repaint.
    void setColor(const QColor& color);
    // The colour set, or the palette's window-text colour while none is.
    QColor getColor() const;
    // Shows the text and keeps it.
    void setNumText(const QString& text);
    // The text last shown through this control while the display still holds its value; otherwise the value
    // in the shortest form that reads back the same.
    QString getNumText() const;
public slots:
    // QLCDNumber's display, keeping the text shown. They hide QLCDNumber's slots of the same name and are slots
    // themselves, so that a connection made by name reaches them; a call through a QLCDNumber pointer is still
    // seen, by the value changing.
    void display(const QString& text);
    void display(int number);
    void display(double number);

public:
    TEVQLCDNumberImpl* painter() const { return tevImpl<TEVQLCDNumberImpl>(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
