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

// ---- diagnostic messages ----------------------------------------------------

namespace {

// How the value bytes of a diagnostic message are filled.
enum class DiagValue { None, Limit, ErrorCode, Checksum };

struct DiagCase {
    uint8_t code, object, index;
    DiagValue value;
};

// Every event code the controller logs, with the objects it names, and a few
// records a newer controller might write (unknown codes, objects and indexes
// outside what this software version knows).
constexpr DiagCase kDiagCatalogue[] = {
    {0, 16, 3, DiagValue::None},          // no event text: an object only
    {1, 202, 0, DiagValue::None},         {1, 202, 4, DiagValue::None},   {1, 202, 10, DiagValue::None},
    {1, 202, 11, DiagValue::None},        // state the controller cannot name
    {2, 0, 0, DiagValue::None},           {3, 0, 0, DiagValue::None},
    {4, 0, 0, DiagValue::None},           {4, 1, 0, DiagValue::None},     {4, 9, 0, DiagValue::None},
    {4, 12, 0, DiagValue::None},          // unknown archive
    {5, 14, 0, DiagValue::ErrorCode},     {5, 14, 1, DiagValue::ErrorCode},
    {5, 13, 0, DiagValue::ErrorCode},     // a fault of another device
    {6, 0, 0, DiagValue::None},           {7, 0, 0, DiagValue::None},     {8, 0, 0, DiagValue::None},
    {9, 0, 0, DiagValue::None},
    {10, 33, 0, DiagValue::None},         {10, 33, 1, DiagValue::None},   {10, 34, 2, DiagValue::None},
    {10, 33, 2, DiagValue::None},         {11, 33, 0, DiagValue::None},   {11, 34, 1, DiagValue::None},
    {11, 20, 0, DiagValue::None},
    {12, 0, 8, DiagValue::Limit},         {13, 0, 8, DiagValue::Limit},   {14, 0, 7, DiagValue::Limit},
    {15, 0, 11, DiagValue::Limit},        {16, 0, 12, DiagValue::Limit},  {17, 0, 14, DiagValue::Limit},
    {18, 30, 8, DiagValue::None},         {19, 30, 9, DiagValue::None},   {20, 30, 3, DiagValue::None},
    {21, 30, 3, DiagValue::None},
    {22, 200, 5, DiagValue::None},        {22, 200, 78, DiagValue::None}, {22, 201, 3, DiagValue::None},
    {22, 201, 7, DiagValue::None},        {22, 201, 20, DiagValue::None}, {22, 200, 80, DiagValue::None},
    {23, 200, 5, DiagValue::None},        {23, 201, 3, DiagValue::None},  {23, 16, 2, DiagValue::None},
    {24, 16, 0, DiagValue::None},         {25, 16, 0, DiagValue::None},   {26, 16, 0, DiagValue::None},
    {27, 16, 1, DiagValue::None},         {28, 16, 1, DiagValue::None},   {29, 16, 1, DiagValue::None},
    {30, 16, 2, DiagValue::None},         {31, 16, 2, DiagValue::None},   {32, 16, 3, DiagValue::None},
    {33, 16, 3, DiagValue::None},         {34, 16, 4, DiagValue::None},   {35, 16, 4, DiagValue::None},
    {36, 16, 5, DiagValue::None},         {37, 16, 6, DiagValue::None},
    {38, 0, 0, DiagValue::None},          {39, 0, 0, DiagValue::None},
    {40, 242, 0, DiagValue::None},        {40, 243, 0, DiagValue::None},  {41, 244, 0, DiagValue::None},
    {41, 22, 0, DiagValue::None},
    {42, 23, 0, DiagValue::None},         {43, 23, 0, DiagValue::None},
    {44, 0, 10, DiagValue::Limit},        {45, 0, 10, DiagValue::Limit},  {46, 0, 13, DiagValue::Limit},
    {47, 0, 13, DiagValue::Limit},
    {48, 0, 1, DiagValue::None},          {49, 0, 2, DiagValue::None},
    {50, 35, 0, DiagValue::None},         {51, 35, 1, DiagValue::None},   {52, 35, 2, DiagValue::None},
    {53, 30, 8, DiagValue::None},         {54, 30, 8, DiagValue::None},   {55, 38, 9, DiagValue::None},
    {56, 38, 9, DiagValue::None},         {57, 16, 7, DiagValue::None},   {58, 16, 7, DiagValue::None},
    {59, 0, 0, DiagValue::Checksum},
    {60, 0, 16, DiagValue::Limit},        {61, 0, 16, DiagValue::Limit},  {62, 0, 18, DiagValue::Limit},
    {63, 0, 18, DiagValue::Limit},        {64, 0, 19, DiagValue::Limit},  {65, 0, 15, DiagValue::Limit},
    {66, 0, 15, DiagValue::Limit},        {67, 0, 17, DiagValue::Limit},  {68, 0, 17, DiagValue::Limit},
    {68, 0, 23, DiagValue::Limit},        // a parameter this version does not know
    {69, 22, 4, DiagValue::None},         {70, 22, 4, DiagValue::None},   {71, 37, 0, DiagValue::None},
    {72, 37, 0, DiagValue::None},         {73, 30, 1, DiagValue::None},   {74, 30, 1, DiagValue::None},
    {75, 32, 8, DiagValue::None},         {76, 8, 0, DiagValue::None},    {77, 34, 1, DiagValue::None},
    {78, 0, 0, DiagValue::None},          {79, 37, 2, DiagValue::None},   {80, 37, 2, DiagValue::None},
    {81, 35, 0, DiagValue::None},
    {82, 41, 0, DiagValue::None},         {97, 7, 3, DiagValue::None},    {150, 200, 1, DiagValue::None},
    {255, 255, 255, DiagValue::None},
};
constexpr int kDiagCatalogueSize = static_cast<int>(sizeof kDiagCatalogue / sizeof kDiagCatalogue[0]);

// Set points around which the limit events happen, by gas-parameter code.
constexpr float kSetpoints[20] = {0.1f, 2.0f,   0.3f,  0.3f, 0.02f, 0.1f,  0.1f, 3.5f,  90.0f, 2.0f,
                                  4.0f, 36.0f, 0.73f, 47.0f, 0.998f, 0.02f, 54.0f, 42.0f, 33.0f, 0.6f};

}  // namespace

