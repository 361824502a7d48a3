// The connect dialog: link type, subscriber, controller address, and the
// connect itself.
//
//   TFormConnect f(mainForm);
//   f.status_bar = &StatusBar1;   // where the current link is shown
//   f.ShowModal();
//   if (f.accepted) ...           // HgcBox is ready: its COM port open (or
//                                 // left closed for opening per exchange) or
//                                 // its TCP socket connected; the settings and
//                                 // subscriber files are written
//
// Link types (ProgramSettings.Conn_Prz): 0 direct COM port, 1 telephone
// modem, 2 Ethernet. The dialog changes ProgramSettings as the operator
// chooses and writes "zbr.ini" and the subscriber list files whenever a
// change is accepted. A file that cannot be written is reported (kind 1,
// the file's name on the second line) and nothing goes on as if it had been.
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormConnect : public ui::Form {
public:
    explicit TFormConnect(ui::Component* owner = nullptr);

    ui::Panel pn_type{this, "pn_type"};
    ui::Label Label1{this, "Label1"};           // "Тип зв'язку"
    ui::ComboBox ComboBox3{this, "ComboBox3"};  // link type
    ui::Panel pn_abon{this, "pn_abon"};
    ui::Label Label3{this, "Label3"};           // "Абонент"
    ui::ComboBox ComboBox2{this, "ComboBox2"};  // subscriber; last item "Новый абонент"
    ui::Button BitBtn6{this, "BitBtn6"};        // the subscriber list
    ui::Panel pn_main{this, "pn_main"};
    ui::Label Label2{this, "Label2"};           // "Адреса пристрою"
    ui::ComboBox ComboBox1{this, "ComboBox1"};  // controller address "1".."255"
    ui::Button BitBtn1{this, "BitBtn1"};        // "Зв'язатися"
    ui::Button BitBtn3{this, "BitBtn3"};        // "Змінити параметри зв'язку"
    ui::Button BitBtn2{this, "BitBtn2"};        // "Вихід"

    ui::StatusBar* status_bar = nullptr;  // set by the caller: the main window's StatusBar1
    std::uint8_t accepted = 0;            // 1 = connected
    // How long a new TCP connection settles before the first request.
    int ConnectSettleMs = 1000;

    void FormCreate();
    void FormShow();
    void ComboBox3Change();  // link type chosen
    void ComboBox2Change();  // subscriber chosen
    void FillPhoneSubscriberList();
    void FillEthernetSubscriberList();
    void BitBtn6Click();  // subscriber list
    void BitBtn3Click();  // link parameters
    void BitBtn1Click();  // connect
    void BitBtn2Click();  // "Вихід"
    bool ConnectEthernet();

private:
    void FillSubscribers();
    // Writes the changed subscriber lists, then "zbr.ini"; reports a failure.
    bool SaveSettingsFiles();
    // Writes the list file of the current link type; reports a failure.
    bool SaveCurrentList();
    void Refuse(const char* line1, const char* line2 = "");
};
