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
// any way but "Прийняти" leaves ProgramSettings as it was.
#pragma once
#include <cstdint>

#include "common/ListRecords.h"
#include "ui/Ui.h"

class TFormAbonents_List : public ui::Form {
public:
    explicit TFormAbonents_List(ui::Component* owner = nullptr);

    ui::Panel Panel3{this, "Panel3"};  // "№"
    ui::Panel Panel4{this, "Panel4"};  // "Найменування"
    ui::Button SpeedButton1{this, "SpeedButton1"};  // sort by name
    ui::Panel Panel7{this, "Panel7"};  // "Адреса"
    ui::Panel Panel8{this, "Panel8"};  // "№ телефону" / "IP-адреса:порт"
    ui::Button SpeedButton2{this, "SpeedButton2"};  // sort by the fourth column
    ui::StringGrid StringGrid1{this, "StringGrid1"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Змінити"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Додати"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Видалити"
    ui::Button BitBtn4{this, "BitBtn4"};  // "Прийняти"
    ui::Button BitBtn5{this, "BitBtn5"};  // "Відмінити"

    PhoneSubscriberList fon_list{};     // working copy of the telephone list
    EthernetSubscriberList ethr_list{}; // working copy of the Ethernet list
    std::uint8_t accepted = 0;          // 1 when closed with "Прийняти"

    void FormShow();
    void ShowPhoneSubscribers();
    void ShowEthernetSubscribers();
    void StringGrid1Click();
    void StringGrid1DblClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void BitBtn1Click();  // "Змінити"
    void BitBtn2Click();  // "Додати"
    void BitBtn3Click();  // "Видалити"
    void BitBtn4Click();  // "Прийняти"
    void BitBtn5Click();  // "Відмінити"

private:
    void Refresh();
    // Header fields of the working copy of the current link type; false
    // when the link type has no list.
    bool ListHeader(std::uint8_t*& num, std::uint8_t*& index, std::uint8_t*& sort);
    void ShowEmptyGrid();
    void FinishRefresh(int count, int index, int sort);
};
