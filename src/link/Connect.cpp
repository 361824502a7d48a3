#include "link/Connect.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Abonent.h"
#include "common/Abonents_list.h"
#include "common/IniPaths.h"
#include "common/LinkStatus.h"
#include "common/ListFiles.h"
#include "common/ListForms.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"
#include "common/Suplfunc.h"
#include "link/Comportfunctions.h"
#include "link/Conn_par.h"
#include "link/Hgcbox.h"
#include "link/LinkGlobals.h"
#include "platform/Clock.h"

namespace {

constexpr char kNotAll[] = "Уведені не всі параметри";
constexpr char kNewSubscriber[] = "Новый абонент";

// Header of the subscriber list of a link type (1 telephone, 2 Ethernet).
struct ListRef {
    std::uint8_t* num = nullptr;
    std::uint8_t* index = nullptr;
};

ListRef CurrentList() {
    switch (ProgramSettings.Conn_Prz) {
    case 1: return {&ProgramSettings.Fon.Users.users_num, &ProgramSettings.Fon.Users.user_index};
    case 2: return {&ProgramSettings.Ethr.Users.users_num, &ProgramSettings.Ethr.Users.user_index};
    default: return {};
    }
}

std::uint8_t SubscriberAddress(int i) {
    return ProgramSettings.Conn_Prz == 1 ? ProgramSettings.Fon.Users.users[i].contr_adr
                                         : ProgramSettings.Ethr.Users.users[i].contr_adr;
}

// Shows the names of a subscriber list in the subscriber box (with "new
// subscriber" while the list has room) and selects the list's current one
// and its address. False when the list is empty: nothing selected.
template <class List>
bool ShowSubscriberNames(List& l, ui::ComboBox& names, ui::ComboBox& address) {
    names.ClearItems();
    const int n = std::min<int>(l.users_num, MaxSubscribers);
    for (int i = 0; i < n; ++i) names.AddItem(l.users[i].Name());
    if (n < MaxSubscribers) names.AddItem(kNewSubscriber);
    if (n == 0) {
        names.SetItemIndex(-1);
        address.SetItemIndex(-1);
        return false;
    }
    // A selection beyond the list (a hand-edited file) falls back to the first.
    if (l.user_index >= n) l.user_index = 0;
    names.SetItemIndex(l.user_index);
    address.SetItemIndex(int(l.users[l.user_index].contr_adr) - 1);
    return true;
}

void ReportFileError(const std::string& path) {
    MessageKind = 1;
    ShowQues("Помилка роботи з файлом", path);
}

// Window messages run while a connect waits (a TCP connect may wait for
// minutes): meanwhile the controls that choose the link, change its
// parameters or start a connect are disabled, and get their state back at
// the end.
class BusyControls {
public:
    explicit BusyControls(std::initializer_list<ui::Control*> controls) {
        for (ui::Control* c : controls) {
            saved_.push_back({c, c->Enabled()});
            c->SetEnabled(false);
        }
    }
    ~BusyControls() {
        for (const auto& [c, enabled] : saved_) c->SetEnabled(enabled);
    }
    BusyControls(const BusyControls&) = delete;
    BusyControls& operator=(const BusyControls&) = delete;
private:
    std::vector<std::pair<ui::Control*, bool>> saved_;
};

}  // namespace

