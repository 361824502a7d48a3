// The fixed limit ranges: a few entries of each kind as the editor and the
// new-configuration defaults rely on, and no default outside its range.
#include <gtest/gtest.h>

#include <string>

#include "config/LimitRanges.h"

namespace {

TEST(LimitRanges, EntriesOfEveryKind) {
    const LimitRange* m = LimitRangeOf(1, 8);  // methane, lower warning set point
    ASSERT_NE(m, nullptr);
    EXPECT_FLOAT_EQ(m->min, 40.0f);
    EXPECT_FLOAT_EQ(m->max, 100.0f);
    EXPECT_FLOAT_EQ(m->def, 95.0f);
    EXPECT_EQ(std::string(m->unit), "%");
    EXPECT_EQ(m->decimals, 3);
    const LimitRange* d = LimitRangeOf(0, 12);  // density, insensitivity zone
    EXPECT_FLOAT_EQ(d->min, 0.0001f);
    EXPECT_FLOAT_EQ(d->max, 0.001f);
    EXPECT_EQ(std::string(d->unit), "кг/м3");
    EXPECT_EQ(std::string(LimitRangeOf(1, 11)->unit), "МДж/м3");
    EXPECT_EQ(std::string(LimitRangeOf(2, 11)->unit), "МДж/м");
    EXPECT_EQ(std::string(LimitRangeOf(3, 14)->unit), "");
    EXPECT_EQ(LimitRangeOf(3, 16)->decimals, 1);
    EXPECT_EQ(LimitRangeOf(2, 16)->decimals, 0);
    EXPECT_EQ(std::string(LimitRangeOf(4, 16)->unit), "°С");
    EXPECT_FLOAT_EQ(LimitRangeOf(4, 19)->def, 0.85f);
    EXPECT_EQ(LimitRangeOf(-1, 0), nullptr);
    EXPECT_EQ(LimitRangeOf(5, 0), nullptr);
    EXPECT_EQ(LimitRangeOf(0, 20), nullptr);
}

TEST(LimitRanges, EveryDefaultLiesInItsRange) {
    for (int k = 0; k < kLimitKindCount; ++k)
        for (int c = 0; c < kGasParamCount; ++c) {
            const LimitRange& r = LimitRanges[k][c];
            EXPECT_LE(r.min, r.def) << k << "/" << c;
            EXPECT_LE(r.def, r.max) << k << "/" << c;
            EXPECT_LE(r.decimals, 4) << k << "/" << c;
            // Kinds 1..4 share their ranges.
            if (k > 1) {
                EXPECT_EQ(r.min, LimitRanges[1][c].min);
                EXPECT_EQ(r.max, LimitRanges[1][c].max);
            }
        }
}

}  // namespace
