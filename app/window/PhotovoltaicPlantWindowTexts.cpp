// Per-snapshot texts and the language pass. Captions come from the dictionary; units, fixed notes and number
// formats are the code's own.
#include "PhotovoltaicPlantWindow.h"

#include "DashboardBlocks.h"
#include "DashboardFormat.h"
#include "SolarPlantSimulator.h"
#include "TEVQContainer.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQProgressBar.h"
#include "TEVQPushButton.h"
#include "TEVQtLib.h"

#include "SolarPlantDiagramWidget.h"
#include "SolarToggleSwitch.h"
#include "TEVQComboBox.h"
#include "TEVQRadioButton.h"

#include <QDateTime>
#include <QLocale>
#include <QSignalBlocker>

using namespace quenlark;

namespace {

QString text(const char* key)
{
    return TEVQtLib::tevText(QString::fromLatin1(key), QString());
}

void setLabel(TEVQLabel* label, const QString& value)
{
    setFittedText(label, value);
}

template <class T> T* findNamed(QObject* root, const char* name)
{
    return root->findChild<T*>(QString::fromLatin1(name));
}

} // namespace

void PhotovoltaicPlantWindow::refreshSnapshot(const PlantSnapshot& s)
{
    m_snapshot = s;

    // Header.
    if (m_siteButton5)
        m_siteButton5->setText(text("solar.site.north5"));
    if (m_siteButton6)
        m_siteButton6->setText(text("solar.site.north6"));
    setLabel(m_locationLabel, text("solar.site.location"));
    setLabel(m_dateLabel,
             QLocale(TEVQtLib::tevGetLanguage()).toString(QDateTime::currentDateTime(), text("solar.format.date")));
    setLabel(m_moduleTemperatureLabel, text("solar.header.moduleTemperature").arg(fixed(s.moduleTemperature, 1)));
    setLabel(m_irradianceLabel, text("solar.header.irradiance").arg(fixed(s.irradiance, 0)));

    // Metric strip.
    setLabel(m_capacityValue, fixed(s.capacity, 0));
    if (m_metricTiles.size() == 6) {
        const double values[6] = {s.performanceRatio,        s.activePower,
                                  s.dailyEnergy,             s.monthlyEnergy / 1000.0,
                                  s.annualEnergy / 1000.0,   s.lifetimeEnergy / 1000.0};
        for (int i = 0; i < 6; ++i)
            setLabel(m_metricTiles[i].value, fixed(values[i], 1));
        if (m_metricTiles[0].progress)
            m_metricTiles[0].progress->setValue(progressPercent(s.performanceRatio));
    }

    // Command card.
    if (m_commandSwitch)
        m_commandSwitch->setChecked(s.commandEnabled);
    setLabel(m_commandState, s.commandEnabled ? text("solar.status.on") : text("solar.status.off"));
    double active = 0.0;
    double reactive = 0.0;
    for (const InverterRow& row : s.inverters) {
        active += row.activePower;
        reactive += row.reactivePower;
    }
    setLabel(m_activePowerValue, QStringLiteral("%1 kW").arg(fixed(active, 0)));
    setLabel(m_reactivePowerValue, QStringLiteral("%1 kvar").arg(fixed(reactive, 0)));

    // Alarm counts, in row order: notices (offline), warnings, critical (fault).
    const int counts[3] = {s.offlineCount, s.warningCount, s.faultCount};
    for (int i = 0; i < m_alarmRows.size() && i < 3; ++i)
        setLabel(m_alarmRows[i].countLabel, QString::number(counts[i]));

    for (const auto& aligned : m_alignedLabels) {
        if (aligned.first)
            aligned.first->setAlignment(aligned.second);
    }

    updateSiteButtons();
    updatePageValues();
    refreshInverterCards();
}

void PhotovoltaicPlantWindow::updateSiteButtons()
{
    const QString active = QStringLiteral("SolarSiteButtonActive");
    const QString plain = QStringLiteral("SolarSiteButton");
    setThemeOnce(m_siteButton5.data(), m_snapshot.plantIndex == 0 ? active : plain);
    setThemeOnce(m_siteButton6.data(), m_snapshot.plantIndex == 1 ? active : plain);
}

