#include "config/ConHGC.h"

#include <cstdio>
#include <string>

#include "common/Suplfunc.h"
#include "config/EditorParts.h"
#include "platform/Codepage.h"

namespace {
constexpr uint8_t kChromType = 3;  // the one type offered
constexpr int kMaxOvg = 16;
constexpr int kNameWidth = 20;
constexpr ui::Color kGroupOn = 0x800000, kGroupOff = 0x808080;
}  // namespace

TFormConHGC::TFormConHGC(ui::Component* owner) : ui::Form(owner, "FormConHGC") {
    editor::DialogWindow(*this, 836, 348, " Параметри зв'язку з хроматографом ");

    editor::ComboRows({{Label1, ComboBox3, "Адреса хроматографа", 12, 16},
                       {Label2, ComboBox5, "Швидкість обміну", 40, 16},
                       {Label3, ComboBox6, "Режим обміну MODBUS протоколу", 68, 16},
                       {Label4, ComboBox7, "Тип парності", 96, 16},
                       {Label5, ComboBox8, "Таймаут очікування відповіді", 124, 16},
                       {Label7, ComboBox9, "Кільк. невдалих опитувань хроматографа\nпоспіль, після якої створюється\nдіагностиче повідомлення", 152, 48},
                       {Label8, ComboBox10, "Тип хроматографа", 210, 16}},
                      250, 268, 140, 14);
    editor::NumberCombo(ComboBox3, 1, 247);
    ComboBox5.SetItems(editor::BaudItems());
    ComboBox5.SetDropDownCount(22);
    ComboBox6.SetItems({" ASCII", " RTU"});
    ComboBox7.SetItems({" Біт парн. відсутній", " Непар. біт парності", "Парний біт парності"});
    ComboBox8.SetItems(editor::NumberItems(5, 255));
    ComboBox8.SetDropDownCount(16);
    Label6.SetCaption("сс");
    Label6.SetBounds(414, 127, 24, 16);
    ComboBox9.SetItems(editor::NumberItems(1, 10));
    ComboBox9.SetDropDownCount(10);
    ComboBox10.SetItems({"Orvix7200"});

    CheckBox1.SetBounds(446, 12, 370, 17);
    CheckBox2.SetBounds(446, 38, 370, 17);
    CheckBox3.SetCaption(" Наявність кисню в компонентному  складі");
    CheckBox3.SetBounds(446, 64, 370, 17);
    GroupBox2.SetCaption(" Для передачі Т газу нитці 1 хроматографа ");
    GroupBox2.SetBounds(446, 92, 374, 70);
    GroupBox3.SetCaption(" Для передачі Т газу нитці 2 хроматографа ");
    GroupBox3.SetBounds(446, 170, 374, 70);
    for (int line = 1; line <= 2; ++line) {
        Group g = GroupOf(line);
        for (ui::Control* c : {static_cast<ui::Control*>(g.indexLabel), static_cast<ui::Control*>(g.pipeLabel),
                               static_cast<ui::Control*>(g.index), static_cast<ui::Control*>(g.pipe)})
            c->SetParent(g.box);
        g.indexLabel->SetCaption("Індекс ОВГ");
        g.indexLabel->SetBounds(16, 20, 160, 16);
        g.index->SetStyle(ui::ComboStyle::DropDownList);
        g.index->SetDropDownCount(16);
        g.index->SetBounds(16, 38, 180, 21);
        g.pipeLabel->SetCaption("Номер нитки");
        g.pipeLabel->SetBounds(226, 20, 120, 16);
        g.pipe->SetStyle(ui::ComboStyle::DropDownList);
        g.pipe->SetItems({"1", "2", "3"});
        g.pipe->SetBounds(226, 38, 80, 21);
    }

    editor::AcceptButtons(BitBtn3, BitBtn1, BitBtn2, 256, 272, 60, [this] { BitBtn1Click(); });
    CheckBox1.OnClick = [this] { CheckBox1Click(); };
    CheckBox2.OnClick = [this] { CheckBox2Click(); };
    OnShow = [this] { FormShow(); };
}

TFormConHGC::Group TFormConHGC::GroupOf(int line) {
    if (line == 2) return {&GroupBox3, &Label11, &Label12, &ComboBox4, &ComboBox11, 12};
    return {&GroupBox2, &Label9, &Label10, &ComboBox1, &ComboBox2, 10};
}

int TFormConHGC::Count() const { return OvgAddresses ? (OvgCount > kMaxOvg ? kMaxOvg : OvgCount) : 0; }

TFormConHGC::Group TFormConHGC::SetThreadGroup(int line, bool on) {
    Group g = GroupOf(line);
    g.box->SetFontColor(on ? kGroupOn : kGroupOff);
    for (ui::Control* c : {static_cast<ui::Control*>(g.indexLabel), static_cast<ui::Control*>(g.pipeLabel),
                           static_cast<ui::Control*>(g.index), static_cast<ui::Control*>(g.pipe)}) {
        c->SetEnabled(on);
        c->SetFontColor(ui::clWindowText);
    }
    return g;
}

