// The parameter items of the main menu against the emulator: what each one
// reads, that accepting without a change sends nothing, that a change sends
// exactly the rows that changed, and what follows.
#include "AppFixture.h"

#include "app/ParamEdit.h"
#include "app/ParamHandlers.h"
#include "app/TableInfo.h"
#include "common/Dtfun.h"
#include "common/Stringi.h"
#include "config/About.h"
#include "config/Chrom_Ser_Num.h"
#include "config/Conffun.h"
#include "config/ContrName.h"
#include "config/Dt.h"
#include "config/FunInfo.h"
#include "config/Ident.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "config/VichInf.h"
#include "data/Prz.h"
#include "link/Conneth.h"

namespace apptest {
namespace {

class ParamItems : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        DirectSettings();
        StartPty();
    }
    // Connected, the items attached, the log empty.
    void Connect() {
        StartForm();
        RunConnect();
        ASSERT_EQ(IsConnected, 1);
        AttachParamHandlers(*form);
        emu.ClearLog();
    }
    std::vector<Request> Writes() {
        std::vector<Request> w;
        for (const Request& r : Requests())
            if (std::get<0>(r) == 2) w.push_back(r);
        return w;
    }
    std::vector<uint8_t> Row(int t, int first, int bytes) {
        const std::vector<uint8_t> all = emu.Table(t);
        const int size = int(all.size()) / ConfigTableDir[t].rows;
        return {all.begin() + first * size, all.begin() + first * size + bytes};
    }
};

TEST_F(ParamItems, IdentificationReadsTableZeroAndShowsItInFull) {
    Connect();
    drv->onModal<TFormIdent>([](TFormIdent& f) {
        EXPECT_EQ(f.pn1.Caption(), "73");
        EXPECT_EQ(f.pn2.Caption(), "11");
        EXPECT_EQ(f.pn4.Caption(), "14.05.12  10:30:00");
        EXPECT_EQ(f.pn5.Caption(), "Мол. адреса - мол. байт");
        EXPECT_EQ(f.pn6.Caption(), "Порушених таблиць немає");
        EXPECT_EQ(f.pn7.Caption(), "Есть");
        EXPECT_EQ(f.pn8.Caption(), "Є");
        EXPECT_EQ(f.pn9.Caption(), "4.1.0");
        f.BitBtn1.Click();
    });
    ASSERT_TRUE(form->Nident.Click());
    EXPECT_EQ(drv->modalCount<TFormIdent>(), 1);
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}}));
}

TEST_F(ParamItems, NamesUnchangedSendNothingAndAChangedOneIsWrittenAloneThroughCodePage866) {
    emu.SetName(2, "Нитка 2");
    Connect();
    drv->onModal<TFormContrName>([](TFormContrName& f) {
        EXPECT_TRUE(f.BitBtn1.Visible());
        EXPECT_EQ(f.Edit1.Text(), "ГРС-1 Дослiдна");  // as the controller holds it
        f.BitBtn1.Click();
    });
    ASSERT_TRUE(form->NContrName.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 5, 0, 3}}));

    emu.ClearLog();
    drv->onModal<TFormContrName>([](TFormContrName& f) {
        f.Edit3.SetText("Північна");
        f.BitBtn1.Click();
    });
    ASSERT_TRUE(form->NContrName.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 5, 0, 3}, {2, 5, 2, 1}}));
    std::vector<uint8_t> expected(20, 0);
    const std::string cp866 = platform::Utf8ToCp866("Північна");
    std::copy(cp866.begin(), cp866.end(), expected.begin());
    EXPECT_EQ(Row(5, 2, 20), expected);
    // The image, the menus and the status bar show what the controller holds.
    EXPECT_EQ(platform::ReadField(RowPtr(5, 2), 20), "Пiвнiчна");
    EXPECT_EQ(form->NChrom_Mom_2.Caption(), "Пiвнiчна");
    EXPECT_EQ(form->StatusBar1.PanelText(kPanelControllerName), "ГРС-1 Дослiдна");
}

