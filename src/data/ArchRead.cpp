#include "data/ArchRead.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "config/Globals.h"
#include "config/MainHost.h"
#include "common/Question.h"
#include "common/Suplfunc.h"
#include "common/Wait.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "data/ArchView.h"
#include "platform/FileWrite.h"
#include "data/Index.h"
#include "data/Period.h"
#include "data/ShortDate.h"
#include "link/Hgcbox.h"
#include "platform/Clock.h"
#include "ui/Ui.h"

int ArchiveReadEndPauseMs = 500;

namespace {

// The link's text "Неправильна довжина відповіді від контролера".
constexpr uint32_t kErrReplyLength = 11;

constexpr const char* kNotRead = "не прочитані";
constexpr const char* kReadInPart = "прочитані не повністю";

void Message(uint32_t kind, const std::string& line1, const std::string& line2) {
    MessageKind = kind;
    ShowQues(line1, line2);
}

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, 0, INT_MAX)); }

// Where the records of a reply lie in the reply frame.
struct ReplyShape {
    uint32_t countAt;        // the record count byte
    uint32_t recordsAt;      // the first record
    std::size_t recordSize;  // bytes of one record
};

// True when the frame in Rx holds every record its count byte announces
// (the frame's CRC follows the last record).
bool ReplyHoldsRecords(const ReplyShape& s) {
    const hgcbox& b = *HgcBox;
    if (b.RxLen > sizeof b.Rx || b.RxLen < s.recordsAt + 2) return false;
    const std::size_t n = b.Rx[s.countAt];
    return s.recordsAt + n * s.recordSize + 2 <= b.RxLen;
}

enum class Outcome { Ok, Declined, Aborted };

// One request with the retry question. A reply that does not hold what it
// announces is a failure like a lost one; so is a reply that brings nothing
// this read has not already got (`bringsSomething` says no): it answers an
// earlier request -- a page or block sent again, a reply that came late --
// and the link lets the line settle before the request goes out again. Esc
// pressed while the request was on the line ends it without a question.
Outcome Request(MainHost& form, uint8_t command, const uint8_t* data, uint32_t length, const ReplyShape& shape,
                const std::function<bool()>& bringsSomething) {
    if (!HgcBox) return Outcome::Declined;
    for (;;) {
        bool ok = HgcBox->Exchange(command, data, length);
        if (ok && !ReplyHoldsRecords(shape)) {
            HgcBox->Error = kErrReplyLength;
            ok = false;
        }
        if (ok && bringsSomething && !bringsSomething()) {
            HgcBox->ReplyMismatch();
            ok = false;
        }
        if (ok) return Outcome::Ok;
        if (AbortRequested) return Outcome::Aborted;
        const std::string text = HgcBox->ErrorText();
        form.SetExchangeText(text);
        Message(7, "Не виконано читання", "чергового блоку даних");
        form.SetExchangeText("");
        if (!MessageAnswer) {
            form.ShowResultText(text);
            return Outcome::Declined;
        }
    }
}

// The records one read has stored, byte for byte: a record the controller
// sends again is never stored twice.
class StoredRecords {
public:
    explicit StoredRecords(std::size_t size) : size_(size) {}
    bool Has(const uint8_t* record) const { return set_.count(Key(record)) != 0; }
    void Add(const uint8_t* record) { set_.insert(Key(record)); }

private:
    std::string Key(const uint8_t* record) const { return std::string(reinterpret_cast<const char*>(record), size_); }
    std::size_t size_;
    std::unordered_set<std::string> set_;
};

// The wait box, the disabled main window, the hourglass and the
// exchange-active flag of one read.
class ReadSession {
public:
    ReadSession(MainHost& form, int64_t progressMax) : form_(form) {
        ui::Screen::SetCursor(ui::Cursor::HourGlass);
        wait_ = std::make_unique<TFormWait>(nullptr);
        wait_->Mode = 1;
        wait_->ProgressBar1.SetRange(0, std::max(1, ClampToInt(progressMax)));
        wait_->ProgressBar1.SetPosition(0);
        form_.HostForm().SetEnabled(false);
        wait_->Show();
        exchange_.emplace();  // ExchangeActive set, AbortRequested cleared
    }
    ~ReadSession() {
        Close();
        ui::Screen::SetCursor(ui::Cursor::Default);
    }
    ReadSession(const ReadSession&) = delete;
    ReadSession& operator=(const ReadSession&) = delete;

