#include "TEVQSlider.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionSlider>

using namespace TEVQtLib;

namespace {


constexpr int kDefaultThumb = 20;
constexpr int kDefaultChannel = 10;
constexpr int kDefaultMinimum = 0;
constexpr int kDefaultMaximum = 100;

// Thumb and channel sizes are kept within what a widget can be, so that no geometry sum overflows.
int clampSize(int v) { return qBound(0, v, QWIDGETSIZE_MAX); }


} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQSliderImpl::TEVQSliderImpl(TEVQSlider* ownerSlider) : TEVQWidgetBaseImpl(ownerSlider, TEVQSlider::typeName()) {}

TEVQSliderImpl::~TEVQSliderImpl() = default;

TEVQSlider* TEVQSliderImpl::slider() const { return static_cast<TEVQSlider*>(owner); }

void TEVQSliderImpl::draw(QPainter* painter, const QRect& rect)
{
    TEVQSlider* s = slider();
    if (!s)
        return;
    // In 64 bits: a range of the whole int scale does not overflow.
    const qint64 span = qint64(s->maximum()) - s->minimum();
    const float divisor = span != 0 ? float(span) : 100.0f;
    const float f = float(qint64(s->value()) - s->minimum()) / divisor;

    if (s->orientation() == Qt::Horizontal) {
        const int y = rect.top() + (rect.height() - channelHeight) / 2;
        channelCache.draw(painter, background, rect.left(), y, rect.width(), channelHeight);
        const int length = int(float(rect.width()) * f);
        foregroundCache.draw(painter, foreground, rect.left(), y, length, channelHeight);
    } else {
        const int x = rect.left() + (rect.width() - channelHeight) / 2;
        channelCache.draw(painter, background, x, rect.top(), channelHeight, rect.height());
        const int length = int(float(rect.height()) * f);
        foregroundCache.draw(painter, foreground, x, rect.bottom() - length, channelHeight, length);
    }
    const int thumbState = tevSafeState(state);
    thumbCaches[thumbState].draw(painter, thumbStyles[thumbState], s->getThumbRect());
}

void TEVQSliderImpl::setStateAndRepaint(CtrlState next)
{
    if (state == next)
        return;
    state = next;
    if (owner)
        owner->repaint();
}

void TEVQSliderImpl::enterEvent(QEvent*) {}

void TEVQSliderImpl::leaveEvent(QEvent*)
{
    pointerInside = false;
    setStateAndRepaint(CtrlStateNormal);
}

void TEVQSliderImpl::mouseMoveEvent(QMouseEvent* event)
{
    pointer = event->pos();
    pointerInside = true;
    // A pressed thumb stays pressed while it is dragged.
    if (state == CtrlStatePressed || !slider())
        return;
    setStateAndRepaint(slider()->getThumbRect().contains(event->pos()) ? CtrlStateHot : CtrlStateNormal);
}

void TEVQSliderImpl::mousePressEvent(QMouseEvent* event)
{
    if (slider() && state != CtrlStatePressed && slider()->getThumbRect().contains(event->pos()))
        setStateAndRepaint(CtrlStatePressed);
}

void TEVQSliderImpl::mouseReleaseEvent(QMouseEvent* event)
{
    if (slider())
        setStateAndRepaint(slider()->getThumbRect().contains(event->pos()) ? CtrlStateHot : CtrlStateNormal);
}

void TEVQSliderImpl::thumbMoved()
{
    if (!pointerInside || !slider() || state == CtrlStatePressed || !owner->isEnabled())
        return;
    // Qt repaints the moved thumb itself.
    state = slider()->getThumbRect().contains(pointer) ? CtrlStateHot : CtrlStateNormal;
}

