// The configuration-file items of the main menu and the restore of damaged
// tables, end to end against the emulator: new and edited files, the
// controller's configuration read and saved and written back, and the
// restore paths of a version-14 controller with the requests they send.
#include <algorithm>
#include <array>
#include <cstring>

#include "AppFixture.h"
#include "app/ConfigHandlers.h"
#include "app/TableInfo.h"
#include "common/Dtfun.h"
#include "common/Rd_wr_ini.h"
#include "common/Stringi.h"
#include "config/Access.h"
#include "config/Conffun.h"
#include "config/Config.h"
#include "config/ConfigFile.h"
#include "config/ConVU.h"
#include "config/Users.h"
#include "platform/Clock.h"

using namespace apptest;

namespace {

using Tables = std::array<std::vector<uint8_t>, 47>;

class ConfigFilesApp : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::filesystem::create_directories(dir / "CONFIG");
    }
    void StartForm() {
        AppTest::StartForm();
        AttachConfigFileHandlers(*form);
    }
    std::string Config(const std::string& name) { return (dir / "CONFIG" / name).string(); }

    Tables EmulatorTables() {
        Tables t;
        for (int i = 0; i < 47; ++i) t[i] = emu.Table(i);
        return t;
    }

    // A record of what the emulator holds now (names in Windows-1251), as a
    // read of every table would fill it.
    ConfigRecord RecordOfEmulator() {
        const auto saved = ConfigImage;
        for (int t = 0; t < kTableCount; ++t) {
            const std::vector<uint8_t> v = emu.Table(t);
            std::copy(v.begin(), v.end(), TableSpan(t).begin());
        }
        CodePage866To1251(TablePtr(5), TableSpan(5).size());
        ConfigRecord rec;
        InitNewConfigFile(rec);
        FillConfigRecord(rec);
        ConfigImage = saved;
        return rec;
    }

    // Writes are sent with these credentials (password 12, code 4).
    std::string CredentialsOf(const emu::ReceivedFrame& f) {
        return std::string(f.data.begin(), f.data.begin() + 16);
    }

};

}  // namespace

TEST_F(ConfigFilesApp, NewFileFromTheMenuAndAnEditedOne) {
    DirectSettings();
    StartForm();
    form->RefreshMenus();  // not connected: the file items are there
    // A new configuration accepted unchanged is saved all the same.
    drv->onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_EQ(f.Mode, 0);
        EXPECT_EQ(f.Caption(), " Параметри конфігурації контролера \"Контролер ЗБР_11\" ");
        EXPECT_TRUE(f.BitBtn1.Click());
    });
    drv->chooseFile(Config("fresh.cnf"));
    drv->expectMessage(6, "Параметри конфігурації", "Збережені в файлі fresh.cnf");
    EXPECT_TRUE(form->NNewcnf.Click());
    ConfigRecord want;
    InitNewConfigFile(want);
    EXPECT_EQ(ReadFile("CONFIG/fresh.cnf"), EncodeConfigFile(want));
    EXPECT_EQ(form->ConfigFilePath, Config("fresh.cnf"));

    // Viewed and accepted without a change: nothing is saved (no dialog).
    drv->chooseFile(Config("fresh.cnf"));
    drv->onModal<TFormConfig>([](TFormConfig& f) { EXPECT_TRUE(f.BitBtn1.Click()); });
    EXPECT_TRUE(form->NEditcnf.Click());
    EXPECT_EQ(drv->fileDialogs().size(), 2u);

    // Changed: saved under the name chosen.
    drv->chooseFile(Config("fresh.cnf"));
    drv->onModal<TFormConVU>([](TFormConVU& e) {
        e.ComboBox1.SetItemIndex(e.ComboBox1.ItemIndex() + 4);  // another address
        EXPECT_TRUE(e.BitBtn3.Click());
    });
    drv->onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn16.Click());
        EXPECT_TRUE(f.BitBtn1.Click());
    });
    drv->chooseFile(Config("edited"));
    drv->expectMessage(6, "Параметри конфігурації", "Збережені в файлі edited.cnf");
    EXPECT_TRUE(form->NEditcnf.Click());
    ConfigRecord edited;
    ASSERT_EQ(DecodeConfigFile(ReadFile("CONFIG/edited.cnf"), edited), ConfigFileError::None);
    EXPECT_EQ(edited[cnfofs::kUpperLink], 5);
    edited[cnfofs::kUpperLink] = 1;
    EXPECT_EQ(edited, want);

    // Cancelled after a change: nothing saved.
    drv->chooseFile(Config("fresh.cnf"));
    drv->onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_TRUE(f.BitBtn16.Click());
        EXPECT_TRUE(f.BitBtn2.Click());
    });
    EXPECT_TRUE(form->NEditcnf.Click());
    EXPECT_EQ(ReadFile("CONFIG/fresh.cnf"), EncodeConfigFile(want));
}

