// The archive range dialogs through the headless driver: the choices they
// keep in ArchiveRequestDefaults (and so in rd_arh.ini), their refusals,
// the bounds they keep to and the dates they propose.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "config/ArchiveDefaults.h"
#include "common/DateTime.h"
#include "config/ConfigImage.h"
#include "data/Index.h"
#include "data/Period.h"
#include "data/ShortDate.h"
#include "platform/Paths.h"
#include "ui/TestDriver.h"

namespace {

class RangeDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ArchiveRequestDefaults = DefaultArchiveRequest(Now());
        InitConfigImage();
    }
    void TearDown() override { drv.verify(); }

    // The controller clock in the image (table 2).
    static void SetControllerClock(const DeviceDateTime& t) { StoreRec6(t, TablePtr(2)); }

    static DeviceDateTime PickerRec(const ui::DateTimePicker& p, int hour = 0) {
        DeviceDateTime r;
        PickerDate(p, r);
        r.hour = uint8_t(hour);
        return r;
    }

    ui::test::Driver drv;
};

constexpr DeviceDateTime Rec(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return {uint8_t(y), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

}  // namespace

TEST_F(RangeDialogs, PeriodLastHourAndLastDayCountFromThePcClock) {
    // 00:15:07 on 1 March of a leap year: the last hour began yesterday at 23:15:07.
    ArchiveRequestDefaults.PeriodKind = 0;
    TFormPeriod f;
    f.Clock = [] { return EncodeDateTime(2024, 3, 1, 0, 15, 7); };
    drv.onModal<TFormPeriod>([](TFormPeriod& d) {
        EXPECT_EQ(d.RadioGroup1.ItemIndex(), 0);
        EXPECT_FALSE(d.tdDb.Enabled());
        EXPECT_FALSE(d.ComboBox6.Enabled());
        d.BitBtn1.Click();
    });
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.Begin, Rec(24, 2, 29, 23, 15, 7));
    EXPECT_EQ(f.End, Rec(24, 3, 1, 0, 15, 7));

    TFormPeriod g;
    g.Clock = [] { return EncodeDateTime(2024, 3, 1, 0, 15, 7); };
    drv.onModal<TFormPeriod>([](TFormPeriod& d) {
        d.RadioGroup1.Select(1);
        d.BitBtn1.Click();
    });
    g.ShowModal();
    EXPECT_EQ(g.Begin, Rec(24, 2, 29, 0, 15, 7));
    EXPECT_EQ(g.End, Rec(24, 3, 1, 0, 15, 7));
    EXPECT_EQ(ArchiveRequestDefaults.PeriodKind, 1u);
}

TEST_F(RangeDialogs, PeriodGivenByHandIsKeptAndRefusedWhenReversed) {
    ArchiveRequestDefaults.PeriodKind = 1;
    ArchiveRequestDefaults.PeriodBegin = EncodeDateTime(2023, 5, 10, 8, 0, 0);
    ArchiveRequestDefaults.PeriodEnd = EncodeDateTime(2023, 5, 11, 9, 30, 15);
    TFormPeriod f;
    drv.onModal<TFormPeriod>([this](TFormPeriod& d) {
        d.RadioGroup1.Select(2);
        EXPECT_TRUE(d.tdDb.Enabled());
        EXPECT_EQ(PickerRec(d.tdDb), Rec(23, 5, 10));
        EXPECT_EQ(d.ComboBox3.ItemIndex(), 8);
        EXPECT_EQ(d.ComboBox6.ItemIndex(), 15);
        // A date outside 2000..2255 is brought back inside.
        d.tdDb.Pick(EncodeDate(1995, 6, 1));
        EXPECT_EQ(std::floor(d.tdDb.DateTime()), EncodeDate(2000, 1, 1));
        d.tdDe.Pick(EncodeDate(2300, 1, 1));
        EXPECT_EQ(std::floor(d.tdDe.DateTime()), EncodeDate(2255, 12, 31));

        d.tdDb.Pick(EncodeDate(2023, 5, 10));
        d.tdDe.Pick(EncodeDate(2023, 5, 9));
        drv.expectMessage(2, "Дата і час кінця опитування мають бути", "більше дати та часу початку опитування");
        d.BitBtn1.Click();
        EXPECT_EQ(d.accepted, 0);
        // The same moment at both ends is a period.
        d.tdDe.Pick(EncodeDate(2023, 5, 10));
        d.ComboBox4.Select(8);
        d.ComboBox5.Select(0);
        d.ComboBox6.Select(0);
        d.BitBtn1.Click();
    });
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.Begin, Rec(23, 5, 10, 8, 0, 0));
    EXPECT_EQ(f.End, Rec(23, 5, 10, 8, 0, 0));
    EXPECT_EQ(ArchiveRequestDefaults.PeriodKind, 2u);
    EXPECT_DOUBLE_EQ(ArchiveRequestDefaults.PeriodEnd, EncodeDateTime(2023, 5, 10, 8, 0, 0));

    // The choices survive a run through rd_arh.ini.
    const auto dir = std::filesystem::path(ZBR_TEST_TMP) / "readers-dialogs";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "rd_arh.ini").string();
    ASSERT_TRUE(SaveArchiveDefaults(path, ArchiveRequestDefaults));
    EXPECT_EQ(std::filesystem::file_size(path), kArchiveRequestDefaultsSize);
    ArchiveRequestDefaultsRecord back;
    LoadArchiveDefaults(path, back, 0);
    EXPECT_EQ(back.PeriodKind, 2u);
    EXPECT_DOUBLE_EQ(back.PeriodBegin, EncodeDateTime(2023, 5, 10, 8, 0, 0));
}

