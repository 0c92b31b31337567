// The dashboard window in process: command-line options, number formats, the per-snapshot texts, the language
// switch, the view-state slots and the layout pass; and the data the window depends on: every dictionary key
// and theme name the code asks for, the icons.
#include "DashboardBlocks.h"
#include "DashboardFormat.h"
#include "DashboardFixture.h"
#include "DashboardStartup.h"
#include "LanguageManager.h"
#include "PhotovoltaicPlantWindow.h"
#include "SolarPlantSimulator.h"
#include "TEVQContainer.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQProgressBar.h"
#include "TEVQPushButton.h"
#include "TEVQtLib.h"
#include "TevTest.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>

#include <csignal>
#include <cmath>
#include <limits>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace quenlark;

namespace {

QString tx(const char* key)
{
    return TEVQtLib::tevText(QString::fromLatin1(key), QString());
}

// Every string literal of the dashboard's sources that matches the pattern.
QSet<QString> literalsInSources(const QString& pattern)
{
    QSet<QString> found;
    const QRegularExpression re(pattern);
    QDirIterator it(QStringLiteral(TEV_SOURCE_DIR "/app"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains(QLatin1String("/simulation/")))
            continue;
        const QString text = QString::fromUtf8(tevtest::readFile(path));
        auto m = re.globalMatch(text);
        while (m.hasNext())
            found.insert(m.next().captured(1));
    }
    return found;
}

QJsonObject readJson(const QString& path)
{
    return QJsonDocument::fromJson(tevtest::readFile(path)).object();
}

} // namespace

class PhotovoltaicPlantWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PhotovoltaicPlantWindow> w;

    static PlantSnapshot crafted()
    {
        PlantSnapshot s;
        s.capacity = 129.6;
        s.performanceRatio = 84.85;
        s.activePower = -0.04;
        s.dailyEnergy = 612.15;
        s.monthlyEnergy = 12345.0;
        s.annualEnergy = 98650.0;
        s.lifetimeEnergy = 114349.9;
        s.moduleTemperature = -3.25;
        s.irradiance = 561.5;
        s.offlineCount = 9;
        s.warningCount = 0;
        s.faultCount = 12;
        s.commandEnabled = false;
        s.plantIndex = 1;
        for (int i = 0; i < 10; ++i) {
            InverterRow r;
            r.index = i;
            r.activePower = 100.4;
            r.reactivePower = -3.3;
            s.inverters.append(r);
        }
        return s;
    }

