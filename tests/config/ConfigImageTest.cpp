#include "config/ConfigImage.h"

#include <gtest/gtest.h>

#include <set>

TEST(ConfigImage, DirectoryFillsTheImageInTableOrder) {
    std::size_t sum = 0;
    std::size_t at = 0;
    for (int t = 0; t < kTableCount; ++t) {
        const TableDescriptor& d = ConfigTableDir[t];
        sum += d.Bytes();
        if (!d.Exists()) continue;
        EXPECT_EQ(d.offset, at) << "table " << t;
        at += d.Bytes();
    }
    EXPECT_EQ(sum, kConfigImageSize);
    EXPECT_EQ(at, 1849u);
    EXPECT_EQ(ConfigImage.size(), 1849u);
}

TEST(ConfigImage, EmptyTablesAndConfigurationTables) {
    const std::set<int> empty{1, 31, 36, 40};
    const std::set<int> cfg{2, 3, 4, 5, 6, 9, 13, 14, 15, 17, 18, 19, 20, 21, 22,
                            23, 24, 25, 26, 28, 29, 43, 44, 45, 46};
    for (int t = 0; t < kTableCount; ++t) {
        EXPECT_EQ(TableExists(t), !empty.count(t)) << t;
        EXPECT_EQ(IsConfigTable(t), cfg.count(t) != 0) << t;
        if (empty.count(t)) {
            EXPECT_EQ(TablePtr(t), nullptr);
            EXPECT_TRUE(TableSpan(t).empty());
            EXPECT_EQ(RowPtr(t, 0), nullptr);
        }
    }
    EXPECT_EQ(kConfigTableCount, 25);
    EXPECT_FALSE(TableExists(-1));
    EXPECT_FALSE(TableExists(47));
    EXPECT_EQ(TablePtr(47), nullptr);
}

TEST(ConfigImage, AccessorsPointIntoTheImage) {
    InitConfigImage();
    // Directory and fixed offsets give the same bytes.
    EXPECT_EQ(TablePtr(0), ConfigImage.data());
    EXPECT_EQ(TablePtr(5), ConfigImage.data() + cfgofs::kNames);
    EXPECT_EQ(RowPtr(5, 2), ConfigImage.data() + 382 + 40);
    EXPECT_EQ(RowPtr(4, 15), ConfigImage.data() + 30 + 15 * 22);
    EXPECT_EQ(RowPtr(46, 19) + 4, ConfigImage.data() + kConfigImageSize);
    EXPECT_EQ(RowPtr(4, 16), nullptr);
    EXPECT_EQ(RowPtr(4, -1), nullptr);
    EXPECT_EQ(TableSpan(13).size(), 256u);
    EXPECT_EQ(RowsSpan(22, 18, 2).size(), 8u);
    EXPECT_EQ(RowsSpan(22, 18, 2).data(), ConfigImage.data() + 913 + 72);
    EXPECT_TRUE(RowsSpan(22, 19, 2).empty());
    EXPECT_TRUE(RowsSpan(22, 0, 0).empty());

    *RowPtr(14, 6) = 3;
    EXPECT_EQ(ConfigImage[cfgofs::kChromLink + 6], 3);
    InitConfigImage();
    EXPECT_EQ(ConfigImage[cfgofs::kChromLink + 6], 0);
}