    // Progress positions stay within the bar's range.
    void SetProgress(int64_t pos) {
        if (!wait_) return;
        ui::ProgressBar& bar = wait_->ProgressBar1;
        bar.SetPosition(int(std::clamp<int64_t>(pos, bar.Min(), bar.Max())));
    }
    void StepProgress() {
        if (wait_) SetProgress(int64_t(wait_->ProgressBar1.Position()) + 1);
    }
    void FillProgress() {
        if (wait_) SetProgress(wait_->ProgressBar1.Max());
    }
    // ExchangeActive cleared.
    void EndExchange() { exchange_.reset(); }
    // The wait box goes, the main window comes back.
    void Close() {
        exchange_.reset();
        if (wait_) {
            wait_->Hide();
            wait_.reset();
            form_.HostForm().SetEnabled(true);
            form_.HostForm().Activate();
        }
    }
    TFormWait* Wait() const { return wait_.get(); }

private:
    MainHost& form_;
    std::unique_ptr<TFormWait> wait_;
    std::optional<ArchiveExchange> exchange_;
};

// The records of a finished read: read back, headed and handed to the viewer.
struct HandOver {
    ArchiveKind kind = ArchiveKind::ChromMeas;
    int line = 0;
    int mode = viewmode::kNone;
    DeviceDateTime from, to;         // header dates (period reads)
    bool datesFromRecords = false;   // index reads: the first and last record's dates
    uint32_t firstIndex = 0;
    const char* archiveError = nullptr;  // second line of "Виявлено помилку", when seen
};

uint32_t ShowRecords(MainHost& form, const HandOver& h, uint32_t written, ArchiveView* into = nullptr) {
    const ArchiveKindInfo& info = ArchiveInfo(h.kind);
    const std::size_t size = RecordSizeOf(info.record);
    ArchiveView view;
    uint32_t count = 0;
    if (!ReadTempArchive(info.temp, size, written, view.records, count)) {
        ui::Screen::SetCursor(ui::Cursor::Default);
        Message(6, "Помилка відкриття файлу", "");
        return 0;
    }
    ui::Screen::SetCursor(ui::Cursor::Default);
    if (count == 0) return 0;

    ArchiveHeaderSource src = HeaderSourceFromImage(ConfigImage, HgcBox ? HgcBox->Address : 0);
    if (HeaderNeedsSerialRead(h.kind, src) && HgcBox) {
        ui::HourGlass busy;
        if (ReadTableRange({41, 0, 1}, &form.HostStatusBar(), true))
            src = HeaderSourceFromImage(ConfigImage, HgcBox->Address);
    }
    if (h.archiveError) Message(6, "Виявлено помилку", h.archiveError);

    DeviceDateTime from = h.from, to = h.to;
    if (h.datesFromRecords) {
        from = LoadRec6(view.records.data());
        to = LoadRec6(view.records.data() + std::size_t(count - 1) * size);
    }
    view.kind = h.kind;
    view.header = BuildArchiveHeader(h.kind, h.line, src, from, to, count, PcClockRecord());
    view.entryKind = info.record;
    view.entrySize = size;
    view.count = count;
    view.mode = h.mode;
    view.firstIndex = h.firstIndex;
    if (into) *into = std::move(view);
    else ShowArchiveViewer(view);
    return count;
}

// Shown when the temporary file refuses a record (a full disk).
void TempWriteFailed(const TempArchiveWriter& w) {
    Message(1, "Помилка роботи з файлом", platform::BaseName(w.Path()));
}

// Ends a read by period or by index: the exchange, the temporary file, the
// panel and the wait box; a refused write is told. False when nothing was
// written (the cursor is normal again then).
bool EndPagedRead(ReadSession& session, TempArchiveWriter& file, MainHost& form, bool writeFailed,
                  ArchiveReadResult& result) {
    session.EndExchange();
    // A close can be where the disk first says it could not keep the bytes.
    if (!file.Close()) writeFailed = true;
    form.SetExchangeText("");
    session.Close();
    if (writeFailed) {
        result.complete = false;
        TempWriteFailed(file);
    }
    if (file.Count() > 0) return true;
    ui::Screen::SetCursor(ui::Cursor::Default);
    return false;
}

// ---- hourly and daily values (commands 15, 16) -----------------------------

struct HourDayRead {
    ArchiveKind kind;
    uint8_t device;     // 0 chromatograph, 1 moisture meter
    uint8_t command;    // 15 hourly, 16 daily
    int unit;           // 0 hour, 1 day
    int full;           // records of a full reply
    const char* notRead[2];
    const char* inPart[2];
    int mode;
};

const HourDayRead* HourDayReadOf(ArchiveKind kind) {
    static const HourDayRead reads[] = {
        {ArchiveKind::ChromHour, 0, 15, 0, 2, {"Годинні дані хроматографа з архиву", kNotRead},
         {"Годинні дані хроматографа з архиву", kReadInPart}, viewmode::kHourly},
        {ArchiveKind::ChromDay, 0, 16, 1, 2, {"Добові дані хроматографа з архиву", kNotRead},
         {"Добові дані хроматографа з архиву", kReadInPart}, viewmode::kDaily},
        {ArchiveKind::WmtHour, 1, 15, 0, 8, {"Годинні дані вологоміра з архиву", kNotRead},
         {"Годинні дані вологоміра з архиву", kReadInPart}, viewmode::kWmtHourly},
        {ArchiveKind::WmtDay, 1, 16, 1, 8, {"Суточные данные влагомера из архива", "не прочитаны"},
         {"Добові дані вологоміра з архіву контролера", kReadInPart}, viewmode::kWmtDaily},
    };
    for (const HourDayRead& s : reads)
        if (s.kind == kind) return &s;
    return nullptr;
}