// DiagnosticRecord: time, event code, 0, object, index, value, setpoint, 2
// spare bytes, CRC. Even indexes are what a station logs most (links lost
// and back, set points crossed, power, calibration, the chromatograph's
// state); odd indexes walk through every event code the controller has, so
// any 2 x catalogue consecutive messages hold all of them.
Record ArchiveModel::MakeDiagnostic(int64_t index, int64_t t) const {
    Record r(22, 0);
    PutTime(r, 0, t);
    const uint64_t i = static_cast<uint64_t>(index);
    const double pick = arch::Unit01(seed_, i, 51, 0);
    const double v = arch::Unit01(seed_, i, 52, 0);
    const int sub = static_cast<int>(arch::Unit01(seed_, i, 53, 0) * 1000);
    DiagCase c{0, 0, 0, DiagValue::None};
    if (index % 2 != 0) {
        c = kDiagCatalogue[(index / 2) % kDiagCatalogueSize];
        // Objects that vary between records of the same case.
        if (c.code == 1 && c.index < 11) c.index = static_cast<uint8_t>((c.index + sub) % 11);
        if ((c.code == 22 || c.code == 23) && c.object == 200 && c.index < 79) c.index = static_cast<uint8_t>(sub % 79);
        if ((c.code == 22 || c.code == 23) && c.object == 201 && c.index < 16) c.index = static_cast<uint8_t>(sub % 16);
    } else if (pick < 0.25) {  // link with the chromatograph or the moisture meter lost / back
        c = {static_cast<uint8_t>(index % 4 == 0 ? 10 : 11), 33, static_cast<uint8_t>(v < 0.7 ? 0 : 1), DiagValue::None};
    } else if (pick < 0.45) {  // a gas value crossed a warning set point
        static constexpr uint8_t kCodes[] = {14, 15, 16, 17};
        static constexpr uint8_t kParams[] = {8, 7, 11, 12, 9, 10};
        c = {kCodes[sub % 4], 0, kParams[sub / 4 % 6], DiagValue::Limit};
    } else if (pick < 0.55) {  // calibration cycle, verification made
        c = {static_cast<uint8_t>(sub % 2 ? 6 : 8), 0, 0, DiagValue::None};
    } else if (pick < 0.65) {  // power off / on
        c = {static_cast<uint8_t>(index % 4 ? 2 : 3), 0, 0, DiagValue::None};
    } else if (pick < 0.75) {  // chromatograph state
        c = {1, 202, static_cast<uint8_t>(sub % 11), DiagValue::None};
    } else if (pick < 0.82) {  // chromatograph clock corrected
        c = {static_cast<uint8_t>(sub % 2 ? 38 : 39), 0, 0, DiagValue::None};
    } else if (pick < 0.90) {  // chromatograph or moisture-meter flag
        const uint8_t obj = v < 0.6 ? 200 : 201;
        c = {static_cast<uint8_t>(sub % 2 ? 22 : 23), obj, static_cast<uint8_t>(obj == 200 ? sub % 79 : sub % 16),
             DiagValue::None};
    } else if (pick < 0.95) {  // gas values written / not written into a flow computer
        c = {static_cast<uint8_t>(sub % 2 ? 48 : 49), 0, static_cast<uint8_t>(1 + sub % 2), DiagValue::None};
    } else {  // chromatograph fault
        c = {5, 14, 0, DiagValue::ErrorCode};
    }
    switch (c.value) {
        case DiagValue::None: break;
        case DiagValue::Limit: {
            const float sp = kSetpoints[c.index % 20];
            const bool below = c.code % 2 == 0;
            PutF32(r, 10, sp * static_cast<float>(below ? 1.0 - 0.004 * v : 1.0 + 0.004 * v));
            PutF32(r, 14, sp);
            break;
        }
        case DiagValue::ErrorCode:
            // Known codes 1..78; index 1 of the catalogue case: one the chromatograph's newer firmware may send.
            r[10] = static_cast<uint8_t>(c.index == 1 ? 79 + sub % 20 : 1 + sub % 78);
            c.index = 0;
            break;
        case DiagValue::Checksum:
            PutU32(r, 10, static_cast<uint32_t>(arch::Unit01(seed_, i, 54, 0) * 4294967295.0));
            PutU32(r, 14, static_cast<uint32_t>(arch::Unit01(seed_, i, 55, 0) * 4294967295.0));
            break;
    }
    r[6] = c.code;
    r[8] = c.object;
    r[9] = c.index;
    Seal(r);
    return r;
}

