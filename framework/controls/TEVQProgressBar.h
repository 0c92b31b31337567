#pragma once
// The framework's progress bar: Qt's value, range and orientation, painted as a background and the part the
// value covers (a bar growing from the left or from the bottom, or a sector swept clockwise over an angle
// range), with an optional text of the value followed by "%". An empty range covers nothing.
#include "TEVQWidgetMacros.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QProgressBar>
#include <QRegion>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQProgressBar;

class TEV_EXPORT TEVQProgressBarImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQProgressBarImpl(TEVQProgressBar* owner);
    ~TEVQProgressBarImpl() override;

    // No disabled-state bookkeeping.
    void paintEvent(QWidget* owner, QPaintEvent* event) override;
    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // The covered share of the range, 0 to 1; 0 for an empty range.
    float fraction() const;

    bool isCircle = false;
    // Degrees; 0 points down from the centre and angles grow clockwise. Until a range is set: the full turn
    // starting straight down.
    int circleStartAngle = 1;
    int circleEndAngle = 361;
    bool showText = false;
    TEVQtLib::TextStyleDesc textStyle;
    TEVQtLib::FillStyle background;
    TEVQtLib::FillStyle foreground;

private:
    TEVQProgressBar* bar() const;
    const QRegion& sector(int endAngle, int width, int height);

    TEVQtLib::TEVFillCache m_back;
    TEVQtLib::TEVFillCache m_fore;
    TEVQtLib::TEVTextCache m_text;
    int m_textValue = 0;
    QString m_valueText;
    // The last sector, kept while its angles and the size stay.
    QRegion m_sector;
    int m_sectorKey[4] = {0, 0, -1, -1}; // start, end, width, height
};

class TEV_EXPORT TEVQProgressBar : public QProgressBar, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQProgressBar, "qtprogressbar")
public:
    explicit TEVQProgressBar(QWidget* parent = nullptr);
    ~TEVQProgressBar() override;

    static TEVQtLib::ControlInfo getProps();

    // One background and one foreground whatever the state argument; no repaint.
    void setBackground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CommonCtrlState state) const;
    void setForeground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getForeground(TEVQtLib::CommonCtrlState state) const;
    void setShowText(bool show);
    bool getShowText() const;
    void setCircleProgressBar(bool circle);
    bool getIsCircleProgressBar() const;
    // Kept only when end > start and start >= 1.
    void setCircleAngleRange(int start, int end);
    void getCirleAngleRange(int& start, int& end) const;

    TEVQProgressBarImpl* painter() const { return tevImpl<TEVQProgressBarImpl>(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
