#include "TEVQScrollBar.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

using namespace TEVQtLib;

namespace {

// A state index that is safe to use on a four-state array.


} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQScrollBarImpl::TEVQScrollBarImpl(TEVQScrollBar* ownerBar) : TEVQWidgetBaseImpl(ownerBar, TEVQScrollBar::typeName())
{
    // A bar starts hidden; its owner shows it when it is needed.
    if (ownerBar)
        ownerBar->setVisible(false);
}

TEVQScrollBarImpl::~TEVQScrollBarImpl() = default;

TEVQScrollBar* TEVQScrollBarImpl::bar() const { return static_cast<TEVQScrollBar*>(owner); }

QRect TEVQScrollBarImpl::partRect(Part part) const
{
    TEVQScrollBar* b = bar();
    if (!b)
        return QRect();
    QStyleOptionSlider option;
    b->initStyleOption(&option);
    static const QStyle::SubControl controls[3] = {QStyle::SC_ScrollBarSlider, QStyle::SC_ScrollBarAddLine,
                                                    QStyle::SC_ScrollBarSubLine};
    return b->style()->subControlRect(QStyle::CC_ScrollBar, &option, controls[part], b);
}

void TEVQScrollBarImpl::paintEvent(QWidget* /*owner*/, QPaintEvent* /*event*/)
{
    // The bar's look follows its part states; the base state is not used.
    if (!owner)
        return;
    QPainter painter(owner);
    draw(&painter, QRect(0, 0, owner->width(), owner->height()));
}

void TEVQScrollBarImpl::draw(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);

    const QRect thumb = partRect(PartThumb);
    drawFillStyle(painter, thumbStyles[tevSafeState(m_parts[PartThumb].state)], thumb);
    if (!thumbIcon.isEmpty())
        m_icons.draw(painter, thumbIcon, IconStyleDesc(), thumb, false);

    const QRect up = partRect(PartUp);
    drawFillStyle(painter, upStyles[tevSafeState(m_parts[PartUp].state)], up);
    if (!upIcon.isEmpty())
        m_icons.draw(painter, upIcon, upIconStyle, up, false);

    const QRect down = partRect(PartDown);
    drawFillStyle(painter, downStyles[tevSafeState(m_parts[PartDown].state)], down);
    if (!downIcon.isEmpty())
        m_icons.draw(painter, downIcon, downIconStyle, down, false);
}

void TEVQScrollBarImpl::mouseMoveEvent(QMouseEvent* event)
{
    if (!owner)
        return;
    const QPoint pos = event->pos();
    m_pointer = pos;
    m_pointerInside = true;
    for (int p = PartThumb; p <= PartUp; ++p) {
        const QRect r = partRect(Part(p));
        int& s = m_parts[p].state;
        const bool inside = r.contains(pos);
        int next = s;
        if (inside) {
            if (s == 0 || s >= 3)
                next = 1;
        } else if (s != 0 && !(p == PartThumb && s == 2)) {
            // A dragged thumb stays pressed; a pressed button loses its look when the pointer slides off.
            next = 0;
        }
        if (next != s) {
            s = next;
            owner->repaint(r);
        }
    }
}

void TEVQScrollBarImpl::mousePressEvent(QMouseEvent* event)
{
    if (!owner)
        return;
    for (int p = PartThumb; p <= PartUp; ++p) {
        const QRect r = partRect(Part(p));
        if (r.contains(event->pos()) && m_parts[p].state != 2) {
            m_parts[p].state = 2;
            owner->repaint(r);
        }
    }
}

void TEVQScrollBarImpl::mouseReleaseEvent(QMouseEvent* event)
{
    if (!owner)
        return;
    for (int p = PartThumb; p <= PartUp; ++p) {
        const QRect r = partRect(Part(p));
        const int next = r.contains(event->pos()) ? 1 : 0;
        if (next != m_parts[p].state) {
            m_parts[p].state = next;
            owner->repaint(r);
        }
    }
}

