#include "common/Dtfun.h"

#include <climits>
#include <cstring>

namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kMonthDaysLeap[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Month length as the record steps count it: February has 29 days when the
// year byte (year - 2000) is divisible by 4. 0 for a month outside 1..12.
int StepMonthLength(int yearByte, int month) {
    if (month < 1 || month > 12) return 0;
    if (month == 2) return yearByte % 4 == 0 ? 29 : 28;
    return kMonthDays[month - 1];
}

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Days of the whole years before `year` counted from year 1.
int64_t DaysBeforeYear(uint32_t year) {
    const int64_t y = int64_t(year) - 1;
    return 365 * y + FloorDiv(y, 4) - FloorDiv(y, 100) + FloorDiv(y, 400);
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

template <class R>
int CompareByUnitT(const R& a, const R& b, int unit) {
    if (a.year != b.year) return a.year < b.year ? -1 : 1;
    if (a.month != b.month) return a.month < b.month ? -1 : 1;
    if (unit == 2) return 0;
    if (a.day != b.day) return a.day < b.day ? -1 : 1;
    if (unit == 1) return 0;
    if (a.hour != b.hour) return a.hour < b.hour ? -1 : 1;
    return 0;
}

template <class R>
int Compare5T(const R& a, const R& b) {
    const int c = CompareByUnitT(a, b, 0);
    if (c != 0) return c;
    return Sign(int(a.minute) - int(b.minute));
}

template <class R>
void IncT(R& r, int unit) {
    if (unit == 0) {
        if (r.hour + 1 < 24) {
            r.hour = uint8_t(r.hour + 1);
            return;
        }
        r.hour = 0;
        unit = 1;
    }
    if (unit == 1) {
        if (r.day + 1 <= StepMonthLength(r.year, r.month)) {
            r.day = uint8_t(r.day + 1);
            return;
        }
        r.day = 1;
    }
    if (r.month + 1 < 13) {
        r.month = uint8_t(r.month + 1);
        return;
    }
    r.month = 1;
    r.year = uint8_t(r.year + 1);
}

template <class R>
void DecT(R& r, int unit) {
    if (unit == 0) {
        if (r.hour > 0) {
            r.hour = uint8_t(r.hour - 1);
            return;
        }
        r.hour = 23;
        unit = 1;
    }
    const bool dayStep = unit == 1;
    if (dayStep && r.day > 1) {
        r.day = uint8_t(r.day - 1);
        return;
    }
    if (r.month > 1) {
        r.month = uint8_t(r.month - 1);
    } else {
        r.month = 12;
        r.year = uint8_t(r.year - 1);
    }
    if (dayStep) r.day = uint8_t(StepMonthLength(r.year, r.month));
}

template <class R>
void StepT(R& r, int mode) {
    if (mode == 3) {
        if (r.minute + 3 < 58) {
            r.minute = uint8_t(r.minute + 3);
            return;
        }
        r.minute = 0;
        IncT(r, 0);
    } else if (mode == 0) {
        IncT(r, 0);
    }
}

// One step back that never leaves the years a record can hold: at the first
// unit of 2000 the record stays as it is and the result is false.
template <class R>
bool DecWithin2000(R& r, int unit) {
    const R before = r;
    DecT(r, unit);
    if (r.year <= before.year) return true;
    r = before;
    return false;
}

// A record whose day lies beyond the end of its month moves to the first of
// the next month.
template <class R>
void FixMonthEnd(R& r) {
    if (r.day > DaysInMonth(uint32_t(r.year) + 2000, r.month)) {
        r.day = 1;
        IncT(r, 2);
    }
}

TDateTime RecToDateTimeT(const YmdDate& date, int hour, int minute, int second) {
    const int days = DaysBetween(YmdDate{1899, 12, 30}, date);
    return double(days) + (hour * 3600.0 + minute * 60.0 + second) / kSecsPerDay;
}

}  // namespace

DeviceDateTime LoadRec6(const uint8_t* p) {
    DeviceDateTime r;
    std::memcpy(&r, p, sizeof r);
    return r;
}
void StoreRec6(const DeviceDateTime& r, uint8_t* p) { std::memcpy(p, &r, sizeof r); }
DateRec5 LoadRec5(const uint8_t* p) {
    DateRec5 r;
    std::memcpy(&r, p, sizeof r);
    return r;
}
void StoreRec5(const DateRec5& r, uint8_t* p) { std::memcpy(p, &r, sizeof r); }
QueryPeriod LoadPeriod(const uint8_t* p) { return {LoadRec5(p), LoadRec5(p + 5)}; }
void StorePeriod(const QueryPeriod& q, uint8_t* p) {
    StoreRec5(q.from, p);
    StoreRec5(q.to, p + 5);
}
DateRec5 ToRec5(const DeviceDateTime& r) { return {r.year, r.month, r.day, r.hour, r.minute}; }
DeviceDateTime ToRec6(const DateRec5& r, uint8_t second) {
    return {r.year, r.month, r.day, r.hour, r.minute, second};
}
YmdDate RecDate(const DeviceDateTime& r) { return {uint32_t(r.year) + 2000, r.month, r.day}; }
YmdDate RecDate(const DateRec5& r) { return {uint32_t(r.year) + 2000, r.month, r.day}; }

bool DateTimeToRec(TDateTime dt, DeviceDateTime& rec) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(dt, y, mo, d, h, mi, s, ms);
    bool ok = true;
    if (y < 2000) {
        y = 2000;
        ok = false;
    } else if (y > 2255) {
        y = 2255;
        ok = false;
    }
    rec = {uint8_t(y - 2000), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
    return ok;
}

TDateTime RecToDateTime(const DeviceDateTime& r) {
    return RecToDateTimeT(RecDate(r), r.hour, r.minute, r.second);
}
TDateTime RecToDateTime(const DateRec5& r) {
    return RecToDateTimeT(RecDate(r), r.hour, r.minute, 0);
}

int CompareRec6(const DeviceDateTime& a, const DeviceDateTime& b) {
    const int c = Compare5T(a, b);
    if (c != 0) return c;
    return Sign(int(a.second) - int(b.second));
}
int CompareRec5(const DateRec5& a, const DateRec5& b) { return Compare5T(a, b); }
int CompareRec5(const DeviceDateTime& a, const DeviceDateTime& b) { return Compare5T(a, b); }
int CompareRecByUnit(const DeviceDateTime& a, const DeviceDateTime& b, int unit) {
    return CompareByUnitT(a, b, unit);
}
int CompareRecByUnit(const DateRec5& a, const DateRec5& b, int unit) {
    return CompareByUnitT(a, b, unit);
}

bool YearIsLeap(uint32_t year) {
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int DayOfYear(const YmdDate& d) {
    const int* table = YearIsLeap(d.year) ? kMonthDaysLeap : kMonthDays;
    int sum = 0;
    if (d.month >= 1 && d.month <= 12)
        for (int m = 1; m < d.month; ++m) sum += table[m - 1];
    return sum + d.day;
}

int DaysInYear(uint32_t year) { return YearIsLeap(year) ? 366 : 365; }

int DaysLeftInYear(const YmdDate& d) { return DaysInYear(d.year) - DayOfYear(d); }

int DaysBetween(const YmdDate& from, const YmdDate& to) {
    // The year-by-year sum (days left in the first year, the whole years
    // between, the day of the last year) in closed form; it works either way
    // round.
    const int64_t diff = (DaysBeforeYear(to.year) + DayOfYear(to)) -
                         (DaysBeforeYear(from.year) + DayOfYear(from));
    if (diff > INT_MAX) return INT_MAX;
    if (diff < INT_MIN) return INT_MIN;
    return int(diff);
}

int WeekdayOfDate(const YmdDate& d) {
    // 2002-01-06 was a Sunday.
    const int n = DaysBetween(YmdDate{2002, 1, 6}, d) % 7;
    return (n + 7) % 7 + 1;
}

int DaysInMonth(uint32_t year, int month) {
    if (month < 1 || month > 12) return 0;
    return (YearIsLeap(year) ? kMonthDaysLeap : kMonthDays)[month - 1];
}

void IncRec(DeviceDateTime& r, int unit) { IncT(r, unit); }
void IncRec(DateRec5& r, int unit) { IncT(r, unit); }
void DecRec(DeviceDateTime& r, int unit) { DecT(r, unit); }
void DecRec(DateRec5& r, int unit) { DecT(r, unit); }
void StepRec(DeviceDateTime& r, int mode) { StepT(r, mode); }
void StepRec(DateRec5& r, int mode) { StepT(r, mode); }

bool IsValidRec(const DateRec5& r) {
    if (r.month < 1 || r.month > 12) return false;
    if (r.day < 1 || r.day > 31) return false;
    if (r.month == 2 && r.day > (YearIsLeap(uint32_t(r.year) + 2000) ? 29 : 28)) return false;
    return r.hour <= 23 && r.minute <= 59;
}

bool IsValidRec(const DeviceDateTime& r) { return IsValidRec(ToRec5(r)) && r.second <= 59; }

int TransitionDay(uint8_t year, const TransitionRule& rule) {
    const uint32_t y = uint32_t(year) + 2000;
    const int month = rule.month;
    if (month < 1 || month > 12) return 0;
    const uint8_t b = rule.dayByte;
    if (!(b & 0x80)) return DayOfYear(YmdDate{y, uint8_t(month), b});
    const int weekday = (b >> 3) & 7;
    const int n = b & 3;
    if (b & 0x40) {
        const int last = month == 2 ? (y % 4 == 0 ? 29 : 28) : DaysInMonth(y, month);
        const YmdDate L{y, uint8_t(month), uint8_t(last)};
        int d = weekday - WeekdayOfDate(L);
        if (d < 1) d += 7;
        return DayOfYear(L) + d - 7 * n;
    }
    const YmdDate F{y, uint8_t(month), 1};
    int d = WeekdayOfDate(F) - weekday;
    if (d < 1) d += 7;
    return DayOfYear(F) - d + 7 * n;
}

uint8_t SeasonFlag(const DeviceDateTime& r, const TransitionRule& summer,
                   const TransitionRule& winter) {
    if (summer.month < 1 || summer.month > 12 || winter.month < 1 || winter.month > 12)
        return 0x80;
    const int a = TransitionDay(r.year, summer);
    const int b = TransitionDay(r.year, winter);
    const int c = DayOfYear(RecDate(r));
    if (c < a || c > b) return 0x80;
    if (c > a && c < b) return 0;
    if (c == a) return r.hour < summer.hour ? 0x80 : 0;
    return r.hour >= winter.hour ? 0x80 : 0;
}

bool DefaultArchivePeriod(const DeviceDateTime& oldest, const DeviceDateTime& newest,
                          QueryPeriod& period, int unit, bool flag, uint8_t contractHour) {
    const bool monthUnit = unit == 2;
    DateRec5 to{newest.year, newest.month, newest.day, newest.hour, 0};
    // A clock still in the first hour, day or month of 2000 has no finished
    // period before it.
    bool complete = DecWithin2000(to, unit);
    if (complete && newest.hour < contractHour && (unit == 1 || (monthUnit && newest.day == 1)))
        complete = DecWithin2000(to, unit);
    if (!complete) {
        period.from = to;
        period.to = to;
        return false;
    }

    const DateRec5 oldestHour{oldest.year, oldest.month, oldest.day, oldest.hour, 0};
    DateRec5 from = to;
    const int yearsBack = unit == 0 ? 1 : (unit == 1 ? 4 : 2);
    if (from.year > yearsBack) {
        IncRec(from, unit);
        from.year = uint8_t(from.year - yearsBack);
    } else {
        from = oldestHour;
    }
    FixMonthEnd(from);

    if (CompareRecByUnit(oldestHour, from, unit) > 0) {
        from = oldestHour;
        if (flag && (unit == 1 || (monthUnit && oldest.day == 1))) DecRec(from, unit);
    }
    period.from = from;
    period.to = to;
    return CompareRecByUnit(from, to, unit) <= 0;
}

bool DefaultMeasPeriod(const DateRec5& oldest, const DateRec5& newest, QueryPeriod& period) {
    DateRec5 to = newest;
    to.minute = uint8_t(to.minute - to.minute % 3);

    DateRec5 from = to;
    StepRec(from, 3);
    if (from.month > 2) {
        from.month = uint8_t(from.month - 2);
    } else if (from.year == 0 && to.year == 0) {
        // Two months back would leave the years a record can hold.
        from = DateRec5{0, 1, 1, 0, 0};
    } else {
        from.month = uint8_t(from.month + 10);
        from.year = uint8_t(from.year - 1);
    }
    FixMonthEnd(from);
    if (CompareRec5(oldest, from) > 0) from = oldest;
    from.minute = uint8_t(from.minute - from.minute % 3);

    period.from = from;
    period.to = to;
    return CompareRec5(from, to) <= 0;
}
