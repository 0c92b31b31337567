#pragma once
// The dashboard's only top-level window: a frameless framework window that owns the plant simulator, keeps
// the last snapshot and builds its whole widget tree in code (header band, sidebar with navigation and the
// floating alarm panel, content column with the metric strip and one page per section, the trend drawer).
// Per-tick texts, the language pass and the layout pass reach widgets only through the lists and the hash
// that the builders fill.
#include "PlantSnapshot.h"
#include "SolarPlantDiagramWidget.h"
#include "SolarPlantSimulator.h"
#include "TEVQBarChart.h"
#include "TEVQLabel.h"
#include "TEVQLineChart.h"
#include "TEVQChartTypes.h"
#include "TEVQWindow.h"

#include <QHash>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QVector>

class InverterCard;
class QButtonGroup;
class TEVQComboBox;
class TEVQRadioButton;
class TEVQContainer;
class TEVQImage;
class TEVQProgressBar;
class TEVQPushButton;
class SolarToggleSwitch;

// The one chart theme of the dashboard: light green-grey surfaces, a four-colour palette.
ChartTheme solarChartTheme();

class PhotovoltaicPlantWindow : public TEVQtLib::TEVQWindow
{
    Q_OBJECT

public:
    // The eleven sections in navigation order; their index is the section number everywhere.
    static constexpr int SectionCount = 11;

    struct NavEntry {
        QString key;
        TEVQContainer* row = nullptr;
        TEVQImage* icon = nullptr;
        TEVQLabel* label = nullptr;
        bool active = false;
    };
    struct AlarmRow {
        QString key;
        int index = 0; // the alarm filter value of the row
        TEVQContainer* row = nullptr;
        TEVQLabel* label = nullptr;
        TEVQLabel* countLabel = nullptr;
    };
    struct MetricTile {
        TEVQLabel* caption = nullptr;
        TEVQLabel* value = nullptr;
        TEVQLabel* unit = nullptr;
        TEVQLabel* note = nullptr;
        TEVQProgressBar* progress = nullptr; // null for a tile without a bar
    };

    explicit PhotovoltaicPlantWindow(QWidget* parent = nullptr);
    ~PhotovoltaicPlantWindow() override;

    // Read access for tests and benchmarks.
    SolarPlantSimulator* simulator() const { return m_simulator; }
    const PlantSnapshot& currentSnapshot() const { return m_snapshot; }
    int currentSection() const { return m_currentSection; }
    int alarmFilter() const { return m_alarmFilter; }
    int cardPage() const { return m_cardPage; }
    bool isTrendDrawerExpanded() const { return m_drawerExpanded; }
    const QVector<NavEntry>& navEntries() const { return m_navEntries; }
    const QVector<AlarmRow>& alarmRows() const { return m_alarmRows; }
    const QVector<MetricTile>& metricTiles() const { return m_metricTiles; }
    const QVector<QPair<QPointer<TEVQLabel>, QString>>& translatedLabels() const { return m_translatedLabels; }
    const QVector<TEVQContainer*>& pages() const { return m_pages; }
    SolarToggleSwitch* commandSwitch() const { return m_commandSwitch; }
    const QVector<InverterCard*>& inverterCards() const { return m_inverterCards; }
    TEVQLineChart* powerTrendChart() const { return m_powerTrendChart; }
    TEVQBarChart* inverterOutputChart() const { return m_inverterOutputChart; }
    TEVQLineChart* weatherTrendChart() const { return m_weatherTrendChart; }
    TEVQLineChart* meterTrendChart() const { return m_meterTrendChart; }
    TEVQLineChart* performanceTrendChart() const { return m_performanceTrendChart; }
    TEVQLineChart* analysisPowerChart() const { return m_analysisPowerChart; }
    TEVQBarChart* analysisEnergyChart() const { return m_analysisEnergyChart; }
    TEVQContainer* trendDrawer() const { return m_trendDrawer; }
    TEVQContainer* trendDrawerBody() const { return m_trendDrawerBody; }
    TEVQPushButton* trendDrawerButton() const { return m_trendDrawerButton; }
    // Sets the text of the value label registered under the name; an unknown name does nothing.
    void setPageLabelText(const QString& objectName, const QString& text);

public slots:
    void setTrendDrawerExpanded(bool expanded);
    void setCurrentSection(int section);
    void refreshSnapshot(const PlantSnapshot& snapshot);
    void refreshCharts(const PlantSnapshot& snapshot);
    void showPreviousPage();
    void showNextPage();
    void setAlarmFilter(int filter);
    void toggleMaximized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class PhotovoltaicPlantWindowTest;

