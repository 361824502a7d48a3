// Typed input of the dialogs that ask what to read or print: the index
// range, the date pickers of the period dialogs (any value a picker can
// hold, NaN and infinities included), the certificate's year and the report
// heading. Wrong values get the dialog's message and change nothing; what is
// accepted is always a sane date or range.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "WindowInput.h"
#include "common/ListFiles.h"
#include "config/ArchiveDefaults.h"
#include "config/ConfigImage.h"
#include "data/Index.h"
#include "data/Period.h"
#include "data/ShortDate.h"
#include "platform/Codepage.h"
#include "platform/Paths.h"
#include "reports/ExcRep_Date.h"
#include "reports/PrnText.h"
#include "reports/Ques_Prn.h"
#include "support/TestFolders.h"

namespace {

using wi::Bad;
using wi::Msg;

class ArchiveDialogsInput : public ::testing::Test {
protected:
    void SetUp() override {
        dir = zbr_test::FreshWorkDir("robustness");
        std::filesystem::create_directories(dir / "INI");
        ArchiveRequestDefaults = DefaultArchiveRequest(EncodeDateTime(2024, 3, 18, 10, 0, 0));
        InitConfigImage();
        StoreRec6({24, 3, 18, 10, 30, 0}, TablePtr(2));  // the controller's clock
    }
    void TearDown() override { drv.verify(); }
    std::filesystem::path dir;
    ui::test::Driver drv;
};

TEST_F(ArchiveDialogsInput, TheIndexRangeTakesOnlyIndicesOfTheArchive) {
    ArchiveRequestDefaults.IndexKind = 4;  // the range given by hand: both edits empty and open
    wi::Window w{"TFormIndex", [] { return wi::Bytes(ArchiveRequestDefaults); },
                 [this](const std::function<void(ui::Form&)>& act) {
                     drv.onModal<TFormIndex>([&act](TFormIndex& f) { act(f); });
                     TFormIndex f;
                     f.Archive = 0;
                     f.Oldest = 5;
                     f.Newest = 60;
                     f.ShowModal();
                     if (f.accepted) {
                         EXPECT_GE(f.First, 5u);
                         EXPECT_LE(f.First, 60u);
                         EXPECT_GE(f.Count, 1u);
                         EXPECT_LE(f.First + f.Count - 1, 60u);
                     }
                     return int(f.accepted);
                 },
                 "BitBtn1", "BitBtn2",
                 {wi::Int("Edit1", 5, 60, {2, "Не введений індекс запису початку читання", ""},
                          {2, "Нелогічне значення індексу запису початку читання",
                           "(див. значення індексів початку і кінця архіву)."},
                          {{Bad::Blank, {2, "Не введений індекс запису початку читання", ""}}}),
                  wi::Int("Edit2", 1, 4294967295LL, {2, "Не введена кількість записів для читання", ""},
                          {2, "Нелогічне значення кількості записів для читання", ""},
                          {{Bad::Blank, {2, "Не введена кількість записів для читання", ""}}})}};
    w.prepare = [](ui::Form& f) {
        wi::Put(f, "Edit1", "10");
        wi::Put(f, "Edit2", "5");
    };
    wi::Check(drv, w);
}

// Whatever value a date picker is given, a dialog either refuses the period
// with its message, leaving the remembered period as it was, or accepts a
// period of real dates inside the years it can show.
TEST_F(ArchiveDialogsInput, DatePickersHoldingAnyValueGiveRealDatesOrARefusal) {
    const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             -1e12,
                             1e12,
                             0,
                             -0.5,
                             EncodeDate(1999, 12, 31),
                             EncodeDate(2256, 1, 1) + 0.99,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min()};
    const std::set<std::string> refusals = {"Дата і час кінця опитування мають бути",
                                            "В архіві немає даних за вказаний період"};
    drv.allowErrorMessages();  // the refusals are checked against the set above
    auto sane = [](const DeviceDateTime& r) { return IsValidRec(r); };

