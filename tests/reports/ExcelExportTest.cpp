// The viewers' "Зберегти у форматі Excel": each viewer shown through the
// headless driver, its button pressed, the file read back by openpyxl and
// compared cell by cell with what the viewer's grid shows; headings, widths,
// frames, fills and fonts; names, replacing and failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "ExcelTestUtil.h"
#include "data/ArhMeas_Chr.h"
#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHDM_Chr.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Arhiv_Clb.h"
#include "data/Arhiv_Verif.h"
#include "data/ViewerBody.h"
#include "reports/ExcelExport.h"
#include "reports/ExcelViewers.h"
#include "viewers/ViewerTestUtil.h"
#include "platform/Codepage.h"

namespace {

using namespace vt;
using xt::Cell;
using xt::Name;

class ExcelExport : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        if (sheettest::Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
        RegisterExcelExports();
    }
    void TearDown() override {
        UnregisterExcelExports();
        ViewerTest::TearDown();
    }
    // Presses the viewer's button, chooses `file` and expects the saved message.
    void Export(ArchiveViewerForm& v, const std::string& file, const char* saved = "Дані збережені в файлі %s.") {
        ASSERT_TRUE(v.BitBtn5.Visible());
        drv->chooseFile(file);
        std::string msg = saved;
        msg.replace(msg.find("%s"), 2, std::filesystem::path(file).filename().string());
        drv->expectMessage(6, msg, "");
        v.BitBtn5.Click();
        EXPECT_TRUE(v.Enabled());
        EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
    }
    // Every cell of sheet rows first.. (one per grid row) against the texts
    // `grid(row, column)` gives, trimmed when `trim`.
    template <class F>
    void CompareRows(const std::string& file, int firstRow, int rows, int cols, bool trim, F&& grid) {
        std::vector<std::string> names;
        for (int r = 0; r < rows; ++r)
            for (int c = 1; c <= cols; ++c) names.push_back(Name(firstRow + r, c));
        const auto got = xt::Values(file, names);
        ASSERT_EQ(got.count("error"), 0u) << got.at("error");
        for (int r = 0; r < rows; ++r)
            for (int c = 1; c <= cols; ++c) {
                const std::string text = grid(r, c);
                EXPECT_EQ(got.at(Name(firstRow + r, c)), Cell(trim ? std::string(platform::TrimBlanks(text)) : text))
                    << Name(firstRow + r, c);
            }
    }
    std::string Today(const char* fmt) {
        const DeviceDateTime t = PcClockRecord();
        char buf[64];
        std::snprintf(buf, sizeof buf, fmt, t.year, t.month, t.day);
        return buf;
    }
};

