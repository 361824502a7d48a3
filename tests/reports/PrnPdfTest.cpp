// The printed reports written as PDF and read back with poppler's tools:
// titles, page headers and footers and the rows of each page; page 1 of
// every report is also drawn to a PNG in the build tree (report-screens) to
// be looked at.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "print/Output.h"
#include "reports/PrnArhiv.h"
#include "reports/PrnHDM_Wmt.h"
#include "reports/PrnTestUtil.h"

using namespace prt;
namespace fs = std::filesystem;

namespace {

bool HaveTool(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Shell(const std::string& cmd) {
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::string PageText(const fs::path& pdf, int page, const char* mode = "-raw") {
    return Shell(std::string("pdftotext ") + mode + " -f " + std::to_string(page) + " -l " + std::to_string(page) +
                 " '" + pdf.string() + "' -");
}

int PageCount(const fs::path& pdf) {
    const std::string info = Shell("pdfinfo '" + pdf.string() + "'");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// pdftotext gives one blank where a line has several: compare so.
std::string Squeeze(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

bool Contains(const std::string& hay, const std::string& needle) {
    return Squeeze(hay).find(Squeeze(needle)) != std::string::npos;
}

// `word` standing alone: blanks, a line end or the text's edge on both sides.
bool HasWord(const std::string& hay, const std::string& word) {
    for (size_t at = hay.find(word); at != std::string::npos; at = hay.find(word, at + 1)) {
        const size_t end = at + word.size();
        const bool before = at == 0 || std::isspace(static_cast<unsigned char>(hay[at - 1]));
        const bool after = end == hay.size() || std::isspace(static_cast<unsigned char>(hay[end]));
        if (before && after) return true;
    }
    return false;
}

// Page 1 as a PNG in the build tree.
void PageOnePng(const fs::path& pdf, const std::string& name) {
    if (!HaveTool("pdftoppm")) return;
    const fs::path out = fs::path(ZBR_BUILD_DIR) / "report-screens";
    fs::create_directories(out);
    Shell("pdftoppm -r 80 -png -f 1 -l 1 -singlefile '" + pdf.string() + "' '" + (out / name).string() + "'");
    EXPECT_TRUE(fs::exists(out / (name + ".png"))) << name;
}

class PrnPdf : public PrnTest {
protected:
    void SetUp() override {
        PrnTest::SetUp();
        if (!HaveTool("pdftotext") || !HaveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils not installed";
    }
};

TEST_F(PrnPdf, DiagnosticReportPagesTitleAndFooters) {
    const auto rows = AlaRows(135);
    TFormPrnArhiv w;
    w.Header = AlaHeader(135);
    w.Heading = "ТОВ «Газ-Контроль»";
    w.Rows = rows;
    BuildArhivReport(w, kPrintDiagnostic);
    const fs::path pdf = dir / "REPORT" / "ala.pdf";
    print::SavePdf(w.QuickRep1, pdf.string());
    ASSERT_EQ(PageCount(pdf), 3);
    PageOnePng(pdf, "diagnostic-p1");

    const std::string p1 = PageText(pdf, 1), p2 = PageText(pdf, 2), p3 = PageText(pdf, 3);
    for (const char* line : {"ТОВ «Газ-Контроль»", "Контролер \"ГРС Південна\"  (адреса 5)",
                             "Перелік діагностичних повідомлень", "контролер\x61 ЗБР_11",
                             "За період  з  05.01.24 07:30:00  по  06.01.24 08:45:10",
                             "Складено програмою zbr_11  06.01.24  09:15:42", "Повідомлення", "Об'єкт/Причина",
                             "параметру"})
        EXPECT_TRUE(Contains(p1, line)) << line << "\n" << p1;
    EXPECT_FALSE(Contains(p2, "ТОВ «Газ-Контроль»"));
    // Rows: 63 on page 1, 71 on page 2, the last one on page 3.
    EXPECT_TRUE(HasWord(p1, EventText(0)));
    EXPECT_TRUE(HasWord(p1, EventText(62)));
    EXPECT_FALSE(HasWord(p1, EventText(63)));
    EXPECT_TRUE(HasWord(p2, EventText(63)));
    EXPECT_TRUE(HasWord(p2, EventText(133)));
    EXPECT_FALSE(HasWord(p2, EventText(134)));
    EXPECT_TRUE(HasWord(p3, EventText(134)));
    int n = 1;
    for (const std::string& p : {p1, p2, p3}) {
        EXPECT_TRUE(Contains(p, "ГРС Південна\n")) << p;   // page header
        EXPECT_TRUE(Contains(p, "Лист " + std::to_string(n) + " з 3")) << p;
        ++n;
    }
}

TEST_F(PrnPdf, DiagnosticReportOfOnePage) {
    for (std::size_t rowsCount : {10u, 63u}) {
        const auto rows = AlaRows(rowsCount);
        TFormPrnArhiv w;
        w.Header = AlaHeader(uint32_t(rowsCount));
        w.Rows = rows;
        BuildArhivReport(w, kPrintDiagnostic);
        const fs::path pdf = dir / "REPORT" / ("ala" + std::to_string(rowsCount) + ".pdf");
        print::SavePdf(w.QuickRep1, pdf.string());
        EXPECT_EQ(PageCount(pdf), 1) << rowsCount;
        const std::string p1 = PageText(pdf, 1);
        EXPECT_TRUE(Contains(p1, "Лист 1 з 1")) << p1;
        EXPECT_TRUE(HasWord(p1, EventText(rowsCount - 1)));
    }
}

TEST_F(PrnPdf, MoistureReportsOfEveryMode) {
    struct Case {
        uint8_t mode;
        const char* tag;
        uint8_t type;
        const char* what;
        const char* pressure;
        const char* png;
    } cases[] = {
        {6, "HOU", 1, "Годинні вимірювальні дані вологоміра", "bar", "moisture-hourly-p1"},
        {7, "DAY", 0, "Добові вимірювальні дані вологоміра", "кгc/см2", "moisture-daily-p1"},
        {8, "MSA", 2, "Миттєві дані вологоміра", "Тиск", "moisture-measured-p1"},
    };
    const auto rows = WmtRows(109);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.png);
        TFormPrnHDM_Wmt w;
        w.Header = Header(c.tag, 1, c.type);
        w.Heading = "ПАТ Облгаз";
        w.Rows = rows;
        BuildWmtReport(w, c.mode);
        const fs::path pdf = dir / "REPORT" / (std::string(c.png) + ".pdf");
        print::SavePdf(w.QuickRep1, pdf.string());
        ASSERT_EQ(PageCount(pdf), 3);
        PageOnePng(pdf, c.png);
        const std::string p1 = PageText(pdf, 1), p2 = PageText(pdf, 2), p3 = PageText(pdf, 3);
        EXPECT_TRUE(Contains(p1, "ПАТ Облгаз")) << p1;
        EXPECT_TRUE(Contains(p1, c.what)) << p1;
        EXPECT_TRUE(Contains(p1, "Складений програмою zbr_11  06.01.24  09:15:42")) << p1;
        EXPECT_TRUE(Contains(p1, c.pressure)) << p1;
        // 50 rows on page 1, 58 on page 2, the last on page 3; every page
        // repeats the table heading.
        EXPECT_TRUE(HasWord(p1, "№50")) << p1;
        EXPECT_FALSE(HasWord(p1, "№51"));
        EXPECT_TRUE(HasWord(p2, "№51")) << p2;
        EXPECT_TRUE(HasWord(p2, "№108")) << p2;
        EXPECT_FALSE(HasWord(p2, "№109"));
        EXPECT_TRUE(HasWord(p3, "№109")) << p3;
        EXPECT_TRUE(Contains(p3, "вологоміра") || Contains(p3, "контролера")) << p3;
        EXPECT_FALSE(Contains(p2, c.what));
        int n = 1;
        for (const std::string& p : {p1, p2, p3}) {
            EXPECT_TRUE(Contains(p, "ГРС Південна\n")) << p;
            EXPECT_TRUE(Contains(p, "Лист " + std::to_string(n) + " з 3")) << p;
            ++n;
        }
    }
}


// Words of one page with their boxes in points (pdftotext -bbox).
struct PdfWord {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

std::vector<PdfWord> PageWords(const fs::path& pdf, int page) {
    const std::string html = Shell("pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                   " '" + pdf.string() + "' -");
    std::vector<PdfWord> words;
    for (size_t at = html.find("<word "); at != std::string::npos; at = html.find("<word ", at + 1)) {
        PdfWord w{};
        if (std::sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &w.xMin,
                        &w.yMin, &w.xMax, &w.yMax) != 4)
            continue;
        const size_t b = html.find('>', at) + 1, e = html.find("</word>", b);
        w.text = html.substr(b, e - b);
        words.push_back(w);
    }
    return words;
}

// A heading line wider than its column is set narrower so that it stands
// whole inside the column, not cut at both edges.
TEST_F(PrnPdf, WideHeadingStaysInsideItsColumn) {
    const auto rows = WmtRows(2);
    TFormPrnHDM_Wmt w;
    w.Header = Header("HOU", 1, 1);
    w.Rows = rows;
    BuildWmtReport(w, kPrintWmtHour);
    const fs::path pdf = dir / "REPORT" / "narrow.pdf";
    print::SavePdf(w.QuickRep1, pdf.string());

    const print::Document doc = print::Layout(w.QuickRep1);
    const print::PlacedItem* head = nullptr;
    for (const print::PlacedBand* b : doc.pages[0].details())
        for (const print::PlacedItem& it : b->items)
            if (it.source == w.Tables[0]->Heads[7]) head = &it;
    ASSERT_NE(head, nullptr);
    const double pt = 72 / 25.4, left = head->rect.left * pt, right = head->rect.right() * pt;

    int found = 0;
    for (const PdfWord& word : PageWords(pdf, 1)) {
        if (word.text != "Прив." && word.text != "т.роси") continue;
        if (word.xMin < left - 0.5 || word.xMax > right + 0.5) continue;   // another column's word
        ++found;
    }
    // "Прив. Т т.роси": both its words within the column.
    EXPECT_EQ(found, 2) << "column " << left << ".." << right;
}

}  // namespace