TEST_F(ParamItems, AFullTwentyByteNameHasNoTerminatorAndShowsWhole) {
    Connect();
    const std::string name = "ГРС Південна Дослідн";  // 20 characters
    drv->onModal<TFormContrName>([&](TFormContrName& f) {
        f.Edit1.SetText(name);
        f.BitBtn1.Click();
    });
    ASSERT_TRUE(form->NContrName.Click());
    EXPECT_EQ(Writes(), (std::vector<Request>{{2, 5, 0, 1}}));
    const std::vector<uint8_t> row = Row(5, 0, 20);
    EXPECT_EQ(std::count(row.begin(), row.end(), 0), 0);
    EXPECT_EQ(form->StatusBar1.PanelText(kPanelControllerName), "ГРС Пiвденна Дослiдн");
    // Read again: whole, and the line name behind it is not part of it.
    drv->onModal<TFormContrName>([](TFormContrName& f) {
        EXPECT_EQ(f.Edit1.Text(), "ГРС Пiвденна Дослiдн");
        EXPECT_EQ(f.Edit2.Text(), "Нитка 1");
    });
    ASSERT_TRUE(form->NContrName.Click());
}

TEST_F(ParamItems, EthernetWritesOnlyTheChangedRows) {
    Connect();
    drv->onModal<TFormConEth>([](TFormConEth& f) {
        EXPECT_EQ(f.ip4.Text() + "." + f.ip3.Text() + "." + f.ip2.Text() + "." + f.ip1.Text(), "192.168.1.10");
        f.BitBtn14.Click();
    });
    ASSERT_TRUE(form->N_Ethernet.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 29, 0, 7}}));

    emu.ClearLog();
    drv->expectMessage(2, "Поле IP-адреси поза припустимого діапазону", "(0...255)");
    drv->onModal<TFormConEth>([](TFormConEth& f) {
        f.ip1.SetText("300");
        f.BitBtn14.Click();  // refused; the window stays
        f.ip1.SetText("10");
        f.e4.SetText("6001");
        f.BitBtn14.Click();
    });
    ASSERT_TRUE(form->N_Ethernet.Click());
    EXPECT_EQ(Writes(), (std::vector<Request>{{2, 29, 6, 1}}));
    EXPECT_EQ(Row(29, 6, 4), (std::vector<uint8_t>{0x71, 0x17, 0, 0}));

    // Address and mask: rows 0 and 1 in one request.
    emu.ClearLog();
    drv->onModal<TFormConEth>([](TFormConEth& f) {
        f.ip1.SetText("20");
        f.im1.SetText("128");
        f.BitBtn14.Click();
    });
    ASSERT_TRUE(form->N_Ethernet.Click());
    EXPECT_EQ(Writes(), (std::vector<Request>{{2, 29, 0, 2}}));
    EXPECT_EQ(Row(29, 0, 8), (std::vector<uint8_t>{20, 1, 168, 192, 128, 255, 255, 255}));
}

TEST_F(ParamItems, SystemParametersWriteTheChangedRowsAndRebuildTheMenus) {
    Connect();
    drv->onModal<TFormSys>([](TFormSys& f) { f.BitBtn1.Click(); });
    ASSERT_TRUE(form->Nsys.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 6, 0, 12}}));
    EXPECT_TRUE(Shown("NWmt_Data"));

    emu.ClearLog();
    drv->onModal<TFormSys>([](TFormSys& f) {
        f.CheckBox2.Click();  // no moisture meter any more
        f.ComboBox16.Select("Субота");
        f.BitBtn1.Click();
    });
    ASSERT_TRUE(form->Nsys.Click());
    // Rows 4 and 8 changed: rows 4..8 in one request costs less than two.
    EXPECT_EQ(Writes(), (std::vector<Request>{{2, 6, 4, 5}}));
    EXPECT_EQ(emu.Table(6)[4], 0xF9);
    EXPECT_EQ(emu.Table(6)[8], 0);
    EXPECT_FALSE(Shown("NWmt_Data"));
    EXPECT_FALSE(Shown("NConnWMT"));
}

