// What a printable form needs of a sheet: merged cells, bold, wrapped and
// aligned texts, the sheet's name, paper, orientation, fitting, margins and
// the print area; read back by an independent reader. A template made so
// keeps all of it when the program opens, fills and saves it.
#include "SheetTestUtil.h"
#include "sheet/Workbook.h"

#include <gtest/gtest.h>

using namespace sheettest;

namespace {

const char* const kLayout = R"PY(
import json, sys
import openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
out = {}
out["title"] = ws.title
out["merged"] = sorted(str(r) for r in ws.merged_cells.ranges)
ps = ws.page_setup
out["paper"] = ps.paperSize
out["orientation"] = ps.orientation
out["fit"] = [ws.sheet_properties.pageSetUpPr.fitToPage if ws.sheet_properties.pageSetUpPr else None,
              ps.fitToWidth, ps.fitToHeight]
m = ws.page_margins
out["margins"] = [m.left, m.right, m.top, m.bottom, m.header, m.footer]
out["centered"] = ws.print_options.horizontalCentered
out["print_area"] = ws.print_area
import zipfile, re
book = zipfile.ZipFile(sys.argv[1]).read("xl/workbook.xml").decode()
out["defined"] = re.findall(r"<definedName[^>]*>([^<]*)</definedName>", book)
for q in sys.argv[2:]:
    c = ws[q]
    out[q] = [c.value, bool(c.font.b), c.alignment.horizontal, c.alignment.vertical, bool(c.alignment.wrap_text)]
print(json.dumps(out, ensure_ascii=False))
)PY";

