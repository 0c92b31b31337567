#pragma once
// The frame of a frameless window, done without native hit-test messages: where a point of the window lies
// (caption, a border band or corner, client area), the Qt-side press, hover and resize rules shared by
// windows and sub-windows, and the hand-over of a move or resize to the window system through Qt
// (QWindow::startSystemMove / startSystemResize). Everything here but the last group is plain arithmetic.
#include "TEVGlobal.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

class QWindow;

namespace TEVQtLib {
namespace platform {

// Where a point of a frameless window lies.
enum class FrameZone : int {
    Client = 0,
    Caption,
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

// What the classification depends on besides the point.
struct FrameHitParams
{
    bool resizeable = false;
    bool canDrag = true;
    bool onlyDragCaption = false;
    int borderWidth = 4;
    int captionHeight = 40;
    bool maximized = false; // maximised or full screen: no border bands
};

// Classifies local (window coordinates) in a window of the given size.
// - Outside the window: Client.
// - Border bands, only when resizeable and not maximised, each borderWidth pixels wide: left 0 <= x < B,
//   right W-1-B < x <= W-1, top and bottom the same; corners first (top-left, top-right, bottom-left,
//   bottom-right), then left, right, top, bottom.
// - Caption: canDrag, the point not below the caption band when onlyDragCaption (y <= captionHeight counts),
//   and the widget under the point does not keep its own clicks (keepsClicks false).
// - Everything else: Client.
TEV_EXPORT FrameZone classifyFramePoint(const FrameHitParams& params, const QSize& size, const QPoint& local,
                                        bool keepsClicks);

// The window-system edges of a border zone (none for Client and Caption).
TEV_EXPORT Qt::Edges frameZoneEdges(FrameZone zone);

// The edge number of the Qt-side resize for a border zone: 0 left, 1 right, 2 top, 3 bottom, 4 bottom-right,
// 5 top-right, 6 top-left, 7 bottom-left; -1 for Client and Caption.
TEV_EXPORT int frameZoneResizeEdge(FrameZone zone);

// The edge a Qt-side press at local starts to drag, or -1: with B the border width, y > H-B and x > W-B gives 4,
// y < B and x < B 6, y > H-B and x < B 7, y < B and x > W-B 5, then x < B 0, x > W-B 1, y < B 2, y > H-B 3.
TEV_EXPORT int framePressEdge(const QSize& size, const QPoint& local, int borderWidth);

// The resize cursor shown while hovering at local, or false in the interior (same bands as framePressEdge,
// corners first).
TEV_EXPORT bool frameHoverCursor(const QSize& size, const QPoint& local, int borderWidth, Qt::CursorShape& shape);

// One step of a Qt-side border resize.
struct FrameResizeStep
{
    QRect geometry;   // the new geometry (position and size)
    QPoint pressPos;  // the reference point for the next step
};

// Moves the dragged edge (edge numbers as framePressEdge) of geometry by the cursor's travel from pressPos to
// global. The size never goes below minSize: at the limit the opposite edge stays where it is, and pressPos
// advances only by what was applied, so the edge follows the cursor again once the cursor is back past the
// limit. With a valid bounds rectangle a dragged edge does not leave it (an edge already outside may not go
// further out). The size never goes above maxSize either (a widget's maximum, where Qt would otherwise keep the
// position and cut the far edge): there too the opposite edge stays. Edge -1 or any other value changes nothing.
TEV_EXPORT FrameResizeStep frameResizeStep(int edge, const QRect& geometry, const QPoint& pressPos,
                                           const QPoint& global, const QSize& minSize,
                                           const QRect& bounds = QRect(),
                                           const QSize& maxSize = QSize(16777215, 16777215));

// The top-left a dragged child of the given size may take inside a parent of parentSize: at least margin
// pixels of it stay inside horizontally and at the bottom, and its top edge stays inside.
TEV_EXPORT QPoint frameClampChildPosition(const QPoint& wanted, const QSize& size, const QSize& parentSize,
                                          int margin);

// Hands a move (edges empty) or a resize to the window system; true when it took it over. Without a window
// manager that supports it (bare Xvfb, offscreen) this is false and the caller moves and resizes itself.
TEV_EXPORT bool startSystemMoveResize(QWindow* window, Qt::Edges edges);

// Replaces the window-system call (tests); null restores it.
using SystemMoveResizeHook = bool (*)(QWindow* window, Qt::Edges edges);
TEV_EXPORT void setSystemMoveResizeHook(SystemMoveResizeHook hook);

} // namespace platform
} // namespace TEVQtLib
