// One user of the controller's users table (table 4 of the configuration
// image): name, access level, password and code.
//
//   TFormChangeAccess f(nullptr);
//   f.ShowModal();
//   if (f.Accepted) write row f.Row of table 4
//
// Guards: the manufacturer ("Виробник-наладчик") can be neither removed nor
// doubled, and the only administrator cannot lose the level. Choosing
// "Немає доступу" frees the row. On "OK" the window changes the image row
// itself, and only when every check passed.
//
// ChangeUserAccess runs the whole menu item "Доступ до таблиць параметрів
// конфігурування": table states, the users table, the window, the write.
#pragma once
#include <cstdint>

#include "config/Users.h"
#include "config/Uspass.h"
#include "ui/Ui.h"

class TFormChangeAccess : public ui::Form {
public:
    explicit TFormChangeAccess(ui::Component* owner = nullptr);

    bool Accepted = false;  // out
    int Row = -1;           // out: the row edited (0..15)

    ui::Label Label5{this, "Label5"};
    ui::ComboBox ComboBox1{this, "ComboBox1"};  // the users
    ui::Label Label6{this, "Label6"};
    ui::Edit Edit5{this, "Edit5"};              // name, 4 characters
    ui::Label Label7{this, "Label7"};
    ui::ComboBox ComboBox2{this, "ComboBox2"};  // level
    ui::GroupBox GroupBox1{this, "GroupBox1"};  // " Пароль на запис "
    ui::Label Label1{this, "Label1"};
    ui::Label Label2{this, "Label2"};
    ui::Edit Edit1{this, "Edit1"};  // password
    ui::Edit Edit2{this, "Edit2"};  // its confirmation
    ui::GroupBox GroupBox2{this, "GroupBox2"};  // " Код ідентифікації користувача  "
    ui::Label Label3{this, "Label3"};
    ui::Label Label4{this, "Label4"};
    ui::Edit Edit3{this, "Edit3"};  // code
    ui::Edit Edit4{this, "Edit4"};  // its confirmation
    ui::Button BitBtn1{this, "BitBtn1"};  // "OK"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // What the window found at show.
    int MakerRow() const { return makerRow_; }  // 255 when none
    int AdminCount() const { return adminCount_; }
    int LastAdminRow() const { return lastAdmin_; }

private:
    void FormShow();
    void ComboBox1Change();
    void BitBtn1Click();
    uspass::CredentialGroups Credentials() {
        return {GroupBox1, Label1, Label2, Edit1, Edit2, GroupBox2, Label3, Label4, Edit3, Edit4};
    }

    UsersTable work_{};
    int makerRow_ = 255;
    int adminCount_ = 0;
    int lastAdmin_ = -1;
};

// The menu item's handler: reads the table states (table 7); refuses a
// damaged users table ("Таблиця доступу користувачів" / "вимагає повного
// перезапису", kind 4); reads table 4 (rows 0..10, then 11..15); shows
// TFormChangeAccess; when accepted writes the one edited row. A failed write
// puts the row back into the image as the controller still has it. True
// when a row was written.
bool ChangeUserAccess(ui::StatusBar* bar);
