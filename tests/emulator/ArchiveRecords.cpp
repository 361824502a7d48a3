// Record layouts of the archives and the values they carry.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/Crc16.h"
#include "emulator/ArchiveModel.h"
#include "emulator/ArchiveValues.h"
#include "emulator/Dates.h"
#include "emulator/Text.h"

namespace emu {

namespace arch {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDaySec = 86400.0;

uint64_t Mix(uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Components by gas-parameter code: molar mass, ideal gross and net
// calorific value (MJ/m3 at 20 °C, combustion at 25 °C) and summation factor.
struct Component {
    int code;
    double molarMass, gross, net, sumFactor;
};
constexpr Component kComponents[] = {
    {0, 86.177, 175.59, 162.66, 0.2950},  // hexane and heavier
    {1, 44.097, 92.84, 85.45, 0.1338},    // propane
    {2, 58.123, 120.27, 111.03, 0.1789},  // i-butane
    {3, 58.123, 120.67, 111.42, 0.1871},  // n-butane
    {4, 72.150, 147.53, 136.44, 0.2098},  // neo-pentane
    {5, 72.150, 147.92, 136.83, 0.2280},  // i-pentane
    {6, 72.150, 148.25, 137.16, 0.2510},  // n-pentane
    {7, 28.0134, 0, 0, 0.0173},           // nitrogen
    {8, 16.043, 37.06, 33.37, 0.0447},    // methane
    {9, 44.0095, 0, 0, 0.0748},           // carbon dioxide
    {10, 30.069, 65.05, 59.51, 0.0922},   // ethane
    {15, 31.9988, 0, 0, 0.0283},          // oxygen
};

// Mole % of everything but methane, by code: a gas of about 90 % methane
// with some nitrogen and CO2 (line 1) and a slightly leaner one (line 2).
constexpr double kBase[2][20] = {
    {0.035, 0.85, 0.12, 0.13, 0.002, 0.030, 0.025, 3.20, 0, 1.60, 3.60, 0, 0, 0, 0, 0.008},
    {0.028, 0.72, 0.10, 0.11, 0.002, 0.026, 0.021, 2.40, 0, 1.10, 3.20, 0, 0, 0, 0, 0.006},
};
constexpr double kCalibrationGas[20] = {0.05, 2.0, 0.5, 0.5, 0.1, 0.1, 0.1, 1.1, 0, 0.55, 6.0};

double YearPhase(int64_t t) {  // 0 in mid-January
    const double days = static_cast<double>(t) / kDaySec - 14.0;
    return 2 * kPi * (days / 365.2425 - std::floor(days / 365.2425));
}

double DayPhase(int64_t t) { return 2 * kPi * static_cast<double>(((t % 86400) + 86400) % 86400) / kDaySec; }

// Methane and the properties from the other components (mole %).
GasValues Complete(std::array<double, 20> x, double temperature) {
    double others = 0;
    for (const Component& c : kComponents)
        if (c.code != 8) others += x[c.code];
    x[8] = 100.0 - others;
    double mass = 0, gross = 0, net = 0, b = 0;
    for (const Component& c : kComponents) {
        const double f = x[c.code] / 100.0;
        mass += f * c.molarMass;
        gross += f * c.gross;
        net += f * c.net;
        b += f * c.sumFactor;
    }
    const double z = 1.0 - b * b;
    const double density = mass / (24.0548 * z);
    const double relative = mass * 0.99963 / (28.9626 * z);
    GasValues v{};
    for (int k = 0; k < 20; ++k) v[k] = static_cast<float>(x[k]);
    v[11] = static_cast<float>(gross / z);
    v[12] = static_cast<float>(density);
    v[13] = static_cast<float>(gross / z / std::sqrt(relative));
    v[14] = static_cast<float>(z);
    v[16] = static_cast<float>(temperature);
    v[17] = static_cast<float>(net / z / std::sqrt(relative));
    v[18] = static_cast<float>(net / z);
    v[19] = static_cast<float>(relative);
    return v;
}

double Temperature(uint32_t seed, int64_t t, double noise, uint64_t salt) {
    return 9.0 - 7.0 * std::cos(YearPhase(t)) + 2.5 * std::sin(DayPhase(t) - 2 * kPi * 9 / 24) +
           noise * 0.2 * Sym(seed, static_cast<uint64_t>(t), 16, salt);
}

}  // namespace

double Unit01(uint32_t seed, uint64_t a, uint64_t b, uint64_t c) {
    uint64_t z = Mix(static_cast<uint64_t>(seed) * 0x100000001B3ull ^ Mix(a));
    z = Mix(z ^ (b * 0xD6E8FEB86659FD93ull));
    z = Mix(z ^ (c * 0xA0761D6478BD642Full));
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 53);
}

double Sym(uint32_t seed, uint64_t a, uint64_t b, uint64_t c) { return 2.0 * Unit01(seed, a, b, c) - 1.0; }

GasValues GasAt(uint32_t seed, int line, int64_t t, double noise, uint64_t salt) {
    line = line == 1 ? 1 : 0;
    std::array<double, 20> x{};
    const double tt = static_cast<double>(t);
    for (const Component& c : kComponents) {
        if (c.code == 8) continue;
        const double p1 = 2 * kPi * Unit01(seed, c.code, line, 101);
        const double p2 = 2 * kPi * Unit01(seed, c.code, line, 102);
        const double f = 1.0 + 0.04 * std::sin(2 * kPi * tt / (9.3 * kDaySec) + p1) +
                         0.015 * std::sin(2 * kPi * tt / (31 * 3600.0) + p2) +
                         noise * 0.004 * Sym(seed, static_cast<uint64_t>(t), c.code * 2 + line, salt);
        x[c.code] = kBase[line][c.code] * f;
    }
    return Complete(x, Temperature(seed, t, noise, salt + static_cast<uint64_t>(line)));
}

GasValues CalibrationGas(uint32_t seed, int64_t t, double scatter, uint64_t salt) {
    std::array<double, 20> x{};
    for (const Component& c : kComponents)
        if (c.code != 8)
            x[c.code] = kCalibrationGas[c.code] * (1.0 + scatter * Sym(seed, static_cast<uint64_t>(t), c.code, salt));
    return Complete(x, Temperature(seed, t, 0.0, salt));
}

std::array<float, 4> MoistureAt(uint32_t seed, int64_t t, double noise, uint64_t salt) {
    const double season = -std::cos(YearPhase(t));
    const double day = std::sin(DayPhase(t) - 2 * kPi * 9 / 24);
    auto n = [&](int i) { return noise * Sym(seed, static_cast<uint64_t>(t), 40 + i, salt); };
    const double wdp = -16.0 + 4.0 * season + 0.8 * day + 0.15 * n(0);
    const double hdp = -7.5 + 2.5 * season + 0.5 * day + 0.15 * n(1);
    const double p = 44.5 + 1.5 * std::sin(2 * kPi * static_cast<double>(t) / (2.7 * kDaySec)) + 0.05 * n(2);
    const double reduced = wdp - 5.6 + 0.05 * n(3);
    return {static_cast<float>(wdp), static_cast<float>(hdp), static_cast<float>(p), static_cast<float>(reduced)};
}

}  // namespace arch

namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

void PutTime(Record& r, size_t at, int64_t t, int bytes = 6) {
    const DeviceTime d = date::FromSeconds(t);
    std::copy_n(d.begin(), bytes, r.begin() + static_cast<long>(at));
}

void PutClock(Record& r, size_t at, int64_t t) {  // hour, minute, second
    const DeviceTime d = date::FromSeconds(t);
    r[at] = d[3], r[at + 1] = d[4], r[at + 2] = d[5];
}

void PutU32(Record& r, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) r[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

void PutF32(Record& r, size_t at, float f) {
    uint32_t x;
    std::memcpy(&x, &f, 4);
    PutU32(r, at, x);
}

void PutValues(Record& r, size_t at, const arch::GasValues& v) {
    for (int k = 0; k < 20; ++k) PutF32(r, at + 4 * k, v[k]);
}

void Seal(Record& r) { Crc16Append(r.data(), r.size() - 2); }

}  // namespace

// ChromMeasRecord: time, 0, controller status (bit 7 while the line is being
// calibrated, the half hour before its weekly calibration), chromatograph
// status word 0, 2 spare bytes, 20 values, CRC.
Record ArchiveModel::MakeChromMeasured(int line, int64_t t) const {
    Record r(94, 0);
    PutTime(r, 0, t);
    const int64_t calibration = SlotTime(Archive::Calibration, 0, FloorDiv(t, 7 * kDay) * 2 + line);
    if (t >= calibration - 1800 && t < calibration) r[7] = 0x80;
    PutValues(r, 12, arch::GasAt(seed_, line, t, 1.0, 1));
    Seal(r);
    return r;
}

