#include "TEVQSwitch.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"

#include <QVariantAnimation>

#include <climits>

using namespace TEVQtLib;

namespace {


constexpr int kDefaultThumb = 25;
constexpr int kDefaultMargin = 2;
constexpr unsigned int kDefaultSpeed = 300;

// Thumb sizes and the margin are kept within what a widget can be, so that no geometry sum overflows.
int clampSize(int v) { return qBound(0, v, QWIDGETSIZE_MAX); }
// A thumb read from JSON is at least one pixel: a size of 0 is not written, and would read back as 25.
int clampThumb(int v) { return qBound(1, v, QWIDGETSIZE_MAX); }
unsigned int clampSpeed(qint64 ms) { return unsigned(qBound<qint64>(0, ms, INT_MAX)); }

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQSwitchImpl::TEVQSwitchImpl(TEVQSwitch* ownerSwitch) : TEVQWidgetBaseImpl(ownerSwitch, TEVQSwitch::typeName())
{
    makeAnimation();
}

void TEVQSwitchImpl::makeAnimation()
{
    animation = new QVariantAnimation(owner);
    connect(animation, SIGNAL(valueChanged(const QVariant&)), this, SLOT(valueChanged(const QVariant&)));
    connect(animation, SIGNAL(finished()), this, SLOT(finished()));
}

TEVQSwitchImpl::~TEVQSwitchImpl() = default;

int TEVQSwitchImpl::travel() const
{
    const int width = owner ? owner->width() : 0;
    return width - 2 * margin - thumbSize.width();
}

bool TEVQSwitchImpl::sliding()
{
    // A slide whose animation was deleted under it never ends by itself: it is over, on the side it left.
    if (animating && !animation)
        animating = false;
    return animating;
}

void TEVQSwitchImpl::placeThumb()
{
    if (!sliding())
        thumbX = -1;
}

void TEVQSwitchImpl::setSide(bool left)
{
    sliding();
    if (animating && left == switchToLeft) {
        // The slide leaves the side asked for: it ends here, with the thumb back at that side.
        if (animation)
            animation->stop();
        animating = false;
    }
    // A slide towards the side asked for runs on and ends on that side.
    if (!animating)
        switchToLeft = left;
    placeThumb();
}

void TEVQSwitchImpl::startSwitchAnimation()
{
    if (sliding())
        return;
    if (!animation)
        makeAnimation();
    animating = true;
    const int end = travel();
    animation->setStartValue(switchToLeft ? 0 : end);
    animation->setEndValue(switchToLeft ? end : 0);
    animation->setDuration(int(switchSpeed));
    animation->start(QAbstractAnimation::KeepWhenStopped);
}

void TEVQSwitchImpl::valueChanged(const QVariant& value)
{
    if (!animating)
        return; // the start value set before a slide begins
    thumbX = value.toInt();
    if (owner)
        owner->repaint();
}

void TEVQSwitchImpl::finished()
{
    animating = false;
    switchToLeft = !switchToLeft;
    // At rest the thumb sits at its side's end for the size the switch has now.
    thumbX = -1;
    if (owner)
        owner->repaint();
}

void TEVQSwitchImpl::draw(QPainter* painter, const QRect& r)
{
    if (thumbX == -1)
        thumbX = switchToLeft ? 0 : travel();
    m_track.draw(painter, background, r);
    const int tw = thumbSize.width();
    const int th = thumbSize.height();
    const int s = tevSafeState(state);
    m_thumb[s].draw(painter, thumbStyles[s], margin + thumbX, margin, tw, th);

    const QRect left(margin, margin, tw, th);
    const QRect right(r.width() - tw, margin, tw, th);
    if (showAllText) {
        m_leftSlot.draw(painter, leftText, switchToLeft ? leftTextStyle : rightTextStyle, left,
                        (switchToLeft ? leftTextStyle : rightTextStyle).isHor);
        m_rightSlot.draw(painter, rightText, switchToLeft ? rightTextStyle : leftTextStyle, right,
                         (switchToLeft ? rightTextStyle : leftTextStyle).isHor);
    } else if (switchToLeft) {
        m_rightSlot.draw(painter, rightText, rightTextStyle, right, rightTextStyle.isHor);
    } else {
        m_leftSlot.draw(painter, leftText, leftTextStyle, left, leftTextStyle.isHor);
    }
}

bool TEVQSwitchImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json)
        return result;
    TEVStyleEntries styles;
    styles.fill(0, background);
    styles.fillGroup({{2, 3, 4, 5}}, thumbStyles);
    styles.text(6, leftTextStyle);
    styles.text(7, rightTextStyle);
    Json::Value& element = *json;
    if (load) {
        styles.read(element);
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs && json::isObject(*attrs)) {
            // A page element resets what it leaves out; a theme element, re-read on every theme change, sets
            // only what it holds, so that texts and the side set in code stay.
            const bool page = !TEVQResourceManager::getInstance()->isLoadFromThemeRes();
            if (!json::read(*attrs, "leftText", leftText) && page)
                leftText.clear();
            if (!json::read(*attrs, "rightText", rightText) && page)
                rightText.clear();
            int size = 0;
            if (json::read(*attrs, "thumbW", size))
                thumbSize.setWidth(clampThumb(size));
            else if (page)
                thumbSize.setWidth(kDefaultThumb);
            if (json::read(*attrs, "thumbH", size))
                thumbSize.setHeight(clampThumb(size));
            else if (page)
                thumbSize.setHeight(kDefaultThumb);
            if (const std::optional<qint64> speed = json::toInt64(json::get(*attrs, "speed")))
                switchSpeed = clampSpeed(*speed);
            if (json::read(*attrs, "margin", size))
                margin = clampSize(size);
            // "on" true is the thumb at the right.
            if (const Json::Value* on = json::find(*attrs, "on")) {
                const std::optional<qint64> value = json::toInt64(*on);
                if (value)
                    setSide(*value == 0);
                else if (page)
                    setSide(true);
            } else if (page) {
                setSide(true);
            }
        }
        placeThumb();
        return result;
    }

    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    Json::Value& attrs = ownAttrs(element, {"leftText", "rightText", "thumbW", "thumbH", "speed", "on", "margin"});
    if (!leftText.isEmpty())
        attrs["leftText"] = json::fromQString(leftText);
    if (!rightText.isEmpty())
        attrs["rightText"] = json::fromQString(rightText);
    if (thumbSize.width() != 0)
        attrs["thumbW"] = thumbSize.width();
    if (thumbSize.height() != 0)
        attrs["thumbH"] = thumbSize.height();
    if (switchSpeed != kDefaultSpeed)
        attrs["speed"] = switchSpeed;
    if (!switchToLeft)
        attrs["on"] = true;
    if (margin != kDefaultMargin)
        attrs["margin"] = margin;
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQSwitch::TEVQSwitch(QWidget* parent) : QWidget(parent) { tevSetImpl(new TEVQSwitchImpl(this)); }

