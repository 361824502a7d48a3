// How often the controller writes hourly averages into the flow computers
// (table 28: byte 0 the hours, one of AveragingPeriods; byte 1 always 0).
//
//   TFormDistr f(owner);
//   f.Block = RowPtr(28, 0);   // 2 bytes
//   f.Mode = 1;                // 1 "Записати в пристрій", 0 "Прийняти"
//   f.ShowModal();
#pragma once
#include <array>
#include <cstdint>

#include "ui/Ui.h"

// Hours between writes of hourly averages.
inline constexpr std::array<uint8_t, 7> AveragingPeriods{1, 2, 3, 4, 6, 12, 24};

class TFormDistr : public ui::Form {
public:
    explicit TFormDistr(ui::Component* owner = nullptr);

    uint8_t* Block = nullptr;  // 2 bytes
    uint8_t Mode = 0;          // 0 "Прийняти", 1 "Записати в пристрій"
    uint8_t accepted = 0;

    ui::Label Label1{this, "Label1"};  // "Період запису середніх за годину" / "значень параметрів газу в ОВГ"
    ui::ComboBox ComboBox1{this, "ComboBox1"};
    ui::Label Label2{this, "Label2"};  // "годин"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти" (mode 0)
    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

private:
    void FormShow();
    void BitBtn1Click();
};
