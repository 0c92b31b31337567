#pragma once
// The dashboard's data source: a closed-form plant model driven by a repeating timer. Every tick recomputes
// the whole PlantSnapshot from the tick counter and the current selection; nothing is random and nothing is
// read from outside (only the inverter rows' time stamps come from the clock).
#include "PlantSnapshot.h"

#include <QObject>
#include <QTimer>

class SolarPlantSimulator : public QObject
{
    Q_OBJECT

public:
    explicit SolarPlantSimulator(QObject* parent = nullptr);
    ~SolarPlantSimulator() override;

    const PlantSnapshot& snapshot() const { return m_snapshot; }
    // The number of ticks so far (saturates at the largest int; the model itself keeps counting).
    int tickCount() const;

signals:
    // Both signals pass a record that stays as it is for the whole call, even when a receiver calls a setter.
    void snapshotChanged(const PlantSnapshot& snapshot);
    void chartHistoryChanged(const PlantSnapshot& snapshot);

public slots:
    // Starts or restarts the timer; intervals below 50 ms run at 50 ms.
    void start(int intervalMs = 1000);
    void stop();
    // One tick: counts it, rebuilds the snapshot (and on every fifth tick the 24-hour series), publishes it.
    void advance();

    void setPlantIndex(int index);     // clamped to 0..1
    void setGroupIndex(int index);     // clamped to 0..2
    void setSkidIndex(int index);      // clamped to 0..2
    void setCommandEnabled(bool enabled);

private:
    friend class SimulatorTestAccess;

    void rebuildSnapshot(bool withHistory);
    void rebuildHistory();
    void selectionChanged();
    void publish(bool withHistory);
    static double roundTo(double value, int decimals);

    QTimer m_timer;
    PlantSnapshot m_snapshot;
    // 64 bits: at the shortest interval a 32-bit counter would overflow after about three years.
    qint64 m_tick = 0;
};
