// The four clock synchronisation flags (each 0 or 1):
//   byte 0  the controller's clock from a flow computer's (table 6 row 10)
//   byte 1  the controller's clock from the PC's (table 6 row 11)
//   byte 2  the chromatograph's clock set when the controller takes a flow
//           computer's time (table 14 row 8)
//   byte 3  the same when the controller takes the PC's time (table 14 row 9)
// A chromatograph flag can be set only together with its controller flag.
// The window edits a 4-byte block in place when accepted; mode 1 shows
// "Записати в пристрій", mode 0 "Прийняти".
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormTime_Sinhr : public ui::Form {
public:
    explicit TFormTime_Sinhr(ui::Component* owner = nullptr);

    // Set by the caller (cleared at creation).
    uint8_t* Block = nullptr;  // 4 flag bytes
    uint8_t Mode = 0;
    // Read back: 1 once accepted.
    uint8_t accepted = 0;

    ui::GroupBox GroupBox1{this, "GroupBox1"};  // " Синхронізувати час контролера "
    ui::CheckBox CheckBox1{this, "CheckBox1"};  // "З часом обчислювача"
    ui::CheckBox CheckBox2{this, "CheckBox2"};  // "З часом ЕОМ"
    ui::GroupBox GroupBox2{this, "GroupBox2"};  // " Синхронізувати час хроматографа "
    ui::CheckBox CheckBox3{this, "CheckBox3"};
    ui::Label Label1{this, "Label1"};  // "В момент синхронізації часу"
    ui::Label Label2{this, "Label2"};  // "контролера з часом обчислювача"
    ui::CheckBox CheckBox4{this, "CheckBox4"};
    ui::Label Label5{this, "Label5"};  // "В момент синхронізації часу"
    ui::Label Label6{this, "Label6"};  // "контролера з часом ЕОМ"
    ui::Button BitBtn1{this, "BitBtn1"};    // "Прийняти"
    ui::Button BitBtn14{this, "BitBtn14"};  // "Записати в пристрій"
    ui::Button BitBtn2{this, "BitBtn2"};    // "Відмінити"

private:
    void FormShow();
    void CheckBox1Click();
    void CheckBox2Click();
    void BitBtn1Click();
};
