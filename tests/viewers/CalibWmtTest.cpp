// The calibration viewer and the moisture-meter viewers through the
// headless driver.
#include <gtest/gtest.h>

#include "ViewerTestUtil.h"
#include "common/Suplfunc.h"
#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Arhiv_Clb.h"

namespace {

using namespace vt;
using CalibViewer = ViewerTest;
using WmtViewers = ViewerTest;

std::string Col(const TFormArhiv_Clb& f, int n, int code) {
    return f.StringGrid1.Cell(TFormArhiv_Clb::ValueColumn(code), TFormArhiv_Clb::kHeadRows + n);
}

TEST_F(CalibViewer, HeadingsResultsValuesAndResponseFactors) {
    CalibRecord nanValue = Calib(3);
    nanValue.SetValue(1, kNaN);
    nanValue.SetFactor(2, kInf);
    SealRecord(nanValue);
    CalibRecord bad = Calib(4);
    Corrupt(bad);
    ArchiveFileHeader h = Header(ArchiveKind::Calib, 4, /*oxygen*/ false);
    std::vector<CalibRecord> recs{Calib(1), Calib(2, 1, 2), nanValue, bad};
    TFormArhiv_Clb f;
    f.Header = &h;
    f.Records = recs;
    f.Show();
    EXPECT_EQ(f.Caption(),
              "Калібрувальні дані хроматографа (сер. № 123456) за період  з  14.03.24 06:00:00  по  15.03.24 23:00:00");
    EXPECT_EQ(f.StringGrid1.ColCount(), 25);
    EXPECT_EQ(f.StringGrid1.FixedRows(), 2);
    EXPECT_EQ(f.StringGrid1.RowCount(), 6);
    EXPECT_EQ(f.StringGrid1.RowTexts(0)[1], "   Дата");
    EXPECT_EQ(f.StringGrid1.Cell(4, 0), " Нитка");
    EXPECT_EQ(f.StringGrid1.Cell(5, 0), ParamShortName(0));
    EXPECT_EQ(f.StringGrid1.Cell(5, 1), "     %+Resp.Factor");
    EXPECT_EQ(f.StringGrid1.Cell(TFormArhiv_Clb::ValueColumn(11), 1), " МДж/м3+Resp.Factor");
    EXPECT_EQ(f.StringGrid1.Cell(TFormArhiv_Clb::ValueColumn(14), 1), " Знач.+Resp.Factor");
    EXPECT_EQ(f.StringGrid1.Cell(TFormArhiv_Clb::ValueColumn(16), 1), "     °С+Resp.Factor");
    EXPECT_EQ(f.StringGrid1.ColWidth(TFormArhiv_Clb::ValueColumn(3)), 150);

    EXPECT_EQ(f.StringGrid1.RowTexts(2)[1], " 01.03.24");
    EXPECT_EQ(f.StringGrid1.RowTexts(2)[2], " 08:30:00");
    EXPECT_EQ(f.StringGrid1.RowTexts(2)[3], "  Пройшла");
    EXPECT_EQ(f.StringGrid1.RowTexts(2)[4], "   1");
    EXPECT_EQ(f.StringGrid1.Cell(3, 3), " Не пройшла");
    EXPECT_EQ(f.StringGrid1.Cell(4, 3), "   2");
    EXPECT_EQ(Col(f, 0, 0), " 1,2500     0,5000");
    // Each float tested on its own: the value NaN, the factor infinite.
    EXPECT_EQ(Col(f, 2, 1), " NAN     0,6250");
    EXPECT_EQ(Col(f, 2, 2), " 3,2500     NAN");
    // Gas temperature, and oxygen without its flag: "     --" in every row.
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(Col(f, n, kParamGasTemperature), "     --") << n;
        EXPECT_EQ(Col(f, n, kParamOxygen), "     --") << n;
    }
    // A CRC failure: its mark and nothing else.
    const std::vector<std::string> badRow = f.StringGrid1.RowTexts(5);
    EXPECT_EQ(badRow[1], " Дані");
    EXPECT_EQ(badRow[2], "недост.");
    for (std::size_t c = 3; c < badRow.size(); ++c) EXPECT_EQ(badRow[c], "") << c;
    EXPECT_FALSE(f.BitBtn3.Visible());
    EXPECT_FALSE(f.BitBtn5.Visible());
}

