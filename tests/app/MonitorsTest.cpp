// The live monitors and the controller-state item against the emulator:
// the requests of each timer tick, refreshing switched off, a failed tick
// and the next one, the colours of abnormal states, closing during an
// exchange, and the table-state loop with the non-volatile reset.
#include "AppFixture.h"

#include <cmath>
#include <cstring>

#include "app/ParamHandlers.h"
#include "app/TableInfo.h"
#include "common/GasParams.h"
#include "common/Rd_wr_ini.h"
#include "common/ReportFormat.h"
#include "config/Ident.h"
#include "common/Suplfunc.h"
#include "config/VichInf.h"
#include "data/Momhr.h"
#include "data/Momwmt.h"
#include "data/Prz.h"

namespace apptest {
namespace {

std::vector<uint8_t> Floats(const std::vector<uint8_t>& head, const std::vector<float>& values, std::size_t size) {
    std::vector<uint8_t> v = head;
    v.resize(8, 0);
    for (float f : values) {
        uint8_t b[4];
        std::memcpy(b, &f, 4);
        v.insert(v.end(), b, b + 4);
    }
    v.resize(size, 0);
    return v;
}

class Monitors : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        DirectSettings();
        StartPty();
        ReportFormat = DefaultReportFormat();
        // A steady state: both links up, nothing abnormal.
        emu.SetTable(33, {1, 1});
    }
    void Connect() {
        StartForm();
        RunConnect();
        ASSERT_EQ(IsConnected, 1);
        AttachParamHandlers(*form);
        emu.ClearLog();
    }
    // Requests since the last look.
    std::vector<Request> Taken() {
        std::vector<Request> all = Requests();
        std::vector<Request> fresh(all.begin() + std::min(seen_, all.size()), all.end());
        seen_ = all.size();
        return fresh;
    }
    std::size_t seen_ = 0;
};

TEST_F(Monitors, ChromatographValuesAreReadEveryTickFromTheLinesTables) {
    std::vector<float> values(20);
    for (int k = 0; k < 20; ++k) values[k] = 0.5f + k;
    values[3] = NAN;
    emu.SetTable(38, Floats({24, 5, 6, 0, 10, 15, 20}, values, 88));
    emu.SetTable(32, std::vector<uint8_t>(20, 4));  // line 1: never shown for line 2
    std::vector<uint8_t> zones2(20, 0);
    zones2[0] = 1;
    emu.SetTable(39, zones2);
    emu.SetName(2, "Північна");
    Connect();
    drv->onModal<TFormMom>([this](TFormMom& f) {
        EXPECT_EQ(f.Caption(), " Миттєві дані хроматографа (сер. № 7200123; нитка \"Пiвнiчна\"), зони параметрів газу");
        // The first tick ran at once.
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 33, 0, 1}, {1, 38, 0, 22}, {1, 39, 0, 20}}));
        EXPECT_EQ(f.pnDate.Caption(), "06.05.24 10:15:20");
        EXPECT_EQ(f.pn[8]->Caption(), "Молярна частка метану, %");
        EXPECT_EQ(f.v[0]->Caption(), "0,5000");
        EXPECT_EQ(f.v[3]->Caption(), "NAN");
        EXPECT_EQ(f.z[0]->Caption(), "Нижня попереджувальна зона");
        EXPECT_EQ(f.z[1]->Caption(), " Норма");
        EXPECT_TRUE(f.Timer1.Enabled());
        EXPECT_EQ(f.Timer1.Interval(), 10000);

        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 38, 0, 22}, {1, 39, 0, 20}}));

        // "Не оновлювати дані": nothing is asked until it is switched on again.
        EXPECT_EQ(f.BitBtn1.Caption(), "Не оновлювати дані");
        f.BitBtn1.Click();
        EXPECT_EQ(f.BitBtn1.Caption(), "Оновлювати дані");
        EXPECT_FALSE(drv->fireTimer(f.Timer1));
        f.Timer1Timer();  // even a tick that slipped through
        EXPECT_TRUE(Taken().empty());
        f.BitBtn1.Click();
        EXPECT_EQ(f.BitBtn1.Caption(), "Не оновлювати дані");
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(Taken().size(), 2u);
        f.BitBtn2.Click();
    });
    ASSERT_TRUE(form->NChrom_Mom_2.Click());
    EXPECT_EQ(drv->modalCount<TFormMom>(), 1);
    EXPECT_TRUE(form->TimerMessage.Enabled());
    EXPECT_EQ(ExchangeGuard::Count(), 0);
}

