// The plant model: published figures and rounding at many ticks, the 24-hour series, signal cadence and order,
// the setters' clamping, value semantics of the record, queued delivery, the timer's interval floor, and the
// safety of receivers that change the selection while they handle a snapshot.
//
// The expected values come from simulator_reference.py, an independent model of the formulas.
#include "TevTest.h"

#include "SolarPlantSimulator.h"
#include "simulator_cases.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMetaMethod>
#include <QMutex>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QThread>

#include <climits>
#include <functional>
#include <memory>

// Lets the tests place the counter where driving it tick by tick would take hours.
class SimulatorTestAccess
{
public:
    static void setTick(SolarPlantSimulator& sim, qint64 tick) { sim.m_tick = tick; }
    static int interval(const SolarPlantSimulator& sim) { return sim.m_timer.interval(); }
    static bool isActive(const SolarPlantSimulator& sim) { return sim.m_timer.isActive(); }
};

namespace {

// Exact comparison that prints both values in full.
#define CHECK_VALUE(actual, expected)                                                                             \
    QCOMPARE(QByteArray::number(double(actual), 'g', 17), QByteArray::number(double(expected), 'g', 17))

// Runs ticks until the counter reaches `tick`; far ticks are reached by placing the counter just before.
void advanceTo(SolarPlantSimulator& sim, qint64 tick)
{
    qint64 current = sim.tickCount();
    if (tick - current > 100000) {
        SimulatorTestAccess::setTick(sim, tick - 1);
        current = tick - 1;
    }
    for (; current < tick; ++current)
        sim.advance();
}

QVector<double> seriesOf(const SimulatorSeries& s, int which)
{
    return QVector<double>(std::begin(s.values[which]), std::end(s.values[which]));
}

QByteArray describe(const QVector<double>& v)
{
    QByteArray out;
    for (double d : v)
        out += QByteArray::number(d, 'g', 17) + ' ';
    return out;
}

// The series in the reference table's order.
const QVector<double> PlantSnapshot::*const kSeries[5] = {
    &PlantSnapshot::expectedPowerHistory, &PlantSnapshot::actualPowerHistory, &PlantSnapshot::irradianceHistory,
    &PlantSnapshot::temperatureHistory, &PlantSnapshot::availabilityHistory};

void checkSeries(const PlantSnapshot& s, const SimulatorSeries& expected)
{
    for (int i = 0; i < 5; ++i)
        QCOMPARE(describe(s.*kSeries[i]), describe(seriesOf(expected, i)));
}

QVector<double> figures(const PlantSnapshot& s)
{
    return {s.capacity,     s.performanceRatio, s.activePower, s.dailyEnergy,   s.monthlyEnergy,
            s.annualEnergy, s.lifetimeEnergy,   s.moduleTemperature,   s.ambientTemperature,
            s.irradiance,   s.windSpeed,        s.windDirection,       s.humidity,      s.gridVoltage,
            s.gridFrequency, s.powerFactor,     s.availability,        s.curtailment,   s.co2Avoided};
}

QVector<double> numbers(const InverterRow& r)
{
    return QVector<double>{r.efficiency} + r.voltages + r.currents +
           QVector<double>{r.activePower, r.reactivePower, r.frequency, r.todayEnergy};
}

// Every field of a record as text, time stamps included: records with equal text are equal.
QByteArray describe(const PlantSnapshot& s)
{
    QByteArray out = describe(QVector<double>{double(s.plantIndex), double(s.groupIndex), double(s.skidIndex),
                               double(s.commandEnabled), double(s.offlineCount), double(s.warningCount),
                               double(s.faultCount)}) + describe(figures(s));
    for (const InverterRow& r : s.inverters) {
        out += (r.name + '|' + r.timestamp + '|').toUtf8();
        out += describe(QVector<double>{double(r.index), double(r.status)} + numbers(r));
    }
    out += s.hourLabels.join(QLatin1Char(',')).toUtf8();
    for (const auto series : kSeries)
        out += '|' + describe(s.*series);
    return out;
}

bool sameRecord(const PlantSnapshot& a, const PlantSnapshot& b) { return describe(a) == describe(b); }

// Compares numbers exactly, naming the first that differs.
void checkNumbers(const char* what, const QVector<double>& actual, const QVector<double>& expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (int k = 0; k < expected.size(); ++k) {
        const QByteArray a = QByteArray::number(actual[k], 'g', 17);
        const QByteArray e = QByteArray::number(expected[k], 'g', 17);
        QVERIFY2(a == e, (QByteArray(what) + ' ' + QByteArray::number(k) + ": " + a + " != " + e).constData());
    }
}

void checkRow(const InverterRow& row, const SimulatorRowCase& e)
{
    QCOMPARE(row.index, e.index);
    QCOMPARE(row.name, QString::fromLatin1(e.name));
    QCOMPARE(row.status, e.status);
    checkNumbers(e.name, numbers(row),
                 {e.efficiency, e.voltages[0], e.voltages[1], e.voltages[2], e.currents[0], e.currents[1],
                  e.currents[2], e.activePower, e.reactivePower, e.frequency, e.todayEnergy});
}

void checkCase(const PlantSnapshot& s, const SimulatorCase& e)
{
    QCOMPARE(QVector<int>({s.plantIndex, s.groupIndex, s.skidIndex, int(s.commandEnabled)}),
             QVector<int>({e.plant, e.group, e.skid, int(e.command)}));
    checkNumbers("figure", figures(s), QVector<double>(std::begin(e.figures), std::end(e.figures)));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(QVector<int>({s.offlineCount, s.warningCount, s.faultCount}),
             QVector<int>({e.offline, e.warning, e.fault}));
    QCOMPARE(s.inverters.size(), 10);
    for (const SimulatorRowCase& row : e.rows) {
        checkRow(s.inverters[row.index], row);
        if (QTest::currentTestFailed())
            return;
    }
}

const SimulatorCase& caseAt(long long tick, int plant = 0, int group = 0, int skid = 0, bool command = true)
{
    for (const SimulatorCase& c : kSimulatorCases) {
        if (c.tick == tick && c.plant == plant && c.group == group && c.skid == skid && c.command == command)
            return c;
    }
    qFatal("no reference case for tick %lld", tick);
}

// Records the simulator's signals in the order they arrive, with a copy of each record.
struct Recorder
{
    QStringList events;
    QVector<PlantSnapshot> records;
    QObject context;

