// The controller's own Ethernet settings (configuration table 29, 28 bytes):
// IP address, subnet mask and default gateway (4 octets each, byte 0 the
// rightmost octet) and four TCP ports (u32 each, little-endian):
//
//   offset 0 address, 4 mask, 8 gateway, 12 port of flow computer 1,
//   16 port of flow computer 2, 20 controller connection 1, 24 connection 2
//
// The window edits a 28-byte block handed to it and never talks to the
// controller: mode 1 shows "Записати в пристрій" (the main menu writes the
// table afterwards), mode 0 "Прийняти" (the configuration editor). The block
// changes only when the window is accepted.
//
//   TFormConEth f(owner);
//   f.Block = RowPtr(29, 0);
//   f.Mode = 1;
//   f.ShowModal();
//   if (f.accepted) ...
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormConEth : public ui::Form {
public:
    explicit TFormConEth(ui::Component* owner = nullptr);

    static constexpr int kBlockBytes = 28;

    // Set by the caller (cleared at creation).
    uint8_t* Block = nullptr;  // 28 bytes of table 29
    uint8_t Mode = 0;          // 1 "Записати в пристрій", 0 "Прийняти"
    // Read back: 1 once accepted.
    uint8_t accepted = 0;

    ui::Panel Panel1{this, "Panel1"};  // the three addresses
    ui::Panel Panel2{this, "Panel2"};  // the four ports
    ui::Label Label1{this, "Label1"};  // "IP-адреса контролера"
    ui::Label Label2{this, "Label2"};  // "Маска підмережі"
    ui::Label Label3{this, "Label3"};  // "Шлюз за умовчуванням"
    ui::Label Label4{this, "Label4"};  // "Порт з'єднання  ОВГ 1"
    ui::Label Label5{this, "Label5"};  // "Порт з'єднання  ОВГ 2"
    ui::Label Label6{this, "Label6"};  // "Порт з'єднання ЗБР 1"
    ui::Label Label7{this, "Label7"};  // "Порт з'єднання ЗБР 2"
    ui::Edit ip1{this, "ip1"}, ip2{this, "ip2"}, ip3{this, "ip3"}, ip4{this, "ip4"};
    ui::Edit im1{this, "im1"}, im2{this, "im2"}, im3{this, "im3"}, im4{this, "im4"};
    ui::Edit is1{this, "is1"}, is2{this, "is2"}, is3{this, "is3"}, is4{this, "is4"};
    ui::Edit e1{this, "e1"}, e2{this, "e2"}, e3{this, "e3"}, e4{this, "e4"};
    ui::Button BitBtn1{this, "BitBtn1"};    // "Прийняти"
    ui::Button BitBtn14{this, "BitBtn14"};  // "Записати в пристрій"
    ui::Button BitBtn2{this, "BitBtn2"};    // "Відмінити"

    // The edits collected by name: ipN, imN, isN, eN at index N - 1.
    ui::Edit* ip[4] = {};
    ui::Edit* im[4] = {};
    ui::Edit* is[4] = {};
    ui::Edit* e[4] = {};

private:
    void FormCreate();
    void FormShow();
    void BitBtn1Click();
};
