#include "config/PrzDistr.h"

#include "config/EditorParts.h"

namespace {
constexpr ui::Color kUnusedColor = 0xE4E4E4;
}

TFormPrzDistr::TFormPrzDistr(ui::Component* owner) : ui::Form(owner, "FormPrzDistr") {
    editor::DialogWindow(*this, 468, 530, " Необхідність запису значень параметрів газу до ВРГ");

    gasrows::Heading(Panel1, "Найменування параметру", 6, 6, 280, 34);
    gasrows::Heading(Panel2, "Необхідність запису", 288, 6, 166, 34);
    rows_ = gasrows::Rows(*this, 42, 21);
    pn = rows_.NamePanels(6, 280, 20);
    cb = rows_.Make<ui::ComboBox>("cb", 288, 166, 20);
    for (ui::ComboBox* c : cb) {
        c->SetStyle(ui::ComboStyle::DropDownList);
        c->SetItems({" Не записувати ", " Записувати"});
    }

    editor::AcceptButtons(BitBtn3, BitBtn1, BitBtn2, 48, 467, 60, [this] { BitBtn1Click(); });
    OnShow = [this] { FormShow(); };
}

void TFormPrzDistr::FormShow() {
    accepted = 0;
    editor::ShowModeButton(BitBtn3, BitBtn1, Mode);
    for (int c = 0; c < gasrows::kRows; ++c) {
        if (gasrows::Edited(c, Oxygen != 0)) {
            cb[c]->SetItemIndex(Block ? Block[c] : -1);  // a byte above 1 shows no selection
            cb[c]->SetEnabled(true);
            cb[c]->SetColor(ui::clWindow);
        } else {
            cb[c]->SetItemIndex(0);
            cb[c]->SetEnabled(false);
            cb[c]->SetColor(kUnusedColor);
        }
    }
}

void TFormPrzDistr::BitBtn1Click() {
    for (ui::ComboBox* c : cb) {
        if (c->ItemIndex() < 0) {
            ui::Application::MessageBox("Уведені не всі параметри", "Помилка", ui::MB_OK | ui::MB_ICONERROR);
            return;
        }
    }
    if (Block)
        for (int c = 0; c < gasrows::kRows; ++c) Block[c] = uint8_t(cb[c]->ItemIndex());
    accepted = 1;
    SetModalResult(ui::mrOk);
}
