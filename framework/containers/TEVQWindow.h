#pragma once
// The framework's top-level window: a dialog that can run without the system frame and then moves, resizes
// and maximises itself, with a caption band, border bands, minimum sizes and a modal loop of its own. For its
// whole life it is registered with the resource manager, so that theme and language changes reach the widgets
// inside it. TEVQWindowImpl holds the state and the mouse logic it shares with the sub-window (TEVQSubWin.h).
#include "ITEVQWindowSettings.h"
#include "TEVGlobal.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"
#include "TEVWindowFrame.h"

#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <QWindow>

#include <vector>

class QEventLoop;
class QMouseEvent;

namespace TEVQtLib {

// Plain widgets a window can be given; they add no behaviour.
class TEV_EXPORT TEVQMDIArea : public QWidget
{
public:
    TEVQMDIArea();
    ~TEVQMDIArea() override;
    std::vector<QWidget*> views; // nothing fills it
};

class TEV_EXPORT TEVQView : public QWidget
{
public:
    TEVQView();
    ~TEVQView() override;
};

class TEV_EXPORT TEVQDockFrame : public QWidget
{
public:
    TEVQDockFrame();
    ~TEVQDockFrame() override;
};

// State and Qt-side mouse logic of a window or sub-window ("TEVWindow" / "TEVSubWin").
class TEV_EXPORT TEVQWindowImpl : public TEVQWidgetBaseImpl
{
public:
    TEVQWindowImpl(QWidget* owner, const QString& typeName);
    ~TEVQWindowImpl() override;

    int resizeEdge = -1;      // border being dragged: -1 none, 0 left, 1 right, 2 top, 3 bottom,
                              // 4 bottom-right, 5 top-right, 6 top-left, 7 bottom-left
    bool resizeable = false;
    bool canDrag = true;
    int borderWidth = 4;      // width of the resize band along each edge
    bool dragging = false;
    QString backgroundImage;
    ImageDesc backgroundImageDesc;
    FillRes backgroundColor;
    bool useFillColor = true; // colour background (true) or image background (false)
    QPoint pressPos;          // global position of the press or of the last applied step
    bool showBackground = false;
    bool cursorOverridden = false;
    int minWidth = 400;
    int minHeight = 400;
    bool onlyDragCaption = false;
    int captionHeight = 40;
    QEventLoop* modalLoop = nullptr;
    QPointer<TEVQMDIArea> mdiArea; // stored only; forgets an area deleted elsewhere

    // One flag for all windows and sub-windows: a press handled by the window logic sets it, any release on a
    // window or sub-window clears it, and while it is set further presses skip the window logic.
    static bool mousePressActive();
    static void clearMousePressActive();

    // ---- shared logic; the owner's handlers call these ----
    // Deepest visible widget under (x, y) of the owner's coordinates, searched from widget down; may be widget.
    QWidget* hitTest(QWidget* widget, int x, int y) const;
    // The press after the flag test: border edge, drag start, press position, mouse grab, flag. seededEdge
    // -2 finds the edge by the press rule, else it is the edge to drag (-1 none); seededDrag -1 decides the
    // drag by the widget under the point, else 0 or 1.
    void press(const QPoint& global, Qt::MouseButton button, int seededEdge = -2, int seededDrag = -1);
    // Hover cursor (when hoverCursor), resize step, drag move. True when the handling of the event ends here.
    bool move(QMouseEvent* event, bool hoverCursor);
    void release();
    // A press that will get no release here (the window is hidden): the move or resize it started ends, and
    // the process-wide press flag is cleared when this window set it.
    void cancelPress();
    // The move or resize of the press ends (the cursor is the arrow again); owner is not null.
    void endPress();
    // Closes the popups open over the owner (its menus and their submenus, a combo box's list), which would
    // otherwise stay on screen, holding the pointer, after the owner is hidden.
    void closePopups();
    void paint();
    // resizeWidget of every direct framework child with a layout record.
    void resizeChildren();
    void centerWindow();
    void setX(int x);
    void setY(int y);
    void setResizeable(bool on);
    void setTransparent(bool on);
    // A widget on the way from w up to the owner keeps its own clicks: an interactive Qt class or a framework
    // widget other than a container or a label.
    bool keepsClicks(QWidget* w) const;
    // Whether a press at local (the owner's coordinates) came up to the owner through an enabled sub-window
    // inside it. Such a press is the sub-window's, also when it neither moves nor resizes it (its caption band
    // only, or no dragging): the window logic of the widgets around it leaves it alone.
    bool pressCameThroughSubWin(const QPoint& local) const;

