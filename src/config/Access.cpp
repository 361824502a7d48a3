#include "config/Access.h"

#include <cstring>
#include <string>

#include "config/Uspass.h"

namespace {
constexpr int kFirstRowTop = 30, kRowStep = 28;
}

TFormAccess::TFormAccess(ui::Component* owner) : ui::Form(owner, "FormAccess") {
    for (UserRow& u : work_) ClearUser(u);
    SetCaption("Доступ користувачів до запису в контролер");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 432, 564);

    Label1.SetCaption("№");
    Label1.SetBounds(8, 10, 24, 16);
    Label1.SetAlignment(ui::TextAlign::Right);
    Label2.SetCaption("Рівень доступу");
    Label2.SetBounds(40, 10, 176, 16);
    Label3.SetCaption("Ім'я");
    Label3.SetBounds(224, 10, 76, 16);
    Label4.SetCaption("Пароль і код");
    Label4.SetBounds(312, 10, 100, 16);

    const std::vector<std::string> levels = AccessLevelItems();
    for (int r = 0; r < kUserCount; ++r) {
        const std::string n = std::to_string(r + 1);
        const int top = kFirstRowTop + r * kRowStep;
        lb[r] = &Make<ui::Label>("lb" + n);
        lb[r]->SetCaption(n);
        lb[r]->SetAlignment(ui::TextAlign::Right);
        lb[r]->SetBounds(8, top + 3, 24, 16);
        cb[r] = &Make<ui::ComboBox>("cb" + n);
        cb[r]->SetStyle(ui::ComboStyle::DropDownList);
        cb[r]->SetItems(levels);
        cb[r]->SetDropDownCount(userlevel::kLevels);
        cb[r]->SetBounds(40, top, 176, 21);
        ek[r] = &Make<ui::Edit>("ek" + n);
        ek[r]->SetMaxLength(4);
        ek[r]->SetBounds(224, top, 76, 21);
        bt[r] = &Make<ui::Button>("bt" + n);
        bt[r]->SetCaption("Пароль");
        bt[r]->SetBounds(312, top - 1, 100, 23);
        for (ui::Component* c : {static_cast<ui::Component*>(lb[r]), static_cast<ui::Component*>(cb[r]),
                                 static_cast<ui::Component*>(ek[r]), static_cast<ui::Component*>(bt[r])})
            c->SetTag(r);
        ui::ComboBox* combo = cb[r];
        ui::Button* button = bt[r];
        combo->OnClick = [this, combo] { cbClick(*combo); };
        button->OnClick = [this, button] { btClick(*button); };
    }

    BitBtn1.SetCaption("Принять");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetBounds(62, 490, 160, 30);
    BitBtn3.SetCaption("Записати в пристрій");
    BitBtn3.SetGlyph(ui::Glyph::Ok);
    BitBtn3.SetBounds(62, 490, 160, 30);
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetBounds(244, 490, 126, 30);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);

    BitBtn1.OnClick = [this] { AcceptClick(); };
    BitBtn3.OnClick = [this] { AcceptClick(); };
    OnShow = [this] { FormShow(); };
}

void TFormAccess::FormShow() {
    Accepted = false;
    if (Rows) work_ = LoadUsers(Rows);
    for (int r = 0; r < kUserCount; ++r) {
        const UserRow& u = work_[r];
        cb[r]->SetItemIndex(u.Level);  // a level above 4 shows no selection
        ek[r]->SetText(u.Level == userlevel::None ? std::string() : uspass::EditText(u.Name, sizeof u.Name));
        bt[r]->SetEnabled(cb[r]->ItemIndex() > 0);
    }
    BitBtn3.SetVisible(Mode == 1);
    BitBtn1.SetVisible(Mode != 1);
    cb[0]->SetFocus();
}

void TFormAccess::cbClick(ui::ComboBox& sender) {
    const int r = sender.Tag();
    if (r < 0 || r >= kUserCount) return;
    bt[r]->SetEnabled(sender.ItemIndex() > 0);
}

void TFormAccess::btClick(ui::Button& sender) {
    const int r = sender.Tag();
    if (r < 0 || r >= kUserCount) return;
    UserRow& u = work_[r];
    TFormUsPass f(this);
    std::memcpy(f.Password, u.Password, sizeof u.Password);
    std::memcpy(f.Code, u.Code, sizeof u.Code);
    f.StartEmpty = false;
    f.ShowModal();
    if (!f.Accepted) return;
    std::memcpy(u.Password, f.Password, sizeof u.Password);
    std::memcpy(u.Code, f.Code, sizeof u.Code);
}

void TFormAccess::AcceptClick() {
    for (int r = 0; r < kUserCount; ++r) {
        UserRow& u = work_[r];
        const int level = cb[r]->ItemIndex();
        u.Level = uint8_t(level > 0 ? level : userlevel::None);
        SetField(u.Name, sizeof u.Name, {});
        if (u.Level != userlevel::None) {
            SetField(u.Name, sizeof u.Name, ek[r]->Text());
        } else {
            SetField(u.Password, sizeof u.Password, {});
            SetField(u.Code, sizeof u.Code, {});
            ek[r]->SetText({});
        }
        u.Spare = 0;
    }
    if (!CheckUsers(work_, UsersTexts::AccessWindow)) return;
    if (Rows) StoreUsers(Rows, work_);
    Accepted = true;
    SetModalResult(ui::mrOk);
}
