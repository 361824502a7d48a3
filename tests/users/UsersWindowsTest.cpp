// The users windows through the headless backend: the operator's input,
// the refusals with their exact texts, and what the windows hand back
// (blank-padded Windows-1251 fields).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "UsersTestUtil.h"
#include "config/Access.h"
#include "config/Changeaccess.h"
#include "config/ConfigImage.h"
#include "config/Shortuspass.h"
#include "config/Uspass.h"
#include "link/Hgcbox.h"
#include "ui/TestDriver.h"

using namespace userstest;

namespace {

class UsersWindows : public ::testing::Test {
protected:
    void SetUp() override {
        HgcBox = &box;
        InitConfigImage();
    }
    void TearDown() override {
        drv.verify();
        HgcBox = nullptr;
    }
    std::vector<uint8_t> ImageTable() const { return {TableSpan(kUsersTable).begin(), TableSpan(kUsersTable).end()}; }

    hgcbox box{1};
    ui::test::Driver drv;
};

}  // namespace

TEST_F(UsersWindows, Identification) {
    drv.onModal<TFormShortUsPass>([](TFormShortUsPass& f) {
        EXPECT_TRUE(f.Edit1.Focused());
        f.BitBtn1.Click();  // no code: refused, stays open
        // Only digits reach the code, four at most; Enter walks on.
        f.Edit1.TypeText("4a2-7 19");
        EXPECT_EQ(f.Edit1.Text(), "4271");
        f.Edit1.KeyDown(ui::key::Return);
        f.Edit2.TypeText("пароль-для-запису");
        f.Edit2.KeyDown(ui::key::Return);
        EXPECT_TRUE(f.BitBtn1.Focused());
        f.BitBtn1.KeyDown(ui::key::Return);
    });
    drv.expectMessage(2, "Не заданий код ідентифікації користувача");
    EXPECT_TRUE(AskUserIdentity());
    EXPECT_EQ(Bytes(box.WritePassword, 12), "\xEF\xE0\xF0\xEE\xEB\xFC-\xE4\xEB\xFF-\xE7");  // cut to 12, Windows-1251
    EXPECT_EQ(Bytes(box.UserCode, 4), "4271");

    // Empty again at the next show; Esc keeps what the link object had.
    drv.onModal<TFormShortUsPass>([](TFormShortUsPass& f) {
        EXPECT_EQ(f.Edit1.Text() + f.Edit2.Text(), "");
        f.Edit1.TypeText("99");
        f.Edit2.KeyDown(ui::key::Escape);
    });
    EXPECT_FALSE(AskUserIdentity());
    EXPECT_EQ(Bytes(box.UserCode, 4), "4271");
}

TEST_F(UsersWindows, PasswordWindowChecksBothPairs) {
    TFormUsPass f(nullptr);
    std::memcpy(f.Password, "secret      ", 12);
    std::memcpy(f.Code, "42  ", 4);
    drv.onModal<TFormUsPass>([](TFormUsPass& f) {
        EXPECT_EQ(f.Edit2.Text(), "secret");
        EXPECT_EQ(f.Edit4.Text(), "42");
        // Enter: code, its confirmation, password, its confirmation, button.
        for (ui::Control* next : std::vector<ui::Control*>{&f.Edit4, &f.Edit1, &f.Edit2, &f.BitBtn1}) {
            ui::Form::ActiveForm()->HandleKeyDown(ui::key::Return);
            EXPECT_TRUE(next->Focused()) << next->Name();
        }
        f.Edit2.TypeText("!");
        f.BitBtn1.Click();
        EXPECT_EQ(f.Edit1.Text() + f.Edit2.Text(), "");
        EXPECT_TRUE(f.Edit1.Focused());
        f.Edit4.TypeText("3");
        f.BitBtn1.Click();
        EXPECT_EQ(f.Edit3.Text() + f.Edit4.Text(), "");
        EXPECT_TRUE(f.Edit3.Focused());
        f.BitBtn1.Click();
        f.Edit3.TypeText("0815");
        f.Edit4.TypeText("0815");
        f.BitBtn1.Click();
    });
    drv.expectMessage(2, "Неспівпадіння уведених паролів", "Повторіть процес спочатку");
    drv.expectMessage(2, "Неспівпадіння уведених кодів", "Повторіть процес спочатку");
    drv.expectMessage(2, "Не заданий код ідентифікації користувача");
    f.ShowModal();
    EXPECT_TRUE(f.Accepted);
    EXPECT_EQ(Bytes(f.Password, 12), std::string(12, ' '));  // cleared, then left empty
    EXPECT_EQ(Bytes(f.Code, 4), "0815");
}

