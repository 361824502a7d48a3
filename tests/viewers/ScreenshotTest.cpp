// The viewers rendered by the Qt backend offscreen into PNG files in the
// build tree (build/viewer-screens), checked for size and for text where
// the headings, the grids and the buttons lie.
#include <gtest/gtest.h>

#include <QtGui>
#include <QtWidgets>
#include <filesystem>

#include "ViewerTestUtil.h"
#include "config/Formate.h"
#include "data/ArhMeas_Chr.h"
#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Arhiv_Verif.h"
#include "data/ArhivHDM_Chr.h"
#include "data/Arhiv_Clb.h"
#include "data/ChromError.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

namespace {

using namespace vt;

using zbr_test::AreaOf;
using zbr_test::InkIn;

std::string ScreenFile(const std::string& name) { return zbr_test::ScreenFile("viewer-screens", name); }

// Texts of a grid that the Qt view cannot show in full in their column.
std::vector<std::string> ClippedCells(ui::StringGrid& g) {
    std::vector<std::string> out;
    auto* view = qobject_cast<QTableView*>(ui::qt::WidgetOf(g));
    if (!view) return {"(no view)"};
    const QFontMetrics fm(view->font());
    const int margin = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) {
            const std::string& t = g.Cell(c, r);
            if (!t.empty() && fm.horizontalAdvance(QString::fromStdString(t)) + margin > g.ColWidth(c))
                out.push_back(t);
        }
    return out;
}

// Captions of the form's visible labels that do not fit their label.
std::vector<std::string> ClippedLabels(ui::Form& f) {
    std::vector<std::string> out;
    for (ui::Component* c : f.Components()) {
        auto* l = dynamic_cast<ui::Label*>(c);
        if (!l || !l->Visible() || l->Caption().empty()) continue;
        QWidget* w = ui::qt::WidgetOf(*l);
        if (!w) continue;
        const QFontMetrics fm(w->font());
        if (fm.horizontalAdvance(QString::fromStdString(l->Caption())) > l->Width()) out.push_back(l->Caption());
    }
    return out;
}

// Shows the form modally, renders it once it is up, and closes it.
template <class F>
QImage RenderModal(F& form, const std::string& file, const std::function<void(F&)>& before = {}) {
    std::filesystem::remove(file);
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        if (before) before(static_cast<F&>(f));
        ui::qt::Sync();
        rendered = ui::qt::RenderToPng(f, file);
        EXPECT_EQ(ClippedLabels(f), std::vector<std::string>{}) << file;
        f.SetModalResult(ui::mrOk);
    });
    form.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered) << file;
    return QImage(QString::fromStdString(file));
}

class Screens : public ::testing::Test {
protected:
    void SetUp() override {
        ReportFormat = DefaultReportFormat();
        ParamOrder = ParamOrderDefault;
        ui::Screen::SetMetrics(1280, 1024, 96);
    }
};