// Year, month, day and (hourly) hour of a date.
DeviceDateTime UnitOf(const DeviceDateTime& d, int unit) {
    return {d.year, d.month, d.day, uint8_t(unit == 0 ? d.hour : 0), 0, 0};
}

// The period test of one record: true when it lies outside what was asked.
bool OutsidePeriod(const DeviceDateTime& rec, const DeviceDateTime& expected, const DeviceDateTime& end, int unit) {
    if (unit == 0) return CompareRecByUnit(rec, expected, 0) < 0 || CompareRecByUnit(rec, end, 0) > 0;
    // Daily records get a day of tolerance on either side; before 1 January
    // 2000 and after 31 December 2255 there is nothing a record can carry.
    DeviceDateTime before = expected, after = end;
    return (DecRecWithin(before, 1) && CompareRecByUnit(rec, before, 1) < 0) ||
           (IncRecWithin(after, 1) && CompareRecByUnit(rec, after, 1) > 0);
}

// What becomes of a record of an hourly or daily reply. The controller
// answers a request with the records it has from the hour (day) asked for
// on, in order, so the next request starts after the last record stored.
enum class Fate {
    Store,     // the record of the hour (day) expected or a later one within the period
    Copy,      // a record this read has already got (a late reply to an earlier request)
    Early,     // dated before the hour (day) expected: answers nothing asked for
    AfterEnd,  // dated after the period: kept, and put after the period's records
    Broken,    // its CRC or date is broken: it cannot tell its hour (day)
};

// The fate of every record of one reply, worked out before anything is
// stored, and where the next request will start.
struct ReplyPlan {
    std::vector<Fate> fate;
    std::vector<DeviceDateTime> expectedAt;  // the hour (day) expected when each record came
    DeviceDateTime expected;                 // the hour (day) expected after the reply
    bool stores = false;                     // a record of the period is stored
    bool broken = false;                     // a broken record not got before
    bool afterEnd = false;                   // a record after the period
    bool beyond = false;                     // a record of the last hour (day) of 2255: nothing later exists
    bool BringsSomething() const { return stores || broken || afterEnd; }
};

// Daily records get a day of tolerance on either side of what is asked
// for (a gas day's record may carry the date before); before 1 January 2000
// and after 31 December 2255 there is nothing a record can carry.
DeviceDateTime LowestTaken(const DeviceDateTime& expected, int unit) {
    DeviceDateTime low = expected;
    if (unit != 0) DecRecWithin(low, 1);
    return low;
}

bool AfterPeriod(const DeviceDateTime& rec, const DeviceDateTime& last, int unit) {
    DeviceDateTime high = last;
    if (unit != 0 && !IncRecWithin(high, 1)) return false;
    return CompareRecByUnit(rec, high, unit) > 0;
}

// The rules of one hourly or daily reply, whatever the operator answers:
//  - a record is stored once: a byte-for-byte copy of one already stored
//    (or put aside) is dropped;
//  - a record dated before the hour (day) expected next is dropped, except
//    a second, different record of the hour just stored (the hour that
//    repeats when the clocks go back);
//  - a record within the period moves the hour (day) expected to the one
//    after it, never back;
//  - a record whose CRC or date is broken cannot tell its hour (day) and
//    moves nothing: it is stored ahead of the next sound record of the same
//    reply; broken records that end a full reply are asked for again with
//    the next request (the controller sends them again from the hour
//    expected) and stored only once that reply shows them broken again or
//    the read ends;
//  - a record after the period is kept aside and stored after the period's
//    records at the end of the read.
ReplyPlan PlanHourDayReply(const uint8_t* records, int n, std::size_t size, DeviceDateTime expected,
                           const DeviceDateTime& last, int unit, const StoredRecords& stored) {
    ReplyPlan plan;
    StoredRecords inReply(size);
    bool storedOne = false;
    DeviceDateTime storedLast;
    for (int i = 0; i < n; ++i) {
        const uint8_t* rec = records + std::size_t(i) * size;
        const DeviceDateTime date = UnitOf(LoadRec6(rec), unit);
        const bool sound = RecordCrcOk(rec, size) && IsValidRec(date);
        plan.expectedAt.push_back(expected);
        Fate fate;
        if (sound && AfterPeriod(date, last, unit)) {
            fate = Fate::AfterEnd;
            plan.afterEnd = true;
        } else if (stored.Has(rec) || inReply.Has(rec)) {
            fate = Fate::Copy;
        } else if (!sound) {
            fate = Fate::Broken;
            plan.broken = true;
        } else if (CompareRecByUnit(date, LowestTaken(expected, unit), unit) < 0 &&
                   !(storedOne && CompareRecByUnit(date, storedLast, unit) == 0)) {
            fate = Fate::Early;
        } else {
            fate = Fate::Store;
            plan.stores = true;
            storedOne = true;
            storedLast = date;
            DeviceDateTime next = date;
            if (!IncRecWithin(next, unit)) plan.beyond = true;
            else if (CompareRecByUnit(next, expected, unit) > 0) expected = next;
        }
        if (fate != Fate::Copy && fate != Fate::AfterEnd) inReply.Add(rec);
        plan.fate.push_back(fate);
    }
    plan.expected = expected;
    return plan;
}

