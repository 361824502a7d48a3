#include "common/Object.h"

#include <string>

#include "common/Question.h"
#include "common/Suplfunc.h"

TFormObject::TFormObject(ui::Component* owner) : ui::Form(owner, "FormObject") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetCaption(" Параметри об'єкту");
    SetBounds(0, 0, 574, 140);

    Label1.SetCaption("Найменування об'єкту");
    Label1.SetBounds(12, 8, 150, 16);
    Label3.SetCaption("(до 49 символів)");
    Label3.SetBounds(164, 8, 150, 16);
    Edit1.SetBounds(12, 26, 370, 21);
    Edit1.SetMaxLength(49);
    Label2.SetCaption("Адреса контролеру ЗБР");
    Label2.SetBounds(398, 8, 160, 16);
    ComboBox1.SetBounds(398, 26, 150, 21);
    ComboBox1.SetDropDownCount(16);
    ComboBox1.SetMaxLength(3);

    BitBtn4.SetCaption("Прийняти");
    BitBtn4.SetGlyph(ui::Glyph::Ok);
    BitBtn4.SetBounds(154, 64, 120, 32);
    BitBtn5.SetCaption("Відмінити");
    BitBtn5.SetGlyph(ui::Glyph::Cancel);
    BitBtn5.SetCancel(true);
    BitBtn5.SetBounds(294, 64, 120, 32);

    ComboBox1.OnKeyPress = [this](char32_t& key) { ComboBox1KeyPress(key); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    BitBtn5.OnClick = [this] { BitBtn5Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormObject::FormCreate() {
    obj_rec = nullptr;
    accepted = 0;
    edit_mode = 0;
    ComboBox1.ClearItems();
    for (int a = 1; a <= 255; ++a) ComboBox1.AddItem(std::to_string(a));
}

void TFormObject::ComboBox1KeyPress(char32_t& key) { KeyFilterDigits(ComboBox1.Text(), 0, key); }

void TFormObject::FormShow() {
    SetBounds(Left(), Top(), 574, 140);
    if (edit_mode != 1 || !obj_rec) {
        Edit1.SetFocus();
        return;
    }
    Edit1.SetText(obj_rec->Name());
    ComboBox1.SetItemIndex(int(obj_rec->contr_adr) - 1);
}

void TFormObject::BitBtn4Click() {
    MessageKind = 2;
    if (ComboBox1.Text().empty() || Edit1.Text().empty()) {
        ShowQues("Уведені не всі параметри", "");
        return;
    }
    int address = 0;
    if (!TryStrToInt(ComboBox1.Text(), address) || address < 1 || address > 255) {
        ShowQues("Адреса поза припустимого діапазону", "(1...255)");
        return;
    }
    if (!obj_rec) return;
    obj_rec->contr_adr = std::uint8_t(address);
    obj_rec->SetName(Edit1.Text());
    accepted = 1;
    SetModalResult(ui::mrOk);
}

void TFormObject::BitBtn5Click() { Close(); }
