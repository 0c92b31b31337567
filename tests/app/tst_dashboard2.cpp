// The inverter page of the dashboard and its widgets: the command switch (its state against presses and
// snapshots), the inverter cards and their status looks, the pager under the alarm filter, the plant diagram
// drawings, and the command column's wiring to the simulator.
#include "DashboardFormat.h"
#include "DashboardFixture.h"
#include "DashboardStartup.h"
#include "InverterCard.h"
#include "LanguageManager.h"
#include "PhotovoltaicPlantWindow.h"
#include "SolarPlantDiagramWidget.h"
#include "SolarPlantSimulator.h"
#include "SolarToggleSwitch.h"
#include "TEVQComboBox.h"
#include "TEVQContainer.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQProgressBar.h"
#include "TEVQPushButton.h"
#include "TEVQRadioButton.h"
#include "TEVQtLib.h"
#include "TevTest.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QPainter>
#include <QSignalSpy>

#include <memory>

using namespace quenlark;

namespace {

QString tx(const char* key)
{
    return TEVQtLib::tevText(QString::fromLatin1(key), QString());
}

InverterRow row(int index, int status)
{
    InverterRow r;
    r.index = index;
    r.name = QStringLiteral("INV 1.%1").arg(index + 1, 2, 10, QLatin1Char('0'));
    r.timestamp = QStringLiteral("07/12/2026 - 10:00:%1").arg(index, 2, 10, QLatin1Char('0'));
    r.status = status;
    r.efficiency = 97.25;
    r.voltages = {400.4, 401.6, 399.5};
    r.currents = {120.04, 119.96, 121.25};
    r.activePower = 812.34;
    r.reactivePower = -12.06;
    r.frequency = 59.996;
    r.todayEnergy = 1234.56;
    return r;
}

PlantSnapshot snapshotWith(const QVector<int>& statuses)
{
    PlantSnapshot s;
    s.capacity = 130;
    s.activePower = 66.2;
    for (int i = 0; i < statuses.size(); ++i)
        s.inverters.append(row(i, statuses[i]));
    return s;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void click(QWidget* w, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(w, button);
    QTest::mouseRelease(w, button);
}

bool thumbAtRest(const SolarToggleSwitch& s)
{
    return !s.painter()->animating;
}

QImage render(SolarPlantDiagramWidget& d, const QSize& size)
{
    d.resize(size);
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::black);
    d.render(&img);
    return img;
}

} // namespace

class PhotovoltaicPlantWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PhotovoltaicPlantWindow> w;

    void feed(const PlantSnapshot& s) { w->refreshSnapshot(s); }

