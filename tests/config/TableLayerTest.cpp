// The table layer against the controller emulator on a pseudo-terminal
// (linked as WorkDir/dev/com5): requests on the wire, the image, the status
// bar texts and the operator's retry answers through the headless driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "config/Conffun.h"
#include "emulator/Controller.h"
#include "emulator/Emulator.h"
#include "link/Hgcbox.h"
#include "platform/Codepage.h"
#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "support/EmulatorLink.h"
#include "support/TestFolders.h"
#include "ui/Controls.h"
#include "ui/TestDriver.h"

namespace {

using Header = std::tuple<int, int, int>;  // table, first row, rows

class TableLayer : public ::testing::Test {
protected:
    void SetUp() override {
        dir = zbr_test::FreshWorkDir("config");
        std::memcpy(box.WritePassword, "12345       ", 12);
        std::memcpy(box.UserCode, "1111", 4);
        zbr_test::OpenOverPty(emu, box, dir, 5, 115200);
        if (HasFatalFailure()) return;
        HgcBox = &box;

        for (int i = 0; i < 4; ++i) bar.AddPanel(100);
        InitConfigImage();
        // Record what panel 2 shows while the requests run.
        drv.onProcessMessages([this] {
            const std::string& s = bar.PanelText(kPanelExchangeText);
            if (!s.empty()) panelSeen.insert(s);
        });
    }
    void TearDown() override {
        drv.verify();
        HgcBox = nullptr;
        box.ClosePort();
        emu.Stop();
    }

    // Table requests (command 1 or 2) the emulator got since the last call.
    std::vector<Header> Requests(uint8_t command) {
        std::vector<Header> out;
        for (const emu::ReceivedFrame& f : emu.Log()) {
            if (f.command != command) continue;
            // Reads carry {arg, header}; writes {password 12, code 4, arg, header, rows}.
            const std::size_t at = command == 1 ? 1 : 17;
            if (f.data.size() < at + 3) continue;
            out.emplace_back(f.data[at], f.data[at + 1], f.data[at + 2]);
        }
        return out;
    }

    std::vector<uint8_t> Image(int t) {
        std::span<uint8_t> s = TableSpan(t);
        return {s.begin(), s.end()};
    }

    // The image of table t as the controller has it.
    void LoadFromEmulator(int t) {
        std::vector<uint8_t> v = emu.Table(t);
        std::copy(v.begin(), v.end(), TableSpan(t).begin());
    }

    static void SetFloat(int t, int row, float v) { std::memcpy(RowPtr(t, row), &v, 4); }

    std::filesystem::path dir;
    emu::Emulator emu;
    hgcbox box{1};
    ui::test::Driver drv;
    ui::StatusBar bar{nullptr, "StatusBar1"};
    std::set<std::string> panelSeen;
};

std::vector<uint8_t> Cp1251(const std::string& utf8, std::size_t width) {
    std::vector<uint8_t> v(width);
    platform::WriteField(v.data(), width, utf8, ' ', platform::CodePage::Cp1251);
    return v;
}

std::vector<uint8_t> Cp866(const std::string& utf8, std::size_t width) {
    std::vector<uint8_t> v(width);
    platform::WriteField(v.data(), width, utf8, ' ', platform::CodePage::Cp866);
    return v;
}

}  // namespace

TEST_F(TableLayer, ReadsAndWritesRangesOfSeveralTables) {
    ASSERT_TRUE(ReadTableRange({0, 0, 18}, &bar, true));
    ASSERT_TRUE(ReadTableRange({4, 11, 5}, &bar, true));
    ASSERT_TRUE(ReadTableRange({22, 3, 3}, &bar, true));
    ASSERT_TRUE(ReadTableRange({14, 6, 1}, &bar, true));
    EXPECT_EQ(Image(0), emu.Table(0));
    EXPECT_EQ(ConfigImage[cfgofs::kControllerType], 'I');
    const std::vector<uint8_t> users = emu.Table(4);
    EXPECT_TRUE(std::equal(users.begin() + 11 * 22, users.end(), RowPtr(4, 11)));
    EXPECT_EQ(*RowPtr(4, 0), 0);  // rows not asked for stay as they were
    EXPECT_EQ(*RowPtr(14, 6), 3);
    EXPECT_EQ(Requests(1), (std::vector<Header>{{0, 0, 18}, {4, 11, 5}, {22, 3, 3}, {14, 6, 1}}));
    EXPECT_TRUE(panelSeen.count("Читання з таблиці 4 (поля 11-15)"));
    EXPECT_TRUE(panelSeen.count("Читання з таблиці 14 (поле 6)"));
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");

    LoadFromEmulator(23);
    SetFloat(23, 7, 1.5f);
    SetFloat(23, 8, -2.25f);
    ASSERT_TRUE(WriteTableRange({23, 7, 2}, &bar, true));
    ASSERT_TRUE(WriteTableRange({23, 7, 1}, &bar, false));
    EXPECT_EQ(emu.Table(23), Image(23));
    EXPECT_TRUE(panelSeen.count("Запис в таблицю 23 (поля 7-8)"));
    EXPECT_TRUE(panelSeen.count("Запис в таблицю 23 (поле 7)"));  // shown without the show flag too
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");
    // The write frame carries exactly the rows: 26 bytes + 8.
    const std::vector<emu::ReceivedFrame> log = emu.Log();
    EXPECT_EQ(log[log.size() - 2].bytes.size(), 34u);
    EXPECT_TRUE(drv.messages().empty());
}

