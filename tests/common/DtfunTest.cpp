#include "common/Dtfun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ostream>

namespace {

DeviceDateTime R6(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return {uint8_t(y - 2000), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
}
DateRec5 R5(int y, int mo, int d, int h = 0, int mi = 0) {
    return {uint8_t(y - 2000), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi)};
}
YmdDate Ymd(int y, int m, int d) { return {uint32_t(y), uint8_t(m), uint8_t(d)}; }
// Hour number of a record, counted by the date-time unit's own calendar.
long HoursFromEpoch(const DeviceDateTime& r) {
    return std::lround(EncodeDateTime(r.year + 2000, r.month, r.day, r.hour, 0, 0) * 24);
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const DeviceDateTime& r) {
    return os << int(r.year) + 2000 << "-" << int(r.month) << "-" << int(r.day) << " "
              << int(r.hour) << ":" << int(r.minute) << ":" << int(r.second);
}
std::ostream& operator<<(std::ostream& os, const DateRec5& r) {
    return os << int(r.year) + 2000 << "-" << int(r.month) << "-" << int(r.day) << " "
              << int(r.hour) << ":" << int(r.minute);
}

TEST(Dtfun, RecordsAreBytes) {
    const uint8_t bytes[10] = {24, 5, 20, 10, 3, 24, 3, 20, 10, 6};
    const QueryPeriod q = LoadPeriod(bytes);
    EXPECT_EQ(q.from, R5(2024, 5, 20, 10, 3));
    EXPECT_EQ(q.to, R5(2024, 3, 20, 10, 6));
    uint8_t out[10] = {};
    StorePeriod(q, out);
    EXPECT_EQ(0, std::memcmp(bytes, out, 10));
    EXPECT_EQ(LoadRec6(bytes), R6(2024, 5, 20, 10, 3, 24));
}

TEST(Dtfun, DateTimeAndRecord) {
    DeviceDateTime r;
    EXPECT_TRUE(DateTimeToRec(EncodeDateTime(2024, 2, 29, 13, 45, 30, 600), r));
    EXPECT_EQ(r, R6(2024, 2, 29, 13, 45, 30));
    EXPECT_EQ(RecToDateTime(r), EncodeDateTime(2024, 2, 29, 13, 45, 30));
    EXPECT_EQ(RecToDateTime(R5(2000, 1, 1, 12, 0)), 36526.5);
    // Years the record cannot hold.
    EXPECT_FALSE(DateTimeToRec(EncodeDate(1999, 12, 31), r));
    EXPECT_EQ(r.year, 0);
    EXPECT_FALSE(DateTimeToRec(EncodeDate(2256, 1, 1), r));
    EXPECT_EQ(r.year, 255);
    // A nonsense month never reads outside the month table.
    EXPECT_EQ(RecToDateTime(R6(2024, 0, 1)), EncodeDate(2024, 1, 1));
    RecToDateTime(DeviceDateTime{24, 255, 255, 255, 255, 255});
}

TEST(Dtfun, Comparisons) {
    EXPECT_EQ(CompareRec6(R6(2024, 1, 1, 0, 0, 1), R6(2024, 1, 1)), 1);
    EXPECT_EQ(CompareRec6(R6(2023, 12, 31, 23, 59, 59), R6(2024, 1, 1)), -1);
    EXPECT_EQ(CompareRec5(R6(2024, 1, 1, 0, 0, 1), R6(2024, 1, 1)), 0);
    EXPECT_EQ(CompareRec5(R5(2024, 1, 1, 0, 2), R5(2024, 1, 1, 0, 1)), 1);
    const DeviceDateTime a = R6(2024, 5, 20, 10), b = R6(2024, 5, 21, 9);
    EXPECT_EQ(CompareRecByUnit(a, b, 0), -1);
    EXPECT_EQ(CompareRecByUnit(a, b, 1), -1);
    EXPECT_EQ(CompareRecByUnit(a, b, 2), 0);
    EXPECT_EQ(CompareRecByUnit(R6(2024, 5, 20, 10), R6(2024, 5, 20, 9), 1), 0);
    EXPECT_EQ(CompareRecByUnit(R6(2024, 5, 20, 10), R6(2024, 5, 20, 9), 0), 1);
}

TEST(Dtfun, CalendarBasics) {
    EXPECT_TRUE(YearIsLeap(2000));
    EXPECT_FALSE(YearIsLeap(1900));
    EXPECT_FALSE(YearIsLeap(2100));
    EXPECT_TRUE(YearIsLeap(2024));
    EXPECT_EQ(DayOfYear(Ymd(2024, 1, 1)), 1);
    EXPECT_EQ(DayOfYear(Ymd(2024, 12, 31)), 366);
    EXPECT_EQ(DayOfYear(Ymd(2023, 3, 1)), 60);
    EXPECT_EQ(DaysLeftInYear(Ymd(2023, 12, 31)), 0);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 0), 0);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    EXPECT_EQ(DayOfYear(Ymd(2023, 13, 5)), 5);  // no table lookup past December
}

