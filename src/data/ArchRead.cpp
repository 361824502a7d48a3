#include "data/ArchRead.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
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
// announces is a failure like a lost one. Esc pressed while the request was
// on the line ends it without a question.
Outcome Request(MainHost& form, uint8_t command, const uint8_t* data, uint32_t length, const ReplyShape& shape) {
    if (!HgcBox) return Outcome::Declined;
    for (;;) {
        bool ok = HgcBox->Exchange(command, data, length);
        if (ok && !ReplyHoldsRecords(shape)) {
            HgcBox->Error = kErrReplyLength;
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
    file.Close();
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

// Moves `expected` to the hour (day) to ask for after a record. The next
// unit follows the records received, so that after a gap in the archive (the
// controller sends the next records it has) nothing is asked for twice:
//  - a record with a sound date inside what was asked for (daily: with a
//    day of tolerance either side) moves it to the later of expected + 1 and
//    the record's unit + 1;
//  - a record dated before that (an early or repeated record) answered
//    nothing that was asked for and leaves it where it is;
//  - a record after the period's end, or one whose CRC or date is broken,
//    counts as one unit.
// False when the next unit would lie after the last hour (day) of 2255: no
// period reaches beyond it, so the read is over.
bool NextExpected(DeviceDateTime& expected, const DeviceDateTime& rec, const DeviceDateTime& end, int unit,
                  bool crcOk) {
    DeviceDateTime next = expected;
    const bool stepped = IncRecWithin(next, unit);
    if (crcOk && IsValidRec(rec)) {
        DeviceDateTime low = expected, high = end;
        if (unit != 0) {
            DecRecWithin(low, 1);
            IncRecWithin(high, 1);
        }
        if (CompareRecByUnit(rec, low, unit) < 0) return true;
        if (CompareRecByUnit(rec, high, unit) <= 0) {
            DeviceDateTime afterRec = rec;
            if (!IncRecWithin(afterRec, unit)) return false;
            if (CompareRecByUnit(afterRec, next, unit) > 0) {
                expected = afterRec;
                return true;
            }
        }
    }
    expected = next;
    return stepped;
}

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
    for (;;) {
        const uint8_t from[4] = {expected.year, expected.month, expected.day, expected.hour};
        std::memcpy(request + 3, from, dateBytes);
        const Outcome o = Request(form, how->command, request, length, shape);
        if (o == Outcome::Aborted) {
            result.aborted = true;
            break;
        }
        if (o == Outcome::Declined) {
            result.complete = false;
            if (file.Count() == 0) Message(6, how->notRead[0], how->notRead[1]);
            else Message(6, how->inPart[0], how->inPart[1]);
            break;
        }
        ++result.requests;
        const int n = HgcBox->Rx[4];
        if (n == 0) break;

        bool stop = false;
        bool beyond = false;  // nothing later than the last record can be asked for
        const DeviceDateTime replyStart = expected;
        for (int i = 0; i < n && !stop; ++i) {
            uint8_t record[94] = {};
            std::memcpy(record, HgcBox->Rx + 5 + std::size_t(i) * size, size);
            session.StepProgress();
            const DeviceDateTime recDate = UnitOf(LoadRec6(record), unit);
            if (check && OutsidePeriod(recDate, expected, last, unit)) {
                Message(3, "Дані, що передаються контролером, не відповідають",
                        "запитуваному періоду. Продовжити читання?");
                check = false;
                if (!MessageAnswer) {
                    // The record is kept and the read ends after it.
                    AbortRequested = 1;
                    result.aborted = true;
                    stop = true;
                }
            }
            if (!file.Append(record)) {
                writeFailed = true;
                break;
            }
            if (!beyond && !NextExpected(expected, recDate, last, unit, RecordCrcOk(record, size))) beyond = true;
        }
        // A reply whose records moved nothing (all of them from before the
        // hour asked for) must not be asked for again and again.
        if (!stop && !writeFailed && !beyond && CompareRecByUnit(expected, replyStart, unit) == 0)
            for (int i = 0; i < n && !beyond; ++i) beyond = !IncRecWithin(expected, unit);
        if (writeFailed) {
            result.complete = false;
            TempWriteFailed(file);
            break;
        }
        if (stop) break;
        ui::Application::ProcessMessages();
        if (AbortRequested) {
            result.aborted = true;
            break;
        }
        if (n < how->full) break;
        if (beyond || CompareRecByUnit(expected, last, unit) > 0) break;
    }
    session.EndExchange();
    file.Close();
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
    for (;;) {
        request[2] = uint8_t(page);
        StoreRec6(begin, request + 3);
        const Outcome o = Request(form, 8, request, sizeof request, shape);
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
        if (!file.Append(rx + 8, std::size_t(n))) {
            writeFailed = true;
            break;
        }
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
    while (remaining > 0) {
        // {0, archive, u32 first index, count}
        uint8_t request[7] = {0, archive, 0, 0, 0, 0, 0};
        PutU32(request + 2, index);
        request[6] = uint8_t(std::min(remaining, perRequest));
        const Outcome o = Request(form, 7, request, sizeof request, shape);
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
        total += n;
        session.SetProgress(int64_t(std::min<uint64_t>(total, INT_MAX)));
        if (n == 0) {
            if (total == 0) Message(6, "Немає повідомлень із заданими індексами", "");
            break;
        }
        if (!file.Append(rx + 11, n)) {
            writeFailed = true;
            break;
        }
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

bool ArchiveViewerReady(ArchiveKind kind) {
    if (HasArchiveViewer(kind)) return true;
    // Nothing is read that could not be shown.
    Message(6, "Перегляд цих даних в цій версії програми ще не доступний", "");
    return false;
}

namespace {

int LineOf(const ui::MenuItem& item) { return item.Tag() == 1 ? 1 : 0; }

void HourDayClick(MainHost& form, ArchiveKind kind, int line) {
    if (!HgcBox || !ArchiveViewerReady(kind)) return;
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
    if (!ArchiveViewerReady(kind)) return;
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
    if (!ArchiveViewerReady(tag == 0 ? ArchiveKind::Diagnostic : ArchiveKind::Intervention)) return;
    DeviceDateTime begin, end;
    if (!AskPeriod(form, begin, end)) return;
    ui::HourGlass busy;
    if (tag == 0) ReadAlaByPeriod(form, begin, end);
    else ReadAudByPeriod(form, begin, end);
}

void NArhIndClick(MainHost& form, ui::MenuItem& item) {
    const int tag = item.Tag();
    if ((tag != 0 && tag != 1) || !HgcBox) return;
    if (!ArchiveViewerReady(tag == 0 ? ArchiveKind::Diagnostic : ArchiveKind::Intervention)) return;
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
