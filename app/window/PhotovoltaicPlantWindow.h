#pragma once
// The dashboard's only top-level window: a frameless framework window that owns the plant simulator, keeps
// the last snapshot and builds its whole widget tree in code (header band, sidebar with navigation and the
// floating alarm panel, content column with the metric strip and one page per section, the trend drawer).
// Per-tick texts, the language pass and the layout pass reach widgets only through the lists and the hash
// that the builders fill.
#include "PlantSnapshot.h"
#include "SolarPlantDiagramWidget.h"
#include "SolarPlantSimulator.h"
#include "SolarToggleSwitch.h"
#include "TEVQBarChart.h"
#include "TEVQLabel.h"
#include "TEVQLineChart.h"
#include "TEVQPushButton.h"
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
        QPointer<TEVQContainer> row;
        QPointer<TEVQImage> icon;
        QPointer<TEVQLabel> label;
        bool active = false;
    };
    struct AlarmRow {
        QString key;
        int index = 0; // the alarm filter value of the row
        QPointer<TEVQContainer> row;
        QPointer<TEVQLabel> label;
        QPointer<TEVQLabel> countLabel;
    };
    struct MetricTile {
        QPointer<TEVQLabel> caption;
        QPointer<TEVQLabel> value;
        QPointer<TEVQLabel> unit;
        QPointer<TEVQLabel> note;
        QPointer<TEVQProgressBar> progress; // null for a tile without a bar
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
    const QVector<QPointer<TEVQContainer>>& pages() const { return m_pages; }
    SolarToggleSwitch* commandSwitch() const { return m_commandSwitch; }
    const QVector<QPointer<InverterCard>>& inverterCards() const { return m_inverterCards; }
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
    void addSmallStat(TEVQContainer* parent, QPointer<TEVQLabel>& captionOut, QPointer<TEVQLabel>& valueOut);
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

    // Everything the window keeps after building is held weakly and skipped once gone, should another owner
    // delete it: the simulator and every widget, alone or with a parent.
    QPointer<SolarPlantSimulator> m_simulator;
    PlantSnapshot m_snapshot;
    int m_cardPage = 0;
    int m_currentSection = 2;
    int m_alarmFilter = -1;
    bool m_drawerExpanded = false;
    bool m_drawerAnimationPending = false;

    // Frame.
    QPointer<TEVQContainer> m_root;
    QPointer<TEVQContainer> m_header;
    QPointer<TEVQContainer> m_sidebar;
    QPointer<TEVQContainer> m_content;
    QPointer<TEVQContainer> m_pageHost;
    QPointer<TEVQContainer> m_inverterCardRow;
    QPointer<TEVQContainer> m_alarmPanel;
    QPointer<TEVQContainer> m_trendDrawer;
    QPointer<TEVQContainer> m_trendDrawerBody;
    QPointer<TEVQPushButton> m_trendDrawerButton;

    // Header.
    QPointer<TEVQLabel> m_brandTitle;
    QPointer<TEVQLabel> m_brandSubtitle;
    QPointer<TEVQPushButton> m_siteButton5;
    QPointer<TEVQPushButton> m_siteButton6;
    QPointer<TEVQLabel> m_locationLabel;
    QPointer<TEVQLabel> m_dateLabel;
    QPointer<TEVQLabel> m_moduleTemperatureLabel;
    QPointer<TEVQLabel> m_irradianceLabel;
    QPointer<TEVQLabel> m_userLabel;
    QPointer<TEVQPushButton> m_englishButton;
    QPointer<TEVQPushButton> m_chineseButton;
    QPointer<TEVQPushButton> m_maximizeButton;

    // Metric strip.
    QPointer<TEVQLabel> m_capacityCaption;
    QPointer<TEVQLabel> m_capacityValue;
    QPointer<TEVQLabel> m_capacityUnit;
    QVector<MetricTile> m_metricTiles;

    // Inverter page and command card: built with the inverter page; null until then.
    QPointer<TEVQPushButton> m_previousPageButton;
    QPointer<TEVQPushButton> m_nextPageButton;
    QPointer<SolarToggleSwitch> m_commandSwitch;
    QPointer<TEVQComboBox> m_skidCombo;
    QPointer<QButtonGroup> m_groupButtons;
    QVector<QPointer<TEVQRadioButton>> m_groupRadios;
    QPointer<TEVQLabel> m_inverterPageTitle;
    QPointer<TEVQLabel> m_commandTitle;
    QPointer<TEVQLabel> m_commandState;
    QPointer<TEVQLabel> m_commandSelection;
    QPointer<TEVQLabel> m_activePowerCaption;
    QPointer<TEVQLabel> m_activePowerValue;
    QPointer<TEVQLabel> m_reactivePowerCaption;
    QPointer<TEVQLabel> m_reactivePowerValue;
    QPointer<TEVQLabel> m_cardSummary;

    // Trend drawer texts.
    QPointer<TEVQLabel> m_drawerTitle;
    QPointer<TEVQLabel> m_drawerSubtitle;
    QPointer<TEVQLabel> m_drawerPowerCaption;
    QPointer<TEVQLabel> m_drawerInverterCaption;

    // The seven charts; built with the pages and the drawer, null until then.
    QPointer<TEVQLineChart> m_powerTrendChart;
    QPointer<TEVQBarChart> m_inverterOutputChart;
    QPointer<TEVQLineChart> m_weatherTrendChart;
    QPointer<TEVQLineChart> m_meterTrendChart;
    QPointer<TEVQLineChart> m_performanceTrendChart;
    QPointer<TEVQLineChart> m_analysisPowerChart;
    QPointer<TEVQBarChart> m_analysisEnergyChart;

    QVector<QPointer<InverterCard>> m_inverterCards;
    QVector<QPointer<TEVQContainer>> m_pageDots;
    QVector<QPointer<SolarPlantDiagramWidget>> m_diagrams;
    QVector<NavEntry> m_navEntries;
    QVector<QPointer<TEVQPushButton>> m_navHitTargets;
    QVector<AlarmRow> m_alarmRows;
    QVector<QPair<QPointer<TEVQLabel>, QString>> m_translatedLabels;
    QVector<QPointer<TEVQContainer>> m_pages;
    QHash<QString, QPointer<TEVQLabel>> m_pageLabels;
    QVector<QPointer<TEVQLabel>> m_trackerNames; // the tracker cards' names, in card order
    QVector<QPair<QPointer<TEVQLabel>, Qt::Alignment>> m_alignedLabels;
};
