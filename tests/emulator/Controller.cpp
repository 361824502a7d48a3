#include "emulator/Controller.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "emulator/Dates.h"
#include "emulator/Text.h"

namespace emu {

namespace {

// rows, row size, configuration flag, by table number
constexpr TableShape kShapes[kTableCount] = {
    {18, 1, false}, {0, 0, false},  {8, 1, true},   {4, 1, true},   {16, 22, true}, {3, 20, true},
    {12, 1, true},  {47, 1, false}, {2, 1, false},  {6, 1, true},   {2, 4, false},  {2, 4, false},
    {2, 4, false},  {16, 16, true}, {14, 1, true},  {8, 1, true},   {18, 1, false}, {16, 1, true},
    {16, 1, true},  {16, 1, true},  {16, 1, true},  {20, 1, true},  {20, 4, true},  {20, 4, true},
    {20, 4, true},  {20, 4, true},  {20, 4, true},  {3, 6, false},  {2, 1, true},   {7, 4, true},
    {22, 4, false}, {0, 0, false},  {20, 1, false}, {2, 1, false},  {16, 1, false}, {16, 1, false},
    {0, 0, false},  {7, 4, false},  {22, 4, false}, {20, 1, false}, {0, 0, false},  {1, 4, false},
    {6, 1, false},  {20, 1, true},  {20, 4, true},  {20, 1, true},  {20, 4, true},
};

constexpr int kBaudRates[] = {300,   600,   1200,  2400,  3200,  3600,  4800,  5760,
                              6400,  7200,  7680,  9600,  11520, 12800, 14400, 19200,
                              23040, 28800, 38400, 57600, 115200, 230400};

constexpr int kMaxWriteData = 229;  // rows a single write request can carry

constexpr uint8_t kOrdinaryVersion = 11;  // software version (table 0 byte 3)
constexpr uint8_t kRecoveryVersion = 14;

int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool IsBlank(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] != ' ' && p[i] != 0) return false;
    return true;
}

}  // namespace

// ---- dates ------------------------------------------------------------------