TEVQSwitch::~TEVQSwitch() = default;

void TEVQSwitch::setLeftText(const QString& text) { painter()->leftText = text; }

const QString& TEVQSwitch::getLeftText() const { return painter()->leftText; }

void TEVQSwitch::setRightText(const QString& text) { painter()->rightText = text; }

const QString& TEVQSwitch::getRightText() const { return painter()->rightText; }

void TEVQSwitch::setThumbSize(int width, int height)
{
    painter()->thumbSize = QSize(clampSize(width), clampSize(height));
    painter()->placeThumb();
}

void TEVQSwitch::getThumbSize(int& width, int& height) const
{
    width = painter()->thumbSize.width();
    height = painter()->thumbSize.height();
}

void TEVQSwitch::setThumbBtnSize(const QSize& size) { setThumbSize(size.width(), size.height()); }

const QSize& TEVQSwitch::getThumbBtnSize() const { return painter()->thumbSize; }

void TEVQSwitch::setMargin(int margin)
{
    painter()->margin = clampSize(margin);
    painter()->placeThumb();
}

int TEVQSwitch::getMargin() const { return painter()->margin; }

void TEVQSwitch::setSwitchSpeed(unsigned int ms) { painter()->switchSpeed = clampSpeed(ms); }

unsigned int TEVQSwitch::getSwitchSpeed() const { return painter()->switchSpeed; }