TEST_F(ConfigFilesApp, ReadSaveLoadWriteLeavesTheControllerAsItWas) {
    DirectSettings();
    StartPty();
    emu.FreezeClock(true);
    StartForm();
    RunConnect();
    ASSERT_EQ(IsConnected, 1);
    const Tables before = EmulatorTables();
    emu.ClearLog();

    drv->chooseFile(Config("plant.cnf"));
    drv->expectMessage(6, "Параметри конфігурації", "Збережені в файлі plant.cnf");
    EXPECT_TRUE(form->Nrdcnf.Click());
    // Every configuration table but the flow-computer passwords was read.
    std::vector<Request> reads;
    for (int t = 0; t < 47; ++t)
        if (IsConfigTable(t) && t != 13) {
            if (t == 4) {
                reads.emplace_back(1, 4, 0, 11);
                reads.emplace_back(1, 4, 11, 5);
            } else {
                reads.emplace_back(1, t, 0, ConfigTableDir[t].rows);
            }
        }
    EXPECT_EQ(Requests(), reads);
    const std::string file = ReadFile("CONFIG/plant.cnf");
    ASSERT_EQ(file.size(), 2645u);
    EXPECT_EQ(uint8_t(file[0]), 1);
    EXPECT_EQ(uint8_t(file[447]), 0xE4);  // a blank password on disk
    ConfigRecord rec;
    ASSERT_EQ(DecodeConfigFile(file, rec), ConfigFileError::None);
    EXPECT_EQ(rec, RecordOfEmulator());
    EXPECT_EQ(rec.ControllerName(), "ГРС-1 Дослiдна");  // code page 866 has no "і"

    // Loaded and written back whole: the controller is as it was.
    drv->chooseFile(Config("plant.cnf"));
    std::string path;
    ConfigRecord loaded;
    ASSERT_TRUE(LoadConfigFile(form->pod, path, loaded));
    ASSERT_TRUE(ApplyConfigRecord(loaded, true));
    TableCheckBlock block = MakeTableCheckBlock(nullptr);
    for (int t = 0; t < 47; ++t) block.Marks[t] = block.Flags[t];
    block.Marks[2] = 0;  // the clock is no part of a configuration
    emu.ClearLog();
    ASSERT_TRUE(WriteFlaggedTables(block, &form->StatusBar1, nullptr));
    EXPECT_EQ(Requests().size(), 25u);
    const Tables after = EmulatorTables();
    for (int t = 0; t < 47; ++t) EXPECT_EQ(after[t], before[t]) << "table " << t;
}

TEST_F(ConfigFilesApp, ReadFailureIsReported) {
    DirectSettings();
    StartPty();
    StartForm();
    RunConnect();
    ASSERT_EQ(IsConnected, 1);
    emu.SetTableDamaged(14, true);
    drv->expectQuestion(7, "Не виконано читання з таблиці 14.", "\"" + std::string(texts::TableNames.At(14)) + "\"",
                        false);
    drv->expectMessage(5, "Параметри конфігурації не прочитані");
    EXPECT_TRUE(form->Nrdcnf.Click());
    EXPECT_TRUE(form->Enabled());
    EXPECT_TRUE(drv->fileDialogs().empty());
}

