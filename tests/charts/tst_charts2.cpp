// Financial, pie and scatter charts and the sweep trace widgets: parsing and geometry as plain functions, hit
// tests and legend toggles table-driven, hover rules, pixels of pictures rendered into an image, the opening
// animation, degenerate data, and a gallery of the charts in every theme.
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQChartBase.h"
#include "TEVQControlRegistry.h"
#include "TEVQECGChart.h"
#include "TEVQFinancialChart.h"
#include "TEVQICDChart.h"
#include "TEVQOpenGLPieChart.h"
#include "TEVQScatterChart.h"
#include "TEVQtLib.h"

#include <QPainter>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

bool near(double a, double b, double eps = 1e-9) { return std::abs(a - b) <= eps; }

bool sameColor(const QColor& a, const QColor& b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

CandleItem candle(double open, double high, double low, double close, double volume = 100)
{
    CandleItem c;
    c.label = QStringLiteral("d");
    c.open = open;
    c.high = high;
    c.low = low;
    c.close = close;
    c.volume = volume;
    return c;
}

PieSlice slice(const QString& label, double value, bool visible = true)
{
    PieSlice s;
    s.label = label;
    s.value = value;
    s.visible = visible;
    return s;
}

ScatterSeries scatter(const QString& name, const QVector<QPointF>& points, double size = 8)
{
    ScatterSeries s;
    s.name = name;
    s.points = points;
    s.symbolSize = size;
    return s;
}

// An axis label that is a number: neither "nan" nor "inf".
bool readsAsNumber(const QString& label)
{
    return !label.contains(QLatin1String("nan")) && !label.contains(QLatin1String("inf"));
}

// Counts the paints a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// A financial chart of the given size without the entry animation (and, unless asked, without its zoom slider).
void stillFinancial(TEVQFinancialChart& chart, int w, int h, bool zoom = true)
{
    chart.setAnimationEnabled(false);
    chart.resize(w, h);
    if (!zoom)
        chart.setZoomEnabled(false);
}

} // namespace

