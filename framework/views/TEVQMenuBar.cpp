#include "TEVQMenuBar.h"

#include "TEVQControlInfo.h"
#include "TEVViewCommon.h"
#include "TEVViewStyles.h"

#include <QAction>
#include <QActionEvent>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <limits>

using namespace TEVQtLib;

namespace {
// Sets one state's entry; 4 sets all four only where allowAll.
template <class Style> void setStates(Style* states, int state, const Style& style, bool allowAll)
{
    if (allowAll || state != 4)
        tevSetStates(states, state, style);
}
} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQMenuBarImpl::TEVQMenuBarImpl(TEVQMenuBar* ownerBar) : TEVQWidgetBaseImpl(ownerBar, TEVQMenuBar::typeName()) {}

TEVQMenuBarImpl::~TEVQMenuBarImpl() = default;

TEVQMenuBar* TEVQMenuBarImpl::bar() const { return static_cast<TEVQMenuBar*>(owner); }

void TEVQMenuBarImpl::draw(QPainter* painter, const QRect& rect)
{
    TEVQMenuBar* b = bar();
    if (!b)
        return;
    drawFillStyle(painter, background, rect);
    const QList<QAction*> items = b->actions();
    if (textCaches.size() != size_t(items.size()))
        textCaches.resize(size_t(items.size())); // each checks its text on use: a moved item only lays out again
    for (int i = 0; i < items.size(); ++i) {
        QRect r = b->QMenuBar::actionGeometry(items.at(i));
        r.setHeight(b->height());
        const int s = i == pressIndex ? 2 : (i == hoverIndex ? 1 : 0);
        drawFillStyle(painter, itemBackground[s], r);
        textCaches[size_t(i)].draw(painter, items.at(i)->text(), itemTextStyle[s], r, itemTextStyle[s].isHor);
    }
}

bool TEVQMenuBarImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json)
        return result;
    TEVViewStyleTable styles;
    styles.fill(0, background);
    styles.fillGroup(1, itemBackground);
    styles.textGroup(5, itemTextStyle);
    // Slot 9 holds the pop-up background and the pop-up item backgrounds' normal state. The first slot-9
    // entry styles the background and all four item states (as a single entry always has); a later one, as
    // written for a differing item background, styles the items alone, so that a saved bar reads back as it
    // was.
    styles.fill(9, popupBackground);
    styles.firstEntryOnly();
    styles.fillGroup(9, popupItemBackground);
    styles.textGroup(13, popupTextStyle);
    if (!load) {
        styles.write(*json);
        return result;
    }
    quint64 applied = 0;
    styles.read(*json, &applied);
    if ((applied & (quint64(1) << 5)) && bar()) {
        QFont font = bar()->font();
        // One pixel more than the text style's size (a theme's largest size stays as it is).
        const int size = itemTextStyle[0].pixelSize;
        font.setPixelSize(size < 1 ? 1 : (size < std::numeric_limits<int>::max() ? size + 1 : size));
        bar()->setFont(font);
    }
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQMenuBar::TEVQMenuBar(QWidget* parent) : QMenuBar(parent)
{
    tevSetImpl(new TEVQMenuBarImpl(this));
    setAttribute(Qt::WA_MouseTracking);
    // Keyboard navigation (Alt and the arrow keys, or Left and Right in an open menu) moves Qt's active item
    // without a mouse move: the hot item follows it, so the item the keys reach is the one painted hot.
    connect(this, &QMenuBar::hovered, this, [this](QAction* action) {
        const int index = actions().indexOf(action);
        if (index < 0)
            return;
        painter()->hoverByKeys = !painter()->inPointerEvent;
        setHover(index);
    });
}

TEVQMenuBar::~TEVQMenuBar()
{
    // A menu of the bar's own, deleted with it, must not reach the painter object once it is gone.
    disconnect(painter()->pressMenuHide);
    disconnect(painter()->pressMenuGone);
}

QAction* TEVQMenuBar::addMenu(QMenu* menu) { return QMenuBar::addMenu(menu); }

QRect TEVQMenuBar::actionGeometry(QAction* action) const
{
    return action ? QMenuBar::actionGeometry(action) : QRect();
}

void TEVQMenuBar::setBackground(CommonCtrlState, const FillStyle& style) { painter()->background = style; }
void TEVQMenuBar::setItemBackground(CtrlState state, const FillStyle& style)
{
    setStates(painter()->itemBackground, state, style, true);
}
void TEVQMenuBar::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    setStates(painter()->itemTextStyle, state, style, true);
}
void TEVQMenuBar::setPopupBackground(CommonCtrlState, const FillStyle& style) { painter()->popupBackground = style; }
void TEVQMenuBar::setPopupItemBackground(CtrlState state, const FillStyle& style)
{
    setStates(painter()->popupItemBackground, state, style, false);
}
void TEVQMenuBar::setPopupTextStyle(CtrlState state, const TextStyleDesc& style)
{
    setStates(painter()->popupTextStyle, state, style, false);
}

const FillStyle& TEVQMenuBar::getBackground(CommonCtrlState) const { return painter()->background; }
const FillStyle& TEVQMenuBar::getItemBackground(CtrlState state) const
{
    return painter()->itemBackground[tevSafeState(state)];
}
const TextStyleDesc& TEVQMenuBar::getTextStyle(CtrlState state) const
{
    return painter()->itemTextStyle[tevSafeState(state)];
}
const FillStyle& TEVQMenuBar::getPopupBackground(CommonCtrlState) const { return painter()->popupBackground; }
const FillStyle& TEVQMenuBar::getPopupItemBackground(CtrlState state) const
{
    return painter()->popupItemBackground[tevSafeState(state)];
}
const TextStyleDesc& TEVQMenuBar::getPopupTextStyle(CtrlState state) const
{
    return painter()->popupTextStyle[tevSafeState(state)];
}