std::string Layout(const std::string& file, const std::vector<std::string>& cells) {
    std::vector<std::string> args{file};
    args.insert(args.end(), cells.begin(), cells.end());
    std::string out;
    EXPECT_EQ(RunPython(kLayout, args, out), 0) << out;
    return out;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FormLayout : public ::testing::Test {
protected:
    void SetUp() override {
        if (Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
    }
    TempDir dir;
};

TEST_F(FormLayout, MergedBoldWrappedAndPrintSetupSurviveATemplateRoundTrip) {
    const std::string tmpl = dir / "form.xlsx";
    {
        sheet::Workbook wb;
        ASSERT_TRUE(wb.Add());
        sheet::Worksheet ws = wb.ActiveSheet();
        ASSERT_TRUE(ws.SetName("Паспорт"));
        sheet::Range title = ws.Range("A1:AB1");
        ASSERT_TRUE(title.Merge());
        ASSERT_TRUE(ws.Cells(1, 1).SetValue("ПАСПОРТ"));
        ASSERT_TRUE(title.SetFontBold(true));
        ASSERT_TRUE(title.SetHorizontalAlignment(sheet::HAlign::Center));
        sheet::Range head = ws.Range("B6:B8");
        ASSERT_TRUE(head.Merge());
        ASSERT_TRUE(head.SetWrapText(true));
        ASSERT_TRUE(head.SetVerticalAlignment(sheet::VAlign::Center));
        ASSERT_TRUE(ws.Cells(6, 2).SetValue("Метан CH4"));
        ASSERT_TRUE(ws.Cells(2, 28).SetHorizontalAlignment(sheet::HAlign::Right));
        ASSERT_TRUE(ws.Cells(3, 1).SetHorizontalAlignment(sheet::HAlign::Left));
        ASSERT_TRUE(ws.Cells(3, 1).SetFontBold(true));
        ASSERT_TRUE(ws.Cells(3, 1).SetFontBold(false));
        ASSERT_TRUE(ws.Cells(4, 1).SetVerticalAlignment(sheet::VAlign::Top));
        ASSERT_TRUE(ws.Cells(4, 1).SetVerticalAlignment(sheet::VAlign::Bottom));   // the default again
        // Overlapping merges are refused (and mark the book as failed).
        EXPECT_FALSE(ws.Range("AA1:AC2").Merge());
        EXPECT_TRUE(wb.Failed());
        wb.ClearFailure();
        EXPECT_TRUE(ws.Cells(9, 9).Merge());   // one cell: nothing to join
        sheet::PageSetup page;
        page.landscape = true;
        page.fitWidth = 1;
        page.fitHeight = 1;
        page.left = page.right = 0.4;
        page.centerHorizontally = true;
        ASSERT_TRUE(ws.SetPageSetup(page));
        ASSERT_TRUE(ws.SetPrintArea(ws.Range("A1:AB40")));
        ASSERT_TRUE(wb.SaveAs(tmpl)) << wb.LastError();
    }
    // Opened as a template, filled and saved under another name.
    const std::string report = dir / "report.xlsx";
    {
        sheet::Workbook wb;
        ASSERT_TRUE(wb.Open(tmpl)) << wb.LastError();
        sheet::Worksheet ws = wb.ActiveSheet();
        EXPECT_EQ(ws.Name(), "Паспорт");
        ASSERT_TRUE(ws.Cells(2, 28).SetValue("Серійний номер"));
        ASSERT_TRUE(wb.SaveAs(report)) << wb.LastError();
    }
    for (const std::string& file : {tmpl, report}) {
        const std::string got = Layout(file, {"A1", "B6", "AB2", "A3", "A4"});
        EXPECT_TRUE(Has(got, "\"title\": \"Паспорт\"")) << got;
        EXPECT_TRUE(Has(got, "\"merged\": [\"A1:AB1\", \"B6:B8\"]")) << got;
        EXPECT_TRUE(Has(got, "\"paper\": 9")) << got;
        EXPECT_TRUE(Has(got, "\"orientation\": \"landscape\"")) << got;
        EXPECT_TRUE(Has(got, "\"fit\": [true, 1, 1]")) << got;
        EXPECT_TRUE(Has(got, "\"margins\": [0.4, 0.4, 0.75, 0.75, 0.3, 0.3]")) << got;
        EXPECT_TRUE(Has(got, "\"centered\": true")) << got;
        EXPECT_TRUE(Has(got, "\"print_area\": [\"$A$1:$AB$40\"]")) << got;
        EXPECT_TRUE(Has(got, "\"defined\": [\"'Паспорт'!$A$1:$AB$40\"]")) << got;
        EXPECT_TRUE(Has(got, "\"A1\": [\"ПАСПОРТ\", true, \"center\", null, false]")) << got;
        EXPECT_TRUE(Has(got, "\"B6\": [\"Метан CH4\", false, null, \"center\", true]")) << got;
        EXPECT_TRUE(Has(got, "\"A3\": [null, false, \"left\", null, false]")) << got;
        EXPECT_TRUE(Has(got, "\"A4\": [null, false, null, null, false]")) << got;
    }
    EXPECT_TRUE(Has(Layout(report, {"AB2"}), "\"AB2\": [\"Серійний номер\", false, \"right\", null, false]"));
}

TEST_F(FormLayout, SheetNamesAndPageSettingsOutOfRangeAreRefused) {
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Add());
    sheet::Worksheet ws = wb.ActiveSheet();
    for (const char* bad : {"", "a/b", "a:b", "[x]", "'quoted'", "0123456789012345678901234567890123"}) {
        EXPECT_FALSE(ws.SetName(bad)) << bad;
        wb.ClearFailure();
    }
    EXPECT_EQ(ws.Name(), "Аркуш1");
    sheet::PageSetup page;
    page.fitWidth = -1;
    EXPECT_FALSE(ws.SetPageSetup(page));
    wb.ClearFailure();
    page.fitWidth = 0;
    page.left = -0.5;
    EXPECT_FALSE(ws.SetPageSetup(page));
    wb.ClearFailure();
    sheet::Workbook other;
    ASSERT_TRUE(other.Add());
    EXPECT_FALSE(ws.SetPrintArea(other.ActiveSheet().Cells(1, 1)));   // a cell of another book
    EXPECT_TRUE(wb.Failed());
}

}  // namespace