TEST_F(CalibViewer, KcalUnitsDecimalsOxygenAndSize) {
    ReportFormat.HeatUnitKcal = 1;
    ReportFormat.ParamDigits[0] = 0;
    ReportFormat.ParamDigits[1] = 250;  // a damaged file: 18 decimals
    ArchiveFileHeader h = Header(ArchiveKind::Calib, 1, /*oxygen*/ true);
    std::vector<CalibRecord> recs{Calib(1)};
    recs[0].SetFactor(0, 0.25f);
    SealRecord(recs[0]);
    drv->setScreen(1024, 768);
    TFormArhiv_Clb f;
    f.Header = &h;
    f.Records = recs;
    f.Show();
    EXPECT_EQ(f.StringGrid1.Cell(TFormArhiv_Clb::ValueColumn(11), 1), " ккал/м3+Resp.Factor");
    EXPECT_EQ(f.StringGrid1.Cell(TFormArhiv_Clb::ValueColumn(12), 1), "     кг/м3+Resp.Factor");
    EXPECT_EQ(Col(f, 0, 0), " 1     0");
    EXPECT_EQ(Col(f, 0, 1), " 2,250000000000000000     0,625000000000000000");
    EXPECT_EQ(Col(f, 0, kParamOxygen), " 16,2500     2,3750");
    // Centred (over the main window; without one, on the screen), within the
    // screen; the box scrolls what does not fit.
    EXPECT_EQ(f.Left(), (1024 - f.Width()) / 2);
    EXPECT_LE(f.Width(), 1024 - 10);
    EXPECT_TRUE(f.ScrollBox1.HorzBarShown());
    EXPECT_EQ(f.ScrollBox1.HorzPosition(), 0);
    const int full = f.Width();
    f.SetWidth(full + 300);
    EXPECT_EQ(f.Width(), full);
    f.SetWidth(600);
    EXPECT_EQ(f.ScrollBox1.Width(), 600 - f.ScrollBox1.Left() - 18);
    EXPECT_GT(f.BitBtn1.Top(), f.ScrollBox1.Top() + f.ScrollBox1.Height());
}

// ---------------------------------------------------------------- moisture meter

