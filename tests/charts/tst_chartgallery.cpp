// A gallery of the bar and line charts in each of the four themes, as the dashboard shows them: several series,
// English and Chinese titles and categories, the line chart with areas, smoothing and the zoom slider on a
// partial window, a hover highlight with its tooltip. Each theme's picture is kept (TEV_RENDER_DIR) to be
// looked at; the checks are on the layout: every text inside the widget, clear of the others and of the plot.
#include "TevTest.h"

#include "TEVQBarChart.h"
#include "TEVQLineChart.h"
#include "TEVQtLib.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

const QSize kSize(640, 400);

LineSeries lineSeries(const QString& name, const QVector<double>& values, bool area, bool smooth)
{
    LineSeries s;
    s.name = name;
    s.values = values;
    s.area = area;
    s.smooth = smooth;
    return s;
}

BarSeries barSeries(const QString& name, const QVector<double>& values)
{
    BarSeries s;
    s.name = name;
    s.values = values;
    return s;
}

QStringList hours()
{
    QStringList out;
    for (int i = 0; i < 24; ++i)
        out << QStringLiteral("%1:00").arg(i, 2, 10, QLatin1Char('0'));
    return out;
}

QVector<double> dayCurve(double peak, double offset)
{
    QVector<double> v;
    for (int i = 0; i < 24; ++i) {
        const double x = (i - 12.5 + offset) / 4.2;
        v << peak * std::exp(-x * x) + (i % 5) * 0.8;
    }
    return v;
}

void setUpLine(TEVQLineChart& chart, int theme, bool chinese)
{
    chart.setAnimationEnabled(false);
    chart.resize(kSize);
    chart.setTheme(theme);
    chart.setTitle(chinese ? QStringLiteral("功率趋势 Power trend") : QStringLiteral("Power trend"));
    chart.setCategories(hours());
    chart.setSeries({lineSeries(chinese ? QStringLiteral("逆变器 1") : QStringLiteral("Inverter 1"),
                                dayCurve(820, 0), true, true),
                     lineSeries(chinese ? QStringLiteral("逆变器 2") : QStringLiteral("Inverter 2"),
                                dayCurve(610, 1.5), true, false),
                     lineSeries(chinese ? QStringLiteral("辐照度") : QStringLiteral("Irradiance"),
                                dayCurve(400, -1), false, true)});
    chart.setZoomEnabled(true);
    chart.painter()->zoom.setRange(0.2, 0.85);
    chart.setTooltipTrigger(ChartTooltipAxis);
    chart.setTooltipEnabled(true);
}

void setUpBars(TEVQBarChart& chart, int theme, bool chinese)
{
    chart.setAnimationEnabled(false);
    chart.resize(kSize);
    chart.setTheme(theme);
    chart.setTitle(chinese ? QStringLiteral("七日发电量 Energy, last 7 days") : QStringLiteral("Energy, last 7 days"));
    chart.setCategories(chinese ? QStringList{"周一", "周二", "周三", "周四", "周五", "周六", "周日"}
                                : QStringList{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"});
    chart.setSeries({barSeries(chinese ? QStringLiteral("一号阵列") : QStringLiteral("Array 1"),
                               {412, 380, 455, 298, 502, 470, 390}),
                     barSeries(chinese ? QStringLiteral("二号阵列") : QStringLiteral("Array 2"),
                               {350, 330, 410, 260, 440, 400, 372}),
                     barSeries(chinese ? QStringLiteral("三号阵列") : QStringLiteral("Array 3"),
                               {120, 160, 90, 210, 180, 140, 170})});
    chart.setTooltipTrigger(ChartTooltipItem);
    chart.setTooltipEnabled(true);
}

// The bounding box of what drawText(box, alignment, text) inks with font.
QRectF textRect(const QFont& font, int pixelSize, const QRectF& box, int alignment, const QString& text)
{
    QFont f(font);
    f.setPixelSize(pixelSize);
    return QFontMetricsF(f).boundingRect(box, alignment, text);
}

} // namespace

class tst_chartgallery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TEVQtLib::init(); }

    void gallery()
    {
        for (int theme = 0; theme < 4; ++theme) {
            QImage sheet(kSize.width() * 2, kSize.height() * 3, QImage::Format_ARGB32_Premultiplied);
            QPainter sheetPainter(&sheet);
            for (int row = 0; row < 3; ++row) {
                const bool chinese = row >= 1;
                const bool dense = row == 2;
                TEVQLineChart line;
                setUpLine(line, theme, chinese);
                if (dense) {
                    // Two months of days, dated in Chinese, zoomed to about three weeks.
                    QStringList days;
                    QVector<double> energy;
                    for (int i = 0; i < 61; ++i) {
                        days << QStringLiteral("%1月%2日").arg(6 + i / 30).arg(i % 30 + 1);
                        energy << 3200 + 900 * std::sin(i * 0.4) + (i % 7) * 120;
                    }
                    line.setCategories(days);
                    line.setSeries({lineSeries(QStringLiteral("日发电量 Daily energy (kWh)"), energy, true, false)});
                    line.painter()->zoom.setRange(0.4, 0.75);
                }
                TEVQLineChartImpl* d = line.painter();
                const QRectF plot = d->plotRect(line.size(), line.legendPosition());
                // Hover at two thirds of the plot: the guide, the markers and the tooltip.
                QVERIFY(d->updateHover(QPoint(int(plot.left() + plot.width() * 0.66), int(plot.center().y()))));
                QVERIFY(!line.tooltipText().isEmpty());
                checkLineLayout(line);
                if (QTest::currentTestFailed())
                    return;
                const QImage lineImage = line.renderImage();

                TEVQBarChart bars;
                setUpBars(bars, theme, chinese);
                if (dense) {
                    // Hourly output of four inverters: more bars and labels than the plot has room for.
                    QVector<BarSeries> series;
                    for (int s = 0; s < 4; ++s)
                        series << barSeries(QStringLiteral("逆变器 %1").arg(s + 1), dayCurve(95 - s * 9, s * 0.5));
                    bars.setCategories(hours());
                    bars.setTitle(QStringLiteral("逆变器出力 Inverter output (kW)"));
                    bars.setSeries(series);
                }
                TEVQBarChartImpl* b = bars.painter();
                const QRectF barPlot = b->plotRect(bars.size(), bars.legendPosition());
                double lo, hi;
                b->valueRange(lo, hi);
                const QVector<BarItem> items = b->barItems(barPlot, lo, hi, 1.0, bars.theme());
                QVERIFY(b->updateHover(items.at(13).rect.center().toPoint()));
                if (!dense) // dense bars keep 8 px each and overlap their neighbours: the first one hit wins
                    QCOMPARE(b->hoveredCategory, 4);
                QVERIFY(bars.tooltipText().contains(TEVChart::categoryLabel(bars.categories(), b->hoveredCategory)));
                checkBarLayout(bars);
                if (QTest::currentTestFailed())
                    return;
                const QImage barImage = bars.renderImage();

                // The theme's background around the plot; no bar colour outside it.
                QCOMPARE(barImage.pixelColor(3, 3), bars.backgroundColor());
                QCOMPARE(lineImage.pixelColor(3, 3), line.backgroundColor());

                sheetPainter.drawImage(0, row * kSize.height(), lineImage);
                sheetPainter.drawImage(kSize.width(), row * kSize.height(), barImage);
            }
            sheetPainter.end();
            QVERIFY(tevtest::keepRender(sheet, QStringLiteral("chart-gallery-theme%1.png").arg(theme)));
        }
    }

