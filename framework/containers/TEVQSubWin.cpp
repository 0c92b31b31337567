#include "TEVQSubWin.h"

#include "TEVQWindow.h"

#include <QHideEvent>
#include <QMouseEvent>

namespace TEVQtLib {

TEVQSubWin::TEVQSubWin(QWidget* parent) : QWidget(parent)
{
    d = new TEVQWindowImpl(this, typeName());
    setAttribute(Qt::WA_MouseTracking, true);
}

TEVQSubWin::~TEVQSubWin()
{
    delete d;
    d = nullptr;
}

void TEVQSubWin::centerWindow() { d->centerWindow(); }
QWidget* TEVQSubWin::hitTest(QWidget* widget, int x, int y) { return d->hitTest(widget, x, y); }
void TEVQSubWin::setCanDrag(bool on) { d->canDrag = on; }
bool TEVQSubWin::getCanGrag() const { return d->canDrag; }
void TEVQSubWin::setCaptionHeight(int height) { d->captionHeight = height; }
bool TEVQSubWin::getCaptionHeight() const { return d->captionHeight != 0; }
void TEVQSubWin::setOnlyDragCaption(bool on) { d->onlyDragCaption = on; }
bool TEVQSubWin::getOnlyDragCaption() const { return d->onlyDragCaption; }
void TEVQSubWin::setResizeable(bool on) { d->setResizeable(on); }
void TEVQSubWin::setMinWidth(int width) { d->minWidth = width; }
void TEVQSubWin::setMinHeight(int height) { d->minHeight = height; }
void TEVQSubWin::setBackgroundColor(const FillRes& fill) { d->backgroundColor = fill; }

void TEVQSubWin::setBackgroundImage(const QString& name, const ImageDesc& desc)
{
    d->backgroundImageDesc = desc;
    d->backgroundImage = name;
}

void TEVQSubWin::setShowBackground(bool on) { d->showBackground = on; }
void TEVQSubWin::setUseFillColor(bool on) { d->useFillColor = on; }

void TEVQSubWin::setTransparent(bool on)
{
    // Changing window flags hides a widget; a sub-window inside its parent stays as it was.
    const bool shownChild = !isWindow() && isVisible();
    d->setTransparent(on);
    if (shownChild && !isVisible())
        show();
}

void TEVQSubWin::setX(int x) { d->setX(x); }
void TEVQSubWin::setY(int y) { d->setY(y); }

void TEVQSubWin::mousePressEvent(QMouseEvent* event)
{
    if (!TEVQWindowImpl::mousePressActive() && !d->pressCameThroughSubWin(event->pos())) {
        raise();
        // Not accepted: the press goes on to the parent, whose window logic leaves it alone (it came through
        // this sub-window).
        d->press(event->globalPos(), event->button());
    }
    QWidget::mousePressEvent(event);
}

void TEVQSubWin::mouseMoveEvent(QMouseEvent* event)
{
    if (d->move(event, true))
        return;
    QWidget::mouseMoveEvent(event);
}

void TEVQSubWin::mouseReleaseEvent(QMouseEvent* event)
{
    d->release();
    QWidget::mouseReleaseEvent(event);
}

void TEVQSubWin::mouseDoubleClickEvent(QMouseEvent* event) { QWidget::mouseDoubleClickEvent(event); }
void TEVQSubWin::paintEvent(QPaintEvent* /*event*/) { d->paint(); }

void TEVQSubWin::resizeEvent(QResizeEvent* event)
{
    d->resizeChildren();
    QWidget::resizeEvent(event);
}

void TEVQSubWin::closeEvent(QCloseEvent* event) { QWidget::closeEvent(event); }

void TEVQSubWin::hideEvent(QHideEvent* event)
{
    // Hidden in the middle of a move or resize, the sub-window would follow the pointer when shown again.
    d->cancelPress();
    QWidget::hideEvent(event);
    // Last: the popups' hide handlers may do anything.
    if (!event->spontaneous())
        d->closePopups();
}

} // namespace TEVQtLib
