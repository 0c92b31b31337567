// Frameless window and sub-window: the frame layer's pure rules, the Qt-side move and resize under a bare
// X server (no window manager, so the window system refuses every move and resize), maximise and restore,
// minimum sizes, the modal loop, registration with the resource manager and sub-window limits.
#include "TevTest.h"

#include "TEVQContainer.h"
#include "TEVQResourceManager.h"
#include "TEVQSpacer.h"
#include "TEVQSubWin.h"
#include "TEVQWidgetMacros.h"
#include "TEVQWindow.h"
#include "TEVWindowFrame.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <climits>
#include <functional>

using namespace TEVQtLib;
using platform::FrameZone;

Q_DECLARE_METATYPE(TEVQtLib::platform::FrameZone)

// Mesa's GLX library, loaded for the windows' visuals, keeps an allocation for the life of the process whose
// stack the fast unwinder cannot walk; a full unwind lets the suppression by library name find it.
extern "C" const char* __lsan_default_options() { return "fast_unwind_on_malloc=0"; }

namespace {

// A framework widget that counts how often its element is read (theme application reads it).
class ProbeImpl : public TEVQWidgetBaseImpl
{
public:
    using TEVQWidgetBaseImpl::TEVQWidgetBaseImpl;
    bool serializeJsonValue(Json::Value*& json, bool load) override
    {
        if (load)
            ++loads;
        return TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    }
    int loads = 0;
};

} // namespace

class WinProbe : public QWidget, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(WinProbe, QWidget, "qtwinprobe")
public:
    explicit WinProbe(QWidget* parent = nullptr) : QWidget(parent) { tevSetImpl(new ProbeImpl(this, typeName())); }
    ProbeImpl* probe() { return static_cast<ProbeImpl*>(getControlImpl()); }
};

namespace {

TEVQWindowImpl* implOf(QWidget* w) { return static_cast<TEVQWindowImpl*>(w->property("impl").value<void*>()); }

// Records the presses that reach it (a press a sub-window does not accept goes on to its parent).
class PressRecorder : public QWidget
{
public:
    using QWidget::QWidget;
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        ++presses;
        QWidget::mousePressEvent(e);
    }
};

QList<Qt::Edges> g_systemCalls;
bool acceptSystemCall(QWindow*, Qt::Edges edges)
{
    g_systemCalls.append(edges);
    return true;
}

// Mouse input through the window system's entry, as a real pointer would arrive (grabs included).
void pressAt(QWidget* top, const QPoint& global)
{
    QWindow* h = top->windowHandle();
    QTest::mousePress(h, Qt::LeftButton, Qt::NoModifier, h->mapFromGlobal(global));
}
void moveTo(QWidget* top, const QPoint& global)
{
    QTest::mouseMove(top->windowHandle(), top->windowHandle()->mapFromGlobal(global));
}
void releaseAt(QWidget* top, const QPoint& global)
{
    QWindow* h = top->windowHandle();
    QTest::mouseRelease(h, Qt::LeftButton, Qt::NoModifier, h->mapFromGlobal(global));
}
void drag(QWidget* top, const QPoint& from, const QPoint& to)
{
    pressAt(top, from);
    moveTo(top, to);
    releaseAt(top, to);
}

