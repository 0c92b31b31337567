#pragma once
// The record in which the plant simulation publishes the state of the plant: the current selection, the plant
// figures, the ten inverter rows with their alarm counts and the 24-hour series with their hour labels.
// A plain value type on Qt's implicitly shared containers: copies are cheap and never change when the
// simulator rewrites its own instance.
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

// Status of an inverter row: 0 ok, 1 warning, 2 fault, 3 offline.
using InverterStatus = int;

struct InverterRow
{
    int index = 0;               // position of the row, 0 to 9
    QString name;                // "INV <skid>.<row>", e.g. INV 1.01
    QString timestamp;           // local time the row was built, "dd/MM/yyyy - HH:mm:ss"
    InverterStatus status = 0;
    double efficiency = 0.0;     // %
    QVector<double> voltages;    // three readings
    QVector<double> currents;    // three readings
    double activePower = 0.0;    // kW
    double reactivePower = 0.0;  // kvar
    double frequency = 0.0;      // Hz
    double todayEnergy = 0.0;    // kWh
};

struct PlantSnapshot
{
    // Selection
    int plantIndex = 0;  // 0 or 1
    int groupIndex = 0;  // 0 to 2
    int skidIndex = 0;   // 0 to 2
    bool commandEnabled = true;

    // Plant figures
    double capacity = 0.0;            // MWp
    double performanceRatio = 0.0;    // %
    double activePower = 0.0;         // MW
    double dailyEnergy = 0.0;         // MWh
    double monthlyEnergy = 0.0;       // MWh
    double annualEnergy = 0.0;        // MWh
    double lifetimeEnergy = 0.0;      // MWh
    double moduleTemperature = 0.0;   // °C
    double ambientTemperature = 0.0;  // °C
    double irradiance = 0.0;          // W/m²
    double windSpeed = 0.0;           // m/s
    double windDirection = 0.0;       // degrees
    double humidity = 0.0;            // %
    double gridVoltage = 0.0;         // kV
    double gridFrequency = 0.0;       // Hz
    double powerFactor = 0.0;
    double availability = 0.0;        // %
    double curtailment = 0.0;         // %
    double co2Avoided = 0.0;          // t

    // Rows by status
    int offlineCount = 0;
    int warningCount = 0;
    int faultCount = 0;

    QVector<InverterRow> inverters;

    // 24-hour series; element h of each belongs to hourLabels[h]
    QStringList hourLabels;
    QVector<double> actualPowerHistory;    // MW
    QVector<double> expectedPowerHistory;  // MW
    QVector<double> irradianceHistory;     // W/m²
    QVector<double> temperatureHistory;    // °C
    QVector<double> availabilityHistory;   // %
};

Q_DECLARE_METATYPE(PlantSnapshot)

// Registers PlantSnapshot with the meta-type system under the name "PlantSnapshot" (once) and returns its id.
int registerPlantSnapshotMetaType();
