// Start-up and shut-down of the main window: the folders, the small record
// files, the settings defaults, the temporary files, and reported failures.
#include "AppFixture.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "app/Handlers.h"
#include "common/Rd_wr_ini.h"
#include "data/ArchView.h"
#include "config/ArchiveDefaults.h"
#include "config/Formate.h"
#include "common/ReportFormat.h"
#include "platform/Clock.h"

namespace apptest {
namespace {

class Startup : public AppTest {};

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s.push_back(char(v));
    return s;
}

TEST_F(Startup, FirstStartInAnEmptyFolder) {
    std::filesystem::remove_all(dir / "INI");
    const double before = platform::NowDateTime();
    StartForm();
    for (const char* f : {"CONFIG", "ALAFILES", "AUDFILES", "CALIBRARHIV", "VERIFARHIV", "MOMDATA", "HOURDATA",
                          "DAYDATA", "REPORT", "INI"})
        EXPECT_TRUE(std::filesystem::is_directory(dir / f)) << f;
    EXPECT_EQ(ArchiveRequestDefaults.PeriodKind, 0u);
    EXPECT_EQ(ArchiveRequestDefaults.IndexKind, 1u);
    EXPECT_GE(ArchiveRequestDefaults.PeriodBegin, before);
    EXPECT_NEAR(ArchiveRequestDefaults.PeriodEnd, before, 1.0 / 1440);
    EXPECT_EQ(ReportFormat.FractionWording, 0);
    EXPECT_EQ(ReportFormat.HeatUnitKcal, 0);
    for (uint8_t d : ReportFormat.ParamDigits) EXPECT_EQ(d, 4);
    for (uint8_t d : ReportFormat.QuantityDigits) EXPECT_EQ(d, 4);
    // The settings' window defaults on the driver's 1280 x 1024 screen.
    EXPECT_EQ(form->Width(), 1000);
    EXPECT_EQ(form->Height(), 680);
    EXPECT_EQ(form->Left(), 140);
    EXPECT_EQ(form->Top(), 172);
    EXPECT_EQ(form->Caption(), "Програма обслуговування контролера  ЗБР_11");
    EXPECT_FALSE(form->MainMenu1.AnyVisible());
    EXPECT_TRUE(form->TimerStart.Enabled());
    EXPECT_EQ(form->TimerStart.Interval(), 100);
    EXPECT_FALSE(form->TimerMessage.Enabled());
    EXPECT_FALSE(form->TimerMoney.Enabled());
    EXPECT_FALSE(form->pnmodem.Visible());
    EXPECT_FALSE(form->StatusBar2.Visible());
    EXPECT_FALSE(form->StatusBar3.Visible());
    EXPECT_EQ(form->StatusBar1.PanelCount(), 4);
    EXPECT_EQ(form->StatusBar1.Panel(0).Width, 175);
    EXPECT_EQ(form->StatusBar1.Panel(1).Width, 250);
    EXPECT_EQ(form->StatusBar1.Panel(2).Width, form->StatusBar1.Width() - 175 - 250 - 55);
    EXPECT_EQ(RowsFirstPage, 63u);
    EXPECT_EQ(RowsNextPage, 71u);
    EXPECT_EQ(HgcBox->Address, 0);
    form->Close();
    EXPECT_EQ(HgcBox, nullptr);
    // The last archive request is kept; the display format only by its own dialog.
    EXPECT_EQ(std::filesystem::file_size(dir / "INI" / "rd_arh.ini"), 74u);
    EXPECT_FALSE(std::filesystem::exists(dir / "INI" / "rep_format.ini"));
}

TEST_F(Startup, ArchiveRequestAndDisplayFormatComeFromTheirFiles) {
    ArchiveRequestDefaultsRecord r;
    r.PeriodKind = 2;
    r.IndexKind = 3;
    r.PeriodBegin = 45000.25;
    r.PeriodEnd = 45001.5;
    for (int i = 0; i < 50; ++i) r.Reserved[i] = uint8_t(i * 5 + 1);
    const std::string file = EncodeArchiveDefaults(r);
    ASSERT_EQ(file.size(), 74u);
    EXPECT_EQ(file.substr(0, 8), Bytes({2, 0, 0, 0, 3, 0, 0, 0}));
    std::ofstream(dir / "INI" / "rd_arh.ini", std::ios::binary) << file;
    std::string fmt = Bytes({1, 1, 0, 7});
    for (int i = 0; i < 29; ++i) fmt.push_back(char(i % 6));
    std::ofstream(dir / "INI" / "rep_format.ini", std::ios::binary) << fmt;

    StartForm();
    EXPECT_EQ(ArchiveRequestDefaults.PeriodKind, 2u);
    EXPECT_EQ(ArchiveRequestDefaults.IndexKind, 3u);
    EXPECT_EQ(ArchiveRequestDefaults.PeriodBegin, 45000.25);
    EXPECT_EQ(ArchiveRequestDefaults.PeriodEnd, 45001.5);
    EXPECT_EQ(ReportFormat.FractionWording, 1);
    EXPECT_EQ(ReportFormat.Reserved, 7);
    EXPECT_EQ(ReportFormat.QuantityDigits[8], 28 % 6);

    ArchiveRequestDefaults.PeriodKind = 4;
    form->Close();
    r.PeriodKind = 4;
    EXPECT_EQ(ReadFile("INI/rd_arh.ini"), EncodeArchiveDefaults(r));  // reserved bytes kept
    EXPECT_EQ(ReadFile("INI/rep_format.ini"), fmt);                  // not written at shut-down
}

TEST_F(Startup, DamagedArchiveRequestFileGivesSaneDates) {
    // Kinds from a short file; dates it does not hold (or wild ones) are now.
    std::ofstream(dir / "INI" / "rd_arh.ini", std::ios::binary) << Bytes({9, 0, 0, 0, 1, 0});
    const double now = platform::NowDateTime();
    StartForm();
    EXPECT_EQ(ArchiveRequestDefaults.PeriodKind, 9u);
    EXPECT_EQ(ArchiveRequestDefaults.IndexKind, 1u);
    EXPECT_NEAR(ArchiveRequestDefaults.PeriodBegin, now, 1.0 / 1440);

    ArchiveRequestDefaultsRecord wild;
    wild.PeriodBegin = std::nan("");
    wild.PeriodEnd = 1e300;
    const std::string bytes = EncodeArchiveDefaults(wild);
    ArchiveRequestDefaultsRecord r;
    DecodeArchiveDefaults(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), r);
    EXPECT_TRUE(std::isnan(r.PeriodBegin));
    std::ofstream(dir / "INI" / "rd_arh.ini", std::ios::binary | std::ios::trunc) << bytes;
    ASSERT_TRUE(LoadArchiveDefaults(ArchiveDefaultsPath(), r, 44000.0));
    EXPECT_EQ(r.PeriodBegin, 44000.0);
    EXPECT_EQ(r.PeriodEnd, 44000.0);
}

