#pragma once
// The fixed number formats of the dashboard: '.' as decimal separator and no digit grouping in every
// language, a leading '-' for negatives, rounding to the given number of decimals.
#include <QString>

#include <cmath>

namespace quenlark {

inline QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// A percentage for a 0..100 progress bar: rounded half away from zero, clamped; not-a-number gives 0.
inline int progressPercent(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::round(value);
    return r <= 0.0 ? 0 : (r >= 100.0 ? 100 : int(r));
}

// "Tracker %1.%2": %1 the skid number from 1, %2 the tracker number from 1 written with two digits.
inline QString trackerName(const QString& pattern, int skidIndex, int trackerIndex)
{
    return pattern.arg(qint64(skidIndex) + 1).arg(qint64(trackerIndex) + 1, 2, 10, QLatin1Char('0'));
}

// The tracker page's target angle and the angle of tracker i, in degrees.
inline double trackerTargetAngle(int tickCount)
{
    return 21.0 + 8.0 * std::sin(0.015 * tickCount);
}
inline double trackerAngle(double target, int trackerIndex)
{
    return target + 0.9 * std::sin(0.7 * trackerIndex);
}

} // namespace quenlark
