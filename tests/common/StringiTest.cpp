#include "common/Stringi.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/Codepage.h"

namespace {

const TextGroup kAllGroups[] = {
    texts::TableNames,        texts::UnitNames,         texts::MonthNames,
    texts::MonthNamesGenitive, texts::WeekOrdinalNames, texts::DayNames,
    texts::DayNamesShort,     texts::SeasonNames,       texts::ArchiveNames,
    texts::ModbusModeNames,   texts::ParityNames,       texts::OptionWords,
    texts::ZoneNames,         texts::MoreOptionWords,   texts::GasParamNames,
    texts::GasParamCaptions,  texts::ChromErrorTexts,   texts::ChromStateNames,
    texts::WmtValueNames,     texts::WmtStatusBitNames, texts::WmtEventNames,
    texts::ChromTypeNames,    texts::WmtTypeNames,      texts::OvgTypeNames,
    texts::AvgSendModeNames,  texts::EventTexts,        texts::GasParamMolarNames,
    texts::GasParamVolumeNames, texts::AccessLevelNames,
};

std::string Cp1251(int slot) { return platform::Utf8ToCp1251(TextTable[slot]); }

}  // namespace

TEST(TextTable, GroupsCoverEverySlotInOrder) {
    InitTexts();
    int next = 0;
    for (const TextGroup& g : kAllGroups) {
        EXPECT_EQ(g.first, next);
        EXPECT_GT(g.count, 0);
        next = g.first + g.count;
    }
    EXPECT_EQ(next, kTextTableSize);
    EXPECT_EQ(kTextTableSize, 472);
    EXPECT_EQ(sizeof(TextTable) / sizeof(TextTable[0]), 472u);
    EXPECT_EQ(texts::ChromErrorTexts.count, texts::kChromErrorLast + 1);
}

TEST(TextTable, EmptySlotsAndLeadingBlanks) {
    std::set<int> empty;
    for (int i = 0; i < kTextTableSize; ++i) {
        ASSERT_NE(TextTable[i], nullptr) << i;
        if (TextTable[i][0] == '\0') empty.insert(i);
    }
    EXPECT_EQ(empty, (std::set<int>{31, 47, 209, 345}));
    for (int t = 0; t < 47; ++t) {
        if (t == 31) continue;
        EXPECT_EQ(TextTable[t][0], ' ') << t;
    }
}

TEST(TextTable, EveryTextFitsWindows1251) {
    for (int i = 0; i < kTextTableSize; ++i) {
        const std::string bytes = Cp1251(i);
        EXPECT_EQ(bytes.find('?'), std::string::npos) << i << " " << TextTable[i];
        EXPECT_EQ(platform::Cp1251ToUtf8(bytes), TextTable[i]) << i;
    }
}

TEST(TextTable, GroupLookups) {
    EXPECT_STREQ(texts::ChromStateNames.At(0), "Initializing");
    EXPECT_EQ(TextTable[288], texts::ChromStateNames.At(0));
    EXPECT_STREQ(texts::ChromTypeNames.At(3), "Orvix7200");
    EXPECT_STREQ(texts::OvgTypeNames.At(1), "МЕРІДОН, ТК-5Н");
    EXPECT_STREQ(texts::MonthNames.At(0), "Перехід заборонено");
    EXPECT_STREQ(texts::MonthNames.At(12), "Грудень");
    EXPECT_STREQ(texts::DayNames.At(0), "Неділя");
    EXPECT_STREQ(texts::SeasonNames.At(1), "Зимовий");
    EXPECT_STREQ(texts::ChromErrorTexts.At(78), "Read channel controller EDS error");
    EXPECT_STREQ(texts::EventTexts.At(81), "Немає даних для розсилки");
    EXPECT_STREQ(texts::AccessLevelNames.At(4), "Оператор");
    EXPECT_STREQ(TextTable[texts::kYes], "Так");
    EXPECT_EQ(texts::ChromErrorTexts.At(79), nullptr);
    EXPECT_EQ(texts::EventTexts.At(-1), nullptr);
    EXPECT_EQ(texts::AccessLevelNames.At(5), nullptr);
}

// Units and gas captions mix Latin and Cyrillic letters that look alike; the
// bytes in Windows-1251 tell them apart.
TEST(TextTable, LookAlikeLetters) {
    EXPECT_EQ(Cp1251(49), "\xB0\xD1");           // °С, Cyrillic Es
    EXPECT_EQ(Cp1251(80).substr(0, 2), "\xB0" "C");  // °C, Latin C
    EXPECT_EQ(Cp1251(51), "A");                   // Latin A
    EXPECT_EQ(Cp1251(62), "c");                   // Latin c
    EXPECT_EQ(Cp1251(63), "\xF1\xF1");            // Cyrillic сс
    EXPECT_EQ(Cp1251(66), "\xEA\xCF\xE0/cc");     // кПа/cc, Latin cc
    EXPECT_EQ(Cp1251(67), "\xEA\xE3" "c/\xF1\xEC" "2");  // кгc/см2
    EXPECT_EQ(Cp1251(171).substr(15), "i-\xE1\xF3\xF2\xE0\xED\xF3");  // Latin i
    EXPECT_EQ(Cp1251(200).substr(8, 3), "H\xF1\xE3");                 // Latin H
    EXPECT_EQ(Cp1251(230), "Hardware r\x94set");
    EXPECT_EQ(Cp1251(336), "\xD4\xCE\xC3-3\xC3");  // ФОГ-3Г
}
