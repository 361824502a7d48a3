// The printed reports written as PDF and read back with poppler's tools:
// titles, page headers and footers and the rows of each page; page 1 of
// every report is also drawn to a PNG in the build tree (report-screens) to
// be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Stringi.h"
#include "data/MessageDecoders.h"
#include "print/Output.h"
#include "print/PageModel.h"
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

// Every word of every page stands inside the box of the report item it
// belongs to (the item whose box holds the word's centre), clear of the
// box's edges and so of any frame line drawn on them: nothing runs into the
// next column or touches a rule. The boxes come from the report's own
// layout, the words from pdftotext.
void ExpectEveryWordInsideItsBox(const print::TQuickRep& rep, const fs::path& pdf) {
    const print::Document doc = print::Layout(rep);
    ASSERT_EQ(PageCount(pdf), doc.pageCount());
    const double pt = 72 / 25.4, clear = 0.25 * pt, slack = 0.05;
    for (const print::Page& page : doc.pages) {
        const print::PlacedBand* footer = nullptr;
        for (const print::PlacedBand& b : page.bands)
            if (b.kind == print::PlacedBandKind::PageFooter) footer = &b;
        for (const print::PlacedBand* b : page.details()) {
            EXPECT_FALSE(b->overflows) << "page " << page.number;
            if (footer) {
                EXPECT_LE(b->rect.bottom(), footer->rect.top + 1e-6) << "page " << page.number;
            }
        }
        const std::vector<PdfWord> words = PageWords(pdf, page.number);
        EXPECT_FALSE(words.empty()) << "page " << page.number;
        for (const PdfWord& w : words) {
            const double cx = (w.xMin + w.xMax) / 2, cy = (w.yMin + w.yMax) / 2;
            bool inside = false, owned = false;
            for (const print::PlacedBand& b : page.bands)
                for (const print::PlacedItem& it : b.items) {
                    const print::RectMm& r = it.rect;
                    if (cx < r.left * pt || cx > r.right() * pt || cy < r.top * pt || cy > r.bottom() * pt) continue;
                    owned = true;
                    if (w.xMin >= r.left * pt + clear - slack && w.xMax <= r.right() * pt - clear + slack)
                        inside = true;
                }
            EXPECT_TRUE(owned && inside) << "page " << page.number << ": \"" << w.text << "\" at " << w.xMin << ".."
                                         << w.xMax << (owned ? " crosses its box" : " is in no box");
        }
    }
}

// Every text the diagnostic decoder can give, as the list keeps its rows:
// each event code (and codes past the last one) with every object, index,
// error code and moisture-meter type that picks a text of its own, limit
// values from tiny to the largest a float holds. Texts that differ only in
// their digits are kept once for each number of digits.
std::vector<AlaRowTexts> EveryDiagnosticText() {
    std::vector<std::vector<std::string>> columns(7);
    std::vector<std::set<std::string>> seen(7);
    auto keep = [&](const DiagnosticTexts& texts) {
        const AlaRowTexts row = AlaRowTextsOf(MakeDiagnosticRow(texts));
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::string shape = row[c];
            for (char& ch : shape)
                if (ch >= '0' && ch <= '9') ch = '8';
            if (!row[c].empty() && seen[c].insert(shape).second) columns[c].push_back(row[c]);
        }
    };
    const std::vector<int> objects = {0, 1, 9, 14, 33, 34, 99, 200, 201, 202, 242, 243, 244, 255};
    std::vector<int> indexes;
    for (int i = 0; i <= 80; ++i) indexes.push_back(i);
    indexes.push_back(255);
    const float values[] = {0.0352f, -12345.678f, -3.4e38f, 1e-38f};
    for (int code = 0; code <= kLastDiagnosticEvent + 2; ++code) {
        const std::string group = DiagnosticGroup(code);
        const int types = group == "flag" ? 4 : 1;
        for (int type = 0; type < types; ++type)
            for (int object : objects)
                for (int index : indexes)
                    for (int err = 0; err <= (group == "fault" && object == 14 ? texts::kChromErrorLast + 1 : 0);
                         ++err)
                        for (float v : values) {
                            DiagnosticRecord r;
                            r.time = {26, 12, 31, 23, 59, 59};
                            r.event = uint8_t(code);
                            r.object = uint8_t(object);
                            r.index = uint8_t(index);
                            std::memcpy(r.value, &v, 4);
                            std::memcpy(r.setpoint, &v, 4);
                            if (group == "fault") r.value[0] = uint8_t(err);
                            if (group == "checksum") std::memset(r.value, 0xFF, 4), std::memset(r.setpoint, 0xFF, 4);
                            SealRecord(r);
                            keep(DecodeDiagnosticRecord(r, uint8_t(type)));
                        }
    }
    DiagnosticRecord broken;
    keep(DecodeDiagnosticRecord(broken, 0));   // CRC fails: "***"
    std::size_t n = 0;
    for (const auto& c : columns) n = std::max(n, c.size());
    std::vector<AlaRowTexts> rows(n);
    for (std::size_t r = 0; r < n; ++r)
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (!columns[c].empty()) rows[r][c] = columns[c][r % columns[c].size()];
    return rows;
}

