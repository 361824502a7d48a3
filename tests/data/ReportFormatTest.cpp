#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "common/Suplfunc.h"
#include "data/DataTestUtil.h"
#include "common/ReportFormat.h"

using namespace data_test;

namespace {

// Restores the program-wide format a test changed.
struct FormatGuard {
    ReportFormatRecord saved = ReportFormat;
    ~FormatGuard() { ReportFormat = saved; }
};

std::string Ini(const std::string& dir) {
    std::filesystem::create_directories(dir + "/INI");
    return dir + "/INI/rep_format.ini";
}

}  // namespace

TEST(ReportFormat, LoadDefaultsAndShortFiles) {
    const std::string dir = FreshWorkDir();
    EXPECT_EQ(ReportFormatPath(), dir + "/INI/rep_format.ini");
    ReportFormatRecord r;
    r.ParamDigits[0] = 9;
    EXPECT_FALSE(LoadReportFormat(ReportFormatPath(), r));  // no file: defaults, none created
    EXPECT_EQ(BytesOf(r), BytesOf(DefaultReportFormat()));
    EXPECT_EQ(BytesOf(r), std::string(4, '\0') + std::string(29, '\4'));
    EXPECT_FALSE(std::filesystem::exists(ReportFormatPath()));

    std::string bytes = std::string("\1\1\7\x55", 4) + std::string(20, '\3') + std::string(9, '\5');
    WriteBytes(Ini(dir), bytes + "extra");
    ASSERT_TRUE(LoadReportFormat(ReportFormatPath(), r));
    EXPECT_EQ(BytesOf(r), bytes);
    EXPECT_EQ(r.FractionWording, 1);
    EXPECT_EQ(r.QuantityDigits[kQtyCompressibility], 5);

    // A short file sets only the bytes it holds; the rest are 0.
    WriteBytes(Ini(dir), bytes.substr(0, 10));
    ASSERT_TRUE(LoadReportFormat(ReportFormatPath(), r));
    EXPECT_EQ(BytesOf(r), bytes.substr(0, 10) + std::string(23, '\0'));
    EXPECT_EQ(ParamDecimals(r, 10), 0);

    // A name that opens but cannot be read gives the defaults.
    std::filesystem::remove(Ini(dir));
    std::filesystem::create_directories(Ini(dir));
    r.ParamDigits[0] = 9;
    EXPECT_FALSE(LoadReportFormat(ReportFormatPath(), r));
    EXPECT_EQ(BytesOf(r), BytesOf(DefaultReportFormat()));
}

TEST(ReportFormat, SaveKeepsEveryByte) {
    const std::string dir = FreshWorkDir();
    ReportFormatRecord r = DefaultReportFormat();
    r.FractionWording = 1;
    r.StandardKind = 7;
    r.Reserved = 0xEE;
    r.ParamDigits[3] = 200;  // more than can be shown: kept in the file
    ASSERT_TRUE(SaveReportFormat(Ini(dir), r));
    EXPECT_EQ(ReadBytes(Ini(dir)), BytesOf(r));
    EXPECT_EQ(FileCount(dir + "/INI"), 1);

    // As the dialog does: new group digits, derived per-parameter digits,
    // flags untouched.
    r.QuantityDigits[kQtyMolarFraction] = 6;
    r.QuantityDigits[kQtyHeatMJ] = 3;
    DeriveParamDigits(r);
    ASSERT_TRUE(SaveReportFormat(Ini(dir), r));
    ReportFormatRecord back;
    ASSERT_TRUE(LoadReportFormat(Ini(dir), back));
    EXPECT_EQ(BytesOf(back), BytesOf(r));
    EXPECT_EQ(back.FractionWording, 1);
    EXPECT_EQ(back.Reserved, 0xEE);

    std::string error;
    EXPECT_FALSE(SaveReportFormat(dir + "/missing/rep_format.ini", r, &error));
    EXPECT_FALSE(error.empty());
}

TEST(ReportFormat, ParameterDigitsFromTheGroups) {
    ReportFormatRecord r = DefaultReportFormat();
    for (int g = 0; g < kQuantityGroupCount; ++g) r.QuantityDigits[g] = uint8_t(g + 2);
    r.QuantityDigits[kQtyMolarFraction] = 6;
    r.QuantityDigits[kQtyHeatMJ] = 3;
    DeriveParamDigits(r);
    for (int c : {0, 1, 5, 8, 10, 15}) EXPECT_EQ(r.ParamDigits[c], 6) << c;
    for (int c : {11, 13, 17, 18}) EXPECT_EQ(r.ParamDigits[c], 3) << c;
    EXPECT_EQ(r.ParamDigits[12], r.QuantityDigits[kQtyDensity]);
    EXPECT_EQ(r.ParamDigits[14], r.QuantityDigits[kQtyCompressibility]);
    EXPECT_EQ(r.ParamDigits[16], r.QuantityDigits[kQtyTemperature]);
    EXPECT_EQ(r.ParamDigits[19], r.QuantityDigits[kQtyRelDensity]);
    r.HeatUnitKcal = 1;  // heat values still take the MJ digits
    DeriveParamDigits(r);
    EXPECT_EQ(r.ParamDigits[11], 3);
    EXPECT_EQ(ParamDigitGroup(20), -1);

    // Decimals beyond what the formatter shows are used as 18.
    r.ParamDigits[0] = 255;
    r.QuantityDigits[kQtyPressure] = 19;
    EXPECT_EQ(ParamDecimals(r, 0), kMaxDecimals);
    EXPECT_EQ(QuantityDecimals(r, kQtyPressure), kMaxDecimals);
    EXPECT_EQ(ParamDecimals(r, 20), 0);
    EXPECT_EQ(QuantityDecimals(r, -1), 0);
}

TEST(ReportFormat, ValueCells) {
    FormatGuard guard;
    SetDecimalSeparator(',');
    EXPECT_EQ(FormatGasCell(1.5f, 4), "    1,5000");
    EXPECT_EQ(FormatGasCell(-0.25f, 2), "     -0,25");
    EXPECT_EQ(FormatGasCell(12345.678f, 6), "12345,677734");  // longer than 10: not cut
    EXPECT_EQ(FormatGasCell(std::numeric_limits<float>::quiet_NaN(), 4), "  NAN");
    EXPECT_EQ(FormatGasCell(-std::numeric_limits<float>::infinity(), 4), "  NAN");
    EXPECT_EQ(FormatGasCell(1.0f, 99), FormatGasCell(1.0f, 18));
    EXPECT_EQ(FormatGasCell(2.0f, -3), "         2");

    ReportFormat = DefaultReportFormat();
    ReportFormat.ParamDigits[8] = 3;
    ReportFormat.ParamDigits[11] = 250;  // a damaged file: shown with 18, never more
    EXPECT_EQ(FormatGasValue(91.23456f, 8), "    91,235");
    EXPECT_EQ(FormatGasValue(0.5f, 11).size(), 20u);
    EXPECT_EQ(FormatGasValueBare(91.23456f, 8), "91,235");
    EXPECT_EQ(FormatGasValueBare(std::numeric_limits<float>::infinity(), 8), "NAN");
}
