// The small window "Очікуйте / Виконується формування / звіту у форматі
// Excel" that writes a gas-quality certificate: it opens the day or month
// template of the program folder, fills it by the cell map
// (ExcelCertificate.h) and saves it in the REPORT folder as
// "<object>_<line>_day_yymmdd.xlsx" or "<object>_<line>_mon_yymm.xlsx".
//
//   TFormXls_Report f(nullptr);
//   f.Kind = 0; f.Line = 0; f.Date = &date; f.Count = n;
//   f.ChromRecords = ...; f.Slots = ...; f.MoistRecords = ... (or nullptr);
//   f.ChromSummary = ...; f.MoistSummary = ...;
//   f.ShowModal();      // the work runs from a 100 ms timer once it shows
//
// An existing certificate is replaced only when the operator agrees and
// only by a complete new file (written under a temporary name and renamed
// over it); a template that cannot be opened or filled is reported (kind 1,
// with its name) and leaves no file.
#pragma once
#include <cstdint>
#include <string>

#include "data/ArchiveRecords.h"
#include "reports/ExcelCertificate.h"
#include "ui/Ui.h"

class TFormXls_Report : public ui::Form {
public:
    explicit TFormXls_Report(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal.
    uint8_t Kind = 0;  // 0 day, 1 month
    uint8_t Line = 0;  // 0, 1
    const ReportDate* Date = nullptr;
    uint32_t Count = 0;  // records at ChromRecords, Slots and (when set) MoistRecords
    const HdmArchiveRecord* ChromRecords = nullptr;
    const DeviceDateTime* Slots = nullptr;  // the hour (day) each record stands for
    const WmtArchiveRecord* MoistRecords = nullptr;
    const HdmArchiveRecord* ChromSummary = nullptr;
    const WmtArchiveRecord* MoistSummary = nullptr;

    // Results: the certificate's full name, and whether it was written.
    std::string FileName;
    bool Written = false;

    ui::Label Label1{this, "Label1"};  // "Очікуйте"
    ui::Label Label2{this, "Label2"};  // "Виконується формування"
    ui::Label Label3{this, "Label3"};  // "звіту у форматі Excel"
    ui::Timer Timer1{this, "Timer1"};

    // Writes the certificate (what the timer runs). True when it was saved.
    bool WriteReport();

private:
    void FormShow();
    void Timer1Timer();
};