void PhotovoltaicPlantWindow::updatePageValues()
{
    const PlantSnapshot& s = m_snapshot;
    auto put = [this](const QString& name, const QString& value) {
        const auto it = m_pageLabels.constFind(name);
        if (it != m_pageLabels.constEnd())
            setFittedText(it.value(), value);
    };
    const QString pct = QStringLiteral("%1%");
    const QString degrees = QStringLiteral("%1°");
    const QString celsius = QStringLiteral("%1 °C");
    const QString mw = QStringLiteral("%1 MW");

    put(QStringLiteral("overviewHealth"), pct.arg(fixed(s.availability, 1)));
    put(QStringLiteral("overviewAlarms"),
        text("solar.overview.activeAlarmCount").arg(qint64(s.offlineCount) + s.warningCount + s.faultCount));
    put(QStringLiteral("overviewWeather"),
        QStringLiteral("%1 W/m²  ·  %2 m/s").arg(fixed(s.irradiance, 0), fixed(s.windSpeed, 1)));
    put(QStringLiteral("singleVoltage"), QStringLiteral("%1 kV").arg(fixed(s.gridVoltage, 2)));
    put(QStringLiteral("singleFrequency"), QStringLiteral("%1 Hz").arg(fixed(s.gridFrequency, 2)));
    put(QStringLiteral("singlePowerFactor"), fixed(s.powerFactor, 3));
    put(QStringLiteral("singleBreaker"), s.commandEnabled ? text("solar.status.closed") : text("solar.status.open"));
    put(QStringLiteral("weatherIrradiance"), QStringLiteral("%1 W/m²").arg(fixed(s.irradiance, 0)));
    put(QStringLiteral("weatherModuleTemp"), celsius.arg(fixed(s.moduleTemperature, 1)));
    put(QStringLiteral("weatherAmbientTemp"), celsius.arg(fixed(s.ambientTemperature, 1)));
    put(QStringLiteral("weatherWind"), QStringLiteral("%1 m/s").arg(fixed(s.windSpeed, 1)));
    put(QStringLiteral("weatherHumidity"), pct.arg(fixed(s.humidity, 0)));

    const double target = trackerTargetAngle(m_simulator ? m_simulator->tickCount() : 0);
    put(QStringLiteral("trackerTarget"), degrees.arg(fixed(target, 1)));
    const QString trackerPattern = text("solar.tracker.name");
    for (int i = 0; i < 12; ++i) {
        if (TEVQLabel* name = i < m_trackerNames.size() ? m_trackerNames[i].data() : nullptr)
            name->setText(trackerName(trackerPattern, s.skidIndex, i));
        put(QStringLiteral("trackerValue%1").arg(i), degrees.arg(fixed(trackerAngle(target, i), 1)));
    }

    put(QStringLiteral("meterValue0"), mw.arg(fixed(s.activePower, 2)));
    put(QStringLiteral("meterValue1"), mw.arg(fixed(s.activePower * 0.51, 2)));
    put(QStringLiteral("meterValue2"), mw.arg(fixed(s.activePower * 0.49, 2)));
    put(QStringLiteral("meterValue3"), QStringLiteral("%1 kW").arg(fixed(186.0 + 3.0 * s.windSpeed, 0)));
    put(QStringLiteral("networkNodes"), QStringLiteral("26 / 27"));
    put(QStringLiteral("networkLatency"), QStringLiteral("18 ms"));
    put(QStringLiteral("networkTraffic"), QStringLiteral("34%"));
    put(QStringLiteral("networkSecurity"), text("solar.status.healthy"));
    put(QStringLiteral("controllerActive"), QStringLiteral("%1 MW").arg(fixed(s.activePower, 1)));
    put(QStringLiteral("controllerReactive"), QStringLiteral("%1 Mvar").arg(fixed(s.activePower * 0.065, 1)));
    put(QStringLiteral("controllerFactor"), fixed(s.powerFactor, 3));
    put(QStringLiteral("controllerRamp"), QStringLiteral("8 MW/min"));
    put(QStringLiteral("performancePr"), pct.arg(fixed(s.performanceRatio, 1)));
    put(QStringLiteral("performanceAvailability"), pct.arg(fixed(s.availability, 1)));
    put(QStringLiteral("performanceCurtailment"), pct.arg(fixed(s.curtailment, 1)));
    put(QStringLiteral("performanceCo2"), QStringLiteral("%1 t").arg(fixed(s.co2Avoided, 0)));

    for (const QPointer<SolarPlantDiagramWidget>& diagram : m_diagrams) {
        if (diagram)
            diagram->setSnapshot(s);
    }
}