TEST_F(Startup, WindowSavedOnALargerScreenFitsASmallerOne) {
    WriteFile("INI/zbr.ini", "[CURR_PAR]\r\nForm_Width=1000\r\nForm_Height=680\r\nForm_Left=140\r\nForm_Top=172\r\n");
    drv->setScreen(1024, 768);
    StartForm();
    EXPECT_EQ(form->Width(), 1000);
    EXPECT_EQ(form->Height(), 680);
    EXPECT_EQ(form->Left(), 24);
    EXPECT_EQ(form->Top(), 88);
    form->Close();
    // Larger than the screen, or left of it: the window shrinks and moves in.
    WriteFile("INI/zbr.ini", "[CURR_PAR]\r\nForm_Width=1400\r\nForm_Height=900\r\nForm_Left=-300\r\nForm_Top=-50\r\n");
    StartForm();
    EXPECT_EQ(form->Width(), 1024);
    EXPECT_EQ(form->Height(), 768);
    EXPECT_EQ(form->Left(), 0);
    EXPECT_EQ(form->Top(), 0);
}

TEST_F(Startup, FailedWritesOfTheSettingsAtShutDownAreReported) {
    // Folders where the files belong.
    std::filesystem::create_directories(dir / "INI" / "rd_arh.ini");
    std::filesystem::create_directories(dir / "INI" / "zbr.ini");
    StartForm();
    EXPECT_EQ(ArchiveRequestDefaults.IndexKind, 1u);  // unreadable: defaults
    EXPECT_EQ(ProgramSettings.Dir.Rate, 38400u);
    ProgramSettings.Conn_Prz = 2;  // something for zbr.ini to store
    drv->expectMessage(1, "Помилка роботи з файлом", "zbr.ini");
    drv->expectMessage(1, "Помилка роботи з файлом", "rd_arh.ini");
    form->Close();
    EXPECT_TRUE(std::filesystem::is_directory(dir / "INI" / "rd_arh.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "INI" / "zbr.ini"));
    // No temporary file is left behind.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir / "INI")) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 0);
}

TEST_F(Startup, FoldersThatCannotBeMadeAndListsCutAreToldOnceBeforeTheConnectDialog) {
    // Files where two of the folders belong.
    std::ofstream(dir / "HOURDATA") << "not a folder";
    std::ofstream(dir / "REPORT") << "not a folder";
    // Lists longer than their records keep.
    std::filesystem::create_directories(dir / "INI");
    std::ofstream(dir / "INI" / "objects.ini") << "[OBJECT_LIST]\r\nobj_num=51\r\n";
    std::ofstream(dir / "INI" / "ethr_abonents.ini") << "[ETHERNET_CONN_PAR]\r\nusers_num=300\r\n";
    StartForm();
    EXPECT_TRUE(std::filesystem::is_directory(dir / "DAYDATA"));
    drv->expectMessage(1, "Не вдалося створити папку", (dir / "HOURDATA").string() + " (і ще 1)");
    drv->expectMessage(6, "У файлі ethr_abonents.ini більше 200 записів:",
                       "показано перші 200, решта залишається у файлі.");
    drv->expectMessage(6, "У файлі objects.ini більше 50 записів:",
                       "показано перші 50, решта залишається у файлі.");
    int dialogs = 0;
    drv->onModal<TFormConnect>([&](TFormConnect& f) {
        ++dialogs;
        f.BitBtn2.Click();
    });
    ASSERT_TRUE(drv->fireTimer(form->TimerStart));
    EXPECT_EQ(dialogs, 1);
    // The next connect does not say it again.
    form->TimerStart.SetEnabled(true);
    ASSERT_TRUE(drv->fireTimer(form->TimerStart));
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(drv->messages().size(), 3u);
    EXPECT_EQ(ReadFile("HOURDATA"), "not a folder");
}

TEST_F(Startup, ShutDownDeletesTheTemporaryArchiveFiles) {
    for (const char* f : {"datafile.aud", "datafile.msd", "datafile.vrf", "datafile.txt"})
        std::ofstream(dir / f) << "records";
    StartForm();
    form->Close();
    for (const char* f : {"datafile.aud", "datafile.ala", "datafile.msd", "datafile.clb", "datafile.hdm",
                          "datafile.vrf"})
        EXPECT_FALSE(std::filesystem::exists(dir / f)) << f;
    EXPECT_TRUE(std::filesystem::exists(dir / "datafile.txt"));
    EXPECT_FALSE(form->Visible());
}

TEST_F(Startup, TemporaryFilesOfAKilledSaveAreRemovedAtStart) {
    // A process id that runs nothing any more.
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    int status = 0;
    waitpid(gone, &status, 0);
    const std::string tail = ".zbrtmp" + std::to_string(gone) + "_1";
    std::filesystem::create_directories(dir / "HOURDATA");
    std::ofstream(dir / "INI" / (".zbr.ini" + tail)) << "half";
    std::ofstream(dir / "HOURDATA" / (".x.hch" + tail)) << "half";
    std::ofstream(dir / (".rd" + tail)) << "half";
    std::ofstream(dir / "HOURDATA" / "x.hch") << "kept";
    StartForm();
    EXPECT_FALSE(std::filesystem::exists(dir / "INI" / (".zbr.ini" + tail)));
    EXPECT_FALSE(std::filesystem::exists(dir / "HOURDATA" / (".x.hch" + tail)));
    EXPECT_FALSE(std::filesystem::exists(dir / (".rd" + tail)));
    EXPECT_TRUE(std::filesystem::exists(dir / "HOURDATA" / "x.hch"));
}

TEST_F(Startup, DisplayFormatItemWritesItsFile) {
    StartForm();
    drv->onModal<TFormConnect>([](TFormConnect& f) { f.BitBtn2.Click(); });
    ASSERT_TRUE(drv->fireTimer(form->TimerStart));  // not connected: "Версія" is there
    drv->onModal<TFormRepConf>([](TFormRepConf& f) {
        f.Combo(kQtyDensity).Select(2);
        f.BitBtn3.Click();
    });
    ASSERT_TRUE(form->NFormate.Click());
    const std::string file = ReadFile("INI/rep_format.ini");
    ASSERT_EQ(file.size(), 33u);
    EXPECT_EQ(ReportFormat.QuantityDigits[kQtyDensity], uint8_t(file[24 + kQtyDensity]));
    // The temporary file of the write is gone.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir / "INI")) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST_F(Startup, CallClockShowsTheWholeSecondsOfTheCall) {
    StartForm();
    struct Case {
        double seconds;
        const char* shown;
    };
    for (const Case& c : {Case{0.2, "00:00:00"}, Case{67.8, "00:01:07"}, Case{3723.7, "01:02:03"},
                          Case{36000.0 + 59 * 60 + 59.9, "10:59:59"}}) {
        form->CallStart = platform::NowDateTime() - c.seconds / 86400.0;
        form->TimerMoney.SetEnabled(true);
        ASSERT_TRUE(drv->fireTimer(form->TimerMoney));
        EXPECT_EQ(form->pntime.Caption(), c.shown) << c.seconds;
    }
}

#ifdef ZBR_APP_HANDLERS
// Every menu item the operator can choose does something: once the program
// has attached its handlers, no item (but the submenus) is left without
// one, and every kind of archive has its viewer.
TEST_F(Startup, EveryMenuItemHasItsHandler) {
    StartForm();
    AttachMenuHandlers(*form);
    int items = 0;
    form->MainMenu1.Items().ForEach([&](ui::MenuItem& item) {
        if (item.Count() > 0 || item.IsSeparator()) return;
        EXPECT_TRUE(item.OnClick) << item.Name() << " \"" << item.Caption() << "\"";
        ++items;
    });
    EXPECT_GT(items, 40);
    for (int k = 0; k < kArchiveKindCount; ++k) {
        EXPECT_TRUE(HasArchiveViewer(ArchiveKind(k))) << k;
        SetArchiveViewer(ArchiveKind(k), {});
    }
}
#endif

}  // namespace
}  // namespace apptest