TFormConnect::TFormConnect(ui::Component* owner) : ui::Form(owner, "FormConnect") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetCaption(" Зв'язок з пристроєм");
    SetBounds(0, 0, 440, 194);

    // Three bands from the top: link type, subscriber (hidden on the direct
    // link), address and buttons.
    pn_type.SetAlign(ui::Align::Top);
    pn_type.SetHeight(60);
    pn_abon.SetAlign(ui::Align::Top);
    pn_abon.SetHeight(72);
    pn_main.SetAlign(ui::Align::Client);
    for (ui::Panel* p : {&pn_type, &pn_abon, &pn_main}) p->SetBevelOuter(ui::Bevel::None);
    // Shown with a telephone or Ethernet link only: the window's first
    // height leaves no room for it (a link type the window does not know
    // shows neither).
    pn_abon.Hide();

    Label1.SetParent(&pn_type);
    Label1.SetCaption("Тип зв'язку");
    Label1.SetBounds(16, 10, 200, 16);
    ComboBox3.SetParent(&pn_type);
    ComboBox3.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox3.SetBounds(16, 28, 260, 21);
    ComboBox3.SetItems({"Безпосередній зв'язок", "Зв'язок по телефону", "Ethernet-інтерфейс"});

    Label3.SetParent(&pn_abon);
    Label3.SetCaption("Абонент");
    Label3.SetBounds(16, 6, 200, 16);
    ComboBox2.SetParent(&pn_abon);
    ComboBox2.SetStyle(ui::ComboStyle::DropDownList);
    ComboBox2.SetDropDownCount(16);
    ComboBox2.SetBounds(16, 24, 300, 21);
    BitBtn6.SetParent(&pn_abon);
    BitBtn6.SetCaption("Список");
    BitBtn6.Hint = "Список абонентів";
    BitBtn6.SetBounds(326, 20, 92, 30);

    Label2.SetParent(&pn_main);
    Label2.SetCaption("Адреса пристрою");
    Label2.SetBounds(16, 6, 200, 16);
    ComboBox1.SetParent(&pn_main);
    ComboBox1.SetBounds(16, 24, 100, 21);
    listforms::SetUpAddressBox(ComboBox1);
    BitBtn1.SetParent(&pn_main);
    BitBtn1.SetCaption("Зв'язатися");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetBounds(16, 60, 110, 32);
    BitBtn1.SetDefault(true);  // Enter
    BitBtn3.SetParent(&pn_main);
    BitBtn3.SetCaption("Змінити параметри зв'язку");
    BitBtn3.SetBounds(134, 60, 190, 32);
    BitBtn2.SetParent(&pn_main);
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);
    BitBtn2.SetBounds(332, 60, 86, 32);

    ComboBox1.OnKeyPress = [this](char32_t& key) { KeyFilterDigits(ComboBox1.Text(), 0, key); };
    ComboBox3.OnChange = [this] { ComboBox3Change(); };
    ComboBox2.OnChange = [this] { ComboBox2Change(); };
    BitBtn6.OnClick = [this] { BitBtn6Click(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormConnect::FormCreate() {
    status_bar = nullptr;
    accepted = 0;
    listforms::FillAddresses(ComboBox1);
}

void TFormConnect::FormShow() {
    SetWidth(440);
    ComboBox3.SetItemIndex(ProgramSettings.Conn_Prz);
    ComboBox3Change();
    if (ComboBox3.ItemIndex() < 0) ComboBox3.SetFocus();
    else BitBtn1.SetFocus();
}

void TFormConnect::ComboBox3Change() {
    const int type = ComboBox3.ItemIndex();
    if (type < 0) return;
    ProgramSettings.Conn_Prz = std::uint8_t(type);
    if (type == 0) {
        if (MainStatusBar2) MainStatusBar2->Hide();
        if (MainStatusBar3) MainStatusBar3->Hide();
        pn_abon.Hide();
        SetHeight(194);
        ComboBox1.SetEnabled(true);
        ComboBox1.SetItemIndex(int(ProgramSettings.Dir.Adr) - 1);
        ShowLinkInStatusBar(status_bar);
        BitBtn3.SetEnabled(true);
        BitBtn1.SetEnabled(true);
        return;
    }
    if (MainStatusBar2) MainStatusBar2->Show();
    if (MainStatusBar3) MainStatusBar3->Show();
    pn_abon.Show();
    SetHeight(266);
    ComboBox1.SetEnabled(false);
    FillSubscribers();
}

void TFormConnect::FillSubscribers() {
    if (ProgramSettings.Conn_Prz == 1) FillPhoneSubscriberList();
    else if (ProgramSettings.Conn_Prz == 2) FillEthernetSubscriberList();
}

void TFormConnect::FillPhoneSubscriberList() {
    if (ShowSubscriberNames(ProgramSettings.Fon.Users, ComboBox2, ComboBox1)) ShowLinkInStatusBar(status_bar);
}

void TFormConnect::FillEthernetSubscriberList() {
    if (ShowSubscriberNames(ProgramSettings.Ethr.Users, ComboBox2, ComboBox1)) ShowLinkInStatusBar(status_bar);
}

void TFormConnect::ComboBox2Change() {
    ListRef l = CurrentList();
    if (!l.num) return;
    const int n = std::min<int>(*l.num, MaxSubscribers);
    const int i = ComboBox2.ItemIndex();
    if (i < 0) {
        BitBtn3.SetEnabled(false);
        BitBtn1.SetEnabled(false);
        ShowLinkInStatusBar(status_bar);
        return;
    }
    if (i < n) {
        *l.index = std::uint8_t(i);
        ComboBox1.SetItemIndex(int(SubscriberAddress(i)) - 1);
        ShowLinkInStatusBar(status_bar);
        BitBtn3.SetEnabled(true);
        BitBtn1.SetEnabled(true);
        return;
    }
    // "Новый абонент": the subscriber dialog on the next free slot.
    if (n >= MaxSubscribers) return;
    TFormAbonent f(this);
    f.edit_mode = 0;
    f.fon_rec = &ProgramSettings.Fon.Users.users[n];
    f.ethr_rec = &ProgramSettings.Ethr.Users.users[n];
    f.ShowModal();
    if (!f.accepted) {
        ComboBox2.SetItemIndex(n > 0 ? int(*l.index) : -1);
        return;
    }
    *l.index = std::uint8_t(n);
    *l.num = std::uint8_t(n + 1);
    if (n + 1 > 1) {
        if (ProgramSettings.Conn_Prz == 1) SortPhoneSubscribers(ProgramSettings.Fon.Users);
        else SortEthernetSubscribers(ProgramSettings.Ethr.Users);
    }
    SaveCurrentList();
    FillSubscribers();
    BitBtn3.SetEnabled(true);
    BitBtn1.SetEnabled(true);
}

bool TFormConnect::SaveCurrentList() {
    std::string path;
    bool ok = true;
    {
        ui::HourGlass hourglass;
        if (ProgramSettings.Conn_Prz == 1) ok = WritePhoneSubscribers(path = PhoneIniPath());
        else if (ProgramSettings.Conn_Prz == 2) ok = WriteEthernetSubscribers(path = EthernetIniPath());
    }
    // The list stays as accepted; its file is tried again with the next write.
    if (!ok) ReportFileError(path);
    return ok;
}

bool TFormConnect::SaveSettingsFiles() {
    // The list files first: "zbr.ini" would otherwise take the lists into
    // its record of what is stored, and a changed selection would never
    // reach its list file.
    std::string path;
    bool ok = false;
    {
        ui::HourGlass hourglass;
        ok = WritePhoneSubscribers(path = PhoneIniPath()) && WriteEthernetSubscribers(path = EthernetIniPath()) &&
             WriteProgramIni(path = SettingsIniPath());
    }
    if (!ok) ReportFileError(path);
    return ok;
}

void TFormConnect::BitBtn6Click() {
    TFormAbonents_List f(this);
    f.ShowModal();
    if (!f.accepted) return;
    SaveCurrentList();
    FillSubscribers();
    ShowLinkInStatusBar(status_bar);
}

void TFormConnect::BitBtn3Click() {
    TFormConn_Par f(this);
    f.ShowModal();
    if (!f.accepted) return;
    SaveSettingsFiles();
    ShowLinkInStatusBar(status_bar);
    if (ProgramSettings.Conn_Prz == 0) ComboBox1.SetItemIndex(int(ProgramSettings.Dir.Adr) - 1);
}

void TFormConnect::Refuse(const char* line1, const char* line2) {
    MessageKind = 2;
    ShowQues(line1, line2);
}

void TFormConnect::BitBtn1Click() {
    const int type = ComboBox3.ItemIndex();
    if (ComboBox1.Text().empty() || type < 0) return Refuse(kNotAll);
    int address = 0;
    if (!TryStrToInt(ComboBox1.Text(), address) || address < 1 || address > 255)
        return Refuse("Адреса поза припустимого діапазону", "(1...255)");
    if (!HgcBox) return;
    BusyControls busy{&pn_type, &pn_abon, &ComboBox1, &BitBtn1, &BitBtn3, &BitBtn2};
    HgcBox->ClosePort();

    if (type == 2) {
        if (!ConnectEthernet()) return;
        if (!SaveSettingsFiles()) {
            HgcBox->CloseSocket();
            return;
        }
        ShowLinkInStatusBar(status_bar);
        accepted = 1;
        SetModalResult(ui::mrOk);
        return;
    }

    // The hourglass shows until a message or the end, whichever comes first.
    std::optional<ui::HourGlass> hourglass(std::in_place);
    LinkParams& lp = type == 0 ? ProgramSettings.Dir : ProgramSettings.Fon.Link;
    if (type == 1) {
        const int i = ComboBox2.ItemIndex();
        if (i < 0 || i >= std::min<int>(ProgramSettings.Fon.Users.users_num, MaxSubscribers)) {
            hourglass.reset();
            return Refuse(kNotAll);  // a refused connect changes no setting
        }
    }
    lp.Adr = std::uint8_t(address);
    hourglass.reset();
    if (!SaveSettingsFiles()) return;
    hourglass.emplace();
    ShowLinkInStatusBar(status_bar);

    const bool perExchange = type == 0 && ProgramSettings.Do_Close_Port;
    LoadLinkObject(*HgcBox, lp, std::uint8_t(type), perExchange, ProgramSettings.Free_Port_Wait);
    if (!perExchange) {
        if (!HgcBox->OpenPort()) {
            hourglass.reset();
            char text[96];
            std::snprintf(text, sizeof text, "Комунікаційний порт СОМ%u недоступний", unsigned(lp.COMPort));
            MessageKind = 1;
            ShowQues(text, "");
            return;
        }
        // Reads return at once with what has arrived; give the line a moment.
        ComSetTimeouts(HgcBox->hCom, 0xFFFFFFFFu, 0, 0);
        platform::WaitMs(300);
    }
    LoadLinkObject(*HgcBox, lp, std::uint8_t(type), perExchange, ProgramSettings.Free_Port_Wait);
    HgcBox->Address = std::uint8_t(address);
    accepted = 1;
    SetModalResult(ui::mrOk);
}

void TFormConnect::BitBtn2Click() { Close(); }

bool TFormConnect::ConnectEthernet() {
    int address = 0;
    TryStrToInt(ComboBox1.Text(), address);
    ProgramSettings.Ethr.Link.Adr = std::uint8_t(address);
    const EthernetSubscriberList& l = ProgramSettings.Ethr.Users;
    const int i = ComboBox2.ItemIndex();
    if (i < 0 || i >= std::min<int>(l.users_num, MaxSubscribers)) {
        Refuse(kNotAll);
        return false;
    }
    if (!HgcBox) return false;
    std::string error;
    TcpConnectResult r;
    {
        ui::HourGlass hourglass;
        r = ConnectEthernetLink(*HgcBox, l.users[i], ProgramSettings.Ethr, ConnectSettleMs, &error);
    }
    switch (r) {
    case TcpConnectResult::Ok: return true;
    case TcpConnectResult::BadAddress: ui::Application::MessageBox(error, ""); break;
    case TcpConnectResult::NoSocket: ui::Application::MessageBox("Помилка визову socket", ""); break;
    case TcpConnectResult::TimedOut:
        ui::Application::MessageBox("Перевищено час очікування з'єднання сервер/клієнт", "");
        break;
    }
    return false;
}
