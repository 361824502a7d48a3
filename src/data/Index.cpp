#include "data/Index.h"

#include <string>

#include "config/ArchiveDefaults.h"
#include "common/Question.h"
#include "common/Suplfunc.h"
#include "data/Period.h"

namespace {

void Refuse(const char* line1, const char* line2 = "") {
    MessageKind = 2;
    ShowQues(line1, line2);
}

}  // namespace

TFormIndex::TFormIndex(ui::Component* owner) : ui::Form(owner, "FormIndex") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 634, 260);

    Label1.SetCaption("Індекс найстарішого запису");
    Label1.SetBounds(12, 12, 200, 16);
    Panel2.SetBounds(220, 8, 120, 24);
    Panel2.SetBevelOuter(ui::Bevel::Lowered);
    Label2.SetCaption("Індекс найновішого запису");
    Label2.SetBounds(12, 42, 200, 16);
    Panel3.SetBounds(220, 38, 120, 24);
    Panel3.SetBevelOuter(ui::Bevel::Lowered);
    Label3.SetCaption("Індекс запису початку читання");
    Label3.SetBounds(12, 80, 200, 16);
    Edit1.SetBounds(220, 76, 120, 21);
    Label4.SetCaption("Кількість записів для читання");
    Label4.SetBounds(12, 110, 200, 16);
    Edit2.SetBounds(220, 106, 120, 21);
    for (ui::Edit* e : {&Edit1, &Edit2}) {
        e->SetKeyFilter(KeyFilterDigits);
        e->SetMaxLength(10);
    }
    Edit1.OnKeyDown = [this](int& key, ui::Shift) {
        if (key == ui::key::Return) {
            key = 0;
            Edit2.SetFocus();
        }
    };
    Edit2.OnKeyDown = [this](int& key, ui::Shift) {
        if (key == ui::key::Return) {
            key = 0;
            BitBtn1.SetFocus();
        }
    };

    RadioGroup1.SetCaption(" Завдання для читання даних ");
    RadioGroup1.SetItems({"Увесь діапазон даних", "Останні 100 записів", "Останні 50 записів",
                          "Останні 10 записів", "Заданий діапазон даних"});
    RadioGroup1.SetBounds(356, 8, 262, 150);
    RadioGroup1.OnClick = [this] { RadioGroup1Click(); };

    BitBtn1.SetCaption("Прийняти");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetBounds(190, 176, 110, 30);
    BitBtn1.SetDefault(true);  // Enter, where the focused control does not take it
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetBounds(330, 176, 110, 30);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);

    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormIndex::FormCreate() {
    accepted = 0;
    First = 0;
    Count = 0;
}

void TFormIndex::FormShow() {
    accepted = 0;
    SetBounds(Left(), Top(), 634, 260);
    SetCaption(Archive == 0 ? " Індекси архівних записів діагностики" : " Індекси архівних записів про втручання");
    Panel2.SetCaption(std::to_string(Oldest));
    Panel3.SetCaption(std::to_string(Newest));
    const int last = int(RadioGroup1.Items().size()) - 1;
    const uint32_t kind = ArchiveRequestDefaults.IndexKind;
    SelectRadio(RadioGroup1, kind > uint32_t(last) ? last : int(kind));
}

void TFormIndex::RadioGroup1Click() {
    const int kind = RadioGroup1.ItemIndex();
    if (kind < 0) return;
    const uint32_t n = Newest - Oldest + 1;  // unsigned, as the controller counts
    Edit1.SetEnabled(false);
    Edit2.SetEnabled(false);
    ArchiveRequestDefaults.IndexKind = uint32_t(kind);
    switch (kind) {
        case 0:
            Edit1.SetText(std::to_string(Oldest));
            Edit2.SetText(std::to_string(n));
            BitBtn1.SetFocus();
            break;
        case 1:
        case 2:
        case 3: {
            const uint32_t want = kind == 1 ? 100 : (kind == 2 ? 50 : 10);
            if (n < want) {
                Edit1.SetText(std::to_string(Oldest));
                Edit2.SetText(std::to_string(n));
            } else {
                Edit1.SetText(std::to_string(Newest - want + 1));
                Edit2.SetText(std::to_string(want));
            }
            BitBtn1.SetFocus();
            break;
        }
        default:
            Edit1.SetEnabled(true);
            Edit2.SetEnabled(true);
            Edit1.SetText({});
            Edit2.SetText({});
            Edit1.SetFocus();
            break;
    }
}

void TFormIndex::BitBtn1Click() {
    if (Edit1.Text().find_first_not_of(' ') == std::string::npos) {
        Refuse("Не введений індекс запису початку читання");
        return;
    }
    // Typed digits; -1 for anything else, a huge value for too many digits.
    const long long first = TypedNumber(Edit1.Text());
    if (first < 0 || first < Oldest || first > Newest) {
        Refuse("Нелогічне значення індексу запису початку читання", "(див. значення індексів початку і кінця архіву).");
        return;
    }
    if (Edit2.Text().find_first_not_of(' ') == std::string::npos) {
        Refuse("Не введена кількість записів для читання");
        return;
    }
    const long long typed = TypedNumber(Edit2.Text());
    if (typed <= 0 || typed > 0xFFFFFFFFLL) {
        Refuse("Нелогічне значення кількості записів для читання");
        return;
    }
    uint32_t count = uint32_t(typed);
    const uint32_t left = Newest - uint32_t(first) + 1;
    if (left != 0 && left < count) count = left;  // 0: the whole index space, nothing to cut
    First = uint32_t(first);
    Count = count;
    accepted = 1;
    SetModalResult(ui::mrOk);
}
