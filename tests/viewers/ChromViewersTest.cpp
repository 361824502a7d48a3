// The chromatograph viewers through the headless driver: cells, marks,
// headings, captions, the state-sign window and the two grids kept in step.
#include <gtest/gtest.h>

#include "ViewerTestUtil.h"
#include "data/ArhMeas_Chr.h"
#include "data/ArhivHDM_Chr.h"
#include "data/Arhiv_Verif.h"
#include "data/ChromError.h"

namespace {

using namespace vt;
using HourlyViewer = ViewerTest;
using MeasViewer = ViewerTest;
using VerifViewer = ViewerTest;

// Value cell of row `row` for a code.
std::string Cell(const TwoGridViewer& f, int row, int code) {
    return f.StringGrid2.Cell(TwoGridViewer::ValueColumn(code), row);
}

std::vector<std::string> ValueCells(const TwoGridViewer& f, int row) {
    std::vector<std::string> out;
    for (int c = 1; c <= kGasParamCount; ++c) out.push_back(f.StringGrid2.Cell(c, row));
    return out;
}

struct Hourly {
    ArchiveFileHeader header;
    std::vector<HdmArchiveRecord> records;
    std::unique_ptr<TFormArhivHDM_Chr> form = {};
    void Show(uint8_t mode = 0) {
        header.SetCount(uint32_t(records.size()));
        form = std::make_unique<TFormArhivHDM_Chr>(nullptr);
        form->Header = &header;
        form->Records = records;
        form->Mode = mode;
        form->Show();
    }
};

TEST_F(HourlyViewer, GoodRecordShowsItsTimesCountAndValues) {
    Hourly v{Header(ArchiveKind::ChromHour, 0), {Hdm(15, 7)}};
    v.Show();
    TFormArhivHDM_Chr& f = *v.form;
    EXPECT_EQ(f.Caption(),
              "Годинні дані хроматографа (сер. № 123456; нитка \"North 1\") за період  з  14.03.24  06ч  по  "
              "15.03.24  23ч");
    EXPECT_EQ(f.StringGrid1.RowTexts(0),
              (std::vector<std::string>{"", "   15.03.24", "   07:00:00", "   07:59:59", "   19"}));
    EXPECT_EQ(Cell(f, 0, 0), "    1,2500");
    EXPECT_EQ(Cell(f, 0, kParamMethane), "    9,2500");
    EXPECT_EQ(Cell(f, 0, 19), "   20,2500");
    // Display order: position 11 is oxygen, position 19 gas temperature.
    EXPECT_EQ(f.StringGrid2.Cell(12, 0), "   16,2500");
    EXPECT_EQ(f.StringGrid2.Cell(20, 0), "   17,2500");
    EXPECT_FALSE(f.BitBtn3.Visible());  // no printing from this window
    EXPECT_FALSE(f.BitBtn5.Visible());  // shown only once the spreadsheet export (reports) sets ExcelAction; not here
    EXPECT_TRUE(f.BitBtn4.Visible());
    EXPECT_EQ(f.BitBtn4.Caption(), "Ознаки стану");
    EXPECT_EQ(f.BitBtn2.Caption(), "Зберегти у файлі");
    EXPECT_EQ(f.BitBtn1.Caption(), "Вихід");
    EXPECT_EQ(f.Find<ui::Label>("Label3")->Caption(), "данихх");
}

TEST_F(HourlyViewer, RowsAreMadeFromTheRecordsWithTheSettingsOfTheShow) {
    // The grids keep no texts: a row is made from its record when it is
    // read, with the decimals and the column order the window showed with;
    // DateRows / ValueRows give a printout or an export the same rows.
    HdmArchiveRecord bad = Hdm(15, 2);
    Corrupt(bad);
    Hourly v{Header(ArchiveKind::ChromHour, 0), {Hdm(15, 1), bad, Hdm(15, 3)}};
    v.Show();
    TFormArhivHDM_Chr& f = *v.form;
    ASSERT_EQ(f.DateRows().RowCount(), 3);
    ASSERT_EQ(f.ValueRows().RowCount(), 3);
    const auto shown = [&] {
        std::vector<std::vector<std::string>> out;
        for (int row = 0; row < 3; ++row) {
            out.push_back(f.StringGrid1.RowTexts(row));
            out.push_back(f.StringGrid2.RowTexts(row));
        }
        return out;
    };
    const auto before = shown();
    for (int row = 0; row < 3; ++row) {
        std::vector<std::string> d, val;
        f.DateRows().RowTexts(row, d);
        f.ValueRows().RowTexts(row, val);
        d.resize(std::size_t(f.StringGrid1.ColCount()));
        val.resize(std::size_t(f.StringGrid2.ColCount()));
        EXPECT_EQ(d, before[std::size_t(2 * row)]) << row;
        EXPECT_EQ(val, before[std::size_t(2 * row + 1)]) << row;
    }
    static const uint8_t reversed[kGasParamCount] = {19, 18, 17, 16, 15, 14, 13, 12, 11, 10,
                                                     9,  8,  7,  6,  5,  4,  3,  2,  1,  0};
    ReportFormat.ParamDigits[0] = 1;
    ParamOrder = reversed;
    f.StringGrid1.RowsChanged();
    f.StringGrid2.RowsChanged();
    EXPECT_EQ(shown(), before);
    ParamOrder = ParamOrderDefault;
    // Shown again, the window takes the settings of now.
    ReportFormat.ParamDigits[0] = 1;
    f.Close();
    f.Show();
    EXPECT_EQ(Cell(f, 0, 0), "       1,3");
}

TEST_F(HourlyViewer, MarksOfUnreliableAndEmptyIntervals) {
    HdmArchiveRecord bad = Hdm(15, 1);
    Corrupt(bad);
    HdmArchiveRecord methaneNaN = Hdm(15, 4);
    methaneNaN.SetValue(kParamMethane, kNaN);
    SealRecord(methaneNaN);
    HdmArchiveRecord methaneInf = Hdm(15, 5);
    methaneInf.SetValue(kParamMethane, -kInf);
    SealRecord(methaneInf);
    HdmArchiveRecord methaneLow = Hdm(15, 6);
    methaneLow.SetValue(kParamMethane, 0.0009f);
    SealRecord(methaneLow);
    HdmArchiveRecord methaneEdge = Hdm(15, 7);
    methaneEdge.SetValue(kParamMethane, 0.001f);
    SealRecord(methaneEdge);
    Hourly v{Header(ArchiveKind::ChromHour, 0),
             {bad, Hdm(15, 2, 0x02), Hdm(15, 3, 0x20), methaneNaN, methaneInf, methaneLow, methaneEdge,
              Hdm(15, 8, 0x44)}};
    v.Show();
    TFormArhivHDM_Chr& f = *v.form;
    // CRC failure: its mark and nothing else.
    EXPECT_EQ(f.StringGrid1.RowTexts(0), (std::vector<std::string>{"", "     Дані", "недостов.", "", ""}));
    EXPECT_EQ(ValueCells(f, 0), std::vector<std::string>(20, ""));
    // Switched off, no link, methane NaN / infinite / below 0.001: times and count, " ---" everywhere.
    for (int row = 1; row <= 5; ++row) {
        EXPECT_EQ(f.StringGrid1.Cell(4, row), "   " + std::to_string(12 + row + 1)) << row;
        EXPECT_EQ(ValueCells(f, row), std::vector<std::string>(20, " ---")) << row;
    }
    // Methane at 0.001 and other status bits leave the values shown.
    EXPECT_EQ(Cell(f, 6, kParamMethane), "    0,0010");
    EXPECT_EQ(Cell(f, 7, 0), "    1,2500");
}

TEST_F(HourlyViewer, NaNAndInfinityReadNanTheirNeighboursAsUsual) {
    HdmArchiveRecord r = Hdm(15, 9);
    r.SetValue(3, kNaN);
    r.SetValue(4, kInf);
    r.SetValue(5, -kInf);
    SealRecord(r);
    Hourly v{Header(ArchiveKind::ChromHour, 0), {r}};
    v.Show();
    EXPECT_EQ(Cell(*v.form, 0, 3), "  NAN");
    EXPECT_EQ(Cell(*v.form, 0, 4), "  NAN");
    EXPECT_EQ(Cell(*v.form, 0, 5), "  NAN");
    EXPECT_EQ(Cell(*v.form, 0, 2), "    3,2500");
    EXPECT_EQ(Cell(*v.form, 0, 6), "    7,2500");
}

TEST_F(HourlyViewer, DecimalsFromTheDisplayFormatClampedToEighteen) {
    ReportFormat.ParamDigits[0] = 0;
    ReportFormat.ParamDigits[1] = 7;
    ReportFormat.ParamDigits[2] = 18;
    ReportFormat.ParamDigits[3] = 200;  // a damaged file: shown with 18
    HdmArchiveRecord r = Hdm(15, 9);
    r.SetValue(0, 9.25f);
    r.SetValue(1, 0.123456789f);
    r.SetValue(3, 1234.5f);
    SealRecord(r);
    Hourly v{Header(ArchiveKind::ChromHour, 0), {r}};
    v.Show();
    EXPECT_EQ(Cell(*v.form, 0, 0), "         9");
    EXPECT_EQ(Cell(*v.form, 0, 1), " 0,1234568");
    EXPECT_EQ(Cell(*v.form, 0, 2), "3,250000000000000000");
    EXPECT_EQ(Cell(*v.form, 0, 3), "1234,500000000000000000");
    EXPECT_EQ(ReportFormat.ParamDigits[3], 200);  // the record keeps its byte
}

TEST_F(HourlyViewer, OxygenShownOrHiddenByTheHeaderFlag) {
    {
        Hourly v{Header(ArchiveKind::ChromHour, 0, /*oxygen*/ false), {Hdm(15, 1), Hdm(15, 2, 0x02)}};
        v.Show();
        TFormArhivHDM_Chr& f = *v.form;
        const int pos = TwoGridViewer::ValueColumn(kParamOxygen) - 1;
        EXPECT_EQ(pos, 11);
        for (int k = 0; k < 3; ++k) EXPECT_FALSE(f.zLabels[pos][k]->Visible());
        EXPECT_FALSE(f.lLabels[pos]->Visible());
        EXPECT_EQ(f.lLabels[pos]->Name(), "l12");
        EXPECT_EQ(Cell(f, 0, kParamOxygen), "");
        EXPECT_EQ(Cell(f, 1, kParamOxygen), "");
        EXPECT_EQ(Cell(f, 1, 0), " ---");
        EXPECT_TRUE(f.zLabels[pos + 1][0]->Visible());
    }
    {
        Hourly v{Header(ArchiveKind::ChromHour, 0, /*oxygen*/ true), {Hdm(15, 1)}};
        v.Show();
        TFormArhivHDM_Chr& f = *v.form;
        EXPECT_TRUE(f.zLabels[11][1]->Visible());
        EXPECT_EQ(f.zLabels[11][1]->Caption(), "кисню,");
        EXPECT_EQ(Cell(f, 0, kParamOxygen), "   16,2500");
    }
}

TEST_F(HourlyViewer, HeadingsInEitherWordingAndHeatUnit) {
    Hourly v{Header(ArchiveKind::ChromHour, 0), {Hdm(15, 1)}};
    v.Show();
    EXPECT_EQ(v.form->zLabels[0][0]->Caption(), "Сум. МЧ");
    EXPECT_EQ(v.form->Find<ui::Label>("z12_1")->Caption(), "Тсг");  // position 12: code 11
    EXPECT_EQ(v.form->Find<ui::Label>("l13")->Caption(), "МДж/м3");
    EXPECT_EQ(v.form->Find<ui::Label>("l20")->Caption(), "°С");

    ReportFormat.FractionWording = 1;
    ReportFormat.HeatUnitKcal = 1;
    Hourly w{Header(ArchiveKind::ChromHour, 0), {Hdm(15, 1)}};
    w.Show();
    EXPECT_EQ(w.form->zLabels[0][0]->Caption(), "Сум. ОД");
    EXPECT_EQ(w.form->zLabels[11][0]->Caption(), "ОД");
    for (int pos : {12, 13, 14, 15}) EXPECT_EQ(w.form->lLabels[pos]->Caption(), "ккал/м3") << pos;
    EXPECT_EQ(w.form->lLabels[16]->Caption(), "кг/м3");
    // Heat values are still shown with the MJ digits.
    EXPECT_EQ(Cell(*w.form, 0, 11), "   12,2500");
    // Only 1 means kcal.
    ReportFormat.HeatUnitKcal = 2;
    Hourly x{Header(ArchiveKind::ChromHour, 0), {Hdm(15, 1)}};
    x.Show();
    EXPECT_EQ(x.form->lLabels[12]->Caption(), "МДж/м3");
}

TEST_F(HourlyViewer, DailyEndTimeMarkerAndStateSignCaptions) {
    HdmArchiveRecord star = Hdm(14, 0, 0x08, true);
    star.endHour = 9;  // bit 7 clear: shown with "*"
    SealRecord(star);
    Hourly v{Header(ArchiveKind::ChromDay, 0), {Hdm(13, 0, 0, true), star}};
    v.Show(1);
    TFormArhivHDM_Chr& f = *v.form;
    EXPECT_EQ(f.Caption(),
              "Добові дані хроматографа (сер. № 123456; нитка \"North 1\") за період  з  14.03.24  по  15.03.24");
    EXPECT_EQ(f.StringGrid1.Cell(3, 0), "   10:59:59");
    EXPECT_EQ(f.StringGrid1.Cell(3, 1), "   09:59:59*");

    std::vector<std::string> seen;
    drv->onModal<TFormChromError>([&](TFormChromError& e) {
        seen.push_back(e.Caption());
        EXPECT_EQ(e.mode, 1);
        EXPECT_EQ(e.ctrlStatus, 0x08);
        EXPECT_FALSE(e.pnsit.Visible());
        EXPECT_EQ(e.ls[0]->Caption(), "Використовувалась ЗПЗ - був позаштатний режим роботи хроматографа");
        e.BitBtn2.Click();
    });
    ASSERT_TRUE(f.StringGrid2.DblClickCell(3, 1));  // a double click opens the state signs
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], " Добові дані з 14.03.24 10:00:00 по 09:59:59*");
    EXPECT_EQ(f.StateCaption(v.records[0]), " Добові дані з 13.03.24 10:00:00 по 10:59:59");

    Hourly h{Header(ArchiveKind::ChromHour, 0), {Hdm(15, 7)}};
    h.Show(0);
    EXPECT_EQ(h.form->StateCaption(h.records[0]), " Годинні дані з 15.03.24 07:00:00 по 07:59:59");
    EXPECT_EQ(h.form->StringGrid1.Cell(3, 0), "   07:59:59");
}