    // Builders.
    void buildUi();
    void buildHeader();
    void buildSidebar();
    void buildPages();
    void buildMetricStrip(TEVQContainer* parent);
    TEVQContainer* addMetricTile(TEVQContainer* tileCard, MetricTile& tile, bool withProgress, int progressValue);
    TEVQContainer* createPage(const QString& objectName);
    void buildTrendDrawer();
    void buildInverterPage();
    void buildOverviewPage();
    void buildSingleLinePage();
    void buildNetworkPage();
    void buildDiagramPage(const QString& pageName, const QString& titleKey, int diagramRatio, const QString& cardKey,
                          int mode, const QString& diagramName);
    void buildWeatherPage();
    void buildMeterPage();
    void buildPerformancePage();
    void buildTilePage(const QString& pageName, const QString& titleKey, const char* const (*tiles)[2], int tileCount,
                       int rowHeight, int padX, int padY, int valueHeight, const QString& chartKey,
                       const QString& chartName, QPointer<TEVQLineChart>& chart);
    void buildTrackerPage();
    void buildControllerPage();
    void buildChartsPage();
    void buildHistoryPage();
    void addStatCard(TEVQContainer* column, const QString& captionKey, const QString& objectName,
                     const QString& noteKey);
    void addValueCard(TEVQContainer* column, const QString& captionKey, const QString& objectName);
    TEVQLabel* addValueLabel(TEVQContainer* parent, const QString& theme, int ratio, int height,
                             const QString& objectName);
    TEVQLineChart* addLineChart(TEVQContainer* parent, const QString& objectName, int ratio, int minimumHeight,
                                bool zoom);
    TEVQBarChart* addBarChart(TEVQContainer* parent, const QString& objectName, int ratio, int minimumHeight,
                              int tooltipTrigger);
    void buildCommandColumn(TEVQContainer* workspace);
    void buildInverterArea(TEVQContainer* workspace);
    void addSmallStat(TEVQContainer* parent, TEVQLabel*& captionOut, TEVQLabel*& valueOut);
    TEVQLabel* addTextLabel(TEVQContainer* parent, const QString& theme, int ratio, int height, const QString& key,
                            const QString& objectName);
    // Sets an alignment of the builders' own; every snapshot sets it again, since a theme change gives each
    // label the alignment of its text style.
    TEVQLabel* alignLabel(TEVQLabel* label, Qt::Alignment alignment);

    // Layout pass and view state.
    void updateLayout();
    void positionDrawerButton();
    void animateDrawer();
    void updateAlarmRows();
    void updateNavigation();
    void updatePageVisibility();

    // Presentation.
    void updatePageValues();
    void updateSiteButtons();
    void refreshInverterCards();
    void updatePager(int pages);
    QVector<int> filteredInverterIndexes(const PlantSnapshot& snapshot) const;
    void retranslate();

    // Held weakly and skipped once gone, should another owner delete them: the simulator, the charts, the value
    // and key labels, the diagrams.
    QPointer<SolarPlantSimulator> m_simulator;
    PlantSnapshot m_snapshot;
    int m_cardPage = 0;
    int m_currentSection = 2;
    int m_alarmFilter = -1;
    bool m_drawerExpanded = false;
    bool m_drawerAnimationPending = false;

