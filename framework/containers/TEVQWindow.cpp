#include "TEVQWindow.h"

#include "TEVQResourceManager.h"
#include "TEVQSubWin.h"
#include "TEVQWidgetBase.h"
#include "TEVWindowFrame.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTabBar>
#include <QTimer>

#include <algorithm>

namespace TEVQtLib {

namespace {

// Largest window side the window system creates (X11 coordinates are 16-bit). A larger minimum (a page's
// "minW" of 100000) would grow the window to a size whose backing store cannot be made.
constexpr int kLargestWindowSide = 32767;

int minimumSide(int value) { return std::min(std::max(0, value), kLargestWindowSide); }

bool g_mousePressActive = false;
const QObject* g_pressOwner = nullptr; // the widget whose press set the flag

void setPressActive(const QObject* owner)
{
    g_mousePressActive = true;
    g_pressOwner = owner;
}

} // namespace

// ---- plain widgets ------------------------------------------------------------------------------------------

TEVQMDIArea::TEVQMDIArea() = default;
TEVQMDIArea::~TEVQMDIArea() = default;
TEVQView::TEVQView() = default;
TEVQView::~TEVQView() = default;
TEVQDockFrame::TEVQDockFrame() = default;
TEVQDockFrame::~TEVQDockFrame() = default;

// ---- shared state and logic ---------------------------------------------------------------------------------

TEVQWindowImpl::TEVQWindowImpl(QWidget* ownerWidget, const QString& type) : TEVQWidgetBaseImpl(ownerWidget, type) {}

TEVQWindowImpl::~TEVQWindowImpl()
{
    // A window that goes away in the middle of its press must not leave every other window blocked.
    if (g_mousePressActive && g_pressOwner == owner)
        clearMousePressActive();
}

bool TEVQWindowImpl::mousePressActive() { return g_mousePressActive; }

void TEVQWindowImpl::clearMousePressActive()
{
    g_mousePressActive = false;
    g_pressOwner = nullptr;
}

QWidget* TEVQWindowImpl::hitTest(QWidget* widget, int x, int y) const
{
    if (!widget || !widget->isVisible() || !owner)
        return nullptr;
    const QObjectList children = widget->children();
    for (int i = children.size() - 1; i >= 0; --i) {
        QObject* child = children.at(i);
        if (!child->isWidgetType())
            continue;
        if (QWidget* found = hitTest(static_cast<QWidget*>(child), x, y))
            return found;
    }
    // mapTo needs owner above widget; any other widget is placed through the screen.
    const QPoint topLeft = (widget == owner || owner->isAncestorOf(widget))
                               ? widget->mapTo(owner, QPoint(0, 0))
                               : owner->mapFromGlobal(widget->mapToGlobal(QPoint(0, 0)));
    const QRect area(topLeft, widget->geometry().size());
    return area.contains(QPoint(x, y)) ? widget : nullptr;
}

bool TEVQWindowImpl::keepsClicks(QWidget* w) const
{
    for (QWidget* p = w; p && p != owner; p = p->parentWidget()) {
        if (qobject_cast<QAbstractButton*>(p) || qobject_cast<QAbstractItemView*>(p) ||
            qobject_cast<QAbstractSlider*>(p) || qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p) ||
            qobject_cast<QLineEdit*>(p) || qobject_cast<QTabBar*>(p))
            return true;
        if (ITEVQWidgetBase* base = tevWidgetInterface(p)) {
            const QString type = base->getTypeName();
            if (type != QLatin1String("qtcontainer") && type != QLatin1String("qtlabel"))
                return true;
        }
        // A sub-window moves and resizes itself: a press on it is not the outer window's caption.
        if (dynamic_cast<TEVQSubWin*>(p))
            return true;
    }
    return false;
}

bool TEVQWindowImpl::pressCameThroughSubWin(const QPoint& local) const
{
    if (!owner)
        return false;
    for (QWidget* p = owner->childAt(local); p && p != owner; p = p->parentWidget()) {
        if (p->isEnabled() && dynamic_cast<TEVQSubWin*>(p))
            return true;
    }
    return false;
}

QRect TEVQWindowImpl::parentBounds() const
{
    if (!owner || owner->isWindow() || !owner->parentWidget())
        return QRect();
    return QRect(QPoint(0, 0), owner->parentWidget()->size());
}

