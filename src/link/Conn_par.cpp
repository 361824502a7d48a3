#include "link/Conn_par.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Question.h"
#include "common/Suplfunc.h"
#include "link/Hgcbox.h"
#include "link/LinkGlobals.h"

namespace {

constexpr char kNotAll[] = "Уведені не всі параметри";
constexpr char kNotAllEthernet[] = "Введены не все параметры";
constexpr char kOutOfRange[] = "Параметр поза припустимого діапазону";
constexpr int kRowHeight = 22, kLabelLeft = 12, kBoxLeft = 400, kBoxWidth = 120;

void Row(ui::Panel& panel, ui::Label& label, const char* text, ui::Control& box, int row, int step = kRowHeight) {
    label.SetParent(&panel);
    label.SetCaption(text);
    label.SetBounds(kLabelLeft, 11 + row * step, kBoxLeft - kLabelLeft - 8, 16);
    box.SetParent(&panel);
    box.SetBounds(kBoxLeft, 8 + row * step, kBoxWidth, 21);
}

std::string PortText(unsigned port) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "Комунікаційний порт СОМ%u недоступний", port);
    return buf;
}

}  // namespace

TFormConn_Par::TFormConn_Par(ui::Component* owner) : ui::Form(owner, "FormConn_Par") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 606, 264);

    // Bands from the top: the serial parameters (or the Ethernet ones in
    // their place), the modem's, and the buttons at the bottom.
    pn_dir.SetAlign(ui::Align::Top);
    pn_dir.SetHeight(190);
    pn_ethr.SetAlign(ui::Align::Top);
    pn_ethr.SetHeight(200);
    pn_fon.SetAlign(ui::Align::Top);
    pn_fon.SetHeight(80);
    pn_btn.SetAlign(ui::Align::Bottom);
    pn_btn.SetHeight(46);
    for (ui::Panel* p : {&pn_dir, &pn_ethr, &pn_fon, &pn_btn}) p->SetBevelOuter(ui::Bevel::None);

    Row(pn_dir, Label1, "Комунікаційний порт", ComboBox1, 0);
    Row(pn_dir, Label2, "Швидкість обміну, біт/с", ComboBox2, 1);
    Row(pn_dir, Label3, "Кількість спроб обміну", ComboBox3, 2);
    Row(pn_dir, Label4, "Час очікування першого байту відповіді, с", Edit1, 3);
    Row(pn_dir, Label5, "Час очікування наступних байтів відповіді, мс", Edit2, 4);
    Row(pn_dir, Label6, "Кількість преамбул в запиті", Edit3, 5);
    CheckBox1.SetParent(&pn_dir);
    CheckBox1.SetCaption("Звільняти порт після кожного обміну");
    CheckBox1.SetBounds(kLabelLeft, 12 + 6 * kRowHeight, 380, 17);
    Row(pn_dir, Label7, "Час очікування визволення СОМ порту, с", Edit13, 7);
    for (ui::ComboBox* c : {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox6}) {
        c->SetStyle(ui::ComboStyle::DropDownList);
        c->SetDropDownCount(12);
    }
    ComboBox3.SetItems({" 1", " 2", " 3", " 4", " 5"});
    ComboBox6.SetItems({" 1", " 2", " 3", " 4", " 5"});

    Row(pn_fon, Label8, "Команда ініціалізації модему", Edit5, 0);
    Edit5.SetBounds(220, 8, 370, 21);
    Label8.SetWidth(200);
    Edit5.SetMaxLength(199);
    Row(pn_fon, Label9, "Очікування з'єднання, с", Edit6, 1);
    Row(pn_fon, Label10, "Кількість спроб з'єднання", Edit10, 2);

    Row(pn_ethr, Label11, "Очікування з'єднання, с", Edit4, 0, 30);
    Row(pn_ethr, Label12, "Кількість спроб з'єднання", Edit12, 1, 30);
    Row(pn_ethr, Label13, "Час очікування першого байту відповіді, с", Edit7, 2, 30);
    Row(pn_ethr, Label14, "Час очікування наступних байтів відповіді, мс", Edit9, 3, 30);
    Row(pn_ethr, Label15, "Кількість преамбул в запиті", Edit8, 4, 30);
    Row(pn_ethr, Label16, "Кількість спроб обміну", ComboBox6, 5, 30);

    for (ui::Edit* e : {&Edit1, &Edit2, &Edit3, &Edit13, &Edit6, &Edit10, &Edit4, &Edit12, &Edit7, &Edit9, &Edit8}) {
        e->SetKeyFilter(KeyFilterDigits);
        e->SetMaxLength(6);
    }

    BitBtn1.SetParent(&pn_btn);
    BitBtn1.SetCaption("Прийняти");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetBounds(12, 7, 120, 32);
    BitBtn1.SetDefault(true);  // Enter
    BitBtn4.SetParent(&pn_btn);
    BitBtn4.SetCaption("Пошук адреси пристрою");
    BitBtn4.SetTag(1);
    BitBtn4.SetBounds(200, 7, 190, 32);
    BitBtn2.SetParent(&pn_btn);
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);
    BitBtn2.SetBounds(468, 7, 120, 32);

    CheckBox1.OnClick = [this] { CheckBox1Click(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(BitBtn1); };
    BitBtn4.OnClick = [this] { BitBtn1Click(BitBtn4); };
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormConn_Par::FormCreate() {
    accepted = 0;
    pn_dir.Hide();
    pn_fon.Hide();
    pn_ethr.Hide();
}

void TFormConn_Par::FormShow() {
    SetWidth(606);
    BitBtn4.Hide();
    const std::uint8_t type = ProgramSettings.Conn_Prz;
    link_par = CurrentLinkParams(ProgramSettings);
    if (type == 0) BitBtn4.Show();

    if (type == 0 || type == 1) {
        pn_dir.Show();
        ComboBox1.ClearItems();
        int select = 0;
        for (int port = 1; port <= 255; ++port) {
            if (!IsComPortPresent(port)) continue;
            if (port == link_par.COMPort) select = ComboBox1.ItemCount();
            ComboBox1.AddItem("COM" + std::to_string(port));
        }
        ComboBox1.SetItemIndex(select);
        ComboBox2.ClearItems();
        for (std::uint32_t rate : BaudRates) ComboBox2.AddItem(std::to_string(rate));
        ComboBox2.SetItemIndex(BaudToCode(link_par.Rate));
        Edit1.SetText(std::to_string(link_par.WaitTime));
        Edit2.SetText(std::to_string(link_par.TimeOut));
        Edit3.SetText(std::to_string(link_par.Preambles));
        ComboBox3.SetItemIndex(int(link_par.Repeat) - 1);
    }
    switch (type) {
    case 0:
        SetCaption(" Параметри зв'язку з пристроєм  (безпосередній зв'язок)");
        SetHeight(264);
        CheckBox1.SetChecked(ProgramSettings.Do_Close_Port);
        CheckBox1Click();
        ComboBox1.SetFocus();
        break;
    case 1:
        SetCaption(" Параметри зв'язку з пристроєм (зв'язок по телефону)");
        SetHeight(344);
        pn_fon.Show();
        Edit6.SetText(std::to_string(ProgramSettings.Fon.ConnectWaitTime));
        Edit10.SetText(std::to_string(ProgramSettings.Fon.Conn_Repeat));
        Edit5.SetText(ProgramSettings.Fon.CommandText());
        Edit13.SetText({});
        for (ui::Control* c : std::initializer_list<ui::Control*>{&Edit13, &Label7, &CheckBox1}) c->SetEnabled(false);
        break;
    case 2:
        SetCaption(" Параметри зв'язку з пристроєм (Ethernet-інтерфейс)");
        SetHeight(344);
        pn_ethr.Show();
        Edit4.SetText(std::to_string(ProgramSettings.Ethr.ConnectWaitTime));
        Edit12.SetText(std::to_string(ProgramSettings.Ethr.Conn_Repeat));
        Edit7.SetText(std::to_string(link_par.WaitTime));
        Edit9.SetText(std::to_string(link_par.TimeOut));
        Edit8.SetText(std::to_string(link_par.Preambles));
        ComboBox6.SetItemIndex(int(link_par.Repeat) - 1);
        break;
    default: break;
    }
}

void TFormConn_Par::CheckBox1Click() {
    // Takes effect at once, whichever way the window is left.
    ProgramSettings.Do_Close_Port = CheckBox1.Checked();
    const bool on = CheckBox1.Checked();
    Edit13.SetEnabled(on);
    Label7.SetEnabled(on);
    Edit13.SetText(on ? std::to_string(ProgramSettings.Free_Port_Wait) : std::string());
}

bool TFormConn_Par::TakeValues(ProgramSettingsRecord& s) {
    struct Check {
        const ui::Edit* edit;
        int lo, hi;
        const char* name;
        std::function<void(int)> set;
    };
    const std::uint8_t type = s.Conn_Prz;
    LinkParams& p = CurrentLinkParams(s);
    p = link_par;
    std::vector<Check> checks;
    bool missing = false;
    auto need = [&](const ui::Edit& e) { missing = missing || e.Text().empty(); };
    if (type == 2) {
        missing = ComboBox6.ItemIndex() < 0;
        for (const ui::Edit* e : {&Edit8, &Edit7, &Edit9, &Edit4, &Edit12}) need(*e);
        p.Repeat = std::uint8_t(ComboBox6.ItemIndex() + 1);
        checks = {
            {&Edit8, 0, 255, "Кількість преамбул в запиті", [&](int v) { p.Preambles = std::uint8_t(v); }},
            {&Edit7, 1, 120, "Час очікування першого байту відповіді", [&](int v) { p.WaitTime = std::uint32_t(v); }},
            {&Edit9, 55, 5000, "Час очікування наступних байтів відповіді", [&](int v) { p.TimeOut = std::uint32_t(v); }},
            {&Edit4, 1, 360, "Ожидание соединения", [&](int v) { s.Ethr.ConnectWaitTime = std::uint32_t(v); }},
            {&Edit12, 1, 10, "Кількість спроб з'єднання", [&](int v) { s.Ethr.Conn_Repeat = std::uint32_t(v); }},
        };
    } else {
        int port = 0;
        const std::string portText = ComboBox1.Text();
        missing = ComboBox1.ItemIndex() < 0 || ComboBox2.ItemIndex() < 0 || ComboBox3.ItemIndex() < 0 ||
                  portText.size() < 4 || !TryStrToInt(portText.substr(3), port) || port < 1 || port > 255;
        for (const ui::Edit* e : {&Edit3, &Edit1, &Edit2}) need(*e);
        const bool releaseWait = type == 0 && s.Do_Close_Port;
        if (releaseWait) need(Edit13);
        if (type == 1) {
            need(Edit6);
            need(Edit10);
        }
        p.COMPort = std::uint8_t(port);
        p.Rate = CodeToBaud(ComboBox2.ItemIndex());
        p.Repeat = std::uint8_t(ComboBox3.ItemIndex() + 1);
        checks = {
            {&Edit3, 0, 255, "Кількість преамбул в запиті", [&](int v) { p.Preambles = std::uint8_t(v); }},
            {&Edit1, 1, 120, "Час очікування першого байту відповіді", [&](int v) { p.WaitTime = std::uint32_t(v); }},
            {&Edit2, 55, 5000, "Час очікування наступних байтів відповіді", [&](int v) { p.TimeOut = std::uint32_t(v); }},
        };
        if (releaseWait)
            checks.push_back({&Edit13, 1, 20, "Час очікування визволення СОМ порту",
                              [&](int v) { s.Free_Port_Wait = std::uint32_t(v); }});
        if (type == 1) {
            s.Fon.SetCommandText(Edit5.Text());
            checks.push_back({&Edit6, 1, 360, "Очікування з'єднання", [&](int v) { s.Fon.ConnectWaitTime = std::uint32_t(v); }});
            checks.push_back({&Edit10, 1, 10, "Кількість спроб з'єднання", [&](int v) { s.Fon.Conn_Repeat = std::uint32_t(v); }});
        }
    }
    MessageKind = 2;
    if (missing) {
        ShowQues(type == 2 ? kNotAllEthernet : kNotAll, "");
        return false;
    }
    for (const Check& c : checks) {
        int v = 0;
        if (!TryStrToInt(c.edit->Text(), v) || v < c.lo || v > c.hi) {
            MessageKind = 2;
            ShowQues(c.name, kOutOfRange);
            return false;
        }
        c.set(v);
    }
    return true;
}

void TFormConn_Par::BitBtn1Click(ui::Button& sender) {
    auto copy = std::make_unique<ProgramSettingsRecord>(ProgramSettings);
    if (!TakeValues(*copy)) return;
    ProgramSettings = *copy;
    link_par = CurrentLinkParams(ProgramSettings);
    if (sender.Tag() == 1 && ProgramSettings.Conn_Prz == 0) {
        SearchAddress();
        return;
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}

void TFormConn_Par::SearchAddress() {
    if (!HgcBox) return;
    BitBtn4.SetEnabled(false);
    BitBtn2.SetEnabled(false);
    const LinkParams& dir = ProgramSettings.Dir;
    bool opened = false, found = false;
    {
        ui::HourGlass hourglass;
        // Address 255 makes any controller answer; the link object takes
        // the address the reply comes from.
        LoadLinkObject(*HgcBox, dir, hgcbox::kLinkDirect, false, ProgramSettings.Free_Port_Wait);
        HgcBox->Address = 255;
        HgcBox->ClosePort();
        opened = HgcBox->OpenPort();
        if (opened) {
            const std::uint8_t request[3] = {0, 0, 1};  // table 0, row 0, one row
            found = HgcBox->Exchange(1, request, sizeof request);
            HgcBox->ClosePort();
        }
    }
    BitBtn4.SetEnabled(true);
    BitBtn2.SetEnabled(true);
    if (!opened) {
        MessageKind = 6;
        ShowQues(PortText(dir.COMPort), "");
        return;
    }
    MessageKind = 5;
    if (!found) {
        ShowQues("Пристрій не виявлено", "");
        return;
    }
    ProgramSettings.Dir.Adr = HgcBox->Address;
    char line2[48];
    std::snprintf(line2, sizeof line2, "(адрес = %u).", unsigned(HgcBox->Address));
    ShowQues("Адреса пристрою встановлена", line2);
    accepted = 1;
    SetModalResult(ui::mrOk);
}

void TFormConn_Par::BitBtn2Click() { Close(); }
