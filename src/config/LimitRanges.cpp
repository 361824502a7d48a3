#include "config/LimitRanges.h"

namespace {

constexpr const char* kPct = "%";
constexpr const char* kMJ3 = "МДж/м3";
constexpr const char* kMJ = "МДж/м";  // as the set-point kinds have always labelled it
constexpr const char* kKg = "кг/м3";
constexpr const char* kDegC = "°С";
constexpr const char* kNone = "";

}  // namespace

// clang-format off
const LimitRange LimitRanges[kLimitKindCount][kGasParamCount] = {
    // kind 0: change-insensitivity zone
    {
        {0.0001f, 0.1f, 0.01f, kPct, 4},      // 0
        {0.0001f, 0.5f, 0.05f, kPct, 4},      // 1
        {0.0001f, 0.1f, 0.01f, kPct, 4},      // 2
        {0.0001f, 0.1f, 0.01f, kPct, 4},      // 3
        {0.0001f, 0.1f, 0.01f, kPct, 4},      // 4
        {0.0001f, 0.1f, 0.01f, kPct, 4},      // 5
        {0.0001f, 0.1f, 0.01f, kPct, 4},      // 6
        {0.0001f, 10.0f, 0.05f, kPct, 4},     // 7
        {0.0001f, 50.0f, 5.0f, kPct, 4},      // 8
        {0.0001f, 10.0f, 0.05f, kPct, 4},     // 9
        {0.0001f, 0.5f, 0.05f, kPct, 4},      // 10
        {0.0001f, 50.0f, 5.0f, kMJ3, 4},      // 11
        {0.0001f, 0.001f, 0.0001f, kKg, 4},   // 12
        {0.0001f, 50.0f, 5.0f, kMJ3, 4},      // 13
        {0.0001f, 0.01f, 0.001f, kNone, 4},   // 14
        {0.0001f, 0.1f, 0.01f, kPct, 4},      // 15
        {0.0f, 0.0f, 0.0f, kNone, 0},         // 16
        {0.0001f, 50.0f, 5.0f, kMJ3, 4},      // 17
        {0.0001f, 40.0f, 4.0f, kMJ3, 4},      // 18
        {0.0001f, 0.001f, 0.0001f, kNone, 4}, // 19
    },
    // kind 1: lower warning set point
    {
        {0.0f, 0.6f, 0.002f, kPct, 3},
        {0.0f, 6.0f, 0.05f, kPct, 3},
        {0.0f, 1.2f, 0.002f, kPct, 3},
        {0.0f, 1.2f, 0.002f, kPct, 3},
        {0.0f, 1.2f, 0.0002f, kPct, 4},
        {0.0f, 1.2f, 0.0002f, kPct, 4},
        {0.0f, 1.2f, 0.0002f, kPct, 4},
        {0.0f, 18.0f, 0.2f, kPct, 3},
        {40.0f, 100.0f, 95.0f, kPct, 3},
        {0.0f, 12.0f, 0.01f, kPct, 3},
        {0.0f, 12.0f, 0.1f, kPct, 3},
        {35.0f, 45.0f, 36.0f, kMJ3, 0},
        {0.66f, 1.05f, 0.67f, kKg, 3},
        {40.0f, 55.0f, 45.0f, kMJ3, 0},
        {0.997f, 1.0f, 0.998f, kNone, 4},
        {0.0f, 1.2f, 0.0002f, kPct, 4},
        {54.0f, 62.0f, 59.0f, kDegC, 0},
        {40.0f, 55.0f, 45.0f, kMJ3, 0},
        {30.0f, 40.0f, 32.0f, kMJ3, 0},
        {0.425f, 0.85f, 0.5f, kNone, 3},
    },
    // kind 2: upper warning set point
    {
        {0.0f, 0.6f, 0.6f, kPct, 3},
        {0.0f, 6.0f, 6.0f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 18.0f, 12.0f, kPct, 3},
        {40.0f, 100.0f, 100.0f, kPct, 3},
        {0.0f, 12.0f, 8.0f, kPct, 3},
        {0.0f, 12.0f, 10.0f, kPct, 3},
        {35.0f, 45.0f, 45.0f, kMJ, 0},
        {0.66f, 1.05f, 1.0f, kKg, 3},
        {40.0f, 55.0f, 55.0f, kMJ, 0},
        {0.997f, 1.0f, 0.999f, kNone, 4},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {54.0f, 62.0f, 62.0f, kDegC, 0},
        {40.0f, 55.0f, 55.0f, kMJ, 0},
        {30.0f, 40.0f, 40.0f, kMJ, 0},
        {0.425f, 0.85f, 0.7f, kNone, 3},
    },
    // kind 3: lower bound of the values written into flow computers
    {
        {0.0f, 0.6f, 0.001f, kPct, 3},
        {0.0f, 6.0f, 0.01f, kPct, 3},
        {0.0f, 1.2f, 0.001f, kPct, 3},
        {0.0f, 1.2f, 0.001f, kPct, 3},
        {0.0f, 1.2f, 0.0001f, kPct, 4},
        {0.0f, 1.2f, 0.0001f, kPct, 4},
        {0.0f, 1.2f, 0.0001f, kPct, 4},
        {0.0f, 18.0f, 0.0f, kPct, 3},
        {40.0f, 100.0f, 90.0f, kPct, 3},
        {0.0f, 12.0f, 0.0f, kPct, 3},
        {0.0f, 12.0f, 0.01f, kPct, 3},
        {35.0f, 45.0f, 35.0f, kMJ, 0},
        {0.66f, 1.05f, 0.66f, kKg, 3},
        {40.0f, 55.0f, 40.0f, kMJ, 0},
        {0.997f, 1.0f, 0.997f, kNone, 4},
        {0.0f, 1.2f, 0.0001f, kPct, 4},
        {54.0f, 62.0f, 54.0f, kDegC, 1},
        {40.0f, 55.0f, 40.0f, kMJ, 0},
        {30.0f, 40.0f, 30.0f, kMJ, 0},
        {0.425f, 0.85f, 0.425f, kNone, 3},
    },
    // kind 4: upper bound of the values written into flow computers
    {
        {0.0f, 0.6f, 0.6f, kPct, 3},
        {0.0f, 6.0f, 6.0f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {0.0f, 18.0f, 18.0f, kPct, 3},
        {40.0f, 100.0f, 100.0f, kPct, 3},
        {0.0f, 12.0f, 12.0f, kPct, 3},
        {0.0f, 12.0f, 12.0f, kPct, 3},
        {35.0f, 45.0f, 45.0f, kMJ, 0},
        {0.66f, 1.05f, 1.05f, kKg, 3},
        {40.0f, 55.0f, 55.0f, kMJ, 0},
        {0.997f, 1.0f, 1.0f, kNone, 4},
        {0.0f, 1.2f, 1.2f, kPct, 3},
        {54.0f, 62.0f, 62.0f, kDegC, 1},
        {40.0f, 55.0f, 55.0f, kMJ, 0},
        {30.0f, 40.0f, 40.0f, kMJ, 0},
        {0.425f, 0.85f, 0.85f, kNone, 3},
    },
};
// clang-format on

const LimitRange* LimitRangeOf(int kind, int code) {
    if (kind < 0 || kind >= kLimitKindCount || code < 0 || code >= kGasParamCount) return nullptr;
    return &LimitRanges[kind][code];
}
