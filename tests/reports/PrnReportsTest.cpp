// The printed reports without a display: bands and their geometry, the
// pagination at its boundaries (laid out by the report library), the
// titles, the heading dialog with title.ini, and the viewers' print buttons
// through the headless driver and the preview handler.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Iniala.h"
#include "print/PageModel.h"
#include "reports/Bands.h"
#include "reports/PrnArhiv.h"
#include "reports/PrnHDM_Wmt.h"
#include "reports/PrnRegister.h"
#include "reports/Ques_Prn.h"
#include "reports/PrnTestUtil.h"

using namespace prt;
namespace fs = std::filesystem;

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

std::vector<std::size_t> DataLines(const TAlaTable& t) {
    std::vector<std::size_t> n;
    for (const auto* m : t.Data) n.push_back(std::size_t(m->Lines.Count()));
    return n;
}

// ---- bands ----------------------------------------------------------------

struct PpiCase {
    int ppi;
    int widths[7];   // TAlaTable columns
    int wmtWidth;    // TArh_Wmt_Table column
    int title;       // title line width
    int alaRow, wmtRow;
};

class BandGeometry : public ::testing::TestWithParam<PpiCase> {
protected:
    void SetUp() override { print::SetScreenPixelsPerInch(GetParam().ppi); }
    void TearDown() override { print::SetScreenPixelsPerInch(96); }
};

TEST_P(BandGeometry, ColumnsScaleFrom120PixelsPerInch) {
    const PpiCase& c = GetParam();
    print::TQuickRep rep;
    TAlaTable t(&rep);
    EXPECT_EQ(t.Band->Height, 74);
    EXPECT_TRUE(t.Band->Frame.DrawTop && t.Band->Frame.DrawBottom && t.Band->Frame.DrawLeft &&
                t.Band->Frame.DrawRight);
    EXPECT_EQ(*t.Band->Font.Size, 8);
    int left = 3;
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(t.Heads[i]->Width, c.widths[i]);
        EXPECT_EQ(t.Data[i]->Width, c.widths[i]);
        EXPECT_EQ(t.Heads[i]->Left, left);
        EXPECT_EQ(t.Data[i]->Left, left);
        EXPECT_EQ(t.Data[i]->Top, 65);
        EXPECT_EQ(t.Data[i]->Height, 3);
        const bool under = i == 2 || i == 3;
        EXPECT_EQ(t.Heads[i]->Top, under ? 40 : 1);
        EXPECT_EQ(t.Heads[i]->Height, under ? 19 : 58);
        left += c.widths[i] + 1;
    }
    EXPECT_EQ(t.Message->Caption, "Повідомлення");
    EXPECT_EQ(t.Message->Left, t.Heads[2]->Left);
    EXPECT_EQ(t.Message->Width, c.widths[2] + c.widths[3] + 1);
    EXPECT_EQ(t.Message->Height, 38);
    EXPECT_EQ(t.Heads[4]->Lines.Items(), (std::vector<std::string>{"Поточне", "значення", "параметру"}));

    TArh_Wmt_Table w(&rep, 6, 1);
    EXPECT_EQ(w.Band->Height, 94);
    EXPECT_FALSE(w.Band->ForceNewPage);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(w.Heads[i]->Width, c.wmtWidth);
        EXPECT_EQ(w.Heads[i]->Left, 1 + i * c.wmtWidth);
        EXPECT_EQ(w.Heads[i]->Frame.DrawRight, i < 7);
        EXPECT_EQ(*w.Heads[i]->Font.Size, 9);
        EXPECT_EQ(*w.Data[i]->Font.Size, 10);
        EXPECT_EQ(w.Data[i]->Top, 73);
    }

    TarhTitle a(&rep);
    TrepTitle r(&rep);
    EXPECT_EQ(a.Band->Height, 135);
    EXPECT_EQ(r.Band->Height, 112);
    for (auto* l : a.Lines) EXPECT_EQ(l->Width, c.title);
    EXPECT_EQ(a.Lines[1]->Left, 4);
    EXPECT_EQ(a.Lines[1]->Alignment, print::taLeftJustify);
    EXPECT_EQ(a.Lines[3]->Alignment, print::taCenter);
    EXPECT_TRUE(*a.Lines[3]->Font.Bold);
    EXPECT_FALSE(*a.Lines[4]->Font.Bold);
    EXPECT_EQ(r.Lines[3]->Top, 69);
    EXPECT_EQ(*r.Lines[2]->Font.Size, 12);

    TFormPrnArhiv pa;
    TFormPrnHDM_Wmt pw;
    EXPECT_EQ(pa.RowHeight, c.alaRow);
    EXPECT_EQ(pw.RowHeight, c.wmtRow);
}

