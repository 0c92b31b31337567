// Cost of the container layout engine against Qt's box layouts.
//  1. One container with 1,000 framework children, for each child layout (row, column, both flows, docked
//     children, none): the time of one pass after a resize of the shown container, next to a QWidget with
//     QHBoxLayout or QVBoxLayout over 1,000 plain QWidgets resized the same way.
//  2. A tree of 2,000 containers five levels deep (rows and columns alternating) after a resize of its root,
//     next to the same tree of plain QWidgets with QHBoxLayout/QVBoxLayout.
// Both sides are shown off screen (no native window is drawn) so that every resize reaches the children.
#include "TEVQContainer.h"
#include "TEVQScrollBar.h"

#include <QApplication>
#include <QBoxLayout>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Median microseconds of one resize of top between two sizes (each step changes the size).
double timeResizes(QWidget& top, QSize a, QSize b, int rounds)
{
    std::vector<double> us;
    for (int i = 0; i < rounds + 3; ++i) {
        const QSize s = (i % 2) ? a : b;
        const auto start = Clock::now();
        top.resize(s);
        const double t = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (i >= 3) // warm-up
            us.push_back(t);
    }
    return median(us);
}

void showOffscreen(QWidget& w)
{
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
    QCoreApplication::processEvents();
}

double benchContainer(int mode, bool docked, int n)
{
    TEVQContainer c;
    c.resize(1000, 800);
    for (int i = 0; i < n; ++i) {
        auto* k = new TEVQContainer(&c);
        k->resize(20, 20);
        k->setWidthPolicy(TEVQtLib::LayoutSizePolicyFree);
        k->setHeightPolicy(TEVQtLib::LayoutSizePolicyFree);
        if (docked)
            k->setAbsoluteDock(TEVQtLib::tevClampDock(i % 3), TEVQtLib::tevClampDock((i / 3) % 3), i % 7, i % 5);
    }
    c.setChildLayout(TEVQContainer::AutoChildLayout(mode));
    showOffscreen(c);
    return timeResizes(c, QSize(1000, 800), QSize(1010, 810), 40);
}

double benchBox(bool horizontal, int n)
{
    QWidget w;
    auto* box = new QBoxLayout(horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, &w);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    for (int i = 0; i < n; ++i)
        box->addWidget(new QWidget);
    w.resize(1000, 800);
    showOffscreen(w);
    return timeResizes(w, QSize(1000, 800), QSize(1010, 810), 40);
}

// Breadth-first: level sizes 5, 25, 125, 625, then the fifth level up to total nodes.
template <class MakeChild>
int buildTree(QWidget* root, int total, MakeChild make)
{
    std::vector<std::pair<QWidget*, int>> level{{root, 0}};
    int count = 0;
    for (int depth = 1; depth <= 5 && count < total; ++depth) {
        std::vector<std::pair<QWidget*, int>> next;
        const int per = depth < 5 ? 5 : (total - count + int(level.size()) - 1) / int(level.size());
        for (auto& p : level) {
            for (int i = 0; i < per && count < total; ++i, ++count)
                next.push_back({make(p.first, depth), depth});
        }
        level.swap(next);
    }
    return count;
}

double benchTreeContainers(int total, int& made)
{
    TEVQContainer root;
    root.setChildLayout(TEVQContainer::Vertical);
    made = buildTree(&root, total, [](QWidget* parent, int depth) {
        auto* c = new TEVQContainer;
        c->setWidthPolicy(TEVQtLib::LayoutSizePolicyFree);
        c->setHeightPolicy(TEVQtLib::LayoutSizePolicyFree);
        c->setChildLayout(depth % 2 ? TEVQContainer::Horizontal : TEVQContainer::Vertical);
        static_cast<TEVQContainer*>(parent)->addChildWidget(c, 1);
        return c;
    });
    root.resize(1600, 1000);
    showOffscreen(root);
    return timeResizes(root, QSize(1600, 1000), QSize(1620, 1010), 20);
}

double benchTreeBoxes(int total, int& made)
{
    QWidget root;
    auto* rootBox = new QVBoxLayout(&root);
    rootBox->setContentsMargins(0, 0, 0, 0);
    rootBox->setSpacing(0);
    made = buildTree(&root, total, [](QWidget* parent, int depth) {
        auto* w = new QWidget;
        QBoxLayout* box = depth % 2 ? static_cast<QBoxLayout*>(new QHBoxLayout(w)) : new QVBoxLayout(w);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
        parent->layout()->addWidget(w);
        return w;
    });
    root.resize(1600, 1000);
    showOffscreen(root);
    return timeResizes(root, QSize(1600, 1000), QSize(1620, 1010), 20);
}

// Showing a column of n children with a bound vertical bar: every child's show event updates the scroll range.
double benchShowWithBar(int n)
{
    TEVQContainer c;
    c.resize(400, 600);
    c.setChildLayout(TEVQContainer::Vertical);
    c.bindScrollBar(new TEVQScrollBar(Qt::Vertical), false);
    for (int i = 0; i < n; ++i) {
        auto* k = new TEVQContainer(&c);
        k->setHeightPolicy(TEVQtLib::LayoutSizePolicyFixed);
        k->setWidthPolicy(TEVQtLib::LayoutSizePolicyFree);
        k->resize(10, 24);
    }
    c.forceResize();
    c.setAttribute(Qt::WA_DontShowOnScreen);
    const auto start = Clock::now();
    c.show();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int n = 1000;
    const double hbox = benchBox(true, n);
    const double vbox = benchBox(false, n);
    std::printf("One container, %d children, one pass after a resize (median, microseconds)\n", n);
    std::printf("  %-26s %10s %12s\n", "mode", "us/pass", "vs Qt box");
    struct Row { const char* name; int mode; bool docked; double baseline; };
    const Row rows[] = {
        {"0 Horizontal", 0, false, hbox},
        {"1 Vertical", 1, false, vbox},
        {"2 HorFloat", 2, false, hbox},
        {"3 VerFloat", 3, false, vbox},
        {"absolute dock (mode 0)", 0, true, hbox},
        {"4 No Use", 4, false, hbox},
    };
    for (const Row& r : rows) {
        const double us = benchContainer(r.mode, r.docked, n);
        std::printf("  %-26s %10.0f %11.2fx\n", r.name, us, us / r.baseline);
    }
    std::printf("  %-26s %10.0f\n", "QHBoxLayout", hbox);
    std::printf("  %-26s %10.0f\n", "QVBoxLayout", vbox);

    int madeC = 0, madeQ = 0;
    const double tree = benchTreeContainers(2000, madeC);
    const double treeQ = benchTreeBoxes(2000, madeQ);
    std::printf("Nested tree, 5 levels, root resize (median, microseconds)\n");
    std::printf("  %-26s %10.0f  (%d containers)\n", "TEVQContainer tree", tree, madeC);
    std::printf("  %-26s %10.0f  (%d widgets)\n", "QHBox/QVBoxLayout tree", treeQ, madeQ);
    std::printf("  ratio %.2fx\n", tree / treeQ);
    std::printf("Showing a column of %d children with a bound vertical bar: %.0f us\n", n, benchShowWithBar(n));
    return 0;
}
