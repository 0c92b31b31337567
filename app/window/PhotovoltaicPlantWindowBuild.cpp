// The window's builders: frame, header band, sidebar with the alarm panel, metric strip, page host and the
// trend drawer. Every widget is created once here; texts come later from the refresh and the language pass.
#include "PhotovoltaicPlantWindow.h"

#include "DashboardBlocks.h"
#include "SolarPlantDiagramWidget.h"
#include "SolarPlantSimulator.h"
#include "TEVQContainer.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQProgressBar.h"
#include "TEVQPushButton.h"
#include "TEVQtLib.h"

using namespace quenlark;

namespace {

const QString kClear = QStringLiteral("SolarClear");

QString text(const char* key)
{
    return TEVQtLib::tevText(QString::fromLatin1(key), QString());
}

TEVQContainer* addFiller(TEVQContainer* parent, int childLayout = 4)
{
    return addContainer(parent, kClear, childLayout, 1, 0, 0, 0, 0, 0);
}

} // namespace

TEVQLabel* PhotovoltaicPlantWindow::addTextLabel(TEVQContainer* parent, const QString& theme, int ratio, int height,
                                                 const QString& key, const QString& objectName)
{
    TEVQLabel* label = addLabel(parent, theme, ratio, height);
    if (!objectName.isEmpty())
        label->setObjectName(objectName);
    m_translatedLabels.append(qMakePair(label, key));
    label->setText(TEVQtLib::tevText(key, QString()));
    return label;
}

TEVQLabel* PhotovoltaicPlantWindow::alignLabel(TEVQLabel* label, Qt::Alignment alignment)
{
    label->setAlignment(alignment);
    m_alignedLabels.append(qMakePair(QPointer<TEVQLabel>(label), alignment));
    return label;
}

void PhotovoltaicPlantWindow::buildUi()
{
    m_root = new TEVQContainer(this);
    m_root->setObjectName(QStringLiteral("solarRoot"));
    m_root->setThemeName(QStringLiteral("SolarWindow"));
    m_root->setChildLayout(TEVQContainer::AutoChildLayout(1));
    m_root->setChildSpace(0);
    m_root->setChildPadding(0);
    m_root->setGeometry(0, 0, width(), height());

    m_header = addContainer(m_root, QStringLiteral("SolarHeader"), 0, 0, 6, 0, 0, 0, 0);
    m_header->setObjectName(QStringLiteral("solarHeader"));
    fixHeight(m_header, 78);

    TEVQContainer* body = addContainer(m_root, QStringLiteral("SolarContent"), 0, 1, 0, 0, 0, 0, 0);
    body->setObjectName(QStringLiteral("solarBody"));

    m_sidebar = addContainer(body, QStringLiteral("SolarSidebar"), 1, 0, 3, 16, 18, 16, 16);
    m_sidebar->setObjectName(QStringLiteral("solarSidebar"));
    fixWidth(m_sidebar, 226);

    m_content = addContainer(body, QStringLiteral("SolarContent"), 1, 1, 10, 22, 14, 44, 16);
    m_content->setObjectName(QStringLiteral("solarContent"));

    buildHeader();
    buildSidebar();
    buildPages();
    buildTrendDrawer();

    // The diagrams take every snapshot; the list is made once rather than searched for on every tick.
    for (SolarPlantDiagramWidget* diagram : findChildren<SolarPlantDiagramWidget*>())
        m_diagrams.append(diagram);

    // The window is a dialog, whose buttons are auto-default: Return pressed anywhere would press the first of
    // them (the North 5 site button). As in a main window, none is; Space still presses a focused button.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
}

