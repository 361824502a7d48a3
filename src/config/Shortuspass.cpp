#include "config/Shortuspass.h"

#include <cstring>

#include "common/Question.h"
#include "config/Users.h"
#include "config/Uspass.h"

TFormShortUsPass::TFormShortUsPass(ui::Component* owner) : ui::Form(owner, "FormShortUsPass") {
    std::memset(Password, ' ', sizeof Password);
    std::memset(Code, ' ', sizeof Code);
    SetCaption(" Ідентифікація користувача програми");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 384, 176);

    Label1.SetCaption(" Код ідентифікації  користувача");
    Label1.SetBounds(12, 19, 214, 16);
    Edit1.SetBounds(236, 16, 124, 21);
    Label2.SetCaption(" Пароль на запис в контролер");
    Label2.SetBounds(12, 55, 214, 16);
    Edit2.SetBounds(236, 52, 124, 21);
    uspass::SetupCodeEdit(Edit1);
    uspass::SetupPasswordEdit(Edit2);
    uspass::EnterMovesTo(Edit1, Edit2);
    uspass::EnterMovesTo(Edit2, BitBtn1);

    BitBtn1.SetCaption("Прийняти");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetBounds(74, 98, 104, 30);
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetBounds(200, 98, 104, 30);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);

    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    OnShow = [this] { FormShow(); };
}

void TFormShortUsPass::FormShow() {
    Accepted = false;
    Edit1.SetText({});
    Edit2.SetText({});
    Edit1.SetFocus();
}

void TFormShortUsPass::BitBtn1Click() {
    const std::string code = Edit1.Text();
    if (code.empty()) {
        MessageKind = 2;
        ShowQues("Не заданий код ідентифікації користувача", "");
        Edit1.SetFocus();
        return;
    }
    SetField(Password, sizeof Password, Edit2.Text());
    SetField(Code, sizeof Code, code);
    Accepted = true;
    SetModalResult(ui::mrOk);
}

bool AskUserIdentity() {
    TFormShortUsPass form(nullptr);
    form.ShowModal();
    if (!form.Accepted) return false;
    SetLinkCredentials(form.Password, form.Code);
    return true;
}