    explicit Recorder(SolarPlantSimulator& sim)
    {
        QObject::connect(&sim, &SolarPlantSimulator::snapshotChanged, &context, [this](const PlantSnapshot& s) {
            events << QStringLiteral("snapshot");
            records << s;
        });
        QObject::connect(&sim, &SolarPlantSimulator::chartHistoryChanged, &context, [this](const PlantSnapshot& s) {
            events << QStringLiteral("chart");
            records << s;
        });
    }
    void clear() { events.clear(); records.clear(); }
};

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: nothing in the process has touched the type before the simulator is constructed.
    void metaTypeIsRegisteredByName()
    {
        QCOMPARE(QMetaType::type("PlantSnapshot"), int(QMetaType::UnknownType));
        {
            SolarPlantSimulator sim;
            const int byName = QMetaType::type("PlantSnapshot");
            QVERIFY(byName != QMetaType::UnknownType);
            QCOMPARE(byName, qMetaTypeId<PlantSnapshot>());

            // Both signals carry the registered type.
            const QMetaObject* mo = sim.metaObject();
            for (const char* signal : {"snapshotChanged(PlantSnapshot)", "chartHistoryChanged(PlantSnapshot)"})
                QCOMPARE(mo->method(mo->indexOfSignal(signal)).parameterType(0), byName);
        }
        SolarPlantSimulator second; // registering again keeps the one type
        QCOMPARE(registerPlantSnapshotMetaType(), qMetaTypeId<PlantSnapshot>());

        // The registered type copies a record intact.
        const int id = qMetaTypeId<PlantSnapshot>();
        void* copy = QMetaType::create(id, &second.snapshot());
        QVERIFY(sameRecord(*static_cast<PlantSnapshot*>(copy), second.snapshot()));
        QMetaType::destroy(id, copy);
    }

    void constructionHoldsTickZero()
    {
        SolarPlantSimulator sim;
        Recorder rec(sim);
        QCOMPARE(sim.tickCount(), 0);
        checkCase(sim.snapshot(), caseAt(0));
        if (QTest::currentTestFailed())
            return;
        checkSeries(sim.snapshot(), kConstructionSeries);

        QCOMPARE(sim.snapshot().hourLabels.size(), 24);
        QCOMPARE(sim.snapshot().hourLabels.last(), QStringLiteral("23:00"));

        // Names and the time stamps, which are the only input taken from the clock.
        const QRegularExpression stampFormat(QStringLiteral("^\\d{2}/\\d{2}/\\d{4} - \\d{2}:\\d{2}:\\d{2}$"));
        const QDateTime now = QDateTime::currentDateTime();
        for (int i = 0; i < 10; ++i) {
            const InverterRow& row = sim.snapshot().inverters[i];
            QCOMPARE(row.name, QString::asprintf("INV 1.%02d", i + 1));
            QVERIFY2(stampFormat.match(row.timestamp).hasMatch(), qPrintable(row.timestamp));
            const QDateTime stamp = QDateTime::fromString(row.timestamp, QStringLiteral("dd/MM/yyyy - HH:mm:ss"));
            QVERIFY(stamp.isValid() && qAbs(stamp.secsTo(now)) <= 5);
        }

        // Construction starts nothing: the event loop produces no tick.
        QTest::qWait(150);
        QCOMPARE(sim.tickCount(), 0);
        QVERIFY(rec.events.isEmpty());
    }

