// The section pages other than the inverter page: the three diagram pages, the weather, meter and
// performance pages with their trend charts, the tracker and controller pages, the charts page and the event
// history. Value labels are registered by object name for the refresh; captions are key labels for the
// language pass.
#include "PhotovoltaicPlantWindow.h"

#include "DashboardBlocks.h"
#include "SolarPlantDiagramWidget.h"
#include "SolarPlantSimulator.h"
#include "TEVQBarChart.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQLineChart.h"
#include "TEVQProgressBar.h"
#include "TEVQPushButton.h"
#include "TEVQtLib.h"

using namespace quenlark;

namespace {

const QString kClear = QStringLiteral("SolarClear");
const QString kCard = QStringLiteral("SolarCard");

QString key(const char* k)
{
    return QString::fromLatin1(k);
}

TEVQProgressBar* addBar(TEVQContainer* parent, int value, int height)
{
    auto* bar = new TEVQProgressBar(parent);
    bar->setThemeName(QStringLiteral("SolarProgressOk"));
    bar->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
    bar->setRange(0, 100);
    bar->setValue(value);
    bar->setShowText(false);
    fixHeight(bar, height);
    parent->addChildWidget(bar, 0);
    return bar;
}

} // namespace

void PhotovoltaicPlantWindow::setPageLabelText(const QString& objectName, const QString& text)
{
    const auto it = m_pageLabels.constFind(objectName);
    if (it != m_pageLabels.constEnd() && it.value())
        setFittedText(it.value(), text);
}

TEVQLabel* PhotovoltaicPlantWindow::addValueLabel(TEVQContainer* parent, const QString& theme, int ratio, int height,
                                                  const QString& objectName)
{
    TEVQLabel* label = addLabel(parent, theme, ratio, height);
    label->setObjectName(objectName);
    fitTextToWidth(label);
    m_pageLabels.insert(objectName, label);
    return label;
}

void PhotovoltaicPlantWindow::addStatCard(TEVQContainer* column, const QString& captionKey, const QString& objectName,
                                          const QString& noteKey)
{
    TEVQContainer* card = addContainer(column, kCard, 1, 1, 2, 12, 9, 12, 9);
    addTextLabel(card, QStringLiteral("SolarLabelXs"), 0, 20, captionKey, QString());
    addValueLabel(card, QStringLiteral("SolarLabelMetric"), 1, 34, objectName);
    addTextLabel(card, QStringLiteral("SolarLabelMuted"), 0, 22, noteKey, QString());
}

void PhotovoltaicPlantWindow::addValueCard(TEVQContainer* column, const QString& captionKey, const QString& objectName)
{
    TEVQContainer* card = addContainer(column, kCard, 1, 1, 2, 10, 8, 10, 8);
    addTextLabel(card, QStringLiteral("SolarLabelXs"), 0, 20, captionKey, QString());
    addValueLabel(card, QStringLiteral("SolarLabelMetric"), 1, 30, objectName);
}

// ---- diagram pages ----

void PhotovoltaicPlantWindow::buildDiagramPage(const QString& pageName, const QString& titleKey, int diagramRatio,
                                               const QString& cardKey, int mode, const QString& diagramName)
{
    TEVQContainer* page = createPage(pageName);
    addTextLabel(page, QStringLiteral("SolarLabelTitle"), 0, 34, titleKey, QString());
    TEVQContainer* row = addContainer(page, kClear, 0, 1, 8, 0, 0, 0, 0);

    TEVQContainer* card = addContainer(row, kCard, 1, diagramRatio, 4, 8, 8, 8, 8);
    addTextLabel(card, QStringLiteral("SolarLabelSmBold"), 0, 28, cardKey, QString());
    auto* diagram = new SolarPlantDiagramWidget(mode, card);
    diagram->setObjectName(diagramName);
    card->addChildWidget(diagram, 1);

    TEVQContainer* side = addContainer(row, kClear, 1, 1, 8, 0, 0, 0, 0);
    side->setObjectName(pageName + QStringLiteral("Side"));
}

