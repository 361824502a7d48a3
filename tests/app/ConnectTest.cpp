// The connect sequence against the emulator: the requests it makes, the
// compatibility checks, address 255, the table states and the menus that
// fit the controller.
#include "AppFixture.h"

#include "app/TableInfo.h"
#include "common/IniPaths.h"
#include "common/Rd_wr_ini.h"
#include "common/Stringi.h"
#include "config/Conffun.h"

namespace apptest {
namespace {

const std::vector<Request> kIdentification = {
    {1, 0, 0, 18}, {1, 5, 0, 3}, {1, 6, 0, 12}, {1, 14, 0, 14}, {1, 41, 0, 1}, {1, 15, 6, 1}};

class ConnectSequence : public AppTest {};

TEST_F(ConnectSequence, DirectLinkOverPtyReadsTheIdentificationTables) {
    DirectSettings();
    StartPty();
    StartForm();
    emu.SetName(0, "ГРС Тестова");
    RunConnect();
    EXPECT_EQ(IsConnected, 1);
    EXPECT_EQ(identities, 1);
    EXPECT_EQ(Requests(), kIdentification);
    for (const emu::ReceivedFrame& f : emu.Log()) {
        EXPECT_EQ(f.via, "pty");
        EXPECT_EQ(f.preambles, 2);
        EXPECT_EQ(f.address, 1);
    }
    EXPECT_EQ(form->StatusBar1.PanelText(kPanelControllerName), "ГРС Тестова");
    EXPECT_EQ(form->StatusBar1.PanelText(kPanelLink), " COM1,   115200 біт/с");
    EXPECT_FALSE(form->TimerStart.Enabled());
    // The port stays open for the next requests.
    EXPECT_NE(HgcBox->hCom, platform::kNoHandle);
    for (const char* top : {"N1", "NWorkPar", "NData", "Nexcreport", "Nconnect", "Nvers"}) EXPECT_TRUE(Shown(top)) << top;
    EXPECT_EQ(form->NChrom_RdHour_1.Caption(), "Нитка 1");
    EXPECT_TRUE(Shown("NChrom_RdHour_2"));
    EXPECT_TRUE(Shown("NWmt_Data"));
    EXPECT_TRUE(Shown("NCurrVich"));
}

TEST_F(ConnectSequence, EthernetLinkOverTcp) {
    DirectSettings(1, 2);
    const int port = emu.StartTcp();
    WriteFile("INI/ethr_abonents.ini", "[ETHERNET_CONN_PAR]\r\nusers_num=1\r\nuser_index=0\r\nsort_prz=0\r\n"
                                       "[ETHERNET_ABONENT_1]\r\nuser_name=ГРС Північна\r\ncontr_adr=1\r\n"
                                       "ip_adr=2130706433\r\nport=" + std::to_string(port) + "\r\n");
    StartForm();
    RunConnect();
    EXPECT_EQ(IsConnected, 1);
    EXPECT_EQ(Requests(), kIdentification);
    for (const emu::ReceivedFrame& f : emu.Log()) EXPECT_EQ(f.via, "tcp");
    EXPECT_NE(HgcBox->Sock, platform::kNoSocket);
    EXPECT_EQ(form->StatusBar2.PanelText(0), " ГРС Північна (IP-адр. 127.0.0.1)");
    form->Disconnect();
    EXPECT_EQ(HgcBox->Sock, platform::kNoSocket);
    EXPECT_FALSE(form->StatusBar2.Visible());
}

TEST_F(ConnectSequence, CancelledDialogLeavesTheReducedMenus) {
    DirectSettings();
    StartForm();
    for (const char* top : {"N1", "NWorkPar", "NData", "Nexcreport", "Nconnect", "Nvers"}) EXPECT_FALSE(Shown(top));
    drv->onModal<TFormConnect>([](TFormConnect& f) { f.BitBtn2.Click(); });
    ASSERT_TRUE(drv->fireTimer(form->TimerStart));
    EXPECT_EQ(IsConnected, 0);
    EXPECT_TRUE(emu.Log().empty());
    for (const char* on : {"N1", "N5", "NExit", "NData", "NChrom", "NChrom_ViewMeas", "NChrom_ViewHour",
                           "NWmt_Data", "NWmt_ViewDay", "NAlaPrn", "NAudPrn", "Nconnect", "Nvers", "Nabout"})
        EXPECT_TRUE(Shown(on)) << on;
    for (const char* off : {"NWorkPar", "Nexcreport", "Nrdcnf", "NChrom_Ser_Num", "NContrDt", "NSit", "NFun",
                            "NChrom_Mom", "NChrom_RdMeas", "NChrom_RdHour", "NChrom_RdDay", "NChrom_RdClb",
                            "NChrom_RdVerif", "NWmt_MomData", "NWmt_RdMeas", "NWmt_ReadHour", "NWmt_ReadDay",
                            "NAudInd", "NAudPer", "NAlaInd", "NAlaPer"})
        EXPECT_FALSE(Shown(off)) << off;
    // "Зв'язок з іншим пристроєм" starts the sequence again at the next tick.
    EXPECT_TRUE(form->Nconnect.Click());
    EXPECT_TRUE(form->TimerStart.Enabled());
}

TEST_F(ConnectSequence, SilentControllerAndDeclinedRetrySayTheLinkIsNotUp) {
    DirectSettings();
    StartPty();
    StartForm();
    emu.QueueFault({emu::FaultKind::Silence});
    drv->expectQuestion(7, "Не виконано читання з таблиці 0.", "\" Загальні параметри ідентифікації\"", false);
    drv->expectMessage(1, "Зв'язок з пристроєм не встановлено");
    RunConnect();
    EXPECT_EQ(IsConnected, 0);
    EXPECT_EQ(identities, 0);
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
    EXPECT_FALSE(Shown("NWorkPar"));
    const ui::MessageInfo* said = drv->findMessage("Зв'язок з пристроєм не встановлено");
    ASSERT_NE(said, nullptr);
    EXPECT_EQ(said->caption, "Помилка");
}

TEST_F(ConnectSequence, NoSubscriberNamedAfterACancelledEthernetDialog) {
    DirectSettings(1, 2);
    const int port = emu.StartTcp();
    WriteFile("INI/ethr_abonents.ini", "[ETHERNET_CONN_PAR]\r\nusers_num=1\r\nuser_index=0\r\nsort_prz=0\r\n"
                                       "[ETHERNET_ABONENT_1]\r\nuser_name=ГРС Північна\r\ncontr_adr=1\r\n"
                                       "ip_adr=2130706433\r\nport=" + std::to_string(port) + "\r\n");
    StartForm();
    RunConnect();
    ASSERT_EQ(IsConnected, 1);
    EXPECT_TRUE(form->StatusBar2.Visible());
    // "Зв'язок з іншим пристроєм", then the dialog is left with "Вихід": the
    // link is gone and no bar names its subscriber.
    drv->onModal<TFormConnect>([this](TFormConnect& f) {
        EXPECT_TRUE(form->StatusBar2.Visible());  // the dialog shows the subscriber it offers
        f.BitBtn2.Click();
    });
    form->Nconnect.Click();
    ASSERT_TRUE(drv->fireTimer(form->TimerStart));
    EXPECT_EQ(IsConnected, 0);
    EXPECT_EQ(HgcBox->Sock, platform::kNoSocket);
    EXPECT_FALSE(form->StatusBar2.Visible());
    EXPECT_EQ(form->StatusBar2.PanelText(0), "");
    EXPECT_EQ(form->StatusBar1.PanelText(kPanelLink), "");
    EXPECT_EQ(form->StatusBar1.PanelText(kPanelControllerName), "");
}

TEST_F(ConnectSequence, WrongControllerTypeDisconnects) {
    DirectSettings();
    StartPty();
    PatchTable(0, 1, 'J');
    StartForm();
    drv->expectMessage(6, "Код типу підключеного контроллера  74", "Програма обслуговує контролери ЗБР");
    RunConnect();
    EXPECT_EQ(IsConnected, 0);
    EXPECT_EQ(identities, 0);  // on a direct line the operator identifies after the checks
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}}));
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
    EXPECT_FALSE(Shown("NWorkPar"));
}

