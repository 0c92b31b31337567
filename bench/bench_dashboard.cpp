// Cost of the dashboard window: one snapshot refresh (header, metric strip, alarm counts, page values) and one
// language switch over the whole window, each beside a reference that sets the same number of texts on plain
// QLabels; and start-up to the first frame, in fresh processes, beside a minimal Qt program that shows one
// window holding one QOpenGLWidget (time and resident memory).
// Run under a display (xvfb-run). The theme directory is copied beside this executable at build time.
#include "BenchCommon.h"
#include "DashboardStartup.h"
#include "PhotovoltaicPlantWindow.h"
#include "SolarPlantDiagramWidget.h"
#include "SolarPlantSimulator.h"
#include "TEVQChartBase.h"
#include "TEVQLabel.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QImage>
#include <QOpenGLWidget>
#include <QPainter>
#include <QProcess>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace {

using benchsupport::median;
using benchsupport::residentKiB;

using Clock = std::chrono::steady_clock;

double usSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// CPU time of the whole process in milliseconds: Mesa's software GL renders the charts on worker threads.
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void startFramework()
{
    quenlark::initResources();
    TEVQtLib::init();
    TEVQtLib::registerChartControls();
    TEVQtLib::TEVGlobalConfig config;
    config.fontFamily = QStringLiteral("Microsoft YaHei UI");
    config.buttonFadeDuration = 140;
    TEVQtLib::tevSetGlobalConfig(config);
    QString message;
    if (!quenlark::loadDictionary(QString::fromLatin1(quenlark::kDictionaryPath), &message) ||
        !quenlark::loadTheme(quenlark::themeDirectory(), &message)) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::exit(1);
    }
    TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
}

// Reports "<microseconds since process start> <resident KiB>" once the first frame is on screen, then exits.
class FirstFrame : public QObject
{
public:
    explicit FirstFrame(QWidget* watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, []() {
                std::printf("FRAME %ld\n", residentKiB());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_done = false;
};

int childDashboard(int argc, char** argv)
{
    TEVQtLib::tevEnableHighDpi(true);
    QApplication app(argc, argv);
    startFramework();
    PhotovoltaicPlantWindow window;
    window.resize(1440, 900);
    FirstFrame probe(&window);
    window.show();
    return app.exec();
}

int childMinimal(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* gl = new QOpenGLWidget(&window);
    layout->addWidget(gl);
    window.resize(1440, 900);
    bool done = false;
    QObject::connect(gl, &QOpenGLWidget::frameSwapped, [&done]() {
        if (done)
            return;
        done = true;
        std::printf("FRAME %ld\n", residentKiB());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    window.show();
    return app.exec();
}

// Wall time from starting the process to its first-frame line, and its resident memory then.
bool timeChild(const QString& mode, double& ms, long& kib)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QCoreApplication::applicationFilePath(), {mode});
    if (!p.waitForStarted(10000))
        return false;
    QByteArray out;
    while (!out.contains('\n') && p.waitForReadyRead(30000))
        out += p.readAllStandardOutput();
    ms = double(t.nsecsElapsed()) / 1e6;
    p.waitForFinished(30000);
    const int at = out.indexOf("FRAME ");
    if (at < 0)
        return false;
    kib = out.mid(at + 6).trimmed().toLong();
    return true;
}

void report(const char* what, double ours, double reference, const char* unit)
{
    std::printf("%-44s %10.1f %s   reference %10.1f %s   ratio %.2f\n", what, ours, unit, reference, unit,
                reference > 0 ? ours / reference : 0.0);
}

// A widget of the diagrams' size that only fills itself white: the least a repaint of one costs.
class WhiteWidget : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::white); }
};

