// Counts and flags the program takes from the configuration image, held to
// what the tables can index. A controller (or a configuration file) may send
// any byte; a count never reaches past the rows that exist.
#pragma once
#include <algorithm>
#include <cstdint>

#include "config/ConfigImage.h"

// Flow computers the per-computer tables (13, 17..20, 34, 35) have rows for.
inline constexpr int kMaxFlowComputers = 16;

// A count from the controller held to 0..limit.
inline int ClampCount(int value, int limit) { return std::clamp(value, 0, std::max(limit, 0)); }

// Connected flow computers (table 9 row 0), at most 16.
inline int FlowComputerCount() { return ClampCount(ConfigImage[cfgofs::kFlowLink], kMaxFlowComputers); }

// Oxygen is measured (table 14 row 7 bit 2).
inline bool OxygenMeasured() { return (ConfigImage[cfgofs::kChromLink + 7] & 0x04) != 0; }
