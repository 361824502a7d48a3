// The controller's identification (table 0, 18 bytes) as the operator reads
// it: type, software and hardware versions, the software's date, byte order,
// damaged tables, baud-rate and address capabilities and the protocol
// version. The main menu shows the full view; the configuration editor shows
// only the type and the software version (the other rows greyed and empty).
//
//   TFormIdent f(owner);
//   f.Ident = ConfigImage.data();   // table 0
//   f.FullView = 1;
//   f.ShowModal();
#pragma once
#include <cstdint>
#include <string>

#include "ui/Ui.h"

class TFormIdent : public ui::Form {
public:
    explicit TFormIdent(ui::Component* owner = nullptr);

    static constexpr int kRows = 9;

    // Set by the caller.
    const uint8_t* Ident = nullptr;  // the 18 identification bytes
    uint8_t FullView = 0;            // 1: every row; 0: type and software version

    // Row r (0..8): its label and value panel. Rows: type, software version,
    // hardware version, software date, byte order, damaged tables, several
    // baud rates, address change, protocol version.
    ui::Label Label1{this, "Label1"}, Label2{this, "Label2"}, Label3{this, "Label3"}, Label4{this, "Label4"},
        Label5{this, "Label5"}, Label6{this, "Label6"}, Label7{this, "Label7"}, Label8{this, "Label8"},
        Label9{this, "Label9"};
    ui::Panel pn1{this, "pn1"}, pn2{this, "pn2"}, pn3{this, "pn3"}, pn4{this, "pn4"}, pn5{this, "pn5"},
        pn6{this, "pn6"}, pn7{this, "pn7"}, pn8{this, "pn8"}, pn9{this, "pn9"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Вихід"

    ui::Label& RowLabel(int r);
    ui::Panel& RowPanel(int r);

    // "dd.mm.yy  hh:mm:ss" of the six date bytes (year, month, day, hour,
    // minute, second), each part "**" when it is not a valid value.
    static std::string SoftwareDateText(const uint8_t* date6);

private:
    void FormShow();
};
