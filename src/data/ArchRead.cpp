#include "data/ArchRead.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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
// announces is a failure like a lost one; so is a reply that answers an
// earlier request (`answersThis` says no) -- a page or block sent again, a
// reply that came late: error 88, and the link lets the line settle before
// the request goes out again. Esc pressed while the request was on the line
// ends it without a question.
Outcome Request(MainHost& form, uint8_t command, const uint8_t* data, uint32_t length, const ReplyShape& shape,
                const std::function<bool()>& answersThis) {
    if (!HgcBox) return Outcome::Declined;
    for (;;) {
        bool ok = HgcBox->Exchange(command, data, length);
        if (ok && !ReplyHoldsRecords(shape)) {
            HgcBox->Error = kErrReplyLength;
            ok = false;
        }
        if (ok && answersThis && !answersThis()) {
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

// A set of records told apart byte for byte: a record the controller sends
// again is the same bytes.
class StoredRecords {
public:
    explicit StoredRecords(std::size_t size) : size_(size) {}
    bool Has(const uint8_t* record) const { return set_.count(Key(record)) != 0; }
    void Add(const uint8_t* record) { set_.insert(Key(record)); }
    void Remove(const uint8_t* record) { set_.erase(Key(record)); }

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
    bool hourDay = false;                // an hourly or daily read
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
void TempWriteFailed(const std::string& path) { Message(1, "Помилка роботи з файлом", platform::BaseName(path)); }

// The temporary file of one read and the records it holds, byte for byte:
// a record the controller sends again is never stored twice. Once the file
// refuses a record (a full disk) it takes no more, and the read ends.
class ReadFile {
public:
    explicit ReadFile(ArchiveKind kind)
        : temp_(ArchiveInfo(kind).temp), size_(RecordSizeOf(ArchiveInfo(kind).record)), held_(size_) {}

    // False (told) when the file cannot be made: nothing is sent then.
    bool Open() {
        if (file_.Open(temp_, size_)) return true;
        const FileMessage m = TempArchiveWriter::OpenFailureMessage();
        Message(m.kind, m.line1, m.line2);
        return false;
    }
    std::size_t RecordSize() const { return size_; }
    // True when the record is stored, or kept to be stored later (Hold).
    bool Holds(const uint8_t* rec) const { return held_.Has(rec); }
    void Hold(const uint8_t* rec) { held_.Add(rec); }
    void Release(const uint8_t* rec) { held_.Remove(rec); }
    bool Store(const uint8_t* rec) {
        if (!Append(rec)) return false;
        held_.Add(rec);
        return true;
    }
    // The record written, but not noted among those held: for a read that
    // never asks whether it holds a record.
    bool Append(const uint8_t* rec) {
        if (failed_) return false;
        if (!file_.Append(rec)) {
            failed_ = true;
            return false;
        }
        return true;
    }
    // The records of a page or block that the read does not hold yet, in
    // order (a page may carry a record twice: both are its own); the others
    // are dropped, and so is one that `keep` refuses.
    void StoreFresh(const uint8_t* recs, int n, ArchiveReadResult& result,
                    const std::function<bool(const uint8_t*)>& keep = {}) {
        std::vector<const uint8_t*> fresh;
        for (int i = 0; i < n; ++i) {
            const uint8_t* rec = recs + std::size_t(i) * size_;
            if (Holds(rec)) ++result.dropped;
            else fresh.push_back(rec);
        }
        for (const uint8_t* rec : fresh) {
            if (keep && !keep(rec)) ++result.dropped;
            else if (!Store(rec)) break;
        }
    }
    bool Failed() const { return failed_; }
    uint32_t Count() const { return file_.Count(); }
    // False when a write failed, also one the close is the first to report.
    bool Close() {
        if (!file_.Close()) failed_ = true;
        return !failed_;
    }
    const std::string& Path() const { return file_.Path(); }

private:
    TempArchive temp_;
    std::size_t size_;
    TempArchiveWriter file_;
    StoredRecords held_;
    bool failed_ = false;
};

// A request left without its answer: Esc ends the read as a whole one; a
// declined failure says whether anything was read before it.
void EndWithoutAnswer(Outcome o, bool anything, const char* const notRead[2], const char* const inPart[2],
                      ArchiveReadResult& result) {
    if (o == Outcome::Aborted) {
        AbortRequested = 0;
        result.aborted = true;
        return;
    }
    result.complete = false;
    if (anything) Message(6, inPart[0], inPart[1]);
    else Message(6, notRead[0], notRead[1]);
}

// After each reply of every read: a refused write ends the read; the window
// messages run, and Esc ends the read after the reply in hand. True when
// the read goes on.
bool GoOn(const ReadFile& file, ArchiveReadResult& result) {
    if (file.Failed()) return false;
    ui::Application::ProcessMessages();
    if (!AbortRequested) return true;
    AbortRequested = 0;
    result.aborted = true;
    return false;
}

// The end of every read: the exchange, the temporary file (a refused write
// is told), the wait box; then the records are read back and handed over
// (not with `handOver` false). An hourly or daily read keeps its full bar in
// view a moment and leaves panel 2 to the message timer; the others empty
// panel 2. Returns the records handed over.
uint32_t FinishRead(MainHost& form, ReadSession& session, ReadFile& file, ArchiveReadResult& result,
                    const HandOver& h, ArchiveView* into = nullptr, bool handOver = true) {
    session.EndExchange();
    const bool written = file.Close();
    if (h.hourDay) form.HostMessageTimer().SetEnabled(true);
    else form.SetExchangeText("");
    const uint32_t count = handOver ? file.Count() : 0;
    if (h.hourDay && count > 0) {
        session.FillProgress();
        if (ArchiveReadEndPauseMs > 0) platform::WaitMs(ArchiveReadEndPauseMs);
    }
    session.Close();
    if (!written) {
        result.complete = false;
        TempWriteFailed(file.Path());
    }
    if (count == 0) {
        ui::Screen::SetCursor(ui::Cursor::Default);
        return 0;
    }
    return ShowRecords(form, h, count, into);
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

// How one hourly or daily read compares dates. A daily record gets a day of
// tolerance on either side of what is asked for (a gas day's record may
// carry the date before), except in a certificate, which compares to the
// day; before 1 January 2000 and after 31 December 2255 there is nothing a
// record can carry.
struct HourDayDates {
    int unit;
    DeviceDateTime last;  // the period's last hour (day)
    bool exact;           // no tolerance (the certificates)

    int Compare(const DeviceDateTime& a, const DeviceDateTime& b) const { return CompareRecByUnit(a, b, unit); }
    // The earliest date taken in sequence while `expected` is asked for.
    DeviceDateTime Lowest(const DeviceDateTime& expected) const {
        DeviceDateTime low = expected;
        if (unit != 0 && !exact) DecRecWithin(low, 1);
        return low;
    }
    bool AfterPeriod(const DeviceDateTime& rec) const {
        DeviceDateTime high = last;
        if (unit != 0 && !exact && !IncRecWithin(high, 1)) return false;
        return Compare(rec, high) > 0;
    }
};

// What becomes of a record of an hourly or daily reply. The controller
// answers a request with its records from the hour (day) asked for on, in
// order, so the next request starts after the latest record stored.
enum class Fate {
    Store,     // the hour (day) expected or a later one of the period: stored, the read goes on after it
    Copy,      // a record this read already holds (a late reply to an earlier request): dropped
    Early,     // dated before the hour (day) expected, not before the latest stored: stored
    Behind,    // dated before the latest record stored: dropped, so that the file keeps its time order
    AfterEnd,  // dated after the period: kept aside and stored after the period's records
    Loose,     // broken, with a date nothing vouches for: stored where it came, its date moves nothing
};

// The fates that the period test asks about.
bool OutsidePeriod(Fate f) { return f == Fate::Early || f == Fate::Behind || f == Fate::AfterEnd; }

// Where one hourly or daily read stands.
struct HourDayState {
    DeviceDateTime expected;               // the hour (day) asked for next
    std::optional<DeviceDateTime> latest;  // the latest date stored
};

// The fate of every record of one reply, worked out before anything is
// stored, and where the read stands after it.
struct ReplyPlan {
    std::vector<Fate> fate;
    HourDayState after;
    bool moves = false;   // the hour (day) expected moved on
    bool stale = false;   // only records already held, one of them dated before the hour (day) asked
                          // for: the reply answers an earlier request
    bool held = false;    // only loose records already held: the controller's first records from
                          // the hour (day) asked for are ones this read holds
    bool beyond = false;  // a record of the last hour (day) of 2255: nothing later exists
    int trailFrom = 0;    // the loose records from here to the end of the reply are held back (see below)
};

// The rules of one hourly or daily reply, whatever the operator answers:
//  - a record is stored once: a byte-for-byte copy of one held is dropped;
//  - a record of the hour (day) expected or a later one of the period is
//    stored and moves the hour (day) expected to the one after it, never back;
//  - a record dated before the hour (day) expected is stored only when it
//    is not dated before the latest record stored (an hour stored again is
//    the hour that repeats when the clocks go back): the file stays in time
//    order;
//  - a record whose CRC is broken is stored as it came: the frame's own CRC
//    guarded the line, so the controller holds it broken and asking again
//    brings the same bytes. Its date may be what broke, so it counts only
//    where a sound record later in the same reply vouches for it (is dated
//    at or after it), and where it fits -- not before the hour (day) asked
//    for, not before the record ahead of it, within the period. A date
//    nothing vouches for moves nothing: the record is stored where it came
//    ("loose");
//  - every reply that brings a record not held before, other than records
//    after the period, moves the next request at least one hour (day) past
//    the one it answers: the controller answers from the hour (day) asked
//    for on, so asking from there brings at worst copies, never skips a
//    record, and a read ends within the period's hours (days) + 1 requests;
//    when the controller answers with nothing but loose records already
//    held, the next request also starts one hour (day) later;
//  - a record after the period is kept aside and stored after the period's
//    records at the end of the read;
//  - loose records that end a reply right after a sound record dated the
//    hour (day) before the next request are held back: that request is
//    answered from their place on. The first of them stands for the hour
//    (day) that request asks for, the next for the one after it, and so on;
//    the date their own bytes carry counts for nothing, as it may be what
//    broke. Only a sound record of the very hour (day) one stands for, in
//    its place in the answer and with other bytes, is the record it misread:
//    then it is dropped. Anything else keeps it: the same bytes there (the
//    controller holds it broken; stored once, in its place), a broken
//    record, a record of another hour (day) -- a controller that passes
//    over broken records answers from the next sound one on. A record kept
//    in doubt is only an extra row marked unreliable; one dropped in doubt
//    would be lost. The read loop settles them; what is still held back
//    when the read ends is stored.
ReplyPlan PlanHourDayReply(const uint8_t* records, int n, std::size_t size, const HourDayState& at,
                           const HourDayDates& dates, const ReadFile& file, const StoredRecords& loose) {
    ReplyPlan plan;
    plan.after = at;
    const DeviceDateTime low = dates.Lowest(at.expected);
    auto recordAt = [&](int i) { return records + std::size_t(i) * size; };
    auto dateAt = [&](int i) { return UnitOf(LoadRec6(recordAt(i)), dates.unit); };
    auto soundAt = [&](int i) { return RecordCrcOk(recordAt(i), size) && IsValidRec(dateAt(i)); };
    StoredRecords inReply(size);
    // The hour (day) expected moves on to the one after `date`, never back.
    auto movePast = [&](DeviceDateTime date) {
        if (!IncRecWithin(date, dates.unit)) {
            plan.beyond = plan.moves = true;
        } else if (dates.Compare(date, plan.after.expected) > 0) {
            plan.after.expected = date;
            plan.moves = true;
        }
    };
    std::optional<DeviceDateTime> ahead;  // the date of the record ahead, where it holds
    bool onlyCopies = n > 0, copyBefore = false, copyDated = false, fresh = false;
    for (int i = 0; i < n; ++i) {
        const uint8_t* rec = recordAt(i);
        const DeviceDateTime date = dateAt(i);
        const bool valid = IsValidRec(date);
        if (file.Holds(rec) || inReply.Has(rec)) {
            plan.fate.push_back(Fate::Copy);
            if (valid && !loose.Has(rec)) {
                copyDated = true;
                if (dates.Compare(date, at.expected) < 0) copyBefore = true;
                ahead = date;
            }
            continue;
        }
        onlyCopies = false;
        inReply.Add(rec);
        bool dated = soundAt(i);
        if (!dated && valid) {
            dated = dates.Compare(date, low) >= 0 && (!ahead || dates.Compare(date, *ahead) >= 0) &&
                    !dates.AfterPeriod(date);
            // The next sound record of the reply vouches for the date, or nothing does.
            int next = i + 1;
            while (next < n && !soundAt(next)) ++next;
            dated = dated && next < n && dates.Compare(date, dateAt(next)) <= 0;
        }
        if (!dated) {
            plan.fate.push_back(Fate::Loose);
            fresh = true;
            continue;
        }
        ahead = date;
        if (dates.AfterPeriod(date)) {
            plan.fate.push_back(Fate::AfterEnd);
            continue;
        }
        fresh = true;
        std::optional<DeviceDateTime>& latest = plan.after.latest;
        const bool again = latest && dates.Compare(date, *latest) == 0;
        if (dates.Compare(date, dates.Lowest(plan.after.expected)) < 0 && !again) {
            if (latest && dates.Compare(date, *latest) < 0) {
                plan.fate.push_back(Fate::Behind);
            } else {
                plan.fate.push_back(Fate::Early);
                latest = date;
            }
            continue;
        }
        plan.fate.push_back(Fate::Store);
        if (!latest || dates.Compare(date, *latest) > 0) latest = date;
        movePast(date);
    }
    // At least one hour (day) past the one this reply answers.
    if (fresh) movePast(at.expected);
    plan.stale = onlyCopies && copyBefore;
    plan.held = onlyCopies && !copyDated;
    plan.trailFrom = n;
    while (plan.trailFrom > 0 && plan.fate[std::size_t(plan.trailFrom - 1)] == Fate::Loose) --plan.trailFrom;
    if (plan.trailFrom == 0 || plan.trailFrom == n || !soundAt(plan.trailFrom - 1)) {
        plan.trailFrom = n;
    } else {
        DeviceDateTime next = dateAt(plan.trailFrom - 1);
        if (!IncRecWithin(next, dates.unit) || dates.Compare(next, plan.after.expected) != 0) plan.trailFrom = n;
    }
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
    const DeviceDateTime first = UnitOf(begin, unit), last = UnitOf(end, unit);
    // A certificate takes no record outside the period it asked for.
    const bool exact = into != nullptr;
    const HourDayDates dates{unit, last, exact};
    ReadFile file(kind);
    const std::size_t size = file.RecordSize();
    if (!file.Open()) return result;

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
    HourDayState at{first, std::nullopt};
    bool check = true;
    StoredRecords loose(size);          // records stored with a date that did not fit
    std::vector<RecordBytes> afterEnd;  // records after the period, stored at the end
    std::vector<RecordBytes> trail;     // loose records held back from the end of the last reply
    auto plan = [&](const uint8_t* rx) { return PlanHourDayReply(rx + 5, rx[4], size, at, dates, file, loose); };
    // The records held back, against the first `n` records of the answer to
    // the request from `asked` (their place on). The one at place i stands
    // for the hour (day) `asked` + i, whatever its own bytes say: a sound
    // record of that hour (day) with other bytes in its place is that record
    // read right, and the held-back one is dropped. Anything else keeps it
    // (the same bytes come again as a copy). Those the answer does not reach
    // are stored.
    auto settleTrail = [&](const uint8_t* recs, int n, DeviceDateTime asked) {
        bool inRange = true;  // `asked` is the hour (day) the record at place i stands for (none after 2255)
        for (std::size_t i = 0; i < trail.size(); ++i) {
            const uint8_t* held = trail[i].data();
            const uint8_t* there = inRange && int(i) < n ? recs + i * size : nullptr;
            const DeviceDateTime date = there ? UnitOf(LoadRec6(there), unit) : DeviceDateTime{};
            if (there && std::memcmp(there, held, size) != 0 && RecordCrcOk(there, size) && IsValidRec(date) &&
                dates.Compare(date, asked) == 0) {
                file.Release(held);
                loose.Remove(held);
                ++result.dropped;
            } else if (!file.Store(held)) {
                break;
            }
            inRange = inRange && IncRecWithin(asked, unit);
        }
        trail.clear();
    };
    for (;;) {
        const uint8_t from[4] = {at.expected.year, at.expected.month, at.expected.day, at.expected.hour};
        std::memcpy(request + 3, from, dateBytes);
        const Outcome o = Request(form, how->command, request, length, shape, [&] {
            const uint8_t* rx = HgcBox->Rx;
            return rx[4] == 0 || !plan(rx).stale;
        });
        if (o != Outcome::Ok) {
            EndWithoutAnswer(o, file.Count() > 0 || !afterEnd.empty(), how->notRead, how->inPart, result);
            break;
        }
        ++result.requests;
        const uint8_t* rx = HgcBox->Rx;
        const int n = rx[4];
        settleTrail(rx + 5, n, at.expected);
        if (n == 0 || file.Failed()) break;

        const ReplyPlan p = plan(rx);
        bool stop = false;
        for (int i = 0; i < n && !stop; ++i) {
            const uint8_t* rec = rx + 5 + std::size_t(i) * size;
            session.StepProgress();
            const Fate fate = p.fate[i];
            if (OutsidePeriod(fate)) {
                if (exact) {
                    result.outOfPeriod = true;
                    break;
                }
                if (check) {
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
            }
            switch (fate) {
            case Fate::Store:
            case Fate::Early:
                file.Store(rec);
                break;
            case Fate::Loose:
                if (i >= p.trailFrom) {
                    trail.emplace_back(rec, rec + size);
                    file.Hold(rec);
                    loose.Add(rec);
                } else if (file.Store(rec)) {
                    loose.Add(rec);
                }
                break;
            case Fate::AfterEnd:
                afterEnd.emplace_back(rec, rec + size);
                file.Hold(rec);
                break;
            default:
                ++result.dropped;
                break;
            }
        }
        if (result.outOfPeriod || file.Failed()) break;
        at = p.after;
        if (stop || !GoOn(file, result)) break;
        if (n < how->full) break;
        if (p.held) {
            // Nothing to go by but that the controller holds these records at
            // or after the hour (day) asked for: ask from the one after it.
            if (!IncRecWithin(at.expected, unit)) break;
        } else if (!p.moves) {
            // Only records after the period, or copies of records held: the
            // controller has nothing more in it.
            break;
        }
        if (p.beyond || dates.Compare(at.expected, last) > 0) break;
    }
    // What was kept aside: the records held back, then the records after the
    // period, in their order.
    if (!result.outOfPeriod) {
        settleTrail(nullptr, 0, at.expected);
        std::stable_sort(afterEnd.begin(), afterEnd.end(), [&](const RecordBytes& a, const RecordBytes& b) {
            return dates.Compare(UnitOf(LoadRec6(a.data()), unit), UnitOf(LoadRec6(b.data()), unit)) < 0;
        });
        for (const RecordBytes& r : afterEnd)
            if (!file.Store(r.data())) break;
    }

    HandOver h;
    h.kind = kind;
    h.line = line == 1 ? 1 : 0;
    h.mode = how->mode;
    h.from = first;
    h.to = last;
    h.hourDay = true;
    result.records = FinishRead(form, session, file, result, h, into, !result.outOfPeriod);
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
    const int ln = line == 1 ? 1 : 0;
    ReadFile file(kind);
    const std::size_t size = file.RecordSize();
    if (!file.Open()) return result;

    ReadSession session(form, PeriodsBetween(begin, end, 0));
    // {line * 16 + device, archive, page, begin[6], end[6]}
    uint8_t request[15] = {};
    request[0] = kind == ArchiveKind::ChromMeas ? uint8_t(ln * 16) : (kind == ArchiveKind::WmtMeas ? 0x01 : 0);
    request[1] = how->archive;
    StoreRec6(end, request + 9);
    const ReplyShape shape{6, 8, size};
    int page = 0;
    bool received = false, archiveError = false;
    // A page cannot tell which page it is. A record of an earlier page sent
    // again (the page repeated, or a late reply to an earlier request taken
    // for this one) is never stored twice; a page that brings nothing else
    // is not this page's answer and is asked for again. Whatever else the
    // controller sends is kept, also a record it dates a little before the
    // beginning asked for (it may compare coarser than to the second) -- but
    // only ahead of the first record inside the period, so that the file
    // keeps its time order.
    bool inside = false;
    auto keep = [&](const uint8_t* rec) {
        const DeviceDateTime d = LoadRec6(rec);
        if (!IsValidRec(d) || CompareRec6(d, begin) >= 0) inside = true;
        else if (inside) return false;
        return true;
    };
    auto answersThis = [&] {
        const uint8_t* rx = HgcBox->Rx;
        for (int i = 0; i < rx[6]; ++i)
            if (!file.Holds(rx + 8 + std::size_t(i) * size)) return true;
        return rx[6] == 0;
    };
    for (;;) {
        request[2] = uint8_t(page);
        StoreRec6(begin, request + 3);
        const Outcome o = Request(form, 8, request, sizeof request, shape, answersThis);
        if (o != Outcome::Ok) {
            EndWithoutAnswer(o, received, how->notRead, how->inPart, result);
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
        file.StoreFresh(rx + 8, n, result, keep);
        const bool more = rx[7] != 0;
        if (!GoOn(file, result) || !more) break;
        page = page + 1;
        if (page == 256) page = 1;
    }
    HandOver h;
    h.kind = kind;
    h.line = ln;
    h.mode = how->mode;
    h.from = begin;
    h.to = end;
    h.archiveError = archiveError ? how->archiveError : nullptr;
    result.records = FinishRead(form, session, file, result, h);
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

// The records stored by one read by index, in order, and where each block
// taken begins among them. The blocks are found by their first record (a
// hash of its bytes), so that a reply is compared only with the blocks that
// begin with its own first record: a reply late in a long read costs what
// one early in it does.
class IndexBlocks {
public:
    explicit IndexBlocks(std::size_t size) : size_(size) {}
    // True when the `n` records at `recs` are, in order, the records stored
    // from where a block taken began.
    bool Repeat(const uint8_t* recs, std::size_t n) const {
        const std::size_t bytes = n * size_;
        if (bytes == 0) return false;
        const auto [from, to] = starts_.equal_range(Hash(recs));
        for (auto it = from; it != to; ++it) {
            const std::size_t at = it->second;
            if (at + bytes <= stored_.size() && std::memcmp(stored_.data() + at, recs, bytes) == 0) return true;
        }
        return false;
    }
    // A block taken, beginning with the record `first`, is stored from here on.
    void Begin(const uint8_t* first) { starts_.emplace(Hash(first), stored_.size()); }
    void Add(const uint8_t* rec) { stored_.insert(stored_.end(), rec, rec + size_); }

private:
    std::size_t Hash(const uint8_t* rec) const {
        return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(rec), size_));
    }
    std::size_t size_;
    std::vector<uint8_t> stored_;
    std::unordered_multimap<std::size_t, std::size_t> starts_;  // first record's hash -> where the block begins
};

ArchiveReadResult ReadByIndex(MainHost& form, ArchiveKind kind, uint32_t first, uint32_t count) {
    ArchiveReadResult result;
    if (!HgcBox) return result;
    const bool ala = kind == ArchiveKind::Diagnostic;
    const uint8_t archive = ala ? 0 : 1;
    const uint32_t perRequest = ala ? 11 : 10;
    const char* words = ala ? "Діагностичні повідомлення" : "Повідомлення про втручання оператора";
    const char* const notRead[2] = {words, kNotRead};
    const char* const inPart[2] = {words, kReadInPart};
    ReadFile file(kind);
    const std::size_t size = file.RecordSize();
    if (!file.Open()) return result;

    ReadSession session(form, count);
    const ReplyShape shape{10, 11, size};
    uint32_t remaining = count, index = first;
    // A record of this read is the record of its own index: the request's
    // first index plus its place in the reply. The records carry no index,
    // and two of them may be the same bytes (the same event twice in one
    // second), so every record of a reply that answers this request is
    // stored. A reply that answers an earlier request of the read (a late
    // one, or the last block sent again) begins where that request began:
    // its records are, in order, the ones stored from there on. Such a reply
    // is not this block's answer and the block is asked for again.
    IndexBlocks blocks(size);
    auto answersThis = [&] { return !blocks.Repeat(HgcBox->Rx + 11, HgcBox->Rx[10]); };
    while (remaining > 0) {
        // {0, archive, u32 first index, count}
        uint8_t request[7] = {0, archive, 0, 0, 0, 0, 0};
        PutU32(request + 2, index);
        request[6] = uint8_t(std::min(remaining, perRequest));
        const Outcome o = Request(form, 7, request, sizeof request, shape, answersThis);
        if (o != Outcome::Ok) {
            EndWithoutAnswer(o, file.Count() > 0, notRead, inPart, result);
            break;
        }
        ++result.requests;
        const uint8_t* rx = HgcBox->Rx;
        const uint32_t n = rx[10];
        if (n == 0) {
            if (file.Count() == 0) Message(6, "Немає повідомлень із заданими індексами", "");
            break;
        }
        blocks.Begin(rx + 11);
        for (uint32_t i = 0; i < n; ++i) {
            const uint8_t* rec = rx + 11 + std::size_t(i) * size;
            if (!file.Append(rec)) break;
            blocks.Add(rec);
        }
        session.SetProgress(file.Count());
        if (!GoOn(file, result) || n >= remaining) break;
        remaining -= n;
        index += n;
    }
    HandOver h;
    h.kind = kind;
    h.mode = viewmode::kByIndex;
    h.datesFromRecords = true;
    h.firstIndex = first;
    result.records = FinishRead(form, session, file, result, h);
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
