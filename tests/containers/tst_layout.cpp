// The container layout engine, case by case: a container size, its mode, gap and padding, children with
// their sizes, ratios, policies, limits, docks and spacers, and the rectangle every child must end with.
#include "TevTest.h"

#include "TEVQContainer.h"
#include "TEVQScrollBar.h"
#include "TEVQSpacer.h"

#include <QMenu>
#include <QPointer>
#include <QResizeEvent>
#include <QWheelEvent>

#include <climits>
#include <functional>
#include <memory>
#include <vector>

namespace {

// These tests show widgets but never draw with OpenGL: keep xcb from loading GLX, whose one-time set-up
// allocations the leak checker cannot attribute. Runs before main creates the application.
[[maybe_unused]] const bool g_noGlx = qputenv("QT_XCB_GL_INTEGRATION", "none");

constexpr int U = 16777215; // unbounded
using TEVQtLib::LayoutSizePolicyFixed;
using TEVQtLib::LayoutSizePolicyFree;

struct Child
{
    enum Kind { Framework, Plain, Spacer } kind = Framework;
    QSize size{10, 10}, minSize{0, 0}, maxSize{U, U};
    int ratio = 1, wPolicy = -1, hPolicy = -1;
    bool absolute = false, hidden = false;
    int dockH = 0, dockV = 0, offX = 0, offY = 0;
    int direction = 0, thickness = 0; // spacer
};

// Modes: 0 row, 1 column, 2 horizontal flow, 3 vertical flow.
struct Case
{
    const char* name;
    int mode;
    QSize size;
    int gap;
    QMargins pad; // left, top, right, bottom
    std::vector<Child> children;
    std::vector<QRect> expected;
};

Child fw(int w, int h, int ratio = 1) { Child c; c.size = {w, h}; c.ratio = ratio; return c; }
Child fill(int w, int h, int ratio = 1) { Child c = fw(w, h, ratio); c.wPolicy = 0; c.hPolicy = 0; return c; }
Child plain(int w, int h) { Child c; c.kind = Child::Plain; c.size = {w, h}; return c; }
Child fixedW(int w, int h) { Child c = fw(w, h); c.wPolicy = 1; c.hPolicy = 0; return c; }
Child fixedH(int w, int h) { Child c = fw(w, h); c.hPolicy = 1; c.wPolicy = 0; return c; }
Child spacer(int direction = 0, int ratio = 1, int thickness = 0)
{
    Child c = fill(0, 0, ratio); c.kind = Child::Spacer; c.direction = direction; c.thickness = thickness; return c;
}
Child withMin(Child c, int w, int h) { c.minSize = {w, h}; return c; }
Child withMax(Child c, int w, int h) { c.maxSize = {w, h}; return c; }
Child docked(int w, int h, int dh, int dv, int ox = 0, int oy = 0)
{
    Child c = fw(w, h); c.absolute = true; c.dockH = dh; c.dockV = dv; c.offX = ox; c.offY = oy; return c;
}
Child hiddenChild(Child c) { c.hidden = true; return c; }

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        // ---- one row ----
        {"row: ratios 1 and 2", 0, {300, 50}, 0, {}, {fill(5, 5, 1), fill(5, 5, 2)},
         {{0, 0, 100, 50}, {100, 0, 200, 50}}},
        {"row: a ratio below 1 counts as 1", 0, {300, 50}, 0, {}, {fill(5, 5, 0), fill(5, 5, -3), fill(5, 5, 1)},
         {{0, 0, 100, 50}, {100, 0, 100, 50}, {200, 0, 100, 50}}},
        {"row: three equal shares, the last takes what truncation lost", 0, {100, 20}, 0, {},
         {fill(1, 1), fill(1, 1), fill(1, 1)}, {{0, 0, 33, 20}, {33, 0, 33, 20}, {66, 0, 34, 20}}},
        {"row: fixed child and gap", 0, {300, 40}, 10, {}, {fixedW(50, 10), fill(5, 5)},
         {{0, 0, 50, 40}, {60, 0, 240, 40}}},
        {"row: a capped share leaves the rest to the last child", 0, {400, 30}, 0, {},
         {withMax(fill(5, 5, 3), 80, U), fill(5, 5, 1)}, {{0, 0, 80, 30}, {80, 0, 320, 30}}},
        {"row: a minimum width wins over the share", 0, {200, 30}, 0, {}, {withMin(fill(5, 5), 150, 0), fill(5, 5)},
         {{0, 0, 150, 30}, {150, 0, 50, 30}}},
        {"row: a child without the interface keeps its height, height policy 0 fills", 0, {200, 60}, 0, {},
         {plain(10, 17), fill(10, 17)}, {{0, 0, 100, 17}, {100, 0, 100, 60}}},
        {"row: unset height policy keeps the height, capped at the cross size", 0, {200, 60}, 0, {},
         {fw(10, 25), fw(10, 90)}, {{0, 0, 100, 25}, {100, 0, 100, 60}}},
        {"row: the cross size respects the maximum height", 0, {100, 60}, 0, {}, {withMax(fill(1, 1), U, 30)},
         {{0, 0, 100, 30}}},
        {"row: padding and gap", 0, {200, 100}, 4, {5, 6, 7, 8}, {fill(1, 1), fill(1, 1)},
         {{5, 6, 92, 86}, {101, 6, 92, 86}}},
        {"row: a hidden child is laid out like a visible one", 0, {90, 10}, 0, {},
         {fill(1, 1), hiddenChild(fill(1, 1))}, {{0, 0, 45, 10}, {45, 0, 45, 10}}},
        {"row: fixed children wider than the room are clamped to it", 0, {100, 10}, 0, {},
         {fixedW(150, 10), fill(1, 1)}, {{0, 0, 100, 10}, {100, 0, 0, 10}}},
        {"row: negative padding widens the room", 0, {100, 10}, 0, {-10, 0, 0, 0}, {fill(1, 1)}, {{-10, 0, 110, 10}}},
        {"row: gaps larger than the container leave zero widths", 0, {10, 10}, 20, {}, {fill(1, 1), fill(1, 1)},
         {{0, 0, 0, 10}, {20, 0, 0, 10}}},
        {"row: a negative gap counts as none", 0, {100, 10}, -5, {}, {fill(1, 1), fill(1, 1)},
         {{0, 0, 50, 10}, {50, 0, 50, 10}}},
        {"row: docked children are not in the row", 0, {200, 100}, 0, {}, {fill(1, 1), docked(20, 20, 2, 2)},
         {{0, 0, 200, 100}, {180, 80, 20, 20}}},

