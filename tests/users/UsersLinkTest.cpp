// The users table against the controller emulator, over a pseudo-terminal
// linked as WorkDir/dev/com7 and over loopback TCP: the operator's
// identification, the credentials in every write frame, the user-access
// menu item from the table states to the written row, and the controller's
// refusals with their texts.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "UsersTestUtil.h"
#include "common/Question.h"
#include "common/Stringi.h"
#include "config/Access.h"
#include "config/Changeaccess.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "config/Shortuspass.h"
#include "emulator/Emulator.h"
#include "link/Hgcbox.h"
#include "platform/Paths.h"
#include "support/EmulatorLink.h"
#include "support/TestFolders.h"
#include "ui/TestDriver.h"

using namespace userstest;

namespace {

using Header = std::tuple<int, int, int>;

// A write request as the controller got it.
struct WriteFrame {
    std::string password, code;
    Header header;
    std::vector<uint8_t> rows;
};

class UsersLink : public ::testing::TestWithParam<bool> {  // true: TCP
protected:
    void SetUp() override {
        dir = zbr_test::FreshWorkDir("users");

        if (GetParam()) zbr_test::OpenOverTcp(emu, box);
        else zbr_test::OpenOverPty(emu, box, dir, 7, 115200);
        if (HasFatalFailure()) return;
        HgcBox = &box;
        for (int i = 0; i < 4; ++i) bar.AddPanel(100);
        InitConfigImage();
        drv.onProcessMessages([this] {
            const std::string& s = bar.PanelText(kPanelExchangeText);
            if (!s.empty()) panelSeen.insert(s);
        });
    }
    void TearDown() override {
        drv.verify();
        HgcBox = nullptr;
        box.ClosePort();
        box.CloseSocket();
        emu.Stop();
    }

    void Identify(const std::string& code, const std::string& password) {
        drv.onModal<TFormShortUsPass>([code, password](TFormShortUsPass& f) {
            f.Edit1.TypeText(code);
            f.Edit2.TypeText(password);
            f.BitBtn1.Click();
        });
        ASSERT_TRUE(AskUserIdentity());
    }

    std::vector<Header> Reads() const {
        std::vector<Header> out;
        for (const emu::ReceivedFrame& f : emu.Log())
            if (f.command == 1 && f.data.size() >= 4) out.emplace_back(f.data[1], f.data[2], f.data[3]);
        return out;
    }

    std::vector<WriteFrame> Writes() const {
        std::vector<WriteFrame> out;
        for (const emu::ReceivedFrame& f : emu.Log()) {
            if (f.command != 2 || f.data.size() < 20) continue;
            WriteFrame w;
            w.password.assign(f.data.begin(), f.data.begin() + 12);
            w.code.assign(f.data.begin() + 12, f.data.begin() + 16);
            w.header = {f.data[17], f.data[18], f.data[19]};
            w.rows.assign(f.data.begin() + 20, f.data.end());
            out.push_back(std::move(w));
        }
        return out;
    }

    UserRow EmuUser(int row) const {
        const std::vector<uint8_t> t = emu.Table(kUsersTable);
        UserRow u;
        std::memcpy(&u, t.data() + row * sizeof(UserRow), sizeof u);
        return u;
    }

    static std::vector<uint8_t> RowBytes(const UserRow& u) {
        const auto* p = reinterpret_cast<const uint8_t*>(&u);
        return {p, p + sizeof u};
    }

    // A new user typed into the user-access window.
    void AddUserInWindow(int row, const std::string& name, const char* level, const std::string& password,
                         const std::string& code) {
        drv.onModal<TFormChangeAccess>([=](TFormChangeAccess& f) {
            f.ComboBox1.Select(row);
            f.Edit5.SetText(name);
            f.ComboBox2.Select(std::string(level));
            for (ui::Edit* e : {&f.Edit1, &f.Edit2}) e->SetText(password);
            for (ui::Edit* e : {&f.Edit3, &f.Edit4}) e->SetText(code);
            f.BitBtn1.Click();
            EXPECT_EQ(f.ModalResult(), ui::mrOk);
        });
    }

