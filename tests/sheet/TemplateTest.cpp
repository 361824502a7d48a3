// A certificate-like template (made by an independent writer) filled and
// saved: what the program wrote is there, and everything else is as it was.
#include "SheetTestUtil.h"
#include "sheet/Workbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

using namespace sheettest;

namespace {

// Two sheets, the second one active; styles, merged ranges, a column format,
// a row height, shared strings, a formula with its calculation chain.
const char* const kMakeTemplate = R"PY(
import sys, zipfile
import openpyxl
from openpyxl.styles import Font, PatternFill, Border, Side, Alignment

wb = openpyxl.Workbook()
s1 = wb.active
s1.title = "Титул"
s1["A1"] = "Паспорт якості газу"
s1["A1"].font = Font(name="Arial", size=14, bold=True)
s1.merge_cells("A1:C1")
s2 = wb.create_sheet("Дані")
s2["A1"] = "Сертифікат"
s2["A1"].alignment = Alignment(horizontal="center")
s2.merge_cells("A1:D1")
s2["B2"] = "заголовок"
s2["B2"].font = Font(bold=True, color="FFFF0000")
s2["B2"].fill = PatternFill("solid", fgColor="FF00FF00")
medium = Side(style="medium")
s2["B3"] = "рамка"
s2["B3"].border = Border(left=medium, right=medium, top=medium, bottom=medium)
s2["C3"] = "=SUM(1,2)"
s2["AB12"] = "t-old"
s2["D10"].font = Font(bold=True, color="FFFF0000")
s2["D10"].border = Border(left=medium, right=medium, top=medium, bottom=medium)
s2["D10"].alignment = Alignment(horizontal="right")
s2["D10"].number_format = "0.0"
s2["F10"].number_format = "@"
s2.row_dimensions[10].height = 20
s2.column_dimensions["B"].width = 25
s2.column_dimensions["E"].font = Font(bold=True)
wb.active = 1
plain = sys.argv[1] + ".plain"
wb.save(plain)

# The calculation chain a spreadsheet program keeps for the formula.
zin = zipfile.ZipFile(plain)
zout = zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED)
for item in zin.infolist():
    data = zin.read(item.filename)
    if item.filename == "[Content_Types].xml":
        data = data.replace(b"</Types>", b'<Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>')
    if item.filename == "xl/_rels/workbook.xml.rels":
        data = data.replace(b"</Relationships>", b'<Relationship Id="rIdCalc" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>')
    zout.writestr(item, data)
zout.writestr("xl/calcChain.xml", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><c r="C3" i="2"/></calcChain>')
zout.close()
)PY";

// Compares the stored (compressed) bytes of every part of two packages.
const char* const kCompareParts = R"PY(
import sys, struct, zipfile

def parts(path):
    out = {}
    with open(path, "rb") as f, zipfile.ZipFile(path) as z:
        for i in z.infolist():
            f.seek(i.header_offset)
            head = f.read(30)
            n, m = struct.unpack("<HH", head[26:30])
            f.seek(i.header_offset + 30 + n + m)
            out[i.filename] = (i.compress_type, i.CRC, f.read(i.compress_size))
        bad = z.testzip()
        if bad:
            print("crc", bad)
    return out

a = parts(sys.argv[1])
b = parts(sys.argv[2])
for k in sorted(a):
    if k not in b:
        print("missing", k)
    elif a[k] != b[k]:
        print("changed", k)
for k in sorted(b):
    if k not in a:
        print("added", k)
with zipfile.ZipFile(sys.argv[2]) as z:
    if "xl/calcChain.xml" not in z.namelist():
        for name in ("[Content_Types].xml", "xl/_rels/workbook.xml.rels"):
            if b"calcChain" in z.read(name):
                print("dangling", name)
)PY";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> v;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) v.push_back(line);
    return v;
}

class Template : public ::testing::Test {
protected:
    void SetUp() override {
        if (Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
        std::string out;
        ASSERT_EQ(RunPython(kMakeTemplate, {tmpl}, out), 0) << out;
    }
    std::vector<std::string> CompareParts(const std::string& saved) {
        std::string out;
        EXPECT_EQ(RunPython(kCompareParts, {tmpl, saved}, out), 0) << out;
        return Lines(out);
    }
    TempDir dir;
    std::string tmpl = dir / "day_report_title_v11.xlsx";
};

}  // namespace

TEST_F(Template, OpenedAndSavedUnchangedKeepsEveryPartByteForByte) {
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Open(tmpl)) << wb.LastError();
    EXPECT_EQ(wb.ActiveSheet().Name(), "Дані");
    const std::string saved = dir / "copy.xlsx";
    ASSERT_TRUE(wb.SaveAs(saved)) << wb.LastError();
    ASSERT_TRUE(wb.Close());
    EXPECT_EQ(CompareParts(saved), std::vector<std::string>{});
}

