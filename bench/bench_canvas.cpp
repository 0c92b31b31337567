// The design canvas on a page of 500 elements (a floating root container with 499 labels and buttons at their
// own places), against the page loader alone building the same page into a canvas page. Rows, each the median
// of repeated runs: loading with the page loader; opening the file on a new canvas (which loads it the same
// way, then hides and registers the page); one paint of the canvas with two selected controls; editing (a
// selection click, a 40-step drag and ten new controls); saving the page. Each row prints its ratio to the
// page loader alone. Then one paint of a flow view of 60 cards, against the same paint right after its nodes
// were set again (what a paint costs when it lays out every card's texts anew). Runs off screen unless
// QT_QPA_PLATFORM says otherwise.
#include "TEVQCanvas.h"
#include "TEVQCanvasWindow.h"
#include "TEVQFlowView.h"
#include "TEVQPageLoader.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kElements = 500;
constexpr int kPasses = 7;

QByteArray pageJson()
{
    QByteArray children;
    for (int i = 1; i < kElements; ++i) {
        const int x = (i % 20) * 60;
        const int y = (i / 20) * 32;
        const char* type = i % 2 ? "qtlabel" : "qtbutton";
        children += QByteArrayLiteral("    {\"type\": \"") + type + "\", \"name\": \"e" + QByteArray::number(i) +
                    "\", \"x\": " + QByteArray::number(x) + ", \"y\": " + QByteArray::number(y) +
                    ", \"w\": 56, \"h\": 28}" + (i + 1 < kElements ? ",\n" : "\n");
    }
    return QByteArrayLiteral("{\"w\": 1200, \"h\": 820, \"elements\": [\n  {\"type\": \"qtcontainer\", \"name\": "
                             "\"root\", \"x\": 0, \"y\": 0, \"w\": 1200, \"h\": 820, \"attr\": {\"childLayout\": 4},\n"
                             "   \"child\": [\n") +
           children + "]}]}\n";
}

