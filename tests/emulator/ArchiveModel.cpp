#include "emulator/ArchiveModel.h"

#include <algorithm>
#include <ctime>

#include "common/Crc16.h"
#include "emulator/ArchiveValues.h"
#include "emulator/Dates.h"

namespace emu {

namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;
constexpr int kReplyRoom = 255 - 10;  // frame bytes left for records after the fixed fields of a command-8 reply

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

int64_t Sec(const DeviceTime& t) { return date::ToSeconds(t); }

bool IsHourly(Archive a) { return a == Archive::ChromHourly || a == Archive::WmtHourly; }
bool IsDaily(Archive a) { return a == Archive::ChromDaily || a == Archive::WmtDaily; }
bool IsIndexed(Archive a) { return a == Archive::Diagnostic || a == Archive::Intervention; }
bool HasLines(Archive a) {
    return a == Archive::ChromMeasured || a == Archive::ChromHourly || a == Archive::ChromDaily;
}
bool Powered(Archive a) {  // records that only exist while the controller runs
    return a == Archive::ChromMeasured || a == Archive::WmtMeasured || a == Archive::Calibration ||
           a == Archive::Verification;
}

int DefaultDaysBack(Archive a) {
    switch (a) {
    case Archive::ChromMeasured:
    case Archive::WmtMeasured:
        return 35;
    case Archive::ChromHourly:
    case Archive::WmtHourly:
        return 62;
    default:
        return 400;
    }
}

int64_t IndexPace(Archive a) { return a == Archive::Diagnostic ? 5 * kHour + 13 * 60 : 31 * kHour; }

const int64_t kIndexEpoch = date::DaysFromCivil(2010, 1, 1) * kDay;

void PutU32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

DeviceTime HostNow() {
    std::time_t now = std::time(nullptr);
    std::tm lt{};
    localtime_r(&now, &lt);
    return {static_cast<uint8_t>(lt.tm_year - 100), static_cast<uint8_t>(lt.tm_mon + 1),
            static_cast<uint8_t>(lt.tm_mday),       static_cast<uint8_t>(lt.tm_hour),
            static_cast<uint8_t>(lt.tm_min),        static_cast<uint8_t>(std::min(lt.tm_sec, 59))};
}

void SpoilCrc(Record& r) {
    if (!r.empty()) r.back() ^= 0xA5;
}

// The record's date (its first six bytes) moved by `seconds`, nothing else touched.
void MoveDate(Record& r, int64_t seconds) {
    if (r.size() < 6) return;
    DeviceTime t{};
    std::copy_n(r.begin(), 6, t.begin());
    t = date::FromSeconds(date::ToSeconds(t) + seconds);
    std::copy_n(t.begin(), 6, r.begin());
}

}  // namespace

int RecordSize(Archive a) {
    switch (a) {
    case Archive::ChromMeasured:
    case Archive::ChromHourly:
    case Archive::ChromDaily:
        return 94;
    case Archive::Calibration:
        return 170;
    case Archive::Verification:
        return 90;
    case Archive::WmtMeasured:
        return 29;
    case Archive::WmtHourly:
    case Archive::WmtDaily:
        return 28;
    case Archive::Diagnostic:
        return 22;
    case Archive::Intervention:
        return 24;
    }
    return 0;
}

int RecordsPerReply(Archive a) {
    // Hourly and daily replies carry 2 chromatograph or 8 moisture records,
    // index replies 11 diagnostic or 10 intervention records; a page of a
    // period read as many as fit into one frame.
    if (IsHourly(a) || IsDaily(a)) return a == Archive::WmtHourly || a == Archive::WmtDaily ? 8 : 2;
    if (IsIndexed(a)) return (255 - 13) / RecordSize(a);
    return kReplyRoom / RecordSize(a);
}

ArchiveModel::ArchiveModel(uint32_t seed) : seed_(seed), fixedNow_(HostNow()) {}

// ---- settings ---------------------------------------------------------------

void ArchiveModel::SetNow(const DeviceTime& now) {
    std::lock_guard<std::mutex> lk(m_);
    fixedNow_ = now;
    clock_ = nullptr;
}

void ArchiveModel::SetClock(std::function<DeviceTime()> clock) {
    std::lock_guard<std::mutex> lk(m_);
    clock_ = std::move(clock);
}

DeviceTime ArchiveModel::Now() const {
    std::function<DeviceTime()> c;
    {
        std::lock_guard<std::mutex> lk(m_);
        if (!clock_) return fixedNow_;
        c = clock_;
    }
    return c();
}

void ArchiveModel::SetSeed(uint32_t seed) {
    std::lock_guard<std::mutex> lk(m_);
    seed_ = seed;
}

uint32_t ArchiveModel::Seed() const {
    std::lock_guard<std::mutex> lk(m_);
    return seed_;
}

