#include <gtest/gtest.h>

#include <string>

#include "common/GasParams.h"

TEST(GasParams, DisplayOrder) {
    const int expected[kGasParamCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                          10, 15, 11, 18, 13, 17, 12, 19, 14, 16};
    for (int p = 0; p < kGasParamCount; ++p) EXPECT_EQ(ParamCodeAt(p), expected[p]) << p;
    EXPECT_EQ(ParamCodeAt(11), kParamOxygen);
    EXPECT_EQ(ParamCodeAt(19), kParamGasTemperature);
    EXPECT_EQ(ParamCodeAt(-1), -1);
    EXPECT_EQ(ParamCodeAt(20), -1);

    // Viewing a file before any connect: the default order, not a crash.
    const uint8_t* saved = ParamOrder;
    ParamOrder = nullptr;
    EXPECT_EQ(ParamCodeAt(12), 11);
    ParamOrder = saved;
}

TEST(GasParams, CaptionsInBothWordings) {
    EXPECT_STREQ(ParamCaptionLine(0, 0, 0), "Сум. МЧ");
    EXPECT_STREQ(ParamCaptionLine(0, 0, 1), "Сум. ОД");
    EXPECT_STREQ(ParamCaptionLine(0, 0, 2), "Сум. МЧ");  // only 1 chooses the volume wording
    EXPECT_STREQ(ParamCaptionLine(0, 2, 1), "і б.т.с.,");
    EXPECT_STREQ(ParamCaptionLine(15, 0, 1), "ОД");
    EXPECT_STREQ(ParamCaptionLine(15, 1, 1), "кисню,");
    EXPECT_STREQ(ParamCaptionLine(4, 1, 0), "neo-");
    EXPECT_STREQ(ParamCaptionLine(9, 2, 0), "вуглицю,");
    EXPECT_STREQ(ParamCaptionLine(1, 2, 0), " ");
    for (int c = 0; c < kGasParamCount; ++c) {
        const bool differs = c <= 10 || c == 15;
        EXPECT_EQ(std::string(ParamCaptionLine(c, 0, 0)) != ParamCaptionLine(c, 0, 1), differs) << c;
        for (int l = 1; l < 3; ++l) EXPECT_STREQ(ParamCaptionLine(c, l, 0), ParamCaptionLine(c, l, 1));
    }
    EXPECT_STREQ(ParamCaptionLine(16, 0, 0), "Темпера-");
    EXPECT_STREQ(ParamCaptionLine(14, 1, 1), "стисли-");
    EXPECT_STREQ(ParamCaptionLine(20, 0, 0), "");
    EXPECT_STREQ(ParamCaptionLine(3, 3, 0), "");
}

TEST(GasParams, UnitsAndNames) {
    EXPECT_STREQ(ParamUnit(11, 1), "ккал/м3");
    EXPECT_STREQ(ParamUnit(11, 0), "МДж/м3");
    EXPECT_STREQ(ParamUnit(18, 2), "МДж/м3");  // only 1 chooses kcal
    EXPECT_STREQ(ParamUnit(12, 1), "кг/м3");
    EXPECT_STREQ(ParamUnit(16, 0), "°С");
    EXPECT_STREQ(ParamUnit(14, 1), " ");
    EXPECT_STREQ(ParamUnit(0, 0), "%");
    EXPECT_STREQ(ParamUnit(-1, 0), "");

    EXPECT_STREQ(ParamShortName(1), "         МЧ пропану");
    EXPECT_STREQ(ParamShortName(19), "  De відносна");
    EXPECT_STREQ(ParamFullName(1, 0), "Молярна частка пропану");
    EXPECT_STREQ(ParamFullName(1, 1), "Об'ємна частка пропану");
    EXPECT_STREQ(ParamFullName(21, 1), "");
}