TEST_F(TableLayer, ChangedRowsDecideTheRequestsOnTheWire) {
    for (int t : {13, 21, 22, 44}) LoadFromEmulator(t);
    auto write = [&](int t, int first, int rows, std::vector<int> changed) {
        const std::vector<uint8_t> old(RowPtr(t, first), RowPtr(t, first) + rows * ConfigTableDir[t].rowSize);
        for (int r : changed) *(RowPtr(t, r) + ConfigTableDir[t].rowSize - 1) ^= 0x5A;
        emu.ClearLog();
        EXPECT_TRUE(WriteChangedRows({uint8_t(t), uint8_t(first), uint8_t(rows)}, old, &bar));
        EXPECT_EQ(emu.Table(t), Image(t)) << "table " << t;
        return Requests(2);
    };
    EXPECT_EQ(write(22, 0, 20, {}), std::vector<Header>{});
    EXPECT_EQ(write(22, 0, 20, {2, 5}), (std::vector<Header>{{22, 2, 4}}));
    EXPECT_EQ(write(21, 0, 20, {0, 19}), (std::vector<Header>{{21, 0, 20}}));
    EXPECT_EQ(write(22, 0, 20, {0, 19}), (std::vector<Header>{{22, 0, 1}, {22, 19, 1}}));
    EXPECT_EQ(write(44, 0, 20, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18}), (std::vector<Header>{{44, 0, 19}}));
    EXPECT_EQ(write(22, 0, 20, {9}), (std::vector<Header>{{22, 9, 1}}));
    EXPECT_TRUE(panelSeen.count("Запис в таблицю 22 (поле 9)"));
    // An editor's range in the middle of the table.
    EXPECT_EQ(write(22, 10, 5, {11, 12}), (std::vector<Header>{{22, 11, 2}}));
    // All 16 flow-computer passwords: too long for one frame, cut at 229 bytes.
    EXPECT_EQ(write(13, 0, 16, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
              (std::vector<Header>{{13, 0, 14}, {13, 14, 2}}));
    for (const emu::ReceivedFrame& f : emu.Log()) EXPECT_LE(f.bytes.size(), 255u);
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");
}

TEST_F(TableLayer, EchoMismatchNeverReachesTheImage) {
    std::span<uint8_t> t22 = TableSpan(22);
    std::fill(t22.begin(), t22.end(), 0xEE);
    const std::vector<uint8_t> before = Image(22);

    // Wrong first row in the echo: the question, "Ні", nothing copied.
    emu.QueueFault({emu::FaultKind::WrongEcho, 0});
    drv.expectQuestion(7, "Неспівпадіння запитаних і переданих даних.",
                       "Табл. 22 \" Зона нечутливості змін параметрів газу\".", false);
    EXPECT_FALSE(ReadTableRange({22, 0, 20}, &bar, true));
    EXPECT_EQ(Image(22), before);
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");

    // The check runs without the show flag as well; "Так" reads again.
    emu.QueueFault({emu::FaultKind::WrongEcho, 2});
    drv.expectQuestion(7, "Неспівпадіння запитаних і переданих даних.",
                       "Табл. 22 \" Зона нечутливості змін параметрів газу\".", true);
    EXPECT_TRUE(ReadTableRange({22, 0, 20}, &bar, false));
    EXPECT_EQ(Image(22), emu.Table(22));

    // A reply one byte short of the rows asked for counts as a mismatch.
    std::fill(t22.begin(), t22.end(), 0xEE);
    emu.WithController([](emu::Controller& c) {
        c.SetHandler(1, 10, [](emu::Controller& self, const emu::Request& r) {
            std::vector<uint8_t> d{0, r.data[1], r.data[2], r.data[3]};
            d.resize(d.size() + std::size_t(r.data[3]) * 4 - 1, 0x77);
            return self.Ok(1, d);
        });
    });
    drv.expectQuestion(7, "Неспівпадіння запитаних і переданих даних.",
                       "Табл. 22 \" Зона нечутливості змін параметрів газу\".", false);
    EXPECT_FALSE(ReadTableRange({22, 0, 20}, &bar, true));
    EXPECT_EQ(Image(22), before);

    // Writes compare the echo too.
    emu.FactoryReset();
    LoadFromEmulator(23);
    SetFloat(23, 0, 9.0f);
    emu.QueueFault({emu::FaultKind::WrongEcho, 1});
    drv.expectQuestion(7, "Невідповідність заголовку відповіді заголовку запиту на запис.",
                       "Табл. 23 \" Нижня попереджувальна уставка параметрів газу\".", false);
    EXPECT_FALSE(WriteTableRange({23, 0, 1}, &bar, true));
}

