// The spreadsheet export of the six archive viewers ("Зберегти у форматі
// Excel"): one sheet with a title row (the viewer's caption), grey heading
// rows with the parameters' captions and units, and one row per record with
// the texts the viewer shows (a value's text becomes that number in its
// cell, shown with the same digits; dates, times and marks stay texts: see
// sheet::Range::SetValue). This unit lays the sheet out and writes the
// file; the viewers' buttons (ExcelViewers.h) give it the texts.
//
// Members and what they differ in:
//                      columns  headings  data from  title
//   chromatograph meas.    22    rows 2-5    row 6   (1,1)-(1,22) 12 pt
//   chromatograph h/d      23    rows 2-5    row 6   (1,1)-(1,22) 12 pt
//   moisture meas.          6    rows 2-5    row 6   (1,1)-(1,6)  11 pt
//   moisture h/d            7    rows 2-5    row 6   (1,1)-(1,7)  12 pt
//   verification           24    rows 2-5    row 6   (1,1)-(1,23) 12 pt
//   calibration            24    rows 2-3    row 4   (1,1)-(1,24) 12 pt
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Dtfun.h"
#include "data/ArchiveFiles.h"
#include "sheet/Workbook.h"

enum class ExcelMember { ChromMeas, ChromHourDay, WmtMeas, WmtHourDay, Verif, Calib };

struct ExcelMemberInfo {
    int columns;                  // sheet columns 1..columns
    int titleColumns;             // the title row's range (1,1)-(1,titleColumns)
    double titleFontSize;
    int firstDataRow;             // 6, or 4 (calibration)
    bool trim;                    // grid texts trimmed of blanks
    bool askReplace;              // asks before replacing an existing file
    const char* dialogTitle;
    const char* startFailureCaption;
    const char* savedMessage;     // with %s for the file name
    const char* saveFailure;
};
const ExcelMemberInfo& ExcelMemberOf(ExcelMember m);

// The dialog's folder: WorkDir/<folder>; `mode` chooses hourly (0, 6) or
// daily (1, 7) for the hourly/daily members.
std::string ExcelFolder(ExcelMember m, int mode);
// The proposed file name in `folder` for today's date; the line name (or
// nothing else from the header) can carry no '/', '\' or control character.
std::string ExcelDefaultFileName(ExcelMember m, const std::string& folder, const ArchiveFileHeader& header,
                                 const DeviceDateTime& today);
// ".xlsx" appended to a name without extension; any other name unchanged.
std::string ExcelWithExtension(const std::string& path);

// What goes into the sheet.
struct ExcelSheetContent {
    ExcelMember member = ExcelMember::ChromMeas;
    std::string caption;          // the viewer's caption: the title row
    uint8_t meterType = 0;        // moisture members: header byte 47
    uint8_t fractionWording = 0;  // ReportFormat flags of the parameter headings
    uint8_t heatUnitKcal = 0;
    // Calibration: the two heading rows of value columns 5..24.
    std::vector<std::string> calibHeadings[2];
    int rows = 0;
    // The texts of record row i, sheet columns 1..columns (already trimmed
    // when the member trims).
    std::function<void(int i, std::vector<std::string>& cells)> row;
};

// Lays the sheet out and fills it. `step` is called after each progress
// step of the export (headings, every row). False when a step failed (the
// workbook then refuses to save and tells why).
bool FillExcelSheet(sheet::Worksheet& ws, const ExcelSheetContent& content, const std::function<void()>& step);

// The headings of the 20 gas-parameter columns from `firstColumn` on (rows
// 2..5: three caption lines and the unit), each column with a right border.
bool WriteChromExcelHeader(sheet::Worksheet& ws, int firstColumn, uint8_t fractionWording, uint8_t heatUnitKcal);
// The headings of the 4 moisture-meter columns by meter type.
bool WriteMoistExcelHeader(uint8_t meterType, sheet::Worksheet& ws, int firstColumn);

