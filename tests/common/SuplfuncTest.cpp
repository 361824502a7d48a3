#include "common/Suplfunc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Restores the decimal separator a test changed.
struct SeparatorGuard {
    char saved = DecimalSeparator();
    explicit SeparatorGuard(char sep) { SetDecimalSeparator(sep); }
    ~SeparatorGuard() { SetDecimalSeparator(saved); }
};

float FloatFromBytes(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    const uint8_t b[4] = {b0, b1, b2, b3};
    float f;
    std::memcpy(&f, b, 4);
    return f;
}

// Types `keys` one by one at the caret (which follows the typed text) through
// a key filter, as an edit box does, and returns the text.
std::string Type(void (*filter)(const std::string&, int, char32_t&), std::string text,
                 const std::u32string& keys) {
    for (char32_t k : keys) {
        filter(text, int(text.size()), k);
        if (k == 8 && !text.empty()) text.pop_back();
        else if (k != 0 && k != 8) text += char(k);
    }
    return text;
}

}  // namespace

TEST(Suplfunc, ChecksumIsReachable) {
    const char* check = "123456789";
    EXPECT_EQ(Crc16(check, 9), 0x4B37);
    EXPECT_EQ(Crc16(check, 0), 0xFFFF);
    uint8_t frame[6] = {0xCC, 1, 2, 3};
    Crc16Append(frame, 4);
    EXPECT_EQ(Crc16(frame, 6), 0);

    // The table gives what the bit loop gives, whole buffers and byte by byte.
    auto bitwise = [](const uint8_t* d, std::size_t n) {
        uint16_t crc = 0xFFFF;
        for (std::size_t i = 0; i < n; ++i) {
            crc ^= d[i];
            for (int b = 0; b < 8; ++b) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
        }
        return crc;
    };
    uint8_t buf[300];
    uint32_t seed = 12345;
    for (uint8_t& b : buf) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
    for (std::size_t n : {std::size_t(1), std::size_t(2), std::size_t(94), std::size_t(170), sizeof buf}) {
        EXPECT_EQ(Crc16(buf, n), bitwise(buf, n)) << n;
        uint8_t hi = 0xFF, lo = 0xFF;
        for (std::size_t i = 0; i < n; ++i) Crc16Step(buf[i], hi, lo);
        EXPECT_EQ(uint16_t((hi << 8) | lo), bitwise(buf, n)) << n;
    }
    for (int v = 0; v < 256; ++v) {
        const uint8_t one = uint8_t(v);
        EXPECT_EQ(Crc16(&one, 1), bitwise(&one, 1)) << v;
    }
}

TEST(Suplfunc, NamesCompareWithoutCase) {
    SCOPED_TRACE("Windows-1251 order, upper case");
    EXPECT_EQ(CompareNamesNoCase("грс-1", "ГРС-1"), 0);
    EXPECT_EQ(CompareNamesNoCase("їжаківка", "ЇЖАКІВКА"), 0);
    EXPECT_EQ(CompareNamesNoCase("ґанок єнот", "ҐАНОК ЄНОТ"), 0);
    EXPECT_EQ(CompareNamesNoCase("abc", "ABC"), 0);
    EXPECT_LT(CompareNamesNoCase("апельсин", "Яблуко"), 0);
    EXPECT_GT(CompareNamesNoCase("Яблуко", "апельсин"), 0);
    EXPECT_LT(CompareNamesNoCase("Zeta", "альфа"), 0);  // Latin before Cyrillic
    EXPECT_LT(CompareNamesNoCase("ГРС", "грс-2"), 0);   // the shorter first
    EXPECT_EQ(CompareNamesNoCase("", ""), 0);
}

TEST(Suplfunc, BytesAndFloats) {
    EXPECT_EQ(CompareBytes(200, 10), 1);
    EXPECT_EQ(CompareBytes(10, 200), -1);
    EXPECT_EQ(CompareBytes(7, 7), 0);
    uint16_t v = 0x1234;
    SwapBytes16(v);
    EXPECT_EQ(v, 0x3412);

    struct Case { uint8_t b[4]; bool nanInf; };
    const Case cases[] = {
        {{0, 0, 0x80, 0x7F}, true},     // +inf
        {{0, 0, 0x80, 0xFF}, true},     // -inf
        {{1, 0, 0xC0, 0x7F}, true},     // NaN
        {{0xFF, 0xFF, 0x7F, 0x7F}, false},  // largest float
        {{0, 0, 0, 0}, false},
        {{0, 0, 0x80, 0x3F}, false},    // 1.0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsFloatNanInf(c.b), c.nanInf);
        EXPECT_EQ(IsFloatNanInf(FloatFromBytes(c.b[0], c.b[1], c.b[2], c.b[3])), c.nanInf);
    }
}