using RecordBytes = std::vector<uint8_t>;

}  // namespace

ArchiveReadResult ReadHourDayArchive(MainHost& form, ArchiveKind kind, int line, const DeviceDateTime& begin,
                                     const DeviceDateTime& end, ArchiveView* into) {
    ArchiveReadResult result;
    const HourDayRead* how = HourDayReadOf(kind);
    if (!how || !HgcBox) return result;
    const int unit = how->unit;
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    const std::size_t size = RecordSizeOf(info.record);
    const DeviceDateTime first = UnitOf(begin, unit), last = UnitOf(end, unit);

    TempArchiveWriter file;
    if (!file.Open(info.temp, size)) {
        const FileMessage m = TempArchiveWriter::OpenFailureMessage();
        Message(m.kind, m.line1, m.line2);
        return result;
    }

    // The request: {3, line, device, first Y M D [H], last Y M D [H]}.
    uint8_t request[11] = {};
    const uint32_t dateBytes = unit == 0 ? 4 : 3;
    const uint32_t length = 3 + 2 * dateBytes;
    request[0] = 3;
    request[1] = uint8_t(how->device == 1 ? 0 : (line == 1 ? 1 : 0));
    request[2] = how->device;
    const uint8_t lastBytes[4] = {last.year, last.month, last.day, last.hour};
    std::memcpy(request + 3 + dateBytes, lastBytes, dateBytes);
    const ReplyShape shape{4, 5, size};

    form.SetExchangeText("");
    ReadSession session(form, PeriodsBetween(first, last, uint8_t(unit)));
    DeviceDateTime expected = first;
    bool check = true;
    bool writeFailed = false;
    StoredRecords stored(size);
    std::vector<RecordBytes> tail;      // broken records at the end of the last reply, asked for again
    std::vector<RecordBytes> afterEnd;  // records after the period, stored at the end
    // Appends records and remembers them; false when the file refuses.
    auto store = [&](const uint8_t* rec) {
        if (writeFailed) return false;
        if (!file.Append(rec)) {
            writeFailed = true;
            return false;
        }
        stored.Add(rec);
        return true;
    };
    auto storeAll = [&](std::vector<RecordBytes>& recs) {
        for (const RecordBytes& r : recs) store(r.data());
        recs.clear();
    };
    auto plan = [&](const uint8_t* rx) {
        return PlanHourDayReply(rx + 5, rx[4], size, expected, last, unit, stored);
    };
    for (;;) {
        const uint8_t from[4] = {expected.year, expected.month, expected.day, expected.hour};
        std::memcpy(request + 3, from, dateBytes);
        const Outcome o = Request(form, how->command, request, length, shape, [&] {
            const uint8_t* rx = HgcBox->Rx;
            return rx[4] == 0 || plan(rx).BringsSomething();
        });
        if (o == Outcome::Aborted) {
            result.aborted = true;
            break;
        }
        if (o == Outcome::Declined) {
            result.complete = false;
            storeAll(tail);
            if (writeFailed) break;
            if (file.Count() == 0) Message(6, how->notRead[0], how->notRead[1]);
            else Message(6, how->inPart[0], how->inPart[1]);
            break;
        }
        ++result.requests;
        const uint8_t* rx = HgcBox->Rx;
        const int n = rx[4];
        if (n == 0) break;

        const ReplyPlan p = plan(rx);
        // The broken records that ended the last reply come again in this
        // one, ahead of the others of the period (the controller answers
        // from the hour expected on): its first such record replaces them.
        const std::vector<RecordBytes> lastTail = tail;
        bool replaced = false;
        auto replaceTail = [&] {
            if (!replaced) tail.clear();
            replaced = true;
        };
        std::vector<RecordBytes> pending;  // broken records waiting for the next sound one
        bool stop = false;
        for (int i = 0; i < n && !stop && !writeFailed; ++i) {
            const uint8_t* rec = rx + 5 + std::size_t(i) * size;
            session.StepProgress();
            const DeviceDateTime recDate = UnitOf(LoadRec6(rec), unit);
            if (check && p.fate[i] != Fate::Broken && p.fate[i] != Fate::Copy &&
                OutsidePeriod(recDate, p.expectedAt[i], last, unit)) {
                Message(3, "Дані, що передаються контролером, не відповідають",
                        "запитуваному періоду. Продовжити читання?");
                check = false;
                if (!MessageAnswer) {
                    // The read ends after this record.
                    AbortRequested = 1;
                    result.aborted = true;
                    stop = true;
                }
            }
            switch (p.fate[i]) {
            case Fate::Store:
                replaceTail();
                storeAll(pending);
                store(rec);
                break;
            case Fate::AfterEnd:
                if (!stored.Has(rec)) {
                    afterEnd.emplace_back(rec, rec + size);
                    stored.Add(rec);
                } else {
                    ++result.dropped;
                }
                break;
            case Fate::Broken:
                replaceTail();
                pending.emplace_back(rec, rec + size);
                break;
            default:
                ++result.dropped;
                break;
            }
        }
        if (writeFailed) break;
        expected = p.expected;
        bool beyond = p.beyond;
        if (!p.stores && p.broken && pending == lastTail) {
            // The same broken records again: broken in the controller. They
            // are stored, each taken for one hour (day), and the read goes on
            // after them.
            storeAll(pending);
            for (std::size_t i = 0; i < lastTail.size() && !beyond; ++i) beyond = !IncRecWithin(expected, unit);
        }
        for (RecordBytes& r : pending) tail.push_back(std::move(r));
        if (stop) break;
        ui::Application::ProcessMessages();
        if (AbortRequested) {
            result.aborted = true;
            break;
        }
        if (n < how->full) break;
        // Only records after the period: the controller has nothing more in it.
        if (!p.stores && !p.broken) break;
        if (beyond || CompareRecByUnit(expected, last, unit) > 0) break;
    }
    // What was held back: broken records at the end of the last reply, then
    // the records after the period in their order.
    storeAll(tail);
    std::stable_sort(afterEnd.begin(), afterEnd.end(), [unit](const RecordBytes& a, const RecordBytes& b) {
        return CompareRecByUnit(UnitOf(LoadRec6(a.data()), unit), UnitOf(LoadRec6(b.data()), unit), unit) < 0;
    });
    storeAll(afterEnd);
    session.EndExchange();
    // A close can be where the disk first says it could not keep the bytes.
    if (!file.Close()) writeFailed = true;
    if (writeFailed) {
        result.complete = false;
        TempWriteFailed(file);
    }
    form.HostMessageTimer().SetEnabled(true);

    const uint32_t written = file.Count();
    if (written == 0) return result;
    session.FillProgress();
    if (ArchiveReadEndPauseMs > 0) platform::WaitMs(ArchiveReadEndPauseMs);
    session.Close();

    HandOver h;
    h.kind = kind;
    h.line = line == 1 ? 1 : 0;
    h.mode = how->mode;
    h.from = first;
    h.to = last;
    result.records = ShowRecords(form, h, written, into);
    return result;
}

