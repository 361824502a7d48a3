#include "ui/Utf8.h"

namespace ui::utf8 {
namespace {
// Length of the sequence starting at s[i], 1 for a stray byte.
std::size_t SeqLen(std::string_view s, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + n > s.size()) return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}
}  // namespace

int Length(std::string_view s) {
    int n = 0;
    for (std::size_t i = 0; i < s.size(); i += SeqLen(s, i)) ++n;
    return n;
}

std::size_t ByteOffset(std::string_view s, int chars) {
    std::size_t i = 0;
    while (chars-- > 0 && i < s.size()) i += SeqLen(s, i);
    return i;
}

std::string Sub(std::string_view s, int from, int count) {
    std::size_t b = ByteOffset(s, from < 0 ? 0 : from);
    if (count < 0) return std::string(s.substr(b));
    std::size_t e = b + ByteOffset(s.substr(b), count);
    return std::string(s.substr(b, e - b));
}

std::u32string Decode(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = SeqLen(s, i);
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        if (n == 1) cp = c < 0x80 ? c : 0xFFFD;
        else {
            cp = c & (0x7F >> n);
            for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        out.push_back(cp);
        i += n;
    }
    return out;
}

std::string Encode(char32_t c) {
    std::string o;
    if (c < 0x80) o += char(c);
    else if (c < 0x800) { o += char(0xC0 | (c >> 6)); o += char(0x80 | (c & 0x3F)); }
    else if (c < 0x10000) {
        o += char(0xE0 | (c >> 12)); o += char(0x80 | ((c >> 6) & 0x3F)); o += char(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
        o += char(0xF0 | (c >> 18)); o += char(0x80 | ((c >> 12) & 0x3F));
        o += char(0x80 | ((c >> 6) & 0x3F)); o += char(0x80 | (c & 0x3F));
    } else o = "\xEF\xBF\xBD";
    return o;
}

std::string Encode(std::u32string_view s) {
    std::string o;
    for (char32_t c : s) o += Encode(c);
    return o;
}

}  // namespace ui::utf8