INSTANTIATE_TEST_SUITE_P(Ppi, BandGeometry,
                         ::testing::Values(PpiCase{96, {65, 65, 192, 192, 63, 63, 63}, 76, 592, 12, 15},
                                           PpiCase{120, {82, 82, 240, 240, 79, 79, 79}, 95, 740, 16, 19},
                                           PpiCase{144, {98, 98, 288, 288, 94, 94, 94}, 114, 888, 19, 22}),
                         [](const auto& info) { return "ppi" + std::to_string(info.param.ppi); });

TEST(Bands, DeletingABandObjectRemovesItsBandFromTheReport) {
    print::TQuickRep rep;
    auto a = std::make_unique<TAlaTable>(&rep);
    auto b = std::make_unique<TArh_Wmt_Table>(&rep, 8, 0);
    EXPECT_EQ(rep.DetailBands().size(), 2u);
    a.reset();
    ASSERT_EQ(rep.DetailBands().size(), 1u);
    EXPECT_EQ(rep.DetailBands()[0], b->Band);
    EXPECT_EQ(b->Band->Children().size(), 16u);
}

TEST(Bands, MoistureCaptionsFollowModeAndMeterType) {
    print::TQuickRep rep;
    TArh_Wmt_Table hourly(&rep, 6, 1), measured(&rep, 8, 2), kgf(&rep, 7, 0);
    using L = std::vector<std::string>;
    EXPECT_EQ(hourly.Heads[0]->Lines.Items(), (L{" ", "Дата", "початку"}));
    EXPECT_EQ(hourly.Heads[2]->Lines.Items(), (L{" ", "Час", "кінця"}));
    EXPECT_EQ(hourly.Heads[3]->Lines.Items(), (L{" ", "Статус", "контролера"}));
    EXPECT_EQ(hourly.Heads[6]->Lines.Items(), (L{"Р надл.", "WDP", "", "bar"}));
    EXPECT_EQ(measured.Heads[1]->Lines.Items(), (L{" ", "Час"}));
    EXPECT_EQ(measured.Heads[3]->Lines.Items(), (L{"Ознаки", "стану", "вологоміра"}));
    EXPECT_EQ(measured.Heads[6]->Lines.Items(), (L{"Тиск", " ", " ", "bar"}));
    // The first line is wider than the column: it is broken at a blank.
    EXPECT_EQ(measured.Heads[7]->Lines.Items(), (L{"Прив. Т", "т.роси", "за водою", "до Рабс.", "°С"}));
    EXPECT_EQ(kgf.Heads[6]->Lines.Items(), (L{"Р надл.", "WDP", "", "кгc/см2"}));
}

// ---- pagination -------------------------------------------------------------

class AlaPages : public PrnTest, public ::testing::WithParamInterface<int> {};

// At 96 and 120 pixels per inch every block fills its page. On a screen of
// more pixels per inch the fixed parts of the bands take less paper, a
// short last block may join the page before it, and the footer counts the
// pages that are really printed.
TEST_P(AlaPages, BlocksOf63Then71FillOnePageEach) {
    const int ppi = GetParam();
    print::SetScreenPixelsPerInch(ppi);
    for (std::size_t n : {1u, 10u, 62u, 63u, 64u, 133u, 134u, 135u, 205u, 206u}) {
        SCOPED_TRACE(n);
        const auto rows = AlaRows(n);
        TFormPrnArhiv w;
        w.Header = AlaHeader(uint32_t(n));
        w.Heading = "ТОВ Газ";
        w.Rows = rows;
        BuildArhivReport(w, kPrintDiagnostic);

        const std::size_t blocks = n <= 63 ? 1 : 1 + (n - 63 + 70) / 71;
        ASSERT_EQ(w.Tables.size(), blocks);
        EXPECT_EQ(w.PageCounter, int(blocks));
        const print::Document doc = print::Layout(w.QuickRep1);
        EXPECT_EQ(w.QRLabel31->Caption, "з " + std::to_string(doc.pageCount()));
        if (ppi <= 120) {
            EXPECT_EQ(doc.pageCount(), int(blocks));
        }
        EXPECT_EQ(doc.pageOf(w.Title->Band), 1);
        std::size_t first = 0;
        int lastPage = 0;
        for (std::size_t b = 0; b < blocks; ++b) {
            const std::size_t expect = b == 0 ? std::min<std::size_t>(n, 63) : std::min<std::size_t>(n - first, 71);
            EXPECT_EQ(DataLines(*w.Tables[b]), std::vector<std::size_t>(7, expect)) << "block " << b;
            EXPECT_EQ(w.Tables[b]->Data[2]->Lines[0], EventText(first));
            EXPECT_EQ(w.Tables[b]->Band->Height, 65 + 3 + int(expect) * w.RowHeight + 3);
            const int page = doc.pageOf(w.Tables[b]->Band);
            if (ppi <= 120) {
                EXPECT_EQ(page, int(b) + 1);
            }
            EXPECT_TRUE(page == lastPage || page == lastPage + 1) << "block " << b;
            lastPage = page;
            first += expect;
        }
        for (const print::Page& p : doc.pages)
            for (const print::PlacedBand* d : p.details()) EXPECT_FALSE(d->overflows);
    }
}