// The whole round: a controller in its recovery state restored from a file,
// the link ended with a word, then connected again as an ordinary one.
TEST_F(ConfigFilesApp, Version14RestoreOfAllTablesThenDisconnect) {
    DirectSettings();
    StartPty();
    // The controller on 115200 baud; the file puts it at address 7 and 19200.
    emu.SetTable(3, {1, 20, 0, 0});
    emu.SetLineRateCheck(true);
    ConfigRecord rec = RecordOfEmulator();
    rec[cnfofs::kUpperLink] = 7;
    rec[cnfofs::kUpperLink + 1] = 15;
    platform::WriteField(rec.At(cnfofs::kNames), 20, "ГРС Нова", ' ');
    rec[cnfofs::kFlowLink] = 3;
    rec.FlowRow(2)[0] = 9;
    std::memcpy(rec.FlowRow(1) + 4, "secret-password ", 16);
    zbr_test::WriteBytes(Config("plant.cnf"), EncodeConfigFile(rec));
    emu.SetSoftwareVersion(14);
    emu.SetTableDamaged(4, true);
    emu.SetTableDamaged(5, true);
    StartForm();

    drv->onModal<TFormTableInfo>([](TFormTableInfo& f) { EXPECT_TRUE(f.BitBtn1.Click()); });
    drv->chooseFile(Config("plant.cnf"));
    drv->onModal<TFormConfig>([](TFormConfig& f) {
        EXPECT_EQ(f.Mode, 1);
        EXPECT_TRUE(f.BitBtn14.Visible());
        EXPECT_FALSE(f.BitBtn1.Visible());
        EXPECT_TRUE(f.BitBtn14.Click());
    });
    drv->expectQuestion(3, "В контролер буде записано час ЕОМ.", "Ви впевнені, що годинник ЕОМ показують правильний час?",
                        true);
    drv->expectMessage(5, "Таблиці записано в контролер.", "Зв'язок з контролером буде завершено.");
    RunConnect();

    const std::vector<Request> want = {
        {1, 0, 0, 18},  {2, 4, 0, 10},  {2, 4, 10, 6},  {2, 2, 0, 8},   {2, 9, 0, 6},   {2, 17, 0, 3},
        {2, 18, 0, 3},  {2, 19, 0, 3},  {2, 20, 0, 3},  {2, 13, 0, 3},  {2, 5, 0, 3},   {2, 6, 0, 12},
        {2, 14, 0, 14}, {2, 15, 0, 8},  {2, 21, 0, 20}, {2, 22, 0, 20}, {2, 23, 0, 20}, {2, 24, 0, 20},
        {2, 25, 0, 20}, {2, 26, 0, 20}, {2, 28, 0, 2},  {2, 29, 0, 7},  {2, 43, 0, 20}, {2, 44, 0, 20},
        {2, 45, 0, 20}, {2, 46, 0, 20}, {2, 3, 0, 4}};
    EXPECT_EQ(Requests(), want);
    const std::vector<emu::ReceivedFrame> log = emu.Log();
    for (const emu::ReceivedFrame& f : log) EXPECT_TRUE(f.answered) << int(f.command);
    // The users table goes with blank credentials, the rest with the operator's.
    ASSERT_EQ(log.size(), want.size());
    EXPECT_EQ(CredentialsOf(log[1]), std::string(16, ' '));
    EXPECT_EQ(CredentialsOf(log[2]), std::string(16, ' '));
    EXPECT_EQ(CredentialsOf(log[3]), "12345       1111");
    EXPECT_EQ(std::memcmp(HgcBox->UserCode, "1111", 4), 0);

    // The controller holds the file's configuration and no damaged table;
    // it has left its recovery state.
    EXPECT_FALSE(emu.TableDamaged(4));
    EXPECT_FALSE(emu.TableDamaged(5));
    EXPECT_EQ(emu.Table(0)[3], 11);
    EXPECT_EQ(emu.Address(), 7);
    EXPECT_EQ(emu.Table(3)[1], 15);
    EXPECT_EQ(emu.Table(9)[0], 3);
    EXPECT_EQ(emu.Table(18)[2], 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(emu.Table(13).data()) + 16, 16), "secret-password ");
    EXPECT_EQ(std::vector<uint8_t>(emu.Table(4)), std::vector<uint8_t>(rec.At(1985), rec.At(1985) + 352));
    std::vector<uint8_t> name866(rec.At(29), rec.At(89));
    CodePage1251To866(name866.data(), name866.size());
    EXPECT_EQ(emu.Table(5), name866);
    // Its clock from the PC's.
    const emu::DeviceTime6 clock = emu.Clock();
    DeviceDateTime pc;
    DateTimeToRec(platform::NowDateTime(), pc);
    EXPECT_EQ(clock[0], pc.year);
    EXPECT_EQ(clock[1], pc.month);
    EXPECT_EQ(emu.Table(2)[6], WeekdayOfDate(RecDate(DeviceDateTime{clock[0], clock[1], clock[2], 0, 0, 0})));

    // Then the connection ends; the settings hold the new address and rate.
    EXPECT_EQ(IsConnected, 0);
    EXPECT_EQ(RestoreThenDisconnect, 0);
    EXPECT_EQ(HgcBox->hCom, platform::kNoHandle);
    EXPECT_EQ(ProgramSettings.Dir.Adr, 7);
    EXPECT_EQ(ProgramSettings.Dir.Rate, 19200u);
    EXPECT_FALSE(Shown("NWorkPar"));

    // Connected again, at the new address and rate: an ordinary controller,
    // no table-state window, straight to the identification tables.
    emu.ClearLog();
    form->TimerStart.SetEnabled(true);
    RunConnect();
    EXPECT_EQ(drv->modalCount<TFormTableInfo>(), 1);
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18},
                                                {1, 5, 0, 3},
                                                {1, 6, 0, 12},
                                                {1, 14, 0, 14},
                                                {1, 41, 0, 1},
                                                {1, 15, 6, 1}}));
    EXPECT_EQ(ConfigImage[cfgofs::kSoftwareVersion], 11);
    EXPECT_EQ(ConfigImage[cfgofs::kDamagedTable], 0);
    EXPECT_EQ(IsConnected, 1);
    EXPECT_TRUE(Shown("NWorkPar"));
}

