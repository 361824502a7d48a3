#include "common/Object.h"

#include <string>

#include "common/ListForms.h"
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
    listforms::SetUpAddressBox(ComboBox1);

    listforms::AcceptCancelButtons(BitBtn4, BitBtn5, 154, 64);

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
    listforms::FillAddresses(ComboBox1);
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
    int address = 0;
    if (!listforms::CheckNameAndAddress(Edit1, ComboBox1, address)) return;
    if (!obj_rec) return;
    obj_rec->contr_adr = std::uint8_t(address);
    obj_rec->SetName(Edit1.Text());
    accepted = 1;
    SetModalResult(ui::mrOk);
}

void TFormObject::BitBtn5Click() { Close(); }
