#include "config/Limits.h"

#include <cmath>
#include <string>

#include "common/Suplfunc.h"
#include "config/EditorParts.h"
#include "config/LimitRanges.h"

namespace {
const char* const kCaptions[kLimitKindCount] = {
    " Параметри газу. Зона нечутливості змін",
    " Нижня попереджувальна уставка параметра газу",
    " Верхня попереджувальна уставка параметра газу",
    " Нижня межа знач. парам. газу, що допускається до запису до ВРГ",
    " Верхня межа знач. парам. газу, що допускається до запису до ВРГ",
};
constexpr ui::Color kUnusedColor = 0x800000;
}  // namespace

const char* TFormLimits::KindCaption(int kind) { return kind >= 0 && kind < kLimitKindCount ? kCaptions[kind] : ""; }

TFormLimits::TFormLimits(ui::Component* owner) : ui::Form(owner, "FormLimits") {
    editor::DialogWindow(*this, 550, 530);

    gasrows::Heading(Panel1, "Найменування\nпараметру", 6, 6, 250, 34);
    gasrows::Heading(Panel2, "Діапазон", 258, 6, 130, 34);
    gasrows::Heading(Panel3, "Значення", 390, 6, 82, 34);

    rows_ = gasrows::Rows(*this, 42, 21);
    pn = rows_.NamePanels(6, 250, 20);
    pd = rows_.Make<ui::Panel>("pd", 258, 130, 20);
    ev = rows_.Make<ui::Edit>("ev", 390, 82, 20);
    // The unit labels take the rest of the row up to the window's edge, and
    // grow with their text, so a wider face never cuts "МДж/м3".
    constexpr int kUnitLeft = 476;
    l = rows_.Make<ui::Label>("l", kUnitLeft, ClientWidth() - kUnitLeft - 2, 16, 3);
    for (int c = 0; c < gasrows::kRows; ++c) {
        l[c]->SetAutoSize(true);
        pd[c]->SetBevelOuter(ui::Bevel::Lowered);
        ev[c]->SetMaxLength(8);
        ev[c]->SetAlignment(ui::TextAlign::Right);
        ev[c]->SetKeyFilter(KeyFilterFloat);
        ui::Edit* e = ev[c];
        e->OnExit = [this, e] { evExit(*e); };
    }

    editor::AcceptButtons(BitBtn3, BitBtn1, BitBtn2, 96, 467, 40, [this] { BitBtn3Click(); });
    OnShow = [this] { FormShow(); };
}

void TFormLimits::FormShow() {
    accepted = 0;
    const int kind = KindIndex();
    SetCaption(kCaptions[kind]);
    editor::ShowModeButton(BitBtn3, BitBtn1, Mode);
    shown_.Clear();
    for (int c = 0; c < gasrows::kRows; ++c) {
        const LimitRange& r = LimitRanges[kind][c];
        if (gasrows::Edited(c, Oxygen != 0)) {
            pd[c]->SetCaption(" " + gasrows::LimitText(r.min, r.decimals) + " - " + gasrows::LimitText(r.max, r.decimals));
            pd[c]->SetFontColor(ui::clWindowText);
            ev[c]->SetText(Block ? gasrows::LimitText(gasrows::GetValue(Block, c), r.decimals) : std::string());
            if (Block) shown_.Remember(c, ev[c]->Text());
            ev[c]->SetEnabled(true);
            l[c]->SetCaption(r.unit);
        } else {
            pd[c]->SetCaption("Не використов.");
            pd[c]->SetFontColor(kUnusedColor);
            ev[c]->SetText("0");
            ev[c]->SetEnabled(false);
            l[c]->SetCaption({});
        }
    }
    for (int c = 0; c < gasrows::kRows; ++c)
        if (ev[c]->Enabled()) {
            ev[c]->SetFocus();
            break;
        }
}

void TFormLimits::evExit(ui::Edit& sender) {
    const int c = sender.Tag();
    if (c < 0 || c >= gasrows::kRows || !sender.Enabled()) return;
    gasrows::ReformatLimitEdit(sender, LimitRanges[KindIndex()][c].decimals);
}

void TFormLimits::BitBtn3Click() {
    const int kind = KindIndex();
    const bool oxygen = Oxygen != 0;
    for (int c = 0; c < gasrows::kRows; ++c) {
        if (gasrows::Edited(c, oxygen) && ev[c]->Text().find_first_not_of(' ') == std::string::npos)
            return editor::InputError("Уведені не всі параметри");
    }
    float values[gasrows::kRows] = {};
    for (int c = 0; c < gasrows::kRows; ++c) {
        if (!gasrows::Edited(c, oxygen)) continue;
        const LimitRange& r = LimitRanges[kind][c];
        const float lower = float(double(r.min) - 0.00001), upper = float(double(r.max) + 0.00001);
        float v = 0;
        const std::string& text = ev[c]->Text();
        bool number = true;
        // An edit left as shown keeps the stored value, as long as that value
        // is within the range; otherwise what the edit shows is what counts
        // (a value just outside the range shows rounded onto the bound).
        const float stored = Block ? gasrows::GetValue(Block, c) : 0.0f;
        if (Block && shown_.Untouched(c, text) && lower <= stored && stored <= upper) v = stored;
        else number = gasrows::ReadSingle(text, v) == gasrows::Value::Number;
        // NaN, infinities and texts that are no number all fail this test.
        if (!number || !(lower <= v && v <= upper))
            return editor::InputError("Параметр \"" + gasrows::ParamName(c) + " \".",
                                      "Введіть значення відповідно до допустимого діапазону");
        values[c] = v;
    }
    if (Block) {
        for (int c = 0; c < gasrows::kRows; ++c)
            if (gasrows::Edited(c, oxygen)) gasrows::PutValue(Block, c, values[c]);
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
