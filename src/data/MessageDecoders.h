// The decoders of the diagnostic-message and operator-intervention archives:
// one controller record in, the texts of its list row out.
//
// Both are pure functions of the record and a little context (nothing is
// read from or written to the record, the configuration image or a window),
// so the lists, their saved files and the printed report all take their
// texts from here. A record whose CRC fails gives a row with "   ***" in its
// date column and nothing else.
//
// The rows are UTF-8 here; DiagnosticRow / InterventionRow (ArchiveRecords.h)
// hold them in Windows-1251, each field cut to its width and ended by a zero
// byte. A list shows a record as its saved row would read it back
// (DiagnosticTextsAsSaved, InterventionTextsAsSaved) and makes the saved
// rows only when they are saved or printed.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "data/ArchiveRecords.h"

// Date text of a record whose CRC fails.
inline constexpr const char* kUnreliableDate = "   ***";

// ---- diagnostic messages ---------------------------------------------------

// Columns of a diagnostic row (also the fields of DiagnosticRow).
enum DiagnosticColumn : int { kAlaDate, kAlaTime, kAlaEvent, kAlaObject, kAlaValue, kAlaSetpoint, kAlaUnit };
using DiagnosticTexts = std::array<std::string, DiagnosticRow::kFieldCount>;

// Highest event code with a text of its own.
inline constexpr int kLastDiagnosticEvent = 81;

// The row of one diagnostic record. `moistureMeterType` is the header's
// moisture-meter type (flag events of the moisture meter read by it).
DiagnosticTexts DecodeDiagnosticRecord(const DiagnosticRecord& r, uint8_t moistureMeterType);

// The decoder's group of an event code ("T", "N", "state", "archive",
// "fault", "link", "L", "flag", "own time", "PC time", "memory", "table",
// "flow computer", "checksum"); codes above 81 are "T".
const char* DiagnosticGroup(int code);

// The row as saved: zeroed, then each text in its field.
DiagnosticRow MakeDiagnosticRow(const DiagnosticTexts& t);
DiagnosticTexts TextsOf(const DiagnosticRow& row);
// The texts as their saved row gives them back, TextsOf(MakeDiagnosticRow(t)),
// without making the row: each cut to its field less the zero byte that ends
// it, a character that Windows-1251 lacks read as '?'.
DiagnosticTexts DiagnosticTextsAsSaved(DiagnosticTexts t);
// A row of a saved file as the list saves it again,
// MakeDiagnosticRow(TextsOf(row)) byte for byte: each field up to its first
// zero byte and at most its width less one, a byte that stands for no
// character made '?', zeros after.
DiagnosticRow SavedAgain(const DiagnosticRow& row);

// ---- operator interventions ------------------------------------------------

// Columns of an intervention row (also the fields of InterventionRow).
enum InterventionColumn : int { kAudDate, kAudTime, kAudParameter, kAudOld, kAudNew, kAudUnit, kAudOperator };
using InterventionTexts = std::array<std::string, InterventionRow::kFieldCount>;

// The row of one intervention record. `namesIn866`: the controller keeps
// its names (table 5) in code page 866 (byte 12 of table 0 is 0); the
// name bytes of the record are then read in that code page.
InterventionTexts DecodeInterventionRecord(const InterventionRecord& r, bool namesIn866);

// The text of a transition-day byte of table 6 (fields 1 and 4): a day of
// the month, or an ordinal mark and a short weekday name; "?" when the
// rule is not one the controller can hold.
std::string TransitionDayText(uint8_t v);

InterventionRow MakeInterventionRow(const InterventionTexts& t);
InterventionTexts TextsOf(const InterventionRow& row);
InterventionTexts InterventionTextsAsSaved(InterventionTexts t);
InterventionRow SavedAgain(const InterventionRow& row);
