// The subscriber list of the current link type (ProgramSettings.Conn_Prz:
// 1 telephone, 2 Ethernet) in a grid, with change, add, delete and sort.
//
//   TFormAbonents_List f(owner);
//   f.ShowModal();
//   if (f.accepted) ...   // ProgramSettings holds the edited list; the
//                         // caller writes its file (WritePhoneSubscribers /
//                         // WriteEthernetSubscribers) and refills its view
//
// The window works on a copy of the list and writes no file; closing it in
// any way but "Прийняти" leaves ProgramSettings as it was. The grid and the
// buttons work as in every list window (listforms::ListWindow).
#pragma once
#include <cstdint>

#include "common/ListForms.h"
#include "common/ListRecords.h"
#include "ui/Ui.h"

class TFormAbonents_List : public listforms::ListWindow {
public:
    explicit TFormAbonents_List(ui::Component* owner = nullptr);

    ui::Panel Panel8{this, "Panel8"};  // "№ телефону" / "IP-адреса:порт"

    PhoneSubscriberList fon_list{};     // working copy of the telephone list
    EthernetSubscriberList ethr_list{}; // working copy of the Ethernet list

    void FormShow();
    void ShowPhoneSubscribers();
    void ShowEthernetSubscribers();
    void BitBtn4Click() override;  // "Прийняти"

private:
    Header ListHeader() override;
    void Refresh() override;
    bool EditEntry(int slot, int mode) override;
    void RemoveEntry(int n, int at) override;
};