void ArchiveModel::SetContractHour(int hour) {
    std::lock_guard<std::mutex> lk(m_);
    if (hour >= 0 && hour < 24) contractHour_ = hour;
}

int ArchiveModel::ContractHour() const {
    std::lock_guard<std::mutex> lk(m_);
    return contractHour_;
}

void ArchiveModel::Reset() {
    std::lock_guard<std::mutex> lk(m_);
    spans_ = {};
    bounds_ = {};
    gaps_.clear();
    off_.clear();
    corrupt_.clear();
    moved_.clear();
    repeated_.clear();
    skipBrokenAtStart_ = false;
    faults_.clear();
    series_ = {};
    requests_ = 0;
}

void ArchiveModel::SetSpan(Archive a, const DeviceTime& from, std::optional<DeviceTime> to) {
    std::lock_guard<std::mutex> lk(m_);
    Span& s = spans_[static_cast<int>(a)];
    s.set = true;
    s.from = Sec(from);
    s.to.reset();
    if (to) s.to = Sec(*to);
}

void ArchiveModel::SetSpanEnd(Archive a, std::optional<DeviceTime> to) {
    std::lock_guard<std::mutex> lk(m_);
    Span& s = spans_[static_cast<int>(a)];
    s.to.reset();
    if (to) s.to = Sec(*to);
}

void ArchiveModel::DefaultSpan(Archive a) {
    std::lock_guard<std::mutex> lk(m_);
    spans_[static_cast<int>(a)] = Span{};
}

void ArchiveModel::AddGap(Archive a, int line, const DeviceTime& from, const DeviceTime& to) {
    std::lock_guard<std::mutex> lk(m_);
    int64_t f = Sec(from), t = Sec(to);
    if (IsHourly(a)) f = FloorDiv(f, kHour) * kHour, t = FloorDiv(t, kHour) * kHour;
    if (IsDaily(a)) f = FloorDiv(f, kDay) * kDay, t = FloorDiv(t, kDay) * kDay;
    gaps_.push_back(Gap{a, HasLines(a) ? line : -1, f, t});
}

void ArchiveModel::AddOffPeriod(const DeviceTime& from, const DeviceTime& to) {
    std::lock_guard<std::mutex> lk(m_);
    off_.emplace_back(Sec(from), Sec(to));
}

void ArchiveModel::CorruptRecordAt(Archive a, int line, const DeviceTime& at) {
    std::lock_guard<std::mutex> lk(m_);
    const int64_t t = Sec(at);
    if (IsIndexed(a)) {
        const int64_t k = SlotAtOrAfter(a, 0, t);
        corrupt_.push_back(Gap{a, -1, k, k});
    } else if (IsHourly(a) || IsDaily(a)) {
        const int64_t unit = IsHourly(a) ? kHour : kDay;
        const int64_t key = FloorDiv(t, unit) * unit;
        corrupt_.push_back(Gap{a, HasLines(a) ? line : -1, key, key});
    } else {
        for (int l = 0; l < 2; ++l) {
            if (HasLines(a) ? (line >= 0 && line != l) : l > 0) continue;
            const int64_t key = SlotTime(a, l, SlotAtOrAfter(a, l, t));
            corrupt_.push_back(Gap{a, HasLines(a) ? l : -1, key, key});
        }
    }
}

void ArchiveModel::CorruptIndex(Archive a, uint32_t index) {
    std::lock_guard<std::mutex> lk(m_);
    if (IsIndexed(a)) corrupt_.push_back(Gap{a, -1, index, index});
}

void ArchiveModel::MoveRecordDate(Archive a, int line, const DeviceTime& at, int steps) {
    std::lock_guard<std::mutex> lk(m_);
    if (!IsHourly(a) && !IsDaily(a)) return;
    const int64_t unit = IsHourly(a) ? kHour : kDay;
    const int64_t key = FloorDiv(Sec(at), unit) * unit;
    moved_.emplace_back(Gap{a, HasLines(a) ? line : -1, key, key}, steps);
}

void ArchiveModel::RepeatIndex(Archive a, uint32_t index) {
    std::lock_guard<std::mutex> lk(m_);
    if (IsIndexed(a) && index > 0) repeated_.push_back(Gap{a, -1, index, index});
}

void ArchiveModel::SetSkipBrokenAtStart(bool on) {
    std::lock_guard<std::mutex> lk(m_);
    skipBrokenAtStart_ = on;
}

void ArchiveModel::SetIndexBounds(Archive a, uint32_t oldest, uint32_t newest) {
    const int64_t now = Sec(Now());
    std::lock_guard<std::mutex> lk(m_);
    if (!IsIndexed(a)) return;
    Bounds& b = bounds_[static_cast<int>(a)];
    b.set = true;
    b.oldest = oldest;
    b.newest = newest;
    b.anchor = now - 60;
}