TEST_F(ParamItems, TimeSynchronisationWritesTableSixThenFourteen) {
    Connect();
    // Cancelled: the two reads only.
    drv->onModal<TFormTime_Sinhr>([](TFormTime_Sinhr& f) { f.BitBtn2.Click(); });
    ASSERT_TRUE(form->NSinhr.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 6, 10, 2}, {1, 14, 8, 2}}));

    // Accepted as shown: both pairs are still written whole, table 6 first.
    emu.ClearLog();
    drv->onModal<TFormTime_Sinhr>([](TFormTime_Sinhr& f) { f.BitBtn14.Click(); });
    ASSERT_TRUE(form->NSinhr.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 6, 10, 2}, {1, 14, 8, 2}, {2, 6, 10, 2}, {2, 14, 8, 2}}));

    emu.ClearLog();
    drv->onModal<TFormTime_Sinhr>([](TFormTime_Sinhr& f) {
        EXPECT_TRUE(f.CheckBox2.Checked());
        EXPECT_FALSE(f.CheckBox1.Checked());
        f.CheckBox4.Click();
        f.CheckBox1.Click();
        f.BitBtn14.Click();
    });
    ASSERT_TRUE(form->NSinhr.Click());
    EXPECT_EQ(Writes(), (std::vector<Request>{{2, 6, 10, 2}, {2, 14, 8, 2}}));
    EXPECT_EQ(Row(6, 10, 2), (std::vector<uint8_t>{1, 1}));
    EXPECT_EQ(Row(14, 8, 2), (std::vector<uint8_t>{0, 1}));

    // When table 6 is not written, table 14 is not either.
    emu.ClearLog();
    drv->onModal<TFormTime_Sinhr>([this](TFormTime_Sinhr& f) {
        f.CheckBox1.Click();
        f.CheckBox2.Click();
        emu.QueueFault({emu::FaultKind::ErrorReply, 26});  // the first write
        f.BitBtn14.Click();
    });
    drv->expectQuestion(7, "Не виконано  запис в таблицю 6.", "\" Системні параметри\".", false);
    ASSERT_TRUE(form->NSinhr.Click());
    EXPECT_EQ(Writes(), (std::vector<Request>{{2, 6, 10, 2}}));
    EXPECT_EQ(Row(14, 8, 2), (std::vector<uint8_t>{0, 1}));
}

class ClockItem : public ParamItems {
protected:
    // Runs "Дата та час" with the controller's clock frozen at `at`; returns
    // the correction the window worked out (0 when it did not accept).
    int Correct(const emu::DeviceTime6& at, const std::function<void()>& beforeClick = {}) {
        emu.SetClock(at);
        emu.FreezeClock(true);
        emu.ClearLog();
        int correction = 0;
        drv->expectQuestion(3, "Ви впевнені, що годинник ЕОМ показує правильний час?", "", true);
        drv->onModal<TFormDt>([&](TFormDt& f) {
            EXPECT_EQ(f.pnDate1.Caption(), DateText(at));
            if (beforeClick) beforeClick();
            f.BitBtn3.Click();
            correction = f.Correction;
        });
        EXPECT_TRUE(form->NContrDt.Click());
        return correction;
    }
    static std::string DateText(const emu::DeviceTime6& t) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", t[2], t[1], t[0]);
        return buf;
    }
};

