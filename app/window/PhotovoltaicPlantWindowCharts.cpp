// The window's seven charts: their common set-up, the dashboard chart theme and the refill from a snapshot.
#include "PhotovoltaicPlantWindow.h"

#include "TEVQBarChart.h"
#include "TEVQContainer.h"
#include "TEVQLineChart.h"
#include "TEVQtLib.h"

#include <cmath>

namespace {

QString text(const char* key)
{
    return TEVQtLib::tevText(QString::fromLatin1(key), QString());
}

// Policies, empty title, theme, legend on top, hover on and no opening animation: a chart refilled every
// second shows the new data at once.
template <class Chart> void setUpChart(Chart* chart, const QString& objectName, int tooltipTrigger)
{
    chart->setObjectName(objectName);
    chart->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
    chart->setHeightPolicy(TEVQtLib::LayoutSizePolicy(0));
    chart->setTitle(QString());
    chart->setTheme(solarChartTheme());
    chart->setLegendPosition(0);
    chart->setTooltipTrigger(tooltipTrigger);
    chart->setHoverEnabled(true);
    // The chart's own minimum width (420) is wider than the drawer body (412) and the energy card of a
    // 1280-pixel window: the card decides the width, so the chart never runs over the card's edge.
    chart->setMinimumWidth(0);
}

LineSeries lineSeries(const char* nameKey, const QVector<double>& values, const QColor& color, bool area,
                      double width)
{
    LineSeries s;
    s.name = text(nameKey);
    s.values = values;
    s.color = color;
    s.showSymbols = false;
    s.smooth = true;
    s.area = area;
    s.width = width;
    return s;
}

// A series the operator hid through a chart's legend stays hidden when the chart's series are replaced: the
// refill comes every second and would show it again at once.
template <class Series> void keepHidden(const QVector<Series>& shown, QVector<Series>& series)
{
    for (int i = 0; i < series.size() && i < shown.size(); ++i)
        series[i].visible = shown[i].visible;
}

bool sameSeries(const LineSeries& a, const LineSeries& b)
{
    return a.name == b.name && a.values == b.values && a.color == b.color && a.areaColor == b.areaColor &&
           a.showSymbols == b.showSymbols && a.smooth == b.smooth && a.area == b.area && a.visible == b.visible &&
           a.width == b.width && a.areaOpacity == b.areaOpacity;
}

bool sameSeries(const BarSeries& a, const BarSeries& b)
{
    return a.name == b.name && a.values == b.values && a.color == b.color && a.borderColor == b.borderColor &&
           a.visible == b.visible;
}

// The snapshot comes every second but the histories change only every few: a chart is handed only what differs
// from what it shows (each hand-over looks at the hover again and repaints the chart).
template <class Chart, class Series>
void refill(Chart* chart, const QStringList& categories, QVector<Series> series)
{
    if (chart->categories() != categories)
        chart->setCategories(categories);
    keepHidden(chart->series(), series);
    const QVector<Series>& shown = chart->series();
    bool same = shown.size() == series.size();
    for (int i = 0; same && i < series.size(); ++i)
        same = sameSeries(shown[i], series[i]);
    if (!same)
        chart->setSeries(series);
}

BarSeries barSeries(const char* nameKey, const QVector<double>& values)
{
    BarSeries s;
    s.name = text(nameKey);
    s.values = values;
    s.color = QColor(120, 165, 133, 255);
    s.borderColor = QColor(92, 134, 104, 255);
    return s;
}

} // namespace

ChartTheme solarChartTheme()
{
    ChartTheme t;
    t.name = QStringLiteral("Quenlark");
    t.backgroundColor = QColor(248, 251, 249, 255);
    t.plotBackgroundColor = QColor(248, 251, 249, 255);
    t.titleColor = QColor(63, 75, 82, 255);
    t.axisLineColor = QColor(182, 195, 187, 255);
    t.axisLabelColor = QColor(112, 126, 118, 255);
    t.gridColor = QColor(225, 233, 228, 255);
    t.crosshairColor = QColor(126, 159, 137, 180);
    t.palette = {QColor(112, 157, 126, 255), QColor(171, 193, 176, 255), QColor(223, 90, 90, 255),
                 QColor(230, 164, 66, 255)};
    t.labelFontPx = 12;
    t.tooltipFontPx = 12;
    t.lineWidth = 2.2;
    t.symbolRadius = 3.3;
    t.hoverSymbolRadius = 5.0;
    t.barCornerRadius = 4.0;
    return t;
}

TEVQLineChart* PhotovoltaicPlantWindow::addLineChart(TEVQContainer* parent, const QString& objectName, int ratio,
                                                     int minimumHeight, bool zoom)
{
    auto* chart = new TEVQLineChart(parent);
    setUpChart(chart, objectName, 2);
    if (zoom) {
        chart->setZoomEnabled(true);
        // Labels as large as the axis labels; the slider keeps its own colours.
        DataZoomStyle style = chart->zoomStyle();
        style.labelHeight = 18.0;
        style.labelFontPx = 12;
        chart->setZoomStyle(style);
    }
    chart->setAnimationEnabled(false);
    if (minimumHeight > 0)
        chart->setMinimumHeight(minimumHeight);
    parent->addChildWidget(chart, ratio);
    return chart;
}

