// The controller's archives: the chromatograph's measured, hourly and daily
// values per measuring line, calibration and verification results, the
// moisture meter's measured, hourly and daily values, diagnostic messages and
// operator interventions. Every record is generated from the seed and its
// time (or index), so any period can be read and read again with the same
// bytes; what exists depends on the archive's span, the clock, gaps and
// switched-off periods. The model answers the archive commands:
//
//   7  records by index   request  {0, archive 0|1, u32 first index, count}
//                         reply    {0, archive, u32 first index sent, n, n records}
//   8  records by period  request  {line*16+device, kind, page, begin[6], end[6]}
//                         reply    {status, page, n, more, n records}
//   15 hourly records     request  {3, line, device, first Y M D H, last Y M D H}
//                         reply    {n, n records}            (2 chromatograph / 8 moisture a reply)
//   16 daily records      request  {3, line, device, first Y M D, last Y M D}
//                         reply    {n, n records}
//
// Command 8 reads a period page by page: page 0 starts the series, every
// further request names the next page (1..255, after 255 again 1); asking the
// page just answered again repeats it (a retry). A page out of sequence gets
// error 20, a series whose period changed error 21, a bad or reversed period
// error 22, bad line/device/kind bytes error 4.
//
// Not thread-safe by itself beyond its own lock: every public member locks
// the model; the clock function is called before the lock is taken.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "emulator/Controller.h"

namespace emu {

enum class Archive {
    ChromMeasured,  // ChromMeasRecord, 94 bytes, one per analysis (every 3 minutes), per line
    ChromHourly,    // HdmArchiveRecord, 94 bytes, per line
    ChromDaily,     // HdmArchiveRecord, 94 bytes, per gas day (from the contract hour), per line
    Calibration,    // CalibRecord, 170 bytes, weekly per line
    Verification,   // VerifRecord, 90 bytes, daily per line
    WmtMeasured,    // WmtMomentaryRecord, 29 bytes, every 3 minutes
    WmtHourly,      // WmtArchiveRecord, 28 bytes
    WmtDaily,       // WmtArchiveRecord, 28 bytes, per gas day
    Diagnostic,     // DiagnosticRecord, 22 bytes, numbered by index (table 10)
    Intervention,   // InterventionRecord, 24 bytes, numbered by index (table 11)
};
constexpr int kArchiveCount = 10;

// Record size of an archive in bytes.
int RecordSize(Archive a);
// Records in one reply of the archive's command (8, 15/16 or 7).
int RecordsPerReply(Archive a);

enum class ArchiveFaultKind {
    Empty,          // the reply carries no records (command 8: more-data flag 0)
    ShortReply,     // the count byte claims `param` (0: 1) more records than the frame holds
    EarlyRecord,    // the reply opens with a record `param` (0: 1) steps before the asked beginning
    LateRecord,     // the reply ends with a record `param` (0: 1) steps after the period's end
                    // (it replaces the last record when the reply is full)
    CorruptRecord,  // record `param` (0-based; past the end: the last) goes out with a wrong CRC
    FreshBytes,     // commands 15, 16: every record goes out dated `param` (0: 1) steps earlier and
                    // with its values spoilt anew for every request (its CRC wrong)
    SpoilLast,      // commands 15, 16: the last record of a full reply goes out with its date moved
                    // by `param` hours (days; negative: earlier, 0: kept) and a wrong CRC; the stored
                    // record stays sound. A shorter reply goes out whole
    ArchiveError,   // command 8: bit 7 of the status byte; param 1 also drops the records
    ErrorReply,     // error reply with controller code `param` (e.g. 22); nothing is carried out
    Silence,        // no reply; nothing is carried out
};

// A fault for one following archive request (commands 7, 8, 15, 16):
// `request` 1 is the next one, 2 the one after it, and so on. Several faults
// may meet on one request. Early/late records apply to commands 8, 15, 16.
struct ArchiveFault {
    ArchiveFaultKind kind = ArchiveFaultKind::Empty;
    int param = 0;
    int request = 1;
};

// What the model answers: no reply, an error reply with `code`, or the reply data.
struct ArchiveReply {
    bool silent = false;
    bool error = false;
    uint8_t code = 0;
    std::vector<uint8_t> data;  // bytes after the function code, before the CRC
};

using Record = std::vector<uint8_t>;

class ArchiveModel {
public:
    explicit ArchiveModel(uint32_t seed = 1);

    // ---- clock ----
    // The controller's clock; by default the host's local time when the model
    // was made, standing still. SetNow fixes it; SetClock follows a function.
    void SetNow(const DeviceTime& now);
    void SetClock(std::function<DeviceTime()> clock);
    DeviceTime Now() const;

