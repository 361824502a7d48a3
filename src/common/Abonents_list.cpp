#include "common/Abonents_list.h"

#include <algorithm>

#include "common/Abonent.h"
#include "common/ListFiles.h"
#include "common/ListForms.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"

using listforms::Format;

TFormAbonents_List::TFormAbonents_List(ui::Component* owner) : ui::Form(owner, "FormAbonents_List") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, 682, 560);

    listforms::LayOutColumns({{&Panel3, "№", 40}, {&Panel4, "Найменування", 330}, {&Panel7, "Адреса", 70},
                              {&Panel8, "№ телефону", 220}},
                             StringGrid1, 660, 432);
    listforms::SortButton(SpeedButton1, Panel4, "Сортувати за найменуванням");
    listforms::SortButton(SpeedButton2, Panel8, "Сортувати за цим стовпцем");
    SpeedButton2.SetEnabled(false);
    listforms::ListButtons({{&BitBtn1, 8}, {&BitBtn2, 120}, {&BitBtn3, 232}, {&BitBtn4, 452}, {&BitBtn5, 564}}, 478, 104);

    StringGrid1.OnClick = [this] { StringGrid1Click(); };
    StringGrid1.OnDblClick = [this] { StringGrid1DblClick(); };
    SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
    SpeedButton2.OnClick = [this] { SpeedButton2Click(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    BitBtn5.OnClick = [this] { BitBtn5Click(); };
    OnShow = [this] { FormShow(); };
    accepted = 0;
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

bool TFormAbonents_List::ListHeader(std::uint8_t*& num, std::uint8_t*& index, std::uint8_t*& sort) {
    switch (ProgramSettings.Conn_Prz) {
    case 1: num = &fon_list.users_num; index = &fon_list.user_index; sort = &fon_list.sort_prz; return true;
    case 2: num = &ethr_list.users_num; index = &ethr_list.user_index; sort = &ethr_list.sort_prz; return true;
    default: return false;
    }
}

void TFormAbonents_List::Refresh() {
    switch (ProgramSettings.Conn_Prz) {
    case 1: ShowPhoneSubscribers(); break;
    case 2: ShowEthernetSubscribers(); break;
    default: break;
    }
}

void TFormAbonents_List::ShowEmptyGrid() {
    // A grid keeps at least one row: it stays, empty.
    listforms::ShowEmptyList(StringGrid1, BitBtn1, BitBtn2, BitBtn3);
}

void TFormAbonents_List::FinishRefresh(int count, int index, int sort) {
    listforms::ShowSortOrder(sort, SpeedButton1, SpeedButton2);
    StringGrid1.SetRow(index);
    BitBtn1.SetEnabled(true);
    BitBtn2.SetEnabled(count < MaxSubscribers);
    BitBtn3.SetEnabled(true);
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
    FinishRefresh(n, l.user_index, l.sort_prz);
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
    FinishRefresh(n, l.user_index, l.sort_prz);
}

void TFormAbonents_List::StringGrid1Click() {
    std::uint8_t *num, *index, *sort;
    if (!ListHeader(num, index, sort) || *num == 0) return;
    *index = std::uint8_t(std::clamp(StringGrid1.Row(), 0, *num - 1));
}

void TFormAbonents_List::StringGrid1DblClick() {
    StringGrid1Click();
    BitBtn1Click();
}

void TFormAbonents_List::SpeedButton1Click() {
    std::uint8_t *num, *index, *sort;
    if (!ListHeader(num, index, sort)) return;
    *sort = 0;
    Refresh();
}

void TFormAbonents_List::SpeedButton2Click() {
    std::uint8_t *num, *index, *sort;
    if (!ListHeader(num, index, sort)) return;
    *sort = 1;
    Refresh();
}

void TFormAbonents_List::BitBtn1Click() {
    std::uint8_t *num, *index, *sort;
    if (!ListHeader(num, index, sort) || *num == 0 || *index >= *num || *index >= MaxSubscribers) return;
    TFormAbonent f(this);
    f.edit_mode = 1;
    f.fon_rec = &fon_list.users[*index];
    f.ethr_rec = &ethr_list.users[*index];
    f.ShowModal();
    if (f.accepted) Refresh();
}

void TFormAbonents_List::BitBtn2Click() {
    std::uint8_t *num, *index, *sort;
    if (!ListHeader(num, index, sort) || *num >= MaxSubscribers) return;
    TFormAbonent f(this);
    f.edit_mode = 0;
    f.fon_rec = &fon_list.users[*num];
    f.ethr_rec = &ethr_list.users[*num];
    f.ShowModal();
    if (!f.accepted) return;
    *index = *num;
    ++*num;
    Refresh();
}

void TFormAbonents_List::BitBtn3Click() {
    std::uint8_t *num, *index, *sort;
    if (!ListHeader(num, index, sort) || *num == 0) return;
    MessageKind = 3;
    ShowQues("Ви дійсно хочете", "видалити цей абонент?");
    if (!MessageAnswer) return;
    ui::HourGlass hourglass;
    const int n = std::min<int>(*num, MaxSubscribers);
    const int at = std::min<int>(*index, n - 1);
    if (ProgramSettings.Conn_Prz == 1) listforms::RemoveAt(fon_list.users, n, at);
    else listforms::RemoveAt(ethr_list.users, n, at);
    *index = std::uint8_t(at > 0 ? at - 1 : 0);
    *num = std::uint8_t(n - 1);
    Refresh();
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

void TFormAbonents_List::BitBtn5Click() { Close(); }