        // ---- one column ----
        {"column: ratios 1 and 2", 1, {50, 300}, 0, {}, {fill(5, 5, 1), fill(5, 5, 2)},
         {{0, 0, 50, 100}, {0, 100, 50, 200}}},
        {"column: fixed child and gap", 1, {40, 300}, 10, {}, {fixedH(10, 50), fill(5, 5)},
         {{0, 0, 40, 50}, {0, 60, 40, 240}}},
        {"column: a fixed child taller than the column is clamped to it", 1, {40, 100}, 0, {},
         {fixedH(10, 150), fill(5, 5)}, {{0, 0, 40, 100}, {0, 100, 40, 0}}},
        {"column: a fixed child at its maximum", 1, {40, 300}, 0, {}, {withMax(fixedH(10, 120), U, 100), fill(5, 5)},
         {{0, 0, 40, 100}, {0, 100, 40, 200}}},
        {"column: width policy 0 fills, a plain child keeps its width", 1, {80, 100}, 0, {},
         {fill(10, 10), plain(33, 10)}, {{0, 0, 80, 50}, {0, 50, 33, 50}}},
        {"column: padding", 1, {100, 100}, 0, {1, 2, 3, 4}, {fill(1, 1)}, {{1, 2, 96, 94}}},

        // ---- spacers ----
        {"spacer: takes the free room", 0, {300, 40}, 0, {}, {fixedW(100, 10), spacer(), fixedW(50, 10)},
         {{0, 0, 100, 40}, {100, 0, 150, 40}, {250, 0, 50, 40}}},
        {"spacer: children shrink in proportion when the room is short", 0, {100, 20}, 0, {},
         {fw(80, 20), spacer(), fw(60, 20)}, {{0, 0, 58, 20}, {58, 0, 0, 20}, {58, 0, 42, 20}}},
        {"spacer: the shrink stops at the minimum", 0, {100, 20}, 0, {},
         {withMin(fw(80, 20), 70, 0), spacer(), fw(60, 20)}, {{0, 0, 75, 20}, {75, 0, 0, 20}, {75, 0, 25, 20}}},
        {"spacer: two spacers share by ratio", 0, {300, 10}, 0, {}, {fw(100, 10), spacer(0, 1), spacer(0, 3)},
         {{0, 0, 100, 10}, {100, 0, 50, 10}, {150, 0, 150, 10}}},
        // Ratios come from page files: sums of them must not overflow (the sanitizers watch).
        {"spacer: ratios at the int maximum share evenly", 0, {300, 10}, 0, {},
         {fw(100, 10), spacer(0, INT_MAX), spacer(0, INT_MAX)}, {{0, 0, 100, 10}, {100, 0, 100, 10}, {200, 0, 100, 10}}},
        {"spacer: three ratios at the int maximum in a column", 1, {10, 300}, 0, {},
         {spacer(0, INT_MAX), spacer(0, INT_MAX), spacer(0, INT_MAX)}, {{0, 0, 10, 100}, {0, 100, 10, 100}, {0, 200, 10, 100}}},
        {"row: ratios at the int maximum share evenly", 0, {300, 10}, 0, {},
         {fill(1, 1, INT_MAX), fill(1, 1, INT_MAX), fill(1, 1, INT_MAX)}, {{0, 0, 100, 10}, {100, 0, 100, 10}, {200, 0, 100, 10}}},
        {"spacer: a capped spacer leaves the rest to the next", 0, {300, 10}, 0, {},
         {withMax(spacer(0, 1), 40, U), spacer(0, 1)}, {{0, 0, 40, 10}, {40, 0, 260, 10}}},
        {"spacer: thickness is the cross size", 0, {100, 40}, 0, {}, {spacer(1, 1, 7)}, {{0, 0, 100, 7}}},
        {"spacer: a vertical spacer in a row is an ordinary child", 0, {200, 10}, 0, {}, {fill(1, 1), spacer(2)},
         {{0, 0, 100, 10}, {100, 0, 100, 10}}},
        {"spacer: in a column", 1, {30, 200}, 10, {}, {fixedH(10, 40), spacer(2), fixedH(10, 40)},
         {{0, 0, 30, 40}, {0, 50, 30, 100}, {0, 160, 30, 40}}},
        {"spacer: with padding and gap", 0, {120, 30}, 5, {10, 0, 10, 0}, {fixedW(20, 10), spacer(), fixedW(20, 10)},
         {{10, 0, 20, 30}, {35, 0, 50, 30}, {90, 0, 20, 30}}},

