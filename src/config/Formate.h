// The display-format settings window: digits after the decimal separator
// for each kind of quantity. Accepting stores the nine digit counts into
// the format record, derives the twenty per-parameter digits from them and
// leaves bytes 0..3 (wording, heat unit, report kind, reserved) as they
// were read.
//
//   TFormRepConf form(nullptr);       // edits ReportFormat unless told otherwise
//   form.ShowModal();
//   if (form.accepted) SaveReportFormatReported();
//
// RunReportFormatDialog() is the whole menu item: the window, then the file.
#pragma once
#include <cstdint>
#include <string>

#include "common/ReportFormat.h"
#include "ui/Ui.h"

class TFormRepConf : public ui::Form {
public:
    explicit TFormRepConf(ui::Component* owner = nullptr);

    uint8_t accepted = 0;                    // 1 once accepted
    ReportFormatRecord* format = &ReportFormat;  // the record edited (changed only on accept)

    static constexpr int kGroups = kQuantityGroupCount;

    ui::Panel Panel1{this, "Panel1"};  // the heading
    ui::Label Label10{this, "Label10"};
    ui::Label Label11{this, "Label11"};
    ui::ComboBox ComboBox1{this, "ComboBox1"}, ComboBox2{this, "ComboBox2"}, ComboBox3{this, "ComboBox3"},
        ComboBox4{this, "ComboBox4"}, ComboBox5{this, "ComboBox5"}, ComboBox6{this, "ComboBox6"},
        ComboBox7{this, "ComboBox7"}, ComboBox8{this, "ComboBox8"}, ComboBox9{this, "ComboBox9"};
    ui::Label Label1{this, "Label1"}, Label2{this, "Label2"}, Label3{this, "Label3"}, Label4{this, "Label4"},
        Label5{this, "Label5"}, Label6{this, "Label6"}, Label7{this, "Label7"}, Label8{this, "Label8"},
        Label9{this, "Label9"};
    ui::Button BitBtn3{this, "BitBtn3"};  // "Прийняти"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // The combo of quantity group g (0..8: bytes 24..32).
    ui::ComboBox& Combo(int g);

private:
    void FormShow();
    void BitBtn3Click();
};

// Writes ReportFormat to INI/rep_format.ini; a failure is reported (kind 1
// "Помилка роботи з файлом" with the file name) and the settings stay in
// force for this run. True when written.
bool SaveReportFormatReported();

// The menu item "Формат представлення даних": the window, and the file
// written when it was accepted. True when accepted.
bool RunReportFormatDialog(ui::Component* owner = nullptr);