// ---- operator interventions ---------------------------------------------------

namespace {

// How the old and new values of a change are filled.
enum class AudValue {
    Bytes,     // one byte each: `from` and `to`
    Name,      // four characters of a name, code page 866 (table 0 byte 12 is 0)
    Float,     // f32 around `from` (a gas parameter's limit or constant)
    U32,       // u32 `from` * 1000 + `to` (ports)
    Ip,        // four address bytes, the last `from` / `to`
};

struct AudCase {
    uint8_t table, field, unit;
    AudValue value;
    uint8_t from, to;
};

// Every field of every configuration table the controller records changes
// of, and a few that this software version cannot name (tables it does not
// know, rows and fields past their ends, values outside their lists, a unit
// code past the unit table).
constexpr AudCase kAudCatalogue[] = {
    {2, 0, 0, AudValue::Bytes, 24, 25},  {2, 1, 0, AudValue::Bytes, 3, 4},     {2, 2, 0, AudValue::Bytes, 9, 10},
    {2, 3, 0, AudValue::Bytes, 7, 8},    {2, 4, 0, AudValue::Bytes, 59, 0},    {2, 5, 0, AudValue::Bytes, 30, 0},
    {2, 6, 0, AudValue::Bytes, 1, 2},    {2, 6, 0, AudValue::Bytes, 7, 0},     {2, 7, 0, AudValue::Bytes, 0, 1},
    {2, 9, 0, AudValue::Bytes, 1, 2},
    {3, 0, 0, AudValue::Bytes, 1, 5},    {3, 1, 8, AudValue::Bytes, 11, 15},   {3, 2, 0, AudValue::Bytes, 2, 3},
    {3, 3, 0, AudValue::Bytes, 0, 1},
    {4, 3, 0, AudValue::Bytes, 0, 0},
    {5, 0, 0, AudValue::Name, 0, 0},     {5, 1, 0, AudValue::Name, 1, 0},      {5, 2, 0, AudValue::Name, 2, 0},
    {6, 0, 0, AudValue::Bytes, 3, 0},    {6, 1, 0, AudValue::Bytes, 0xF9, 0x89}, {6, 2, 0, AudValue::Bytes, 3, 2},
    {6, 3, 0, AudValue::Bytes, 10, 11},  {6, 4, 0, AudValue::Bytes, 0xF9, 0x1F}, {6, 5, 0, AudValue::Bytes, 4, 3},
    {6, 6, 0, AudValue::Bytes, 7, 10},   {6, 7, 0, AudValue::Bytes, 1, 0},     {6, 8, 0, AudValue::Bytes, 0, 1},
    {6, 9, 0, AudValue::Bytes, 1, 0},    {6, 10, 0, AudValue::Bytes, 0, 1},    {6, 11, 0, AudValue::Bytes, 1, 0},
    {6, 0, 0, AudValue::Bytes, 13, 0},
    {9, 0, 0, AudValue::Bytes, 2, 3},    {9, 1, 8, AudValue::Bytes, 11, 13},   {9, 2, 0, AudValue::Bytes, 3, 5},
    {9, 3, 17, AudValue::Bytes, 10, 15}, {9, 4, 0, AudValue::Bytes, 2, 4},     {9, 5, 0, AudValue::Bytes, 1, 3},
    {13, 0, 0, AudValue::Bytes, 0, 0},   {13, 5, 0, AudValue::Bytes, 0, 0},
    {14, 0, 0, AudValue::Bytes, 1, 2},   {14, 1, 8, AudValue::Bytes, 11, 18},  {14, 2, 0, AudValue::Bytes, 0, 1},
    {14, 3, 0, AudValue::Bytes, 0, 2},   {14, 4, 15, AudValue::Bytes, 10, 12}, {14, 5, 0, AudValue::Bytes, 3, 5},
    {14, 6, 0, AudValue::Bytes, 2, 3},   {14, 7, 0, AudValue::Bytes, 0x00, 0x04}, {14, 8, 0, AudValue::Bytes, 0, 1},
    {14, 9, 0, AudValue::Bytes, 1, 0},   {14, 10, 0, AudValue::Bytes, 0, 1},   {14, 11, 0, AudValue::Bytes, 1, 2},
    {14, 12, 0, AudValue::Bytes, 1, 0},  {14, 13, 0, AudValue::Bytes, 1, 2},   {14, 6, 0, AudValue::Bytes, 3, 9},
    {15, 0, 0, AudValue::Bytes, 1, 3},   {15, 1, 8, AudValue::Bytes, 11, 15},  {15, 2, 0, AudValue::Bytes, 1, 0},
    {15, 3, 0, AudValue::Bytes, 2, 1},   {15, 4, 15, AudValue::Bytes, 5, 8},   {15, 5, 0, AudValue::Bytes, 3, 4},
    {15, 6, 0, AudValue::Bytes, 0, 2},   {15, 7, 0, AudValue::Bytes, 0, 1},
    {17, 0, 0, AudValue::Bytes, 0, 1},   {17, 1, 0, AudValue::Bytes, 1, 3},    {17, 18, 0, AudValue::Bytes, 1, 5},
    {18, 0, 0, AudValue::Bytes, 1, 2},   {18, 1, 0, AudValue::Bytes, 2, 7},
    {19, 0, 0, AudValue::Bytes, 0x01, 0x03}, {19, 1, 0, AudValue::Bytes, 0x0F, 0x07},
    {20, 0, 0, AudValue::Bytes, 0, 1},   {20, 1, 0, AudValue::Bytes, 1, 0},
    {21, 8, 0, AudValue::Bytes, 0, 1},   {21, 11, 0, AudValue::Bytes, 1, 2},
    {22, 8, 5, AudValue::Float, 5, 0},   {23, 8, 5, AudValue::Float, 95, 0},   {24, 11, 9, AudValue::Float, 45, 0},
    {25, 12, 10, AudValue::Float, 1, 0}, {26, 16, 2, AudValue::Float, 62, 0},  {23, 21, 5, AudValue::Float, 1, 0},
    {28, 0, 0, AudValue::Bytes, 1, 2},   {28, 1, 0, AudValue::Bytes, 0, 1},
    {29, 0, 0, AudValue::Ip, 10, 20},    {29, 1, 0, AudValue::Ip, 0, 128},     {29, 2, 0, AudValue::Ip, 1, 254},
    {29, 3, 0, AudValue::U32, 5, 20},    {29, 4, 0, AudValue::U32, 5, 21},     {29, 5, 0, AudValue::U32, 5, 22},
    {29, 6, 0, AudValue::U32, 5, 23},
    {43, 8, 0, AudValue::Bytes, 0, 1},   {44, 8, 5, AudValue::Float, 90, 0},   {45, 12, 0, AudValue::Bytes, 1, 0},
    {46, 12, 10, AudValue::Float, 1, 0},
    {0, 12, 0, AudValue::Bytes, 0, 1},   {7, 22, 0, AudValue::Bytes, 0, 1},    {30, 1, 5, AudValue::Bytes, 0, 0},
    {47, 0, 0, AudValue::Bytes, 1, 2},   {201, 3, 40, AudValue::Bytes, 7, 8},
};
constexpr int kAudCatalogueSize = static_cast<int>(sizeof kAudCatalogue / sizeof kAudCatalogue[0]);

// Names before and after a change (UTF-8; the record holds their first four
// characters in code page 866).
constexpr const char* kNames[3][2] = {{"ГРС-1 Дослідна", "ГРС Північна"}, {"Нитка 1", "Лінія А"}, {"Нитка 2", "Лінія Б"}};

constexpr const char* kOperators[4] = {"ZBR ", "ADM1", "ENG2", "OP3\0"};

}  // namespace