TEST_F(PrnPdf, EveryDiagnosticTextStaysInsideItsColumn) {
    const auto rows = EveryDiagnosticText();
    ASSERT_GT(rows.size(), 100u);
    bool longEvent = false;
    for (const AlaRowTexts& row : rows) longEvent |= row[2] == "Полож. крана стало невизнач. (аварійним)";
    ASSERT_TRUE(longEvent);
    TFormPrnArhiv w;
    w.Header = AlaHeader(uint32_t(rows.size()));
    w.Heading = "ТОВ «Газ-Контроль»";
    w.Rows = rows;
    BuildArhivReport(w, kPrintDiagnostic);
    const fs::path pdf = dir / "REPORT" / "every-text.pdf";
    print::SavePdf(w.QuickRep1, pdf.string());
    PageOnePng(pdf, "diagnostic-every-text-p1");
    ExpectEveryWordInsideItsBox(w.QuickRep1, pdf);
    EXPECT_EQ(w.QRLabel31->Caption, "з " + std::to_string(PageCount(pdf)));
    // Wrapped rows take more lines; every row is still printed, in order.
    std::string all;
    for (int p = 1; p <= PageCount(pdf); ++p) all += Squeeze(PageText(pdf, p, "-raw"));
    EXPECT_TRUE(Contains(all, "Полож. крана стало")) << all;
}

TEST_F(PrnPdf, EveryMoistureHeadingStaysInsideItsColumn) {
    // The viewers' texts of real records: normal, switched off, no link,
    // meter state flags, broken.
    std::vector<WmtArchiveRecord> hd = {WmtHd(5, 10), WmtHd(5, 11, 0x02), WmtHd(5, 12, 0x04), WmtHd(5, 13, 0x81)};
    hd.push_back(WmtHd(5, 14));
    hd.back().crc[0] ^= 1;
    std::vector<WmtMomentaryRecord> ms = {WmtMeas(1), WmtMeas(2, 0x02), WmtMeas(3, 0x04), WmtMeas(4, 0, 0xFFFF)};
    ms.push_back(WmtMeas(5));
    ms.back().crc[1] ^= 0x40;
    for (uint8_t mode : {kPrintWmtHour, kPrintWmtDay, kPrintWmtMeas})
        for (uint8_t type : {0, 1, 2, 3}) {
            SCOPED_TRACE(std::to_string(mode) + "/" + std::to_string(type));
            std::vector<WmtRowTexts> rows = WmtRows(3);
            if (mode == kPrintWmtMeas)
                for (const auto& r : ms) rows.push_back(WmtMomentaryRowTexts(r, type));
            else
                for (const auto& r : hd) rows.push_back(WmtArchiveRowTexts(r, type, mode == kPrintWmtDay));
            TFormPrnHDM_Wmt w;
            w.Header = Header(mode == kPrintWmtMeas ? "MSA" : mode == kPrintWmtDay ? "DAY" : "HOU", 1, type);
            w.Heading = "ПАТ Облгаз";
            w.Rows = rows;
            BuildWmtReport(w, mode);
            const fs::path pdf = dir / "REPORT" / ("wmt" + std::to_string(mode) + std::to_string(type) + ".pdf");
            print::SavePdf(w.QuickRep1, pdf.string());
            if (mode == kPrintWmtMeas && type == 0) PageOnePng(pdf, "moisture-every-heading-p1");
            ExpectEveryWordInsideItsBox(w.QuickRep1, pdf);
        }
}

}  // namespace
