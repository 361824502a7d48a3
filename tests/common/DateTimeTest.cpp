#include "common/DateTime.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

TEST(DateTime, EncodeKnownDays) {
    struct Case { int y, m, d; double serial; };
    const Case cases[] = {
        {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1899, 12, 29, -1}, {1900, 1, 1, 2},
        {2000, 1, 1, 36526}, {2002, 1, 6, 37262}, {2024, 2, 29, 45351}, {9999, 12, 31, 2958465},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
        int y, m, d;
        DecodeDate(c.serial, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    }
}

TEST(DateTime, InvalidPartsAreRefused) {
    TDateTime r = 5;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, r));
    EXPECT_EQ(r, 0);
    EXPECT_TRUE(TryEncodeDate(2024, 2, 29, r));
    EXPECT_FALSE(TryEncodeDate(2024, 13, 1, r));
    EXPECT_FALSE(TryEncodeDate(2024, 4, 31, r));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, r));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, r));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, r));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, r));
    EXPECT_EQ(EncodeDateTime(2024, 2, 30, 1, 2, 3), 0);
}

TEST(DateTime, DecodeRoundsToTheMillisecond) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(EncodeDateTime(2024, 2, 29, 13, 45, 30, 600), y, mo, d, h, mi, s, ms);
    EXPECT_EQ((std::array{y, mo, d, h, mi, s, ms}), (std::array{2024, 2, 29, 13, 45, 30, 600}));
    // Just below midnight rounds into the next day.
    DecodeDateTime(EncodeDate(2023, 12, 31) + 0.9999999999, y, mo, d, h, mi, s, ms);
    EXPECT_EQ((std::array{y, mo, d, h, mi, s, ms}), (std::array{2024, 1, 1, 0, 0, 0, 0}));
    // Before the epoch the fraction counts away from zero.
    DecodeDateTime(-1.25, y, mo, d, h, mi, s, ms);
    EXPECT_EQ((std::array{y, mo, d, h}), (std::array{1899, 12, 29, 6}));
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0), -1.25);
    // Nonsense decodes as the epoch, never as garbage.
    DecodeDateTime(NAN, y, mo, d, h, mi, s, ms);
    EXPECT_EQ((std::array{y, mo, d, h}), (std::array{1899, 12, 30, 0}));
    DecodeDateTime(1e300, y, mo, d, h, mi, s, ms);
    EXPECT_EQ(y, 1899);
}

TEST(DateTime, WeekdayDateAndTimeParts) {
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 31)), 1);  // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7);   // Saturday
    EXPECT_EQ(DayOfWeek(0), 7);
    const TDateTime t = EncodeDateTime(2024, 5, 20, 18, 0, 0);
    EXPECT_EQ(DateOf(t), EncodeDate(2024, 5, 20));
    EXPECT_DOUBLE_EQ(TimeOf(t), 0.75);
}

TEST(DateTime, Formatting) {
    const TDateTime t = EncodeDateTime(2024, 3, 5, 7, 8, 9, 45);
    EXPECT_EQ(DateTimeToStr(t), "05.03.2024 07:08:09");
    EXPECT_EQ(DateToStr(t), "05.03.2024");
    EXPECT_EQ(TimeToStr(t), "07:08:09");
    EXPECT_EQ(FormatDateTime("d.m.yy h:n:s.zzz", t), "5.3.24 7:8:9.045");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd'T'hh", t), "2024-03-05T07");
    EXPECT_EQ(FormatDateTime("\"dd\" dd", t), "dd 05");
}

TEST(DateTime, TimeTIsLocalTime) {
    const std::time_t t = 1716220830;  // some moment in May 2024
    std::tm tm{};
    localtime_r(&t, &tm);
    const TDateTime dt = TimeTToDateTime(t);
    EXPECT_EQ(dt, EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                                 tm.tm_min, tm.tm_sec));
    EXPECT_EQ(DateTimeToTimeT(dt), t);
    // Now() agrees with the C library's clock.
    EXPECT_LT(std::fabs(Now() - TimeTToDateTime(std::time(nullptr))) * kSecsPerDay, 5.0);
    EXPECT_EQ(Today(), std::trunc(Today()));
}