TEST_F(ExcelExport, HourlyChromatographSheetIsTheViewersGridCellByCell) {
    std::vector<HdmArchiveRecord> recs{Hdm(15, 7), Hdm(15, 8, 0x20), Hdm(15, 9), Hdm(15, 10), Hdm(15, 11, 0x02)};
    Corrupt(recs[2]);
    recs[3].SetValue(3, kNaN);
    SealRecord(recs[3]);
    ArchiveFileHeader h = Header(ArchiveKind::ChromHour, uint32_t(recs.size()), false);
    TFormArhivHDM_Chr v(nullptr);
    v.Header = &h;
    v.Records = recs;
    v.Mode = 0;
    v.Show();
    const std::string file = Path("HOURDATA/hours.xlsx");
    Export(v, file);

    // The dialog proposed today's name in the hourly folder.
    ASSERT_EQ(drv->fileDialogs().size(), 1u);
    const ui::test::FileDialogRecord& d = drv->fileDialogs()[0];
    EXPECT_TRUE(d.save);
    EXPECT_EQ(d.title, "Вибір файлу для збереження даних");
    EXPECT_EQ(d.filter, "DataFiles (*.xlsx)|*.xlsx");
    EXPECT_EQ(d.initialDir, Path("HOURDATA"));
    EXPECT_EQ(d.fileName, Path("HOURDATA/") + Today("zbr11_North 1_%02d%02d%02d.xlsx"));

    // Data rows 6.. hold the grid: columns 1-3 the date-time grid's 1-3,
    // 4-23 the value grid's 1-20; the count column is not exported.
    CompareRows(file, 6, int(recs.size()), 23, true, [&](int r, int c) {
        return c <= 3 ? v.StringGrid1.Cell(c, r) : v.StringGrid2.Cell(c - 3, r);
    });
    const auto got = xt::Values(file, {"A1", "A2", "C2", "A4", "B4", "C4", "D2", "D3", "D4", "D5", "L2", "W5",
                                       "A6", "D6", "D7", "A8", "B8", "D8", "A11", "A12", "E9", "W6", "F6"});
    EXPECT_EQ(got.at("A1"), Cell(v.Caption()));
    EXPECT_EQ(got.at("A2"), Cell("                            Початок"));
    EXPECT_EQ(got.at("C2"), Cell("Кінець"));
    EXPECT_EQ(got.at("A4"), Cell("Дата"));
    EXPECT_EQ(got.at("B4"), Cell("Час"));
    EXPECT_EQ(got.at("C4"), Cell("Час"));
    // Display position 0 (code 0), molar wording, MJ units.
    EXPECT_EQ(got.at("D2"), Cell("Сум. МЧ"));
    EXPECT_EQ(got.at("D3"), Cell("гексану"));
    EXPECT_EQ(got.at("D4"), Cell("і б.т.с.,"));
    EXPECT_EQ(got.at("D5"), Cell("%"));
    // Position 8 is methane; oxygen's headings are written whatever the flag.
    EXPECT_EQ(got.at("L2"), Cell("МЧ"));
    EXPECT_EQ(got.at("W5"), Cell("°С"));
    EXPECT_EQ(got.at("A6"), Cell("15.03.24"));
    EXPECT_EQ(got.at("D6"), Cell("1,2500"));
    EXPECT_EQ(got.at("D7"), Cell("---"));        // no chromatograph link
    EXPECT_EQ(got.at("A8"), Cell("Дані"));       // CRC fails: the mark only
    EXPECT_EQ(got.at("B8"), Cell("недостов."));
    EXPECT_EQ(got.at("D8"), "null");
    EXPECT_EQ(got.at("A11"), "null");           // the block's extra row stays empty
    EXPECT_EQ(got.at("A12"), "null");
    EXPECT_EQ(got.at("F6"), Cell("3,2500"));
    EXPECT_EQ(got.at("W6"), Cell("17,2500"));    // gas temperature, last position

    // Formats: title, grey headings, frames, fonts, widths, row height.
    const auto fmt = sheettest::ReadBack(file, {"A1", "V1", "W1", "A2", "C2", "A4", "A5", "D5", "D6", "A12",
                                                "col:A", "col:C", "col:D", "col:W", "row:1"});
    ASSERT_EQ(fmt.count("error"), 0u) << fmt.at("error");
    EXPECT_EQ(fmt.at("A1.font"), "[\"Times New Roman\", 12.0, false]");
    EXPECT_EQ(fmt.at("A1.border"), "[null, null, \"thin\", \"thin\"]");
    EXPECT_EQ(fmt.at("V1.border"), "[null, null, \"thin\", \"thin\"]");
    EXPECT_EQ(fmt.at("W1.border"), "[null, null, null, null]");   // one column short, as ever
    EXPECT_EQ(fmt.at("A1.align"), "null");   // general
    EXPECT_EQ(fmt.at("row:1"), "18.0");
    EXPECT_EQ(fmt.at("A2.fill"), "[\"solid\", \"FFDFDFDF\"]");
    EXPECT_EQ(fmt.at("A2.align"), "\"center\"");
    EXPECT_EQ(fmt.at("A2.font"), "[\"Times New Roman\", 10.0, false]");
    EXPECT_EQ(fmt.at("C2.border"), "[\"thin\", \"thin\", null, null]");
    EXPECT_EQ(fmt.at("A4.border"), "[null, \"thin\", \"thin\", null]");
    EXPECT_EQ(fmt.at("A5.border"), "[null, \"thin\", null, \"thin\"]");
    EXPECT_EQ(fmt.at("D5.border"), "[null, \"thin\", null, \"thin\"]");
    EXPECT_EQ(fmt.at("D6.font"), "[\"Times New Roman\", 10.0, false]");
    EXPECT_EQ(fmt.at("D6.align"), "\"center\"");
    EXPECT_EQ(fmt.at("D6.fill"), "[null, null]");
    EXPECT_EQ(fmt.at("A12.align"), "null");   // below the block
    EXPECT_EQ(fmt.at("col:A"), "9.7109375");  // 9 characters
    EXPECT_EQ(fmt.at("col:C"), "9.7109375");
    EXPECT_EQ(fmt.at("col:D"), "10.7109375");
    EXPECT_EQ(fmt.at("col:W"), "10.7109375");
}

