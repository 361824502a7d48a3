// A new workbook filled the way the archive exports fill theirs, read back
// by an independent reader.
#include "SheetTestUtil.h"
#include "sheet/Workbook.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>

using namespace sheettest;

namespace {

const char* const kTimes = "Times New Roman";

// The heading of an hourly export: title row, grey heading block with
// captions and borders, a data block.
void FillExport(sheet::Worksheet& ws) {
    for (int c = 1; c <= 3; ++c) ASSERT_TRUE(ws.SetColumnWidth(c, 9));
    for (int c = 4; c <= 23; ++c) ASSERT_TRUE(ws.SetColumnWidth(c, 10));

    sheet::Range title = ws.Range(ws.Cells(1, 1), ws.Cells(1, 22));
    ASSERT_TRUE(title.SetBorder(sheet::Border::Top));
    ASSERT_TRUE(title.SetBorder(sheet::Border::Bottom));
    ASSERT_TRUE(title.SetHorizontalAlignment(sheet::HAlign::General));
    ASSERT_TRUE(title.SetRowHeight(18));
    ASSERT_TRUE(title.SetFontName(kTimes));
    ASSERT_TRUE(title.SetFontSize(12));
    ASSERT_TRUE(ws.Cells(1, 1).SetValue("Годинні дані хроматографа «Нитка 1»"));

    sheet::Range head = ws.Range(ws.Cells(2, 1), ws.Cells(5, 23));
    ASSERT_TRUE(head.SetInteriorColor(sheet::kHeadingGrey));
    ASSERT_TRUE(head.SetHorizontalAlignment(sheet::HAlign::Center));
    ASSERT_TRUE(head.SetFontName(kTimes));
    ASSERT_TRUE(head.SetFontSize(10));
    ASSERT_TRUE(ws.Range(ws.Cells(5, 1), ws.Cells(5, 23)).SetBorder(sheet::Border::Bottom));
    ASSERT_TRUE(ws.Cells(2, 1).SetValue("                            Початок"));
    ASSERT_TRUE(ws.Cells(2, 3).SetValue("Кінець"));
    ASSERT_TRUE(ws.Range("A2:A5").SetBorder(sheet::Border::Left));
    ASSERT_TRUE(ws.Range("A2:A5").SetBorder(sheet::Border::Right));
    ASSERT_TRUE(ws.Range("C2:C5").SetBorder(sheet::Border::Left));
    ASSERT_TRUE(ws.Range("C2:C5").SetBorder(sheet::Border::Right));
    ASSERT_TRUE(ws.Range("A4:C4").SetBorder(sheet::Border::Top));
    ASSERT_TRUE(ws.Cells(4, 1).SetValue("Дата"));
    ASSERT_TRUE(ws.Cells(5, 4).SetValue("°С"));
    ASSERT_TRUE(ws.Cells(5, 5).SetValue("кгc/см2"));

    sheet::Range data = ws.Range(ws.Cells(6, 1), ws.Cells(10, 23));
    ASSERT_TRUE(data.SetFontName(kTimes));
    ASSERT_TRUE(data.SetFontSize(10));
    ASSERT_TRUE(data.SetHorizontalAlignment(sheet::HAlign::Center));
    ASSERT_TRUE(ws.Cells(6, 1).SetValue("01.02.24"));
    ASSERT_TRUE(ws.Cells(6, 4).SetValue("92.1234"));
    ASSERT_TRUE(ws.Cells(7, 4).SetValue("--"));
    ASSERT_TRUE(ws.Cells(8, 4).SetValue("  NAN"));
    ASSERT_TRUE(ws.Cells(9, 4).SetValue("a & b <c> \"d\" 'e'"));
    ASSERT_TRUE(ws.Cells(9, 5).SetValue("рядок 1\nрядок 2\tтаб"));
    ASSERT_TRUE(ws.Cells(9, 6).SetValue("_x0041_ лишається"));
    ASSERT_TRUE(ws.Cells(9, 7).SetValue(std::string("\x01x\r", 3)));
    ASSERT_TRUE(ws.Cells(9, 8).SetValue("bad \xFF byte"));
    // Numbers in the program's own form become numbers; the rest stays text.
    const char* const row10[] = {"  0,0352", "-12,5", "123", "1,50", "007", "-0,00", "01.11.2026", "10:00",
                                 "1,5E12", "0,1234567890123456", "12,", "0", "1 234,5"};
    for (int c = 0; c < int(std::size(row10)); ++c) ASSERT_TRUE(ws.Cells(10, c + 1).SetValue(row10[c]));
    ASSERT_TRUE(ws.Range("P10:Q10").SetValue("7,25"));
    ASSERT_TRUE(ws.Cells(7, 5).SetValue("тимчасово"));
    ASSERT_TRUE(ws.Cells(7, 5).SetValue(""));   // cleared, format kept
}

}  // namespace

