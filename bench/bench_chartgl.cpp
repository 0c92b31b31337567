// Memory kept by creating and destroying charts on their OpenGL surface, one after another, in a page window that
// stays: what a page editor or a program rebuilding its pages does. A round creates one widget in the page, shows
// it, waits until its first frame is on screen, deletes it and processes the deferred deletes. The kinds:
//   - a bar chart created from its page element (the page loader's createChild);
//   - a bare QOpenGLWidget (a clear, nothing painted): what Qt and the GL driver keep for any GL widget;
//   - the same with two lines of text painted in two fonts: what Qt's OpenGL paint engine keeps for a GL widget
//     that paints text (the charts drop this when their context goes; a plain widget does not);
//   - a bar chart created by type name and never shown (no GL context at all).
// Printed per kind, over the measured rounds after the warm-up ones: resident memory as read, resident memory
// after handing free heap back to the system (malloc_trim, so that what the allocator merely keeps in its free
// lists does not count), and heap in use (mallinfo2); each as a total and per round.
// Run under a virtual X server with the GLX integration and Mesa's software driver (set here unless given):
//     xvfb-run -a -s "-screen 0 2560x1600x24" ./bench_chartgl [chart] [bare] [text] [hidden]
#include "BenchCommon.h"
#include "TEVJson.h"
#include "TEVQBarChart.h"
#include "TEVQControlRegistry.h"
#include "TEVQPageLoader.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPainter>

#include <cstdio>
#include <functional>
#include <malloc.h>
#ifdef __SANITIZE_ADDRESS__
extern "C" size_t __sanitizer_get_current_allocated_bytes(); // the sanitizer runtime's
#endif

using benchsupport::residentKiB;

namespace {

constexpr int kRounds = 200;
constexpr int kWarmUp = 20;

// Clears to white and, when asked, paints a title and a row of labels as a chart does.
class BareGLWidget : public QOpenGLWidget, protected QOpenGLFunctions
{
public:
    BareGLWidget(bool text, QWidget* parent) : QOpenGLWidget(parent), m_text(text) {}

protected:
    void initializeGL() override { initializeOpenGLFunctions(); }
    void paintGL() override
    {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        if (!m_text)
            return;
        QPainter p(this);
        QFont f = font();
        f.setPixelSize(16);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QPointF(20, 30), QStringLiteral("Basic Bar Chart"));
        f.setPixelSize(12);
        f.setBold(false);
        p.setFont(f);
        p.drawText(QPointF(20, 60), QStringLiteral("Mon Tue Wed Thu Fri Sat Sun 0 50 100 150 200 250"));
    }

private:
    bool m_text = false;
};

// Until the widget has swapped its first frame (at most two seconds; false when it never did).
bool waitForFrame(QOpenGLWidget* w)
{
    bool swapped = false;
    const QMetaObject::Connection c = QObject::connect(w, &QOpenGLWidget::frameSwapped, [&swapped] { swapped = true; });
    QElapsedTimer t;
    t.start();
    while (!swapped && t.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QObject::disconnect(c);
    return swapped;
}

bool showAndWait(QWidget* w)
{
    auto* gl = qobject_cast<QOpenGLWidget*>(w);
    if (!gl)
        return false;
    gl->show();
    return waitForFrame(gl);
}

void destroy(QWidget* w)
{
    delete w;
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

long trimmedKiB()
{
    malloc_trim(0);
    return residentKiB();
}

// Heap in use: the C library's count, or the address sanitizer's in a sanitizer build (which replaces the
// allocator).
long heapKiB()
{
#ifdef __SANITIZE_ADDRESS__
    return long(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    const struct mallinfo2 m = mallinfo2();
    return long((m.uordblks + m.hblkhd) / 1024);
#endif
}

struct Growth {
    long rss[2] = {}, trimmed[2] = {}, heap[2] = {};
    int failed = 0;
};

// kWarmUp rounds, then kRounds measured ones of make, which returns the widget it made and tells whether the
// round went as meant (painted, or stayed hidden).
Growth measure(const std::function<QWidget*(bool&)>& make)
{
    Growth g;
    const auto sample = [&g](int at) {
        g.rss[at] = residentKiB();
        g.trimmed[at] = trimmedKiB();
        g.heap[at] = heapKiB();
    };
    for (int i = 0; i < kWarmUp + kRounds; ++i) {
        if (i == kWarmUp)
            sample(0);
        bool ok = false;
        destroy(make(ok));
        if (!ok)
            ++g.failed;
    }
    sample(1);
    return g;
}

void report(const char* name, const Growth& g)
{
    const auto column = [](const long (&v)[2]) {
        return QStringLiteral("%1 MiB %2 KiB")
            .arg((v[1] - v[0]) / 1024.0, 6, 'f', 2)
            .arg(double(v[1] - v[0]) / kRounds, 6, 'f', 1);
    };
    std::printf("%-44s %s | %s | %s", name, qPrintable(column(g.rss)), qPrintable(column(g.trimmed)),
                qPrintable(column(g.heap)));
    if (g.failed)
        std::printf("   (%d rounds not painted or not hidden)", g.failed);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "xcb_glx");
    if (qEnvironmentVariableIsEmpty("LIBGL_ALWAYS_SOFTWARE"))
        qputenv("LIBGL_ALWAYS_SOFTWARE", "1");
    QApplication app(argc, argv);
    TEVQtLib::init();
    TEVQtLib::registerChartControls();

    QWidget page;
    page.resize(800, 600);
    page.show();
    QElapsedTimer shown;
    shown.start();
    while (!page.isVisible() && shown.elapsed() < 2000)
        QApplication::processEvents();

    Json::Value element;
    if (!TEVQtLib::json::parse(
            std::string(R"({"type": "qtbarchart", "name": "energy7d", "x": 10, "y": 20, "w": 420, "h": 260})"),
            element))
        return 1;

    // The kinds to run may be named on the command line; all by default.
    const QStringList args = app.arguments().mid(1);
    const auto wanted = [&args](const char* kind) { return args.isEmpty() || args.contains(QLatin1String(kind)); };

    std::printf("growth over %d rounds after %d warm-up rounds, total and per round; a %s page window that stays\n",
                kRounds, kWarmUp, qPrintable(QGuiApplication::platformName()));
    std::printf("%-44s %-20s | %-20s | %-20s\n", "", "resident", "resident, trimmed", "heap in use");
    if (wanted("chart"))
        report("bar chart from its page element, shown", measure([&](bool& ok) {
                   QWidget* w = TEVQtLib::createChild(element, &page);
                   ok = showAndWait(w);
                   return w;
               }));
    const auto bare = [&](bool text) {
        return [&page, text](bool& ok) -> QWidget* {
            auto* w = new BareGLWidget(text, &page);
            w->setGeometry(10, 20, 420, 260);
            ok = showAndWait(w);
            return w;
        };
    };
    if (wanted("bare"))
        report("bare QOpenGLWidget, shown", measure(bare(false)));
    if (wanted("text"))
        report("bare QOpenGLWidget painting text, shown", measure(bare(true)));
    if (wanted("hidden"))
        report("bar chart by type name, never shown", measure([&](bool& ok) {
                   QWidget* w = TEVQtLib::createControlByType("qtbarchart", &page);
                   QApplication::processEvents();
                   ok = w && !w->isVisible();
                   return w;
               }));
    return 0;
}