QSize TEVQWindowImpl::effectiveMinSize() const
{
    const int floor = 2 * std::max(0, borderWidth) + 1;
    const int w = std::max({minWidth, owner ? owner->minimumWidth() : 0, floor});
    const int h = std::max({minHeight, owner ? owner->minimumHeight() : 0, floor});
    return QSize(w, h);
}

void TEVQWindowImpl::press(const QPoint& global, Qt::MouseButton button, int seededEdge, int seededDrag)
{
    if (!owner)
        return;
    const bool maximized = owner->isMaximized();
    const QPoint local = owner->mapFromGlobal(global);
    if (resizeable && !maximized) {
        const int edge = seededEdge >= -1 ? seededEdge : platform::framePressEdge(owner->size(), local, borderWidth);
        if (edge != -1)
            resizeEdge = edge;
    }
    if (canDrag && !maximized && button == Qt::LeftButton) {
        bool allowed = seededDrag == 1;
        if (seededDrag < 0) {
            // The widget the press is for: one that lets presses through (a spacer) is not it, as for the
            // frame test of a frameless window.
            QWidget* w = owner->childAt(local);
            allowed = true;
            if (w && w != owner) {
                if (ITEVQWidgetBase* base = tevWidgetInterface(w)) {
                    const QString type = base->getTypeName();
                    allowed = type == QLatin1String("qtcontainer") || type == QLatin1String("qtlabel");
                }
            }
        }
        if (allowed && (!onlyDragCaption || local.y() <= captionHeight))
            dragging = true;
    }
    // A press that neither moves nor resizes the window stays with the widget under the mouse, so that the
    // release reaches it too (a container's click comes from its release).
    if (resizeEdge == -1 && !dragging)
        return;
    pressPos = global;
    owner->grabMouse();
    setPressActive(owner);
}

bool TEVQWindowImpl::move(QMouseEvent* event, bool hoverCursor)
{
    if (!owner)
        return false;
    const QPoint global = event->globalPos();
    if (resizeable && !owner->isMaximized()) {
        if (resizeEdge == -1 && hoverCursor) {
            Qt::CursorShape shape = Qt::ArrowCursor;
            if (platform::frameHoverCursor(owner->size(), event->pos(), borderWidth, shape)) {
                owner->setCursor(shape);
                cursorOverridden = true;
            } else if (cursorOverridden && !dragging) {
                owner->setCursor(Qt::ArrowCursor);
                cursorOverridden = false;
            }
        }
        if (resizeEdge != -1) {
            // Position and size in one call, and never as a fixed size: maximise and restore keep working.
            const platform::FrameResizeStep step = platform::frameResizeStep(
                resizeEdge, owner->geometry(), pressPos, global, effectiveMinSize(), parentBounds(),
                owner->maximumSize());
            pressPos = step.pressPos;
            if (step.geometry != owner->geometry())
                owner->setGeometry(step.geometry);
            if (resizeEdge <= 3)
                return true;
        }
    }
    if (resizeEdge == -1 && canDrag && dragging && event->buttons() != Qt::NoButton) {
        const QPoint from = owner->pos();
        QPoint to = from + (global - pressPos);
        if (parentBounds().isValid())
            to = platform::frameClampChildPosition(to, owner->size(), parentBounds().size(), 2 * borderWidth + 1);
        owner->move(to);
        // Advance by what was applied, so that a sub-window held at its parent's edge follows the cursor
        // again from where it stopped.
        pressPos += to - from;
        event->accept();
    }
    return false;
}

void TEVQWindowImpl::release()
{
    if (!owner)
        return;
    endPress();
    owner->releaseMouse();
    clearMousePressActive();
}

void TEVQWindowImpl::cancelPress()
{
    if (!owner)
        return;
    endPress();
    // A hidden widget keeps Qt's mouse grab: shown again, it would take every press meant for its children
    // and for other windows.
    if (QWidget::mouseGrabber() == owner)
        owner->releaseMouse();
    if (g_mousePressActive && g_pressOwner == owner)
        clearMousePressActive();
}

void TEVQWindowImpl::endPress()
{
    if (resizeEdge != -1) {
        resizeEdge = -1;
        owner->setCursor(Qt::ArrowCursor);
    }
    dragging = false;
}