TEST_F(HourlyViewer, UnreliableRecordOpensNoStateSigns) {
    HdmArchiveRecord bad = Hdm(15, 1, 0x02);
    Corrupt(bad);
    Hourly v{Header(ArchiveKind::ChromHour, 0), {Hdm(15, 0), bad}};
    v.Show();
    ASSERT_TRUE(v.form->StringGrid2.SelectCell(1, 1));
    v.form->BitBtn4.Click();
    EXPECT_EQ(drv->modalCount<TFormChromError>(), 0);
}

TEST_F(HourlyViewer, FortyRowsScrollTogetherAndTheWindowFitsTheScreen) {
    std::vector<HdmArchiveRecord> recs;
    for (int i = 0; i < 40; ++i) recs.push_back(Hdm(14 + i / 24, i % 24));
    drv->setScreen(1024, 768);
    Hourly v{Header(ArchiveKind::ChromHour, 0), recs};
    v.Show();
    TFormArhivHDM_Chr& f = *v.form;
    EXPECT_EQ(f.StringGrid1.RowCount(), 40);
    EXPECT_EQ(f.StringGrid2.RowCount(), 40);
    // Opens centred (over the main window; without one, on the screen), within
    // the screen, on the last row, scrolled to the end.
    EXPECT_EQ(f.Left(), (1024 - f.Width()) / 2);
    EXPECT_LE(f.Width(), 1024 - 15);
    EXPECT_LE(f.Height(), 768 - 42);
    EXPECT_EQ(f.StringGrid1.Row(), 39);
    EXPECT_EQ(f.StringGrid2.Row(), 39);
    EXPECT_GT(f.ScrollBox1.VertPosition(), 0);
    EXPECT_EQ(f.ScrollBox1.VertPosition(), f.ScrollBox1.VertRange() - f.ScrollBox1.ClientHeight());
    EXPECT_EQ(f.ScrollBox3.VertPosition(), f.ScrollBox1.VertPosition());
    EXPECT_EQ(f.ScrollBox1.HorzPosition(), 0);
    // Narrower than all columns: the corner panel shows and the date grid
    // stops where the value area's client does.
    EXPECT_TRUE(f.ScrollBox1.HorzBarShown());
    EXPECT_TRUE(f.Panel6.Visible());
    EXPECT_EQ(f.ScrollBox3.Height(), f.ScrollBox1.ClientHeight());
    EXPECT_EQ(f.Panel4.Width(), f.ScrollBox1.ClientWidth());

    // A click in the value grid on a row above the window scrolls it into view.
    ASSERT_TRUE(f.StringGrid2.SelectCell(1, 0));
    EXPECT_EQ(f.StringGrid1.Row(), 0);
    EXPECT_EQ(f.ScrollBox1.VertPosition(), 0);
    EXPECT_EQ(f.ScrollBox3.VertPosition(), 0);
    // ... and one below it.
    ASSERT_TRUE(f.StringGrid2.SelectCell(5, 30));
    const int first = f.ScrollBox1.VertPosition() / TwoGridViewer::kRowStep;
    EXPECT_LE(first, 30);
    EXPECT_GE(first + f.VisibleRows() - 1, 30);
    EXPECT_EQ(f.ScrollBox3.VertPosition(), f.ScrollBox1.VertPosition());
    // The date grid leads the value grid too.
    ASSERT_TRUE(f.StringGrid1.SelectCell(2, 12));
    EXPECT_EQ(f.StringGrid2.Row(), 12);
    // Scrolling the value area moves the headings and the date grid.
    ASSERT_TRUE(f.ScrollBox1.UserScroll(3 * TwoGridViewer::kColStep, 5 * TwoGridViewer::kRowStep));
    EXPECT_EQ(f.ScrollBox2.HorzPosition(), 3 * TwoGridViewer::kColStep);
    EXPECT_EQ(f.ScrollBox3.VertPosition(), 5 * TwoGridViewer::kRowStep);
    // A wider window never grows past all columns; a narrower one keeps the followers in step.
    const int opened = f.Width();
    f.SetWidth(5000);
    EXPECT_LT(f.Width(), 5000);
    // It opened narrowed by whole columns (63 pixels and the grid line), no more than needed.
    EXPECT_EQ((f.Width() - opened) % TwoGridViewer::kColStep, 0);
    EXPECT_GT(opened, 1024 - 15 - TwoGridViewer::kColStep);
    EXPECT_FALSE(f.Panel6.Visible());
    EXPECT_EQ(f.ScrollBox2.HorzPosition(), f.ScrollBox1.HorzPosition());
    f.SetBounds(0, 0, 700, 500);
    EXPECT_TRUE(f.Panel6.Visible());
    EXPECT_EQ(f.ScrollBox3.Height(), f.ScrollBox1.ClientHeight());
    EXPECT_GT(f.BitBtn1.Top(), f.ScrollBox1.Top() + f.ScrollBox1.Height());
}