INSTANTIATE_TEST_SUITE_P(Ppi, AlaPages, ::testing::Values(96, 120, 144));

class WmtPages : public PrnTest, public ::testing::WithParamInterface<int> {};

TEST_P(WmtPages, FiftyRowsOnTheFirstPageFiftyEightOnTheRest) {
    print::SetScreenPixelsPerInch(GetParam());
    for (std::size_t n : {1u, 49u, 50u, 51u, 107u, 108u, 109u, 166u, 167u}) {
        SCOPED_TRACE(n);
        const auto rows = WmtRows(n);
        TFormPrnHDM_Wmt w;
        w.Header = Header("HOU", 1);
        w.Rows = rows;
        BuildWmtReport(w, kPrintWmtHour);
        const std::size_t pages = n <= 50 ? 1 : 1 + (n - 50 + 57) / 58;
        ASSERT_EQ(w.Tables.size(), pages);
        EXPECT_EQ(w.PageCounter, int(pages));
        EXPECT_EQ(w.QRLabel31->Caption, "з " + std::to_string(pages));
        const print::Document doc = print::Layout(w.QuickRep1);
        EXPECT_EQ(doc.pageCount(), int(pages));
        std::size_t first = 0;
        for (std::size_t p = 0; p < pages; ++p) {
            const std::size_t expect = p == 0 ? std::min<std::size_t>(n, 50) : std::min<std::size_t>(n - first, 58);
            EXPECT_EQ(w.Tables[p]->Data[0]->Lines.Count(), int(expect));
            EXPECT_EQ(w.Tables[p]->Data[0]->Lines[0], WmtRow(first)[0]);
            EXPECT_EQ(w.Tables[p]->Band->ForceNewPage, p > 0);
            EXPECT_EQ(doc.pageOf(w.Tables[p]->Band), int(p) + 1);
            first += expect;
        }
        for (const print::Page& p : doc.pages)
            for (const print::PlacedBand* d : p.details()) EXPECT_FALSE(d->overflows);
    }
}

INSTANTIATE_TEST_SUITE_P(Ppi, WmtPages, ::testing::Values(96, 120, 144));

TEST_F(PrnTest, ReportsOfAnyLengthHaveNoPageLimit) {
    const auto ala = AlaRows(20000);
    TFormPrnArhiv a;
    a.Header = AlaHeader(20000);
    a.Rows = ala;
    BuildArhivReport(a, kPrintDiagnostic);
    EXPECT_EQ(a.Tables.size(), 1u + (20000u - 63u + 70u) / 71u);   // 282 blocks
    EXPECT_EQ(print::Layout(a.QuickRep1).pageCount(), int(a.Tables.size()));
    EXPECT_EQ(a.Tables.back()->Data[2]->Lines[a.Tables.back()->Data[2]->Lines.Count() - 1], EventText(19999));

    const auto wmt = WmtRows(15000);
    TFormPrnHDM_Wmt w;
    w.Header = Header("MSA", 1);
    w.Rows = wmt;
    BuildWmtReport(w, kPrintWmtMeas);
    EXPECT_EQ(w.Tables.size(), 1u + (15000u - 50u + 57u) / 58u);   // 259 pages
    EXPECT_EQ(w.QRLabel31->Caption, "з " + std::to_string(w.Tables.size()));
}