void PhotovoltaicPlantWindow::retranslate()
{
    const QString language = TEVQtLib::tevGetLanguage();

    setWindowTitle(text("solar.window.title"));
    setLabel(m_brandTitle, text("solar.brand.title"));
    setLabel(m_brandSubtitle, text("solar.brand.subtitle"));
    setLabel(m_userLabel, text("solar.user.name"));
    if (m_englishButton)
        m_englishButton->setText(text("solar.language.english"));
    if (m_chineseButton)
        m_chineseButton->setText(text("solar.language.chinese"));

    // Command card.
    setLabel(m_commandTitle, text("solar.command.title"));
    setLabel(m_commandSelection, text("solar.command.selection"));
    setLabel(m_activePowerCaption, text("solar.metric.activePower"));
    setLabel(m_reactivePowerCaption, text("solar.metric.reactivePower"));

    // Metric strip: captions, units and notes.
    setLabel(m_capacityCaption, text("solar.metric.capacity"));
    setLabel(m_capacityUnit, QStringLiteral("MWp"));
    if (m_metricTiles.size() == 6) {
        const char* const captions[6] = {"solar.metric.performance", "solar.metric.totalPower",
                                         "solar.metric.dailyEnergy", "solar.metric.monthly",
                                         "solar.metric.annual",      "solar.metric.lifetime"};
        const char* const units[6] = {"%", "MW", "MWh", "GWh", "GWh", "GWh"};
        const QString notes[6] = {text("solar.metric.performanceNote"), text("solar.metric.totalPowerNote"),
                                  QStringLiteral("65%"), QStringLiteral("80%"), QStringLiteral("92%"),
                                  QStringLiteral("90%")};
        for (int i = 0; i < 6; ++i) {
            setLabel(m_metricTiles[i].caption, text(captions[i]));
            setLabel(m_metricTiles[i].unit, QString::fromLatin1(units[i]));
            setLabel(m_metricTiles[i].note, notes[i]);
        }
    }

    // Navigation rows and their hit targets.
    for (int i = 0; i < m_navEntries.size(); ++i) {
        const NavEntry& e = m_navEntries[i];
        const QString caption = TEVQtLib::tevText(e.key, QString());
        setLabel(e.label, caption);
        if (auto* hit = e.row ? e.row->findChild<QWidget*>(QStringLiteral("navHitTarget%1").arg(i)) : nullptr)
            hit->setAccessibleName(caption);
    }
    for (const AlarmRow& r : m_alarmRows)
        setLabel(r.label, TEVQtLib::tevText(r.key, QString()));

    for (const auto& entry : m_translatedLabels) {
        if (entry.first)
            entry.first->setText(TEVQtLib::tevText(entry.second, QString()));
    }

    const QString trackerPattern = text("solar.tracker.name");
    for (int i = 0; i < m_trackerNames.size(); ++i) {
        if (TEVQLabel* name = m_trackerNames[i].data())
            name->setText(trackerName(trackerPattern, m_snapshot.skidIndex, i));
    }

    // Icon and text side by side: the icon moves with the text's new width.
    if (auto* b = findNamed<TEVQPushButton>(this, "controllerStartButton"))
        setButtonText(b, text("solar.command.enable"));
    if (auto* b = findNamed<TEVQPushButton>(this, "controllerStopButton"))
        setButtonText(b, text("solar.command.limit"));
    if (auto* l = findNamed<TEVQLabel>(this, "alarmTitle"))
        l->setText(text("solar.sidebar.alarms"));
    if (auto* l = findNamed<TEVQLabel>(this, "logoutLabel"))
        l->setText(text("solar.sidebar.signOut"));
    if (auto* l = findNamed<TEVQLabel>(this, "skidLabel"))
        l->setText(text("solar.command.skid"));

    const char* const groups[3] = {"solar.command.group1", "solar.command.group2", "solar.command.group3"};
    for (int i = 0; i < m_groupRadios.size() && i < 3; ++i) {
        if (m_groupRadios[i])
            m_groupRadios[i]->setText(text(groups[i]));
    }

    if (m_skidCombo) {
        const int index = m_skidCombo->currentIndex();
        const QSignalBlocker block(m_skidCombo);
        m_skidCombo->clear();
        m_skidCombo->addItems({text("solar.command.skid1"), text("solar.command.skid2"), text("solar.command.skid3")});
        m_skidCombo->setCurrentIndex(index < 1 ? 0 : index);
    }

    setLabel(m_drawerTitle, text("solar.drawer.title"));
    setLabel(m_drawerSubtitle, text("solar.drawer.subtitle"));
    setLabel(m_drawerPowerCaption, text("solar.drawer.powerChart"));
    setLabel(m_drawerInverterCaption, text("solar.drawer.inverterChart"));

    const QString active = QStringLiteral("SolarLanguageButtonActive");
    const QString plain = QStringLiteral("SolarLanguageButton");
    if (m_englishButton)
        m_englishButton->setThemeName(language == QLatin1String("en-US") ? active : plain);
    if (m_chineseButton)
        m_chineseButton->setThemeName(language == QLatin1String("zh-CN") ? active : plain);

    refreshSnapshot(m_snapshot);
}
