// The pure parts of the table layer: range checks, the choice of write
// requests for changed rows, the code-page tables.
#include "config/Conffun.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Plans the writes for a table whose rows `changedRows` differ.
std::vector<RowRange> Plan(int t, std::vector<int> changedRows, int first = 0, int rows = -1) {
    const TableDescriptor& d = ConfigTableDir[t];
    if (rows < 0) rows = d.rows - first;
    std::vector<uint8_t> before(std::size_t(rows) * d.rowSize, 0x11), after = before;
    for (int r : changedRows) after[std::size_t(r - first) * d.rowSize + d.rowSize - 1] ^= 0xFF;
    return PlanChangedRowWrites({uint8_t(t), uint8_t(first), uint8_t(rows)}, before, after);
}

using R = std::vector<RowRange>;

}  // namespace

TEST(TablePlan, CostRuleChoosesSpanOrRuns) {
    EXPECT_EQ(Plan(22, {}), R{});
    // 20-row float table, rows 2 and 5: runs 60 > span 42.
    EXPECT_EQ(Plan(22, {2, 5}), (R{{2, 4}}));
    // 20-row byte table, rows 0 and 19: runs 54 > span 46.
    EXPECT_EQ(Plan(21, {0, 19}), (R{{0, 20}}));
    // 20-row float table, rows 0 and 19: runs 60 < span 106, row 0 first.
    EXPECT_EQ(Plan(22, {0, 19}), (R{{0, 1}, {19, 1}}));
    // Every other row of a float table: runs 300 > span 102.
    EXPECT_EQ(Plan(44, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18}), (R{{0, 19}}));
    // Single row and neighbouring rows: one request, no gaps.
    EXPECT_EQ(Plan(24, {7}), (R{{7, 1}}));
    EXPECT_EQ(Plan(24, {7, 8}), (R{{7, 2}}));
    EXPECT_EQ(Plan(24, {3, 4, 5, 6}), (R{{3, 4}}));
    // Float rows 0..1 and 11..12: runs 2*34=68 < span 13*4+26=78.
    EXPECT_EQ(Plan(46, {0, 1, 11, 12}), (R{{0, 2}, {11, 2}}));
    // A tie goes to the runs: 47-row byte table, rows 0 and 27: 54 = 54.
    EXPECT_EQ(Plan(7, {0, 27}), (R{{0, 1}, {27, 1}}));
    EXPECT_EQ(Plan(7, {0, 28}), (R{{0, 1}, {28, 1}}));
    EXPECT_EQ(Plan(7, {0, 26}), (R{{0, 27}}));
    // Byte rows 0 and 2: runs 54 > span 29.
    EXPECT_EQ(Plan(21, {0, 2}), (R{{0, 3}}));
    // users table (22-byte rows): rows 1 and 3 -> runs 96 > span 92.
    EXPECT_EQ(Plan(4, {1, 3}), (R{{1, 3}}));
    // Rows relative to an editor's range in the middle of a table.
    EXPECT_EQ(Plan(23, {12, 15}, 10, 8), (R{{12, 4}}));
    EXPECT_EQ(Plan(23, {10, 17}, 10, 8), (R{{10, 8}}));
}

TEST(TablePlan, LongSpansAndRunsAreCutToFitOneFrame) {
    // All 16 user rows (352 bytes): 10 + 6 rows of at most 229 bytes.
    std::vector<int> all;
    for (int r = 0; r < 16; ++r) all.push_back(r);
    EXPECT_EQ(Plan(4, all), (R{{0, 10}, {10, 6}}));
    // Flow-computer passwords (16-byte rows): 14 + 2 rows.
    EXPECT_EQ(Plan(13, all), (R{{0, 14}, {14, 2}}));
    // Rows 0..6 and 8..15 of the users table: the span would need two
    // requests (400 bytes), the runs cost 382 and fit one request each.
    std::vector<int> gap7;
    for (int r = 0; r < 16; ++r)
        if (r != 7) gap7.push_back(r);
    EXPECT_EQ(Plan(4, gap7), (R{{0, 7}, {8, 8}}));
    for (const RowRange& r : Plan(4, all)) EXPECT_LE(std::size_t(r.rows) * 22, kMaxWriteRowBytes);
}

