// The users windows through the headless backend: what they show, the
// operator's input, their refusals with the exact texts, and what they hand
// back (blank-padded Windows-1251 fields).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

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
    std::string Password() const { return Bytes(box.WritePassword, 12); }
    std::string Code() const { return Bytes(box.UserCode, 4); }

    hgcbox box{1};
    ui::test::Driver drv;
};

}  // namespace

// ---------------------------------------------------------------- identification

TEST_F(UsersWindows, IdentificationSetsTheLinkCredentials) {
    drv.onModal<TFormShortUsPass>([this](TFormShortUsPass& f) {
        EXPECT_EQ(f.Caption(), " Ідентифікація користувача програми");
        EXPECT_EQ(f.Width(), 384);
        EXPECT_EQ(f.Height(), 176);
        EXPECT_TRUE(f.Edit1.Focused());
        EXPECT_EQ(f.Edit1.PasswordChar(), U'*');
        EXPECT_EQ(f.Edit2.PasswordChar(), U'*');
        // Only digits reach the code, four at most; Enter walks on.
        f.Edit1.TypeText("4a2-7 19");
        EXPECT_EQ(f.Edit1.Text(), "4271");
        f.Edit1.KeyDown(ui::key::Return);
        EXPECT_TRUE(f.Edit2.Focused());
        f.Edit2.TypeText("пароль-для-запису");
        EXPECT_EQ(f.Edit2.Text(), "пароль-для-з");
        f.Edit2.KeyDown(ui::key::Return);
        EXPECT_TRUE(f.BitBtn1.Focused());
        f.BitBtn1.KeyDown(ui::key::Return);  // Enter on the button accepts
        EXPECT_EQ(f.ModalResult(), ui::mrOk);
    });
    EXPECT_TRUE(AskUserIdentity());
    EXPECT_EQ(Password(), "\xEF\xE0\xF0\xEE\xEB\xFC-\xE4\xEB\xFF-\xE7");  // Windows-1251
    EXPECT_EQ(Code(), "4271");
}

TEST_F(UsersWindows, IdentificationNeedsACodeAndMayHaveNoPassword) {
    drv.onModal<TFormShortUsPass>([this](TFormShortUsPass& f) {
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);  // stays open
        EXPECT_TRUE(f.Edit1.Focused());
        f.Edit1.TypeText("7");
        f.BitBtn1.Click();
    });
    drv.expectMessage(2, "Не заданий код ідентифікації користувача");
    EXPECT_TRUE(AskUserIdentity());
    EXPECT_EQ(Password(), std::string(12, ' '));
    EXPECT_EQ(Code(), "7   ");

    // "Вихід" (or Esc) keeps what the link object had; the edits start empty.
    drv.onModal<TFormShortUsPass>([](TFormShortUsPass& f) {
        EXPECT_EQ(f.Edit1.Text(), "");
        EXPECT_EQ(f.Edit2.Text(), "");
        f.Edit1.TypeText("99");
        f.Edit2.TypeText("x");
        f.Edit2.KeyDown(ui::key::Escape);
    });
    EXPECT_FALSE(AskUserIdentity());
    EXPECT_EQ(Code(), "7   ");
    EXPECT_EQ(Password(), std::string(12, ' '));
}

// ---------------------------------------------------------------- TFormUsPass