TEST(PrnPlans, BlockAndPageSizes) {
    using V = std::vector<std::size_t>;
    EXPECT_EQ(AlaBlockSizes(0, 63, 71), V{});
    EXPECT_EQ(AlaBlockSizes(63, 63, 71), V{63});
    EXPECT_EQ(AlaBlockSizes(64, 63, 71), (V{63, 1}));
    EXPECT_EQ(AlaBlockSizes(3, 0, 0), (V{1, 1, 1}));   // nonsense limits never loop forever
    EXPECT_EQ(WmtPageSizes(0), V{});
    EXPECT_EQ(WmtPageSizes(50), V{50});
    EXPECT_EQ(WmtPageSizes(51), (V{50, 1}));
    EXPECT_EQ(WmtPageSizes(108), (V{50, 58}));
    EXPECT_EQ(WmtPageSizes(109), (V{50, 58, 1}));
    // Wrapped rows take their lines of the page: 61 one-line rows and a
    // two-line row fill 63 lines; the next two-line row starts a block.
    std::vector<int> lines(61, 1);
    lines.insert(lines.end(), {2, 2, 1});
    EXPECT_EQ(BlockSizesByLines(lines, 63, 71), (V{62, 2}));
    EXPECT_EQ(BlockSizesByLines({3, 3, 3}, 2, 2), (V{1, 1, 1}));   // a row taller than a page still prints
    std::vector<int> wmt(49, 1);
    wmt.push_back(2);
    EXPECT_EQ(WmtPageSizes(wmt), (V{49, 1}));
}

TEST_F(PrnTest, RebuildingReplacesTheBandsAndRowsAreTrimmed) {
    std::vector<AlaRowTexts> rows = {{"  05.01.24 ", " 12:00:00", "  Збій зв'язку  ", "Хроматограф", "", "", ""}};
    TFormPrnArhiv w;
    w.Header = AlaHeader(1);
    w.Rows = rows;
    BuildArhivReport(w, kPrintDiagnostic);
    BuildArhivReport(w, kPrintDiagnostic);
    EXPECT_EQ(w.QuickRep1.DetailBands().size(), 2u);   // one title, one table
    EXPECT_EQ(w.Tables[0]->Data[0]->Lines[0], "05.01.24");
    EXPECT_EQ(w.Tables[0]->Data[2]->Lines[0], "Збій зв'язку");
    EXPECT_THROW(FillAlaPage(w, 5, 0, 1), print::ReportError);
}

// ---- titles ---------------------------------------------------------------

