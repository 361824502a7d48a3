// The limits editor: one of the five per-parameter limit tables (22..26),
// twenty single-precision values by gas-parameter code, each checked against
// the fixed range of its kind and parameter (LimitRanges).
//
//   TFormLimits f(owner);
//   f.Block = RowPtr(22 + kind, 0);   // 80 bytes, any alignment
//   f.Oxygen = gasrows::OxygenInComponents(ConfigImage[cfgofs::kChromLink + 7]);
//   f.Mode = 1;                       // 1 "Записати в пристрій", 0 "Прийняти"
//   f.Kind = kind;
//   f.ShowModal();
//   if (f.accepted) ...
//
// The block changes only when every edited value is within its range (an
// edit left as shown keeps its stored value exactly when that value is in
// range, else the value it shows counts); the gas temperature (code 16) is never edited and oxygen (code 15) only with
// the oxygen flag: their values stay as they were.
#pragma once
#include <array>
#include <cstdint>

#include "config/GasParamRows.h"
#include "ui/Ui.h"

class TFormLimits : public ui::Form {
public:
    explicit TFormLimits(ui::Component* owner = nullptr);

    uint8_t accepted = 0;       // 1 after a successful accept
    uint8_t* Block = nullptr;   // 20 values, 80 bytes
    uint8_t Oxygen = 0;         // oxygen in the component set
    uint8_t Mode = 0;           // 0 "Прийняти", 1 "Записати в пристрій"
    uint8_t Kind = 0;           // limit kind 0..4

    // The caption of a kind's window (empty outside 0..4).
    static const char* KindCaption(int kind);

    ui::Panel Panel1{this, "Panel1"};  // "Найменування параметру"
    ui::Panel Panel2{this, "Panel2"};  // "Діапазон"
    ui::Panel Panel3{this, "Panel3"};  // "Значення"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти" (mode 0)
    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // The rows by code, found by name: pn1..pn20 (name), pd1..pd20 (range),
    // ev1..ev20 (value), l1..l20 (unit).
    std::array<ui::Panel*, gasrows::kRows> pn{}, pd{};
    std::array<ui::Edit*, gasrows::kRows> ev{};
    std::array<ui::Label*, gasrows::kRows> l{};

private:
    void FormShow();
    void evExit(ui::Edit& sender);
    void BitBtn3Click();
    int KindIndex() const { return Kind < 5 ? Kind : 0; }
    gasrows::Rows rows_;
    gasrows::ShownTexts shown_;
};
