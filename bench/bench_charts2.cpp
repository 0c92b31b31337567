// Painting 10,000 candles (with four moving averages) and 100,000 scatter points (two series of ring symbols)
// into an image through the financial and scatter charts, against a floor of plain QPainter calls drawing the
// same shapes, and (when built with it) against QCustomPlot drawing the same data. Then the repaint of each
// chart with its titles, labels and legend texts kept from the last paint, against the same chart painting
// after those are dropped (what every paint cost while they were laid out and measured at each paint). Last, the
// tooltip of a mouse move that keeps the hovered item: its text measured once, against measuring it at every
// paint.
#include "TEVQBarChart.h"
#include "TEVQFinancialChart.h"
#include "TEVQLineChart.h"
#include "TEVQOpenGLPieChart.h"
#include "TEVQScatterChart.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#ifdef TEV_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCandles = 10000;
constexpr int kPoints = 100000;
constexpr int kPasses = 9;
const QSize kSize(1200, 600);

double medianMs(const std::function<void()>& fn)
{
    fn(); // warm-up
    std::vector<double> times;
    for (int i = 0; i < kPasses; ++i) {
        QElapsedTimer t;
        t.start();
        fn();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QVector<CandleItem> makeCandles()
{
    QRandomGenerator rng(7);
    QVector<CandleItem> out;
    out.reserve(kCandles);
    double price = 3000;
    for (int i = 0; i < kCandles; ++i) {
        CandleItem c;
        c.label = QString::number(i);
        c.open = price + rng.bounded(16.0) - 8;
        c.close = c.open + rng.bounded(40.0) - 20 + 8 * std::sin(i / 300.0);
        c.high = std::max(c.open, c.close) + rng.bounded(10.0);
        c.low = std::min(c.open, c.close) - rng.bounded(10.0);
        c.volume = 4e7 + rng.bounded(4e7);
        price = c.close;
        out.append(c);
    }
    return out;
}

QVector<ScatterSeries> makeScatter()
{
    QRandomGenerator rng(11);
    QVector<ScatterSeries> out(2);
    for (int s = 0; s < 2; ++s) {
        out[s].name = s == 0 ? QStringLiteral("A") : QStringLiteral("B");
        out[s].symbolSize = 8;
        out[s].points.reserve(kPoints / 2);
        for (int i = 0; i < kPoints / 2; ++i) {
            // A sum of uniforms: clouds denser in the middle, as measurements tend to be.
            const double x = rng.bounded(40.0) + rng.bounded(40.0) + s * 20;
            const double y = rng.bounded(30.0) + rng.bounded(30.0) + x * 0.4;
            out[s].points.append(QPointF(x, y));
        }
    }
    return out;
}

QImage blank()
{
    QImage img(kSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    return img;
}

// The candle chart's shapes with plain calls: wick and body per candle, then the four averages as polylines.
void floorCandles(const QVector<CandleItem>& candles, const QVector<QVector<double>>& averages)
{
    QImage img = blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plot(66, 48, kSize.width() - 94, kSize.height() - 130);
    double lo = 1e300, hi = -1e300;
    for (const CandleItem& c : candles) {
        lo = std::min(lo, c.low);
        hi = std::max(hi, c.high);
    }
    const double xs = plot.width() / (candles.size() - 1);
    const double ys = plot.height() / (hi - lo);
    const QColor up(230, 76, 69), down(34, 178, 115);
    for (int i = 0; i < candles.size(); ++i) {
        const CandleItem& c = candles.at(i);
        const QColor col = c.close >= c.open ? up : down;
        const double x = plot.left() + xs * i;
        p.setPen(QPen(col, 1.3));
        p.setBrush(col);
        p.drawLine(QPointF(x, plot.bottom() - ys * (c.high - lo)), QPointF(x, plot.bottom() - ys * (c.low - lo)));
        const double yo = plot.bottom() - ys * (c.open - lo), yc = plot.bottom() - ys * (c.close - lo);
        p.drawRect(QRectF(x - 2, std::min(yo, yc), 4, std::max(std::abs(yo - yc), 1.0)));
    }
    p.setBrush(Qt::NoBrush);
    for (const QVector<double>& ma : averages) {
        QVector<QPointF> pts;
        for (int i = 0; i < ma.size(); ++i) {
            if (std::isfinite(ma.at(i)))
                pts.append(QPointF(plot.left() + xs * i, plot.bottom() - ys * (ma.at(i) - lo)));
        }
        p.setPen(QPen(QColor(59, 130, 246), 1.5));
        p.drawPolyline(pts.constData(), pts.size());
    }
}

// The scatter chart's shapes with plain calls: one antialiased ring per point.
void floorScatter(const QVector<ScatterSeries>& series)
{
    QImage img = blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plot(56, 48, kSize.width() - 80, kSize.height() - 124);
    const QColor colours[2] = {QColor(84, 112, 198), QColor(145, 204, 117)};
    for (int s = 0; s < series.size(); ++s) {
        p.setPen(QPen(colours[s], 1.4));
        p.setBrush(Qt::white);
        for (const QPointF& pt : series.at(s).points)
            p.drawEllipse(QPointF(plot.left() + pt.x() * plot.width() / 100, plot.bottom() - pt.y() * plot.height() / 100),
                          4, 4);
    }
}

#ifdef TEV_HAVE_QCUSTOMPLOT
void setUpCandlePlot(QCustomPlot& plot, const QVector<CandleItem>& candles, const QVector<QVector<double>>& averages)
{
    plot.resize(kSize);
    auto* fin = new QCPFinancial(plot.xAxis, plot.yAxis);
    fin->setChartStyle(QCPFinancial::csCandlestick);
    fin->setWidthType(QCPFinancial::wtAbsolute);
    fin->setWidth(4);
    fin->setTwoColored(true);
    fin->setBrushPositive(QColor(230, 76, 69));
    fin->setPenPositive(QPen(QColor(230, 76, 69), 1.3));
    fin->setBrushNegative(QColor(34, 178, 115));
    fin->setPenNegative(QPen(QColor(34, 178, 115), 1.3));
    QVector<double> keys, open, high, low, close;
    for (int i = 0; i < candles.size(); ++i) {
        keys << i;
        open << candles.at(i).open;
        high << candles.at(i).high;
        low << candles.at(i).low;
        close << candles.at(i).close;
    }
    fin->setData(keys, open, high, low, close, true);
    for (const QVector<double>& ma : averages) {
        QCPGraph* g = plot.addGraph();
        g->setPen(QPen(QColor(59, 130, 246), 1.5));
        QVector<double> k, v;
        for (int i = 0; i < ma.size(); ++i) {
            if (std::isfinite(ma.at(i))) {
                k << i;
                v << ma.at(i);
            }
        }
        g->setData(k, v, true);
    }
    plot.rescaleAxes();
}

void setUpScatterPlot(QCustomPlot& plot, const QVector<ScatterSeries>& series)
{
    plot.resize(kSize);
    const QColor colours[2] = {QColor(84, 112, 198), QColor(145, 204, 117)};
    for (int s = 0; s < series.size(); ++s) {
        QCPGraph* g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(colours[s], 1.4), Qt::white, 8));
        QVector<double> k, v;
        for (const QPointF& p : series.at(s).points) {
            k << p.x();
            v << p.y();
        }
        g->setData(k, v);
    }
    plot.rescaleAxes();
}

void drawPlot(QCustomPlot& plot)
{
    QImage img = blank();
    QCPPainter painter(&img);
    plot.toPainter(&painter, kSize.width(), kSize.height());
}
#endif

void report(const char* what, double chart, double floor, double reference)
{
    std::printf("%s\n", what);
    std::printf("  chart:             %8.2f ms per frame\n", chart);
    std::printf("  plain QPainter:    %8.2f ms per frame   ratio chart / plain      %6.2f\n", floor,
                floor > 0 ? chart / floor : 0.0);
    if (reference > 0)
        std::printf("  QCustomPlot:       %8.2f ms per frame   ratio chart / QCustomPlot %6.2f\n", reference,
                    chart / reference);
    else
        std::printf("  QCustomPlot:       not built in (libqcustomplot-dev not found)\n");
}

// One chart of the dashboard's size with its demonstration data, painted with its texts kept and after they are
// dropped.
template <class Chart>
void reportTexts(const char* what, const std::function<void(Chart&)>& setUp)
{
    Chart chart;
    chart.setAnimationEnabled(false);
    chart.resize(800, 480);
    setUp(chart);
    // Painted into one image over and over (as a widget repaints its back buffer), so that what is measured is
    // the chart's own work, not making and clearing an image.
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&](bool drop) {
        for (int i = 0; i < 50; ++i) {
            if (drop)
                chart.painter()->dropCaches();
            image.fill(chart.backgroundColor());
            QPainter p(&image);
            p.setFont(chart.font());
            p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
            chart.paintChart(&p);
        }
    };
    // The fastest of 15 runs: the least disturbed by whatever else the machine runs.
    const auto fastestMs = [&paint](bool drop) {
        paint(drop); // warm-up
        double best = 1e9;
        for (int run = 0; run < 15; ++run) {
            QElapsedTimer t;
            t.start();
            paint(drop);
            best = std::min(best, t.nsecsElapsed() / 1e6);
        }
        return best / 50;
    };
    const double kept = fastestMs(false);
    const double dropped = fastestMs(true);
    std::printf("  %-44s %7.3f ms   texts laid out each paint %7.3f ms   ratio %5.2f\n", what, kept, dropped,
                dropped > 0 ? kept / dropped : 0.0);
}