TEST_F(PrnTest, TitlesPageHeaderAndFooterTexts) {
    const auto rows = AlaRows(3);
    TFormPrnArhiv a;
    a.Header = AlaHeader(3);
    a.Heading = "ТОВ «Газ-Контроль»";
    a.Rows = rows;
    BuildArhivReport(a, kPrintDiagnostic);
    const std::string lines[6] = {"ТОВ «Газ-Контроль»",
                                  "Контролер \"ГРС Південна\"  (адреса 5)",
                                  "Перелік діагностичних повідомлень",
                                  "контролер\x61 ЗБР_11",
                                  "За період  з  05.01.24 07:30:00  по  06.01.24 08:45:10",
                                  "Складено програмою zbr_11  06.01.24  09:15:42"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(a.Title->Lines[i]->Caption, lines[i]) << i;
    EXPECT_EQ(a.QRLabel3->Caption, "ГРС Південна");
    EXPECT_EQ(a.QRLabel31->Caption, "з 1");
    EXPECT_EQ(a.QuickRep1.Page.LeftMargin, 12);
    EXPECT_EQ(a.QuickRep1.Page.RightMargin, 9);
    EXPECT_EQ(a.QuickRep1.PdfFileName.rfind(Path("REPORT/zbr11_005_ala_"), 0), 0u) << a.QuickRep1.PdfFileName;
    // The title stands in the middle between the margins.
    {
        const print::Document doc = print::Layout(a.QuickRep1);
        const print::PlacedBand* title = doc.pages[0].details()[0];
        ASSERT_EQ(title->source, a.Title->Band);
        const print::RectMm& r = title->items[0].rect;
        EXPECT_NEAR(r.left + r.width / 2, 12 + (210 - 12 - 9) / 2.0, 1.0);
    }

    const auto wrows = WmtRows(3);
    struct Case {
        uint8_t mode;
        const char* what;
        const char* period;
    } cases[] = {
        {6, "Годинні вимірювальні дані вологоміра", "за період  з  05.01.24  07г  по  06.01.24  08г"},
        {7, "Добові вимірювальні дані вологоміра", "за период  з  05.01.24  по  06.01.24"},
        {8, "Миттєві дані вологоміра", "за період  з  05.01.24 07:30:00  по  06.01.24 08:45:00"},
    };
    for (const Case& c : cases) {
        TFormPrnHDM_Wmt w;
        w.Header = Header("HOU", 1);
        w.Heading = "Облгаз";
        w.Rows = wrows;
        BuildWmtReport(w, c.mode);
        EXPECT_EQ(w.Title->Lines[0]->Caption, "Облгаз");
        EXPECT_EQ(w.Title->Lines[1]->Caption, "Контролер \"ГРС Південна\"  (адреса 5)");
        EXPECT_EQ(w.Title->Lines[2]->Caption, c.what);
        EXPECT_EQ(w.Title->Lines[3]->Caption, c.period);
        EXPECT_EQ(w.Title->Lines[4]->Caption, "Складений програмою zbr_11  06.01.24  09:15:42");
        EXPECT_EQ(w.QuickRep1.Page.LeftMargin, 25);
        EXPECT_EQ(w.QuickRep1.Page.RightMargin, 22);
    }
}

// ---- the heading dialog and title.ini ------------------------------------------

TEST_F(PrnTest, HeadingDialogLinesByKind) {
    const ArchiveFileHeader h = Header("HOU", 1);
    struct Case {
        uint8_t kind;
        const char* what;
        const char* period;
    } cases[] = {
        {3, "Перелік діагностичних повідомлень", "за період  з  05.01.24  07:30:00  по  06.01.24  08:45:10"},
        {6, "Годинні вимірювальні дані вологоміра", "за період  з  05.01.24  07г  по  06.01.24  08г"},
        {7, "Добові вимірювальні дані вологоміра", "за період  з  05.01.24  по  06.01.24"},
        {8, "Вимірювальні дані вологоміра", "за період  з  05.01.24  07:30:00  по  06.01.24  08:45:10"},
    };
    for (const Case& c : cases) {
        drv->onModal<TFormQues_Prn>([&](TFormQues_Prn& f) {
            EXPECT_EQ(f.Caption(), " Дані для друку");
            EXPECT_EQ(f.Width(), 532);
            EXPECT_EQ(f.Height(), 212);
            EXPECT_EQ(f.Label2.Caption(), c.what);
            EXPECT_EQ(f.Label8.Caption(), c.period);
            EXPECT_EQ(f.Label7.Caption(), "контролер\x61 ЗБР_11");
            EXPECT_EQ(f.Label1.Caption(), "Найменування організації");
            EXPECT_EQ(f.Label3.Caption(), "( до 40 символів )");
            f.BitBtn2.Click();
        });
        TFormQues_Prn q;
        q.Header = &h;
        q.PrintKind = c.kind;
        q.ShowModal();
        EXPECT_EQ(q.accepted, 0);
    }
}

TEST_F(PrnTest, TitleIniKeepsTheHeadingIn40Bytes) {
    const ArchiveFileHeader h = AlaHeader(1);
    const std::string file = Path("INI/title.ini");
    auto run = [&](const std::function<void(TFormQues_Prn&)>& act) {
        drv->onModal<TFormQues_Prn>(act);
        TFormQues_Prn q;
        q.Header = &h;
        q.PrintKind = 3;
        q.ShowModal();
        return std::pair{int(q.accepted), q.ReportHeading};
    };

    // No file: an empty edit; an empty heading did not change, nothing written.
    auto [ok0, h0] = run([](TFormQues_Prn& f) {
        EXPECT_EQ(f.Edit1.Text(), "");
        EXPECT_EQ(f.Edit1.MaxLength(), 40);
        f.BitBtn1.Click();
    });
    EXPECT_EQ(ok0, 1);
    EXPECT_EQ(h0, "");
    EXPECT_FALSE(fs::exists(file));

    // A typed heading: 40 bytes of Windows-1251, zero-padded.
    auto [ok1, h1] = run([](TFormQues_Prn& f) { f.Edit1.TypeText("ТОВ «Газ»"); f.BitBtn1.Click(); });
    EXPECT_EQ(ok1, 1);
    EXPECT_EQ(h1, "ТОВ «Газ»");
    std::string bytes = zbr_test::ReadBytes(file);
    ASSERT_EQ(bytes.size(), 40u);
    EXPECT_EQ(bytes.substr(0, 9), platform::Utf8ToCp1251("ТОВ «Газ»"));
    EXPECT_EQ(bytes.substr(9), std::string(31, '\0'));

    // Unchanged: the file is not written again.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(file, old);
    auto [ok2, h2] = run([](TFormQues_Prn& f) {
        EXPECT_EQ(f.Edit1.Text(), "ТОВ «Газ»");
        f.BitBtn1.Click();
    });
    EXPECT_EQ(h2, "ТОВ «Газ»");
    EXPECT_EQ(fs::last_write_time(file), old);

    // Exactly 40 characters: no terminator in the file, read back whole; a
    // longer text set in code is cut to 40.
    const std::string forty = "Публічне акціонерне товариство Газтранс1";   // 40 characters
    ASSERT_EQ(platform::Utf8ToCp1251(forty).size(), 40u);
    run([&](TFormQues_Prn& f) { f.Edit1.SetText(forty + "23456"); f.BitBtn1.Click(); });
    bytes = zbr_test::ReadBytes(file);
    EXPECT_EQ(bytes, platform::Utf8ToCp1251(forty));
    EXPECT_EQ(ReadReportHeading(file), forty);
    auto [ok3, h3] = run([&](TFormQues_Prn& f) {
        EXPECT_EQ(f.Edit1.Text(), forty);
        f.BitBtn2.Click();
    });
    EXPECT_EQ(ok3, 0);

    // A file written elsewhere with bytes after a zero: the heading ends at the zero.
    zbr_test::WriteBytes(file, std::string("AB\0CD", 5));
    EXPECT_EQ(ReadReportHeading(file), "AB");
}

TEST_F(PrnTest, HeadingThatCannotBeKeptIsReportedAndStillPrinted) {
    const ArchiveFileHeader h = AlaHeader(1);
    // INI is a file here: title.ini cannot be made in it.
    fs::remove_all(dir / "INI");
    zbr_test::WriteBytes(Path("INI"), "not a folder");
    drv->onModal<TFormQues_Prn>([](TFormQues_Prn& f) { f.Edit1.TypeText("Облгаз"); f.BitBtn1.Click(); });
    drv->expectMessage(1, "Помилка роботи з файлом", "title.ini");
    TFormQues_Prn q;
    q.Header = &h;
    q.PrintKind = 3;
    q.ShowModal();
    EXPECT_EQ(q.accepted, 1);
    EXPECT_EQ(q.ReportHeading, "Облгаз");
    EXPECT_EQ(zbr_test::ReadBytes(Path("INI")), "not a folder");
}

TEST_F(PrnTest, MissingIniFolderIsMadeForTheHeading) {
    fs::remove_all(dir / "INI");
    std::string why;
    ASSERT_TRUE(WriteReportHeading(TitleIniPath(), "Облгаз", &why)) << why;
    EXPECT_EQ(TitleIniPath(), Path("INI/title.ini"));
    EXPECT_EQ(zbr_test::ReadBytes(Path("INI/title.ini")).size(), 40u);
    EXPECT_EQ(zbr_test::FileCount(Path("INI")), 1);   // no temporary file left
}

// ---- the print road -----------------------------------------------------------

TEST_F(PrnTest, DiagnosticListPrintsThroughHeadingAndPreview) {
    std::vector<DiagnosticRow> rows(64);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const AlaRowTexts t = AlaRow(r);
        for (int i = 0; i < 7; ++i) rows[r].Set(i, "  " + t[std::size_t(i)] + "  ");
    }
    int previews = 0;
    print::SetPreviewHandler([&](const print::TQuickRep& rep, const print::Document& doc) {
        ++previews;
        EXPECT_EQ(doc.pageCount(), 2);
        EXPECT_EQ(doc.title, "Перелік діагностичних повідомлень");
        // Page 2 starts with message 64, trimmed.
        const auto details = doc.pages[1].details();
        ASSERT_EQ(details.size(), 1u);
        bool found = false;
        for (const auto& it : details[0]->items)
            if (!it.lines.empty() && it.lines[0] == EventText(63)) found = true;
        EXPECT_TRUE(found);
        EXPECT_EQ(rep.PageFooter()->Children().size(), 3u);
    });
    drv->onModal<TFormQues_Prn>([](TFormQues_Prn& f) {
        EXPECT_EQ(f.PrintKind, 3);
        f.Edit1.TypeText("Облгаз");
        f.BitBtn1.Click();
    });
    PrintDiagnosticList(AlaHeader(64), std::span<const DiagnosticRow>(rows));
    EXPECT_EQ(previews, 1);

    // Cancelled: no preview.
    drv->onModal<TFormQues_Prn>([](TFormQues_Prn& f) { f.BitBtn2.Click(); });
    PrintDiagnosticList(AlaHeader(64), std::span<const DiagnosticRow>(rows));
    EXPECT_EQ(previews, 1);
}

