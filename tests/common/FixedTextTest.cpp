// FloatToStrFixed against the conversion it replaced (kept below as the
// reference: the 18 digits of "%.17e", then rounded half up), value for
// value, over random and hand-picked values, every decimals count and many
// precisions.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/Suplfunc.h"

namespace {

// ---- the reference: the former conversion, unchanged

void RefDecimalDigits(double a, std::string& digits, int& exp10) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17e", a);
    digits.clear();
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    exp10 = (*p == 'e') ? std::atoi(p + 1) + 1 : 1;
}

void RefRoundDigits(std::string& digits, int& exp10, int keep) {
    if (keep < 0) {
        digits.clear();
    } else if (std::size_t(keep) < digits.size()) {
        const bool up = digits[std::size_t(keep)] >= '5';
        digits.resize(std::size_t(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[std::size_t(i)] == '9') digits[std::size_t(i--)] = '0';
            if (i >= 0) {
                ++digits[std::size_t(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++exp10;
            }
        }
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

std::string RefFloatToStrFixed(double v, int precision, int digits) {
    if (std::isnan(v)) return "NAN";
    if (!std::isfinite(v)) return v > 0 ? "INF" : "-INF";
    precision = std::clamp(precision, 1, 18);
    digits = std::clamp(digits, 0, 18);
    std::string d;
    int exp10 = 0;
    if (v != 0) {
        RefDecimalDigits(std::fabs(v), d, exp10);
        RefRoundDigits(d, exp10, std::min(precision, exp10 + digits));
    }
    const char sep = DecimalSeparator();
    if (d.empty()) {
        std::string zero(1, '0');
        if (digits > 0) {
            zero += sep;
            zero.append(std::size_t(digits), '0');
        }
        return zero;
    }
    std::string out;
    if (std::signbit(v)) out += '-';
    if (exp10 > precision) {
        out += d[0];
        if (d.size() > 1) {
            out += sep;
            out.append(d, 1);
        }
        out += 'E';
        out += std::to_string(exp10 - 1);
        return out;
    }
    auto digitAt = [&](int pos) { return (pos >= 0 && std::size_t(pos) < d.size()) ? d[std::size_t(pos)] : '0'; };
    if (exp10 <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < exp10; ++i) out += digitAt(i);
    }
    if (digits > 0) {
        out += sep;
        for (int i = 0; i < digits; ++i) out += digitAt(exp10 + i);
    }
    return out;
}

// ---- comparing

struct Checker {
    int compared = 0, failed = 0;
    void One(double v, int precision, int digits) {
        ++compared;
        const std::string want = RefFloatToStrFixed(v, precision, digits);
        const std::string got = FloatToStrFixed(v, precision, digits);
        if (got == want) return;
        if (++failed <= 20) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.17g (%a)", v, v);
            ADD_FAILURE() << buf << " precision " << precision << " digits " << digits << ": \"" << got
                          << "\", was \"" << want << "\"";
        }
    }
    // Every decimals count 0..18 (and the clamped ones), at the precisions
    // the program uses and at one more that moves with the value.
    void All(double v, int salt) {
        const int extra = 1 + salt % 18;
        for (int digits = 0; digits <= 18; ++digits)
            for (int precision : {10, 12, 18, extra}) {
                One(v, precision, digits);
                One(-v, precision, digits);
            }
        One(v, 0, -1);
        One(v, 25, 25);
    }
};

TEST(FixedText, SpecialValuesAsBefore) {
    Checker c;
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {std::nan(""), -std::nan(""), inf, -inf, 0.0, -0.0}) c.All(v, 3);
    EXPECT_EQ(FloatToStrFixed(-0.0, 10, 2), "0,00");
    EXPECT_EQ(FloatToStrFixed(-0.0001, 10, 2), "0,00");  // rounded away: no sign
    EXPECT_EQ(FloatToStrFixed(-0.006, 10, 2), "-0,01");
    EXPECT_EQ(FloatToStrFixed(std::nan(""), 12, 4), "NAN");
    EXPECT_EQ(FloatToStrFixed(-inf, 12, 4), "-INF");
    EXPECT_EQ(c.failed, 0);
}

TEST(FixedText, RoundingEdgesAsBefore) {
    Checker c;
    std::mt19937_64 rng(7);
    // Halves of the last kept decimal ("2.675", "0.125"), and the doubles
    // around them, for 0..18 decimals.
    for (int d = 0; d <= 18; ++d) {
        for (int k = 0; k < 60; ++k) {
            const double n = double(rng() % 100000000) + (k < 10 ? double(k) * 1e9 : 0);
            double v = (n + 0.5) / std::pow(10.0, d);
            for (int step = 0; step < 3; ++step) {
                c.All(v, d + k);
                c.All(std::nextafter(v, 0.0), d + k + 1);
                c.All(std::nextafter(v, 1e300), d + k + 2);
                v = std::nextafter(std::nextafter(v, 1e300), 1e300);
            }
        }
    }
    // Runs of nines that carry into a new leading digit.
    for (double v : {0.95, 0.995, 9.5, 99.95, 999.9999995, 9999999999.5, 0.0995, 0.00095, 0.999999999999999999,
                     9.9999999999999991, 99999999999999999.0, 999999999999999.94})
        for (int i = -2; i <= 2; ++i) {
            double w = v;
            for (int s = 0; s < std::abs(i); ++s) w = std::nextafter(w, i < 0 ? 0.0 : 1e300);
            c.All(w, i + 9);
        }
    EXPECT_EQ(c.failed, 0);
}

TEST(FixedText, TiesAtTheEighteenthDigitAsBefore) {
    // Values whose exact decimal expansion has 19 significant digits ending
    // in 5: "%.17e" rounds them to even, and so must the new conversion.
    Checker c;
    std::mt19937_64 rng(11);
    int ties = 0;
    for (int f = 5; f <= 19; ++f) {
        const int intDigits = 19 - f;
        const double lo = intDigits > 0 ? std::pow(10.0, intDigits - 1) : 0.0;
        for (int k = 0; k < 80; ++k) {
            const double whole =
                intDigits > 0 ? lo + double(rng() % uint64_t(9 * lo > 1 ? 9 * lo : 1)) : 0.0;
            const double frac = double(2 * (rng() % (uint64_t(1) << (f - 1))) + 1) / std::ldexp(1.0, f);
            const double v = whole + frac;
            char buf[80];
            std::snprintf(buf, sizeof buf, "%.30e", v);
            std::string digits;
            for (const char* p = buf; *p && *p != 'e'; ++p)
                if (*p >= '0' && *p <= '9') digits += *p;
            if (digits.size() > 19 && digits[18] == '5' && digits.find_first_not_of('0', 19) == std::string::npos)
                ++ties;
            c.All(v, f + k);
        }
    }
    EXPECT_GT(ties, 200);
    EXPECT_EQ(c.failed, 0);
}

TEST(FixedText, RandomValuesOfEveryMagnitudeAsBefore) {
    Checker c;
    std::mt19937_64 rng(2024);
    // Every float exponent, random mantissas: what the archives hold.
    for (int i = 0; i < 3000; ++i) {
        const uint32_t bits = uint32_t(rng()) & 0x7FFFFFFFu;
        const float f = std::bit_cast<float>(bits);
        if (!std::isfinite(f)) continue;
        c.All(double(f), i);
    }
    // Doubles from 1e-12 to 1e20, log-uniform, and any bit pattern.
    std::uniform_real_distribution<double> exp10(-12.0, 20.0);
    for (int i = 0; i < 2000; ++i) c.All(std::pow(10.0, exp10(rng)), i);
    for (int i = 0; i < 1000; ++i) {
        const double v = std::bit_cast<double>(rng() & 0x7FFFFFFFFFFFFFFFull);
        if (std::isfinite(v)) c.All(v, i);
    }
    // Powers of ten and their neighbours, the range ends of the exact path,
    // large integers, the smallest and largest doubles.
    for (int e = -25; e <= 25; ++e) {
        const double p = std::pow(10.0, e);
        for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e308), 5 * p, 9.999999 * p}) c.All(v, e + 30);
    }
    for (double v : {9007199254740992.0, 9007199254740993.0, 9007199254740991.0, 123456789012345678.0,
                     999999999999999872.0, 1e18, 1.5e12, 1.6777216e10, DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 5e-324,
                     1e-300, 2.2250738585072009e-308, 1e-9, 1e-10, 9.99999999e-10, 3.0517578125e-05})
        c.All(v, 5);
    EXPECT_GT(c.compared, 500000);
    EXPECT_EQ(c.failed, 0);
}

TEST(FixedText, SeparatorFollowsTheSetting) {
    const char saved = DecimalSeparator();
    SetDecimalSeparator('.');
    Checker c;
    for (double v : {12345.678901, -3.5, 0.125, 1.5e12, 0.0}) c.All(v, 4);
    EXPECT_EQ(FloatToStrFixed(12345.678901, 10, 6), "12345.678900");
    SetDecimalSeparator(saved);
    EXPECT_EQ(FloatToStrFixed(12345.678901, 10, 6), "12345,678900");
    EXPECT_EQ(c.failed, 0);
}

}  // namespace
