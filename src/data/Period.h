// The period dialog of the paged archive reads: a beginning and an end with
// date, hour, minute and second.
//
//   TFormPeriod f(nullptr);
//   f.ShowModal();
//   if (f.accepted) { ... f.Begin, f.End ... }
//
// The kind of period chosen last (ArchiveRequestDefaults.PeriodKind, shared
// with TFormShortDate) is preselected; a period given by hand is kept in
// ArchiveRequestDefaults.PeriodBegin / PeriodEnd once it is accepted, and
// the main window keeps the record in INI/rd_arh.ini between runs.
//
// The date pickers of the range dialogs stay within the years a controller
// date can hold (2000..2255): they offer no date outside, and a date set
// outside is brought to the nearest one inside.
#pragma once
#include <cstdint>
#include <functional>

#include "common/DateTime.h"
#include "common/Dtfun.h"
#include "ui/Ui.h"

// ---- helpers of the three range dialogs -----------------------------------

// 01.01.2000 and 31.12.2255, the dates a controller record can hold.
double FirstPickerDate();
double LastPickerDate();
// Brings the picker's date into 2000..2255 (the time of day is kept).
void KeepPickerInRange(ui::DateTimePicker& p);
// Bounds the picker to 2000..2255 and hooks KeepPickerInRange to its OnChange.
void LimitPicker(ui::DateTimePicker& p);
// Date of the record (year, month, day) as a picker value; an invalid date
// gives the nearest valid one.
double RecDateValue(const DeviceDateTime& r);
// Year - 2000, month and day of a picker (the year clamped to 2000..2255).
void PickerDate(const ui::DateTimePicker& p, DeviceDateTime& r);
// One month back, the day brought down to the month's length (31 March
// becomes 28 or 29 February, never 31 February). January 2000 goes back to
// 1 January 2000, never round to December 2255.
void DecMonthClamped(DeviceDateTime& r);
// One hour (unit 0) or day (unit 1) forward or back without leaving the
// years a record can hold (2000..2255): at the last hour or day of 2255
// (the first of 2000) the record stays as it is and the result is false.
bool IncRecWithin(DeviceDateTime& r, int unit);
bool DecRecWithin(DeviceDateTime& r, int unit);
// "0".."n-1" as items of a drop-down list.
void FillNumberList(ui::ComboBox& c, int n);
// Selects the item of a number list (no event); the number of the selected
// item, -1 when none is.
void SelectNumber(ui::ComboBox& c, int v);
int SelectedNumber(const ui::ComboBox& c);
// Sets the radio group's index and runs its click handler once, whether or
// not the index changed.
void SelectRadio(ui::RadioGroup& g, int index);

// ---- the dialog ---------------------------------------------------------------

class TFormPeriod : public ui::Form {
public:
    explicit TFormPeriod(ui::Component* owner = nullptr);

    // Results.
    uint8_t accepted = 0;
    DeviceDateTime Begin;
    DeviceDateTime End;
    // The PC clock the last-hour and last-day choices count from.
    std::function<TDateTime()> Clock = Now;

    ui::GroupBox GroupBox1{this, "GroupBox1"};  // "Початок періоду"
    ui::GroupBox GroupBox2{this, "GroupBox2"};  // "Кінець періоду"
    ui::DateTimePicker tdDb{this, "tdDb"};
    ui::DateTimePicker tdDe{this, "tdDe"};
    ui::ComboBox ComboBox3{this, "ComboBox3"};  // beginning: hour
    ui::ComboBox ComboBox1{this, "ComboBox1"};  // beginning: minutes
    ui::ComboBox ComboBox2{this, "ComboBox2"};  // beginning: seconds
    ui::ComboBox ComboBox4{this, "ComboBox4"};  // end: hour
    ui::ComboBox ComboBox5{this, "ComboBox5"};  // end: minutes
    ui::ComboBox ComboBox6{this, "ComboBox6"};  // end: seconds
    ui::Label Label1{this, "Label1"}, Label2{this, "Label2"}, Label3{this, "Label3"}, Label4{this, "Label4"};
    ui::Label Label5{this, "Label5"}, Label6{this, "Label6"}, Label7{this, "Label7"}, Label8{this, "Label8"};
    ui::RadioGroup RadioGroup1{this, "RadioGroup1"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Прийняти"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Вихід"

private:
    void FormCreate();
    void FormShow();
    void RadioGroup1Click();
    void BitBtn1Click();
    void EnableInputs(bool on);
};
