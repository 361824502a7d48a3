// Layout of reports into pages, read from the page model.
#include <gtest/gtest.h>

#include "print/PageModel.h"
#include "print/SampleReport.h"

using namespace print;
using printtest::SampleReport;

namespace {

constexpr double kTol = 1e-9;

// Restores the pixels-per-inch setting a test changed.
struct PpiGuard {
    int saved = ScreenPixelsPerInch();
    ~PpiGuard() { SetScreenPixelsPerInch(saved); }
};

TQRSubDetail* Band(TQuickRep& rep, const std::string& name, int height, bool forceNewPage = false) {
    auto* b = new TQRSubDetail(&rep);
    b->Name = name;
    b->Height = height;
    b->ForceNewPage = forceNewPage;
    return b;
}

std::vector<std::string> DetailNames(const Page& page) {
    std::vector<std::string> out;
    for (const PlacedBand* b : page.details()) out.push_back(b->name);
    return out;
}

}  // namespace

TEST(PrintUnits, PixelsAt120AreScaledByScreenPpiAndMapToTheirPhysicalSize) {
    PpiGuard guard;
    EXPECT_EQ(ScreenPixelsPerInch(), 96);
    EXPECT_EQ(ScaleFrom120(79), 63);   // 79 * 96 / 120 = 63.2
    EXPECT_EQ(ScaleFrom120(740), 592);
    EXPECT_NEAR(PixelsToMm(96), 25.4, kTol);
    SetScreenPixelsPerInch(120);
    EXPECT_EQ(ScaleFrom120(79), 79);
    EXPECT_NEAR(PixelsToMm(ScaleFrom120(240)), 50.8, kTol);
    SetScreenPixelsPerInch(0);   // nonsense is ignored
    EXPECT_EQ(ScreenPixelsPerInch(), 120);
}

TEST(PrintPage, DesignValuesByIndexAndBadIndex) {
    TQuickRep rep;
    const double expected[] = {10, 297, 10, 210, 7, 7, 0};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(rep.Page.Value(i), expected[i]) << i;
    rep.Page.Value(4) = 25;
    rep.Page.Value(5) = 22;
    EXPECT_EQ(rep.Page.LeftMargin, 25);
    EXPECT_EQ(rep.Page.RightMargin, 22);
    EXPECT_THROW(rep.Page.Value(7), ReportError);
    EXPECT_THROW(rep.Page.Value(-1), ReportError);
}