// Analyses of a line (or the moisture meter) made between from and to
// inclusive while the controller ran.
int ArchiveModel::AnalysesIn(int line, bool wmt, int64_t from, int64_t to) const {
    const Archive a = wmt ? Archive::WmtMeasured : Archive::ChromMeasured;
    int n = 0;
    for (int64_t k = SlotAtOrAfter(a, line, from);; ++k) {
        const int64_t t = SlotTime(a, line, k);
        if (t > to) break;
        bool off = false;
        for (const auto& o : off_) off = off || (t >= o.first && t <= o.second);
        if (!off) ++n;
    }
    return n;
}

// HdmArchiveRecord (94 bytes) or WmtArchiveRecord (28 bytes) of an hour or a
// gas day: date, start and end of the interval the controller ran in, status
// (bit 1 when it was switched off for part or all of it), the number of
// analyses averaged (chromatograph) and the averages. A gas day runs from the
// contract hour to the contract hour of the next date; its end hour carries
// bit 7 when the interval ended on a later date than it is dated by.
Record ArchiveModel::MakeHdm(Archive a, int line, int64_t k, int64_t now) const {
    const bool hourly = a == Archive::ChromHourly || a == Archive::WmtHourly;
    const bool wmt = a == Archive::WmtHourly || a == Archive::WmtDaily;
    const int64_t s = hourly ? k * kHour : k * kDay + contractHour_ * kHour;
    const int64_t e = hourly ? s + kHour : s + kDay;  // exclusive
    const int64_t s0 = std::max(s, SpanFrom(a, now));
    int64_t first = s0, last = e - 1;
    bool touched = false;
    for (const auto& o : off_) touched = touched || (o.first <= e - 1 && o.second >= s0);
    for (bool moved = true; moved;) {
        moved = false;
        for (const auto& o : off_) {
            if (first >= o.first && first <= o.second) first = o.second + 1, moved = true;
            if (last >= o.first && last <= o.second) last = o.first - 1, moved = true;
        }
    }
    const bool allOff = first > last;
    const int64_t start = allOff ? s0 : first;
    const int64_t end = allOff ? e - 1 : (last == e - 1 ? (hourly ? e - 1 : e) : last);
    const int count = allOff ? 0 : AnalysesIn(line, wmt, first, last);

    Record r(wmt ? 28 : 94, 0);
    PutTime(r, 0, hourly ? s : k * kDay, 3);
    PutClock(r, 3, start);
    PutClock(r, 6, end);
    if (!hourly && FloorDiv(end, kDay) > k) r[6] |= 0x80;
    r[9] = touched ? 0x02 : 0;
    const int64_t mid = s + (e - s) / 2;
    const uint64_t salt = hourly ? 2 : 3;
    const double noise = hourly ? 0.3 : 0.1;
    if (wmt) {
        if (!allOff) {
            const auto v = arch::MoistureAt(seed_, mid, noise, salt);
            for (int i = 0; i < 4; ++i) PutF32(r, 10 + 4 * i, v[i]);
        }
    } else {
        r[10] = static_cast<uint8_t>(count & 0xFF);
        r[11] = static_cast<uint8_t>(count >> 8);
        if (count > 0) PutValues(r, 12, arch::GasAt(seed_, line, mid, noise, salt));
    }
    Seal(r);
    return r;
}