TEST_F(Screens, HourlyViewerWithFortyRecords) {
    std::vector<HdmArchiveRecord> recs;
    for (int i = 0; i < 40; ++i) {
        HdmArchiveRecord r = Hdm(14 + i / 24, i % 24);
        for (int k = 0; k < kGasParamCount; ++k) r.SetValue(k, Val(k) * (1.0f + 0.01f * float(i)));
        r.SetValue(kParamMethane, 90.5f + 0.01f * float(i));
        if (i == 5) r.status = 0x20;
        if (i == 7) r.SetValue(2, kNaN);
        SealRecord(r);
        if (i == 9) Corrupt(r);
        recs.push_back(r);
    }
    ArchiveFileHeader h = Header(ArchiveKind::ChromHour, 40);
    TFormArhivHDM_Chr f;
    f.Header = &h;
    f.Records = recs;
    std::vector<std::string> clipped;
    const QImage img = RenderModal<TFormArhivHDM_Chr>(f, ScreenFile("ArhivHDM_Chr_40.png"), [&](TFormArhivHDM_Chr& v) {
        clipped = ClippedCells(v.StringGrid1);
        for (const std::string& t : ClippedCells(v.StringGrid2)) clipped.push_back(t);
    });
    EXPECT_EQ(clipped, std::vector<std::string>{});
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), f.Width());
    EXPECT_EQ(img.height(), f.Height());
    // Headings, both grids and the buttons carry text.
    EXPECT_GT(InkIn(img, AreaOf(f, f.Panel1)), 100);
    EXPECT_GT(InkIn(img, AreaOf(f, f.Panel4)), 1000);
    EXPECT_GT(InkIn(img, AreaOf(f, f.Panel5)), 1000);
    EXPECT_GT(InkIn(img, AreaOf(f, f.ScrollBox1)), 3000);
    EXPECT_GT(InkIn(img, AreaOf(f, f.BitBtn2)), 50);
    // The unit heading of the first column sits over its column.
    QWidget* l1 = ui::qt::WidgetOf(*f.lLabels[0]);
    ASSERT_NE(l1, nullptr);
    EXPECT_EQ(qobject_cast<QLabel*>(l1)->text().toStdString(), "%");
}

// The y of every row of pixels at column x, between y0 and y1, that is a
// grid line: grey, neither the white of a cell nor the selection's blue.
std::vector<int> GridLinesAt(const QImage& img, int x, int y0, int y1) {
    std::vector<int> out;
    for (int y = std::max(y0, 0); y < std::min(y1, img.height()); ++y) {
        const QColor c = img.pixelColor(x, y);
        const int lo = std::min({c.red(), c.green(), c.blue()}), hi = std::max({c.red(), c.green(), c.blue()});
        if (lo > 100 && hi < 240 && hi - lo < 24) out.push_back(y);
    }
    return out;
}

// The rows of pixels of the selection band at column x.
std::vector<int> SelectionAt(const QImage& img, int x, int y0, int y1) {
    std::vector<int> out;
    for (int y = std::max(y0, 0); y < std::min(y1, img.height()); ++y) {
        const QColor c = img.pixelColor(x, y);
        if (c.blue() > 80 && c.red() < 60 && c.green() < 80) out.push_back(y);
    }
    return out;
}

