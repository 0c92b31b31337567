// The line and bar charts painted into an image, against the same series drawn in the same run by a plain
// antialiased QPainter polyline (or rectangles), by Qt Charts and by QCustomPlot, where those were found at
// configure time (TEV_HAVE_QTCHARTS, TEV_HAVE_QCUSTOMPLOT). Every figure is the median of repeated paints of a
// chart whose data is already set, with animation off, into a 960x480 image. With TEV_RENDER_DIR set, the last
// picture of every row is saved there. "bench_charts line N" or "bench_charts bars" paints only this framework's
// chart for about five seconds, for a profiler.
#include "TEVQBarChart.h"
#include "TEVQLineChart.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#ifdef TEV_HAVE_QTCHARTS
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#endif
#ifdef TEV_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 480;
constexpr double kPenWidth = 2.0;
const QColor kLineColor(84, 112, 198);

// A day of plant output with measurement noise: dense enough that neighbouring points differ on screen.
QVector<double> makeSeries(int n)
{
    QVector<double> v(n);
    quint32 state = 12345u;
    for (int i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        const double noise = (double(state >> 8) / double(1u << 24) - 0.5) * 3.0;
        const double t = double(i) / n;
        v[i] = 50 + 40 * std::sin(t * 6.28318 * 3) + noise;
    }
    return v;
}

QStringList makeCategories(int n)
{
    QStringList out;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out << QString::number(i);
    return out;
}

// With TEV_RENDER_DIR set, the last picture of every row is saved there under this name.
QString g_saveAs;

// Median of repeated paints, each into a freshly cleared image; slow paints repeat fewer times.
double medianMs(const std::function<void(QImage&)>& paint)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    QElapsedTimer total;
    total.start();
    paint(image); // warm-up: caches, glyphs, layouts
    while (times.size() < 3 || (times.size() < 21 && total.elapsed() < 1500)) {
        image.fill(Qt::white);
        QElapsedTimer timer;
        timer.start();
        paint(image);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    const QString dir = qEnvironmentVariable("TEV_RENDER_DIR");
    if (!dir.isEmpty() && !g_saveAs.isEmpty())
        image.save(dir + QLatin1Char('/') + g_saveAs);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Row {
    const char* name;
    double ms;
};

void printRows(const char* title, const std::vector<Row>& rows)
{
    std::printf("%s\n", title);
    const double ours = rows.front().ms;
    for (const Row& r : rows) {
        if (&r == &rows.front())
            std::printf("  %-28s %10.3f ms\n", r.name, r.ms);
        else
            std::printf("  %-28s %10.3f ms   chart / this = %6.3f\n", r.name, r.ms, r.ms > 0 ? ours / r.ms : 0.0);
    }
}

// ---- this framework's charts ---------------------------------------------------------------------------------

double lineChartMs(const QVector<double>& values, bool symbols)
{
    g_saveAs = QStringLiteral("bench-line-%1%2-tev.png").arg(values.size()).arg(symbols ? "-symbols" : "");
    TEVQLineChart chart;
    chart.setAnimationEnabled(false);
    chart.resize(kWidth, kHeight);
    chart.setTitle(QStringLiteral("Output"));
    chart.setCategories(makeCategories(values.size()));
    LineSeries s;
    s.name = QStringLiteral("Power");
    s.values = values;
    s.width = kPenWidth;
    s.showSymbols = symbols;
    chart.setSeries({s});
    return medianMs([&chart](QImage& image) {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        chart.paintChart(&p);
    });
}

double barChartMs(const QStringList& categories, const QVector<QVector<double>>& sets)
{
    g_saveAs = QStringLiteral("bench-bars-tev.png");
    TEVQBarChart chart;
    chart.setAnimationEnabled(false);
    chart.resize(kWidth, kHeight);
    chart.setTitle(QStringLiteral("Yield"));
    chart.setCategories(categories);
    QVector<BarSeries> series;
    for (int i = 0; i < sets.size(); ++i) {
        BarSeries s;
        s.name = QStringLiteral("Inverter %1").arg(i + 1);
        s.values = sets.at(i);
        series << s;
    }
    chart.setSeries(series);
    return medianMs([&chart](QImage& image) {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        chart.paintChart(&p);
    });
}

// ---- plain QPainter ------------------------------------------------------------------------------------------

QVector<QPointF> plotPoints(const QVector<double>& values)
{
    const QRectF plot(56, 48, kWidth - 96, kHeight - 124);
    QVector<QPointF> pts(values.size());
    const double xs = plot.width() / qMax(values.size() - 1, 1);
    for (int i = 0; i < values.size(); ++i)
        pts[i] = QPointF(plot.left() + xs * i, plot.bottom() - plot.height() * values.at(i) / 110.0);
    return pts;
}

double rawPolylineMs(const QVector<double>& values, bool symbols)
{
    g_saveAs = QStringLiteral("bench-line-%1%2-raw.png").arg(values.size()).arg(symbols ? "-symbols" : "");
    const QVector<QPointF> pts = plotPoints(values);
    return medianMs([&pts, symbols](QImage& image) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kLineColor, kPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(pts.constData(), pts.size());
        if (symbols) {
            p.setPen(QPen(kLineColor, 1.8));
            p.setBrush(Qt::white);
            for (const QPointF& pt : pts)
                p.drawEllipse(pt, 4.0, 4.0);
        }
    });
}

