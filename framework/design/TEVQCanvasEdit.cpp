// The canvas's editing: painting the current page and the selection handles, selecting with the mouse, and
// moving and resizing the selected controls.
#include "TEVQCanvas.h"

#include "TEVQCanvasWindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QVarLengthArray>

using namespace TEVQtLib;

namespace {
enum Value { ValueX, ValueY, ValueW, ValueH };
constexpr int kBand = 5;     // handle band and snap distance, in pixels
constexpr int kMinSide = 10; // smallest width and height a resize leaves

// The widget children of w, guarded. Painting grabs the page's hidden controls one by one, and a grab runs the
// control's own handlers (its paint, the moves and resizes it was given meanwhile), which may delete any control,
// the one grabbed included.
using GuardedChildren = QVarLengthArray<QPointer<QWidget>, 16>;
GuardedChildren childWidgetsOf(const QWidget* w)
{
    GuardedChildren out;
    for (QObject* child : w->children()) {
        if (child->isWidgetType())
            out.append(QPointer<QWidget>(static_cast<QWidget*>(child)));
    }
    return out;
}
} // namespace

// ---- selection ----------------------------------------------------------------------------------------------

void TEVQCanvas::pruneSelection()
{
    bool dropped = false;
    for (int i = m_selection.size() - 1; i >= 0; --i) {
        if (m_selection.at(i).isNull()) {
            m_selection.removeAt(i);
            dropped = true;
        }
    }
    if (dropped) {
        // The start rectangles no longer line up with the selection.
        m_dragStart.clear();
        if (m_mouseState == MouseDragging)
            m_mouseState = MouseIdle;
    }
}

void TEVQCanvas::AddSelectedControl(QWidget* w)
{
    pruneSelection();
    if (!w || IsInSelected(w))
        return;
    m_selection.append(w);
    update();
    emit widgetSelected(w);
}

bool TEVQCanvas::RemoveSelected(QWidget* w)
{
    pruneSelection();
    for (int i = 0; i < m_selection.size(); ++i) {
        if (m_selection.at(i) == w) {
            m_selection.removeAt(i);
            m_dragStart.clear();
            update();
            return true;
        }
    }
    return false;
}

bool TEVQCanvas::IsInSelected(QWidget* w) const
{
    if (!w)
        return false;
    for (const QPointer<QWidget>& s : m_selection) {
        if (s == w)
            return true;
    }
    return false;
}

void TEVQCanvas::RemoveAllSelected()
{
    m_selection.clear();
    m_dragStart.clear();
    update();
}

QList<QWidget*> TEVQCanvas::selectedControls() const
{
    QList<QWidget*> out;
    for (const QPointer<QWidget>& s : m_selection) {
        if (s)
            out.append(s);
    }
    return out;
}

bool TEVQCanvas::isPage(const QObject* o) const
{
    for (TEVQCanvasWindow* page : m_pages) {
        if (page == o)
            return true;
    }
    return false;
}

bool TEVQCanvas::hasSelectedAncestor(const QWidget* w) const
{
    for (const QWidget* a = w ? w->parentWidget() : nullptr; a && a != this; a = a->parentWidget()) {
        if (IsInSelected(const_cast<QWidget*>(a)))
            return true;
    }
    return false;
}

bool TEVQCanvas::isPageChild(const QWidget* w) const
{
    const QWidget* parent = w ? w->parentWidget() : nullptr;
    return parent && parent->parentWidget() == this && isPage(parent);
}

// w's rectangle in canvas coordinates: its origin mapped up to the canvas, its own size.
QRect TEVQCanvas::rectInCanvas(const QWidget* w) const
{
    QPoint origin(0, 0);
    const QWidget* p = w;
    for (; p && p != this; p = p->parentWidget())
        origin += p->pos();
    return QRect(origin, w->size());
}

TEV_CAV_HIT_TEST TEVQCanvas::HitInSelected(int x, int y)
{
    pruneSelection();
    for (const QPointer<QWidget>& s : qAsConst(m_selection)) {
        if (isPageChild(s))
            return TEV_CAV_HIT_NONE;
        const QRect r = rectInCanvas(s);
        if (!r.contains(x, y))
            continue;
        const int L = r.x();
        const int T = r.y();
        const bool nearLeft = x < L + kBand;
        const bool nearTop = y < T + kBand;
        const bool nearRight = x > L + r.width() - kBand;
        const bool nearBottom = y > T + r.height() - kBand;
        if (nearLeft && nearTop)
            return TEV_CAV_HIT_TOPLEFT;
        if (nearRight && nearBottom)
            return TEV_CAV_HIT_BOTTOMRIGHT;
        if (nearRight && nearTop)
            return TEV_CAV_HIT_TOPRIGHT;
        if (nearLeft)
            return nearBottom ? TEV_CAV_HIT_BOTTOMLEFT : TEV_CAV_HIT_LEFT;
        if (nearRight)
            return TEV_CAV_HIT_RIGHT;
        if (!nearTop)
            return nearBottom ? TEV_CAV_HIT_BOTTOM : TEV_CAV_HIT_INSIDE;
        return TEV_CAV_HIT_TOP;
    }
    return TEV_CAV_HIT_NONE;
}

