#include "common/Abonent.h"

#include <string>

#include "common/ListForms.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"
#include "common/Suplfunc.h"

namespace {
constexpr char kNotAll[] = "Уведені не всі параметри";
}

TFormAbonent::TFormAbonent(ui::Component* owner) : ui::Form(owner, "FormAbonent") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 568, 220);

    Label1.SetCaption("Найменування");
    Label1.SetBounds(16, 12, 200, 16);
    Edit1.SetBounds(16, 30, 360, 21);
    Edit1.SetMaxLength(49);
    Label2.SetCaption("Адреса пристрою");
    Label2.SetBounds(396, 12, 150, 16);
    ComboBox1.SetBounds(396, 30, 150, 21);
    listforms::SetUpAddressBox(ComboBox1);

    for (ui::Panel* p : {&pn_fon, &pn_ethr}) {
        p->SetBevelOuter(ui::Bevel::None);
        p->SetBounds(0, 60, 562, 64);
    }
    Label3.SetParent(&pn_fon);
    Label3.SetCaption("№ телефона");
    Label3.SetBounds(16, 8, 200, 16);
    Edit2.SetParent(&pn_fon);
    Edit2.SetBounds(16, 26, 260, 21);
    Edit2.SetMaxLength(29);

    Label4.SetParent(&pn_ethr);
    Label4.SetCaption("IP-адреса:порт");
    Label4.SetBounds(16, 8, 200, 16);
    int x = 16;
    ui::Edit* boxes[] = {&ip4, &ip3, &ip2, &ip1};
    ui::Label* seps[] = {&Label5, &Label6, &Label7, &Label8};
    for (int i = 0; i < 4; ++i) {
        boxes[i]->SetParent(&pn_ethr);
        boxes[i]->SetBounds(x, 26, 44, 21);
        boxes[i]->SetMaxLength(3);
        boxes[i]->SetAlignment(ui::TextAlign::Center);
        x += 44;
        seps[i]->SetParent(&pn_ethr);
        seps[i]->SetCaption(i < 3 ? "." : ":");
        seps[i]->SetAlignment(ui::TextAlign::Center);
        seps[i]->SetBounds(x, 30, 10, 16);
        x += 10;
    }
    Edit11.SetParent(&pn_ethr);
    Edit11.SetBounds(x, 26, 70, 21);
    Edit11.SetMaxLength(5);

    listforms::AcceptCancelButtons(BitBtn4, BitBtn5, 151, 136);

    auto digits = [this](ui::Control& c, char32_t& key) { EditIntKeyPress(c.Text(), key); };
    ComboBox1.OnKeyPress = [this, digits](char32_t& key) { digits(ComboBox1, key); };
    for (ui::Edit* e : {&ip1, &ip2, &ip3, &ip4, &Edit11})
        e->OnKeyPress = [e, digits](char32_t& key) { digits(*e, key); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    BitBtn5.OnClick = [this] { BitBtn5Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormAbonent::FormCreate() {
    fon_rec = nullptr;
    ethr_rec = nullptr;
    edit_mode = 0;
    accepted = 0;
    listforms::FillAddresses(ComboBox1);
    for (int i = 0; i < 4; ++i) ip_edit[i] = Find<ui::Edit>("ip" + std::to_string(i + 1));
    pn_fon.Hide();
    pn_ethr.Hide();
}

void TFormAbonent::EditIntKeyPress(const std::string& text, char32_t& key) {
    KeyFilterDigits(text, 0, key);
}

void TFormAbonent::FormShow() {
    SetWidth(568);
    switch (ProgramSettings.Conn_Prz) {
    case 1:
        SetCaption(" Параметри абонента (зв'зок телефоном)");
        pn_fon.Show();
        SetHeight(220);
        if (edit_mode != 1 || !fon_rec) {
            Edit1.SetFocus();
            break;
        }
        Edit1.SetText(fon_rec->Name());
        ComboBox1.SetItemIndex(int(fon_rec->contr_adr) - 1);
        Edit2.SetText(fon_rec->Phone());
        break;
    case 2:
        SetCaption(" Параметри абонента (Ethernet-інтерфейс)");
        pn_ethr.Show();
        SetHeight(224);
        if (edit_mode != 1 || !ethr_rec) {
            Edit1.SetFocus();
            break;
        }
        Edit1.SetText(ethr_rec->Name());
        ComboBox1.SetItemIndex(int(ethr_rec->contr_adr) - 1);
        for (int i = 0; i < 4; ++i)
            if (ip_edit[i]) ip_edit[i]->SetText(std::to_string((ethr_rec->ip_adr >> (8 * i)) & 0xFF));
        Edit11.SetText(std::to_string(ethr_rec->port));
        break;
    default: break;
    }
}

void TFormAbonent::Refuse(const char* line1, const char* line2) {
    MessageKind = 2;
    ShowQues(line1, line2);
}

void TFormAbonent::BitBtn4Click() {
    int address = 0;
    if (!listforms::CheckNameAndAddress(Edit1, ComboBox1, address)) return;

    switch (ProgramSettings.Conn_Prz) {
    case 1:
        if (listforms::IsBlankText(Edit2.Text())) return Refuse(kNotAll);
        if (!fon_rec) return;
        fon_rec->contr_adr = std::uint8_t(address);
        fon_rec->SetName(Edit1.Text());
        fon_rec->SetPhone(Edit2.Text());
        break;
    case 2: {
        if (Edit11.Text().empty()) return Refuse(kNotAll);
        std::uint32_t ip = 0;
        for (int i = 0; i < 4; ++i) {
            const std::string& t = ip_edit[i] ? ip_edit[i]->Text() : std::string();
            if (t.empty()) return Refuse(kNotAll);
            int octet = 0;
            if (!TryStrToInt(t, octet) || octet < 0 || octet > 255)
                return Refuse("Поле IP-адреси поза припустимого діапазону", "(0...255)");
            ip |= std::uint32_t(octet) << (8 * i);
        }
        // A TCP port is 1..65535; anything else could never be connected to.
        int port = 0;
        if (!TryStrToInt(Edit11.Text(), port) || port < 1 || port > 65535)
            return Refuse("Порт поза припустимого діапазону", "(1...65535)");
        if (!ethr_rec) return;
        ethr_rec->contr_adr = std::uint8_t(address);
        ethr_rec->ip_adr = ip;
        ethr_rec->port = std::uint32_t(port);
        ethr_rec->SetName(Edit1.Text());
        break;
    }
    default: break;
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}

void TFormAbonent::BitBtn5Click() { Close(); }
