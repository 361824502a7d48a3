// The users check: each rule, its place in the order of the checks, and its
// message in both wordings, shown through the program's message box.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "UsersTestUtil.h"
#include "config/Users.h"
#include "ui/TestDriver.h"

using namespace userstest;

namespace {

struct RuleCase {
    std::string what;
    std::function<void(UsersTable&)> spoil;
    UsersRule rule;
    std::string window1, window2, record1, record2;
};

UsersTable Valid() {
    UsersTable t = FactoryUsers();
    t[2] = User("ADM", userlevel::Admin, "a", "22");
    t[5] = User("Опер", userlevel::Operator, "", "55");
    return t;
}

}  // namespace

TEST(UsersCheck, EveryRuleWithBothWordings) {
    const std::vector<RuleCase> cases = {
        {"no manufacturer", [](UsersTable& t) { t[0].Level = userlevel::Engineer; }, UsersRule::NoMaker,
         "У списку зареєстрованих користувачів", "не зареєстровано виробника-наладчика",
         "У списку зареєстрованих користувачів", "не зареєстровано виробника-наладчика"},
        {"two manufacturers", [](UsersTable& t) { t[5].Level = userlevel::Maker; }, UsersRule::SecondMaker,
         "Може бути зареєстрований", "тільки один виробник-наладчик",
         "Може бути зареєстрований", "тільки один виробник-наладчик"},
        {"blank name", [](UsersTable& t) { SetField(t[5].Name, 4, ""); }, UsersRule::NoName,
         "Номер користувача у таблиці: 6.", "Не задано ім'я користувача",
         "Номер користувача в таблиці: 6.", "Не задано им'я користувача"},
        {"blank code", [](UsersTable& t) { SetField(t[2].Code, 4, ""); }, UsersRule::NoCode,
         "Номер користувача у таблиці: 3.", "Не заданий код ідентифікації користувача",
         "Номер користувача в таблиці: 3.", "Не заданий код ідентифікації користувача"},
        {"same name", [](UsersTable& t) { SetField(t[5].Name, 4, "ADM"); }, UsersRule::SameName,
         "Коритувачі   3 и 6.", "Співпадіння імен",
         "Користувачі   3 і 6.", "Співпадіння імен користувачів"},
        {"same code", [](UsersTable& t) { SetField(t[5].Code, 4, "1111"); }, UsersRule::SameCode,
         "Користувачі   1 и 6.", "Співпадіння кодів ідентифікації",
         "Користувачі  1 і 6.", "Совпадение кодов идентификации пользователя"},
        {"level out of range", [](UsersTable& t) { t[9] = User("X", 7, "", "9"); }, UsersRule::BadLevel,
         "Номер користувача у таблиці: 10.", "Невірно заданий рівень доступу користувача",
         "Номер користувача в таблиці: 10.", "Невірно заданий рівень доступу користувача"},
    };
    ui::test::Driver drv;
    EXPECT_TRUE(CheckUsers(Valid(), UsersTexts::AccessWindow));
    EXPECT_TRUE(CheckUsers(Valid(), UsersTexts::ConfigRecord));
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.what);
        UsersTable t = Valid();
        c.spoil(t);
        EXPECT_EQ(FindUsersFault(t).rule, c.rule);
        drv.expectMessage(2, c.window1, c.window2);
        EXPECT_FALSE(CheckUsers(t, UsersTexts::AccessWindow));
        drv.expectMessage(2, c.record1, c.record2);
        EXPECT_FALSE(CheckUsers(t, UsersTexts::ConfigRecord));
        drv.verify();
    }
    EXPECT_EQ(drv.messages().size(), 2 * cases.size());
    EXPECT_EQ(drv.messages()[0].caption, "Помилка вводу параметрів");
}

TEST(UsersCheck, OrderAndComparisons) {
    // The manufacturer count before any row; in a row the name before the
    // code, both before the comparisons with later rows, the name first in
    // a pair.
    UsersTable t = Valid();
    SetField(t[2].Name, 4, "");
    t[0].Level = userlevel::None;
    EXPECT_EQ(FindUsersFault(t).rule, UsersRule::NoMaker);
    t = Valid();
    SetField(t[5].Name, 4, "ADM");
    SetField(t[2].Code, 4, "");
    EXPECT_EQ(FindUsersFault(t).rule, UsersRule::NoCode);
    t = Valid();
    t[5] = User("ADM", userlevel::Operator, "", "22");
    EXPECT_EQ(FindUsersFault(t).rule, UsersRule::SameName);
    // "1" and "1   " are one code; " AB" is not "AB"; free rows take part
    // in nothing; zero bytes are blanks.
    t = Valid();
    SetField(t[2].Code, 4, "1");
    SetField(t[5].Code, 4, "1   ");
    EXPECT_EQ(FindUsersFault(t).rule, UsersRule::SameCode);
    t = Valid();
    SetField(t[2].Name, 4, "AB");
    SetField(t[5].Name, 4, " AB");
    t[7] = User("AB", userlevel::None, "x", "22");
    EXPECT_TRUE(FindUsersFault(t).ok());
    std::memset(t[5].Name, 0, 4);
    EXPECT_EQ(FindUsersFault(t).rule, UsersRule::NoName);
}

TEST(UsersCheck, RecordCheckBlanksFreeRowsAndSpareBytes) {
    ui::test::Driver drv;
    UsersTable t = Valid();
    t[7] = User("OLD", userlevel::None, "pass", "77");
    t[2].Spare = 9;
    uint8_t record[kUsersTableBytes];
    StoreUsers(record, t);
    EXPECT_TRUE(CheckRecordUsers(record));
    const UsersTable back = LoadUsers(record);
    EXPECT_EQ(Bytes(back[7].Name, 4), "    ");
    EXPECT_EQ(Bytes(back[7].Password, 12), std::string(12, ' '));
    EXPECT_EQ(Bytes(back[7].Code, 4), "    ");
    EXPECT_EQ(back[2].Spare, 0);
    EXPECT_EQ(Bytes(back[5].Name, 4), "\xCE\xEF\xE5\xF0");  // "Опер" in Windows-1251

    // A failing record is still normalized, and the message is the record's.
    t[0].Level = userlevel::None;
    StoreUsers(record, t);
    drv.expectMessage(2, "У списку зареєстрованих користувачів", "не зареєстровано виробника-наладчика");
    EXPECT_FALSE(CheckRecordUsers(record));
    EXPECT_EQ(Bytes(LoadUsers(record)[0].Code, 4), "    ");
}