bool TEVQSliderImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQSlider* s = slider();
    if (!json || !s)
        return result;
    TEVStyleEntries styles;
    styles.fill(0, background);
    styles.fill(2, foreground);
    // The thumb is written as one entry only when its four states are equal, so that no named state is lost.
    styles.fillGroup(4, thumbStyles, TEVStyleEntries::GroupRule::NotAllEqual);
    Json::Value& element = *json;
    if (load) {
        styles.read(element);
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs && json::isObject(*attrs)) {
            // The keys of "attr", found in one walk (the order of the names is that of the enumeration).
            enum { IsHor, ThumbW, ThumbH, ChannelSize, Max, Min, Val };
            static const json::Keys keys{"isHor", "thumbW", "thumbH", "channelSize", "max", "min", "val"};
            Q_ASSERT(keys.size() == std::size_t(Val) + 1);
            const json::Record a(*attrs, keys);
            bool horizontal = true;
            json::read(a[IsHor], horizontal);
            s->setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);
            if (json::read(a[ThumbW], thumbWidth))
                thumbWidth = clampSize(thumbWidth);
            if (json::read(a[ThumbH], thumbHeight))
                thumbHeight = clampSize(thumbHeight);
            if (json::read(a[ChannelSize], channelHeight))
                channelHeight = clampSize(channelHeight);
            // A new range may move the value: a receiver of valueChanged() may delete the slider, and this
            // painter with it.
            const QPointer<QWidget> alive(s);
            int value = s->maximum();
            json::read(a[Max], value);
            s->setMaximum(value);
            if (!alive)
                return result;
            value = s->minimum();
            json::read(a[Min], value);
            s->setMinimum(value);
            if (!alive)
                return result;
            value = 0;
            json::read(a[Val], value);
            s->setSliderPosition(value);
        }
        return result;
    }

    styles.write(element);
    Json::Value& attrs = ownAttrs(element, {"isHor", "thumbW", "thumbH", "channelSize", "min", "max", "val"});
    if (s->orientation() != Qt::Horizontal)
        attrs["isHor"] = 0;
    if (thumbWidth != kDefaultThumb)
        attrs["thumbW"] = thumbWidth;
    if (thumbHeight != kDefaultThumb)
        attrs["thumbH"] = thumbHeight;
    if (channelHeight != kDefaultChannel)
        attrs["channelSize"] = channelHeight;
    if (s->minimum() != kDefaultMinimum)
        attrs["min"] = s->minimum();
    if (s->maximum() != kDefaultMaximum)
        attrs["max"] = s->maximum();
    if (s->value() != 0)
        attrs["val"] = s->value();
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQSlider::TEVQSlider(QWidget* parent, Qt::Orientation orientation) : QSlider(parent)
{
    // The range the JSON writer takes as the default, so that a slider saved with it reads back the same.
    setRange(kDefaultMinimum, kDefaultMaximum);
    tevSetImpl(new TEVQSliderImpl(this), false);
    setOrientation(orientation);
    painter()->applyTheme();
}

TEVQSlider::~TEVQSlider() = default;

void TEVQSlider::setIsHorizontal(bool horizontal) { setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical); }

bool TEVQSlider::getIsHorizontal() const { return orientation() == Qt::Horizontal; }

void TEVQSlider::setThumbSize(int width, int height)
{
    painter()->thumbWidth = clampSize(width);
    painter()->thumbHeight = clampSize(height);
}

void TEVQSlider::getThumbSize(int& width, int& height) const
{
    width = painter()->thumbWidth;
    height = painter()->thumbHeight;
}

QSize TEVQSlider::getThumbBtnSize() const { return QSize(painter()->thumbWidth, painter()->thumbHeight); }

int TEVQSlider::getSliderLength() const
{
    return orientation() == Qt::Horizontal ? painter()->thumbWidth : painter()->thumbHeight;
}

QRect TEVQSlider::getThumbRect() const
{
    // Asked on every paint and mouse move: the style is asked again only when something it depends on changed.
    TEVQSliderImpl* p = painter();
    TEVQSliderImpl::ThumbRectKey key;
    key.valid = true;
    key.size = size();
    key.value = value();
    key.position = sliderPosition();
    key.minimum = minimum();
    key.maximum = maximum();
    key.thumbWidth = p->thumbWidth;
    key.thumbHeight = p->thumbHeight;
    key.flags = (orientation() == Qt::Horizontal ? 1 : 0) | (invertedAppearance() ? 2 : 0) |
                (invertedControls() ? 4 : 0) | (isRightToLeft() ? 8 : 0) | (int(tickPosition()) << 4);
    key.tickInterval = tickInterval();
    key.style = style();
    if (p->thumbRectKey == key)
        return p->thumbRect;
    p->thumbRectKey = key;
    p->thumbRect = computeThumbRect();
    return p->thumbRect;
}