void TFormConHGC::EnableThreadGroup(int line) {
    const Group g = SetThreadGroup(line, true);
    g.index->SetItemIndex(Block ? Block[g.byte] : -1);
    g.pipe->SetItemIndex(Block ? Block[g.byte + 1] - 1 : -1);
}

void TFormConHGC::DisableThreadGroup(int line) {
    const Group g = SetThreadGroup(line, false);
    g.index->SetItemIndex(-1);
    g.pipe->SetItemIndex(-1);
}

void TFormConHGC::FormShow() {
    accepted = 0;
    editor::ShowModeButton(BitBtn3, BitBtn1, Mode);
    for (int line = 1; line <= 2; ++line) {
        std::string name = Names ? platform::ReadField(Names + line * kNameWidth, kNameWidth,
                                                       platform::CodePage::Cp1251, false)
                                 : std::string();
        (line == 1 ? CheckBox1 : CheckBox2).SetCaption(" Задіяна нитка " + std::to_string(line) + " (\"" + name + "\")");
    }
    std::vector<std::string> items;
    for (int i = 0; i < Count(); ++i) {
        char item[32];
        std::snprintf(item, sizeof item, "%d (адр. %d)", i, OvgAddresses[i]);
        items.push_back(item);
    }
    ComboBox1.SetItems(items);
    ComboBox4.SetItems(items);

    ComboBox3.SetItemIndex(Block ? Block[0] - 1 : -1);
    ComboBox5.SetItemIndex(Block ? Block[1] : -1);
    ComboBox6.SetItemIndex(Block ? Block[2] : -1);
    ComboBox7.SetItemIndex(Block ? Block[3] : -1);
    ComboBox8.SetItemIndex(Block ? Block[4] - 5 : -1);
    ComboBox9.SetItemIndex(Block ? Block[5] - 1 : -1);
    ComboBox10.SetItemIndex(Block && Block[6] == kChromType ? 0 : -1);
    const uint8_t lines = Block ? Block[7] : 0;
    // Setting a box fires its click only on a change: the groups are set
    // up below in any case.
    CheckBox1.SetChecked(lines & 0x01);
    CheckBox2.SetChecked(lines & 0x02);
    CheckBox3.SetChecked(lines & 0x04);
    CheckBox1Click();
    CheckBox2Click();
}

void TFormConHGC::CheckBox1Click() {
    if (Count() > 0 && CheckBox1.Checked()) EnableThreadGroup(1);
    else DisableThreadGroup(1);
}

void TFormConHGC::CheckBox2Click() {
    if (Count() > 0 && CheckBox2.Checked()) EnableThreadGroup(2);
    else DisableThreadGroup(2);
}

void TFormConHGC::BitBtn1Click() {
    bool missing = ComboBox3.Text().empty();
    for (const ui::ComboBox* c : {&ComboBox5, &ComboBox6, &ComboBox7, &ComboBox8, &ComboBox9, &ComboBox10})
        missing = missing || c->ItemIndex() < 0;
    missing = missing || (!CheckBox1.Checked() && !CheckBox2.Checked());
    if (Count() > 0) {
        for (int line = 1; line <= 2; ++line) {
            Group g = GroupOf(line);
            const bool ticked = (line == 1 ? CheckBox1 : CheckBox2).Checked();
            if (ticked && (g.index->ItemIndex() < 0 || g.pipe->ItemIndex() < 0)) missing = true;
        }
    }
    if (missing) return editor::InputError("Уведені не всі параметри");
    const long address = TypedNumber(ComboBox3.Text());
    if (address < 1 || address > 247) return editor::InputError("Адреса повинна бути", "в діапазоні 1...247");

    if (Block) {
        for (int b : {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13}) Block[b] = 0;
        Block[0] = uint8_t(address);
        Block[1] = uint8_t(ComboBox5.ItemIndex());
        Block[2] = uint8_t(ComboBox6.ItemIndex());
        Block[3] = uint8_t(ComboBox7.ItemIndex());
        Block[4] = uint8_t(ComboBox8.ItemIndex() + 5);
        Block[5] = uint8_t(ComboBox9.ItemIndex() + 1);
        Block[6] = kChromType;
        Block[7] = uint8_t((CheckBox1.Checked() ? 0x01 : 0) | (CheckBox2.Checked() ? 0x02 : 0) |
                           (CheckBox3.Checked() ? 0x04 : 0));
        if (Count() > 0) {
            for (int line = 1; line <= 2; ++line) {
                if (!(line == 1 ? CheckBox1 : CheckBox2).Checked()) continue;
                Group g = GroupOf(line);
                Block[g.byte] = uint8_t(g.index->ItemIndex());
                Block[g.byte + 1] = uint8_t(g.pipe->ItemIndex() + 1);
            }
        }
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