    void SetSeed(uint32_t seed);
    uint32_t Seed() const;
    // Contract hour (table 6 byte 6), the start of a gas day. Default 7.
    void SetContractHour(int hour);
    int ContractHour() const;

    // Spans, gaps, off periods and index bounds back to their defaults; faults dropped.
    void Reset();

    // ---- what exists ----
    // Span of an archive: its first record is the first one at or after
    // `from`; records go on up to the clock (or up to `to` when given, as if
    // the archive stopped there). By default the span starts at midnight a
    // number of days before the clock: measured 35, hourly 62, daily 400,
    // calibration, verification and the index archives 400.
    void SetSpan(Archive a, const DeviceTime& from, std::optional<DeviceTime> to = std::nullopt);
    // Only the end: the archive stops at `to` (none: runs up to the clock again).
    void SetSpanEnd(Archive a, std::optional<DeviceTime> to);
    void DefaultSpan(Archive a);
    // Records of `a` (line -1: both lines) dated from..to inclusive are
    // missing. Hourly/daily archives compare by hour/day.
    void AddGap(Archive a, int line, const DeviceTime& from, const DeviceTime& to);
    // The controller was switched off: no analyses, calibrations or
    // verifications; hourly and daily records touching it carry status bit 1,
    // shortened intervals and the count of analyses made.
    void AddOffPeriod(const DeviceTime& from, const DeviceTime& to);
    // The record of `a` at `at` (the first one at or after it; hourly/daily:
    // that hour/day) is stored with a wrong CRC, in every read.
    void CorruptRecordAt(Archive a, int line, const DeviceTime& at);
    // The record of an index archive with this index has a wrong CRC.
    void CorruptIndex(Archive a, uint32_t index);
    // The hourly or daily record of `a` at `at` is stored with its date
    // moved by `steps` hours (days) and its CRC as it was, so wrong: bytes
    // that changed in the controller, in every read.
    void MoveRecordDate(Archive a, int line, const DeviceTime& at, int steps);
    // The record of an index archive with this index is the same bytes as
    // the one before it: the same event again in the same second.
    void RepeatIndex(Archive a, uint32_t index);
    // Commands 15, 16 pass over the broken records they would begin with:
    // when the records from the hour (day) asked for begin with records
    // stored broken (CorruptRecordAt, MoveRecordDate), the answer starts at
    // the first sound record after them (none when every record up to the
    // last hour (day) asked for is broken). Broken records after a sound one
    // go out as they are. Off by default and after Reset.
    void SetSkipBrokenAtStart(bool on);

    // Index bounds of the diagnostic (table 10) or intervention (table 11)
    // archive. Set: records oldest..newest exist, the newest dated just
    // before the clock at this call and the others back from it; equal
    // non-zero bounds mean an empty archive. Auto (the default): indices count
    // on from 2010 at the archive's pace, the oldest being the first inside
    // the span and the newest the last before the clock.
    void SetIndexBounds(Archive a, uint32_t oldest, uint32_t newest);
    void AutoIndexBounds(Archive a);
    std::pair<uint32_t, uint32_t> IndexBounds(Archive a) const;

    // ---- the tables the program reads for bounds ----
    // Table 27 (3 rows of 6 bytes): dates of the oldest measured, hourly and
    // daily chromatograph record (line 1). The daily row carries bit 7 of its
    // seconds byte when that date lies before the contract hour, i.e. the
    // oldest record belongs to the gas day of the day before. An archive
    // without records reads 01.01.01 00:00:00.
    std::vector<uint8_t> Table27() const;
    // Table 10 (Diagnostic) or 11 (Intervention): u32 oldest, u32 newest.
    std::vector<uint8_t> IndexTable(Archive a) const;

    // ---- expected records ----
    // What a clean read gives, in order, exactly as the records go on the
    // wire. Time archives: records dated from..to inclusive (measured,
    // calibration, verification and index archives to the second, hourly by
    // hour, daily by gas-day date). Line: 0 or 1 for the chromatograph's
    // measured/hourly/daily archives, ignored otherwise.
    std::vector<Record> Records(Archive a, int line, const DeviceTime& from, const DeviceTime& to) const;
    // Index archives: the records first..first+count-1 that exist.
    std::vector<Record> IndexRecords(Archive a, uint32_t first, uint32_t count) const;

    // ---- faults and requests ----
    void QueueFault(ArchiveFault f);
    void ClearFaults();
    size_t PendingFaults() const;
    // Archive requests answered (or refused) so far.
    int Requests() const;

    // Answers one archive command (7, 8, 15 or 16) with its request data.
    ArchiveReply Answer(uint8_t command, const std::vector<uint8_t>& data);
    // The same at a given clock reading (the emulator passes its own).
    ArchiveReply Answer(uint8_t command, const std::vector<uint8_t>& data, const DeviceTime& now);