void ArchiveModel::AutoIndexBounds(Archive a) {
    std::lock_guard<std::mutex> lk(m_);
    bounds_[static_cast<int>(a)] = Bounds{};
}

std::pair<uint32_t, uint32_t> ArchiveModel::IndexBounds(Archive a) const {
    const int64_t now = Sec(Now());
    std::lock_guard<std::mutex> lk(m_);
    const auto v = IndexTableLocked(a, now);
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (uint32_t(v[at + 3]) << 24));
    };
    return {u32(0), u32(4)};
}

void ArchiveModel::QueueFault(ArchiveFault f) {
    std::lock_guard<std::mutex> lk(m_);
    faults_.emplace_back(f, std::max(1, f.request));
}

void ArchiveModel::ClearFaults() {
    std::lock_guard<std::mutex> lk(m_);
    faults_.clear();
}

size_t ArchiveModel::PendingFaults() const {
    std::lock_guard<std::mutex> lk(m_);
    return faults_.size();
}

int ArchiveModel::Requests() const {
    std::lock_guard<std::mutex> lk(m_);
    return requests_;
}

// ---- time slots -------------------------------------------------------------
//
// Every archive is a sequence of slots numbered by a cursor k, each with a
// time that grows with k: analyses every 3 minutes (a few seconds of jitter,
// the lines and the moisture meter offset from each other), hours, gas days
// (keyed by their date), weekly calibrations and daily verifications of
// line 1 then line 2, and the index archives, whose cursor is the index.

int64_t ArchiveModel::SpanFrom(Archive a, int64_t now) const {
    const Span& s = spans_[static_cast<int>(a)];
    if (s.set) return s.from;
    return (FloorDiv(now, kDay) - DefaultDaysBack(a)) * kDay;
}

int64_t ArchiveModel::SpanEnd(Archive a, int64_t now) const {
    const Span& s = spans_[static_cast<int>(a)];
    return s.to ? std::min(now, *s.to) : now;
}

int64_t ArchiveModel::SlotTime(Archive a, int line, int64_t k) const {
    auto jitter = [&](int64_t range, uint64_t salt) {
        return static_cast<int64_t>(arch::Unit01(seed_, static_cast<uint64_t>(k), salt, static_cast<uint64_t>(a)) * range);
    };
    switch (a) {
    case Archive::ChromMeasured:
        return k * 180 + (line == 1 ? 137 : 47) + jitter(5, 11 + line);
    case Archive::WmtMeasured:
        return k * 180 + 95 + jitter(5, 13);
    case Archive::ChromHourly:
    case Archive::WmtHourly:
        return k * kHour;
    case Archive::ChromDaily:
    case Archive::WmtDaily:
        return k * kDay;
    case Archive::Calibration: {
        const int64_t week = FloorDiv(k, 2), l = k - 2 * week;
        return week * 7 * kDay + 4 * kHour + 15 * 60 + l * 35 * 60 + jitter(120, 17);
    }
    case Archive::Verification: {
        const int64_t day = FloorDiv(k, 2), l = k - 2 * day;
        return day * kDay + 10 * kHour + 5 * 60 + l * 30 * 60 + jitter(120, 19);
    }
    case Archive::Diagnostic:
    case Archive::Intervention: {
        const Bounds& b = bounds_[static_cast<int>(a)];
        const int64_t pace = IndexPace(a);
        if (b.set) return b.anchor - (static_cast<int64_t>(b.newest) - k) * pace - jitter(pace / 2, 23);
        return kIndexEpoch + (k - 1) * pace + jitter(pace / 2, 23);
    }
    }
    return 0;
}

int64_t ArchiveModel::SlotAtOrAfter(Archive a, int line, int64_t t) const {
    int64_t est;
    switch (a) {
    case Archive::ChromHourly:
    case Archive::WmtHourly:
        return CeilDiv(t, kHour);
    case Archive::ChromDaily:
    case Archive::WmtDaily:
        return CeilDiv(t, kDay);
    case Archive::ChromMeasured:
    case Archive::WmtMeasured:
        est = FloorDiv(t, 180);
        break;
    case Archive::Calibration:
        est = FloorDiv(t, 7 * kDay) * 2;
        break;
    case Archive::Verification:
        est = FloorDiv(t, kDay) * 2;
        break;
    default: {
        const Bounds& b = bounds_[static_cast<int>(a)];
        const int64_t pace = IndexPace(a);
        est = b.set ? static_cast<int64_t>(b.newest) - FloorDiv(b.anchor - t, pace) : FloorDiv(t - kIndexEpoch, pace) + 1;
        break;
    }
    }
    int64_t k = est - 2;
    while (SlotTime(a, line, k) >= t) k -= 8;
    while (SlotTime(a, line, k) < t) ++k;
    return k;
}