void TEVQScrollBarImpl::leaveEvent(QEvent* /*event*/)
{
    m_pointerInside = false;
    if (!owner)
        return;
    for (int p = PartThumb; p <= PartUp; ++p) {
        int& s = m_parts[p].state;
        if (s != 0 && !(p == PartThumb && s == 2)) {
            s = 0;
            owner->repaint();
        }
    }
}

void TEVQScrollBarImpl::thumbMoved()
{
    int& s = m_parts[PartThumb].state;
    if (!owner || !m_pointerInside || s == 2)
        return;
    // Qt repaints the moved thumb itself.
    if (partRect(PartThumb).contains(m_pointer)) {
        if (s == 0 || s >= 3)
            s = 1;
    } else {
        s = 0;
    }
}

bool TEVQScrollBarImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json)
        return result;
    TEVStyleEntries styles;
    styles.fill(0, background);
    // A part's states count as different only when they paint differently.
    const auto byLook = TEVStyleEntries::GroupRule::NamedNeighboursLookDifferent;
    styles.fillGroup(2, upStyles, byLook);
    styles.fillGroup(6, downStyles, byLook);
    styles.fillGroup(10, thumbStyles, byLook);
    Json::Value& element = *json;
    if (load) {
        styles.read(element);
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs && json::isObject(*attrs)) {
            upIcon = json::getQString(*attrs, "upicon");
            downIcon = json::getQString(*attrs, "downicon");
            thumbIcon = json::getQString(*attrs, "thumbicon");
            bool hor = false;
            if (!TEVQResourceManager::getInstance()->isLoadFromThemeRes() && json::read(*attrs, "hor", hor)) {
                horizontal = hor;
                if (TEVQScrollBar* b = bar())
                    b->setOrientation(hor ? Qt::Horizontal : Qt::Vertical);
            }
        }
        return result;
    }

    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    Json::Value& attrs = ownAttrs(element, {"upicon", "downicon", "thumbicon", "hor"});
    if (!upIcon.isEmpty())
        attrs["upicon"] = json::fromQString(upIcon);
    if (!downIcon.isEmpty())
        attrs["downicon"] = json::fromQString(downIcon);
    if (!thumbIcon.isEmpty())
        attrs["thumbicon"] = json::fromQString(thumbIcon);
    horizontal = bar() && bar()->orientation() == Qt::Horizontal;
    if (horizontal)
        attrs["hor"] = 1;
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQScrollBar::TEVQScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) { init(); }

TEVQScrollBar::TEVQScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    init();
}

void TEVQScrollBar::init()
{
    setMouseTracking(true);
    tevSetImpl(new TEVQScrollBarImpl(this));
}

TEVQScrollBar::~TEVQScrollBar() = default;

void TEVQScrollBar::setScrollbarBackground(CommonCtrlState, const FillStyle& style) { painter()->background = style; }

const FillStyle& TEVQScrollBar::getScrollbarBackground(CommonCtrlState) const { return painter()->background; }

void TEVQScrollBar::setScrollbarUpButton(CtrlState state, const FillStyle& style)
{
    tevSetStates(painter()->upStyles, state, style);
}

const FillStyle& TEVQScrollBar::getScrollbarUpButton(CtrlState state) const
{
    return painter()->upStyles[tevSafeState(state)];
}

void TEVQScrollBar::setScrollbarDownButton(CtrlState state, const FillStyle& style)
{
    tevSetStates(painter()->downStyles, state, style);
}

const FillStyle& TEVQScrollBar::getScrollbarDownButton(CtrlState state) const
{
    return painter()->downStyles[tevSafeState(state)];
}

void TEVQScrollBar::setScrollbarThumb(CtrlState state, const FillStyle& style)
{
    tevSetStates(painter()->thumbStyles, state, style);
}

const FillStyle& TEVQScrollBar::getScrollbarThumb(CtrlState state) const
{
    return painter()->thumbStyles[tevSafeState(state)];
}

