// Writing the marked tables of a configuration to the controller emulator
// on a pseudo-terminal: the order and the size of the requests, the flow
// computers in use, a failed request, and the link following table 3.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <tuple>
#include <vector>

#include "common/Rd_wr_ini.h"
#include "common/Stringi.h"
#include "config/Conffun.h"
#include "config/ConfigFile.h"
#include "config/Globals.h"
#include "emulator/Controller.h"
#include "emulator/Emulator.h"
#include "support/EmulatorLink.h"
#include "support/TestFolders.h"
#include "ui/Controls.h"
#include "ui/TestDriver.h"

namespace {

using Write = std::tuple<int, int, int>;  // table, first row, rows

class WriteTables : public ::testing::Test {
protected:
    void SetUp() override {
        dir = zbr_test::FreshWorkDir("config-write");
        std::memcpy(box.WritePassword, "12345       ", 12);
        std::memcpy(box.UserCode, "1111", 4);
        RestoreThenDisconnect = 0;
        ProgramSettings.Conn_Prz = 0;
        ProgramSettings.Dir.COMPort = 6;
        ProgramSettings.Dir.Adr = 1;
        ProgramSettings.Dir.Rate = 9600;
        for (int i = 0; i < 4; ++i) bar.AddPanel(100);
        InitConfigImage();
        InitTexts();
    }
    void Open(uint32_t baud = 115200) {
        zbr_test::OpenOverPty(emu, box, dir, 6, baud);
        HgcBox = &box;
        // The image holds what the controller has.
        for (int t = 0; t < kTableCount; ++t) {
            const std::vector<uint8_t> v = emu.Table(t);
            std::copy(v.begin(), v.end(), TableSpan(t).begin());
        }
        CodePage866To1251(TablePtr(5), TableSpan(5).size());  // as a read leaves them
        emu.ClearLog();
    }
    void TearDown() override {
        drv.verify();
        RestoreThenDisconnect = 0;
        HgcBox = nullptr;
        box.ClosePort();
        emu.Stop();
    }
    std::vector<Write> Writes() {
        std::vector<Write> out;
        for (const emu::ReceivedFrame& f : emu.Log())
            if (f.command == 2 && f.data.size() >= 20) out.emplace_back(f.data[17], f.data[18], f.data[19]);
        return out;
    }
    // Every configuration table marked but the clock and the users.
    TableCheckBlock AllButClockAndUsers() {
        TableCheckBlock b;
        for (int t = 0; t < kTableCount; ++t) b.Flags[t] = b.Marks[t] = ConfigTableDir[t].configFlag;
        b.Marks[2] = b.Marks[4] = 0;
        return b;
    }