TEST_F(Monitors, ZonesShowInTheirColoursAndOxygenOnlyWhenMeasured) {
    std::vector<uint8_t> zones(20);
    for (int k = 0; k < 20; ++k) zones[k] = uint8_t(k % 7);
    emu.SetTable(32, zones);
    Connect();
    drv->onModal<TFormMom>([](TFormMom& f) {
        const struct {
            int code;
            const char* text;
            ui::Color colour;
        } want[] = {{0, " Норма", ui::clBlack},
                    {1, "Нижня попереджувальна зона", 0x383872},
                    {2, "Верхня попереджувальна зона", 0x383872},
                    {3, "Нижня аварійна зона", ui::clRed},
                    {4, "Верхня аварійна зона", ui::clRed},
                    {5, "?", 0x008000},
                    {6, "?", 0x008000},
                    {7, " Норма", ui::clBlack}};
        for (const auto& w : want) {
            EXPECT_EQ(f.z[w.code]->Caption(), w.text) << w.code;
            EXPECT_EQ(f.z[w.code]->Font().Color, w.colour) << w.code;
        }
        // Gas temperature has no zone; oxygen is not measured here.
        EXPECT_EQ(f.z[16]->Caption(), "");
        EXPECT_NE(f.v[16]->Caption(), "");
        EXPECT_EQ(f.v[15]->Caption(), "");
        EXPECT_EQ(f.z[15]->Caption(), "");
        EXPECT_EQ(f.pn[15]->Font().Color, 0x800000);
        EXPECT_EQ(f.v[15]->Color(), f.pn[15]->Color());
    });
    ASSERT_TRUE(form->NChrom_Mom_1.Click());

    // With oxygen measured its row is filled like the others.
    ConfigImage[cfgofs::kChromLink + 7] |= 0x04;
    drv->onModal<TFormMom>([](TFormMom& f) {
        EXPECT_NE(f.v[15]->Caption(), "");
        EXPECT_EQ(f.z[15]->Caption(), "Нижня попереджувальна зона");
        EXPECT_EQ(f.v[15]->Color(), ui::clWindow);
    });
    ASSERT_TRUE(form->NChrom_Mom_1.Click());
}

// The wording and heat-unit flags read as everywhere else: only 1 picks the
// volume wording or kcal; any other value the molar wording and MJ.
TEST_F(Monitors, NamesFollowTheWordingAndUnitFlagsAsTheViewersDo) {
    Connect();
    const struct {
        uint8_t wording, kcal;
        const char* methane;
        const char* heat;
    } cases[] = {{0, 0, "Молярна частка метану, %", "Теплота згоряння вища, МДж/м3"},
                 {1, 1, "Об'ємна частка метану, %", "Теплота згоряння вища, ккал/м3"},
                 {2, 2, "Молярна частка метану, %", "Теплота згоряння вища, МДж/м3"},
                 {255, 0, "Молярна частка метану, %", "Теплота згоряння вища, МДж/м3"}};
    for (const auto& c : cases) {
        ReportFormat.FractionWording = c.wording;
        ReportFormat.HeatUnitKcal = c.kcal;
        drv->onModal<TFormMom>([&c](TFormMom& f) {
            EXPECT_EQ(f.pn[8]->Caption(), c.methane) << int(c.wording);
            EXPECT_EQ(f.pn[11]->Caption(), c.heat) << int(c.kcal);
            EXPECT_EQ(f.pn[8]->Caption().substr(0, 10), std::string(ParamFullName(8, c.wording)).substr(0, 10));
        });
        ASSERT_TRUE(form->NChrom_Mom_1.Click());
    }
}