TEST_F(UsersWindows, AccessWindow) {
    UsersTable t = FactoryUsers();
    t[2] = User("ENG", userlevel::Engineer, "pw", "1");
    t[6] = User("OLD", userlevel::None, "left", "66");  // left-over text of a free row
    t[4].Spare = 1;
    uint8_t record[1 + kUsersTableBytes];  // any alignment will do
    StoreUsers(record + 1, t);
    TFormAccess f(nullptr);
    f.Rows = reinterpret_cast<UserRow*>(record + 1);
    drv.onModal<TFormAccess>([](TFormAccess& f) {
        EXPECT_TRUE(f.BitBtn1.Visible());  // mode 0: "Принять"
        EXPECT_FALSE(f.BitBtn3.Visible());
        EXPECT_EQ(f.Find<ui::Button>("bt7")->Tag(), 6);
        EXPECT_EQ(f.cb[2]->Text(), "Інженер");
        EXPECT_EQ(f.ek[2]->Text(), "ENG");
        EXPECT_EQ(f.ek[6]->Text(), "");
        EXPECT_FALSE(f.bt[6]->Enabled());
        f.cb[6]->Select(4);
        EXPECT_TRUE(f.bt[6]->Enabled());
        f.cb[6]->Select(0);
        EXPECT_FALSE(f.bt[6]->Enabled());
        // A new operator whose code "1" is the engineer's "1   ".
        f.cb[9]->Select("Оператор");
        f.ek[9]->TypeText("Петро");
        f.bt[9]->Click();
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        f.cb[2]->Select(0);  // the engineer goes; his name is dropped
        f.BitBtn1.Click();
        EXPECT_EQ(f.ek[2]->Text(), "");
    });
    drv.onModal<TFormUsPass>([](TFormUsPass& p) {
        EXPECT_EQ(p.Edit3.Text(), "");
        for (ui::Edit* e : {&p.Edit1, &p.Edit2}) e->SetText("п9");
        for (ui::Edit* e : {&p.Edit3, &p.Edit4}) e->SetText("1");
        p.BitBtn1.Click();
    });
    drv.expectMessage(2, "Користувачі   3 и 10.", "Співпадіння кодів ідентифікації");
    f.ShowModal();
    ASSERT_TRUE(f.Accepted);
    const UsersTable back = LoadUsers(record + 1);
    const UserRow blank = BlankUser();
    for (int r : {2, 6}) EXPECT_EQ(std::memcmp(&back[r], &blank, sizeof blank), 0) << r;
    EXPECT_EQ(back[4].Spare, 0);
    EXPECT_EQ(back[9].Level, userlevel::Operator);
    EXPECT_EQ(Bytes(back[9].Name, 4), "\xCF\xE5\xF2\xF0");  // "Петр"
    EXPECT_EQ(Bytes(back[9].Password, 12), "\xEF" "9          ");
    EXPECT_EQ(Bytes(back[9].Code, 4), "1   ");

    // A refused table and "Відмінити" leave the caller's rows alone.
    StoreUsers(record + 1, t);
    f.Mode = 1;
    drv.onModal<TFormAccess>([](TFormAccess& f) {
        EXPECT_EQ(f.BitBtn3.Caption(), "Записати в пристрій");
        f.cb[0]->Select(2);
        f.BitBtn3.Click();
        f.BitBtn2.Click();
    });
    drv.expectMessage(2, "У списку зареєстрованих користувачів", "не зареєстровано виробника-наладчика");
    f.ShowModal();
    EXPECT_FALSE(f.Accepted);
    EXPECT_EQ(std::memcmp(record + 1, t.data(), kUsersTableBytes), 0);
}

