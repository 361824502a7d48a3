// The certificate's cell writers on the templates the build made, read back
// by openpyxl; the slot checks of the records read; the month's means; the
// file names.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "ExcelTestUtil.h"
#include "common/Suplfunc.h"
#include "reports/ExcelCertificate.h"
#include "support/TestFolders.h"
#include "viewers/ViewerTestUtil.h"

namespace {

using xt::Cell;
using xt::Name;
using namespace certmap;

DeviceDateTime D(int y, int m, int d, int h = 0) { return {uint8_t(y), uint8_t(m), uint8_t(d), uint8_t(h), 0, 0}; }

class CertificateCells : public ::testing::Test {
protected:
    std::filesystem::path dir;
    ReportFormatRecord fmt = DefaultReportFormat();
    void SetUp() override {
        dir = zbr_test::FreshWorkDir("reports");
        if (sheettest::Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
        ASSERT_TRUE(std::filesystem::exists(xt::BuiltTemplate(kDayTemplateName)));
    }
    // Opens a template, lets `fill` write, saves, returns the file.
    template <class F>
    std::string Fill(const char* templ, F&& fill) {
        sheet::Workbook wb;
        EXPECT_TRUE(wb.Open(xt::BuiltTemplate(templ))) << wb.LastError();
        sheet::Worksheet ws = wb.ActiveSheet();
        fill(ws);
        const std::string out = (dir / "out.xlsx").string();
        EXPECT_TRUE(wb.SaveAs(out)) << wb.LastError();
        return out;
    }
};

TEST_F(CertificateCells, ChromatographRowValuesHeatUnitsAndTemperature) {
    fmt.QuantityDigits[kQtyHeatKcal] = 2;
    fmt.QuantityDigits[kQtyHeatMJ] = 3;
    fmt.QuantityDigits[kQtyHeatKWh] = 5;
    fmt.QuantityDigits[kQtyTemperature] = 1;
    fmt.ParamDigits[kParamMethane] = 3;
    HdmArchiveRecord r = vt::Hdm(18, 7);
    r.SetValue(10, vt::kNaN);   // ethane
    SealRecord(r);
    const std::string file = Fill(kDayTemplateName, [&](sheet::Worksheet& ws) {
        EXPECT_TRUE(WriteChromReportRow(ws, 12, r, false, fmt));
    });
    std::vector<std::string> names;
    for (int c = 1; c <= kLastCol; ++c) names.push_back(Name(12, c));
    const auto got = xt::Values(file, names);
    EXPECT_EQ(got.at("B12"), Cell("9,250"));       // methane, its own digits
    EXPECT_EQ(got.at("C12"), Cell("NAN"));         // ethane
    EXPECT_EQ(got.at("D12"), Cell("2,2500"));      // propane
    EXPECT_EQ(got.at("J12"), Cell("1,2500"));      // hexanes and heavier
    EXPECT_EQ(got.at("K12"), "null");              // oxygen: the line shows none
    EXPECT_EQ(got.at("L12"), Cell("8,2500"));      // nitrogen
    EXPECT_EQ(got.at("N12"), Cell("13,2500"));     // density
    // Inferior calorific value (code 18, 19.25 MJ) in kcal, MJ, kWh.
    EXPECT_EQ(got.at("O12"), Cell(FloatToStrFixed(19.25 * 238.8459, 12, 2)));
    EXPECT_EQ(got.at("P12"), Cell("19,250"));
    EXPECT_EQ(got.at("Q12"), Cell(FloatToStrFixed(19.25 * 0.277778, 12, 5)));
    EXPECT_EQ(got.at("R12"), Cell(FloatToStrFixed(12.25 * 238.8459, 12, 2)));   // superior (11)
    EXPECT_EQ(got.at("U12"), Cell(FloatToStrFixed(14.25 * 238.8459, 12, 2)));   // Wobbe (13)
    EXPECT_EQ(got.at("W12"), Cell(FloatToStrFixed(14.25 * 0.277778, 12, 5)));
    EXPECT_EQ(got.at("X12"), "null");              // the moisture columns are not the row's
    EXPECT_EQ(got.at("AB12"), Cell("17,3"));       // gas temperature 17.25, one digit
    EXPECT_EQ(got.at("A12"), "null");
}

TEST_F(CertificateCells, InvalidRowsGetDashesAndOxygenOnlyWithItsBit) {
    HdmArchiveRecord off = vt::Hdm(18, 7, 0x20);
    HdmArchiveRecord broken = vt::Hdm(18, 8);
    vt::Corrupt(broken);
    HdmArchiveRecord low = vt::Hdm(18, 9);
    low.SetValue(kParamMethane, 0.0009f);
    SealRecord(low);
    HdmArchiveRecord good = vt::Hdm(18, 10);
    const std::string file = Fill(kDayTemplateName, [&](sheet::Worksheet& ws) {
        EXPECT_TRUE(WriteChromReportRow(ws, 10, off, false, fmt));
        EXPECT_TRUE(WriteChromReportRow(ws, 11, broken, true, fmt));
        EXPECT_TRUE(WriteChromReportRow(ws, 12, low, true, fmt));
        EXPECT_TRUE(WriteChromReportRow(ws, 13, good, true, fmt));
        WmtArchiveRecord m = vt::WmtHd(18, 7, 0x04);
        EXPECT_TRUE(WriteMoistReportRow(ws, 10, m, fmt));
        WmtArchiveRecord mb = vt::WmtHd(18, 8);
        vt::Corrupt(mb);
        EXPECT_TRUE(WriteMoistReportRow(ws, 11, mb, fmt));
        EXPECT_TRUE(WriteMoistReportRow(ws, 12, vt::WmtHd(18, 9), fmt));
    });
    std::vector<std::string> names;
    for (int r = 10; r <= 13; ++r)
        for (int c = 2; c <= kLastCol; ++c) names.push_back(Name(r, c));
    const auto got = xt::Values(file, names);
    for (int r = 10; r <= 12; ++r) {
        for (int c = 2; c <= 23; ++c) {
            const bool oxygenColumn = c == kOxygenCol;
            EXPECT_EQ(got.at(Name(r, c)), oxygenColumn && r == 10 ? "null" : Cell("--")) << Name(r, c);
        }
        EXPECT_EQ(got.at(Name(r, kTemperatureCol)), "null") << r;   // the template's cell stays
    }
    EXPECT_EQ(got.at("K13"), Cell("16,2500"));   // oxygen shown
    for (int c = 24; c <= 27; ++c) {
        EXPECT_EQ(got.at(Name(10, c)), Cell("--"));
        EXPECT_EQ(got.at(Name(11, c)), Cell("--"));
    }
    // Moisture columns 24..27: floats 0, 3, 1 and the pressure in kgf/cm2.
    EXPECT_EQ(got.at("X12"), Cell("-12,5000"));
    EXPECT_EQ(got.at("Y12"), Cell("-20,7500"));
    EXPECT_EQ(got.at("Z12"), Cell("-8,2500"));
    EXPECT_EQ(got.at("AA12"), Cell(FloatToStrFixed(1.019716213, 12, 4)));
}

TEST_F(CertificateCells, DayOfTwentyHoursAndMonthStartingOnTheThird) {
    std::vector<HdmArchiveRecord> hours;
    std::vector<DeviceDateTime> slotDates;
    for (int i = 0; i < 20; ++i) {
        hours.push_back(vt::Hdm(18, 4 + i));
        slotDates.push_back(D(24, 3, 18, 4 + i));
    }
    HdmArchiveRecord daily = vt::Hdm(18, 0, 0, true);
    CertificateInput in;
    in.kind = 0;
    in.chrom = hours;
    in.slotDates = slotDates;
    in.chromSummary = &daily;
    in.serial = 4021;
    in.lineName = "Нитка 1";
    in.objectName = "ГРС-1";
    in.format = fmt;
    const std::string day = Fill(kDayTemplateName, [&](sheet::Worksheet& ws) { EXPECT_TRUE(WriteDayReport(ws, in)); });
    auto got = xt::Values(day, {"AB2", "B3", "V4", "A10", "A29", "B29", "A30", "B30", "A34", "B34", "AB34"});
    EXPECT_EQ(got.at("AB2"), Cell("Серійний номер хроматографа 4021;  Нитка 1"));
    EXPECT_EQ(got.at("B3"), Cell("ГРС-1"));
    EXPECT_EQ(got.at("V4"), Cell("За період з 18.03.24 04:00  по  18.03.24 23:00"));
    EXPECT_EQ(got.at("A10"), Cell("18.03.24  04:00"));
    EXPECT_EQ(got.at("A29"), Cell("18.03.24  23:00"));
    EXPECT_EQ(got.at("B29"), Cell("9,2500"));
    EXPECT_EQ(got.at("A30"), "null");
    EXPECT_EQ(got.at("B30"), "null");
    EXPECT_EQ(got.at("A34"), Cell("За добу"));    // the template's label
    EXPECT_EQ(got.at("B34"), Cell("9,2500"));
    EXPECT_EQ(got.at("AB34"), Cell("17,2500"));

    std::vector<HdmArchiveRecord> days;
    slotDates.clear();
    for (int d : {3, 4, 6}) {   // the 5th is missing
        days.push_back(vt::Hdm(d, 0, 0, true));
        days.back().month = 2;
        SealRecord(days.back());
        slotDates.push_back(D(24, 2, d));
    }
    const HdmArchiveRecord mean = MonthSummary(days);
    in.kind = 1;
    in.chrom = days;
    in.slotDates = slotDates;
    in.chromSummary = &mean;
    const std::string month =
        Fill(kMonthTemplateName, [&](sheet::Worksheet& ws) { EXPECT_TRUE(WriteMonthReport(ws, in)); });
    got = xt::Values(month, {"V4", "A12", "A25", "B11", "B12", "B13", "B14", "B15", "O41", "P41", "Q41", "R41", "T41",
                             "A41", "B41", "U41"});
    EXPECT_EQ(got.at("V4"), Cell("За період з 03.02.24 по  06.02.24"));
    EXPECT_EQ(got.at("A12"), Cell("03"));   // the template's day label stays
    EXPECT_EQ(got.at("A25"), sheettest::Json("16"));   // a text like the others
    EXPECT_EQ(got.at("B11"), "null");
    EXPECT_EQ(got.at("B12"), Cell("9,2500"));
    EXPECT_EQ(got.at("B13"), Cell("9,2500"));
    EXPECT_EQ(got.at("B14"), "null");       // no record of the 5th: the 6th keeps its row
    EXPECT_EQ(got.at("B15"), Cell("9,2500"));
    EXPECT_EQ(got.at("O41"), Cell(FloatToStrFixed(double(19.25f) * 238.8459, 12, 4)));
    EXPECT_EQ(got.at("P41"), Cell("19,2500"));
    EXPECT_EQ(got.at("R41"), Cell(FloatToStrFixed(double(12.25f) * 238.8459, 12, 4)));
    EXPECT_EQ(got.at("T41"), Cell(FloatToStrFixed(double(12.25f) * 0.277778, 12, 4)));
    EXPECT_EQ(got.at("A41"), Cell("Середні за місяць значення теплоти згоряння"));
    EXPECT_EQ(got.at("B41"), "null");
    EXPECT_EQ(got.at("U41"), "null");
}

TEST_F(CertificateCells, MonthMeansTakeOnlyRowsWithValues) {
    std::vector<HdmArchiveRecord> days{vt::Hdm(1, 0, 0, true), vt::Hdm(2, 0, 0, true), vt::Hdm(3, 0, 0x02, true),
                                       vt::Hdm(4, 0, 0, true), vt::Hdm(5, 0, 0, true)};
    days[1].SetValue(18, 21.25f);
    SealRecord(days[1]);
    vt::Corrupt(days[3]);
    days[4].SetValue(kParamMethane, vt::kInf);
    SealRecord(days[4]);
    const HdmArchiveRecord mean = MonthSummary(days);
    EXPECT_FLOAT_EQ(mean.Value(18), 20.25f);   // (19.25 + 21.25) / 2
    EXPECT_FLOAT_EQ(mean.Value(0), 1.25f);
    EXPECT_EQ(mean.year, 0);
    EXPECT_EQ(mean.status, 0);

    for (HdmArchiveRecord& r : days) {
        r.SetValue(kParamMethane, 0.0005f);
        SealRecord(r);
    }
    const HdmArchiveRecord none = MonthSummary(days);
    for (int k = 0; k < kGasParamCount; ++k) EXPECT_EQ(none.Value(k), 0.0f);
}

TEST_F(CertificateCells, SlotsFollowTheRecordsAndRefuseWhatDoesNotFit) {
    std::vector<DeviceDateTime> slotDates;
    const std::vector<uint8_t> ok3{1, 1, 1};
    // Hours with a gap.
    std::vector<DeviceDateTime> dates{D(24, 3, 18, 7), D(24, 3, 18, 8), D(24, 3, 18, 11)};
    ASSERT_TRUE(AssignSlots(dates, ok3, D(24, 3, 18, 7), D(24, 3, 19, 6), 0, slotDates));
    EXPECT_EQ(slotDates, dates);
    // A record before the one before it, or after the end, does not fit.
    EXPECT_FALSE(AssignSlots(std::vector{D(24, 3, 18, 8), D(24, 3, 18, 8)}, std::vector<uint8_t>{1, 1},
                             D(24, 3, 18, 7), D(24, 3, 19, 6), 0, slotDates));
    EXPECT_FALSE(AssignSlots(std::vector{D(24, 3, 18, 6)}, std::vector<uint8_t>{1}, D(24, 3, 18, 7),
                             D(24, 3, 19, 6), 0, slotDates));
    EXPECT_FALSE(AssignSlots(std::vector{D(24, 3, 19, 7)}, std::vector<uint8_t>{1}, D(24, 3, 18, 7),
                             D(24, 3, 19, 6), 0, slotDates));
    // A broken record keeps a date that fits, else takes the next slot.
    const std::vector<uint8_t> middleBroken{1, 0, 1};
    ASSERT_TRUE(AssignSlots(std::vector{D(24, 2, 3), D(24, 2, 7), D(24, 2, 9)}, middleBroken, D(24, 2, 1),
                            D(24, 2, 29), 1, slotDates));
    EXPECT_EQ(slotDates[1], D(24, 2, 7));
    ASSERT_TRUE(AssignSlots(std::vector{D(24, 2, 3), D(99, 77, 0), D(24, 2, 9)}, middleBroken, D(24, 2, 1),
                            D(24, 2, 29), 1, slotDates));
    EXPECT_EQ(slotDates[1], D(24, 2, 4));
    // A broken record beyond the last slot does not fit.
    EXPECT_FALSE(AssignSlots(std::vector{D(24, 2, 29), D(0, 0, 0)}, std::vector<uint8_t>{1, 0}, D(24, 2, 1),
                             D(24, 2, 29), 1, slotDates));

    // Pairs: equal where both hold, borrowed where one is broken.
    std::vector<DeviceDateTime> a{D(24, 2, 3), D(24, 2, 4), D(24, 2, 5)};
    std::vector<DeviceDateTime> b{D(24, 2, 3), D(24, 2, 9), D(24, 2, 5)};
    EXPECT_TRUE(PairSlots(a, std::vector<uint8_t>{1, 1, 1}, b, std::vector<uint8_t>{1, 0, 1}, 1));
    EXPECT_EQ(b[1], D(24, 2, 4));
    b = {D(24, 2, 3), D(24, 2, 6), D(24, 2, 7)};
    EXPECT_FALSE(PairSlots(a, std::vector<uint8_t>{1, 1, 1}, b, std::vector<uint8_t>{1, 1, 1}, 1));
}

TEST_F(CertificateCells, FileNamesCarryNoSlashesOrControlCharacters) {
    const ReportDate d{24, 3, 5, 7};
    EXPECT_EQ(CertificateFileName(0, " ГРС \"Північ\"/2 ", "Нитка\\1\t", d),
              (dir / "REPORT/ГРС \"Північ\"_2_Нитка_1__day_240305.xlsx").string());
    EXPECT_EQ(CertificateFileName(1, "ГРС-1", "Нитка 2", d), (dir / "REPORT/ГРС-1_Нитка 2_mon_2403.xlsx").string());
    EXPECT_EQ(CertificateNamePart("../..\x7f"), ".._.._");
}

}  // namespace