std::pair<int64_t, int64_t> ArchiveModel::IndexRange(Archive a, int64_t now) const {
    const Bounds& b = bounds_[static_cast<int>(a)];
    if (b.set) {
        if (b.oldest == b.newest && b.oldest != 0) return {b.oldest, static_cast<int64_t>(b.oldest) - 1};
        return {b.oldest, b.newest};
    }
    const int64_t oldest = std::max<int64_t>(1, SlotAtOrAfter(a, 0, SpanFrom(a, now)));
    const int64_t newest = std::min<int64_t>(0xFFFFFFFFLL, SlotAtOrAfter(a, 0, SpanEnd(a, now) + 1) - 1);
    return {oldest, newest};
}

bool ArchiveModel::InGap(Archive a, int line, int64_t key) const {
    for (const Gap& g : gaps_)
        if (g.a == a && (g.line < 0 || g.line == line) && key >= g.from && key <= g.to) return true;
    return false;
}

bool ArchiveModel::Corrupted(Archive a, int line, int64_t k) const {
    const int64_t key = IsIndexed(a) ? k : SlotTime(a, line, k);
    for (const Gap& g : corrupt_)
        if (g.a == a && (g.line < 0 || g.line == line) && key == g.from) return true;
    return false;
}

int ArchiveModel::MovedBy(Archive a, int line, int64_t k) const {
    if (!IsHourly(a) && !IsDaily(a)) return 0;
    const int64_t key = SlotTime(a, line, k);
    for (const auto& [g, steps] : moved_)
        if (g.a == a && (g.line < 0 || g.line == line) && key == g.from) return steps;
    return 0;
}

bool ArchiveModel::StoredBroken(Archive a, int line, int64_t k) const {
    return Corrupted(a, line, k) || MovedBy(a, line, k) != 0;
}

bool ArchiveModel::Repeats(Archive a, int64_t k) const {
    for (const Gap& g : repeated_)
        if (g.a == a && k == g.from) return true;
    return false;
}

bool ArchiveModel::Exists(Archive a, int line, int64_t k, int64_t now) const {
    const int64_t t = SlotTime(a, line, k);
    if (InGap(a, line, t)) return false;
    if (IsIndexed(a)) {
        const auto r = IndexRange(a, now);
        return k >= r.first && k <= r.second;
    }
    if (IsHourly(a) || IsDaily(a)) {
        const int64_t end = IsHourly(a) ? t + kHour : t + kDay + contractHour_ * kHour;
        return end <= SpanEnd(a, now) && end > SpanFrom(a, now);
    }
    if (t < SpanFrom(a, now) || t > SpanEnd(a, now)) return false;
    if (Powered(a))
        for (const auto& o : off_)
            if (t >= o.first && t <= o.second) return false;
    return true;
}

// The first slot from cursor k on that holds a record, with a key not after
// lastKey. Skips whole gaps, off periods and the time before the span.
std::optional<ArchiveModel::Slot> ArchiveModel::NextExisting(Archive a, int line, int64_t k, int64_t lastKey,
                                                            int64_t now) const {
    std::pair<int64_t, int64_t> range{0, -1};
    if (IsIndexed(a)) range = IndexRange(a, now);
    const int64_t from = SpanFrom(a, now), end = SpanEnd(a, now);
    for (int guard = 0; guard < 1000000; ++guard) {
        const int64_t t = SlotTime(a, line, k);
        if (t > lastKey) return std::nullopt;
        if (IsIndexed(a)) {
            if (k < range.first) {
                k = range.first;
                continue;
            }
            if (k > range.second) return std::nullopt;
        } else if (IsHourly(a) || IsDaily(a)) {
            const int64_t unit = IsHourly(a) ? kHour : kDay;
            const int64_t ends = t + unit + (IsDaily(a) ? contractHour_ * kHour : 0);
            if (ends > end) return std::nullopt;
            if (ends <= from) {
                k = std::max(k + 1, FloorDiv(from - (ends - t), unit) + 1);
                continue;
            }
        } else {
            if (t > end) return std::nullopt;
            if (t < from) {
                k = std::max(k + 1, SlotAtOrAfter(a, line, from));
                continue;
            }
            if (Powered(a)) {
                bool moved = false;
                for (const auto& o : off_)
                    if (t >= o.first && t <= o.second) {
                        k = std::max(k + 1, SlotAtOrAfter(a, line, o.second + 1));
                        moved = true;
                        break;
                    }
                if (moved) continue;
            }
        }
        bool gap = false;
        for (const Gap& g : gaps_)
            if (g.a == a && (g.line < 0 || g.line == line) && t >= g.from && t <= g.to) {
                k = std::max(k + 1, SlotAtOrAfter(a, line, g.to + 1));
                gap = true;
                break;
            }
        if (gap) continue;
        return Slot{k, t};
    }
    return std::nullopt;
}