void TEVQWindowImpl::closePopups()
{
    // Only the topmost popup can be asked for; a menu's submenu is closed before the menu. The bound guards
    // against a popup that refuses to close. Nothing of this object is touched once a popup was closed: a
    // handler of its hiding may delete the owner.
    const QPointer<QWidget> self = owner;
    for (int i = 0; self && i < 64; ++i) {
        QWidget* popup = QApplication::activePopupWidget();
        QWidget* p = popup ? popup->parentWidget() : nullptr;
        while (p && p != self)
            p = p->parentWidget();
        if (!p)
            return;
        popup->close();
    }
}

void TEVQWindowImpl::paint()
{
    if (!showBackground || !owner)
        return;
    QPainter painter(owner);
    if (useFillColor)
        drawFillRes(&painter, backgroundColor, 0, 0, owner->width(), owner->height());
    else
        drawImageFill(&painter, backgroundImage, backgroundImageDesc, 0, 0, owner->width(), owner->height());
}

void TEVQWindowImpl::resizeChildren()
{
    if (!owner)
        return;
    QList<QPointer<QObject>> children;
    for (QObject* child : owner->children())
        children.append(child);
    for (const QPointer<QObject>& child : children) {
        if (!child)
            continue;
        ITEVQWidgetBase* widget = tevWidgetInterface(child);
        if (!widget)
            continue;
        if (TEVQWidgetBase* record = widget->getControlBase())
            record->resizeWidget();
    }
}

void TEVQWindowImpl::centerWindow()
{
    if (owner && !owner->isWindow() && owner->parentWidget()) {
        // A sub-window inside another widget is placed in that widget's coordinates: centred on the screen's
        // middle it could land wholly outside its parent, out of reach.
        // One larger than its parent keeps its top-left corner, and so its caption, inside the parent.
        const QSize area = owner->parentWidget()->size();
        owner->move(std::max(0, (area.width() - owner->width()) / 2),
                    std::max(0, (area.height() - owner->height()) / 2));
        return;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!owner || !screen)
        return;
    const QRect g = screen->geometry();
    // A window larger than the screen keeps its top-left corner, and so its caption, on the screen's
    // available area: centred, the caption would lie above the screen, out of reach of the pointer.
    const QRect area = screen->availableGeometry();
    owner->move(std::max(g.x() + (g.width() - owner->width()) / 2, area.x()),
                std::max(g.y() + (g.height() - owner->height()) / 2, area.y()));
}

void TEVQWindowImpl::setX(int x)
{
    QRect g = owner->geometry();
    g.setLeft(x);
    owner->setGeometry(g);
}

void TEVQWindowImpl::setY(int y)
{
    QRect g = owner->geometry();
    g.setTop(y);
    owner->setGeometry(g);
}

void TEVQWindowImpl::setResizeable(bool on)
{
    resizeable = on;
    owner->setAttribute(Qt::WA_MouseTracking, on);
}

void TEVQWindowImpl::setTransparent(bool on)
{
    if (on) {
        // Qt hides a widget whose window flags change; a window that was shown stays shown (once its
        // attributes are set, so that the window system's new window is made translucent).
        const bool shown = owner->isVisible();
        owner->setWindowFlag(Qt::FramelessWindowHint, true);
        owner->setAttribute(Qt::WA_TranslucentBackground, true);
        if (shown && !owner->isVisible())
            owner->show();
    } else {
        owner->setAttribute(Qt::WA_TranslucentBackground, false);
    }
}

// ---- window -------------------------------------------------------------------------------------------------

TEVQWindow::TEVQWindow(QWidget* parent) : QDialog(parent)
{
    d = new TEVQWindowImpl(this, typeName());
    d->modalLoop = new QEventLoop(this);
    TEVQResourceManager::getInstance()->registerWindow(this);
}

TEVQWindow::~TEVQWindow()
{
    TEVQResourceManager::getInstance()->unregisterWindow(this);
    if (m_watchedHandle)
        m_watchedHandle->removeEventFilter(this);
    // A loop still running (the window deleted from inside doModal) is left, and doModal deletes it once
    // its exec has returned.
    if (d->modalLoop && d->modalLoop->isRunning()) {
        d->modalLoop->exit(0);
        d->modalLoop->setParent(nullptr);
    }
    delete d;
    d = nullptr;
}

void TEVQWindow::doModal()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    QPointer<QEventLoop> loop = d->modalLoop;
    if (!loop)
        return;
    loop->exec();
    // Nothing of the window is touched here: it may have been deleted while the loop ran, leaving the loop
    // without a parent.
    if (loop && !loop->parent())
        delete loop.data();
}

void TEVQWindow::closeModal()
{
    if (d->modalLoop)
        d->modalLoop->exit(0);
}