TEST_F(Monitors, AFailedTickIsShownAndTheNextOneTriesAgain) {
    Connect();
    drv->onModal<TFormMom>([this](TFormMom& f) {
        const std::string before = f.v[8]->Caption();
        ASSERT_NE(before, "");
        EXPECT_EQ(f.lbState.Caption(), "");
        Taken();
        emu.QueueFault({emu::FaultKind::Silence});
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(Taken().size(), 2u);  // the zones are still asked for
        EXPECT_EQ(f.lbState.Caption().rfind("Дані не оновлено: Команда 1.", 0), 0u) << f.lbState.Caption();
        EXPECT_NE(form->StatusBar1.PanelText(kPanelExchangeText), "");
        EXPECT_EQ(f.v[8]->Caption(), before);  // kept
        EXPECT_TRUE(f.Timer1.Enabled());
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(f.lbState.Caption(), "");
        EXPECT_EQ(Taken().size(), 2u);
    });
    ASSERT_TRUE(form->NChrom_Mom_1.Click());
}

// The failure line and the exchange panel name the read that failed, also
// when a later read of the same tick went well; the moisture meter's monitor
// says it as the others do.
TEST_F(Monitors, AFailedTickNamesTheReadThatFailed) {
    const std::string why = "Команда 1.  Читання таблиці неможливе";
    Connect();
    drv->onModal<TFormMom>([&](TFormMom& f) {
        const std::string before = f.v[8]->Caption();
        Taken();
        emu.QueueFault({emu::FaultKind::ErrorReply, 11});  // the values; the zones come
        form->TimerMessage.SetEnabled(false);
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 30, 0, 22}, {1, 32, 0, 20}}));
        EXPECT_EQ(f.lbState.Caption(), "Дані не оновлено: " + why);
        EXPECT_EQ(form->StatusBar1.PanelText(kPanelExchangeText), why);
        EXPECT_EQ(f.v[8]->Caption(), before);
        EXPECT_TRUE(form->TimerMessage.Enabled());
        EXPECT_TRUE(f.Timer1.Enabled());
    });
    ASSERT_TRUE(form->NChrom_Mom_1.Click());

    drv->onModal<TFormMomWmt>([&](TFormMomWmt& f) {
        const std::string before = f.v[0]->Caption();
        ASSERT_NE(before, "");
        emu.QueueFault({emu::FaultKind::ErrorReply, 11});
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(f.lbState.Caption(), "Дані не оновлено: " + why);
        EXPECT_EQ(form->StatusBar1.PanelText(kPanelExchangeText), why);
        EXPECT_EQ(f.v[0]->Caption(), before);
        EXPECT_TRUE(f.Timer1.Enabled());
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(f.lbState.Caption(), "");
    });
    ASSERT_TRUE(form->NWmt_MomData.Click());

    drv->onModal<TFormPrz>([&](TFormPrz& f) {
        emu.QueueFault({emu::FaultKind::ErrorReply, 11});  // the situations; the links come
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(f.lbState.Caption(), "Дані не оновлено: " + why);
        EXPECT_EQ(form->StatusBar1.PanelText(kPanelExchangeText), why);
        f.BitBtn2.Click();
    });
    ASSERT_TRUE(form->NSit.Click());
}

// Refreshing switched off and on again while a tick's request is on the
// line: nothing more is asked meanwhile, and the timer starts again only
// when the tick has ended.
TEST_F(Monitors, RefreshSwitchedDuringATickRestartsTheTimerWhenTheTickEnds) {
    Connect();
    drv->onModal<TFormMomWmt>([&](TFormMomWmt& f) {
        Taken();
        emu.QueueFault({emu::FaultKind::ReplyDelay, 300});
        const std::size_t before = Requests().size();
        bool switched = false;
        drv->onProcessMessages([&]() {
            if (switched || !HgcBox->Busy() || Requests().size() == before) return;
            switched = true;
            f.BitBtn1.Click();
            EXPECT_FALSE(f.Refreshing());
            EXPECT_EQ(f.BitBtn1.Caption(), "Оновлювати дані");
            f.Timer1Timer();  // a tick meanwhile does nothing
            f.BitBtn1.Click();
            EXPECT_TRUE(f.Refreshing());
            EXPECT_EQ(f.BitBtn1.Caption(), "Не оновлювати дані");
            EXPECT_FALSE(f.Timer1.Enabled());  // the tick still runs
        });
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        drv->onProcessMessages(nullptr);
        EXPECT_TRUE(switched);
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 37, 0, 7}}));
        EXPECT_EQ(f.lbState.Caption(), "");
        EXPECT_TRUE(f.Timer1.Enabled());
    });
    ASSERT_TRUE(form->NWmt_MomData.Click());
}