void PhotovoltaicPlantWindow::buildOverviewPage()
{
    buildDiagramPage(QStringLiteral("overviewPage"), key("solar.overview.title"), 3, key("solar.overview.arrayHealth"),
                     0, QStringLiteral("overviewDiagram"));
    auto* side = m_pages.last()->findChild<TEVQContainer*>(QStringLiteral("overviewPageSide"));
    addStatCard(side, key("solar.overview.plantHealth"), QStringLiteral("overviewHealth"),
                key("solar.overview.plantHealthNote"));
    addStatCard(side, key("solar.overview.activeAlarms"), QStringLiteral("overviewAlarms"),
                key("solar.overview.activeAlarmsNote"));
    addStatCard(side, key("solar.overview.weatherWindow"), QStringLiteral("overviewWeather"),
                key("solar.overview.weatherWindowNote"));
}

void PhotovoltaicPlantWindow::buildSingleLinePage()
{
    buildDiagramPage(QStringLiteral("singleLinePage"), key("solar.single.title"), 4, key("solar.single.livePath"), 1,
                     QStringLiteral("singleLineDiagram"));
    auto* side = m_pages.last()->findChild<TEVQContainer*>(QStringLiteral("singleLinePageSide"));
    addValueCard(side, key("solar.single.gridVoltage"), QStringLiteral("singleVoltage"));
    addValueCard(side, key("solar.single.gridFrequency"), QStringLiteral("singleFrequency"));
    addValueCard(side, key("solar.single.powerFactor"), QStringLiteral("singlePowerFactor"));
    addValueCard(side, key("solar.single.mainBreaker"), QStringLiteral("singleBreaker"));
}

void PhotovoltaicPlantWindow::buildNetworkPage()
{
    buildDiagramPage(QStringLiteral("networkPage"), key("solar.network.title"), 4, key("solar.network.ot"), 2,
                     QStringLiteral("networkDiagram"));
    auto* side = m_pages.last()->findChild<TEVQContainer*>(QStringLiteral("networkPageSide"));
    addValueCard(side, key("solar.network.onlineNodes"), QStringLiteral("networkNodes"));
    addValueCard(side, key("solar.network.latency"), QStringLiteral("networkLatency"));
    addValueCard(side, key("solar.network.load"), QStringLiteral("networkTraffic"));
    addValueCard(side, key("solar.network.security"), QStringLiteral("networkSecurity"));
}

// ---- tile and chart pages ----

void PhotovoltaicPlantWindow::buildTilePage(const QString& pageName, const QString& titleKey,
                                            const char* const (*tiles)[2], int tileCount, int rowHeight, int padX,
                                            int padY, int valueHeight, const QString& chartKey,
                                            const QString& chartName, QPointer<TEVQLineChart>& chart)
{
    TEVQContainer* page = createPage(pageName);
    addTextLabel(page, QStringLiteral("SolarLabelTitle"), 0, 34, titleKey, QString());
    TEVQContainer* row = addContainer(page, kClear, 0, 0, 8, 0, 0, 0, 0);
    fixHeight(row, rowHeight);
    for (int i = 0; i < tileCount; ++i) {
        TEVQContainer* card = addContainer(row, kCard, 1, 1, 2, padX, padY, padX, padY);
        addTextLabel(card, QStringLiteral("SolarLabelXs"), 0, 20, key(tiles[i][1]), QString());
        addValueLabel(card, QStringLiteral("SolarLabelMetric"), 1, valueHeight, key(tiles[i][0]));
    }
    TEVQContainer* card = addContainer(page, kCard, 1, 1, 4, 10, 8, 10, 8);
    addTextLabel(card, QStringLiteral("SolarLabelSmBold"), 0, 26, chartKey, QString());
    chart = addLineChart(card, chartName, 1, 0, false);
}

void PhotovoltaicPlantWindow::buildWeatherPage()
{
    static const char* const tiles[5][2] = {{"weatherIrradiance", "solar.weather.irradiance"},
                                            {"weatherModuleTemp", "solar.weather.moduleTemperature"},
                                            {"weatherAmbientTemp", "solar.weather.ambientTemperature"},
                                            {"weatherWind", "solar.weather.windSpeed"},
                                            {"weatherHumidity", "solar.weather.humidity"}};
    buildTilePage(QStringLiteral("weatherPage"), key("solar.weather.title"), tiles, 5, 86, 9, 7, 32,
                  key("solar.weather.profile"), QStringLiteral("weatherTrendChart"), m_weatherTrendChart);
}