// CalibRecord: time, line 1/2, result (0 passed), 20 values of the
// calibration gas as analysed, 20 response factors (components only), CRC.
Record ArchiveModel::MakeCalib(int line, int64_t k, int64_t t) const {
    Record r(170, 0);
    PutTime(r, 0, t);
    r[6] = static_cast<uint8_t>(line + 1);
    const bool failed = arch::Unit01(seed_, static_cast<uint64_t>(k), 31, 0) < 0.06;
    r[7] = failed ? 1 : 0;
    PutValues(r, 8, arch::CalibrationGas(seed_, t, failed ? 0.02 : 0.0008, 5));
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15}) {
        const double rf = 1.0 + (failed ? 0.12 : 0.03) * arch::Sym(seed_, static_cast<uint64_t>(k), code, 33);
        PutF32(r, 88 + 4 * code, static_cast<float>(rf));
    }
    Seal(r);
    return r;
}

// VerifRecord: time, line 1/2, result (0 passed, 2 failed), 20 values of
// the reference gas as analysed, CRC.
Record ArchiveModel::MakeVerif(int line, int64_t k, int64_t t) const {
    Record r(90, 0);
    PutTime(r, 0, t);
    r[6] = static_cast<uint8_t>(line + 1);
    const bool failed = arch::Unit01(seed_, static_cast<uint64_t>(k), 37, 0) < 0.05;
    r[7] = failed ? 2 : 0;
    PutValues(r, 8, arch::CalibrationGas(seed_, t, failed ? 0.03 : 0.003, 7));
    Seal(r);
    return r;
}

// WmtMomentaryRecord: time, controller status 0, 2 spare bytes, meter state
// word 0, 4 values, CRC.
Record ArchiveModel::MakeWmtMeasured(int64_t t) const {
    Record r(29, 0);
    PutTime(r, 0, t);
    const auto v = arch::MoistureAt(seed_, t, 1.0, 4);
    for (int i = 0; i < 4; ++i) PutF32(r, 11 + 4 * i, v[i]);
    Seal(r);
    return r;
}

// DiagnosticRecord: time, event code, 0, object, index, value, setpoint, 2
// spare bytes, CRC. The events are a mix of what a station logs.
Record ArchiveModel::MakeDiagnostic(int64_t index, int64_t t) const {
    struct Limit {
        uint8_t param;
        float setpoint;
    };
    static constexpr Limit kLimits[] = {{8, 90.0f}, {7, 3.5f}, {11, 36.0f}, {12, 0.73f}, {9, 2.0f}, {10, 4.0f}};
    Record r(22, 0);
    PutTime(r, 0, t);
    const uint64_t i = static_cast<uint64_t>(index);
    const double pick = arch::Unit01(seed_, i, 51, 0);
    const double v = arch::Unit01(seed_, i, 52, 0);
    const int sub = static_cast<int>(arch::Unit01(seed_, i, 53, 0) * 1000);
    uint8_t code = 0, b8 = 0, b9 = 0;
    if (pick < 0.25) {  // link with the chromatograph or the moisture meter lost / back
        code = (index % 2 == 0) ? 10 : 11;
        b8 = 33;
        b9 = v < 0.7 ? 0 : 1;
    } else if (pick < 0.45) {  // a gas value crossed a warning set point
        static constexpr uint8_t kCodes[] = {14, 15, 16, 17};
        code = kCodes[sub % 4];
        const Limit& l = kLimits[sub / 4 % 6];
        b9 = l.param;
        const bool below = code == 14 || code == 16;
        PutF32(r, 10, l.setpoint * static_cast<float>(below ? 1.0 - 0.004 * v : 1.0 + 0.004 * v));
        PutF32(r, 14, l.setpoint);
    } else if (pick < 0.55) {  // calibration cycle, verification made
        code = sub % 2 ? 6 : 8;
    } else if (pick < 0.65) {  // power off / on
        code = index % 2 ? 2 : 3;
    } else if (pick < 0.75) {  // chromatograph state
        code = 1;
        b8 = 202;
        b9 = static_cast<uint8_t>(sub % 11);
    } else if (pick < 0.82) {  // chromatograph clock corrected
        code = sub % 2 ? 38 : 39;
    } else if (pick < 0.90) {  // chromatograph or moisture-meter flag
        code = sub % 2 ? 22 : 23;
        b8 = v < 0.6 ? 200 : 201;
        b9 = static_cast<uint8_t>(b8 == 200 ? sub % 79 : sub % 16);
    } else if (pick < 0.95) {  // gas values written / not written into a flow computer
        code = sub % 2 ? 48 : 49;
        b9 = static_cast<uint8_t>(1 + sub % 2);
    } else {  // chromatograph fault
        code = 5;
        b8 = 14;
        r[10] = static_cast<uint8_t>(1 + sub % 78);
    }
    r[6] = code;
    r[8] = b8;
    r[9] = b9;
    Seal(r);
    return r;
}