void PhotovoltaicPlantWindow::buildHeader()
{
    TEVQContainer* header = m_header;

    // Brand block.
    TEVQContainer* brand = addContainer(header, kClear, 0, 0, 8, 16, 8, 8, 8);
    fixWidth(brand, 270);
    addIcon(brand, iconPath(QStringLiteral("logo")), 44, 44, QColor());
    TEVQContainer* brandText = addContainer(brand, kClear, 1, 1, 0, 0, 0, 0, 0);
    addFiller(brandText);
    m_brandTitle = addLabel(brandText, QStringLiteral("SolarLabelTitle"), 1, 26);
    m_brandSubtitle = addLabel(brandText, QStringLiteral("SolarLabelXs"), 1, 18);
    addFiller(brandText);

    // Site buttons.
    m_siteButton5 = addBoxedButton(header, QStringLiteral("SolarSiteButtonActive"), QString(), 142, 48, QString());
    m_siteButton5->setObjectName(QStringLiteral("siteButton5"));
    m_siteButton6 = addBoxedButton(header, QStringLiteral("SolarSiteButton"), QString(), 142, 48, QString());
    m_siteButton6->setObjectName(QStringLiteral("siteButton6"));

    // Location and date.
    TEVQContainer* location = addContainer(header, kClear, 0, 0, 7, 10, 8, 8, 8);
    fixWidth(location, 184);
    addIcon(location, iconPath(QStringLiteral("location")), 20, 20, QColor(96, 119, 104, 255));
    TEVQContainer* locationText = addContainer(location, kClear, 1, 1, 0, 0, 0, 0, 0);
    addFiller(locationText);
    m_locationLabel = addLabel(locationText, QStringLiteral("SolarLabelSmBold"), 1, 22);
    m_dateLabel = addLabel(locationText, QStringLiteral("SolarLabelMuted"), 1, 18);
    addFiller(locationText);

    // Weather lines.
    TEVQContainer* weather = addContainer(header, kClear, 1, 1, 1, 8, 7, 8, 7);
    weather->setMinimumWidth(190);
    TEVQContainer* temperatureRow = addContainer(weather, kClear, 0, 1, 6, 0, 0, 0, 0);
    addIcon(temperatureRow, iconPath(QStringLiteral("sun")), 18, 18, QColor());
    m_moduleTemperatureLabel = addLabel(temperatureRow, QStringLiteral("SolarLabelSm"), 1, 0);
    TEVQContainer* irradianceRow = addContainer(weather, kClear, 0, 1, 6, 0, 0, 0, 0);
    addIcon(irradianceRow, iconPath(QStringLiteral("irradiance")), 18, 18, QColor());
    m_irradianceLabel = addLabel(irradianceRow, QStringLiteral("SolarLabelSm"), 1, 0);

    // User panel with the language and window buttons.
    TEVQContainer* user = addContainer(header, QStringLiteral("SolarUserPanel"), 0, 0, 5, 12, 8, 8, 8);
    fixWidth(user, 304);
    addIcon(user, iconPath(QStringLiteral("user")), 23, 23, QColor());
    m_userLabel = addLabel(user, QStringLiteral("SolarLabelUser"), 1, 0);
    m_englishButton = addBoxedButton(user, QStringLiteral("SolarLanguageButtonActive"), text("solar.language.english"),
                                     32, 24, QString());
    m_englishButton->setObjectName(QStringLiteral("englishButton"));
    m_chineseButton = addBoxedButton(user, QStringLiteral("SolarLanguageButton"), text("solar.language.chinese"), 32,
                                     24, QString());
    m_chineseButton->setObjectName(QStringLiteral("chineseButton"));
    TEVQPushButton* minimize = addBoxedButton(user, QStringLiteral("SolarWindowButton"), QString(), 28, 28,
                                              iconPath(QStringLiteral("minimize")));
    minimize->setObjectName(QStringLiteral("minimizeButton"));
    m_maximizeButton = addBoxedButton(user, QStringLiteral("SolarWindowButton"), QString(), 28, 28,
                                      iconPath(QStringLiteral("maximize")));
    m_maximizeButton->setObjectName(QStringLiteral("maximizeButton"));
    TEVQPushButton* close = addBoxedButton(user, QStringLiteral("SolarCloseButton"), QString(), 28, 28,
                                           iconPath(QStringLiteral("close")));
    close->setObjectName(QStringLiteral("closeButton"));

    connect(m_siteButton5, &QAbstractButton::clicked, m_simulator, [this]() { m_simulator->setPlantIndex(0); });
    connect(m_siteButton6, &QAbstractButton::clicked, m_simulator, [this]() { m_simulator->setPlantIndex(1); });
    connect(m_englishButton, &QAbstractButton::clicked, this,
            []() { TEVQtLib::tevSetLanguage(QStringLiteral("en-US")); });
    connect(m_chineseButton, &QAbstractButton::clicked, this,
            []() { TEVQtLib::tevSetLanguage(QStringLiteral("zh-CN")); });
    connect(minimize, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(m_maximizeButton, &QAbstractButton::clicked, this, &PhotovoltaicPlantWindow::toggleMaximized);
    connect(close, &QAbstractButton::clicked, this, &QWidget::close);
}

void PhotovoltaicPlantWindow::buildSidebar()
{
    struct Section {
        const char* icon;
        const char* key;
    };
    static const Section sections[SectionCount] = {
        {"home", "solar.nav.overview"},       {"panels", "solar.nav.singleLine"},
        {"inverter", "solar.nav.inverters"},  {"weather", "solar.nav.weather"},
        {"tracker", "solar.nav.trackers"},    {"meter", "solar.nav.meters"},
        {"network", "solar.nav.network"},     {"controller", "solar.nav.controller"},
        {"performance", "solar.nav.performance"}, {"charts", "solar.nav.charts"},
        {"history", "solar.nav.history"},
    };
    for (int i = 0; i < SectionCount; ++i) {
        const bool active = i == 2;
        NavEntry entry;
        entry.key = QString::fromLatin1(sections[i].key);
        entry.active = active;
        entry.row = addContainer(m_sidebar, active ? QStringLiteral("SolarNavActive") : kClear, 0, 0, 10, 10, 0, 8, 0);
        fixHeight(entry.row, 34);
        entry.icon = addIcon(entry.row, iconPath(QString::fromLatin1(sections[i].icon)), 17, 17,
                             active ? QColor(255, 255, 255, 255) : QColor(117, 130, 137, 255));
        entry.label = addLabel(entry.row, active ? QStringLiteral("SolarLabelWhite") : QStringLiteral("SolarLabelDisabled"),
                               1, 34);
        // The active row's bold caption is the widest: in a wide font "Network architecture" needs more than
        // the fixed sidebar gives it.
        fitTextToWidth(entry.label);

        auto* hit = new TEVQPushButton(entry.row);
        hit->setObjectName(QStringLiteral("navHitTarget%1").arg(m_navEntries.size()));
        hit->setThemeName(QStringLiteral("SolarIconButton"));
        static_cast<TEVQtLib::ITEVQWidgetBase*>(hit)->setGeometry(0, 0, 194, 34);
        hit->setAbsoluteLayout(true);
        hit->setFadeEnabled(false);
        hit->setUseIcon(false);
        hit->setShowText(false);
        hit->setCursor(Qt::PointingHandCursor);
        hit->setAccessibleName(TEVQtLib::tevText(entry.key, QString()));
        connect(hit, &QAbstractButton::clicked, this, [this, i]() { setCurrentSection(i); });
        hit->raise();
        // The row docks the target inside its padding; the window keeps it over the whole row instead.
        hit->installEventFilter(this);
        m_navHitTargets.append(hit);

        m_navEntries.append(entry);
    }

    TEVQContainer* filler = addFiller(m_sidebar, 1);
    filler->setMinimumHeight(4);

    // The alarm panel floats over the filler; the layout pass places it.
    m_alarmPanel = new TEVQContainer(m_sidebar);
    m_alarmPanel->setObjectName(QStringLiteral("alarmPanel"));
    m_alarmPanel->setThemeName(QStringLiteral("SolarAlarmPanel"));
    m_alarmPanel->setChildLayout(TEVQContainer::AutoChildLayout(1));
    m_alarmPanel->setChildSpace(2);
    m_alarmPanel->setChildPadding(8, 7, 8, 7);
    m_alarmPanel->setAbsoluteLayout(true);
    // Docked where the layout pass puts it (16 from the left, 190 above the sidebar's bottom), so that a
    // relayout of the sidebar between two layout passes leaves it there.
    m_alarmPanel->setAbsoluteDock(TEVQtLib::DockLayoutNear, TEVQtLib::DockLayoutFar, 0, -42);
    fixWidth(m_alarmPanel, 194);
    fixHeight(m_alarmPanel, 132);

    TEVQContainer* titleRow = addContainer(m_alarmPanel, kClear, 0, 0, 8, 0, 0, 0, 0);
    fixHeight(titleRow, 28);
    addIcon(titleRow, iconPath(QStringLiteral("alarm")), 17, 17, QColor(104, 126, 112, 255));
    addLabel(titleRow, QStringLiteral("SolarLabelSmBold"), 1, 28)->setObjectName(QStringLiteral("alarmTitle"));

    struct Alarm {
        const char* icon;
        const char* key;
        const char* badge;
    };
    static const Alarm alarms[3] = {
        {"notice", "solar.sidebar.notices", "SolarStatusWarn"},
        {"critical", "solar.sidebar.warnings", "SolarStatusFault"},
        {"critical", "solar.sidebar.critical", "SolarStatusFault"},
    };
    for (int i = 0; i < 3; ++i) {
        AlarmRow row;
        row.key = QString::fromLatin1(alarms[i].key);
        row.index = i;
        row.row = addContainer(m_alarmPanel, kClear, 0, 0, 8, 6, 0, 4, 0);
        fixHeight(row.row, 28);
        // Icon, caption and badge let a click through to the row (a container would keep it for itself).
        addIcon(row.row, iconPath(QString::fromLatin1(alarms[i].icon)), 16, 16, QColor())
            ->parentWidget()
            ->setAttribute(Qt::WA_TransparentForMouseEvents);
        row.label = addLabel(row.row, QStringLiteral("SolarLabelSm"), 1, 28);
        row.label->setAttribute(Qt::WA_TransparentForMouseEvents);
        TEVQContainer* badge = addContainer(row.row, QString::fromLatin1(alarms[i].badge), 0, 0, 0, 0, 0, 0, 0);
        fixWidth(badge, 24);
        fixHeight(badge, 20);
        badge->setAttribute(Qt::WA_TransparentForMouseEvents);
        row.countLabel = addLabel(badge, QStringLiteral("SolarLabelWhiteCenter"), 1, 20);
        alignLabel(row.countLabel, Qt::AlignCenter);
        connect(row.row, &TEVQContainer::mouseClickEvent, this, [this, i]() { setAlarmFilter(i); });
        m_alarmRows.append(row);
    }

    TEVQContainer* divider = addContainer(m_sidebar, QStringLiteral("SolarDivider"), 4, 0, 0, 0, 0, 0, 0);
    fixHeight(divider, 1);

    TEVQContainer* signOut = addContainer(m_sidebar, kClear, 0, 0, 10, 10, 0, 8, 0);
    fixHeight(signOut, 36);
    addIcon(signOut, iconPath(QStringLiteral("logout")), 17, 17, QColor(117, 130, 137, 255));
    addLabel(signOut, QStringLiteral("SolarLabelSm"), 1, 36)->setObjectName(QStringLiteral("logoutLabel"));
}

void PhotovoltaicPlantWindow::buildPages()
{
    buildMetricStrip(m_content);

    m_pageHost = addContainer(m_content, kClear, 4, 1, 0, 0, 0, 0, 0);
    m_pageHost->setObjectName(QStringLiteral("pageHost"));

    // One page per section, in section order: entry i of the page list is the page of section i.
    buildOverviewPage();
    buildSingleLinePage();
    buildInverterPage();
    buildWeatherPage();
    buildTrackerPage();
    buildMeterPage();
    buildNetworkPage();
    buildControllerPage();
    buildPerformancePage();
    buildChartsPage();
    buildHistoryPage();

    updatePageVisibility();
}

TEVQContainer* PhotovoltaicPlantWindow::createPage(const QString& objectName)
{
    auto* page = new TEVQContainer(m_pageHost);
    page->setObjectName(objectName);
    page->setThemeName(kClear);
    page->setChildLayout(TEVQContainer::AutoChildLayout(1));
    page->setChildSpace(8);
    page->setChildPadding(0);
    page->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
    page->setHeightPolicy(TEVQtLib::LayoutSizePolicy(0));
    page->setGeometry(m_pageHost->rect());
    m_pages.append(page);
    return page;
}

void PhotovoltaicPlantWindow::buildMetricStrip(TEVQContainer* parent)
{
    TEVQContainer* strip = addContainer(parent, kClear, 0, 0, 8, 0, 0, 0, 0);
    strip->setObjectName(QStringLiteral("plantMetrics"));
    fixHeight(strip, 104);

    TEVQContainer* lead = addContainer(strip, QStringLiteral("SolarMetricLead"), 1, 0, 0, 14, 12, 14, 10);
    fixWidth(lead, 130);
    m_capacityCaption = addLabel(lead, QStringLiteral("SolarLabelWhite"), 0, 24);
    m_capacityValue = addLabel(lead, QStringLiteral("SolarLabelMetricLarge"), 1, 38);
    fitTextToWidth(m_capacityValue);
    m_capacityUnit = addLabel(lead, QStringLiteral("SolarLabelWhite"), 0, 18);

    TEVQContainer* card = addContainer(strip, QStringLiteral("SolarCard"), 0, 1, 0, 12, 8, 12, 8);

    static const int progress[6] = {85, -1, 65, 80, 92, 90};
    m_metricTiles.resize(6);
    TEVQContainer* first = nullptr;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            TEVQContainer* divider = addContainer(card, QStringLiteral("SolarDivider"), 4, 0, 0, 0, 0, 0, 0);
            fixWidth(divider, 1);
        }
        TEVQContainer* tile = addMetricTile(card, m_metricTiles[i], progress[i] >= 0, progress[i]);
        if (i == 0)
            first = tile;
    }
    connect(first, &TEVQContainer::mouseClickEvent, this, [this]() { setTrendDrawerExpanded(true); });
}

