#include "platform/Codepage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace platform {
namespace {

// Bytes below 0x80 are ASCII in both code pages.
// Code points of the bytes 0x80..0xFF.
constexpr char16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};
// Code points of the bytes 0x80..0xFF.
constexpr char16_t kCp866High[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};

constexpr char32_t kReplacement = 0xFFFD;

// Reverse table of one code page: (code point, byte) sorted by code point.
using Reverse = std::array<std::pair<char32_t, uint8_t>, 128>;

Reverse BuildReverse(const char16_t* high) {
    Reverse r{};
    for (int i = 0; i < 128; ++i) r[i] = {high[i], static_cast<uint8_t>(0x80 + i)};
    std::sort(r.begin(), r.end());
    return r;
}

const Reverse& ReverseOf(CodePage cp) {
    static const Reverse r1251 = BuildReverse(kCp1251High);
    static const Reverse r866 = BuildReverse(kCp866High);
    return cp == CodePage::Cp866 ? r866 : r1251;
}

}  // namespace

char32_t ByteToUnicode(uint8_t byte, CodePage cp) {
    if (byte < 0x80) return byte;
    return (cp == CodePage::Cp866 ? kCp866High : kCp1251High)[byte - 0x80];
}

int UnicodeToByte(char32_t ch, CodePage cp) {
    if (ch < 0x80) return static_cast<int>(ch);
    if (ch == kReplacement) return -1;
    const Reverse& r = ReverseOf(cp);
    auto it = std::lower_bound(r.begin(), r.end(), std::make_pair(ch, uint8_t{0}));
    if (it != r.end() && it->first == ch) return it->second;
    if (cp == CodePage::Cp866) {
        // Code page 866 has no Ukrainian I; the controller's names hold the
        // Latin letters in its place.
        if (ch == 0x0406) return 'I';
        if (ch == 0x0456) return 'i';
    }
    return -1;
}

void AppendUtf8(std::string& out, char32_t ch) {
    if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) ch = kReplacement;
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

std::u32string DecodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const auto b0 = static_cast<uint8_t>(s[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) { len = 2; cp = b0 & 0x1F; min = 0x80; }
        else if (b0 >= 0xE0 && b0 <= 0xEF) { len = 3; cp = b0 & 0x0F; min = 0x800; }
        else if (b0 >= 0xF0 && b0 <= 0xF4) { len = 4; cp = b0 & 0x07; min = 0x10000; }
        if (len == 0 || i + len > n) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const auto b = static_cast<uint8_t>(s[i + k]);
            if ((b & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(len);
    }
    return out;
}

std::string ToUtf8(std::string_view bytes, CodePage cp) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) AppendUtf8(out, ByteToUnicode(static_cast<uint8_t>(c), cp));
    return out;
}

std::string FromUtf8(std::string_view utf8, CodePage cp) {
    std::string out;
    out.reserve(utf8.size());
    for (char32_t ch : DecodeUtf8(utf8)) {
        int b = UnicodeToByte(ch, cp);
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

std::string Cp1251ToUtf8(std::string_view bytes) { return ToUtf8(bytes, CodePage::Cp1251); }
std::string Utf8ToCp1251(std::string_view utf8) { return FromUtf8(utf8, CodePage::Cp1251); }
std::string Cp866ToUtf8(std::string_view bytes) { return ToUtf8(bytes, CodePage::Cp866); }
std::string Utf8ToCp866(std::string_view utf8) { return FromUtf8(utf8, CodePage::Cp866); }

bool WriteField(void* field, std::size_t width, std::string_view utf8, uint8_t pad, CodePage cp) {
    if (field == nullptr || width == 0) return utf8.empty();
    const std::string bytes = FromUtf8(utf8, cp);
    const std::size_t n = std::min(bytes.size(), width);
    auto* dst = static_cast<uint8_t*>(field);
    std::memcpy(dst, bytes.data(), n);
    std::memset(dst + n, pad, width - n);
    return bytes.size() <= width;
}

std::string ReadField(const void* field, std::size_t width, CodePage cp, bool trimRight) {
    if (field == nullptr) return {};
    const auto* src = static_cast<const char*>(field);
    std::size_t n = 0;
    while (n < width && src[n] != '\0') ++n;
    if (trimRight)
        while (n > 0 && src[n - 1] == ' ') --n;
    return ToUtf8(std::string_view(src, n), cp);
}

}  // namespace platform