TEST(Suplfunc, FixedConversion) {
    struct Case { double v; int digits; const char* text; };
    const Case cases[] = {
        {12345.678901, 4, "12345,6789"},
        {12345.678901, 5, "12345,67890"},
        {12345.678901, 6, "12345,678900"},  // beyond 10 significant digits: zeros
        {0.125, 2, "0,13"},                   // half rounds up
        {-3.5, 4, "-3,5000"},
        {-0.004, 2, "0,00"},                  // rounds to zero: no sign
        {-0.006, 2, "-0,01"},
        {999.9996, 3, "1000,000"},
        {123.456, 0, "123"},
        {0.000123456789012, 15, "0,000123456789000"},
        {1234567890.4, 2, "1234567890,00"},
        {9999999999.6, 0, "1E10"},            // too many integer digits
        {1.5e12, 2, "1,5E12"},
        {0, 3, "0,000"},
        {0, 0, "0"},
    };
    for (const Case& c : cases) EXPECT_EQ(FloatToStrFixed(c.v, 10, c.digits), c.text) << c.v;
    EXPECT_EQ(FloatToStrFixed(1.0 / 3, 3, 5), "0,33300");
    EXPECT_EQ(FloatToStrFixed(NAN, 10, 2), "NAN");
    EXPECT_EQ(FloatToStrFixed(-INFINITY, 10, 2), "-INF");
    SeparatorGuard dot('.');
    EXPECT_EQ(FloatToStrFixed(-3.5, 10, 2), "-3.50");
}

TEST(Suplfunc, ValueFormatsByMagnitude) {
    struct Case { float v; const char* value; const char* wmt; };
    const Case cases[] = {
        {0.0f, "0", "0"},
        {-0.0f, "0", "0"},
        {5e-7f, "5.0000e-07", "5.00e-07"},
        {-2.5e-9f, "-2.5000e-09", "-2.50e-09"},
        {0.00005f, "0,00005", "0,000050"},
        {0.0005f, "0,0005", "0,00050"},
        {0.005f, "0,0050", "0,0050"},
        {0.5f, "0,5000", "0,500"},
        {1.0f, "1,0000", "1,00"},
        {-3.5f, "-3,5000", "-3,50"},
        {10.0f, "10,000", "10,00"},
        {99.99f, "99,990", "99,99"},
        {100.0f, "100,00", "100,0"},
        {1000.0f, "1000,0", "1000"},
        {9999.4f, "9999,4", "9999"},
        {10000.0f, "10000", "10000"},
        {12345.6f, "12346", "12346"},
        {1.6777216e10f, "1,6777216E10", "1,6777216E10"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatValue(c.v), c.value) << c.v;
        EXPECT_EQ(FormatValueWmt(c.v), c.wmt) << c.v;
    }
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(FormatValue(inf), "NAN");
    EXPECT_EQ(FormatValueWmt(-inf), "NAN");
    EXPECT_EQ(FormatValue(FloatFromBytes(1, 0, 0xC0, 0xFF)), "NAN");
}

TEST(Suplfunc, BaudTable) {
    EXPECT_EQ(CodeToBaud(21), 230400u);
    EXPECT_EQ(CodeToBaud(0), 300u);
    EXPECT_EQ(CodeToBaud(22), 0u);
    EXPECT_EQ(CodeToBaud(-1), 0u);
    EXPECT_EQ(BaudToCode(115200), 20);
    EXPECT_EQ(BaudToCode(11520), 12);
    EXPECT_EQ(BaudToCode(1000), -1);
    for (int code = 0; code < 22; ++code) EXPECT_EQ(BaudToCode(CodeToBaud(code)), code);
}

TEST(Suplfunc, PeriodCounts) {
    const DeviceDateTime a{23, 12, 31, 22, 0, 0}, b{24, 1, 1, 2, 0, 0};
    EXPECT_EQ(HoursBetween(a, b), 4);
    EXPECT_EQ(HoursBetween(b, a), -4);
    EXPECT_EQ(HoursBetween(DateRec5{24, 2, 28, 0, 0}, DateRec5{24, 3, 1, 0, 0}), 48);
    const DeviceDateTime d0{24, 1, 1, 0, 0, 0}, d10{24, 1, 11, 0, 0, 0}, d65{24, 3, 6, 0, 0, 0};
    EXPECT_EQ(PeriodsBetween(d0, d10, 2), 1);
    EXPECT_EQ(PeriodsBetween(d0, d65, 2), 2);
    EXPECT_EQ(PeriodsBetween(d0, d10, 1), 10);
    EXPECT_EQ(PeriodsBetween(d0, d0, 1), 1);
    EXPECT_EQ(PeriodsBetween(d0, d0, 0), 0);
    EXPECT_EQ(PeriodsBetween(d0, d10, 0), 240);
    EXPECT_EQ(PeriodsBetween(d0, d10, 7), 10);
}

