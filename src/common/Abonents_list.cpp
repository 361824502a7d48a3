#include "common/Abonents_list.h"

#include <algorithm>

#include "common/Abonent.h"
#include "common/ListFiles.h"
#include "common/Rd_wr_ini.h"

using listforms::Format;

TFormAbonents_List::TFormAbonents_List(ui::Component* owner)
    : listforms::ListWindow(owner, "FormAbonents_List", MaxSubscribers, "видалити цей абонент?") {
    SetBounds(0, 0, 682, 560);

    listforms::LayOutColumns({{&Panel3, "№", 40}, {&Panel4, "Найменування", 330}, {&Panel7, "Адреса", 70},
                              {&Panel8, "№ телефону", 220}},
                             StringGrid1, 660, 432);
    listforms::SortButton(SpeedButton1, Panel4, "Сортувати за найменуванням");
    listforms::SortButton(SpeedButton2, Panel8, "Сортувати за цим стовпцем");
    SpeedButton2.SetEnabled(false);
    listforms::ListButtons({{&BitBtn1, 8}, {&BitBtn2, 120}, {&BitBtn3, 232}, {&BitBtn4, 452}, {&BitBtn5, 564}}, 478, 104);

    OnShow = [this] { FormShow(); };
}

void TFormAbonents_List::FormShow() {
    SetBounds(Left(), Top(), 682, 560);
    switch (ProgramSettings.Conn_Prz) {
    case 1:
        SetCaption(" Список абонентів (зв'язок по телефону)");
        fon_list = ProgramSettings.Fon.Users;
        ShowPhoneSubscribers();
        break;
    case 2:
        SetCaption("Список абонентів (Ethernet-інтерфейс)");
        ethr_list = ProgramSettings.Ethr.Users;
        ShowEthernetSubscribers();
        break;
    default: break;
    }
}

listforms::ListWindow::Header TFormAbonents_List::ListHeader() {
    switch (ProgramSettings.Conn_Prz) {
    case 1: return {&fon_list.users_num, &fon_list.user_index, &fon_list.sort_prz};
    case 2: return {&ethr_list.users_num, &ethr_list.user_index, &ethr_list.sort_prz};
    default: return {};
    }
}

void TFormAbonents_List::Refresh() {
    switch (ProgramSettings.Conn_Prz) {
    case 1: ShowPhoneSubscribers(); break;
    case 2: ShowEthernetSubscribers(); break;
    default: break;
    }
}

void TFormAbonents_List::ShowPhoneSubscribers() {
    PhoneSubscriberList& l = fon_list;
    const int n = std::min<int>(l.users_num, MaxSubscribers);
    if (n == 0) return ShowEmptyGrid();
    StringGrid1.SetRowCount(n);
    if (n > 1) SortPhoneSubscribers(l);
    for (int i = 0; i < n; ++i) {
        const PhoneSubscriber& u = l.users[i];
        StringGrid1.SetRowTexts(i, {Format("  %u", unsigned(i + 1)), " " + u.Name(), Format(" %u", u.contr_adr),
                                    " " + u.Phone()});
    }
    listforms::ShowSortOrder(l.sort_prz, SpeedButton1, SpeedButton2);
    FinishRefresh(n, l.user_index);
}

void TFormAbonents_List::ShowEthernetSubscribers() {
    EthernetSubscriberList& l = ethr_list;
    Panel8.SetCaption("IP-адреса:порт");
    const int n = std::min<int>(l.users_num, MaxSubscribers);
    if (n == 0) return ShowEmptyGrid();
    StringGrid1.SetRowCount(n);
    if (n > 1) SortEthernetSubscribers(l);
    for (int i = 0; i < n; ++i) {
        const EthernetSubscriber& u = l.users[i];
        StringGrid1.SetRowTexts(i, {Format("  %u", unsigned(i + 1)), " " + u.Name(), Format(" %u", u.contr_adr),
                                    IpToText(u.ip_adr) + ":" + std::to_string(u.port)});
    }
    listforms::ShowSortOrder(l.sort_prz, SpeedButton1, SpeedButton2);
    FinishRefresh(n, l.user_index);
}

bool TFormAbonents_List::EditEntry(int slot, int mode) {
    TFormAbonent f(this);
    f.edit_mode = std::uint8_t(mode);
    f.fon_rec = &fon_list.users[slot];
    f.ethr_rec = &ethr_list.users[slot];
    f.ShowModal();
    return f.accepted != 0;
}

void TFormAbonents_List::RemoveEntry(int n, int at) {
    if (ProgramSettings.Conn_Prz == 1) listforms::RemoveAt(fon_list.users, n, at);
    else listforms::RemoveAt(ethr_list.users, n, at);
}

void TFormAbonents_List::BitBtn4Click() {
    switch (ProgramSettings.Conn_Prz) {
    case 1: ProgramSettings.Fon.Users = fon_list; break;
    case 2: ProgramSettings.Ethr.Users = ethr_list; break;
    default: break;
    }
    accepted = 1;
    SetModalResult(ui::mrOk);
}