        // ---- docking (no layout children) ----
        {"dock: centre truncates", 0, {101, 100}, 0, {}, {docked(50, 40, 1, 1)}, {{25, 30, 50, 40}}},
        {"dock: far edges with padding and offsets", 0, {200, 100}, 0, {10, 5, 5, 10}, {docked(50, 20, 2, 2, 3, 4)},
         {{148, 74, 50, 20}}},
        {"dock: near edges start at the padding", 0, {200, 100}, 0, {10, 5, 0, 0}, {docked(50, 20, 0, 0, -2, 0)},
         {{8, 5, 50, 20}}},
        {"dock: clamped to the inner box", 0, {100, 50}, 0, {}, {docked(150, 80, 0, 0)}, {{0, 0, 100, 50}}},
        {"dock: negative padding gives origin 0", 0, {100, 50}, 0, {-10, -10, 0, 0}, {docked(30, 30, 0, 0)},
         {{0, 0, 30, 30}}},

        // ---- floating ----
        {"horizontal flow wraps", 2, {100, 200}, 10, {}, {fw(40, 20), fw(40, 30), fw(40, 25)},
         {{0, 0, 40, 20}, {50, 0, 40, 30}, {0, 40, 40, 25}}},
        {"horizontal flow: a child wider than the row stays alone", 2, {100, 200}, 0, {}, {fw(150, 10), fw(10, 10)},
         {{0, 0, 150, 10}, {0, 10, 10, 10}}},
        {"horizontal flow with padding", 2, {100, 200}, 5, {10, 10, 10, 10}, {fw(40, 20), fw(40, 20), fw(30, 5)},
         {{10, 10, 40, 20}, {10, 35, 40, 20}, {55, 35, 30, 5}}},
        {"vertical flow wraps", 3, {200, 100}, 10, {}, {fw(20, 40), fw(30, 40), fw(25, 40)},
         {{0, 0, 20, 40}, {0, 50, 30, 40}, {40, 0, 25, 40}}},
        {"flow: docked children take no slot", 2, {100, 100}, 0, {}, {fw(40, 10), docked(10, 10, 2, 0), fw(40, 10)},
         {{0, 0, 40, 10}, {90, 0, 10, 10}, {40, 0, 40, 10}}},
    };
    return all;
}

QWidget* makeChild(const Child& c, TEVQContainer* parent)
{
    QWidget* w = nullptr;
    if (c.kind == Child::Plain) {
        w = new QWidget(parent);
    } else if (c.kind == Child::Spacer) {
        auto* s = new TEVQSpacer(parent);
        s->setDirection(TEVQSpacer::Direction(c.direction));
        s->setThickness(c.thickness);
        w = s;
    } else {
        w = new TEVQContainer(parent);
    }
    w->setMinimumSize(c.minSize);
    w->setMaximumSize(c.maxSize);
    w->resize(c.size);
    if (auto* i = TEVQtLib::tevWidgetInterface(w)) {
        i->setWidthPolicy(TEVQtLib::LayoutSizePolicy(c.wPolicy));
        i->setHeightPolicy(TEVQtLib::LayoutSizePolicy(c.hPolicy));
        // Setting a dock switches absolute layout on; the flag comes last.
        i->setAbsoluteDock(TEVQtLib::DockLayoutType(c.dockH), TEVQtLib::DockLayoutType(c.dockV), c.offX, c.offY);
        i->setAbsoluteLayout(c.absolute);
        i->setLayoutRatio(c.ratio);
    }
    if (c.hidden)
        w->hide();
    return w;
}

// A child container added to c with the given policies and size.
TEVQContainer* addChild(TEVQContainer& c, QSize size, int wPolicy = -1, int hPolicy = -1, int ratio = 1)
{
    auto* k = new TEVQContainer;
    k->setWidthPolicy(TEVQtLib::LayoutSizePolicy(wPolicy));
    k->setHeightPolicy(TEVQtLib::LayoutSizePolicy(hPolicy));
    k->resize(size);
    c.addChildWidget(k, ratio);
    return k;
}

QWidget* plainChild(QWidget* parent, const QRect& r)
{
    auto* w = new QWidget(parent);
    w->setGeometry(r);
    return w;
}

// A container with a vertical bar bound (and a horizontal one when asked), in the given mode.
struct Scrolled
{
    explicit Scrolled(QSize size, int mode = TEVQContainer::NoUse, bool horizontal = false)
    {
        c.resize(size);
        c.setChildLayout(TEVQContainer::AutoChildLayout(mode));
        if (horizontal) {
            h = new TEVQScrollBar(Qt::Horizontal);
            c.bindScrollBar(h, true);
        }
        c.bindScrollBar(v, false);
    }
    // Shown for Qt (visible, events delivered at once) without a native window.
    void show()
    {
        c.setAttribute(Qt::WA_DontShowOnScreen);
        c.show();
    }
    TEVQContainer c;
    TEVQScrollBar* h = nullptr;
    TEVQScrollBar* v = new TEVQScrollBar(Qt::Vertical);
};