namespace date {

int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int DaysInMonth(int y, int m) {
    static const int k[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return k[(m - 1) % 12];
}

int WeekdayOfDays(int64_t days) { return static_cast<int>(((days % 7) + 11) % 7); }

int64_t ToSeconds(const DeviceTime& t) {
    return DaysFromCivil(2000 + t[0], t[1], t[2]) * 86400 + t[3] * 3600 + t[4] * 60 + t[5];
}

DeviceTime FromSeconds(int64_t s) {
    int64_t days = s >= 0 ? s / 86400 : (s - 86399) / 86400;
    int64_t rem = s - days * 86400;
    int y, m, d;
    CivilFromDays(days, y, m, d);
    return {static_cast<uint8_t>(y - 2000), static_cast<uint8_t>(m), static_cast<uint8_t>(d),
            static_cast<uint8_t>(rem / 3600), static_cast<uint8_t>(rem / 60 % 60), static_cast<uint8_t>(rem % 60)};
}

// Day of the month on which a summer/winter transition falls. Day byte: bit 7
// clear = day of the month; set = bits 0..2 n, bits 3..5 weekday (1 Sunday),
// bit 6 counted from the end of the month (n = 1 the last).
int TransitionDay(int year, int month, uint8_t dayByte) {
    const int dim = DaysInMonth(year, month);
    int day;
    if (!(dayByte & 0x80)) {
        day = dayByte & 0x7F;
    } else {
        const int n = std::max(1, dayByte & 7);
        const int wd = std::clamp(((dayByte >> 3) & 7) - 1, 0, 6);
        if (!(dayByte & 0x40)) {
            const int first = WeekdayOfDays(DaysFromCivil(year, month, 1));
            day = 1 + (wd - first + 7) % 7 + (n - 1) * 7;
        } else {
            const int last = WeekdayOfDays(DaysFromCivil(year, month, dim));
            day = dim - (last - wd + 7) % 7 - (n - 1) * 7;
        }
    }
    return std::clamp(day, 1, dim);
}

uint8_t SeasonFlag(const DeviceTime& t, const std::vector<uint8_t>& rules) {
    if (rules.size() < 6 || rules[0] < 1 || rules[0] > 12 || rules[3] < 1 || rules[3] > 12) return 1;
    const int year = 2000 + t[0];
    const int64_t now = ToSeconds(t);
    auto at = [&](int month, uint8_t dayByte, int hour) {
        return DaysFromCivil(year, month, TransitionDay(year, month, dayByte)) * 86400 + hour * 3600;
    };
    const int64_t summer = at(rules[0], rules[1], rules[2]);
    const int64_t winter = at(rules[3], rules[4], rules[5]);
    return (now >= summer && now < winter) ? 0 : 1;
}

}  // namespace date

// ---- free functions ---------------------------------------------------------

TableShape Shape(int t) { return (t >= 0 && t < kTableCount) ? kShapes[t] : TableShape{}; }

int CodeToBaud(int code) { return (code >= 0 && code < 22) ? kBaudRates[code] : 0; }

int BaudToCode(int baud) {
    for (int i = 0; i < 22; ++i)
        if (kBaudRates[i] == baud) return i;
    return -1;
}

bool IsValidDeviceTime(const DeviceTime& t) {
    return t[0] <= 99 && t[1] >= 1 && t[1] <= 12 && t[2] >= 1 && t[2] <= date::DaysInMonth(2000 + t[0], t[1]) &&
           t[3] < 24 && t[4] < 60 && t[5] < 60;
}

// ---- controller -------------------------------------------------------------

Controller::Controller(uint32_t seed) : seed_(seed) {
    // The clock starts at the host's local time.
    std::time_t now = std::time(nullptr);
    std::tm lt{};
    localtime_r(&now, &lt);
    DeviceTime t{static_cast<uint8_t>(lt.tm_year - 100), static_cast<uint8_t>(lt.tm_mon + 1),
                 static_cast<uint8_t>(lt.tm_mday), static_cast<uint8_t>(lt.tm_hour),
                 static_cast<uint8_t>(lt.tm_min), static_cast<uint8_t>(std::min(lt.tm_sec, 59))};
    clockBase_ = date::ToSeconds(t);
    clockRef_ = SteadyMs();

    SetHandler(1, 10, [](Controller& c, const Request& r) { return c.ReadRows(r); });
    SetHandler(2, 0, [](Controller& c, const Request& r) { return c.WriteRows(r); });
    SetHandler(12, 24, [](Controller& c, const Request& r) { return c.CorrectClock(r); });
    SetHandler(25, 22, [](Controller& c, const Request& r) { return c.ResetNonVolatile(r); });
    FactoryReset();
}

void Controller::SetHandler(uint8_t command, int frameLength, Handler h) {
    commands_[command] = Command{frameLength, std::move(h)};
}

Reply Controller::Handle(const Request& r) {
    auto it = commands_.find(r.command);
    if (it == commands_.end() || !it->second.handler) return Error(r.command, err::UnknownCommand);
    if (it->second.frameLength && static_cast<int>(r.data.size()) + 6 != it->second.frameLength)
        return Error(r.command, err::BadLength);
    return it->second.handler(*this, r);
}

Reply Controller::Ok(uint8_t command, std::vector<uint8_t> data) const {
    Reply rep;
    rep.address = Address();
    rep.command = static_cast<uint8_t>(command | 0x80);
    rep.data = std::move(data);
    return rep;
}

Reply Controller::Error(uint8_t command, uint8_t code, uint8_t table) const {
    Reply rep;
    rep.address = Address();
    rep.command = static_cast<uint8_t>(command & 0x7F);
    rep.data = {code, command, table};
    return rep;
}

// -- tables --

std::vector<uint8_t> Controller::Table(int t) const {
    if (t < 0 || t >= kTableCount) return {};
    std::vector<uint8_t> v = tables_[t];
    if (live_[t]) Generate(t, v);
    return v;
}

void Controller::SetTable(int t, std::vector<uint8_t> bytes) {
    if (t < 0 || t >= kTableCount) return;
    const TableShape s = kShapes[t];
    bytes.resize(s.rows * s.size, 0);
    if (t == 2 && bytes.size() >= 6) {
        DeviceTime dt;
        std::copy_n(bytes.begin(), 6, dt.begin());
        if (IsValidDeviceTime(dt)) {
            SetClock(dt);
            return;
        }
    }
    tables_[t] = std::move(bytes);
    live_[t] = false;
    if (t == 7) UpdateDamageIndex();
}

bool Controller::Damaged(int t) const {
    return t >= 0 && t < kTableCount && tables_[7][t] != 0;
}

void Controller::SetDamaged(int t, bool damaged) {
    if (t < 0 || t >= kTableCount) return;
    tables_[7][t] = damaged ? 1 : 0;
    restoreNext_[t] = 0;
    UpdateDamageIndex();
}

void Controller::UpdateDamageIndex() {
    tables_[0][0] = 0;
    for (int t = 0; t < kTableCount; ++t)
        if (tables_[7][t]) {
            tables_[0][0] = static_cast<uint8_t>(t);
            break;
        }
}

// A version-14 controller is in its recovery state. Once the last table it
// reported damaged has been written whole, it restarts as an ordinary
// version-11 controller with nothing damaged. Only the version changes: the
// link, the users and every table stay as they are, so the writes of a
// restore still under way (the clock, the other tables, table 3 last, all
// with the credentials of the users just written) are taken as before.
void Controller::LeaveRecoveryWhenRestored() {
    if (tables_[0][3] != kRecoveryVersion) return;
    for (int t = 0; t < kTableCount; ++t)
        if (tables_[7][t]) return;
    tables_[0][3] = kOrdinaryVersion;
}

uint8_t Controller::Address() const { return tables_[3][0]; }
void Controller::SetAddress(uint8_t a) { tables_[3][0] = a; }
int Controller::BaudCode() const { return tables_[3][1]; }
void Controller::SetBaudCode(int code) {
    if (code >= 0 && code < 22) tables_[3][1] = static_cast<uint8_t>(code);
}
int Controller::ReplyPreambles() const { return tables_[3][2]; }

// -- clock --

int64_t Controller::NowSeconds() const {
    if (frozen_) return clockBase_;
    const int64_t ms = SteadyMs() - clockRef_;
    return clockBase_ + (ms >= 0 ? ms / 1000 : 0);
}

DeviceTime Controller::Clock() const { return date::FromSeconds(NowSeconds()); }

void Controller::SetClock(const DeviceTime& t) {
    clockBase_ = date::ToSeconds(t);
    clockRef_ = SteadyMs();
    live_[2] = true;
}

void Controller::FreezeClock(bool frozen) {
    clockBase_ = NowSeconds();
    clockRef_ = SteadyMs();
    frozen_ = frozen;
}

void Controller::AdjustClock(int seconds) {
    clockBase_ += seconds;
}

// -- users --

void Controller::SetCredentials(const std::string& password, const std::string& userCode) {
    auto& users = tables_[4];
    int row = 0;
    for (int r = 0; r < 16; ++r)
        if (users[r * 22 + 4] == 1) {
            row = r;
            break;
        }
    uint8_t* p = &users[row * 22];
    if (p[4] != 1) {  // no manufacturer: make row 0 one
        std::memcpy(p, "ZBR ", 4);
        p[4] = 1;
        p[5] = 0;
    }
    auto pw = Field(std::vector<uint8_t>(password.begin(), password.end()), 12);
    auto code = Field(std::vector<uint8_t>(userCode.begin(), userCode.end()), 4);
    std::copy(pw.begin(), pw.end(), p + 6);
    std::copy(code.begin(), code.end(), p + 18);
}

int Controller::UserLevel(const uint8_t* password12, const uint8_t* code4) const {
    const auto& users = tables_[4];
    for (int r = 0; r < 16; ++r) {
        const uint8_t* p = &users[r * 22];
        if (p[4] >= 1 && p[4] <= 4 && std::memcmp(p + 18, code4, 4) == 0 && std::memcmp(p + 6, password12, 12) == 0)
            return p[4];
    }
    return 0;
}

// Whoever sent the credentials of a write-type request (bytes 0..15 of its
// data) must be a registered user of at most `needLevel` (1 the highest).
uint8_t Controller::CheckWriter(const Request& r, int needLevel) const {
    if (Damaged(4)) return err::NotRegistered;  // the users are not known
    const int level = UserLevel(r.data.data(), r.data.data() + 12);
    if (level == 0) return err::NotRegistered;
    if (level > needLevel) return err::AccessLevel;
    return 0;
}

// Rules a users table must keep after a write: one manufacturer, no row
// without name or code, no two users with one name or one code, and the last
// administrator stays.
uint8_t Controller::CheckUsers(const std::vector<uint8_t>& t) const {
    int makers = 0, admins = 0, oldAdmins = 0;
    for (int r = 0; r < 16; ++r) {
        const uint8_t* p = &t[r * 22];
        if (p[4] > 4) return err::BadParams;
        if (p[4] == 1) ++makers;
        if (p[4] == 2) ++admins;
        if (tables_[4][r * 22 + 4] == 2) ++oldAdmins;
    }
    if (makers == 0) return err::MakerDelete;
    if (makers > 1) return err::MakerExists;
    if (oldAdmins > 0 && admins == 0) return err::LastAdmin;
    for (int r = 0; r < 16; ++r) {
        const uint8_t* p = &t[r * 22];
        if (p[4] == 0) continue;
        if (IsBlank(p, 4)) return err::EmptyName;
        if (IsBlank(p + 18, 4)) return err::EmptyCode;
        for (int o = r + 1; o < 16; ++o) {
            const uint8_t* q = &t[o * 22];
            if (q[4] == 0) continue;
            if (std::memcmp(p, q, 4) == 0) return err::NameExists;
            if (std::memcmp(p + 18, q + 18, 4) == 0) return err::CannotRegister;
        }
    }
    return 0;
}

// -- commands --

// Command 1, read rows. Data: argument, table, first row, row count.
// Reply data: status 0, the echoed {table, first row, row count}, the rows.
Reply Controller::ReadRows(const Request& r) {
    const uint8_t t = r.data[1], first = r.data[2], count = r.data[3];
    const TableShape s = Shape(t);
    if (t >= kTableCount) return Error(1, err::NoTable, t);
    if (s.rows == 0) return Error(1, err::ReadImpossible, t);
    if (Damaged(t)) return Error(1, err::Destroyed, t);
    if (first >= s.rows) return Error(1, err::NoField, t);
    if (count == 0 || first + count > s.rows || count * s.size + 10 > 255) return Error(1, err::BadParams, t);
    const std::vector<uint8_t> v = Table(t);
    std::vector<uint8_t> data{0, t, first, count};
    data.insert(data.end(), v.begin() + first * s.size, v.begin() + (first + count) * s.size);
    return Ok(1, std::move(data));
}

// Command 2, write rows. Data: write password (12), user code (4), argument,
// table, first row, row count, the rows. Reply data: status 0 and the echoed
// header. A damaged table takes writes only in row order from row 0 and is
// whole again once its last row was written; while the users table is
// damaged it takes any credentials and nothing else can be written. With
// the last damaged table written, a version-14 controller becomes version 11.
Reply Controller::WriteRows(const Request& r) {
    if (r.data.size() < 20) return Error(2, err::BadLength);
    const uint8_t t = r.data[17], first = r.data[18], count = r.data[19];
    const TableShape s = Shape(t);
    if (t >= kTableCount) return Error(2, err::NoTable, t);
    if (s.rows == 0 || !s.config) return Error(2, err::WriteRefused, t);
    if (first >= s.rows) return Error(2, err::WriteNoField, t);
    if (count == 0 || first + count > s.rows) return Error(2, err::FieldCount, t);
    if (r.data.size() != 20u + count * s.size) return Error(2, err::BadLength, t);

    const bool usersRestore = (t == 4 && Damaged(4));
    if (!usersRestore) {
        if (uint8_t e = CheckWriter(r, t == 4 ? 2 : 3)) return Error(2, e, t);
    }
    if (Damaged(t) && first != restoreNext_[t])
        return Error(2, s.rows * s.size > kMaxWriteData ? err::BigTableRules : err::FullRewrite, t);

    std::vector<uint8_t> merged = tables_[t];
    std::copy(r.data.begin() + 20, r.data.end(), merged.begin() + first * s.size);

    DeviceTime newClock{};
    if (t == 2 && first < 6) {
        const std::vector<uint8_t> now = Table(2);
        for (int i = 0; i < 6; ++i) newClock[i] = (i >= first && i < first + count) ? merged[i] : now[i];
        if (!IsValidDeviceTime(newClock)) return Error(2, err::BadParams, t);
    }
    if (t == 3) {
        if (merged[0] < 1 || merged[0] > 254 || merged[1] > 21) return Error(2, err::BadParams, t);
        if (tables_[0][13] != 0 && merged[0] != tables_[0][13]) return Error(2, err::BadParams, t);
    }
    if (t == 4 && !usersRestore) {
        if (uint8_t e = CheckUsers(merged)) return Error(2, e, t);
    }

    const int oldBaud = BaudCode();
    tables_[t] = std::move(merged);
    if (t == 2 && first < 6) SetClock(newClock);
    if (Damaged(t)) {
        restoreNext_[t] = first + count;
        if (restoreNext_[t] >= s.rows) {
            SetDamaged(t, false);
            LeaveRecoveryWhenRestored();
        }
    }
    // A new address holds from this reply on; a new baud rate from the next request.
    Reply rep = Ok(2, {0, t, first, count});
    if (t == 3 && BaudCode() != oldBaud) {
        const int baud = CodeToBaud(BaudCode());
        rep.after = [this, baud] {
            if (onBaudChange) onBaudChange(baud);
        };
    }
    return rep;
}

// Command 12, clock correction. Data: write password (12), user code (4),
// signed 16-bit correction in seconds. Refused when table 6 byte 11 forbids
// setting the clock from the PC, and for more than an hour either way.
Reply Controller::CorrectClock(const Request& r) {
    if (uint8_t e = CheckWriter(r, 4)) return Error(12, e);
    if (Damaged(2)) return Error(12, err::Destroyed, 2);
    if (tables_[6][11] == 0) return Error(12, err::ClockRefused);
    const int corr = static_cast<int16_t>(r.data[16] | (r.data[17] << 8));
    if (std::abs(corr) > 3600) return Error(12, err::CorrectionTooLarge);
    AdjustClock(corr);
    return Ok(12);
}

// Command 25, reset of the non-volatile data. Data: write password (12),
// user code (4). After the reply the link is back at address 1 and 9600 baud
// with no reply preambles, and no table is marked damaged any more; the
// other tables keep their contents.
Reply Controller::ResetNonVolatile(const Request& r) {
    if (!Damaged(4)) {
        if (uint8_t e = CheckWriter(r, 2)) return Error(25, e);
    }
    Reply rep = Ok(25);
    rep.after = [this] {
        tables_[3] = {1, static_cast<uint8_t>(BaudToCode(9600)), 0, 0};
        for (int t = 0; t < kTableCount; ++t) SetDamaged(t, false);
        if (onBaudChange) onBaudChange(9600);
    };
    return rep;
}

void Controller::SetName(int row, const std::string& utf8) {
    if (row < 0 || row > 2) return;
    auto bytes = tables_[0][12] == 0 ? Utf8To866(utf8) : Utf8To1251(utf8);
    bytes = Field(std::move(bytes), 20);
    std::copy(bytes.begin(), bytes.end(), tables_[5].begin() + row * 20);
}

}  // namespace emu
