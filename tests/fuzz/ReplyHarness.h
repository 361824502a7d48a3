// The runs of the reply fuzz targets, each driven by a Script (LinePeer.h):
// the fuzz input, or the recorder that makes their seeds from the
// controller emulator (MakeReplySeeds.cpp). A broken promise ends the
// process (zbr_fuzz::Fail).
#pragma once
#include <cstdint>

#include "fuzz/LinePeer.h"

namespace zbr_fuzz {

// The link object: up to 6 exchanges of any function, each answered by the
// script. Input: cfg (bit 0 serial line, bit 1 address 255, bit 2 two
// attempts), then per exchange: function pick, data length, data, argument
// byte, and the replies as the requests come.
void RunLinkReply(Script& s);

// The table layer: up to 4 operations (read or write a range, read a whole
// table, read all tables, write changed rows) on the configuration image.
// Input: cfg (bit 0 names in Windows-1251, bit 1 two attempts), then per
// operation: op (bits 0-2 which, bit 3 quiet), table, first row, rows,
// (write changed rows: edits), and the replies and the operator's answers
// as they are asked for.
void RunTableReplies(Script& s);

// The archive readers: one read of any kind (hourly, daily, by period, by
// index), or the bounds of the hourly or daily archive. Input: op (bits
// 0-3 kind, 4 line, 5 into a view, 6 two attempts), two bytes for the
// period or index and count, then the replies and the operator's answers.
void RunArchiveReplies(Script& s);

// The modem dialogue: up to 4 steps, each answered line by line by the
// script. Input per step: op (bits 0-2: 0 prepare, 1 GSM check, 2-3 dial,
// 4 hang-up, 5 hang-up without the first "ath", 6-7 one command; bit 3
// with a progress panel); a dial: attempts, wait, phone (length, bytes),
// initialisation string (length, bytes); a command: length, bytes; then
// the modem's answers as the commands come.
void RunModem(Script& s);

// The live monitors and the information windows: the tables they show
// filled from the input, then up to 4 windows, each shown (the live ones
// refreshed once more, their reads answered by the script) and closed.
// Input: fills (count, then per fill: table pick, the table's bytes), then
// per window: pick, how (buttons, flags), the window's own bytes, and the
// replies as the reads come (ctl kFixRecords: the chunk is the rows of a
// good reply).
void RunMonitors(Script& s);
// The tables a fill of RunMonitors picks from.
inline constexpr uint8_t kMonitorTables[] = {0,  2,  5,  6,  7,  8,  9,  14, 15, 16, 18,
                                             21, 30, 32, 33, 34, 35, 37, 38, 39, 41, 42};

}  // namespace zbr_fuzz
