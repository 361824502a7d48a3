// The archive readers against any sequence of replies, every question
// answered by the input and Esc pressed where it says: a read always ends
// (the exchange flag down); no record is stored twice (an hourly or daily
// read stores each record once; a read by period or by index stores a
// record no more often than one reply carried it); every record stored is
// one a reply carried; the temporary file holds exactly the records handed
// to the viewer, which are as many as the read says, under a header that
// counts them.
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "common/Question.h"
#include "common/Suplfunc.h"
#include "config/ConfigImage.h"
#include "config/Globals.h"
#include "config/MainHost.h"
#include "data/ArchRead.h"
#include "data/ArchView.h"
#include "data/ArchiveRecords.h"
#include "data/Period.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/ReplyHarness.h"
#include "link/Hgcbox.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/TestDriver.h"
#include "ui/Timer.h"

namespace zbr_fuzz {

namespace {

// What the readers need of the main window.
class FuzzHost : public MainHost {
public:
    FuzzHost() {
        for (int i = 0; i < 3; ++i) bar.AddPanel(100);
    }
    ui::Form& HostForm() override { return form; }
    ui::StatusBar& HostStatusBar() override { return bar; }
    ui::Timer& HostMessageTimer() override { return timer; }
    ui::OpenDialog& HostOpenDialog() override { return open; }
    ui::SaveDialog& HostSaveDialog() override { return save; }
    void SetExchangeText(const std::string& text) override { bar.SetPanelText(2, text); }
    void ShowResultText(const std::string& text) override { bar.SetPanelText(2, text); }
    void ShowControllerName(const std::string& name) override { bar.SetPanelText(1, name); }
    void RefreshMenus() override {}
    void ApplyThreadNames() override {}
    void Disconnect() override {}

    ui::Form form{nullptr, "FormMain"};
    ui::StatusBar bar{&form, "StatusBar1"};
    ui::Timer timer{&form, "TimerMessage"};
    ui::OpenDialog open{&form, "OpenDialog1"};
    ui::SaveDialog save{&form, "SaveDialog1"};
};

std::vector<ArchiveView>& Views() {
    static std::vector<ArchiveView> views;
    return views;
}

void RegisterViewers() {
    static const bool done = [] {
        for (int k = 0; k < kArchiveKindCount; ++k)
            SetArchiveViewer(ArchiveKind(k), [](ArchiveView& v) { Views().push_back(v); });
        return true;
    }();
    (void)done;
}

constexpr ArchiveKind kKinds[12] = {
    ArchiveKind::ChromHour,  ArchiveKind::ChromDay,     ArchiveKind::WmtHour, ArchiveKind::WmtDay,
    ArchiveKind::ChromMeas,  ArchiveKind::WmtMeas,      ArchiveKind::Calib,   ArchiveKind::Verif,
    ArchiveKind::Diagnostic, ArchiveKind::Intervention, ArchiveKind::Diagnostic, ArchiveKind::Intervention,
};

// Where the records lie in the reply of each archive command.
struct Shape {
    std::size_t countAt = 0, recordsAt = 0;
};
Shape ShapeOf(uint8_t command) {
    switch (command) {
    case 15:
    case 16: return {4, 5};
    case 8: return {6, 8};
    case 7: return {10, 11};
    default: return {};
    }
}

// The records of a reply frame at the start of the chunk get their CRCs.
void SealRecords(Bytes& b, uint8_t command, std::size_t size) {
    const Shape s = ShapeOf(command);
    if (s.recordsAt == 0 || b.size() <= s.countAt) return;
    for (std::size_t i = 0; i < b[s.countAt]; ++i) {
        const std::size_t at = s.recordsAt + i * size;
        if (at + size > b.size()) break;
        SealRecord(b.data() + at, size);
    }
}

// `date` moved by `steps` x `minutes` (back when steps < 0), or kept when
// that leaves the years a record holds.
DeviceDateTime Moved(const DeviceDateTime& date, int steps, int minutes) {
    DeviceDateTime out = date;
    if (!DateTimeToRec(RecToDateTime(date) + double(steps) * minutes / 1440.0, out) || !IsValidRec(out)) return date;
    // Whole seconds, as the dialogs give them.
    return out;
}

std::size_t Occurrences(const uint8_t* hay, std::size_t hayLen, const uint8_t* rec, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t p = 0; p + n <= hayLen; ++p)
        if (hay[p] == rec[0] && std::memcmp(hay + p, rec, n) == 0) ++count;
    return count;
}

}  // namespace

