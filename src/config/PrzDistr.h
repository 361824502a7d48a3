// Which of the 20 gas parameters the controller writes into the flow
// computers (table 21, one byte per code: 1 write, 0 do not).
//
//   TFormPrzDistr f(owner);
//   f.Block = RowPtr(21, 0);          // 20 bytes
//   f.Oxygen = gasrows::OxygenInComponents(linesByte);
//   f.Mode = 1;                       // 1 "Записати в пристрій", 0 "Прийняти"
//   f.ShowModal();
//
// Oxygen without the oxygen flag, and the gas temperature always, show
// " Не записувати " and are stored as 0.
#pragma once
#include <array>
#include <cstdint>

#include "config/GasParamRows.h"
#include "ui/Ui.h"

class TFormPrzDistr : public ui::Form {
public:
    explicit TFormPrzDistr(ui::Component* owner = nullptr);

    uint8_t* Block = nullptr;  // 20 bytes
    uint8_t Oxygen = 0;
    uint8_t Mode = 0;          // 0 "Прийняти", 1 "Записати в пристрій"
    uint8_t accepted = 0;

    ui::Panel Panel1{this, "Panel1"};  // "Найменування параметру"
    ui::Panel Panel2{this, "Panel2"};  // "Необхідність запису"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти" (mode 0)
    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // By code, found by name: pn1..pn20 (name), cb1..cb20 (" Не записувати ", " Записувати").
    std::array<ui::Panel*, gasrows::kRows> pn{};
    std::array<ui::ComboBox*, gasrows::kRows> cb{};

private:
    void FormShow();
    void BitBtn1Click();
    gasrows::Rows rows_;
};
