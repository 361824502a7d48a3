#include "config/Distr.h"

#include <cstdio>

#include "config/EditorParts.h"

TFormDistr::TFormDistr(ui::Component* owner) : ui::Form(owner, "FormDistr") {
    editor::DialogWindow(*this, 400, 148, " Період запису середніх значень до ОВГ");

    Label1.SetCaption("Період запису середніх за годину\nзначень параметрів газу в ОВГ");
    Label1.SetBounds(12, 14, 230, 32);
    ComboBox1.SetStyle(ui::ComboStyle::DropDownList);
    for (uint8_t h : AveragingPeriods) {
        char item[8];
        std::snprintf(item, sizeof item, " %u", unsigned(h));
        ComboBox1.AddItem(item);
    }
    ComboBox1.SetDropDownCount(int(AveragingPeriods.size()));
    ComboBox1.SetBounds(250, 18, 70, 21);
    Label2.SetCaption("годин");
    Label2.SetBounds(328, 21, 50, 16);

    editor::AcceptButtons(BitBtn3, BitBtn1, BitBtn2, 26, 72, 58, [this] { BitBtn1Click(); });
    OnShow = [this] { FormShow(); };
}

void TFormDistr::FormShow() {
    accepted = 0;
    editor::ShowModeButton(BitBtn3, BitBtn1, Mode);
    int index = -1;
    for (int i = 0; i < int(AveragingPeriods.size()); ++i)
        if (Block && Block[0] == AveragingPeriods[i]) index = i;
    ComboBox1.SetItemIndex(index);
}

void TFormDistr::BitBtn1Click() {
    const int i = ComboBox1.ItemIndex();
    if (i < 0 || i >= int(AveragingPeriods.size())) return editor::InputError("Не введений період");
    if (Block) {
        Block[0] = AveragingPeriods[i];
        Block[1] = 0;
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