TEST_F(RangeDialogs, HourlyPeriodStaysInsideTheArchive) {
    const QueryPeriod range{{24, 1, 10, 5, 0}, {24, 3, 1, 22, 0}};
    SetControllerClock(Rec(24, 3, 1, 23, 40, 12));
    ArchiveRequestDefaults.PeriodKind = 2;  // left by the period dialog: the given period
    TFormShortDate f;
    f.Range = &range;
    f.Mode = 0;
    drv.onModal<TFormShortDate>([this](TFormShortDate& d) {
        EXPECT_TRUE(d.pn_hou.Visible());
        EXPECT_FALSE(d.pn_day.Visible());
        EXPECT_EQ(d.RadioGroup3.ItemIndex(), 1);
        EXPECT_EQ(d.Label9.Caption(), "Дата та час найстарішого запису в архіві:  10.01.24 05ч");
        EXPECT_EQ(d.Label10.Caption(), "Дата та час останнього запису в архіві:  01.03.24 22ч");
        EXPECT_EQ(PickerRec(d.tdHe, d.ComboBox7.ItemIndex()), Rec(24, 3, 1, 22));
        EXPECT_EQ(PickerRec(d.tdHb, d.ComboBox6.ItemIndex()), Rec(24, 2, 29, 22));

        d.tdHb.Pick(EncodeDate(2024, 3, 2));
        d.tdHe.Pick(EncodeDate(2024, 3, 5));
        drv.expectMessage(2, "В архіві немає даних за вказаний період", "(див. період наявних в архіві даних)");
        d.BitBtn3.Click();
        d.tdHb.Pick(EncodeDate(2024, 1, 5));
        d.ComboBox6.Select(3);
        d.tdHe.Pick(EncodeDate(2024, 1, 20));
        d.ComboBox7.Select(6);
        d.BitBtn3.Click();
    });
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.Begin, Rec(24, 1, 10, 5));  // raised to the oldest hour
    EXPECT_EQ(f.End, Rec(24, 1, 20, 6));
    EXPECT_EQ(ArchiveRequestDefaults.PeriodKind, 1u);

    // "За останню добу": the 24 complete hours before the controller's clock.
    TFormShortDate g;
    g.Range = &range;
    drv.onModal<TFormShortDate>([](TFormShortDate& d) {
        d.RadioGroup3.Select(0);
        EXPECT_FALSE(d.tdHb.Enabled());
        d.BitBtn3.Click();
    });
    g.ShowModal();
    EXPECT_EQ(g.Begin, Rec(24, 2, 29, 23));
    EXPECT_EQ(g.End, Rec(24, 3, 1, 22));
    EXPECT_EQ(ArchiveRequestDefaults.PeriodKind, 0u);
}