TEST(PrintLayout, MessageReportPagesBandsAndPageNumbers) {
    SampleReport s(150);   // 63 + 71 + 16 rows
    ASSERT_EQ(s.tables.size(), 3u);
    const Document doc = Layout(s.rep);
    ASSERT_EQ(doc.pageCount(), 3);
    EXPECT_EQ(DetailNames(doc.pages[0]), (std::vector<std::string>{"title", "table0"}));
    EXPECT_EQ(DetailNames(doc.pages[1]), (std::vector<std::string>{"table1"}));
    EXPECT_EQ(DetailNames(doc.pages[2]), (std::vector<std::string>{"table2"}));

    const double headerMm = PixelsToMm(28);
    for (const Page& page : doc.pages) {
        SCOPED_TRACE(page.number);
        ASSERT_EQ(page.bands.size(), page.details().size() + 2);
        const PlacedBand& header = page.bands.front();
        const PlacedBand& footer = page.bands.back();
        EXPECT_EQ(header.kind, PlacedBandKind::PageHeader);
        EXPECT_EQ(footer.kind, PlacedBandKind::PageFooter);
        EXPECT_NEAR(header.rect.top, 10, kTol);
        EXPECT_NEAR(footer.rect.bottom(), 297 - 10, kTol);
        EXPECT_NEAR(header.rect.left, 12, kTol);             // margins set at run time
        EXPECT_NEAR(header.rect.width, 210 - 12 - 9, kTol);
        EXPECT_EQ(page.findItem("QRLabel3")->text(), "ГРС Південна");
        EXPECT_EQ(page.findItem("QRExpr1")->text(), std::to_string(page.number));
        EXPECT_EQ(page.findItem("QRLabel31")->text(), "з 3");
        // Details follow one another from under the page header.
        double y = 10 + headerMm;
        for (const PlacedBand* b : page.details()) {
            EXPECT_NEAR(b->rect.top, y, kTol) << b->name;
            EXPECT_FALSE(b->overflows);
            y = b->rect.bottom();
        }
        EXPECT_LE(y, footer.rect.top);
    }

    // Items sit at band position + their own, converted from pixels.
    const PlacedBand* table1 = doc.pages[1].findBand("table1");
    const PlacedItem* data2 = doc.pages[1].findItem("data2");
    ASSERT_TRUE(table1 && data2);
    EXPECT_NEAR(data2->rect.left, 12 + PixelsToMm(3 + 65 + 1 + 65 + 1), kTol);
    EXPECT_NEAR(data2->rect.top, table1->rect.top + PixelsToMm(65), kTol);
    EXPECT_NEAR(data2->rect.width, PixelsToMm(ScaleFrom120(240)), kTol);
    ASSERT_EQ(data2->lines.size(), 71u);
    EXPECT_EQ(data2->lines.front(), SampleReport::Message(63));
    EXPECT_EQ(data2->lines.back(), SampleReport::Message(133));
    EXPECT_TRUE(table1->frame.DrawTop && table1->frame.DrawBottom && table1->frame.DrawLeft &&
                table1->frame.DrawRight);
    EXPECT_TRUE(doc.pages[1].findItem("head0")->frame.DrawRight);
    EXPECT_FALSE(doc.pages[1].findItem("head6")->frame.DrawRight);

    // All 71 lines fit in the memo: spacing closes up rather than dropping any.
    EXPECT_LE(data2->linePitchMm * 71, data2->rect.height + kTol);
    EXPECT_NEAR(data2->linePitchMm, data2->rect.height / 71, kTol);

    // Fonts come from the item, else from the band, else the report default.
    EXPECT_EQ(data2->font.sizePt, 8);
    EXPECT_EQ(data2->font.name, "MS Sans Serif");
    EXPECT_FALSE(data2->font.bold);
    const PlacedItem* t3 = doc.pages[0].findItem("title3");
    EXPECT_EQ(t3->font.sizePt, 12);
    EXPECT_TRUE(t3->font.bold);
    EXPECT_EQ(t3->alignment, taCenter);
    EXPECT_EQ(doc.pages[0].findItem("QRLabel3")->font.sizePt, 10);
    EXPECT_EQ(doc.pageOf(s.tables[2]), 3);
}

TEST(PrintLayout, SmallReportIsOnePageAndEmptyReportStillHasAPage) {
    SampleReport s(10);
    Document doc = Layout(s.rep);
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(doc.pages[0].findItem("QRLabel31")->text(), "з 1");
    EXPECT_EQ(doc.pages[0].findItem("data0")->lines.size(), 10u);

    TQuickRep empty;
    doc = Layout(empty);
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_TRUE(doc.pages[0].bands.empty());
}