TEST(Suplfunc, DigitFilter) {
    struct Case { char32_t key; char32_t out; };
    const Case cases[] = {{U'0', U'0'}, {U'9', U'9'}, {8, 8},  {U'a', 0}, {U'-', 0},
                          {37, 0},      {39, 0},      {U'.', 0}, {U'я', 0}, {13, 0}};
    for (const Case& c : cases) {
        char32_t k = c.key;
        KeyFilterDigits("12", 2, k);
        EXPECT_EQ(k, c.out) << uint32_t(c.key);
    }
}

TEST(Suplfunc, FloatFilterTyping) {
    struct Case { const char* start; std::u32string keys; const char* result; };
    const Case cases[] = {
        {"1,5e", U"-123", "1,5e-12"},   // a sign once, then two exponent digits
        {"1,5e", U"12+3", "1,5e12"},
        {"", U"e12", "12"},             // no 'e' in an empty text
        {"", U"--1.5", "-1,5"},
        {"", U"1.2,3", "1,23"},         // one separator
        {"", U"1e5.5", "1e55"},         // no separator after the 'e'
        {"", U"1e+5", "1e+5"},
        {"", U"1ee5", "1e5"},
        {"", U"+1", "1"},               // '+' only after the 'e'
        {"", U"1%'2x", "12"},           // 37 and 39 are no keys
        {"1,5", U"\b\b", "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Type(KeyFilterFloat, c.start, c.keys), c.result) << c.start;
}

TEST(Suplfunc, FloatFilterAtTheCaret) {
    struct Case { const char* text; int caret; char32_t key; char32_t out; };
    const Case cases[] = {
        {"1e5", 0, U'-', U'-'},    // a leading minus
        {"-1e5", 0, U'-', 0},      // not twice
        {"15", 1, U'.', U','},     // separator inside the mantissa
        {"1e5", 1, U',', U','},    // before the 'e'
        {"1e5", 3, U',', 0},       // after it
        {"1e5", 1, U'e', 0},       // 'e' only at the end
        {"1e5", 2, U'-', U'-'},    // sign right after the 'e'
        {"1e5", 3, U'-', 0},
        {"1e-5", 2, U'+', 0},      // one exponent sign
        {"1e12", 1, U'7', U'7'},   // mantissa digits still pass
        {"1e12", 4, U'7', 0},
        {"1e12", 99, U'7', 0},     // caret beyond the text counts as the end
        {"ж", 1, U'e', U'e'},      // caret counts characters, not bytes
    };
    for (const Case& c : cases) {
        char32_t k = c.key;
        KeyFilterFloat(c.text, c.caret, k);
        EXPECT_EQ(k, c.out) << c.text << " caret " << c.caret << " key " << char(c.key);
    }
    SeparatorGuard dot('.');
    char32_t k = U',';
    KeyFilterFloat("1", 1, k);
    EXPECT_EQ(k, U'.');
}

TEST(Suplfunc, NumberParsing) {
    struct IntCase { const char* text; bool ok; int value; };
    const IntCase ints[] = {
        {"42", true, 42},      {" -7 ", true, -7},   {"+5", true, 5},
        {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0}, {"99999999999999999999", false, 0},
        {"", false, 0},        {"-", false, 0},      {"1 2", false, 0},
        {"12a", false, 0},     {"0x10", false, 0},   {"1,5", false, 0},
    };
    for (const IntCase& c : ints) {
        int v = -1;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -1) << c.text;
    }
    struct FloatCase { const char* text; bool ok; double value; };
    const FloatCase floats[] = {
        {"1,5", true, 1.5},   {"1.5", true, 1.5},   {"-0,25", true, -0.25},
        {" 3 ", true, 3},     {",5", true, 0.5},    {"5,", true, 5},
        {"1e3", true, 1000},  {"1,5E-2", true, 0.015}, {"+2", true, 2},
        {"", false, 0},       {",", false, 0},      {"1,2,3", false, 0},
        {"1.2,3", false, 0},  {"e5", false, 0},     {"1e", false, 0},
        {"1e+", false, 0},    {"nan", false, 0},    {"inf", false, 0},
        {"1e999", false, 0},  {"12x", false, 0},    {"--1", false, 0},
    };
    for (const FloatCase& c : floats) {
        double v = -1;
        EXPECT_EQ(TryStrToFloat(c.text, v), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(v, c.ok ? c.value : -1) << c.text;
    }
}
