// The operator of the program identifies himself: his identification code
// and write password, which every write request to the controller carries.
//
//   if (AskUserIdentity()) ...   // the link object now sends the new pair
//
// Both edits start empty, the focus on the code; Enter moves to the
// password, then to "Прийняти". "Вихід" leaves the link object's
// credentials as they were (blanks after start-up).
#pragma once
#include "ui/Ui.h"

class TFormShortUsPass : public ui::Form {
public:
    explicit TFormShortUsPass(ui::Component* owner = nullptr);

    // Out, when Accepted: blank-padded fields in Windows-1251.
    bool Accepted = false;
    char Password[12];
    char Code[4];

    ui::Label Label1{this, "Label1"};  // " Код ідентифікації  користувача"
    ui::Edit Edit1{this, "Edit1"};     // code: 4 digits
    ui::Label Label2{this, "Label2"};  // " Пароль на запис в контролер"
    ui::Edit Edit2{this, "Edit2"};     // password: 12 characters
    ui::Button BitBtn1{this, "BitBtn1"};  // "Прийняти"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"

private:
    void FormShow();
    void BitBtn1Click();
};

// Shows TFormShortUsPass; when accepted, the link object's write password
// and user code become the 12 and 4 bytes entered. Returns whether the
// operator accepted. Called by the connect sequence and by the menu item
// "Идентифікація користувача програми".
bool AskUserIdentity();