TEST_F(ExcelExport, DailyChromatographProposesTheDailyFolderAndMarksTheEndHour) {
    std::vector<HdmArchiveRecord> recs{Hdm(14, 0, 0, true), Hdm(15, 0, 0, true)};
    recs[1].endHour = 10;   // bit 7 clear: shown with "*"
    SealRecord(recs[1]);
    ArchiveFileHeader h = Header(ArchiveKind::ChromDay, 2, true);
    TFormArhivHDM_Chr v(nullptr);
    v.Header = &h;
    v.Records = recs;
    v.Mode = 1;
    v.Show();
    const std::string file = Path("DAYDATA/days.xlsx");
    Export(v, file);
    EXPECT_EQ(drv->fileDialogs().back().initialDir, Path("DAYDATA"));
    CompareRows(file, 6, 2, 23, true, [&](int r, int c) {
        return c <= 3 ? v.StringGrid1.Cell(c, r) : v.StringGrid2.Cell(c - 3, r);
    });
    const auto got = xt::Values(file, {"C6", "C7", "O6"});
    EXPECT_EQ(got.at("C6"), Cell("10:59:59"));
    EXPECT_EQ(got.at("C7"), Cell("10:59:59*"));
    EXPECT_EQ(got.at("O6"), Cell("16,2500"));   // oxygen shown
}

TEST_F(ExcelExport, MeasuredChromatographAsksBeforeReplacingAFile) {
    std::vector<ChromMeasRecord> recs{Meas(0), Meas(3, 0x02), Meas(6, 0x80), Meas(9, 0x20)};
    ArchiveFileHeader h = Header(ArchiveKind::ChromMeas, 4, false);
    TFormArhMeas_Chr v(nullptr);
    v.Header = &h;
    v.Records = recs;
    v.Show();
    const std::string file = Path("MOMDATA/meas.xlsx");
    zbr_test::WriteBytes(file, "an older file");

    // "Ні": the old file stays, nothing is written, no wait box.
    drv->chooseFile(file);
    drv->expectQuestion(3, "Файл meas.xlsx уже есть.", "Ви бажаєте замінити існуючий файл?", false);
    v.BitBtn5.Click();
    EXPECT_EQ(ReadBytes(file), "an older file");
    EXPECT_EQ(zbr_test::FileCount(Path("MOMDATA")), 1);

    drv->expectQuestion(3, "Файл meas.xlsx уже есть.", "Ви бажаєте замінити існуючий файл?", true);
    Export(v, file);
    EXPECT_EQ(zbr_test::FileCount(Path("MOMDATA")), 1);   // no temporary file left
    EXPECT_EQ(drv->fileDialogs().back().fileName, Path("MOMDATA/") + Today("zbr11_North 1_%02d%02d%02d.xlsx"));
    CompareRows(file, 6, 4, 22, true, [&](int r, int c) {
        return c <= 2 ? v.StringGrid1.Cell(c, r) : v.StringGrid2.Cell(c - 2, r);
    });
    const auto got = xt::Values(file, {"A3", "B3", "C6", "C7", "C8", "C9", "N6"});
    EXPECT_EQ(got.at("A3"), Cell("Дата"));
    EXPECT_EQ(got.at("B3"), Cell("Час"));
    EXPECT_EQ(got.at("C7"), Cell("Выкл."));
    EXPECT_EQ(got.at("C8"), Cell("Калібр."));
    EXPECT_EQ(got.at("C9"), Cell("--"));
    EXPECT_EQ(got.at("N6"), "null");   // oxygen hidden
}

