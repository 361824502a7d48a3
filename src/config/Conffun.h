// The table layer: moves rows of the controller's tables between the
// configuration image and the controller.
//
// A read request (command 1) carries a 3-byte TableRequestHeader {table,
// first row, row count}; the reply holds a status byte, the echoed header and
// the rows. A write request (command 2) carries the header followed by the
// rows (the link object puts the operator's write password and user code in
// front). The controller echoes the header in both replies; a reply that does
// not echo it, or whose length does not fit the rows asked for, is never
// copied into the image.
//
// No request exceeds 255 bytes on the wire: a write frame is 26 bytes plus the
// rows, a read reply 10 bytes plus the rows, so a write carries at most 229
// row bytes and a read at most 245. Ranges that break these limits (or lie
// outside the table, or are empty) are refused without sending anything.
//
// The names of table 5 (controller, line 1, line 2; 20 bytes each) travel in
// code page 866 when byte 12 of table 0 is 0; the image always holds them in
// Windows-1251. A write of table 5 leaves in the image the names as they
// come back from code page 866, i.e. as the controller holds them.
//
// Progress and error texts go to panel 2 of the status bar the caller passes
// (the main window's StatusBar1), the controller name to panel 1. Failures
// ask the operator (message kind 7) whether to try again.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/LinkStatus.h"
#include "config/ConfigImage.h"
#include "platform/Codepage.h"

namespace ui {
class StatusBar;
class ProgressBar;
}  // namespace ui

struct TableRequestHeader {
    uint8_t table = 0;
    uint8_t first = 0;  // first row
    uint8_t rows = 0;   // number of rows
};
static_assert(sizeof(TableRequestHeader) == 3);

inline constexpr std::size_t kMaxWriteRowBytes = 229;
inline constexpr std::size_t kMaxReadRowBytes = 245;
inline constexpr std::size_t kWriteFrameOverhead = 26;  // frame bytes around the rows
inline constexpr std::size_t kReadReplyOverhead = 10;

// Status-bar panels the layer writes: kPanelControllerName and
// kPanelExchangeText (common/LinkStatus.h).

// The names of table 5 go through the code-page tables of platform/Codepage.h.
using platform::CodePage1251To866;
using platform::CodePage866To1251;
using platform::Cp1251To866Map;
using platform::Cp866To1251Map;

// True when the controller keeps the names of table 5 in code page 866
// (byte 12 of table 0 is 0).
bool NamesInCp866();

// The controller's name (row 0 of table 5) as UTF-8, blanks and zero bytes
// trimmed on both sides.
std::string ControllerName();

// A contiguous range of rows of one table.
struct RowRange {
    int first = 0;
    int rows = 0;
    bool operator==(const RowRange&) const = default;
};

// Why a range is refused before anything is sent; empty when it is sound.
// `maxBytes` is the limit of one request (kMaxReadRowBytes or
// kMaxWriteRowBytes); 0 checks only that the range lies in the table.
std::string CheckTableRange(const TableRequestHeader& h, std::size_t maxBytes);

// The write requests that carry the changed rows of [h.first, h.first +
// h.rows): none when nothing changed; rows first..last changed in one go when
// no unchanged row lies between, otherwise either that span or only the runs
// of changed rows, whichever costs fewer bytes on the wire (runs on a tie).
// A request costs its row bytes + 26. Spans and runs longer than one request
// can carry are cut into requests of at most 229 row bytes, and costed as
// such. `oldRows` and `newRows` hold h.rows rows each.
std::vector<RowRange> PlanChangedRowWrites(const TableRequestHeader& h,
                                           std::span<const uint8_t> oldRows,
                                           std::span<const uint8_t> newRows);

// Reads rows [first, first + rows) of the table into the image. With `show`
// the progress text, the error dialogue and retries are on; without it a
// link failure returns false at once. Table 5 names are converted to
// Windows-1251 when the controller keeps them in code page 866.
bool ReadTableRange(const TableRequestHeader& h, ui::StatusBar* bar, bool show);

// Writes the same rows from the image.
bool WriteTableRange(const TableRequestHeader& h, ui::StatusBar* bar, bool show);

// Writes what an editor changed in rows [h.first, h.first + h.rows): `oldRows`
// is the copy of those rows taken before the editor opened (h.rows rows).
// Nothing is sent when nothing changed. Stops at the first failed request and
// returns the result of the last request made.
bool WriteChangedRows(const TableRequestHeader& h, std::span<const uint8_t> oldRows, ui::StatusBar* bar);

// Rows of a table one read / one write request can carry (245 / 229 bytes).
int ReadChunkRows(int t);
int WriteChunkRows(int t);

// Reads a whole table in requests of ReadChunkRows rows (table 4: 11 + 5).
bool ReadWholeTable(int t, ui::StatusBar* bar, bool show);

// Reads every configuration table but 13 (the flow-computers' write
// passwords are never read back), one request per 245 bytes of rows, moves
// the progress bar one step per table and shows the controller name in
// panel 1. Returns false at the first failure the operator gives up on.
bool ReadAllTables(ui::StatusBar* bar, ui::ProgressBar* progress);
// How long a finished ReadAllTables keeps its full progress bar in view
// (500 ms; tests shorten it).
extern int ReadAllTablesEndPauseMs;
