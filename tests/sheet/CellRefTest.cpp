// Cell names and range addresses.
#include "sheet/CellRef.h"

#include <gtest/gtest.h>

using sheet::CellRect;

TEST(CellRef, NamesOfColumnsAndCells) {
    EXPECT_EQ(sheet::ColumnName(1), "A");
    EXPECT_EQ(sheet::ColumnName(26), "Z");
    EXPECT_EQ(sheet::ColumnName(27), "AA");
    EXPECT_EQ(sheet::ColumnName(28), "AB");
    EXPECT_EQ(sheet::ColumnName(16384), "XFD");
    EXPECT_EQ(sheet::ColumnName(0), "");
    EXPECT_EQ(sheet::ColumnName(16385), "");
    EXPECT_EQ(sheet::CellName(4, 22), "V4");
    EXPECT_EQ(sheet::RectName(CellRect{2, 1, 5, 1}), "A2:A5");
    EXPECT_EQ(sheet::RectName(CellRect{3, 2, 3, 2}), "B3");
}

TEST(CellRef, RangeAddressesAreParsedAndOrdered) {
    CellRect r;
    ASSERT_TRUE(sheet::ParseRangeAddress("A2:A5", r));
    EXPECT_EQ(r.row1, 2);
    EXPECT_EQ(r.col1, 1);
    EXPECT_EQ(r.row2, 5);
    EXPECT_EQ(r.col2, 1);
    ASSERT_TRUE(sheet::ParseRangeAddress(" $c$5 : a2 ", r));
    EXPECT_EQ(sheet::RectName(r), "A2:C5");
    ASSERT_TRUE(sheet::ParseRangeAddress("XFD1048576", r));
    EXPECT_EQ(r.row1, 1048576);
    EXPECT_EQ(r.col1, 16384);

    for (const char* bad : {"", "A", "2", "A0", "A01", "1A", "A2:", ":A2", "A2:B5:C6", "XFE1",
                            "A1048577", "AAAA1", "A-1", "A2;B3", "A2 B3", "Ж2"})
        EXPECT_FALSE(sheet::ParseRangeAddress(bad, r)) << bad;
}