TEST_F(ConfigFilesApp, Version14ChosenTablesThenTheIdentificationTables) {
    DirectSettings();
    StartPty();
    ConfigRecord rec = RecordOfEmulator();
    rec[cnfofs::kFlowLink + 2] = 4;  // a change the controller will hold
    zbr_test::WriteBytes(Config("plant.cnf"), EncodeConfigFile(rec));
    emu.SetSoftwareVersion(14);
    emu.SetTableDamaged(4, true);
    StartForm();

    drv->onModal<TFormTableInfo>([](TFormTableInfo& f) {
        for (int n = 1; n <= f.RowCount(); ++n) f.cb(n).SetChecked(f.cb(n).Tag() == 9);  // table 4 goes anyway
        EXPECT_TRUE(f.BitBtn3.Click());
        EXPECT_EQ(f.Block->Marks[4], 1);
        EXPECT_EQ(f.Block->Marks[2], 0);
    });
    drv->chooseFile(Config("plant.cnf"));
    drv->onModal<TFormConfig>([](TFormConfig& f) { EXPECT_TRUE(f.BitBtn14.Click()); });
    RunConnect();
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18},
                                                {2, 4, 0, 10},
                                                {2, 4, 10, 6},
                                                {2, 9, 0, 6},
                                                {1, 5, 0, 3},
                                                {1, 6, 0, 12},
                                                {1, 14, 0, 14},
                                                {1, 41, 0, 1},
                                                {1, 15, 6, 1}}));
    EXPECT_EQ(emu.Table(9)[2], 4);
    EXPECT_EQ(IsConnected, 1);
    EXPECT_TRUE(Shown("NWorkPar"));
}

TEST_F(ConfigFilesApp, Version14UsersAndClockFromTheUsersWindow) {
    DirectSettings();
    StartPty();
    ConfigRecord rec = RecordOfEmulator();
    zbr_test::WriteBytes(Config("plant.cnf"), EncodeConfigFile(rec));
    emu.SetSoftwareVersion(14);
    emu.SetTableDamaged(4, true);
    StartForm();

    // Only the clock ticked (the users table goes as well): no configuration
    // editor, the users of the file in their window in restore mode.
    drv->onModal<TFormTableInfo>([](TFormTableInfo& f) {
        for (int n = 1; n <= f.RowCount(); ++n) f.cb(n).SetChecked(f.cb(n).Tag() == 2);
        EXPECT_TRUE(f.BitBtn3.Click());
    });
    drv->chooseFile(Config("plant.cnf"));
    drv->onModal<TFormAccess>([](TFormAccess& a) {
        EXPECT_EQ(a.Mode, 1);
        EXPECT_TRUE(a.BitBtn3.Visible());
        EXPECT_EQ(a.ek[0]->Text(), "ZBR");
        EXPECT_TRUE(a.BitBtn3.Click());
    });
    drv->expectQuestion(3, "В контролер буде записано час ЕОМ.", "Ви впевнені, що годинник ЕОМ показують правильний час?",
                        true);
    RunConnect();
    EXPECT_EQ(drv->modalCount<TFormConfig>(), 0);
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18},
                                                {1, 6, 0, 12},
                                                {2, 4, 0, 10},
                                                {2, 4, 10, 6},
                                                {2, 2, 0, 8},
                                                {1, 5, 0, 3},
                                                {1, 6, 0, 12},
                                                {1, 14, 0, 14},
                                                {1, 41, 0, 1},
                                                {1, 15, 6, 1}}));
    EXPECT_FALSE(emu.TableDamaged(4));
    EXPECT_EQ(IsConnected, 1);
}