TEST(Dtfun, DaysBetweenAgreesWithTheCalendarBothWays) {
    EXPECT_EQ(DaysBetween(Ymd(2024, 1, 1), Ymd(2024, 1, 1)), 0);
    EXPECT_EQ(DaysBetween(Ymd(2023, 12, 31), Ymd(2024, 1, 1)), 1);
    EXPECT_EQ(DaysBetween(Ymd(2024, 1, 1), Ymd(2023, 12, 31)), -1);
    EXPECT_EQ(DaysBetween(Ymd(1899, 12, 30), Ymd(2000, 1, 1)), 36526);
    EXPECT_EQ(DaysBetween(Ymd(2025, 3, 1), Ymd(2020, 3, 1)), -1826);
    // Every 37th day over 1999..2031 against the date-time serials.
    for (int a = 36000; a < 48000; a += 37) {
        for (int b : {36526, 37262, 45351}) {
            int y1, m1, d1, y2, m2, d2;
            DecodeDate(a, y1, m1, d1);
            DecodeDate(b, y2, m2, d2);
            ASSERT_EQ(DaysBetween(Ymd(y1, m1, d1), Ymd(y2, m2, d2)), b - a) << a << " " << b;
        }
    }
}

TEST(Dtfun, WeekdayOfEveryDayFrom2000) {
    EXPECT_EQ(WeekdayOfDate(Ymd(2002, 1, 6)), 1);
    EXPECT_EQ(WeekdayOfDate(Ymd(2002, 1, 12)), 7);
    EXPECT_EQ(WeekdayOfDate(Ymd(2000, 1, 1)), 7);   // Saturday
    EXPECT_EQ(WeekdayOfDate(Ymd(2001, 12, 31)), 2); // Monday
    EXPECT_EQ(WeekdayOfDate(Ymd(2002, 1, 5)), 7);
    for (int n = int(EncodeDate(2000, 1, 1)); n <= int(EncodeDate(2040, 12, 31)); ++n) {
        int y, m, d;
        DecodeDate(n, y, m, d);
        ASSERT_EQ(WeekdayOfDate(Ymd(y, m, d)), DayOfWeek(n)) << y << "-" << m << "-" << d;
    }
}