std::vector<ArchiveModel::Slot> ArchiveModel::CollectSlots(Archive a, int line, int64_t k, int64_t lastKey,
                                                           int64_t now, size_t max, int64_t* nextCursor) const {
    std::vector<Slot> out;
    while (out.size() < max) {
        const auto s = NextExisting(a, line, k, lastKey, now);
        if (!s) break;
        out.push_back(*s);
        k = s->k + 1;
    }
    if (nextCursor) *nextCursor = k;
    return out;
}

std::vector<Record> ArchiveModel::Collect(Archive a, int line, int64_t k, int64_t lastKey, int64_t now,
                                          size_t max) const {
    std::vector<Record> out;
    for (const Slot& s : CollectSlots(a, line, k, lastKey, now, max, nullptr)) out.push_back(Make(a, line, s.k, now));
    return out;
}

Record ArchiveModel::Make(Archive a, int line, int64_t k, int64_t now) const {
    if (IsIndexed(a) && Repeats(a, k)) return Make(a, line, k - 1, now);
    Record r;
    switch (a) {
    case Archive::ChromMeasured:
        r = MakeChromMeasured(line, SlotTime(a, line, k));
        break;
    case Archive::ChromHourly:
    case Archive::ChromDaily:
    case Archive::WmtHourly:
    case Archive::WmtDaily:
        r = MakeHdm(a, line, k, now);
        break;
    case Archive::Calibration:
        r = MakeCalib(static_cast<int>(k - 2 * FloorDiv(k, 2)), k, SlotTime(a, line, k));
        break;
    case Archive::Verification:
        r = MakeVerif(static_cast<int>(k - 2 * FloorDiv(k, 2)), k, SlotTime(a, line, k));
        break;
    case Archive::WmtMeasured:
        r = MakeWmtMeasured(SlotTime(a, line, k));
        break;
    case Archive::Diagnostic:
        r = MakeDiagnostic(k, SlotTime(a, line, k));
        break;
    case Archive::Intervention:
        r = MakeIntervention(k, SlotTime(a, line, k));
        break;
    }
    if (const int steps = MovedBy(a, line, k)) MoveDate(r, steps * (IsHourly(a) ? kHour : kDay));
    if (Corrupted(a, line, k)) SpoilCrc(r);
    return r;
}

// ---- bounds tables ----------------------------------------------------------

std::vector<uint8_t> ArchiveModel::Table27() const { return Table27(Now()); }

std::vector<uint8_t> ArchiveModel::Table27(const DeviceTime& now) const {
    std::lock_guard<std::mutex> lk(m_);
    return Table27Locked(Sec(now));
}

std::vector<uint8_t> ArchiveModel::IndexTable(Archive a) const { return IndexTable(a, Now()); }

std::vector<uint8_t> ArchiveModel::IndexTable(Archive a, const DeviceTime& now) const {
    std::lock_guard<std::mutex> lk(m_);
    return IndexTableLocked(a, Sec(now));
}

std::vector<uint8_t> ArchiveModel::Table27Locked(int64_t now) const {
    static const DeviceTime kNone{1, 1, 1, 0, 0, 0};
    std::vector<uint8_t> v;
    auto put = [&](const DeviceTime& t) { v.insert(v.end(), t.begin(), t.end()); };

    // Measured values: the earlier first analysis of the two lines.
    std::optional<int64_t> first;
    for (int line = 0; line < 2; ++line) {
        const Archive a = Archive::ChromMeasured;
        if (auto s = NextExisting(a, line, SlotAtOrAfter(a, line, SpanFrom(a, now)), SpanEnd(a, now), now))
            first = first ? std::min(*first, s->t) : s->t;
    }
    put(first ? date::FromSeconds(*first) : kNone);

    // Hourly and daily values: the start of the oldest record of line 1. A
    // gas day's record is dated by the day it begins on; when its start lies
    // before the contract hour (a day that began in the small hours of the
    // next date) the seconds byte carries bit 7.
    for (Archive a : {Archive::ChromHourly, Archive::ChromDaily}) {
        const int64_t unit = a == Archive::ChromHourly ? kHour : kDay;
        const auto s = NextExisting(a, 0, FloorDiv(SpanFrom(a, now), unit) - 1, SpanEnd(a, now), now);
        if (!s) {
            put(kNone);
            continue;
        }
        const Record r = Make(a, 0, s->k, now);
        int64_t start = FloorDiv(s->t, kDay) * kDay + r[3] * kHour + r[4] * 60 + r[5];
        if (a == Archive::ChromDaily && r[3] < contractHour_) start += kDay;
        DeviceTime d = date::FromSeconds(start);
        if (a == Archive::ChromDaily && r[3] < contractHour_) d[5] |= 0x80;
        put(d);
    }
    return v;
}