// A frameless window with its minimum size (an invalid size keeps the default) and resize flag; shown()
// shows a window and waits for it.
void frameless(TEVQWindow& w, const QRect& geometry, const QSize& minSize = QSize(), bool resizeable = false)
{
    w.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    if (minSize.isValid())
        w.setMinSize(minSize.width(), minSize.height());
    w.setResizeable(resizeable);
    w.setGeometry(geometry);
}
bool shown(QWidget& w)
{
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

// A 600 x 400 parent at (50, 50) with a sub-window at `geometry`.
struct SubWinHost
{
    explicit SubWinHost(const QRect& geometry)
    {
        parent.setGeometry(50, 50, 600, 400);
        sub = new TEVQSubWin(&parent);
        sub->setGeometry(geometry);
    }
    QWidget parent;
    TEVQSubWin* sub;
};

// A solid fill, with a border when borderSize is above 0.
FillRes solid(const QColor& c, int borderSize = 0, const QColor& border = QColor(), int radius = 0)
{
    FillRes f;
    f.fillColor = f.gradientEndColor = c;
    f.drawBorder = borderSize > 0;
    f.borderSize = borderSize;
    if (borderSize > 0)
        f.borderColor = border;
    f.radius = radius;
    return f;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_themeDir.isValid());
        QVERIFY(tevtest::writeFile(m_themeDir.filePath("style.json"), R"({"style":[
          {"type":1,"name":"panelBg","clr":"ff2b3a4f","round":6,"border":true,"borderSize":1,"borderclr":"ff5b7da8"},
          {"type":1,"name":"captionBg","clr":"ff1d6fb8"}]})"));
        QVERIFY(tevtest::writeFile(m_themeDir.filePath("theme.json"), R"({"elements":[{"child":[
          {"name":"qtwinprobe","attr":{}},
          {"name":"caption","attr":{},"style":[["captionBg",1,0]]},
          {"name":"panel","attr":{},"style":[["panelBg",1,0]]}]}]})"));
    }

    void cleanup()
    {
        platform::setSystemMoveResizeHook(nullptr);
        if (QWidget* g = QWidget::mouseGrabber())
            g->releaseMouse();
        TEVQWindowImpl::clearMousePressActive();
    }

    // ---- frame layer --------------------------------------------------------------------------------------------

    void classifyPoint_data()
    {
        // Flags: R resizeable, D can drag, C only the caption drags, M maximised, K the point is on a widget that
        // keeps its clicks. A 200 x 100 window, border 4, caption 40.
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<FrameZone>("zone");
        const auto row = [](const char* name, const char* flags, QPoint p, FrameZone z) {
            QTest::newRow(name) << QByteArray(flags) << p << z;
        };
        row("left band, last column", "RD", {3, 50}, FrameZone::Left);
        row("past left band", "RD", {4, 50}, FrameZone::Caption);
        row("right band, first column", "RD", {196, 50}, FrameZone::Right);
        row("before right band", "RD", {195, 50}, FrameZone::Caption);
        row("top band", "RD", {100, 3}, FrameZone::Top);
        row("bottom band", "RD", {100, 96}, FrameZone::Bottom);
        row("top-left", "RD", {3, 3}, FrameZone::TopLeft);
        row("bottom-right", "RD", {196, 96}, FrameZone::BottomRight);
        row("outside left", "RD", {-1, 50}, FrameZone::Client);
        row("bands win over a button", "RDK", {0, 50}, FrameZone::Left);
        row("button in caption", "RDK", {100, 20}, FrameZone::Client);
        row("resize off: no bands", "D", {0, 0}, FrameZone::Caption);
        row("maximised: no bands", "RDM", {199, 99}, FrameZone::Caption);
        row("maximised caption", "RDCM", {100, 2}, FrameZone::Caption);
        row("drag off", "R", {100, 20}, FrameZone::Client);
        row("drag off keeps bands", "R", {199, 50}, FrameZone::Right);
        row("only caption: y 40 in", "RDC", {100, 40}, FrameZone::Caption);
        row("only caption: y 41 out", "RDC", {100, 41}, FrameZone::Client);
        row("only caption: bands below", "RDC", {0, 80}, FrameZone::Left);
        row("whole window is caption", "D", {100, 90}, FrameZone::Caption);
    }

    void classifyPoint()
    {
        QFETCH(QByteArray, flags);
        QFETCH(QPoint, point);
        QFETCH(FrameZone, zone);
        platform::FrameHitParams p;
        p.resizeable = flags.contains('R');
        p.canDrag = flags.contains('D');
        p.onlyDragCaption = flags.contains('C');
        p.maximized = flags.contains('M');
        QCOMPARE(platform::classifyFramePoint(p, QSize(200, 100), point, flags.contains('K')), zone);
        // Every band hands the window system the matching edges and the Qt-side resize the matching edge number.
        const Qt::Edges edges = platform::frameZoneEdges(zone);
        const int edge = platform::frameZoneResizeEdge(zone);
        QCOMPARE(edges == Qt::Edges(), edge == -1);
        static const Qt::Edges byEdge[8] = {Qt::LeftEdge, Qt::RightEdge, Qt::TopEdge, Qt::BottomEdge,
                                            Qt::BottomEdge | Qt::RightEdge, Qt::TopEdge | Qt::RightEdge,
                                            Qt::TopEdge | Qt::LeftEdge, Qt::BottomEdge | Qt::LeftEdge};
        if (edge >= 0)
            QCOMPARE(edges, byEdge[edge]);
    }

    void pressEdgeRule_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("edge");
        // 200 x 100, border 4: x < 4 is left, but only x > 196 is right (three columns), the same for y.
        QTest::newRow("left") << QPoint(3, 50) << 0;
        QTest::newRow("x 4") << QPoint(4, 50) << -1;
        QTest::newRow("x 196 is not right") << QPoint(196, 50) << -1;
        QTest::newRow("right") << QPoint(197, 50) << 1;
        QTest::newRow("top") << QPoint(100, 0) << 2;
        QTest::newRow("bottom") << QPoint(100, 99) << 3;
        QTest::newRow("y 96 is not bottom") << QPoint(100, 96) << -1;
        QTest::newRow("bottom-right") << QPoint(199, 99) << 4;
        QTest::newRow("top-right") << QPoint(199, 0) << 5;
        QTest::newRow("top-left") << QPoint(0, 0) << 6;
        QTest::newRow("bottom-left") << QPoint(0, 99) << 7;
    }

    void pressEdgeRule()
    {
        QFETCH(QPoint, point);
        QFETCH(int, edge);
        QCOMPARE(platform::framePressEdge(QSize(200, 100), point, 4), edge);
    }

    void hoverCursorRule()
    {
        const struct { QPoint at; Qt::CursorShape shape; } cases[] = {{{199, 99}, Qt::SizeFDiagCursor},
            {{0, 99}, Qt::SizeBDiagCursor}, {{198, 50}, Qt::SizeHorCursor}, {{100, 1}, Qt::SizeVerCursor}};
        for (const auto& c : cases) {
            Qt::CursorShape s = Qt::ArrowCursor;
            QVERIFY(platform::frameHoverCursor(QSize(200, 100), c.at, 4, s));
            QCOMPARE(s, c.shape);
        }
        Qt::CursorShape s = Qt::ArrowCursor;
        QVERIFY(!platform::frameHoverCursor(QSize(200, 100), QPoint(100, 50), 4, s));
    }

    void resizeStep_data()
    {
        QTest::addColumn<int>("edge");
        QTest::addColumn<QPoint>("global"); // the press was at (500, 500)
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QPoint>("pressPos");
        QTest::addColumn<QSize>("maxSize");

        // From (100, 100, 300, 200) with a minimum of 150 x 120.
        const auto row = [](const char* name, int edge, QPoint global, QRect bounds, QRect geometry, QPoint press,
                            QSize maxSize = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)) {
            QTest::newRow(name) << edge << global << bounds << geometry << press << maxSize;
        };
        const QRect none;
        row("left out", 0, QPoint(480, 510), none, QRect(80, 100, 320, 200), QPoint(480, 500));
        row("right in", 1, QPoint(470, 490), none, QRect(100, 100, 270, 200), QPoint(470, 500));
        row("top out", 2, QPoint(520, 460), none, QRect(100, 60, 300, 240), QPoint(500, 460));
        row("bottom out", 3, QPoint(500, 530), none, QRect(100, 100, 300, 230), QPoint(500, 530));
        row("top-left", 6, QPoint(530, 470), none, QRect(130, 70, 270, 230), QPoint(530, 470));
        row("no edge", -1, QPoint(520, 540), none, QRect(100, 100, 300, 200), QPoint(500, 500));
        // At the minimum the opposite edge stays and the press point advances only by what was applied.
        row("left at min", 0, QPoint(700, 500), none, QRect(250, 100, 150, 200), QPoint(650, 500));
        row("right at min", 1, QPoint(100, 500), none, QRect(100, 100, 150, 200), QPoint(350, 500));
        row("top-left at min", 6, QPoint(900, 900), none, QRect(250, 180, 150, 120), QPoint(650, 580));
        // Inside bounds, a dragged edge stops at the bounds.
        const QRect b(0, 0, 450, 320);
        row("right stops at bounds", 1, QPoint(700, 500), b, QRect(100, 100, 350, 200), QPoint(550, 500));
        row("top stops at bounds", 2, QPoint(500, 300), b, QRect(100, 0, 300, 300), QPoint(500, 400));
        // At the widget's maximum (320 x 260) the opposite edge stays too.
        const QSize m(320, 260);
        row("left at max", 0, QPoint(450, 500), none, QRect(80, 100, 320, 200), QPoint(480, 500), m);
        row("right at max", 1, QPoint(600, 500), none, QRect(100, 100, 320, 200), QPoint(520, 500), m);
        row("top-left at max", 6, QPoint(450, 420), none, QRect(80, 40, 320, 260), QPoint(480, 440), m);
    }

    void resizeStep()
    {
        QFETCH(int, edge);
        QFETCH(QPoint, global);
        QFETCH(QRect, bounds);
        QFETCH(QRect, geometry);
        QFETCH(QPoint, pressPos);
        QFETCH(QSize, maxSize);
        const platform::FrameResizeStep step = platform::frameResizeStep(
            edge, QRect(100, 100, 300, 200), QPoint(500, 500), global, QSize(150, 120), bounds, maxSize);
        QCOMPARE(step.geometry, geometry);
        QCOMPARE(step.pressPos, pressPos);
    }

    void resizeStepFollowsCursorBackFromLimit()
    {
        // The right edge is grabbed 3 px inside (cursor at 397 for the edge at 400).
        QRect g(100, 100, 300, 200);
        QPoint press(397, 200);
        auto step = [&](int x) {
            const platform::FrameResizeStep s = platform::frameResizeStep(1, g, press, QPoint(x, 200), QSize(150, 100));
            g = s.geometry;
            press = s.pressPos;
            return g.right() + 1;
        };
        QCOMPARE(step(100), 250); // far past the limit
        QCOMPARE(step(200), 250); // still left of the limit (the edge at 250 is grabbed at 247)
        QCOMPARE(step(260), 263); // past it: the edge is under the cursor again, 3 px right of it
        QCOMPARE(step(300), 303);
        QCOMPARE(g.left(), 100);
    }

    void childPositionStaysGrabbable()
    {
        const QSize size(100, 80);
        const QSize parent(400, 300);
        QCOMPARE(platform::frameClampChildPosition(QPoint(50, 60), size, parent, 9), QPoint(50, 60));
        QCOMPARE(platform::frameClampChildPosition(QPoint(-500, -20), size, parent, 9), QPoint(-91, 0));
        QCOMPARE(platform::frameClampChildPosition(QPoint(900, 900), size, parent, 9), QPoint(391, 291));
        // A parent smaller than the margin: the child covers it.
        QCOMPARE(platform::frameClampChildPosition(QPoint(30, 30), size, QSize(5, 5), 9), QPoint(-4, 0));
    }

    // ---- window -------------------------------------------------------------------------------------------------

    void settersKeepSizesValid()
    {
        TEVQWindow w;
        QCOMPARE(w.getMinSize(), QSize(400, 400));
        // Negative sizes count as 0; a negative caption height does not switch the caption off.
        w.setCaptionHeight(-3);
        QVERIFY(w.getCaptionHeight());
        w.setMinSize(300, -1);
        QCOMPARE(w.minimumSize(), QSize(300, 0));
        // A minimum beyond the largest window the window system makes (showing it would fail to allocate).
        w.setMinSize(100000, INT_MAX);
        QCOMPARE(w.minimumSize(), QSize(32767, 32767));
        w.setMinWidth(40000);
        w.setMinHeight(300);
        QCOMPARE(w.getMinSize(), QSize(32767, 300));
        w.setMinSize(300, 0);
        // The hover cursor needs tracking while the window resizes.
        w.setResizeable(true);
        QVERIFY(w.hasMouseTracking());

        // setX and setY move one edge: the right and bottom edges stay.
        w.setMinSize(0, 0);
        w.setGeometry(50, 50, 200, 100);
        w.setX(100);
        QCOMPARE(w.geometry(), QRect(100, 50, 150, 100));
        w.setY(80);
        QCOMPARE(w.geometry(), QRect(100, 80, 150, 70));

        // Transparency makes the window frameless; switched off, it stays frameless.
        w.setTransparent(true);
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
        w.setTransparent(false);
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));

        // The area a window is given is not kept beyond its life.
        auto* area = new TEVQMDIArea;
        w.setMDIArea(area);
        QCOMPARE(w.getMDIArea(), area);
        delete area;
        QCOMPARE(w.getMDIArea(), nullptr);

        // A shown sub-window stays shown when it is made transparent.
        QWidget host;
        auto* inner = new TEVQSubWin(&host);
        host.show();
        inner->setTransparent(true);
        QVERIFY(inner->isVisible());
    }

    void registration()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QVERIFY(rm->loadThemeDir(m_themeDir.path()));

        auto* w = new TEVQWindow;
        QVERIFY(rm->registeredWindows().contains(w));
        auto* sub = new TEVQSubWin(w);
        QVERIFY(!rm->registeredWindows().contains(sub));
        auto* probe = new WinProbe(sub); // reached through the sub-window
        const int first = probe->probe()->loads;
        QVERIFY(rm->themeChange());
        QCOMPARE(probe->probe()->loads, first + 1);

        // A window that is not registered is not walked.
        TEVQWindow other;
        auto* lone = new WinProbe(&other);
        const int loneFirst = lone->probe()->loads;
        QVERIFY(rm->unregisterWindow(&other));
        QVERIFY(rm->themeChange());
        QCOMPARE(lone->probe()->loads, loneFirst);

        delete w;
        QVERIFY(!rm->registeredWindows().contains(w));
        QVERIFY(rm->themeChange()); // nothing dangles
    }

    void hitTestFindsDeepestVisible()
    {
        TEVQWindow w;
        w.setGeometry(200, 200, 300, 200);
        auto* a = new QWidget(&w);
        a->setGeometry(10, 10, 100, 100);
        auto* inner = new QWidget(a);
        inner->setGeometry(20, 20, 30, 30); // (30, 30) .. (59, 59) in the window
        auto* b = new QWidget(&w);          // on top of a where they overlap
        b->setGeometry(80, 80, 50, 50);
        auto* hidden = new QWidget(&w);
        hidden->setGeometry(200, 10, 50, 50);
        hidden->hide();
        QVERIFY(shown(w));

        QCOMPARE(w.hitTest(&w, 30, 30), inner);
        QCOMPARE(w.hitTest(&w, 90, 90), b);
        QCOMPARE(w.hitTest(&w, 210, 20), &w);
        QCOMPARE(w.hitTest(hidden, 210, 20), nullptr);
        // A widget outside the window is placed through the screen; no crash.
        QWidget stranger;
        stranger.setGeometry(700, 700, 10, 10);
        QVERIFY(shown(stranger));
        QCOMPARE(w.hitTest(&stranger, 500, 500), &stranger);
    }

    void captionDragFallsBackToQtSide()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200), QSize(100, 100));
        auto* label = new QLabel(QStringLiteral("caption"), &w);
        label->setGeometry(0, 0, 300, 40);
        QVERIFY(shown(w));
        QCOMPARE(w.geometry(), QRect(100, 100, 300, 200));

        // A press on the label in the caption: the window system refuses the move, the window moves itself.
        pressAt(&w, QPoint(250, 120));
        QVERIFY(TEVQWindowImpl::mousePressActive());
        QCOMPARE(QWidget::mouseGrabber(), &w);
        QVERIFY(implOf(&w)->dragging);
        moveTo(&w, QPoint(200, 100));
        QCOMPARE(w.pos(), QPoint(50, 80));
        releaseAt(&w, QPoint(200, 100));
        QVERIFY(!TEVQWindowImpl::mousePressActive());
        QVERIFY(!QWidget::mouseGrabber());
        QCOMPARE(w.size(), QSize(300, 200));
        // The mouse moving without a button no longer moves the window.
        moveTo(&w, QPoint(300, 200));
        QCOMPARE(w.pos(), QPoint(50, 80));
    }

    void borderResizeFallsBackToQtSide()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200), QSize(150, 120), true);
        auto* root = new QWidget(&w); // children over the band do not hide it
        root->setGeometry(0, 0, 300, 200);
        QVERIFY(shown(w));

        // The first column of the right band (x = 396 on the screen; the last is 399).
        pressAt(&w, QPoint(396, 200));
        QCOMPARE(implOf(&w)->resizeEdge, 1);
        moveTo(&w, QPoint(446, 260));
        QCOMPARE(w.geometry(), QRect(100, 100, 350, 200));
        releaseAt(&w, QPoint(446, 260));
        QCOMPARE(implOf(&w)->resizeEdge, -1);
        QCOMPARE(w.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));

        // Top-left corner: both edges follow, the bottom-right corner stays.
        pressAt(&w, QPoint(101, 101));
        QCOMPARE(implOf(&w)->resizeEdge, 6);
        moveTo(&w, QPoint(81, 71));
        QCOMPARE(w.geometry(), QRect(80, 70, 370, 230));
        releaseAt(&w, QPoint(81, 71));

        // Hovering over the band shows the resize cursor, the interior the arrow again.
        moveTo(&w, QPoint(82, 200));
        QCOMPARE(w.cursor().shape(), Qt::SizeHorCursor);
        moveTo(&w, QPoint(200, 200));
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
    }

    void resizeKeepsMaximizeAndRestoreWorking()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200), QSize(150, 120), true);
        QVERIFY(shown(w));
        drag(&w, QPoint(399, 200), QPoint(349, 200));
        const QRect resized(100, 100, 250, 200);
        QCOMPARE(w.geometry(), resized);

        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        w.showMaximized();
        QTRY_COMPARE(w.geometry(), area);
        // No border bands and no Qt-side resize while maximised.
        pressAt(&w, QPoint(area.right(), area.center().y()));
        QCOMPARE(implOf(&w)->resizeEdge, -1);
        moveTo(&w, QPoint(area.right() - 100, area.center().y()));
        releaseAt(&w, QPoint(area.right() - 100, area.center().y()));
        QCOMPARE(w.geometry(), area);

        w.showNormal();
        QTRY_COMPARE(w.geometry(), resized);
        // And the border resize still works afterwards, and restoring returns to its result.
        drag(&w, QPoint(349, 200), QPoint(389, 200));
        QCOMPARE(w.geometry(), QRect(100, 100, 290, 200));
        w.showMaximized();
        QTRY_COMPARE(w.geometry(), area);
        w.showNormal();
        QTRY_COMPARE(w.geometry(), QRect(100, 100, 290, 200));
    }

    void windowStatesFillTheScreenWithinTheLimits()
    {
        // Without a window manager the window fills the screen itself, for full screen too, and restores.
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        const QRect normal(100, 100, 300, 200);
        TEVQWindow w;
        frameless(w, normal, QSize(100, 100), true);
        QVERIFY(shown(w));
        w.showFullScreen();
        QTRY_COMPARE(w.geometry(), screen->geometry());
        w.showNormal();
        QTRY_COMPARE(w.geometry(), normal);

        // Maximised, then placed by the program (Qt drops the state without telling): maximised again at once
        // (before the window system confirmed the place), the window fills the screen and restores to where
        // the program put it.
        w.showMaximized();
        QTRY_COMPARE(w.geometry(), area);
        w.setGeometry(120, 110, 500, 400);
        QVERIFY(!w.isMaximized());
        w.showMaximized();
        QTRY_COMPARE(w.geometry(), area);
        w.showNormal();
        QTRY_COMPARE(w.geometry(), QRect(120, 110, 500, 400));

        // The size limits hold while maximised.
        w.setMaximumSize(600, 500);
        w.showMaximized();
        QTRY_COMPARE(w.geometry(), QRect(area.topLeft(), QSize(600, 500)));
        w.showNormal();
        QTRY_COMPARE(w.geometry(), QRect(120, 110, 500, 400));
        w.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        w.setMinSize(area.width() + 10, 100);
        w.showMaximized();
        QTRY_COMPARE(w.geometry(), QRect(area.topLeft(), QSize(area.width() + 10, area.height())));
        w.showNormal();

        // Maximised while hidden: it fills the screen when shown, and again after hide and show.
        TEVQWindow h;
        frameless(h, normal);
        h.setWindowState(Qt::WindowMaximized);
        QTest::qWait(20);
        QVERIFY(shown(h));
        QTRY_COMPARE(h.geometry(), area);
        h.hide();
        QVERIFY(shown(h));
        QTRY_COMPARE(h.geometry(), area);
        QVERIFY(h.isMaximized());
        h.showNormal();
        QTRY_COMPARE(h.geometry(), normal);
    }

    void hoverFollowsASizeChangeUnderARestingPointer()
    {
        // A caption button that moves away from the resting pointer when the window is maximised loses its
        // hover; the widget now under the pointer gets it.
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200), QSize(100, 100));
        auto* body = new QWidget(&w);
        body->setGeometry(0, 0, 4000, 4000);
        body->setAttribute(Qt::WA_Hover);
        auto* button = new QPushButton(QStringLiteral("max"), &w);
        button->setGeometry(260, 5, 30, 30);
        QObject::connect(button, &QPushButton::clicked, &w, [&w, button]() {
            w.showMaximized();
            button->move(w.width() - 40, 5);
        });
        QVERIFY(shown(w));
        QTest::mouseMove(button, button->rect().center()); // the real pointer
        QTRY_VERIFY(button->underMouse());
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QTRY_VERIFY(w.isMaximized() && !button->underMouse());
        QVERIFY(body->underMouse());
    }

    void closedInTheMiddleOfADrag()
    {
        // Shown again, the window neither follows the pointer nor keeps the presses meant for its children.
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200));
        auto* button = new QPushButton(QStringLiteral("ok"), &w);
        button->setGeometry(100, 100, 80, 30);
        QSignalSpy clicked(button, &QPushButton::clicked);
        QVERIFY(shown(w));
        pressAt(&w, QPoint(150, 110));
        QCOMPARE(QWidget::mouseGrabber(), &w);
        w.close();
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(!TEVQWindowImpl::mousePressActive());
        QVERIFY(shown(w));
        moveTo(&w, QPoint(250, 160));
        QCOMPARE(w.pos(), QPoint(100, 100));
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, QPoint(140, 115));
        QCOMPARE(clicked.count(), 1);
    }

    void popupsCloseWithTheirWindow()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200));
        auto* sub = new TEVQSubWin(&w);
        sub->setGeometry(10, 10, 100, 100);
        QVERIFY(shown(w));
        auto* menu = new QMenu(&w);
        menu->addAction(QStringLiteral("one"));
        QMenu* submenu = menu->addMenu(QStringLiteral("more"));
        submenu->addAction(QStringLiteral("two"));
        menu->popup(QPoint(150, 150));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        submenu->popup(QPoint(250, 150));
        QVERIFY(QTest::qWaitForWindowExposed(submenu));
        w.close();
        QVERIFY(!submenu->isVisible());
        QVERIFY(!menu->isVisible());
        QCOMPARE(QApplication::activePopupWidget(), nullptr);

        // A sub-window's menu closes with the sub-window; a menu of another window stays open.
        QVERIFY(shown(w));
        auto* subMenu = new QMenu(sub);
        subMenu->addAction(QStringLiteral("three"));
        TEVQWindow other;
        auto* otherMenu = new QMenu(&other);
        otherMenu->addAction(QStringLiteral("four"));
        otherMenu->popup(QPoint(400, 400));
        subMenu->popup(QPoint(150, 150));
        QVERIFY(QTest::qWaitForWindowExposed(subMenu));
        sub->hide();
        QVERIFY(!subMenu->isVisible());
        w.hide();
        QVERIFY(otherMenu->isVisible());
        otherMenu->close();
    }

    void clickOnAContainerBelowTheCaption()
    {
        // A press that neither drags nor resizes the window leaves the release to the container under the
        // mouse, which reports its click; a press in the caption still drags.
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200), QSize(), true);
        w.setCanDrag(true);
        w.setOnlyDragCaption(true);
        w.setCaptionHeight(40);
        auto* box = new TEVQContainer(&w);
        box->QWidget::setGeometry(50, 80, 100, 60);
        QSignalSpy clicks(box, &TEVQContainer::mouseClickEvent);
        QVERIFY(shown(w));
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, QPoint(100, 110));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!implOf(&w)->dragging);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void minimumSizesBindTheResize()
    {
        // The window system confirms each resize later (xcb): a check waits for the last one to arrive, so that
        // the confirmation of an earlier step cannot be read in its place.
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200), QSize(200, 150), true);
        QVERIFY(shown(w));
        // Left edge far to the right: the width stops at 200 and the right edge stays at 399.
        pressAt(&w, QPoint(101, 200));
        moveTo(&w, QPoint(600, 200));
        QTRY_COMPARE(w.geometry(), QRect(200, 100, 200, 200));
        moveTo(&w, QPoint(150, 200)); // back past the limit: the edge is 1 px left of the cursor again
        QTRY_COMPARE(w.geometry(), QRect(149, 100, 251, 200));
        releaseAt(&w, QPoint(150, 200));

        // The default minimum binds too: without setMinSize the window never gets below 400 x 400 this way.
        TEVQWindow d;
        d.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        d.setResizeable(true);
        d.setGeometry(100, 100, 500, 500);
        QVERIFY(shown(d));
        drag(&d, QPoint(599, 599), QPoint(150, 150));
        QTRY_COMPARE(d.geometry(), QRect(100, 100, 400, 400));

        // A minimum of 0 still leaves a window whose borders and inside can be grabbed.
        TEVQWindow z;
        frameless(z, QRect(100, 100, 300, 200), QSize(0, 0), true);
        QVERIFY(shown(z));
        drag(&z, QPoint(399, 299), QPoint(0, 0));
        QTRY_COMPARE(z.size(), QSize(9, 9));
    }

    void minimumSizesReachTheWindowSystem()
    {
        TEVQWindow w;
        w.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        w.setGeometry(100, 100, 500, 500);
        QVERIFY(shown(w));
        // The default minimum holds for the window system's own resizes from the start, not from a first press.
        QCOMPARE(w.windowHandle()->minimumSize(), QSize(400, 400));
        // Each setter passes on both sizes: the width's does not drop the height.
        w.setMinWidth(450);
        QCOMPARE(w.windowHandle()->minimumSize(), QSize(450, 400));
        w.setMinHeight(120);
        QCOMPARE(w.windowHandle()->minimumSize(), QSize(450, 120));
        w.setMinSize(200, -5);
        QCOMPARE(w.windowHandle()->minimumSize(), QSize(200, 0));
        // A window shown again (new window flags make a new native window) keeps it.
        w.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(shown(w));
        QCOMPARE(w.windowHandle()->minimumSize(), QSize(200, 0));
    }

    void captionDoubleClickMaximisesAndRestores()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200), QSize(100, 100), true);
        auto* button = new QPushButton(QStringLiteral("ok"), &w);
        button->setGeometry(200, 5, 80, 30);
        QVERIFY(shown(w));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        auto doubleClick = [&w](const QPoint& local) {
            QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, Qt::NoModifier, local);
        };
        doubleClick(QPoint(50, 20));
        QTRY_COMPARE(w.geometry(), area);
        QVERIFY(w.isMaximized());
        doubleClick(QPoint(50, 20)); // the caption of the maximised window restores it
        QTRY_COMPARE(w.geometry(), QRect(100, 100, 300, 200));
        QVERIFY(!w.isMaximized());
        QVERIFY(!TEVQWindowImpl::mousePressActive());

        // Not on a widget that keeps its clicks, not below a caption band that alone drags, not on a border band.
        w.setOnlyDragCaption(true);
        for (const QPoint& local : {QPoint(240, 20), QPoint(50, 150), QPoint(1, 100)}) {
            doubleClick(local);
            QTest::qWait(20);
            QVERIFY2(!w.isMaximized(), qPrintable(QStringLiteral("%1,%2").arg(local.x()).arg(local.y())));
            QCOMPARE(w.geometry(), QRect(100, 100, 300, 200));
        }
    }

    void systemMoveResizeTakesOver()
    {
        g_systemCalls.clear();
        platform::setSystemMoveResizeHook(acceptSystemCall);
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200), QSize(100, 100), true);
        w.setMinimumSize(50, 50); // the widget's own minimum below the window's
        auto* child = new PressRecorder(&w);
        child->setGeometry(0, 0, 300, 200);
        QVERIFY(shown(w));
        // The window's minimum reaches the window system at once, over the widget's own lower one.
        QCOMPARE(w.windowHandle()->minimumSize(), QSize(100, 100));

        // (A local (0, 0) would be taken for the window's centre by QTest.) Corner, band, caption.
        for (const QPoint& p : {QPoint(101, 101), QPoint(399, 250), QPoint(250, 150)}) {
            pressAt(&w, p);
            releaseAt(&w, p);
        }
        QCOMPARE(g_systemCalls, (QList<Qt::Edges>{Qt::TopEdge | Qt::LeftEdge, Qt::RightEdge, Qt::Edges()}));
        // The window system has the pointer: no child press, no flag, no Qt-side state.
        QCOMPARE(child->presses, 0);
        QVERIFY(!TEVQWindowImpl::mousePressActive());
        QCOMPARE(implOf(&w)->resizeEdge, -1);
        QVERIFY(!implOf(&w)->dragging);
        // A double click in the caption is not the child's either.
        QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 60));
        QCOMPARE(child->presses, 0);
        // The window system's resize honours the minimum through the size hints.
        QCOMPARE(w.windowHandle()->minimumSize(), QSize(100, 100));

        // A window with the system frame keeps the ordinary delivery.
        g_systemCalls.clear();
        TEVQWindow framed;
        framed.setGeometry(500, 100, 200, 200);
        QVERIFY(shown(framed));
        pressAt(&framed, QPoint(600, 120));
        releaseAt(&framed, QPoint(600, 120));
        QVERIFY(g_systemCalls.isEmpty());
    }

    void interactiveWidgetsKeepTheirClicks()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200));
        auto* button = new QPushButton(QStringLiteral("ok"), &w);
        button->setGeometry(10, 5, 80, 30);
        auto* box = new QWidget(&w); // a plain widget holding a slider
        box->setGeometry(100, 0, 150, 40);
        auto* slider = new QSlider(Qt::Horizontal, box);
        slider->setGeometry(0, 10, 150, 20);
        slider->setRange(0, 100);
        auto* probe = new WinProbe(&w); // a framework widget other than a container or a label
        probe->setGeometry(260, 0, 40, 40);
        QVERIFY(shown(w));

        QSignalSpy clicked(button, &QPushButton::clicked);
        pressAt(&w, QPoint(130, 120));
        QVERIFY(button->isDown());
        moveTo(&w, QPoint(135, 125));
        releaseAt(&w, QPoint(135, 125));
        QCOMPARE(clicked.count(), 1);
        drag(&w, QPoint(300, 120), QPoint(320, 140));
        QVERIFY(slider->value() > 0);
        QVERIFY(!TEVQWindowImpl::mousePressActive());
        drag(&w, QPoint(380, 120), QPoint(390, 130));
        QCOMPARE(w.pos(), QPoint(100, 100));
    }

    void onlyDragCaptionBand()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 300, 200));
        w.setOnlyDragCaption(true);
        w.setCaptionHeight(40);
        QVERIFY(shown(w));

        pressAt(&w, QPoint(200, 141)); // y 41: client area, the press reaches the window itself
        QVERIFY(!implOf(&w)->dragging);
        moveTo(&w, QPoint(220, 161));
        releaseAt(&w, QPoint(220, 161));
        QCOMPARE(w.pos(), QPoint(100, 100));
        drag(&w, QPoint(200, 140), QPoint(220, 160)); // y 40 still belongs to the caption
        QCOMPARE(w.pos(), QPoint(120, 120));

        // Drag off: the caption is ordinary client area.
        w.setCanDrag(false);
        drag(&w, QPoint(220, 130), QPoint(260, 170));
        QCOMPARE(w.pos(), QPoint(120, 120));
    }

    void modalLoopEndsOnCloseModalCloseAndEscape()
    {
        TEVQWindow w;
        w.setGeometry(100, 100, 200, 150);
        bool timedOut = false;
        QTimer guard; // ends a loop that would otherwise hang
        connect(&guard, &QTimer::timeout, &w, [&]() {
            timedOut = true;
            w.closeModal();
        });
        // closeModal leaves the window shown; close, Escape (a close event), accept and hide leave it hidden.
        const struct { std::function<void()> end; bool visible; } ways[] = {
            {[&w]() { w.closeModal(); }, true},
            {[&w]() { w.close(); }, false},
            {[&w]() { w.activateWindow(); QTest::keyClick(&w, Qt::Key_Escape); }, false},
            {[&w]() { w.accept(); }, false},
            {[&w]() { w.hide(); }, false}};
        for (const auto& way : ways) {
            QTimer::singleShot(50, &w, way.end);
            guard.start(5000);
            w.doModal();
            guard.stop();
            QVERIFY(!timedOut);
            QCOMPARE(w.isVisible(), way.visible);
            QCOMPARE(w.windowModality(), Qt::ApplicationModal);
        }
        // Made frameless and translucent while it runs (a page's "trans"): it stays shown, and the loop runs on.
        bool shownToTheEnd = false;
        QTimer::singleShot(10, &w, [&w]() { w.setTransparent(true); });
        QTimer::singleShot(60, &w, [&]() {
            shownToTheEnd = w.isVisible();
            w.closeModal();
        });
        guard.start(5000);
        w.doModal();
        guard.stop();
        QVERIFY(shownToTheEnd);
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        // Leaving a loop that is not running does nothing.
        w.closeModal();
        w.close();

        // A window that is not modal (a main window) keeps showing when Escape is pressed.
        TEVQWindow main;
        main.setGeometry(100, 100, 200, 150);
        QVERIFY(shown(main));
        QTest::keyClick(&main, Qt::Key_Escape);
        QVERIFY(main.isVisible());
    }

    void windowDeletedInsideItsModalLoop()
    {
        auto* w = new TEVQWindow;
        QPointer<TEVQWindow> guard(w);
        QTimer::singleShot(20, [w]() { delete w; });
        w->doModal();
        QVERIFY(!guard);
        QVERIFY(!TEVQResourceManager::getInstance()->registeredWindows().contains(w));
    }

    void backgroundAndRootContainer()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 200, 120), QSize(0, 0));
        QImage img(200, 120, QImage::Format_ARGB32);
        auto centre = [&]() {
            img.fill(Qt::magenta);
            w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
            return img.pixelColor(100, 60);
        };
        // Nothing of its own without a background; the image mode with a missing image paints nothing either.
        w.setBackgroundColor(solid(Qt::green));
        QCOMPARE(centre(), QColor(Qt::magenta));
        w.setShowBackground(true);
        QCOMPARE(centre(), QColor(Qt::green));
        w.setUseFillColor(false);
        w.setBackgroundImage(QStringLiteral("nosuchimage"), ImageDesc());
        QCOMPARE(centre(), QColor(Qt::magenta));

        // A container child without its own rectangle follows the window's size; a plain child is left alone.
        auto* root = new TEVQContainer(&w);
        QVERIFY(shown(w));
        w.resize(260, 180);
        QTRY_COMPARE(root->geometry(), QRect(0, 0, 260, 180));
        auto* plain = new QWidget(&w);
        plain->setGeometry(5, 5, 10, 10);
        w.resize(300, 200);
        QTRY_COMPARE(root->geometry(), QRect(0, 0, 300, 200));
        QCOMPARE(plain->geometry(), QRect(5, 5, 10, 10));
    }

    void centerWindowOnPrimaryScreen()
    {
        TEVQWindow w;
        w.setMinSize(0, 0);
        w.resize(301, 201);
        w.centerWindow();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(w.pos(), QPoint(screen.x() + (screen.width() - 301) / 2, screen.y() + (screen.height() - 201) / 2));
        // Larger than the screen: its top-left corner, and so its caption, stays on the screen.
        w.resize(screen.width() + 300, 201);
        w.centerWindow();
        QCOMPARE(w.pos(), QPoint(QGuiApplication::primaryScreen()->availableGeometry().x(),
                                 screen.y() + (screen.height() - 201) / 2));
        // A sub-window inside a widget is centred in it.
        SubWinHost h(QRect(10, 10, 201, 151));
        h.sub->centerWindow();
        QCOMPARE(h.sub->pos(), QPoint(199, 124));
        h.sub->resize(700, 300);
        h.sub->centerWindow();
        QCOMPARE(h.sub->pos(), QPoint(0, 50));
    }

    // ---- sub-window ---------------------------------------------------------------------------------------------

    void subWindowRaisesAndPassesPressOn()
    {
        PressRecorder parent;
        parent.setGeometry(50, 50, 600, 400);
        auto* a = new TEVQSubWin(&parent);
        a->setGeometry(100, 100, 200, 150);
        auto* b = new TEVQSubWin(&parent); // on top, overlapping a's right part
        b->setGeometry(250, 120, 200, 150);
        QVERIFY(shown(parent));
        QCOMPARE(parent.children().last(), b);

        pressAt(&parent, QPoint(160, 170)); // inside a only
        QCOMPARE(parent.children().last(), a);
        QCOMPARE(parent.presses, 1); // not accepted by the sub-window
        releaseAt(&parent, QPoint(160, 170));
        QVERIFY(!TEVQWindowImpl::mousePressActive());
    }

    void pressFlagBlocksFurtherPresses()
    {
        SubWinHost h(QRect(0, 0, 200, 150));
        auto* b = new TEVQSubWin(&h.parent);
        b->setGeometry(300, 0, 200, 150);
        QVERIFY(shown(h.parent));

        pressAt(&h.parent, QPoint(100, 100)); // the first takes the press and the flag
        QVERIFY(TEVQWindowImpl::mousePressActive());
        QVERIFY(implOf(h.sub)->dragging);
        // A second press straight on b skips the window logic: no raise, no drag.
        h.sub->raise();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), QPointF(400, 100), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(b, &press);
        QCOMPARE(h.parent.children().last(), h.sub);
        QVERIFY(!implOf(b)->dragging);
        releaseAt(&h.parent, QPoint(100, 100));
        QVERIFY(!TEVQWindowImpl::mousePressActive());

        // A window deleted in the middle of its press does not keep the others blocked.
        pressAt(&h.parent, QPoint(400, 100));
        QVERIFY(TEVQWindowImpl::mousePressActive());
        delete b;
        QVERIFY(!TEVQWindowImpl::mousePressActive());
        releaseAt(&h.parent, QPoint(400, 100));
    }

    void subWindowMovesInsideParent()
    {
        SubWinHost h(QRect(100, 100, 200, 150));
        TEVQSubWin* s = h.sub;
        QWidget* parent = &h.parent;
        QVERIFY(shown(h.parent));

        pressAt(parent, QPoint(250, 170)); // the sub-window's (100, 20)
        moveTo(parent, QPoint(280, 190));
        QCOMPARE(s->pos(), QPoint(130, 120));
        // Dragged far up and left: the top stays inside and a grabbable strip stays visible.
        moveTo(parent, QPoint(-400, -400));
        QCOMPARE(s->pos(), QPoint(-191, 0));
        // It follows again once the cursor is back where it stopped (the press point moved by (-321, -120)).
        moveTo(parent, QPoint(-41, 70));
        QCOMPARE(s->pos(), QPoint(-191, 0));
        moveTo(parent, QPoint(2000, 2000));
        QCOMPARE(s->pos(), QPoint(591, 391));
        releaseAt(parent, QPoint(2000, 2000));
        QCOMPARE(s->size(), QSize(200, 150));

        // Only the caption band drags when asked to.
        s->move(100, 100);
        s->setOnlyDragCaption(true);
        s->setCaptionHeight(30);
        drag(parent, QPoint(250, 200), QPoint(270, 220)); // from (100, 50) in the sub-window
        QCOMPARE(s->pos(), QPoint(100, 100));
        // A spacer in the caption lets the press through to the sub-window beneath it, which then drags.
        auto* gap = new TEVQSpacer(s);
        gap->setGeometry(0, 0, 200, 30);
        gap->show();
        drag(parent, QPoint(250, 160), QPoint(270, 180)); // from (100, 10), over the spacer
        QCOMPARE(s->pos(), QPoint(120, 120));
    }

    void subWindowResizeLimits()
    {
        SubWinHost h(QRect(100, 100, 200, 150));
        TEVQSubWin* s = h.sub;
        QWidget* parent = &h.parent;
        s->setResizeable(true);
        s->setMinWidth(120);
        s->setMinHeight(80);
        QVERIFY(shown(h.parent));

        // Right edge: x > W - 4 (sub-window x 197) starts it; it stops at the minimum and at the parent's edge.
        pressAt(parent, QPoint(349, 220));
        QCOMPARE(implOf(s)->resizeEdge, 1);
        moveTo(parent, QPoint(100, 220));
        QCOMPARE(s->geometry(), QRect(100, 100, 120, 150));
        moveTo(parent, QPoint(1000, 220));
        QCOMPARE(s->geometry(), QRect(100, 100, 500, 150));
        releaseAt(parent, QPoint(1000, 220));

        // Top edge stops at the parent's top.
        s->setGeometry(100, 100, 200, 150);
        pressAt(parent, QPoint(250, 151));
        QCOMPARE(implOf(s)->resizeEdge, 2);
        moveTo(parent, QPoint(250, 0));
        QCOMPARE(s->geometry(), QRect(100, 0, 200, 250));
        releaseAt(parent, QPoint(250, 0));

        // Minimums of 0 or below still leave a sub-window that can be grabbed again at its bottom-right corner.
        s->setGeometry(100, 100, 200, 150);
        s->setMinWidth(0);
        s->setMinHeight(-20);
        drag(parent, QPoint(349, 299), QPoint(0, 0));
        QCOMPARE(s->geometry(), QRect(100, 100, 9, 9));
        pressAt(parent, QPoint(158, 158));
        QCOMPARE(implOf(s)->resizeEdge, 4);
        moveTo(parent, QPoint(250, 200));
        releaseAt(parent, QPoint(250, 200));
        QCOMPARE(s->geometry(), QRect(100, 100, 101, 51));

        // A minimum of any size (page files store it as given) gives the largest width a widget may have.
        s->setGeometry(100, 100, 200, 150);
        s->setMinWidth(INT_MAX);
        s->setMinHeight(INT_MAX);
        drag(parent, QPoint(349, 299), QPoint(360, 310));
        QCOMPARE(s->geometry(), QRect(100, 100, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        s->setGeometry(100, 100, 200, 150);
        drag(parent, QPoint(151, 151), QPoint(141, 141)); // the top-left corner: the bottom-right one stays
        QCOMPARE(s->geometry(), QRect(QPoint(300 - QWIDGETSIZE_MAX, 250 - QWIDGETSIZE_MAX), QPoint(299, 249)));
        s->setMinWidth(120);
        s->setMinHeight(80);

        // At its maximum width the left edge stops and the right edge stays (Qt alone would cut the right side).
        s->setGeometry(100, 100, 200, 150);
        s->setMaximumSize(230, 170);
        drag(parent, QPoint(151, 220), QPoint(51, 220));
        QCOMPARE(s->geometry(), QRect(70, 100, 230, 150));
        s->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

        // Hidden in the middle of a resize: shown again, it does not follow the pointer, and the presses of
        // other windows are not blocked.
        s->setGeometry(100, 100, 200, 150);
        pressAt(parent, QPoint(349, 220));
        QCOMPARE(implOf(s)->resizeEdge, 1);
        s->hide();
        QVERIFY(!TEVQWindowImpl::mousePressActive());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        s->show();
        moveTo(parent, QPoint(300, 220));
        QCOMPARE(s->geometry(), QRect(100, 100, 200, 150));
        releaseAt(parent, QPoint(300, 220));

        // Resize off: the border is ordinary area and the press drags.
        s->setResizeable(false);
        pressAt(parent, QPoint(150, 150));
        QCOMPARE(implOf(s)->resizeEdge, -1);
        releaseAt(parent, QPoint(150, 150));
    }

    void subWindowInsideFramelessWindowTakesItsOwnPress()
    {
        TEVQWindow w;
        frameless(w, QRect(100, 100, 500, 400), QSize(100, 100));
        auto* s = new TEVQSubWin(&w);
        s->setGeometry(50, 20, 200, 150);
        QVERIFY(shown(w));

        drag(&w, QPoint(200, 140), QPoint(230, 160)); // the sub-window's (50, 20): inside the window's caption band
        QCOMPARE(s->pos(), QPoint(80, 40));
        QCOMPARE(w.pos(), QPoint(100, 100));
        // Beside it the window's caption still moves the window.
        drag(&w, QPoint(500, 110), QPoint(510, 120));
        QCOMPARE(w.pos(), QPoint(110, 110));

        // A press the sub-window does not move with (below its caption band, or dragging off) is still its
        // own: neither the window around it nor an outer sub-window moves or raises.
        s->setOnlyDragCaption(true);
        s->setCaptionHeight(10);
        drag(&w, QPoint(250, 250), QPoint(280, 280)); // the sub-window's (60, 100)
        QCOMPARE(s->pos(), QPoint(80, 40));
        QCOMPARE(w.pos(), QPoint(110, 110));
        auto* inner = new TEVQSubWin(s);
        inner->setGeometry(10, 2, 100, 80);
        inner->setCanDrag(false);
        inner->show();
        auto* sibling = new TEVQSubWin(&w);
        sibling->setGeometry(300, 300, 50, 50);
        sibling->show();
        drag(&w, QPoint(210, 157), QPoint(240, 187)); // the inner sub-window's (10, 5): inside s's caption band
        QCOMPARE(s->pos(), QPoint(80, 40));
        QCOMPARE(w.pos(), QPoint(110, 110));
        QCOMPARE(w.children().last(), sibling);
        QVERIFY(!TEVQWindowImpl::mousePressActive());
    }

    void renderThemedWindow()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QVERIFY(rm->loadThemeDir(m_themeDir.path()));

        TEVQWindow w;
        frameless(w, QRect(100, 100, 480, 320), QSize(0, 0));
        w.setBackgroundColor(solid(QColor(0x1b, 0x24, 0x30), 1, QColor(0x3c, 0x55, 0x78)));
        w.setShowBackground(true);

        // The root container fills the window; it paints nothing itself, so the window's background shows.
        auto* root = new TEVQContainer(&w);
        root->setDrawBackground(false);
        auto themed = [](QWidget* parent, const char* theme, const QRect& r) {
            auto* c = new TEVQContainer(parent);
            c->setThemeName(QString::fromLatin1(theme));
            c->getControlBase()->refreshTheme();
            c->getControlBase()->setGeometry(r.x(), r.y(), r.width(), r.height());
        };
        themed(root, "caption", QRect(0, 0, 480, 40));
        auto* sub = new TEVQSubWin(root);
        sub->setGeometry(60, 80, 260, 180);
        sub->setBackgroundColor(solid(QColor(0xe8, 0xee, 0xf5), 2, QColor(0x1d, 0x6f, 0xb8), 8));
        sub->setShowBackground(true);
        themed(sub, "panel", QRect(20, 40, 220, 120));

        QVERIFY(shown(w));
        const QImage img = w.grab().toImage();
        QVERIFY(tevtest::keepRender(img, QStringLiteral("tev_window.png")));
        QCOMPARE(img.pixelColor(400, 200), QColor(0x1b, 0x24, 0x30)); // window background
        QCOMPARE(img.pixelColor(240, 20), QColor(0x1d, 0x6f, 0xb8));  // themed caption
        QCOMPARE(img.pixelColor(70, 100), QColor(0xe8, 0xee, 0xf5));  // sub-window background
        QCOMPARE(img.pixelColor(180, 200), QColor(0x2b, 0x3a, 0x4f)); // themed panel in the sub-window
    }

private:
    QTemporaryDir m_themeDir;
};

TEV_TEST_MAIN(TestWindow)
#include "tst_window.moc"