TEST_F(Screens, HourlyViewerWithAHundredThousandRecordsOnASmallScreen) {
    // Taller than the screen and wider: both scroll bars. The date-time grid
    // stands level with the value grid, row for row, from the first look on.
    ui::Screen::SetMetrics(1024, 768, 96);
    std::vector<HdmArchiveRecord> recs;
    recs.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        HdmArchiveRecord r = Hdm(1 + i / 24 % 28, i % 24);
        r.SetCount(uint16_t(i % 1000));
        r.SetValue(kParamMethane, 90.0f + float(i % 1000) / 100.0f);
        SealRecord(r);
        recs.push_back(r);
    }
    Corrupt(recs[99998]);
    ArchiveFileHeader h = Header(ArchiveKind::ChromHour, 100000);
    TFormArhivHDM_Chr f;
    f.Header = &h;
    f.Records = recs;
    int qtMax = -1, dateTop = -1, valueTop = -2;
    std::vector<std::string> lastRow;
    const QImage img = RenderModal<TFormArhivHDM_Chr>(f, ScreenFile("ArhivHDM_Chr_100000.png"), [&](TFormArhivHDM_Chr& v) {
        auto* area = qobject_cast<QScrollArea*>(ui::qt::WidgetOf(v.ScrollBox1));
        if (area) qtMax = area->verticalScrollBar()->maximum();
        QWidget* g1 = ui::qt::WidgetOf(v.StringGrid1);
        QWidget* g2 = ui::qt::WidgetOf(v.StringGrid2);
        if (g1 && g2) {
            dateTop = g1->mapTo(g1->window(), QPoint(0, 0)).y();
            valueTop = g2->mapTo(g2->window(), QPoint(0, 0)).y();
        }
        // What the value grid's widget shows in the last row.
        if (auto* view = qobject_cast<QTableView*>(g2)) {
            const int last = view->model()->rowCount() - 1;
            for (int c = 0; c < view->model()->columnCount(); ++c)
                lastRow.push_back(view->model()->index(last, c).data().toString().toStdString());
        }
    });
    ASSERT_FALSE(img.isNull());
    EXPECT_TRUE(f.ScrollBox1.HorzBarShown());
    EXPECT_TRUE(f.ScrollBox1.VertBarShown());
    // The value area scrolls as far as the model says, so the date-time grid
    // that follows the model's position stands where the value grid stands.
    EXPECT_EQ(qtMax, f.ScrollBox1.VertRange() - f.ScrollBox1.ClientHeight());
    EXPECT_EQ(f.ScrollBox3.VertPosition(), f.ScrollBox1.VertPosition());
    EXPECT_EQ(dateTop, valueTop);
    // In the picture: the same grid lines and the same selected (last) row.
    const QRect dates = AreaOf(f, f.Panel5), values = AreaOf(f, f.ScrollBox1);
    const int xDate = AreaOf(f, f.StringGrid1).left() + f.StringGrid1.ColWidth(0) + 1 + 3;
    const int xValue = values.left() + f.StringGrid2.ColWidth(0) + 1 + 3;
    const std::vector<int> dateLines = GridLinesAt(img, xDate, dates.top(), dates.top() + f.ScrollBox1.ClientHeight());
    EXPECT_GT(dateLines.size(), 20u);
    EXPECT_EQ(dateLines, GridLinesAt(img, xValue, dates.top(), dates.top() + f.ScrollBox1.ClientHeight()));
    const std::vector<int> selected = SelectionAt(img, xDate, dates.top(), dates.bottom());
    EXPECT_GE(selected.size(), 19u);
    EXPECT_EQ(selected, SelectionAt(img, xValue, dates.top(), dates.bottom()));
    // The last record's values, made when the row came on screen.
    ASSERT_EQ(lastRow.size(), std::size_t(kGasParamCount));
    EXPECT_EQ(lastRow[std::size_t(TwoGridViewer::ValueColumn(kParamMethane) - 1)], "   99,9900");
    EXPECT_EQ(f.StringGrid1.Cell(1, 99998), "     Дані");
    EXPECT_GT(InkIn(img, dates), 1000);
    EXPECT_GT(InkIn(img, values), 3000);
}

TEST_F(Screens, MoistureMeterViewerWithMoreRowsThanTheScreen) {
    // The vertical scroll bar leaves the columns a little less room than
    // they need: the grid still starts at its first column, the date.
    std::vector<WmtArchiveRecord> recs;
    for (int i = 0; i < 5000; ++i) recs.push_back(WmtHd(1 + i / 24 % 28, i % 24));
    ArchiveFileHeader h = Header(ArchiveKind::WmtHour, 5000);
    TFormArhivHD_Wmt f;
    f.Header = &h;
    f.Records = recs;
    int scrolled = -1;
    std::string first;
    const QImage img = RenderModal<TFormArhivHD_Wmt>(f, ScreenFile("ArhivHD_Wmt_5000.png"), [&](TFormArhivHD_Wmt& v) {
        if (auto* view = qobject_cast<QTableView*>(ui::qt::WidgetOf(v.StringGrid1))) {
            scrolled = view->horizontalScrollBar()->value();
            first = view->model()->index(view->rowAt(2), view->columnAt(2)).data().toString().toStdString();
        }
    });
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(scrolled, 0);
    EXPECT_EQ(first, "  01.03.24");
    EXPECT_EQ(f.StringGrid1.LeftCol(), 0);
    QRect firstColumn = AreaOf(f, f.StringGrid1);
    firstColumn.setWidth(f.StringGrid1.ColWidth(0));
    EXPECT_GT(InkIn(img, firstColumn), 1000);
}