// Median time of rendering w into an image of its size, after calling before() each round (untimed).
template <class Before>
double renderUs(QWidget& w, int rounds, Before before)
{
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> us;
    for (int i = 0; i < rounds; ++i) {
        before(i);
        const auto start = Clock::now();
        w.render(&img);
        us.push_back(usSince(start));
    }
    return median(us);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--child-dashboard")
        return childDashboard(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--child-minimal")
        return childMinimal(argc, argv);

    TEVQtLib::tevEnableHighDpi(true);
    QApplication app(argc, argv);
    startFramework();

    PhotovoltaicPlantWindow window;
    window.simulator()->stop();
    window.resize(1440, 900);
    window.show();
    QApplication::processEvents();

    // The reference: as many plain labels as the refresh writes texts (header 6, strip 7, counts 3, with
    // their number formatting), set with freshly formatted numbers.
    QWidget refWindow;
    std::vector<QLabel*> labels;
    auto* layout = new QVBoxLayout(&refWindow);
    for (int i = 0; i < 16; ++i) {
        labels.push_back(new QLabel(&refWindow));
        layout->addWidget(labels.back());
    }
    refWindow.show();
    QApplication::processEvents();

    SolarPlantSimulator* sim = window.simulator();
    const int rounds = 300;
    std::vector<double> ours, ref;
    for (int i = 0; i < rounds; ++i) {
        sim->advance(); // publishes: the window refreshes once (timed below separately)
        const PlantSnapshot s = sim->snapshot();
        auto start = Clock::now();
        window.refreshSnapshot(s);
        ours.push_back(usSince(start));
        start = Clock::now();
        for (size_t k = 0; k < labels.size(); ++k)
            labels[k]->setText(QStringLiteral("%1 MW").arg(QString::number(s.activePower + double(k), 'f', 1)));
        ref.push_back(usSince(start));
    }
    report("snapshot refresh (median)", median(ours), median(ref), "us");

    // Language switch over the whole window, and the reference retexting every label of its list plainly.
    std::vector<double> lang, langRef;
    const int texts = window.translatedLabels().size() + window.navEntries().size() + window.alarmRows().size() + 40;
    std::vector<QLabel*> many;
    for (int i = 0; i < texts; ++i)
        many.push_back(new QLabel(&refWindow));
    for (int i = 0; i < 100; ++i) {
        const QString language = (i % 2) ? QStringLiteral("en-US") : QStringLiteral("zh-CN");
        auto start = Clock::now();
        TEVQtLib::tevSetLanguage(language);
        lang.push_back(usSince(start));
        start = Clock::now();
        for (QLabel* l : many)
            l->setText(TEVQtLib::tevText(QStringLiteral("solar.nav.overview"), QString()));
        langRef.push_back(usSince(start));
    }
    report("language switch, whole window (median)", median(lang), median(langRef), "us");
    QApplication::processEvents();

    // One full tick at 1440x900: the simulator advances and publishes (snapshot refresh, card refresh, chart
    // refill through the window's slots), then the whole window repaints; beside the repaint alone.
    std::vector<double> tick, paintOnly;
    for (int i = 0; i < 60; ++i) {
        double c0 = processCpuMs();
        sim->advance();
        window.repaint();
        QApplication::processEvents();
        tick.push_back(processCpuMs() - c0);
        c0 = processCpuMs();
        window.repaint();
        QApplication::processEvents();
        paintOnly.push_back(processCpuMs() - c0);
    }
    report("full tick, CPU time (median of 60)", median(tick), median(paintOnly), "ms");
    std::printf("  (reference: the same repaint without a tick; goal: a tick under 10 ms, 1%% of a core at 1 Hz)\n");

    // Four ticks in five bring no new history: the refresh and the repaint of what it changed, beside a tick with
    // new history (every chart given new data and repainted).
    {
        std::vector<double> plain, history;
        for (int i = 0; i < 150; ++i) {
            const bool withHistory = (sim->tickCount() + 1) % 5 == 0;
            const double c0 = processCpuMs();
            sim->advance();
            QApplication::processEvents();
            (withHistory ? history : plain).push_back(processCpuMs() - c0);
        }
        report("tick without new history, CPU (median)", median(plain), median(history), "ms");
        std::printf("  (reference: a tick with new history)\n");
    }

    // The charts page shown: its charts handed the data they show already (as on the ticks between histories),
    // beside a hand-over of new histories; each with the repaint it causes.
    {
        window.setCurrentSection(9);
        QApplication::processEvents();
        std::vector<double> same, fresh;
        PlantSnapshot s = sim->snapshot();
        for (int i = 0; i < 60; ++i) {
            for (QVector<double>* h : {&s.actualPowerHistory, &s.expectedPowerHistory, &s.irradianceHistory,
                                       &s.temperatureHistory, &s.availabilityHistory}) {
                for (double& v : *h)
                    v += (i % 2) ? 0.5 : -0.5;
            }
            double c0 = processCpuMs();
            window.refreshCharts(s);
            QApplication::processEvents();
            fresh.push_back(processCpuMs() - c0);
            c0 = processCpuMs();
            window.refreshCharts(s);
            QApplication::processEvents();
            same.push_back(processCpuMs() - c0);
        }
        report("charts given the data they show, CPU (median)", median(same), median(fresh), "ms");
        std::printf("  (reference: the charts given new histories; the charts page shown)\n");
        window.setCurrentSection(0);
        QApplication::processEvents();
    }

    // The plant diagrams at 1000x600: a repaint after a new snapshot (the kept frame and captions, the snapshot's
    // markers or values over them), beside a widget of the same size that only fills itself white.
    {
        WhiteWidget white;
        white.resize(1000, 600);
        const double floorUs = renderUs(white, 200, [](int) {});
        const char* names[3] = {"status board repaint after a snapshot", "single-line repaint after a snapshot",
                                "network repaint after a snapshot"};
        for (int mode = 0; mode < 3; ++mode) {
            SolarPlantDiagramWidget diagram(mode);
            diagram.resize(1000, 600);
            sim->advance();
            PlantSnapshot s = sim->snapshot();
            const double us = renderUs(diagram, 200, [&](int i) {
                s.activePower = 10.0 + i % 7;
                if (!s.inverters.isEmpty())
                    s.inverters[0].status = i % 4;
                diagram.setSnapshot(s);
            });
            report(names[mode], us, floorUs, "us");
        }
        std::printf("  (reference: a widget of the same size that only fills itself white)\n");
    }

    // Resident memory over 100,000 ticks driven directly (every refresh, cards and charts; no repaint).
    const long startKiB = residentKiB();
    for (int i = 0; i < 100000; ++i) {
        sim->advance();
        if (i % 1000 == 0)
            QApplication::processEvents();
    }
    QApplication::processEvents();
    std::printf("resident memory over 100,000 ticks: %.1f MiB at the start, %.1f MiB at the end\n",
                startKiB / 1024.0, residentKiB() / 1024.0);

    // Start-up to the first frame, in fresh processes, alternating.
    std::vector<double> dashMs, miniMs;
    std::vector<double> dashKiB, miniKiB;
    for (int i = 0; i < 5; ++i) {
        double ms = 0;
        long kib = 0;
        if (timeChild(QStringLiteral("--child-dashboard"), ms, kib)) {
            dashMs.push_back(ms);
            dashKiB.push_back(double(kib));
        }
        if (timeChild(QStringLiteral("--child-minimal"), ms, kib)) {
            miniMs.push_back(ms);
            miniKiB.push_back(double(kib));
        }
    }
    report("start-up to first frame (median of 5)", median(dashMs), median(miniMs), "ms");
    report("resident memory at first frame", median(dashKiB) / 1024.0, median(miniKiB) / 1024.0, "MiB");
    std::printf("resident memory above the reference: %.1f MiB\n", (median(dashKiB) - median(miniKiB)) / 1024.0);
    return 0;
}