// ---- by period (command 8) --------------------------------------------------

namespace {

struct PeriodRead {
    ArchiveKind kind;
    uint8_t archive;  // ArchiveKind byte of the request
    const char* notRead[2];
    const char* inPart[2];
    const char* archiveError;
    int mode;
};

const PeriodRead* PeriodReadOf(ArchiveKind kind) {
    static const PeriodRead reads[] = {
        {ArchiveKind::ChromMeas, 6, {"Вимірювальні дані", kNotRead}, {"Вимірювальні дані", kReadInPart},
         "в архіві вимірювальних даних", viewmode::kNone},
        {ArchiveKind::WmtMeas, 6, {"Вимірювальні дані", kNotRead}, {"Вимірювальні дані", kReadInPart},
         "в архіві вимірювальних даних", viewmode::kNone},
        {ArchiveKind::Calib, 5, {"Дані калібровки", kNotRead}, {"Дані калібровки", kReadInPart},
         "в архіві даних калібровки", viewmode::kNone},
        {ArchiveKind::Verif, 7, {"Вимірювальні дані", kNotRead}, {"Вимірювальні дані", kReadInPart},
         "в архіві даних веріфікації", viewmode::kNone},
        {ArchiveKind::Diagnostic, 0, {"Діагностичні повідомлення", kNotRead},
         {"Діагностичні повідомлення", kReadInPart}, "в архіві діагностичних повідомлень", viewmode::kByPeriod},
        {ArchiveKind::Intervention, 1, {"Сообщения о вмешательствах оператора", "не прочитаны"},
         {"Повідомлення про втручання оператора", kReadInPart}, "в архіві повідомлень про втручання",
         viewmode::kByPeriod},
    };
    for (const PeriodRead& s : reads)
        if (s.kind == kind) return &s;
    return nullptr;
}

}  // namespace