TEST_F(ConnectSequence, WrongSoftwareVersionDisconnects) {
    DirectSettings();
    StartPty();
    PatchTable(0, 3, 12);
    StartForm();
    drv->expectMessage(6, "Версія ПЗ підключеного контролера 12",
                       "Програма обслуговує контролери ЗБР тільки з версією ПЗ 11");
    RunConnect();
    EXPECT_EQ(IsConnected, 0);
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
}

TEST_F(ConnectSequence, ChromatographOfAnotherTypeDisconnects) {
    DirectSettings();
    StartPty();
    PatchTable(14, 6, 2);
    StartForm();
    drv->expectMessage(6, "Код підключеного хроматографа 2.", "Повинен бути 3 (Orvix7200)");
    drv->expectMessage(5, "Не прочитані дані, для організації", "подальшого обміну з пристроєм");
    RunConnect();
    EXPECT_EQ(IsConnected, 0);
    // Neither the serial number nor the moisture meter is asked for.
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}, {1, 5, 0, 3}, {1, 6, 0, 12}, {1, 14, 0, 14}}));
    EXPECT_FALSE(Shown("NWorkPar"));
}

TEST_F(ConnectSequence, AnyAddressAdoptsTheControllersAndSavesIt) {
    DirectSettings(255);
    StartPty();
    emu.SetAddress(7);
    StartForm();
    RunConnect();
    EXPECT_EQ(IsConnected, 1);
    EXPECT_EQ(ProgramSettings.Dir.Adr, 7);
    EXPECT_EQ(HgcBox->Address, 7);
    const std::vector<emu::ReceivedFrame> log = emu.Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].address, 255);
    EXPECT_EQ(log[1].address, 7);
    form->Close();
    ProgramSettingsRecord saved{};
    ReadProgramIni(SettingsIniPath(), saved, 1280, 1024);
    EXPECT_EQ(saved.Dir.Adr, 7);
}

