#include "config/Uspass.h"

#include <cstring>

#include "common/Question.h"
#include "common/Suplfunc.h"
#include "config/Users.h"

namespace uspass {

void SetupPasswordEdit(ui::Edit& e) {
    e.SetMaxLength(12);
    e.SetPasswordChar(U'*');
}

void SetupCodeEdit(ui::Edit& e) {
    e.SetMaxLength(4);
    e.SetPasswordChar(U'*');
    e.SetKeyFilter(KeyFilterDigits);
    // Typed keys go through the filter; a pasted text is cleaned here.
    e.OnChange = [&e] {
        std::string digits;
        for (char c : e.Text())
            if (c >= '0' && c <= '9' && digits.size() < 4) digits += c;
        if (digits != e.Text()) e.SetText(digits);
    };
}

void EnterMovesTo(ui::Edit& from, ui::Control& to) {
    from.OnKeyDown = [&to](int& key, ui::Shift) {
        if (key != ui::key::Return) return;
        key = 0;
        to.SetFocus();
    };
}

std::string EditText(const char* field, std::size_t n) { return FieldText(field, n); }

void CredentialGroups::LayOut(int left, int width, ui::Control& next) {
    GroupBox1.SetCaption(" Пароль на запис ");
    GroupBox1.SetBounds(left, 8, width, 96);
    GroupBox2.SetCaption(" Код ідентифікації користувача  ");
    GroupBox2.SetBounds(left, 112, width, 96);
    struct Place {
        ui::Label& label;
        ui::Edit& edit;
        ui::GroupBox& group;
        const char* text;
        int top;
    };
    for (const Place& p : {Place{Label1, Edit1, GroupBox1, "Уведіть", 28}, Place{Label2, Edit2, GroupBox1, "Повторіть", 60},
                           Place{Label3, Edit3, GroupBox2, "Уведіть", 28}, Place{Label4, Edit4, GroupBox2, "Повторіть", 60}}) {
        p.label.SetParent(&p.group);
        p.label.SetCaption(p.text);
        p.label.SetBounds(16, p.top + 3, 96, 16);
        p.edit.SetParent(&p.group);
        p.edit.SetBounds(120, p.top, width - 136, 21);
    }
    SetupPasswordEdit(Edit1);
    SetupPasswordEdit(Edit2);
    SetupCodeEdit(Edit3);
    SetupCodeEdit(Edit4);
    EnterMovesTo(Edit3, Edit4);
    EnterMovesTo(Edit4, Edit1);
    EnterMovesTo(Edit1, Edit2);
    EnterMovesTo(Edit2, next);
}

void CredentialGroups::Show(const std::string& password, const std::string& code) {
    Edit1.SetText(password);
    Edit2.SetText(password);
    Edit3.SetText(code);
    Edit4.SetText(code);
}

bool CredentialGroups::Check(const char* passwordMismatch, const char* codeMismatch) {
    if (Edit1.Text() != Edit2.Text()) {
        ShowQues(passwordMismatch, "Повторіть процес спочатку");
        Edit1.SetText({});
        Edit2.SetText({});
        Edit1.SetFocus();
        return false;
    }
    if (Edit3.Text() != Edit4.Text()) {
        ShowQues(codeMismatch, "Повторіть процес спочатку");
        Edit3.SetText({});
        Edit4.SetText({});
        Edit3.SetFocus();
        return false;
    }
    if (Edit3.Text().empty()) {
        ShowQues("Не заданий код ідентифікації користувача", "");
        Edit3.SetFocus();
        return false;
    }
    return true;
}

}  // namespace uspass

TFormUsPass::TFormUsPass(ui::Component* owner) : ui::Form(owner, "FormUsPass") {
    std::memset(Password, ' ', sizeof Password);
    std::memset(Code, ' ', sizeof Code);
    SetCaption(" Ідентифікація користувача");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 354, 308);

    Credentials().LayOut(12, 324, BitBtn1);

    BitBtn1.SetCaption("Прийняти");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetBounds(60, 226, 104, 30);
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetBounds(184, 226, 104, 30);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);

    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    OnShow = [this] { FormShow(); };
}

void TFormUsPass::FormShow() {
    Accepted = false;
    std::string password, code;
    if (!StartEmpty) {
        password = uspass::EditText(Password, sizeof Password);
        code = uspass::EditText(Code, sizeof Code);
    }
    Credentials().Show(password, code);
    Edit3.SetFocus();
}

void TFormUsPass::BitBtn1Click() {
    MessageKind = 2;
    if (!Credentials().Check("Неспівпадіння уведених паролів", "Неспівпадіння уведених кодів")) return;
    SetField(Password, sizeof Password, Edit1.Text());
    SetField(Code, sizeof Code, Edit3.Text());
    Accepted = true;
    SetModalResult(ui::mrOk);
}
