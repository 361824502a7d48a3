// The about box: the program's name and version and whom to ask.
#pragma once
#include "ui/Ui.h"

class TFormAbout : public ui::Form {
public:
    explicit TFormAbout(ui::Component* owner = nullptr);

    ui::Panel Panel1{this, "Panel1"};   // name and version
    ui::Label Label1{this, "Label1"};   // "zbr_Orvix7200"
    ui::Label Label2{this, "Label2"};   // "Програма обслуговування контролера ЗБР"
    ui::Label Label3{this, "Label3"};   // "Версія    11.05"
    ui::Panel Panel2{this, "Panel2"};   // the developer
    ui::Panel Panel3{this, "Panel3"};   // address
    ui::Panel Panel4{this, "Panel4"};   // telephone
    ui::Panel Panel5{this, "Panel5"};   // e-mail
    ui::Memo Memo1{this, "Memo1"};      // what the program does
    ui::Button BitBtn1{this, "BitBtn1"};  // "OK"
};
