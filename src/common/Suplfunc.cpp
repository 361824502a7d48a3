#include "common/Suplfunc.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/Codepage.h"

namespace {

char g_decimalSeparator = ',';

}  // namespace

uint8_t UpperCp1251(uint8_t c) {
    if (c >= 'a' && c <= 'z') return uint8_t(c - 32);
    if (c >= 0xE0) return uint8_t(c - 32);
    switch (c) {
        case 0xB8: return 0xA8;  // ё
        case 0xB3: return 0xB2;  // і
        case 0xBF: return 0xAF;  // ї
        case 0xBA: return 0xAA;  // є
        case 0xB4: return 0xA5;  // ґ
        case 0xA2: return 0xA1;  // ў
        case 0xBC: return 0xA3;  // ј
        case 0xBE: return 0xBD;  // ѕ
        case 0x83: return 0x81;  // ѓ
        case 0x90: return 0x80;  // ђ
        case 0x9A: return 0x8A;  // љ
        case 0x9C: return 0x8C;  // њ
        case 0x9D: return 0x8D;  // ќ
        case 0x9E: return 0x8E;  // ћ
        case 0x9F: return 0x8F;  // џ
        default: return c;
    }
}

namespace {

// The 18 significant decimal digits of a positive finite value as "%.17e"
// gives them: the value correctly rounded to 18 digits, ties to even, so
// that value ~ 0.d1d2...d18 x 10^exp10. `digits` gets the 18 digit
// characters.
//
// Values from 1e-9 to below 1e18 (every value a grid shows) are done exactly
// in 128-bit integers: value = m x 2^q, and N = value x 10^(17 - E) =
// m x 5^(17 - E) x 2^(q + 17 - E), one shift and a rounding. Others go
// through the C library.
constexpr uint64_t kPow5[28] = {1ull,
                                5ull,
                                25ull,
                                125ull,
                                625ull,
                                3125ull,
                                15625ull,
                                78125ull,
                                390625ull,
                                1953125ull,
                                9765625ull,
                                48828125ull,
                                244140625ull,
                                1220703125ull,
                                6103515625ull,
                                30517578125ull,
                                152587890625ull,
                                762939453125ull,
                                3814697265625ull,
                                19073486328125ull,
                                95367431640625ull,
                                476837158203125ull,
                                2384185791015625ull,
                                11920928955078125ull,
                                59604644775390625ull,
                                298023223876953125ull,
                                1490116119384765625ull,
                                7450580596923828125ull};
constexpr uint64_t kTen17 = 100000000000000000ull;
constexpr uint64_t kTen18 = 1000000000000000000ull;

bool DecimalDigitsExact(double a, char* digits, int& exp10) {
    const uint64_t bits = std::bit_cast<uint64_t>(a);
    const int biased = int(bits >> 52) & 0x7FF;
    if (biased == 0 || biased == 0x7FF) return false;  // subnormal or not finite
    const uint64_t m = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
    const int q = biased - 1075;  // a = m x 2^q, 2^(q+52) <= a < 2^(q+53)
    // floor(log10(2^(q+52))): E itself or one less.
    int e = ((q + 52) * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt, ++e) {
        const int t = 17 - e;
        if (t < 0 || t > 27) return false;
        const unsigned __int128 num = static_cast<unsigned __int128>(m) * kPow5[t];
        const int shift = -q - t;  // N = num / 2^shift
        unsigned __int128 n;
        bool up = false;
        if (shift <= 0) {
            n = num << -shift;
        } else {
            if (shift >= 128) return false;
            n = num >> shift;
            const unsigned __int128 rest = num - (n << shift);
            const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
            up = rest > half || (rest == half && (n & 1) != 0);
        }
        if (n >= kTen18) continue;  // the exponent was one too small
        if (n < kTen17) return false;
        uint64_t v = static_cast<uint64_t>(n) + (up ? 1 : 0);
        int e10 = e;
        if (v == kTen18) {
            v = kTen17;
            ++e10;
        }
        for (int i = 17; i >= 0; --i) {
            digits[i] = char('0' + v % 10);
            v /= 10;
        }
        exp10 = e10 + 1;
        return true;
    }
    return false;
}

void DecimalDigits(double a, char* digits, int& exp10) {
    if (DecimalDigitsExact(a, digits, exp10)) return;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17e", a);
    int n = 0;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && n < 18) digits[n++] = *p;
    for (; n < 18; ++n) digits[n] = '0';
    exp10 = (*p == 'e') ? std::atoi(p + 1) + 1 : 1;
}

