#pragma once
// The framework's themed slider: Qt's slider behaviour (value, range, dragging, keys, page steps) with a
// painted channel, the part of the channel up to the value, and a four-state thumb. The thumb's size is the
// control's own; the framework's proxy style (CScrollBarStyle) asks the slider for it (ITEVQStyleParts) and hands
// it to Qt, so that hit testing and dragging use the thumb that is painted.
#include "ITEVQStyleParts.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QSlider>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQSlider;

class TEV_EXPORT TEVQSliderImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQSliderImpl(TEVQSlider* owner);
    ~TEVQSliderImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override; // hover follows the thumb, not the widget
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // The thumb moved (keys, the wheel, code) under the pointer's last place inside the slider: hot exactly
    // while it lies under it, unless it is held.
    void thumbMoved();

    TEVQtLib::FillStyle background;   // the whole channel
    TEVQtLib::FillStyle foreground;   // the channel from its start to the value
    TEVQtLib::FillStyle thumbStyles[4]; // CtrlState order
    int channelHeight = 10;
    int thumbWidth = 20;
    int thumbHeight = 20;
    // Where the pointer last moved inside the slider; none once it has left.
    QPoint pointer;
    bool pointerInside = false;
    // The channel, the foreground (for its last length) and each state's thumb as last drawn.
    TEVQtLib::TEVFillCache channelCache;
    TEVQtLib::TEVFillCache foregroundCache;
    TEVQtLib::TEVFillCache thumbCaches[4];
    // The thumb rectangle of the last query, with what it was computed from.
    struct ThumbRectKey
    {
        bool valid = false;
        QSize size;
        int value = 0;
        int position = 0;
        int minimum = 0;
        int maximum = 0;
        int thumbWidth = 0;
        int thumbHeight = 0;
        int flags = 0; // orientation, inversions, direction, tick position
        int tickInterval = 0;
        const void* style = nullptr;
        bool operator==(const ThumbRectKey& o) const
        {
            return valid == o.valid && size == o.size && value == o.value && position == o.position &&
                   minimum == o.minimum && maximum == o.maximum && thumbWidth == o.thumbWidth &&
                   thumbHeight == o.thumbHeight && flags == o.flags && tickInterval == o.tickInterval &&
                   style == o.style;
        }
    };
    ThumbRectKey thumbRectKey;
    QRect thumbRect;

private:
    TEVQSlider* slider() const;
    void setStateAndRepaint(TEVQtLib::CtrlState next);
};

class TEV_EXPORT TEVQSlider : public QSlider, public TEVQtLib::ITEVQWidgetBase, public TEVQtLib::ITEVQStyleParts
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQSlider, "qtslider")
public:
    // The range is 0..100, the value 0.
    explicit TEVQSlider(QWidget* parent = nullptr, Qt::Orientation orientation = Qt::Horizontal);
    ~TEVQSlider() override;

    static TEVQtLib::ControlInfo getProps();

    void setIsHorizontal(bool horizontal);
    bool getIsHorizontal() const;
    void setThumbSize(int width, int height);
    void getThumbSize(int& width, int& height) const;
    QSize getThumbBtnSize() const;
    // The thumb's extent along the slider.
    int getSliderLength() const;
    // The handle rectangle of the current style, resized to the thumb (top-left kept).
    QRect getThumbRect() const;
    void setChannelHeight(int height);
    int getChannelHeight() const;

    // For the framework's proxy style: the slider length is the thumb's extent along the slider, and the handle
    // is the thumb, centred across the groove.
    bool stylePixelMetric(QStyle::PixelMetric metric, int& value) const override;
    void styleSubControlRect(QStyle::ComplexControl control, const QStyleOptionComplex* option,
                             QStyle::SubControl subControl, QRect& rect) const override;

    // One background and one foreground whatever the state argument; no setter repaints.
    void setBackgroundStyle(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackgroundStyle(TEVQtLib::CommonCtrlState state) const;
    void setForegroundStyle(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getForegroundStyle(TEVQtLib::CommonCtrlState state) const;
    // States 0..3; other values are ignored (the getter then gives the normal style).
    void setThumbStyle(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getThumbStyle(TEVQtLib::CtrlState state) const;

    TEVQSliderImpl* painter() const { return tevImpl<TEVQSliderImpl>(); }

protected:
    void sliderChange(SliderChange change) override;
    QRect computeThumbRect() const;
    void paintEvent(QPaintEvent* event) override;
    // Qt's handlers emit the slider's signals; a slot may delete the slider (its press signal comes last).
    TEV_WIDGET_BASE_THEN_PAINTER(QSlider, mousePressEvent, QMouseEvent, tevForwardMousePress)
    TEV_WIDGET_BASE_THEN_PAINTER(QSlider, mouseReleaseEvent, QMouseEvent, tevForwardMouseRelease)
    TEV_WIDGET_BASE_THEN_PAINTER(QSlider, mouseMoveEvent, QMouseEvent, tevForwardMouseMove)
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