TEST_F(Monitors, NoLinkNoMonitor) {
    emu.SetTable(33, {0, 0});
    Connect();
    drv->expectMessage(6, "Нема зв'зку з хроматографом", "(див. поточний стан контролера)");
    ASSERT_TRUE(form->NChrom_Mom_1.Click());
    drv->expectMessage(6, "Нема зв'зку з вологоміром", "(див. поточний стан контролера)");
    ASSERT_TRUE(form->NWmt_MomData.Click());
    EXPECT_EQ(drv->modalCount<TFormMom>() + drv->modalCount<TFormMomWmt>(), 0);
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 33, 0, 1}, {1, 33, 1, 1}}));
}

TEST_F(Monitors, ClosingDuringATickEndsItCleanlyAndNothingElseStartsMeanwhile) {
    Connect();
    bool guardRefused = false;
    drv->onModal<TFormMom>([&](TFormMom& f) {
        Taken();
        emu.QueueFault({emu::FaultKind::ReplyDelay, 300});
        // Once the values' request is out and its reply still to come.
        const std::size_t before = Requests().size();
        drv->onProcessMessages([&, done = false]() mutable {
            if (done || !HgcBox->Busy() || Requests().size() == before) return;
            done = true;
            f.Timer1Timer();                 // a second tick: refused
            EXPECT_TRUE(form->Nident.Click());  // a menu item: refused
            guardRefused = ExchangeGuard::Refused(&f);
            f.BitBtn2.Click();               // "Вихід" while the values are on the line
        });
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_FALSE(f.Timer1.Enabled());
        EXPECT_EQ(f.ModalResult(), ui::mrCancel);
        // The request on the line was let finish; the zones were not asked for.
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 30, 0, 22}}));
        EXPECT_EQ(f.lbState.Caption(), "");
        drv->onProcessMessages(nullptr);
    });
    ASSERT_TRUE(form->NChrom_Mom_1.Click());
    EXPECT_TRUE(guardRefused);
    EXPECT_EQ(drv->modalCount<TFormMom>(), 1);
    EXPECT_FALSE(HgcBox->Abort);
    // The next item talks to the controller as usual.
    Taken();
    drv->onModal<TFormIdent>([](TFormIdent&) {});
    ASSERT_TRUE(form->Nident.Click());
    EXPECT_EQ(drv->modalCount<TFormIdent>(), 1);
    EXPECT_EQ(Taken(), (std::vector<Request>{{1, 0, 0, 18}}));
}

TEST_F(Monitors, MoistureMeterValuesByTheMetersType) {
    emu.SetTable(37, Floats({24, 5, 6, 0, 10, 16, 0}, {-18.5f, -9.25f, 1.0f, 12.0f, 2.0f}, 28));
    Connect();
    ASSERT_EQ(ConfigImage[ConfigTableDir[15].offset + 6], 0);  // the emulator's meter: type 0, bar
    drv->onModal<TFormMomWmt>([this](TFormMomWmt& f) {
        EXPECT_EQ(f.Caption(), " Миттєві дані вологоміра");
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 33, 1, 1}, {1, 37, 0, 7}}));
        EXPECT_EQ(f.RowCount(), 5);
        EXPECT_EQ(f.Height(), 254);
        EXPECT_EQ(f.Width(), 676);
        EXPECT_EQ(f.pn[2]->Caption(), " PV23 – Надлишковий тиск газу WDP,  кгc/см2");
        EXPECT_EQ(f.pnDate.Caption(), "06.05.24 10:16:00");
        EXPECT_EQ(f.v[2]->Caption(), "  " + FormatValueWmt(float(1.0 * 1.019716213)));
        EXPECT_EQ(f.v[4]->Caption(), "  " + FormatValueWmt(float(2.0 * 1.019716213)));
        EXPECT_EQ(f.v[0]->Caption(), "  " + FormatValueWmt(-18.5f));
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 37, 0, 7}}));
        f.BitBtn1.Click();
        EXPECT_FALSE(drv->fireTimer(f.Timer1));
        EXPECT_TRUE(Taken().empty());
    });
    ASSERT_TRUE(form->NWmt_MomData.Click());

    ConfigImage[ConfigTableDir[15].offset + 6] = 1;
    drv->onModal<TFormMomWmt>([](TFormMomWmt& f) {
        EXPECT_EQ(f.v[2]->Caption(), "  " + FormatValueWmt(1.0f));
        EXPECT_EQ(f.pn[2]->Caption(), " PV23 – Надлишковий тиск газу WDP,  bar");
    });
    ASSERT_TRUE(form->NWmt_MomData.Click());

    ConfigImage[ConfigTableDir[15].offset + 6] = 2;
    drv->onModal<TFormMomWmt>([](TFormMomWmt& f) {
        EXPECT_EQ(f.RowCount(), 4);
        EXPECT_EQ(f.Height(), 232);
        EXPECT_FALSE(f.pn[4]->Visible());
        EXPECT_EQ(f.pn[2]->Caption(), " PV23 – Тиск газу,  bar");
        EXPECT_EQ(f.v[2]->Caption(), "  " + FormatValueWmt(1.0f));
    });
    ASSERT_TRUE(form->NWmt_MomData.Click());
}