void TEVQWindow::centerWindow() { d->centerWindow(); }
QWidget* TEVQWindow::hitTest(QWidget* widget, int x, int y) { return d->hitTest(widget, x, y); }
void TEVQWindow::setCanDrag(bool on) { d->canDrag = on; }
bool TEVQWindow::getCanGrag() const { return d->canDrag; }
void TEVQWindow::setCaptionHeight(int height) { d->captionHeight = height; }
bool TEVQWindow::getCaptionHeight() const { return d->captionHeight != 0; }
void TEVQWindow::setOnlyDragCaption(bool on) { d->onlyDragCaption = on; }
bool TEVQWindow::getOnlyDragCaption() const { return d->onlyDragCaption; }
void TEVQWindow::setResizeable(bool on) { d->setResizeable(on); }

void TEVQWindow::setMinWidth(int width)
{
    d->minWidth = minimumSide(width);
    setMinimumWidth(d->minWidth);
    passMinimumToWindowSystem();
}

void TEVQWindow::setMinHeight(int height)
{
    d->minHeight = minimumSide(height);
    setMinimumHeight(d->minHeight);
    passMinimumToWindowSystem();
}

void TEVQWindow::setMinSize(int width, int height)
{
    d->minWidth = minimumSide(width);
    d->minHeight = minimumSide(height);
    setMinimumSize(d->minWidth, d->minHeight);
    passMinimumToWindowSystem();
}

QSize TEVQWindow::getMinSize() const { return QSize(d->minWidth, d->minHeight); }
void TEVQWindow::setBackgroundColor(const FillRes& fill) { d->backgroundColor = fill; }

void TEVQWindow::setBackgroundImage(const QString& name, const ImageDesc& desc)
{
    d->backgroundImageDesc = desc;
    d->backgroundImage = name;
}

void TEVQWindow::setShowBackground(bool on) { d->showBackground = on; }
void TEVQWindow::setUseFillColor(bool on) { d->useFillColor = on; }
void TEVQWindow::setTransparent(bool on)
{
    m_changingFlags = true;
    d->setTransparent(on);
    m_changingFlags = false;
}
void TEVQWindow::setX(int x) { d->setX(x); }
void TEVQWindow::setY(int y) { d->setY(y); }
void TEVQWindow::setMDIArea(TEVQMDIArea* area) { d->mdiArea = area; }
TEVQMDIArea* TEVQWindow::getMDIArea() const { return d->mdiArea; }
void TEVQWindow::ToJsonString(QString& /*out*/) {}

void TEVQWindow::reject()
{
    // QDialog would only hide the window: no close event, and a running modal loop would never be left.
    // A modal window therefore closes on Escape; a window that is not modal (the dashboard's main window)
    // ignores it, so that a stray key press never hides or quits it.
    if (isModal() || windowModality() != Qt::NonModal || (d && d->modalLoop && d->modalLoop->isRunning()))
        close();
}

void TEVQWindow::mousePressEvent(QMouseEvent* event)
{
    if (!TEVQWindowImpl::mousePressActive() && !d->pressCameThroughSubWin(event->pos())) {
        d->press(event->globalPos(), event->button());
        event->accept();
    }
    QWidget::mousePressEvent(event);
}

void TEVQWindow::mouseMoveEvent(QMouseEvent* event)
{
    // On a frameless window the hover cursor follows the frame bands (eventFilter), not the press rule.
    if (d->move(event, !framelessTopLevel()))
        return;
    QWidget::mouseMoveEvent(event);
}

void TEVQWindow::mouseReleaseEvent(QMouseEvent* event)
{
    d->release();
    QWidget::mouseReleaseEvent(event);
}

void TEVQWindow::mouseDoubleClickEvent(QMouseEvent* event) { QWidget::mouseDoubleClickEvent(event); }
void TEVQWindow::paintEvent(QPaintEvent* /*event*/) { d->paint(); }

void TEVQWindow::resizeEvent(QResizeEvent* event)
{
    d->resizeChildren();
    QWidget::resizeEvent(event);
    refreshHoverLater();
}

void TEVQWindow::refreshHoverLater()
{
    // Once the layouts that follow the change have run; one look per turn of the event loop.
    if (m_hoverCheckPending || !isWindow() || !isVisible())
        return;
    m_hoverCheckPending = true;
    QTimer::singleShot(0, this, [this]() {
        m_hoverCheckPending = false;
        refreshHoverUnderPointer();
    });
}