ArchiveReadResult ReadPeriodArchive(MainHost& form, ArchiveKind kind, int line, const DeviceDateTime& begin,
                                    const DeviceDateTime& end) {
    ArchiveReadResult result;
    const PeriodRead* how = PeriodReadOf(kind);
    if (!how || !HgcBox) return result;
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    const std::size_t size = RecordSizeOf(info.record);
    const int ln = line == 1 ? 1 : 0;

    TempArchiveWriter file;
    if (!file.Open(info.temp, size)) {
        const FileMessage m = TempArchiveWriter::OpenFailureMessage();
        Message(m.kind, m.line1, m.line2);
        return result;
    }

    ReadSession session(form, PeriodsBetween(begin, end, 0));
    // {line * 16 + device, archive, page, begin[6], end[6]}
    uint8_t request[15] = {};
    request[0] = kind == ArchiveKind::ChromMeas ? uint8_t(ln * 16) : (kind == ArchiveKind::WmtMeas ? 0x01 : 0);
    request[1] = how->archive;
    StoreRec6(end, request + 9);
    const ReplyShape shape{6, 8, size};
    int page = 0;
    bool received = false, archiveError = false, writeFailed = false;
    // A page cannot tell which page it is. A record of an earlier page sent
    // again (the page repeated, or a late reply to an earlier request taken
    // for this one) is never stored twice; a page that brings nothing else
    // is not this page's answer and is asked for again. Whatever else the
    // controller sends is kept, also a record it dates a little before the
    // beginning asked for (it may compare coarser than to the second).
    StoredRecords stored(size);
    auto fresh = [&](const uint8_t* rec) { return !stored.Has(rec); };
    auto bringsSomething = [&] {
        const uint8_t* rx = HgcBox->Rx;
        for (int i = 0; i < rx[6]; ++i)
            if (fresh(rx + 8 + std::size_t(i) * size)) return true;
        return rx[6] == 0;
    };
    for (;;) {
        request[2] = uint8_t(page);
        StoreRec6(begin, request + 3);
        const Outcome o = Request(form, 8, request, sizeof request, shape, bringsSomething);
        if (o == Outcome::Aborted) {
            AbortRequested = 0;
            result.aborted = true;
            break;
        }
        if (o == Outcome::Declined) {
            result.complete = false;
            if (!received) Message(6, how->notRead[0], how->notRead[1]);
            else Message(6, how->inPart[0], how->inPart[1]);
            break;
        }
        ++result.requests;
        const uint8_t* rx = HgcBox->Rx;
        const int n = rx[6];
        if (n == 0) {
            if (!received) Message(6, "Немає даних за вказаний період", "");
            break;
        }
        received = true;
        if (rx[4] & 0x80) archiveError = true;
        const DeviceDateTime lastDate = LoadRec6(rx + 8 + std::size_t(n - 1) * size);
        session.SetProgress(HoursBetween(begin, lastDate));
        // Records of one page are all its own, copies of each other or not.
        std::vector<const uint8_t*> kept;
        for (int i = 0; i < n; ++i) {
            const uint8_t* rec = rx + 8 + std::size_t(i) * size;
            if (fresh(rec)) kept.push_back(rec);
            else ++result.dropped;
        }
        for (const uint8_t* rec : kept) {
            if (!file.Append(rec)) {
                writeFailed = true;
                break;
            }
            stored.Add(rec);
        }
        if (writeFailed) break;
        const bool more = rx[7] != 0;
        ui::Application::ProcessMessages();
        if (AbortRequested) {
            AbortRequested = 0;
            result.aborted = true;
            break;
        }
        if (!more) break;
        page = page + 1;
        if (page == 256) page = 1;
    }
    if (!EndPagedRead(session, file, form, writeFailed, result)) return result;
    const uint32_t written = file.Count();
    HandOver h;
    h.kind = kind;
    h.line = ln;
    h.mode = how->mode;
    h.from = begin;
    h.to = end;
    h.archiveError = archiveError ? how->archiveError : nullptr;
    result.records = ShowRecords(form, h, written);
    return result;
}

ArchiveReadResult ReadAlaByPeriod(MainHost& form, const DeviceDateTime& begin, const DeviceDateTime& end) {
    return ReadPeriodArchive(form, ArchiveKind::Diagnostic, 0, begin, end);
}

ArchiveReadResult ReadAudByPeriod(MainHost& form, const DeviceDateTime& begin, const DeviceDateTime& end) {
    return ReadPeriodArchive(form, ArchiveKind::Intervention, 0, begin, end);
}

// ---- by index (command 7) ---------------------------------------------------

