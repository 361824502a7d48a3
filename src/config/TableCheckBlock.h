// The 141 bytes the table-state windows share: per configuration table its
// directory flag, its damaged state and a restore mark. The controller-state
// window fills it from table 7; the table-state window shows it and sets the
// marks.
#pragma once
#include <cstdint>

#include "config/ConfigImage.h"

struct TableCheckBlock {
    uint8_t Flags[kTableCount] = {};   // 1 = configuration table (listed)
    uint8_t States[kTableCount] = {};  // 1 = damaged
    uint8_t Marks[kTableCount] = {};   // 1 = write this table
};
static_assert(sizeof(TableCheckBlock) == 141);
