// The constants editor of one measuring line: for each of the 20 gas
// parameters whether the controller uses a fixed constant instead of the
// measured value, and the constant. It edits a 100-byte block in place:
// 20 flag bytes (table 43 or 45) then 20 single-precision constants (table
// 44 or 46), little-endian.
//
//   uint8_t block[100];               // flags, then values
//   TFormConst_Par f(owner);
//   f.Line = 0;                       // 0 or 1
//   f.Block = block;
//   f.Oxygen = gasrows::OxygenInComponents(linesByte);
//   f.Mode = 1;                       // 1 "Записати в пристрій", 0 "Прийняти"
//   f.ShowModal();
//
// The gas temperature (code 16), and oxygen (code 15) without the oxygen
// flag, are stored as flag 0 and constant 0. Constants have no range, but a
// text that is no finite single-precision number is refused. A value edit
// left as shown keeps its constant exactly (the text shows it rounded).
#pragma once
#include <array>
#include <cstdint>

#include "config/GasParamRows.h"
#include "ui/Ui.h"

inline constexpr int kConstBlockSize = 100;
inline constexpr int kConstValuesAt = 20;  // the constants follow the 20 flags

class TFormConst_Par : public ui::Form {
public:
    explicit TFormConst_Par(ui::Component* owner = nullptr);

    uint8_t Line = 0;           // 0 or 1
    uint8_t* Block = nullptr;   // 100 bytes
    uint8_t Oxygen = 0;         // oxygen in the component set
    uint8_t Mode = 0;           // 0 "Прийняти", 1 "Записати в пристрій"
    uint8_t accepted = 0;

    ui::Panel Panel1{this, "Panel1"};  // "Найменування параметрів газу"
    ui::Panel Panel2{this, "Panel2"};  // "Поставити на константу"
    ui::Panel Panel3{this, "Panel3"};  // "Значення константи"
    ui::Button BitBtn1{this, "BitBtn1"};  // "Прийняти" (mode 0)
    ui::Button BitBtn3{this, "BitBtn3"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // The rows by code, found by name: pn1..pn20, cb1..cb20, ev1..ev20.
    std::array<ui::Panel*, gasrows::kRows> pn{};
    std::array<ui::CheckBox*, gasrows::kRows> cb{};
    std::array<ui::Edit*, gasrows::kRows> ev{};

private:
    void FormShow();
    void BitBtn3Click();
    uint8_t work_[kConstBlockSize] = {};
    gasrows::Rows rows_;
    gasrows::ShownTexts shown_;
};
