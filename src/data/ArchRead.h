// Reading the controller's archives: the main window's menu handlers and the
// reading loops behind them.
//
// Every read runs the same way: the hourglass; the wait box "Esc - перервати
// читання" with the main window disabled; ExchangeActive set and
// AbortRequested cleared (ArchiveExchange); the requests one after another,
// each reply's records appended to the kind's temporary file in WorkDir; Esc
// (the main window's message hook sets AbortRequested) ends the read after
// the reply in hand; a failed request puts the link's error text into panel 2
// of StatusBar1 and asks (kind 7) "Не виконано читання" / "чергового блоку
// даних" whether to send it again. At the end the records are read back from
// the temporary file, headed by an ArchiveFileHeader and handed with the
// viewer's mode to the viewer of the kind (ArchView.h); records received
// before a failure or an Esc are still shown.
//
// Replies are checked before any record is copied: a reply whose record
// count does not fit its frame is a failed request (the link's text 11,
// "Неправильна довжина відповіді від контролера") and gets the retry
// question like any other failure.
//
// Commands:
//   15 / 16  hourly / daily values, per hour or day from the expected one on,
//            2 chromatograph or 8 moisture-meter records a reply;
//   8        measured values, calibration, verification, diagnostic messages
//            and interventions by period, page by page (page 0, then 1..255,
//            after 255 again 1) while the controller flags more data;
//   7        diagnostic messages and interventions by index, 11 or 10 records
//            a request.
#pragma once
#include <cstdint>

#include "common/Dtfun.h"
#include "data/ArchiveFiles.h"

class MainHost;
struct ArchiveView;
namespace ui {
class MenuItem;
}

// ---- archive bounds ---------------------------------------------------------

// Finds the range of whole hours (unit 0) or days (unit 1) that the hourly
// or daily archive can offer: the oldest record's date (table 27 row 1 or
// 2), the controller clock (table 2) and the contract hour (table 6). On
// failure shows why (or the table layer did) and returns false.
bool CheckArchiveBounds(MainHost& form, QueryPeriod& range, DeviceDateTime& oldest, int unit);

// ---- menu handlers (bound to their items by ArchiveMenuBindings) ------------------------

// Hourly and daily values; the item's Tag is the measuring line (0, 1).
void NChrom_RdHourClick(MainHost& form, ui::MenuItem& item);
void NChrom_RdDayClick(MainHost& form, ui::MenuItem& item);
void NWmt_ReadHourClick(MainHost& form, ui::MenuItem& item);
void NWmt_ReadDayClick(MainHost& form, ui::MenuItem& item);
// By period (the period dialog first).
void NChrom_RdMeasClick(MainHost& form, ui::MenuItem& item);
void NWmt_RdMeasClick(MainHost& form, ui::MenuItem& item);
void NChrom_RdClbClick(MainHost& form, ui::MenuItem& item);
void NChrom_RdVerifClick(MainHost& form, ui::MenuItem& item);
// "Запит за період" of diagnostic messages (Tag 0) and interventions (Tag 1).
void NArhPerClick(MainHost& form, ui::MenuItem& item);
// "Запит за індексом" of diagnostic messages (Tag 0) and interventions (Tag 1).
void NArhIndClick(MainHost& form, ui::MenuItem& item);

// ---- the reads themselves -----------------------------------------------------

// What one read did.
struct ArchiveReadResult {
    uint32_t records = 0;     // records handed to the viewer (0: no viewer)
    uint32_t requests = 0;    // requests that got a usable reply
    bool complete = true;     // false: ended by a declined failure
    bool aborted = false;     // ended by Esc or a "Ні" to the period question
    bool outOfPeriod = false; // a read into a view met a record outside its period and
                              // ended without records
    uint32_t dropped = 0;     // records of the replies taken that were not stored: copies
                              // of held ones, or records that would break the time order
};

// Hourly or daily values of `kind` (ChromHour, ChromDay, WmtHour, WmtDay) for
// the hours (days) begin..end; `line` 0 or 1 for the chromatograph. With
// `into` the records read go there (headed as for the viewer) instead of to
// the viewer: the certificates read their records this way. Such a read
// asks no period question: a record dated outside the period, compared to
// the hour (day) without tolerance, ends it with `outOfPeriod` and nothing
// handed over (the caller says so).
ArchiveReadResult ReadHourDayArchive(MainHost& form, ArchiveKind kind, int line, const DeviceDateTime& begin,
                                     const DeviceDateTime& end, ArchiveView* into = nullptr);
// A period read with command 8 of `kind` (ChromMeas, WmtMeas, Calib, Verif,
// Diagnostic, Intervention).
ArchiveReadResult ReadPeriodArchive(MainHost& form, ArchiveKind kind, int line, const DeviceDateTime& begin,
                                    const DeviceDateTime& end);
ArchiveReadResult ReadAlaByPeriod(MainHost& form, const DeviceDateTime& begin, const DeviceDateTime& end);
ArchiveReadResult ReadAudByPeriod(MainHost& form, const DeviceDateTime& begin, const DeviceDateTime& end);
// Index reads with command 7.
ArchiveReadResult ReadAlaByIndex(MainHost& form, uint32_t first, uint32_t count);
ArchiveReadResult ReadAudByIndex(MainHost& form, uint32_t first, uint32_t count);

// How long a finished hourly or daily read keeps its full progress bar in
// view before the wait box goes (500 ms; tests shorten it).
extern int ArchiveReadEndPauseMs;
