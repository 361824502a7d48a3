// Which of its functions the controller can perform (table 8, read from the
// image when shown): automatic summer/winter time change (byte 0) and the
// exchange with the flow computers (byte 1).
#pragma once
#include "ui/Ui.h"

class TFormFunInfo : public ui::Form {
public:
    explicit TFormFunInfo(ui::Component* owner = nullptr);

    ui::Panel Panel1{this, "Panel1"};  // "Найменування функції"
    ui::Panel Panel2{this, "Panel2"};  // "Виконання"
    ui::Panel Panel3{this, "Panel3"};  // the note under the rows
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"

    // Row n (1, 2): the function's name and its state, found by name.
    ui::Panel* pn[2] = {};
    ui::Panel* pi[2] = {};

private:
    void FormShow();
};
