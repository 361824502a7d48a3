// The controller's, the PC's and the chromatograph's date and time side by
// side, with what differs from the PC in red, and the correction of the
// controller's clock towards the PC's.
//
// Reads table 2 (controller clock: date, time, weekday 1..7 from Sunday,
// season flag 0 summer / other winter), table 42 (chromatograph clock) and
// table 6 (transition rules, byte 11: correction allowed) from the image.
// The correction never moves the controller's clock out of its current
// hour: within the same hour it is the difference; an earlier controller
// goes to the end of its hour, a later one to its start.
//
//   TFormDt f(owner);
//   f.PcTime = HgcBox->LastExchange;
//   f.ShowModal();
//   if (f.accepted) ... command 12 with f.Correction ...
#pragma once
#include <cstdint>
#include <string>

#include "common/Dtfun.h"
#include "ui/Ui.h"

class TFormDt : public ui::Form {
public:
    explicit TFormDt(ui::Component* owner = nullptr);

    // Set by the caller.
    TDateTime PcTime = 0;
    // Worked out at show.
    DeviceDateTime PcRec{};
    uint8_t PcSeason = 0;  // 0 summer time, 0x80 winter
    int PcWeekday = 0;     // 1 Sunday .. 7
    // Read back.
    uint8_t accepted = 0;
    int16_t Correction = 0;  // seconds

    ui::Label Label1{this, "Label1"};  // "У контролері"
    ui::Label Label2{this, "Label2"};  // "В ЕОМ"
    ui::Label Label3{this, "Label3"};  // "У хроматографі"
    ui::Label Label4{this, "Label4"};  // "Дата" "( дд.мм.гг )"
    ui::Label Label5{this, "Label5"};  // "Час" "( гг:мм:сс )"
    ui::Label Label6{this, "Label6"};  // "День" "тижня"
    ui::Label Label7{this, "Label7"};  // "Тип" "часу"
    ui::Panel pnDate1{this, "pnDate1"}, pnTime1{this, "pnTime1"}, pnDay1{this, "pnDay1"},
        pnSeason1{this, "pnSeason1"};                                       // controller
    ui::Panel pnDate2{this, "pnDate2"}, pnTime2{this, "pnTime2"}, pnDay2{this, "pnDay2"},
        pnSeason2{this, "pnSeason2"};                                       // PC
    ui::Panel pnDate3{this, "pnDate3"}, pnTime3{this, "pnTime3"};          // chromatograph
    ui::Label Label9{this, "Label9"};     // correction forbidden
    ui::Button BitBtn3{this, "BitBtn3"};  // "Скорегувати у контролері"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"

    // The correction that brings `controller` towards `pc` without leaving
    // the controller's hour.
    static int16_t CorrectionFor(const DeviceDateTime& controller, const DeviceDateTime& pc);

private:
    void FormShow();
    void BitBtn3Click();
};