    std::filesystem::path dir;
    emu::Emulator emu;
    hgcbox box{1};
    ui::test::Driver drv;
    ui::StatusBar bar{nullptr, "StatusBar1"};
    ui::ProgressBar progress{nullptr, "ProgressBar1"};
};

const std::vector<Write> kRestOfTheTables = {
    {5, 0, 3},   {6, 0, 12},  {14, 0, 14}, {15, 0, 8},  {21, 0, 20}, {22, 0, 20}, {23, 0, 20}, {24, 0, 20},
    {25, 0, 20}, {26, 0, 20}, {28, 0, 2},  {29, 0, 7},  {43, 0, 20}, {44, 0, 20}, {45, 0, 20}, {46, 0, 20},
    {3, 0, 4}};

std::vector<Write> Join(std::vector<Write> a, const std::vector<Write>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST_F(WriteTables, OrderAndRequestsWithThreeFlowComputers) {
    Open();
    ConfigImage[cfgofs::kFlowLink] = 3;
    const std::vector<uint8_t> names866 = emu.Table(5);
    TableCheckBlock b = AllButClockAndUsers();
    ASSERT_TRUE(WriteFlaggedTables(b, &bar, &progress));
    EXPECT_EQ(Writes(), Join({{9, 0, 6}, {17, 0, 3}, {18, 0, 3}, {19, 0, 3}, {20, 0, 3}, {13, 0, 3}},
                             kRestOfTheTables));
    for (int t = 0; t < kTableCount; ++t) EXPECT_EQ(b.Marks[t], 0) << t;
    EXPECT_EQ(progress.Max(), 25);
    EXPECT_EQ(progress.Position(), 25);
    EXPECT_EQ(emu.Table(9)[0], 3);
    EXPECT_EQ(bar.PanelText(0), " COM6,   9600 біт/с");  // the link as table 3 has it

    // The names go out in the controller's code page; the name is shown.
    b = TableCheckBlock{};
    b.Marks[5] = 1;
    ASSERT_TRUE(WriteFlaggedTables(b, &bar, &progress));
    // (Code page 866 has no "і": the controller keeps a Latin i.)
    EXPECT_EQ(bar.PanelText(kPanelControllerName), "ГРС-1 Дослiдна");
    EXPECT_EQ(emu.Table(5), names866);
}

TEST_F(WriteTables, SixteenFlowComputersAndTheUsers) {
    Open();
    ConfigImage[cfgofs::kFlowLink] = 16;
    TableCheckBlock b = AllButClockAndUsers();
    b.Marks[4] = 1;
    ASSERT_TRUE(WriteFlaggedTables(b, &bar, &progress));
    const std::vector<Write> flow16 = {{9, 0, 6},   {17, 0, 16}, {18, 0, 16}, {19, 0, 16},
                                       {20, 0, 16}, {13, 0, 14}, {13, 14, 2}, {4, 0, 10}, {4, 10, 6}};
    EXPECT_EQ(Writes(), Join(flow16, kRestOfTheTables));

    // A count no controller can have: the 16 rows there are.
    emu.ClearLog();
    ConfigImage[cfgofs::kFlowLink] = 200;
    b = AllButClockAndUsers();
    b.Marks[4] = 1;
    ASSERT_TRUE(WriteFlaggedTables(b, &bar, &progress));
    EXPECT_EQ(Writes(), Join(flow16, kRestOfTheTables));

    // None in use: no empty requests, and the marks are done with.
    emu.ClearLog();
    ConfigImage[cfgofs::kFlowLink] = 0;
    b = AllButClockAndUsers();
    ASSERT_TRUE(WriteFlaggedTables(b, &bar, &progress));
    EXPECT_EQ(Writes(), Join({{9, 0, 6}}, kRestOfTheTables));
    EXPECT_EQ(b.Marks[13] + b.Marks[17] + b.Marks[20], 0);
}

TEST_F(WriteTables, FailedRequestStopsAndKeepsTheRemainingMarks) {
    Open();
    ConfigImage[cfgofs::kFlowLink] = 2;
    TableCheckBlock b = AllButClockAndUsers();
    emu.QueueFault({emu::FaultKind::Silence});  // table 9
    emu.QueueFault({emu::FaultKind::ErrorReply, 12});  // its repeat
    drv.expectQuestion(7, "Не виконано  запис в таблицю 9.",
                       "\"" + std::string(texts::TableNames.At(9)) + "\".", true);
    drv.expectQuestion(7, "Не виконано  запис в таблицю 9.",
                       "\"" + std::string(texts::TableNames.At(9)) + "\".", false);
    EXPECT_FALSE(WriteFlaggedTables(b, &bar, &progress));
    EXPECT_EQ(Writes(), (std::vector<Write>{{9, 0, 6}, {9, 0, 6}}));
    EXPECT_EQ(b.Marks[9], 1);
    EXPECT_EQ(b.Marks[3], 1);
    EXPECT_EQ(b.Marks[46], 1);
}

TEST_F(WriteTables, TheLinkFollowsTable3WrittenLast) {
    Open(9600);
    emu.SetLineRateCheck(true);
    ConfigImage[cfgofs::kFlowLink] = 2;
    RowPtr(3, 0)[0] = 7;
    RowPtr(3, 1)[0] = 15;  // 19200 baud
    TableCheckBlock b = AllButClockAndUsers();
    ASSERT_TRUE(WriteFlaggedTables(b, &bar, &progress));
    EXPECT_EQ(std::get<0>(Writes().back()), 3);
    for (const emu::ReceivedFrame& f : emu.Log()) EXPECT_TRUE(f.answered);
    EXPECT_EQ(emu.Address(), 7);
    EXPECT_EQ(box.Address, 7);
    EXPECT_EQ(box.Baud, 19200u);
    EXPECT_EQ(ProgramSettings.Dir.Adr, 7);
    EXPECT_EQ(ProgramSettings.Dir.Rate, 19200u);
    EXPECT_TRUE(ReadTableRange({3, 0, 4}, &bar, false));  // the controller answers there

    // With the disconnect to follow the link stays where it was; the
    // settings hold the new address and rate for the next connection.
    RestoreThenDisconnect = 1;
    RowPtr(3, 0)[0] = 9;
    RowPtr(3, 1)[0] = 11;  // 9600
    b = TableCheckBlock{};
    b.Marks[3] = 1;
    ASSERT_TRUE(WriteFlaggedTables(b, &bar, &progress));
    EXPECT_EQ(emu.Address(), 9);
    EXPECT_EQ(box.Address, 7);
    EXPECT_EQ(box.Baud, 19200u);
    EXPECT_EQ(ProgramSettings.Dir.Adr, 9);
    EXPECT_EQ(ProgramSettings.Dir.Rate, 9600u);
}

TEST_F(WriteTables, BaudCodeWithoutARateKeepsTheOldRate) {
    Open();
    // A controller that takes any table 3.
    emu.WithController([](emu::Controller& c) {
        c.SetHandler(2, 0, [](emu::Controller& ctl, const emu::Request& r) {
            return ctl.Ok(2, {0, r.data[17], r.data[18], r.data[19]});
        });
    });
    ProgramSettings.Dir.Rate = 115200;
    RowPtr(3, 0)[0] = 1;
    RowPtr(3, 1)[0] = 40;
    TableCheckBlock b;
    b.Marks[3] = 1;
    ASSERT_TRUE(WriteFlaggedTables(b, &bar, &progress));
    EXPECT_EQ(box.Baud, 115200u);
    EXPECT_EQ(ProgramSettings.Dir.Rate, 115200u);
    EXPECT_TRUE(ReadTableRange({3, 0, 4}, &bar, false));
}