// InterventionRecord: time, 0, table, field, unit code, old value, new value,
// operator (4 characters), CRC.
Record ArchiveModel::MakeIntervention(int64_t index, int64_t t) const {
    Record r(24, 0);
    PutTime(r, 0, t);
    const uint64_t i = static_cast<uint64_t>(index);
    const double pick = arch::Unit01(seed_, i, 61, 0);
    const int sub = static_cast<int>(arch::Unit01(seed_, i, 62, 0) * 1000);
    uint8_t table = 0, field = 0, unit = 0;
    if (pick < 0.35) {  // a warning set point
        static constexpr uint8_t kParams[] = {8, 7, 11, 12, 9, 10, 13};
        static constexpr float kValues[] = {90.0f, 3.5f, 36.0f, 0.73f, 2.0f, 4.0f, 47.0f};
        const int p = sub % 7;
        table = sub / 7 % 2 ? 23 : 24;
        field = kParams[p];
        unit = (field == 11 || field == 13) ? 9 : field == 12 ? 10 : 5;
        PutF32(r, 10, kValues[p]);
        PutF32(r, 14, kValues[p] * (sub % 3 ? 1.01f : 0.99f));
    } else if (pick < 0.5) {  // contract hour
        table = 6, field = 6;
        r[10] = 6, r[14] = 7;
    } else if (pick < 0.6) {  // baud rate of the upper-level link
        table = 3, field = 1, unit = 8;
        r[10] = 11, r[14] = 15;
    } else if (pick < 0.7) {  // chromatograph reply time-out
        table = 14, field = 4, unit = 15;
        r[10] = 10, r[14] = 12;
    } else if (pick < 0.8) {  // clock hour set
        const DeviceTime d = date::FromSeconds(t);
        table = 2, field = 3;
        r[10] = static_cast<uint8_t>((d[3] + 23) % 24), r[14] = d[3];
    } else if (pick < 0.9) {  // name of line 1
        table = 5, field = 1;
        const auto oldName = Field(Utf8To866("Нитка"), 4), newName = Field(Utf8To866("ГРС-"), 4);
        std::copy(oldName.begin(), oldName.end(), r.begin() + 10);
        std::copy(newName.begin(), newName.end(), r.begin() + 14);
    } else {  // flow-computer reply time-out
        table = 9, field = 3;
        r[10] = 10, r[14] = 15;
    }
    r[7] = table;
    r[8] = field;
    r[9] = unit;
    std::memcpy(&r[18], sub % 5 ? "ZBR " : "ADM1", 4);
    Seal(r);
    return r;
}

}  // namespace emu