TEST_F(TableLayer, FailedWriteAsksAndShowsTheLinkError) {
    LoadFromEmulator(24);
    SetFloat(24, 3, 77.0f);
    emu.QueueFault({emu::FaultKind::ErrorReply, 12});
    drv.expectQuestion(7, "Не виконано  запис в таблицю 24.",
                       "\" Верхня попереджувальна уставка параметрів газу\".", false);
    EXPECT_FALSE(WriteTableRange({24, 3, 1}, &bar, true));
    EXPECT_TRUE(panelSeen.count("Команда 2.  Запис до таблиці не допускається"));
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");
    EXPECT_NE(emu.Table(24), Image(24));

    const ui::MessageInfo* m = drv.findMessage("Не виконано  запис в таблицю 24.");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->lines[2], "Повторити спробу?");
    EXPECT_TRUE(m->question);

    // A failed read asks with its own texts.
    emu.QueueFault({emu::FaultKind::Silence});
    drv.expectQuestion(7, "Не виконано читання з таблиці 6.", "\" Системні параметри\"", false);
    EXPECT_FALSE(ReadTableRange({6, 0, 12}, &bar, true));
    EXPECT_TRUE(panelSeen.count("Команда 1.  Пристрій не відповідає"));
}

TEST_F(TableLayer, RetryAnsweredYesThenNo) {
    std::span<uint8_t> t6 = TableSpan(6);
    std::fill(t6.begin(), t6.end(), 0xEE);
    const std::vector<uint8_t> before = Image(6);
    emu.QueueFault({emu::FaultKind::Silence});
    emu.QueueFault({emu::FaultKind::Silence});
    drv.expectQuestion(7, "Не виконано читання з таблиці 6.", "\" Системні параметри\"", true);
    drv.expectQuestion(7, "Не виконано читання з таблиці 6.", "\" Системні параметри\"", false);
    EXPECT_FALSE(ReadTableRange({6, 0, 12}, &bar, true));
    EXPECT_EQ(Requests(1).size(), 2u);
    EXPECT_EQ(Image(6), before);

    // "Так" after a failed write sends it again, and it goes through.
    emu.ClearLog();
    LoadFromEmulator(25);
    SetFloat(25, 0, 3.0f);
    emu.QueueFault({emu::FaultKind::CutFrame, 3});
    drv.expectQuestion(7, "Не виконано  запис в таблицю 25.",
                       "\" Нижня межа знач. парам. газу, допустимого для запису в ОВГ\".", true);
    EXPECT_TRUE(WriteTableRange({25, 0, 1}, &bar, true));
    EXPECT_EQ(Requests(2), (std::vector<Header>{{25, 0, 1}, {25, 0, 1}}));
    EXPECT_EQ(emu.Table(25), Image(25));
}