int TEVQMenuBar::getHoverIndex() const { return painter()->hoverIndex; }
int TEVQMenuBar::getPressIndex() const { return painter()->pressIndex; }

int TEVQMenuBar::actionIndexAt(const QPoint& pos) const
{
    const QList<QAction*> items = actions();
    for (int i = 0; i < items.size(); ++i) {
        if (QMenuBar::actionGeometry(items.at(i)).contains(pos))
            return i;
    }
    return -1;
}

void TEVQMenuBar::mousePressEvent(QMouseEvent* event)
{
    // The item under the press shows its pressed style until the release (a menu opened by the press runs
    // its own event loop; the release, wherever it lands, clears the state).
    const int index = actionIndexAt(event->pos());
    painter()->pressAction = actions().value(index);
    if (index != painter()->pressIndex) {
        painter()->pressIndex = index;
        repaint();
    }
    QPointer<QWidget> alive(this);
    painter()->inPointerEvent = true;
    QMenuBar::mousePressEvent(event);
    if (!alive)
        return;
    painter()->inPointerEvent = false;
    if (index < 0)
        return;
    // A menu opened by the press takes the release: the pressed state ends when that menu closes.
    QAction* action = actions().value(index);
    QMenu* menu = action ? action->menu() : nullptr;
    if (menu && menu->isVisible()) {
        auto endPress = [this] {
            disconnect(painter()->pressMenuHide);
            disconnect(painter()->pressMenuGone);
            if (painter()->pressIndex != -1) {
                painter()->pressIndex = -1;
                update();
            }
        };
        disconnect(painter()->pressMenuHide);
        disconnect(painter()->pressMenuGone);
        painter()->pressMenuHide = connect(menu, &QMenu::aboutToHide, this, endPress);
        // A menu deleted while open is not hidden first.
        painter()->pressMenuGone = connect(menu, &QObject::destroyed, this, endPress);
    }
}

void TEVQMenuBar::mouseReleaseEvent(QMouseEvent* event)
{
    QPointer<QWidget> alive(this);
    QMenuBar::mouseReleaseEvent(event);
    if (alive && painter()->pressIndex != -1) {
        painter()->pressIndex = -1;
        repaint();
    }
}

void TEVQMenuBar::mouseMoveEvent(QMouseEvent* event)
{
    QPointer<QWidget> alive(this);
    painter()->inPointerEvent = true;
    QMenuBar::mouseMoveEvent(event);
    if (!alive)
        return;
    painter()->inPointerEvent = false;
    const int index = actionIndexAt(event->pos());
    if (index < 0)
        return;
    painter()->hoverByKeys = false;
    setHover(index);
}

void TEVQMenuBar::setHover(int index)
{
    if (index < 0)
        return;
    painter()->hoverAction = actions().value(index);
    if (index != painter()->hoverIndex) {
        painter()->hoverIndex = index;
        repaint();
    }
}

void TEVQMenuBar::endKeyboardHover()
{
    TEVQMenuBarImpl* d = painter();
    if (!d->hoverByKeys || activeAction())
        return;
    d->hoverByKeys = false;
    const int index = underMouse() ? actionIndexAt(mapFromGlobal(QCursor::pos())) : -1;
    if (index == d->hoverIndex)
        return;
    d->hoverIndex = index;
    d->hoverAction = actions().value(index);
    update();
}

void TEVQMenuBar::actionEvent(QActionEvent* event)
{
    QPointer<QWidget> alive(this);
    QMenuBar::actionEvent(event);
    if (!alive || event->type() == QEvent::ActionChanged)
        return;
    // The hot and pressed looks stay on their items, wherever those moved; an item removed takes its look along.
    TEVQMenuBarImpl* d = painter();
    const bool hoverMoved = tevFollowAction(d->hoverIndex, d->hoverAction, actions());
    const bool pressMoved = tevFollowAction(d->pressIndex, d->pressAction, actions());
    if (hoverMoved || pressMoved)
        update();
}

void TEVQMenuBar::leaveEvent(QEvent* event)
{
    QMenuBar::leaveEvent(event);
    if (painter()->hoverIndex != -1) {
        painter()->hoverIndex = -1;
        repaint();
    }
}

void TEVQMenuBar::paintEvent(QPaintEvent* event)
{
    // Qt ends keyboard navigation without a word (Escape, a click elsewhere, a menu's Escape when the style
    // has no keyboard mode) but always repaints the bar then.
    endKeyboardHover();
    tevForwardPaint(event);
}

ControlInfo TEVQMenuBar::getProps()
{
    using W = TEVQMenuBar;
    ControlInfo info = tevControlInfo(typeName(), "MenuBar", "Control MenuBar", "TEVQMenuBar", "menu");
    const QStringList single{QStringLiteral("Normal"), QStringLiteral("Disable")};
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground, single));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("ItemBackground"), &W::setItemBackground, &W::getItemBackground));
    info.props.append(tevTextStyleRow<W>(QStringLiteral("ItemTextStyle"), &W::setTextStyle, &W::getTextStyle));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("PopupBackground"), &W::setPopupBackground,
                                         &W::getPopupBackground, single));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("PopupItemBackground"), &W::setPopupItemBackground,
                                         &W::getPopupItemBackground));
    info.props.append(tevTextStyleRow<W>(QStringLiteral("PopupItemTextStyle"), &W::setPopupTextStyle,
                                         &W::getPopupTextStyle));
    return info;
}
