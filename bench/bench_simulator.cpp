// Cost of the plant model: one ordinary tick, one fifth tick (with the 24-hour series rebuild), a selection
// change, and 100,000 ticks driven directly (no timer), with and without a receiver that keeps a copy of every
// record; resident memory before and after shows that nothing accumulates with the tick count.
#include "BenchCommon.h"
#include "SolarPlantSimulator.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

using benchsupport::median;
using benchsupport::residentKiB;

using Clock = std::chrono::steady_clock;

double nsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

double mean(const std::vector<double>& v)
{
    double sum = 0.0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0.0 : sum / double(v.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    volatile double sink = 0.0;

    // Construction: the first snapshot and the series.
    {
        const int rounds = 2000;
        const auto start = Clock::now();
        for (int i = 0; i < rounds; ++i) {
            SolarPlantSimulator sim;
            sink = sink + sim.snapshot().activePower;
        }
        std::printf("construction (snapshot + series):      %8.2f us\n", nsSince(start) / rounds / 1000.0);
    }

    // Per-tick cost, split into ordinary ticks and fifth ticks.
    {
        SolarPlantSimulator sim;
        std::vector<double> plain, fifth;
        for (int i = 0; i < 50000; ++i) {
            const auto start = Clock::now();
            sim.advance();
            const double ns = nsSince(start);
            ((sim.tickCount() % 5 == 0) ? fifth : plain).push_back(ns);
        }
        std::printf("one tick:           median %8.2f us, mean %8.2f us (%zu ticks)\n", median(plain) / 1000.0,
                    mean(plain) / 1000.0, plain.size());
        std::printf("one fifth tick:     median %8.2f us, mean %8.2f us (%zu ticks)\n", median(fifth) / 1000.0,
                    mean(fifth) / 1000.0, fifth.size());

        std::vector<double> setter;
        for (int i = 0; i < 20000; ++i) {
            const auto start = Clock::now();
            sim.setSkidIndex(i % 3);
            setter.push_back(nsSince(start));
        }
        std::printf("one setter call:    median %8.2f us, mean %8.2f us\n", median(setter) / 1000.0,
                    mean(setter) / 1000.0);
    }

    // What the rows' time stamps cost (ten per rebuild).
    {
        const int rounds = 100000;
        const auto start = Clock::now();
        for (int i = 0; i < rounds; ++i)
            sink = sink + QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy - HH:mm:ss")).size();
        std::printf("one row time stamp:                    %8.2f us (x10 per rebuild)\n",
                    nsSince(start) / rounds / 1000.0);
    }

    // 100,000 ticks driven directly, then as many again: resident memory must not follow the tick count.
    {
        const long before = residentKiB();
        SolarPlantSimulator sim;
        const auto start = Clock::now();
        for (int i = 0; i < 100000; ++i)
            sim.advance();
        const double ms = nsSince(start) / 1e6;
        const long after100k = residentKiB();
        for (int i = 0; i < 400000; ++i)
            sim.advance();
        const long after500k = residentKiB();
        std::printf("100,000 ticks, no receiver:            %8.1f ms (%.0f ticks/s)\n", ms, 100000.0 / (ms / 1000.0));
        std::printf("resident memory: before %ld KiB, after 100k ticks %ld KiB, after 500k ticks %ld KiB\n",
                    before, after100k, after500k);
    }

    {
        SolarPlantSimulator sim;
        PlantSnapshot kept;
        QObject context;
        QObject::connect(&sim, &SolarPlantSimulator::snapshotChanged, &context,
                         [&kept](const PlantSnapshot& s) { kept = s; });
        QObject::connect(&sim, &SolarPlantSimulator::chartHistoryChanged, &context,
                         [&kept](const PlantSnapshot& s) { kept = s; });
        const long before = residentKiB();
        const auto start = Clock::now();
        for (int i = 0; i < 100000; ++i)
            sim.advance();
        const double ms = nsSince(start) / 1e6;
        const long after = residentKiB();
        sink = sink + kept.dailyEnergy;
        std::printf("100,000 ticks, receiver keeps a copy:  %8.1f ms (%.0f ticks/s); resident %ld -> %ld KiB\n", ms,
                    100000.0 / (ms / 1000.0), before, after);
    }

    return sink < 0.0 ? 1 : 0;
}
