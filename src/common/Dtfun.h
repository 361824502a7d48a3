// The controller's date records and the calendar arithmetic on them.
//
// The controller keeps dates as small byte records: year - 2000, month, day,
// hour, minute, second. Everything here is integer arithmetic on those
// records; nothing depends on the PC's time zone. The records are plain
// byte structs (no padding), so they can be copied to and from frames and
// stored records byte for byte (LoadRec6/StoreRec6 and friends).
#pragma once
#include <cstdint>

#include "common/DateTime.h"

// 6-byte date record: [0] year - 2000 (0..255), [1] month 1..12, [2] day
// 1..31, [3] hour 0..23, [4] minute 0..59, [5] second 0..59.
struct DeviceDateTime {
    uint8_t year = 0;
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
    friend bool operator==(const DeviceDateTime&, const DeviceDateTime&) = default;
};

// 5-byte record of the archive requests: the first five bytes of a
// DeviceDateTime (no seconds).
struct DateRec5 {
    uint8_t year = 0;
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
    uint8_t minute = 0;
    friend bool operator==(const DateRec5&, const DateRec5&) = default;
};

// Query period (10 bytes): "from" then "to".
struct QueryPeriod {
    DateRec5 from;
    DateRec5 to;
};

static_assert(sizeof(DeviceDateTime) == 6);
static_assert(sizeof(DateRec5) == 5);
static_assert(sizeof(QueryPeriod) == 10);

// A calendar date with the full year.
struct YmdDate {
    uint32_t year = 0;
    uint8_t month = 0;
    uint8_t day = 0;
};

// Summer/winter clock transition rule as the controller's system parameters
// hold it (table 6: summer bytes 0..2, winter bytes 3..5).
//   month: 1..12, 0 = no transition.
//   dayByte bit 7 clear: the day of the month itself.
//   dayByte bit 7 set: a weekday rule: bits 3..5 the weekday 1..7 (1 =
//     Sunday), bits 0..1 the ordinal n; bit 6 set counts back from the end
//     of the month (n = 1 the last, 2 the last but one), bit 6 clear from the
//     start (n = 1 the first .. 3 the third).
//   hour: the hour of the change.
struct TransitionRule {
    uint8_t month = 0;
    uint8_t dayByte = 0;
    uint8_t hour = 0;
    static TransitionRule FromBytes(const uint8_t* p) { return {p[0], p[1], p[2]}; }
};

// Byte access (p points at 6, 5 or 10 bytes).
DeviceDateTime LoadRec6(const uint8_t* p);
void StoreRec6(const DeviceDateTime& r, uint8_t* p);
DateRec5 LoadRec5(const uint8_t* p);
void StoreRec5(const DateRec5& r, uint8_t* p);
QueryPeriod LoadPeriod(const uint8_t* p);
void StorePeriod(const QueryPeriod& q, uint8_t* p);
DateRec5 ToRec5(const DeviceDateTime& r);
DeviceDateTime ToRec6(const DateRec5& r, uint8_t second = 0);
// The record's date with the full year (year byte + 2000).
YmdDate RecDate(const DeviceDateTime& r);
YmdDate RecDate(const DateRec5& r);

// Date-time value <-> record. The milliseconds are dropped. A year outside
// 2000..2255 cannot be stored: the year byte is clamped to 0 or 255 and the
// result is false.
bool DateTimeToRec(TDateTime dt, DeviceDateTime& rec);
// Days since 1899-12-30 plus the time of day (no range check of the fields;
// a month outside 1..12 counts no preceding months).
TDateTime RecToDateTime(const DeviceDateTime& rec);
TDateTime RecToDateTime(const DateRec5& rec);

// -1 / 0 / 1, field by field.
int CompareRec6(const DeviceDateTime& a, const DeviceDateTime& b);
int CompareRec5(const DateRec5& a, const DateRec5& b);
int CompareRec5(const DeviceDateTime& a, const DeviceDateTime& b);
// Year and month; unit 2 stops there; then the day; unit 1 stops there;
// then the hour (unit 0 and any other unit).
int CompareRecByUnit(const DeviceDateTime& a, const DeviceDateTime& b, int unit);
int CompareRecByUnit(const DateRec5& a, const DateRec5& b, int unit);

bool YearIsLeap(uint32_t year);
// 1 January is 1. A month outside 1..12 counts no preceding months.
int DayOfYear(const YmdDate& d);
int DaysInYear(uint32_t year);
int DaysLeftInYear(const YmdDate& d);
// Days from `from` to `to`; negative when `from` lies after `to`.
int DaysBetween(const YmdDate& from, const YmdDate& to);
// 1 = Sunday .. 7 = Saturday (any date, before 2002 too).
int WeekdayOfDate(const YmdDate& d);
// 31 / 30 / 28 or 29; 0 for a month outside 1..12.
int DaysInMonth(uint32_t year, int month);

// Step by one hour (unit 0), day (unit 1) or month (other units) with
// carries/borrows; a month step keeps the day. In these steps February has
// 29 days when the year byte is divisible by 4. The year byte wraps: a step
// past the end of 2255 lands in 2000 and a step back from the first hour,
// day or month of 2000 lands in 2255, so a caller that can meet those
// limits (a clock reset to 2000-01-01) checks for them.
void IncRec(DeviceDateTime& r, int unit);
void IncRec(DateRec5& r, int unit);
void DecRec(DeviceDateTime& r, int unit);
void DecRec(DateRec5& r, int unit);
// Mode 3: +3 minutes (58 or more wraps to 0 and steps the hour);
// mode 0: +1 hour; other modes leave the record unchanged.
void StepRec(DeviceDateTime& r, int mode);
void StepRec(DateRec5& r, int mode);

// Month 1..12, day 1..31 (February at most 29 in leap years, 28 otherwise),
// hour <= 23, minute <= 59, second <= 59.
bool IsValidRec(const DeviceDateTime& r);
bool IsValidRec(const DateRec5& r);

// Day of the year (year = year byte) a transition rule falls on; 0 for a
// rule without a transition (month outside 1..12).
int TransitionDay(uint8_t year, const TransitionRule& rule);
// 0 inside summer time, 0x80 outside it. Without a transition in either
// rule (month 0) there is no summer time: 0x80.
uint8_t SeasonFlag(const DeviceDateTime& r, const TransitionRule& summer,
                   const TransitionRule& winter);

// Default period of the hourly (unit 0), daily (1) and monthly (2) archive
// dialogs, from the oldest record of the archive and the controller's clock
// (`newest`). `contractHour` is the hour the gas day begins at (system
// parameters, table 6 byte 6). `flag` moves a period raised to the oldest
// record one unit earlier. True when the period's beginning is not later
// than its end; false too when the clock still stands in the first unit of
// 2000 (no period can end before it). No step leaves the years 2000..2255.
bool DefaultArchivePeriod(const DeviceDateTime& oldest, const DeviceDateTime& newest,
                          QueryPeriod& period, int unit, bool flag, uint8_t contractHour);
// Default period of the 3-minute measurement archive: two months back from
// the newest record, not before the oldest one nor before 2000-01-01, on
// the 3-minute grid.
bool DefaultMeasPeriod(const DateRec5& oldest, const DateRec5& newest, QueryPeriod& period);
