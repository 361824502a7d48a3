#include "config/Const_Par.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/Suplfunc.h"
#include "config/EditorParts.h"

namespace {
constexpr ui::Color kUnusedName = 0x800000, kUnusedEdit = 0xD3D3D3;
}

TFormConst_Par::TFormConst_Par(ui::Component* owner) : ui::Form(owner, "FormConst_Par") {
    editor::DialogWindow(*this, 596, 724);

    gasrows::Heading(Panel1, "Найменування параметрів газу", 6, 6, 300, 40);
    gasrows::Heading(Panel2, "Поставити\nна константу", 308, 6, 112, 40);
    gasrows::Heading(Panel3, "Значення\nконстанти", 422, 6, 160, 40);

    rows_ = gasrows::Rows(*this, 50, 30);
    pn = rows_.NamePanels(6, 300, 24);
    cb = rows_.Make<ui::CheckBox>("cb", 356, 17, 17, 4);
    ev = rows_.Make<ui::Edit>("ev", 432, 140, 22, 1);
    for (int c = 0; c < gasrows::kRows; ++c) {
        cb[c]->SetCaption({});
        ev[c]->SetAlignment(ui::TextAlign::Right);
        ev[c]->SetKeyFilter(KeyFilterFloat);
    }

    editor::AcceptButtons(BitBtn1, BitBtn3, BitBtn2, 120, 652, 60, [this] { BitBtn3Click(); });
    OnShow = [this] { FormShow(); };
}

void TFormConst_Par::FormShow() {
    accepted = 0;
    char caption[96];
    std::snprintf(caption, sizeof caption, " Константи параметрів газу нитки %d", Line + 1);
    SetCaption(caption);
    editor::ShowModeButton(BitBtn1, BitBtn3, Mode);
    if (Block) std::memcpy(work_, Block, sizeof work_);
    shown_.Clear();
    for (int c = 0; c < gasrows::kRows; ++c) {
        if (gasrows::Edited(c, Oxygen != 0)) {
            pn[c]->SetFontColor(ui::clWindowText);
            ev[c]->SetColor(ui::clWindow);
            ev[c]->SetText(FormatValue(gasrows::GetValue(work_ + kConstValuesAt, c)));
            shown_.Remember(c, ev[c]->Text());
            ev[c]->SetEnabled(true);
            cb[c]->SetChecked(work_[c] != 0);
            cb[c]->SetEnabled(true);
        } else {
            pn[c]->SetFontColor(kUnusedName);
            ev[c]->SetColor(kUnusedEdit);
            ev[c]->SetText({});
            ev[c]->SetEnabled(false);
            cb[c]->SetChecked(false);
            cb[c]->SetEnabled(false);
        }
    }
}

void TFormConst_Par::BitBtn3Click() {
    uint8_t work[kConstBlockSize];
    std::memcpy(work, work_, sizeof work);
    for (int c = 0; c < gasrows::kRows; ++c) {
        if (!gasrows::Edited(c, Oxygen != 0)) {
            work[c] = 0;
            gasrows::PutValue(work + kConstValuesAt, c, 0.0f);
            continue;
        }
        work[c] = cb[c]->Checked() ? 1 : 0;
        // An edit left as shown keeps the constant as stored (when it is a number).
        if (shown_.Untouched(c, ev[c]->Text()) && std::isfinite(gasrows::GetValue(work + kConstValuesAt, c))) continue;
        float v = 0;
        switch (gasrows::ReadSingle(ev[c]->Text(), v)) {
        case gasrows::Value::Empty:
            // An unticked row without a value keeps its constant.
            if (work[c]) return editor::InputError(gasrows::ParamName(c), "Не введено значення константи.");
            break;
        case gasrows::Value::Invalid:
            return editor::InputError(gasrows::ParamName(c), "Не введено значення константи.");
        case gasrows::Value::Number:
            gasrows::PutValue(work + kConstValuesAt, c, v);
            break;
        }
    }
    std::memcpy(work_, work, sizeof work_);
    if (Block) std::memcpy(Block, work_, sizeof work_);
    accepted = 1;
    SetModalResult(ui::mrOk);
}
