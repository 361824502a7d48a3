// The period dialog of the hourly and daily archive reads: whole hours or
// whole days inside the archive's bounds.
//
//   QueryPeriod range;            // from CheckArchiveBounds
//   TFormShortDate f(nullptr);
//   f.Range = &range;
//   f.Mode = 0;                   // 0 hourly, 1 daily
//   f.ShowModal();
//   if (f.accepted) { ... f.Begin, f.End ... }
//
// Results: hourly {year, month, day, hour, 0, 0}, daily {year, month, day,
// 0, 0, 0}, both inside the range. The controller's time is taken from the
// clock record (table 2) of the configuration image when the dialog shows.
// The kind of period chosen last is ArchiveRequestDefaults.PeriodKind,
// shared with TFormPeriod.
#pragma once
#include <cstdint>

#include "common/Dtfun.h"
#include "ui/Ui.h"

class TFormShortDate : public ui::Form {
public:
    explicit TFormShortDate(ui::Component* owner = nullptr);

    // Set by the caller.
    const QueryPeriod* Range = nullptr;  // first and last hour/day offered
    uint8_t Mode = 0;                    // 0 hourly, 1 daily
    // Results.
    uint8_t accepted = 0;
    DeviceDateTime Begin;
    DeviceDateTime End;
    // The controller's time when the dialog showed.
    DeviceDateTime ControllerTime;

    // Hourly panel.
    ui::Panel pn_hou{this, "pn_hou"};
    ui::Label Label9{this, "Label9"};    // oldest record
    ui::Label Label10{this, "Label10"};  // newest record
    ui::Label Label11{this, "Label11"}, Label12{this, "Label12"};
    ui::DateTimePicker tdHb{this, "tdHb"};
    ui::DateTimePicker tdHe{this, "tdHe"};
    ui::ComboBox ComboBox6{this, "ComboBox6"};  // beginning hour
    ui::ComboBox ComboBox7{this, "ComboBox7"};  // end hour
    ui::RadioGroup RadioGroup3{this, "RadioGroup3"};
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти"
    ui::Button BitBtn4{this, "BitBtn4"};  // "Відмінити"

    // Daily panel.
    ui::Panel pn_day{this, "pn_day"};
    ui::Label Label17{this, "Label17"};  // oldest record
    ui::Label Label18{this, "Label18"};  // newest record
    ui::Label Label19{this, "Label19"}, Label20{this, "Label20"};
    ui::DateTimePicker tdDb{this, "tdDb"};
    ui::DateTimePicker tdDe{this, "tdDe"};
    ui::RadioGroup RadioGroup2{this, "RadioGroup2"};
    ui::Button BitBtn5{this, "BitBtn5"};  // "Прийняти"
    ui::Button BitBtn6{this, "BitBtn6"};  // "Відмінити"

private:
    void FormCreate();
    void FormShow();
    void RadioGroup3Click();
    void RadioGroup2Click();
    void BitBtn3Click();
    void BitBtn5Click();
    void ShowHours(const DeviceDateTime& b, const DeviceDateTime& e);
    void ShowDays(const DeviceDateTime& b, const DeviceDateTime& e);
    bool Accept(DeviceDateTime b, DeviceDateTime e, int unit);
};