// Keeps the first `keep` of the `count` digits, rounding half up on the
// next one; trailing zeros are removed. The new count; 0 means zero.
int RoundDigits(char* digits, int count, int& exp10, int keep) {
    if (keep < 0) {
        count = 0;
    } else if (keep < count) {
        const bool up = digits[keep] >= '5';
        count = keep;
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == '9') digits[i--] = '0';
            if (i >= 0) {
                ++digits[i];
            } else {
                // All nines: "1" and zeros, one place up.
                digits[0] = '1';
                for (int k = 1; k <= keep; ++k) digits[k] = '0';
                count = keep + 1;
                ++exp10;
            }
        }
    }
    while (count > 0 && digits[count - 1] == '0') --count;
    return count;
}

std::string NonFinite(double v) {
    if (std::isnan(v)) return "NAN";
    return v > 0 ? "INF" : "-INF";
}


bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

template <class R>
int HoursBetweenT(const R& from, const R& to) {
    return DaysBetween(RecDate(from), RecDate(to)) * 24 + int(to.hour) - int(from.hour);
}

template <class R>
int PeriodsBetweenT(const R& from, const R& to, uint8_t unit) {
    if (unit == 0) return HoursBetweenT(from, to);
    int n = DaysBetween(RecDate(from), RecDate(to));
    if (unit == 2) n /= 30;
    return n == 0 ? 1 : n;
}

}  // namespace

int CompareNamesNoCase(std::string_view a, std::string_view b) {
    const std::string x = platform::Utf8ToCp1251(a);
    const std::string y = platform::Utf8ToCp1251(b);
    const std::size_t n = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        const uint8_t p = UpperCp1251(uint8_t(x[i]));
        const uint8_t q = UpperCp1251(uint8_t(y[i]));
        if (p != q) return p < q ? -1 : 1;
    }
    if (x.size() == y.size()) return 0;
    return x.size() < y.size() ? -1 : 1;
}

int CompareBytes(uint8_t a, uint8_t b) { return a > b ? 1 : (a < b ? -1 : 0); }

void SwapBytes16(uint16_t& v) { v = uint16_t((v >> 8) | (v << 8)); }

bool IsFloatNanInf(const uint8_t* bytes) {
    // Exponent bits 23..30: bits 0..6 of byte 3 and bit 7 of byte 2.
    return (bytes[3] & 0x7F) == 0x7F && (bytes[2] & 0x80) == 0x80;
}

bool IsFloatNanInf(float v) {
    return (std::bit_cast<uint32_t>(v) & 0x7F800000u) == 0x7F800000u;
}

char DecimalSeparator() { return g_decimalSeparator; }
void SetDecimalSeparator(char sep) { g_decimalSeparator = sep; }

std::string FloatToStrFixed(double v, int precision, int digits) {
    if (!std::isfinite(v)) return NonFinite(v);
    precision = std::clamp(precision, 1, 18);
    digits = std::clamp(digits, 0, 18);
    char d[20];
    int count = 0;
    int exp10 = 0;
    if (v != 0) {
        DecimalDigits(std::fabs(v), d, exp10);
        count = RoundDigits(d, 18, exp10, std::min(precision, exp10 + digits));
    }
    const char sep = g_decimalSeparator;
    // At most: sign, 18 integer digits, separator, 18 decimals.
    char out[48];
    int n = 0;
    if (count == 0) {
        out[n++] = '0';
        if (digits > 0) {
            out[n++] = sep;
            for (int i = 0; i < digits; ++i) out[n++] = '0';
        }
        return std::string(out, std::size_t(n));
    }
    if (std::signbit(v)) out[n++] = '-';
    if (exp10 > precision) {
        // Too many integer digits for the precision: exponent form.
        std::string e(out, std::size_t(n));
        e += d[0];
        if (count > 1) {
            e += sep;
            e.append(d + 1, std::size_t(count - 1));
        }
        e += 'E';
        e += std::to_string(exp10 - 1);
        return e;
    }
    auto digitAt = [&](int pos) {  // pos 0 = first digit after "0."
        return (pos >= 0 && pos < count) ? d[pos] : '0';
    };
    if (exp10 <= 0) {
        out[n++] = '0';
    } else {
        for (int i = 0; i < exp10; ++i) out[n++] = digitAt(i);
    }
    if (digits > 0) {
        out[n++] = sep;
        for (int i = 0; i < digits; ++i) out[n++] = digitAt(exp10 + i);
    }
    return std::string(out, std::size_t(n));
}

namespace {

std::string FormatByMagnitude(float value, const char* expFormat, const int (&decimals)[9]) {
    if (IsFloatNanInf(value)) return "NAN";
    const double v = value;
    const double a = std::fabs(v);
    if (a == 0) return "0";
    if (a < 1e-6) {
        char buf[48];
        std::snprintf(buf, sizeof buf, expFormat, v);
        return buf;
    }
    static const double kBounds[8] = {1e-4, 1e-3, 0.01, 1, 10, 100, 1000, 10000};
    int i = 0;
    while (i < 8 && a >= kBounds[i]) ++i;
    return FloatToStrFixed(v, 10, decimals[i]);
}

}  // namespace

