// Gas-quality certificates filled the way the certificate window fills its
// templates: a template made by an independent writer with the usual things
// a hand-made form carries (merged title and period cells, number formats,
// frames, a logo, print settings, formulas filled along a row), opened, its
// cells filled by the cell map, saved over an older report and closed.
#include "SheetTestUtil.h"
#include "sheet/SheetModel.h"
#include "sheet/Workbook.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace sheettest;

namespace {

const char* const kMakeTemplate = R"PY(
import sys, io, re, zipfile
import openpyxl
from openpyxl.styles import Font, Border, Side, Alignment, PatternFill

month = sys.argv[2] == "mon"
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Паспорт"
help_ = wb.create_sheet("Довідка")
help_["A1"] = "службовий аркуш"
help_.sheet_state = "hidden"
ws["A1"] = "ПАСПОРТ ЯКОСТІ ГАЗУ"
ws["A1"].font = Font(name="Times New Roman", size=14, bold=True)
ws["A1"].alignment = Alignment(horizontal="center")
ws.merge_cells("A1:AB1")
ws.merge_cells("AB2:AD2")
ws.merge_cells("V4:AB4")
ws["V4"] = "За період"
thin = Side(style="thin")
last = 41 if month else 34
for r in range(10, last + 1):
    for c in range(1, 29):
        cell = ws.cell(r, c)
        cell.border = Border(left=thin, right=thin, top=thin, bottom=thin)
        cell.number_format = "0.000"
        cell.font = Font(name="Arial", size=9)
    if month and r < 41:
        ws.cell(r, 1, "%02d" % (r - 9))
ws.cell(last, 1, "Середнє").font = Font(name="Arial", size=9, bold=True)
ws.cell(last, 28).fill = PatternFill("solid", fgColor="FFFFFF00")
ws.cell(last, 28, "шаблон")
ws.column_dimensions["A"].width = 16
ws.row_dimensions[5].height = 30
ws.freeze_panes = "B10"
ws.print_area = "A1:AB%d" % last
ws.page_setup.orientation = "landscape"
ws.oddHeader.center.text = "Паспорт якості"
try:
    from PIL import Image as PImage
except ImportError:
    print("python3-pil is not installed: the template's picture cannot be made")
    sys.exit(3)
from openpyxl.drawing.image import Image
buf = io.BytesIO()
PImage.new("RGB", (40, 20), (200, 30, 30)).save(buf, "PNG")
buf.seek(0)
ws.add_image(Image(buf), "B2")
plain = sys.argv[1] + ".plain"
wb.save(plain)

# The summary row holds means computed by formulas filled along it from
# column B, stored as the spreadsheet program stores a filled formula (the
# first cell holds it, the others refer to it by group number), listed in a
# calculation chain.
zin = zipfile.ZipFile(plain)
zout = zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED)
for item in zin.infolist():
    data = zin.read(item.filename)
    if item.filename == "xl/worksheets/sheet1.xml":
        text = data.decode()
        for col in range(2, 28):
            letter = openpyxl.utils.get_column_letter(col)
            m = re.search(r'<c r="%s%d"([^>]*?)(/>|></c>)' % (letter, last), text)
            if col == 2:
                f = '<f t="shared" ref="B%d:AA%d" si="0">AVERAGE(B10:B%d)</f>' % (last, last, last - 1)
            else:
                f = '<f t="shared" si="0"/>'
            text = text[:m.start()] + '<c r="%s%d"%s>%s<v>0</v></c>' % (letter, last, m.group(1), f) + text[m.end():]
        data = text.encode()
    if item.filename == "[Content_Types].xml":
        data = data.replace(b"</Types>", b'<Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>')
    if item.filename == "xl/_rels/workbook.xml.rels":
        data = data.replace(b"</Relationships>", b'<Relationship Id="rIdCalc" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>')
    zout.writestr(item, data)
chain = "".join('<c r="%s%d" i="1"/>' % (openpyxl.utils.get_column_letter(c), last) for c in range(2, 28))
zout.writestr("xl/calcChain.xml", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">' + chain + "</calcChain>")
zout.close()
)PY";

