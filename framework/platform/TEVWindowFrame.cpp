#include "TEVWindowFrame.h"

#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace TEVQtLib {
namespace platform {

namespace {
SystemMoveResizeHook g_systemHook = nullptr;
} // namespace

FrameZone classifyFramePoint(const FrameHitParams& params, const QSize& size, const QPoint& local, bool keepsClicks)
{
    const QRect r(QPoint(0, 0), size);
    if (!r.contains(local))
        return FrameZone::Client;
    const int x = local.x();
    const int y = local.y();
    if (params.resizeable && !params.maximized) {
        const int b = params.borderWidth;
        const bool left = r.left() <= x && x < r.left() + b;
        const bool right = r.right() - b < x && x <= r.right();
        const bool top = r.top() <= y && y < r.top() + b;
        const bool bottom = r.bottom() - b < y && y <= r.bottom();
        if (top && left)
            return FrameZone::TopLeft;
        if (top && right)
            return FrameZone::TopRight;
        if (bottom && left)
            return FrameZone::BottomLeft;
        if (bottom && right)
            return FrameZone::BottomRight;
        if (left)
            return FrameZone::Left;
        if (right)
            return FrameZone::Right;
        if (top)
            return FrameZone::Top;
        if (bottom)
            return FrameZone::Bottom;
    }
    if (!params.canDrag || (params.onlyDragCaption && y > params.captionHeight))
        return FrameZone::Client;
    return keepsClicks ? FrameZone::Client : FrameZone::Caption;
}

Qt::Edges frameZoneEdges(FrameZone zone)
{
    switch (zone) {
    case FrameZone::Left: return Qt::LeftEdge;
    case FrameZone::Right: return Qt::RightEdge;
    case FrameZone::Top: return Qt::TopEdge;
    case FrameZone::Bottom: return Qt::BottomEdge;
    case FrameZone::TopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case FrameZone::TopRight: return Qt::TopEdge | Qt::RightEdge;
    case FrameZone::BottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case FrameZone::BottomRight: return Qt::BottomEdge | Qt::RightEdge;
    case FrameZone::Client:
    case FrameZone::Caption: break;
    }
    return Qt::Edges();
}

int frameZoneResizeEdge(FrameZone zone)
{
    switch (zone) {
    case FrameZone::Left: return 0;
    case FrameZone::Right: return 1;
    case FrameZone::Top: return 2;
    case FrameZone::Bottom: return 3;
    case FrameZone::BottomRight: return 4;
    case FrameZone::TopRight: return 5;
    case FrameZone::TopLeft: return 6;
    case FrameZone::BottomLeft: return 7;
    case FrameZone::Client:
    case FrameZone::Caption: break;
    }
    return -1;
}

int framePressEdge(const QSize& size, const QPoint& local, int b)
{
    const int x = local.x();
    const int y = local.y();
    const int w = size.width();
    const int h = size.height();
    if (y > h - b && x > w - b)
        return 4;
    if (y < b && x < b)
        return 6;
    if (y > h - b && x < b)
        return 7;
    if (y < b && x > w - b)
        return 5;
    if (x < b)
        return 0;
    if (x > w - b)
        return 1;
    if (y < b)
        return 2;
    if (y > h - b)
        return 3;
    return -1;
}

bool frameHoverCursor(const QSize& size, const QPoint& local, int b, Qt::CursorShape& shape)
{
    const int x = local.x();
    const int y = local.y();
    const int w = size.width();
    const int h = size.height();
    if ((x < b && y < b) || (y > h - b && x > w - b))
        shape = Qt::SizeFDiagCursor;
    else if ((y > h - b && x < b) || (y < b && x > w - b))
        shape = Qt::SizeBDiagCursor;
    else if (x < b || x > w - b)
        shape = Qt::SizeHorCursor;
    else if (y < b || y > h - b)
        shape = Qt::SizeVerCursor;
    else
        return false;
    return true;
}

FrameResizeStep frameResizeStep(int edge, const QRect& geometry, const QPoint& pressPos, const QPoint& global,
                                const QSize& minSize, const QRect& bounds, const QSize& maxSize)
{
    // In 64 bits: a minimum from a page file may be any int, and the edges it gives must not overflow. The
    // result's coordinates are kept within +-2^30, so that its far edges fit an int too.
    FrameResizeStep out{geometry, pressPos};
    const bool leftEdge = edge == 0 || edge == 6 || edge == 7;
    const bool rightEdge = edge == 1 || edge == 4 || edge == 5;
    const bool topEdge = edge == 2 || edge == 5 || edge == 6;
    const bool bottomEdge = edge == 3 || edge == 4 || edge == 7;
    const qint64 minW = std::max(0, minSize.width());
    const qint64 minH = std::max(0, minSize.height());
    const bool bounded = bounds.isValid();
    auto toInt = [](qint64 v) { return int(qBound<qint64>(-(qint64(1) << 30), v, qint64(1) << 30)); };
    qint64 x = geometry.x();
    qint64 y = geometry.y();
    qint64 w = geometry.width();
    qint64 h = geometry.height();
    qint64 pressX = pressPos.x();
    qint64 pressY = pressPos.y();

    if (leftEdge) {
        const qint64 right = x + w; // stays where it is
        qint64 newX = x + (qint64(global.x()) - pressX);
        if (bounded)
            newX = std::max<qint64>(newX, std::min<qint64>(bounds.left(), x));
        newX = std::min(newX, right - minW);
        pressX += newX - x;
        w = right - newX;
        x = newX;
    } else if (rightEdge) {
        qint64 newRight = x + w + (qint64(global.x()) - pressX);
        if (bounded)
            newRight = std::min(newRight, std::max(qint64(bounds.x()) + bounds.width(), x + w));
        newRight = std::max(newRight, x + minW);
        pressX += newRight - (x + w);
        w = newRight - x;
    }

    if (topEdge) {
        const qint64 bottom = y + h;
        qint64 newY = y + (qint64(global.y()) - pressY);
        if (bounded)
            newY = std::max<qint64>(newY, std::min<qint64>(bounds.top(), y));
        newY = std::min(newY, bottom - minH);
        pressY += newY - y;
        h = bottom - newY;
        y = newY;
    } else if (bottomEdge) {
        qint64 newBottom = y + h + (qint64(global.y()) - pressY);
        if (bounded)
            newBottom = std::min(newBottom, std::max(qint64(bounds.y()) + bounds.height(), y + h));
        newBottom = std::max(newBottom, y + minH);
        pressY += newBottom - (y + h);
        h = newBottom - y;
    }

    // A dragged size beyond the largest the widget may have is that largest size, at the same kept edge.
    const qint64 maxW = std::max(0, std::min(maxSize.width(), QWIDGETSIZE_MAX));
    const qint64 maxH = std::max(0, std::min(maxSize.height(), QWIDGETSIZE_MAX));
    if ((leftEdge || rightEdge) && w > maxW) {
        const qint64 cut = w - maxW;
        if (leftEdge)
            x += cut;
        pressX += leftEdge ? cut : -cut;
        w = maxW;
    }
    if ((topEdge || bottomEdge) && h > maxH) {
        const qint64 cut = h - maxH;
        if (topEdge)
            y += cut;
        pressY += topEdge ? cut : -cut;
        h = maxH;
    }
    out.geometry = QRect(toInt(x), toInt(y), int(w), int(h));
    out.pressPos = QPoint(toInt(pressX), toInt(pressY));
    return out;
}

QPoint frameClampChildPosition(const QPoint& wanted, const QSize& size, const QSize& parentSize, int margin)
{
    const int m = std::max(0, margin);
    const int minX = std::min(0, m - size.width());
    const int maxX = std::max(minX, parentSize.width() - m);
    const int maxY = std::max(0, parentSize.height() - m);
    return QPoint(std::min(std::max(wanted.x(), minX), maxX), std::min(std::max(wanted.y(), 0), maxY));
}

bool startSystemMoveResize(QWindow* window, Qt::Edges edges)
{
    if (!window)
        return false;
    if (g_systemHook)
        return g_systemHook(window, edges);
    return edges ? window->startSystemResize(edges) : window->startSystemMove();
}

void setSystemMoveResizeHook(SystemMoveResizeHook hook) { g_systemHook = hook; }

} // namespace platform
} // namespace TEVQtLib
