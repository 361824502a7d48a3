// What the printed reports print, apart from the report library: the
// heading kept in title.ini, the title and period lines, the rows of the
// moisture meter's tables and the plan of rows per page.
//
// Print kinds (the heading dialog's PrintKind; for the moisture meter also
// the report mode): 3 diagnostic messages, 6 moisture-meter hourly values,
// 7 daily values, 8 measured values.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/ArchiveFiles.h"
#include "data/ArchiveRecords.h"

inline constexpr uint8_t kPrintDiagnostic = 3;
inline constexpr uint8_t kPrintWmtHour = 6;
inline constexpr uint8_t kPrintWmtDay = 7;
inline constexpr uint8_t kPrintWmtMeas = 8;

// ---- the report heading (title.ini) ---------------------------------------

// The heading is at most 40 Windows-1251 bytes; title.ini holds exactly 40
// bytes, the heading padded with zero bytes.
inline constexpr std::size_t kReportHeadingBytes = 40;

// WorkDir/INI/title.ini
std::string TitleIniPath();

// The heading stored in the file: its first 40 bytes up to the first zero
// byte, as UTF-8. A missing or unreadable file gives "".
std::string ReadReportHeading(const std::string& path);

// The heading as the file will hold it: cut to 40 Windows-1251 bytes
// (characters that code page lacks become '?'), as UTF-8 again.
std::string StoredReportHeading(const std::string& utf8);

// Writes the heading as 40 bytes (through a temporary file and a rename),
// making the file's folder when it is missing. False, with the reason in
// *error, when the file could not be written; the old file then stays.
bool WriteReportHeading(const std::string& path, const std::string& utf8, std::string* error);

// ---- title and period lines -----------------------------------------------

// 'Контролер "<name>"  (адреса <address>)'
std::string PrnControllerLine(const ArchiveFileHeader& h);
// "контролерa ЗБР_11"
std::string PrnVersionLine();
// What the heading dialog says will be printed, and for which period.
std::string PrintKindText(uint8_t kind);
std::string PrintPeriodText(const ArchiveFileHeader& h, uint8_t kind);

// The six title lines of the diagnostic-message report.
std::vector<std::string> ArhivTitleLines(const ArchiveFileHeader& h, const std::string& heading);
// The five title lines of the moisture-meter report of a mode (6, 7, 8).
std::vector<std::string> WmtTitleLines(const ArchiveFileHeader& h, const std::string& heading, uint8_t mode);

// The file the preview offers for "save as PDF": WorkDir/REPORT/... named
// after the kind, the controller address and today's date.
std::string PrnPdfFileName(const ArchiveFileHeader& h, uint8_t kind);

// ---- rows ---------------------------------------------------------------

// One line of the diagnostic-message list: date, time, event, object or
// cause, current value, setpoint, unit.
using AlaRowTexts = std::array<std::string, 7>;
// The fields of a saved list row, each trimmed.
AlaRowTexts AlaRowTextsOf(const DiagnosticRow& row);

// One line of a moisture-meter table, the eight columns as the viewers
// show them (WmtMomentaryRecordTexts / WmtArchiveRecordTexts).
using WmtRowTexts = std::array<std::string, 8>;
WmtRowTexts WmtMomentaryRowTexts(const WmtMomentaryRecord& r, uint8_t meterType);
WmtRowTexts WmtArchiveRowTexts(const WmtArchiveRecord& r, uint8_t meterType, bool daily);

// ---- pages ----------------------------------------------------------------

// Rows of each page's block of a table whose rows take `rowLines[r]`
// printed lines each (a text too wide for its column wraps and its row
// grows): the first block takes rows while their lines stay within
// `linesFirst` (the page that also holds the title), every further block
// within `linesNext`, so that no block runs past its page. A block has at
// least one row; limits below 1 count as 1. No rows: no blocks.
std::vector<std::size_t> BlockSizesByLines(const std::vector<int>& rowLines, uint32_t linesFirst,
                                           uint32_t linesNext);

// Rows of each table block of the diagnostic-message report: the first
// block takes up to `rowsFirst` rows (the page that also holds the title),
// every further block up to `rowsNext`. Limits below 1 count as 1. No rows:
// no blocks. (Rows of one line each; BlockSizesByLines for wrapped rows.)
std::vector<std::size_t> AlaBlockSizes(std::size_t rows, uint32_t rowsFirst, uint32_t rowsNext);

// Rows of each page of the moisture-meter report: a page has 65 lines, the
// title takes 8 of the first page's, each table heading 7; so 50 rows on the
// first page and 58 on every further one. No rows: no pages.
inline constexpr int kWmtLinesPerPage = 65;
inline constexpr int kWmtTitleLines = 8;
inline constexpr int kWmtHeadingLines = 7;
std::vector<std::size_t> WmtPageSizes(std::size_t rows);
// The same for rows of `rowLines[r]` printed lines each.
std::vector<std::size_t> WmtPageSizes(const std::vector<int>& rowLines);
