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

// The two groups of both credential windows: " Пароль на запис " with the
// password (Edit1) and its confirmation (Edit2), " Код ідентифікації
// користувача  " with the code (Edit3) and its confirmation (Edit4).
struct CredentialGroups {
    ui::GroupBox& GroupBox1;
    ui::Label& Label1;
    ui::Label& Label2;
    ui::Edit& Edit1;
    ui::Edit& Edit2;
    ui::GroupBox& GroupBox2;
    ui::Label& Label3;
    ui::Label& Label4;
    ui::Edit& Edit3;
    ui::Edit& Edit4;

    // Places the groups one under the other at `left`, `width` wide, and
    // sets up the edits; Enter goes from the code to its confirmation, the
    // password, its confirmation and then to `next`.
    void LayOut(int left, int width, ui::Control& next);
    // Shows a password and a code, each in both of its boxes.
    void Show(const std::string& password, const std::string& code);
    // True when both pairs agree and a code is given. Otherwise says what is
    // wrong (message kind as set by the caller) with the window's own text
    // of a mismatch, empties the pair that disagrees and puts the focus
    // where the operator types again.
    bool Check(const char* passwordMismatch, const char* codeMismatch);
};
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
    uspass::CredentialGroups Credentials() {
        return {GroupBox1, Label1, Label2, Edit1, Edit2, GroupBox2, Label3, Label4, Edit3, Edit4};
    }
};

