// Bar and line charts, their records, themes and data-zoom slider: the geometry as plain functions, hover and
// legend interaction, the opening animation, pixels of the picture rendered into an image, and the GL path.
#include "TevTest.h"

#include "TEVQBarChart.h"
#include "TEVQChartBase.h"
#include "TEVQControlRegistry.h"
#include "TEVQDataZoom.h"
#include "TEVQLineChart.h"
#include "TEVQtLib.h"

#include <QMouseEvent>
#include <QVariantAnimation>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

bool near(double a, double b, double eps = 1e-9) { return std::abs(a - b) <= eps; }

bool sameColor(const QColor& a, const QColor& b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

BarSeries bars(const QString& name, const QVector<double>& values)
{
    BarSeries s;
    s.name = name;
    s.values = values;
    return s;
}

LineSeries line(const QString& name, const QVector<double>& values)
{
    LineSeries s;
    s.name = name;
    s.values = values;
    s.showSymbols = false;
    return s;
}

// A still bar chart of one series of values at size, and the value range it gives.
void barsOf(TEVQBarChart& chart, const QVector<double>& values, QSize size, double& lo, double& hi)
{
    chart.setAnimationEnabled(false);
    chart.resize(size);
    chart.setSeries({bars(QStringLiteral("a"), values)});
    chart.painter()->valueRange(lo, hi);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

} // namespace

class tst_charts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TEVQtLib::init();
        TEVQtLib::registerChartControls();
    }

    void themesAndRecords()
    {
        for (int id : {0, 4, -1})
            QCOMPARE(chartThemeById(id).name, QStringLiteral("Default"));
        QCOMPARE(chartThemeById(1).name, QStringLiteral("Macarons"));
        QCOMPARE(chartThemeById(3).backgroundColor, QColor(16, 20, 28));
        QCOMPARE(chartThemeById(2).palette.size(), 6);
        const ChartTheme def = chartThemeById(0);
        QCOMPARE(TEVChart::autoColor(QColor(), def, 7), QColor(145, 204, 117));
        QCOMPARE(TEVChart::autoColor(QColor(1, 2, 3), def, 7), QColor(1, 2, 3));
        QCOMPARE(TEVChart::autoColor(QColor(), ChartTheme(), 3), QColor(84, 112, 198, 255));
        QVERIFY(ChartTheme().palette.isEmpty());

        QCOMPARE(TEVChart::formatNumber(120.0), QStringLiteral("120"));
        QCOMPARE(TEVChart::formatNumber(3.5), QStringLiteral("3.5"));
        QCOMPARE(TEVChart::formatNumber(-0.001), QStringLiteral("-0"));
        QCOMPARE(TEVChart::formatNumber(1234.567), QStringLiteral("1234.57"));
        QCOMPARE(TEVChart::categoryLabel({QStringLiteral("A")}, 0), QStringLiteral("A"));
        QCOMPARE(TEVChart::categoryLabel({QStringLiteral("A")}, 2), QStringLiteral("Item 3"));

        LineSeries a = line(QStringLiteral("a"), {1, 2, 3});
        LineSeries b(std::move(a));
        QCOMPARE(b.values.size(), 3);
        QVERIFY(a.values.isEmpty());
    }

    void dataZoomRanges()
    {
        DataZoom z;
        z.setRange(0.8, 0.3);
        QVERIFY(near(z.start(), 0.3) && near(z.end(), 0.8));
        z.setRange(0.5, 0.505);
        QVERIFY(near(z.start(), 0.5) && near(z.end(), 0.52));
        z.setRange(0.99, 1.0);
        QVERIFY(near(z.start(), 0.98) && near(z.end(), 1.0));
        z.setRange(kNaN, 2.0);
        QVERIFY(near(z.start(), 0.0) && near(z.end(), 1.0));

        // No slider while disabled or with a single category: presses fall through.
        const QRectF plot(50, 50, 500, 200);
        QVERIFY(z.sliderRect(plot, 40).isNull());
        z.setEnabled(true);
        z.setCount(1);
        QVERIFY(z.sliderRect(plot, 40).isNull());
        QVERIFY(!z.press(QPoint(100, 300), z.sliderRect(plot, 40)));
        z.setCount(10);
        const QRectF slider = z.sliderRect(plot, 40);
        QCOMPARE(slider, QRectF(50, 290, 500, 18));

        // Start handle zone reaches 8 px outside the window; a press inside the window pans.
        z.setRange(0.2, 0.5);
        const QRectF w = z.windowRect(slider);
        QVERIFY(z.press(QPoint(int(w.left()) - 7, 295), slider));
        QCOMPARE(z.dragMode(), int(DataZoomDragStart));
        QVERIFY(z.dragTo(QPoint(int(slider.right()), 295), slider)); // past the end handle
        QVERIFY(near(z.start(), 0.48));
        z.release();
        z.setRange(0.2, 0.5);
        QVERIFY(z.press(QPoint(int(w.left()) + 30, 295), slider));
        QCOMPARE(z.dragMode(), int(DataZoomDragWindow));
        z.dragTo(QPoint(int(w.left()) + 30 - 1000, 295), slider);
        QVERIFY(near(z.start(), 0.0) && near(z.end(), 0.3));
        z.dragTo(QPoint(int(w.left()) + 30 + 1000, 295), slider);
        QVERIFY(near(z.start(), 0.7) && near(z.end(), 1.0));
        z.release();
        QVERIFY(!z.isDragging());
        z.setEnabled(false);
        QVERIFY(near(z.start(), 0.0) && near(z.end(), 1.0));
    }

    void barRangesAndGeometry_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::newRow("equal") << QVector<double>{5, 5, 5} << 0.0 << 5.4;
        QTest::newRow("single zero") << QVector<double>{0} << 0.0 << 1.08;
        QTest::newRow("mixed") << QVector<double>{2, -3} << -3.25 << 2.4;
        // All negative: zero stays the top of the range, so the bars hang inside the plot.
        QTest::newRow("all negative") << QVector<double>{-4, -10} << -10.5 << 0.8;
        QTest::newRow("non-finite left out") << QVector<double>{kNaN, 5, kInf, 5} << 0.0 << 5.4;
    }

    void barRangesAndGeometry()
    {
        QFETCH(QVector<double>, values);
        QFETCH(double, min);
        QFETCH(double, max);
        TEVQBarChart chart;
        double lo, hi;
        barsOf(chart, values, QSize(600, 400), lo, hi);
        QVERIFY2(near(lo, min) && near(hi, max), qPrintable(QStringLiteral("%1..%2").arg(lo).arg(hi)));
        const QRectF plot = chart.painter()->plotRect(chart.size(), chart.legendPosition());
        for (const BarItem& bar : chart.painter()->barItems(plot, lo, hi, 1.0, chart.theme()))
            QVERIFY(plot.adjusted(-1, -1, 1, 1).contains(bar.rect)); // a zero bar keeps its 1 px
    }

    void barLayoutRules()
    {
        TEVQBarChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        QCOMPARE(chart.categories().size(), 7); // demo data
        chart.setSeries({});
        double lo, hi;
        chart.painter()->valueRange(lo, hi);
        QVERIFY(near(lo, 0) && near(hi, 1));
        QCOMPARE(chart.painter()->categoryCount(), 7);
        QCOMPARE(chart.painter()->plotRect(chart.size(), ChartLegendBottom), QRectF(56, 48, 504, 400 - 48 - 42));

        // A series longer than the categories adds categories; many series keep bars at least 8 px wide.
        chart.setCategories({QStringLiteral("x")});
        QVector<BarSeries> many;
        for (int i = 0; i < 12; ++i)
            many << bars(QString(), QVector<double>(30, i + 1));
        chart.setSeries(many);
        QCOMPARE(chart.painter()->categoryCount(), 30);
        const QRectF plot = chart.painter()->plotRect(chart.size(), chart.legendPosition());
        chart.painter()->valueRange(lo, hi);
        const QVector<BarItem> items = chart.painter()->barItems(plot, lo, hi, 1.0, chart.theme());
        QCOMPARE(items.size(), 12 * 30);
        for (const BarItem& b : items)
            QVERIFY(b.rect.width() >= 8.0);
        // Legend: the automatic colour follows the list position, hidden series included.
        QCOMPARE(chart.painter()->legendItems(plot, chart.size()).at(7).color, QColor(145, 204, 117));
        QCOMPARE(chart.painter()->legendItems(plot, chart.size()).at(7).text, QStringLiteral("Series 8"));

        // The category count may change between frames: a hover on a vanished category draws no guide.
        chart.setTooltipTrigger(ChartTooltipAxis);
        chart.painter()->updateHover(QPoint(int(plot.right()) - 3, int(plot.center().y())));
        QCOMPARE(chart.painter()->hoveredCategory, 29);
        chart.setSeries({bars(QStringLiteral("b"), {1, 2})});
        QVERIFY(chart.painter()->hoveredCategory <= 1);
        QVERIFY(!chart.renderImage().isNull());
    }

    // Texts longer than their place are shortened with an ellipsis instead of being cut: a category label
    // wider than its box reads as its elided form, and a legend entry wider than the widget stops 8 px short of
    // the widget's right edge.
    void longTextsShortenedNotCut()
    {
        const QString category = QStringLiteral("Inverter north block 01 (roof)");
        const QString name = QStringLiteral("A series name far longer than the legend row of this chart can hold");
        TEVQBarChart chart, expected;
        for (TEVQBarChart* c : {&chart, &expected}) {
            c->setAnimationEnabled(false);
            c->resize(460, 300);
            c->setLegendPosition(ChartLegendTop);
            c->setSeries({bars(QStringLiteral("first"), {3, 1}), bars(name, {2, 4})});
        }
        QFont font = chart.font();
        font.setPixelSize(chart.theme().labelFontPx);
        chart.setCategories({category, QStringLiteral("b")});
        expected.setCategories({QFontMetricsF(font).elidedText(category, Qt::ElideRight, 68), QStringLiteral("b")});
        const QImage image = chart.renderImage();
        QCOMPARE(image, expected.renderImage());
        const QRectF plot = chart.painter()->plotRect(chart.size(), chart.legendPosition());
        const QVector<ChartLegendItem> legend = chart.painter()->legendItems(plot, chart.size());
        QVERIFY(legend.last().rect.right() > image.width());
        for (int y = int(legend.last().rect.top()); y < int(legend.last().rect.bottom()); ++y) {
            for (int x = image.width() - 8; x < image.width(); ++x)
                QVERIFY2(sameColor(image.pixelColor(x, y), chart.backgroundColor(), 0), qPrintable(QString::number(x)));
        }
    }

    // A theme may carry any label size: the legend rows still go downwards in order, and the charts paint.
    void legendOfAnyLabelSize_data()
    {
        QTest::addColumn<int>("labelPx");
        QTest::newRow("negative") << -40;
        QTest::newRow("huge") << 1000000000;
        QTest::newRow("largest int") << std::numeric_limits<int>::max();
    }

    void legendOfAnyLabelSize()
    {
        QFETCH(int, labelPx);
        ChartTheme theme = chartThemeById(0);
        theme.labelFontPx = labelPx;
        theme.titleFontPx = labelPx;
        theme.tooltipFontPx = labelPx;
        const QStringList names{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        const QVector<QColor> colors(3, Qt::red);
        const QVector<bool> shown(3, true);
        const QRectF plot(56, 48, 300, 200);
        for (int position : {int(ChartLegendRight), int(ChartLegendLeft)}) {
            const QVector<ChartLegendItem> items =
                TEVChart::legendLayout(names, colors, shown, position, plot, QSize(600, 400), labelPx, QFont());
            QCOMPARE(items.size(), 3);
            for (int i = 1; i < items.size(); ++i)
                QVERIFY(items.at(i).rect.top() > items.at(i - 1).rect.bottom());
            QCOMPARE(items.at(0).rect.height(), qMax(double(labelPx) + 7, 18.0));
        }
        TEVQLineChart lineChart;
        TEVQBarChart barChart;
        for (TEVQChartBase* chart : QVector<TEVQChartBase*>{&lineChart, &barChart}) {
            chart->setAnimationEnabled(false);
            chart->resize(500, 320);
            chart->setTheme(theme);
            chart->showTooltip(QPoint(40, 30), QStringLiteral("a\nb\nc"));
            for (int position = 0; position < 4; ++position) {
                chart->setLegendPosition(position);
                QVERIFY(!chart->renderImage().isNull());
            }
        }
        lineChart.setSeries({line(QStringLiteral("a"), {1, 2}), line(QString(), {2, 1}), line(QString(), {3})});
        barChart.setSeries({bars(QStringLiteral("a"), {1, 2}), bars(QString(), {2, 1}), bars(QString(), {3})});
        QVERIFY(!lineChart.renderImage().isNull());
        QVERIFY(!barChart.renderImage().isNull());
    }

    void barHoverAndLegend()
    {
        TEVQBarChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(700, 420);
        chart.setCategories({QStringLiteral("A"), QStringLiteral("B")});
        chart.setSeries({bars(QStringLiteral("s1"), {10, 20}), bars(QStringLiteral("s2"), {5, 15})});
        chart.setTooltipTrigger(ChartTooltipItem);
        chart.setTooltipEnabled(true);
        TEVQBarChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        double lo, hi;
        d->valueRange(lo, hi);
        const QVector<BarItem> items = d->barItems(plot, lo, hi, 1.0, chart.theme());
        const BarItem target = items.at(3); // category B, series s2
        QCOMPARE(target.series, 1);
        QCOMPARE(target.category, 1);
        const QPoint inside = target.rect.center().toPoint();
        QVERIFY(d->updateHover(inside));
        QVERIFY(!d->updateHover(inside)); // same place: nothing new
        QCOMPARE(chart.tooltipText(), QStringLiteral("s2\nB: 15"));
        // Tooltips off: the highlight stays, the text goes.
        chart.setTooltipEnabled(false);
        d->updateHover(inside + QPoint(1, 0));
        QVERIFY(d->hovering);
        QVERIFY(chart.tooltipText().isEmpty());
        // Axis mode lists every series of the column.
        chart.setTooltipEnabled(true);
        chart.setTooltipTrigger(ChartTooltipAxis);
        d->updateHover(QPoint(int(plot.left() + plot.width() * 0.75), int(plot.center().y())));
        QCOMPARE(chart.tooltipText(), QStringLiteral("B\ns1: 20\ns2: 15"));
        QCOMPARE(d->hoveredSeries, -1);
        QVERIFY(d->updateHover(QPoint(2, 2))); // outside the plot clears
        QVERIFY(!d->hovering);

        // A legend click hides the series (no animation restart): its colour leaves the plot.
        const auto plotPixels = [&plot](const QImage& img, const QColor& c) {
            int n = 0;
            for (int y = int(plot.top()) + 1; y < int(plot.bottom()); ++y)
                for (int x = int(plot.left()) + 1; x < int(plot.right()); ++x)
                    n += img.pixelColor(x, y) == c ? 1 : 0;
            return n;
        };
        QImage before = chart.renderImage();
        QVERIFY(sameColor(before.pixelColor(items.at(0).rect.center().toPoint()), QColor(84, 112, 198)));
        QVERIFY(plotPixels(before, QColor(84, 112, 198)) > 1000);
        const QVector<ChartLegendItem> legend = d->legendItems(plot, chart.size());
        QTest::mouseClick(&chart, Qt::LeftButton, {}, legend.at(0).rect.center().toPoint());
        QVERIFY(!chart.series().at(0).visible);
        QCOMPARE(chart.animationProgress(), 1.0);
        const QImage after = chart.renderImage();
        QCOMPARE(plotPixels(after, QColor(84, 112, 198)), 0);
        QVERIFY(plotPixels(after, QColor(145, 204, 117)) > 1000);
        tevtest::keepRender(before, QStringLiteral("barchart.png"));
    }

    void lineRangesAndWindow()
    {
        TEVQLineChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQLineChartImpl* d = chart.painter();
        double lo, hi;
        chart.setSeries({line(QStringLiteral("a"), {5})});
        d->valueRange(0, 0, lo, hi);
        QVERIFY(near(lo, 0) && near(hi, 6.16));
        chart.setSeries({line(QStringLiteral("a"), {0})});
        d->valueRange(0, 0, lo, hi);
        QVERIFY(near(lo, -1.1) && near(hi, 1.16));
        chart.setSeries({line(QStringLiteral("a"), {0, 10})});
        d->valueRange(0, 1, lo, hi);
        QVERIFY(near(lo, -0.5) && near(hi, 10.8));
        chart.setSeries({line(QStringLiteral("a"), {kNaN, 4, kInf, 8})});
        d->valueRange(0, 3, lo, hi);
        QVERIFY(near(lo, 0) && near(hi, 8.32));

        // Label thinning: 24 categories over a 300 px plot step by 6, and the last label is added.
        QCOMPARE(TEVQLineChartImpl::labelIndexes(0, 23, 300), (QVector<int>{0, 6, 12, 18, 23}));
        QCOMPARE(TEVQLineChartImpl::labelIndexes(0, 0, 300), (QVector<int>{0}));

        // Zoom window 3 of 7 categories: spread across the whole plot; the hover keeps the real index.
        chart.setCategories({"a", "b", "c", "d", "e", "f", "g"});
        chart.setSeries({line(QStringLiteral("s"), {1, 2, 3, 4, 5, 6, 7})});
        chart.setZoomEnabled(true);
        d->zoom.setRange(0.34, 0.66);
        int start, end;
        d->visibleWindow(start, end);
        QCOMPARE(start, 2);
        QCOMPARE(end, 4);
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        QCOMPARE(plot.bottom(), 400.0 - 76 - 44);
        d->valueRange(start, end, lo, hi);
        QVector<QPointF> pts;
        QVector<int> idx;
        d->seriesPoints(0, plot, start, end, lo, hi, 1.0, pts, &idx);
        QCOMPARE(pts.size(), 3);
        QCOMPARE(pts.first().x(), plot.left());
        QCOMPARE(pts.last().x(), plot.right());
        chart.setTooltipTrigger(ChartTooltipItem);
        QVERIFY(d->updateHover(pts.at(1).toPoint()));
        QCOMPARE(d->hoveredIndex, 3);
    }

    void lineAnimationAndPaths()
    {
        const QVector<double> v{10, 10, 10};
        // Each point starts at i * w / 2 and finishes w later; the last one exactly at 1.
        QCOMPARE(TEVQLineChartImpl::animatedValue(v, 0, 0.0, 0.0), 0.0);
        QCOMPARE(TEVQLineChartImpl::animatedValue(v, 0, 0.5, 0.0), 10.0);
        QCOMPARE(TEVQLineChartImpl::animatedValue(v, 2, 0.5, 0.0), 0.0);
        QVERIFY(near(TEVQLineChartImpl::animatedValue(v, 2, 1.0, 0.0), 10.0));
        QCOMPARE(TEVQLineChartImpl::animatedValue(v, 7, 1.0, -2.0), -2.0);
        QCOMPARE(TEVQLineChartImpl::animatedValue({4}, 0, 0.5, 0.0), 2.0);

        // Two points with smoothing draw a straight segment; three make curves.
        QPainterPath two = TEVQLineChartImpl::linePath({{0, 0}, {10, 10}}, true);
        QCOMPARE(two.elementCount(), 2);
        QPainterPath three = TEVQLineChartImpl::linePath({{0, 0}, {10, 10}, {20, 0}}, true);
        QVERIFY(three.elementCount() > 3);

        // Dense series are reduced per pixel column and keep every column's extremes.
        QVector<QPointF> dense;
        for (int i = 0; i < 10000; ++i)
            dense << QPointF(i * 0.01, std::sin(i * 0.37) * 50 + (i == 5000 ? 400 : 0));
        const QVector<QPointF> reduced = TEVQLineChartImpl::reduceToColumns(dense);
        QVERIFY(reduced.size() <= 4 * 101);
        QCOMPARE(reduced.first(), dense.first());
        QCOMPARE(reduced.last(), dense.last());
        double top = 0;
        for (const QPointF& p : reduced)
            top = qMax(top, p.y());
        QVERIFY(top > 400);
        for (int i = 1; i < reduced.size(); ++i)
            QVERIFY(reduced.at(i).x() >= reduced.at(i - 1).x());
        const QVector<QPointF> sparse{{0, 0}, {5, 1}, {10, 2}, {15, 0}};
        QCOMPARE(TEVQLineChartImpl::reduceToColumns(sparse), sparse);
    }

    void lineHoverRules()
    {
        TEVQLineChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQLineChartImpl* d = chart.painter();
        // Two crossing series: at equal distance the first series wins.
        chart.setCategories({});
        chart.setSeries({line(QStringLiteral("up"), {0, 10}), line(QStringLiteral("down"), {10, 0})});
        chart.setTooltipTrigger(ChartTooltipItem);
        chart.setTooltipEnabled(true);
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        double lo, hi;
        d->valueRange(0, 1, lo, hi);
        const double midY = TEVChart::valueToY(plot, 5, lo, hi);
        QVERIFY(!d->updateHover(QPoint(int(plot.center().x()), int(midY)))); // no point within 14 px
        const LineHit hit = d->nearestPoint(QPoint(int(plot.left()) + 3, int(TEVChart::valueToY(plot, 0, lo, hi))),
                                            plot, 0, 1, lo, hi, 1.0);
        QVERIFY(hit.found);
        QCOMPARE(hit.series, 0);
        QCOMPARE(hit.index, 0);
        QVERIFY(d->updateHover(QPoint(int(plot.right()) - 2, int(TEVChart::valueToY(plot, 0, lo, hi)))));
        QCOMPARE(d->hoveredSeries, 1);
        QCOMPARE(chart.tooltipText(), QStringLiteral("down\nItem 2: 0"));

        // A zoom drag suppresses hover; the release ends it.
        chart.setZoomEnabled(true);
        chart.setTooltipTrigger(ChartTooltipAxis);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        // Shown without a GL context here: the chart must still take its mouse input.
        const QRectF plot2 = d->plotRect(chart.size(), chart.legendPosition());
        d->zoom.setCount(d->categoryCount());
        const QRectF slider = d->sliderRect(plot2, chart.legendPosition());
        QVERIFY(!slider.isEmpty());
        const QPoint grab(int(slider.left()) + 1, int(slider.center().y()));
        QTest::mousePress(&chart, Qt::LeftButton, {}, grab);
        QVERIFY(d->zoom.isDragging());
        QMouseEvent move(QEvent::MouseMove, QPointF(slider.left() + slider.width() / 2, slider.center().y()),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&chart, &move);
        QVERIFY(d->zoom.start() > 0.4);
        QVERIFY(!d->hovering);
        QTest::mouseRelease(&chart, Qt::LeftButton, {}, grab);
        QVERIFY(!d->zoom.isDragging());
    }

    void linePixels()
    {
        TEVQLineChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(640, 400);
        LineSeries s = line(QStringLiteral("flat"), {10, 10, 10, 10});
        s.color = QColor(200, 0, 0);
        s.width = 4;
        s.area = true;
        s.areaOpacity = 1.7; // clamped: fully opaque
        chart.setCategories({});
        chart.setSeries({s});
        TEVQLineChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        double lo, hi;
        d->valueRange(0, 3, lo, hi);
        const int y = qRound(TEVChart::valueToY(plot, 10, lo, hi));
        QImage img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(int(plot.center().x()) + 7, y), QColor(200, 0, 0)));
        QVERIFY(sameColor(img.pixelColor(int(plot.center().x()) + 7, (y + int(plot.bottom())) / 2), QColor(200, 0, 0)));
        QVERIFY(sameColor(img.pixelColor(int(plot.center().x()) + 7, int(plot.top()) + 10), QColor(255, 255, 255)));
        s.areaOpacity = -0.3; // clamped: transparent
        chart.setSeries({s});
        img = chart.renderImage();
        QVERIFY(sameColor(img.pixelColor(int(plot.center().x()) + 7, (y + int(plot.bottom())) / 2), QColor(255, 255, 255)));
        // Nothing is drawn outside the widget with extreme values; an empty chart paints.
        chart.setSeries({line(QStringLiteral("x"), {kNaN, -1e300, 1e300, kInf})});
        QVERIFY(!chart.renderImage().isNull());
        chart.setSeries({});
        chart.painter()->updateHover(QPoint(300, 200));
        QVERIFY(!chart.renderImage().isNull());
    }

    void tooltipPlacementAndColours()
    {
        TEVQBarChart chart;
        chart.resize(600, 400);
        QFont f = chart.font();
        f.setPixelSize(12);
        chart.showTooltip(QPoint(590, 395), QStringLiteral("a long tooltip line\nsecond"));
        const QRect box = chart.tooltipRect(f, chart.size());
        QVERIFY(box.right() <= 600 - 8);
        QVERIFY(box.bottom() < 395); // flipped above the pointer
        chart.showTooltip(QPoint(-50, -50), QStringLiteral("x"));
        const QRect corner = chart.tooltipRect(f, chart.size());
        QVERIFY(corner.left() >= 8 && corner.top() >= 8);
        // Anchors at the ends of the int range: the same placement, without overflowing on the way.
        chart.showTooltip(QPoint(INT_MIN, INT_MIN), QStringLiteral("x"));
        QCOMPARE(chart.tooltipRect(f, chart.size()).topLeft(), corner.topLeft());
        chart.showTooltip(QPoint(INT_MAX, INT_MAX), QStringLiteral("x"));
        const QRect far = chart.tooltipRect(f, chart.size());
        QVERIFY(far.right() <= 600 - 8 && far.bottom() < INT_MAX - 16);
        QVERIFY(!chart.renderImage().isNull());

        // A dark theme gives a dark box, whatever the background override says.
        chart.setSeries({});
        chart.setTheme(3);
        chart.setBackgroundColor(Qt::white);
        chart.showTooltip(QPoint(100, 100), QStringLiteral("dark"));
        QImage img = chart.renderImage();
        const QRect dark = chart.tooltipRect(img.isNull() ? f : f, chart.size());
        QVERIFY(img.pixelColor(dark.left() + 4, dark.bottom() - 3).lightness() < 100);
        chart.setTheme(0);
        img = chart.renderImage();
        QVERIFY(img.pixelColor(dark.left() + 4, dark.bottom() - 3).lightness() > 200);
        chart.hideTooltip();
        QVERIFY(chart.tooltipText().isEmpty());
    }

    void oddDataStaysInsideThePlot_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::newRow("no values") << QVector<double>{};
        QTest::newRow("one point") << QVector<double>{5};
        QTest::newRow("equal") << QVector<double>{3, 3, 3, 3};
        QTest::newRow("all negative") << QVector<double>{-4, -10, -2, -7};
        QTest::newRow("non-finite") << QVector<double>{kNaN, 2, kInf, -kInf, 4};
        QTest::newRow("only non-finite") << QVector<double>{kNaN, kInf};
        QTest::newRow("huge") << QVector<double>{1e300, -1e300, 5, 1e-300};
        QTest::newRow("largest") << QVector<double>{DBL_MAX, 1, -DBL_MAX, 0};
        QTest::newRow("largest and zero") << QVector<double>{DBL_MAX, 0, 3};
        QTest::newRow("nearly equal, far from zero") << QVector<double>{-1e20, -1e20 + 16384, -1e20};
        QTest::newRow("equal, far from zero") << QVector<double>{-1e20, -1e20};
    }

    // Values at the ends of the double range still give a finite range, readable value labels and positions
    // inside the plot: neither the range's headroom nor its span may overflow.
    void extremeValuesKeepAFiniteRange_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::newRow("largest and zero") << QVector<double>{DBL_MAX, 0};
        QTest::newRow("largest and one") << QVector<double>{1, DBL_MAX};
        QTest::newRow("both ends") << QVector<double>{DBL_MAX, -DBL_MAX, 2};
        QTest::newRow("lowest only") << QVector<double>{-DBL_MAX, -DBL_MAX / 3};
    }

    // Equal or nearly equal values far from zero, where a step of 1 is lost to rounding or leaves the range
    // fuzzy-equal: the range still opens around them, and the points lie inside the plot (equal ones in the
    // middle, as they do nearer zero).
    void farFromZeroRangeOpens_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::newRow("equal, 1e13") << QVector<double>{1e13, 1e13};
        QTest::newRow("equal, -1e20") << QVector<double>{-1e20, -1e20};
        QTest::newRow("nearly equal, -1e20") << QVector<double>{-1e20, -1e20 + 16384};
        QTest::newRow("nearly equal, -1e13") << QVector<double>{-1e13, -1e13 + 1};
        QTest::newRow("equal, near zero") << QVector<double>{-3, -3};
    }

    void farFromZeroRangeOpens()
    {
        QFETCH(QVector<double>, values);
        TEVQLineChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(500, 320);
        chart.setSeries({line(QStringLiteral("l"), values)});
        TEVQLineChartImpl* d = chart.painter();
        double lo, hi;
        d->valueRange(0, values.size() - 1, lo, hi);
        QVERIFY2(lo < hi && !TEVChart::fuzzyEqual(lo, hi), qPrintable(QStringLiteral("%1 .. %2").arg(lo).arg(hi)));
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        QVector<QPointF> points;
        d->seriesPoints(0, plot, 0, values.size() - 1, lo, hi, 1.0, points, nullptr);
        for (const QPointF& pt : points)
            QVERIFY2(pt.y() >= plot.top() && pt.y() <= plot.bottom(), qPrintable(QString::number(pt.y())));
        if (values.first() == values.last() && values.first() < 0)
            QVERIFY(std::abs(points.first().y() - plot.center().y()) < plot.height() * 0.1);
    }

    void extremeValuesKeepAFiniteRange()
    {
        QFETCH(QVector<double>, values);
        const auto readable = [](double min, double max) {
            if (!std::isfinite(min) || !std::isfinite(max) || !(min < max))
                return false;
            for (int i = 0; i <= 5; ++i) {
                const QString label = TEVChart::valueLabel(i, min, max);
                if (label.contains(QLatin1String("nan")) || label.contains(QLatin1String("inf")))
                    return false;
            }
            return true;
        };
        TEVQBarChart bar;
        double lo, hi;
        barsOf(bar, values, QSize(500, 320), lo, hi);
        QVERIFY2(readable(lo, hi), qPrintable(QStringLiteral("%1 .. %2").arg(lo).arg(hi)));
        QRectF plot = bar.painter()->plotRect(bar.size(), bar.legendPosition());
        const QVector<BarItem> items = bar.painter()->barItems(plot, lo, hi, 1.0, bar.theme());
        QCOMPARE(items.size(), values.size());
        for (const BarItem& item : items) {
            QVERIFY(std::isfinite(item.rect.top()) && std::isfinite(item.rect.height()));
            QVERIFY(item.rect.top() >= plot.top() - 1e-6 && item.rect.bottom() <= plot.bottom() + 1.000001);
        }

        TEVQLineChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(500, 320);
        chart.setSeries({line(QStringLiteral("l"), values)});
        TEVQLineChartImpl* d = chart.painter();
        d->valueRange(0, values.size() - 1, lo, hi);
        QVERIFY2(readable(lo, hi), qPrintable(QStringLiteral("%1 .. %2").arg(lo).arg(hi)));
        plot = d->plotRect(chart.size(), chart.legendPosition());
        QVector<QPointF> points;
        d->seriesPoints(0, plot, 0, values.size() - 1, lo, hi, 1.0, points, nullptr);
        QCOMPARE(points.size(), values.size());
        double top = plot.bottom(), bottom = plot.top();
        for (const QPointF& pt : points) {
            QVERIFY2(std::isfinite(pt.y()) && pt.y() >= plot.top() - 1e-6 && pt.y() <= plot.bottom() + 1e-6,
                     qPrintable(QString::number(pt.y())));
            top = qMin(top, pt.y());
            bottom = qMax(bottom, pt.y());
        }
        QVERIFY(bottom - top > plot.height() / 2); // the values are spread over the plot, not piled up
        // Hovering finds the points where they are drawn.
        chart.setTooltipTrigger(ChartTooltipItem);
        QVERIFY(d->updateHover(points.first().toPoint()));
        QCOMPARE(d->hoveredIndex, 0);
        QImage sheet(1000, 320, QImage::Format_ARGB32_Premultiplied);
        QPainter out(&sheet);
        out.drawImage(0, 0, bar.renderImage());
        out.drawImage(500, 0, chart.renderImage());
        out.end();
        const QString name = QStringLiteral("extreme-%1.png").arg(QTest::currentDataTag()).replace(' ', '-');
        QVERIFY(tevtest::keepRender(sheet, name));
    }

    // Whatever the values, nothing in the series colour lands outside the plot (symbols may overhang its edge
    // by their radius) but in the legend; hovering anywhere is harmless.
    void oddDataStaysInsideThePlot()
    {
        QFETCH(QVector<double>, values);
        const QColor ink(250, 0, 250);
        const auto strayPixels = [&ink](const QImage& img, const QRectF& plot, const QVector<ChartLegendItem>& legend) {
            int n = 0;
            const QRectF allowed = plot.adjusted(-7, -7, 7, 7);
            for (int y = 0; y < img.height(); ++y) {
                for (int x = 0; x < img.width(); ++x) {
                    const QPointF at(x + 0.5, y + 0.5);
                    if (allowed.contains(at))
                        continue;
                    bool inLegend = false;
                    for (const ChartLegendItem& item : legend)
                        inLegend = inLegend || item.rect.adjusted(-2, -2, 2, 2).contains(at);
                    const QColor c = img.pixelColor(x, y);
                    if (!inLegend && c.red() > 200 && c.blue() > 200 && c.green() < 120)
                        ++n;
                }
            }
            return n;
        };
        {
            TEVQLineChart chart;
            chart.setAnimationEnabled(false);
            chart.resize(500, 320);
            LineSeries s = line(QStringLiteral("odd"), values);
            s.color = ink;
            s.showSymbols = true;
            s.area = true;
            chart.setSeries({s});
            chart.setTooltipTrigger(ChartTooltipAxis);
            TEVQLineChartImpl* d = chart.painter();
            const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
            for (const QPoint& at : {plot.center().toPoint(), plot.topLeft().toPoint(), QPoint(499, 319)})
                d->updateHover(at);
            const QImage img = chart.renderImage();
            QCOMPARE(strayPixels(img, plot, d->legendItems(plot, chart.size())), 0);
            // The check sees the ink: the legend swatch always, the line wherever there are finite values.
            QVERIFY(strayPixels(img, QRectF(), {}) > 0);
            bool finite = false;
            for (double v : values)
                finite = finite || std::isfinite(v);
            QCOMPARE(strayPixels(img, QRectF(), {}) > strayPixels(img, plot, {}), finite);
            // Smoothed, the curve may bulge between points but still not past the plot by more than a symbol.
            s.smooth = true;
            chart.setSeries({s});
            QCOMPARE(strayPixels(chart.renderImage(), plot, d->legendItems(plot, chart.size())), 0);
        }
        {
            TEVQBarChart chart;
            chart.setAnimationEnabled(false);
            chart.resize(500, 320);
            BarSeries s = bars(QStringLiteral("odd"), values);
            s.color = ink;
            s.borderColor = ink;
            chart.setSeries({s});
            chart.setTooltipTrigger(ChartTooltipItem);
            TEVQBarChartImpl* d = chart.painter();
            const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
            for (const QPoint& at : {plot.center().toPoint(), plot.bottomLeft().toPoint(), QPoint(1, 1)})
                d->updateHover(at);
            const QImage img = chart.renderImage();
            QCOMPARE(strayPixels(img, plot.adjusted(6, 6, -6, -6), d->legendItems(plot, chart.size())), 0);
        }
    }

    void dataChangingUnderTheMouse()
    {
        // The category count shrinks between frames while a hover and a zoom window point past the new end.
        TEVQLineChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        TEVQLineChartImpl* d = chart.painter();
        chart.setCategories({});
        QVector<double> many(40);
        for (int i = 0; i < many.size(); ++i)
            many[i] = i % 9;
        chart.setSeries({line(QStringLiteral("s"), many)});
        chart.setZoomEnabled(true);
        d->zoom.setRange(0.7, 1.0);
        chart.setTooltipTrigger(ChartTooltipAxis);
        chart.setTooltipEnabled(true);
        QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        d->updateHover(QPoint(int(plot.right()) - 2, int(plot.center().y())));
        QCOMPARE(d->hoveredIndex, 39);
        chart.setSeries({line(QStringLiteral("s"), {1, 2, 3})});
        QVERIFY(d->hoveredIndex <= 2);
        QVERIFY(!chart.renderImage().isNull());
        int start, end;
        d->visibleWindow(start, end);
        QVERIFY(start >= 0 && end <= 2 && start <= end);
        // Then none at all: the hover goes, the tooltip with it.
        chart.setSeries({line(QStringLiteral("s"), {})});
        QVERIFY(!d->hovering);
        QVERIFY(chart.tooltipText().isEmpty());
        QVERIFY(!d->updateHover(plot.center().toPoint()));
        QVERIFY(!chart.renderImage().isNull());

        // Hover over an empty bar chart, in both modes.
        TEVQBarChart bar;
        bar.setAnimationEnabled(false);
        bar.resize(600, 400);
        bar.setSeries({});
        plot = bar.painter()->plotRect(bar.size(), bar.legendPosition());
        for (int trigger : {int(ChartTooltipItem), int(ChartTooltipAxis)}) {
            bar.setTooltipTrigger(trigger);
            QVERIFY(!bar.painter()->updateHover(plot.center().toPoint()));
            QVERIFY(!bar.painter()->hovering);
        }
        QVERIFY(!bar.renderImage().isNull());
    }

    // New category names (or more categories than values) under a hovered column: the tooltip reads the new
    // label, and a column that moved away from the mouse is no longer highlighted.
    void categoriesChangingUnderTheMouse()
    {
        TEVQBarChart bar;
        bar.setAnimationEnabled(false);
        bar.resize(600, 400);
        bar.setCategories({QStringLiteral("Mon"), QStringLiteral("Tue")});
        bar.setSeries({bars(QStringLiteral("s"), {4, 6})});
        bar.setTooltipTrigger(ChartTooltipAxis);
        bar.setTooltipEnabled(true);
        TEVQBarChartImpl* b = bar.painter();
        QRectF plot = b->plotRect(bar.size(), bar.legendPosition());
        const QPoint right(int(plot.right()) - 5, int(plot.center().y()));
        b->updateHover(right);
        QCOMPARE(b->hoveredCategory, 1);
        QVERIFY(bar.tooltipText().startsWith(QStringLiteral("Tue\n")));
        bar.setCategories({QStringLiteral("Jan"), QStringLiteral("Feb")});
        QVERIFY2(bar.tooltipText().startsWith(QStringLiteral("Feb\n")), qPrintable(bar.tooltipText()));
        // Four categories for two values: the mouse now lies over the empty fourth column.
        bar.setCategories({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
        QVERIFY(!b->hovering);
        QVERIFY(bar.tooltipText().isEmpty());

        TEVQLineChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(600, 400);
        chart.setCategories({QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed")});
        chart.setSeries({line(QStringLiteral("s"), {1, 2, 3})});
        chart.setTooltipTrigger(ChartTooltipAxis);
        chart.setTooltipEnabled(true);
        TEVQLineChartImpl* d = chart.painter();
        plot = d->plotRect(chart.size(), chart.legendPosition());
        const QPoint last(int(plot.right()) - 2, int(plot.center().y()));
        d->updateHover(last);
        QCOMPARE(d->hoveredIndex, 2);
        QVERIFY(chart.tooltipText().startsWith(QStringLiteral("Wed\n")));
        chart.setCategories({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
        QVERIFY2(chart.tooltipText().startsWith(QStringLiteral("z\n")), qPrintable(chart.tooltipText()));
        // Six categories for three values: the right edge is category 6, which has no value.
        chart.setCategories({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                             QStringLiteral("5"), QStringLiteral("6")});
        QVERIFY(!d->hovering);
        QVERIFY(chart.tooltipText().isEmpty());
    }

    // Alike in the bar and the line chart: the axis tooltip leaves out hidden series and gaps and reads an
    // unnamed series as "Series"; turning the trigger or hovering off, or the mouse leaving, clears the hover.
    void sharedHoverRules()
    {
        const auto check = [](auto& chart, auto unnamed, auto gap, auto hidden) {
            chart.setAnimationEnabled(false);
            chart.resize(600, 400);
            chart.setCategories({QStringLiteral("A"), QStringLiteral("B")});
            hidden.visible = false;
            chart.setSeries({unnamed, gap, hidden});
            chart.setTooltipTrigger(ChartTooltipAxis);
            chart.setTooltipEnabled(true);
            auto* d = chart.painter();
            const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
            const QPoint right(int(plot.right()) - 2, int(plot.center().y()));
            QVERIFY(d->updateHover(right));
            QCOMPARE(chart.tooltipText(), QStringLiteral("B\nSeries: 2"));
            chart.setTooltipTrigger(ChartTooltipNone);
            QVERIFY(!d->hovering && chart.tooltipText().isEmpty());
            chart.setTooltipTrigger(ChartTooltipAxis);
            QVERIFY(d->updateHover(right));
            chart.setHoverEnabled(false);
            QVERIFY(!d->hovering && chart.tooltipText().isEmpty());
            chart.setHoverEnabled(true);
            QVERIFY(d->updateHover(right));
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&chart, &leave);
            QVERIFY(!d->hovering && chart.tooltipText().isEmpty());
        };
        TEVQBarChart bar;
        check(bar, bars(QString(), {1, 2}), bars(QStringLiteral("gap"), {3, kNaN}),
              bars(QStringLiteral("hidden"), {5, 6}));
        TEVQLineChart chart;
        check(chart, line(QString(), {1, 2}), line(QStringLiteral("gap"), {3, kNaN}),
              line(QStringLiteral("hidden"), {5, 6}));
    }

    void labelsThinAndRead()
    {
        // The last category's label replaces the one before it when they would overlap; otherwise both stay.
        // Here 19 and 20 stand 34 px apart.
        const auto wide = [](int) { return 30.0; };
        const auto narrow = [](int) { return 27.0; };
        QCOMPARE(TEVQLineChartImpl::labelIndexes(4, 20, 544, wide), (QVector<int>{4, 7, 10, 13, 16, 20}));
        QCOMPARE(TEVQLineChartImpl::labelIndexes(4, 20, 544, narrow), (QVector<int>{4, 7, 10, 13, 16, 19, 20}));
        QCOMPARE(TEVQLineChartImpl::labelIndexes(0, 23, 300), (QVector<int>{0, 6, 12, 18, 23}));
        QCOMPARE(TEVQLineChartImpl::labelIndexes(0, 1, 30), (QVector<int>{0, 1}));
        // 25 categories over 300 px: 21 and 24 stand 37.5 px apart; texts of 68 px there meet, of 14 px do not.
        QCOMPARE(TEVQLineChartImpl::labelIndexes(0, 24, 300, [](int) { return 14.0; }),
                 (QVector<int>{0, 7, 14, 21, 24}));
        QCOMPARE(TEVQLineChartImpl::labelIndexes(0, 24, 300, [](int) { return 68.0; }),
                 (QVector<int>{0, 7, 14, 24}));
        // Bar labels: all while the widest fits its band, else every step-th.
        QCOMPARE(TEVQBarChartImpl::labelStep(36, 28), 1);
        QCOMPARE(TEVQBarChartImpl::labelStep(22.7, 28), 2);
        QCOMPARE(TEVQBarChartImpl::labelStep(10, 200), 8); // a label is never wider than its 68 px box
        QCOMPARE(TEVQBarChartImpl::labelStep(0, 28), 1);
        // A repaint with nothing changed lays out no label again, however many categories there are; changed
        // labels are measured again.
        TEVQBarChart bars;
        bars.setAnimationEnabled(false);
        bars.resize(900, 400);
        QStringList many;
        for (int i = 0; i < 600; ++i)
            many << QStringLiteral("Category %1").arg(i);
        bars.setCategories(many);
        bars.renderImage();
        const int laidOut = bars.painter()->textCache().layoutCount();
        bars.renderImage();
        QCOMPARE(bars.painter()->textCache().layoutCount(), laidOut);
        const double widest = bars.painter()->widestLabel(bars.font(), 600);
        many[599] = QStringLiteral("A far longer last category");
        bars.setCategories(many);
        QVERIFY(bars.painter()->widestLabel(bars.font(), 600) > widest);
        // The bottom value label of a range from zero reads 0, never "-0".
        for (double max = 0.37; max < 5000; max = max * 1.37 + 0.11) {
            QCOMPARE(TEVChart::valueLabel(5, 0, max), QStringLiteral("0"));
            QCOMPARE(TEVChart::valueLabel(0, 0, max), TEVChart::formatNumber(max));
        }
        QCOMPARE(TEVChart::valueLabel(4, -0.5, 2), QStringLiteral("0"));
        QCOMPARE(TEVChart::valueLabel(5, -0.001, 2), QStringLiteral("-0"));
        // Value labels: all six while a fifth of the plot holds a line, else the range's ends, else the top.
        QCOMPARE(TEVChart::valueLabelRows(200, 16), (QVector<int>{0, 1, 2, 3, 4, 5}));
        QCOMPARE(TEVChart::valueLabelRows(80, 16), (QVector<int>{0, 1, 2, 3, 4, 5}));
        QCOMPARE(TEVChart::valueLabelRows(79, 16), (QVector<int>{0, 5}));
        QCOMPARE(TEVChart::valueLabelRows(16, 16), (QVector<int>{0, 5}));
        QCOMPARE(TEVChart::valueLabelRows(10, 16), (QVector<int>{0}));
        QCOMPARE(TEVChart::valueLabelRows(1, 0), (QVector<int>{0, 1, 2, 3, 4, 5}));
    }

    // The label before the added last one gives way only when the two drawn texts would run into each other:
    // 25 hours over a 300 px plot keep "21" beside "24", labels as wide as their box 65 px apart do not both
    // stay. The choice follows the categories and the label size.
    void lastLabelGivesWayOnlyWhenTextsMeet()
    {
        TEVQLineChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(420, 300);
        TEVQLineChartImpl* d = chart.painter();
        d->marginLeft = 80;
        // count categories named by pattern, and a series as long.
        auto label = [&chart](const QString& pattern, int count) {
            QStringList names;
            for (int i = 0; i < count; ++i)
                names << pattern.arg(i);
            chart.setCategories(names);
            chart.setSeries({line(QStringLiteral("a"), QVector<double>(count, 5))});
        };
        label(QStringLiteral("%1"), 25);
        QCOMPARE(d->plotRect(chart.size(), chart.legendPosition()).width(), 300.0);
        // Whether any text is drawn within 6 px of the x of category i (of last + 1) under the plot.
        auto inked = [&](const QImage& img, int i, int last) {
            const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
            const int x = qRound(plot.left() + plot.width() * i / last);
            for (int y = int(plot.bottom()) + 8; y < int(plot.bottom()) + 26; ++y) {
                for (int px = x - 6; px <= x + 6; ++px) {
                    if (!sameColor(img.pixelColor(px, y), chart.theme().backgroundColor, 40))
                        return true;
                }
            }
            return false;
        };
        QImage img = chart.renderImage();
        for (int i : {0, 7, 14, 21, 24})
            QVERIFY2(inked(img, i, 24), qPrintable(QString::number(i)));
        QVERIFY(!inked(img, 18, 24));

        // Texts wider than their box, 65 px apart: the one before the last gives way.
        label(QStringLiteral("Category %1 of the day"), 24);
        img = chart.renderImage();
        QVERIFY(!inked(img, 18, 23));
        QVERIFY(inked(img, 12, 23) && inked(img, 23, 23));
        // Short texts at the same places both stay.
        label(QStringLiteral("%1"), 24);
        img = chart.renderImage();
        QVERIFY(inked(img, 18, 23) && inked(img, 23, 23));
        // Back to 25 hours, then labels drawn large enough to meet 37.5 px apart.
        label(QStringLiteral("%1"), 25);
        QVERIFY(inked(chart.renderImage(), 21, 24));
        ChartTheme big = chart.theme();
        big.labelFontPx = 40;
        chart.setTheme(big);
        img = chart.renderImage();
        QVERIFY(!inked(img, 21, 24) && inked(img, 24, 24));
    }

    // Value labels wider than the left margin (a total that has grown for a week) move the plot right instead of
    // losing their leading digits; labels that fit keep the margin, and the plot keeps at least half its width.
    void valueLabelsKeepTheirDigits()
    {
        TEVQBarChart bar;
        TEVQLineChart lines;
        bar.setAnimationEnabled(false);
        lines.setAnimationEnabled(false);
        bar.resize(436, 400);
        lines.resize(436, 400);
        auto check = [&](double value, bool moves) {
            bar.setSeries({bars(QStringLiteral("e"), {value, value * 0.9})});
            lines.setSeries({line(QStringLiteral("e"), {value, value * 0.9})});
            double lo, hi;
            bar.painter()->valueRange(lo, hi);
            QFont font = bar.font();
            font.setPixelSize(bar.theme().labelFontPx);
            double widest = 0;
            for (int i = 0; i <= 5; ++i)
                widest = qMax(widest, QFontMetricsF(font).horizontalAdvance(TEVChart::valueLabel(i, lo, hi)));
            const QRectF barPlot = bar.painter()->plotRect(bar.size(), bar.legendPosition());
            const QRectF linePlot = lines.painter()->plotRect(lines.size(), lines.legendPosition());
            QCOMPARE(barPlot.left() > 56, moves);
            QCOMPARE(linePlot.left() > 56, moves);
            // The label boxes run from x 4 to 10 px left of the plot.
            QVERIFY2(widest <= barPlot.left() - 10, qPrintable(QString::number(value)));
            QCOMPARE(barPlot.right(), 436.0 - 40);
        };
        check(650, false);
        check(73188.4, true);
        check(4.5e6, true);
        bar.setSeries({bars(QStringLiteral("e"), {1e300})});
        const QRectF squeezed = bar.painter()->plotRect(bar.size(), bar.legendPosition());
        QCOMPARE(squeezed.width(), (436.0 - 56 - 40) / 2);
    }

    // The value labels are formatted once per range and formatted again for any other range (compared bit for
    // bit: -0 and 0, a NaN); a chart given another range draws the new labels.
    void valueLabelsFollowTheRange()
    {
        TEVChart::ValueLabelRoom room;
        const double ranges[][2] = {{0, 100}, {0, 100}, {-0.0, 100}, {0, 250}, {-40, 7.5}, {kNaN, 1}, {kNaN, 1},
                                    {0, 100}};
        for (const auto& r : ranges) {
            for (int i = 5; i >= 0; --i)
                QCOMPARE(room.label(i, r[0], r[1]), TEVChart::valueLabel(i, r[0], r[1]));
        }
        QCOMPARE(room.label(0, 0, 250), QStringLiteral("250"));
        QCOMPARE(room.label(5, 0, 250), QStringLiteral("0"));

        TEVQBarChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(436, 300);
        chart.setSeries({bars(QStringLiteral("e"), {40, 80})});
        chart.renderImage();
        const int laidOut = chart.painter()->textCache().layoutCount();
        chart.renderImage();
        QCOMPARE(chart.painter()->textCache().layoutCount(), laidOut);
        chart.setSeries({bars(QStringLiteral("e"), {4000, 8000})});
        chart.renderImage();
        QVERIFY(chart.painter()->textCache().layoutCount() > laidOut);
    }

    void registry()
    {
        QScopedPointer<QWidget> bar(TEVQtLib::createControlByType("qtbarchart", nullptr));
        QScopedPointer<QWidget> lineChart(TEVQtLib::createControlByType("qtlinechart", nullptr));
        QVERIFY(qobject_cast<TEVQBarChart*>(bar.data()));
        QVERIFY(qobject_cast<TEVQLineChart*>(lineChart.data()));
        QCOMPARE(TEVQBarChart::getProps().displayName, std::string("BarChart"));
        QCOMPARE(TEVQLineChart::getProps().description, std::string("OpenGL Line Chart"));
        auto* chart = static_cast<TEVQBarChart*>(bar.data());
        QCOMPARE(chart->format().samples(), 4);
        QCOMPARE(chart->format().stencilBufferSize(), 8);
        QCOMPARE(chart->format().depthBufferSize(), 24);
    }

    void animation()
    {
        TEVQLineChart chart;
        // Replacing the data restarts the run from 0 at once: no frame shows the new values at full height first.
        chart.setData(QStringLiteral("d"), {1, 2, 3}, QColor());
        QCOMPARE(chart.animationProgress(), 0.0);
        QTRY_COMPARE_WITH_TIMEOUT(chart.animationProgress(), 1.0, 3000);
        chart.setData(QStringLiteral("d"), {1, 2, 3}, QColor());
        QVERIFY(chart.animationProgress() < 1.0);
        chart.setAnimationEnabled(false); // freezes at full values at once
        QCOMPARE(chart.animationProgress(), 1.0);
        chart.setData(QStringLiteral("d"), {4}, QColor());
        QCOMPARE(chart.animationProgress(), 1.0);

        // The animation is a child of the chart: deleted with the chart's children mid-run, it leaves the full
        // values, and the next run makes another.
        chart.setAnimationEnabled(true);
        chart.startAnimation();
        QVERIFY(chart.animationProgress() < 1.0);
        qDeleteAll(chart.findChildren<QVariantAnimation*>());
        QCOMPARE(chart.animationProgress(), 1.0);
        chart.setAnimationEnabled(false);
        chart.setAnimationEnabled(true);
        chart.startAnimation();
        QCOMPARE(chart.animationProgress(), 0.0);
        QTRY_COMPARE_WITH_TIMEOUT(chart.animationProgress(), 1.0, 3000);
    }
};

TEV_TEST_MAIN(tst_charts)
#include "tst_charts.moc"
