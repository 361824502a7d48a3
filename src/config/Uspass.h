// Password and identification code of one user, each typed twice.
//
//   TFormUsPass f(nullptr);
//   std::memcpy(f.Password, row.Password, 12);
//   std::memcpy(f.Code, row.Code, 4);
//   f.ShowModal();
//   if (f.Accepted) { copy f.Password and f.Code back into the row }
//
// The password is up to 12 characters, the code up to 4 digits, both shown
// as '*'. Enter moves from the code to its confirmation, then to the
// password, its confirmation and the button "Прийняти". Accepted values are
// blank-padded fields in Windows-1251.
#pragma once
#include <cstddef>
#include <string>

#include "ui/Ui.h"

namespace uspass {
// The edit boxes of a password (12 characters) and of a code (4 digits;
// anything else that reaches the text, as by pasting, is dropped).
void SetupPasswordEdit(ui::Edit& e);
void SetupCodeEdit(ui::Edit& e);
// Enter in `from` moves the focus to `to`.
void EnterMovesTo(ui::Edit& from, ui::Control& to);
// The text of a field for an edit box: trailing blanks removed.
std::string EditText(const char* field, std::size_t n);
}  // namespace uspass

class TFormUsPass : public ui::Form {
public:
    explicit TFormUsPass(ui::Component* owner = nullptr);

    // In: the row's values; out (when Accepted): the new ones.
    char Password[12];
    char Code[4];
    bool StartEmpty = false;  // in: all four edits empty at show
    bool Accepted = false;    // out

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
    ui::Button BitBtn1{this, "BitBtn1"};  // "Прийняти"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"

private:
    void FormShow();
    void BitBtn1Click();
};