TEST_F(HourlyViewer, FewRowsNeedNoScrolling) {
    drv->setScreen(1920, 1080);
    Hourly v{Header(ArchiveKind::ChromHour, 0), {Hdm(15, 1), Hdm(15, 2)}};
    v.Show();
    TFormArhivHDM_Chr& f = *v.form;
    EXPECT_FALSE(f.ScrollBox1.VertBarShown());
    EXPECT_FALSE(f.ScrollBox1.HorzBarShown());
    EXPECT_FALSE(f.Panel6.Visible());
    EXPECT_EQ(f.ScrollBox1.Width(), f.StringGrid2.Width() + 17);
    // An empty archive opens too and offers no state signs.
    Hourly e{Header(ArchiveKind::ChromHour, 0), {}};
    e.Show();
    EXPECT_EQ(e.form->StringGrid2.RowCount(), 0);
    EXPECT_FALSE(e.form->BitBtn4.Enabled());
}

// ---------------------------------------------------------------- measured values

struct Measured {
    ArchiveFileHeader header;
    std::vector<ChromMeasRecord> records;
    std::unique_ptr<TFormArhMeas_Chr> form = {};
    void Show() {
        header.SetCount(uint32_t(records.size()));
        form = std::make_unique<TFormArhMeas_Chr>(nullptr);
        form->Header = &header;
        form->Records = records;
        form->Show();
    }
};