// What a reader of the finished certificate sees.
const char* const kCheck = R"PY(
import sys, json, zipfile
import openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
out = {}
out["sheets"] = wb.sheetnames
out["active"] = ws.title
out["hidden"] = wb["Довідка"].sheet_state
out["merged"] = sorted(str(r) for r in ws.merged_cells.ranges)
out["freeze"] = ws.freeze_panes
out["print_area"] = ws.print_area
out["orientation"] = ws.page_setup.orientation
out["images"] = len(ws._images)
out["header"] = ws.oddHeader.center.text
for q in sys.argv[2:]:
    c = ws[q]
    out[q] = [c.value, c.data_type, c.number_format, c.font.name, c.font.sz, bool(c.font.b),
              c.border.left.style, c.fill.fgColor.rgb if c.fill.fill_type else None]
names = zipfile.ZipFile(sys.argv[1]).namelist()
out["calcChain"] = "xl/calcChain.xml" in names
out["media"] = len([n for n in names if n.startswith("xl/media/")])
print(json.dumps(out, ensure_ascii=False))
)PY";

std::string Fmt(const char* fmt, int a, int b, int c, int d = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b, c, d);
    return buf;
}

// A row of chromatograph values (columns 2..23, column 28) as the row
// writer fills it; "--" for an invalid row, column 11 only with oxygen.
void ChromRow(sheet::Worksheet& ws, int row, bool valid, bool oxygen) {
    for (int c = 2; c <= 23; ++c) {
        if (c == 11 && !oxygen) continue;
        ASSERT_TRUE(ws.Cells(row, c).SetValue(valid ? std::to_string(row) + "." + std::to_string(c) : "--"));
    }
    if (valid) {
        ASSERT_TRUE(ws.Cells(row, 28).SetValue("12.5"));
    }
}

void MoistRow(sheet::Worksheet& ws, int row) {
    for (int c = 24; c <= 27; ++c) ASSERT_TRUE(ws.Cells(row, c).SetValue("-" + std::to_string(c) + ".1"));
}

