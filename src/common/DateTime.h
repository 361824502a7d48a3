// The program's calendar value: days since 1899-12-30 00:00 as a double, the
// time of day as the fraction (0.5 = noon). Always local time of the PC.
// Dates before 1899-12-30 are negative; their time of day is the absolute
// value of the fraction (-1.25 is 1899-12-29 06:00).
#pragma once
#include <ctime>
#include <string>
#include <string_view>

using TDateTime = double;

inline constexpr double kSecsPerDay = 86400.0;
inline constexpr double kMSecsPerDay = 86400000.0;

// Current local date and time (millisecond resolution) / today at 00:00.
TDateTime Now();
TDateTime Today();

// Year 1..9999, month 1..12, day 1..days of the month; hour 0..23,
// minute and second 0..59, milliseconds 0..999. False (and result 0) when a
// part is out of range.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
// As above; an invalid date or time gives 0 (1899-12-30 00:00).
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int msec = 0);

// Splits a value, rounded to the millisecond. Values that are not finite or
// lie outside years 1..9999 decode as 1899-12-30 00:00:00.000.
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec);
void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& msec);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime dt);
// The date part (time 00:00) and the time part (date 1899-12-30).
TDateTime DateOf(TDateTime dt);
TDateTime TimeOf(TDateTime dt);

// Conversion from and to the C library's calendar time, through the local
// time zone of the PC.
TDateTime TimeTToDateTime(std::time_t t);
std::time_t DateTimeToTimeT(TDateTime dt);

// Formats with the tokens yyyy, yy, mm, m (month), dd, d, hh, h, nn, n
// (minute), ss, s, zzz (milliseconds); text in double or single quotes and
// any other character are copied as they stand.
std::string FormatDateTime(std::string_view format, TDateTime dt);
// "dd.mm.yyyy hh:nn:ss", "dd.mm.yyyy", "hh:nn:ss".
std::string DateTimeToStr(TDateTime dt);
std::string DateToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt);
