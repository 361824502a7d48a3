// Factory contents of the tables and the values the controller generates
// (its clock, the chromatograph's clock and the latest measured values).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "emulator/Controller.h"
#include "emulator/Dates.h"
#include "emulator/Text.h"

namespace emu {

namespace {

void PutU32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

void PutF32(std::vector<uint8_t>& v, size_t at, float f) {
    uint32_t x;
    std::memcpy(&x, &f, 4);
    PutU32(v, at, x);
}

void PutTime(std::vector<uint8_t>& v, size_t at, const DeviceTime& t) {
    std::copy(t.begin(), t.end(), v.begin() + at);
}

// Gas composition and properties of a typical pipeline gas, by gas-parameter
// code: C6+, propane, i-butane, n-butane, neo-pentane, i-pentane, n-pentane,
// nitrogen, methane, CO2, ethane (mole %), gross calorific value (MJ/m3),
// density (kg/m3), gross Wobbe (MJ/m3), compressibility, oxygen (%), gas
// temperature (°C), net Wobbe, net calorific value (MJ/m3), relative density.
constexpr float kGas[20] = {0.031f, 0.912f, 0.118f, 0.141f, 0.002f, 0.034f, 0.027f,
                            1.024f, 93.41f, 0.306f, 3.995f, 37.92f, 0.7235f, 49.87f,
                            0.9978f, 0.006f, 12.5f, 44.93f, 34.21f, 0.6007f};
// Second measuring line: a slightly leaner gas.
constexpr float kGas2[20] = {0.024f, 0.801f, 0.102f, 0.119f, 0.002f, 0.028f, 0.022f,
                             1.212f, 94.12f, 0.288f, 3.281f, 37.61f, 0.7168f, 49.55f,
                             0.9979f, 0.005f, 11.8f, 44.64f, 33.93f, 0.5951f};

// Defaults of the five limit tables 22..26, by code.
constexpr float kLimits[5][20] = {
    {0.01f, 0.05f, 0.01f, 0.01f, 0.01f, 0.01f, 0.01f, 0.05f, 5, 0.05f, 0.05f, 5, 0.0001f, 5, 0.001f, 0.01f, 0, 5, 4,
     0.0001f},
    {0.002f, 0.05f, 0.002f, 0.002f, 0.0002f, 0.0002f, 0.0002f, 0.2f, 95, 0.01f, 0.1f, 36, 0.67f, 45, 0.998f, 0.0002f,
     59, 45, 32, 0.5f},
    {0.6f, 6, 1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 12, 100, 8, 10, 45, 1, 55, 0.999f, 1.2f, 62, 55, 40, 0.7f},
    {0.001f, 0.01f, 0.001f, 0.001f, 0.0001f, 0.0001f, 0.0001f, 0, 90, 0, 0.01f, 35, 0.66f, 40, 0.997f, 0.0001f, 54, 40,
     30, 0.425f},
    {0.6f, 6, 1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 18, 100, 12, 12, 45, 1.05f, 55, 1, 1.2f, 62, 55, 40, 0.85f},
};

// Deterministic noise in [-1, 1) from the seed and a few numbers.
double Noise(uint32_t seed, uint64_t a, uint64_t b, uint64_t c) {
    uint64_t z = (static_cast<uint64_t>(seed) << 32) ^ (a * 0x9E3779B97F4A7C15ull) ^ (b << 20) ^ (c << 8) ^ c;
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

}  // namespace

void Controller::FactoryReset() {
    for (int t = 0; t < kTableCount; ++t) {
        const TableShape s = Shape(t);
        tables_[t].assign(s.rows * s.size, 0);
        live_[t] = false;
        restoreNext_[t] = 0;
    }
    const DeviceTime now = Clock();
    const int64_t nowSec = date::ToSeconds(now);
    auto midnightDaysAgo = [&](int days) { return date::FromSeconds((nowSec / 86400 - days) * 86400); };

    // 0: identification. No damaged table; type 'I'; hardware version 2;
    // software version 11 of 14.05.12 10:30:00; multi-byte values low byte
    // first; several baud rates; names in code page 866; address changeable;
    // protocol version 4.1.0.
    tables_[0] = {0, 'I', 2, 11, 12, 5, 14, 10, 30, 0, 1, 1, 0, 0, 4, 1, 0, 0};

    // 2: clock, generated.
    live_[2] = true;

    // 3: upper-level link: address 1, 9600 baud, no preambles in replies.
    tables_[3] = {1, static_cast<uint8_t>(BaudToCode(9600)), 0, 0};

    // 4: users. Row 0 the manufacturer "ZBR ", password "12345", code "1111";
    // the other rows free (level 0, blanks).
    for (int r = 0; r < 16; ++r) {
        uint8_t* p = &tables_[4][r * 22];
        std::memset(p, ' ', 22);
        p[4] = 0;
        p[5] = 0;
    }
    std::memcpy(&tables_[4][0], "ZBR ", 4);
    tables_[4][4] = 1;
    SetCredentials("12345", "1111");

    // 5: names, in code page 866 (table 0 byte 12 = 0).
    SetName(0, "ГРС-1 Дослідна");
    SetName(1, "Нитка 1");
    SetName(2, "Нитка 2");

    // 6: summer time from the last Sunday of March 3:00, winter time from the
    // last Sunday of October 4:00; contract hour 7; chromatograph, moisture
    // meter and flow computers present; the clock may be set from the PC.
    tables_[6] = {3, 0xC9, 3, 10, 0xC9, 4, 7, 1, 1, 1, 0, 1};

    // 8: both functions possible.
    tables_[8] = {1, 1};

    // 9: two flow computers at 9600 baud, 3 failed polls, 1.0 s time-out, 2
    // preambles, hourly averages written when they deviate.
    tables_[9] = {2, static_cast<uint8_t>(BaudToCode(9600)), 3, 10, 2, 1};

    // 10..12: archive index bounds {oldest, newest}.
    PutU32(tables_[10], 0, 1);
    PutU32(tables_[10], 4, 250);
    PutU32(tables_[11], 0, 1);
    PutU32(tables_[11], 4, 120);
    PutU32(tables_[12], 0, 1);
    PutU32(tables_[12], 4, 30);

    // 13: flow-computer write passwords, blank.
    std::memset(tables_[13].data(), ' ', tables_[13].size());

    // 14: chromatograph at MODBUS address 1, 9600 baud, RTU, no parity, 10 s,
    // 3 failed polls; type 3; lines 1 and 2 in use, no oxygen; no clock
    // synchronisation; gas temperature of line 1 from flow computer 0
    // pipeline 1, of line 2 from flow computer 1 pipeline 1.
    tables_[14] = {1, static_cast<uint8_t>(BaudToCode(9600)), 1, 0, 10, 3, 3, 0x03, 0, 0, 0, 1, 1, 1};

    // 15: moisture meter at MODBUS address 2, 9600 baud, RTU, 10 s, 3 polls, type 0.
    tables_[15] = {2, static_cast<uint8_t>(BaudToCode(9600)), 1, 0, 10, 3, 0, 0};

    // 16: abnormal-situation flags (generated; these bytes stand when a
    // test sets the table): last change two hours ago, all normal.
    PutTime(tables_[16], 0, date::FromSeconds(nowSec - 7200));

    // 17..20: flow computers: types, addresses, pipeline write masks, byte order.
    tables_[17][0] = 0;
    tables_[17][1] = 1;
    tables_[18][0] = 1;
    tables_[18][1] = 2;
    tables_[19][0] = 0x01;
    tables_[19][1] = 0x11;  // pipeline 1 fed from line 2
    tables_[20][0] = 1;
    tables_[20][1] = 1;

    // 21: every parameter written into the flow computers but oxygen and temperature.
    for (int k = 0; k < 20; ++k) tables_[21][k] = (k == 15 || k == 16) ? 0 : 1;

    // 22..26: limit tables.
    for (int kind = 0; kind < 5; ++kind)
        for (int k = 0; k < 20; ++k) PutF32(tables_[22 + kind], k * 4, kLimits[kind][k]);

    // 27: oldest records of the measured, hourly and daily archives.
    PutTime(tables_[27], 0, midnightDaysAgo(35));
    PutTime(tables_[27], 6, midnightDaysAgo(62));
    PutTime(tables_[27], 12, midnightDaysAgo(400));

    // 28: hourly averages written every hour.
    tables_[28] = {1, 0};

    // 29: Ethernet: 192.168.1.10/24, gateway 192.168.1.1, ports 502, 503, 5020, 5021.
    tables_[29] = {10, 1, 168, 192, 0, 255, 255, 255, 1, 1, 168, 192};
    tables_[29].resize(28, 0);
    PutU32(tables_[29], 12, 502);
    PutU32(tables_[29], 16, 503);
    PutU32(tables_[29], 20, 5020);
    PutU32(tables_[29], 24, 5021);

    // 30, 37, 38, 42: latest values and the chromatograph clock, generated.
    live_[30] = live_[37] = live_[38] = live_[42] = true;

    // 16, 32..35, 39: the current state, generated (see Generate): zones,
    // links, abnormal situations.
    live_[16] = live_[32] = live_[33] = live_[34] = live_[35] = live_[39] = true;

    // 41: chromatograph serial number.
    PutU32(tables_[41], 0, 7200123);

    // 43..46: no parameter set to a constant; the constants a typical gas.
    for (int k = 0; k < 20; ++k) {
        PutF32(tables_[44], k * 4, kGas[k]);
        PutF32(tables_[46], k * 4, kGas2[k]);
    }
}

namespace {

// The live state changes every 10 seconds (a monitor's refresh period).
constexpr int64_t kLiveStep = 10;

// True with probability p for this seed, slot and tag (deterministic).
bool Chance(uint32_t seed, int64_t slot, uint64_t tag, uint64_t i, double p) {
    return (Noise(seed, static_cast<uint64_t>(slot), tag, i) + 1.0) / 2.0 < p;
}

}  // namespace

Controller::LiveState Controller::Live(int64_t slot) const {
    LiveState s;
    const bool wmt = tables_[6][8] != 0;
    const int computers = std::min<int>(tables_[9][0], 16);
    s.chromLink = !Chance(seed_, slot, 330, 0, 1.0 / 20);
    s.wmtLink = wmt && !Chance(seed_, slot, 330, 1, 1.0 / 25);
    for (int i = 0; i < computers; ++i) {
        s.ovgLink[i] = !Chance(seed_, slot, 340, i, 1.0 / 30);
        s.ovgWrite[i] = s.ovgLink[i] && !Chance(seed_, slot, 350, i, 1.0 / 10);
        if (!s.ovgLink[i]) s.ovgSituation = 1;
    }
    // Zones: mostly normal; now and then a parameter in a warning or alarm zone.
    for (int line = 0; line < 2; ++line)
        for (int k = 0; k < 20; ++k) {
            uint8_t z = 0;
            if (k != 16 && Chance(seed_, slot, 320 + line, k, 1.0 / 200))
                z = static_cast<uint8_t>(1 + static_cast<int>((Noise(seed_, slot, 325 + line, k) + 1.0) * 2) % 4);
            s.zones[line][k] = z;
            if (z >= 3) s.lineOut[line] = 1;
        }
    s.chromError = !s.chromLink ? 7 : Chance(seed_, slot, 360, 0, 1.0 / 40) ? 12 : 0;
    s.wmtError = wmt && !s.wmtLink ? 3 : 0;
    s.selfDiag = Chance(seed_, slot, 370, 0, 1.0 / 60) ? 1 : 0;
    return s;
}

void Controller::Generate(int t, std::vector<uint8_t>& v) const {
    const int64_t now = NowSeconds();
    const int64_t liveSlot = (now - ((now % kLiveStep) + kLiveStep) % kLiveStep) / kLiveStep;
    switch (t) {
    case 16: {
        // Abnormal situations; the date is when they last changed (looked
        // for over the last five minutes, else the factory date stands).
        const LiveState s = Live(liveSlot);
        auto flags = [](const LiveState& x) {
            return std::array<uint8_t, 6>{x.ovgSituation, x.chromError, x.wmtError, x.selfDiag, x.lineOut[0],
                                          x.lineOut[1]};
        };
        const auto f = flags(s);
        for (int64_t back = 0; back < 30; ++back) {
            if (flags(Live(liveSlot - back - 1)) != f) {
                PutTime(v, 0, date::FromSeconds((liveSlot - back) * kLiveStep));
                break;
            }
        }
        std::copy(f.begin(), f.end(), v.begin() + 6);
        break;
    }
    case 32:
    case 39: {
        const LiveState s = Live(liveSlot);
        std::copy_n(s.zones[t == 32 ? 0 : 1], 20, v.begin());
        break;
    }
    case 33: {
        const LiveState s = Live(liveSlot);
        v[0] = s.chromLink;
        v[1] = s.wmtLink;
        break;
    }
    case 34:
    case 35: {
        const LiveState s = Live(liveSlot);
        std::copy_n(t == 34 ? s.ovgLink : s.ovgWrite, 16, v.begin());
        break;
    }
    case 30:
    case 38: {
        // The latest analysis, a new one every 10 s: {year, month, day, -,
        // hour, minute, second, -, 20 values}.
        const int64_t slot = liveSlot * kLiveStep;
        const DeviceTime d = date::FromSeconds(slot);
        v[0] = d[0], v[1] = d[1], v[2] = d[2], v[3] = 0;
        v[4] = d[3], v[5] = d[4], v[6] = d[5], v[7] = 0;
        const float* base = t == 30 ? kGas : kGas2;
        for (int k = 0; k < 20; ++k) {
            const double n = Noise(seed_, static_cast<uint64_t>(slot), static_cast<uint64_t>(t), k);
            const double val = k == 16 ? base[k] + 0.5 * n : base[k] * (1.0 + 0.002 * n);
            PutF32(v, 8 + 4 * k, static_cast<float>(val));
        }
        break;
    }
    case 2: {
        // {date and time, weekday 1..7 from Sunday, 0 summer / 1 winter time}
        const DeviceTime c = date::FromSeconds(now);
        PutTime(v, 0, c);
        const int64_t days = date::DaysFromCivil(2000 + c[0], c[1], c[2]);
        v[6] = static_cast<uint8_t>(date::WeekdayOfDays(days) + 1);
        v[7] = date::SeasonFlag(c, tables_[6]);
        break;
    }
    case 42:  // the chromatograph's clock runs 3 s behind
        PutTime(v, 0, date::FromSeconds(now - 3));
        break;
    case 37: {
        // Moisture meter, a reading every 10 s: water dew point (°C), hydrocarbon
        // dew point (°C), pressure (bar), temperature (°C), pressure (bar).
        static constexpr float kWmt[5] = {-18.5f, -9.3f, 45.2f, 12.1f, 45.0f};
        const int64_t slot = liveSlot * kLiveStep;
        const DeviceTime d = date::FromSeconds(slot);
        v[0] = d[0], v[1] = d[1], v[2] = d[2], v[3] = 0;
        v[4] = d[3], v[5] = d[4], v[6] = d[5], v[7] = 0;
        for (int i = 0; i < 5; ++i) {
            const double n = Noise(seed_, static_cast<uint64_t>(slot), 37, i);
            PutF32(v, 8 + 4 * i, static_cast<float>(kWmt[i] + 0.2 * n));
        }
        break;
    }
    default:
        break;
    }
}

}  // namespace emu