// A reply that comes after its request gave up -- late, or held back until
// the next request -- never answers a later read: after the failed read is
// asked again, every following read of other tables goes through without
// the echo question and brings that table's rows. So after a reply slower
// byte by byte than the byte wait (1.3 s here), which fails its attempt.
TEST_F(TableLayer, ReadsAfterALateReplyMeetNoEchoMismatch) {
    box.ByteTimeoutMs = 40;
    box.ReplyTimeoutMs = 300;
    const struct {
        emu::Fault fault;
        bool asked;
    } cases[] = {{{emu::FaultKind::ReplyDelay, 400}, true},
                 {{emu::FaultKind::ByteDelay, 60}, true},
                 {{emu::FaultKind::HeldReply, 0}, true}};
    for (const auto& [f, asked] : cases) {
        SCOPED_TRACE(int(f.kind));
        emu.QueueFault(f);
        if (asked) drv.expectQuestion(7, "Не виконано читання з таблиці 6.", "\" Системні параметри\"", true);
        ASSERT_TRUE(ReadTableRange({6, 0, 12}, &bar, true));
        EXPECT_EQ(Image(6), emu.Table(6));
        for (int t : {3, 5, 9, 14, 15, 22, 23, 24, 25, 4}) {
            std::span<uint8_t> image = TableSpan(t);
            std::fill(image.begin(), image.end(), 0xEE);
            ASSERT_TRUE(ReadWholeTable(t, &bar, true)) << t;
            std::vector<uint8_t> want = emu.Table(t);
            if (t == 5) CodePage866To1251(want.data(), want.size());
            EXPECT_EQ(Image(t), want) << t;
        }
        drv.verify();
    }
}

TEST_F(TableLayer, WithoutShowFlagAFailureIsSilent) {
    emu.QueueFault({emu::FaultKind::Silence});
    EXPECT_FALSE(ReadTableRange({6, 0, 12}, &bar, false));
    EXPECT_TRUE(drv.messages().empty());
    EXPECT_TRUE(panelSeen.empty());
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");

    // A write shows its progress text whatever the flag, but a silent
    // failure does not leave it behind.
    LoadFromEmulator(23);
    SetFloat(23, 4, 8.5f);
    emu.QueueFault({emu::FaultKind::Silence});
    EXPECT_FALSE(WriteTableRange({23, 4, 1}, &bar, false));
    EXPECT_TRUE(drv.messages().empty());
    EXPECT_TRUE(panelSeen.count("Запис в таблицю 23 (поле 4)"));
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");
}

TEST_F(TableLayer, EscDuringARequestEndsItWithoutTheRetryQuestion) {
    // Esc arrives while the reply is awaited: the read stops, the link's
    // text stays in the panel, and no "repeat?" question holds the operator.
    emu.QueueFault({emu::FaultKind::ReplyDelay, 200});
    drv.onProcessMessages([this] {
        if (box.Busy()) box.Abort = true;
    });
    EXPECT_FALSE(ReadTableRange({6, 0, 12}, &bar, true));
    EXPECT_EQ(box.Error, hgcbox::kErrAborted);
    EXPECT_TRUE(drv.messages().empty());
}

TEST_F(TableLayer, UnsoundRangesAreRefusedWithoutSending) {
    EXPECT_FALSE(ReadTableRange({22, 0, 0}, &bar, false));
    EXPECT_FALSE(ReadTableRange({22, 19, 2}, &bar, false));
    EXPECT_FALSE(ReadTableRange({4, 0, 12}, &bar, false));   // 264 bytes > 245
    EXPECT_FALSE(ReadTableRange({31, 0, 1}, &bar, false));
    EXPECT_FALSE(ReadTableRange({47, 0, 1}, &bar, false));
    EXPECT_FALSE(WriteTableRange({4, 0, 11}, &bar, false));  // 242 bytes > 229
    EXPECT_FALSE(WriteTableRange({13, 0, 16}, &bar, false));
    EXPECT_FALSE(WriteTableRange({23, 20, 1}, &bar, false));
    EXPECT_TRUE(drv.messages().empty());
    // With the show flag the operator is told.
    drv.expectMessage(1, "Поля 19-20 поза таблицею 22 (поля 0-19)");
    EXPECT_FALSE(ReadTableRange({22, 19, 2}, &bar, true));
    // An old copy of the wrong size is refused too.
    const std::vector<uint8_t> shortCopy(10);
    drv.expectMessage(1, "Невірна копія полів таблиці 22");
    EXPECT_FALSE(WriteChangedRows({22, 0, 20}, shortCopy, &bar));
    EXPECT_TRUE(emu.Log().empty());
    // The largest ranges that fit still go.
    EXPECT_TRUE(ReadTableRange({4, 0, 11}, &bar, false));
    EXPECT_TRUE(WriteTableRange({4, 0, 10}, &bar, false));
    EXPECT_EQ(emu.Log().size(), 2u);
}

