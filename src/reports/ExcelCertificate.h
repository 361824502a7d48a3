// The gas-quality certificates: what goes into which cell of the day and
// month templates, the checks of the records read for them, the month's
// means and the certificate's file name. No windows here: the menu handlers
// (ExcelReports.h) read the archives and the certificate window
// (Xls_Report.h) opens the template, calls the writers and saves the file.
//
// Cell map (row, column; 1-based), the same in both templates:
//   (2, 28)  "Серійний номер хроматографа %u;  %s" (serial number, line name)
//   (3, 2)   the object's name
//   (4, 22)  the period of the records
//   day:     hourly record i in row 10 + i, its date and hour in column 1;
//            the daily records in row 34
//   month:   the daily record of day d in row d + 9 (no date cell); the
//            month's calorific values in row 41, columns 15..20
//   columns  2..23 the chromatograph's values (column 11 oxygen only when
//            the line shows oxygen; heat values in kcal, MJ and kWh), 24..27
//            the moisture meter's, 28 the gas temperature.
// The values are written as the program's texts ("9,2500", "--", "NAN");
// the sheet holds each number as a number shown with exactly those digits
// (sheet::Range::SetValue).
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/Dtfun.h"
#include "common/ReportFormat.h"
#include "data/ArchiveRecords.h"
#include "sheet/Workbook.h"

// The templates in the program folder.
inline constexpr const char* kDayTemplateName = "day_report_title_v11.xlsx";
inline constexpr const char* kMonthTemplateName = "mon_report_title_v11.xlsx";

// The day or month of a certificate: year - 2000, month, day and the
// contract hour (table 6) at which the gas day begins.
struct ReportDate {
    uint8_t year = 0;
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
};
static_assert(sizeof(ReportDate) == 4);

namespace certmap {
inline constexpr int kSerialRow = 2, kSerialCol = 28;
inline constexpr int kObjectRow = 3, kObjectCol = 2;
inline constexpr int kPeriodRow = 4, kPeriodCol = 22;
inline constexpr int kFirstRow = 10;          // first record row
inline constexpr int kDayRows = 24;           // hourly rows 10..33
inline constexpr int kDaySummaryRow = 34;
inline constexpr int kMonthRows = 31;         // day rows 10..40
inline constexpr int kMonthSummaryRow = 41;
inline constexpr int kDateCol = 1;
inline constexpr int kFirstChromCol = 2, kLastChromCol = 23;
inline constexpr int kOxygenCol = 11;
inline constexpr int kFirstMoistCol = 24, kLastMoistCol = 27;
inline constexpr int kTemperatureCol = 28;
inline constexpr int kLastCol = 28;
// The month's means: inferior calorific value in 15..17, superior in 18..20.
inline constexpr int kInferiorHeatCol = 15, kSuperiorHeatCol = 18;
}  // namespace certmap

// Chromatograph float (by code) of each certificate column from column 2 on;
// 255 ends the list. A heat value (codes 11, 13, 18) fills three columns.
extern const uint8_t ExcelColumnOrder[20];
// Moisture-meter float of columns 24..27.
extern const uint8_t ExcelMoistOrder[4];

// Heat value conversions of the three heat columns.
inline constexpr double kMJToKcal = 238.8459;
inline constexpr double kMJToKWh = 0.277778;

// What the certificate window writes.
struct CertificateInput {
    int kind = 0;   // 0 day, 1 month
    int line = 0;   // 0, 1
    ReportDate date;
    // Day: the hourly records; month: the daily records. `slotDates` holds the
    // hour (day) each stands for (AssignSlots), `moist` the moisture meter's
    // records of the same hours (days) or nothing without a moisture meter.
    std::span<const HdmArchiveRecord> chrom;
    std::span<const DeviceDateTime> slotDates;
    std::span<const WmtArchiveRecord> moist;
    // Day: the daily records (the moisture one only with a moisture meter);
    // month: the means (MonthSummary).
    const HdmArchiveRecord* chromSummary = nullptr;
    const WmtArchiveRecord* moistSummary = nullptr;
    uint32_t serial = 0;        // table 41
    std::string lineName;       // table 5, trimmed
    std::string objectName;     // the object list's current object
    bool oxygen = false;        // table 14 row 7 bit 2
    ReportFormatRecord format;  // decimals
};

// A chromatograph row holds values when its CRC holds, its status has
// neither bit 1 (switched off) nor bit 5 (no chromatograph link) and its
// methane value is a number of at least 0.001.
bool ChromRowValid(const HdmArchiveRecord& r);
// A moisture row holds values when its CRC holds and its status has neither
// bit 1 nor bit 2 (no meter link).
bool MoistRowValid(const WmtArchiveRecord& r);

// Value text: fixed point, 12 significant digits, `digits` decimals; "NAN"
// for NaN and infinite values.
std::string CertificateValue(double v, int digits);

// Columns 2..23 and 28 of a chromatograph row; an invalid row gets "--" in
// 2..23 (11 only with oxygen) and leaves 28 as the template has it.
bool WriteChromReportRow(sheet::Worksheet& ws, int row, const HdmArchiveRecord& r, bool oxygen,
                         const ReportFormatRecord& fmt);
// Columns 24..27 of a moisture row ("--" when invalid).
bool WriteMoistReportRow(sheet::Worksheet& ws, int row, const WmtArchiveRecord& r, const ReportFormatRecord& fmt);
// The whole day or month certificate. False when a cell could not be
// written (the workbook then refuses to save and tells why).
bool WriteDayReport(sheet::Worksheet& ws, const CertificateInput& in);
bool WriteMonthReport(sheet::Worksheet& ws, const CertificateInput& in);

// The month's means: every float averaged (in double) over the records
// whose row is valid (ChromRowValid); all 0 when there is none. Only the
// floats are set.
HdmArchiveRecord MonthSummary(std::span<const HdmArchiveRecord> records);

// Assigns each record of a read the hour (unit 0) or day (unit 1) it stands
// for and checks that the records fit the period first..last: every record
// whose CRC holds must lie after the one before it and not after `last`,
// and stands for its own date; a record whose CRC fails stands for its own
// date when that is a valid date that fits there, else for the next hour
// (day) after the one before it. False when a record does not fit.
bool AssignSlots(std::span<const DeviceDateTime> dates, std::span<const uint8_t> crcOk, const DeviceDateTime& first,
                 const DeviceDateTime& last, int unit, std::vector<DeviceDateTime>& slotDates);
// The date (year..hour) of a record.
DeviceDateTime RecordSlotDate(const HdmArchiveRecord& r);
DeviceDateTime RecordSlotDate(const WmtArchiveRecord& r);

// Pairs the moisture records with the chromatograph records of the same
// index: where both CRCs hold the two must stand for the same hour (day);
// where one fails it takes the other's slot. False on a pair of different
// dates.
bool PairSlots(std::vector<DeviceDateTime>& chromSlots, std::span<const uint8_t> chromOk,
               std::vector<DeviceDateTime>& moistSlots, std::span<const uint8_t> moistOk, int unit);

// A name as it may stand in a file name: '/', '\' and control characters
// become '_', blanks around it go.
std::string CertificateNamePart(const std::string& utf8);
// WorkDir/REPORT/<object>_<line>_day_yymmdd.xlsx or ..._mon_yymm.xlsx.
std::string CertificateFileName(int kind, const std::string& objectName, const std::string& lineName,
                                const ReportDate& d);