void PhotovoltaicPlantWindow::buildPerformancePage()
{
    static const char* const tiles[4][2] = {{"performancePr", "solar.performance.ratio"},
                                            {"performanceAvailability", "solar.performance.availability"},
                                            {"performanceCurtailment", "solar.performance.curtailment"},
                                            {"performanceCo2", "solar.performance.co2"}};
    buildTilePage(QStringLiteral("performancePage"), key("solar.performance.title"), tiles, 4, 82, 10, 7, 30,
                  key("solar.performance.profile"), QStringLiteral("performanceTrendChart"),
                  m_performanceTrendChart);
}

void PhotovoltaicPlantWindow::buildMeterPage()
{
    TEVQContainer* page = createPage(QStringLiteral("meterPage"));
    addTextLabel(page, QStringLiteral("SolarLabelTitle"), 0, 34, key("solar.meter.title"), QString());
    TEVQContainer* row = addContainer(page, kClear, 0, 1, 8, 0, 0, 0, 0);
    TEVQContainer* column = addContainer(row, kClear, 1, 2, 7, 0, 0, 0, 0);
    static const char* const meters[4] = {"solar.meter.pcc", "solar.meter.transformerA", "solar.meter.transformerB",
                                          "solar.meter.auxiliary"};
    for (int i = 0; i < 4; ++i) {
        TEVQContainer* card = addContainer(column, kCard, 0, 1, 8, 12, 8, 12, 8);
        TEVQContainer* texts = addContainer(card, kClear, 1, 2, 1, 0, 0, 0, 0);
        addTextLabel(texts, QStringLiteral("SolarLabelSmBold"), 1, 24, key(meters[i]), QString());
        addTextLabel(texts, QStringLiteral("SolarLabelMuted"), 1, 20, key("solar.meter.online"), QString());
        TEVQLabel* value =
            addValueLabel(card, QStringLiteral("SolarLabelMetric"), 1, 44, QStringLiteral("meterValue%1").arg(i));
        alignLabel(value, Qt::AlignRight | Qt::AlignVCenter);
    }
    TEVQContainer* card = addContainer(row, kCard, 1, 3, 4, 10, 8, 10, 8);
    addTextLabel(card, QStringLiteral("SolarLabelSmBold"), 0, 26, key("solar.meter.today"), QString());
    m_meterTrendChart = addLineChart(card, QStringLiteral("meterTrendChart"), 1, 0, false);
}

// ---- tracker and controller pages ----

void PhotovoltaicPlantWindow::buildTrackerPage()
{
    TEVQContainer* page = createPage(QStringLiteral("trackerPage"));
    addTextLabel(page, QStringLiteral("SolarLabelTitle"), 0, 34, key("solar.tracker.title"), QString());
    TEVQContainer* row = addContainer(page, kClear, 0, 1, 8, 0, 0, 0, 0);

    TEVQContainer* command = addContainer(row, kCard, 1, 0, 5, 12, 10, 12, 10);
    fixWidth(command, 220);
    addTextLabel(command, QStringLiteral("SolarLabelSmBold"), 0, 28, key("solar.tracker.command"), QString());
    addTextLabel(command, QStringLiteral("SolarLabelMuted"), 0, 36, key("solar.tracker.autoActive"), QString());
    addValueLabel(command, QStringLiteral("SolarLabelMetric"), 0, 42, QStringLiteral("trackerTarget"));
    addBar(command, 72, 8)->setObjectName(QStringLiteral("trackerProgress"));
    addContainer(command, kClear, 1, 1, 0, 0, 0, 0, 0);
    addTextLabel(command, QStringLiteral("SolarLabelMuted"), 0, 56, key("solar.tracker.summary"), QString())
        ->setWordWrap(true);

    TEVQContainer* grid = addContainer(row, kClear, 1, 1, 8, 0, 0, 0, 0);
    grid->setObjectName(QStringLiteral("trackerGrid"));
    for (int r = 0; r < 3; ++r) {
        TEVQContainer* gridRow = addContainer(grid, kClear, 0, 1, 8, 0, 0, 0, 0);
        for (int c = 0; c < 4; ++c) {
            const int i = 4 * r + c;
            TEVQContainer* card = addContainer(gridRow, kCard, 1, 1, 2, 9, 7, 9, 7);
            m_trackerNames.append(addTextLabel(card, QStringLiteral("SolarLabelSmBold"), 0, 22,
                                               key("solar.tracker.name"), QStringLiteral("trackerName%1").arg(i)));
            alignLabel(addValueLabel(card, QStringLiteral("SolarLabelMetric"), 1, 32,
                                     QStringLiteral("trackerValue%1").arg(i)),
                       Qt::AlignCenter);
            const bool maintenance = i == 7;
            alignLabel(addTextLabel(card, maintenance ? QStringLiteral("SolarLabelWarn") : QStringLiteral("SolarLabelOk"),
                                    0, 20, maintenance ? key("solar.tracker.maintenance") : key("solar.tracker.tracking"),
                                    QString()),
                       Qt::AlignCenter);
        }
    }
}

