#!/usr/bin/env python3
"""Independent model of the plant simulator's published figures, used to derive the expected values
pinned by tst_simulator.cpp. Every expression is evaluated in the same order as the model defines it,
in IEEE doubles, and rounded half toward +infinity like qRound64.

    python3 simulator_reference.py            # prints the reference tables
    python3 simulator_reference.py --cases > simulator_cases.h
"""
import math

PI = 3.141592653589793


def qround64(x):
    if x >= 0.0:
        return int(x + 0.5)          # truncation toward zero of x + 0.5
    n = int(x - 1)
    return int(x - float(n) + 0.5) + n


def round_to(v, d):
    p = math.pow(10.0, d)
    return qround64(v * p) / p


def history(tick=None):
    labels, exp, act, irr, tmp, av = [], [], [], [], [], []
    for h in range(24):
        sun_h = max(math.sin((h - 6.0) / 12.0 * PI), 0.0)
        labels.append("%02d:00" % h)
        exp.append(round_to(92.0 * sun_h, 1))
        act.append(round_to((math.sin(0.9 * h) * 0.035 + 0.88) * (92.0 * sun_h), 1))
        irr.append(round_to(930.0 * sun_h, 0))
        tmp.append(round_to(13.0 * sun_h + 17.5, 1))
        av.append(round_to(math.sin(0.45 * h) * 0.7 + 98.7, 1))
    if tick is not None:
        t = float(tick)
        for h in range(24):
            act[h] = round_to((math.sin(0.03 * t + 0.9 * h) * 0.035 + 0.88) * exp[h], 1)
            av[h] = round_to(math.sin(0.015 * t + 0.45 * h) * 0.7 + 98.7, 1)
    return dict(labels=labels, expected=exp, actual=act, irradiance=irr, temperature=tmp, availability=av)


def snapshot(tick, plant=0, group=0, skid=0, cmd=True):
    t = float(tick)
    P = float(7 * plant)
    G = float(3 * group)
    K = float(2 * skid)
    hour = 9.0 + math.fmod(t / 120.0, 8.0)
    sun = max(math.sin((hour - 6.0) / 12.0 * PI), 0.0)
    w = math.sin(0.19 * t + P) * 0.018
    s = {}
    cap = 118.0 if plant == 1 else 130.0
    s['capacity'] = cap
    s['performanceRatio'] = round_to(P * 0.1 + 84.8 + w * 100.0, 1)
    s['activePower'] = round_to(cap * sun * (w + 0.72), 1) if cmd else 0.0
    s['dailyEnergy'] = round_to(0.12 * t + 612.0 + P * 8.0, 1)
    s['monthlyEnergy'] = round_to(0.12 * t + 12840.0 + P * 35.0, 0)
    s['annualEnergy'] = round_to(0.12 * t + 98600.0 + P * 120.0, 0)
    s['lifetimeEnergy'] = round_to(P * 180.0 + (0.12 * t + 114300.0), 0)
    s['moduleTemperature'] = round_to(math.sin(0.04 * t + P) * 1.4 + 28.4, 1)
    s['ambientTemperature'] = round_to(math.sin(0.035 * t + P) * 2.1 + 22.8, 1)
    s['irradiance'] = round_to(math.sin(0.08 * t) * 22.0 + 790.0 * sun, 0) if cmd else 0.0
    s['windSpeed'] = round_to(math.sin(0.055 * t + 0.7) * 1.2 + 3.8, 1)
    s['windDirection'] = round_to(math.fmod(0.7 * t + 218.0, 360.0), 0)
    s['humidity'] = round_to(math.sin(0.025 * t + 1.1) * 6.0 + 47.0, 0)
    s['gridVoltage'] = round_to(math.sin(0.07 * t) * 0.18 + 34.5, 2)
    s['gridFrequency'] = round_to(math.sin(0.11 * t) * 0.018 + 59.99, 2)
    s['powerFactor'] = round_to(math.sin(0.05 * t) * 0.009 + 0.985, 3)
    s['availability'] = round_to(math.sin(0.03 * t) * 0.45 + 98.9, 1)
    s['curtailment'] = round_to(max(math.sin(0.04 * t + 2.0) * 0.9 + 1.8, 0.0), 1)
    s['co2Avoided'] = round_to(P * 96.0 + (0.08 * t + 82400.0), 0)
    rows = []
    counts = [0, 0, 0, 0]
    for i in range(10):
        st = {1: 2, 6: 1, 8: 3}.get(i, 0)
        if not cmd and st != 2:
            st = 3
        x = math.sin(0.12 * t + 0.71 * i + G + K)
        f = {0: 1.0, 1: 0.72, 2: 0.08, 3: 0.0}[st]
        rows.append(dict(
            name="INV %d.%02d" % (skid + 1, i + 1), status=st,
            efficiency=round_to((1.7 * i + 64.0 + 2.0 * x) * f, 1),
            voltages=[round_to(0.7 * i + 818.0 + 2.0 * x, 1), round_to(0.5 * i + 821.0 + 1.8 * x, 1),
                      round_to(0.6 * i + 819.0 + 1.5 * x, 1)],
            currents=[round_to(0.4 * x + 19.2, 2), round_to(0.35 * x + 19.6, 2), round_to(0.3 * x + 19.4, 2)],
            activePower=round_to((1.8 * i + 72.0 + 3.0 * x) * f, 2),
            reactivePower=round_to((0.6 * x + 4.8) * f, 2),
            frequency=0.0 if st == 3 else round_to(0.015 * x + 59.98, 2),
            todayEnergy=round_to((0.03 * t + (5.5 * i + 498.0)) * f, 2)))
        counts[st] += 1
    s['offlineCount'], s['warningCount'], s['faultCount'] = counts[3], counts[1], counts[2]
    s['rows'] = rows
    return s


