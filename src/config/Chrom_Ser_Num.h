// The chromatograph's serial number (table 41, u32), shown unsigned.
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormChrom_Ser_Num : public ui::Form {
public:
    explicit TFormChrom_Ser_Num(ui::Component* owner = nullptr);

    // Set by the caller.
    uint32_t SerialNumber = 0;

    ui::Label Label1{this, "Label1"};  // "Серійний номер хроматографа"
    ui::Panel Panel7{this, "Panel7"};  // the number
    ui::Button BitBtn1{this, "BitBtn1"};  // OK

private:
    void FormShow();
};
