// The chromatograph's latest values of one measuring line, with the alarm
// zone of each gas parameter, refreshed every 10 seconds: line 1 from tables
// 30 (values) and 32 (zones), line 2 from tables 38 and 39.
//
// Row i shows parameter code i - 1. Oxygen (code 15) is filled only when
// the chromatograph measures it; gas temperature (code 16) has no zone. A
// zone code the program does not know shows "?" in green. The refresh, its
// button and the failure line under the rows: LiveMonitorForm.
//
//   TFormMom f(owner);
//   f.Line = item.Tag();           // 0 or 1
//   f.Oxygen = OxygenMeasured();
//   f.StatusBar = &main.StatusBar1;
//   f.MessageTimer = &main.TimerMessage;
//   f.ShowModal();
#pragma once
#include <cstdint>
#include <string>

#include "common/GasParams.h"
#include "data/LiveMonitor.h"
#include "ui/Ui.h"

class TFormMom : public LiveMonitorForm {
public:
    explicit TFormMom(ui::Component* owner = nullptr);
    ~TFormMom() override;

    static constexpr int kRows = kGasParamCount;
    static constexpr int kTickMs = 10000;
    static constexpr int kValueBytes = 88;  // 22 rows of 4 bytes

    // Set by the caller.
    uint8_t Line = 0;    // 0 line 1, 1 line 2
    uint8_t Oxygen = 0;  // 1: oxygen is measured

    // The values of the last successful read (date, time, 20 floats).
    uint8_t Values[kValueBytes] = {};

    ui::Label LabelDate{this, "LabelDate"};
    ui::Panel pnDate{this, "pnDate"};
    ui::Label Label1{this, "Label1"};  // "Розрахунок за ДСТУ ІСО" (hidden)
    ui::Panel Panel1{this, "Panel1"}, Panel2{this, "Panel2"}, Panel3{this, "Panel3"};  // column headings
    ui::Label lbState{this, "lbState"};   // a failed refresh
    ui::Button BitBtn1{this, "BitBtn1"};  // "Не оновлювати дані" / "Оновлювати дані"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"
    ui::Timer Timer1{this, "Timer1"};

    // Row i (0..19, parameter code i), found by name at creation.
    ui::Label* pn[kRows] = {};
    ui::Label* v[kRows] = {};
    ui::Label* z[kRows] = {};

    // Tables of the window's line: values and zones.
    int ValueTable() const { return Line == 0 ? 30 : 38; }
    int ZoneTable() const { return Line == 0 ? 32 : 39; }

    void ShowMomValues();
    void ShowMomZones();

private:
    void FormCreate();
    void FormShow();
    bool ReadAndShow() override;
    void BitBtn2Click();
    bool Shown(int code) const;
};