TEST_F(ExcelExport, FileNamesGetXlsxOnlyWithoutAnExtension) {
    std::vector<VerifRecord> recs{Verif(3)};
    ArchiveFileHeader h = Header(ArchiveKind::Verif, 1);
    TFormArhiv_Verif v(nullptr);
    v.Header = &h;
    v.Records = recs;
    v.Show();
    drv->chooseFile(Path("VERIFARHIV/plain"));
    drv->expectMessage(6, "Дані збережені в файлі plain.xlsx", "");
    v.BitBtn5.Click();
    EXPECT_TRUE(std::filesystem::exists(Path("VERIFARHIV/plain.xlsx")));
    Export(v, Path("VERIFARHIV/list.txt"), "Дані збережені в файлі %s");
    // A workbook all the same (the reader wants its usual extension).
    std::filesystem::copy_file(Path("VERIFARHIV/list.txt"), Path("VERIFARHIV/list-copy.xlsx"));
    EXPECT_EQ(xt::Values(Path("VERIFARHIV/list-copy.xlsx"), {"A1"}).at("A1"), Cell(v.Caption()));
    EXPECT_EQ(drv->fileDialogs().back().fileName, Path("VERIFARHIV/") + Today("zbr11-005_verif_%02d%02d%02d.xlsx"));
}

TEST_F(ExcelExport, VerificationAndCalibrationSheets) {
    std::vector<VerifRecord> vr{Verif(3), Verif(4, 3, 2), Verif(5)};
    Corrupt(vr[2]);
    ArchiveFileHeader vh = Header(ArchiveKind::Verif, 3, false);
    TFormArhiv_Verif v(nullptr);
    v.Header = &vh;
    v.Records = vr;
    v.Show();
    const std::string vf = Path("VERIFARHIV/v.xlsx");
    Export(v, vf, "Дані збережені в файлі %s");
    CompareRows(vf, 6, 3, 24, true, [&](int r, int c) {
        return c <= 4 ? v.StringGrid1.Cell(c, r) : v.StringGrid2.Cell(c - 4, r);
    });
    const auto vg = xt::Values(vf, {"C3", "D3", "D4", "C7", "X6"});
    EXPECT_EQ(vg.at("D3"), Cell("Номер"));
    EXPECT_EQ(vg.at("D4"), Cell("нитки"));
    EXPECT_EQ(vg.at("C7"), Cell("Bad"));
    EXPECT_EQ(vg.at("X6"), "null");   // gas temperature: never in a verification

    std::vector<CalibRecord> cr{Calib(2), Calib(9, 1)};
    cr[1].SetFactor(3, kNaN);
    SealRecord(cr[1]);
    ArchiveFileHeader ch = Header(ArchiveKind::Calib, 2, true);
    TFormArhiv_Clb c(nullptr);
    c.Header = &ch;
    c.Records = cr;
    c.Show();
    const std::string cf = Path("CALIBRARHIV/c.xlsx");
    Export(c, cf, "Дані збережені в файлі %s");
    EXPECT_EQ(drv->fileDialogs().back().title, "Введіть ім'я файлу для збереження даних");
    EXPECT_EQ(drv->fileDialogs().back().fileName, Path("CALIBRARHIV/") + Today("zbr11-005_%02d%02d%02d.xlsx"));
    // Headings rows 2-3 are the viewer's two fixed rows; data from row 4.
    CompareRows(cf, 2, 4, 24, true, [&](int r, int col) {
        if (r < 2 && col <= 4) return std::string(r == 0 ? std::vector<std::string>{"Дата", "Час", "Стан", "Нитка"}[col - 1] : "");
        return c.StringGrid1.Cell(col, r);
    });
    const auto fmt = sheettest::ReadBack(cf, {"A2", "A3", "E3", "A6", "col:E", "col:C", "col:D"});
    EXPECT_EQ(fmt.at("A2.border"), "[null, \"thin\", \"thin\", null]");
    EXPECT_EQ(fmt.at("A3.border"), "[null, \"thin\", null, \"thin\"]");
    EXPECT_EQ(fmt.at("E3.fill"), "[\"solid\", \"FFDFDFDF\"]");
    EXPECT_EQ(fmt.at("A6.align"), "null");   // the block ends with the last record
    EXPECT_EQ(fmt.at("col:E"), "18.7109375");
    EXPECT_EQ(fmt.at("col:C"), "11.7109375");
    EXPECT_EQ(fmt.at("col:D"), "6.7109375");
}