void PhotovoltaicPlantWindow::buildControllerPage()
{
    TEVQContainer* page = createPage(QStringLiteral("controllerPage"));
    addTextLabel(page, QStringLiteral("SolarLabelTitle"), 0, 34, key("solar.controller.title"), QString());
    TEVQContainer* row = addContainer(page, kClear, 0, 1, 8, 0, 0, 0, 0);

    TEVQContainer* dispatch = addContainer(row, kCard, 1, 2, 7, 14, 12, 14, 12);
    addTextLabel(dispatch, QStringLiteral("SolarLabelSmBold"), 0, 28, key("solar.controller.commands"), QString());
    addTextLabel(dispatch, QStringLiteral("SolarLabelMuted"), 0, 40, key("solar.controller.description"), QString());
    TEVQPushButton* start = addButton(dispatch, QStringLiteral("SolarSiteButtonActive"),
                                      TEVQtLib::tevText(key("solar.command.enable"), QString()), 0, 40,
                                      iconPath(QStringLiteral("check")));
    start->setObjectName(QStringLiteral("controllerStartButton"));
    TEVQPushButton* stop = addButton(dispatch, QStringLiteral("SolarSiteButton"),
                                     TEVQtLib::tevText(key("solar.command.limit"), QString()), 0, 40,
                                     iconPath(QStringLiteral("x-circle")));
    stop->setObjectName(QStringLiteral("controllerStopButton"));
    addContainer(dispatch, kClear, 1, 1, 0, 0, 0, 0, 0);
    addTextLabel(dispatch, QStringLiteral("SolarLabelMuted"), 0, 42, key("solar.controller.lastCommand"), QString());
    // The two commands span the card's width: icon and text side by side, nothing cut off.
    start->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
    stop->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
    connect(start, &QAbstractButton::clicked, m_simulator, [this]() { m_simulator->setCommandEnabled(true); });
    connect(stop, &QAbstractButton::clicked, m_simulator, [this]() { m_simulator->setCommandEnabled(false); });

    TEVQContainer* column = addContainer(row, kClear, 1, 3, 8, 0, 0, 0, 0);
    static const char* const setpoints[4][2] = {{"controllerActive", "solar.controller.activeSetpoint"},
                                                {"controllerReactive", "solar.controller.reactivePower"},
                                                {"controllerFactor", "solar.controller.powerFactor"},
                                                {"controllerRamp", "solar.controller.rampRate"}};
    for (const auto& sp : setpoints) {
        TEVQContainer* card = addContainer(column, kCard, 1, 1, 3, 12, 8, 12, 8);
        TEVQContainer* head = addContainer(card, kClear, 0, 0, 8, 0, 0, 0, 0);
        fixHeight(head, 30);
        addTextLabel(head, QStringLiteral("SolarLabelSmBold"), 1, 30, key(sp[1]), QString());
        TEVQLabel* value = addValueLabel(head, QStringLiteral("SolarLabelMetric"), 0, 30, key(sp[0]));
        fixWidth(value, 120);
        alignLabel(value, Qt::AlignRight | Qt::AlignVCenter);
        addBar(card, key(sp[0]) == QLatin1String("controllerFactor") ? 98 : 74, 7);
    }
}

// ---- charts and history pages ----