// The tooltip layer alone, drawn over a bar chart's picture.
class TooltipProbe : public TEVQBarChart
{
public:
    using TEVQChartBase::drawTooltip;
};

// A three-line tooltip drawn 200 times at moving anchors, its text kept (a mouse move over one bar), against
// the text switched between two of the same lines before each draw, so that each is measured as every draw
// did before. The fastest of 15 runs, per draw.
void reportTooltip()
{
    TooltipProbe chart;
    chart.setAnimationEnabled(false);
    chart.resize(800, 480);
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(chart.backgroundColor());
    const QString texts[2] = {QStringLiteral("Tue\nInverter 1 output: 7.5\nInverter 2 output: 12.25"),
                              QStringLiteral("Tue\nInverter 1 output: 7.6\nInverter 2 output: 12.75")};
    const auto draw = [&](bool switchText) {
        QPainter p(&image);
        p.setFont(chart.font());
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        for (int i = 0; i < 200; ++i) {
            chart.showTooltip(QPoint(100 + i, 120 + i % 7), texts[switchText ? i % 2 : 0]);
            chart.drawTooltip(&p);
        }
    };
    const auto fastestUs = [&draw](bool switchText) {
        draw(switchText);
        double best = 1e12;
        for (int run = 0; run < 15; ++run) {
            QElapsedTimer t;
            t.start();
            draw(switchText);
            best = std::min(best, t.nsecsElapsed() / 1e3);
        }
        return best / 200;
    };
    const double kept = fastestUs(false);
    const double measured = fastestUs(true);
    std::printf("  %-44s %7.2f us   measured each paint %7.2f us   ratio %5.2f\n", "tooltip, 3 lines", kept,
                measured, kept / measured);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TEVQtLib::init();

    const QVector<CandleItem> candles = makeCandles();
    TEVQFinancialChart financial;
    financial.setAnimationEnabled(false);
    financial.resize(kSize);
    financial.setZoomEnabled(false);
    financial.setCandles(candles);
    QVector<QVector<double>> averages;
    for (int period : financial.painter()->maPeriods)
        averages << financial.painter()->movingAverages(0, kCandles - 1, period);

    const QVector<ScatterSeries> points = makeScatter();
    TEVQScatterChart scatter;
    scatter.setAnimationEnabled(false);
    scatter.resize(kSize);
    scatter.setSeries(points);

    double qcpCandles = 0, qcpScatter = 0;
#ifdef TEV_HAVE_QCUSTOMPLOT
    QCustomPlot candlePlot;
    setUpCandlePlot(candlePlot, candles, averages);
    qcpCandles = medianMs([&] { drawPlot(candlePlot); });
    QCustomPlot scatterPlot;
    setUpScatterPlot(scatterPlot, points);
    qcpScatter = medianMs([&] { drawPlot(scatterPlot); });
#endif

    std::printf("into a %dx%d image, antialiased, median of %d passes\n", kSize.width(), kSize.height(), kPasses);
    report("10,000 candles with 4 moving averages",
           medianMs([&] { financial.renderImage(); }), medianMs([&] { floorCandles(candles, averages); }), qcpCandles);
    report("100,000 scatter points in 2 series", medianMs([&] { scatter.renderImage(); }),
           medianMs([&] { floorScatter(points); }), qcpScatter);

    std::printf("repaint of an 800x480 image with texts kept, against laying them out at every paint (per paint)\n");
    const auto named = [](int n) {
        QStringList names;
        for (int i = 0; i < n; ++i)
            names << QStringLiteral("Inverter %1 output").arg(i + 1);
        return names;
    };
    reportTexts<TEVQBarChart>("bar chart, 6 series in the legend", [&named](TEVQBarChart& c) {
        QVector<BarSeries> series;
        for (const QString& name : named(6)) {
            BarSeries s;
            s.name = name;
            s.values = {120, 200, 150, 80, 70, 110, 130};
            series << s;
        }
        c.setSeries(series);
    });
    reportTexts<TEVQLineChart>("line chart, 6 series in the legend, zoom", [&named](TEVQLineChart& c) {
        QVector<LineSeries> series;
        for (const QString& name : named(6)) {
            LineSeries s;
            s.name = name;
            s.values = {120, 200, 150, 80, 70, 110, 130};
            series << s;
        }
        c.setSeries(series);
        c.setZoomEnabled(true);
    });
    reportTexts<TEVQFinancialChart>("financial chart, 62 candles, zoom", [](TEVQFinancialChart& c) {
        c.setZoomEnabled(true);
    });
    reportTexts<TEVQOpenGLPieChart>("pie chart, 5 slices with labels",
                                    [](TEVQOpenGLPieChart& c) { c.painter()->showLabels = true; });
    reportTexts<TEVQScatterChart>("scatter chart, demonstration data", [](TEVQScatterChart&) {});
    std::printf("tooltip of a mouse move over one item, drawn with its text measured once, against measuring it at "
                "every paint (per paint)\n");
    reportTooltip();
    return 0;
}