TEST_F(MeasViewer, MarksFirstMatchWinsAndNoMethaneTest) {
    ChromMeasRecord bad = Meas(0, 0x80);
    Corrupt(bad);
    ChromMeasRecord noMethane = Meas(5);
    noMethane.SetValue(kParamMethane, 0.0f);
    SealRecord(noMethane);
    Measured v{Header(ArchiveKind::ChromMeas, 0, /*oxygen*/ false),
               {bad, Meas(1, 0x22), Meas(2, 0xA0), Meas(3, 0x80), Meas(4, 0x19), noMethane}};
    v.Show();
    TFormArhMeas_Chr& f = *v.form;
    EXPECT_EQ(f.Caption(),
              "Вимірювальні дані хроматографа (сер. № 123456; нитка \"North 1\") за період  з  14.03.24 06:00:00  "
              "по  15.03.24 23:00:00");
    EXPECT_EQ(f.StringGrid1.ColCount(), 3);
    // CRC failure: the mark alone.
    EXPECT_EQ(f.StringGrid1.RowTexts(0), (std::vector<std::string>{"", "   Дані", " недостов."}));
    EXPECT_EQ(ValueCells(f, 0), std::vector<std::string>(20, ""));

    std::vector<std::string> off(20, " Выкл."), link(20, "      --"), calib(20, " Калібр.");
    off[11] = link[11] = calib[11] = "";  // oxygen hidden
    EXPECT_EQ(ValueCells(f, 1), off);
    EXPECT_EQ(ValueCells(f, 2), link);
    EXPECT_EQ(ValueCells(f, 3), calib);
    EXPECT_EQ(f.StringGrid1.RowTexts(1), (std::vector<std::string>{"", "  15.03.24", "  12:01:30"}));
    // Other bits show the values; methane 0 is no reason to hide them.
    EXPECT_EQ(Cell(f, 4, 0), "    1,2500");
    EXPECT_EQ(Cell(f, 5, kParamMethane), "    0,0000");
    EXPECT_EQ(Cell(f, 5, kParamOxygen), "");
    // Opens on the first row, scrolled to the top.
    EXPECT_EQ(f.StringGrid2.Row(), 0);
    EXPECT_EQ(f.ScrollBox1.VertPosition(), 0);
    EXPECT_FALSE(f.BitBtn3.Visible());
}