void TEVQWindow::refreshHoverUnderPointer()
{
    // A window that grows or shrinks under a resting pointer (maximised or restored from its own caption
    // button) gets no pointer event: the widget that was under the pointer would keep its hover look, and the
    // one now under it would not get one. A move to where the pointer rests settles both, unless a button is
    // held, the pointer is taken, a modal window blocks this one, or another window lies over it there.
    QWindow* handle = windowHandle();
    QWindow* modal = QGuiApplication::modalWindow();
    if (!handle || !isVisible() || QGuiApplication::mouseButtons() != Qt::NoButton || QWidget::mouseGrabber() ||
        QApplication::activePopupWidget() || (modal && modal != handle))
        return;
    const QPoint global = QCursor::pos();
    const QPoint local = handle->mapFromGlobal(global);
    if (!rect().contains(local) || QGuiApplication::topLevelAt(global) != handle)
        return;
    QMouseEvent move(QEvent::MouseMove, local, local, global, Qt::NoButton, Qt::NoButton,
                     QGuiApplication::keyboardModifiers());
    QCoreApplication::sendEvent(handle, &move);
}

void TEVQWindow::closeEvent(QCloseEvent* event)
{
    if (d->modalLoop)
        d->modalLoop->exit(0);
    QWidget::closeEvent(event);
}

void TEVQWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    watchWindowHandle();
    // The native window may be new (first show, new window flags).
    passMinimumToWindowSystem();
    // Maximised or full screen while it was hidden: it fills the screen now that it is shown.
    QTimer::singleShot(0, this, [this]() { checkMaximizedGeometry(); });
}

void TEVQWindow::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        d->cancelPress();
    // Hidden by the program (accept, done, hide): a modal loop must not go on running for a window nobody sees.
    // A window system's hide (minimising) leaves it running.
    if (!event->spontaneous() && d->modalLoop && !m_changingFlags)
        d->modalLoop->exit(0);
    // Last: the popups' hide handlers may do anything.
    if (!event->spontaneous() && !m_changingFlags)
        d->closePopups();
}

void TEVQWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const Qt::WindowStates old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const Qt::WindowStates filling = Qt::WindowMaximized | Qt::WindowFullScreen;
    // The geometry to restore is the one the window has when it starts filling the screen, unless it still
    // has the one this window gave it for filling (maximised again before a restore was carried out).
    if ((windowState() & filling) && !(old & filling) && !(m_placedMaximized && geometry() == m_placedGeometry))
        m_restoreGeometry = geometry();
    // After the window system had its say: only what it left undone is done here.
    QTimer::singleShot(0, this, [this]() { checkMaximizedGeometry(); });
}

bool TEVQWindow::framelessTopLevel() const { return isWindow() && windowFlags().testFlag(Qt::FramelessWindowHint); }

void TEVQWindow::passMinimumToWindowSystem()
{
    // Without the system frame the window's minimum binds every resize the window system makes (its own border
    // drags, keyboard resizes, tiling), through the native window's size hints. The widget's own minimum, which
    // Qt passes on by itself, may only raise it. A framed window keeps Qt's own handling.
    QWindow* handle = windowHandle();
    if (!d || !handle || !framelessTopLevel())
        return;
    handle->setMinimumSize(QSize(std::max(minimumWidth(), d->minWidth), std::max(minimumHeight(), d->minHeight)));
}

void TEVQWindow::watchWindowHandle()
{
    QWindow* handle = windowHandle();
    if (handle == m_watchedHandle)
        return;
    if (m_watchedHandle)
        m_watchedHandle->removeEventFilter(this);
    m_watchedHandle = handle;
    if (handle)
        handle->installEventFilter(this);
}

bool TEVQWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (!d || watched != m_watchedHandle.data() || !framelessTopLevel())
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress)
        return framePress(static_cast<QMouseEvent*>(event));
    if (event->type() == QEvent::MouseButtonDblClick) {
        // As on a system caption: a double click there maximises the window or restores it.
        auto* mouse = static_cast<QMouseEvent*>(event);
        const platform::FrameZone zone = frameZoneAt(mouse->pos());
        if (zone == platform::FrameZone::Caption && mouse->button() == Qt::LeftButton && !isFullScreen()) {
            if (isMaximized())
                showNormal();
            else
                showMaximized();
        }
        return zone != platform::FrameZone::Client;
    }
    if (event->type() == QEvent::MouseMove)
        frameHover(static_cast<QMouseEvent*>(event));
    return false;
}