    // Every figure, rounding included, at ticks across the first day, the clock's wrap, exact halves of the
    // direction figure, both sites, every group and skid, the command off and past the 32-bit range.
    void figuresFollowTheModel()
    {
        for (const SimulatorCase& c : kSimulatorCases) {
            SolarPlantSimulator sim;
            sim.setPlantIndex(c.plant);
            sim.setGroupIndex(c.group);
            sim.setSkidIndex(c.skid);
            sim.setCommandEnabled(c.command);
            advanceTo(sim, c.tick);
            checkCase(sim.snapshot(), c);
            if (QTest::currentTestFailed())
                return qWarning("case tick %lld plant %d group %d skid %d command %d", c.tick, c.plant, c.group,
                                c.skid, int(c.command));
        }
    }

    // Figures depend on the tick and the current selection only, whenever the selection was made.
    void selectionOrderDoesNotMatter()
    {
        const SimulatorCase& c = caseAt(37, 1, 2, 2);
        SolarPlantSimulator middle;
        advanceTo(middle, 10);
        middle.setGroupIndex(2);
        middle.setCommandEnabled(false);
        advanceTo(middle, 20);
        middle.setPlantIndex(1);
        middle.setSkidIndex(2);
        middle.setCommandEnabled(true);
        advanceTo(middle, 37);
        checkCase(middle.snapshot(), c);

        // The command back on restores the rows' own states.
        SolarPlantSimulator toggled;
        toggled.setCommandEnabled(false);
        QCOMPARE(toggled.snapshot().offlineCount, 9);
        toggled.setCommandEnabled(true);
        checkCase(toggled.snapshot(), caseAt(0));
    }

    void ticksAndSeriesCadence()
    {
        // One snapshotChanged per tick; on every fifth tick the series are rebuilt before snapshotChanged carries
        // them and chartHistoryChanged follows with the same record. In between the series stay as they were.
        SolarPlantSimulator sim;
        Recorder rec(sim);
        const QStringList one{QStringLiteral("snapshot")};
        const QStringList both{QStringLiteral("snapshot"), QStringLiteral("chart")};
        for (int tick = 1; tick <= 10; ++tick) {
            rec.clear();
            sim.advance();
            QCOMPARE(sim.tickCount(), tick);
            QCOMPARE(rec.events, tick % 5 ? one : both);
            if (tick < 10)
                checkSeries(rec.records[0], tick < 5 ? kConstructionSeries : kTick5Series);
            if (tick == 5) {
                QVERIFY(sameRecord(rec.records[0], rec.records[1]));
                checkCase(rec.records[0], caseAt(5));
            }
        }
        QVERIFY(sim.snapshot().availabilityHistory != seriesOf(kTick5Series, 4));

        // The series ignore the selection and the command.
        sim.setPlantIndex(1);
        sim.setSkidIndex(2);
        sim.setCommandEnabled(false);
        advanceTo(sim, 360);
        checkSeries(sim.snapshot(), kTick360Series);
    }