void TEVQSwitch::setShowAllText(bool show) { painter()->showAllText = show; }

bool TEVQSwitch::getShowAllText() const { return painter()->showAllText; }

void TEVQSwitch::setSwitchToLeft(bool left) { painter()->setSide(left); }

bool TEVQSwitch::getIsSwitchToLeft() const { return painter()->switchToLeft; }

void TEVQSwitch::setBackgroundStyle(CommonCtrlState, const FillStyle& style) { painter()->background = style; }

const FillStyle& TEVQSwitch::getBackgroundStyle(CommonCtrlState) const { return painter()->background; }

void TEVQSwitch::setThumbStyle(CtrlState state, const FillStyle& style)
{
    if (tevValidState(state))
        painter()->thumbStyles[state] = style;
}

const FillStyle& TEVQSwitch::getThumbStyle(CtrlState state) const { return painter()->thumbStyles[tevSafeState(state)]; }

void TEVQSwitch::setTextStyle(SwitchPosition position, const TextStyleDesc& style)
{
    (position == SwitchPositionLeft ? painter()->leftTextStyle : painter()->rightTextStyle) = style;
}

const TextStyleDesc& TEVQSwitch::getTextStyle(SwitchPosition position) const
{
    return position == SwitchPositionLeft ? painter()->leftTextStyle : painter()->rightTextStyle;
}

void TEVQSwitch::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQSwitch::mousePressEvent(QMouseEvent* event)
{
    tevForwardMousePress(event);
    if (TEVQSwitchImpl* p = painter())
        p->startSwitchAnimation();
}

void TEVQSwitch::mouseReleaseEvent(QMouseEvent* event) { tevForwardMouseRelease(event); }

void TEVQSwitch::enterEvent(QEvent* event) { tevForwardEnter(event); }

void TEVQSwitch::leaveEvent(QEvent* event) { tevForwardLeave(event); }

void TEVQSwitch::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (TEVQSwitchImpl* p = painter())
        p->placeThumb();
}

ControlInfo TEVQSwitch::getProps()
{
    using W = TEVQSwitch;
    ControlInfo info = tevControlInfo(typeName(), "Slider", "Control Slider", "TEVQSwitch", "switch");
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackgroundStyle,
                                         &W::getBackgroundStyle, {QStringLiteral("Normal"), QStringLiteral("Disable")}));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Thumb"), &W::setThumbStyle, &W::getThumbStyle));
    info.props.append(tevTextStyleRow<W>(QStringLiteral("TextStyle"), &W::setTextStyle, &W::getTextStyle,
                                         {QStringLiteral("Left"), QStringLiteral("Right")}));
    info.props.append(tevTextRow<W>(QStringLiteral("LeftText"), PropTextArea, &W::setLeftText, &W::getLeftText));
    info.props.append(tevTextRow<W>(QStringLiteral("RightText"), PropTextArea, &W::setRightText, &W::getRightText));
    // The row's range reaches below 0; a negative speed is no slide time at all, not a wrapped-around one.
    info.props.append(tevIntRow<W>(
        QStringLiteral("Speed"), [](W* w, int ms) { w->setSwitchSpeed(unsigned(qMax(0, ms))); }, &W::getSwitchSpeed));
    info.props.append(tevSizeRow<W>(QStringLiteral("ThumbSize"), &W::setThumbSize, &W::getThumbSize));
    info.props.append(tevBoolRow<W>(QStringLiteral("DefaultIsLeft"), &W::setSwitchToLeft, &W::getIsSwitchToLeft));
    info.props.append(tevIntRow<W>(QStringLiteral("Margin"), &W::setMargin, &W::getMargin));
    return info;
}