TEST_F(WmtViewers, MeasuredValuesMarksAndPressureByMeterType) {
    WmtMomentaryRecord bad = WmtMeas(9);
    Corrupt(bad);
    WmtMomentaryRecord nan = WmtMeas(5);
    nan.SetValue(0, kNaN);
    SealRecord(nan);
    ArchiveFileHeader h = Header(ArchiveKind::WmtMeas, 6, true, /*meter type*/ 0);
    std::vector<WmtMomentaryRecord> recs{WmtMeas(1), WmtMeas(2, 0x06), WmtMeas(3, 0x04), WmtMeas(4, 0, 0x0102), bad,
                                         nan};
    TFormArhMeas_Wmt f;
    f.Header = &h;
    f.Records = recs;
    f.Show();
    EXPECT_EQ(f.Caption(), " Миттєві дані вологоміра за період  з  14.03.24 06:00:00  по  15.03.24 23:00:00");
    EXPECT_EQ(f.Width(), 720);
    EXPECT_EQ(f.StringGrid1.ColCount(), 8);
    EXPECT_EQ(f.StringGrid1.ColWidth(0), 83);
    EXPECT_EQ(f.StringGrid1.ColWidth(7), 102);
    EXPECT_EQ(f.mh[3]->Lines(), (std::vector<std::string>{" Ознаки ", " стану", "вологоміра"}));
    EXPECT_EQ(f.mm[2]->Lines(), (std::vector<std::string>{"Р надл.", "WDP", "", "кгc/см2"}));
    EXPECT_EQ(f.mm[3]->Name(), "mm4");

    EXPECT_EQ(f.StringGrid1.RowTexts(0),
              (std::vector<std::string>{"  15.03.24", "  12:01:00", "  Норма", "  Норма", "  " + FormatValueWmt(-12.5f),
                                        "  " + FormatValueWmt(-8.25f), "  " + FormatValueWmt(1.019716213f),
                                        "  " + FormatValueWmt(-20.75f)}));
    // Switched off wins over no link; the state column stays empty.
    EXPECT_EQ(f.StringGrid1.RowTexts(1), (std::vector<std::string>{"  15.03.24", "  12:02:00", "  0x06", "",
                                                                   "  Викл.", "  Викл.", "  Викл.", "  Викл."}));
    EXPECT_EQ(f.StringGrid1.RowTexts(2),
              (std::vector<std::string>{"  15.03.24", "  12:03:00", "  0x04", " Нема зв'зку", "       0", "       0",
                                        "       0", "       0"}));
    EXPECT_EQ(f.StringGrid1.Cell(3, 3), "  0x0102");
    EXPECT_EQ(f.StringGrid1.RowTexts(4),
              (std::vector<std::string>{"     Данные", " недостов.", "", "", "", "", "", ""}));
    EXPECT_EQ(f.StringGrid1.Cell(4, 5), "  NAN");
    EXPECT_FALSE(f.BitBtn3.Visible());
    EXPECT_FALSE(f.BitBtn5.Visible());

    // Types 1 and 2 show the pressure as stored.
    for (uint8_t type : {uint8_t(1), uint8_t(2)}) {
        ArchiveFileHeader h2 = Header(ArchiveKind::WmtMeas, 1, true, type);
        TFormArhMeas_Wmt g;
        g.Header = &h2;
        g.Records = std::span<const WmtMomentaryRecord>(recs.data(), 1);
        g.Show();
        EXPECT_EQ(g.StringGrid1.Cell(6, 0), "  " + FormatValueWmt(1.0f)) << int(type);
        EXPECT_EQ(g.mm[2]->Lines().back(), "bar");
        EXPECT_EQ(g.mm[2]->Lines().front(), type == 2 ? "Тиск" : "Р надл.");
    }
}

TEST_F(WmtViewers, HourlyAndDailyIntervals) {
    WmtArchiveRecord star = WmtHd(14, 0, 0, true);
    star.endHour = 9;
    SealRecord(star);
    WmtArchiveRecord bad = WmtHd(15, 3);
    Corrupt(bad);
    ArchiveFileHeader h = Header(ArchiveKind::WmtDay, 3, true, 1);
    std::vector<WmtArchiveRecord> recs{WmtHd(13, 0, 0, true), star, bad};
    TFormArhivHD_Wmt f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 7;
    f.Show();
    EXPECT_EQ(f.Caption(), "Добові дані вологоміра за період  з  14.03.24  по  15.03.24");
    EXPECT_EQ(f.mh[2]->Lines(), (std::vector<std::string>{"Час", "закінчення"}));
    EXPECT_EQ(f.StringGrid1.RowTexts(0),
              (std::vector<std::string>{"  13.03.24", "  10:00:00", "   10:59:59", "  Норма", "  " + FormatValueWmt(-12.5f),
                                        "  " + FormatValueWmt(-8.25f), "  " + FormatValueWmt(1.0f),
                                        "  " + FormatValueWmt(-20.75f)}));
    EXPECT_EQ(f.StringGrid1.Cell(2, 1), "   09:59:59*");
    EXPECT_EQ(f.StringGrid1.RowTexts(2), (std::vector<std::string>{"     Дані", " недостов.", "", "", "", "", "", ""}));

    ArchiveFileHeader hh = Header(ArchiveKind::WmtHour, 3, true, 1);
    std::vector<WmtArchiveRecord> hours{WmtHd(15, 1, 0x02), WmtHd(15, 2, 0x04), WmtHd(15, 3, 0x06)};
    TFormArhivHD_Wmt g;
    g.Header = &hh;
    g.Records = hours;
    g.Mode = 6;
    g.Show();
    EXPECT_EQ(g.Caption(), "Годинні дані вологоміра за період  з  14.03.24  06ч  по  15.03.24  23ч");
    EXPECT_EQ(g.StringGrid1.RowTexts(0), (std::vector<std::string>{"  15.03.24", "  01:00:00", "   01:59:59", "  0x02",
                                                                   "  Викл.", "  Викл.", "  Викл.", "  Викл."}));
    EXPECT_EQ(g.StringGrid1.Cell(4, 1), "      --");
    EXPECT_EQ(g.StringGrid1.Cell(7, 2), "  Викл.");
}