void PhotovoltaicPlantWindow::buildChartsPage()
{
    TEVQContainer* page = createPage(QStringLiteral("chartsPage"));
    addTextLabel(page, QStringLiteral("SolarLabelTitle"), 0, 34, key("solar.charts.title"), QString());
    TEVQContainer* row = addContainer(page, kClear, 0, 1, 8, 0, 0, 0, 0);
    TEVQContainer* generation = addContainer(row, kCard, 1, 3, 4, 10, 8, 10, 8);
    addTextLabel(generation, QStringLiteral("SolarLabelSmBold"), 0, 26, key("solar.charts.generation"), QString());
    m_analysisPowerChart = addLineChart(generation, QStringLiteral("analysisPowerChart"), 1, 0, true);
    TEVQContainer* energy = addContainer(row, kCard, 1, 2, 4, 10, 8, 10, 8);
    addTextLabel(energy, QStringLiteral("SolarLabelSmBold"), 0, 26, key("solar.charts.energyYield"), QString());
    m_analysisEnergyChart = addBarChart(energy, QStringLiteral("analysisEnergyChart"), 1, 0, 2);
}

void PhotovoltaicPlantWindow::buildHistoryPage()
{
    TEVQContainer* page = createPage(QStringLiteral("historyPage"));
    TEVQContainer* bar = addContainer(page, kClear, 0, 0, 8, 0, 0, 0, 0);
    fixHeight(bar, 34);
    addTextLabel(bar, QStringLiteral("SolarLabelTitle"), 1, 34, key("solar.history.title"), QString());
    addTextLabel(bar, QStringLiteral("SolarLabelMuted"), 0, 34, key("solar.history.period"), QString());

    TEVQContainer* table = addContainer(page, kCard, 1, 1, 0, 8, 8, 8, 8);
    table->setObjectName(QStringLiteral("historyTable"));
    static const int ratios[5] = {2, 2, 5, 2, 2};
    static const char* const headers[5] = {"solar.history.column.time", "solar.history.column.source",
                                           "solar.history.column.event", "solar.history.column.severity",
                                           "solar.history.column.status"};
    TEVQContainer* header = addContainer(table, QStringLiteral("SolarNavHover"), 0, 0, 8, 10, 0, 10, 0);
    fixHeight(header, 34);
    for (int c = 0; c < 5; ++c)
        addTextLabel(header, QStringLiteral("SolarLabelSmBold"), ratios[c], 34, key(headers[c]), QString());

    static const char* const times[7] = {"10:42:18", "10:31:06", "10:18:44", "09:56:27",
                                         "09:22:03", "08:47:52", "08:15:19"};
    static const char* const cells[7][4] = {
        {"solar.history.row1.source", "solar.history.row1.event", "solar.history.row1.severity",
         "solar.history.row1.status"},
        {"solar.history.row2.source", "solar.history.row2.event", "solar.history.row2.severity",
         "solar.history.row2.status"},
        {"solar.history.row3.source", "solar.history.row3.event", "solar.history.row3.severity",
         "solar.history.row3.status"},
        {"solar.history.row4.source", "solar.history.row4.event", "solar.history.row4.severity",
         "solar.history.row4.status"},
        {"solar.history.row5.source", "solar.history.row5.event", "solar.history.row5.severity",
         "solar.history.row5.status"},
        {"solar.history.row6.source", "solar.history.row6.event", "solar.history.row6.severity",
         "solar.history.row6.status"},
        {"solar.history.row7.source", "solar.history.row7.event", "solar.history.row7.severity",
         "solar.history.row7.status"}};
    for (int r = 0; r < 7; ++r) {
        TEVQContainer* row = addContainer(table, kClear, 0, 1, 8, 10, 0, 10, 0);
        addLabel(row, QStringLiteral("SolarLabelSm"), ratios[0], 34)->setText(QString::fromLatin1(times[r]));
        const QString severity = r == 0                ? QStringLiteral("SolarLabelFault")
                                 : (r == 3 || r == 6) ? QStringLiteral("SolarLabelWarn")
                                                       : QStringLiteral("SolarLabelOk");
        for (int c = 1; c < 5; ++c)
            addTextLabel(row, c == 3 ? severity : QStringLiteral("SolarLabelSm"), ratios[c], 34,
                         key(cells[r][c - 1]), QString());
    }
}