    // Bounds of a sub-window's moves and resizes: its parent's rectangle, or invalid for a top-level window.
    QRect parentBounds() const;
    // The smallest size the Qt-side resize leaves: the minimum fields, the widget's own minimum and a floor
    // at which the borders and an inner pixel can still be grabbed.
    QSize effectiveMinSize() const;
};

class TEV_EXPORT TEVQWindow : public QDialog, public ITEVQWindowSettings
{
public:
    explicit TEVQWindow(QWidget* parent = nullptr);
    ~TEVQWindow() override;

    static QString typeName() { return QStringLiteral("TEVWindow"); }

    // Runs the window application-modal in its own loop; returns when the loop is left.
    void doModal();
    // Leaves the modal loop; the window stays shown.
    void closeModal();
    // Centres the window on the primary screen.
    void centerWindow();
    QWidget* hitTest(QWidget* widget, int x, int y);

    void setCanDrag(bool on) override;
    bool getCanGrag() const;
    void setCaptionHeight(int height);
    // True when the caption height is not 0.
    bool getCaptionHeight() const;
    void setOnlyDragCaption(bool on) override;
    bool getOnlyDragCaption() const;
    // Also switches mouse tracking, for the hover cursors.
    void setResizeable(bool on) override;
    // Clamped to 0 ... 32767 (the largest window side), stored and passed on as the widget's own minimum.
    void setMinWidth(int width) override;
    void setMinHeight(int height) override;
    void setMinSize(int width, int height);
    QSize getMinSize() const;
    void setBackgroundColor(const FillRes& fill);
    void setBackgroundImage(const QString& name, const ImageDesc& desc);
    void setShowBackground(bool on);
    void setUseFillColor(bool on);
    // true: frameless with a translucent background; false: clears the translucent background only.
    void setTransparent(bool on) override;
    // Moves the left (top) edge to the value and keeps the right (bottom) edge.
    void setX(int x);
    void setY(int y);
    void setMDIArea(TEVQMDIArea* area);
    TEVQMDIArea* getMDIArea() const;
    void ToJsonString(QString& out);

    // Escape closes a modal window (a close event, so a modal loop is left) instead of only hiding it; a
    // window that is not modal ignores Escape.
    void reject() override;

protected:
    // Brings the hover of the widgets under a resting pointer up to date soon: for a change of size, and for
    // widgets a subclass slides under or away from the pointer.
    void refreshHoverLater();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Presses, double clicks and hovering on a frameless window, before any child sees them: border bands and
    // the caption are not client area.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool framelessTopLevel() const;
    // Gives the native window of a frameless window the larger of the minimum fields and the widget's own
    // minimum as its minimum size.
    void passMinimumToWindowSystem();
    void watchWindowHandle();
    // Where local lies in the frame (Client unless a band or the caption takes it).
    platform::FrameZone frameZoneAt(const QPoint& local);
    bool framePress(QMouseEvent* event);
    void frameHover(QMouseEvent* event);
    void checkMaximizedGeometry();
    // Hover of the widgets under a pointer that rests while the window changes size.
    void refreshHoverUnderPointer();

    TEVQWindowImpl* d = nullptr;
    QPointer<QWindow> m_watchedHandle;
    QRect m_restoreGeometry;      // geometry before a maximise this window applied itself
    QRect m_placedGeometry;       // the geometry it gave itself for the maximised or full-screen state
    bool m_placedMaximized = false;
    bool m_changingFlags = false; // the hide that a change of window flags brings is not the user's
    bool m_hoverCheckPending = false;
};

} // namespace TEVQtLib