class tst_charts2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TEVQtLib::init();
        TEVQtLib::registerChartControls();
    }

    // ---- financial chart -------------------------------------------------------------------------------------

    void financialParsing()
    {
        using Impl = TEVQFinancialChartImpl;
        const QVector<CandleItem> c = Impl::parseDailyCsv("\n2026-03-26,1,2,3,0.5,10\n2026-03-27,1,2,3,4\n"
                                                          "  2026-03-30,5,x,7,4,9,extra  \n\n");
        QCOMPARE(c.size(), 2); // five fields: skipped; seven: the first six
        QCOMPARE(c.at(0).label, QStringLiteral("03-26"));
        QCOMPARE(c.at(0).close, 2.0);
        QCOMPARE(c.at(0).high, 3.0);
        QCOMPARE(c.at(0).low, 0.5);
        QCOMPARE(c.at(1).close, 0.0); // does not convert
        QCOMPARE(c.at(1).volume, 9.0);
        const QVector<IntradayTick> t = Impl::parseIntradayCsv("2026-06-26 09:31,10,1\nbad\n2026-06-26 09:36,20,2\n"
                                                                "2026-06-26 09:41,60,3\n");
        QCOMPARE(t.size(), 3);
        QCOMPARE(t.at(0).label, QStringLiteral("06-26 09:31"));
        QCOMPARE(t.at(2).average, 30.0);
        // Prices near the largest double overflow their sum, not their mean.
        const QByteArray big = QByteArray::number(DBL_MAX / 1.5, 'g', 17);
        const QVector<IntradayTick> high = Impl::parseIntradayCsv("t,1e308,1\nt," + big + ",1\nt," + big + ",1\n");
        QCOMPARE(high.size(), 3);
        QVERIFY(std::isfinite(high.at(1).average) && std::isfinite(high.at(2).average));
        QVERIFY(std::abs(high.at(2).average / (1e308 / 3 + DBL_MAX / 2.25) - 1) < 1e-12);
        QVERIFY(Impl::parseDailyCsv(QByteArray()).isEmpty());

        // The demonstration data keep to their rules.
        const QVector<CandleItem> days = Impl::parseDailyCsv(Impl::demoDailyCsv());
        const QVector<IntradayTick> ticks = Impl::parseIntradayCsv(Impl::demoIntradayCsv());
        QCOMPARE(days.size(), 62);
        QCOMPARE(ticks.size(), 49);
        QVERIFY(Impl::demoDailyCsv().startsWith('\n') && Impl::demoDailyCsv().endsWith('\n'));
        QCOMPARE(days.first().label, QStringLiteral("03-26"));
        QCOMPARE(days.last().label, QStringLiteral("06-26"));
        for (const CandleItem& d : days) {
            QVERIFY(d.low >= 2800 && d.high <= 3060);
            QVERIFY(d.low <= qMin(d.open, d.close) && d.high >= qMax(d.open, d.close));
            QVERIFY(d.volume >= 36e6 && d.volume <= 82e6);
        }
        QCOMPARE(ticks.first().label, QStringLiteral("06-26 09:31"));
        QCOMPARE(ticks.at(24).label, QStringLiteral("06-26 13:01"));
        QCOMPARE(ticks.last().label, QStringLiteral("06-26 15:00"));
        QVERIFY(std::abs(ticks.first().price - days.last().open) <= 0.1);
        QCOMPARE(ticks.last().price, days.last().close);
    }

    void financialRangesAndMapping()
    {
        TEVQFinancialChart chart;
        stillFinancial(chart, 800, 480);
        TEVQFinancialChartImpl* d = chart.painter();
        QCOMPARE(d->candles.size(), 62);
        QCOMPARE(d->visibleStart(), 33);
        QCOMPARE(d->visibleEnd(), 61);
        QCOMPARE(d->plotRect(chart.size()).bottom(), 480.0 - 82 - 44);

        chart.setZoomEnabled(false);
        const QRectF plot = d->plotRect(chart.size());
        QCOMPARE(plot.bottom(), 480.0 - 82);
        QCOMPARE(TEVQFinancialChartImpl::mapToPlot(plot, 0, 61, 0, 10, 0, 5).x(), plot.left());
        QCOMPARE(TEVQFinancialChartImpl::mapToPlot(plot, 0, 61, 0, 10, 61, 5).x(), plot.right());
        QCOMPARE(TEVQFinancialChartImpl::mapToPlot(plot, 0, 61, 0, 10, 61, 10).y(), plot.top());

        // Moving averages: MA30 starts at index 29; the tooltip of index 10 lists MA5 and MA10 only.
        double v = 0;
        QVERIFY(!d->movingAverage(28, 30, v));
        QVERIFY(d->movingAverage(29, 30, v));
        const QVector<double> run = d->movingAverages(20, 61, 30);
        QVERIFY(std::isnan(run.at(0)));
        for (int i = 29; i <= 61; ++i) {
            QVERIFY(d->movingAverage(i, 30, v));
            QVERIFY(near(run.at(i - 20), v, 1e-6));
        }
        const QString tip = d->tooltipText(10);
        QVERIFY(tip.startsWith(d->candles.at(10).label + QStringLiteral("\nOpen: ")));
        QVERIFY(tip.contains(QStringLiteral("\nMA5: ")) && tip.contains(QStringLiteral("\nMA10: ")));
        QVERIFY(!tip.contains(QStringLiteral("MA20")) && !tip.contains(QStringLiteral("MA30")));
        QVERIFY(d->tooltipText(62).isEmpty() && d->tooltipText(-1).isEmpty());
        QCOMPARE(d->itemLabel(70), QStringLiteral("Item 71"));

        // Equal values give v - 1 .. v + 1; empty data 0 .. 1.
        chart.setCandles({candle(5, 5, 5, 5), candle(5, 5, 5, 5)});
        double lo, hi;
        d->valueRange(0, 1, lo, hi);
        QVERIFY(near(lo, 4) && near(hi, 6));
        d->candles.clear();
        d->valueRange(d->visibleStart(), d->visibleEnd(), lo, hi);
        QVERIFY(near(lo, 0) && near(hi, 1));
        QVERIFY(d->tooltipText(0).isEmpty());
        // Non-finite values are left out of the range.
        chart.setCandles({candle(1, 2, 0, 1.5), candle(kNaN, kInf, -kInf, 2), candle(1, 3, 1, 2)});
        d->valueRange(0, 2, lo, hi);
        QVERIFY(std::isfinite(lo) && std::isfinite(hi) && lo < 0 && hi > 3);

        // Colours of the averages: own list, else the theme palette, else the fixed blue.
        d->maColors.clear();
        QCOMPARE(d->maColor(7), QColor(145, 204, 117));
        chart.setTheme(ChartTheme());
        QCOMPARE(d->maColor(2), QColor(84, 112, 198, 255));

        // 29 visible: at half way the first 15 candles show; labels at every 8th item.
        QCOMPARE(TEVQFinancialChartImpl::shownCandles(29, 0.5), 15);
        QCOMPARE(TEVQFinancialChartImpl::shownCandles(29, 0.0), 1);
        QCOMPARE(TEVQFinancialChartImpl::shownCandles(29, 1.0), 29);
        QCOMPARE(TEVQFinancialChartImpl::labelStep(33, 61), 8);
        QCOMPARE(TEVQFinancialChartImpl::labelStep(0, -1), 1);
        QCOMPARE(TEVQFinancialChartImpl::bodyWidth(100, 0, 61), 4.0);
        QCOMPARE(TEVQFinancialChartImpl::bodyWidth(100, 0, 2), 18.0);
    }

    void financialHover_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<bool>("hovers");
        QTest::newRow("on the edge") << 0 << true;
        QTest::newRow("7 px outside") << -7 << true;
        QTest::newRow("8 px outside") << -8 << true;
        QTest::newRow("9 px outside") << -9 << false;
    }

    void financialHover()
    {
        QFETCH(int, dx);
        QFETCH(bool, hovers);
        TEVQFinancialChart chart;
        stillFinancial(chart, 800, 480);
        TEVQFinancialChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size());
        const QPoint pos(int(plot.left()) + dx, int(plot.center().y()));
        d->updateHover(pos);
        QCOMPARE(d->hoverActive, hovers);
        if (!hovers) {
            QVERIFY(chart.tooltipText().isEmpty());
            return;
        }
        QCOMPARE(d->hoveredIndex, 33);
        QCOMPARE(chart.tooltipText(), d->tooltipText(33));
        QVERIFY(!d->updateHover(pos)); // the same point again
        QVERIFY(d->updateHover(pos + QPoint(1, 0))); // one pixel on, same item
        QCOMPARE(d->hoveredIndex, 33);
        // A data change clears the hover and the tooltip.
        chart.setTicks(d->ticks);
        QVERIFY(!d->hoverActive);
        QVERIFY(chart.tooltipText().isEmpty());
    }

    void financialPixels()
    {
        TEVQFinancialChart chart;
        stillFinancial(chart, 600, 400, false);
        TEVQFinancialChartImpl* d = chart.painter();
        d->showMovingAverages = false;
        // Three candles: up, down, and open equal to close (a 1 px body in the up colour).
        chart.setCandles({candle(10, 14, 8, 13), candle(13, 13.5, 9, 10), candle(11, 12, 10, 11)});
        const QRectF plot = d->plotRect(chart.size());
        double lo, hi;
        d->valueRange(0, 2, lo, hi);
        QImage img = chart.renderImage();
        const QPointF up = TEVQFinancialChartImpl::mapToPlot(plot, 0, 2, lo, hi, 0, 11.5);
        const QPointF down = TEVQFinancialChartImpl::mapToPlot(plot, 0, 2, lo, hi, 1, 11.5);
        const QPointF flat = TEVQFinancialChartImpl::mapToPlot(plot, 0, 2, lo, hi, 2, 11);
        QVERIFY(sameColor(img.pixelColor((up + QPointF(4, 0)).toPoint()), d->upColor));
        QVERIFY(sameColor(img.pixelColor((down + QPointF(-4, 0)).toPoint()), d->downColor));
        QVERIFY(sameColor(img.pixelColor((flat + QPointF(-5, 0)).toPoint()), d->upColor, 60));
        QVERIFY(sameColor(img.pixelColor((flat + QPointF(-5, -4)).toPoint()), Qt::white));
        // The first candle sits on the left edge; nothing of it leaves the plot by more than half a body.
        QVERIFY(sameColor(img.pixelColor(int(plot.left()) - 12, int(up.y())), Qt::white));

        // Volume bars and intraday lines.
        chart.setMode(FinancialVolume);
        img = chart.renderImage();
        const double slot = plot.width() / 3;
        const auto over = [](int c) { return int(std::lround(c * 190 / 255.0 + 255 * 65 / 255.0)); };
        QVERIFY(sameColor(img.pixelColor(int(plot.left() + slot * 0.5), int(plot.bottom()) - 10),
                          QColor(over(230), over(76), over(69))));
        chart.setMode(FinancialIntraday);
        QVERIFY(!chart.renderImage().isNull());

        // Degenerate data paint without a crash: none, one candle, non-finite values, an empty zoom window.
        chart.setMode(FinancialCandles);
        d->showMovingAverages = true;
        chart.setCandles({});
        img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(plot.center().toPoint() + QPoint(20, 60)), Qt::white));
        chart.setCandles({candle(3, 4, 2, 3.5)});
        d->updateHover(plot.center().toPoint());
        QCOMPARE(d->hoveredIndex, 0);
        QVERIFY(!chart.renderImage().isNull());
        chart.setCandles({candle(kNaN, kInf, -kInf, 1), candle(1e300, -1e300, 0, 2)});
        chart.setZoomEnabled(true);
        chart.setZoomRange(0.5, 0.5);
        QVERIFY(!chart.renderImage().isNull());
    }

    // Prices at the ends of the double range: a finite value range, axis labels that read as numbers, and
    // candles, crosshair and moving averages placed inside the plot.
    void financialExtremeValues()
    {
        TEVQFinancialChart chart;
        stillFinancial(chart, 600, 400, false);
        TEVQFinancialChartImpl* d = chart.painter();
        d->maPeriods = {1};
        const QRectF plot = d->plotRect(chart.size());
        int picture = 0;
        for (const QVector<CandleItem>& candles :
             {QVector<CandleItem>{candle(1, DBL_MAX, 0, 2), candle(2, 3, 1, 2)},
              QVector<CandleItem>{candle(1, DBL_MAX, -DBL_MAX, 2), candle(-1e308, 1, -DBL_MAX, 1e308)}}) {
            chart.setCandles(candles);
            double lo, hi;
            d->valueRange(0, 1, lo, hi);
            QVERIFY2(std::isfinite(lo) && std::isfinite(hi) && lo < hi,
                     qPrintable(QStringLiteral("%1 %2").arg(lo).arg(hi)));
            for (const CandleItem& c : candles) {
                for (double v : {c.open, c.high, c.low, c.close}) {
                    const QPointF at = TEVQFinancialChartImpl::mapToPlot(plot, 0, 1, lo, hi, 1, v);
                    QVERIFY2(std::isfinite(at.y()) && at.y() >= plot.top() - 1e-6 && at.y() <= plot.bottom() + 1e-6,
                             qPrintable(QString::number(at.y())));
                }
            }
            // The highest price reaches the upper half of the plot, the lowest the lower half.
            QVERIFY(TEVQFinancialChartImpl::mapToPlot(plot, 0, 1, lo, hi, 0, DBL_MAX).y() < plot.center().y());
            QVERIFY(TEVQFinancialChartImpl::mapToPlot(plot, 0, 1, lo, hi, 0, 0).y() > plot.center().y() - 1);
            for (int k = 0; k <= 4; ++k) {
                const QString label = TEVQFinancialChartImpl::axisLabel(k, lo, hi);
                QVERIFY2(readsAsNumber(label), qPrintable(label));
            }
            d->updateHover(plot.center().toPoint());
            const QImage img = chart.renderImage();
            QVERIFY(tevtest::keepRender(img, QStringLiteral("financial-extreme-%1.png").arg(++picture)));
        }
        // Prices so close together that the plot's height over their range overflows a double: the candles
        // still stand in the plot, as the same prices at an ordinary size do.
        d->showMovingAverages = false;
        for (double f : {1.0, 1e-307, 1e-312}) {
            chart.setCandles({candle(10 * f, 14 * f, 8 * f, 13 * f), candle(13 * f, 13.5 * f, 9 * f, 10 * f)});
            double lo, hi;
            d->valueRange(0, 1, lo, hi);
            const QImage img = chart.renderImage();
            const QPointF up = TEVQFinancialChartImpl::mapToPlot(plot, 0, 1, lo, hi, 0, 11.5 * f);
            const QPointF down = TEVQFinancialChartImpl::mapToPlot(plot, 0, 1, lo, hi, 1, 11.5 * f);
            QVERIFY2(sameColor(img.pixelColor((up + QPointF(4, 0)).toPoint()), d->upColor), qPrintable(QString::number(f)));
            QVERIFY(sameColor(img.pixelColor((down + QPointF(-4, 0)).toPoint()), d->downColor));
        }
        // Volumes near the largest double keep their bars: the largest fills the plot, its half half of it.
        chart.setMode(FinancialVolume);
        const auto bar = [](const QColor& c) { return c.red() > 200 && c.green() < 150; };
        for (double v : {100.0, DBL_MAX}) {
            chart.setCandles({candle(1, 2, 0, 2, v), candle(1, 2, 0, 2, v / 2)});
            const QImage img = chart.renderImage();
            const int first = int(plot.left() + plot.width() * 0.25), second = int(plot.left() + plot.width() * 0.75);
            QVERIFY2(bar(img.pixelColor(first, int(plot.top()) + 5)), qPrintable(QString::number(v)));
            QVERIFY(!bar(img.pixelColor(second, int(plot.top()) + 5)));
            QVERIFY(bar(img.pixelColor(second, int(plot.center().y()) + 5)));
        }
        // Closes near the largest double: their sum overflows, their mean does not.
        chart.setMode(FinancialCandles);
        d->showMovingAverages = true;
        d->maPeriods = {2};
        const double big = DBL_MAX / 1.5;
        chart.setCandles({candle(1, big, 0, big), candle(1, big, 0, big), candle(1, big, 0, big)});
        double ma = 0;
        QVERIFY(d->movingAverage(1, 2, ma) && ma == big);
        QCOMPARE(d->movingAverages(0, 2, 2).last(), big);
        QVERIFY2(d->tooltipText(2).endsWith(QStringLiteral("MA2: ") + TEVChart::formatNumber(big)),
                 qPrintable(d->tooltipText(2).right(40)));
    }

    // Equal or nearly equal prices far from zero: the range opens around them and they map inside the plot,
    // equal ones to its middle.
    void financialFarFromZero()
    {
        TEVQFinancialChart chart;
        stillFinancial(chart, 600, 400);
        TEVQFinancialChartImpl* d = chart.painter();
        d->showMovingAverages = false;
        const QRectF plot = d->plotRect(chart.size());
        for (double v : {1e13, -1e20, 1e300}) {
            for (double delta : {0.0, std::abs(v) * 1e-14}) {
                chart.setCandles({candle(v, v + delta, v, v), candle(v, v, v, v + delta)});
                double lo, hi;
                d->valueRange(0, 1, lo, hi);
                QVERIFY2(lo < hi && !TEVChart::fuzzyEqual(lo, hi),
                         qPrintable(QStringLiteral("%1 .. %2").arg(lo).arg(hi)));
                for (double price : {v, v + delta}) {
                    const double y = TEVQFinancialChartImpl::mapToPlot(plot, 0, 1, lo, hi, 0, price).y();
                    QVERIFY2(y >= plot.top() && y <= plot.bottom(), qPrintable(QString::number(y)));
                    if (delta == 0)
                        QVERIFY(std::abs(y - plot.center().y()) < 1);
                }
            }
        }
    }

    void financialAnimation()
    {
        TEVQFinancialChart chart;
        chart.resize(600, 400);
        // The demonstration data started the run; a data change starts it again from 0.
        QTRY_COMPARE_WITH_TIMEOUT(chart.animationProgress(), 1.0, 3000);
        chart.setZoomEnabled(false);
        QVector<CandleItem> many(29, candle(10, 12, 8, 11));
        chart.setCandles(many);
        QCOMPARE(chart.animationProgress(), 0.0);
        // At progress 0 only the first candle shows.
        TEVQFinancialChartImpl* d = chart.painter();
        d->showMovingAverages = false;
        const QRectF plot = d->plotRect(chart.size());
        double lo, hi;
        d->valueRange(0, 28, lo, hi);
        const QPointF last = TEVQFinancialChartImpl::mapToPlot(plot, 0, 28, lo, hi, 28, 10.5) - QPointF(3, 0);
        QVERIFY(sameColor(chart.renderImage().pixelColor(last.toPoint()), Qt::white));
        QTRY_COMPARE_WITH_TIMEOUT(chart.animationProgress(), 1.0, 3000);
        QVERIFY(sameColor(chart.renderImage().pixelColor(last.toPoint()), d->upColor));
    }

    void financialZoomDrag()
    {
        TEVQFinancialChart chart;
        stillFinancial(chart, 800, 480);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        TEVQFinancialChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size());
        d->zoom.setCount(d->count());
        const QRectF slider = d->zoom.sliderRect(plot, 42);
        QCOMPARE(slider.top(), plot.bottom() + 42);
        const QRectF window = d->zoom.windowRect(slider);
        const QPoint grab(int(window.center().x()), int(slider.center().y()));
        d->updateHover(plot.center().toPoint());
        QVERIFY(d->hoverActive);
        QTest::mousePress(&chart, Qt::LeftButton, {}, grab);
        QVERIFY(d->zoom.isDragging());
        QVERIFY(!d->hoverActive); // a press on the slider clears the hover
        QMouseEvent move(QEvent::MouseMove, QPointF(grab.x() - 200, grab.y()), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&chart, &move);
        QVERIFY(d->visibleStart() < 33);
        QTest::mouseRelease(&chart, Qt::LeftButton, {}, grab);
        QVERIFY(!d->zoom.isDragging());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&chart, &leave);
        QVERIFY(!d->hoverActive);
    }

    // ---- pie chart -------------------------------------------------------------------------------------------

    void pieSquareAndLegend_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QRectF>("pie");
        QTest::addColumn<QRectF>("legend");
        QTest::newRow("bottom") << int(ChartLegendBottom) << QRectF(194, 68, 212, 212) << QRectF(48, 304, 504, 88);
        QTest::newRow("other value") << 9 << QRectF(194, 68, 212, 212) << QRectF(48, 304, 504, 88);
        QTest::newRow("top") << int(ChartLegendTop) << QRectF(185, 132, 230, 230) << QRectF(48, 48, 504, 62);
        // side = min(420, 400 - 92 - 24, 600 - 236 - 48) = 284; x = (316 - 284) / 2 + 24.
        QTest::newRow("right") << int(ChartLegendRight) << QRectF(40, 68, 284, 284) << QRectF(344, 72, 240, 280);
        // L = min(600 / 3, 220) + 40 = 240; side = min(420, 284, 332) = 284; x = (600 - 240 - 284 - 28) / 2 + 240.
        QTest::newRow("left") << int(ChartLegendLeft) << QRectF(264, 68, 284, 284) << QRectF(24, 72, 200, 280);
    }

    void pieSquareAndLegend()
    {
        QFETCH(int, position);
        QFETCH(QRectF, pie);
        QFETCH(QRectF, legend);
        TEVQOpenGLPieChart chart;
        chart.resize(600, 400);
        chart.setLegendPosition(position);
        TEVQOpenGLPieChartImpl* d = chart.painter();
        QCOMPARE(d->pieRect(chart.size(), position), pie);
        QCOMPARE(d->legendRect(pie, chart.size(), position), legend);
        const QVector<ChartLegendItem> items = d->legendItems(legend, position);
        QCOMPARE(items.size(), 5);
        QCOMPARE(items.first().rect.topLeft(), legend.topLeft().toPoint());
        if (position == ChartLegendLeft || position == ChartLegendRight)
            QCOMPARE(items.at(1).rect.top(), legend.top() + 24);
        // A widget too small for a pie gives an empty square, not one turned inside out.
        QVERIFY(d->pieRect(QSize(50, 50), position).isEmpty());
    }

    void pieSliceContains_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("span");
        QTest::addColumn<double>("angle");
        QTest::addColumn<bool>("inside");
        QTest::newRow("inside") << 10.0 << 50.0 << 30.0 << true;
        QTest::newRow("start edge") << 10.0 << 50.0 << 10.0 << true;
        QTest::newRow("past end") << 10.0 << 50.0 << 61.0 << false;
        QTest::newRow("wraps, before noon") << 300.0 << 120.0 << 350.0 << true;
        QTest::newRow("wraps, after noon") << 300.0 << 120.0 << 20.0 << true;
        QTest::newRow("wraps, outside") << 300.0 << 120.0 << 90.0 << false;
        QTest::newRow("negative start") << -30.0 << 60.0 << 345.0 << true;
        QTest::newRow("full turn, opposite") << 0.0 << 360.0 << 180.0 << true;
        QTest::newRow("full turn from 90") << 90.0 << 360.0 << 45.0 << true;
        QTest::newRow("empty span") << 0.0 << 0.0 << 0.0 << false;
        QTest::newRow("not a number") << 0.0 << kNaN << 0.0 << false;
    }

    void pieSliceContains()
    {
        QFETCH(double, start);
        QFETCH(double, span);
        QFETCH(double, angle);
        QFETCH(bool, inside);
        QCOMPARE(TEVQOpenGLPieChartImpl::sliceContains(start, span, angle), inside);
    }

    void pieGeometryAndHits()
    {
        TEVQOpenGLPieChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQOpenGLPieChartImpl* d = chart.painter();
        QVector<PieSliceGeometry> g = d->sliceGeometry(1.0);
        QCOMPARE(g.size(), 5);
        QVERIFY(near(g.at(0).spanAngle, 1048.0 / 3147 * 360));
        QVERIFY(near(g.at(1).startAngle, g.at(0).spanAngle));
        QCOMPARE(d->tooltipText(0), QStringLiteral("Search Engine\n1048 (33.3%)"));
        // Progress grows each slice from its final start angle.
        const QVector<PieSliceGeometry> half = d->sliceGeometry(0.5);
        QVERIFY(near(half.at(1).startAngle, g.at(1).startAngle));
        QVERIFY(near(half.at(1).spanAngle, g.at(1).spanAngle / 2));

        const QRectF pie = d->pieRect(chart.size(), chart.legendPosition());
        const QPointF c = pie.center();
        const double r = pie.width() / 2;
        QCOMPARE(d->sliceAt(c + QPointF(r * 0.5, -r * 0.5), pie, 1.0), 0); // 45 degrees
        QCOMPARE(d->sliceAt(c + QPointF(-r * 0.1, -r * 0.8), pie, 1.0), 4); // just left of noon
        QCOMPARE(d->sliceAt(c + QPointF(r + 1, 0), pie, 1.0), -1);
        d->innerRadiusRatio = 0.5;
        QCOMPARE(d->sliceAt(c + QPointF(0, r * 0.5), pie, 1.0), 1); // 180 degrees, on the hole's edge
        QCOMPARE(d->sliceAt(c + QPointF(r * 0.45, 0), pie, 1.0), -1);
        d->innerRadiusRatio = 0;

        // The legend hides and shows slices; the others share the whole turn at once, without animation.
        const QRectF legend = d->legendRect(pie, chart.size(), chart.legendPosition());
        const QPoint direct = d->legendItems(legend, chart.legendPosition()).at(1).rect.center().toPoint();
        QTest::mouseClick(&chart, Qt::LeftButton, {}, direct);
        QVERIFY(!d->slices.at(1).visible);
        QCOMPARE(chart.animationProgress(), 1.0);
        g = d->sliceGeometry(1.0);
        QCOMPARE(g.size(), 4);
        QVERIFY(near(g.last().startAngle + g.last().spanAngle, 360.0));
        QCOMPARE(d->tooltipText(0), QStringLiteral("Search Engine\n1048 (43.45%)"));
        QTest::mouseClick(&chart, Qt::LeftButton, {}, direct);
        QVERIFY(d->slices.at(1).visible);

        // One slice left: it takes the full turn and is hovered at every angle.
        for (int i : {1, 2, 3, 4})
            d->slices[i].visible = false;
        for (int deg = 0; deg < 360; deg += 30) {
            const double a = deg * M_PI / 180;
            QCOMPARE(d->sliceAt(c + QPointF(std::sin(a) * r * 0.7, -std::cos(a) * r * 0.7), pie, 1.0), 0);
        }
        QVERIFY(d->updateHover((c + QPointF(0, r * 0.5)).toPoint(), pie));
        QCOMPARE(d->hoveredSlice, 0);

        // Hidden, zero, negative and non-finite slices take no angle; nothing is hit.
        chart.setSlices({slice("a", 0), slice("b", -3), slice("c", kNaN), slice("d", kInf), slice("e", 5, false)});
        QVERIFY(d->sliceGeometry(1.0).isEmpty());
        QCOMPARE(d->sliceAt(c, pie, 1.0), -1);
        QVERIFY(!d->updateHover(c.toPoint(), pie));
        QCOMPARE(d->tooltipText(0), QStringLiteral("a\n0 (0%)"));
        QVERIFY(d->tooltipText(5).isEmpty());
        QVERIFY(!chart.renderImage().isNull());
        // Values near the largest double overflow their plain sum and still share the pie by their sizes.
        chart.setSlices({slice("a", DBL_MAX), slice("b", DBL_MAX / 2), slice("c", DBL_MAX / 2)});
        g = d->sliceGeometry(1.0);
        QCOMPARE(g.size(), 3);
        QVERIFY(near(g.at(0).spanAngle, 180) && near(g.at(2).startAngle, 270) && near(g.at(2).spanAngle, 90));
        QVERIFY(d->tooltipText(1).endsWith(QStringLiteral(" (25%)")));
        chart.setSlices({});
        QVERIFY(d->legendRect(pie, chart.size(), chart.legendPosition()).isNull());
        QVERIFY(!chart.renderImage().isNull());

        // An empty label: "Slice 3" in the legend, "Slice" in the tooltip.
        chart.setSlices({slice("a", 1), slice("b", 1), slice(QString(), 2)});
        const QRectF legend2 = d->legendRect(pie, chart.size(), chart.legendPosition());
        QCOMPARE(d->legendItems(legend2, chart.legendPosition()).at(2).text, QStringLiteral("Slice 3"));
        QCOMPARE(d->tooltipText(2), QStringLiteral("Slice\n2 (50%)"));
    }

    void piePixelsAndHover()
    {
        TEVQOpenGLPieChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQOpenGLPieChartImpl* d = chart.painter();
        const QRectF pie = d->pieRect(chart.size(), chart.legendPosition());
        const QPointF inFirst = pie.center() + QPointF(pie.width() * 0.25, -pie.width() * 0.2);
        QImage img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(inFirst.toPoint()), QColor(84, 112, 198)));
        QVERIFY(sameColor(img.pixelColor(pie.center().toPoint() + QPoint(-40, 40)), QColor(250, 200, 88))); // 225 degrees
        QVERIFY(sameColor(img.pixelColor(5, 390), Qt::white));

        // Hover lightens the slice; leaving clears it, a second leave causes no repaint.
        QVERIFY(d->updateHover(inFirst.toPoint(), pie));
        QVERIFY(!chart.tooltipText().isEmpty());
        img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(inFirst.toPoint()), QColor(84, 112, 198).lighter(115)));
        QVERIFY(d->clearHover());
        QVERIFY(!d->clearHover());
        QVERIFY(chart.tooltipText().isEmpty());

        // A donut shows the plot background in its hole; a hidden slice leaves its colour out of the pie.
        d->innerRadiusRatio = 0.5;
        img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(pie.center().toPoint()), Qt::white));
        d->slices[0].visible = false;
        img = chart.renderImage();
        QVERIFY(!sameColor(img.pixelColor(inFirst.toPoint()), QColor(84, 112, 198)));
        d->showLabels = true;
        QVERIFY(!chart.renderImage().isNull());

        // During the opening run each slice grows from its start.
        d->slices[0].visible = true;
        d->innerRadiusRatio = 0;
        chart.setAnimationEnabled(true);
        chart.setSlices(d->slices);
        QCOMPARE(chart.animationProgress(), 0.0);
        QCOMPARE(d->sliceAt(inFirst, pie, chart.animationProgress()), -1);
        QTRY_COMPARE_WITH_TIMEOUT(d->sliceAt(inFirst, pie, chart.animationProgress()), 0, 3000);
    }

    // ---- scatter chart ---------------------------------------------------------------------------------------

    void scatterBounds_data()
    {
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::addColumn<QRectF>("bounds"); // minX, minY, maxX - minX, maxY - minY
        QTest::newRow("single point") << QVector<QPointF>{{3, 3}} << QRectF(1.84, 1.84, 2.32, 2.32);
        QTest::newRow("none") << QVector<QPointF>{} << QRectF(0, 0, 1, 1);
        QTest::newRow("non-finite left out")
            << QVector<QPointF>{{kNaN, 1}, {0, 0}, {kInf, 5}, {10, 10}} << QRectF(-0.8, -0.8, 11.6, 11.6);
        QTest::newRow("only non-finite") << QVector<QPointF>{{kNaN, kNaN}} << QRectF(0, 0, 1, 1);
    }

    // Equal or nearly equal coordinates far from zero: the bounds open around them, the symbols lie inside the
    // plot and equal ones in its middle.
    void scatterFarFromZero()
    {
        TEVQScatterChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQScatterChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        for (double v : {1e13, -1e20, 1e300}) {
            for (double delta : {0.0, std::abs(v) * 1e-14}) {
                const QVector<QPointF> points{{v, v}, {v + delta, v + delta}};
                chart.setSeries({scatter(QStringLiteral("s"), points)});
                const ScatterBounds b = d->dataBounds();
                QVERIFY(b.minX < b.maxX && !TEVChart::fuzzyEqual(b.minX, b.maxX));
                QVERIFY(b.minY < b.maxY && !TEVChart::fuzzyEqual(b.minY, b.maxY));
                for (const QPointF& p : points) {
                    const QPointF at = TEVQScatterChartImpl::symbolPos(p, plot, b, 1.0);
                    QVERIFY2(plot.contains(at), qPrintable(QStringLiteral("%1 %2").arg(at.x()).arg(at.y())));
                    if (delta == 0)
                        QVERIFY((at - plot.center()).manhattanLength() < 2);
                }
            }
        }
    }

    // Points at the ends of the double range: finite bounds, readable labels, symbols inside the plot.
    void scatterExtremeValues()
    {
        TEVQScatterChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQScatterChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        for (const QVector<QPointF>& points : {QVector<QPointF>{{DBL_MAX, DBL_MAX}, {0, 0}},
                                               QVector<QPointF>{{DBL_MAX, -DBL_MAX}, {-DBL_MAX, DBL_MAX}, {1, 1}}}) {
            chart.setSeries({scatter(QStringLiteral("s"), points)});
            const ScatterBounds b = d->dataBounds();
            for (double v : {b.minX, b.maxX, b.minY, b.maxY})
                QVERIFY(std::isfinite(v));
            QVERIFY(b.minX < b.maxX && b.minY < b.maxY);
            for (const QPointF& p : points) {
                const QPointF at = TEVQScatterChartImpl::symbolPos(p, plot, b, 1.0);
                QVERIFY2(plot.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(at),
                         qPrintable(QStringLiteral("%1 %2").arg(at.x()).arg(at.y())));
            }
            for (int k = 0; k <= 5; ++k) {
                QVERIFY(readsAsNumber(TEVQScatterChartImpl::axisLabelX(k, b)));
                QVERIFY(readsAsNumber(TEVQScatterChartImpl::axisLabelY(k, b)));
            }
            QVERIFY(d->updateHover(TEVQScatterChartImpl::symbolPos(points.last(), plot, b, 1.0).toPoint()));
            const QImage img = chart.renderImage();
            QVERIFY(tevtest::keepRender(img, QStringLiteral("scatter-extreme-%1.png").arg(points.size())));
        }
    }

    // Axes across zero: a step that lands on zero but for rounding reads "0", not "-0", on the scatter's two
    // axes and the financial value axis; the axis' ends keep their values.
    void axisStepsOnZeroReadZero()
    {
        TEVQScatterChart points;
        points.setSeries({scatter(QStringLiteral("s"), {{-3.18, -0.08}, {0.57, 0.16}})});
        const ScatterBounds b = points.painter()->dataBounds();
        QCOMPARE(TEVQScatterChartImpl::axisLabelY(3, b), QStringLiteral("0"));
        QCOMPARE(TEVQScatterChartImpl::axisLabelX(4, b), QStringLiteral("0"));
        QCOMPARE(TEVQScatterChartImpl::axisLabelY(5, b), QStringLiteral("-0.16"));
        TEVQFinancialChart prices;
        prices.setCandles({candle(-1, 0.63, -2.37, 0), candle(0, 0.5, -1, 0.2)});
        double lo, hi;
        prices.painter()->valueRange(0, 1, lo, hi);
        QCOMPARE(TEVQFinancialChartImpl::axisLabel(1, lo, hi), QStringLiteral("0"));
        QCOMPARE(TEVQFinancialChartImpl::axisLabel(4, lo, hi), QStringLiteral("-2.61"));
    }

    void scatterBounds()
    {
        QFETCH(QVector<QPointF>, points);
        QFETCH(QRectF, bounds);
        TEVQScatterChart chart;
        chart.setSeries({scatter(QStringLiteral("s"), points)});
        const ScatterBounds b = chart.painter()->dataBounds();
        QVERIFY2(near(b.minX, bounds.left()) && near(b.maxX, bounds.right()) && near(b.minY, bounds.top()) &&
                     near(b.maxY, bounds.bottom()),
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(b.minX).arg(b.maxX).arg(b.minY).arg(b.maxY)));
    }

    void scatterLayoutAndHover()
    {
        TEVQScatterChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQScatterChartImpl* d = chart.painter();
        ScatterBounds b = d->dataBounds();
        QVERIFY(near(b.minX, 5.76) && near(b.maxX, 38.24) && near(b.minY, 5.44) && near(b.maxY, 42.56));
        QCOMPARE(d->plotRect(chart.size(), ChartLegendBottom), QRectF(56, 48, 600 - 56 - 24, 400 - 48 - 76));
        QCOMPARE(d->plotRect(chart.size(), ChartLegendRight), QRectF(56, 48, 600 - 56 - 200, 400 - 48 - 42));

        // Hover: up to size + 6 from the centre; equal distances go to the earlier series.
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        const QPointF a0 = TEVQScatterChartImpl::symbolPos({8, 15}, plot, b, 1.0);
        ScatterHit hit = d->nearestPoint(a0 + QPointF(14, 0), plot, b, 1.0);
        QVERIFY(hit.found && hit.series == 0 && hit.point == 0);
        QVERIFY(!d->nearestPoint(a0 + QPointF(14.5, 0), plot, b, 1.0).found);
        chart.setSeries({scatter("one", {{1, 1}, {5, 5}}), scatter("two", {{1, 1}})});
        b = d->dataBounds();
        const QPointF shared = TEVQScatterChartImpl::symbolPos({1, 1}, plot, b, 1.0);
        hit = d->nearestPoint(shared + QPointF(2, 0), plot, b, 1.0);
        QCOMPARE(hit.series, 0);
        QVERIFY(d->updateHover(shared.toPoint()));
        QCOMPARE(chart.tooltipText(), QStringLiteral("one\nx: 1\ny: 1"));
        QVERIFY(!d->updateHover(shared.toPoint()));
        // New series clear the hover and its tooltip, as new slices and candles do.
        chart.setSeries(d->series);
        QVERIFY(!d->hoverActive && chart.tooltipText().isEmpty());
        QVERIFY(d->updateHover(shared.toPoint()));

        // The plot's edge is inside; one pixel beyond clears the hover.
        chart.setSeries({scatter("edge", {{0, 0}, {10, 10}}, 100)});
        b = d->dataBounds();
        const QPointF low = TEVQScatterChartImpl::symbolPos({0, 0}, plot, b, 1.0);
        QVERIFY(d->updateHover(QPoint(int(plot.left()), int(low.y()))));
        QVERIFY(d->hoverActive);
        QVERIFY(d->updateHover(QPoint(int(plot.left()) - 1, int(low.y()))));
        QVERIFY(!d->hoverActive);
        QVERIFY(chart.tooltipText().isEmpty());
        QVERIFY(d->tooltipText(0, 9).isEmpty() && d->tooltipText(3, 0).isEmpty());

        // At progress 0 every symbol lies on the bottom edge.
        QCOMPARE(TEVQScatterChartImpl::symbolPos({10, 10}, plot, b, 0.0).y(), plot.bottom());
    }

    void scatterLegendToggle()
    {
        TEVQScatterChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQScatterChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        const QVector<ChartLegendItem> items = d->legendItems(plot, chart.size(), chart.legendPosition());
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0).rect.topLeft(), QPointF(56, plot.bottom() + 34));
        QVERIFY(items.at(1).rect.left() > items.at(0).rect.right());

        // Hover over Series A, then hide it through the legend: the hover goes, the bounds follow Series B.
        const QPointF a = TEVQScatterChartImpl::symbolPos({25, 40}, plot, d->dataBounds(), 1.0);
        QVERIFY(d->updateHover(a.toPoint()));
        QTest::mouseClick(&chart, Qt::LeftButton, {}, items.at(0).rect.center().toPoint());
        QVERIFY(!d->series.at(0).visible);
        QVERIFY(!d->hoverActive);
        QCOMPARE(chart.animationProgress(), 1.0);
        const ScatterBounds b = d->dataBounds();
        QVERIFY(near(b.minX, 10 - 26 * 0.08) && near(b.maxY, 26 + 18 * 0.08));
        // Hovering where a hidden symbol was finds nothing of it.
        d->updateHover(a.toPoint());
        QVERIFY(!d->hoverActive || d->hoveredSeries == 1);
        // Its legend marker becomes a hollow ring in a lighter colour.
        const QImage img = chart.renderImage();
        const QPointF marker(items.at(0).rect.left() + 6, items.at(0).rect.top() + 9);
        QVERIFY(sameColor(img.pixelColor(marker.toPoint()), Qt::white));
        // Hidden series are not drawn: no full-strength palette colour in the plot.
        QTest::mouseClick(&chart, Qt::LeftButton, {}, items.at(1).rect.center().toPoint());
        QVERIFY(!d->series.at(1).visible);
        QVERIFY(!chart.renderImage().isNull());
        QTest::mouseClick(&chart, Qt::LeftButton, {}, items.at(0).rect.center().toPoint());
        QVERIFY(d->series.at(0).visible);
    }

    void scatterPixels()
    {
        TEVQScatterChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQScatterChartImpl* d = chart.painter();
        ScatterSeries s = scatter("big", {{0, 0}, {10, 10}}, 20);
        s.colour = QColor(200, 0, 0);
        chart.setSeries({s});
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        const QPointF c = TEVQScatterChartImpl::symbolPos({10, 10}, plot, d->dataBounds(), 1.0);
        QImage img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(c.toPoint()), Qt::white)); // a ring at rest
        QVERIFY(sameColor(img.pixelColor((c + QPointF(10, 0)).toPoint()), QColor(200, 0, 0), 60));
        d->updateHover(c.toPoint());
        img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(c.toPoint()), QColor(200, 0, 0))); // filled when hovered

        // Many points draw from the pre-rendered ring: the same look at whole pixels.
        QVector<QPointF> many;
        for (int i = 0; i < 3000; ++i)
            many << QPointF(i % 100, (i * 37) % 101);
        many << QPointF(200, 200);
        s.points = many;
        s.symbolSize = 12;
        chart.setSeries({s});
        const QPointF far = TEVQScatterChartImpl::symbolPos({200, 200}, plot, d->dataBounds(), 1.0);
        img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(far.toPoint()), Qt::white));
        int reddest = 0;
        for (int dx = 4; dx <= 8; ++dx) {
            const QColor px = img.pixelColor((far + QPointF(dx, 0)).toPoint());
            reddest = qMax(reddest, px.red() - px.green());
        }
        QVERIFY(reddest > 120);
        chart.setSeries({scatter("odd", {{kNaN, 1}, {1, kInf}, {2, 2}})});
        QVERIFY(!chart.renderImage().isNull());
        chart.setSeries({scatter("wide", {{-1e308, -1e308}, {1e308, 1e308}}, 3000)});
        QVERIFY(!chart.renderImage().isNull());
        // Bounds wider than a double holds still place the symbols: the first at the lower left.
        const QPointF lowLeft = TEVQScatterChartImpl::symbolPos({-1e308, -1e308}, plot, d->dataBounds(), 1.0);
        QVERIFY(lowLeft.x() < plot.center().x() && lowLeft.y() > plot.center().y());
        d->updateHover(lowLeft.toPoint());
        QVERIFY(d->hoverActive);
        QCOMPARE(d->hoveredPoint, 0);
        chart.setSeries({});
        QVERIFY(d->legendItems(plot, chart.size(), chart.legendPosition()).isEmpty());
        QVERIFY(!chart.renderImage().isNull());
    }

    // ---- registry --------------------------------------------------------------------------------------------

    void registry_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("icon");
        QTest::newRow("pie") << "qtopenglpiechart" << "PieChart" << "pieChart";
        QTest::newRow("scatter") << "qtscatterchart" << "ScatterChart" << "columnChart";
        QTest::newRow("financial") << "qtfinancialchart" << "FinancialChart" << "columnChart";
    }

    void registry()
    {
        QFETCH(QString, type);
        QFETCH(QString, displayName);
        QFETCH(QString, icon);
        QScopedPointer<QWidget> w(TEVQtLib::createControlByType(type.toLatin1().constData(), nullptr));
        QVERIFY(w);
        auto* base = qobject_cast<TEVQtLib::ITEVQWidgetBase*>(w.data());
        QVERIFY(base);
        QCOMPARE(base->getTypeName(), type);
        QVERIFY(qobject_cast<TEVQChartBase*>(w.data()));
        const TEVQtLib::ControlInfo info = type == "qtopenglpiechart" ? TEVQOpenGLPieChart::getProps()
                                           : type == "qtscatterchart" ? TEVQScatterChart::getProps()
                                                                      : TEVQFinancialChart::getProps();
        QCOMPARE(QString::fromStdString(info.displayName), displayName);
        QCOMPARE(QString::fromStdString(info.iconName), icon);
        QVERIFY(!TEVQtLib::createControlByType("qtecgchart", nullptr));
    }

    // ---- sweep traces ----------------------------------------------------------------------------------------

    void sweepClip_data()
    {
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::addColumn<bool>("shows");
        QTest::addColumn<QRect>("clip");
        QTest::newRow("no points: whole picture") << QVector<QPointF>{} << true << QRect();
        QTest::newRow("truncated x") << QVector<QPointF>{{3, 1}, {100.7, 5}} << true << QRect(140, 0, 160, 100);
        QTest::newRow("gap reaches the edge") << QVector<QPointF>{{260, 5}} << false << QRect();
        QTest::newRow("beyond the edge") << QVector<QPointF>{{1e30, 5}} << false << QRect();
        QTest::newRow("negative x") << QVector<QPointF>{{-1e30, 5}} << true << QRect(-1e6 + 40, 0, 1e6 + 260, 100);
        QTest::newRow("not a number") << QVector<QPointF>{{kNaN, 5}} << true << QRect(40, 0, 260, 100);
    }

    void sweepClip()
    {
        QFETCH(QVector<QPointF>, points);
        QFETCH(bool, shows);
        QFETCH(QRect, clip);
        TEVSweepTrace t;
        t.points = points;
        bool show = true;
        QCOMPARE(t.sweepClip(QSize(300, 100), show), QRect());
        QVERIFY(!show); // no frozen picture
        t.sweepImage = QImage(300, 100, QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(t.sweepClip(QSize(300, 100), show), clip);
        QCOMPARE(show, shows);
    }

    void sweepWidgets()
    {
        TEVQECGChart ecg;
        ecg.resize(300, 100);
        QCOMPARE(ecg.getTypeName(), QStringLiteral("qtecgchart"));
        QCOMPARE(ecg.getLineWeight(), 3.0f);
        QCOMPARE(ecg.getAt(-1), QPointF(0, 0));
        ecg.addData(10, 20);
        ecg.addData(20, 30);
        QCOMPARE(ecg.dataSize(), 2);
        QCOMPARE(ecg.getAt(1), QPointF(20, 30));
        QCOMPARE(ecg.getAt(2), QPointF(0, 0));
        ecg.popFront();
        QCOMPARE(ecg.getAt(0), QPointF(20, 30));
        ecg.popBack();
        ecg.popBack(); // nothing left: nothing happens
        QCOMPARE(ecg.dataSize(), 0);

        // Only addData repaints.
        ecg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ecg));
        QCOMPARE(tevtest::paintsCausedBy(&ecg,
                                         [&] {
                                             ecg.setLineColor(Qt::red, Qt::blue);
                                             ecg.clearData();
                                             ecg.popBack();
                                         }),
                 0);
        PaintCounter counter;
        ecg.installEventFilter(&counter);
        ecg.addData(5, 50);
        QTRY_VERIFY(counter.paints > 0);
        ecg.removeEventFilter(&counter);

        // A trace with fewer than 3 points draws no fill; with 3 the area below fills.
        ecg.clearData();
        ecg.setLineColor(QColor(0, 255, 0), QColor(0, 255, 0));
        ecg.setBelowFillColor(QColor(0, 0, 255), QColor(0, 0, 255));
        ecg.enableFillColor(true, false);
        ecg.addData(0, 50);
        ecg.addData(290, 50);
        QImage img = ecg.grab().toImage();
        QVERIFY(img.pixelColor(150, 90).alpha() == 0);
        ecg.addData(295, 50);
        img = ecg.grab().toImage();
        QVERIFY(sameColor(img.pixelColor(150, 90), QColor(0, 0, 255)));

        // Freeze, restart: the old picture shows only 40 px past the newest point.
        ecg.swapData();
        ecg.clearData();
        ecg.addData(0, 20);
        ecg.addData(100.7f, 20);
        img = ecg.grab().toImage();
        QCOMPARE(img.pixelColor(120, 90).alpha(), 0);
        QVERIFY(sameColor(img.pixelColor(150, 90), QColor(0, 0, 255)));
        // At the right edge and after a resize the frozen picture is skipped or cut, never misplaced.
        ecg.enableFillColor(false, false);
        ecg.addData(299, 20);
        img = ecg.grab().toImage();
        QCOMPARE(img.pixelColor(150, 90).alpha(), 0);
        ecg.resize(500, 200);
        ecg.addData(float(kNaN), 5);
        ecg.addData(1e30f, 5);
        QVERIFY(!ecg.grab().isNull());

        // The "attr" bag travels through JSON.
        Json::Value in;
        QVERIFY(TEVQtLib::json::parse(std::string(R"({"attr": {"gain": 2}})"), in));
        ecg.serializeJsonValue(&in, true);
        Json::Value out;
        ecg.serializeJsonValue(&out, false);
        QVERIFY(out.isMember("attr") && out["attr"].isMember("gain"));

        TEVQICDChart icd;
        icd.resize(200, 100);
        QCOMPARE(icd.getTypeName(), QStringLiteral("qtecgchart"));
        QCOMPARE(icd.getLineWeight(), 1.0f);
        icd.setLineColor(QColor(255, 0, 0), QColor(255, 0, 0));
        icd.setICDType(ICDFlatLine);
        img = icd.grab().toImage();
        QVERIFY(sameColor(img.pixelColor(100, 40), QColor(255, 0, 0)));
        QCOMPARE(img.pixelColor(100, 60).alpha(), 0);
        icd.setICDType(TEVQtICDType(7));
        img = icd.grab().toImage();
        QCOMPARE(img.pixelColor(100, 40).alpha(), 0);
        icd.setICDType(ICDTrace);
        icd.addData(0, 70);
        icd.addData(199, 70);
        icd.addMarker(3, true);
        icd.addMarkerValue(3, 1, 2, 3);
        img = icd.grab().toImage();
        QVERIFY(sameColor(img.pixelColor(100, 70), QColor(255, 0, 0)));
    }

    // The trace operations the two sweep charts share act on each chart's own painter trace.
    void sweepTraceOperations()
    {
        TEVQECGChart ecg;
        TEVQICDChart icd;
        const QVector<QPair<TEVSweepTraceWidget*, TEVSweepTrace*>> charts{{&ecg, &ecg.painter()->trace},
                                                                          {&icd, &icd.painter()->trace}};
        for (const auto& c : charts) {
            c.first->resize(120, 60);
            for (int i = 1; i <= 3; ++i)
                c.first->addData(i, 10 * i);
            c.first->popFront();
            c.first->popBack();
            QCOMPARE(c.second->points, QVector<QPointF>{QPointF(2, 20)});
            c.first->setLineColor(Qt::red, Qt::blue);
            c.first->setLineWeight(2.5f);
            QCOMPARE(c.second->lineColorBottom, QColor(Qt::blue));
            QCOMPARE(c.second->lineWeight, 2.5f);
            c.first->swapData();
            QCOMPARE(c.second->sweepImage.width(), 120);
            c.first->clearData();
            QCOMPARE(c.first->dataSize(), 0);
        }
    }

    // ---- gallery ---------------------------------------------------------------------------------------------

    void gallery()
    {
        const QSize cell(520, 340);
        QImage sheet(cell.width() * 4, cell.height() * 4, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(Qt::gray);
        QPainter out(&sheet);
        for (int theme = 0; theme < 4; ++theme) {
            TEVQFinancialChart financial;
            TEVQOpenGLPieChart pie;
            TEVQScatterChart scat;
            QVector<TEVQChartBase*> charts{&financial, &pie, &scat};
            for (TEVQChartBase* c : charts) {
                c->setAnimationEnabled(false);
                c->resize(cell);
                c->setTheme(theme);
            }
            pie.setLegendPosition(ChartLegendRight);
            pie.painter()->showLabels = true;
            pie.painter()->innerRadiusRatio = 0.45;
            const QRectF plot = financial.painter()->plotRect(cell);
            financial.painter()->updateHover(QPoint(int(plot.center().x()), int(plot.center().y())));
            const QRectF splot = scat.painter()->plotRect(cell, scat.legendPosition());
            scat.painter()->updateHover(TEVQScatterChartImpl::symbolPos({25, 40}, splot,
                                                                        scat.painter()->dataBounds(), 1.0)
                                            .toPoint());
            for (int k = 0; k < charts.size(); ++k)
                out.drawImage(k * cell.width(), theme * cell.height(), charts.at(k)->renderImage());

            TEVQECGChart ecg;
            ecg.resize(cell);
            ecg.setBelowFillColor(QColor(0, 255, 0, 90), QColor(0, 255, 0, 0));
            ecg.enableFillColor(true, false);
            for (int x = 0; x < cell.width(); x += 3)
                ecg.addData(x, float(170 - 60 * std::sin(x / 23.0) * std::exp(-std::pow((x % 130 - 65) / 18.0, 2))));
            ecg.swapData();
            ecg.clearData();
            for (int x = 0; x < 260; x += 3)
                ecg.addData(x, float(170 - 90 * std::exp(-std::pow((x % 130 - 65) / 8.0, 2))));
            QImage trace(cell, QImage::Format_ARGB32_Premultiplied);
            trace.fill(chartThemeById(theme).backgroundColor.darker(theme == 3 ? 100 : 300));
            QPainter tp(&trace);
            tp.drawImage(0, 0, ecg.grab().toImage());
            tp.end();
            out.drawImage(3 * cell.width(), theme * cell.height(), trace);
        }
        out.end();
        QVERIFY(tevtest::keepRender(sheet, QStringLiteral("charts2-gallery.png")));
    }
};

TEV_TEST_MAIN(tst_charts2)
#include "tst_charts2.moc"