TEST_F(ExcelExport, MoistureSheetsKeepTheGridsBlanksAndTheMeterTypesHeadings) {
    std::vector<WmtMomentaryRecord> mr{WmtMeas(0), WmtMeas(3, 0x04), WmtMeas(6, 0x02)};
    for (uint8_t type : {0, 1, 2}) {
        ArchiveFileHeader h = Header(ArchiveKind::WmtMeas, 3, true, type);
        TFormArhMeas_Wmt v(nullptr);
        v.Header = &h;
        v.Records = mr;
        v.Show();
        const std::string file = Path("MOMDATA/w" + std::to_string(type) + ".xlsx");
        Export(v, file);
        EXPECT_EQ(drv->fileDialogs().back().fileName, Path("MOMDATA/") + Today("wmt11_005_%02d%02d%02d.xlsx"));
        // Columns 1-2 are grid columns 0-1, 3-6 grid columns 4-7, untrimmed.
        CompareRows(file, 6, 3, 6, false, [&](int r, int c) {
            return v.StringGrid1.Cell(c <= 2 ? c - 1 : c + 1, r);
        });
        const auto got = xt::Values(file, {"E2", "E3", "E4", "E5", "C2", "F2"});
        if (type == 2) {
            EXPECT_EQ(got.at("E2"), Cell("Тиск"));
            EXPECT_EQ(got.at("E3"), Cell(" "));
            EXPECT_EQ(got.at("E5"), Cell("bar"));
        } else {
            EXPECT_EQ(got.at("E2"), Cell("Р надл."));
            EXPECT_EQ(got.at("E5"), Cell(type == 0 ? "кгc/см2" : "bar"));
        }
        EXPECT_EQ(got.at("C2"), Cell("Т т.роси"));
        const auto fmt = sheettest::ReadBack(file, {"A1", "A3", "col:C", "F1"});
        EXPECT_EQ(fmt.at("A1.font"), "[\"Times New Roman\", 11.0, false]");
        EXPECT_EQ(fmt.at("A1.border"), "[null, \"thin\", \"thin\", \"thin\"]");   // through the title row
        EXPECT_EQ(fmt.at("col:C"), "12.7109375");
    }

    std::vector<WmtArchiveRecord> hr{WmtHd(15, 7), WmtHd(15, 8, 0x04)};
    Corrupt(hr[1]);
    ArchiveFileHeader h = Header(ArchiveKind::WmtHour, 2, true, 0);
    TFormArhivHD_Wmt v(nullptr);
    v.Header = &h;
    v.Records = hr;
    v.Mode = 6;
    v.Show();
    const std::string file = Path("HOURDATA/wh.xlsx");
    Export(v, file);
    EXPECT_EQ(drv->fileDialogs().back().initialDir, Path("HOURDATA"));
    CompareRows(file, 6, 2, 7, false, [&](int r, int c) { return v.StringGrid1.Cell(c <= 3 ? c - 1 : c, r); });
    const auto got = xt::Values(file, {"A2", "C2", "A6", "F5"});
    EXPECT_EQ(got.at("A2"), Cell("                            Початок"));
    EXPECT_EQ(got.at("A6"), Cell("  15.03.24"));   // the blanks stay
    EXPECT_EQ(got.at("F5"), Cell("кгc/см2"));
}