TEVQContainer* PhotovoltaicPlantWindow::addMetricTile(TEVQContainer* tileCard, MetricTile& tile, bool withProgress,
                                                      int progressValue)
{
    TEVQContainer* box = addContainer(tileCard, kClear, 1, 1, 1, 10, 3, 10, 3);
    tile.caption = addLabel(box, QStringLiteral("SolarLabelXs"), 0, 19);
    TEVQContainer* valueRow = addContainer(box, kClear, 0, 0, 3, 0, 0, 0, 0);
    fixHeight(valueRow, 35);
    // A click on the value reaches the tile (a container would keep it for itself): the first tile opens the
    // drawer wherever it is clicked.
    valueRow->setAttribute(Qt::WA_TransparentForMouseEvents);
    tile.value = addLabel(valueRow, QStringLiteral("SolarLabelMetric"), 1, 35);
    // The energy totals grow as long as the plant runs: the daily energy has five digits after a day.
    fitTextToWidth(tile.value);
    tile.unit = addLabel(valueRow, QStringLiteral("SolarLabelMuted"), 0, 35);
    fixWidth(tile.unit, 44);
    if (withProgress) {
        auto* bar = new TEVQProgressBar(box);
        bar->setThemeName(QStringLiteral("SolarProgressOk"));
        bar->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
        bar->setRange(0, 100);
        bar->setValue(progressValue);
        bar->setShowText(false);
        fixHeight(bar, 5);
        box->addChildWidget(bar, 0);
        tile.progress = bar;
    }
    tile.note = addLabel(box, QStringLiteral("SolarLabelMuted"), 0, 18);
    return box;
}