TEST_F(ClockItem, CorrectionGoesOutWithCommand12AndMovesTheClock) {
    Connect();
    // A controller behind the PC (which lives after 2024) goes to the end of
    // its hour: across a day, a leap month's and a year's end.
    const struct {
        emu::DeviceTime6 at, after;
        int correction;
    } cases[] = {
        {{24, 3, 10, 23, 59, 58}, {24, 3, 11, 0, 0, 0}, 2},
        {{24, 2, 29, 23, 59, 45}, {24, 3, 1, 0, 0, 0}, 15},
        {{24, 12, 31, 23, 59, 50}, {25, 1, 1, 0, 0, 0}, 10},
        // Ahead of the PC: back to the start of its hour.
        {{99, 1, 1, 0, 7, 10}, {99, 1, 1, 0, 0, 0}, -430},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Correct(c.at), c.correction);
        EXPECT_EQ(emu.Clock(), c.after);
        const std::vector<Request> got = Requests();
        ASSERT_EQ(got.size(), 5u);
        EXPECT_EQ(std::vector<Request>(got.begin(), got.begin() + 4),
                  (std::vector<Request>{{1, 7, 0, 14}, {1, 6, 0, 12}, {1, 2, 0, 8}, {1, 42, 0, 6}}));
        const emu::ReceivedFrame last = emu.Log().back();
        EXPECT_EQ(last.command, 12);
        ASSERT_EQ(last.data.size(), 18u);
        EXPECT_EQ(int16_t(last.data[16] | last.data[17] << 8), c.correction);
        EXPECT_EQ(form->StatusBar1.PanelText(kPanelExchangeText), "Корегування часу виконано");
        EXPECT_TRUE(form->TimerMessage.Enabled());
    }
}

TEST_F(ClockItem, RefusedCorrectionAndDamagedTables) {
    Connect();
    // The controller refuses: said in the status bar and in a message.
    Correct({24, 5, 6, 10, 15, 20}, [this] {
        emu.QueueFault({emu::FaultKind::ErrorReply, 6});
        drv->expectMessage(6, "Корегування часу не виконано", "");
    });
    EXPECT_EQ(emu.Clock(), (emu::DeviceTime6{24, 5, 6, 10, 15, 20}));
    EXPECT_NE(form->StatusBar1.PanelText(kPanelExchangeText).find("Команда 12."), std::string::npos);

    // Correction from the PC forbidden: no button.
    PatchTable(6, 11, 0);
    emu.ClearLog();
    drv->onModal<TFormDt>([](TFormDt& f) {
        EXPECT_FALSE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.Label9.Visible());
    });
    ASSERT_TRUE(form->NContrDt.Click());
    EXPECT_EQ(Requests().size(), 4u);

    // System parameters damaged: nothing to show.
    emu.ClearLog();
    emu.SetTableDamaged(6, true);
    drv->expectMessage(4, "Зруйновано таблицю системних параметрів.",
                       "Інформація про поточні дату і час не може бути представлена");
    ASSERT_TRUE(form->NContrDt.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 7, 0, 14}}));
    emu.SetTableDamaged(6, false);

    // Clock damaged: set from the PC when the operator agrees.
    emu.ClearLog();
    emu.SetTableDamaged(2, true);
    drv->expectQuestion(3, "Таблиця дати і часу зруйнована.", "Поновити зараз?", true);
    drv->expectQuestion(3, "В контролер буде записано час ЕОМ.",
                        "Ви впевнені, що годинник ЕОМ показують правильний час?", true);
    ASSERT_TRUE(form->NContrDt.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 7, 0, 14}, {1, 6, 0, 12}, {2, 2, 0, 8}}));
    EXPECT_FALSE(emu.TableDamaged(2));
    EXPECT_EQ(drv->modalCount<TFormDt>(), 2);  // not opened for the damaged tables
}

TEST_F(ParamItems, SerialNumberAndFunctionsAreShownAsRead) {
    PatchTable(41, 0, 0xFF);
    PatchTable(41, 1, 0xFF);
    PatchTable(41, 2, 0xFF);
    PatchTable(41, 3, 0xFF);
    PatchTable(8, 1, 0);
    Connect();
    drv->onModal<TFormChrom_Ser_Num>([](TFormChrom_Ser_Num& f) { EXPECT_EQ(f.Panel7.Caption(), "4294967295"); });
    ASSERT_TRUE(form->NChrom_Ser_Num.Click());
    drv->onModal<TFormFunInfo>([](TFormFunInfo& f) {
        EXPECT_EQ(f.pi[0]->Caption(), "Можливе");
        EXPECT_EQ(f.pi[1]->Caption(), "Неможливе");
    });
    ASSERT_TRUE(form->NFun.Click());
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 41, 0, 1}, {1, 8, 0, 2}}));
    drv->onModal<TFormAbout>([](TFormAbout& f) {
        EXPECT_EQ(f.Label1.Caption(), "zbr_Orvix7200");
        EXPECT_EQ(f.Label3.Caption(), "Версія    11.05");
        f.BitBtn1.Click();
    });
    ASSERT_TRUE(form->Nabout.Click());
    EXPECT_EQ(Requests().size(), 2u);
}