std::vector<uint8_t> ArchiveModel::IndexTableLocked(Archive a, int64_t now) const {
    std::vector<uint8_t> v;
    if (!IsIndexed(a)) return std::vector<uint8_t>(8, 0);
    const Bounds& b = bounds_[static_cast<int>(a)];
    if (b.set) {
        PutU32(v, b.oldest);
        PutU32(v, b.newest);
        return v;
    }
    const auto r = IndexRange(a, now);
    const uint32_t oldest = static_cast<uint32_t>(r.first);
    PutU32(v, oldest);
    PutU32(v, r.second < r.first ? oldest : static_cast<uint32_t>(r.second));
    return v;
}

// ---- expected records -------------------------------------------------------

std::vector<Record> ArchiveModel::Records(Archive a, int line, const DeviceTime& from, const DeviceTime& to) const {
    const int64_t now = Sec(Now());
    std::lock_guard<std::mutex> lk(m_);
    if (!HasLines(a)) line = 0;
    int64_t f = Sec(from), t = Sec(to);
    if (IsHourly(a)) f = FloorDiv(f, kHour) * kHour, t = FloorDiv(t, kHour) * kHour;
    if (IsDaily(a)) f = FloorDiv(f, kDay) * kDay, t = FloorDiv(t, kDay) * kDay;
    return Collect(a, line, SlotAtOrAfter(a, line, f), t, now, SIZE_MAX);
}

std::vector<Record> ArchiveModel::IndexRecords(Archive a, uint32_t first, uint32_t count) const {
    const int64_t now = Sec(Now());
    std::lock_guard<std::mutex> lk(m_);
    std::vector<Record> out;
    if (!IsIndexed(a)) return out;
    for (int64_t k = first; k < static_cast<int64_t>(first) + count; ++k)
        if (Exists(a, 0, k, now)) out.push_back(Make(a, 0, k, now));
    return out;
}

// ---- commands ---------------------------------------------------------------

ArchiveReply ArchiveModel::Answer(uint8_t command, const std::vector<uint8_t>& data) {
    return Answer(command, data, Now());
}

ArchiveReply ArchiveModel::Answer(uint8_t command, const std::vector<uint8_t>& data, const DeviceTime& nowTime) {
    const int64_t now = Sec(nowTime);
    std::lock_guard<std::mutex> lk(m_);
    ++requests_;
    std::vector<ArchiveFault> due;
    for (auto it = faults_.begin(); it != faults_.end();) {
        if (--it->second <= 0) {
            due.push_back(it->first);
            it = faults_.erase(it);
        } else {
            ++it;
        }
    }
    ArchiveReply rep;
    for (const ArchiveFault& f : due)
        if (f.kind == ArchiveFaultKind::Silence) {
            rep.silent = true;
            return rep;
        }
    for (const ArchiveFault& f : due)
        if (f.kind == ArchiveFaultKind::ErrorReply) {
            rep.error = true;
            rep.code = static_cast<uint8_t>(f.param);
            return rep;
        }
    auto fail = [](uint8_t code) {
        ArchiveReply r;
        r.error = true;
        r.code = code;
        return r;
    };
    switch (command) {
    case 7:
        if (data.size() != 7) return fail(err::BadLength);
        return ByIndex(data, now, due);
    case 8:
        if (data.size() != 15) return fail(err::BadLength);
        return ByPeriod(data, now, due);
    case 15:
        if (data.size() != 11) return fail(err::BadLength);
        return HourDay(command, data, now, due);
    case 16:
        if (data.size() != 9) return fail(err::BadLength);
        return HourDay(command, data, now, due);
    default:
        return fail(err::UnknownCommand);
    }
}

namespace {

constexpr uint8_t kPageOrder = 20;    // "Порушена послідовність запитів у серії"
constexpr uint8_t kOtherPeriod = 21;  // "Інший діапазон часу в серії запитів"
constexpr uint8_t kBadPeriod = 22;    // "Неправильний діапазон часу"

ArchiveReply Refuse(uint8_t code) {
    ArchiveReply r;
    r.error = true;
    r.code = code;
    return r;
}

int Steps(const ArchiveFault& f) { return f.param > 0 ? f.param : 1; }

// Corrupt records and a count byte that claims too much.
int SpoilRecords(std::vector<Record>& recs, const std::vector<ArchiveFault>& faults) {
    int extra = 0;
    for (const ArchiveFault& f : faults) {
        if (f.kind == ArchiveFaultKind::CorruptRecord && !recs.empty())
            SpoilCrc(recs[std::min<size_t>(static_cast<size_t>(std::max(0, f.param)), recs.size() - 1)]);
        if (f.kind == ArchiveFaultKind::ShortReply) extra += Steps(f);
    }
    return extra;
}

bool Has(const std::vector<ArchiveFault>& faults, ArchiveFaultKind k) {
    for (const ArchiveFault& f : faults)
        if (f.kind == k) return true;
    return false;
}

void AppendRecords(std::vector<uint8_t>& data, const std::vector<Record>& recs) {
    for (const Record& r : recs) data.insert(data.end(), r.begin(), r.end());
}

}  // namespace