TEST_F(ConnectSequence, Version14ShowsEveryTableDamagedAndExitDisconnects) {
    DirectSettings();
    StartPty();
    PatchTable(0, 3, 14);
    StartForm();
    bool shown = false;
    drv->onModal<TFormTableInfo>([&](TFormTableInfo& f) {
        shown = true;
        EXPECT_EQ(f.RowCount(), kConfigTableCount);
        for (int n = 1; n <= f.RowCount(); ++n) {
            EXPECT_EQ(f.pw(n).Caption(), "Так") << n;
            EXPECT_TRUE(f.cb(n).Checked()) << n;
            EXPECT_TRUE(f.cb(n).Enabled()) << n;
        }
        EXPECT_FALSE(f.pn(f.RowCount() + 1).Visible());
        EXPECT_EQ(f.pn(1).Caption().rfind(" Табл.  2.  ", 0), 0u) << f.pn(1).Caption();
        EXPECT_TRUE(f.BitBtn1.Enabled());
        EXPECT_TRUE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.BitBtn4.Enabled());
        EXPECT_EQ(f.Height(), kConfigTableCount * TFormTableInfo::kRowHeight + 4 + 113);
        EXPECT_TRUE(f.BitBtn2.Click());
    });
    RunConnect();
    EXPECT_TRUE(shown);
    EXPECT_EQ(IsConnected, 0);
    // No table-state read: a version-14 controller counts every table as damaged.
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}}));
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
    EXPECT_FALSE(Shown("NWorkPar"));
}

TEST_F(ConnectSequence, DamagedNameTableGoesOnWithTheDefaultNames) {
    DirectSettings();
    StartPty();
    emu.SetTableDamaged(5, true);
    StartForm();
    drv->onModal<TFormTableInfo>([&](TFormTableInfo& f) {
        int row5 = 0;
        for (int n = 1; n <= f.RowCount(); ++n)
            if (f.pn(n).Tag() == 5) row5 = n;
        ASSERT_GT(row5, 0);
        EXPECT_EQ(f.pw(row5).Caption(), "Так");
        EXPECT_EQ(f.pw(row5).Font().Color, ui::clRed);
        EXPECT_EQ(f.pw(row5 + 1).Caption(), "Ні");
        EXPECT_FALSE(f.BitBtn1.Enabled());
        EXPECT_FALSE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.BitBtn4.Enabled());
        EXPECT_TRUE(f.BitBtn2.Click());
    });
    // The read of table 5 fails (destroyed table); the operator declines the retry.
    drv->expectQuestion(7, "Не виконано читання з таблиці 5.", "\"" + std::string(texts::TableNames.At(5)) + "\"",
                        false);
    RunConnect();
    EXPECT_EQ(IsConnected, 1);
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}, {1, 7, 0, 47}, {1, 5, 0, 3}, {1, 6, 0, 12},
                                                {1, 14, 0, 14}, {1, 41, 0, 1}, {1, 15, 6, 1}}));
    EXPECT_EQ(form->StatusBar1.PanelText(kPanelControllerName), "Контролер ЗБР_11");
    EXPECT_EQ(form->NChrom_Mom_1.Caption(), "Нитка 1");
    EXPECT_EQ(form->NExcMon_2.Caption(), "Нитка 2");
}

