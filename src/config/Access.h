// All 16 users of a users table: level, name, and (through TFormUsPass)
// password and code of each row.
//
//   TFormAccess f(nullptr);
//   f.Rows = reinterpret_cast<UserRow*>(record + 1985);  // 16 rows, any alignment
//   f.Mode = 1;                                         // 1 "Записати в пристрій", 0 "Принять"
//   f.ShowModal();
//   if (f.Accepted) ...
//
// The window edits a working copy; the caller's rows change only when the
// operator accepted and the users check passed (free rows blank, one
// manufacturer, every user with a name and a code, no name or code twice).
#pragma once
#include <array>
#include <cstdint>

#include "config/Users.h"
#include "ui/Ui.h"

class TFormAccess : public ui::Form {
public:
    explicit TFormAccess(ui::Component* owner = nullptr);

    UserRow* Rows = nullptr;  // in/out: the 16 rows (352 bytes)
    uint8_t Mode = 0;         // 1 restore (write to the controller), 0 accept
    bool Accepted = false;    // out

    ui::Label Label1{this, "Label1"};  // column headings
    ui::Label Label2{this, "Label2"};
    ui::Label Label3{this, "Label3"};
    ui::Label Label4{this, "Label4"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Принять" (mode 0)
    ui::Button BitBtn3{this, "BitBtn3"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // Rows of controls, made at creation and found by name: lb1..lb16 (row
    // number), cb1..cb16 (level), ek1..ek16 (name), bt1..bt16 (password and
    // code); each carries its row index 0..15 as its tag.
    std::array<ui::Label*, kUserCount> lb{};
    std::array<ui::ComboBox*, kUserCount> cb{};
    std::array<ui::Edit*, kUserCount> ek{};
    std::array<ui::Button*, kUserCount> bt{};

    // The working copy as edited so far.
    const UsersTable& Work() const { return work_; }

private:
    void FormShow();
    void cbClick(ui::ComboBox& sender);
    void btClick(ui::Button& sender);
    void AcceptClick();

    UsersTable work_{};
};
