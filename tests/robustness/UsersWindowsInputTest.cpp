// Typed input of the users windows: names of four characters, passwords of
// twelve and identification codes of four digits, each pair typed twice.
// A code is digits only whatever is pasted; a missing name or code gets the
// window's message and leaves the users table (or the credentials) as it
// was.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "WindowInput.h"
#include "config/Access.h"
#include "config/Changeaccess.h"
#include "config/ConfigImage.h"
#include "config/Shortuspass.h"
#include "config/Users.h"
#include "config/Uspass.h"

namespace {

using wi::Msg;

UserRow User(const char* name, uint8_t level, const char* password, const char* code) {
    UserRow u = BlankUser();
    SetField(u.Name, sizeof u.Name, name);
    u.Level = level;
    SetField(u.Password, sizeof u.Password, password);
    SetField(u.Code, sizeof u.Code, code);
    return u;
}

UsersTable Table() {
    UsersTable t;
    for (UserRow& u : t) ClearUser(u);
    t[0] = User("ZBR", userlevel::Maker, "12345", "1111");
    t[1] = User("ADM", userlevel::Admin, "pass", "2222");
    return t;
}

// Opens F (whose flag is `Accepted`) on a set-up function.
template <class F> wi::Window::Opener Shows(ui::test::Driver& drv, std::function<void(F&)> setUp) {
    return [&drv, setUp](const std::function<void(ui::Form&)>& act) {
        drv.onModal<F>([&act](F& f) { act(f); });
        auto f = std::make_unique<F>(nullptr);
        setUp(*f);
        f->ShowModal();
        return f->Accepted ? 1 : 0;
    };
}

class UsersWindowsInput : public ::testing::Test {
protected:
    void SetUp() override { InitConfigImage(); }
    void TearDown() override { drv.verify(); }
    ui::test::Driver drv;
};

TEST_F(UsersWindowsInput, NamesPasswordsAndCodesTakeOnlyWhatTheyCanHold) {
    const Msg noCode{2, "Не заданий код ідентифікації користувача", ""};
    auto password = [](const char* name, const char* twin) {
        wi::Field f = wi::Text(name, 12, nullptr);
        if (twin) f.twin = twin;
        return f;
    };

    // All rows of a record: the two registered users need a name; the free
    // rows take any text and keep none of it.
    UsersTable rows = Table();
    std::vector<wi::Field> access;
    for (int r = 0; r < kUserCount; ++r) {
        const std::string edit = "ek" + std::to_string(r + 1);
        if (r < 2) {
            const Msg noName{2, "Номер користувача у таблиці: " + std::to_string(r + 1) + ".", "Не задано ім'я користувача"};
            access.push_back(wi::Text(edit, 4, &noName, true));
        } else {
            access.push_back(wi::Text(edit, 4, nullptr));
        }
    }
    wi::Window all{"TFormAccess", [&rows] { return wi::Bytes(rows); },
                   Shows<TFormAccess>(drv, [&rows](TFormAccess& f) { f.Rows = rows.data(); }), "BitBtn1", "BitBtn2",
                   access};
    all.reset = [&rows] { rows = Table(); };
    wi::Check(drv, all);

    // One row of the controller's table (the maker's, shown first).
    const Msg noName{2, "Номер користувача в таблиці - 1.", "Не задано им'я користувача"};
    wi::Window one{"TFormChangeAccess", [] { return wi::Bytes(ImageUsers()); },
                   Shows<TFormChangeAccess>(drv, [](TFormChangeAccess&) {}), "BitBtn1", "BitBtn2",
                   {wi::Text("Edit5", 4, &noName, true), password("Edit1", "Edit2"),
                    wi::Code("Edit3", "Edit4", 4, noCode)}};
    one.reset = [] { StoreUsers(TablePtr(kUsersTable), Table()); };
    one.reset();
    wi::Check(drv, one);

    // One user's password and code.
    char pass[12], code[4];
    std::memset(pass, ' ', sizeof pass);
    std::memcpy(code, "1234", 4);
    auto credentials = [&pass, &code] { return std::string(pass, sizeof pass) + std::string(code, sizeof code); };
    wi::Check(drv, {"TFormUsPass", credentials,
                    [&](const std::function<void(ui::Form&)>& act) {
                        drv.onModal<TFormUsPass>([&act](TFormUsPass& f) { act(f); });
                        TFormUsPass f(nullptr);
                        std::memcpy(f.Password, pass, sizeof pass);
                        std::memcpy(f.Code, code, sizeof code);
                        f.ShowModal();
                        if (f.Accepted) {
                            std::memcpy(pass, f.Password, sizeof pass);
                            std::memcpy(code, f.Code, sizeof code);
                        }
                        return f.Accepted ? 1 : 0;
                    },
                    "BitBtn1", "BitBtn2", {password("Edit1", "Edit2"), wi::Code("Edit3", "Edit4", 4, noCode)}});

    // The operator's own identification: both edits start empty.
    wi::Window shortUsPass{"TFormShortUsPass", credentials,
                           [&](const std::function<void(ui::Form&)>& act) {
                               drv.onModal<TFormShortUsPass>([&act](TFormShortUsPass& f) { act(f); });
                               TFormShortUsPass f(nullptr);
                               f.ShowModal();
                               if (f.Accepted) {
                                   std::memcpy(pass, f.Password, sizeof pass);
                                   std::memcpy(code, f.Code, sizeof code);
                               }
                               return f.Accepted ? 1 : 0;
                           },
                           "BitBtn1", "BitBtn2", {wi::Code("Edit1", "", 4, noCode), password("Edit2", nullptr)}};
    shortUsPass.prepare = [](ui::Form& f) { wi::Put(f, "Edit1", "5555"); };
    wi::Check(drv, shortUsPass);
}

// What reaches a row is blank-padded and cut to its field: a pasted code
// keeps its digits only.
TEST_F(UsersWindowsInput, AcceptedCodesHoldDigitsOnly) {
    for (const char* typed : {"1a2b", "98765", "  7 "}) {
        SCOPED_TRACE(typed);
        drv.onModal<TFormUsPass>([typed](TFormUsPass& f) {
            f.Edit3.SetText(typed);
            f.Edit4.SetText(typed);
            f.BitBtn1.Click();
        });
        TFormUsPass f(nullptr);
        f.StartEmpty = true;
        f.ShowModal();
        ASSERT_TRUE(f.Accepted);
        const std::string stored(f.Code, sizeof f.Code);
        EXPECT_EQ(stored.find_first_not_of("0123456789 "), std::string::npos) << stored;
        EXPECT_NE(stored.find_first_of("0123456789"), std::string::npos) << stored;
    }
}

}  // namespace