private:
    // Category labels apart from each other; slider edge labels, legend and category labels apart; the tooltip
    // inside the widget.
    void checkLineLayout(TEVQLineChart& chart)
    {
        TEVQLineChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        int start, end;
        d->visibleWindow(start, end);
        const double xScale = plot.width() / qMax(end - start, 1);
        const int labelPx = chart.theme().labelFontPx;
        QVector<QRectF> taken;
        QFont labelFont = chart.font();
        labelFont.setPixelSize(labelPx);
        labelFont.setBold(false);
        for (int i : d->drawnLabelIndexes(start, end, plot.width(), labelFont)) {
            const double x = plot.left() + xScale * (i - start);
            const QRectF box(x - 34, plot.bottom() + 8, 68, 18);
            const QString label = TEVChart::categoryLabel(chart.categories(), i);
            const QRectF r = textRect(chart.font(), labelPx, box, Qt::AlignCenter, label);
            QVERIFY2(box.contains(r), qPrintable(label + QStringLiteral(" is clipped")));
            for (const QRectF& other : taken)
                QVERIFY2(!other.intersects(r), qPrintable(label + QStringLiteral(" overlaps a label")));
            taken << r;
        }
        d->zoom.setCount(d->categoryCount());
        const QRectF slider = d->sliderRect(plot, chart.legendPosition());
        QVERIFY(!slider.isEmpty());
        for (const QRectF& label : taken)
            QVERIFY2(!label.intersects(slider), "a category label runs into the zoom slider");
        for (const ChartLegendItem& item : d->legendItems(plot, chart.size())) {
            QVERIFY2(!item.rect.intersects(slider), qPrintable(item.text + QStringLiteral(" runs into the slider")));
            QVERIFY2(QRectF(QPointF(0, 0), QSizeF(chart.size())).contains(item.rect), qPrintable(item.text));
        }
        QFont tipFont = chart.font();
        tipFont.setPixelSize(chart.theme().tooltipFontPx);
        QVERIFY(QRect(QPoint(0, 0), chart.size()).contains(chart.tooltipRect(tipFont, chart.size())));
    }

    void checkBarLayout(TEVQBarChart& chart)
    {
        TEVQBarChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        const double band = plot.width() / d->categoryCount();
        QFont labelFont = chart.font();
        labelFont.setPixelSize(chart.theme().labelFontPx);
        double widest = 0;
        for (int i = 0; i < d->categoryCount(); ++i)
            widest = qMax(widest, QFontMetricsF(labelFont).horizontalAdvance(TEVChart::categoryLabel(chart.categories(), i)));
        QVector<QRectF> taken;
        for (int i = 0; i < d->categoryCount(); i += TEVQBarChartImpl::labelStep(band, widest)) {
            const double x = plot.left() + i * band + band / 2;
            const QRectF box(x - 34, plot.bottom() + 8, 68, 18);
            const QString label = TEVChart::categoryLabel(chart.categories(), i);
            const QRectF r = textRect(chart.font(), chart.theme().labelFontPx, box, Qt::AlignCenter, label);
            QVERIFY2(box.contains(r), qPrintable(label + QStringLiteral(" is clipped")));
            for (const QRectF& other : taken)
                QVERIFY2(!other.intersects(r), qPrintable(label + QStringLiteral(" overlaps a label")));
            taken << r;
        }
        for (const ChartLegendItem& item : d->legendItems(plot, chart.size())) {
            for (const QRectF& label : taken)
                QVERIFY2(!label.intersects(item.rect), qPrintable(item.text + QStringLiteral(" runs into a label")));
        }
        QFont tipFont = chart.font();
        tipFont.setPixelSize(chart.theme().tooltipFontPx);
        QVERIFY(QRect(QPoint(0, 0), chart.size()).contains(chart.tooltipRect(tipFont, chart.size())));
    }
};

TEV_TEST_MAIN(tst_chartgallery)
#include "tst_chartgallery.moc"