// Title ranges, heading frames and column widths of the verification and
// the moisture members (the title of the verification stops one column
// short of its 24).
TEST_F(ExcelExport, TitleRangesFramesAndWidthsOfTheVerificationAndMoistureSheets) {
    std::vector<VerifRecord> vr{Verif(3)};
    ArchiveFileHeader vh = Header(ArchiveKind::Verif, 1, false);
    TFormArhiv_Verif v(nullptr);
    v.Header = &vh;
    v.Records = vr;
    v.Show();
    const std::string vf = Path("VERIFARHIV/layout.xlsx");
    Export(v, vf, "Дані збережені в файлі %s");
    const auto vfmt = sheettest::ReadBack(vf, {"A1", "D1", "W1", "X1", "D3", "E5", "X5", "X7", "col:A", "col:B",
                                               "col:C", "col:D", "col:E", "col:X", "row:1"});
    ASSERT_EQ(vfmt.count("error"), 0u) << vfmt.at("error");
    EXPECT_EQ(vfmt.at("A1.font"), "[\"Times New Roman\", 12.0, false]");
    EXPECT_EQ(vfmt.at("A1.border"), "[null, \"thin\", \"thin\", \"thin\"]");   // columns 1-4 framed through the title
    EXPECT_EQ(vfmt.at("D1.border"), "[null, \"thin\", \"thin\", \"thin\"]");
    EXPECT_EQ(vfmt.at("W1.border"), "[null, null, \"thin\", \"thin\"]");
    EXPECT_EQ(vfmt.at("X1.border"), "[null, null, null, null]");
    EXPECT_EQ(vfmt.at("D3.fill"), "[\"solid\", \"FFDFDFDF\"]");
    EXPECT_EQ(vfmt.at("E5.border"), "[null, \"thin\", null, \"thin\"]");
    EXPECT_EQ(vfmt.at("X5.border"), "[null, \"thin\", null, \"thin\"]");
    EXPECT_EQ(vfmt.at("X7.font"), "[\"Times New Roman\", 10.0, false]");   // the block's row beyond the last record
    EXPECT_EQ(vfmt.at("X7.align"), "\"center\"");
    EXPECT_EQ(vfmt.at("col:A"), "9.7109375");
    EXPECT_EQ(vfmt.at("col:B"), "9.7109375");
    EXPECT_EQ(vfmt.at("col:C"), "8.7109375");
    EXPECT_EQ(vfmt.at("col:D"), "8.7109375");
    EXPECT_EQ(vfmt.at("col:E"), "9.7109375");
    EXPECT_EQ(vfmt.at("col:X"), "9.7109375");
    EXPECT_EQ(vfmt.at("row:1"), "18.0");

    std::vector<WmtArchiveRecord> hr{WmtHd(15, 7, 0, true)};
    ArchiveFileHeader hh = Header(ArchiveKind::WmtDay, 1, true, 1);
    TFormArhivHD_Wmt h(nullptr);
    h.Header = &hh;
    h.Records = hr;
    h.Mode = 7;
    h.Show();
    const std::string hf = Path("DAYDATA/wd.xlsx");
    Export(h, hf);
    EXPECT_EQ(drv->fileDialogs().back().initialDir, Path("DAYDATA"));
    const auto hfmt = sheettest::ReadBack(hf, {"A1", "G1", "H1", "G5", "col:A", "col:C", "col:D", "col:G"});
    ASSERT_EQ(hfmt.count("error"), 0u) << hfmt.at("error");
    EXPECT_EQ(hfmt.at("A1.font"), "[\"Times New Roman\", 12.0, false]");
    EXPECT_EQ(hfmt.at("G1.border"), "[null, null, \"thin\", \"thin\"]");
    EXPECT_EQ(hfmt.at("H1.border"), "[null, null, null, null]");
    EXPECT_EQ(hfmt.at("G5.border"), "[null, \"thin\", null, \"thin\"]");
    EXPECT_EQ(hfmt.at("col:A"), "9.7109375");
    EXPECT_EQ(hfmt.at("col:C"), "9.7109375");
    EXPECT_EQ(hfmt.at("col:D"), "12.7109375");
    EXPECT_EQ(hfmt.at("col:G"), "12.7109375");

    std::vector<WmtMomentaryRecord> mr{WmtMeas(0)};
    ArchiveFileHeader mh = Header(ArchiveKind::WmtMeas, 1, true, 3);
    TFormArhMeas_Wmt m(nullptr);
    m.Header = &mh;
    m.Records = mr;
    m.Show();
    const std::string mf = Path("MOMDATA/wm.xlsx");
    Export(m, mf);
    const auto mfmt = sheettest::ReadBack(mf, {"B1", "F1", "G1", "col:B", "col:F"});
    ASSERT_EQ(mfmt.count("error"), 0u) << mfmt.at("error");
    EXPECT_EQ(mfmt.at("B1.border"), "[null, \"thin\", \"thin\", \"thin\"]");
    EXPECT_EQ(mfmt.at("F1.border"), "[null, null, \"thin\", \"thin\"]");
    EXPECT_EQ(mfmt.at("G1.border"), "[null, null, null, null]");
    EXPECT_EQ(mfmt.at("col:B"), "9.7109375");
    EXPECT_EQ(mfmt.at("col:F"), "12.7109375");
    // Type 3 gets the bar headings.
    const auto mv = xt::Values(mf, {"E2", "E5"});
    EXPECT_EQ(mv.at("E2"), Cell("Р надл."));
    EXPECT_EQ(mv.at("E5"), Cell("bar"));
}