private slots:
    void initTestCase()
    {
        QString message;
        QVERIFY2(openDashboard(w, &message), qPrintable(message));
    }

    void cleanupTestCase() { w.reset(); }

    // ---- command line ----

    void options_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("screenshot");
        QTest::addColumn<QSize>("size"); // after raising to the minimum
        QTest::addColumn<bool>("drawer");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<int>("section");
        const QSize def(1440, 900), min(1280, 720);
        QTest::newRow("none") << QStringList() << QString() << def << false << false << 2;
        QTest::newRow("small size") << QStringList{"--size", "800x600"} << QString() << min << false << false << 2;
        QTest::newRow("upper X") << QStringList{"--size", "2000X500"} << QString() << QSize(2000, 720) << false
                                 << false << 2;
        QTest::newRow("three parts") << QStringList{"--size", "1280x720x2"} << QString() << def << false << false << 2;
        QTest::newRow("word") << QStringList{"--size", "big"} << QString() << def << false << false << 2;
        QTest::newRow("empty parts") << QStringList{"--size", "x"} << QString() << min << false << false << 2;
        QTest::newRow("one empty") << QStringList{"--size", "1500x"} << QString() << QSize(1500, 720) << false
                                   << false << 2;
        QTest::newRow("later wins") << QStringList{"--size", "800x600", "--size", "1600x1000"} << QString()
                                    << QSize(1600, 1000) << false << false << 2;
        QTest::newRow("absurd") << QStringList{"--size", "100000x100000"} << QString()
                                << QSize(kMaxWindowSide, kMaxWindowSide) << false << false << 2;
        // Held at 5120 on each axis, apart: at that size a screenshot of a page a chart fills stays far below 2 GB.
        QTest::newRow("largest") << QStringList{"--size", "5120x5120"} << QString() << QSize(5120, 5120) << false
                                 << false << 2;
        QTest::newRow("wide") << QStringList{"--size", "5121x900"} << QString() << QSize(5120, 900) << false << false
                              << 2;
        QTest::newRow("tall") << QStringList{"--size", "1600x8192"} << QString() << QSize(1600, 5120) << false
                              << false << 2;
        QTest::newRow("overflow") << QStringList{"--size", "99999999999x-5"} << QString() << min << false << false
                                  << 2;
        QTest::newRow("size last") << QStringList{"--drawer", "--size"} << QString() << def << true << false << 2;
        QTest::newRow("name") << QStringList{"--section", "network"} << QString() << def << false << false << 6;
        QTest::newRow("NAME") << QStringList{"--section", "NETWORK"} << QString() << def << false << false << 6;
        QTest::newRow("high") << QStringList{"--section", "42"} << QString() << def << false << false << 10;
        QTest::newRow("negative") << QStringList{"--section", "-3"} << QString() << def << false << false << 0;
        QTest::newRow("unknown name") << QStringList{"--section", "bogus"} << QString() << def << false << false << 0;
        QTest::newRow("section twice") << QStringList{"--section", "4", "--section", "history"} << QString() << def
                                       << false << false << 10;
        QTest::newRow("section last") << QStringList{"--section"} << QString() << def << false << false << 2;
        QTest::newRow("screenshot") << QStringList{"--screenshot", "out/shot.jpg", "--zh", "--drawer"}
                                    << QString("out/shot.jpg") << def << true << true << 2;
        QTest::newRow("screenshot last") << QStringList{"--zh", "--screenshot"} << QString() << def << false << true
                                         << 2;
        QTest::newRow("case differs") << QStringList{"--Screenshot", "s.png", "--ZH", "--Drawer"} << QString() << def
                                      << false << false << 2;
        QTest::newRow("non-ASCII path") << QStringList{"--screenshot", QString::fromUtf8("截图/电站 Ü.png")}
                                        << QString::fromUtf8("截图/电站 Ü.png") << def << false << false << 2;
        QTest::newRow("value looks like option") << QStringList{"--screenshot", "--zh"} << QString("--zh") << def
                                                 << false << false << 2;
    }

    void options()
    {
        QFETCH(QStringList, args);
        args.prepend(QStringLiteral("photovoltaic"));
        const StartupOptions o = parseStartupOptions(args);
        QTEST(o.screenshotPath, "screenshot");
        QTEST(windowSizeFor(o.size, QSize(1280, 720)), "size");
        QTEST(o.openDrawer, "drawer");
        QTEST(o.chinese, "chinese");
        QTEST(o.section, "section");
    }

    // The largest side is 5120 device pixels: fewer pixels on a screen of more device pixels per pixel, never
    // fewer than the minimum.
    void sizeBoundInDevicePixels_data()
    {
        QTest::addColumn<QSize>("requested");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QSize>("size");
        QTest::newRow("ratio 1") << QSize(6000, 6000) << 1.0 << QSize(5120, 5120);
        QTest::newRow("ratio 2") << QSize(6000, 2000) << 2.0 << QSize(2560, 2000);
        QTest::newRow("ratio 1.5") << QSize(3500, 900) << 1.5 << QSize(3413, 900);
        QTest::newRow("ratio 2, small") << QSize(800, 600) << 2.0 << QSize(1280, 720);
        QTest::newRow("ratio 5, the minimum wins") << QSize(9000, 9000) << 5.0 << QSize(1280, 1024);
        QTest::newRow("ratio below 1") << QSize(9000, 9000) << 0.5 << QSize(5120, 5120);
    }

    void sizeBoundInDevicePixels()
    {
        QFETCH(QSize, requested);
        QFETCH(double, ratio);
        QTEST(windowSizeFor(requested, QSize(1280, 720), ratio), "size");
    }

    // ---- number formats ----

    void formats()
    {
        QCOMPARE(fixed(12345.0 / 1000.0, 1), QStringLiteral("12.3"));
        QCOMPARE(fixed(-3.14159, 1), QStringLiteral("-3.1"));
        QCOMPARE(fixed(-0.04, 1), QStringLiteral("-0.0"));
        QCOMPARE(fixed(1234567.891, 2), QStringLiteral("1234567.89")); // no grouping
        QCOMPARE(fixed(0.9996, 3), QStringLiteral("1.000"));
        QCOMPARE(fixed(561.5, 0).size() > 0, true);
        QCOMPARE(progressPercent(100.4), 100);
        QCOMPARE(progressPercent(99.5), 100);
        QCOMPARE(progressPercent(84.5), 85);
        QCOMPARE(progressPercent(84.49), 84);
        QCOMPARE(progressPercent(-7.0), 0);
        QCOMPARE(progressPercent(250.0), 100);
        QCOMPARE(progressPercent(std::numeric_limits<double>::quiet_NaN()), 0);
        QCOMPARE(progressPercent(std::numeric_limits<double>::infinity()), 100);
        QCOMPARE(trackerName(QStringLiteral("Tracker %1.%2"), 0, 0), QStringLiteral("Tracker 1.01"));
        QCOMPARE(trackerName(QStringLiteral("Tracker %1.%2"), 2, 11), QStringLiteral("Tracker 3.12"));
        QCOMPARE(trackerTargetAngle(0), 21.0);
        QCOMPARE(fixed(trackerAngle(21.0, 1), 1), QStringLiteral("21.6"));
        // The decimal separator stays '.' whatever the locale.
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(fixed(2.5, 1), QStringLiteral("2.5"));
        QLocale::setDefault(QLocale::c());
    }

    void snapshotTexts()
    {
        TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
        const PlantSnapshot s = crafted();
        w->refreshSnapshot(s);
        QCOMPARE(w->m_moduleTemperatureLabel->text(), QString::fromUtf8("Module -3.2 °C").replace("-3.2", fixed(-3.25, 1)));
        QCOMPARE(w->m_irradianceLabel->text(), QString::fromUtf8("Irradiance %1 W/m²").arg(fixed(561.5, 0)));
        QCOMPARE(w->m_locationLabel->text(), tx("solar.site.location"));
        QCOMPARE(w->m_siteButton5->text(), QStringLiteral("North 5 MW"));
        QCOMPARE(w->m_capacityValue->text(), QStringLiteral("130"));
        const QStringList values = {"84.8", "-0.0", "612.1", "12.3", "98.7", "114.3"};
        // 84.85 and 612.15 are not exact in binary: compare with the formatter itself for those two.
        const QStringList expected = {fixed(84.85, 1), values[1], fixed(612.15, 1), values[3], fixed(98.65, 1),
                                      values[5]};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(w->metricTiles()[i].value->text(), expected[i]);
        QCOMPARE(w->metricTiles()[0].progress->value(), 85);
        QVERIFY(w->metricTiles()[1].progress == nullptr);
        QCOMPARE(w->metricTiles()[2].progress->value(), 65); // the other bars keep their build values
        QCOMPARE(w->alarmRows()[0].countLabel->text(), QStringLiteral("9"));
        QCOMPARE(w->alarmRows()[1].countLabel->text(), QStringLiteral("0"));
        QCOMPARE(w->alarmRows()[2].countLabel->text(), QStringLiteral("12"));
        QCOMPARE(w->m_siteButton5->getThemeName(), QStringLiteral("SolarSiteButton"));
        QCOMPARE(w->m_siteButton6->getThemeName(), QStringLiteral("SolarSiteButtonActive"));

        PlantSnapshot t = s;
        t.performanceRatio = 100.4;
        w->refreshSnapshot(t);
        QCOMPARE(w->metricTiles()[0].progress->value(), 100);
        t.performanceRatio = -12.0;
        w->refreshSnapshot(t);
        QCOMPARE(w->metricTiles()[0].progress->value(), 0);
        QCOMPARE(w->metricTiles()[0].value->text(), QStringLiteral("-12.0"));
    }

    void pageValuesByName()
    {
        // Value labels registered under the page names receive their texts; unregistered names are skipped.
        auto* l1 = new TEVQLabel(w->m_pages[0]);
        auto* l2 = new TEVQLabel(w->m_pages[0]);
        auto* l3 = new TEVQLabel(w->m_pages[0]);
        // The tracker cards' names are kept in card order when the page is built.
        QCOMPARE(w->m_trackerNames.size(), 12);
        TEVQLabel* name = w->m_trackerNames[11];
        QCOMPARE(name->objectName(), QStringLiteral("trackerName11"));
        w->m_pageLabels.insert(QStringLiteral("overviewWeather"), l1);
        w->m_pageLabels.insert(QStringLiteral("meterValue3"), l2);
        w->m_pageLabels.insert(QStringLiteral("overviewAlarms"), l3);
        PlantSnapshot s = crafted();
        s.windSpeed = 4.25;
        s.skidIndex = 2;
        w->refreshSnapshot(s);
        QCOMPARE(l1->text(), QString::fromUtf8("%1 W/m²  ·  %2 m/s").arg(fixed(561.5, 0), fixed(4.25, 1)));
        QCOMPARE(l2->text(), QStringLiteral("199 kW")); // 186 + 3 x 4.25 = 198.75, also with the command off
        QCOMPARE(l3->text(), QStringLiteral("21 active"));
        QCOMPARE(name->text(), QStringLiteral("Tracker 3.12"));
        s.offlineCount = s.warningCount = s.faultCount = 0;
        w->refreshSnapshot(s);
        QCOMPARE(l3->text(), QStringLiteral("0 active"));
        // Counts and a skid at the end of the int range are written whole, without overflowing.
        s.offlineCount = s.warningCount = s.faultCount = std::numeric_limits<int>::max();
        s.skidIndex = std::numeric_limits<int>::max();
        w->refreshSnapshot(s);
        QCOMPARE(l3->text(), QStringLiteral("6442450941 active"));
        QCOMPARE(name->text(), QStringLiteral("Tracker 2147483648.12"));
        w->m_pageLabels.clear();
        delete l1;
        delete l2;
        delete l3;
    }

    void pageValueFormats()
    {
        // Command off and no power: the breaker opens, the meters and the controller read zero, while the
        // auxiliary meter still follows the wind.
        PlantSnapshot s = crafted();
        s.activePower = 0.0;
        s.windSpeed = 3.0;
        s.gridVoltage = 33.456;
        s.gridFrequency = 49.995;
        s.powerFactor = 0.98765;
        s.availability = 99.95;
        s.humidity = 40.5;
        s.ambientTemperature = -0.06;
        s.curtailment = 1.25;
        s.co2Avoided = 1234.5;
        const QList<QPair<QString, QString>> expected = {
            {"overviewHealth", fixed(99.95, 1) + "%"},
            {"singleVoltage", fixed(33.456, 2) + " kV"},
            {"singleFrequency", fixed(49.995, 2) + " Hz"},
            {"singlePowerFactor", "0.988"},
            {"singleBreaker", "OPEN"},
            {"weatherIrradiance", fixed(561.5, 0) + QString::fromUtf8(" W/m²")},
            {"weatherAmbientTemp", QString::fromUtf8("-0.1 °C")},
            {"weatherWind", "3.0 m/s"},
            {"weatherHumidity", fixed(40.5, 0) + "%"},
            {"trackerTarget", QString::fromUtf8("21.0°")},
            {"trackerValue0", QString::fromUtf8("21.0°")},
            {"meterValue0", "0.00 MW"},
            {"meterValue1", "0.00 MW"},
            {"meterValue2", "0.00 MW"},
            {"meterValue3", "195 kW"},
            {"networkNodes", "26 / 27"},
            {"networkLatency", "18 ms"},
            {"networkTraffic", "34%"},
            {"networkSecurity", "Healthy"},
            {"controllerActive", "0.0 MW"},
            {"controllerReactive", "0.0 Mvar"},
            {"controllerFactor", "0.988"},
            {"controllerRamp", "8 MW/min"},
            {"performanceAvailability", fixed(99.95, 1) + "%"},
            {"performanceCurtailment", fixed(1.25, 1) + "%"},
            {"performanceCo2", fixed(1234.5, 0) + " t"},
        };
        TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
        QHash<QString, TEVQLabel*> labels;
        for (const auto& e : expected) {
            labels.insert(e.first, new TEVQLabel(w->m_pages[0]));
            w->m_pageLabels.insert(e.first, labels.value(e.first));
        }
        // The tracker angles follow the tick count; with the simulator at a known count they are exact.
        const QString target = fixed(trackerTargetAngle(w->simulator()->tickCount()), 1);
        w->refreshSnapshot(s);
        for (const auto& e : expected) {
            QString want = e.second;
            if (e.first == QLatin1String("trackerTarget"))
                want = target + QString::fromUtf8("°");
            if (e.first == QLatin1String("trackerValue0"))
                want = fixed(trackerAngle(trackerTargetAngle(w->simulator()->tickCount()), 0), 1) + QString::fromUtf8("°");
            QCOMPARE(labels.value(e.first)->text(), want);
        }
        w->m_pageLabels.clear();
        qDeleteAll(labels);
    }

    // ---- language ----

    void languageSwitch_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("zh-CN") << QStringLiteral("zh-CN");
        QTest::newRow("en-US") << QStringLiteral("en-US");
    }

    void languageSwitch()
    {
        QFETCH(QString, language);
        const QString other = language == QLatin1String("zh-CN") ? QStringLiteral("en-US") : QStringLiteral("zh-CN");
        TEVQtLib::tevSetLanguage(other);
        QSignalSpy spy(TEVQtLib::LanguageManager::instance(), &TEVQtLib::LanguageManager::languageChanged);
        QTest::mouseClick(language == QLatin1String("zh-CN") ? w->m_chineseButton : w->m_englishButton, Qt::LeftButton);
        QTest::mouseClick(language == QLatin1String("zh-CN") ? w->m_chineseButton : w->m_englishButton, Qt::LeftButton);
        QCOMPARE(spy.count(), 1); // the second press changes nothing
        QCOMPARE(TEVQtLib::tevGetLanguage(), language);
        const bool zh = language == QLatin1String("zh-CN");

        auto same = [&](const char* key, const QString& shown) {
            const QString want = TEVQtLib::LanguageManager::instance()->text(QString::fromLatin1(key));
            QVERIFY2(!want.startsWith(QLatin1String("solar.")), key);
            QCOMPARE(shown, want);
        };
        QCOMPARE(w->windowTitle(), tx("solar.window.title"));
        same("solar.brand.title", w->m_brandTitle->text());
        same("solar.brand.subtitle", w->m_brandSubtitle->text());
        same("solar.user.name", w->m_userLabel->text());
        same("solar.site.north5", w->m_siteButton5->text());
        same("solar.site.north6", w->m_siteButton6->text());
        same("solar.site.location", w->m_locationLabel->text());
        same("solar.language.english", w->m_englishButton->text());
        same("solar.language.chinese", w->m_chineseButton->text());
        same("solar.metric.capacity", w->m_capacityCaption->text());
        same("solar.drawer.title", w->m_drawerTitle->text());
        same("solar.drawer.subtitle", w->m_drawerSubtitle->text());
        same("solar.drawer.powerChart", w->m_drawerPowerCaption->text());
        same("solar.drawer.inverterChart", w->m_drawerInverterCaption->text());
        same("solar.sidebar.alarms", w->findChild<TEVQLabel*>(QStringLiteral("alarmTitle"))->text());
        same("solar.sidebar.signOut", w->findChild<TEVQLabel*>(QStringLiteral("logoutLabel"))->text());
        const char* const captions[6] = {"solar.metric.performance", "solar.metric.totalPower",
                                         "solar.metric.dailyEnergy", "solar.metric.monthly", "solar.metric.annual",
                                         "solar.metric.lifetime"};
        const char* const units[6] = {"%", "MW", "MWh", "GWh", "GWh", "GWh"};
        for (int i = 0; i < 6; ++i) {
            same(captions[i], w->metricTiles()[i].caption->text());
            QCOMPARE(w->metricTiles()[i].unit->text(), QString::fromLatin1(units[i]));
        }
        same("solar.metric.performanceNote", w->metricTiles()[0].note->text());
        same("solar.metric.totalPowerNote", w->metricTiles()[1].note->text());
        QCOMPARE(w->metricTiles()[2].note->text(), QStringLiteral("65%"));
        QCOMPARE(w->metricTiles()[5].note->text(), QStringLiteral("90%"));
        QCOMPARE(w->m_capacityUnit->text(), QStringLiteral("MWp"));
        for (int i = 0; i < w->navEntries().size(); ++i) {
            const auto& e = w->navEntries()[i];
            QCOMPARE(e.label->text(), tx(e.key.toLatin1().constData()));
            auto* hit = e.row->findChild<QWidget*>(QStringLiteral("navHitTarget%1").arg(i));
            QVERIFY(hit);
            QCOMPARE(hit->accessibleName(), e.label->text());
        }
        for (const auto& r : w->alarmRows())
            QCOMPARE(r.label->text(), tx(r.key.toLatin1().constData()));
        for (const auto& p : w->translatedLabels()) {
            if (p.second == QLatin1String("solar.tracker.name"))
                continue; // the refresh fills the pattern's placeholders
            QCOMPARE(p.first->text(), TEVQtLib::tevText(p.second, QString()));
        }
        QCOMPARE(w->m_moduleTemperatureLabel->text(),
                 tx("solar.header.moduleTemperature").arg(fixed(w->currentSnapshot().moduleTemperature, 1)));
        QCOMPARE(w->m_englishButton->getThemeName(),
                 zh ? QStringLiteral("SolarLanguageButton") : QStringLiteral("SolarLanguageButtonActive"));
        QCOMPARE(w->m_chineseButton->getThemeName(),
                 zh ? QStringLiteral("SolarLanguageButtonActive") : QStringLiteral("SolarLanguageButton"));
        // The date follows the language's pattern at once.
        const QString date = w->m_dateLabel->text();
        if (zh)
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}  \\d{2}:\\d{2}$")).match(date).hasMatch(),
                     qPrintable(date));
        else
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{2} \\w{3} \\d{4} - \\d{2}:\\d{2}$")).match(date).hasMatch(),
                     qPrintable(date));
        // Numbers keep their fixed notation in both languages.
        QVERIFY(!w->metricTiles()[0].value->text().contains(QLatin1Char(',')));
        // Nothing of the switch moves the floating alarm panel.
        QTest::qWait(20);
        QCOMPARE(w->m_alarmPanel->y(), qMax(16, w->m_sidebar->height() - 190));
    }

    // ---- view state and layout ----

    void sectionSwitch()
    {
        w->setCurrentSection(5);
        w->setAlarmFilter(1);
        QCOMPARE(w->alarmFilter(), 1);
        w->setCurrentSection(11);
        w->setCurrentSection(-1);
        QCOMPARE(w->currentSection(), 5);
        w->setCurrentSection(7); // other sections keep the filter
        QCOMPARE(w->alarmFilter(), 1);
        int active = 0;
        for (int i = 0; i < w->navEntries().size(); ++i) {
            const auto& e = w->navEntries()[i];
            const bool on = i == 7;
            active += e.active;
            QCOMPARE(e.active, on);
            QCOMPARE(e.row->getThemeName(), on ? QStringLiteral("SolarNavActive") : QStringLiteral("SolarClear"));
            QCOMPARE(e.label->getThemeName(), on ? QStringLiteral("SolarLabelWhite") : QStringLiteral("SolarLabelDisabled"));
            QCOMPARE(e.icon->getSvgColor(), on ? QColor(255, 255, 255) : QColor(117, 130, 137));
            QCOMPARE(w->pages()[i]->isVisible(), on);
        }
        QCOMPARE(active, 1);
        QTest::qWait(20);
        QCOMPARE(w->m_alarmPanel->y(), qMax(16, w->m_sidebar->height() - 190));
        // A click anywhere on a row switches, its padding at either end included; inverters clears the filter.
        for (int x : {2, w->navEntries()[4].row->width() - 3}) {
            w->setCurrentSection(7);
            QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {},
                              w->navEntries()[4].row->mapTo(w.get(), QPoint(x, 17)));
            QCOMPARE(w->currentSection(), 4);
        }
        QWidget* hit = w->navEntries()[2].row->findChild<QWidget*>(QStringLiteral("navHitTarget2"));
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {},
                          w->navEntries()[2].label->mapTo(w.get(), w->navEntries()[2].label->rect().center()));
        QVERIFY(hit->geometry().contains(w->navEntries()[2].label->geometry()));
        QCOMPARE(w->currentSection(), 2);
        QCOMPARE(w->alarmFilter(), -1);
        QCOMPARE(w->cardPage(), 0);
    }

    void alarmFilter()
    {
        w->setAlarmFilter(1);
        w->setAlarmFilter(1);
        QCOMPARE(w->alarmFilter(), -1);
        w->setAlarmFilter(-1);
        QCOMPARE(w->alarmFilter(), -1);
        w->setAlarmFilter(2);
        QCOMPARE(w->alarmRows()[2].row->getThemeName(), QStringLiteral("SolarNavHover"));
        QCOMPARE(w->alarmRows()[0].row->getThemeName(), QStringLiteral("SolarClear"));
        // A click on the caption, the badge or the icon reaches the row.
        const auto& row = w->alarmRows()[0];
        auto clickAt = [this](QWidget* target) {
            const QPoint p = target->mapTo(w.get(), target->rect().center());
            // They let the click through to the row.
            QWidget* under = w->childAt(p);
            QCOMPARE(under, static_cast<QWidget*>(w->alarmRows()[0].row));
            QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, p);
        };
        clickAt(row.label);
        QCOMPARE(w->alarmFilter(), 0);
        clickAt(row.countLabel);
        QCOMPARE(w->alarmFilter(), -1);
        clickAt(row.row->findChild<TEVQImage*>()); // and the icon
        QCOMPARE(w->alarmFilter(), 0);
        w->setAlarmFilter(-1);
        PlantSnapshot s = crafted(); // statuses all 0
        w->m_snapshot = s;
        w->setAlarmFilter(7);
        QVERIFY(w->filteredInverterIndexes(s).isEmpty());
        w->setAlarmFilter(-5);
        QCOMPARE(w->filteredInverterIndexes(s).size(), 10);
        w->setAlarmFilter(-1);
    }

    void layoutPass_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1280x720") << QSize(1280, 720);
        QTest::newRow("1440x900") << QSize(1440, 900);
        QTest::newRow("1920x1080") << QSize(1920, 1080);
    }

    void layoutPass()
    {
        QFETCH(QSize, size);
        w->resize(size);
        QTRY_COMPARE(w->size(), size);
        QCOMPARE(w->m_root->geometry(), QRect(QPoint(0, 0), size));
        QCOMPARE(w->m_header->height(), 78);
        QCOMPARE(w->m_header->width(), size.width());
        QCOMPARE(w->m_sidebar->width(), 226);
        QCOMPARE(w->m_sidebar->height(), size.height() - 78);
        QCOMPARE(w->m_content->width(), size.width() - 226);
        QCOMPARE(w->m_alarmPanel->geometry(), QRect(16, qMax(16, w->m_sidebar->height() - 190), 194, 132));
        QCOMPARE(w->findChild<QWidget*>(QStringLiteral("plantMetrics"))->height(), 104);
        QCOMPARE(w->m_pageHost->rect(), w->pages()[w->currentSection()]->geometry());
        const int drawer = qMax(w->m_content->height() - 34, 420);
        QCOMPARE(w->m_trendDrawer->height(), drawer);
        // Every navigation row lies above the alarm panel, and the sign-out row below it.
        QVERIFY(w->navEntries().last().row->geometry().bottom() < w->m_alarmPanel->y());
        // Boxed buttons sit centred in the band.
        const QRect site = w->m_siteButton5->geometry();
        QCOMPARE(site.size(), QSize(142, 48));
        QCOMPARE(w->m_siteButton5->mapTo(w.get(), QPoint(0, 0)).y(), (78 - 48) / 2);
    }

    void drawer()
    {
        QVERIFY(!w->isTrendDrawerExpanded());
        QVERIFY(!w->m_trendDrawerBody->isVisible());
        QCOMPARE(w->m_trendDrawer->width(), 0);
        QTest::mouseClick(w->m_trendDrawerButton, Qt::LeftButton);
        QVERIFY(w->isTrendDrawerExpanded());
        QVERIFY(w->m_trendDrawerBody->isVisible());
        QCOMPARE(w->m_trendDrawerButton->getIcon(), iconPath(QStringLiteral("chevron-right")));
        QTRY_COMPARE(w->m_trendDrawer->width(), 440);
        // The texts written while the drawer was 0 pixels wide are shown once it is open.
        QCOMPARE(w->m_drawerTitle->QLabel::text(), tx("solar.drawer.title"));
        QCOMPARE(w->m_drawerPowerCaption->QLabel::text(), tx("solar.drawer.powerChart"));
        // The handle stays beside the drawer's left edge.
        QCOMPARE(w->m_trendDrawerButton->geometry().right() + 1, w->m_trendDrawer->geometry().left());
        // Closing and reopening within the hide delay keeps the body.
        w->setTrendDrawerExpanded(false);
        QTest::qWait(50);
        w->setTrendDrawerExpanded(true);
        QTest::qWait(300);
        QVERIFY(w->m_trendDrawerBody->isVisible());
        w->setTrendDrawerExpanded(false);
        QTRY_VERIFY(!w->m_trendDrawerBody->isVisible());
        // The 230 ms hide and the 220 ms animation's last frame can come in either order on a busy machine.
        QTRY_COMPARE(w->m_trendDrawer->width(), 0);
        QCOMPARE(w->m_trendDrawerButton->getIcon(), iconPath(QStringLiteral("chevron-left")));
        // The first metric tile opens it too, also a click on its value.
        QWidget* tile = w->metricTiles()[0].caption->parentWidget();
        QWidget* value = w->metricTiles()[0].value;
        for (const QPoint& p : {tile->mapTo(w.get(), QPoint(5, 5)), value->mapTo(w.get(), value->rect().center())}) {
            QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, p);
            QVERIFY(w->isTrendDrawerExpanded());
            w->setTrendDrawerExpanded(false);
            QTRY_VERIFY(!w->m_trendDrawerBody->isVisible());
        }
    }

    void drawerHandleLosesHoverAsItSlides()
    {
        // The handle slides away from the pointer resting on it; the drawer now under the pointer has it.
        TEVQPushButton* handle = w->m_trendDrawerButton;
        QTest::mouseMove(handle, handle->rect().center()); // the real pointer
        QTRY_VERIFY(handle->underMouse());
        QTest::mouseClick(handle, Qt::LeftButton, {}, handle->rect().center());
        QTRY_COMPARE(w->m_trendDrawer->width(), 440);
        QTRY_VERIFY(!handle->underMouse());
        QCOMPARE(handle->getControlImpl()->getState(), TEVQtLib::CtrlStateNormal);
        QVERIFY(w->m_trendDrawer->underMouse());
        QCursor::setPos(0, 0);
        w->setTrendDrawerExpanded(false);
        QTRY_VERIFY(!w->m_trendDrawerBody->isVisible());
        QTRY_COMPARE(w->m_trendDrawer->width(), 0);
    }

    void siteButtonsDriveTheSimulator()
    {
        QSignalSpy spy(w->simulator(), &SolarPlantSimulator::snapshotChanged);
        QTest::mouseClick(w->m_siteButton6, Qt::LeftButton);
        QCOMPARE(w->currentSnapshot().plantIndex, 1);
        QTest::mouseClick(w->m_siteButton6, Qt::LeftButton); // the plant already shown: still a call
        QCOMPARE(spy.count(), 2);
        QCOMPARE(w->m_siteButton6->getThemeName(), QStringLiteral("SolarSiteButtonActive"));
        QTest::mouseClick(w->m_siteButton5, Qt::LeftButton);
        QCOMPARE(w->m_siteButton5->getThemeName(), QStringLiteral("SolarSiteButtonActive"));
    }

    // ---- dictionary, theme and icons ----

    void everyKeyTheCodeAsksForExists()
    {
        const QSet<QString> keys = literalsInSources(QStringLiteral("\"(solar\\.[A-Za-z0-9.]+)\""));
        QVERIFY(keys.size() > 60);
        auto* lm = TEVQtLib::LanguageManager::instance();
        for (const QString& key : keys) {
            QVERIFY2(lm->contains(key, QStringLiteral("en-US")), qPrintable(key));
            QVERIFY2(lm->contains(key, QStringLiteral("zh-CN")), qPrintable(key));
        }
    }

    void dictionaryLanguagesMatch()
    {
        const QJsonObject doc = readJson(QString::fromLatin1(kDictionaryPath));
        QCOMPARE(doc.value("defaultLanguage").toString(), QStringLiteral("en-US"));
        const QJsonObject en = doc.value("languages").toObject().value("en-US").toObject();
        const QJsonObject zh = doc.value("languages").toObject().value("zh-CN").toObject();
        QCOMPARE(en.size(), 207);
        QCOMPARE(en.keys(), zh.keys());
        const QRegularExpression placeholder(QStringLiteral("%\\d"));
        for (const QString& key : en.keys()) {
            QVERIFY(key.startsWith(QLatin1String("solar.")));
            const QString e = en.value(key).toString(), z = zh.value(key).toString();
            QVERIFY2(!e.isEmpty() && !z.isEmpty(), qPrintable(key));
            QStringList pe, pz;
            for (auto m = placeholder.globalMatch(e); m.hasNext();)
                pe << m.next().captured();
            for (auto m = placeholder.globalMatch(z); m.hasNext();)
                pz << m.next().captured();
            std::sort(pe.begin(), pe.end());
            std::sort(pz.begin(), pz.end());
            QVERIFY2(pe == pz, qPrintable(key));
            // Chinese texts are Chinese, except codes and units that read the same in both.
            static const QSet<QString> same = {"solar.language.english", "solar.language.chinese",
                                               "solar.format.date"};
            if (!same.contains(key) && e != z)
                continue;
            QVERIFY2(same.contains(key), qPrintable(key + QStringLiteral(": the same text in both languages")));
        }
        QCOMPARE(en.value("solar.error.themeLoad").toString(), QStringLiteral("Unable to load the Quenlark theme from:\n%1"));
        QCOMPARE(zh.value("solar.format.date").toString(), QStringLiteral("yyyy-MM-dd  HH:mm"));
        QVERIFY(zh.value("solar.diagram.coreSwitch").toString().contains(QLatin1Char('\n')));
    }

    void everyThemeNameExists()
    {
        const QString dir = themeDirectory();
        const QJsonArray styles = readJson(dir + "/style.json").value("style").toArray();
        QHash<QString, int> styleKinds;
        for (const QJsonValue& v : styles) {
            const QJsonObject o = v.toObject();
            styleKinds.insert(o.value("name").toString(), o.value("type").toInt());
            const QString clr = o.value("clr").toString();
            QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{8}$")).match(clr).hasMatch(), qPrintable(clr));
            if (o.value("type").toInt() == 1)
                QCOMPARE(o.value("drawImg").toBool(true), false);
        }
        const QJsonArray elements =
            readJson(dir + "/theme.json").value("elements").toArray().at(0).toObject().value("child").toArray();
        QSet<QString> names;
        for (const QJsonValue& v : elements) {
            const QJsonObject e = v.toObject();
            const QString name = e.value("name").toString();
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);
            // The window rewrites texts, values and themes every second: no element may carry "attr".
            QVERIFY2(!e.contains("attr"), qPrintable(name));
            for (const QJsonValue& s : e.value("style").toArray()) {
                const QString style = s.toArray().at(0).toString();
                const int kind = s.toArray().at(1).toInt();
                if (style == QLatin1String("empty"))
                    continue;
                QVERIFY2(styleKinds.value(style) == kind, qPrintable(name + " " + style));
            }
        }
        const QSet<QString> used = literalsInSources(QStringLiteral("\"(Solar[A-Z][A-Za-z]+)\""));
        QVERIFY(used.size() > 20);
        for (const QString& name : used)
            QVERIFY2(names.contains(name), qPrintable(name));
        // And the window really resolves them: a themed card is not painted in the unthemed grey.
        TEVQtLib::FillStyle fill;
        QVERIFY(TEVQtLib::tevGetFillStyle(QStringLiteral("fCard"), fill) || !names.isEmpty());
    }

    void icons()
    {
        const QStringList names = {"alarm", "calendar", "charts", "check", "chevron-down", "chevron-left",
                                   "chevron-right", "close", "controller", "critical", "history", "home", "inverter",
                                   "irradiance", "languages", "location", "logo", "logout", "maximize", "meter",
                                   "minimize", "network", "notice", "panels", "performance", "radio-off", "radio-on",
                                   "sun", "tracker", "user", "weather", "x-circle", "zap"};
        for (const QString& n : names) {
            QSvgRenderer svg(iconPath(n));
            QVERIFY2(svg.isValid(), qPrintable(n));
            QVERIFY2(svg.defaultSize() == QSize(24, 24), qPrintable(n));
        }
        for (const QString& n : literalsInSources(QStringLiteral("iconPath\\(QStringLiteral\\(\"([a-z-]+)\"\\)\\)")))
            QVERIFY2(names.contains(n), qPrintable(n));
    }

    // ---- start-up loaders ----

    void startupFailures()
    {
        QTemporaryDir tmp;
        QString message;
        QVERIFY(!loadDictionary(tmp.filePath("missing.json"), &message));
        QVERIFY(!message.isEmpty());
        QVERIFY(tevtest::writeFile(tmp.filePath("broken.json"), "{\"defaultLanguage\": \"en-US\", \"languages\": {"));
        message.clear();
        QVERIFY(!loadDictionary(tmp.filePath("broken.json"), &message));
        QVERIFY(!message.isEmpty());
        // The dictionary in use is kept.
        QCOMPARE(TEVQtLib::LanguageManager::instance()->text("solar.nav.overview").isEmpty(), false);

        TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
        const QString dir = tmp.filePath(QString::fromUtf8("无主题"));
        QVERIFY(!loadTheme(dir, &message));
        QCOMPARE(message, QStringLiteral("Unable to load the Quenlark theme from:\n") + dir);
        QVERIFY(tevtest::writeFile(dir + "/style.json", "{\"nostyle\": []}"));
        QVERIFY(!loadTheme(dir, &message));
        QVERIFY(message.endsWith(dir));
        // A non-ASCII directory holding a good theme loads.
        QVERIFY(tevtest::writeFile(dir + "/style.json", tevtest::readFile(themeDirectory() + "/style.json")));
        QVERIFY(tevtest::writeFile(dir + "/theme.json", tevtest::readFile(themeDirectory() + "/theme.json")));
        QVERIFY2(loadTheme(dir, &message), qPrintable(message));
        QVERIFY(loadTheme(themeDirectory(), &message));
    }

    void screenshotCodes()
    {
        QTemporaryDir tmp;
        const QString jpg = tmp.filePath("out/deeper/shot.jpg");
        QCOMPARE(saveScreenshot(w.get(), jpg), 0);
        const QByteArray bytes = tevtest::readFile(jpg);
        QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
        QImage image;
        QVERIFY(image.loadFromData(bytes, "PNG"));
        QCOMPARE(image.size(), w->size() * w->devicePixelRatioF());
        tevtest::keepRender(image, QStringLiteral("dashboard_window.png"));
        QVERIFY(tevtest::writeFile(tmp.filePath("file"), "x"));
        QCOMPARE(saveScreenshot(w.get(), tmp.filePath("file/shot.png")), 2);
        QCOMPARE(saveScreenshot(w.get(), tmp.path()), 2); // an existing directory

#ifdef Q_OS_UNIX
        // A write that fails part way (here: the file size limit) reports 2 and leaves an earlier file whole.
        const QString kept = tmp.filePath("kept.png");
        QVERIFY(tevtest::writeFile(kept, "earlier picture"));
        struct rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit small = saved;
        small.rlim_cur = 4096;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const int code = saveScreenshot(w.get(), kept);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(code, 2);
        QCOMPARE(tevtest::readFile(kept), QByteArray("earlier picture"));
#endif
    }
};

TEV_TEST_MAIN(PhotovoltaicPlantWindowTest)
#include "tst_dashboard.moc"