void TEVQScrollBar::setScrollbarBtnIcon(bool up, const QString& path)
{
    (up ? painter()->upIcon : painter()->downIcon) = path;
}

QString TEVQScrollBar::getScrollbarBtnIcon(bool up) const { return up ? painter()->upIcon : painter()->downIcon; }

void TEVQScrollBar::setScrollbarThumbIcon(const QString& path) { painter()->thumbIcon = path; }

QString TEVQScrollBar::getScrollbarThumbIcon() const { return painter()->thumbIcon; }

void TEVQScrollBar::setScrollbarIconStyle(bool up, const IconStyleDesc& style)
{
    (up ? painter()->upIconStyle : painter()->downIconStyle) = style;
}

const IconStyleDesc& TEVQScrollBar::getScrollbarIconStyle(bool up) const
{
    return up ? painter()->upIconStyle : painter()->downIconStyle;
}

void TEVQScrollBar::setWidthHeight(int thickness) { painter()->widthHeight = thickness; }

int TEVQScrollBar::getWidthHeight() const { return painter()->widthHeight; }

void TEVQScrollBar::initStyleOption(QStyleOptionSlider* option) const
{
    if (option)
        QScrollBar::initStyleOption(option);
}

QSize TEVQScrollBar::sizeHint() const
{
    QSize hint = QScrollBar::sizeHint();
    const int thickness = painter() ? painter()->widthHeight : -1;
    if (thickness != -1) {
        if (orientation() == Qt::Horizontal)
            hint.setHeight(thickness);
        else
            hint.setWidth(thickness);
    }
    return hint;
}

// The painter's handler runs first, then QScrollBar's.
void TEVQScrollBar::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQScrollBar::mousePressEvent(QMouseEvent* event)
{
    tevForwardMousePress(event);
    QScrollBar::mousePressEvent(event);
}

void TEVQScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    tevForwardMouseRelease(event);
    QScrollBar::mouseReleaseEvent(event);
}

void TEVQScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    tevForwardMouseMove(event);
    QScrollBar::mouseMoveEvent(event);
}

void TEVQScrollBar::leaveEvent(QEvent* event)
{
    tevForwardLeave(event);
    QWidget::leaveEvent(event);
}

void TEVQScrollBar::hideEvent(QHideEvent* event)
{
    // Hidden under a pressed part (a view that no longer needs its bar while the thumb is dragged), the bar
    // would otherwise show that part pressed when it is shown again, until a release that never comes.
    if (TEVQScrollBarImpl* d = painter())
        d->resetPartStates();
    QScrollBar::hideEvent(event);
}

ControlInfo TEVQScrollBar::getProps()
{
    using W = TEVQScrollBar;
    ControlInfo info = tevControlInfo(typeName(), "ScrollBar", "Themed scroll bar", "TEVQScrollBar", "scrollbar");
    const QStringList twoStates{QStringLiteral("Normal"), QStringLiteral("Disable")};
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setScrollbarBackground,
                                         &W::getScrollbarBackground, twoStates));
    info.props.append(
        tevFillStyleRow<W>(QStringLiteral("UpButton"), &W::setScrollbarUpButton, &W::getScrollbarUpButton));
    info.props.append(
        tevFillStyleRow<W>(QStringLiteral("DownButton"), &W::setScrollbarDownButton, &W::getScrollbarDownButton));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Thumb"), &W::setScrollbarThumb, &W::getScrollbarThumb));
    info.props.append(
        tevTextRow<W>(QStringLiteral("Thumb"), PropImage, &W::setScrollbarThumbIcon, &W::getScrollbarThumbIcon));
    return info;
}

void TEVQScrollBar::sliderChange(SliderChange change)
{
    if (change == SliderRangeChange)
        TEVQtLib::TEVQWidgetBaseImpl::keepSliderRangeSafe(this);
    QScrollBar::sliderChange(change);
    if (TEVQScrollBarImpl* d = painter())
        d->thumbMoved();
}