TEST_F(PrnTest, EmptyListEndsWithAMessageAndNoDialog) {
    int previews = 0;
    print::SetPreviewHandler([&](const print::TQuickRep&, const print::Document&) { ++previews; });
    drv->expectMessage(6, "Немає даних для друку", "");
    PrintDiagnosticList(AlaHeader(0), std::span<const AlaRowTexts>());
    drv->expectMessage(6, "Немає даних для друку", "");
    PrintWmtArchive(Header("HOU", 1), {}, 6);
    drv->expectMessage(6, "Немає даних для друку", "");
    PrintWmtMeasurements(Header("MSA", 1), {});
    EXPECT_EQ(drv->modalCount<TFormQues_Prn>(), 0);
    EXPECT_EQ(previews, 0);
}

TEST_F(PrnTest, FailureIsReportedAndTheCallerCarriesOn) {
    const auto rows = AlaRows(5);
    drv->onModal<TFormQues_Prn>([](TFormQues_Prn& f) { f.BitBtn1.Click(); });
    // The preview cannot open (no display in the tests).
    drv->expectMessage(1, "Помилка друку даних", "");
    PrintDiagnosticList(AlaHeader(5), std::span<const AlaRowTexts>(rows));
    // A failure inside the preview.
    print::SetPreviewHandler([](const print::TQuickRep&, const print::Document&) {
        throw print::ReportError("printer gone");
    });
    drv->expectMessage(1, "Помилка друку даних", "");
    PrintWmtRows(Header("DAY", 1), 7, WmtRows(3));
    EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);
}

