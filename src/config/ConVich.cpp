#include "config/ConVich.h"

#include "common/Suplfunc.h"
#include "config/EditorParts.h"

TFormConVich::TFormConVich(ui::Component* owner) : ui::Form(owner, "FormConVich") {
    editor::DialogWindow(*this, 440, 396, " Параметри зв'язку з ОВГ");

    editor::ComboRows({{Label1, ComboBox10, "Кількість підключених обчислювачів", 12, 16},
                       {Label2, ComboBox11, "Швидкість обміну", 42, 16},
                       {Label3, ComboBox15, "Кільк. невдалих опитувань поспіль, після\nякої створюється діагностичне повідомлення", 70, 32},
                       {Label4, ComboBox14, "Таймаут очікування відповіді від обчислювача", 112, 16}},
                      290, 310, 80, 6);
    ComboBox10.SetItems(editor::NumberItems(1, 16));
    ComboBox10.SetDropDownCount(16);
    ComboBox11.SetDropDownCount(22);
    ComboBox15.SetItems(editor::NumberItems(1, 10));
    ComboBox15.SetDropDownCount(10);
    ComboBox14.SetItems(editor::NumberItems(1, 255));
    ComboBox14.SetDropDownCount(16);
    Label5.SetCaption("дс");
    Label5.SetBounds(396, 115, 30, 16);
    Label6.SetCaption("Кільк. преамбул у запиті до обчислювача");
    Label6.SetBounds(12, 144, 290, 16);
    Label7.SetCaption("(  0 - 255 ) ");
    Label7.SetBounds(12, 160, 290, 16);
    Edit2.SetMaxLength(3);
    Edit2.SetKeyFilter(KeyFilterDigits);
    Edit2.SetBounds(310, 148, 80, 21);

    GroupBox1.SetCaption(" Режим запису параметрів газу в обчислювач ");
    GroupBox1.SetBounds(12, 186, 410, 118);
    const char* const modes[3] = {"Не записувати", "Записувати середні за годину\nза умови відхилення їх від значень у ОВГ",
                                  "Записувати середні за годину\nзначення періодично безумовно"};
    for (int i = 0; i < 3; ++i) {
        auto& r = Make<ui::RadioButton>("rb" + std::to_string(i + 1));
        r.SetParent(&GroupBox1);
        r.SetCaption(modes[i]);
        r.SetTag(i);
        r.SetBounds(16, i == 0 ? 22 : 44 + (i - 1) * 36, 380, i == 0 ? 17 : 32);
    }
    for (int i = 0; i < 3; ++i) rb[i] = Find<ui::RadioButton>("rb" + std::to_string(i + 1));

    editor::AcceptButtons(BitBtn3, BitBtn1, BitBtn2, 52, 320, 50, [this] { BitBtn1Click(); });
    OnShow = [this] { FormShow(); };
}

void TFormConVich::FormShow() {
    accepted = 0;
    editor::ShowModeButton(BitBtn3, BitBtn1, Mode);
    ComboBox11.SetItems(editor::BaudItems());
    ComboBox10.SetItemIndex(Block ? Block[0] - 1 : -1);
    ComboBox11.SetItemIndex(Block ? Block[1] : -1);
    ComboBox15.SetItemIndex(Block ? Block[2] - 1 : -1);
    ComboBox14.SetItemIndex(Block ? Block[3] - 1 : -1);
    Edit2.SetText(Block ? IntToText(Block[4]) : std::string());
    for (int i = 0; i < 3; ++i) rb[i]->SetChecked(false);
    if (Block && Block[5] < 3) rb[Block[5]]->SetChecked(true);
}

void TFormConVich::BitBtn1Click() {
    int mode = -1;
    for (int i = 0; i < 3; ++i)
        if (rb[i]->Checked()) mode = i;
    if (ComboBox10.ItemIndex() < 0 || ComboBox11.ItemIndex() < 0 || ComboBox15.ItemIndex() < 0 ||
        ComboBox14.ItemIndex() < 0 || Edit2.Text().empty() || mode < 0)
        return editor::InputError("Уведені не всі параметри");
    const long preambles = TypedNumber(Edit2.Text());
    if (preambles < 0 || preambles >= 256) return editor::InputError("Кількість преамбул не повинно перевищувати 255");
    if (Block) {
        Block[4] = uint8_t(preambles);
        Block[0] = uint8_t(ComboBox10.ItemIndex() + 1);
        Block[1] = uint8_t(BaudToCode(BaudRates[ComboBox11.ItemIndex()]));
        Block[2] = uint8_t(ComboBox15.ItemIndex() + 1);
        Block[3] = uint8_t(ComboBox14.ItemIndex() + 1);
        Block[5] = uint8_t(mode);
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