TEST_F(Screens, CalibrationViewer) {
    std::vector<CalibRecord> recs;
    for (int i = 0; i < 6; ++i) recs.push_back(Calib(1 + i, i == 2 ? 1 : 0, uint8_t(1 + i % 2)));
    recs[3].SetValue(1, kNaN);
    SealRecord(recs[3]);
    Corrupt(recs[4]);
    ArchiveFileHeader h = Header(ArchiveKind::Calib, 6);
    TFormArhiv_Clb f;
    f.Header = &h;
    f.Records = recs;
    std::vector<std::string> clipped;
    const QImage img = RenderModal<TFormArhiv_Clb>(f, ScreenFile("Arhiv_Clb.png"),
                                                   [&](TFormArhiv_Clb& v) { clipped = ClippedCells(v.StringGrid1); });
    EXPECT_EQ(clipped, std::vector<std::string>{});
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), f.Width());
    EXPECT_EQ(img.height(), f.Height());
    EXPECT_GT(InkIn(img, AreaOf(f, f.ScrollBox1)), 3000);
    EXPECT_GT(InkIn(img, AreaOf(f, f.BitBtn2)), 50);
}

TEST_F(Screens, StateSignsMoistureMeterAndDisplayFormat) {
    TFormChromError e;
    e.mode = 0;
    e.ctrlStatus = 0x19;
    e.wordLow = 0x11;
    e.wordHigh = 0x80;
    e.SetCaption(" Вимірювальні дані (15.03.24  12:02:30)");
    QImage img = RenderModal<TFormChromError>(e, ScreenFile("ChromError.png"));
    EXPECT_EQ(img.height(), e.Height());
    EXPECT_GT(InkIn(img, AreaOf(e, e.pnsit)), 200);

    std::vector<WmtMomentaryRecord> wm;
    for (int i = 0; i < 12; ++i) wm.push_back(WmtMeas(i, i == 3 ? 0x04 : 0, i == 5 ? 0x0102 : 0));
    ArchiveFileHeader h = Header(ArchiveKind::WmtMeas, 12, true, 0);
    TFormArhMeas_Wmt w;
    w.Header = &h;
    w.Records = wm;
    std::vector<std::string> clipped;
    img = RenderModal<TFormArhMeas_Wmt>(w, ScreenFile("ArhMeas_Wmt.png"),
                                        [&](TFormArhMeas_Wmt& v) { clipped = ClippedCells(v.StringGrid1); });
    EXPECT_EQ(clipped, std::vector<std::string>{});
    EXPECT_EQ(img.width(), 720);
    EXPECT_GT(InkIn(img, AreaOf(w, w.StringGrid1)), 2000);

    TFormRepConf r;
    img = RenderModal<TFormRepConf>(r, ScreenFile("FormRepConf.png"));
    EXPECT_EQ(img.width(), 394);
    EXPECT_GT(InkIn(img, AreaOf(r, r.Label4)), 100);
}