    std::string WriteFailedTitle() const { return "\"" + std::string(texts::TableNames.At(kUsersTable)) + "\"."; }

    std::filesystem::path dir;
    emu::Emulator emu;
    hgcbox box{1};
    ui::test::Driver drv;
    ui::StatusBar bar{nullptr, "StatusBar1"};
    std::set<std::string> panelSeen;
};

}  // namespace

TEST_P(UsersLink, IdentifiedManufacturerAddsAUser) {
    Identify("1111", "12345");
    EXPECT_EQ(Bytes(box.WritePassword, 12), "12345       ");
    EXPECT_EQ(Bytes(box.UserCode, 4), "1111");

    AddUserInWindow(1, "Опер", "Оператор", "pw", "77");
    ASSERT_TRUE(ChangeUserAccess(&bar));
    EXPECT_EQ(Reads(), (std::vector<Header>{{7, 0, 47}, {4, 0, 11}, {4, 11, 5}}));

    const UserRow expected = User("Опер", userlevel::Operator, "pw", "77");
    const std::vector<WriteFrame> w = Writes();
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].password, "12345       ");
    EXPECT_EQ(w[0].code, "1111");
    EXPECT_EQ(w[0].header, Header(4, 1, 1));
    EXPECT_EQ(w[0].rows, RowBytes(expected));
    EXPECT_EQ(RowBytes(EmuUser(1)), RowBytes(expected));
    EXPECT_EQ(RowBytes(ImageUser(1)), RowBytes(expected));
    EXPECT_TRUE(panelSeen.count("Запис в таблицю 4 (поле 1)"));
    EXPECT_EQ(ui::Screen::Cursor(), ui::Cursor::Default);

    // The new operator identifies; the controller takes him, but not for
    // the users table.
    Identify("77", "pw");
    emu.ClearLog();
    panelSeen.clear();
    AddUserInWindow(2, "Інж", "Інженер", "", "88");
    drv.expectQuestion(7, "Не виконано  запис в таблицю 4.", WriteFailedTitle(), false);
    EXPECT_FALSE(ChangeUserAccess(&bar));
    EXPECT_TRUE(panelSeen.count("Команда 2.  Недостатній рівень доступу"));
    ASSERT_EQ(Writes().size(), 1u);
    EXPECT_EQ(Writes()[0].password, "pw          ");
    EXPECT_EQ(Writes()[0].code, "77  ");
    // The image keeps the controller's row.
    EXPECT_EQ(RowBytes(ImageUser(2)), RowBytes(EmuUser(2)));
    EXPECT_EQ(EmuUser(2).Level, 0);
}

TEST_P(UsersLink, WrongCredentialsGetTheControllersRefusal) {
    // No password typed: 12 blanks go out, which this controller refuses.
    Identify("1111", "");
    AddUserInWindow(3, "ADM", "Адміністратор", "a", "33");
    drv.expectQuestion(7, "Не виконано  запис в таблицю 4.", WriteFailedTitle(), true);
    drv.expectQuestion(7, "Не виконано  запис в таблицю 4.", WriteFailedTitle(), false);
    EXPECT_FALSE(ChangeUserAccess(&bar));
    EXPECT_TRUE(panelSeen.count("Команда 2.  Користувач не зареєстрований або неправильний пароль"));
    EXPECT_EQ(bar.PanelText(kPanelExchangeText), "");
    const std::vector<WriteFrame> w = Writes();
    ASSERT_EQ(w.size(), 2u);  // the operator tried once more
    for (const WriteFrame& f : w) {
        EXPECT_EQ(f.password, std::string(12, ' '));
        EXPECT_EQ(f.code, "1111");
    }
    EXPECT_EQ(EmuUser(3).Level, 0);
    EXPECT_EQ(ImageUser(3).Level, 0);

    // Identified again, the same edit goes through.
    Identify("1111", "12345");
    AddUserInWindow(3, "ADM", "Адміністратор", "a", "33");
    EXPECT_TRUE(ChangeUserAccess(&bar));
    EXPECT_EQ(EmuUser(3).Level, userlevel::Admin);
}