TEST_F(UsersWindows, ChangeAccessGuardsTheLevels) {
    UsersTable t = FactoryUsers();
    t[1] = User("ADM", userlevel::Admin, "adm", "22");
    t[2] = User("OP", userlevel::Operator, "op", "44");
    StoreUsers(TablePtr(kUsersTable), t);
    drv.onModal<TFormChangeAccess>([](TFormChangeAccess& f) {
        EXPECT_EQ(f.ComboBox1.Item(0), "ZBR");
        EXPECT_EQ(f.ComboBox1.Item(3), "   --   ");
        EXPECT_EQ(f.ComboBox2.Text(), "Виробник-наладчик");
        EXPECT_EQ(f.Edit2.Text() + "/" + f.Edit4.Text(), "12345/1111");
        f.ComboBox2.Select(3);
        f.BitBtn1.Click();
        f.ComboBox1.Select(2);
        EXPECT_EQ(f.Edit5.Text(), "OP");
        f.ComboBox2.Select(1);
        f.BitBtn1.Click();
        f.ComboBox1.Select(1);
        f.ComboBox2.Select(0);
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        f.ComboBox1.Select(2);  // the operator's row is freed
        f.ComboBox2.Select(0);
        f.BitBtn1.Click();
    });
    drv.expectMessage(2, "Неприпустимо видаляти користувача", "з рівнем доступу \"Виробник-наладчик\"");
    drv.expectMessage(2, "Має бути зареєстрований", "лише один Виробник-наладчик");
    drv.expectMessage(2, "Ви не можете видалити єдиного користувача", "з рівнем доступу \"Адміністратор\"");
    TFormChangeAccess f(nullptr);
    f.ShowModal();
    EXPECT_TRUE(f.Accepted);
    EXPECT_EQ(f.Row, 2);
    const UserRow blank = BlankUser();
    EXPECT_EQ(std::memcmp(RowPtr(kUsersTable, 2), &blank, sizeof blank), 0);
}

TEST_F(UsersWindows, ChangeAccessChecksTheInputBeforeTouchingTheImage) {
    UsersTable t = FactoryUsers();
    t[1] = User("ADM", userlevel::Admin, "adm", "22");
    StoreUsers(TablePtr(kUsersTable), t);
    const std::vector<uint8_t> before = ImageTable();
    drv.onModal<TFormChangeAccess>([&](TFormChangeAccess& f) {
        f.ComboBox1.Select(5);
        f.ComboBox2.Select("Інженер");
        f.Edit1.TypeText("abc");
        f.Edit2.TypeText("abd");
        f.BitBtn1.Click();
        EXPECT_TRUE(f.Edit1.Focused());
        f.Edit3.TypeText("5");
        f.BitBtn1.Click();
        f.BitBtn1.Click();
        f.Edit3.TypeText("22");  // the administrator's code: this window lets it be
        f.Edit4.TypeText("22");
        f.BitBtn1.Click();
        f.Edit5.TypeText("ADM");
        f.BitBtn1.Click();
        EXPECT_EQ(ImageTable(), before);
        f.Edit5.SetText("Інж");
        f.BitBtn1.Click();
    });
    drv.expectMessage(2, "Неспівпадання уведених паролів", "Повторіть процес спочатку");
    drv.expectMessage(2, "Неспівпадання уведенихх кодів", "Повторіть процес спочатку");
    drv.expectMessage(2, "Не заданий код ідентифікації користувача");
    drv.expectMessage(2, "Номер користувача в таблиці - 6.", "Не задано им'я користувача");
    drv.expectMessage(2, "Користувачі   6 и  2.", "Співпадання імен користувачів");
    TFormChangeAccess f(nullptr);
    f.ShowModal();
    ASSERT_TRUE(f.Accepted);
    EXPECT_EQ(f.Row, 5);
    const UserRow expected = User("Інж", userlevel::Engineer, "", "22");
    EXPECT_EQ(std::memcmp(RowPtr(kUsersTable, 5), &expected, sizeof expected), 0);
    std::vector<uint8_t> now = ImageTable();
    std::memcpy(now.data() + 5 * sizeof(UserRow), before.data() + 5 * sizeof(UserRow), sizeof(UserRow));
    EXPECT_EQ(now, before);  // no other row changed
}

TEST_F(UsersWindows, ChangeAccessComparesTheNameWithEveryOtherRow) {
    UsersTable t = FactoryUsers();
    t[1] = User("ADM", userlevel::Admin, "adm", "22");
    t[6] = User("OLD", userlevel::None, "", "");  // a free row that kept its name
    StoreUsers(TablePtr(kUsersTable), t);
    const std::vector<uint8_t> before = ImageTable();
    drv.onModal<TFormChangeAccess>([](TFormChangeAccess& f) {
        f.ComboBox1.Select(3);
        f.ComboBox2.Select("Оператор");
        f.Edit5.TypeText("OLD");
        f.Edit3.TypeText("7");
        f.Edit4.TypeText("7");
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        f.BitBtn2.Click();
    });
    drv.expectMessage(2, "Користувачі   4 и  7.", "Співпадання імен користувачів");
    TFormChangeAccess f(nullptr);
    f.ShowModal();
    EXPECT_FALSE(f.Accepted);
    EXPECT_EQ(ImageTable(), before);
}