// ---- the viewers' buttons -------------------------------------------------------

class ViewerButtons : public PrnTest {
protected:
    void SetUp() override {
        PrnTest::SetUp();
        savedHd = TFormArhivHD_Wmt::PrintAction;
        savedMeas = TFormArhMeas_Wmt::PrintAction;
        savedAla = TFormAla::PrintAction;
    }
    void TearDown() override {
        TFormArhivHD_Wmt::PrintAction = savedHd;
        TFormArhMeas_Wmt::PrintAction = savedMeas;
        TFormAla::PrintAction = savedAla;
        PrnTest::TearDown();
    }
    std::function<void(TFormArhivHD_Wmt&)> savedHd;
    std::function<void(TFormArhMeas_Wmt&)> savedMeas;
    std::function<void(TFormAla&)> savedAla;
};

TEST_F(ViewerButtons, DiagnosticListPrintsTheRowsItShows) {
    std::vector<DiagnosticRow> rows(70);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const AlaRowTexts t = AlaRow(r);
        for (int i = 0; i < 7; ++i) rows[r].Set(i, t[std::size_t(i)]);
    }
    const ArchiveFileHeader h = AlaHeader(70);
    TFormAla::PrintAction = nullptr;
    RegisterPrintedReports();
    ASSERT_TRUE(TFormAla::PrintAction);
    int pages = 0;
    print::SetPreviewHandler([&](const print::TQuickRep&, const print::Document& doc) { pages = doc.pageCount(); });
    drv->onModal<TFormQues_Prn>([](TFormQues_Prn& f) { f.BitBtn1.Click(); });
    drv->onModal<TFormAla>([](TFormAla& f) {
        ASSERT_TRUE(f.BitBtn3.Visible());
        f.BitBtn3.Click();
        f.BitBtn1.Click();
    });
    TFormAla w;
    w.Header = &h;
    w.Mode = 2;
    w.SavedRows = rows;
    w.ShowModal();
    EXPECT_EQ(pages, 2);   // 63 rows, then 7
}

