// The controller's link to the flow computers (table 9, 6 bytes): number
// of flow computers 1..16, baud code, failed polls before a diagnostic
// message 1..10, reply time-out in tenths of a second 1..255, preambles in
// a request 0..255, and how gas values are written into the flow computers
// (0 not at all, 1 hourly averages that deviate, 2 hourly averages
// periodically).
//
//   TFormConVich f(owner);
//   f.Block = RowPtr(9, 0);
//   f.Mode = 1;
//   f.ShowModal();
#pragma once
#include <array>
#include <cstdint>

#include "ui/Ui.h"

class TFormConVich : public ui::Form {
public:
    explicit TFormConVich(ui::Component* owner = nullptr);

    uint8_t accepted = 0;
    uint8_t* Block = nullptr;  // 6 bytes
    uint8_t Mode = 0;          // 0 "Прийняти", 1 "Записати в пристрій"

    ui::Label Label1{this, "Label1"};  // "Кількість підключених обчислювачів"
    ui::ComboBox ComboBox10{this, "ComboBox10"};
    ui::Label Label2{this, "Label2"};  // "Швидкість обміну"
    ui::ComboBox ComboBox11{this, "ComboBox11"};
    ui::Label Label3{this, "Label3"};  // "Кільк. невдалих опитувань поспіль, після ..."
    ui::ComboBox ComboBox15{this, "ComboBox15"};
    ui::Label Label4{this, "Label4"};  // "Таймаут очікування відповіді від обчислювача"
    ui::ComboBox ComboBox14{this, "ComboBox14"};
    ui::Label Label5{this, "Label5"};  // "дс"
    ui::Label Label6{this, "Label6"};  // "Кільк. преамбул у запиті до обчислювача"
    ui::Label Label7{this, "Label7"};  // "(  0 - 255 ) "
    ui::Edit Edit2{this, "Edit2"};
    ui::GroupBox GroupBox1{this, "GroupBox1"};  // " Режим запису параметрів газу в обчислювач "
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти" (mode 0)
    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // rb1..rb3, found by name: write mode 0, 1, 2.
    std::array<ui::RadioButton*, 3> rb{};

private:
    void FormShow();
    void BitBtn1Click();
};