TEST_P(UsersLink, ControllerRulesTheProgramDoesNotCheck) {
    Identify("1111", "12345");
    // The user-access window does not compare codes: the controller does.
    AddUserInWindow(1, "OP", "Оператор", "", "1111");
    drv.expectQuestion(7, "Не виконано  запис в таблицю 4.", WriteFailedTitle(), false);
    EXPECT_FALSE(ChangeUserAccess(&bar));
    EXPECT_TRUE(panelSeen.count("Команда 2.  Користувач не може бути зареєстрований"));

    // The users window lets the last administrator go: the controller does not.
    UsersTable t = FactoryUsers();
    t[1] = User("ADM", userlevel::Admin, "a", "22");
    std::vector<uint8_t> bytes(kUsersTableBytes);
    StoreUsers(bytes.data(), t);
    emu.SetTable(kUsersTable, bytes);
    uint8_t record[kUsersTableBytes];
    StoreUsers(record, t);
    TFormAccess f(nullptr);
    f.Rows = reinterpret_cast<UserRow*>(record);
    f.Mode = 1;
    drv.onModal<TFormAccess>([](TFormAccess& f) {
        f.cb[1]->Select(3);
        f.BitBtn3.Click();
    });
    f.ShowModal();
    ASSERT_TRUE(f.Accepted);
    StoreUsers(TablePtr(kUsersTable), LoadUsers(record));
    panelSeen.clear();
    drv.expectQuestion(7, "Не виконано  запис в таблицю 4.", WriteFailedTitle(), false);
    EXPECT_FALSE(WriteTableRange({4, 0, 10}, &bar, true));
    EXPECT_TRUE(panelSeen.count("Команда 2.  Видалення останнього адміністратора не допускається"));
    EXPECT_EQ(EmuUser(1).Level, userlevel::Admin);
}

TEST_P(UsersLink, DamagedUsersTable) {
    Identify("1111", "12345");
    emu.SetTableDamaged(kUsersTable, true);
    // The menu item stops after the table states: no window, no write.
    drv.expectMessage(4, "Таблиця доступу користувачів", "вимагає повного перезапису");
    EXPECT_FALSE(ChangeUserAccess(&bar));
    EXPECT_EQ(Reads(), (std::vector<Header>{{7, 0, 47}}));
    EXPECT_EQ(drv.messages().back().lines[2], "(див. поточний стан контролера)");

    // Restored from a record with blank credentials, in two requests; the
    // operator's credentials come back afterwards.
    StoreUsers(TablePtr(kUsersTable), FactoryUsers());
    {
        BlankCredentials blank;
        EXPECT_EQ(Bytes(box.WritePassword, 12), std::string(12, ' '));
        ASSERT_TRUE(WriteTableRange({4, 0, 10}, &bar, true));
        ASSERT_TRUE(WriteTableRange({4, 10, 6}, &bar, true));
    }
    EXPECT_EQ(Bytes(box.WritePassword, 12), "12345       ");
    EXPECT_EQ(Bytes(box.UserCode, 4), "1111");
    for (const WriteFrame& w : Writes()) EXPECT_EQ(w.password + w.code, std::string(16, ' '));
    EXPECT_FALSE(emu.TableDamaged(kUsersTable));

    // Whole again, the table takes the operator's edits.
    AddUserInWindow(15, "LAST", "Інженер", "x", "15");
    EXPECT_TRUE(ChangeUserAccess(&bar));
    EXPECT_EQ(EmuUser(15).Level, userlevel::Engineer);
}

INSTANTIATE_TEST_SUITE_P(Link, UsersLink, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Tcp" : "Pty"; });