namespace {

ArchiveReadResult ReadByIndex(MainHost& form, ArchiveKind kind, uint32_t first, uint32_t count) {
    ArchiveReadResult result;
    if (!HgcBox) return result;
    const bool ala = kind == ArchiveKind::Diagnostic;
    const uint8_t archive = ala ? 0 : 1;
    const uint32_t perRequest = ala ? 11 : 10;
    const char* words = ala ? "Діагностичні повідомлення" : "Повідомлення про втручання оператора";
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    const std::size_t size = RecordSizeOf(info.record);

    TempArchiveWriter file;
    if (!file.Open(info.temp, size)) {
        const FileMessage m = TempArchiveWriter::OpenFailureMessage();
        Message(m.kind, m.line1, m.line2);
        return result;
    }

    ReadSession session(form, count);
    const ReplyShape shape{10, 11, size};
    uint32_t remaining = count, index = first;
    uint64_t total = 0;
    bool writeFailed = false;
    // The records carry no index. A record of an earlier block sent again
    // (a late reply to an earlier request taken for this one) is never
    // stored twice; a block that brings nothing else is not this block's
    // answer and is asked for again.
    StoredRecords stored(size);
    auto bringsSomething = [&] {
        const uint8_t* rx = HgcBox->Rx;
        for (int i = 0; i < rx[10]; ++i)
            if (!stored.Has(rx + 11 + std::size_t(i) * size)) return true;
        return rx[10] == 0;
    };
    while (remaining > 0) {
        // {0, archive, u32 first index, count}
        uint8_t request[7] = {0, archive, 0, 0, 0, 0, 0};
        PutU32(request + 2, index);
        request[6] = uint8_t(std::min(remaining, perRequest));
        const Outcome o = Request(form, 7, request, sizeof request, shape, bringsSomething);
        if (o == Outcome::Aborted) {
            AbortRequested = 0;
            result.aborted = true;
            break;
        }
        if (o == Outcome::Declined) {
            result.complete = false;
            Message(6, words, total == 0 ? kNotRead : kReadInPart);
            break;
        }
        ++result.requests;
        const uint8_t* rx = HgcBox->Rx;
        const uint32_t n = rx[10];
        if (n == 0) {
            if (total == 0) Message(6, "Немає повідомлень із заданими індексами", "");
            break;
        }
        std::vector<const uint8_t*> kept;
        for (uint32_t i = 0; i < n; ++i) {
            const uint8_t* rec = rx + 11 + std::size_t(i) * size;
            if (!stored.Has(rec)) kept.push_back(rec);
            else ++result.dropped;
        }
        for (const uint8_t* rec : kept) {
            if (!file.Append(rec)) {
                writeFailed = true;
                break;
            }
            stored.Add(rec);
        }
        total += kept.size();
        session.SetProgress(int64_t(std::min<uint64_t>(total, INT_MAX)));
        if (writeFailed) break;
        ui::Application::ProcessMessages();
        if (AbortRequested) {
            AbortRequested = 0;
            result.aborted = true;
            break;
        }
        if (n >= remaining) break;
        remaining -= n;
        index += n;
    }
    if (!EndPagedRead(session, file, form, writeFailed, result)) return result;
    const uint32_t written = file.Count();
    HandOver h;
    h.kind = kind;
    h.mode = viewmode::kByIndex;
    h.datesFromRecords = true;
    h.firstIndex = first;
    result.records = ShowRecords(form, h, written);
    return result;
}

}  // namespace

ArchiveReadResult ReadAlaByIndex(MainHost& form, uint32_t first, uint32_t count) {
    return ReadByIndex(form, ArchiveKind::Diagnostic, first, count);
}

ArchiveReadResult ReadAudByIndex(MainHost& form, uint32_t first, uint32_t count) {
    return ReadByIndex(form, ArchiveKind::Intervention, first, count);
}

// ---- bounds ---------------------------------------------------------------------

namespace {

std::string DateText(const DeviceDateTime& d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%02d %02d:%02d:%02d", d.day, d.month, d.year, d.hour, d.minute,
                  d.second);
    return buf;
}

void BadDate(const DeviceDateTime& d) {
    Message(6, "Прочитані параметри дати та часу (" + DateText(d) + ")", "не відповідають припустимим значенням");
}

}  // namespace

bool CheckArchiveBounds(MainHost& form, QueryPeriod& range, DeviceDateTime& oldest, int unit) {
    ui::StatusBar* bar = &form.HostStatusBar();
    const uint8_t row = unit == 0 ? 1 : 2;
    if (!ReadTableRange({27, row, 1}, bar, true)) return false;
    oldest = LoadRec6(RowPtr(27, row));
    bool flag = false;
    if (unit != 0) {
        flag = (oldest.second & 0x80) != 0;
        oldest.second = uint8_t(oldest.second % 128);
    }
    if (oldest == DeviceDateTime{1, 1, 1, 0, 0, 0}) {
        Message(6, "В архіві немає даних", "");
        return false;
    }
    if (!IsValidRec(oldest)) {
        BadDate(oldest);
        return false;
    }
    if (!ReadTableRange({2, 0, 8}, bar, true)) return false;
    const DeviceDateTime clock = LoadRec6(TablePtr(2));
    if (!IsValidRec(clock)) {
        BadDate(clock);
        return false;
    }
    if (!ReadTableRange({6, 0, 12}, bar, true)) return false;
    const uint8_t contractHour = TablePtr(6)[6];
    if (!DefaultArchivePeriod(oldest, clock, range, unit, flag, contractHour)) {
        Message(6, "В архіві ще немає жодного запису", "");
        return false;
    }
    return true;
}