TEST_F(UsersWindows, PasswordWindowChecksBothPairs) {
    TFormUsPass f(nullptr);
    std::memcpy(f.Password, "secret      ", 12);
    std::memcpy(f.Code, "42  ", 4);
    drv.onModal<TFormUsPass>([](TFormUsPass& f) {
        EXPECT_EQ(f.Caption(), " Ідентифікація користувача");
        EXPECT_EQ(f.GroupBox1.Caption(), " Пароль на запис ");
        EXPECT_EQ(f.GroupBox2.Caption(), " Код ідентифікації користувача  ");
        EXPECT_EQ(f.Edit1.Text(), "secret");
        EXPECT_EQ(f.Edit2.Text(), "secret");
        EXPECT_EQ(f.Edit3.Text(), "42");
        EXPECT_EQ(f.Edit4.Text(), "42");
        // Enter: code, its confirmation, password, its confirmation, button.
        EXPECT_TRUE(f.Edit3.Focused());
        for (ui::Control* next : {static_cast<ui::Control*>(&f.Edit4), static_cast<ui::Control*>(&f.Edit1),
                                  static_cast<ui::Control*>(&f.Edit2), static_cast<ui::Control*>(&f.BitBtn1)}) {
            ui::Form::ActiveForm()->HandleKeyDown(ui::key::Return);
            EXPECT_TRUE(next->Focused()) << next->Name();
        }
        f.Edit2.TypeText("!");
        f.BitBtn1.Click();
        EXPECT_EQ(f.Edit1.Text(), "");
        EXPECT_EQ(f.Edit2.Text(), "");
        EXPECT_TRUE(f.Edit1.Focused());
        f.Edit1.TypeText("new pw");
        f.Edit2.TypeText("new pw");
        f.Edit4.TypeText("3");
        f.BitBtn1.Click();
        EXPECT_EQ(f.Edit3.Text(), "");
        EXPECT_EQ(f.Edit4.Text(), "");
        EXPECT_TRUE(f.Edit3.Focused());
        EXPECT_EQ(f.Edit1.Text(), "new pw");  // the passwords stay
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
    EXPECT_EQ(Bytes(f.Password, 12), "new pw      ");
    EXPECT_EQ(Bytes(f.Code, 4), "0815");

    // Start empty; "Вихід" hands nothing back.
    f.StartEmpty = true;
    drv.onModal<TFormUsPass>([](TFormUsPass& f) {
        for (ui::Edit* e : {&f.Edit1, &f.Edit2, &f.Edit3, &f.Edit4}) EXPECT_EQ(e->Text(), "");
        f.BitBtn2.Click();
    });
    f.ShowModal();
    EXPECT_FALSE(f.Accepted);
}

// ---------------------------------------------------------------- TFormAccess

namespace {

UserRow* RecordRows(uint8_t* record) { return reinterpret_cast<UserRow*>(record); }

}  // namespace

TEST_F(UsersWindows, AccessWindowShowsAndEditsTheRows) {
    UsersTable t = FactoryUsers();
    t[3] = User("ІНЖ", userlevel::Engineer, "pw3", "33");
    t[6] = User("OLD", userlevel::None, "left", "66");  // left-over text of a free row
    t[4].Spare = 1;
    uint8_t record[1 + kUsersTableBytes];  // any alignment will do
    StoreUsers(record + 1, t);
    TFormAccess f(nullptr);
    f.Rows = RecordRows(record + 1);
    f.Mode = 0;
    drv.onModal<TFormAccess>([](TFormAccess& f) {
        EXPECT_EQ(f.Caption(), "Доступ користувачів до запису в контролер");
        EXPECT_EQ(f.Width(), 432);
        EXPECT_EQ(f.Height(), 564);
        EXPECT_TRUE(f.BitBtn1.Visible());
        EXPECT_EQ(f.BitBtn1.Caption(), "Принять");
        EXPECT_FALSE(f.BitBtn3.Visible());
        EXPECT_EQ(f.FindComponent("cb16"), f.cb[15]);
        EXPECT_EQ(f.Find<ui::Button>("bt7")->Tag(), 6);
        EXPECT_EQ(f.cb[0]->Text(), "Виробник-наладчик");
        EXPECT_EQ(f.cb[0]->ItemCount(), 5);
        EXPECT_EQ(f.ek[0]->Text(), "ZBR");
        EXPECT_EQ(f.ek[3]->Text(), "ІНЖ");
        EXPECT_EQ(f.ek[6]->Text(), "");
        EXPECT_TRUE(f.bt[3]->Enabled());
        EXPECT_FALSE(f.bt[6]->Enabled());
        // A level picked enables the row's button; "Немає доступу" disables it.
        f.cb[6]->Select(4);
        EXPECT_TRUE(f.bt[6]->Enabled());
        f.cb[6]->Select(0);
        EXPECT_FALSE(f.bt[6]->Enabled());
        // Engineer loses the level, but keeps the name typed into the edit.
        f.cb[3]->Select(0);
        // A new operator in row 9 with a password and code.
        f.cb[9]->Select("Оператор");
        f.ek[9]->TypeText("Петро");
        EXPECT_EQ(f.ek[9]->Text(), "Петр");
        f.bt[9]->Click();
        f.BitBtn1.Click();
        EXPECT_EQ(f.ek[3]->Text(), "");  // cleared for the free row
    });
    drv.onModal<TFormUsPass>([](TFormUsPass& p) {
        EXPECT_FALSE(p.StartEmpty);
        EXPECT_EQ(p.Edit3.Text(), "");
        p.Edit1.SetText("п9");
        p.Edit2.SetText("п9");
        p.Edit3.SetText("9");
        p.Edit4.SetText("9");
        p.BitBtn1.Click();
    });
    f.ShowModal();
    ASSERT_TRUE(f.Accepted);
    const UsersTable back = LoadUsers(record + 1);
    EXPECT_EQ(Bytes(back[3].Name, 4), "    ");
    EXPECT_EQ(Bytes(back[3].Password, 12), std::string(12, ' '));
    EXPECT_EQ(back[3].Level, 0);
    EXPECT_EQ(Bytes(back[6].Name, 4), "    ");
    EXPECT_EQ(Bytes(back[6].Code, 4), "    ");
    EXPECT_EQ(back[4].Spare, 0);
    EXPECT_EQ(back[9].Level, userlevel::Operator);
    EXPECT_EQ(Bytes(back[9].Name, 4), "\xCF\xE5\xF2\xF0");
    EXPECT_EQ(Bytes(back[9].Password, 12), "\xEF" "9          ");
    EXPECT_EQ(Bytes(back[9].Code, 4), "9   ");
    EXPECT_EQ(std::memcmp(&back[0], &t[0], sizeof(UserRow)), 0);
}

TEST_F(UsersWindows, AccessWindowRefusesABrokenTableAndKeepsTheCallersRows) {
    UsersTable t = FactoryUsers();
    t[2] = User("ENG", userlevel::Engineer, "", "1");
    uint8_t record[kUsersTableBytes];
    StoreUsers(record, t);
    uint8_t before[kUsersTableBytes];
    std::memcpy(before, record, sizeof record);
    TFormAccess f(nullptr);
    f.Rows = RecordRows(record);
    f.Mode = 1;
    drv.onModal<TFormAccess>([](TFormAccess& f) {
        EXPECT_TRUE(f.BitBtn3.Visible());
        EXPECT_EQ(f.BitBtn3.Caption(), "Записати в пристрій");
        EXPECT_FALSE(f.BitBtn1.Visible());
        // No manufacturer.
        f.cb[0]->Select(2);
        f.BitBtn3.Click();
        // Two of them.
        f.cb[0]->Select(1);
        f.cb[4]->Select(1);
        f.BitBtn3.Click();
        // A user without a name, then without a code.
        f.cb[4]->Select(3);
        f.BitBtn3.Click();
        f.ek[4]->TypeText("E");
        f.BitBtn3.Click();
        // The typed code "1" is the stored "1   " of row 3.
        f.bt[4]->Click();
        EXPECT_EQ(Bytes(f.Work()[4].Code, 4), "1   ");
        f.BitBtn3.Click();
        // Another code, and then a second "E".
        f.bt[4]->Click();
        f.cb[7]->Select(4);
        f.ek[7]->TypeText("E");
        f.bt[7]->Click();
        f.BitBtn3.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        f.BitBtn2.Click();  // "Відмінити"
    });
    int passes = 0;
    drv.onModal<TFormUsPass>([&passes](TFormUsPass& p) {
        const char* codes[] = {"1", "4", "7"};
        const char* code = codes[std::min(passes++, 2)];
        p.Edit3.SetText(code);
        p.Edit4.SetText(code);
        p.BitBtn1.Click();
    });
    drv.expectMessage(2, "У списку зареєстрованих користувачів", "не зареєстровано виробника-наладчика");
    drv.expectMessage(2, "Може бути зареєстрований", "тільки один виробник-наладчик");
    drv.expectMessage(2, "Номер користувача у таблиці: 5.", "Не задано ім'я користувача");
    drv.expectMessage(2, "Номер користувача у таблиці: 5.", "Не заданий код ідентифікації користувача");
    drv.expectMessage(2, "Користувачі   3 и 5.", "Співпадіння кодів ідентифікації");
    drv.expectMessage(2, "Коритувачі   5 и 8.", "Співпадіння імен");
    f.ShowModal();
    EXPECT_EQ(passes, 3);
    EXPECT_FALSE(f.Accepted);
    EXPECT_EQ(std::memcmp(record, before, sizeof record), 0);
}

// ---------------------------------------------------------------- TFormChangeAccess

namespace {

void LoadImageUsers(const UsersTable& t) { StoreUsers(TablePtr(kUsersTable), t); }

}  // namespace

TEST_F(UsersWindows, ChangeAccessShowsTheUsersAndGuardsTheLevels) {
    UsersTable t = FactoryUsers();
    t[1] = User("ADM", userlevel::Admin, "adm", "22");
    t[2] = User("OP", userlevel::Operator, "op", "44");
    LoadImageUsers(t);
    drv.onModal<TFormChangeAccess>([](TFormChangeAccess& f) {
        EXPECT_EQ(f.Caption(), " Доступ користувача до запису в контролер");
        EXPECT_EQ(f.Width(), 676);
        EXPECT_EQ(f.Height(), 308);
        EXPECT_EQ(f.MakerRow(), 0);
        EXPECT_EQ(f.AdminCount(), 1);
        EXPECT_EQ(f.LastAdminRow(), 1);
        ASSERT_EQ(f.ComboBox1.ItemCount(), 16);
        EXPECT_EQ(f.ComboBox1.Item(0), "ZBR");
        EXPECT_EQ(f.ComboBox1.Item(3), "   --   ");
        EXPECT_EQ(f.ComboBox1.ItemIndex(), 0);
        EXPECT_EQ(f.Edit5.Text(), "ZBR");
        EXPECT_EQ(f.ComboBox2.Text(), "Виробник-наладчик");
        EXPECT_EQ(f.Edit1.Text(), "12345");
        EXPECT_EQ(f.Edit2.Text(), "12345");
        EXPECT_EQ(f.Edit3.Text(), "1111");
        EXPECT_EQ(f.Edit4.Text(), "1111");
        // The manufacturer cannot go, nobody else can become one, and the
        // only administrator keeps the level.
        f.ComboBox2.Select(3);
        f.BitBtn1.Click();
        f.ComboBox1.Select(2);
        EXPECT_EQ(f.Edit5.Text(), "OP");
        EXPECT_EQ(f.Edit3.Text(), "44");
        f.ComboBox2.Select(1);
        f.BitBtn1.Click();
        f.ComboBox1.Select(1);
        f.ComboBox2.Select(0);
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        // Freeing the operator's row.
        f.ComboBox1.Select(2);
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
    UserRow r = ImageUser(2);
    EXPECT_EQ(r.Level, 0);
    EXPECT_EQ(Bytes(r.Name, 4) + Bytes(r.Password, 12) + Bytes(r.Code, 4), std::string(20, ' '));
    EXPECT_EQ(ImageUser(1).Level, userlevel::Admin);
}

TEST_F(UsersWindows, ChangeAccessChecksTheInputBeforeTouchingTheImage) {
    UsersTable t = FactoryUsers();
    t[1] = User("ADM", userlevel::Admin, "adm", "22");
    LoadImageUsers(t);
    const std::vector<uint8_t> before(TableSpan(kUsersTable).begin(), TableSpan(kUsersTable).end());
    drv.onModal<TFormChangeAccess>([&before](TFormChangeAccess& f) {
        f.ComboBox1.Select(5);
        EXPECT_EQ(f.ComboBox2.Text(), "Немає доступу");
        EXPECT_EQ(f.Edit5.Text(), "");
        f.ComboBox2.Select("Інженер");
        f.Edit1.TypeText("abc");
        f.Edit2.TypeText("abd");
        f.BitBtn1.Click();
        EXPECT_EQ(f.Edit1.Text(), "");
        EXPECT_TRUE(f.Edit1.Focused());
        f.Edit3.TypeText("5");
        f.BitBtn1.Click();
        EXPECT_EQ(f.Edit3.Text(), "");
        f.BitBtn1.Click();
        f.Edit3.TypeText("22");  // the administrator's code: this window lets it be
        f.Edit4.TypeText("22");
        f.BitBtn1.Click();
        f.Edit5.TypeText("ADM");
        f.BitBtn1.Click();
        EXPECT_EQ(std::vector<uint8_t>(TableSpan(kUsersTable).begin(), TableSpan(kUsersTable).end()), before);
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
    UserRow r = ImageUser(5);
    EXPECT_EQ(r.Level, userlevel::Engineer);
    EXPECT_EQ(Bytes(r.Name, 4), "\xB2\xED\xE6 ");
    EXPECT_EQ(Bytes(r.Password, 12), std::string(12, ' '));  // no password typed: blanks
    EXPECT_EQ(Bytes(r.Code, 4), "22  ");
    // Only that row changed.
    for (int row = 0; row < kUserCount; ++row) {
        if (row == 5) continue;
        EXPECT_EQ(std::memcmp(RowPtr(kUsersTable, row), before.data() + row * 22, 22), 0) << row;
    }
}