TEST_F(Screens, MeasuredVerificationDailyAndIntervalSigns) {
    // Measured values: marks, a NaN, an unreliable row; kcal units, volume wording.
    ReportFormat.FractionWording = 1;
    ReportFormat.HeatUnitKcal = 1;
    std::vector<ChromMeasRecord> meas;
    for (int i = 0; i < 8; ++i) meas.push_back(Meas(i, i == 1 ? 0x02 : i == 2 ? 0x20 : i == 3 ? 0x80 : 0));
    meas[4].SetValue(3, kNaN);
    SealRecord(meas[4]);
    Corrupt(meas[5]);
    ArchiveFileHeader hm = Header(ArchiveKind::ChromMeas, 8, false);
    TFormArhMeas_Chr m;
    m.Header = &hm;
    m.Records = meas;
    std::vector<std::string> clipped;
    QImage img = RenderModal<TFormArhMeas_Chr>(m, ScreenFile("ArhMeas_Chr.png"), [&](TFormArhMeas_Chr& f) {
        clipped = ClippedCells(f.StringGrid1);
        for (const std::string& t : ClippedCells(f.StringGrid2)) clipped.push_back(t);
    });
    EXPECT_EQ(clipped, std::vector<std::string>{});
    ASSERT_FALSE(img.isNull());
    EXPECT_GT(InkIn(img, AreaOf(m, m.Panel5)), 500);
    EXPECT_GT(InkIn(img, AreaOf(m, m.ScrollBox1)), 1000);
    ReportFormat = DefaultReportFormat();

    std::vector<VerifRecord> ver;
    for (int i = 0; i < 5; ++i) ver.push_back(Verif(1 + i, i == 2 ? 3 : 0, uint8_t(1 + i % 2)));
    Corrupt(ver[3]);
    ArchiveFileHeader hv = Header(ArchiveKind::Verif, 5);
    TFormArhiv_Verif v;
    v.Header = &hv;
    v.Records = ver;
    img = RenderModal<TFormArhiv_Verif>(v, ScreenFile("Arhiv_Verif.png"), [&](TFormArhiv_Verif& f) {
        clipped = ClippedCells(f.StringGrid1);
        for (const std::string& t : ClippedCells(f.StringGrid2)) clipped.push_back(t);
    });
    EXPECT_EQ(clipped, std::vector<std::string>{});
    EXPECT_GT(InkIn(img, AreaOf(v, v.Panel1)), 100);
    EXPECT_GT(InkIn(img, AreaOf(v, v.ScrollBox1)), 1000);

    std::vector<HdmArchiveRecord> days;
    for (int d = 0; d < 3; ++d) days.push_back(Hdm(10 + d, 10, 0, true));
    days[1].endHour = 10;  // marker clear: the end time gets a "*"
    SealRecord(days[1]);
    ArchiveFileHeader hd = Header(ArchiveKind::ChromDay, 3);
    TFormArhivHDM_Chr d;
    d.Header = &hd;
    d.Records = days;
    d.Mode = 1;
    img = RenderModal<TFormArhivHDM_Chr>(d, ScreenFile("ArhivHDM_Chr_daily.png"),
                                         [&](TFormArhivHDM_Chr& f) { clipped = ClippedCells(f.StringGrid1); });
    EXPECT_EQ(clipped, std::vector<std::string>{});
    EXPECT_GT(InkIn(img, AreaOf(d, d.Panel5)), 200);

    std::vector<WmtArchiveRecord> wd;
    for (int i = 0; i < 4; ++i) wd.push_back(WmtHd(10 + i, 10, i == 1 ? 0x02 : i == 2 ? 0x04 : 0, true));
    wd[3].endHour = 10;  // marker clear
    SealRecord(wd[3]);
    ArchiveFileHeader hw = Header(ArchiveKind::WmtDay, 4, true, 2);
    TFormArhivHD_Wmt w;
    w.Header = &hw;
    w.Records = wd;
    w.Mode = 7;
    img = RenderModal<TFormArhivHD_Wmt>(w, ScreenFile("ArhivHD_Wmt_daily.png"),
                                        [&](TFormArhivHD_Wmt& f) { clipped = ClippedCells(f.StringGrid1); });
    EXPECT_EQ(clipped, std::vector<std::string>{});
    EXPECT_EQ(img.width(), 720);
    EXPECT_GT(InkIn(img, AreaOf(w, w.StringGrid1)), 1000);

    // The longest texts of both modes fit their window.
    TFormChromError e1;
    e1.mode = 1;
    e1.ctrlStatus = 0xFF;
    e1.SetCaption(" Добові дані з 11.03.24 10:00:00 по 10:59:59*");
    img = RenderModal<TFormChromError>(e1, ScreenFile("ChromError_interval.png"));
    EXPECT_EQ(img.height(), e1.Height());
    TFormChromError e0;
    e0.mode = 0;
    e0.ctrlStatus = 0xDD;
    e0.wordLow = 0xFF;
    e0.wordHigh = 0xFF;
    img = RenderModal<TFormChromError>(e0, ScreenFile("ChromError_all.png"));
    EXPECT_EQ(img.height(), e0.Height());
}

}  // namespace