// InterventionRecord: time, 0, table, field, unit code, old value, new value,
// operator (4 characters), CRC. One change in four is a set point or the
// contract hour; the others walk through every field the controller records
// changes of (three catalogue entries per four records).
Record ArchiveModel::MakeIntervention(int64_t index, int64_t t) const {
    Record r(24, 0);
    PutTime(r, 0, t);
    const uint64_t i = static_cast<uint64_t>(index);
    const double pick = arch::Unit01(seed_, i, 61, 0);
    const int sub = static_cast<int>(arch::Unit01(seed_, i, 62, 0) * 1000);
    AudCase c{};
    if (index % 4 != 0) {
        const int64_t pos = index / 4 * 3 + index % 4 - 1;
        c = kAudCatalogue[pos % kAudCatalogueSize];
    } else if (pick < 0.7) {  // a warning set point
        static constexpr uint8_t kParams[] = {8, 7, 11, 12, 9, 10, 13};
        const uint8_t p = kParams[sub % 7];
        c = {static_cast<uint8_t>(sub / 7 % 2 ? 23 : 24), p,
             static_cast<uint8_t>((p == 11 || p == 13) ? 9 : p == 12 ? 10 : 5), AudValue::Float, 0, 0};
    } else {  // contract hour
        c = {6, 6, 0, AudValue::Bytes, 6, 7};
    }
    switch (c.value) {
        case AudValue::Bytes:
            r[10] = c.from;
            r[14] = c.to;
            break;
        case AudValue::Name: {
            const auto oldName = Field(Utf8To866(kNames[c.from % 3][0]), 4);
            const auto newName = Field(Utf8To866(kNames[c.from % 3][1]), 4);
            std::copy(oldName.begin(), oldName.end(), r.begin() + 10);
            std::copy(newName.begin(), newName.end(), r.begin() + 14);
            break;
        }
        case AudValue::Float: {
            const float base = c.from ? static_cast<float>(c.from) : kSetpoints[c.field % 20];
            PutF32(r, 10, base);
            PutF32(r, 14, base * (sub % 3 ? 1.01f : 0.99f));
            break;
        }
        case AudValue::U32:
            PutU32(r, 10, c.from * 1000u + c.to);
            PutU32(r, 14, c.from * 1000u + c.to + 100u);
            break;
        case AudValue::Ip: {
            static constexpr uint8_t kNet[3][3] = {{192, 168, 1}, {255, 255, 255}, {192, 168, 1}};
            const int k = c.field % 3;
            for (int b = 0; b < 3; ++b) r[10 + b] = r[14 + b] = kNet[k][b];
            r[13] = c.from;
            r[17] = c.to;
            break;
        }
    }
    r[7] = c.table;
    r[8] = c.field;
    r[9] = c.unit;
    std::memcpy(&r[18], kOperators[sub % 4], 4);
    Seal(r);
    return r;
}

}  // namespace emu
