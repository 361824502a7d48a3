// The state of the exchange with each connected flow computer: its address,
// whether the link is up and whether gas values are being written into it.
// Works on a 48-byte block the caller builds from tables 18, 34 and 35
// (16 addresses, 16 link flags, 16 write flags); the number of rows is the
// count of connected flow computers in the image (table 9 row 0, at most 16).
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormVichInf : public ui::Form {
public:
    explicit TFormVichInf(ui::Component* owner = nullptr);

    static constexpr int kRows = 16;
    static constexpr int kBlockBytes = 48;
    static constexpr int kRowHeight = 22;
    static constexpr int kFirstRowTop = 44;

    // Set by the caller.
    const uint8_t* Block = nullptr;

    ui::Panel Panel1{this, "Panel1"};  // "Адреса" / "обчислювача"
    ui::Panel Panel2{this, "Panel2"};  // "Наявність" / "зв'язку"
    ui::Panel Panel3{this, "Panel3"};  // "Стан процесу" / "запису параметрів"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"

    // Row i (0..15), found by name: pnN with its labels lnN (number), laN
    // (address), lcN (link), lwN (writing).
    ui::Panel* pn[kRows] = {};
    ui::Label* ln[kRows] = {};
    ui::Label* la[kRows] = {};
    ui::Label* lc[kRows] = {};
    ui::Label* lw[kRows] = {};
    // Rows shown after FormShow.
    int RowCount() const { return rows_; }

private:
    void FormCreate();
    void FormShow();
    int rows_ = 0;
};