TEST_F(CalibViewer, RowsForOtherReadersAreTheRowsShownAsInTheMeterViewers) {
    // What the grid shows of a record row is what Rows() gives a printout or
    // an export, the stored heading rows apart.
    CalibRecord bad = Calib(4);
    Corrupt(bad);
    ArchiveFileHeader h = Header(ArchiveKind::Calib, 2);
    std::vector<CalibRecord> recs{Calib(1), bad};
    TFormArhiv_Clb f;
    f.Header = &h;
    f.Records = recs;
    f.Show();
    ASSERT_EQ(f.Rows().RowCount(), 2);
    for (int n = 0; n < 2; ++n) {
        std::vector<std::string> t;
        f.Rows().RowTexts(n, t);
        t.resize(std::size_t(f.StringGrid1.ColCount()));
        EXPECT_EQ(t, f.StringGrid1.RowTexts(TFormArhiv_Clb::kHeadRows + n)) << n;
    }
    EXPECT_EQ(f.StringGrid1.Cell(1, 0), "   Дата");  // the headings stay stored

    ArchiveFileHeader hw = Header(ArchiveKind::WmtMeas, 2, true, 0);
    std::vector<WmtMomentaryRecord> wm{WmtMeas(1), WmtMeas(2, 0x04)};
    TFormArhMeas_Wmt w;
    w.Header = &hw;
    w.Records = wm;
    w.Show();
    ASSERT_EQ(w.Rows().RowCount(), 2);
    for (int n = 0; n < 2; ++n) {
        std::vector<std::string> t;
        w.Rows().RowTexts(n, t);
        t.resize(8);
        EXPECT_EQ(t, w.StringGrid1.RowTexts(n)) << n;
    }
    EXPECT_EQ(w.StringGrid1.Cell(3, 1), " Нема зв'зку");
}

TEST_F(WmtViewers, HeightFollowsTheRowsUpToTheScreenWidthStaysFixed) {
    std::vector<WmtArchiveRecord> many;
    for (int i = 0; i < 200; ++i) many.push_back(WmtHd(1 + i / 24, i % 24));
    ArchiveFileHeader h = Header(ArchiveKind::WmtHour, 200);
    drv->setScreen(1024, 768);
    TFormArhivHD_Wmt f;
    f.Header = &h;
    f.Records = many;
    f.Mode = 6;
    f.Show();
    EXPECT_LE(f.Height(), 768 - 40);
    EXPECT_EQ(f.StringGrid1.Height(), f.Height() - WmtViewer::kGridTop - 88);
    f.SetWidth(900);
    EXPECT_EQ(f.Width(), 720);
    f.SetHeight(500);
    EXPECT_EQ(f.StringGrid1.Height(), 500 - WmtViewer::kGridTop - 88);

    std::vector<WmtArchiveRecord> two{WmtHd(1, 1), WmtHd(1, 2)};
    TFormArhivHD_Wmt g;
    g.Header = &h;
    g.Records = two;
    g.Show();
    EXPECT_EQ(g.Height(), WmtViewer::kGridTop + 88 + 2 * 21 + 2);
}

}  // namespace