TEST_F(ExcelExport, EmptyViewerGivesTitleAndHeadingsAndWordingFlagsChooseTheHeadings) {
    ReportFormat.FractionWording = 1;
    ReportFormat.HeatUnitKcal = 1;
    ArchiveFileHeader h = Header(ArchiveKind::ChromHour, 0);
    TFormArhivHDM_Chr v(nullptr);
    v.Header = &h;
    v.Records = {};
    v.Show();
    const std::string file = Path("HOURDATA/empty.xlsx");
    Export(v, file);
    const auto got = xt::Values(file, {"A1", "D2", "L2", "P5", "A6", "D6"});
    EXPECT_EQ(got.at("A1"), Cell(v.Caption()));
    EXPECT_EQ(got.at("D2"), Cell("Сум. ОД"));
    EXPECT_EQ(got.at("L2"), Cell("ОД"));
    EXPECT_EQ(got.at("P5"), Cell("ккал/м3"));   // position 12: superior calorific value
    EXPECT_EQ(got.at("A6"), "null");
    EXPECT_EQ(got.at("D6"), "null");
}

TEST_F(ExcelExport, ASaveThatFailsIsToldAndLeavesNoFile) {
    std::vector<HdmArchiveRecord> recs{Hdm(15, 7)};
    ArchiveFileHeader h = Header(ArchiveKind::ChromHour, 1);
    TFormArhivHDM_Chr v(nullptr);
    v.Header = &h;
    v.Records = recs;
    v.Show();
    drv->chooseFile(Path("NOSUCH/hours.xlsx"));
    v.BitBtn5.Click();
    ASSERT_FALSE(drv->messages().empty());
    const ui::MessageInfo& m = drv->messages().back();
    EXPECT_EQ(m.kind, 0);
    EXPECT_EQ(m.lines[0].rfind("Помилка роботи з файлом!\n", 0), 0u) << m.lines[0];
    EXPECT_FALSE(std::filesystem::exists(Path("NOSUCH")));
    EXPECT_TRUE(v.Enabled());
    EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
    // Cancelling the dialog does nothing.
    drv->cancelFileDialog();
    const std::size_t before = drv->messages().size();
    v.BitBtn5.Click();
    EXPECT_EQ(drv->messages().size(), before);
}

TEST_F(ExcelExport, LineNamesCarryNoSlashesIntoTheProposedName) {
    ArchiveFileHeader h = Header(ArchiveKind::ChromHour, 0);
    SetName(h.LineName, "A/B\\C\x01");
    EXPECT_EQ(ExcelDefaultFileName(ExcelMember::ChromHourDay, "/d", h, {24, 3, 5, 0, 0, 0}),
              "/d/zbr11_A_B_C__240305.xlsx");
    EXPECT_EQ(ExcelWithExtension("/a.b/c"), "/a.b/c.xlsx");
    EXPECT_EQ(ExcelWithExtension("/a/c.txt"), "/a/c.txt");
}

}  // namespace