// Command 7. Request: 0, archive (0 diagnostic, 1 interventions), u32 first
// index, count. Reply: 0, archive, u32 first index, n, the records of the
// indices first..first+count-1 that exist (at most 11 or 10).
ArchiveReply ArchiveModel::ByIndex(const std::vector<uint8_t>& d, int64_t now, std::vector<ArchiveFault>& faults) {
    if (d[0] != 0 || d[1] > 1 || d[6] == 0) return Refuse(err::BadParams);
    const Archive a = d[1] == 0 ? Archive::Diagnostic : Archive::Intervention;
    const uint32_t first = d[2] | (d[3] << 8) | (d[4] << 16) | (uint32_t(d[5]) << 24);
    const int64_t count = std::min<int64_t>(d[6], RecordsPerReply(a));
    std::vector<Record> recs;
    if (!Has(faults, ArchiveFaultKind::Empty))
        for (int64_t k = first; k < static_cast<int64_t>(first) + count; ++k)
            if (Exists(a, 0, k, now)) recs.push_back(Make(a, 0, k, now));
    const int extra = SpoilRecords(recs, faults);
    ArchiveReply rep;
    rep.data = {0, d[1], d[2], d[3], d[4], d[5], static_cast<uint8_t>(recs.size() + extra)};
    AppendRecords(rep.data, recs);
    return rep;
}

// Command 8. Request: line*16 + device, kind, page, begin, end. Reply:
// status (bit 7: archive error), page, n, more-data flag, n records.
ArchiveReply ArchiveModel::ByPeriod(const std::vector<uint8_t>& d, int64_t now, std::vector<ArchiveFault>& faults) {
    const int line = d[0] >> 4, device = d[0] & 0x0F, kind = d[1], page = d[2];
    Archive a;
    switch (kind) {
    case 0:
    case 1:
    case 5:
    case 7:
        if (d[0] != 0) return Refuse(err::BadParams);
        a = kind == 0 ? Archive::Diagnostic
            : kind == 1 ? Archive::Intervention
            : kind == 5 ? Archive::Calibration
                        : Archive::Verification;
        break;
    case 6:
        if (device == 0 && line <= 1) a = Archive::ChromMeasured;
        else if (device == 1 && line == 0) a = Archive::WmtMeasured;
        else return Refuse(err::BadParams);
        break;
    default:
        return Refuse(err::BadParams);
    }
    DeviceTime b, e;
    std::copy_n(d.begin() + 3, 6, b.begin());
    std::copy_n(d.begin() + 9, 6, e.begin());
    if (!IsValidDeviceTime(b) || !IsValidDeviceTime(e)) return Refuse(kBadPeriod);
    const int64_t begin = Sec(b), end = Sec(e);
    if (end < begin) return Refuse(kBadPeriod);
    const int ln = HasLines(a) ? line : 0;

    Series& s = series_[(kind & 7) * 8 + (line & 3) * 2 + (device & 1)];
    std::array<uint8_t, 12> period;
    std::copy_n(d.begin() + 3, 12, period.begin());
    int64_t cursor;
    if (page == 0) {
        s = Series{};
        s.open = true;
        s.period = period;
        cursor = SlotAtOrAfter(a, ln, begin);
    } else {
        if (!s.open) return Refuse(kPageOrder);
        if (s.period != period) return Refuse(kOtherPeriod);
        if (page == s.lastPage) cursor = s.pageStart;           // the same page again
        else if (page == s.lastPage % 255 + 1) cursor = s.next;  // the next page
        else return Refuse(kPageOrder);
    }
    const size_t per = static_cast<size_t>(RecordsPerReply(a));
    int64_t next = cursor;
    std::vector<Slot> slots;
    if (!Has(faults, ArchiveFaultKind::Empty)) slots = CollectSlots(a, ln, cursor, end, now, per, &next);
    bool more = !Has(faults, ArchiveFaultKind::Empty) && NextExisting(a, ln, next, end, now).has_value();
    std::vector<Record> recs;
    for (const Slot& sl : slots) recs.push_back(Make(a, ln, sl.k, now));

    for (const ArchiveFault& f : faults) {
        if (f.kind == ArchiveFaultKind::EarlyRecord) {
            recs.insert(recs.begin(), Make(a, ln, SlotAtOrAfter(a, ln, begin) - Steps(f), now));
            if (recs.size() > per) {  // the record pushed out comes with the next page
                recs.pop_back();
                slots.pop_back();
                next = slots.empty() ? cursor : slots.back().k + 1;
                more = true;
            }
        }
        if (f.kind == ArchiveFaultKind::LateRecord) {
            Record late = Make(a, ln, SlotAtOrAfter(a, ln, end + 1) + Steps(f) - 1, now);
            if (recs.size() >= per && !recs.empty()) recs.back() = std::move(late);
            else recs.push_back(std::move(late));
        }
    }
    s.lastPage = page;
    s.pageStart = cursor;
    s.next = next;
    uint8_t status = 0;
    for (const ArchiveFault& f : faults)
        if (f.kind == ArchiveFaultKind::ArchiveError) {
            status |= 0x80;
            if (f.param == 1) recs.clear();
        }
    const int extra = SpoilRecords(recs, faults);
    ArchiveReply rep;
    rep.data = {status, static_cast<uint8_t>(page), static_cast<uint8_t>(recs.size() + extra),
                static_cast<uint8_t>(more ? 1 : 0)};
    AppendRecords(rep.data, recs);
    return rep;
}

