#include "config/OvgList.h"

#include <cstring>

#include "common/ListForms.h"
#include "common/Question.h"
#include "config/EditorParts.h"
#include "config/OvgPar.h"

namespace {
constexpr int kGridTop = 60;
constexpr int kColumnWidths[4] = {80, 130, 150, 140};
}  // namespace

TFormOvgList::TFormOvgList(ui::Component* owner) : ui::Form(owner, "FormOvgList") {
    editor::DialogWindow(*this, 526, 300, " Параметри обчислювачів витрати газу");

    ui::Panel* heads[4] = {&Panel1, &Panel2, &Panel3, &Panel4};
    const char* const captions[4] = {"Адреса", "Тип", "Порядок байтів\nу багатобайтних змінних",
                                     "Необхідність запису\nпараметрів газу\nдля трубопроводів"};
    int left = 8;
    for (int c = 0; c < 4; ++c) {
        heads[c]->SetCaption(captions[c]);
        heads[c]->SetBevelOuter(ui::Bevel::Lowered);
        heads[c]->SetBounds(left, 6, kColumnWidths[c], kGridTop - 8);
        left += kColumnWidths[c];
    }
    StringGrid1.SetColCount(4);
    StringGrid1.SetFixedCols(0);
    StringGrid1.SetFixedRows(0);
    StringGrid1.SetRowCount(1);
    StringGrid1.SetDefaultRowHeight(20);
    for (int c = 0; c < 4; ++c) StringGrid1.SetColWidth(c, kColumnWidths[c] - 1);
    ui::GridOptions o;
    o.rowSelect = true;
    StringGrid1.SetOptions(o);
    StringGrid1.SetScrollBars(ui::ScrollBars::None);
    StringGrid1.SetBounds(8, kGridTop, left - 8 + 4, 24);

    BitBtn3.SetCaption("Змінити");
    BitBtn6.SetCaption("Додати");
    BitBtn8.SetCaption("Видалити");
    editor::AcceptButtons(BitBtn1, BitBtn4, BitBtn2, 60, 0, 60, [this] { BitBtn1Click(); });

    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    StringGrid1.OnDblClick = [this] { BitBtn3Click(); };
    BitBtn6.OnClick = [this] { BitBtn6Click(); };
    BitBtn8.OnClick = [this] { BitBtn8Click(); };
    OnShow = [this] { FormShow(); };
    FitListHeight();
}

int TFormOvgList::Selected() const {
    const int r = StringGrid1.Row();
    return r >= 0 && r < Count ? r : 0;
}

void TFormOvgList::ShowOvgRow(int i) {
    if (i < 0 || i >= kMaxOvgCount) return;
    const OvgRow& r = Work[i];
    StringGrid1.SetRowTexts(i, {listforms::Format("   %u", r.Address), " " + OvgTypeText(r.Type),
                                " " + OvgByteOrderText(r.ByteOrder), listforms::Format("      0x%02X", r.Mask)});
}

void TFormOvgList::FitListHeight() {
    const int rows = Count > 0 ? Count : 1;
    StringGrid1.SetRowCount(rows);
    const int gridHeight = rows * (StringGrid1.DefaultRowHeight() + 1) + 3;
    StringGrid1.SetHeight(gridHeight);
    const int bottom = kGridTop + gridHeight;
    SetHeight(kGridTop + gridHeight + 120);
    const int row1 = bottom + 10, row2 = bottom + 48;
    BitBtn3.SetBounds(38, row1, 130, 30);
    BitBtn6.SetBounds(190, row1, 130, 30);
    BitBtn8.SetBounds(342, row1, 130, 30);
    for (ui::Button* b : {&BitBtn1, &BitBtn4}) b->SetBounds(72, row2, 180, 30);
    BitBtn2.SetBounds(292, row2, 150, 30);
}

void TFormOvgList::UpdateListButtons() {
    BitBtn6.SetEnabled(Count < kMaxOvgCount);
    BitBtn8.SetEnabled(Count >= 2);
}

void TFormOvgList::FormShow() {
    accepted = 0;
    std::memset(LayoutFlags, 0, sizeof LayoutFlags);
    editor::ShowModeButton(BitBtn1, BitBtn4, Mode);
    Count = uint8_t(ClampOvgCount(Rows ? Count : 0));
    if (Count == 0) {
        // An empty list starts with one row to fill in.
        Work[0] = OvgRow{};
        std::memset(Work[0].Password, ' ', sizeof Work[0].Password);
        Count = 1;
    } else {
        std::memcpy(Work, Rows, Count * sizeof(OvgRow));
    }
    FitListHeight();
    for (int i = 0; i < Count; ++i) ShowOvgRow(i);
    StringGrid1.SetRow(0);
    UpdateListButtons();
}

bool TFormOvgList::EditRow(int i, bool& passwordChanged) {
    TFormOvgPar f(this);
    f.RowNumber = i + 1;
    f.Row = &Work[i];
    f.LayoutFlag = &LayoutFlags[i];
    f.ThreadByte = ThreadByte;
    f.ShowModal();
    passwordChanged = f.changed != 0;
    return f.accepted != 0;
}

void TFormOvgList::BitBtn3Click() {
    const int i = Selected();
    bool changed = false;
    if (!EditRow(i, changed)) return;
    if (changed) PasswordChanged[i] = 1;
    ShowOvgRow(i);
}

void TFormOvgList::BitBtn6Click() {
    if (Count >= kMaxOvgCount) return;
    const int i = Count;
    Work[i] = OvgRow{};
    LayoutFlags[i] = 0;
    bool changed = false;
    if (!EditRow(i, changed)) return;
    PasswordChanged[i] = 1;
    Count = uint8_t(i + 1);
    FitListHeight();
    ShowOvgRow(i);
    StringGrid1.SetRow(i);
    UpdateListButtons();
}

void TFormOvgList::BitBtn8Click() {
    if (Count < 2) return;
    const int i = Selected();
    MessageKind = 3;
    ShowQues("Ви дійсно хочете видалити", listforms::Format("обчислювач адр. %u?", Work[i].Address));
    if (!MessageAnswer) return;
    for (int k = i; k < Count - 1; ++k) {
        Work[k] = Work[k + 1];
        LayoutFlags[k] = LayoutFlags[k + 1];
        PasswordChanged[k] = 1;  // this place now holds another flow computer
    }
    Count = uint8_t(Count - 1);
    FitListHeight();
    for (int k = 0; k < Count; ++k) ShowOvgRow(k);
    StringGrid1.SetRow(i < Count ? i : Count - 1);
    UpdateListButtons();
}

void TFormOvgList::BitBtn1Click() {
    for (int i = 0; i < Count; ++i) {
        const OvgRow& r = Work[i];
        if (r.Address == 0 || r.Address == 255 || r.Type >= kOvgTypeCount || r.ByteOrder > 1)
            return editor::InputError(listforms::Format("Обчислювач № %u", unsigned(i + 1)), "Невірно задані параметри");
    }
    for (int i = 0; i < Count; ++i)
        for (int k = i + 1; k < Count; ++k)
            if (Work[k].Address == Work[i].Address)
                return editor::InputError(listforms::Format("Повтор адреси %u", Work[i].Address));
    if (Rows) std::memcpy(Rows, Work, Count * sizeof(OvgRow));
    accepted = 1;
    SetModalResult(ui::mrOk);
}