// ---------------------------------------------------------------- controller state

std::vector<uint8_t> Situation(uint8_t ovg, uint8_t chrom, uint8_t wmt, uint8_t self, uint8_t line1, uint8_t line2) {
    std::vector<uint8_t> v{24, 5, 6, 9, 30, 5, ovg, chrom, wmt, self, line1, line2, 0x12, 0x34, 0, 0, 0x56, 0x78};
    return v;
}

TEST_F(Monitors, ControllerStateShowsAbnormalStatesInRed) {
    PatchTable(0, 10, 0);  // high byte first: two words get swapped
    emu.SetTable(16, Situation(1, 7, 0, 0, 1, 0));
    emu.SetTable(33, {0, 1});
    Connect();
    drv->onModal<TFormPrz>([this](TFormPrz& f) {
        EXPECT_EQ(f.Caption(), " Поточний стан контролера");
        EXPECT_EQ(f.LabelChrom.Caption(), "Нештатні ситуації, пов'язані з опитуванням хроматографа");
        EXPECT_EQ(f.LabelWmt.Caption(), "Нештатні ситуації, пов'язані з опитуванням вологоміра");
        EXPECT_EQ(f.LabelOvg.Caption(), "Нештатні ситуації, пов'язані з обміном\nз обчислювачами ВГ");
        EXPECT_TRUE(f.BitBtn6.Visible());
        EXPECT_TRUE(f.pnWmt.Visible());
        EXPECT_TRUE(Taken().empty());  // the first tick comes with the timer
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 16, 0, 18}, {1, 33, 0, 2}}));
        EXPECT_EQ(f.pnDate.Caption(), "06.05.24  09:30:05");
        const struct {
            ui::Panel* panel;
            const char* text;
            bool red;
        } want[] = {{&f.pnOvg, "Є", true},           {&f.pnChrom, "Код помилки 7", true},
                    {&f.pnLine1, "Є", true},          {&f.pnLine2, "Нема", false},
                    {&f.pnWmt, "Норма", false},       {&f.pnSelf, "Норма", false},
                    {&f.pnChromLink, "Связи нет", true}, {&f.pnWmtLink, "Норма", false}};
        for (const auto& w : want) {
            EXPECT_EQ(w.panel->Caption(), w.text) << w.panel->Name();
            EXPECT_EQ(w.panel->Font().Color, w.red ? ui::clRed : ui::clBlack) << w.panel->Name();
        }
        const uint8_t* t16 = RowPtr(16, 0);
        EXPECT_EQ(t16[12], 0x34);
        EXPECT_EQ(t16[13], 0x12);
        EXPECT_EQ(t16[16], 0x78);

        // A failed read of table 16 keeps the flags; the links still follow.
        emu.SetTable(16, Situation(0, 0, 0, 0, 0, 0));
        emu.SetTable(33, {1, 0});
        emu.QueueFault({emu::FaultKind::ErrorReply, 11});
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(f.pnChrom.Caption(), "Код помилки 7");
        EXPECT_EQ(f.pnChromLink.Caption(), "Норма");
        EXPECT_EQ(f.pnWmtLink.Caption(), "Связи нет");
        EXPECT_NE(f.lbState.Caption(), "");
        ASSERT_TRUE(drv->fireTimer(f.Timer1));
        EXPECT_EQ(f.pnChrom.Caption(), "Норма");
        EXPECT_EQ(f.pnChrom.Font().Color, ui::clBlack);
        EXPECT_EQ(f.lbState.Caption(), "");
        Taken();

        f.BitBtn10.Click();
        EXPECT_EQ(f.BitBtn10.Caption(), "Оновлювати дані");
        EXPECT_FALSE(drv->fireTimer(f.Timer1));
        EXPECT_TRUE(Taken().empty());
        f.BitBtn2.Click();
    });
    ASSERT_TRUE(form->NSit.Click());
    EXPECT_EQ(IsConnected, 1);
}