def show(title, s):
    print("==", title)
    for k, v in s.items():
        if k != 'rows':
            print("  %-20s %r" % (k, v))
    for i in (0, 1, 6, 8, 9):
        print("  row", i, s['rows'][i])


FIGURES = ['capacity', 'performanceRatio', 'activePower', 'dailyEnergy', 'monthlyEnergy', 'annualEnergy',
           'lifetimeEnergy', 'moduleTemperature', 'ambientTemperature', 'irradiance', 'windSpeed', 'windDirection',
           'humidity', 'gridVoltage', 'gridFrequency', 'powerFactor', 'availability', 'curtailment', 'co2Avoided']

# (tick, plant, group, skid, command)
CASES = [(0, 0, 0, 0, True), (1, 0, 0, 0, True), (5, 0, 0, 0, True), (15, 0, 0, 0, True), (120, 0, 0, 0, True),
         (360, 0, 0, 0, True), (717, 0, 0, 0, True), (959, 0, 0, 0, True), (960, 0, 0, 0, True),
         (2565, 0, 0, 0, True), (1000, 0, 0, 0, False), (37, 1, 2, 2, True), (7, 1, 0, 0, True),
         (3, 0, 1, 0, True), (3, 0, 0, 1, True), (2147483647, 0, 0, 0, True), (2147483648, 0, 0, 0, True)]


STRUCTS = """
struct SimulatorRowCase
{
    int index;
    const char* name;
    int status;
    double efficiency;
    double voltages[3];
    double currents[3];
    double activePower, reactivePower, frequency, todayEnergy;
};

// The figures in the record's order, capacity to co2Avoided.
struct SimulatorCase
{
    long long tick;
    int plant, group, skid;
    bool command;
    double figures[19];
    int offline, warning, fault;
    SimulatorRowCase rows[4];  // rows 0, 1, 6 and 8
};

// expected power, actual power, irradiance, temperature, availability; 24 hours each
struct SimulatorSeries
{
    double values[5][24];
};
"""


def num(v):
    return repr(float(v))


def print_cases():
    print("// Generated by simulator_reference.py --cases: expected figures of the plant model.")
    print("#pragma once")
    print(STRUCTS)
    print("static const SimulatorCase kSimulatorCases[] = {")
    for (t, p, g, k, cmd) in CASES:
        s = snapshot(t, p, g, k, cmd)
        print("    {%dLL, %d, %d, %d, %s," % (t, p, g, k, 'true' if cmd else 'false'))
        print("     {" + ", ".join(num(s[f]) for f in FIGURES) + "},")
        print("     %d, %d, %d," % (s['offlineCount'], s['warningCount'], s['faultCount']))
        rows = []
        for i in (0, 1, 6, 8):
            r = s['rows'][i]
            rows.append('{%d, "%s", %d, %s, {%s}, {%s}, %s, %s, %s, %s}' % (
                i, r['name'], r['status'], num(r['efficiency']), ", ".join(num(v) for v in r['voltages']),
                ", ".join(num(v) for v in r['currents']), num(r['activePower']), num(r['reactivePower']),
                num(r['frequency']), num(r['todayEnergy'])))
        print("     {" + ",\n      ".join(rows) + "}},")
    print("};")
    print()
    for name, hist in (("kConstructionSeries", history()), ("kTick5Series", history(5)),
                       ("kTick360Series", history(360)), ("kTick2147483650Series", history(2147483650))):
        print("static const SimulatorSeries %s = {{" % name)
        for key in ('expected', 'actual', 'irradiance', 'temperature', 'availability'):
            print("    {" + ", ".join(num(v) for v in hist[key]) + "},")
        print("}};")


if __name__ == '__main__':
    import sys
    if '--cases' in sys.argv:
        print_cases()
        sys.exit(0)
    for tick in (0, 1, 5, 15, 120, 360, 959, 960, 2565):
        show("tick %d" % tick, snapshot(tick))
    show("tick 1000 command off", snapshot(1000, cmd=False))
    show("tick 37 plant 1 group 2 skid 2", snapshot(37, 1, 2, 2))
    show("tick 7 plant 1", snapshot(7, 1, 0, 0))
    show("tick 2147483647", snapshot(2147483647))
    show("tick 2147483648", snapshot(2147483648))
    for k, v in history().items():
        print("construction", k, v)
    for tick in (5, 360, 2147483650):
        for k, v in history(tick).items():
            if k in ('actual', 'availability'):
                print("tick", tick, k, v)
    # exact halves before rounding, for the direction figure
    halves = [t for t in range(0, 4000) if (math.fmod(0.7 * t + 218.0, 360.0) % 1.0) == 0.5]
    print("exact-half wind directions up to 4000:", halves[:6], "... count", len(halves))
    print("wind direction 360 first at", next(t for t in range(5000) if snapshot(t)['windDirection'] == 360.0))