    // Frame.
    TEVQContainer* m_root = nullptr;
    TEVQContainer* m_header = nullptr;
    TEVQContainer* m_sidebar = nullptr;
    TEVQContainer* m_content = nullptr;
    TEVQContainer* m_pageHost = nullptr;
    TEVQContainer* m_inverterCardRow = nullptr;
    TEVQContainer* m_alarmPanel = nullptr;
    TEVQContainer* m_trendDrawer = nullptr;
    TEVQContainer* m_trendDrawerBody = nullptr;
    TEVQPushButton* m_trendDrawerButton = nullptr;

    // Header.
    TEVQLabel* m_brandTitle = nullptr;
    TEVQLabel* m_brandSubtitle = nullptr;
    TEVQPushButton* m_siteButton5 = nullptr;
    TEVQPushButton* m_siteButton6 = nullptr;
    TEVQLabel* m_locationLabel = nullptr;
    TEVQLabel* m_dateLabel = nullptr;
    TEVQLabel* m_moduleTemperatureLabel = nullptr;
    TEVQLabel* m_irradianceLabel = nullptr;
    TEVQLabel* m_userLabel = nullptr;
    TEVQPushButton* m_englishButton = nullptr;
    TEVQPushButton* m_chineseButton = nullptr;
    TEVQPushButton* m_maximizeButton = nullptr;

    // Metric strip.
    TEVQLabel* m_capacityCaption = nullptr;
    TEVQLabel* m_capacityValue = nullptr;
    TEVQLabel* m_capacityUnit = nullptr;
    QVector<MetricTile> m_metricTiles;

    // Inverter page and command card: built with the inverter page; null until then.
    TEVQPushButton* m_previousPageButton = nullptr;
    TEVQPushButton* m_nextPageButton = nullptr;
    SolarToggleSwitch* m_commandSwitch = nullptr;
    TEVQComboBox* m_skidCombo = nullptr;
    QButtonGroup* m_groupButtons = nullptr;
    QVector<TEVQRadioButton*> m_groupRadios;
    TEVQLabel* m_inverterPageTitle = nullptr;
    TEVQLabel* m_commandTitle = nullptr;
    TEVQLabel* m_commandState = nullptr;
    TEVQLabel* m_commandSelection = nullptr;
    TEVQLabel* m_activePowerCaption = nullptr;
    TEVQLabel* m_activePowerValue = nullptr;
    TEVQLabel* m_reactivePowerCaption = nullptr;
    TEVQLabel* m_reactivePowerValue = nullptr;
    TEVQLabel* m_cardSummary = nullptr;

    // Trend drawer texts.
    TEVQLabel* m_drawerTitle = nullptr;
    TEVQLabel* m_drawerSubtitle = nullptr;
    TEVQLabel* m_drawerPowerCaption = nullptr;
    TEVQLabel* m_drawerInverterCaption = nullptr;

    // The seven charts; built with the pages and the drawer, null until then.
    QPointer<TEVQLineChart> m_powerTrendChart;
    QPointer<TEVQBarChart> m_inverterOutputChart;
    QPointer<TEVQLineChart> m_weatherTrendChart;
    QPointer<TEVQLineChart> m_meterTrendChart;
    QPointer<TEVQLineChart> m_performanceTrendChart;
    QPointer<TEVQLineChart> m_analysisPowerChart;
    QPointer<TEVQBarChart> m_analysisEnergyChart;

    QVector<InverterCard*> m_inverterCards;
    QVector<TEVQContainer*> m_pageDots;
    QVector<QPointer<SolarPlantDiagramWidget>> m_diagrams;
    QVector<NavEntry> m_navEntries;
    QVector<TEVQPushButton*> m_navHitTargets;
    QVector<AlarmRow> m_alarmRows;
    QVector<QPair<QPointer<TEVQLabel>, QString>> m_translatedLabels;
    QVector<TEVQContainer*> m_pages;
    QHash<QString, QPointer<TEVQLabel>> m_pageLabels;
    QVector<QPair<QPointer<TEVQLabel>, Qt::Alignment>> m_alignedLabels;
};