TEST_F(RangeDialogs, DailyMonthStepsNeverMakeThe31stOfFebruary) {
    const QueryPeriod range{{23, 1, 1, 0, 0}, {24, 3, 31, 0, 0}};
    SetControllerClock(Rec(24, 3, 31, 10, 0, 0));
    ArchiveRequestDefaults.PeriodKind = 1;
    TFormShortDate f;
    f.Range = &range;
    f.Mode = 1;
    drv.onModal<TFormShortDate>([this](TFormShortDate& d) {
        EXPECT_TRUE(d.pn_day.Visible());
        EXPECT_EQ(d.Label17.Caption(), "Дата та час найстарішого запису в архіві:  01.01.23");
        EXPECT_EQ(d.Label18.Caption(), "Дата та час останнього запису в архіві:  31.03.24");
        EXPECT_EQ(PickerRec(d.tdDe), Rec(24, 3, 31));
        EXPECT_EQ(PickerRec(d.tdDb), Rec(24, 2, 29));  // 31 March - 1 month
        d.tdDb.Pick(EncodeDate(2024, 4, 2));
        d.tdDe.Pick(EncodeDate(2024, 4, 9));
        drv.expectMessage(2, "В архіві немає даних за вказаний період", "(див. період наявних в архіві даних)");
        d.BitBtn5.Click();
        d.tdDe.Pick(EncodeDate(2024, 4, 1));
        drv.expectMessage(2, "Дата і час кінця опитування мають бути", "більше дати та часу початку опитування");
        d.BitBtn5.Click();
        d.tdDb.Pick(EncodeDate(2024, 2, 28));
        d.BitBtn5.Click();  // the end is lowered to the last day
    });
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.Begin, Rec(24, 2, 28));
    EXPECT_EQ(f.End, Rec(24, 3, 31));

    // "За останній місяць" from 31 March 10:00: 30 March back to 29 February.
    TFormShortDate g;
    g.Range = &range;
    g.Mode = 1;
    drv.onModal<TFormShortDate>([](TFormShortDate& d) {
        d.RadioGroup2.Select(0);
        d.BitBtn5.Click();
    });
    g.ShowModal();
    EXPECT_EQ(g.Begin, Rec(24, 2, 29));
    EXPECT_EQ(g.End, Rec(24, 3, 30));
}

// An archive that began on 1 January 2000: the proposed periods stop
// there instead of stepping back round to 2255.
TEST_F(RangeDialogs, ProposedPeriodsStopAtTheFirstDayOf2000) {
    const QueryPeriod hours{{0, 1, 1, 0, 0}, {0, 1, 1, 5, 0}};
    SetControllerClock(Rec(0, 1, 1, 6, 30, 0));
    ArchiveRequestDefaults.PeriodKind = 1;
    TFormShortDate f;
    f.Range = &hours;
    f.Mode = 0;
    drv.onModal<TFormShortDate>([this](TFormShortDate& d) {
        EXPECT_EQ(PickerRec(d.tdHb, d.ComboBox6.ItemIndex()), Rec(0, 1, 1, 0));
        EXPECT_EQ(PickerRec(d.tdHe, d.ComboBox7.ItemIndex()), Rec(0, 1, 1, 5));
        d.RadioGroup3.Select(0);  // the last 24 hours: only 6 of them exist
        EXPECT_EQ(PickerRec(d.tdHb, d.ComboBox6.ItemIndex()), Rec(0, 1, 1, 0));
        d.BitBtn3.Click();
    });
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.Begin, Rec(0, 1, 1, 0));
    EXPECT_EQ(f.End, Rec(0, 1, 1, 5));

    const QueryPeriod days{{0, 1, 1, 0, 0}, {0, 1, 8, 0, 0}};
    SetControllerClock(Rec(0, 1, 9, 10, 0, 0));
    TFormShortDate g;
    g.Range = &days;
    g.Mode = 1;
    drv.onModal<TFormShortDate>([this](TFormShortDate& d) {
        EXPECT_EQ(PickerRec(d.tdDb), Rec(0, 1, 1));
        d.RadioGroup2.Select(0);  // the last month
        EXPECT_EQ(PickerRec(d.tdDb), Rec(0, 1, 1));
        EXPECT_EQ(PickerRec(d.tdDe), Rec(0, 1, 8));
        d.BitBtn5.Click();
    });
    g.ShowModal();
    EXPECT_EQ(g.accepted, 1);
    EXPECT_EQ(g.Begin, Rec(0, 1, 1));
    EXPECT_EQ(g.End, Rec(0, 1, 8));
}