TEST(NewWorkbook, FormatsAndCyrillicTextsReadBack) {
    if (Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
    TempDir dir;
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Add()) << wb.LastError();
    sheet::Worksheet ws = wb.ActiveSheet();
    ASSERT_TRUE(ws.Valid());
    FillExport(ws);
    ASSERT_FALSE(wb.Failed()) << wb.LastError();
    const std::string file = dir / "zbr11_Нитка 1_240201.xlsx";
    ASSERT_TRUE(wb.SaveAs(file)) << wb.LastError();
    ASSERT_TRUE(wb.Close());

    auto got = ReadBack(file, {"A1", "V1", "W1", "A2", "C2", "A4", "C4", "A5", "D5", "E5", "A6", "D6",
                               "D7", "D8", "D9", "E9", "F9", "G9", "H9", "E7", "W10", "col:A",
                               "col:C", "col:D", "col:W", "row:1", "row:6", "A10", "B10", "C10", "D10",
                               "E10", "F10", "G10", "H10", "I10", "J10", "K10", "L10", "M10", "P10", "Q10"});
    ASSERT_EQ(got.count("error"), 0u) << got["error"];
    EXPECT_EQ(got["sheets"], "[\"Аркуш1\"]");
    EXPECT_EQ(got["active"], "0");

    // Title row.
    EXPECT_EQ(got["A1.value"], Json("Годинні дані хроматографа «Нитка 1»"));
    EXPECT_EQ(got["A1.type"], "\"s\"");
    EXPECT_EQ(got["A1.font"], "[\"Times New Roman\", 12.0, false]");
    EXPECT_EQ(got["A1.border"], "[null, null, \"thin\", \"thin\"]");
    EXPECT_EQ(got["A1.align"], "null");
    EXPECT_EQ(got["V1.border"], "[null, null, \"thin\", \"thin\"]");
    EXPECT_EQ(got["W1.border"], "[null, null, null, null]");   // the title range ends at V
    EXPECT_EQ(got["W1.font"], "[\"Calibri\", 11.0, false]");
    EXPECT_EQ(got["row:1"], "18.0");

    // Heading block.
    EXPECT_EQ(got["A2.value"], Json("                            Початок"));
    EXPECT_EQ(got["A2.fill"], "[\"solid\", \"FFDFDFDF\"]");
    EXPECT_EQ(got["A2.align"], "\"center\"");
    EXPECT_EQ(got["A2.font"], "[\"Times New Roman\", 10.0, false]");
    EXPECT_EQ(got["A2.border"], "[\"thin\", \"thin\", null, null]");
    EXPECT_EQ(got["C2.value"], Json("Кінець"));
    EXPECT_EQ(got["C4.border"], "[\"thin\", \"thin\", \"thin\", null]");
    EXPECT_EQ(got["A4.border"], "[\"thin\", \"thin\", \"thin\", null]");
    EXPECT_EQ(got["A4.value"], Json("Дата"));
    EXPECT_EQ(got["A5.border"], "[\"thin\", \"thin\", null, \"thin\"]");
    EXPECT_EQ(got["D5.value"], Json("°С"));
    EXPECT_EQ(got["D5.fill"], "[\"solid\", \"FFDFDFDF\"]");
    EXPECT_EQ(got["E5.value"], Json("кгc/см2"));

    // Data block: texts stay texts, exactly as written.
    EXPECT_EQ(got["A6.value"], Json("01.02.24"));
    EXPECT_EQ(got["D6.value"], Json("92.1234"));
    EXPECT_EQ(got["D6.type"], "\"s\"");
    EXPECT_EQ(got["D6.font"], "[\"Times New Roman\", 10.0, false]");
    EXPECT_EQ(got["D6.align"], "\"center\"");
    EXPECT_EQ(got["D6.fill"], "[null, null]");
    EXPECT_EQ(got["D7.value"], Json("--"));
    EXPECT_EQ(got["D8.value"], Json("  NAN"));
    EXPECT_EQ(got["D9.value"], Json("a & b <c> \"d\" 'e'"));
    EXPECT_EQ(got["E9.value"], Json("рядок 1\nрядок 2\tтаб"));
    EXPECT_EQ(got["F9.value"], Json("_x0041_ лишається"));
    EXPECT_EQ(got["G9.value"], Json(std::string("\x01x\r", 3)));
    EXPECT_EQ(got["H9.value"], Json("bad \xEF\xBF\xBD byte"));   // invalid UTF-8 -> U+FFFD
    EXPECT_EQ(got["E7.value"], "null");
    EXPECT_EQ(got["E7.font"], "[\"Times New Roman\", 10.0, false]");
    EXPECT_EQ(got["W10.font"], "[\"Times New Roman\", 10.0, false]");
    EXPECT_EQ(got["W10.value"], "null");
    EXPECT_EQ(got["row:6"], "null");

    // Numbers: the value, a format showing exactly the written digits, the
    // rest of the cell's format kept.
    const std::map<std::string, std::pair<std::string, std::string>> numbers = {
        {"A10", {"0.0352", "0.0000"}}, {"B10", {"-12.5", "0.0"}}, {"C10", {"123", "0"}},
        {"D10", {"1.5", "0.00"}},      {"L10", {"0", "0"}},       {"P10", {"7.25", "0.00"}},
        {"Q10", {"7.25", "0.00"}}};
    for (const auto& [cell, want] : numbers) {
        EXPECT_EQ(got[cell + ".value"], want.first) << cell;
        EXPECT_EQ(got[cell + ".type"], "\"n\"") << cell;
        EXPECT_EQ(got[cell + ".format"], Json(want.second)) << cell;
        EXPECT_EQ(got[cell + ".font"], "[\"Times New Roman\", 10.0, false]") << cell;
        EXPECT_EQ(got[cell + ".align"], "\"center\"") << cell;
    }
    const std::map<std::string, std::string> texts = {
        {"E10", "007"},    {"F10", "-0,00"},   {"G10", "01.11.2026"},         {"H10", "10:00"},
        {"I10", "1,5E12"}, {"J10", "0,1234567890123456"}, {"K10", "12,"}, {"M10", "1 234,5"}};
    for (const auto& [cell, text] : texts) {
        EXPECT_EQ(got[cell + ".value"], Json(text)) << cell;
        EXPECT_EQ(got[cell + ".type"], "\"s\"") << cell;
        EXPECT_EQ(got[cell + ".format"], Json("General")) << cell;
    }

    // Widths as a spreadsheet program stores 9 and 10 characters.
    EXPECT_EQ(got["col:A"], "9.7109375");
    EXPECT_EQ(got["col:C"], "9.7109375");
    EXPECT_EQ(got["col:D"], "10.7109375");
    EXPECT_EQ(got["col:W"], "10.7109375");
}

