#include "SolarPlantSimulator.h"

#include <QDateTime>
#include <QPointer>
#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kMinimumIntervalMs = 50;
constexpr int kInverterCount = 10;
constexpr int kHours = 24;

constexpr InverterStatus kStatusOk = 0;
constexpr InverterStatus kStatusWarning = 1;
constexpr InverterStatus kStatusFault = 2;
constexpr InverterStatus kStatusOffline = 3;

InverterStatus baseStatus(int row)
{
    switch (row) {
    case 1: return kStatusFault;
    case 6: return kStatusWarning;
    case 8: return kStatusOffline;
    default: return kStatusOk;
    }
}

double statusFactor(InverterStatus status)
{
    switch (status) {
    case kStatusOk: return 1.0;
    case kStatusWarning: return 0.72;
    case kStatusFault: return 0.08;
    default: return 0.0;
    }
}

// Height of the sun for a clock hour (6 = sunrise, 18 = sunset), never below the horizon.
double sunHeight(double hour)
{
    return std::max(std::sin((hour - 6.0) / 12.0 * kPi), 0.0);
}

} // namespace

SolarPlantSimulator::SolarPlantSimulator(QObject* parent)
    : QObject(parent)
{
    registerPlantSnapshotMetaType();
    connect(&m_timer, &QTimer::timeout, this, &SolarPlantSimulator::advance);
    rebuildHistory();
    rebuildSnapshot(false);
}

SolarPlantSimulator::~SolarPlantSimulator() = default;

int SolarPlantSimulator::tickCount() const
{
    return m_tick > INT_MAX ? INT_MAX : static_cast<int>(m_tick);
}

void SolarPlantSimulator::start(int intervalMs)
{
    m_timer.start(std::max(intervalMs, kMinimumIntervalMs));
}

void SolarPlantSimulator::stop()
{
    m_timer.stop();
}

void SolarPlantSimulator::advance()
{
    ++m_tick;
    const bool withHistory = m_tick % 5 == 0;
    rebuildSnapshot(withHistory);
    publish(withHistory);
}

void SolarPlantSimulator::setPlantIndex(int index)
{
    m_snapshot.plantIndex = qBound(0, index, 1);
    selectionChanged();
}

void SolarPlantSimulator::setGroupIndex(int index)
{
    m_snapshot.groupIndex = qBound(0, index, 2);
    selectionChanged();
}

void SolarPlantSimulator::setSkidIndex(int index)
{
    m_snapshot.skidIndex = qBound(0, index, 2);
    selectionChanged();
}

void SolarPlantSimulator::setCommandEnabled(bool enabled)
{
    m_snapshot.commandEnabled = enabled;
    selectionChanged();
}

// A selection change rebuilds the figures and rows (not the series) and asks for both a refresh and a redraw,
// even when the value did not change.
void SolarPlantSimulator::selectionChanged()
{
    rebuildSnapshot(false);
    publish(true);
}

// Receivers run synchronously and may call a setter, which rewrites m_snapshot. Each signal therefore carries
// a copy (a handful of reference counts: every container is shared) so the record a receiver holds stays intact
// for the whole call; a signal emitted after a nested change carries the newer record. A receiver may also
// delete the simulator: nothing is sent after that.
void SolarPlantSimulator::publish(bool withHistory)
{
    const QPointer<SolarPlantSimulator> alive(this);
    {
        const PlantSnapshot published = m_snapshot;
        emit snapshotChanged(published);
    }
    if (withHistory && alive) {
        const PlantSnapshot published = m_snapshot;
        emit chartHistoryChanged(published);
    }
}

double SolarPlantSimulator::roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return static_cast<double>(qRound64(value * scale)) / scale;
}