TEST_F(ParamItems, TheEditPatternSendsOnlyWhatChangedAndFollowsUpOnSuccess) {
    Connect();
    int followUps = 0;
    auto followUp = [&] { ++followUps; };
    // Accepted without a change: the read only, and the follow-up.
    EXPECT_EQ(EditTableRows(*form, {28, 0, 2}, [] { return true; }, followUp), EditOutcome::Unchanged);
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 28, 0, 2}}));
    EXPECT_EQ(followUps, 1);
    // Cancelled: nothing written, no follow-up.
    EXPECT_EQ(EditTableRows(*form, {28, 0, 2}, [] { return false; }, followUp), EditOutcome::Cancelled);
    EXPECT_TRUE(Writes().empty());
    // One row changed: that row alone.
    auto change = [] {
        RowPtr(28, 1)[0] ^= 1;
        return true;
    };
    EXPECT_EQ(EditTableRows(*form, {28, 0, 2}, change, followUp), EditOutcome::Written);
    EXPECT_EQ(Writes(), (std::vector<Request>{{2, 28, 1, 1}}));
    EXPECT_EQ(followUps, 2);
    // A refused write: no follow-up; the image keeps the edit until the next read.
    emu.ClearLog();
    auto refused = [&] {
        RowPtr(28, 0)[0] ^= 1;
        emu.QueueFault({emu::FaultKind::ErrorReply, 26});
        return true;
    };
    drv->expectQuestion(7, "Не виконано  запис в таблицю 28.",
                        std::string("\"") + texts::TableNames.At(28) + "\".", false);
    const uint8_t before = emu.Table(28)[0];
    EXPECT_EQ(EditTableRows(*form, {28, 0, 2}, refused, followUp), EditOutcome::WriteFailed);
    EXPECT_EQ(followUps, 2);
    EXPECT_EQ(emu.Table(28)[0], before);
    EXPECT_NE(RowPtr(28, 0)[0], before);

    // Empty ranges and ranges the kept copy cannot hold send nothing.
    emu.ClearLog();
    EXPECT_FALSE(ReadRowsForEdit(*form, {6, 0, 0}));
    EXPECT_FALSE(ReadRowsForEdit(*form, {4, 0, 16}));
    EXPECT_FALSE(ReadRowsForEdit(*form, {6, 10, 4}));
    bool unchanged = false;
    EXPECT_TRUE(WriteEditedRows(*form, {6, 0, 0}, &unchanged));
    EXPECT_TRUE(unchanged);
    const uint8_t copy[2] = {0, 0};
    EXPECT_FALSE(WriteRowsChangedFrom(*form, {6, 10, 3}, copy));
    EXPECT_EQ(EditTableRows(*form, {9, 0, 0}, [] { return true; }), EditOutcome::ReadFailed);
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(drv->messages().empty() || drv->messages().back().kind == 7);
}

TEST_F(ParamItems, AFailedReadEndsTheItemWithoutItsWindow) {
    Connect();
    emu.QueueFault({emu::FaultKind::ErrorReply, 11});
    drv->expectQuestion(7, "Не виконано читання з таблиці 29.", "\" Параметри зв'язку по Ethernet\"", false);
    ASSERT_TRUE(form->N_Ethernet.Click());
    EXPECT_EQ(drv->modalCount<TFormConEth>(), 0);
    EXPECT_TRUE(Writes().empty());
}

}  // namespace
}  // namespace apptest