TEST_F(Template, FilledCellsAreWrittenAndTheRestIsKept) {
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Open(tmpl)) << wb.LastError();
    sheet::Worksheet ws = wb.ActiveSheet();
    ASSERT_EQ(ws.Name(), "Дані");

    ASSERT_TRUE(ws.Cells(2, 28).SetValue("Серійний номер хроматографа 1234;  Нитка 1"));
    ASSERT_TRUE(ws.Cells(4, 22).SetValue("За період з 01.02.24 10:00  по  02.02.24 09:00"));
    for (int i = 0; i < 4; ++i) {
        const int row = 10 + i;
        char date[32];
        std::snprintf(date, sizeof date, "%02d.%02d.%02d  %02d:00", 1, 2, 24, 10 + i);
        ASSERT_TRUE(ws.Cells(row, 1).SetValue(date));
        for (int c = 2; c <= 23; ++c)
            ASSERT_TRUE(ws.Cells(row, c).SetValue(c == 11 ? "--" : std::to_string(90 + c) + ",125"));
    }
    ASSERT_TRUE(ws.Range("B10:W13").SetFontName("Times New Roman"));
    ASSERT_TRUE(ws.Cells(3, 3).SetValue("3"));   // over the formula
    ASSERT_TRUE(ws.SetColumnWidth(3, 12));
    ASSERT_TRUE(ws.Range("B3").SetFontSize(12));
    const std::string saved = dir / "ГРС_Нитка 1_day_240201.xlsx";
    ASSERT_TRUE(wb.SaveAs(saved)) << wb.LastError();
    ASSERT_TRUE(wb.Close());

    // Only the filled sheet, the style sheet and the two lists that named
    // the dropped calculation chain differ; the other sheet, the theme, the
    // shared strings and the document properties are the template's bytes.
    EXPECT_EQ(CompareParts(saved),
              (std::vector<std::string>{"changed [Content_Types].xml", "changed xl/_rels/workbook.xml.rels",
                                        "missing xl/calcChain.xml", "changed xl/styles.xml",
                                        "changed xl/worksheets/sheet2.xml"}));

    auto got = ReadBack(saved, {"A1", "B2", "B3", "C3", "E11", "AB2", "AB12", "V4", "A10", "B10", "D10", "F10",
                                "K11", "W13", "col:B", "col:C", "row:10"});
    ASSERT_EQ(got.count("error"), 0u) << got["error"];
    EXPECT_EQ(got["sheets"], "[\"Титул\", \"Дані\"]");
    EXPECT_EQ(got["active"], "1");
    EXPECT_EQ(got["merged"], "[\"A1:D1\"]");
    // Template cells untouched.
    EXPECT_EQ(got["A1.value"], Json("Сертифікат"));
    EXPECT_EQ(got["A1.align"], "\"center\"");
    EXPECT_EQ(got["B2.value"], Json("заголовок"));
    EXPECT_EQ(got["B2.font"], "[null, null, true]");   // the template's font: bold, red
    EXPECT_EQ(got["B2.fill"], "[\"solid\", \"FF00FF00\"]");
    EXPECT_EQ(got["AB12.value"], Json("t-old"));
    EXPECT_EQ(got["col:B"], "25.0");
    EXPECT_EQ(got["row:10"], "20.0");
    // A changed format keeps the rest of the cell's own format.
    EXPECT_EQ(got["B3.value"], Json("рамка"));
    EXPECT_EQ(got["B3.border"], "[\"medium\", \"medium\", \"medium\", \"medium\"]");
    EXPECT_EQ(got["B3.font"], "[\"Calibri\", 12.0, false]");
    // Written cells.
    EXPECT_EQ(got["C3.value"], "3");
    EXPECT_EQ(got["C3.type"], "\"n\"");
    EXPECT_EQ(got["C3.format"], Json("0"));
    EXPECT_EQ(got["AB2.value"], Json("Серійний номер хроматографа 1234;  Нитка 1"));
    EXPECT_EQ(got["V4.value"], Json("За період з 01.02.24 10:00  по  02.02.24 09:00"));
    EXPECT_EQ(got["A10.value"], Json("01.02.24  10:00"));
    EXPECT_EQ(got["B10.value"], "92.125");
    EXPECT_EQ(got["B10.type"], "\"n\"");
    EXPECT_EQ(got["B10.format"], Json("0.000"));
    EXPECT_EQ(got["B10.font"], "[\"Times New Roman\", 11.0, false]");
    // A number in a formatted template cell: its own number format gives
    // way to one showing the written digits, the rest of its format stays.
    EXPECT_EQ(got["D10.value"], "94.125");
    EXPECT_EQ(got["D10.format"], Json("0.000"));
    EXPECT_EQ(got["D10.font"], "[\"Times New Roman\", null, true]");
    EXPECT_EQ(got["D10.border"], "[\"medium\", \"medium\", \"medium\", \"medium\"]");
    EXPECT_EQ(got["D10.align"], "\"right\"");
    // A cell formatted as text keeps what is written as text.
    EXPECT_EQ(got["F10.value"], Json("96,125"));
    EXPECT_EQ(got["F10.type"], "\"s\"");
    EXPECT_EQ(got["K11.value"], Json("--"));
    EXPECT_EQ(got["W13.value"], "113.125");
    // A new cell in a formatted column takes the column's format (bold).
    EXPECT_EQ(got["E11.font"], "[\"Times New Roman\", null, true]");
    EXPECT_EQ(got["col:C"], "12.7109375");
}

TEST_F(Template, UnchangedFormulaKeepsItsCalculationChain) {
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Open(tmpl)) << wb.LastError();
    ASSERT_TRUE(wb.ActiveSheet().Cells(20, 1).SetValue("примітка"));
    const std::string saved = dir / "note.xlsx";
    ASSERT_TRUE(wb.SaveAs(saved)) << wb.LastError();
    EXPECT_EQ(CompareParts(saved), std::vector<std::string>{"changed xl/worksheets/sheet2.xml"});
    auto got = ReadBack(saved, {"A20", "C3"});
    EXPECT_EQ(got["A20.value"], Json("примітка"));
    EXPECT_EQ(got["C3.value"], Json("=SUM(1,2)"));
}