TEST_F(ViewerButtons, HiddenWithoutTheReportsShownAndPrintingWithThem) {
    std::vector<WmtArchiveRecord> recs;
    for (int i = 0; i < 51; ++i) recs.push_back(WmtHd(1 + i / 24, i % 24, i == 3 ? 0x02 : i == 4 ? 0x04 : 0, true));
    WmtArchiveRecord bad = WmtHd(9, 9);
    bad.crc[0] ^= 0x11;
    recs.push_back(bad);
    const ArchiveFileHeader h = Header("DAY", 1, 0);

    TFormArhivHD_Wmt::PrintAction = nullptr;
    drv->onModal<TFormArhivHD_Wmt>([](TFormArhivHD_Wmt& f) {
        EXPECT_FALSE(f.BitBtn3.Visible());
        f.BitBtn1.Click();
    });
    {
        TFormArhivHD_Wmt v;
        v.Header = &h;
        v.Records = recs;
        v.Mode = 7;
        v.ShowModal();
    }

    RegisterPrintedReports();
    ASSERT_TRUE(TFormArhivHD_Wmt::PrintAction);
    ASSERT_TRUE(TFormArhMeas_Wmt::PrintAction);
    std::vector<std::vector<std::string>> printed;
    int pages = 0;
    print::SetPreviewHandler([&](const print::TQuickRep& rep, const print::Document& doc) {
        pages = doc.pageCount();
        for (const print::TQRBand* b : rep.DetailBands()) {
            if (b->Name != "TArh_Wmt_Table") continue;
            std::vector<const print::TQRMemo*> data;
            for (const auto* c : b->Children())
                if (auto* m = dynamic_cast<const print::TQRMemo*>(c); m && m->Top == 73) data.push_back(m);
            ASSERT_EQ(data.size(), 8u);
            for (int r = 0; r < data[0]->Lines.Count(); ++r) {
                std::vector<std::string> row;
                for (const auto* m : data) row.push_back(m->Lines[r]);
                printed.push_back(row);
            }
        }
    });
    drv->onModal<TFormQues_Prn>([](TFormQues_Prn& f) {
        EXPECT_EQ(f.PrintKind, 7);
        EXPECT_EQ(f.Label2.Caption(), "Добові вимірювальні дані вологоміра");
        f.BitBtn1.Click();
    });
    drv->onModal<TFormArhivHD_Wmt>([&](TFormArhivHD_Wmt& f) {
        ASSERT_TRUE(f.BitBtn3.Visible());
        EXPECT_EQ(f.BitBtn3.Caption(), "Друк");
        f.BitBtn3.Click();
        // What was printed is what the grid shows, cell by cell.
        ASSERT_EQ(int(printed.size()), f.StringGrid1.RowCount());
        for (int r = 0; r < f.StringGrid1.RowCount(); ++r)
            for (int c = 0; c < 8; ++c) EXPECT_EQ(printed[r][c], f.StringGrid1.Cell(c, r)) << r << "," << c;
        // The viewer stays usable after a failed print.
        print::SetPreviewHandler([](const print::TQuickRep&, const print::Document&) {
            throw std::runtime_error("no printer");
        });
        drv->expectMessage(1, "Помилка друку даних", "");
        f.BitBtn3.Click();
        f.BitBtn1.Click();
    });
    TFormArhivHD_Wmt v;
    v.Header = &h;
    v.Records = recs;
    v.Mode = 7;
    v.ShowModal();
    EXPECT_EQ(pages, 2);
}

TEST_F(ViewerButtons, MeasuredValueViewerPrintsItsGrid) {
    RegisterPrintedReports();
    std::vector<WmtMomentaryRecord> recs = {WmtMeas(1), WmtMeas(2, 0x02), WmtMeas(3, 0x04), WmtMeas(4, 0, 0x0102)};
    recs.push_back(WmtMeas(5));
    recs.back().crc[1] ^= 0x40;
    for (uint8_t type : {0, 1, 2}) {
        const ArchiveFileHeader h = Header("MSA", 1, type);
        std::vector<std::vector<std::string>> printed;
        std::vector<std::string> heads;
        print::SetPreviewHandler([&](const print::TQuickRep& rep, const print::Document&) {
            const print::TQRBand* t = rep.DetailBands().back();
            for (const auto* c : t->Children()) {
                auto* m = dynamic_cast<const print::TQRMemo*>(c);
                if (m->Top == 1) heads.push_back(m->Lines[0] + "|" + m->Lines[m->Lines.Count() - 1]);
                else {
                    std::vector<std::string> col(m->Lines.Items());
                    printed.push_back(col);
                }
            }
        });
        drv->onModal<TFormQues_Prn>([](TFormQues_Prn& f) {
            EXPECT_EQ(f.PrintKind, 8);
            f.BitBtn1.Click();
        });
        drv->onModal<TFormArhMeas_Wmt>([&](TFormArhMeas_Wmt& f) {
            ASSERT_TRUE(f.BitBtn3.Visible());
            f.BitBtn3.Click();
            ASSERT_EQ(printed.size(), 8u);
            // Every cell in its column, in row order (a text wider than
            // its column is broken into more lines: compare without blanks).
            auto solid = [](const std::string& s) {
                std::string out;
                for (char ch : s)
                    if (ch != ' ') out += ch;
                return out;
            };
            for (int c = 0; c < 8; ++c) {
                std::string shown, got;
                for (int r = 0; r < f.StringGrid1.RowCount(); ++r) shown += solid(f.StringGrid1.Cell(c, r));
                for (const std::string& line : printed[std::size_t(c)]) got += solid(line);
                EXPECT_EQ(got, shown) << c;
            }
            f.BitBtn1.Click();
        });
        TFormArhMeas_Wmt v;
        v.Header = &h;
        v.Records = recs;
        v.ShowModal();
        ASSERT_EQ(heads.size(), 8u);
        EXPECT_EQ(heads[6], type == 0 ? "Р надл.|кгc/см2" : type == 2 ? "Тиск|bar" : "Р надл.|bar");
    }
}

}  // namespace
