#include "config/LimitRanges.h"

namespace {
constexpr const char* kPct = "%";
constexpr const char* kMj3 = "МДж/м3";
constexpr const char* kMj = "МДж/м";
constexpr const char* kKg3 = "кг/м3";
constexpr const char* kDeg = "°С";
constexpr const char* kNone = "";
}  // namespace

// clang-format off
const LimitRange LimitRanges[kLimitKindCount][kLimitParamCount] = {
    {   // kind 0: change-insensitivity zone
        {0.0001f, 0.1f,   0.01f,   kPct,  4},  //  0 C6+
        {0.0001f, 0.5f,   0.05f,   kPct,  4},  //  1 propane
        {0.0001f, 0.1f,   0.01f,   kPct,  4},  //  2 i-butane
        {0.0001f, 0.1f,   0.01f,   kPct,  4},  //  3 n-butane
        {0.0001f, 0.1f,   0.01f,   kPct,  4},  //  4 neo-pentane
        {0.0001f, 0.1f,   0.01f,   kPct,  4},  //  5 i-pentane
        {0.0001f, 0.1f,   0.01f,   kPct,  4},  //  6 n-pentane
        {0.0001f, 10.0f,  0.05f,   kPct,  4},  //  7 nitrogen
        {0.0001f, 50.0f,  5.0f,    kPct,  4},  //  8 methane
        {0.0001f, 10.0f,  0.05f,   kPct,  4},  //  9 carbon dioxide
        {0.0001f, 0.5f,   0.05f,   kPct,  4},  // 10 ethane
        {0.0001f, 50.0f,  5.0f,    kMj3,  4},  // 11 gross calorific value
        {0.0001f, 0.001f, 0.0001f, kKg3,  4},  // 12 density
        {0.0001f, 50.0f,  5.0f,    kMj3,  4},  // 13 gross Wobbe index
        {0.0001f, 0.01f,  0.001f,  kNone, 4},  // 14 compressibility
        {0.0001f, 0.1f,   0.01f,   kPct,  4},  // 15 oxygen
        {0.0f,    0.0f,   0.0f,    kNone, 0},  // 16 gas temperature
        {0.0001f, 50.0f,  5.0f,    kMj3,  4},  // 17 net Wobbe index
        {0.0001f, 40.0f,  4.0f,    kMj3,  4},  // 18 net calorific value
        {0.0001f, 0.001f, 0.0001f, kNone, 4},  // 19 relative density
    },
    {   // kind 1: lower warning set point
        {0.0f,   0.6f,  0.002f,  kPct,  3},
        {0.0f,   6.0f,  0.05f,   kPct,  3},
        {0.0f,   1.2f,  0.002f,  kPct,  3},
        {0.0f,   1.2f,  0.002f,  kPct,  3},
        {0.0f,   1.2f,  0.0002f, kPct,  4},
        {0.0f,   1.2f,  0.0002f, kPct,  4},
        {0.0f,   1.2f,  0.0002f, kPct,  4},
        {0.0f,   18.0f, 0.2f,    kPct,  3},
        {40.0f,  100.0f, 95.0f,  kPct,  3},
        {0.0f,   12.0f, 0.01f,   kPct,  3},
        {0.0f,   12.0f, 0.1f,    kPct,  3},
        {35.0f,  45.0f, 36.0f,   kMj3,  0},
        {0.66f,  1.05f, 0.67f,   kKg3,  3},
        {40.0f,  55.0f, 45.0f,   kMj3,  0},
        {0.997f, 1.0f,  0.998f,  kNone, 4},
        {0.0f,   1.2f,  0.0002f, kPct,  4},
        {54.0f,  62.0f, 59.0f,   kDeg,  0},
        {40.0f,  55.0f, 45.0f,   kMj3,  0},
        {30.0f,  40.0f, 32.0f,   kMj3,  0},
        {0.425f, 0.85f, 0.5f,    kNone, 3},
    },
    {   // kind 2: upper warning set point
        {0.0f,   0.6f,  0.6f,    kPct,  3},
        {0.0f,   6.0f,  6.0f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   18.0f, 12.0f,   kPct,  3},
        {40.0f,  100.0f, 100.0f, kPct,  3},
        {0.0f,   12.0f, 8.0f,    kPct,  3},
        {0.0f,   12.0f, 10.0f,   kPct,  3},
        {35.0f,  45.0f, 45.0f,   kMj,   0},
        {0.66f,  1.05f, 1.0f,    kKg3,  3},
        {40.0f,  55.0f, 55.0f,   kMj,   0},
        {0.997f, 1.0f,  0.999f,  kNone, 4},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {54.0f,  62.0f, 62.0f,   kDeg,  0},
        {40.0f,  55.0f, 55.0f,   kMj,   0},
        {30.0f,  40.0f, 40.0f,   kMj,   0},
        {0.425f, 0.85f, 0.7f,    kNone, 3},
    },
    {   // kind 3: lower bound of values written into flow computers
        {0.0f,   0.6f,  0.001f,  kPct,  3},
        {0.0f,   6.0f,  0.01f,   kPct,  3},
        {0.0f,   1.2f,  0.001f,  kPct,  3},
        {0.0f,   1.2f,  0.001f,  kPct,  3},
        {0.0f,   1.2f,  0.0001f, kPct,  4},
        {0.0f,   1.2f,  0.0001f, kPct,  4},
        {0.0f,   1.2f,  0.0001f, kPct,  4},
        {0.0f,   18.0f, 0.0f,    kPct,  3},
        {40.0f,  100.0f, 90.0f,  kPct,  3},
        {0.0f,   12.0f, 0.0f,    kPct,  3},
        {0.0f,   12.0f, 0.01f,   kPct,  3},
        {35.0f,  45.0f, 35.0f,   kMj,   0},
        {0.66f,  1.05f, 0.66f,   kKg3,  3},
        {40.0f,  55.0f, 40.0f,   kMj,   0},
        {0.997f, 1.0f,  0.997f,  kNone, 4},
        {0.0f,   1.2f,  0.0001f, kPct,  4},
        {54.0f,  62.0f, 54.0f,   kDeg,  1},
        {40.0f,  55.0f, 40.0f,   kMj,   0},
        {30.0f,  40.0f, 30.0f,   kMj,   0},
        {0.425f, 0.85f, 0.425f,  kNone, 3},
    },
    {   // kind 4: upper bound of values written into flow computers
        {0.0f,   0.6f,  0.6f,    kPct,  3},
        {0.0f,   6.0f,  6.0f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {0.0f,   18.0f, 18.0f,   kPct,  3},
        {40.0f,  100.0f, 100.0f, kPct,  3},
        {0.0f,   12.0f, 12.0f,   kPct,  3},
        {0.0f,   12.0f, 12.0f,   kPct,  3},
        {35.0f,  45.0f, 45.0f,   kMj,   0},
        {0.66f,  1.05f, 1.05f,   kKg3,  3},
        {40.0f,  55.0f, 55.0f,   kMj,   0},
        {0.997f, 1.0f,  1.0f,    kNone, 4},
        {0.0f,   1.2f,  1.2f,    kPct,  3},
        {54.0f,  62.0f, 62.0f,   kDeg,  1},
        {40.0f,  55.0f, 55.0f,   kMj,   0},
        {30.0f,  40.0f, 40.0f,   kMj,   0},
        {0.425f, 0.85f, 0.85f,   kNone, 3},
    },
};
// clang-format on

const LimitRange* FindLimitRange(int kind, int code) {
    if (kind < 0 || kind >= kLimitKindCount || code < 0 || code >= kLimitParamCount) return nullptr;
    return &LimitRanges[kind][code];
}
