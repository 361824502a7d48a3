#include "config/ConVU.h"

#include "common/Rd_wr_ini.h"
#include "common/Suplfunc.h"
#include "config/ConfigImage.h"
#include "config/EditorParts.h"

TFormConVU::TFormConVU(ui::Component* owner) : ui::Form(owner, "FormConVU") {
    editor::DialogWindow(*this, 364, 210, " Параметри зв'язку із верхнім рівнем ");

    Label1.SetCaption("Адреса контролера");
    Label1.SetBounds(12, 15, 200, 16);
    editor::NumberCombo(ComboBox1, 1, 254);
    ComboBox1.SetBounds(240, 12, 100, 21);
    Label2.SetCaption("Швидкість обміну");
    Label2.SetBounds(12, 47, 200, 16);
    ComboBox2.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox2.SetDropDownCount(22);
    ComboBox2.SetBounds(240, 44, 100, 21);
    Label3.SetCaption("Кілк. преамбул  у відповіді ВР");
    Label3.SetBounds(12, 76, 220, 16);
    Label4.SetCaption("(  0 - 255 ) ");
    Label4.SetBounds(12, 92, 220, 16);
    Edit10.SetMaxLength(3);
    Edit10.SetKeyFilter(KeyFilterDigits);
    Edit10.SetBounds(240, 80, 100, 21);

    editor::AcceptButtons(BitBtn3, BitBtn1, BitBtn2, 14, 136, 34, [this] { BitBtn1Click(); });
    OnShow = [this] { FormShow(); };
}

void TFormConVU::FormShow() {
    accepted = 0;
    editor::ShowModeButton(BitBtn3, BitBtn1, Mode);
    ComboBox2.SetItems(editor::BaudItems());
    ComboBox1.SetItemIndex(Block ? Block[0] - 1 : -1);
    ComboBox2.SetItemIndex(Block ? Block[1] : -1);
    Edit10.SetText(Block ? IntToText(Block[2]) : std::string());
    // Over a modem or Ethernet the controller's line rate is not the
    // program's to change, nor on a controller that works at one rate.
    const bool baudEditable =
        Mode != 1 || (ProgramSettings.Conn_Prz == 0 && ConfigImage[cfgofs::kMultiBaud] != 0);
    ComboBox2.SetEnabled(baudEditable);
    Label2.SetEnabled(baudEditable);
}

void TFormConVU::BitBtn1Click() {
    if (ComboBox1.Text().empty() || (ComboBox2.Enabled() && ComboBox2.ItemIndex() < 0) || Edit10.Text().empty())
        return editor::InputError("Введены не все параметры");
    const long preambles = TypedNumber(Edit10.Text());
    if (preambles < 0 || preambles >= 256) return editor::InputError("Количество преамбул не должно превышать 255");
    const long address = TypedNumber(ComboBox1.Text());
    if (address < 1 || address > 254) return editor::InputError("Адрес должен быть", "в диапазоне 1...254");
    if (Block) {
        Block[2] = uint8_t(preambles);
        Block[0] = uint8_t(address);
        if (ComboBox2.Enabled()) Block[1] = uint8_t(BaudToCode(BaudRates[ComboBox2.ItemIndex()]));
        Block[3] = 0;
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