TEST(Dtfun, IncDecStepTable) {
    struct Case { DeviceDateTime start; int op, unit; DeviceDateTime want; };
    enum { Inc, Dec, Step };
    const Case cases[] = {
        {R6(2023, 2, 28, 23), Inc, 1, R6(2023, 3, 1, 23)},
        {R6(2024, 2, 28, 5), Inc, 1, R6(2024, 2, 29, 5)},
        {R6(2024, 1, 31), Inc, 2, R6(2024, 2, 31)},  // a month step keeps the day
        {R6(2023, 12, 31, 23, 7, 9), Inc, 0, R6(2024, 1, 1, 0, 7, 9)},
        {R6(2023, 12, 15), Inc, 2, R6(2024, 1, 15)},
        {R6(2024, 3, 1, 0), Dec, 0, R6(2024, 2, 29, 23)},
        {R6(2023, 3, 1, 0), Dec, 0, R6(2023, 2, 28, 23)},
        {R6(2024, 1, 1, 8), Dec, 1, R6(2023, 12, 31, 8)},
        {R6(2024, 5, 1), Dec, 1, R6(2024, 4, 30)},
        {R6(2024, 1, 15), Dec, 2, R6(2023, 12, 15)},
        {R6(2024, 3, 31), Dec, 2, R6(2024, 2, 31)},
        {R6(2024, 5, 20, 10, 57), Step, 3, R6(2024, 5, 20, 11, 0)},
        {R6(2023, 12, 31, 23, 57), Step, 3, R6(2024, 1, 1, 0, 0)},
        {R6(2024, 5, 20, 10, 54), Step, 3, R6(2024, 5, 20, 10, 57)},
        {R6(2024, 2, 29, 23, 30), Step, 0, R6(2024, 3, 1, 0, 30)},
        {R6(2024, 2, 29, 23, 30), Step, 1, R6(2024, 2, 29, 23, 30)},
    };
    for (const Case& c : cases) {
        DeviceDateTime r = c.start;
        if (c.op == Inc) IncRec(r, c.unit);
        if (c.op == Dec) DecRec(r, c.unit);
        if (c.op == Step) StepRec(r, c.unit);
        EXPECT_EQ(r, c.want) << "from " << c.start << " op " << c.op << " unit " << c.unit;
    }
}

TEST(Dtfun, HourStepsUndoEachOther) {
    DeviceDateTime r = R6(2023, 12, 30, 0);
    for (int i = 0; i < 24 * 800; ++i) {
        DeviceDateTime next = r;
        IncRec(next, 0);
        ASSERT_EQ(HoursFromEpoch(next), HoursFromEpoch(r) + 1) << r;
        DeviceDateTime back = next;
        DecRec(back, 0);
        ASSERT_EQ(back, r);
        r = next;
    }
}