    struct Dialog {
        const char* name;
        std::vector<const char*> pickers;
        std::function<int(const std::function<void(ui::Form&)>&, DeviceDateTime&, DeviceDateTime&)> open;
        const char* accept;
        const char* cancel;
    };
    const QueryPeriod hours{{24, 1, 10, 5, 0}, {24, 3, 18, 9, 0}};
    const QueryPeriod days{{23, 1, 1, 0, 0}, {24, 3, 17, 0, 0}};
    const Dialog dialogs[] = {
        {"TFormPeriod", {"tdDb", "tdDe"},
         [this](const std::function<void(ui::Form&)>& act, DeviceDateTime& b, DeviceDateTime& e) {
             ArchiveRequestDefaults.PeriodKind = 2;
             drv.onModal<TFormPeriod>([&act](TFormPeriod& f) { act(f); });
             TFormPeriod f;
             f.ShowModal();
             b = f.Begin;
             e = f.End;
             return int(f.accepted);
         },
         "BitBtn1", "BitBtn2"},
        {"TFormShortDate hourly", {"tdHb", "tdHe"},
         [&](const std::function<void(ui::Form&)>& act, DeviceDateTime& b, DeviceDateTime& e) {
             ArchiveRequestDefaults.PeriodKind = 1;
             drv.onModal<TFormShortDate>([&act](TFormShortDate& f) { act(f); });
             TFormShortDate f;
             f.Range = &hours;
             f.Mode = 0;
             f.ShowModal();
             b = f.Begin;
             e = f.End;
             return int(f.accepted);
         },
         "BitBtn3", "BitBtn4"},
        {"TFormShortDate daily", {"tdDb", "tdDe"},
         [&](const std::function<void(ui::Form&)>& act, DeviceDateTime& b, DeviceDateTime& e) {
             ArchiveRequestDefaults.PeriodKind = 1;
             drv.onModal<TFormShortDate>([&act](TFormShortDate& f) { act(f); });
             TFormShortDate f;
             f.Range = &days;
             f.Mode = 1;
             f.ShowModal();
             b = f.Begin;
             e = f.End;
             return int(f.accepted);
         },
         "BitBtn5", "BitBtn6"},
    };
    for (const Dialog& d : dialogs) {
        for (const char* picker : d.pickers) {
            for (double v : values) {
                SCOPED_TRACE(std::string(d.name) + ", " + picker + " = " + std::to_string(v));
                const double beginBefore = ArchiveRequestDefaults.PeriodBegin,
                             endBefore = ArchiveRequestDefaults.PeriodEnd;
                const std::size_t messages = drv.messages().size();
                bool stayed = true;
                DeviceDateTime b{}, e{};
                int accepted = -1;
                try {
                    accepted = d.open(
                        [&](ui::Form& f) {
                            auto* p = f.Find<ui::DateTimePicker>(picker);
                            ASSERT_NE(p, nullptr);
                            EXPECT_TRUE(p->Pick(v));
                            EXPECT_TRUE(std::isfinite(p->DateTime()));
                            f.Find<ui::Button>(d.accept)->Click();
                            stayed = f.ModalResult() == ui::mrNone;
                            if (stayed) f.Find<ui::Button>(d.cancel)->Click();
                        },
                        b, e);
                } catch (...) {
                    ADD_FAILURE() << "threw";
                }
                if (accepted == 1) {
                    EXPECT_EQ(drv.messages().size(), messages);
                    EXPECT_TRUE(sane(b)) << int(b.year) << "-" << int(b.month) << "-" << int(b.day);
                    EXPECT_TRUE(sane(e)) << int(e.year) << "-" << int(e.month) << "-" << int(e.day);
                    EXPECT_TRUE(std::isfinite(ArchiveRequestDefaults.PeriodBegin));
                    EXPECT_TRUE(std::isfinite(ArchiveRequestDefaults.PeriodEnd));
                } else {
                    EXPECT_EQ(accepted, 0);
                    EXPECT_TRUE(stayed);
                    ASSERT_EQ(drv.messages().size(), messages + 1);
                    EXPECT_EQ(drv.messages().back().kind, 2);
                    EXPECT_EQ(refusals.count(drv.messages().back().lines[0]), 1u) << drv.messages().back().lines[0];
                    EXPECT_EQ(ArchiveRequestDefaults.PeriodBegin, beginBefore);
                    EXPECT_EQ(ArchiveRequestDefaults.PeriodEnd, endBefore);
                }
            }
        }
    }
}