TEVQBarChart* PhotovoltaicPlantWindow::addBarChart(TEVQContainer* parent, const QString& objectName, int ratio,
                                                   int minimumHeight, int tooltipTrigger)
{
    auto* chart = new TEVQBarChart(parent);
    setUpChart(chart, objectName, tooltipTrigger);
    chart->setAnimationEnabled(false);
    if (minimumHeight > 0)
        chart->setMinimumHeight(minimumHeight);
    parent->addChildWidget(chart, ratio);
    return chart;
}

void PhotovoltaicPlantWindow::refreshCharts(const PlantSnapshot& s)
{
    // Series shared by the drawer, the meter page and the charts page.
    LineSeries actual = lineSeries("solar.chart.actualPower", s.actualPowerHistory, QColor(105, 153, 120, 255),
                                   true, 2.4);
    actual.areaColor = QColor(154, 190, 164, 255);
    actual.areaOpacity = 0.24;
    LineSeries expected = lineSeries("solar.chart.expectedPower", s.expectedPowerHistory,
                                     QColor(173, 188, 178, 255), false, 1.7);
    expected.areaColor = QColor(220, 229, 223, 255);

    if (m_powerTrendChart)
        refill(m_powerTrendChart.data(), s.hourLabels, QVector<LineSeries>{actual, expected});

    if (m_inverterOutputChart) {
        // Exactly the inverters of the visible cards, in card order. The indexes come from the same snapshot
        // whose rows are read.
        const QVector<int> indexes = filteredInverterIndexes(s);
        QStringList names;
        QVector<double> power;
        for (int k = 0; k < 5; ++k) {
            const int at = 5 * m_cardPage + k;
            if (at >= indexes.size())
                break;
            const InverterRow& row = s.inverters[indexes[at]];
            names << row.name;
            power << row.activePower;
        }
        refill(m_inverterOutputChart.data(), names, QVector<BarSeries>{barSeries("solar.chart.activePower", power)});
    }

    if (m_weatherTrendChart) {
        QVector<double> irradiance;
        irradiance.reserve(s.irradianceHistory.size());
        for (double v : s.irradianceHistory)
            irradiance << v / 10.0;
        LineSeries sun = lineSeries("solar.chart.irradiance", irradiance, QColor(230, 164, 66, 255), true, 2.0);
        sun.areaColor = QColor(244, 211, 144, 255);
        sun.areaOpacity = 0.18;
        QVector<double> wind;
        wind.reserve(s.hourLabels.size());
        for (int i = 0; i < s.hourLabels.size(); ++i)
            wind << 3.2 + 1.4 * std::sin(0.52 * i + 0.6);
        const LineSeries temperature = lineSeries("solar.chart.ambientTemperature", s.temperatureHistory,
                                                  QColor(223, 90, 90, 255), false, 2.0);
        const LineSeries windSpeed = lineSeries("solar.chart.windSpeed", wind, QColor(91, 156, 190, 255), false, 2.0);
        refill(m_weatherTrendChart.data(), s.hourLabels, QVector<LineSeries>{sun, temperature, windSpeed});
    }

    if (m_meterTrendChart) {
        LineSeries exported = actual;
        exported.name = text("solar.chart.gridExport");
        exported.areaOpacity = 0.18;
        LineSeries gross = expected;
        gross.name = text("solar.chart.grossGeneration");
        refill(m_meterTrendChart.data(), s.hourLabels, QVector<LineSeries>{exported, gross});
    }

    if (m_performanceTrendChart) {
        QVector<double> ratio;
        ratio.reserve(s.availabilityHistory.size());
        for (int i = 0; i < s.availabilityHistory.size(); ++i)
            ratio << s.performanceRatio + 1.4 * std::sin(0.38 * i);
        const LineSeries availability = lineSeries("solar.chart.availability", s.availabilityHistory,
                                                   QColor(112, 157, 126, 255), false, 2.0);
        const LineSeries performance = lineSeries("solar.chart.performanceRatio", ratio, QColor(230, 164, 66, 255),
                                                  false, 2.0);
        refill(m_performanceTrendChart.data(), s.hourLabels, QVector<LineSeries>{availability, performance});
    }

    if (m_analysisPowerChart) {
        refill(m_analysisPowerChart.data(), s.hourLabels, QVector<LineSeries>{actual, expected});
    }

    if (m_analysisEnergyChart) {
        static const double week[7] = {0.91, 0.95, 0.87, 1.03, 0.98, 1.06, 1.0};
        QVector<double> energy;
        energy.reserve(7);
        for (double f : week)
            energy << s.dailyEnergy * f;
        const QStringList days = {text("solar.week.mon"), text("solar.week.tue"), text("solar.week.wed"),
                                  text("solar.week.thu"), text("solar.week.fri"), text("solar.week.sat"),
                                  text("solar.week.sun")};
        refill(m_analysisEnergyChart.data(), days, QVector<BarSeries>{barSeries("solar.chart.energy", energy)});
    }
}