class Certificate : public ::testing::Test {
protected:
    // False (the test skipped) when the picture library is missing.
    bool Make(const char* kind) {
        std::string out;
        const int rc = RunPython(kMakeTemplate, {tmpl, kind}, out);
        if (rc == 3) return false;
        EXPECT_EQ(rc, 0) << out;
        return rc == 0;
    }
    std::string Check(const std::string& file, const std::vector<std::string>& cells) {
        std::vector<std::string> args{file};
        args.insert(args.end(), cells.begin(), cells.end());
        std::string out;
        EXPECT_EQ(RunPython(kCheck, args, out), 0) << out;
        return out;
    }
    void SetUp() override {
        if (Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
    }
    TempDir dir;
    std::string tmpl = dir / "template.xlsx";
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST_F(Certificate, DayTemplateFilledByTheCellMapOverAnOlderReport) {
    if (!Make("day")) GTEST_SKIP() << "python3-pil is not installed";
    const std::string report = dir / "ГРС-1_Нитка 1_day_240301.xlsx";
    WriteFile(report, "an older report of that day");
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Open(tmpl)) << wb.LastError();
    sheet::Worksheet ws = wb.ActiveSheet();
    ASSERT_EQ(ws.Name(), "Паспорт");
    ASSERT_TRUE(ws.Cells(2, 28).SetValue("Серійний номер хроматографа 4021;  Нитка 1"));
    ASSERT_TRUE(ws.Cells(4, 22).SetValue("За період з 01.03.24 10:00  по  01.03.24 05:00"));
    for (int i = 0; i < 20; ++i) {   // a day of only 20 hourly records
        const int row = 10 + i;
        ASSERT_TRUE(ws.Cells(row, 1).SetValue(Fmt("%02d.%02d.%02d  %02d:00", 1, 3, 24, (10 + i) % 24)));
        ChromRow(ws, row, i != 3, false);
        MoistRow(ws, row);
    }
    ChromRow(ws, 34, true, false);
    MoistRow(ws, 34);
    ASSERT_FALSE(wb.Failed()) << wb.LastError();
    ASSERT_TRUE(wb.SaveAs(report)) << wb.LastError();
    ASSERT_TRUE(wb.Close()) << wb.LastError();
    EXPECT_EQ(ListDir(dir.path()).size(), 3u);   // template, its plain copy, the report

    const std::string got = Check(report, {"AB2", "V4", "A10", "B10", "K10", "AB10", "X10", "B13", "AB13",
                                           "B29", "A30", "B30", "A34", "B34", "J34", "K34", "L34", "AB34"});
    EXPECT_TRUE(Has(got, "\"sheets\": [\"Паспорт\", \"Довідка\"]")) << got;
    EXPECT_TRUE(Has(got, "\"active\": \"Паспорт\"")) << got;
    EXPECT_TRUE(Has(got, "\"hidden\": \"hidden\"")) << got;
    EXPECT_TRUE(Has(got, "\"merged\": [\"A1:AB1\", \"AB2:AD2\", \"V4:AB4\"]")) << got;
    EXPECT_TRUE(Has(got, "\"freeze\": \"B10\"")) << got;
    EXPECT_TRUE(Has(got, "\"orientation\": \"landscape\"")) << got;
    EXPECT_TRUE(Has(got, "\"header\": \"Паспорт якості\"")) << got;
    EXPECT_TRUE(Has(got, "\"media\": 1")) << got;
    EXPECT_TRUE(Has(got, "\"AB2\": [\"Серійний номер хроматографа 4021;  Нитка 1\", \"s\"")) << got;
    EXPECT_TRUE(Has(got, "\"V4\": [\"За період з 01.03.24 10:00  по  01.03.24 05:00\", \"s\"")) << got;
    EXPECT_TRUE(Has(got, "\"A10\": [\"01.03.24  10:00\", \"s\", \"0.000\", \"Arial\", 9.0, false, \"thin\"")) << got;
    EXPECT_TRUE(Has(got, "\"B10\": [\"10.2\", \"s\", \"0.000\", \"Arial\", 9.0, false, \"thin\"")) << got;
    EXPECT_TRUE(Has(got, "\"K10\": [null, \"n\", \"0.000\"")) << got;   // no oxygen: never written
    EXPECT_TRUE(Has(got, "\"X10\": [\"-24.1\"")) << got;
    EXPECT_TRUE(Has(got, "\"AB10\": [\"12.5\"")) << got;
    EXPECT_TRUE(Has(got, "\"B13\": [\"--\"")) << got;
    EXPECT_TRUE(Has(got, "\"AB13\": [null")) << got;                    // invalid row keeps column 28
    EXPECT_TRUE(Has(got, "\"B29\": [\"29.2\"")) << got;
    EXPECT_TRUE(Has(got, "\"A30\": [null")) << got;
    EXPECT_TRUE(Has(got, "\"A34\": [\"Середнє\", \"s\", \"0.000\", \"Arial\", 9.0, true")) << got;
    EXPECT_TRUE(Has(got, "\"B34\": [\"34.2\"")) << got;
    EXPECT_TRUE(Has(got, "\"J34\": [\"34.10\"")) << got;
    EXPECT_TRUE(Has(got, "\"L34\": [\"34.12\"")) << got;
    // The oxygen mean is not written: the template's formula stays, although
    // the cell that held the filled formula for the whole row is a text now.
    EXPECT_TRUE(Has(got, "\"K34\": [\"=AVERAGE(K10:K33)\", \"f\", \"0.000\"")) << got;
    EXPECT_TRUE(Has(got, "\"calcChain\": false")) << got;
    EXPECT_TRUE(Has(got, "\"AB34\": [\"12.5\", \"s\", \"0.000\", \"Arial\", 9.0, false, \"thin\", \"FFFFFF00\"]")) << got;
}

TEST_F(Certificate, MonthTemplateKeepsItsFilledFormulasBesideTheWrittenMeans) {
    if (!Make("mon")) GTEST_SKIP() << "python3-pil is not installed";
    const std::string report = dir / "ГРС-1_Нитка 2_mon_2403.xlsx";
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Open(tmpl)) << wb.LastError();
    sheet::Worksheet ws = wb.ActiveSheet();
    ASSERT_TRUE(ws.Cells(2, 28).SetValue("Серійний номер хроматографа 4021;  Нитка 2"));
    ASSERT_TRUE(ws.Cells(4, 22).SetValue("За період з 03.03.24 по  31.03.24"));
    for (int day = 3; day <= 31; ++day) {   // the archive starts on the 3rd
        ChromRow(ws, day + 9, true, true);
        MoistRow(ws, day + 9);
    }
    for (int c = 15; c <= 20; ++c) ASSERT_TRUE(ws.Cells(41, c).SetValue(std::to_string(8000 + c) + ".00"));
    ASSERT_TRUE(wb.SaveAs(report)) << wb.LastError();
    ASSERT_TRUE(wb.Close());

