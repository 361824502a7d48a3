// The controller's own link to the upper-level system (table 3, 4 bytes):
// address 1..254, baud code, preambles in its replies 0..255, and a byte
// that is always 0.
//
//   TFormConVU f(owner);
//   f.Block = RowPtr(3, 0);
//   f.Mode = 1;        // from the main menu: "Записати в пристрій"
//   f.ShowModal();
//
// Opened from the main menu (mode 1) the baud rate can be changed only on
// the direct serial link and only when the controller says it works at
// several rates (table 0 byte 11); otherwise accepting keeps the baud code.
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormConVU : public ui::Form {
public:
    explicit TFormConVU(ui::Component* owner = nullptr);

    uint8_t accepted = 0;
    uint8_t* Block = nullptr;  // 4 bytes
    uint8_t Mode = 0;          // 0 "Прийняти", 1 "Записати в пристрій"

    ui::Label Label1{this, "Label1"};  // "Адреса контролера"
    ui::ComboBox ComboBox1{this, "ComboBox1"};
    ui::Label Label2{this, "Label2"};  // "Швидкість обміну"
    ui::ComboBox ComboBox2{this, "ComboBox2"};
    ui::Label Label3{this, "Label3"};  // "Кілк. преамбул  у відповіді ВР"
    ui::Label Label4{this, "Label4"};  // "(  0 - 255 ) "
    ui::Edit Edit10{this, "Edit10"};
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти" (mode 0)
    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

private:
    void FormShow();
    void BitBtn1Click();
};