std::string FormatValue(float v) {
    static const int kDecimals[9] = {5, 4, 4, 4, 4, 3, 2, 1, 0};
    return FormatByMagnitude(v, "%.4e", kDecimals);
}

std::string FormatValueWmt(float v) {
    static const int kDecimals[9] = {6, 5, 4, 3, 2, 2, 1, 0, 0};
    return FormatByMagnitude(v, "%.2e", kDecimals);
}

int BaudToCode(uint32_t rate) {
    for (std::size_t i = 0; i < BaudRates.size(); ++i)
        if (BaudRates[i] == rate) return int(i);
    return -1;
}

uint32_t CodeToBaud(int code) {
    if (code < 0 || code >= int(BaudRates.size())) return 0;
    return BaudRates[std::size_t(code)];
}

int HoursBetween(const DeviceDateTime& from, const DeviceDateTime& to) {
    return HoursBetweenT(from, to);
}
int HoursBetween(const DateRec5& from, const DateRec5& to) { return HoursBetweenT(from, to); }
int PeriodsBetween(const DeviceDateTime& from, const DeviceDateTime& to, uint8_t unit) {
    return PeriodsBetweenT(from, to, unit);
}
int PeriodsBetween(const DateRec5& from, const DateRec5& to, uint8_t unit) {
    return PeriodsBetweenT(from, to, unit);
}

void KeyFilterDigits(const std::string&, int, char32_t& key) {
    if (key == 8 || IsDigit(key)) return;
    key = 0;
}

void KeyFilterFloat(const std::string& text, int caret, char32_t& key) {
    if (key == 8) return;
    const char32_t sep = char32_t(uint8_t(g_decimalSeparator));
    if (key == U'.' || key == U',') key = sep;
    if (!IsDigit(key) && key != U'e' && key != sep && key != U'+' && key != U'-') {
        key = 0;
        return;
    }
    const std::u32string t = platform::DecodeUtf8(text);
    const int L = int(t.size());
    const int P = std::clamp(caret, 0, L);
    int E = -1;
    bool hasSep = false, innerSign = false;
    for (int i = 0; i < L; ++i) {
        const char32_t c = t[std::size_t(i)];
        if (c == U'e' && E < 0) E = i;
        if (c == sep) hasSep = true;
        if ((c == U'-' || c == U'+') && i > 0) innerSign = true;
    }
    const bool hasE = E >= 0;
    const int W = innerSign ? 3 : 2;

    bool pass = false;
    if (IsDigit(key)) {
        pass = !(hasE && P > E && E + W < L);
    } else if (key == U'e') {
        pass = !hasE && L > 0 && P == L;
    } else if (key == sep) {
        pass = !hasSep && (!hasE || P <= E);
    } else if (key == U'-' && P == 0 && !(L > 0 && t[0] == U'-')) {
        pass = true;
    } else {  // '-' or '+' elsewhere: only the exponent's sign
        pass = hasE && !innerSign && P == E + 1;
    }
    if (!pass) key = 0;
}

bool TryStrToInt(const std::string& text, int& value) {
    const std::string_view s = platform::TrimSpace(text);
    std::size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    if (i == s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL) return false;
    }
    if (neg) v = -v;
    if (v > 2147483647LL || v < -2147483648LL) return false;
    value = int(v);
    return true;
}

long long TypedNumber(std::string_view text) {
    const std::string_view s = platform::TrimBlanks(text);
    if (s.empty()) return -1;
    long long v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return -1;
        v = std::min(v * 10 + (c - '0'), kTypedNumberTooBig);
    }
    return v;
}

bool TryStrToFloat(const std::string& text, double& value) {
    const std::string_view s = platform::TrimSpace(text);
    std::size_t i = 0;
    std::string norm;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') norm += '-';
        ++i;
    }
    int mantDigits = 0;
    bool sepSeen = false;
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            norm += c;
            ++mantDigits;
        } else if ((c == ',' || c == '.') && !sepSeen) {
            norm += '.';
            sepSeen = true;
        } else {
            return false;
        }
    }
    if (mantDigits == 0) return false;
    if (i < s.size()) {  // exponent
        norm += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm += s[i++];
        int expDigits = 0;
        for (; i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            norm += s[i];
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    double v = 0;
    const auto r = std::from_chars(norm.data(), norm.data() + norm.size(), v);
    if (r.ec != std::errc() || r.ptr != norm.data() + norm.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}
