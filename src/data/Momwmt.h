// The moisture meter's latest values (table 37: date and time, then PV21 ..
// PV25 as floats), refreshed every 10 seconds. The meter's type (table 15
// byte 6) decides the rows: types 0 and 1 five values, type 2 four; a type-0
// meter's pressures (PV23, PV25) come in bar and are shown in kgf/cm2.
// The refresh, its button and the failure line under the rows:
// LiveMonitorForm.
#pragma once
#include <cstdint>
#include <string>

#include "data/LiveMonitor.h"
#include "ui/Ui.h"

class TFormMomWmt : public LiveMonitorForm {
public:
    explicit TFormMomWmt(ui::Component* owner = nullptr);
    ~TFormMomWmt() override;

    static constexpr int kRows = 5;
    static constexpr int kTickMs = 10000;
    static constexpr int kValueBytes = 28;  // 7 rows of 4 bytes

    // The values of the last successful read.
    uint8_t Values[kValueBytes] = {};

    ui::Label LabelDate{this, "LabelDate"};
    ui::Panel pnDate{this, "pnDate"};
    ui::Label lbState{this, "lbState"};   // a failed refresh
    ui::Button BitBtn1{this, "BitBtn1"};  // "Не оновлювати дані" / "Оновлювати дані"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"
    ui::Timer Timer1{this, "Timer1"};

    // Row i (0..4): name and value labels, found by name.
    ui::Label* pn[kRows] = {};
    ui::Label* v[kRows] = {};

    // Rows the meter's type shows (5 or 4) and whether pressures are converted.
    int RowCount() const { return rows_; }

    void ShowWmtMomentaryValues();

private:
    void FormCreate();
    void FormShow();
    bool ReadAndShow() override;
    void BitBtn2Click();

    uint8_t type_ = 1;
    int rows_ = kRows;
};