TEST(PrintLayout, BandThatDoesNotFitMovesWholeToTheNextPage) {
    PpiGuard guard;
    SetScreenPixelsPerInch(254);   // 10 pixels to the millimetre
    TQuickRep rep;                 // detail area 10..287 mm = 2770 px
    Band(rep, "a", 1000);
    Band(rep, "b", 1000);
    Band(rep, "c", 770);           // ends exactly at the bottom: stays
    Band(rep, "d", 10);            // one millimetre too many: moves
    Band(rep, "e", 2700);
    Band(rep, "f", 71);            // d + e + f = 2781 px: moves
    const Document doc = Layout(rep);
    ASSERT_EQ(doc.pageCount(), 3);
    EXPECT_EQ(DetailNames(doc.pages[0]), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(DetailNames(doc.pages[1]), (std::vector<std::string>{"d", "e"}));
    EXPECT_EQ(DetailNames(doc.pages[2]), (std::vector<std::string>{"f"}));
    EXPECT_NEAR(doc.pages[0].details()[2]->rect.bottom(), 287, 1e-6);
    EXPECT_NEAR(doc.pages[1].details()[0]->rect.top, 10, 1e-6);
    EXPECT_NEAR(doc.pages[2].details()[0]->rect.top, 10, 1e-6);
}

TEST(PrintLayout, ForceNewPageStartsAPageButNeverLeavesOneEmpty) {
    TQuickRep rep;
    Band(rep, "first", 40, true);   // nothing before it: no blank first page
    Band(rep, "second", 40);
    Band(rep, "third", 40, true);
    Band(rep, "fourth", 40, true);
    const Document doc = Layout(rep);
    ASSERT_EQ(doc.pageCount(), 3);
    EXPECT_EQ(DetailNames(doc.pages[0]), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(DetailNames(doc.pages[1]), (std::vector<std::string>{"third"}));
    EXPECT_EQ(DetailNames(doc.pages[2]), (std::vector<std::string>{"fourth"}));
}

TEST(PrintLayout, BandTallerThanAPageStandsAloneAndLayoutGoesOn) {
    TQuickRep rep;
    Band(rep, "small", 40);
    Band(rep, "huge", 5000);
    Band(rep, "after", 40);
    const Document doc = Layout(rep);
    ASSERT_EQ(doc.pageCount(), 3);
    EXPECT_EQ(DetailNames(doc.pages[1]), (std::vector<std::string>{"huge"}));
    EXPECT_TRUE(doc.pages[1].details()[0]->overflows);
    EXPECT_EQ(DetailNames(doc.pages[2]), (std::vector<std::string>{"after"}));
}

TEST(PrintLayout, HeaderAndFooterOptionsOnFirstAndLastPage) {
    TQuickRep rep;
    auto* h = new TQRBand(&rep, rbPageHeader);
    h->Height = 50;
    auto* f = new TQRBand(&rep, rbPageFooter);
    f->Height = 50;
    Band(rep, "one", 40);
    Band(rep, "two", 40, true);
    rep.Options.FirstPageHeader = false;
    rep.Options.LastPageFooter = false;
    const Document doc = Layout(rep);
    ASSERT_EQ(doc.pageCount(), 2);
    EXPECT_EQ(doc.pages[0].bands.front().kind, PlacedBandKind::Detail);
    EXPECT_NEAR(doc.pages[0].bands.front().rect.top, 10, kTol);
    EXPECT_EQ(doc.pages[0].bands.back().kind, PlacedBandKind::PageFooter);
    EXPECT_EQ(doc.pages[1].bands.front().kind, PlacedBandKind::PageHeader);
    EXPECT_EQ(doc.pages[1].bands.back().kind, PlacedBandKind::Detail);
    EXPECT_THROW(new TQRBand(&rep, rbPageHeader), ReportError);   // one header per report
}

TEST(PrintLayout, WhatCannotBeLaidOutIsThrown) {
    {
        TQuickRep rep;
        rep.Page.LeftMargin = 150, rep.Page.RightMargin = 60;
        EXPECT_THROW(Layout(rep), ReportError);
    }
    {
        TQuickRep rep;
        rep.Page.Value(1) = -5;
        EXPECT_THROW(Layout(rep), ReportError);
    }
    {
        TQuickRep rep;
        auto* e = new TQRExpr(Band(rep, "b", 20));
        e->Expression = "COUNT";
        EXPECT_THROW(Layout(rep), ReportError);
        e->Expression = " pagenumber ";
        EXPECT_NO_THROW(Layout(rep));
        auto* l = new TQRLabel(e->Parent());
        l->AutoSize = true;
        EXPECT_THROW(Layout(rep), ReportError);
        l->AutoSize = false;
        l->Width = -3;
        EXPECT_THROW(Layout(rep), ReportError);
    }
    {
        TQuickRep rep;
        auto* h = new TQRBand(&rep, rbPageHeader);
        h->Height = 2000;   // header leaves no room for anything
        EXPECT_THROW(Layout(rep), ReportError);
        h->Height = -1;
        EXPECT_THROW(Layout(rep), ReportError);
    }
}

TEST(PrintReport, OwnersDeleteWhatTheyOwnAndEarlyDeletesUnlist) {
    TQuickRep rep;
    auto* a = Band(rep, "a", 20);
    auto* b = Band(rep, "b", 20);
    auto* c = Band(rep, "c", 20);
    auto* la = new TQRLabel(b);
    auto* lb = new TQRMemo(b);
    EXPECT_EQ(b->Children().size(), 2u);
    delete la;                       // a band class deleting its children first...
    EXPECT_EQ(b->Children(), (std::vector<TQRPrintable*>{lb}));
    delete b;                        // ...then its band (with what is left on it)
    EXPECT_EQ(rep.DetailBands(), (std::vector<TQRBand*>{a, c}));
    new TQRLabel(a);
    auto* footer = new TQRBand(&rep, rbPageFooter);
    delete footer;
    EXPECT_EQ(rep.PageFooter(), nullptr);
    EXPECT_EQ(Layout(rep).pages[0].details().size(), 2u);
    // rep goes out of scope owning a (with its label) and c.
}
