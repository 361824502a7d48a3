// The fixed ranges of the five per-parameter limit tables.
//
// The controller keeps five limit tables of 20 single-precision values, one
// per gas-parameter code 0..19:
//
//   kind 0  table 22  change-insensitivity zone
//   kind 1  table 23  lower warning set point
//   kind 2  table 24  upper warning set point
//   kind 3  table 25  lower bound of values written into flow computers
//   kind 4  table 26  upper bound of values written into flow computers
//
// For every kind and parameter `LimitRanges` gives the range a value must lie
// in, the default a new configuration starts from, the unit label shown
// beside it and the decimals it is shown with. Kinds 1 to 4 share their
// ranges. Gas temperature (code 16) is never edited; its row still gives the
// defaults and the units. Constant data.
#pragma once
#include <cstdint>

inline constexpr int kLimitKindCount = 5;
inline constexpr int kLimitParamCount = 20;
// Table of limit kind 0; kind k is table kLimitFirstTable + k.
inline constexpr int kLimitFirstTable = 22;

struct LimitRange {
    float min;
    float max;
    float def;          // default of a new configuration
    const char* unit;   // unit label (UTF-8), "" for none
    uint8_t decimals;   // shown with this many decimals
};

// [kind][gas-parameter code], kind-major.
extern const LimitRange LimitRanges[kLimitKindCount][kLimitParamCount];

// The range of (kind, code), or nullptr when either lies outside the table.
const LimitRange* FindLimitRange(int kind, int code);