TEST(NewWorkbook, RepeatedFormatsAreNotAddedTwice) {
    if (Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
    TempDir dir;
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Add());
    sheet::Worksheet ws = wb.ActiveSheet();
    FillExport(ws);
    ASSERT_TRUE(wb.SaveAs(dir / "one.xlsx"));
    // The same formats once more, on the same and on other cells.
    FillExport(ws);
    sheet::Range more = ws.Range("A20:W40");
    ASSERT_TRUE(more.SetFontName(kTimes));
    ASSERT_TRUE(more.SetFontSize(10));
    ASSERT_TRUE(more.SetHorizontalAlignment(sheet::HAlign::Center));
    ASSERT_TRUE(wb.SaveAs(dir / "two.xlsx"));

    std::string out;
    ASSERT_EQ(RunPython("import sys, zipfile\n"
                        "a = zipfile.ZipFile(sys.argv[1]).read('xl/styles.xml')\n"
                        "b = zipfile.ZipFile(sys.argv[2]).read('xl/styles.xml')\n"
                        "print('same' if a == b else 'differs')\n",
                        {dir / "one.xlsx", dir / "two.xlsx"}, out),
              0)
        << out;
    EXPECT_EQ(out, "same\n");
}

TEST(NewWorkbook, SaveAsReplacesAnExistingFileAndKeepsTheWorkbookOpen) {
    if (Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
    TempDir dir;
    const std::string file = dir / "out.xlsx";
    WriteFile(file, "old contents");
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Add());
    sheet::Worksheet ws = wb.ActiveSheet();
    ASSERT_TRUE(ws.Cells(1, 1).SetValue("перший"));
    ASSERT_TRUE(wb.SaveAs(file)) << wb.LastError();
    ASSERT_TRUE(ws.Cells(1, 1).SetValue("другий"));
    ASSERT_TRUE(wb.SaveAs(file)) << wb.LastError();
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"out.xlsx"});   // no temporary left
    auto got = ReadBack(file, {"A1"});
    EXPECT_EQ(got["A1.value"], Json("другий"));
}