// ---- painting -----------------------------------------------------------------------------------------------

void TEVQCanvas::DrawSelectionPoint(QPainter& painter, int x, int y, bool secondary)
{
    painter.setPen(QPen(Qt::black));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(x - 3, y - 3, 5, 5);
    painter.fillRect(x - 2, y - 2, 3, 3, secondary ? QColor(0xC5, 0xE6, 0xFF, 0xFF) : QColor(0xFF, 0xFF, 0xFF, 0xFF));
}

void TEVQCanvas::paintChild(QPainter& painter, const QPoint& offset, QWidget* w)
{
    if (!w)
        return;
    const QRect target = w->geometry().translated(offset);
    if (w != m_current && !TEVQCanvasWindow::hasVisibilityFlag(w)) {
        // A control's own inner part (a scroll view's viewport) is in its control's picture already; the
        // controls below it (the view's content) are painted here, inside it.
        if (w->isHidden())
            return;
        painter.save();
        painter.setClipRect(target, Qt::IntersectClip);
        for (const QPointer<QWidget>& child : childWidgetsOf(w))
            paintChild(painter, target.topLeft(), child);
        painter.restore();
        return;
    }
    if (w != m_current && !TEVQCanvasWindow::visibilityOf(w))
        return;
    // Only the part that can appear is rendered: inside the canvas and the clip of the ancestors. A control
    // far larger than the screen would otherwise need a pixmap of its whole size.
    QRect visible = target & rect();
    if (painter.hasClipping())
        visible &= painter.clipBoundingRect().toAlignedRect();
    if (visible.isEmpty())
        return;
    const QPointer<QWidget> alive(w);
    const QPixmap pixmap = w->grab(visible.translated(-target.topLeft()));
    if (!alive)
        return;
    painter.drawPixmap(visible.topLeft(), pixmap);
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    for (const QPointer<QWidget>& child : childWidgetsOf(w))
        paintChild(painter, target.topLeft(), child);
    painter.restore();
}

void TEVQCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::gray);
    if (!m_current)
        return;
    const QPoint origin = m_current->pos();
    for (const QPointer<QWidget>& child : childWidgetsOf(m_current))
        paintChild(painter, origin, child);
    pruneSelection();
    bool first = true;
    for (const QPointer<QWidget>& s : qAsConst(m_selection)) {
        const QRect r = rectInCanvas(s);
        const int L = r.x(), T = r.y(), W = r.width(), H = r.height();
        const bool secondary = !first;
        DrawSelectionPoint(painter, L, T, secondary);
        DrawSelectionPoint(painter, L + W / 2, T, secondary);
        DrawSelectionPoint(painter, L + W, T, secondary);
        DrawSelectionPoint(painter, L, T + H, secondary);
        DrawSelectionPoint(painter, L + W / 2, T + H, secondary);
        DrawSelectionPoint(painter, L + W, T + H, secondary);
        DrawSelectionPoint(painter, L, T + H / 2, secondary);
        DrawSelectionPoint(painter, L + W, T + H / 2, secondary);
        first = false;
    }
}

// ---- mouse --------------------------------------------------------------------------------------------------

void TEVQCanvas::mousePressEvent(QMouseEvent* e)
{
    m_pressPoint = e->pos();
    if (!m_current)
        return;
    m_mouseState = MousePressed;
    m_hitKind = HitInSelected(m_pressPoint.x(), m_pressPoint.y());
    if (m_hitKind == TEV_CAV_HIT_INSIDE) {
        const QPoint p = m_pressPoint - m_current->pos();
        QWidget* under = m_current->HitTestWithChildren(m_current, p.x(), p.y());
        if (!IsInSelected(under))
            m_hitKind = TEV_CAV_HIT_NONE;
    }
    if (m_hitKind == TEV_CAV_HIT_NONE)
        return;
    m_mouseState = MouseDragging;
    m_dragMoved = false;
    m_dragStart.clear();
    for (const QPointer<QWidget>& s : qAsConst(m_selection))
        m_dragStart.append(s->geometry());
    // Snap lines: the unselected, shown, not deleted siblings of the primary selected control. Taken once per
    // drag, not on every move.
    m_snapX.clear();
    m_snapY.clear();
    QWidget* parent = m_selection.isEmpty() ? nullptr : m_selection.first()->parentWidget();
    if (parent) {
        for (QObject* object : parent->children()) {
            if (!object->isWidgetType())
                continue;
            QWidget* sibling = static_cast<QWidget*>(object);
            if (sibling->property("MarkDelete").toBool() || !TEVQCanvasWindow::visibilityOf(sibling) ||
                IsInSelected(sibling))
                continue;
            m_snapX.append(sibling->geometry().left());
            m_snapY.append(sibling->geometry().top());
        }
    }
}