TEST_F(TableLayer, ReadAllTablesOneRequestPerChunk) {
    ASSERT_TRUE(ReadTableRange({0, 0, 18}, &bar, true));
    emu.ClearLog();
    ui::ProgressBar progress{nullptr, "ProgressBar1"};
    ASSERT_TRUE(ReadAllTables(&bar, &progress));

    std::vector<Header> expected;
    for (int t : {2, 3}) expected.emplace_back(t, 0, ConfigTableDir[t].rows);
    expected.emplace_back(4, 0, 11);
    expected.emplace_back(4, 11, 5);
    for (int t : {5, 6, 9, 14, 15, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 28, 29, 43, 44, 45, 46})
        expected.emplace_back(t, 0, ConfigTableDir[t].rows);
    EXPECT_EQ(Requests(1), expected);
    EXPECT_EQ(emu.Log().size(), expected.size());
    for (int t : {3, 4, 6, 9, 14, 22, 29, 46}) EXPECT_EQ(Image(t), emu.Table(t)) << "table " << t;
    EXPECT_EQ(progress.Max(), 26);
    EXPECT_EQ(progress.Position(), 26);
    // Names came in code page 866 and are kept in Windows-1251.
    EXPECT_EQ(bar.PanelText(kPanelControllerName), "ГРС-1 Дослiдна");  // 866 has no Ukrainian і
    EXPECT_EQ(Image(5), [] {
        std::vector<uint8_t> v = Cp1251("ГРС-1 Дослiдна", 20);
        for (const char* s : {"Нитка 1", "Нитка 2"}) {
            std::vector<uint8_t> r = Cp1251(s, 20);
            v.insert(v.end(), r.begin(), r.end());
        }
        return v;
    }());
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");

    // A failure the operator gives up on ends the read at once.
    emu.ClearLog();
    emu.QueueFault({emu::FaultKind::Silence});
    drv.expectQuestion(7, "Не виконано читання з таблиці 2.", "\" Поточні дата і час контролера\"", false);
    EXPECT_FALSE(ReadAllTables(&bar, &progress));
    EXPECT_EQ(emu.Log().size(), 1u);
}

TEST_F(TableLayer, NamesTravelInCodePage866AndStayWindows1251InTheImage) {
    ASSERT_TRUE(ReadTableRange({0, 0, 18}, &bar, true));
    ASSERT_EQ(ConfigImage[cfgofs::kNamesCodePage], 0);
    ASSERT_TRUE(ReadTableRange({5, 0, 3}, &bar, true));
    EXPECT_EQ(ControllerName(), "ГРС-1 Дослiдна");

    // Write a new line-1 name: the controller gets 866, the image keeps 1251.
    const std::vector<uint8_t> name1251 = Cp1251("Труба ЇЄЁ №2", 20);
    std::copy(name1251.begin(), name1251.end(), RowPtr(5, 1));
    const std::vector<uint8_t> image = Image(5);
    ASSERT_TRUE(WriteTableRange({5, 1, 1}, &bar, true));
    const std::vector<uint8_t> onController = emu.Table(5);
    EXPECT_TRUE(std::equal(onController.begin() + 20, onController.begin() + 40, Cp866("Труба ЇЄЁ №2", 20).begin()));
    EXPECT_EQ(Image(5), image);

    // Failed and declined: the image still holds Windows-1251.
    emu.QueueFault({emu::FaultKind::ErrorReply, 4});
    drv.expectQuestion(7, "Не виконано  запис в таблицю 5.", "\" Назва контролера\".", false);
    EXPECT_FALSE(WriteTableRange({5, 0, 3}, &bar, true));
    EXPECT_EQ(Image(5), image);
    // Echo mismatch: the same.
    emu.QueueFault({emu::FaultKind::WrongEcho, 0});
    drv.expectQuestion(7, "Невідповідність заголовку відповіді заголовку запиту на запис.",
                       "Табл. 5 \" Назва контролера\".", false);
    EXPECT_FALSE(WriteTableRange({5, 0, 3}, &bar, true));
    EXPECT_EQ(Image(5), image);

    // Read back: the same Windows-1251 bytes.
    std::span<uint8_t> t5 = TableSpan(5);
    std::fill(t5.begin(), t5.end(), 0);
    ASSERT_TRUE(ReadTableRange({5, 0, 3}, &bar, true));
    EXPECT_EQ(Image(5), image);

    // A controller that keeps names in Windows-1251: no conversion either way.
    std::vector<uint8_t> t0 = emu.Table(0);
    t0[12] = 1;
    emu.SetTable(0, t0);
    ASSERT_TRUE(ReadTableRange({0, 0, 18}, &bar, true));
    ASSERT_TRUE(WriteTableRange({5, 1, 1}, &bar, true));
    const std::vector<uint8_t> raw = emu.Table(5);
    EXPECT_TRUE(std::equal(raw.begin() + 20, raw.begin() + 40, name1251.begin()));
    ASSERT_TRUE(ReadTableRange({5, 0, 3}, &bar, true));
    EXPECT_EQ(Image(5), raw);
}
