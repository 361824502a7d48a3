// Small services shared by many windows: name comparison for the list sorts,
// byte helpers for controller values, number formatting for value grids,
// the baud-rate table, period counts and the key filters of edit boxes.
// The protocol checksum lives in Crc16.h (included here).
#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "common/Crc16.h"
#include "common/Dtfun.h"

// Comparator of the list sorts: both names (UTF-8) upper-cased as Windows-1251
// text (Cyrillic letters included) and compared byte by byte in that code
// page; < 0, 0, > 0.
int CompareNamesNoCase(std::string_view a, std::string_view b);
// Upper case of a Windows-1251 byte: Latin and Cyrillic letters, the
// Ukrainian, Belarusian and Serbian/Macedonian letters included.
uint8_t UpperCp1251(uint8_t c);
// 1 if a > b, -1 if a < b, else 0.
int CompareBytes(uint8_t a, uint8_t b);
// Exchanges the two bytes in place.
void SwapBytes16(uint16_t& v);
// Little-endian fields of records, tables and frames (any alignment).
inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline float GetF32(const uint8_t* p) {
    const uint32_t bits = GetU32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutF32(uint8_t* p, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    PutU32(p, bits);
}

// True when all 8 exponent bits of a single-precision value are set (NaN or
// an infinity of either sign). `bytes` are the 4 bytes as the controller
// sends them, little-endian.
bool IsFloatNanInf(const uint8_t* bytes);
bool IsFloatNanInf(float v);

// The decimal separator of every number the program shows or reads back
// (',' unless changed; the main window sets ',' at start-up).
char DecimalSeparator();
void SetDecimalSeparator(char sep);

// Fixed-point text as the classic float-to-text conversion makes it: the
// value rounded to `precision` significant digits (1..18) and to `digits`
// decimals (0..18), digits beyond the significant ones written as zeros, a
// leading minus for negative values, no thousands separators, the current
// decimal separator. A value with more integer digits than `precision` is
// written in exponent form instead ("1,5E12"). NaN and infinities give
// "NAN", "INF", "-INF". Example: FloatToStrFixed(12345.678901, 10, 6) is
// "12345,678900".
std::string FloatToStrFixed(double v, int precision, int digits);

// Value texts of the diagnostic and constant grids, and of the moisture
// meter: "NAN", "0", exponent form below 1e-6, otherwise fixed-point with
// decimals by magnitude.
std::string FormatValue(float v);
std::string FormatValueWmt(float v);

// Baud rates by the code the controller's tables store.
inline constexpr std::array<uint32_t, 22> BaudRates{
    300,  600,  1200,  2400,  3200,  3600,  4800,  5760,  6400,   7200,   7680,
    9600, 11520, 12800, 14400, 19200, 23040, 28800, 38400, 57600, 115200, 230400};
// Index of the rate in BaudRates, -1 when absent.
int BaudToCode(uint32_t rate);
// BaudRates[code] for codes 0..21, 0 otherwise.
uint32_t CodeToBaud(int code);

// Whole hours between two records (date from bytes 0..2, then the hour).
int HoursBetween(const DeviceDateTime& from, const DeviceDateTime& to);
int HoursBetween(const DateRec5& from, const DateRec5& to);
// Unit 0: hours; unit 1: days; unit 2: days / 30. For units 1 and 2 a result
// of 0 becomes 1. Any other unit counts days as unit 1.
int PeriodsBetween(const DeviceDateTime& from, const DeviceDateTime& to, uint8_t unit);
int PeriodsBetween(const DateRec5& from, const DateRec5& to, uint8_t unit);

// Key-press filters of edit boxes: `text` is the edit's text (UTF-8),
// `caret` the caret position in characters, `key` the typed character; a
// refused key becomes 0. Digits: '0'..'9' and backspace (8) pass.
void KeyFilterDigits(const std::string& text, int caret, char32_t& key);
// Real numbers: digits, the decimal separator ('.' and ',' are turned into
// it), one 'e' at the end of a non-empty text, a leading '-', and a sign
// right after the 'e'; at most two exponent digits.
void KeyFilterFloat(const std::string& text, int caret, char32_t& key);

// Numbers typed into edit boxes. Blanks around the number are allowed; the
// whole rest must be the number. Never throw.
// Decimal integer with an optional sign, within the range of int.
bool TryStrToInt(const std::string& text, int& value);
// The number a typed field holds: decimal digits only, blanks around them
// allowed. -1 when there is no number (empty, or anything else typed or
// pasted); kTypedNumberTooBig for more digits than any field takes, so it
// lies outside every range.
inline constexpr long long kTypedNumberTooBig = 1LL << 40;
long long TypedNumber(std::string_view text);
// Decimal number with an optional sign, ',' or '.' as the separator and an
// optional exponent (e or E); finite values only.
bool TryStrToFloat(const std::string& text, double& value);