TEST_F(MeasViewer, ManyRowsStopSixtyPixelsAboveTheScreenBottom) {
    std::vector<ChromMeasRecord> recs;
    for (int i = 0; i < 100; ++i) recs.push_back(Meas(i % 60));
    drv->setScreen(1024, 768);
    Measured v{Header(ArchiveKind::ChromMeas, 0), recs};
    v.Show();
    TFormArhMeas_Chr& f = *v.form;
    EXPECT_EQ(f.Left(), (1024 - f.Width()) / 2);
    EXPECT_EQ(f.Height(), 768 - 60);
    EXPECT_EQ(f.ScrollBox1.Height(), f.Height() - f.ScrollBox1.Top() - 80);
    EXPECT_TRUE(f.ScrollBox1.VertBarShown());
    // Taller is refused, shorter is followed.
    f.SetHeight(900);
    EXPECT_EQ(f.Height(), 768 - 60);
    f.SetHeight(400);
    EXPECT_EQ(f.ScrollBox1.Height(), 400 - f.ScrollBox1.Top() - 80);
    EXPECT_EQ(f.ScrollBox3.Height(), f.ScrollBox1.ClientHeight());
    // A few rows: the area is just as high as they need.
    drv->setScreen(1920, 1080);
    Measured few{Header(ArchiveKind::ChromMeas, 0), {Meas(1), Meas(2), Meas(3)}};
    few.Show();
    EXPECT_EQ(few.form->ScrollBox1.Height(), 3 * TwoGridViewer::kRowStep + 2 + 17);
    EXPECT_FALSE(few.form->ScrollBox1.VertBarShown());
}

