// The controller's current state, refreshed every second: its abnormal
// situations (table 16) and its links to the chromatograph and the moisture
// meter (table 33). Buttons lead to the flow-computer exchange states
// (tables 9, 18, 34, 35 -> TFormVichInf) and to the configuration-table
// states (table 7 -> the caller opens the table-state window on the block).
//
// An abnormal state shows in red, a normal one in black. The refresh, its
// button and the failure line under the panels: LiveMonitorForm. The timer
// stands also while a button's exchange runs.
//
//   TableCheckBlock block{};
//   TFormPrz f(owner);
//   f.Block = &block;
//   f.StatusBar = &main.StatusBar1;
//   f.MessageTimer = &main.TimerMessage;
//   f.ShowModal();
//   if (f.Result == 1) ... table-state window on `block` ...
#pragma once
#include <cstdint>
#include <string>

#include "config/TableCheckBlock.h"
#include "data/LiveMonitor.h"
#include "ui/Ui.h"

class TFormPrz : public LiveMonitorForm {
public:
    explicit TFormPrz(ui::Component* owner = nullptr);
    ~TFormPrz() override;

    static constexpr int kTickMs = 1000;

    // Set by the caller.
    TableCheckBlock* Block = nullptr;
    // Read back: 1 the table states were asked for, 0 plain exit.
    uint8_t Result = 0;

    ui::Label LabelDate{this, "LabelDate"};
    ui::Panel pnDate{this, "pnDate"};
    ui::GroupBox GroupBox1{this, "GroupBox1"};  // abnormal situations
    ui::Label LabelOvg{this, "LabelOvg"}, LabelChrom{this, "LabelChrom"}, LabelLine1{this, "LabelLine1"},
        LabelLine2{this, "LabelLine2"}, LabelWmt{this, "LabelWmt"}, LabelSelf{this, "LabelSelf"};
    ui::Panel pnOvg{this, "pnOvg"}, pnChrom{this, "pnChrom"}, pnLine1{this, "pnLine1"}, pnLine2{this, "pnLine2"},
        pnWmt{this, "pnWmt"}, pnSelf{this, "pnSelf"};
    ui::GroupBox GroupBox2{this, "GroupBox2"};  // links
    ui::Label LabelChromLink{this, "LabelChromLink"}, LabelWmtLink{this, "LabelWmtLink"};
    ui::Panel pnChromLink{this, "pnChromLink"}, pnWmtLink{this, "pnWmtLink"};
    ui::Label lbState{this, "lbState"};   // a failed refresh
    ui::Button BitBtn6{this, "BitBtn6"};    // flow-computer exchange states
    ui::Button BitBtn1{this, "BitBtn1"};    // configuration-table states
    ui::Button BitBtn10{this, "BitBtn10"};  // "Не оновлювати дані" / "Оновлювати дані"
    ui::Button BitBtn2{this, "BitBtn2"};    // "Вихід"
    ui::Timer Timer1{this, "Timer1"};

    void ShowSituationFlags();

private:
    void FormShow();
    bool ReadAndShow() override;
    void BitBtn6Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void SetButtons(bool enabled);
};