// ---- menu handlers ----------------------------------------------------------------

namespace {

int LineOf(const ui::MenuItem& item) { return item.Tag() == 1 ? 1 : 0; }

void HourDayClick(MainHost& form, ArchiveKind kind, int line) {
    if (!HgcBox) return;
    const int unit = (kind == ArchiveKind::ChromDay || kind == ArchiveKind::WmtDay) ? 1 : 0;
    QueryPeriod range{};
    DeviceDateTime oldest;
    bool ok = false;
    {
        ui::HourGlass busy;
        ok = CheckArchiveBounds(form, range, oldest, unit);
    }
    if (!ok) return;
    DeviceDateTime begin, end;
    {
        TFormShortDate dialog(nullptr);
        dialog.Range = &range;
        dialog.Mode = uint8_t(unit);
        dialog.ShowModal();
        if (!dialog.accepted) return;
        begin = dialog.Begin;
        end = dialog.End;
    }
    ReadHourDayArchive(form, kind, line, begin, end);
}

// Steps 1 and 2 of a period read: the controller clock, then the period.
bool AskPeriod(MainHost& form, DeviceDateTime& begin, DeviceDateTime& end) {
    if (!HgcBox) return false;
    bool ok = false;
    {
        ui::HourGlass busy;
        ok = ReadTableRange({2, 0, 8}, &form.HostStatusBar(), true);
    }
    if (!ok) return false;
    TFormPeriod dialog(nullptr);
    dialog.ShowModal();
    if (!dialog.accepted) return false;
    begin = dialog.Begin;
    end = dialog.End;
    return true;
}

void PeriodClick(MainHost& form, ArchiveKind kind, int line) {
    DeviceDateTime begin, end;
    if (AskPeriod(form, begin, end)) ReadPeriodArchive(form, kind, line, begin, end);
}

}  // namespace

void NChrom_RdHourClick(MainHost& form, ui::MenuItem& item) { HourDayClick(form, ArchiveKind::ChromHour, LineOf(item)); }
void NChrom_RdDayClick(MainHost& form, ui::MenuItem& item) { HourDayClick(form, ArchiveKind::ChromDay, LineOf(item)); }
void NWmt_ReadHourClick(MainHost& form, ui::MenuItem&) { HourDayClick(form, ArchiveKind::WmtHour, 0); }
void NWmt_ReadDayClick(MainHost& form, ui::MenuItem&) { HourDayClick(form, ArchiveKind::WmtDay, 0); }

void NChrom_RdMeasClick(MainHost& form, ui::MenuItem& item) { PeriodClick(form, ArchiveKind::ChromMeas, LineOf(item)); }
void NWmt_RdMeasClick(MainHost& form, ui::MenuItem&) { PeriodClick(form, ArchiveKind::WmtMeas, 0); }
void NChrom_RdClbClick(MainHost& form, ui::MenuItem&) { PeriodClick(form, ArchiveKind::Calib, 0); }
void NChrom_RdVerifClick(MainHost& form, ui::MenuItem&) { PeriodClick(form, ArchiveKind::Verif, 0); }

void NArhPerClick(MainHost& form, ui::MenuItem& item) {
    const int tag = item.Tag();
    if (tag != 0 && tag != 1) return;
    DeviceDateTime begin, end;
    if (!AskPeriod(form, begin, end)) return;
    ui::HourGlass busy;
    if (tag == 0) ReadAlaByPeriod(form, begin, end);
    else ReadAudByPeriod(form, begin, end);
}

void NArhIndClick(MainHost& form, ui::MenuItem& item) {
    const int tag = item.Tag();
    if ((tag != 0 && tag != 1) || !HgcBox) return;
    const int table = tag == 0 ? 10 : 11;
    bool ok = false;
    {
        ui::HourGlass busy;
        ok = ReadTableRange({uint8_t(table), 0, 2}, &form.HostStatusBar(), true);
    }
    if (!ok) return;
    const uint32_t oldest = GetU32(RowPtr(table, 0));
    const uint32_t newest = GetU32(RowPtr(table, 1));
    if (oldest == newest && oldest != 0) {
        Message(6, "В архиве нет ни одной записи", "");
        return;
    }
    uint32_t first = 0, count = 0;
    {
        TFormIndex dialog(nullptr);
        dialog.Archive = uint8_t(tag);
        dialog.Oldest = oldest;
        dialog.Newest = newest;
        dialog.ShowModal();
        if (!dialog.accepted) return;
        first = dialog.First;
        count = dialog.Count;
    }
    if (tag == 0) ReadAlaByIndex(form, first, count);
    else ReadAudByIndex(form, first, count);
}