void TEVQCanvas::setValue(QWidget* w, int which, int value)
{
    if (ITEVQWidgetBase* control = tevWidgetInterface(w)) {
        void* data = nullptr;
        control->getLayoutData(data);
        if (control->getLayoutType() != LayoutTypeAbsolute || !data)
            return;
        TEVLayoutRect r = *static_cast<TEVLayoutRect*>(data);
        switch (which) {
        case ValueX: r.x = value; break;
        case ValueY: r.y = value; break;
        case ValueW: r.w = value; break;
        default: r.h = value; break;
        }
        // The record, and the control's geometry with it.
        control->setGeometry(r.x, r.y, r.w, r.h);
        return;
    }
    switch (which) {
    case ValueX: w->move(value, w->y()); break;
    case ValueY: w->move(w->x(), value); break;
    case ValueW: w->resize(value, w->height()); break;
    default: w->resize(w->width(), value); break;
    }
}

void TEVQCanvas::mouseMoveEvent(QMouseEvent* e)
{
    m_lastPoint = e->pos();
    pruneSelection();
    if (m_mouseState != MouseDragging || m_selection.isEmpty())
        return;
    const int dx = m_lastPoint.x() - m_pressPoint.x();
    const int dy = m_lastPoint.y() - m_pressPoint.y();
    if (dx || dy)
        m_dragMoved = true;
    for (const QPointer<QWidget>& s : qAsConst(m_selection)) {
        if (isPageChild(s))
            return;
    }
    const bool shiftOnly = e->modifiers() == Qt::ShiftModifier;
    const auto snap = [](const QVector<int>& lines, int v) {
        for (int line : lines) {
            if (qAbs(line - v) < kBand)
                return line;
        }
        return v;
    };
    for (int i = 0; i < m_selection.size() && i < m_dragStart.size(); ++i) {
        QWidget* w = m_selection.at(i);
        const QRect r0 = m_dragStart.at(i);
        const int x0 = r0.x(), y0 = r0.y(), w0 = r0.width(), h0 = r0.height();
        // A control inside another selected control is carried by it: moving it as well would move it twice.
        // Only its size follows the drag, so that its edges go where the container's go.
        const bool carried = hasSelectedAncestor(w);
        const auto setX = [&](int v) {
            if (!carried)
                setValue(w, ValueX, v);
        };
        const auto setY = [&](int v) {
            if (!carried)
                setValue(w, ValueY, v);
        };
        const auto setW = [&](int v) { setValue(w, ValueW, qMax(v, kMinSide)); };
        const auto setH = [&](int v) { setValue(w, ValueH, qMax(v, kMinSide)); };
        switch (m_hitKind) {
        case TEV_CAV_HIT_INSIDE: {
            bool moveX = true;
            bool moveY = true;
            if (shiftOnly) {
                if (qAbs(dx) <= qAbs(dy))
                    moveX = false;
                else
                    moveY = false;
            }
            setX(moveX ? snap(m_snapX, x0 + dx) : x0);
            setY(moveY ? snap(m_snapY, y0 + dy) : y0);
            break;
        }
        case TEV_CAV_HIT_LEFT:
            setX(x0 + dx);
            setW(w0 - dx);
            break;
        case TEV_CAV_HIT_RIGHT:
            setW(w0 + dx);
            break;
        case TEV_CAV_HIT_TOP:
            setY(y0 + dy);
            setH(h0 - dy);
            break;
        case TEV_CAV_HIT_BOTTOM:
            setH(h0 + dy);
            break;
        case TEV_CAV_HIT_TOPLEFT:
            setX(x0 + dx);
            setW(w0 - dx);
            setY(y0 + dy);
            setH(h0 - dy);
            break;
        case TEV_CAV_HIT_BOTTOMLEFT:
            setX(x0 + dx);
            setW(w0 - dx);
            setH(h0 + dy);
            break;
        case TEV_CAV_HIT_TOPRIGHT:
            setY(y0 + dy);
            setH(h0 - dy);
            setW(w0 + dx);
            break;
        case TEV_CAV_HIT_BOTTOMRIGHT:
            setW(w0 + dx);
            setH(h0 + dy);
            break;
        default:
            break;
        }
    }
    update();
}

void TEVQCanvas::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_current)
        return;
    // A drag that never moved is a click: it selects (and with Shift toggles) like a press that started none.
    if (m_mouseState == MouseDragging && m_dragMoved) {
        m_mouseState = MouseIdle;
        // A page resized by its handles gets bars for its new size.
        const int page = m_selection.indexOf(QPointer<QWidget>(m_current));
        if (page >= 0 && page < m_dragStart.size() && m_dragStart.at(page).size() != m_current->size())
            UpdateScrollBar();
        return;
    }
    if (m_mouseState == MouseDragging)
        m_mouseState = MousePressed;
    if (m_mouseState != MousePressed)
        return;
    const QPoint p = e->pos() - m_current->pos();
    QWidget* hit = m_current->HitTestWithChildren(m_current, p.x(), p.y());
    if (!hit) {
        m_mouseState = MouseIdle;
        return;
    }
    m_mouseState = MouseIdle;
    // The selection is announced last: a listener may delete the canvas.
    if (e->modifiers() != Qt::ShiftModifier) {
        RemoveAllSelected();
        AddSelectedControl(hit);
    } else if (IsInSelected(hit)) {
        RemoveSelected(hit);
    } else {
        AddSelectedControl(hit);
    }
}