TEST_F(RangeDialogs, IndexRangesAndTheirRefusals) {
    ArchiveRequestDefaults.IndexKind = 1;  // the last 100
    TFormIndex f;
    f.Archive = 1;
    f.Oldest = 5;
    f.Newest = 60;
    drv.onModal<TFormIndex>([](TFormIndex& d) {
        EXPECT_EQ(d.Caption(), " Індекси архівних записів про втручання");
        EXPECT_EQ(d.Panel2.Caption(), "5");
        EXPECT_EQ(d.Panel3.Caption(), "60");
        EXPECT_EQ(d.Edit1.Text(), "5");
        EXPECT_EQ(d.Edit2.Text(), "56");
        EXPECT_FALSE(d.Edit1.Enabled());
        d.RadioGroup1.Select(3);  // the last 10
        EXPECT_EQ(d.Edit1.Text(), "51");
        EXPECT_EQ(d.Edit2.Text(), "10");
        d.BitBtn1.Click();
    });
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.First, 51u);
    EXPECT_EQ(f.Count, 10u);
    EXPECT_EQ(ArchiveRequestDefaults.IndexKind, 3u);

    TFormIndex g;
    g.Archive = 0;
    g.Oldest = 5;
    g.Newest = 60;
    drv.onModal<TFormIndex>([this](TFormIndex& d) {
        EXPECT_EQ(d.Caption(), " Індекси архівних записів діагностики");
        d.RadioGroup1.Select(4);
        EXPECT_TRUE(d.Edit1.Enabled());
        EXPECT_EQ(d.Edit1.Text(), "");
        drv.expectMessage(2, "Не введений індекс запису початку читання");
        d.BitBtn1.Click();
        d.Edit1.TypeText("7x0");  // letters do not get in
        EXPECT_EQ(d.Edit1.Text(), "70");
        drv.expectMessage(2, "Нелогічне значення індексу запису початку читання",
                          "(див. значення індексів початку і кінця архіву).");
        d.BitBtn1.Click();
        d.Edit1.SetText("60");
        drv.expectMessage(2, "Не введена кількість записів для читання");
        d.BitBtn1.Click();
        d.Edit2.TypeText("0");
        drv.expectMessage(2, "Нелогічне значення кількості записів для читання");
        d.BitBtn1.Click();
        d.Edit2.SetText("10");
        d.BitBtn1.Click();
    });
    g.ShowModal();
    EXPECT_EQ(g.accepted, 1);
    EXPECT_EQ(g.First, 60u);
    EXPECT_EQ(g.Count, 1u);  // cut to what the archive holds
    EXPECT_EQ(ArchiveRequestDefaults.IndexKind, 4u);
}

// Enter accepts a range dialog from any control that does not take the key
// itself; a focused button takes it as its own click.
TEST_F(RangeDialogs, EnterAcceptsUnlessTheFocusedControlTakesIt) {
    // The period given last ends at noon, whatever the time of day now.
    ArchiveRequestDefaults = DefaultArchiveRequest(EncodeDate(2024, 3, 1) + 0.5);
    ArchiveRequestDefaults.PeriodKind = 2;
    TFormPeriod p;
    drv.onModal<TFormPeriod>([this](TFormPeriod& d) {
        d.ComboBox3.SetFocus();
        d.ComboBox3.Select(4);
        drv.pressKey(ui::key::Return);
    });
    p.ShowModal();
    EXPECT_EQ(p.accepted, 1);
    EXPECT_EQ(p.Begin.hour, 4);

    TFormPeriod q;
    drv.onModal<TFormPeriod>([](TFormPeriod& d) {
        d.BitBtn2.SetFocus();
        d.BitBtn2.KeyDown(ui::key::Return);  // "Вихід" has the focus: Enter leaves
    });
    EXPECT_EQ(q.ShowModal(), ui::mrCancel);
    EXPECT_EQ(q.accepted, 0);

    // Hourly and daily: whichever panel shows, its "Прийняти".
    const QueryPeriod range{{24, 1, 10, 5, 0}, {24, 3, 1, 22, 0}};
    SetControllerClock(Rec(24, 3, 1, 23, 40, 12));
    for (uint8_t mode : {0, 1}) {
        TFormShortDate s;
        s.Range = &range;
        s.Mode = mode;
        drv.onModal<TFormShortDate>([mode](TFormShortDate& d) {
            ui::Control& picker = mode == 0 ? static_cast<ui::Control&>(d.tdHb) : d.tdDb;
            picker.SetFocus();
            picker.KeyDown(ui::key::Return);
        });
        s.ShowModal();
        EXPECT_EQ(s.accepted, 1) << int(mode);
    }

    // The index edits move on with Enter; from the last, Enter accepts.
    ArchiveRequestDefaults.IndexKind = 4;
    TFormIndex x;
    x.Archive = 0;
    x.Oldest = 5;
    x.Newest = 60;
    drv.onModal<TFormIndex>([](TFormIndex& d) {
        d.Edit1.SetFocus();
        d.Edit1.TypeText("10");
        d.Edit1.KeyDown(ui::key::Return);
        EXPECT_EQ(d.ActiveControl(), &d.Edit2);
        d.Edit2.TypeText("3");
        d.Edit2.KeyDown(ui::key::Return);
        EXPECT_EQ(d.ActiveControl(), &d.BitBtn1);
        d.BitBtn1.KeyDown(ui::key::Return);
    });
    x.ShowModal();
    EXPECT_EQ(x.accepted, 1);
    EXPECT_EQ(x.First, 10u);
    EXPECT_EQ(x.Count, 3u);
}