double rawBarsMs(const QVector<QVector<double>>& sets)
{
    g_saveAs = QStringLiteral("bench-bars-raw.png");
    const QRectF plot(56, 48, kWidth - 96, kHeight - 124);
    const int count = sets.first().size();
    const double band = plot.width() / count;
    const double w = band * 0.7 / sets.size();
    return medianMs([&](QImage& image) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        for (int s = 0; s < sets.size(); ++s) {
            p.setPen(QPen(kLineColor.darker(120), 1.0));
            p.setBrush(kLineColor);
            for (int c = 0; c < count; ++c) {
                const double h = plot.height() * sets.at(s).at(c) / 110.0;
                p.drawRect(QRectF(plot.left() + c * band + band * 0.15 + s * w, plot.bottom() - h, w, h));
            }
        }
    });
}

// ---- Qt Charts -----------------------------------------------------------------------------------------------

#ifdef TEV_HAVE_QTCHARTS
QVector<QPointF> plotPointsByIndex(const QVector<double>& values)
{
    QVector<QPointF> pts(values.size());
    for (int i = 0; i < values.size(); ++i)
        pts[i] = QPointF(i, values.at(i));
    return pts;
}

double qtChartsRender(QtCharts::QChartView& view)
{
    view.resize(kWidth, kHeight);
    view.setRenderHint(QPainter::Antialiasing);
    view.chart()->setAnimationOptions(QtCharts::QChart::NoAnimation);
    // The chart takes the view's size and lays itself out only once shown and after the posted layout events.
    view.show();
    QApplication::processEvents();
    QApplication::processEvents();
    return medianMs([&view](QImage& image) {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        view.render(&p, QRectF(0, 0, kWidth, kHeight), view.viewport()->rect());
    });
}

double qtChartsLineMs(const QVector<double>& values, bool symbols)
{
    g_saveAs = QStringLiteral("bench-line-%1%2-qtcharts.png").arg(values.size()).arg(symbols ? "-symbols" : "");
    auto* series = new QtCharts::QLineSeries;
    series->replace(plotPointsByIndex(values));
    series->setPen(QPen(kLineColor, kPenWidth));
    series->setPointsVisible(symbols);
    auto* chart = new QtCharts::QChart;
    chart->addSeries(series);
    chart->createDefaultAxes();
    chart->setTitle(QStringLiteral("Output"));
    QtCharts::QChartView view(chart);
    return qtChartsRender(view);
}

double qtChartsBarsMs(const QStringList& categories, const QVector<QVector<double>>& sets)
{
    g_saveAs = QStringLiteral("bench-bars-qtcharts.png");
    auto* series = new QtCharts::QBarSeries;
    for (int i = 0; i < sets.size(); ++i) {
        auto* set = new QtCharts::QBarSet(QStringLiteral("Inverter %1").arg(i + 1));
        for (double v : sets.at(i))
            *set << v;
        series->append(set);
    }
    auto* chart = new QtCharts::QChart;
    chart->addSeries(series);
    auto* axisX = new QtCharts::QBarCategoryAxis;
    axisX->append(categories);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QtCharts::QValueAxis;
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    chart->setTitle(QStringLiteral("Yield"));
    QtCharts::QChartView view(chart);
    return qtChartsRender(view);
}
#endif

// ---- QCustomPlot ---------------------------------------------------------------------------------------------

#ifdef TEV_HAVE_QCUSTOMPLOT
double customPlotRender(QCustomPlot& plot)
{
    plot.resize(kWidth, kHeight);
    plot.setAntialiasedElements(QCP::aeAll);
    plot.replot();
    return medianMs([&plot](QImage& image) {
        QCPPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        plot.toPainter(&p, kWidth, kHeight);
    });
}