void SolarPlantSimulator::rebuildSnapshot(bool withHistory)
{
    PlantSnapshot& s = m_snapshot;
    const double t = static_cast<double>(m_tick);
    const double P = static_cast<double>(7 * s.plantIndex);
    const double G = static_cast<double>(3 * s.groupIndex);
    const double K = static_cast<double>(2 * s.skidIndex);
    // The simulated clock runs from 09:00 to 17:00 in 960 ticks, then starts again at 09:00.
    const double hour = 9.0 + std::fmod(t / 120.0, 8.0);
    const double sun = sunHeight(hour);
    const double w = std::sin(0.19 * t + P) * 0.018;
    const bool cmd = s.commandEnabled;

    s.capacity = s.plantIndex == 1 ? 118.0 : 130.0;
    s.performanceRatio = roundTo(P * 0.1 + 84.8 + w * 100.0, 1);
    s.activePower = cmd ? roundTo(s.capacity * sun * (w + 0.72), 1) : 0.0;
    s.dailyEnergy = roundTo(0.12 * t + 612.0 + P * 8.0, 1);
    s.monthlyEnergy = roundTo(0.12 * t + 12840.0 + P * 35.0, 0);
    s.annualEnergy = roundTo(0.12 * t + 98600.0 + P * 120.0, 0);
    s.lifetimeEnergy = roundTo(P * 180.0 + (0.12 * t + 114300.0), 0);
    s.moduleTemperature = roundTo(std::sin(0.04 * t + P) * 1.4 + 28.4, 1);
    s.ambientTemperature = roundTo(std::sin(0.035 * t + P) * 2.1 + 22.8, 1);
    s.irradiance = cmd ? roundTo(std::sin(0.08 * t) * 22.0 + 790.0 * sun, 0) : 0.0;
    s.windSpeed = roundTo(std::sin(0.055 * t + 0.7) * 1.2 + 3.8, 1);
    s.windDirection = roundTo(std::fmod(0.7 * t + 218.0, 360.0), 0);
    s.humidity = roundTo(std::sin(0.025 * t + 1.1) * 6.0 + 47.0, 0);
    s.gridVoltage = roundTo(std::sin(0.07 * t) * 0.18 + 34.5, 2);
    s.gridFrequency = roundTo(std::sin(0.11 * t) * 0.018 + 59.99, 2);
    s.powerFactor = roundTo(std::sin(0.05 * t) * 0.009 + 0.985, 3);
    s.availability = roundTo(std::sin(0.03 * t) * 0.45 + 98.9, 1);
    s.curtailment = roundTo(std::max(std::sin(0.04 * t + 2.0) * 0.9 + 1.8, 0.0), 1);
    s.co2Avoided = roundTo(P * 96.0 + (0.08 * t + 82400.0), 0);

    s.offlineCount = 0;
    s.warningCount = 0;
    s.faultCount = 0;
    // A fresh vector rather than clear(): a receiver may still share the previous rows, and clearing a shared
    // vector would first copy them.
    QVector<InverterRow> rows;
    rows.reserve(kInverterCount);
    const QString skidNumber = QString::number(s.skidIndex + 1);
    for (int i = 0; i < kInverterCount; ++i) {
        InverterRow row;
        row.index = i;
        row.name = QStringLiteral("INV %1.%2").arg(skidNumber).arg(i + 1, 2, 10, QLatin1Char('0'));
        row.timestamp = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy - HH:mm:ss"));

        InverterStatus status = baseStatus(i);
        if (!cmd && status != kStatusFault)
            status = kStatusOffline;
        row.status = status;

        const double di = static_cast<double>(i);
        const double x = std::sin(0.12 * t + 0.71 * di + G + K);
        const double f = statusFactor(status);
        row.efficiency = roundTo((1.7 * di + 64.0 + 2.0 * x) * f, 1);
        row.voltages = {roundTo(0.7 * di + 818.0 + 2.0 * x, 1), roundTo(0.5 * di + 821.0 + 1.8 * x, 1),
                        roundTo(0.6 * di + 819.0 + 1.5 * x, 1)};
        row.currents = {roundTo(0.4 * x + 19.2, 2), roundTo(0.35 * x + 19.6, 2), roundTo(0.3 * x + 19.4, 2)};
        row.activePower = roundTo((1.8 * di + 72.0 + 3.0 * x) * f, 2);
        row.reactivePower = roundTo((0.6 * x + 4.8) * f, 2);
        row.frequency = status == kStatusOffline ? 0.0 : roundTo(0.015 * x + 59.98, 2);
        row.todayEnergy = roundTo((0.03 * t + (5.5 * di + 498.0)) * f, 2);

        if (status == kStatusFault)
            ++s.faultCount;
        else if (status == kStatusWarning)
            ++s.warningCount;
        else if (status == kStatusOffline)
            ++s.offlineCount;
        rows.append(std::move(row));
    }
    s.inverters = std::move(rows);

    if (withHistory && !s.actualPowerHistory.isEmpty()) {
        rebuildHistory();
        // Actual power and availability move with the tick; actual power follows the rounded expected value.
        const int count = std::min({s.actualPowerHistory.size(), s.expectedPowerHistory.size(),
                                    s.availabilityHistory.size()});
        for (int h = 0; h < count; ++h) {
            const double dh = static_cast<double>(h);
            s.actualPowerHistory[h] =
                roundTo((std::sin(0.03 * t + 0.9 * dh) * 0.035 + 0.88) * s.expectedPowerHistory[h], 1);
            s.availabilityHistory[h] = roundTo(std::sin(0.015 * t + 0.45 * dh) * 0.7 + 98.7, 1);
        }
    }
}

void SolarPlantSimulator::rebuildHistory()
{
    QStringList labels;
    QVector<double> actual, expected, irradiance, temperature, availability;
    labels.reserve(kHours);
    actual.reserve(kHours);
    expected.reserve(kHours);
    irradiance.reserve(kHours);
    temperature.reserve(kHours);
    availability.reserve(kHours);
    for (int h = 0; h < kHours; ++h) {
        const double dh = static_cast<double>(h);
        const double sunH = sunHeight(dh);
        labels.append(QStringLiteral("%1:00").arg(h, 2, 10, QLatin1Char('0')));
        expected.append(roundTo(92.0 * sunH, 1));
        actual.append(roundTo((std::sin(0.9 * dh) * 0.035 + 0.88) * (92.0 * sunH), 1));
        irradiance.append(roundTo(930.0 * sunH, 0));
        temperature.append(roundTo(13.0 * sunH + 17.5, 1));
        availability.append(roundTo(std::sin(0.45 * dh) * 0.7 + 98.7, 1));
    }
    PlantSnapshot& s = m_snapshot;
    s.hourLabels = std::move(labels);
    s.actualPowerHistory = std::move(actual);
    s.expectedPowerHistory = std::move(expected);
    s.irradianceHistory = std::move(irradiance);
    s.temperatureHistory = std::move(temperature);
    s.availabilityHistory = std::move(availability);
}