double medianMs(const std::function<void()>& setUp, const std::function<void()>& fn)
{
    std::vector<double> times;
    for (int i = 0; i <= kPasses; ++i) {
        setUp();
        QElapsedTimer t;
        t.start();
        fn();
        const double ms = t.nsecsElapsed() / 1e6;
        if (i > 0) // the first pass warms up
            times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void send(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TEVQtLib::init();

    QTemporaryDir dir;
    // Two files with other bytes, used in turn, so that the loader parses every time.
    const QString paths[2] = {dir.filePath(QStringLiteral("page.json")), dir.filePath(QStringLiteral("page2.json"))};
    for (int i = 0; i < 2; ++i) {
        QFile f(paths[i]);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(pageJson() + QByteArray(i + 1, ' '));
    }
    int turn = 0;
    const auto nextPath = [&]() { return paths[turn++ % 2]; };

    std::unique_ptr<TEVQCanvasWindow> page;
    const double loader = medianMs([&]() { page.reset(new TEVQCanvasWindow); },
                                   [&]() { TEVQtLib::tevCreatePageByFileName(page.get(), nextPath()); });
    page.reset();

    std::unique_ptr<TEVQCanvas> canvas;
    const auto newCanvas = [&]() {
        canvas.reset(new TEVQCanvas);
        canvas->resize(1280, 900);
    };
    const double open = medianMs(newCanvas, [&]() { canvas->OpenJsonFile(nextPath()); });

    const auto openCanvas = [&]() {
        newCanvas();
        canvas->OpenJsonFile(nextPath());
    };
    QImage target(1280, 900, QImage::Format_ARGB32_Premultiplied);
    const double paint = medianMs(
        [&]() {
            openCanvas();
            TEVQCanvasWindow* p = canvas->GetCurWindow();
            canvas->AddSelectedControl(p->findChild<QWidget*>(QStringLiteral("e21")));
            canvas->AddSelectedControl(p->findChild<QWidget*>(QStringLiteral("e22")));
        },
        [&]() { canvas->render(&target); });

    const double edit = medianMs(openCanvas, [&]() {
        TEVQCanvasWindow* p = canvas->GetCurWindow();
        QWidget* e = p->findChild<QWidget*>(QStringLiteral("e21"));
        const QPoint at = e->mapTo(canvas.get(), QPoint(20, 14));
        send(canvas.get(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        send(canvas.get(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        send(canvas.get(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 40; ++i)
            send(canvas.get(), QEvent::MouseMove, at + QPoint(i, i / 2), Qt::NoButton, Qt::LeftButton);
        send(canvas.get(), QEvent::MouseButtonRelease, at + QPoint(40, 20), Qt::LeftButton, Qt::NoButton);
        canvas->RemoveAllSelected();
        canvas->AddSelectedControl(p->findChild<QWidget*>(QStringLiteral("root")));
        for (int i = 0; i < 10; ++i)
            canvas->createControl(QStringLiteral("qtlabel"));
    });

    const QString savedPath = paths[0];
    const double save = medianMs(
        [&]() {
            newCanvas();
            canvas->OpenJsonFile(savedPath);
        },
        [&]() { canvas->SavePage(savedPath); });
    canvas.reset();

    std::printf("canvas, %d-element page (median of %d runs, ms; ratio to the page loader alone)\n", kElements, kPasses);
    std::printf("  %-34s %9.2f  1.00\n", "page loader alone", loader);
    const struct { const char* name; double ms; } rows[] = {
        {"canvas: open the file", open},
        {"canvas: paint, two selected", paint},
        {"canvas: click, 40-step drag, 10 new", edit},
        {"canvas: save the page", save},
    };
    for (const auto& r : rows)
        std::printf("  %-34s %9.2f  %.2f\n", r.name, r.ms, r.ms / loader);

    TEVQFlowView flow;
    flow.resize(1200, 800);
    QVector<TEVQFlowNode> nodes;
    QVector<TEVQFlowConnection> links;
    for (int i = 0; i < 60; ++i) {
        TEVQFlowNode n;
        n.id = QStringLiteral("n%1").arg(i);
        n.position = QPointF(0.06 + (i % 10) * 0.098, 0.08 + (i / 10) * 0.16);
        n.size = QSizeF(0.08, 0.12);
        n.title = QStringLiteral("Inverter %1").arg(i);
        n.subtitle = QStringLiteral("String combiner box %1, feeding the medium voltage skid").arg(i);
        n.footer = QStringLiteral("%1 kW").arg(40 + i);
        n.accent = QColor(240, 180, 40);
        n.fill = QColor(30, 34, 40);
        n.border = QColor(80, 90, 100);
        n.selectedBorder = QColor(146, 134, 255);
        nodes.append(n);
        if (i > 0)
            links.append({nodes[i - 1].id, n.id, QColor(74, 122, 128), i % 3 == 0});
    }
    flow.setNodes(nodes);
    flow.setConnections(links);
    QImage flowImage(flow.size(), QImage::Format_ARGB32_Premultiplied);
    // Taken in turn, five times each, the least median kept: the machine's noise is larger than the difference.
    double flowPaint = 1e9, flowFresh = 1e9;
    for (int round = 0; round < 5; ++round) {
        flowPaint = std::min(flowPaint, medianMs([]() {}, [&]() { flow.render(&flowImage); }));
        flowFresh =
            std::min(flowFresh, medianMs([&]() { flow.setNodes(nodes); }, [&]() { flow.render(&flowImage); }));
    }
    std::printf("flow view, 60 cards, 59 connections (least of 5 medians of %d runs, ms; ratio to a paint after "
                "setNodes)\n",
                kPasses);
    std::printf("  %-34s %9.2f  1.00\n", "paint after setNodes", flowFresh);
    std::printf("  %-34s %9.2f  %.2f\n", "paint, nothing changed", flowPaint, flowPaint / flowFresh);
    return 0;
}