    void settersClampStoreAndEmit()
    {
        // Each setter with the record field it stores to; the command is stored as 0 or 1.
        using Setter = std::function<int(SolarPlantSimulator&, int)>;
        const Setter plant = [](SolarPlantSimulator& s, int v) { s.setPlantIndex(v); return s.snapshot().plantIndex; };
        const Setter group = [](SolarPlantSimulator& s, int v) { s.setGroupIndex(v); return s.snapshot().groupIndex; };
        const Setter skid = [](SolarPlantSimulator& s, int v) { s.setSkidIndex(v); return s.snapshot().skidIndex; };
        const Setter command = [](SolarPlantSimulator& s, int v) {
            s.setCommandEnabled(v != 0);
            return int(s.snapshot().commandEnabled);
        };
        // Just past each limit, the extremes, and a value set twice (unchanged still emits).
        const struct { const char* name; const Setter& set; int value, stored; } steps[] = {
            {"plant", plant, 2, 1},     {"plant", plant, INT_MIN, 0}, {"group", group, INT_MAX, 2},
            {"group", group, 1, 1},     {"group", group, 1, 1},       {"skid", skid, -1, 0},
            {"command", command, 0, 0}, {"command", command, 1, 1}};

        SolarPlantSimulator sim;
        advanceTo(sim, 7);
        const PlantSnapshot series = sim.snapshot();
        Recorder rec(sim);
        for (const auto& step : steps) {
            rec.clear();
            const QByteArray where = QByteArray(step.name) + ' ' + QByteArray::number(step.value);
            QVERIFY2(step.set(sim, step.value) == step.stored, where.constData());
            // Both signals, once each, snapshot first, even for an unchanged value; the tick and series stay.
            QVERIFY2(rec.events == (QStringList{QStringLiteral("snapshot"), QStringLiteral("chart")}), where);
            QVERIFY2(sameRecord(rec.records[0], sim.snapshot()), where.constData());
            QVERIFY2(sameRecord(rec.records[1], sim.snapshot()), where.constData());
            QCOMPARE(sim.tickCount(), 7);
            QCOMPARE(sim.snapshot().actualPowerHistory, series.actualPowerHistory);
            QCOMPARE(sim.snapshot().availabilityHistory, series.availabilityHistory);
        }

        // The rows follow the skid and the command.
        sim.setSkidIndex(2);
        QCOMPARE(sim.snapshot().inverters[9].name, QStringLiteral("INV 3.10"));
        sim.setSkidIndex(0);
        sim.setCommandEnabled(false);
        const PlantSnapshot& off = sim.snapshot();
        CHECK_VALUE(off.activePower, 0.0);
        CHECK_VALUE(off.irradiance, 0.0);
        QCOMPARE(QVector<int>({off.offlineCount, off.warningCount, off.faultCount}), QVector<int>({9, 0, 1}));
        for (const InverterRow& row : off.inverters) {
            QCOMPARE(row.status, row.index == 1 ? 2 : 3);
            if (row.index != 1) {
                CHECK_VALUE(row.frequency, 0.0);
                CHECK_VALUE(row.todayEnergy, 0.0);
                QVERIFY(row.voltages[0] > 800.0 && row.currents[0] > 18.0);
            }
        }
    }

    // The record a receiver is handed stays whole while the receiver changes the selection, even while it is
    // walking the rows; later signals carry the newer record.
    void receiverMayChangeSelectionInsideItsSlot()
    {
        SolarPlantSimulator sim;
        advanceTo(sim, 4);
        Recorder rec(sim);
        QStringList namesSeen;
        bool nested = false;
        bool intactDuringCall = true;
        QObject context;
        QObject::connect(&sim, &SolarPlantSimulator::snapshotChanged, &context, [&](const PlantSnapshot& s) {
            if (nested)
                return;
            nested = true;
            const PlantSnapshot before = s;
            for (const InverterRow& row : s.inverters) {
                if (row.index == 3) {
                    sim.setSkidIndex(2);
                    sim.setCommandEnabled(false);
                    sim.advance(); // a tick from inside, too
                }
                namesSeen << row.name;
            }
            intactDuringCall = sameRecord(s, before) && s.commandEnabled && s.skidIndex == 0;
            nested = false;
        });

        sim.advance(); // tick 5
        QVERIFY(intactDuringCall);
        QCOMPARE(namesSeen.size(), 10);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(namesSeen[i], QString::asprintf("INV 1.%02d", i + 1));

        // Outer snapshot (tick 5), the two setters' pairs, the nested tick 6, then the outer tick's chart signal
        // with the latest record.
        const QStringList order{QStringLiteral("snapshot"), QStringLiteral("snapshot"), QStringLiteral("chart"),
                                QStringLiteral("snapshot"), QStringLiteral("chart"),    QStringLiteral("snapshot"),
                                QStringLiteral("chart")};
        QCOMPARE(rec.events, order);
        checkCase(rec.records[0], caseAt(5));
        QCOMPARE(rec.records[2].skidIndex, 2);
        QVERIFY(rec.records[3].commandEnabled == false);
        QCOMPARE(sim.tickCount(), 6);
        QVERIFY(sameRecord(rec.records.last(), sim.snapshot()));
        QCOMPARE(rec.records.last().offlineCount, 9);
    }