TEST_F(ConnectSequence, NonVolatileResetEndsTheConnection) {
    DirectSettings();
    StartPty();
    emu.SetTableDamaged(9, true);
    StartForm();
    drv->onModal<TFormTableInfo>([&](TFormTableInfo& f) {
        // With wrong credentials the controller refuses.
        std::memcpy(HgcBox->UserCode, "2222", 4);
        drv->expectQuestion(3, "Ви впевнені, що хочете виконати скидання", "всіх енергонезалежних даних?", true);
        drv->expectMessage(6, "Команда не може бути виконана.",
                           "Команда 25.  Користувач не зареєстрований або неправильний пароль");
        EXPECT_TRUE(f.BitBtn4.Click());
        EXPECT_EQ(f.Result, 0);
        std::memcpy(HgcBox->UserCode, "1111", 4);
        drv->answerYes();
        EXPECT_TRUE(f.BitBtn4.Click());
        EXPECT_EQ(f.Result, 3);
        EXPECT_FALSE(f.BitBtn4.Enabled());
    });
    RunConnect();
    EXPECT_EQ(IsConnected, 0);
    EXPECT_EQ(std::get<0>(Requests().back()), 25);
    EXPECT_EQ(ProgramSettings.Dir.Adr, 1);
    EXPECT_EQ(ProgramSettings.Dir.Rate, 9600u);
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
}

TEST_F(ConnectSequence, MenusFollowLinesMoistureMeterAndFlowComputers) {
    DirectSettings();
    StartPty();
    PatchTable(14, 7, 0x01);  // line 2 not in use
    PatchTable(6, 8, 0);      // no moisture meter
    PatchTable(6, 9, 0);      // no flow computers
    emu.SetName(1, "Нитка А-2");
    StartForm();
    RunConnect();
    EXPECT_EQ(IsConnected, 1);
    // No moisture meter: its type is not read.
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}, {1, 5, 0, 3}, {1, 6, 0, 12}, {1, 14, 0, 14},
                                                {1, 41, 0, 1}}));
    for (const char* off : {"NChrom_Mom_2", "NChrom_RdMeas_2", "NChrom_RdHour_2", "NChrom_RdDay_2", "NExcDay_2",
                            "NExcMon_2", "N2_Const", "NConnWMT", "NWmt_Data", "NCurrVich", "NVrgConn", "NDistr",
                            "Ndistrpar"})
        EXPECT_FALSE(Shown(off)) << off;
    for (ui::MenuItem* i : {&form->NChrom_Mom_1, &form->NChrom_RdMeas_1, &form->NChrom_RdHour_1,
                            &form->NChrom_RdDay_1, &form->NExcDay_1, &form->NExcMon_1, &form->N1_Const}) {
        EXPECT_TRUE(i->Visible()) << i->Name();
        EXPECT_EQ(i->Caption(), "Нитка А-2") << i->Name();
    }
    for (const char* on : {"NConHGC", "NConVU", "NWorkPar", "NSit", "NChrom_RdClb", "NAlaInd"})
        EXPECT_TRUE(Shown(on)) << on;

    // The same controller with everything configured again: all items back.
    PatchTable(14, 7, 0x03);
    PatchTable(6, 8, 1);
    PatchTable(6, 9, 1);
    emu.ClearLog();
    ASSERT_TRUE(form->Nconnect.Click());
    ASSERT_TRUE(drv->fireTimer(form->TimerStart));
    EXPECT_EQ(IsConnected, 1);
    for (const char* on : {"NChrom_Mom_2", "NExcMon_2", "N2_Const", "NConnWMT", "NWmt_Data", "NCurrVich", "Ndistrpar"})
        EXPECT_TRUE(Shown(on)) << on;
    EXPECT_EQ(form->NChrom_Mom_2.Caption(), "Нитка 2");
    EXPECT_EQ(form->N2_Const.Caption(), "Нитка 2");
}

TEST_F(ConnectSequence, UnreadableSerialNumberStillConnects) {
    DirectSettings();
    StartPty();
    for (int i = 0; i < 4; ++i) emu.QueueFault({emu::FaultKind::None});
    emu.QueueFault({emu::FaultKind::ErrorReply, 9});
    drv->expectQuestion(7, "Не виконано читання з таблиці 41.", "\"" + std::string(texts::TableNames.At(41)) + "\"",
                        false);
    StartForm();
    ConfigImage[cfgofs::kChromSerial] = 0x55;  // left from an earlier controller
    RunConnect();
    EXPECT_EQ(IsConnected, 1);
    EXPECT_EQ(Requests(), kIdentification);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ConfigImage[cfgofs::kChromSerial + i], 0);
}

}  // namespace
}  // namespace apptest