QRect TEVQSlider::computeThumbRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    QRect r = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    r.setWidth(painter()->thumbWidth);
    r.setHeight(painter()->thumbHeight);
    return r;
}

bool TEVQSlider::stylePixelMetric(QStyle::PixelMetric metric, int& value) const
{
    if (metric != QStyle::PM_SliderLength)
        return false;
    value = getSliderLength();
    return true;
}

void TEVQSlider::styleSubControlRect(QStyle::ComplexControl control, const QStyleOptionComplex*,
                                     QStyle::SubControl subControl, QRect& rect) const
{
    if (control != QStyle::CC_Slider || subControl != QStyle::SC_SliderHandle)
        return;
    const QSize thumb = getThumbBtnSize();
    rect.setSize(thumb);
    if (orientation() == Qt::Horizontal)
        rect.moveTop((height() - thumb.height()) / 2);
    else
        rect.moveLeft((width() - thumb.width()) / 2);
}

void TEVQSlider::setChannelHeight(int height) { painter()->channelHeight = clampSize(height); }

int TEVQSlider::getChannelHeight() const { return painter()->channelHeight; }

void TEVQSlider::setBackgroundStyle(CommonCtrlState, const FillStyle& style) { painter()->background = style; }

const FillStyle& TEVQSlider::getBackgroundStyle(CommonCtrlState) const { return painter()->background; }

void TEVQSlider::setForegroundStyle(CommonCtrlState, const FillStyle& style) { painter()->foreground = style; }

const FillStyle& TEVQSlider::getForegroundStyle(CommonCtrlState) const { return painter()->foreground; }

void TEVQSlider::setThumbStyle(CtrlState state, const FillStyle& style)
{
    if (tevValidState(state))
        painter()->thumbStyles[state] = style;
}

const FillStyle& TEVQSlider::getThumbStyle(CtrlState state) const { return painter()->thumbStyles[tevSafeState(state)]; }

void TEVQSlider::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQSlider::enterEvent(QEvent* event)
{
    QSlider::enterEvent(event);
    tevForwardEnter(event);
    setMouseTracking(true);
}

void TEVQSlider::leaveEvent(QEvent* event)
{
    QSlider::leaveEvent(event);
    tevForwardLeave(event);
    setMouseTracking(false);
}

ControlInfo TEVQSlider::getProps()
{
    using W = TEVQSlider;
    ControlInfo info = tevControlInfo(typeName(), "Slider", "Control Slider", "TEVQSlider", "slider");
    const QStringList twoStates{QStringLiteral("Normal"), QStringLiteral("Disable")};
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackgroundStyle,
                                         &W::getBackgroundStyle, twoStates));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Foreground"), &W::setForegroundStyle,
                                         &W::getForegroundStyle, twoStates));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Thumb"), &W::setThumbStyle, &W::getThumbStyle));
    info.props.append(tevBoolRow<W>(QStringLiteral("IsHorizontal"), &W::setIsHorizontal, &W::getIsHorizontal));
    info.props.append(tevSizeRow<W>(QStringLiteral("ThumbWidth"), &W::setThumbSize, &W::getThumbSize));
    info.props.append(tevIntRow<W>(QStringLiteral("MaxValue"), &QAbstractSlider::setMaximum, &QAbstractSlider::maximum));
    info.props.append(tevIntRow<W>(QStringLiteral("MinValue"), &QAbstractSlider::setMinimum, &QAbstractSlider::minimum));
    info.props.append(tevIntRow<W>(QStringLiteral("Value"), &QAbstractSlider::setValue, &QAbstractSlider::value));
    return info;
}

void TEVQSlider::sliderChange(SliderChange change)
{
    if (change == SliderRangeChange)
        TEVQtLib::TEVQWidgetBaseImpl::keepSliderRangeSafe(this);
    QSlider::sliderChange(change);
    if (TEVQSliderImpl* p = painter())
        p->thumbMoved();
}
