// One subscriber of the telephone or Ethernet list (whichever link type
// ProgramSettings.Conn_Prz names), edited in a modal window.
//
//   TFormAbonent f(owner);
//   f.edit_mode = 1;                               // 1 change, 0 new (boxes start empty)
//   f.ethr_rec = &list.users[list.user_index];     // or fon_rec for the telephone list
//   f.ShowModal();
//   if (f.accepted) ...                            // the record holds the input
//
// When adding, the caller passes the free slot at users_num and, once
// accepted, selects it (user_index := users_num) and counts it (users_num + 1).
// The record changes only on an accepted input; every input error is a
// message of kind 2 and the window stays open.
#pragma once
#include <array>
#include <cstdint>

#include "common/ListRecords.h"
#include "ui/Ui.h"

class TFormAbonent : public ui::Form {
public:
    explicit TFormAbonent(ui::Component* owner = nullptr);

    ui::Label Label1{this, "Label1"};  // "Найменування"
    ui::Edit Edit1{this, "Edit1"};     // name, up to 49 characters
    ui::Label Label2{this, "Label2"};  // "Адреса пристрою"
    ui::ComboBox ComboBox1{this, "ComboBox1"};  // controller address "1".."255", editable
    ui::Panel pn_fon{this, "pn_fon"};
    ui::Label Label3{this, "Label3"};  // "№ телефона"
    ui::Edit Edit2{this, "Edit2"};     // telephone number, up to 29 characters
    ui::Panel pn_ethr{this, "pn_ethr"};
    ui::Label Label4{this, "Label4"};  // "IP-адреса:порт"
    ui::Edit ip4{this, "ip4"};         // first (leftmost) octet
    ui::Label Label5{this, "Label5"};  // "."
    ui::Edit ip3{this, "ip3"};
    ui::Label Label6{this, "Label6"};  // "."
    ui::Edit ip2{this, "ip2"};
    ui::Label Label7{this, "Label7"};  // "."
    ui::Edit ip1{this, "ip1"};         // last octet
    ui::Label Label8{this, "Label8"};  // ":"
    ui::Edit Edit11{this, "Edit11"};   // TCP port
    ui::Button BitBtn4{this, "BitBtn4"};  // "Прийняти"
    ui::Button BitBtn5{this, "BitBtn5"};  // "Відмінити"

    // The octet boxes ip1, ip2, ip3, ip4: entry i shows byte i of ip_adr
    // counted from the least significant end.
    std::array<ui::Edit*, 4> ip_edit{};
    PhoneSubscriber* fon_rec = nullptr;      // set by the caller (telephone list)
    EthernetSubscriber* ethr_rec = nullptr;  // set by the caller (Ethernet list)
    std::uint8_t edit_mode = 0;              // 1 show the record's values, 0 new subscriber
    std::uint8_t accepted = 0;               // 1 once the input is stored in the record

    void FormCreate();
    void FormShow();
    void BitBtn4Click();  // "Прийняти"
    void BitBtn5Click();  // "Відмінити"
    void EditIntKeyPress(const std::string& text, char32_t& key);

private:
    void Refuse(const char* line1, const char* line2 = "");
};