// Commands 15 and 16. Request: 3, line, device (0 chromatograph, 1 moisture
// meter), first hour {Y, M, D, H} and last hour (16: days {Y, M, D}). Reply:
// n and the records from the first hour/day on, at most a full reply (with
// SetSkipBrokenAtStart: from the first sound record on).
ArchiveReply ArchiveModel::HourDay(uint8_t command, const std::vector<uint8_t>& d, int64_t now,
                                   std::vector<ArchiveFault>& faults) {
    const bool hourly = command == 15;
    const int line = d[1], device = d[2];
    if (d[0] != 3 || device > 1 || line > 1 || (device == 1 && line != 0)) return Refuse(err::BadParams);
    const Archive a = device == 0 ? (hourly ? Archive::ChromHourly : Archive::ChromDaily)
                                  : (hourly ? Archive::WmtHourly : Archive::WmtDaily);
    const int w = hourly ? 4 : 3;
    DeviceTime f{}, l{};
    std::copy_n(d.begin() + 3, w, f.begin());
    std::copy_n(d.begin() + 3 + w, w, l.begin());
    if (!IsValidDeviceTime(f) || !IsValidDeviceTime(l)) return Refuse(kBadPeriod);
    const int64_t unit = hourly ? kHour : kDay;
    const int64_t firstKey = Sec(f), lastKey = Sec(l);
    if (lastKey < firstKey) return Refuse(kBadPeriod);
    const size_t full = static_cast<size_t>(RecordsPerReply(a));
    int64_t k = firstKey / unit;
    if (skipBrokenAtStart_)
        while (const auto s = NextExisting(a, line, k, lastKey, now)) {
            k = s->k;
            if (!StoredBroken(a, line, k)) break;
            ++k;
        }
    std::vector<Record> recs;
    if (!Has(faults, ArchiveFaultKind::Empty)) recs = Collect(a, line, k, lastKey, now, full);
    for (const ArchiveFault& flt : faults) {
        if (flt.kind == ArchiveFaultKind::EarlyRecord) {
            recs.insert(recs.begin(), Make(a, line, firstKey / unit - Steps(flt), now));
            if (recs.size() > full) recs.pop_back();
        }
        if (flt.kind == ArchiveFaultKind::LateRecord) {
            Record late = Make(a, line, lastKey / unit + Steps(flt), now);
            if (recs.size() >= full) recs.back() = std::move(late);
            else recs.push_back(std::move(late));
        }
    }
    for (const ArchiveFault& flt : faults)
        if (flt.kind == ArchiveFaultKind::FreshBytes)
            for (Record& r : recs) {
                MoveDate(r, -Steps(flt) * unit);
                const uint8_t salt = static_cast<uint8_t>(requests_ * 2 + 1);
                for (size_t i = 6; i + 2 < r.size(); ++i) r[i] ^= salt;
                if (Crc16(r.data(), r.size()) == 0) SpoilCrc(r);
            }
    for (const ArchiveFault& flt : faults)
        if (flt.kind == ArchiveFaultKind::SpoilLast && !recs.empty() && recs.size() >= full) {
            Record& r = recs.back();
            MoveDate(r, flt.param * unit);
            if (Crc16(r.data(), r.size()) == 0) SpoilCrc(r);
        }
    const int extra = SpoilRecords(recs, faults);
    ArchiveReply rep;
    rep.data = {static_cast<uint8_t>(recs.size() + extra)};
    AppendRecords(rep.data, recs);
    return rep;
}

}  // namespace emu
