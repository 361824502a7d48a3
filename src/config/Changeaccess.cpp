#include "config/Changeaccess.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "common/Question.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "platform/Codepage.h"

namespace {


}  // namespace

TFormChangeAccess::TFormChangeAccess(ui::Component* owner) : ui::Form(owner, "FormChangeAccess") {
    for (UserRow& u : work_) ClearUser(u);
    SetCaption(" Доступ користувача до запису в контролер");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 676, 308);

    Label5.SetCaption("Користувач");
    Label5.SetBounds(12, 23, 110, 16);
    ComboBox1.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox1.SetDropDownCount(kUserCount);
    ComboBox1.SetBounds(126, 20, 180, 21);
    Label6.SetCaption("Ім'я");
    Label6.SetBounds(12, 71, 110, 16);
    Edit5.SetMaxLength(4);
    Edit5.SetBounds(126, 68, 80, 21);
    Label7.SetCaption("Рівень доступу");
    Label7.SetBounds(12, 119, 110, 16);
    ComboBox2.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox2.SetItems(AccessLevelItems());
    ComboBox2.SetDropDownCount(userlevel::kLevels);
    ComboBox2.SetBounds(126, 116, 180, 21);

    Credentials().LayOut(326, 330, BitBtn1);

    BitBtn1.SetCaption("OK");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetBounds(204, 226, 116, 30);
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetBounds(356, 226, 116, 30);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);

    ComboBox1.OnChange = [this] { ComboBox1Change(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    OnShow = [this] { FormShow(); };
}

void TFormChangeAccess::FormShow() {
    Accepted = false;
    Row = -1;
    work_ = ImageUsers();
    makerRow_ = 255;
    adminCount_ = 0;
    lastAdmin_ = -1;
    std::vector<std::string> items;
    for (int r = 0; r < kUserCount; ++r) {
        const UserRow& u = work_[r];
        if (u.Level == userlevel::Maker && makerRow_ == 255) makerRow_ = r;
        if (u.Level == userlevel::Admin) {
            ++adminCount_;
            lastAdmin_ = r;
        }
        std::string name = TrimmedField(u.Name, sizeof u.Name);
        items.push_back(name.empty() ? "   --   " : name);
    }
    ComboBox1.SetItems(items);
    ComboBox1.SetItemIndex(0);
    ComboBox1Change();
    ComboBox1.SetFocus();
}

void TFormChangeAccess::ComboBox1Change() {
    const int r = ComboBox1.ItemIndex();
    if (r < 0 || r >= kUserCount) return;
    const UserRow& u = work_[r];
    Edit5.SetText(uspass::EditText(u.Name, sizeof u.Name));
    ComboBox2.SetItemIndex(u.Level);
    Credentials().Show(uspass::EditText(u.Password, sizeof u.Password), uspass::EditText(u.Code, sizeof u.Code));
}

void TFormChangeAccess::BitBtn1Click() {
    const int r = ComboBox1.ItemIndex();
    if (r < 0 || r >= kUserCount) return;
    const int chosen = ComboBox2.ItemIndex();
    const uint8_t level = uint8_t(chosen > 0 ? chosen : userlevel::None);
    MessageKind = 2;
    if (r == makerRow_ && level != userlevel::Maker) {
        ShowQues("Неприпустимо видаляти користувача", "з рівнем доступу \"Виробник-наладчик\"");
        return;
    }
    if (r != makerRow_ && level == userlevel::Maker) {
        ShowQues("Має бути зареєстрований", "лише один Виробник-наладчик");
        return;
    }
    if (adminCount_ == 1 && lastAdmin_ == r && level != userlevel::Admin) {
        ShowQues("Ви не можете видалити єдиного користувача", "з рівнем доступу \"Адміністратор\"");
        return;
    }
    if (level == userlevel::None) {
        ClearUser(work_[r]);
        SetImageUser(r, work_[r]);
        Row = r;
        Accepted = true;
        SetModalResult(ui::mrOk);
        return;
    }

    if (!Credentials().Check("Неспівпадання уведених паролів", "Неспівпадання уведенихх кодів")) return;
    const std::string password = Edit1.Text(), code = Edit3.Text(), name = Edit5.Text();
    if (platform::TrimBlanks(name).empty()) {
        char line[96];
        std::snprintf(line, sizeof line, "Номер користувача в таблиці - %d.", r + 1);
        ShowQues(line, "Не задано им'я користувача");
        Edit5.SetFocus();
        return;
    }
    UserRow& u = work_[r];
    SetField(u.Name, sizeof u.Name, name);
    u.Level = level;
    u.Spare = 0;
    SetField(u.Password, sizeof u.Password, password);
    SetField(u.Code, sizeof u.Code, code);
    for (int o = 0; o < kUserCount; ++o) {
        if (o == r) continue;
        if (std::memcmp(work_[o].Name, u.Name, sizeof u.Name) != 0) continue;
        char line[96];
        std::snprintf(line, sizeof line, "Користувачі   %d и % d.", r + 1, o + 1);
        ShowQues(line, "Співпадання імен користувачів");
        Edit5.SetFocus();
        return;
    }
    SetImageUser(r, u);
    Row = r;
    Accepted = true;
    SetModalResult(ui::mrOk);
}

bool ChangeUserAccess(ui::StatusBar* bar) {
    {
        ui::HourGlass wait;
        if (!ReadTableRange({kTableStatesTable, 0, kTableCount}, bar, true)) return false;
    }
    if (ConfigImage[cfgofs::kTableStates + kUsersTable] != 0) {
        MessageKind = 4;
        ShowQues("Таблиця доступу користувачів", "вимагає повного перезапису");
        return false;
    }
    {
        ui::HourGlass wait;
        if (!ReadTableRange({kUsersTable, 0, 11}, bar, true)) return false;
        if (!ReadTableRange({kUsersTable, 11, 5}, bar, true)) return false;
    }
    const UsersTable before = ImageUsers();
    TFormChangeAccess form(nullptr);
    form.ShowModal();
    if (!form.Accepted || form.Row < 0 || form.Row >= kUserCount) return false;
    ui::HourGlass wait;
    if (WriteTableRange({kUsersTable, uint8_t(form.Row), 1}, bar, true)) return true;
    // The controller kept its row: so does the image.
    SetImageUser(form.Row, before[form.Row]);
    return false;
}
