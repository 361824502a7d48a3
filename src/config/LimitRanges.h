// The fixed ranges of the five per-parameter limit tables (22..26): for
// every limit kind and gas parameter the values the limits editor accepts,
// the default a new configuration starts from, the unit label and the
// decimals the value is shown with.
//
// Kinds: 0 change-insensitivity zone (table 22), 1 lower warning set point
// (23), 2 upper warning set point (24), 3 lower bound of the values written
// into flow computers (25), 4 upper bound of them (26).
#pragma once
#include <cstdint>

#include "common/GasParams.h"  // kGasParamCount

struct LimitRange {
    float min;
    float max;
    float def;
    const char* unit;  // "" where the parameter has no unit
    uint8_t decimals;
};

inline constexpr int kLimitKindCount = 5;
// The table of the first kind (22); kind k is table 22 + k.
inline constexpr int kFirstLimitTable = 22;

// Kind-major: LimitRanges[kind][code].
extern const LimitRange LimitRanges[kLimitKindCount][kGasParamCount];

// The range of (kind, code), or nullptr outside 0..4 / 0..19.
const LimitRange* LimitRangeOf(int kind, int code);