    const std::string got = Check(report, {"A12", "B11", "B12", "K12", "B40", "B41", "C41", "N41", "O41", "T41",
                                           "U41", "AA41", "AB41"});
    EXPECT_TRUE(Has(got, "\"A12\": [\"03\"")) << got;
    EXPECT_TRUE(Has(got, "\"B11\": [null")) << got;
    EXPECT_TRUE(Has(got, "\"B12\": [\"12.2\"")) << got;
    EXPECT_TRUE(Has(got, "\"K12\": [\"12.11\"")) << got;
    EXPECT_TRUE(Has(got, "\"B40\": [\"40.2\"")) << got;
    EXPECT_TRUE(Has(got, "\"B41\": [\"=AVERAGE(B10:B40)\", \"f\"")) << got;
    EXPECT_TRUE(Has(got, "\"C41\": [\"=AVERAGE(C10:C40)\", \"f\"")) << got;
    EXPECT_TRUE(Has(got, "\"N41\": [\"=AVERAGE(N10:N40)\", \"f\"")) << got;
    EXPECT_TRUE(Has(got, "\"O41\": [\"8015.00\", \"s\"")) << got;
    EXPECT_TRUE(Has(got, "\"T41\": [\"8020.00\", \"s\"")) << got;
    EXPECT_TRUE(Has(got, "\"U41\": [\"=AVERAGE(U10:U40)\", \"f\"")) << got;
    EXPECT_TRUE(Has(got, "\"AA41\": [\"=AVERAGE(AA10:AA40)\", \"f\"")) << got;
    EXPECT_TRUE(Has(got, "\"calcChain\": false")) << got;   // it listed cells that are texts now
}

TEST(SharedFormula, ReferencesMoveAsWhenTheFormulaIsFilled) {
    using sheet::ShiftFormula;
    EXPECT_EQ(ShiftFormula("AVERAGE(B10:B33)", 0, 9), "AVERAGE(K10:K33)");
    EXPECT_EQ(ShiftFormula("$A$1+A$1+$A1+A1", 2, 3), "$A$1+D$1+$A3+D3");
    EXPECT_EQ(ShiftFormula("SUM(Дані!B2,'Аркуш 1'!C3)", 1, 1), "SUM(Дані!C3,'Аркуш 1'!D4)");
    EXPECT_EQ(ShiftFormula("\"B2 & A1\"&A1&'it''s A1'!A1", 1, 0), "\"B2 & A1\"&A2&'it''s A1'!A2");
    EXPECT_EQ(ShiftFormula("LOG10(A1)*1.5E3+ATAN2(B1,C1)", 1, 1), "LOG10(B2)*1.5E3+ATAN2(C2,D2)");
    EXPECT_EQ(ShiftFormula("SUM(A:A,$C:D,1:3,$5:6)", 1, 1), "SUM(B:B,$C:E,2:4,$5:7)");
    EXPECT_EQ(ShiftFormula("IF(ISERROR(A1),#N/A,TRUE)", 0, 1), "IF(ISERROR(B1),#N/A,TRUE)");
    EXPECT_EQ(ShiftFormula("Table1[Col A1]+_xlfn.STDEV.S(A1:A3)", 1, 0), "Table1[Col A1]+_xlfn.STDEV.S(A2:A4)");
    EXPECT_EQ(ShiftFormula("XFD1+A1048576", 1, 1), "#REF!+#REF!");
}