private slots:
    void initTestCase()
    {
        QString message;
        QVERIFY2(openDashboard(w, &message), qPrintable(message));
    }

    void cleanupTestCase() { w.reset(); }

    // ---- command switch ----

    void toggleSwitchAlone()
    {
        SolarToggleSwitch s;
        QVERIFY(s.isChecked());
        QVERIFY(!s.getIsSwitchToLeft());
        s.resize(80, 24);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QSignalSpy spy(&s, &SolarToggleSwitch::checkedChanged);

        // Confirming the state repaints nothing and says nothing.
        QCOMPARE(tevtest::paintsCausedBy(&s, [&] { s.setChecked(true); }), 0);
        QCOMPARE(spy.count(), 0);

        // A left press toggles once; the confirming snapshot is then a no-op.
        click(&s);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), false);
        s.setChecked(false);
        QCOMPARE(spy.count(), 1);
        QTRY_VERIFY(thumbAtRest(s));
        QVERIFY(s.getIsSwitchToLeft());

        // A right press neither toggles nor moves the thumb away for good.
        click(&s, Qt::RightButton);
        QTRY_VERIFY(thumbAtRest(s));
        QCOMPARE(spy.count(), 1);
        QVERIFY(!s.isChecked());
        QVERIFY(s.getIsSwitchToLeft());

        // A disabled switch ignores presses.
        s.setEnabled(false);
        click(&s);
        QCOMPARE(spy.count(), 1);
        s.setEnabled(true);

        // Two quick presses within one slide: both reported, the thumb ends on the stored side.
        click(&s);
        click(&s);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(2).at(0).toBool(), false);
        QTRY_VERIFY(thumbAtRest(s));
        QVERIFY(!s.isChecked());
        QVERIFY(s.getIsSwitchToLeft());

        // A state set from outside after the first paint moves the thumb.
        s.setChecked(true);
        QTRY_VERIFY(thumbAtRest(s));
        QVERIFY(!s.getIsSwitchToLeft());
        // Set back during a slide towards the other side: the slide is cut short.
        QTest::mousePress(&s, Qt::LeftButton);
        s.setChecked(true);
        QTRY_VERIFY(thumbAtRest(s));
        QVERIFY(s.isChecked());
        QVERIFY(!s.getIsSwitchToLeft());
        QCOMPARE(spy.count(), 4);

        // A receiver may delete the switch (its card rebuilt) while it reports a press.
        auto* doomed = new SolarToggleSwitch;
        doomed->resize(80, 24);
        QPointer<SolarToggleSwitch> alive(doomed);
        connect(doomed, &SolarToggleSwitch::checkedChanged, this, [doomed]() { delete doomed; });
        QTest::mousePress(doomed, Qt::LeftButton);
        QVERIFY(!alive);
    }

    void commandSwitchFollowsThePlant()
    {
        w->setCurrentSection(2);
        SolarToggleSwitch* sw = w->commandSwitch();
        QVERIFY(sw);
        QVERIFY(sw->isVisible());
        SolarPlantSimulator* sim = w->simulator();
        sim->setCommandEnabled(true);
        QVERIFY(sw->isChecked());
        QTRY_VERIFY(thumbAtRest(*sw));

        // A press reaches the simulator; its snapshot comes back and agrees.
        click(sw);
        QCOMPARE(sim->snapshot().commandEnabled, false);
        QCOMPARE(w->currentSnapshot().commandEnabled, false);
        QCOMPARE(w->m_commandState->text(), tx("solar.status.off"));
        QTRY_VERIFY(thumbAtRest(*sw));
        QVERIFY(sw->getIsSwitchToLeft());

        // Quick double press: the plant ends where it started and the switch shows it.
        click(sw);
        click(sw);
        QCOMPARE(sim->snapshot().commandEnabled, false);
        QTRY_VERIFY(thumbAtRest(*sw));
        QVERIFY(!sw->isChecked());
        QVERIFY(sw->getIsSwitchToLeft());

        // Started from elsewhere (the controller page, a setter): the switch follows without a slide back.
        sim->setCommandEnabled(true);
        QVERIFY(sw->isChecked());
        QTRY_VERIFY(thumbAtRest(*sw));
        QVERIFY(!sw->getIsSwitchToLeft());
        sim->advance();
        QVERIFY(sw->isChecked());
    }

    void snapshotsNeverFeedBack()
    {
        SolarPlantSimulator* sim = w->simulator();
        sim->setCommandEnabled(true);
        sim->setSkidIndex(0);
        sim->setGroupIndex(0);
        QSignalSpy changes(sim, &SolarPlantSimulator::snapshotChanged);
        PlantSnapshot s = sim->snapshot();
        s.commandEnabled = false;
        s.skidIndex = 2;
        s.groupIndex = 1;
        feed(s);
        QVERIFY(!w->commandSwitch()->isChecked());
        QCOMPARE(changes.count(), 0);
        QCOMPARE(sim->snapshot().commandEnabled, true);
        // A language switch refills the skid choice without choosing a skid.
        w->m_skidCombo->setCurrentIndex(2);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(sim->snapshot().skidIndex, 2);
        TEVQtLib::tevSetLanguage(QStringLiteral("zh-CN"));
        TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(w->m_skidCombo->currentIndex(), 2);
        QCOMPARE(w->m_skidCombo->itemText(2), tx("solar.command.skid3"));
        feed(sim->snapshot());
        QVERIFY(w->commandSwitch()->isChecked());
        QCOMPARE(changes.count(), 1);
        sim->setSkidIndex(0);
    }

    void commandColumnWiring()
    {
        SolarPlantSimulator* sim = w->simulator();
        QCOMPARE(w->m_groupRadios.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(w->m_groupButtons->id(w->m_groupRadios[i]), i);
            QCOMPARE(w->m_groupRadios[i]->text(), tx(QStringLiteral("solar.command.group%1").arg(i + 1).toLatin1()));
        }
        QTest::mouseClick(w->m_groupRadios[2], Qt::LeftButton);
        QCOMPARE(sim->snapshot().groupIndex, 2);
        QTest::mouseClick(w->m_groupRadios[0], Qt::LeftButton);
        QCOMPARE(sim->snapshot().groupIndex, 0);
        QVERIFY(w->m_groupRadios[0]->isChecked());
        QCOMPARE(w->m_skidCombo->count(), 3);

        // Return on a radio or the skid choice presses no button of the window (a dialog would press its first
        // one: the North 5 site button); Space still presses a focused button.
        sim->setPlantIndex(1);
        QSignalSpy spy(sim, &SolarPlantSimulator::snapshotChanged);
        w->activateWindow();
        for (QWidget* target : {static_cast<QWidget*>(w->m_groupRadios[1]), static_cast<QWidget*>(w->m_skidCombo)}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
        }
        QCOMPARE(spy.count(), 0);
        w->m_siteButton5->setFocus();
        QTest::keyClick(w->m_siteButton5, Qt::Key_Space);
        QCOMPARE(sim->snapshot().plantIndex, 0);

        // The column keeps its sizes; the five cards share the row.
        w->setCurrentSection(2);
        w->setAlarmFilter(-1);
        feed(snapshotWith(QVector<int>(10, 0)));
        QTest::qWait(20);
        auto* column = w->findChild<TEVQContainer*>(QStringLiteral("commandColumn"));
        auto* card = w->findChild<TEVQContainer*>(QStringLiteral("commandCard"));
        QCOMPARE(column->width(), 260);
        QCOMPARE(card->height(), 278);
        const int cardWidth = w->inverterCards()[0]->width();
        QVERIFY(cardWidth >= InverterCard::kMinimumWidth);
        for (InverterCard* c : w->inverterCards())
            QVERIFY(qAbs(c->width() - cardWidth) <= 1);
    }

    // ---- inverter cards ----

    void cardStatusLooks_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("pill");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("value");
        QTest::newRow("ok") << 0 << "SolarStatusOk" << "solar.status.ok" << "check" << "SolarProgressOk"
                            << "SolarLabelOk";
        QTest::newRow("warning") << 1 << "SolarStatusWarn" << "solar.status.warningUpper" << "critical"
                                 << "SolarProgressWarn" << "SolarLabelWarn";
        QTest::newRow("fault") << 2 << "SolarStatusFault" << "solar.status.faultUpper" << "x-circle"
                               << "SolarProgressFault" << "SolarLabelFault";
        QTest::newRow("offline") << 3 << "SolarStatusOffline" << "solar.status.offlineUpper" << "x-circle"
                                 << "SolarProgressOffline" << "SolarLabelOffline";
        // An unknown status does not keep the previous inverter's look.
        QTest::newRow("unknown") << 7 << "SolarStatusOffline" << "solar.status.offlineUpper" << "x-circle"
                                 << "SolarProgressOffline" << "SolarLabelOffline";
    }

    void cardStatusLooks()
    {
        QFETCH(int, status);
        InverterCard card;
        card.setInverter(row(0, 0));
        card.setInverter(row(3, status));
        QTEST(card.pill()->getThemeName(), "pill");
        QFETCH(QString, key);
        QCOMPARE(card.statusText()->text(), TEVQtLib::tevText(key, QString()));
        QFETCH(QString, icon);
        QCOMPARE(card.statusIcon()->getSvgPath(), QStringLiteral(":/quenlark/icons/%1.svg").arg(icon));
        QTEST(card.efficiencyBar()->getThemeName(), "bar");
        QTEST(card.efficiencyValue()->getThemeName(), "value");
        // The theme's text style does not take the value's right alignment away.
        QCOMPARE(card.efficiencyValue()->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(card.statusText()->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        // The language switch renames the status in the card's current look.
        TEVQtLib::tevSetLanguage(QStringLiteral("zh-CN"));
        QCOMPARE(card.statusText()->text(), TEVQtLib::tevText(key, QString()));
        QCOMPARE(card.metricName(0)->text(), tx("solar.inverter.voltage"));
        QTEST(card.pill()->getThemeName(), "pill");
        TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
        QCOMPARE(card.efficiencyCaption()->text(), tx("solar.inverter.efficiency"));
    }

    // A refresh that keeps the inverter's status leaves the status pill and its icon as they were drawn (no
    // theme read again, no repaint); another status gives them the new look at once.
    void cardKeepsItsLookWhileTheStatusStays()
    {
        InverterCard card;
        card.resize(180, 320);
        card.setInverter(row(0, 1));
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        InverterRow r = row(0, 1);
        r.activePower = 640.5;
        r.efficiency = 91.0;
        QCOMPARE(tevtest::paintsCausedBy(card.pill(), [&] { card.setInverter(r); }), 0);
        QCOMPARE(card.metricValue(2)->text(), QStringLiteral("640.5 kW"));
        r.activePower = 641.5;
        QCOMPARE(tevtest::paintsCausedBy(card.statusIcon(), [&] { card.setInverter(r); }), 0);
        PaintCounter pill, icon;
        card.pill()->installEventFilter(&pill);
        card.statusIcon()->installEventFilter(&icon);

        card.setInverter(row(0, 2));
        QCoreApplication::processEvents();
        QVERIFY(pill.count > 0);
        QVERIFY(icon.count > 0);
        QCOMPARE(card.pill()->getThemeName(), QStringLiteral("SolarStatusFault"));
        QCOMPARE(card.statusIcon()->getSvgPath(), QStringLiteral(":/quenlark/icons/x-circle.svg"));
        QCOMPARE(card.efficiencyValue()->getThemeName(), QStringLiteral("SolarLabelFault"));
        QCOMPARE(card.efficiencyValue()->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        card.setInverter(row(0, 0));
        QCOMPARE(card.efficiencyBar()->getThemeName(), QStringLiteral("SolarProgressOk"));
        QCOMPARE(card.statusIcon()->getSvgPath(), QStringLiteral(":/quenlark/icons/check.svg"));
    }

    void cardValues()
    {
        InverterCard card;
        card.setInverter(row(4, 0));
        QCOMPARE(card.nameLabel()->text(), QStringLiteral("INV 1.05"));
        QCOMPARE(card.timestampLabel()->text(), QStringLiteral("07/12/2026 - 10:00:04"));
        QCOMPARE(card.efficiencyValue()->text(), QStringLiteral("97.3%").replace("97.3", fixed(97.25, 1)));
        QCOMPARE(card.efficiencyBar()->value(), 97);
        QCOMPARE(card.metricValue(0)->text(), QStringLiteral("400/402/400"));
        QCOMPARE(card.metricValue(1)->text(), QStringLiteral("120.0/120.0/121.3").replace("121.3", fixed(121.25, 1)));
        QCOMPARE(card.metricValue(2)->text(), QStringLiteral("812.3 kW"));
        QCOMPARE(card.metricValue(3)->text(), QStringLiteral("-12.1 kvar"));
        QCOMPARE(card.metricValue(4)->text(), QStringLiteral("60.00 Hz"));
        QCOMPARE(card.metricValue(5)->text(), QStringLiteral("1234.6 kWh"));
        InverterRow r = row(0, 0);
        r.efficiency = 99.5;
        card.setInverter(r);
        QCOMPARE(card.efficiencyValue()->text(), QStringLiteral("99.5%"));
        QCOMPARE(card.efficiencyBar()->value(), 100);
        r.efficiency = -4.0;
        card.setInverter(r);
        QCOMPARE(card.efficiencyBar()->value(), 0);
        r.efficiency = std::numeric_limits<double>::quiet_NaN();
        card.setInverter(r);
        QCOMPARE(card.efficiencyBar()->value(), 0);
        r.voltages.clear();
        card.setInverter(r);
        QCOMPARE(card.metricValue(0)->text(), QString());
        QCOMPARE(InverterCard::joinValues({-0.4, 1.25, 2}, 1), QStringLiteral("-0.4/1.2/2.0").replace("1.2", fixed(1.25, 1)));
    }

    // Another theme with larger captions: the metric names of a card are fitted to their new font, not cut.
    void cardNamesFollowAThemeFont()
    {
        QTemporaryDir dir;
        const QString source = quenlark::themeDirectory();
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("images"))));
        QVERIFY(QFile::copy(source + QStringLiteral("/theme.json"), dir.filePath(QStringLiteral("theme.json"))));
        QFile style(source + QStringLiteral("/style.json"));
        QVERIFY(style.open(QIODevice::ReadOnly));
        QByteArray json = style.readAll();
        const QByteArray small = R"("name": "tXs", "clr": "ff6f7f76", "size": 11)";
        QVERIFY(json.contains(small));
        json.replace(small, QByteArray(small).replace("11", "17"));
        QFile copy(dir.filePath(QStringLiteral("style.json")));
        QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write(json) == json.size());
        copy.close();

        QVERIFY(TEVQtLib::tevLoadThemeDir(dir.path().toUtf8().constData()));
        TEVQLabel* name = w->inverterCards()[0]->metricName(0);
        const int need = QFontMetrics(name->font()).horizontalAdvance(name->text());
        const int room = name->maximumWidth();
        QVERIFY(TEVQtLib::tevLoadThemeDir(source.toUtf8().constData()));
        QVERIFY2(room >= need, qPrintable(QStringLiteral("%1 px for %2").arg(room).arg(need)));
    }

    // ---- pager and alarm filter ----

    void pagerOverTenInverters()
    {
        w->setCurrentSection(2);
        // Rows 1 fault, 6 warning, 8 offline, like the plant at its first tick.
        QVector<int> statuses(10, 0);
        statuses[1] = 2;
        statuses[6] = 1;
        statuses[8] = 3;
        feed(snapshotWith(statuses));
        QCOMPARE(w->cardPage(), 0);
        const auto& cards = w->inverterCards();
        QCOMPARE(cards.size(), 5);
        for (int k = 0; k < 5; ++k) {
            QVERIFY(cards[k]->isVisible());
            QCOMPARE(cards[k]->inverter().index, k);
        }
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 1-5 / 10 inverters"));
        QVERIFY(!w->m_previousPageButton->isEnabled());
        QVERIFY(w->m_nextPageButton->isEnabled());
        QCOMPARE(w->m_pageDots[0]->getThemeName(), QStringLiteral("SolarStatusOk"));
        QCOMPARE(w->m_pageDots[1]->getThemeName(), QStringLiteral("SolarStatusOffline"));

        QTest::mouseClick(w->m_nextPageButton, Qt::LeftButton);
        QCOMPARE(w->cardPage(), 1);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(cards[k]->inverter().index, 5 + k);
        QCOMPARE(cards[1]->pill()->getThemeName(), QStringLiteral("SolarStatusWarn"));
        QCOMPARE(cards[3]->pill()->getThemeName(), QStringLiteral("SolarStatusOffline"));
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 6-10 / 10 inverters"));
        QVERIFY(w->m_previousPageButton->isEnabled());
        QVERIFY(!w->m_nextPageButton->isEnabled());
        QCOMPARE(w->m_pageDots[0]->getThemeName(), QStringLiteral("SolarStatusOffline"));
        QCOMPARE(w->m_pageDots[1]->getThemeName(), QStringLiteral("SolarStatusOk"));
        w->showNextPage(); // already on the last page
        QCOMPARE(w->cardPage(), 1);
        // A tick keeps the page.
        feed(snapshotWith(statuses));
        QCOMPARE(w->cardPage(), 1);

        // A shorter list clamps the page.
        feed(snapshotWith({0, 0, 0}));
        QCOMPARE(w->cardPage(), 0);
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 1-3 / 3 inverters"));
        QVERIFY(cards[2]->isVisible());
        QVERIFY(!cards[3]->isVisible() && !cards[4]->isVisible());
        QVERIFY(w->m_pageDots[0]->isVisible());
        QVERIFY(!w->m_pageDots[1]->isVisible());
        QTest::mouseClick(w->m_previousPageButton, Qt::LeftButton);
        QCOMPARE(w->cardPage(), 0);
    }

    void alarmFilterOverCards()
    {
        w->setCurrentSection(2);
        QVector<int> statuses = {2, 2, 0, 3, 2, 2, 1, 2, 3, 2}; // six faults, two offline, one warning
        feed(snapshotWith(statuses));
        w->showNextPage();
        QCOMPARE(w->cardPage(), 1);
        const auto& cards = w->inverterCards();

        // "Notices" keeps the offline rows.
        w->setAlarmFilter(0);
        QCOMPARE(w->cardPage(), 0);
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 1-2 / 2 inverters"));
        QCOMPARE(cards[0]->inverter().index, 3);
        QCOMPARE(cards[1]->inverter().index, 8);
        QVERIFY(!cards[2]->isVisible());

        // Critical: six faults on two pages; then a tick with fewer faults clamps the page.
        w->setAlarmFilter(2);
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 1-5 / 6 inverters"));
        w->showNextPage();
        QCOMPARE(w->cardPage(), 1);
        QCOMPARE(cards[0]->inverter().index, 9);
        QVERIFY(!cards[1]->isVisible());
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 6-6 / 6 inverters"));
        statuses[9] = 0;
        feed(snapshotWith(statuses));
        QCOMPARE(w->cardPage(), 0);
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 1-5 / 5 inverters"));

        // A filter without a match hides every card.
        w->setAlarmFilter(1);
        feed(snapshotWith(QVector<int>(10, 0)));
        for (InverterCard* c : cards)
            QVERIFY(!c->isVisible());
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 0-0 / 0 inverters"));
        QVERIFY(!w->m_previousPageButton->isEnabled());
        QVERIFY(!w->m_nextPageButton->isEnabled());
        QVERIFY(w->m_pageDots[0]->isVisible());
        QVERIFY(!w->m_pageDots[1]->isVisible());
        QCOMPARE(w->m_pageDots[0]->getThemeName(), QStringLiteral("SolarStatusOk"));

        // Back to the inverter section: no filter, first page.
        w->setCurrentSection(0);
        w->setCurrentSection(2);
        QCOMPARE(w->alarmFilter(), -1);
        QCOMPARE(w->m_cardSummary->text(), QStringLiteral("Showing 1-5 / 10 inverters"));
        for (InverterCard* c : cards)
            QVERIFY(c->isVisible());
    }

    void languageOnInverterPage()
    {
        w->setCurrentSection(2);
        feed(snapshotWith({0, 1, 2, 3, 0, 0, 0, 0, 0, 0}));
        TEVQtLib::tevSetLanguage(QStringLiteral("zh-CN"));
        QCOMPARE(w->m_cardSummary->text(), tx("solar.summary.page").arg(1).arg(5).arg(10));
        QCOMPARE(w->m_commandTitle->text(), tx("solar.command.title"));
        QCOMPARE(w->m_commandSelection->text(), tx("solar.command.selection"));
        QCOMPARE(w->m_activePowerCaption->text(), tx("solar.metric.activePower"));
        QCOMPARE(w->m_inverterPageTitle->text(), tx("solar.nav.inverters"));
        QCOMPARE(w->findChild<TEVQLabel*>(QStringLiteral("skidLabel"))->text(), tx("solar.command.skid"));
        QCOMPARE(w->inverterCards()[2]->statusText()->text(), tx("solar.status.faultUpper"));
        QCOMPARE(w->m_skidCombo->itemText(0), tx("solar.command.skid1"));
        QVERIFY(!w->m_cardSummary->text().startsWith(QLatin1String("Showing")));
        TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
        QCOMPARE(w->inverterCards()[2]->statusText()->text(), QStringLiteral("FAULT"));
    }

    // ---- plant diagram ----

    void diagramStatusBoard()
    {
        SolarPlantDiagramWidget d(0);
        QCOMPARE(d.minimumSize(), QSize(360, 260));
        d.setSnapshot(snapshotWith({0, 2, 0, 0, 0, 0, 1, 0, 3, 0}));
        const QImage img = render(d, QSize(900, 600));
        tevtest::keepRender(img, QStringLiteral("diagram-status.png"));
        // R = (18, 18, 864, 564); array area A = (48, 48, 714, 504); h = 126, w = 119.
        auto marker = [](int i) {
            const int r = i < 6 ? 1 : 3, c = i < 6 ? i : i - 4;
            return QPointF(48 + (c + 0.5) * 119.0, 48 + (r + 0.15) * 126.0);
        };
        auto colourAt = [&img](const QPointF& p) { return QColor(img.pixel((p + QPointF(-12, 0)).toPoint())); };
        QCOMPARE(colourAt(marker(0)), QColor(153, 207, 105));
        QCOMPARE(colourAt(marker(1)), QColor(222, 82, 82));
        QCOMPARE(colourAt(marker(6)), QColor(235, 166, 64));
        QCOMPARE(colourAt(marker(8)), QColor(158, 170, 164));
        QCOMPARE(colourAt(marker(9)), QColor(153, 207, 105));
        QCOMPARE(QColor(img.pixel(2, 2)), QColor(Qt::white));

        // Three rows: three markers; the place of the fourth shows the panel.
        d.setSnapshot(snapshotWith({0, 0, 0}));
        const QImage three = render(d, QSize(900, 600));
        QCOMPARE(QColor(three.pixel((marker(2) + QPointF(-12, 0)).toPoint())), QColor(153, 207, 105));
        QVERIFY(QColor(three.pixel((marker(3) + QPointF(-12, 0)).toPoint())) != QColor(153, 207, 105));
        // Twelve rows draw ten markers, as ten rows do.
        d.setSnapshot(snapshotWith(QVector<int>(10, 1)));
        const QImage ten = render(d, QSize(900, 600));
        d.setSnapshot(snapshotWith(QVector<int>(12, 1)));
        QCOMPARE(render(d, QSize(900, 600)), ten);
        // No rows and the smallest size.
        d.setSnapshot(PlantSnapshot());
        QVERIFY(!render(d, QSize(360, 260)).isNull());
    }

    // Each marker's number is drawn white and centred on its marker, in every status colour, and again alike
    // at the next paint (the numbers are laid out once).
    void diagramMarkerNumbers()
    {
        SolarPlantDiagramWidget d(0);
        d.setSnapshot(snapshotWith({0, 1, 2, 3, 0, 1, 2, 3, 0, 1}));
        const QImage img = render(d, QSize(900, 600));
        for (int i = 0; i < 10; ++i) {
            const int r = i < 6 ? 1 : 3, c = i < 6 ? i : i - 4;
            const QPoint centre = QPointF(48 + (c + 0.5) * 119.0, 48 + (r + 0.15) * 126.0).toPoint();
            // The whitish pixels inside the marker's white outline (radius 18): no status colour has all its
            // channels at 200 or more.
            QRect white;
            for (int y = -14; y <= 14; ++y) {
                for (int x = -14; x <= 14; ++x) {
                    const QPoint at = centre + QPoint(x, y);
                    const QRgb c = img.pixel(at);
                    if (x * x + y * y <= 14 * 14 && qMin(qMin(qRed(c), qGreen(c)), qBlue(c)) >= 200)
                        white |= QRect(at, QSize(1, 1));
                }
            }
            QVERIFY2(!white.isEmpty(), qPrintable(QString::number(i)));
            QVERIFY(qAbs(white.center().x() - centre.x()) <= 2);
            QVERIFY(qAbs(white.center().y() - centre.y()) <= 2);
            QVERIFY(white.width() < 20 && white.height() < 16);
        }
        QCOMPARE(render(d, QSize(900, 600)), img);
    }

    void diagramSingleLineAndNetwork()
    {
        SolarPlantDiagramWidget line(1);
        PlantSnapshot s = snapshotWith({});
        s.activePower = 0;
        line.setSnapshot(s);
        const QImage img = render(line, QSize(900, 600));
        tevtest::keepRender(img, QStringLiteral("diagram-single-line.png"));
        // R = (18, 18, 864, 564); cy = 300; x0 = 38; step = 164.8: the inverters box starts at 367.6.
        QCOMPARE(QColor(img.pixel(372, 270)), QColor(218, 234, 222));
        QCOMPARE(QColor(img.pixel(42, 270)), QColor(247, 250, 248));
        // The bus between two boxes.
        QCOMPARE(QColor(img.pixel(140, 300)), QColor(128, 173, 139));
        QVERIFY(!render(line, QSize(360, 260)).isNull());

        SolarPlantDiagramWidget network(2), other(7);
        const QImage net = render(network, QSize(900, 600));
        tevtest::keepRender(net, QStringLiteral("diagram-network.png"));
        QCOMPARE(render(other, QSize(900, 600)), net);
        // Core box fill left of its text; the remote operations dot is amber.
        QCOMPARE(QColor(net.pixel(450 - 64, 300 - 30)), QColor(218, 234, 222));
        QCOMPARE(QColor(net.pixel(450, 582 - 48 + 28 - 10)), QColor(235, 166, 64));
        QVERIFY(render(line, QSize(900, 600)) != net);
    }

    void diagramKeptDrawingFollowsItsInputs()
    {
        // A diagram keeps what changes only with its size and the language between paints: after each change
        // of the snapshot, the language or the size, its picture is the one a new diagram draws (at 400 x 300
        // the single-line boxes overlap and are drawn whole).
        struct Step {
            int statuses;
            const char* language;
            QSize size;
        };
        const Step steps[] = {{0, "en-US", {900, 600}}, {1, "en-US", {900, 600}}, {1, "zh-CN", {900, 600}},
                              {1, "zh-CN", {700, 500}}, {0, "zh-CN", {400, 300}}, {1, "en-US", {400, 300}},
                              {0, "en-US", {900, 600}}};
        PlantSnapshot snapshots[2] = {snapshotWith({0, 2, 1}), snapshotWith({3, 0, 0, 1, 2})};
        snapshots[1].capacity = 40;
        snapshots[1].activePower = 3.25;
        for (int mode : {0, 1, 2}) {
            SolarPlantDiagramWidget kept(mode);
            QImage previous;
            for (const Step& step : steps) {
                TEVQtLib::tevSetLanguage(QString::fromLatin1(step.language));
                kept.setSnapshot(snapshots[step.statuses]);
                SolarPlantDiagramWidget fresh(mode);
                fresh.setSnapshot(snapshots[step.statuses]);
                const QImage img = render(kept, step.size);
                QCOMPARE(img, render(fresh, step.size));
                // Every step but the network's snapshot changes shows.
                if (mode != 2 && previous.size() == img.size())
                    QVERIFY(img != previous);
                previous = img;
            }
        }
        TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
    }

    // Rendered into a device of ratio 2 after a paint at ratio 1, the kept drawing is made again at ratio 2: the
    // network diagram (all of it kept) is not the ratio 1 picture doubled, whose 2 x 2 device pixels all agree.
    void diagramKeptDrawingFollowsTheDevicePixelRatio()
    {
        SolarPlantDiagramWidget d(2);
        d.setSnapshot(snapshotWith({0, 2, 1}));
        render(d, QSize(400, 300));
        QImage img(800, 600, QImage::Format_ARGB32);
        img.setDevicePixelRatio(2);
        img.fill(Qt::black);
        d.render(&img);
        int split = 0;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2) {
                const QRgb c = img.pixel(x, y);
                split += img.pixel(x + 1, y) != c || img.pixel(x, y + 1) != c || img.pixel(x + 1, y + 1) != c;
            }
        QVERIFY2(split > 200, qPrintable(QString::number(split)));
        tevtest::keepRender(img, QStringLiteral("diagram-network-ratio2.png"));
    }

    void windowFeedsDiagrams()
    {
        // The window hands every snapshot to every diagram it holds.
        for (SolarPlantDiagramWidget* d : w->m_diagrams) {
            feed(snapshotWith({3, 3}));
            QCOMPARE(d->snapshot().inverters.size(), 2);
        }
        auto* extra = new SolarPlantDiagramWidget(0, w->pages()[0]);
        w->m_diagrams.append(extra);
        w->simulator()->advance();
        QCOMPARE(extra->snapshot().inverters.size(), 10);
        w->m_diagrams.removeAll(extra);
        delete extra;
    }
};

TEV_TEST_MAIN(PhotovoltaicPlantWindowTest)
#include "tst_dashboard2.moc"
