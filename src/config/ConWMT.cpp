#include "config/ConWMT.h"

#include "common/Suplfunc.h"
#include "config/EditorParts.h"

TFormConWMT::TFormConWMT(ui::Component* owner) : ui::Form(owner, "FormConWMT") {
    editor::DialogWindow(*this, 412, 320, " Параметри зв'язку з вологоміром");

    editor::ComboRows({{Label1, ComboBox3, "Адреса вологоміра", 12, 16},
                       {Label2, ComboBox5, "Швидкість обміну", 42, 16},
                       {Label3, ComboBox6, "Режим обміну MODBUS протоколу", 72, 16},
                       {Label4, ComboBox8, "Таймаут очікування відповіді", 102, 16},
                       {Label6, ComboBox9, "Кільк. невдалих опитувань вологоміра\nпоспіль, після якої створюється\nдіагностичне повідомлення", 132, 48},
                       {Label7, ComboBox10, "Тип вологоміра", 192, 16}},
                      250, 264, 100, 14);
    editor::NumberCombo(ComboBox3, 1, 247);
    ComboBox5.SetItems(editor::BaudItems());
    ComboBox5.SetDropDownCount(22);
    ComboBox6.SetItems({" ASCII", " RTU"});
    editor::NumberCombo(ComboBox8, 5, 255);
    Label5.SetCaption("сс");
    Label5.SetBounds(370, 105, 30, 16);
    ComboBox9.SetItems(editor::NumberItems(1, 10));
    ComboBox9.SetDropDownCount(10);
    ComboBox10.SetItems({"ZEGAZ 5000", "ФОГ-3Г", "TOPOC"});

    editor::AcceptButtons(BitBtn3, BitBtn1, BitBtn2, 30, 244, 50, [this] { BitBtn1Click(); });
    OnShow = [this] { FormShow(); };
}

void TFormConWMT::FormShow() {
    accepted = 0;
    editor::ShowModeButton(BitBtn3, BitBtn1, Mode);
    ComboBox3.SetItemIndex(Block ? Block[0] - 1 : -1);
    ComboBox5.SetItemIndex(Block ? Block[1] : -1);
    ComboBox6.SetItemIndex(Block ? Block[2] : -1);
    ComboBox8.SetItemIndex(Block ? Block[4] - 5 : -1);
    ComboBox9.SetItemIndex(Block ? Block[5] - 1 : -1);
    ComboBox10.SetItemIndex(Block ? Block[6] : -1);
}

void TFormConWMT::BitBtn1Click() {
    if (ComboBox3.Text().empty() || ComboBox8.Text().empty() || ComboBox6.ItemIndex() < 0 ||
        ComboBox9.ItemIndex() < 0 || ComboBox10.ItemIndex() < 0 || ComboBox5.ItemIndex() < 0)
        return editor::InputError("Уведені не всі параметри");
    const long address = TypedNumber(ComboBox3.Text());
    if (address < 1 || address > 247) return editor::InputError("Адреса повинна бути", "в діапазоні 1...247");
    const long timeout = TypedNumber(ComboBox8.Text());
    if (timeout < 5 || timeout > 255) return editor::InputError("Таймаут повинен бути", "в діапазоні 5...255");
    if (Block) {
        Block[0] = uint8_t(address);
        Block[1] = uint8_t(ComboBox5.ItemIndex());
        Block[2] = uint8_t(ComboBox6.ItemIndex());
        Block[3] = 0;
        Block[4] = uint8_t(timeout);
        Block[5] = uint8_t(ComboBox9.ItemIndex() + 1);
        Block[6] = uint8_t(ComboBox10.ItemIndex());
        Block[7] = 0;
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