TEST(Dtfun, RecordValidity) {
    EXPECT_FALSE(IsValidRec(R6(2023, 2, 29)));
    EXPECT_TRUE(IsValidRec(R6(2024, 2, 29)));
    EXPECT_TRUE(IsValidRec(R6(2023, 4, 31)));  // only February is checked
    EXPECT_TRUE(IsValidRec(R6(2024, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(IsValidRec(R6(2024, 0, 1)));
    EXPECT_FALSE(IsValidRec(R6(2024, 13, 1)));
    EXPECT_FALSE(IsValidRec(R6(2024, 1, 0)));
    EXPECT_FALSE(IsValidRec(R6(2024, 1, 32)));
    EXPECT_FALSE(IsValidRec(R6(2024, 1, 1, 24)));
    EXPECT_FALSE(IsValidRec(R6(2024, 1, 1, 0, 60)));
    EXPECT_FALSE(IsValidRec(R6(2024, 1, 1, 0, 0, 60)));
    EXPECT_TRUE(IsValidRec(R5(2001, 1, 1)));
}

TEST(Dtfun, TransitionDays) {
    const TransitionRule lastSundayMarch{3, 0xC9, 3};
    const TransitionRule lastSundayOctober{10, 0xC9, 4};
    struct Case { int year; TransitionRule rule; YmdDate day; };
    const Case cases[] = {
        {2024, lastSundayMarch, Ymd(2024, 3, 31)},
        {2023, lastSundayMarch, Ymd(2023, 3, 26)},
        {2001, lastSundayMarch, Ymd(2001, 3, 25)},
        {2000, lastSundayMarch, Ymd(2000, 3, 26)},
        {2024, lastSundayOctober, Ymd(2024, 10, 27)},
        {2023, {10, 0xFA, 4}, Ymd(2023, 10, 21)},        // second-to-last Saturday
        {2001, {4, 0x89, 2}, Ymd(2001, 4, 1)},           // first Sunday
        {2024, {4, 0x8B, 2}, Ymd(2024, 4, 21)},          // third Sunday
        {2000, {2, 0xC9, 2}, Ymd(2000, 2, 27)},          // last Sunday of February
        {2024, {10, 15, 4}, Ymd(2024, 10, 15)},          // a fixed day
    };
    for (const Case& c : cases)
        EXPECT_EQ(TransitionDay(uint8_t(c.year - 2000), c.rule), DayOfYear(c.day))
            << c.year << " month " << int(c.rule.month) << " byte " << int(c.rule.dayByte);
    EXPECT_EQ(TransitionDay(24, TransitionRule{0, 0xC9, 3}), 0);
    EXPECT_EQ(TransitionDay(24, TransitionRule{13, 0xC9, 3}), 0);
}

TEST(Dtfun, SeasonFlag) {
    const uint8_t table6[6] = {3, 0xC9, 3, 10, 0xC9, 4};
    const TransitionRule s = TransitionRule::FromBytes(table6);
    const TransitionRule w = TransitionRule::FromBytes(table6 + 3);
    struct Case { DeviceDateTime at; uint8_t flag; };
    const Case cases[] = {
        {R6(2024, 1, 15, 12), 0x80},  {R6(2024, 3, 30, 23), 0x80},
        {R6(2024, 3, 31, 2, 59), 0x80}, {R6(2024, 3, 31, 3), 0},
        {R6(2024, 7, 1), 0},          {R6(2024, 10, 27, 3, 59), 0},
        {R6(2024, 10, 27, 4), 0x80},  {R6(2024, 10, 28), 0x80},
        {R6(2001, 3, 25, 3), 0},      {R6(2001, 3, 24, 23), 0x80},
    };
    for (const Case& c : cases) EXPECT_EQ(SeasonFlag(c.at, s, w), c.flag) << c.at;
    // No transition in either rule: no summer time at all.
    EXPECT_EQ(SeasonFlag(R6(2024, 7, 1), TransitionRule{0, 0xC9, 3}, w), 0x80);
    EXPECT_EQ(SeasonFlag(R6(2024, 7, 1), s, TransitionRule{0, 0xC9, 4}), 0x80);
}

TEST(Dtfun, DefaultArchivePeriod) {
    struct Case {
        const char* what;
        DeviceDateTime oldest, newest;
        int unit;
        bool flag;
        bool ok;
        DateRec5 from, to;
    };
    const Case cases[] = {
        {"hourly, one year back plus an hour", R6(2020, 1, 1), R6(2024, 5, 20, 10, 30), 0, false,
         true, R5(2023, 5, 20, 10), R5(2024, 5, 20, 9)},
        {"hourly from a 29 February", R6(2020, 1, 1), R6(2024, 2, 29, 6, 1), 0, false, true,
         R5(2023, 3, 1, 6), R5(2024, 2, 29, 5)},
        {"hourly, raised to the oldest", R6(2024, 1, 2, 7, 30), R6(2024, 5, 20, 10), 0, true,
         true, R5(2024, 1, 2, 7), R5(2024, 5, 20, 9)},
        {"hourly, nothing complete yet", R6(2024, 5, 20, 10), R6(2024, 5, 20, 10, 30), 0,
         false, false, R5(2024, 5, 20, 10), R5(2024, 5, 20, 9)},
        {"daily after the contract hour", R6(2015, 1, 1), R6(2024, 3, 2, 10), 1, false, true,
         R5(2020, 3, 2, 10), R5(2024, 3, 1, 10)},
        {"daily before the contract hour", R6(2015, 1, 1), R6(2024, 3, 2, 8), 1, false, true,
         R5(2020, 3, 1, 8), R5(2024, 2, 29, 8)},
        {"daily raised, flag steps a day back", R6(2023, 6, 10, 12), R6(2024, 1, 10, 12), 1,
         true, true, R5(2023, 6, 9, 12), R5(2024, 1, 9, 12)},
        {"daily raised, no flag", R6(2023, 6, 10, 12), R6(2024, 1, 10, 12), 1, false, true,
         R5(2023, 6, 10, 12), R5(2024, 1, 9, 12)},
        {"monthly on the 1st before the contract hour", R6(2015, 1, 1), R6(2024, 5, 1, 8), 2,
         false, true, R5(2022, 4, 1, 8), R5(2024, 3, 1, 8)},
        {"early years take the oldest", R6(2000, 6, 1, 0), R6(2001, 2, 1, 10), 0, false, true,
         R5(2000, 6, 1, 0), R5(2001, 2, 1, 9)},
        // A clock at the very beginning of 2000 (as after a reset) has no
        // finished unit: no step back wraps round to 2255.
        {"hourly, clock in the first hour of 2000", R6(2000, 1, 1), R6(2000, 1, 1, 0, 30), 0,
         false, false, R5(2000, 1, 1, 0), R5(2000, 1, 1, 0)},
        {"daily, clock on 1 January 2000", R6(2000, 1, 1), R6(2000, 1, 1, 12), 1, false, false,
         R5(2000, 1, 1, 12), R5(2000, 1, 1, 12)},
        {"daily, before the contract hour of 2 January 2000", R6(2000, 1, 1), R6(2000, 1, 2, 5),
         1, false, false, R5(2000, 1, 1, 5), R5(2000, 1, 1, 5)},
        {"monthly, clock in January 2000", R6(2000, 1, 1), R6(2000, 1, 20, 12), 2, false, false,
         R5(2000, 1, 20, 12), R5(2000, 1, 20, 12)},
    };
    for (const Case& c : cases) {
        QueryPeriod p;
        EXPECT_EQ(DefaultArchivePeriod(c.oldest, c.newest, p, c.unit, c.flag, 9), c.ok) << c.what;
        EXPECT_EQ(p.from, c.from) << c.what;
        EXPECT_EQ(p.to, c.to) << c.what;
    }
}

TEST(Dtfun, DefaultMeasPeriod) {
    struct Case { DateRec5 oldest, newest; bool ok; DateRec5 from, to; };
    const Case cases[] = {
        {R5(2020, 1, 1), R5(2024, 5, 20, 10, 5), true, R5(2024, 3, 20, 10, 6),
         R5(2024, 5, 20, 10, 3)},
        {R5(2024, 4, 1, 0, 7), R5(2024, 5, 20, 10, 5), true, R5(2024, 4, 1, 0, 6),
         R5(2024, 5, 20, 10, 3)},
        {R5(2020, 1, 1), R5(2024, 1, 31, 12, 0), true, R5(2023, 12, 1, 12, 3),
         R5(2024, 1, 31, 12, 0)},
        {R5(2020, 1, 1), R5(2024, 2, 10, 23, 59), true, R5(2023, 12, 11, 0, 0),
         R5(2024, 2, 10, 23, 57)},
        {R5(2024, 5, 20, 10, 4), R5(2024, 5, 20, 10, 2), false, R5(2024, 5, 20, 10, 3),
         R5(2024, 5, 20, 10, 0)},
        // Two months back from early 2000 stop at its beginning (no wrap to 2255) ...
        {R5(2000, 1, 1), R5(2000, 2, 10, 5, 7), true, R5(2000, 1, 1), R5(2000, 2, 10, 5, 6)},
        {R5(2000, 1, 3, 4, 5), R5(2000, 1, 10), true, R5(2000, 1, 3, 4, 3), R5(2000, 1, 10)},
        // ... while the last three minutes of 2255 still look back into it.
        {R5(2000, 1, 1), R5(2255, 12, 31, 23, 58), true, R5(2255, 11, 1, 0, 0),
         R5(2255, 12, 31, 23, 57)},
    };
    for (const Case& c : cases) {
        QueryPeriod p;
        EXPECT_EQ(DefaultMeasPeriod(c.oldest, c.newest, p), c.ok) << c.newest;
        EXPECT_EQ(p.from, c.from) << c.newest;
        EXPECT_EQ(p.to, c.to) << c.newest;
    }
}