// A child that grows tall while it is wide and short while it is narrow, and keeps its unscrolled place
// current itself: a vertical bar appearing makes it narrow and so unnecessary, and the bar disappearing makes
// it necessary again.
class Flipper : public QWidget
{
public:
    using QWidget::QWidget;
    int resizes = 0;

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        ++resizes;
        QWidget::resizeEvent(e);
        const int h = width() >= 100 ? 300 : 50;
        if (height() != h)
            resize(width(), h);
        setProperty("_tev_container_base_geometry", geometry());
    }
};

// A container child that runs a callback from the next resize it gets (one the pass's own placing sends).
class OnResize : public TEVQContainer
{
public:
    using TEVQContainer::TEVQContainer;
    std::function<void()> once;

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        TEVQContainer::resizeEvent(e);
        std::function<void()> f;
        f.swap(once);
        if (f)
            f();
    }
};

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void table_data()
    {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << int(i);
    }

    // Every case twice: the rectangles must not drift on a second pass (a ratio placed through the
    // framework's own setGeometry would turn into an absolute layout and lose its share).
    void table()
    {
        QFETCH(int, index);
        const Case& k = cases()[size_t(index)];
        // The children are built under a container in mode 4, so that each enters the pass with the size it was
        // given; the mode is set last, which runs the first pass.
        TEVQContainer c;
        c.resize(k.size);
        c.setChildSpace(k.gap);
        c.setChildPadding(k.pad.left(), k.pad.top(), k.pad.right(), k.pad.bottom());
        std::vector<QWidget*> kids;
        for (const Child& ch : k.children)
            kids.push_back(makeChild(ch, &c));
        c.setChildLayout(TEVQContainer::AutoChildLayout(k.mode));
        QCOMPARE(kids.size(), k.expected.size());
        for (int pass = 0; pass < 2; ++pass) {
            c.forceResize();
            for (size_t i = 0; i < kids.size(); ++i) {
                QCOMPARE(kids[i]->geometry(), k.expected[i]);
                QCOMPARE(kids[i]->property("_tev_container_base_geometry").toRect(), k.expected[i]);
            }
        }
        for (size_t i = 0; i < kids.size(); ++i) // the ratio survives the passes
            if (auto* iface = TEVQtLib::tevWidgetInterface(kids[i]))
                QCOMPARE(iface->getLayoutRatio(), qMax(k.children[i].ratio, 1));
    }

    void modeFourPlacesNothing()
    {
        TEVQContainer c;
        c.resize(200, 100);
        auto* a = new TEVQContainer(&c);
        a->setGeometry(QRect(3, 4, 20, 30));
        QCoreApplication::processEvents();
        c.addChildWidget(a, 1);
        c.forceResize();
        QCOMPARE(a->geometry(), QRect(3, 4, 20, 30));
        // Switching to a row places it.
        c.setChildLayout(TEVQContainer::Horizontal);
        QCOMPARE(a->geometry().width(), 200);
    }

    void childCreatedWithParentIsLaidOutFromTheEventLoop()
    {
        TEVQContainer c;
        c.resize(120, 40);
        c.setChildLayout(TEVQContainer::Horizontal);
        auto* a = new TEVQContainer(&c);
        auto* b = new TEVQContainer(&c);
        a->setHeightPolicy(LayoutSizePolicyFree);
        QVERIFY(a->width() != 60);
        QTRY_COMPARE(a->geometry(), QRect(0, 0, 60, 40));
        QCOMPARE(b->geometry().x(), 60);
        // Deleting a child re-lays the rest out on the next pass.
        delete a;
        c.forceResize();
        QCOMPARE(b->geometry(), QRect(0, 0, 120, b->height()));

        // A window parented to the container (a context menu open over it) takes no place in the row and is
        // neither moved nor scrolled.
        c.setAttribute(Qt::WA_DontShowOnScreen);
        c.show();
        c.bindScrollBar(new TEVQScrollBar, false);
        auto* menu = new QMenu(&c);
        menu->addAction(QStringLiteral("item"));
        menu->popup(QPoint(700, 600));
        const QRect shown = menu->geometry();
        QCoreApplication::processEvents(); // the pass the new child asks for
        QCOMPARE(menu->geometry(), shown);
        QCOMPARE(b->geometry(), QRect(0, 0, 120, b->height()));
        QVERIFY(c.getBindScrollBar(false)->isHidden());
        menu->hide();
    }

    void hiddenTreeHoldsItsFinalGeometry()
    {
        // Nothing is shown: no resize event reaches the nested containers, yet each lays out its children.
        TEVQContainer root;
        root.resize(300, 200);
        root.setChildLayout(TEVQContainer::Vertical);
        TEVQContainer* row = addChild(root, QSize(10, 10), LayoutSizePolicyFree);
        row->setChildLayout(TEVQContainer::Horizontal);
        TEVQContainer* leaf = addChild(*row, QSize(10, 10), -1, LayoutSizePolicyFree);
        TEVQContainer* leaf2 = addChild(*row, QSize(10, 10), -1, LayoutSizePolicyFree);
        root.resize(400, 100);
        root.forceResize();
        QVERIFY(!root.isVisible());
        QCOMPARE(row->geometry(), QRect(0, 0, 400, 100));
        QCOMPARE(leaf->geometry(), QRect(0, 0, 200, 100));
        QCOMPARE(leaf2->geometry(), QRect(200, 0, 200, 100));

        // Laid out at another size while hidden (adding a child), then given back the size of an earlier pass:
        // the resize that arrives with the show lays it out for the size it has.
        TEVQContainer c;
        c.resize(200, 50);
        c.setChildLayout(TEVQContainer::Horizontal);
        c.resize(300, 50);
        auto* a = new QWidget;
        c.addChildWidget(a, 1);
        QCOMPARE(a->width(), 300);
        c.resize(200, 50);
        c.setAttribute(Qt::WA_DontShowOnScreen);
        c.show();
        QCOMPARE(a->width(), 200);
    }

    void extremeValuesStayInRange()
    {
        // Values as a page file may carry them: nothing overflows (the sanitizers watch) and every child stays
        // within the engine's coordinate range.
        TEVQContainer c;
        c.resize(500, 400);
        c.setChildSpace(INT_MAX);
        c.setChildPadding(INT_MIN, INT_MAX, INT_MAX, INT_MIN);
        for (int i = 0; i < 6; ++i) {
            auto* k = i == 2 ? static_cast<QWidget*>(new TEVQSpacer(&c)) : new TEVQContainer(&c);
            auto* iface = TEVQtLib::tevWidgetInterface(k);
            iface->setLayoutRatio(INT_MAX);
            if (i == 5)
                iface->setAbsoluteDock(TEVQtLib::DockLayoutCenter, TEVQtLib::DockLayoutFar, INT_MAX, INT_MIN);
        }
        auto* h = new TEVQScrollBar(Qt::Horizontal);
        auto* v = new TEVQScrollBar(Qt::Vertical);
        for (int round = 0; round < 2; ++round) {
            for (int m = 0; m <= 4; ++m) {
                c.setChildLayout(TEVQContainer::AutoChildLayout(m));
                c.setScrollPos(true, INT_MAX);
                c.setScrollPos(false, INT_MIN);
                for (QWidget* k : c.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                    QVERIFY(qAbs(qint64(k->x())) <= (qint64(1) << 31) && qAbs(qint64(k->y())) <= (qint64(1) << 31));
            }
            c.bindScrollBar(h, true);
            c.bindScrollBar(v, false);
        }
        c.setChildSpace(0);
        c.setChildPadding(0);
        c.setChildLayout(TEVQContainer::Horizontal);
        // The spacer takes the row the others (shrunk to nothing by the passes above) leave free.
        const TEVQSpacer* spacer = c.findChild<TEVQSpacer*>();
        QVERIFY(spacer->width() > 0 && spacer->width() <= 500);
    }

    void settersRelayoutTheContainer()
    {
        // A new ratio through the container, and a spacer's thickness and direction, take effect at once.
        TEVQContainer c;
        c.resize(300, 10);
        c.setChildLayout(TEVQContainer::Horizontal);
        TEVQContainer* a = addChild(c, QSize(10, 10));
        TEVQContainer* b = addChild(c, QSize(10, 10));
        QCOMPARE(a->width(), 150);
        c.setChildRatio(a, 2);
        QCOMPARE(a->width(), 200);
        QCOMPARE(b->geometry().x(), 200);
        c.setChildRatio(a, 0); // counts as 1
        QCOMPARE(a->width(), 150);

        TEVQContainer row;
        row.resize(100, 50);
        row.setChildLayout(TEVQContainer::Horizontal);
        auto* s = new TEVQSpacer;
        s->setHeightPolicy(LayoutSizePolicyFree);
        row.addChildWidget(s, 1);
        s->setThickness(9);
        QCOMPARE(s->geometry(), QRect(0, 0, 100, 9));
        s->setDirection(TEVQSpacer::Vertical); // an ordinary child in a row: its policy fills the height
        QCOMPARE(s->height(), 50);
    }

    void passAskedForDuringAPassRunsAfterIt()
    {
        // A child's handler changes the gap, then the container's size, while the pass places it: the children
        // end where a pass with the new values puts them.
        QWidget top;
        top.setAttribute(Qt::WA_DontShowOnScreen);
        auto* c = new TEVQContainer(&top);
        c->resize(310, 50);
        c->setChildLayout(TEVQContainer::Horizontal);
        top.show();
        auto* a = new OnResize(c);
        auto* b = new TEVQContainer(c);
        for (TEVQContainer* k : {static_cast<TEVQContainer*>(a), b}) {
            k->setHeightPolicy(LayoutSizePolicyFree);
            k->show();
        }
        c->forceResize();
        QCOMPARE(b->geometry(), QRect(155, 0, 155, 50));
        a->once = [c] { c->setChildSpace(10); };
        c->resize(410, 50);
        QCOMPARE(a->geometry(), QRect(0, 0, 200, 50));
        QCOMPARE(b->geometry(), QRect(210, 0, 200, 50));
        a->once = [c] { c->resize(510, 60); };
        c->resize(310, 50);
        QCOMPARE(c->size(), QSize(510, 60));
        QCOMPARE(a->geometry(), QRect(0, 0, 250, 60));
        QCOMPARE(b->geometry(), QRect(260, 0, 250, 60));
    }

    void autoSizedDockedContainerTakesItsContentSize()
    {
        TEVQContainer c;
        c.resize(300, 200);
        c.setChildLayout(TEVQContainer::Vertical);
        auto* inner = new TEVQContainer(&c);
        inner->setAbsoluteLayout(true);
        inner->setAbsoluteDock(TEVQtLib::DockLayoutCenter, TEVQtLib::DockLayoutFar, 0, 0);
        inner->setChildLayout(TEVQContainer::Horizontal);
        inner->setChildSpace(4);
        inner->setChildPadding(2, 3, 2, 3);
        TEVQContainer* a = addChild(*inner, QSize(30, 20), LayoutSizePolicyFixed, LayoutSizePolicyFixed);
        TEVQContainer* b = addChild(*inner, QSize(10, 10));
        b->setMinimumSize(40, 10);
        a->resize(30, 20);
        inner->setAbsoluteDockAutoSize(true); // relayouts the parent
        // 30 + 4 + 40 wide plus padding, the taller child 20 high plus padding.
        const QSize expected(2 + 30 + 4 + 40 + 2, 3 + 20 + 3);
        QCOMPARE(TEVQContainerImpl::contentSize(inner), expected);
        QCOMPARE(inner->geometry(), QRect((300 - expected.width()) / 2, 200 - expected.height(), expected.width(),
                                          expected.height()));
        // The inner container laid out its own children at once.
        QCOMPARE(a->geometry().topLeft(), QPoint(2, 3));
        QCOMPARE(b->geometry().x(), 2 + 30 + 4);
        QVERIFY(!TEVQContainerImpl::contentSize(&c).isValid());

        // The preferred size: a plain widget's minimum; a fixed child's size within its maximum.
        QWidget plainW;
        plainW.setMinimumSize(7, 8);
        QCOMPARE(TEVQContainerImpl::preferredSize(&plainW), QSize(7, 8));
        a->setMaximumHeight(5);
        QCOMPARE(TEVQContainerImpl::preferredSize(a), QSize(30, 5));
    }

    // ---- scrolling --------------------------------------------------------------------------------------------

    void contentEqualToTheViewNeedsNoBar()
    {
        Scrolled s(QSize(100, 100), TEVQContainer::NoUse, true);
        auto* a = plainChild(&s.c, QRect(0, 0, 100, 100));
        s.show();
        s.c.forceResize();
        QVERIFY(s.h->isHidden() && s.v->isHidden());
        a->setGeometry(0, 0, 50, 101); // through the event filter
        QVERIFY(!s.v->isHidden());
        QVERIFY(s.h->isHidden());
        QCOMPARE(s.v->maximum(), 1);
        QCOMPARE(s.v->pageStep(), 100);
    }

    void verticalBarMakesTheHorizontalOneNecessary()
    {
        Scrolled s(QSize(200, 150), TEVQContainer::NoUse, true);
        const int barW = s.v->sizeHint().width();
        const int barH = s.h->sizeHint().height();
        QVERIFY(barW > 0 && barH > 0);
        plainChild(&s.c, QRect(0, 0, 200 - barW / 2, 400)); // fits the width until the vertical bar takes its share
        s.c.forceResize();
        QVERIFY(!s.v->isHidden() && !s.h->isHidden());
        QCOMPARE(s.v->geometry(), QRect(200 - barW, 0, barW, 150 - barH));
        QCOMPARE(s.h->geometry(), QRect(0, 150 - barH, 200 - barW, barH));
        QCOMPARE(s.v->maximum(), 400 - (150 - barH));
        QCOMPARE(s.h->maximum(), (200 - barW / 2) - (200 - barW));
        QCOMPARE(s.v->pageStep(), 150 - barH);
        // The bars keep their own places: they are not content and not scrolled.
        QCOMPARE(s.h->property("_tev_container_bound_scrollbar").toBool(), true);
    }

    void hiddenContainerCountsItsBarsInTheRow()
    {
        // Built before it is shown, as pages are: the bar that is needed still narrows the row.
        Scrolled s(QSize(200, 100), TEVQContainer::Vertical);
        for (int i = 0; i < 5; ++i)
            addChild(s.c, QSize(10, 40), LayoutSizePolicyFree, LayoutSizePolicyFixed);
        QVERIFY(!s.c.isVisible());
        QVERIFY(!s.v->isHidden());
        for (QWidget* k : s.c.findChildren<TEVQContainer*>(QString(), Qt::FindDirectChildrenOnly))
            QCOMPARE(k->width(), 200 - s.v->sizeHint().width());
        QCOMPARE(s.v->maximum(), 5 * 40 - 100);
    }

    void scrollingMovesChildrenAndKeepsTheirPlaces()
    {
        Scrolled s(QSize(100, 100));
        auto* a = plainChild(&s.c, QRect(10, 20, 30, 300));
        auto* d = new TEVQContainer(&s.c);
        d->setGeometry(0, 250, 10, 10);
        s.show();
        s.c.forceResize();
        QCOMPARE(s.v->maximum(), 320 - 100);
        s.c.setScrollPos(false, 50);
        QCOMPARE(s.v->value(), 50);
        QCOMPARE(a->geometry(), QRect(10, -30, 30, 300));
        QCOMPARE(d->geometry().y(), 200);
        QCOMPARE(a->property("_tev_container_base_geometry").toRect(), QRect(10, 20, 30, 300));
        // Beyond the range: clamped by the bar.
        s.c.setScrollPos(false, 10000);
        QCOMPARE(s.c.getScrollPos(false), 220);
        // A child moved from outside while scrolled keeps its new unscrolled place.
        a->move(10, 0);
        QCOMPARE(a->property("_tev_container_base_geometry").toRect(), QRect(10, 220, 30, 300));
        s.c.setScrollPos(false, 0);
        QCOMPARE(a->geometry(), QRect(10, 220, 30, 300));
        s.v->setValue(100); // the bar's own value drives the offset too
        QCOMPARE(a->geometry().y(), 120);
        // A child from another container takes the place it is given here, not the one the other gave it.
        TEVQContainer row;
        row.resize(300, 300);
        row.setChildLayout(TEVQContainer::Horizontal);
        auto* moved = new TEVQContainer;
        row.addChildWidget(moved, 1);
        moved->setParent(&s.c);
        moved->setGeometry(10, 10, 50, 50);
        s.c.forceResize();
        moved->show();
        QCOMPARE(moved->geometry(), QRect(10, 10, 50, 50));

        // Without a bar the position is only stored (not below 0), and nothing moves.
        TEVQContainer c;
        c.resize(100, 100);
        auto* b = plainChild(&c, QRect(0, 0, 10, 10));
        c.setScrollPos(true, -5);
        QCOMPARE(c.getScrollPos(true), 0);
        c.setScrollPos(true, 40);
        QCOMPARE(c.getScrollPos(true), 40);
        QCOMPARE(b->geometry(), QRect(0, 0, 10, 10));
    }

    void childPlacedWhileItGetsNoEventsKeepsItsPlace()
    {
        // Qt holds the move and resize events of a widget that is not shown: a child placed by its owner while the
        // container is not shown yet, or while the child is hidden, keeps that place through the scroll updates.
        Scrolled s(QSize(100, 100));
        auto* k = plainChild(&s.c, QRect(0, 0, 50, 50));
        plainChild(&s.c, QRect(60, 0, 20, 400));
        s.c.forceResize();
        k->setGeometry(0, 0, 50, 300);
        s.c.forceResize();
        QCOMPARE(k->geometry(), QRect(0, 0, 50, 300));
        s.show();
        s.c.setScrollPos(false, 100);
        k->hide();
        k->setGeometry(10, 10, 50, 300); // unscrolled at (10, 110)
        s.c.forceResize();
        QCOMPARE(k->geometry(), QRect(10, 10, 50, 300));
        k->show();
        QCOMPARE(s.v->maximum(), 410 - 100);
        s.c.setScrollPos(false, 0);
        QCOMPARE(k->geometry(), QRect(10, 110, 50, 300));
    }

    void showingAndHidingChildrenUpdatesTheRange()
    {
        Scrolled s(QSize(100, 100));
        auto* inner = plainChild(&s.c, QRect(0, 10, 20, 20));
        auto* low = plainChild(&s.c, QRect(0, 0, 20, 150));
        auto* late = plainChild(&s.c, QRect(0, 0, 20, 300));
        late->hide(); // not counted
        s.show();
        QCOMPARE(s.v->maximum(), 150 - 100);
        inner->hide(); // inside the others' extent
        QCOMPARE(s.v->maximum(), 50);
        late->show(); // beyond it
        QCOMPARE(s.v->maximum(), 200);
        late->hide();
        low->hide(); // it held the bottom edge
        QVERIFY(s.v->isHidden());
        QCOMPARE(s.v->maximum(), 0);
        inner->show();
        low->show();
        QCOMPARE(s.v->maximum(), 50);
        late->move(0, 10); // moved while hidden: not counted
        QCOMPARE(s.v->maximum(), 50);
        low->resize(20, 160); // the edge moves
        QCOMPARE(s.v->maximum(), 60);

        // A container of many children shown at once ends with the same range.
        Scrolled big(QSize(100, 100), TEVQContainer::Vertical);
        for (int i = 0; i < 50; ++i) {
            auto* k = new TEVQContainer(&big.c);
            k->setHeightPolicy(LayoutSizePolicyFixed);
            k->resize(10, 10);
        }
        big.c.forceResize();
        big.show();
        QCOMPARE(big.v->maximum(), 50 * 10 - 100);
    }

    void unbindingResetsTheOffsetAndHidesTheBar()
    {
        Scrolled s(QSize(100, 100));
        QWidget* tall = plainChild(&s.c, QRect(0, 0, 10, 500));
        s.c.forceResize();
        s.c.setScrollPos(false, 70);
        QVERIFY(!s.v->isHidden());
        QCOMPARE(tall->y(), -70);
        s.c.bindScrollBar(nullptr, false);
        QCOMPARE(s.c.getScrollPos(false), 0);
        QCOMPARE(tall->geometry(), QRect(0, 0, 10, 500)); // back where the offset 0 puts it
        QVERIFY(s.v->isHidden());
        QCOMPARE(s.v->property("_tev_container_bound_scrollbar").toBool(), false);
        s.v->setValue(3); // no longer connected
        QCOMPARE(s.c.getScrollPos(false), 0);
        // Replacing one bar by another: the new one takes the orientation of its place, the old one is hidden.
        auto* v2 = new TEVQScrollBar(Qt::Horizontal);
        s.c.bindScrollBar(s.v, false);
        s.c.bindScrollBar(v2, false);
        QCOMPARE(s.c.getBindScrollBar(false), v2);
        QCOMPARE(v2->orientation(), Qt::Vertical);
        QVERIFY(s.v->isHidden());
        // A bar deleted or taken away while scrolled leaves the children unscrolled too.
        s.c.setScrollPos(false, 30);
        QCOMPARE(tall->y(), -30);
        delete v2;
        QCOMPARE(tall->y(), 0);
        s.c.bindScrollBar(s.v, false);
        s.c.setScrollPos(false, 40);
        s.v->setParent(nullptr);
        QCOMPARE(tall->y(), 0);
        delete s.v;

        // The room a shown bar took goes back to the children when the bar is unbound or deleted (the column
        // then fits the view, as any later pass would make it).
        for (const bool unbind : {true, false}) {
            Scrolled col(QSize(100, 100), TEVQContainer::Vertical);
            TEVQContainer* wide = addChild(col.c, QSize(10, 500), LayoutSizePolicyFree, LayoutSizePolicyFixed);
            QCOMPARE(wide->width(), 100 - col.v->sizeHint().width());
            if (unbind)
                col.c.bindScrollBar(nullptr, false);
            else
                delete col.v;
            QCOMPARE(wide->geometry(), QRect(0, 0, 100, 100));
        }

        // A bar the container lies inside is refused.
        TEVQScrollBar outer;
        auto* inner = new TEVQContainer(&outer);
        inner->bindScrollBar(&outer, false);
        QCOMPARE(inner->getBindScrollBar(false), nullptr);
        QCOMPARE(outer.parentWidget(), nullptr);
    }

    void deletingABoundBarOrAChildAtAnyTime()
    {
        Scrolled s(QSize(100, 100), TEVQContainer::Vertical, true);
        for (int i = 0; i < 4; ++i)
            addChild(s.c, QSize(150, 60), -1, LayoutSizePolicyFixed);
        s.show();
        s.c.setScrollPos(false, 40);
        QCOMPARE(s.c.getScrollPos(false), 40);
        delete s.v;
        QCOMPARE(s.c.getBindScrollBar(false), nullptr);
        QCOMPARE(s.c.getScrollPos(false), 0);
        s.c.resize(120, 90);
        QCoreApplication::processEvents();
        // A bar re-parented away is forgotten too.
        s.h->setParent(nullptr);
        QCOMPARE(s.c.getBindScrollBar(true), nullptr);
        s.c.forceResize();
        delete s.h;
        // Children deleted mid-way, and the container deleted with a pending relayout.
        qDeleteAll(s.c.findChildren<TEVQContainer*>(QString(), Qt::FindDirectChildrenOnly));
        s.c.forceResize();
        delete new TEVQContainer(&s.c);
        QCoreApplication::processEvents();
        auto* c2 = new TEVQContainer;
        new TEVQContainer(c2); // posts a relayout
        delete c2;
        QCoreApplication::processEvents();
    }

    void barVisibilityFlipFlopTerminates()
    {
        Scrolled s(QSize(100, 100), TEVQContainer::Horizontal);
        auto* f = new Flipper;
        f->resize(10, 50);
        s.c.addChildWidget(f, 1);
        s.show();
        f->resizes = 0;
        s.c.resize(100, 101); // any pass starts the flip-flop
        QCoreApplication::processEvents();
        QVERIFY(f->resizes < 40);
    }

    void wheelScrollsTheVerticalBar()
    {
        Scrolled s(QSize(100, 100));
        auto* a = plainChild(&s.c, QRect(0, 0, 10, 50));
        s.show();
        s.c.forceResize();
        auto wheel = [&s](QPoint delta) {
            QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), delta, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            e.setAccepted(false);
            QCoreApplication::sendEvent(&s.c, &e);
            return e.isAccepted();
        };
        // Maximum 0: passed on (the wheel event propagates: not accepted by the container).
        QCOMPARE(s.v->maximum(), 0);
        wheel(QPoint(0, -120));
        QCOMPARE(s.v->value(), 0);
        a->setGeometry(0, 0, 10, 300);
        QCOMPARE(s.v->maximum(), 200);
        // Three lines of the single step per notch, either way.
        s.v->setSingleStep(1);
        const struct { int delta, value; } steps[] = {{-120, 24}, {-120, 48}, {120, 24}};
        for (const auto& step : steps) {
            QVERIFY(wheel(QPoint(0, step.delta)));
            QCOMPARE(s.v->value(), step.value);
        }
        wheel(QPoint(-120, 0)); // a tilt without a vertical part does not scroll
        QCOMPARE(s.c.getScrollPos(false), 24);
        // A single step of any size ends at the range's ends.
        s.v->setSingleStep(INT_MAX);
        QVERIFY(wheel(QPoint(0, -120)));
        QCOMPARE(s.v->value(), 200);
        QVERIFY(wheel(QPoint(0, 120)));
        QCOMPARE(s.v->value(), 0);
    }

    void dockedChildrenScrollToo()
    {
        Scrolled s(QSize(100, 100), TEVQContainer::Vertical);
        TEVQContainer* tall = addChild(s.c, QSize(10, 400), -1, LayoutSizePolicyFixed);
        auto* d = new TEVQContainer(&s.c);
        d->resize(10, 10);
        d->setAbsoluteLayout(true);
        s.c.forceResize();
        QCOMPARE(d->geometry().topLeft(), QPoint(0, 0));
        s.c.setScrollPos(false, 30);
        QCOMPARE(d->geometry().topLeft(), QPoint(0, -30));
        QCOMPARE(tall->geometry().topLeft(), QPoint(0, -30));
    }
};

TEV_TEST_MAIN(TestLayout)
#include "tst_layout.moc"