    // Helpers for the emulator: the bound tables at a given clock reading.
    std::vector<uint8_t> Table27(const DeviceTime& now) const;
    std::vector<uint8_t> IndexTable(Archive a, const DeviceTime& now) const;

private:
    struct Span {
        bool set = false;
        int64_t from = 0;
        std::optional<int64_t> to;
    };
    struct Gap {
        Archive a;
        int line;
        int64_t from, to;
    };
    struct Bounds {
        bool set = false;
        uint32_t oldest = 0, newest = 0;
        int64_t anchor = 0;  // time of the newest record
    };
    struct Series {
        bool open = false;
        std::array<uint8_t, 12> period{};
        int lastPage = 0;
        int64_t pageStart = 0;  // cursor of the last page answered
        int64_t next = 0;       // cursor after it
    };
    struct Slot {  // one record position: cursor (slot number or index) and its time
        int64_t k;
        int64_t t;
    };

    int64_t NowLocked() const;
    int64_t SpanFrom(Archive a, int64_t now) const;
    int64_t SpanEnd(Archive a, int64_t now) const;
    std::pair<int64_t, int64_t> IndexRange(Archive a, int64_t now) const;  // oldest, newest (newest < oldest: empty)
    int64_t SlotTime(Archive a, int line, int64_t k) const;
    int64_t SlotAtOrAfter(Archive a, int line, int64_t t) const;
    int64_t KeyTime(Archive a, int64_t t) const;
    bool InGap(Archive a, int line, int64_t key) const;
    bool Exists(Archive a, int line, int64_t k, int64_t now) const;
    std::optional<Slot> NextExisting(Archive a, int line, int64_t k, int64_t lastKey, int64_t now) const;
    std::vector<Slot> CollectSlots(Archive a, int line, int64_t k, int64_t lastKey, int64_t now, size_t max,
                                   int64_t* nextCursor) const;
    std::vector<Record> Collect(Archive a, int line, int64_t k, int64_t lastKey, int64_t now, size_t max) const;
    Record Make(Archive a, int line, int64_t k, int64_t now) const;
    bool Corrupted(Archive a, int line, int64_t k) const;
    bool StoredBroken(Archive a, int line, int64_t k) const;
    int MovedBy(Archive a, int line, int64_t k) const;
    bool Repeats(Archive a, int64_t k) const;
    std::vector<uint8_t> Table27Locked(int64_t now) const;
    std::vector<uint8_t> IndexTableLocked(Archive a, int64_t now) const;

    ArchiveReply ByIndex(const std::vector<uint8_t>& d, int64_t now, std::vector<ArchiveFault>& f);
    ArchiveReply ByPeriod(const std::vector<uint8_t>& d, int64_t now, std::vector<ArchiveFault>& f);
    ArchiveReply HourDay(uint8_t command, const std::vector<uint8_t>& d, int64_t now, std::vector<ArchiveFault>& f);

    // record content (ArchiveRecords.cpp)
    Record MakeChromMeasured(int line, int64_t t) const;
    Record MakeHdm(Archive a, int line, int64_t k, int64_t now) const;
    Record MakeCalib(int line, int64_t k, int64_t t) const;
    Record MakeVerif(int line, int64_t k, int64_t t) const;
    Record MakeWmtMeasured(int64_t t) const;
    Record MakeDiagnostic(int64_t index, int64_t t) const;
    Record MakeIntervention(int64_t index, int64_t t) const;
    int AnalysesIn(int line, bool wmt, int64_t from, int64_t to) const;
    int64_t OffOverlapEnd(int64_t from, int64_t to) const;

    mutable std::mutex m_;
    uint32_t seed_;
    int contractHour_ = 7;
    DeviceTime fixedNow_{};
    std::function<DeviceTime()> clock_;
    std::array<Span, kArchiveCount> spans_{};
    std::array<Bounds, kArchiveCount> bounds_{};
    std::vector<Gap> gaps_;
    std::vector<std::pair<int64_t, int64_t>> off_;
    std::vector<Gap> corrupt_;                 // from = key time (or index) of a corrupted record
    std::vector<std::pair<Gap, int>> moved_;   // from = key time of a record whose date moved, the steps
    std::vector<Gap> repeated_;                // from = index of a record that repeats the one before
    bool skipBrokenAtStart_ = false;           // commands 15, 16 begin at the first sound record
    std::vector<std::pair<ArchiveFault, int>> faults_;  // fault and requests still to go
    std::array<Series, 64> series_{};          // command 8, by kind and line/device
    int requests_ = 0;
};

}  // namespace emu