TEST_F(MeasViewer, StateSignsGetTheWordAndTheStatusOfTheSelectedRow) {
    Measured v{Header(ArchiveKind::ChromMeas, 0), {Meas(1), Meas(2, 0x08, 0x8001)}};
    v.Show();
    bool shown = false;
    drv->onModal<TFormChromError>([&](TFormChromError& e) {
        shown = true;
        EXPECT_EQ(e.Caption(), " Вимірювальні дані (15.03.24  12:02:30)");
        EXPECT_EQ(e.mode, 0);
        EXPECT_EQ(e.wordLow, 0x01);
        EXPECT_EQ(e.wordHigh, 0x80);
        EXPECT_EQ(e.Panel2.Caption(), "  Статус хроматографа: 0x8001");
        EXPECT_EQ(e.lh[1]->Caption(), " Не надходять дані від хроматографа");
        EXPECT_EQ(e.ls[0]->Caption(), "Є значення, що перевершують попередж. уставку");
    });
    ASSERT_TRUE(v.form->StringGrid1.SelectCell(1, 1));
    EXPECT_EQ(v.form->StringGrid2.Row(), 1);
    v.form->BitBtn4.Click();
    EXPECT_TRUE(shown);
}

// ---------------------------------------------------------------- verification

TEST_F(VerifViewer, ResultLineValuesAndNoGasTemperature) {
    VerifRecord bad = Verif(3);
    Corrupt(bad);
    VerifRecord nan = Verif(4, 0, 2);
    nan.SetValue(0, kNaN);
    SealRecord(nan);
    ArchiveFileHeader h = Header(ArchiveKind::Verif, 4, /*oxygen*/ false);
    std::vector<VerifRecord> recs{Verif(1), Verif(2, 3, 2), bad, nan};
    TFormArhiv_Verif f;
    f.Header = &h;
    f.Records = recs;
    f.Show();
    EXPECT_EQ(f.Caption(),
              " Дані верифікації хроматографа (сер. № 123456) за період  з  14.03.24 06:00:00  по  15.03.24 23:00:00");
    EXPECT_EQ(f.StringGrid1.RowTexts(0),
              (std::vector<std::string>{"", "   01.03.24", "   09:00:00", "   OK", "  1"}));
    EXPECT_EQ(f.StringGrid1.Cell(3, 1), "  Bad");
    EXPECT_EQ(f.StringGrid1.Cell(4, 1), "  2");
    EXPECT_EQ(f.StringGrid1.RowTexts(2), (std::vector<std::string>{"", "     Дані", "недостов.", "", ""}));
    EXPECT_EQ(ValueCells(f, 2), std::vector<std::string>(20, ""));
    EXPECT_EQ(f.StringGrid2.Cell(1, 3), "  NAN");
    EXPECT_EQ(f.StringGrid2.Cell(2, 3), "    2,2500");
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Cell(f, row, kParamGasTemperature), "") << row;
        EXPECT_EQ(Cell(f, row, kParamOxygen), "") << row;
    }
    for (int code : {kParamGasTemperature, kParamOxygen}) {
        const int pos = TwoGridViewer::ValueColumn(code) - 1;
        EXPECT_FALSE(f.zLabels[pos][0]->Visible());
        EXPECT_FALSE(f.lLabels[pos]->Visible());
    }
    EXPECT_FALSE(f.BitBtn4.Visible());
    EXPECT_FALSE(f.BitBtn3.Visible());
    // A double click has no state signs to show.
    ASSERT_TRUE(f.StringGrid2.DblClickCell(1, 1));
    EXPECT_EQ(drv->modalCount<TFormChromError>(), 0);
    EXPECT_EQ(f.StringGrid1.Row(), 1);
}

}  // namespace
