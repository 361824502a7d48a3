// The link parameters of the current link type (ProgramSettings.Conn_Prz),
// and on the direct link the search for the address of the one controller
// on the line.
//
//   TFormConn_Par f(owner);
//   f.ShowModal();
//   if (f.accepted) ...   // ProgramSettings holds the new parameters (after a
//                         // search also the controller's address); the
//                         // caller writes the settings file
//
// Every value is checked before anything changes; a value that is missing
// or outside its range is a message of kind 2 and the window stays open.
// The check box that frees the port after each exchange takes effect at once.
#pragma once
#include <cstdint>

#include "common/Rd_wr_ini.h"
#include "ui/Ui.h"

class TFormConn_Par : public ui::Form {
public:
    explicit TFormConn_Par(ui::Component* owner = nullptr);

    // Direct and telephone links.
    ui::Panel pn_dir{this, "pn_dir"};
    ui::Label Label1{this, "Label1"};
    ui::ComboBox ComboBox1{this, "ComboBox1"};  // port "COMn"
    ui::Label Label2{this, "Label2"};
    ui::ComboBox ComboBox2{this, "ComboBox2"};  // baud rate
    ui::Label Label3{this, "Label3"};
    ui::ComboBox ComboBox3{this, "ComboBox3"};  // exchange attempts " 1".." 5"
    ui::Label Label4{this, "Label4"};
    ui::Edit Edit1{this, "Edit1"};              // first-byte wait, s
    ui::Label Label5{this, "Label5"};
    ui::Edit Edit2{this, "Edit2"};              // next-byte wait, ms
    ui::Label Label6{this, "Label6"};
    ui::Edit Edit3{this, "Edit3"};              // preambles
    ui::CheckBox CheckBox1{this, "CheckBox1"};  // free the port after each exchange
    ui::Label Label7{this, "Label7"};           // port-release wait
    ui::Edit Edit13{this, "Edit13"};            // port-release wait, s
    // Telephone link.
    ui::Panel pn_fon{this, "pn_fon"};
    ui::Label Label8{this, "Label8"};
    ui::Edit Edit5{this, "Edit5"};              // modem command
    ui::Label Label9{this, "Label9"};
    ui::Edit Edit6{this, "Edit6"};              // connection wait, s
    ui::Label Label10{this, "Label10"};
    ui::Edit Edit10{this, "Edit10"};            // connection attempts
    // Ethernet link.
    ui::Panel pn_ethr{this, "pn_ethr"};
    ui::Label Label11{this, "Label11"};
    ui::Edit Edit4{this, "Edit4"};              // connection wait, s
    ui::Label Label12{this, "Label12"};
    ui::Edit Edit12{this, "Edit12"};            // connection attempts
    ui::Label Label13{this, "Label13"};
    ui::Edit Edit7{this, "Edit7"};              // first-byte wait, s
    ui::Label Label14{this, "Label14"};
    ui::Edit Edit9{this, "Edit9"};              // next-byte wait, ms
    ui::Label Label15{this, "Label15"};
    ui::Edit Edit8{this, "Edit8"};              // preambles
    ui::Label Label16{this, "Label16"};
    ui::ComboBox ComboBox6{this, "ComboBox6"};  // exchange attempts
    // Buttons.
    ui::Panel pn_btn{this, "pn_btn"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Прийняти"
    ui::Button BitBtn4{this, "BitBtn4"};  // "Пошук адреси пристрою" (Tag 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"

    LinkParams link_par{};      // working copy of the current link type's parameters
    std::uint8_t accepted = 0;  // 1 = new parameters accepted

    void FormCreate();
    void FormShow();
    void CheckBox1Click();
    // "Прийняти" and, with the sender's Tag 1, the address search.
    void BitBtn1Click(ui::Button& sender);
    void BitBtn2Click();

private:
    bool TakeValues(ProgramSettingsRecord& s);
    void SearchAddress();
};