void PhotovoltaicPlantWindow::buildTrendDrawer()
{
    m_trendDrawer = new TEVQContainer(m_content);
    m_trendDrawer->setObjectName(QStringLiteral("trendDrawer"));
    m_trendDrawer->setThemeName(QStringLiteral("SolarDrawer"));
    m_trendDrawer->setChildLayout(TEVQContainer::AutoChildLayout(0));
    m_trendDrawer->setChildSpace(0);
    m_trendDrawer->setChildPadding(0);
    m_trendDrawer->setWidthPolicy(TEVQtLib::LayoutSizePolicy(1));
    m_trendDrawer->setMinimumWidth(0);
    m_trendDrawer->setMaximumWidth(440);
    m_trendDrawer->resize(0, 620);
    m_trendDrawer->setAbsoluteLayout(true);
    m_trendDrawer->setAbsoluteDock(TEVQtLib::DockLayoutFar, TEVQtLib::DockLayoutCenter, 44, 0);
    m_trendDrawer->installEventFilter(this);

    m_trendDrawerButton = new TEVQPushButton(m_content);
    m_trendDrawerButton->setThemeName(QStringLiteral("SolarDrawerButton"));
    m_trendDrawerButton->setFadeEnabled(false);
    m_trendDrawerButton->setIcon(iconPath(QStringLiteral("chevron-left")));
    m_trendDrawerButton->setUseIcon(true);
    m_trendDrawerButton->setShowText(false);
    fixWidth(m_trendDrawerButton, 34);
    fixHeight(m_trendDrawerButton, 48);
    m_content->addChildWidget(m_trendDrawerButton, 0);
    m_trendDrawerButton->setObjectName(QStringLiteral("trendDrawerButton"));
    m_trendDrawerButton->setAbsoluteLayout(true);
    m_trendDrawerButton->setAbsoluteDock(TEVQtLib::DockLayoutFar, TEVQtLib::DockLayoutCenter, 44, 0);

    m_trendDrawerBody = addContainer(m_trendDrawer, kClear, 1, 1, 7, 14, 14, 14, 14);
    m_trendDrawerBody->setObjectName(QStringLiteral("trendDrawerBody"));
    m_drawerTitle = addLabel(m_trendDrawerBody, QStringLiteral("SolarLabelTitle"), 0, 28);
    m_drawerSubtitle = addLabel(m_trendDrawerBody, QStringLiteral("SolarLabelSm"), 0, 22);
    TEVQContainer* divider = addContainer(m_trendDrawerBody, QStringLiteral("SolarDivider"), 4, 0, 0, 0, 0, 0, 0);
    fixHeight(divider, 1);
    m_drawerPowerCaption = addLabel(m_trendDrawerBody, QStringLiteral("SolarLabelSmBold"), 0, 24);
    m_powerTrendChart = addLineChart(m_trendDrawerBody, QStringLiteral("powerTrendChart"), 3, 230, false);
    m_drawerInverterCaption = addLabel(m_trendDrawerBody, QStringLiteral("SolarLabelSmBold"), 0, 24);
    m_inverterOutputChart = addBarChart(m_trendDrawerBody, QStringLiteral("inverterOutputChart"), 2, 170, 1);

    m_trendDrawerBody->hide();
    m_trendDrawer->raise();
    m_trendDrawerButton->raise();
    connect(m_trendDrawerButton, &QAbstractButton::clicked, this,
            [this]() { setTrendDrawerExpanded(!m_drawerExpanded); });
}