// The certificate's dialog has nothing to type: its year steps within
// 2000..2099 however often it is pressed, and damaged archive bounds give a
// sane date to start from.
TEST_F(ArchiveDialogsInput, TheCertificateYearStaysWithinItsCentury) {
    ObjectList = {};
    ObjectList.obj_num = 1;
    ObjectList.objs[0].SetName("ГРС-1");
    ObjectList.objs[0].contr_adr = 1;
    const QueryPeriod good{{20, 1, 1, 0, 0}, {24, 3, 17, 0, 0}};
    const QueryPeriod damaged{{250, 13, 40, 99, 99}, {0, 0, 0, 0, 0}};
    for (const QueryPeriod* bounds : {&good, &damaged}) {
        wi::Window w{"TFormExcRep_Date", [] { return wi::Bytes(ObjectList); },
                     [&](const std::function<void(ui::Form&)>& act) {
                         drv.onModal<TFormExcRep_Date>([&act](TFormExcRep_Date& f) { act(f); });
                         TFormExcRep_Date f;
                         f.Bounds = bounds;
                         f.ShowModal();
                         return int(f.accepted);
                     },
                     "BitBtn5", "BitBtn6", {}};
        wi::Check(drv, w);
        drv.onModal<TFormExcRep_Date>([](TFormExcRep_Date& f) {
            EXPECT_GE(f.Result.month, 1);
            EXPECT_LE(f.Result.month, 12);
            EXPECT_GE(f.ComboBox3.ItemCount(), 28);
            EXPECT_GE(f.ComboBox3.ItemIndex(), 0);
            for (int i = 0; i < 150; ++i) f.UpDown1.ClickUp();
            EXPECT_EQ(f.Panel3.Caption(), "2099");
            for (int i = 0; i < 150; ++i) f.UpDown1.ClickDown();
            EXPECT_EQ(f.Panel3.Caption(), "2000");
            f.BitBtn6.Click();
        });
        TFormExcRep_Date f;
        f.Bounds = bounds;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 0);
    }
    ObjectList = {};
}

// The report heading takes any text and keeps at most its 40 bytes.
TEST_F(ArchiveDialogsInput, TheReportHeadingKeepsFortyBytes) {
    const std::string title = (dir / "INI" / "title.ini").string();
    wi::Window w{"TFormQues_Prn", [&title] { return zbr_test::ReadBytes(title); },
                 [this, &title](const std::function<void(ui::Form&)>& act) {
                     drv.onModal<TFormQues_Prn>([&act](TFormQues_Prn& f) { act(f); });
                     TFormQues_Prn f(nullptr);
                     f.PrintKind = 3;
                     f.ShowModal();
                     if (f.accepted) {
                         EXPECT_LE(platform::Utf8ToCp1251(f.ReportHeading).size(), kReportHeadingBytes);
                         if (std::filesystem::exists(title)) {
                             EXPECT_EQ(std::filesystem::file_size(title), kReportHeadingBytes);
                         }
                     }
                     return int(f.accepted);
                 },
                 "BitBtn1", "BitBtn2", {wi::Text("Edit1", 40, nullptr)}};
    wi::Check(drv, w);
}

}  // namespace
