// Shared steps of the editor window tests: a refused accept (the message,
// the window still open) and single-precision blocks.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ui/TestDriver.h"
#include "ui/Ui.h"

namespace edtest {

// Clicks `accept`, which must be refused with exactly this message; the
// window stays open.
inline void ExpectRefused(ui::test::Driver& drv, ui::Form& f, ui::Button& accept, int kind, const std::string& line1,
                          const std::string& line2 = {}) {
    const std::size_t before = drv.messages().size();
    drv.expectMessage(kind, line1, line2);
    ASSERT_TRUE(accept.Click());
    EXPECT_EQ(drv.messages().size(), before + 1) << line1;
    EXPECT_EQ(f.ModalResult(), ui::mrNone) << line1;
}

inline float GetF(const uint8_t* block, int i) {
    float f;
    std::memcpy(&f, block + 4 * i, 4);
    return f;
}
inline void PutF(uint8_t* block, int i, float f) { std::memcpy(block + 4 * i, &f, 4); }

}  // namespace edtest
