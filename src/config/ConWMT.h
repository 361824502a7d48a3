// The controller's MODBUS link to the moisture meter (table 15, 8 bytes):
// address 1..247, baud code, mode (0 ASCII, 1 RTU), 0, reply time-out in
// seconds 5..255, failed polls before a diagnostic message 1..10, meter
// type 0..2, 0.
//
//   TFormConWMT f(owner);
//   f.Block = RowPtr(15, 0);
//   f.Mode = 1;
//   f.ShowModal();
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormConWMT : public ui::Form {
public:
    explicit TFormConWMT(ui::Component* owner = nullptr);

    uint8_t accepted = 0;
    uint8_t* Block = nullptr;  // 8 bytes
    uint8_t Mode = 0;          // 0 "Прийняти", 1 "Записати в пристрій"

    ui::Label Label1{this, "Label1"};  // "Адреса вологоміра"
    ui::ComboBox ComboBox3{this, "ComboBox3"};
    ui::Label Label2{this, "Label2"};  // "Швидкість обміну"
    ui::ComboBox ComboBox5{this, "ComboBox5"};
    ui::Label Label3{this, "Label3"};  // "Режим обміну MODBUS протоколу"
    ui::ComboBox ComboBox6{this, "ComboBox6"};
    ui::Label Label4{this, "Label4"};  // "Таймаут очікування відповіді"
    ui::ComboBox ComboBox8{this, "ComboBox8"};
    ui::Label Label5{this, "Label5"};  // "сс"
    ui::Label Label6{this, "Label6"};  // "Кільк. невдалих опитувань вологоміра ..."
    ui::ComboBox ComboBox9{this, "ComboBox9"};
    ui::Label Label7{this, "Label7"};  // "Тип вологоміра"
    ui::ComboBox ComboBox10{this, "ComboBox10"};
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти" (mode 0)
    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

private:
    void FormShow();
    void BitBtn1Click();
};