TEST_F(Monitors, FlowComputerStatesReadAsManyRowsAsExist) {
    std::vector<uint8_t> t9 = {3, 11, 3, 10, 2, 1};
    emu.SetTable(9, t9);
    emu.SetTable(18, {5, 6, 7});
    emu.SetTable(34, {1, 0, 1});
    emu.SetTable(35, {1, 1, 0});
    Connect();
    int shown = 0;
    drv->onModal<TFormVichInf>([&](TFormVichInf& f) {
        ++shown;
        if (shown == 1) {
            EXPECT_EQ(f.RowCount(), 3);
            EXPECT_EQ(f.la[2]->Caption(), "7");
            EXPECT_EQ(f.lc[1]->Caption(), "Ні");
            EXPECT_EQ(f.lw[2]->Caption(), "Не записується");
        } else {
            EXPECT_EQ(f.RowCount(), shown == 2 ? 16 : 0);
        }
    });
    drv->onModal<TFormPrz>([&](TFormPrz& f) {
        Taken();
        f.BitBtn6.Click();
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 9, 0, 1}, {1, 18, 0, 3}, {1, 34, 0, 3}, {1, 35, 0, 3}}));
        EXPECT_TRUE(f.Timer1.Enabled());
        EXPECT_TRUE(f.BitBtn6.Enabled());
        // A count the tables cannot hold asks for the 16 rows that exist.
        PatchTable(9, 0, 200);
        f.BitBtn6.Click();
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 9, 0, 1}, {1, 18, 0, 16}, {1, 34, 0, 16}, {1, 35, 0, 16}}));
        // None: no request for no rows.
        PatchTable(9, 0, 0);
        f.BitBtn6.Click();
        EXPECT_EQ(Taken(), (std::vector<Request>{{1, 9, 0, 1}}));
        f.BitBtn2.Click();
    });
    ASSERT_TRUE(form->NSit.Click());
    EXPECT_EQ(shown, 3);
}

TEST_F(Monitors, TableStatesComeBackToTheStateWindowAndTheResetDisconnects) {
    Connect();
    emu.SetTableDamaged(5, true);
    int prz = 0;
    drv->onModal<TFormPrz>([&](TFormPrz& f) {
        ++prz;
        f.BitBtn1.Click();  // the table states, each time
    });
    int info = 0;
    drv->onModal<TFormTableInfo>([&](TFormTableInfo& f) {
        ++info;
        EXPECT_EQ(f.Block->States[5], 1);
        EXPECT_EQ(f.Block->Flags[5], 1);
        EXPECT_EQ(f.Block->Flags[7], 0);
        if (info == 1) {
            f.BitBtn2.Click();  // "Вихід": back to the state window
        } else {
            drv->answerYes();
            f.BitBtn4.Click();  // the non-volatile reset
        }
    });
    ASSERT_TRUE(form->NSit.Click());
    EXPECT_EQ(prz, 2);
    EXPECT_EQ(info, 2);
    const std::vector<std::string>& log = drv->modalLog();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
              (std::vector<std::string>{"TFormPrz", "TFormTableInfo", "TFormPrz", "TFormTableInfo", "TFormQues"}));
    const std::vector<Request> r = Requests();
    EXPECT_EQ(std::count(r.begin(), r.end(), Request{1, 7, 0, 47}), 2);
    EXPECT_EQ(r.back(), (Request{25, -1, -1, -1}));
    EXPECT_EQ(IsConnected, 0);
    EXPECT_FALSE(Shown("NWorkPar"));
    EXPECT_EQ(ProgramSettings.Dir.Adr, 1);
}

}  // namespace
}  // namespace apptest
