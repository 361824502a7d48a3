#include "common/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days from 1970-01-01 of a proleptic Gregorian date, and back
// (the well-known era-based conversion).
int64_t DaysFromCivil(int64_t y, int m, int d) {
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

// Day number 0 of the date-time value.
const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);
const int64_t kFirstDay = DaysFromCivil(1, 1, 1) - DaysFromCivil(1899, 12, 30);
const int64_t kLastDay = DaysFromCivil(9999, 12, 31) - DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int MonthDays(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeap(y)) ? 29 : kDays[m - 1];
}

// Splits into whole days (towards zero) and milliseconds of the day.
void Split(TDateTime dt, int64_t& days, int64_t& ms) {
    days = 0;
    ms = 0;
    if (!std::isfinite(dt) || dt < double(kFirstDay) - 1 || dt > double(kLastDay) + 1) return;
    const int64_t total = std::llround(dt * kMSecsPerDay);
    int64_t dd = total / kMsPerDay;
    if (dd < kFirstDay || dd > kLastDay) return;
    days = dd;
    ms = std::llabs(total) % kMsPerDay;
}

std::string Num(int v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, v);
    return buf;
}

}  // namespace

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                          tm.tm_sec > 59 ? 59 : tm.tm_sec, static_cast<int>(ms < 0 ? ms + 1000 : ms));
}

TDateTime Today() { return DateOf(Now()); }

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    result = 0;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > MonthDays(year, month))
        return false;
    result = double(DaysFromCivil(year, month, day) - kEpochDays);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result) {
    result = 0;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    result = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    TryEncodeDate(year, month, day, r);
    return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime r;
    TryEncodeTime(hour, minute, second, msec, r);
    return r;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int msec) {
    TDateTime d, t;
    if (!TryEncodeDate(year, month, day, d) || !TryEncodeTime(hour, minute, second, msec, t))
        return 0;
    // Before the epoch the time counts away from zero, as the fraction does.
    return d < 0 ? d - t : d + t;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
    int64_t days, ms;
    Split(dt, days, ms);
    CivilFromDays(days + kEpochDays, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec) {
    int64_t days, ms;
    Split(dt, days, ms);
    msec = static_cast<int>(ms % 1000);
    const int64_t s = ms / 1000;
    second = static_cast<int>(s % 60);
    minute = static_cast<int>(s / 60 % 60);
    hour = static_cast<int>(s / 3600);
}

void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& msec) {
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, minute, second, msec);
}

int DayOfWeek(TDateTime dt) {
    int64_t days, ms;
    Split(dt, days, ms);
    // 1899-12-30 was a Saturday (7).
    const int64_t w = ((days + 6) % 7 + 7) % 7;
    return static_cast<int>(w) + 1;
}

TDateTime DateOf(TDateTime dt) {
    int64_t days, ms;
    Split(dt, days, ms);
    return double(days);
}

TDateTime TimeOf(TDateTime dt) {
    int64_t days, ms;
    Split(dt, days, ms);
    return double(ms) / kMSecsPerDay;
}

TDateTime TimeTToDateTime(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return 0;
    return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                          tm.tm_sec > 59 ? 59 : tm.tm_sec);
}

std::time_t DateTimeToTimeT(TDateTime dt) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(dt, y, mo, d, h, mi, s, ms);
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string FormatDateTime(std::string_view format, TDateTime dt) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(dt, y, mo, d, h, mi, s, ms);
    std::string out;
    std::size_t i = 0;
    auto starts = [&](std::string_view tok) {
        if (format.size() - i < tok.size()) return false;
        for (std::size_t k = 0; k < tok.size(); ++k) {
            char c = format[i + k];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != tok[k]) return false;
        }
        return true;
    };
    while (i < format.size()) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const std::size_t end = format.find(c, i + 1);
            const std::size_t stop = end == std::string_view::npos ? format.size() : end;
            out.append(format.substr(i + 1, stop - i - 1));
            i = stop == format.size() ? stop : stop + 1;
        } else if (starts("yyyy")) { out += Num(y, 4); i += 4; }
        else if (starts("yy")) { out += Num(y % 100, 2); i += 2; }
        else if (starts("mm")) { out += Num(mo, 2); i += 2; }
        else if (starts("m")) { out += Num(mo, 1); i += 1; }
        else if (starts("dd")) { out += Num(d, 2); i += 2; }
        else if (starts("d")) { out += Num(d, 1); i += 1; }
        else if (starts("hh")) { out += Num(h, 2); i += 2; }
        else if (starts("h")) { out += Num(h, 1); i += 1; }
        else if (starts("nn")) { out += Num(mi, 2); i += 2; }
        else if (starts("n")) { out += Num(mi, 1); i += 1; }
        else if (starts("ss")) { out += Num(s, 2); i += 2; }
        else if (starts("s")) { out += Num(s, 1); i += 1; }
        else if (starts("zzz")) { out += Num(ms, 3); i += 3; }
        else { out += c; ++i; }
    }
    return out;
}

std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("dd.mm.yyyy hh:nn:ss", dt); }
std::string DateToStr(TDateTime dt) { return FormatDateTime("dd.mm.yyyy", dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime("hh:nn:ss", dt); }