platform::FrameZone TEVQWindow::frameZoneAt(const QPoint& local)
{
    platform::FrameHitParams params;
    params.resizeable = d->resizeable;
    params.canDrag = d->canDrag;
    params.onlyDragCaption = d->onlyDragCaption;
    params.borderWidth = d->borderWidth;
    params.captionHeight = d->captionHeight;
    params.maximized = isMaximized() || isFullScreen();
    return platform::classifyFramePoint(params, size(), local, d->keepsClicks(childAt(local)));
}

bool TEVQWindow::framePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const platform::FrameZone zone = frameZoneAt(event->pos());
    if (zone == platform::FrameZone::Client)
        return false;

    const Qt::Edges edges = platform::frameZoneEdges(zone);
    QWindow* handle = windowHandle();
    if (edges)
        passMinimumToWindowSystem(); // in case the widget's own minimum was changed since
    if (platform::startSystemMoveResize(handle, edges))
        return true;
    // The window system refused: the window moves or resizes itself, unless another press holds the logic.
    if (TEVQWindowImpl::mousePressActive())
        return false;
    const QPoint global = event->globalPos();
    if (edges)
        d->press(global, event->button(), platform::frameZoneResizeEdge(zone), 0);
    else
        d->press(global, event->button(), -1, 1);
    return true;
}

void TEVQWindow::frameHover(QMouseEvent* event)
{
    if (!d->resizeable || event->buttons() != Qt::NoButton || d->resizeEdge != -1 || QWidget::mouseGrabber())
        return;
    platform::FrameHitParams params;
    params.resizeable = true;
    params.canDrag = false;
    params.borderWidth = d->borderWidth;
    params.maximized = isMaximized() || isFullScreen();
    Qt::CursorShape shape = Qt::ArrowCursor;
    bool band = true;
    switch (platform::classifyFramePoint(params, size(), event->pos(), false)) {
    case platform::FrameZone::TopLeft:
    case platform::FrameZone::BottomRight: shape = Qt::SizeFDiagCursor; break;
    case platform::FrameZone::TopRight:
    case platform::FrameZone::BottomLeft: shape = Qt::SizeBDiagCursor; break;
    case platform::FrameZone::Left:
    case platform::FrameZone::Right: shape = Qt::SizeHorCursor; break;
    case platform::FrameZone::Top:
    case platform::FrameZone::Bottom: shape = Qt::SizeVerCursor; break;
    default: band = false; break;
    }
    if (band) {
        setCursor(shape);
        d->cursorOverridden = true;
    } else if (d->cursorOverridden && !d->dragging) {
        setCursor(Qt::ArrowCursor);
        d->cursorOverridden = false;
    }
}

void TEVQWindow::checkMaximizedGeometry()
{
    if (!isWindow() || !isVisible() || isMinimized())
        return;
    if (isMaximized() || isFullScreen()) {
        // Without a window manager nothing maximises a frameless window or makes it full screen: fill the
        // screen's available area, or the whole screen, within the window's own size limits (as a window
        // manager keeps them).
        if (!framelessTopLevel())
            return;
        QScreen* screen = windowHandle() ? windowHandle()->screen() : nullptr;
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        QRect area = isFullScreen() ? screen->geometry() : screen->availableGeometry();
        const QSize least(std::max(minimumWidth(), d->minWidth), std::max(minimumHeight(), d->minHeight));
        area.setSize(area.size().boundedTo(maximumSize()).expandedTo(least));
        if (geometry() != area) {
            m_placedMaximized = true;
            m_placedGeometry = area;
            // Through the widget, which takes the place at once: a request made through the native window
            // alone can go unreported (the window system's answer to an earlier, unconfirmed place is merged
            // with the answer to this one, and Qt sees nothing new). The widget's setGeometry drops the
            // maximised or full-screen state; it is given back.
            const Qt::WindowStates states = windowState();
            setGeometry(area);
            if (windowState() != states)
                setWindowState(states);
        }
    } else if (m_placedMaximized) {
        m_placedMaximized = false;
        // A window the program placed itself meanwhile (which drops the maximised state without a change
        // event) stays where it was put.
        if (m_restoreGeometry.isValid() && geometry() == m_placedGeometry)
            setGeometry(m_restoreGeometry);
    }
}

} // namespace TEVQtLib
