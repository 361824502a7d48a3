// The names of the controller and of its two measuring lines (table 5:
// three rows of 20 bytes, Windows-1251 in the image). A name of 20 bytes
// has no terminating byte; shorter ones are zero-padded when written here.
// On display each row is read within its 20 bytes (up to a zero byte) and
// trimmed of blanks and control characters at both ends.
//
// Mode 1 shows "Записати в пристрій", mode 0 "Прийняти"; the block changes
// only when accepted, and a name left as it was shown keeps its bytes.
#pragma once
#include <cstdint>
#include <string>

#include "ui/Ui.h"

class TFormContrName : public ui::Form {
public:
    explicit TFormContrName(ui::Component* owner = nullptr);

    static constexpr int kNameBytes = 20;

    // Set by the caller (cleared at creation).
    uint8_t* Block = nullptr;  // 60 bytes
    uint8_t Mode = 0;
    // Read back: 1 once accepted.
    uint8_t accepted = 0;

    ui::Label Label1{this, "Label1"};  // "Найменування контролера"
    ui::Label Label2{this, "Label2"};  // "Найменування нитки 1 " / "хроматографа"
    ui::Label Label3{this, "Label3"};  // "Найменування нитки 2 " / "хроматографа"
    ui::Edit Edit1{this, "Edit1"}, Edit2{this, "Edit2"}, Edit3{this, "Edit3"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Записати в пристрій"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // A 20-byte row as shown: within its bytes, up to a zero byte, trimmed
    // of blanks and control characters at both ends (UTF-8).
    static std::string NameText(const uint8_t* row);

private:
    void FormShow();
    void BitBtn1Click();
};