TEST(TablePlan, RangeChecks) {
    EXPECT_EQ(CheckTableRange({22, 0, 20}, kMaxReadRowBytes), "");
    EXPECT_EQ(CheckTableRange({4, 11, 5}, kMaxReadRowBytes), "");
    EXPECT_NE(CheckTableRange({4, 0, 12}, kMaxReadRowBytes), "");   // 264 bytes
    EXPECT_EQ(CheckTableRange({4, 0, 10}, kMaxWriteRowBytes), "");
    EXPECT_NE(CheckTableRange({4, 0, 11}, kMaxWriteRowBytes), "");  // 242 bytes
    EXPECT_NE(CheckTableRange({13, 0, 16}, kMaxWriteRowBytes), "");
    EXPECT_NE(CheckTableRange({22, 0, 0}, 0), "");
    EXPECT_NE(CheckTableRange({22, 19, 2}, 0), "");
    EXPECT_NE(CheckTableRange({22, 200, 100}, 0), "");
    EXPECT_NE(CheckTableRange({31, 0, 1}, 0), "");
    EXPECT_NE(CheckTableRange({47, 0, 1}, 0), "");
    EXPECT_EQ(Plan(31, {}), R{});
    EXPECT_EQ(ReadChunkRows(4), 11);
    EXPECT_EQ(WriteChunkRows(4), 10);
    EXPECT_EQ(WriteChunkRows(13), 14);
    EXPECT_EQ(ReadChunkRows(22), 61);
    EXPECT_EQ(ReadChunkRows(31), 0);
    // Old rows shorter than the range: nothing planned.
    std::vector<uint8_t> shortOld(4), cur(80, 1);
    EXPECT_TRUE(PlanChangedRowWrites({22, 0, 20}, shortOld, cur).empty());
}

TEST(CodePages, LettersRoundTripAndExceptions) {
    // Every Cyrillic letter of Windows-1251 comes back unchanged.
    for (int c = 0xC0; c <= 0xFF; ++c) EXPECT_EQ(Cp866To1251Map[Cp1251To866Map[c]], c) << c;
    for (int c : {0xA1, 0xA2, 0xA4, 0xA8, 0xAA, 0xAF, 0xB0, 0xB7, 0xB8, 0xB9, 0xBA, 0xBF, 0x95})
        EXPECT_EQ(Cp866To1251Map[Cp1251To866Map[c]], c) << c;
    for (int c = 0; c < 0x80; ++c) EXPECT_EQ(Cp1251To866Map[c], c);
    EXPECT_EQ(Cp1251To866Map[0xC0], 0x80);  // А
    EXPECT_EQ(Cp1251To866Map[0xFF], 0xEF);  // я
    EXPECT_EQ(Cp1251To866Map[0xE0], 0xA0);  // а
    EXPECT_EQ(Cp1251To866Map[0xF0], 0xE0);  // р
    EXPECT_EQ(Cp1251To866Map[0xB2], 'I');
    EXPECT_EQ(Cp1251To866Map[0xB3], 'i');
    EXPECT_EQ(Cp1251To866Map[0xAB], 0x11);
    EXPECT_EQ(Cp1251To866Map[0xBB], 0x10);
    EXPECT_EQ(Cp1251To866Map[0xA9], 'c');
    EXPECT_EQ(Cp1251To866Map[0xAD], '-');
    EXPECT_EQ(Cp1251To866Map[0x88], '_');
    EXPECT_EQ(Cp1251To866Map[0xA0], '_');
    EXPECT_EQ(Cp866To1251Map[0xBA], 0xA6);  // double vertical line
    EXPECT_EQ(Cp866To1251Map[0xCD], '-');
    EXPECT_EQ(Cp866To1251Map[0xC9], '+');
    EXPECT_EQ(Cp866To1251Map[0xDB], '_');
    EXPECT_EQ(Cp866To1251Map[0xFF], '_');
    EXPECT_EQ(Cp866To1251Map[0x0F], 0xA4);
    EXPECT_EQ(Cp866To1251Map[0x10], 0x10);

    uint8_t text[] = {0xC3, 0xD0, 0xD1, '-', 0xB2, '1'};  // "ГРС-І1"
    CodePage1251To866(text, sizeof text);
    const uint8_t cp866[] = {0x83, 0x90, 0x91, '-', 'I', '1'};
    EXPECT_EQ(0, std::memcmp(text, cp866, sizeof text));
    CodePage866To1251(text, sizeof text);
    EXPECT_EQ(text[0], 0xC3);
    EXPECT_EQ(text[4], 'I');
}