void RunArchiveReplies(Script& s) {
    ScratchDir();
    RegisterViewers();
    ArchiveReadEndPauseMs = 0;
    InitConfigImage();
    IsConnected = 1;
    ExchangeActive = AbortRequested = 0;
    Views().clear();

    ui::test::Driver drv;
    drv.onFailure = [](const std::string&) {};
    int periodQuestions = 0;
    drv.onModal<TFormQues>([&](TFormQues& q) {
        if (q.Kind == 3) ++periodQuestions;
        if (q.Kind == 3 || q.Kind == 7) q.Answer(s.Choice() & 1);
    });
    FuzzHost host;
    hgcbox box(1);
    box.Retries = 1;
    box.ReplyTimeoutMs = 1;
    box.ByteTimeoutMs = 1;
    LinePeer peer(s, box, true);
    HgcBox = &box;

    const uint8_t op = s.Choice();
    box.Retries = (op & 0x40) ? 2 : 1;
    if ((op & 0x0F) == 12 || (op & 0x0F) == 13) {
        // The bounds of the hourly (12) or daily (13) archive, from tables 27, 2 and 6.
        drv.onProcessMessages([&] { peer.Pump(); });
        QueryPeriod range{};
        DeviceDateTime oldest;
        if (CheckArchiveBounds(host, range, oldest, (op & 0x0F) - 12)) {
            Check(IsValidRec(oldest), "archive bounds from an invalid oldest date");
            Check(IsValidRec(range.from) && IsValidRec(range.to) && CompareRec5(range.from, range.to) <= 0,
                  "archive bounds that are no period");
        }
        HgcBox = nullptr;
        return;
    }
    const int pick = (op & 0x0F) % 12;
    const ArchiveKind kind = kKinds[pick];
    const int line = (op >> 4) & 1;
    const bool into = pick < 4 && ((op >> 5) & 1);  // only hourly and daily reads go into a view
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    const std::size_t size = RecordSizeOf(info.record);

    peer.onAnswer = [&](const Bytes& request, PeerReply& reply) {
        if (reply.ctl & PeerReply::kFixRecords) SealRecords(reply.bytes, request[3], size);
    };
    // Esc as the main window takes it: the read ends, and so does the
    // request on the line; or Esc pressed between two requests.
    bool escapeLater = false;
    peer.onEscape = [&](uint8_t ctl) {
        if ((ctl & PeerReply::kEscape) && ExchangeActive) {
            AbortRequested = 1;
            if (box.Busy()) box.Abort = true;
        }
        if (ctl & PeerReply::kEscapeLater) escapeLater = true;
    };
    drv.onProcessMessages([&] {
        peer.Pump();
        if (escapeLater && !box.Busy() && ExchangeActive) {
            AbortRequested = 1;
            escapeLater = false;
        }
    });

    const uint8_t a = s.Choice(), b = s.Choice();
    const DeviceDateTime now{24, 3, 20, 10, 0, 0};
    ArchiveReadResult result;
    ArchiveView intoView;
    const bool hourDay = pick < 4;
    const bool daily = kind == ArchiveKind::ChromDay || kind == ArchiveKind::WmtDay;
    // The earliest date a sound record stored may carry (none for index reads).
    std::optional<DeviceDateTime> earliest;
    int earliestUnit = 0;
    uint32_t mostRecords = 0;     // index reads: what was asked for and the most one reply can add
    uint32_t mostReplies = 0;     // hourly and daily reads: the period's hours (days) and one
    if (hourDay) {
        const int minutes = daily ? 1440 : 60;
        const DeviceDateTime begin = Moved(now, -int(a), minutes);
        const DeviceDateTime end = Moved(begin, b, minutes);
        const DeviceDateTime first{begin.year, begin.month, begin.day, uint8_t(daily ? 0 : begin.hour), 0, 0};
        const DeviceDateTime last{end.year, end.month, end.day, uint8_t(daily ? 0 : end.hour), 0, 0};
        mostReplies = uint32_t(std::max<int64_t>(0, PeriodsBetween(first, last, uint8_t(daily ? 1 : 0)))) + 2;
        result = ReadHourDayArchive(host, kind, line, begin, end, into ? &intoView : nullptr);
        // The hour asked for first; a day's record may carry the day before.
        DeviceDateTime low{begin.year, begin.month, begin.day, uint8_t(daily ? 0 : begin.hour), 0, 0};
        if (daily) DecRecWithin(low, 1);
        earliest = low;
        earliestUnit = daily ? 1 : 0;
    } else if (pick < 10) {
        const int minutes = (kind == ArchiveKind::ChromMeas || kind == ArchiveKind::WmtMeas) ? 10 : 360;
        const DeviceDateTime begin = Moved(now, -int(a), minutes);
        const DeviceDateTime end = Moved(begin, b, minutes);
        // A period read keeps whatever the controller sends for the period,
        // also a record it dates a little before the beginning.
        result = ReadPeriodArchive(host, kind, line, begin, end);
    } else {
        const uint32_t first = s.Choice32();
        const uint32_t count = 1 + uint32_t(a) + uint32_t(b & 0x0F) * 256;
        mostRecords = count + uint32_t(255 / size);
        result = pick == 10 ? ReadAlaByIndex(host, first, count) : ReadAudByIndex(host, first, count);
    }
    HgcBox = nullptr;

    Check(ExchangeActive == 0, "a read left the exchange flag up");
    Check(!box.Busy(), "a read left the link busy");
    Check(result.requests <= uint32_t(peer.Requests()), "more usable replies than requests");
    if (hourDay) Check(result.requests <= mostReplies, "an hourly or daily read asked past its period");

    // What the viewer got.
    std::vector<ArchiveView> views = Views();
    if (into) {
        Check(views.empty(), "a read into a view also opened the viewer");
        if (intoView.count > 0) views.push_back(intoView);
    }
    Check(views.size() <= 1, "one read opened more than one viewer");
    const ArchiveView* v = views.empty() ? nullptr : &views[0];
    if (v) {
        Check(v->kind == kind, "the viewer of another kind");
        Check(v->entrySize == size && v->records.size() == std::size_t(v->count) * size,
              "the viewer's records do not fit their count");
        Check(v->header.Count() == v->count, "a header that does not count the records");
        Check(v->count == result.records && v->count > 0, "the viewer got other records than the read says");
    } else {
        Check(result.records == 0, "records said handed on that no viewer got");
    }

    // The temporary file: whole records, exactly those handed on.
    std::ifstream f(TempArchivePath(info.temp), std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(f)), {});
    Check(file.size() % size == 0, "a part record in the temporary file");
    // A read into a view that met a record outside its period hands nothing over.
    if (result.outOfPeriod) Check(into && result.records == 0, "records handed over from outside the period");
    else Check(file.size() / size == result.records, "the temporary file holds other records than the read says");
    if (v) Check(file == v->records, "the viewer got other records than the temporary file holds");

    // Each record came in a reply, and is stored no more often than one
    // reply carried it (hourly and daily reads: once). An hourly or daily
    // file keeps its sound records in time order, and holds one from before
    // the period only when the operator was asked about it.
    std::optional<DeviceDateTime> previous;
    for (std::size_t i = 0; hourDay && i < file.size(); i += size) {
        const uint8_t* rec = file.data() + i;
        DeviceDateTime date = LoadRec6(rec);
        date.minute = date.second = 0;
        if (daily) date.hour = 0;
        if (!RecordCrcOk(rec, size) || !IsValidRec(date)) continue;
        if (previous) Check(CompareRecByUnit(date, *previous, earliestUnit) >= 0, "records stored out of time order");
        previous = date;
        if (periodQuestions == 0 && earliest)
            Check(CompareRecByUnit(date, *earliest, earliestUnit) >= 0, "a record from before the period stored");
    }
    const bool byIndex = !hourDay && pick >= 10;
    if (byIndex) Check(file.size() / size <= mostRecords, "an index read stored more records than it asked for");
    std::map<Bytes, std::size_t> seen;
    for (std::size_t i = 0; i < file.size(); i += size) ++seen[Bytes(file.begin() + i, file.begin() + i + size)];
    for (const auto& [rec, count] : seen) {
        std::size_t most = 0, all = 0;
        for (const Bytes& c : peer.Chunks()) {
            const std::size_t n = Occurrences(c.data(), c.size(), rec.data(), size);
            most = std::max(most, n);
            all += n;
        }
        Check(most > 0, "a record stored that no reply carried");
        Check(count <= (hourDay ? 1 : byIndex ? all : most), "a record stored twice");
    }
}

}  // namespace zbr_fuzz