double customPlotLineMs(const QVector<double>& values, bool symbols)
{
    g_saveAs = QStringLiteral("bench-line-%1%2-qcustomplot.png").arg(values.size()).arg(symbols ? "-symbols" : "");
    QCustomPlot plot;
    QVector<double> keys(values.size());
    for (int i = 0; i < keys.size(); ++i)
        keys[i] = i;
    QCPGraph* graph = plot.addGraph();
    graph->setData(keys, values, true);
    graph->setPen(QPen(kLineColor, kPenWidth));
    if (symbols)
        graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 8));
    plot.plotLayout()->insertRow(0);
    plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, QStringLiteral("Output")));
    plot.rescaleAxes();
    return customPlotRender(plot);
}

double customPlotBarsMs(const QStringList& categories, const QVector<QVector<double>>& sets)
{
    g_saveAs = QStringLiteral("bench-bars-qcustomplot.png");
    QCustomPlot plot;
    QVector<double> keys(categories.size());
    for (int i = 0; i < keys.size(); ++i)
        keys[i] = i + 1;
    QSharedPointer<QCPAxisTickerText> ticker(new QCPAxisTickerText);
    ticker->addTicks(keys, categories.toVector());
    plot.xAxis->setTicker(ticker);
    auto* group = new QCPBarsGroup(&plot);
    for (int i = 0; i < sets.size(); ++i) {
        auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
        bars->setData(keys, sets.at(i), true);
        bars->setWidth(0.18);
        bars->setBarsGroup(group);
        bars->setName(QStringLiteral("Inverter %1").arg(i + 1));
        bars->setBrush(QColor::fromHsv(i * 70, 150, 220));
    }
    plot.legend->setVisible(true);
    plot.plotLayout()->insertRow(0);
    plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, QStringLiteral("Yield")));
    plot.rescaleAxes();
    plot.xAxis->setRange(0, categories.size() + 1);
    return customPlotRender(plot);
}
#endif

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TEVQtLib::init();
    // bench_charts line N | bars: only this framework's chart, painted for about five seconds (for a profiler).
    if (argc >= 2) {
        const bool line = qstrcmp(argv[1], "line") == 0;
        const QVector<double> values = makeSeries(argc >= 3 ? std::max(2, std::atoi(argv[2])) : 100000);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000)
            line ? lineChartMs(values, false) : barChartMs(makeCategories(24), {values.mid(0, 24), values.mid(24, 24)});
        return 0;
    }

    std::printf("charts painted into a %dx%d image (antialiased, width %.0f, animation off), median of repeated "
                "paints; ratio = this framework's chart time / the other's\n\n",
                kWidth, kHeight, kPenWidth);
    for (int n : {1000, 10000, 100000}) {
        const QVector<double> values = makeSeries(n);
        for (bool symbols : {false, true}) {
            if (symbols && n != 1000)
                continue;
            std::vector<Row> rows{{"TEVQLineChart", lineChartMs(values, symbols)},
                                  {"raw QPainter polyline", rawPolylineMs(values, symbols)}};
#ifdef TEV_HAVE_QTCHARTS
            rows.push_back({"Qt Charts", qtChartsLineMs(values, symbols)});
#endif
#ifdef TEV_HAVE_QCUSTOMPLOT
            rows.push_back({"QCustomPlot", customPlotLineMs(values, symbols)});
#endif
            const QByteArray title =
                QStringLiteral("line, %1 points, symbols %2").arg(n).arg(symbols ? "on" : "off").toUtf8();
            printRows(title.constData(), rows);
        }
    }

    QStringList categories;
    for (int i = 0; i < 24; ++i)
        categories << QStringLiteral("%1:00").arg(i, 2, 10, QLatin1Char('0'));
    QVector<QVector<double>> sets;
    for (int s = 0; s < 4; ++s) {
        QVector<double> v;
        for (int i = 0; i < 24; ++i)
            v << 20 + 60 * std::max(0.0, std::sin((i - 5) * 3.14159 / 14)) + s * 5;
        sets << v;
    }
    std::vector<Row> rows{{"TEVQBarChart", barChartMs(categories, sets)}, {"raw QPainter rectangles", rawBarsMs(sets)}};
#ifdef TEV_HAVE_QTCHARTS
    rows.push_back({"Qt Charts", qtChartsBarsMs(categories, sets)});
#endif
#ifdef TEV_HAVE_QCUSTOMPLOT
    rows.push_back({"QCustomPlot", customPlotBarsMs(categories, sets)});
#endif
    printRows("bars, 24 categories x 4 series", rows);
#ifndef TEV_HAVE_QTCHARTS
    std::printf("(Qt Charts not found at configure time: its rows are left out)\n");
#endif
#ifndef TEV_HAVE_QCUSTOMPLOT
    std::printf("(QCustomPlot not found at configure time: its rows are left out)\n");
#endif
    return 0;
}