    // A receiver may delete the simulator (its owner going away) on a tick or a setter that has a second
    // signal to send: nothing is read or sent afterwards.
    void receiverMayDeleteTheSimulator()
    {
        for (int setter = 0; setter < 2; ++setter) {
            auto* sim = new SolarPlantSimulator;
            advanceTo(*sim, 4);
            int charts = 0;
            QObject context;
            QObject::connect(sim, &SolarPlantSimulator::snapshotChanged, &context, [&sim](const PlantSnapshot&) {
                delete sim;
                sim = nullptr;
            });
            QObject::connect(sim, &SolarPlantSimulator::chartHistoryChanged, &context,
                             [&charts](const PlantSnapshot&) { ++charts; });
            if (setter)
                sim->setSkidIndex(1);
            else
                sim->advance(); // tick 5
            QVERIFY(!sim);
            QCOMPARE(charts, 0);
        }
    }

    void queuedReceiverGetsIntactCopies()
    {
        QThread thread;
        QObject receiver;
        receiver.moveToThread(&thread);
        thread.start();

        QMutex mutex;
        QVector<PlantSnapshot> snapshots;
        QVector<PlantSnapshot> charts;
        {
            SolarPlantSimulator sim;
            const auto into = [&](QVector<PlantSnapshot>& list) {
                return [&mutex, &list](const PlantSnapshot& s) { QMutexLocker lock(&mutex); list << s; };
            };
            const auto queued = Qt::QueuedConnection;
            QObject::connect(&sim, &SolarPlantSimulator::snapshotChanged, &receiver, into(snapshots), queued);
            QObject::connect(&sim, &SolarPlantSimulator::chartHistoryChanged, &receiver, into(charts), queued);
            for (int i = 0; i < 15; ++i)
                sim.advance();
            sim.setSkidIndex(2);
        } // the simulator is gone before the receiver reads its copies

        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     QMutexLocker lock(&mutex);
                                     return snapshots.size() == 16 && charts.size() == 4;
                                 }()),
                                 10000);
        thread.quit();
        thread.wait();

        checkCase(snapshots[0], caseAt(1));
        checkCase(snapshots[14], caseAt(15));
        checkSeries(charts[0], kTick5Series);
        QCOMPARE(charts[3].skidIndex, 2);
        QCOMPARE(snapshots[15].inverters[0].name, QStringLiteral("INV 3.01"));
    }

    void timerIntervalHasAFloor()
    {
        SolarPlantSimulator sim;
        QVector<qint64> stamps;
        QElapsedTimer clock;
        clock.start();
        QObject context;
        QObject::connect(&sim, &SolarPlantSimulator::snapshotChanged, &context,
                         [&](const PlantSnapshot&) { stamps << clock.elapsed(); });

        // The interval itself is checked, not the measured gaps, which a loaded machine stretches or squeezes.
        for (int interval : {0, 49, 50}) {
            stamps.clear();
            sim.start(interval);
            QCOMPARE(SimulatorTestAccess::interval(sim), qMax(interval, 50));
            QVERIFY(SimulatorTestAccess::isActive(sim));
            QTRY_VERIFY_WITH_TIMEOUT(stamps.size() >= 2, 10000);
            sim.stop();
            QVERIFY(!SimulatorTestAccess::isActive(sim));
        }

        // Stopped: no ticks, the counter stays; a later start continues from it.
        const int kept = sim.tickCount();
        stamps.clear();
        QTest::qWait(200);
        QVERIFY(stamps.isEmpty());
        QCOMPARE(sim.tickCount(), kept);

        // start() runs at one second; starting again while running takes the new interval.
        sim.start(10);
        sim.start();
        QCOMPARE(SimulatorTestAccess::interval(sim), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!stamps.isEmpty(), 10000);
        sim.stop();
        QCOMPARE(sim.tickCount(), kept + 1);
    }

    // The counter keeps counting past the 32-bit range without overflow: figures keep growing, the public
    // count saturates.
    void counterPastTheIntRange()
    {
        SolarPlantSimulator sim;
        SimulatorTestAccess::setTick(sim, qint64(INT_MAX) - 1);
        sim.advance();
        QCOMPARE(sim.tickCount(), INT_MAX);
        checkCase(sim.snapshot(), caseAt(2147483647LL));
        if (QTest::currentTestFailed())
            return;

        QSignalSpy charts(&sim, &SolarPlantSimulator::chartHistoryChanged);
        sim.advance();
        QCOMPARE(sim.tickCount(), INT_MAX);
        checkCase(sim.snapshot(), caseAt(2147483648LL));
        QVERIFY(sim.snapshot().dailyEnergy > 0.0);
        sim.advance();
        QCOMPARE(charts.count(), 0);
        sim.advance(); // 2147483650 is a fifth tick
        QCOMPARE(charts.count(), 1);
        checkSeries(sim.snapshot(), kTick2147483650Series);
    }
};

TEV_TEST_MAIN(TestSimulator)
#include "tst_simulator.moc"