TEST_F(ConfigFilesApp, Version14RestoreRefusals) {
    DirectSettings();
    StartPty();
    ConfigRecord rec = RecordOfEmulator();
    zbr_test::WriteBytes(Config("plant.cnf"), EncodeConfigFile(rec));
    ConfigRecord noMaker = rec;
    noMaker.At(1985)[4] = 3;  // the manufacturer made an engineer
    zbr_test::WriteBytes(Config("nomaker.cnf"), EncodeConfigFile(noMaker));
    emu.SetSoftwareVersion(14);
    StartForm();

    // The configuration editor closed with "Відмінити": nothing written.
    drv->onModal<TFormTableInfo>([](TFormTableInfo& f) { EXPECT_TRUE(f.BitBtn1.Click()); });
    drv->chooseFile(Config("plant.cnf"));
    drv->onModal<TFormConfig>([](TFormConfig& f) { EXPECT_TRUE(f.BitBtn2.Click()); });
    RunConnect();
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}}));
    EXPECT_EQ(IsConnected, 0);

    // A record whose users fail the check: asked to correct it, declined.
    emu.ClearLog();
    form->TimerStart.SetEnabled(true);
    drv->chooseFile(Config("nomaker.cnf"));
    drv->onModal<TFormConfig>([](TFormConfig& f) { EXPECT_TRUE(f.BitBtn14.Click()); });
    drv->expectMessage(2, "У списку зареєстрованих користувачів", "не зареєстровано виробника-наладчика");
    drv->expectQuestion(3, "Корегувати параметри конфігурації?", "", false);
    drv->expectMessage(6, "Запис таблиць не виконана");
    RunConnect();
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}}));

    // The users table is not damaged in the controller: the write with blank
    // credentials is refused, and nothing else is written.
    emu.ClearLog();
    form->TimerStart.SetEnabled(true);
    drv->chooseFile(Config("plant.cnf"));
    drv->onModal<TFormConfig>([](TFormConfig& f) { EXPECT_TRUE(f.BitBtn14.Click()); });
    drv->expectQuestion(7, "Не виконано  запис в таблицю 4.", "\"" + std::string(texts::TableNames.At(4)) + "\".",
                        false);
    drv->expectMessage(6, "Таблиця доступу до запису в контролер не відновлена",
                       "Запис в таблиці параметрів конфігурації неприпустимий");
    RunConnect();
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}, {2, 4, 0, 10}}));
    EXPECT_EQ(std::memcmp(HgcBox->WritePassword, "12345       ", 12), 0);
    EXPECT_EQ(IsConnected, 0);

    // No file chosen: nothing written either.
    emu.ClearLog();
    form->TimerStart.SetEnabled(true);
    drv->cancelFileDialog();
    RunConnect();
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 0, 0, 18}}));
    // None of these said that the tables were written.
    EXPECT_EQ(drv->findMessage("Таблиці записано в контролер."), nullptr);
}

TEST_F(ConfigFilesApp, ChosenTablesNeedOneThatWouldBeWritten) {
    DirectSettings();
    StartForm();
    ConfigImage[cfgofs::kSoftwareVersion] = 14;
    ProgramSettings.Conn_Prz = 0;
    TableCheckBlock block = MakeTableCheckBlock(nullptr);
    block.States[9] = 1;
    TFormTableInfo f(form.get());
    f.Block = &block;
    drv->onModal<TFormTableInfo>([&](TFormTableInfo& w) {
        // The clock ticked on a controller whose clock is sound: nothing to write.
        for (int n = 1; n <= w.RowCount(); ++n) w.cb(n).SetChecked(w.cb(n).Tag() == 2);
        drv->expectMessage(6, "Не задані таблиці для запису");
        EXPECT_TRUE(w.BitBtn3.Click());
        EXPECT_EQ(w.Result, 0);
        for (int n = 1; n <= w.RowCount(); ++n) w.cb(n).SetChecked(w.cb(n).Tag() == 9 || w.cb(n).Tag() == 2);
        EXPECT_TRUE(w.BitBtn3.Click());
        EXPECT_EQ(w.Result, 1);
    });
    f.ShowModal();
    EXPECT_EQ(block.Marks[9], 1);
    EXPECT_EQ(block.Marks[2], 0);
    EXPECT_EQ(block.Marks[4], 0);
}
