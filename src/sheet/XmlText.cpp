#include "sheet/XmlText.h"

#include <charconv>
#include <cmath>

namespace sheet {

namespace {

// Decodes one UTF-8 sequence at s[i]. Returns the code point and advances i,
// or returns -1 (and advances one byte) for an invalid sequence.
long DecodeUtf8(std::string_view s, size_t& i) {
    const unsigned char b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len;
    long cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        ++i;
        return -1;
    }
    if (i + len > s.size()) {
        ++i;
        return -1;
    }
    for (int k = 1; k < len; ++k) {
        const unsigned char b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are invalid.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += len;
    return cp;
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void AppendEscape(std::string& out, long cp) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "_x";
    out.push_back(kHex[(cp >> 12) & 0xF]);
    out.push_back(kHex[(cp >> 8) & 0xF]);
    out.push_back(kHex[(cp >> 4) & 0xF]);
    out.push_back(kHex[cp & 0xF]);
    out.push_back('_');
}

}  // namespace

size_t AppendCellText(std::string& out, std::string_view s) {
    size_t count = 0;
    size_t i = 0;
    while (i < s.size()) {
        // Fast path: a run of plain ASCII that needs no escaping.
        size_t j = i;
        while (j < s.size()) {
            const unsigned char b = static_cast<unsigned char>(s[j]);
            if (b >= 0x80 || b < 0x20 || b == '&' || b == '<' || b == '>' || b == '_') break;
            ++j;
        }
        if (j > i) {
            out.append(s.data() + i, j - i);
            count += j - i;
            i = j;
            continue;
        }
        const size_t start = i;
        const long cp = DecodeUtf8(s, i);
        ++count;
        if (cp < 0) {
            out += "\xEF\xBF\xBD";
        } else if (cp == '&') {
            out += "&amp;";
        } else if (cp == '<') {
            out += "&lt;";
        } else if (cp == '>') {
            out += "&gt;";
        } else if (cp == '_') {
            // "_x0041_" typed by the caller must not read back as "A".
            if (s.size() - start >= 7 && s[start + 1] == 'x' && IsHex(s[start + 2]) &&
                IsHex(s[start + 3]) && IsHex(s[start + 4]) && IsHex(s[start + 5]) &&
                s[start + 6] == '_')
                AppendEscape(out, '_');
            else
                out.push_back('_');
        } else if (cp == '\r') {
            out += "&#13;";   // a bare CR would be folded into LF by the reader
        } else if ((cp < 0x20 && cp != '\t' && cp != '\n') || cp == 0xFFFE || cp == 0xFFFF) {
            AppendEscape(out, cp);
        } else {
            out.append(s.data() + start, i - start);
        }
    }
    return count;
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size())
        if (DecodeUtf8(s, i) < 0) return false;
    return true;
}

bool NeedsSpacePreserve(std::string_view t) {
    if (t.empty()) return false;
    auto ws = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    if (ws(t.front()) || ws(t.back())) return true;
    return t.find_first_of("\t\n\r") != std::string_view::npos;
}

void AppendAttrValue(std::string& out, std::string_view v) {
    for (char c : v) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            default: out.push_back(c);
        }
    }
}

std::string NumberText(double v) {
    if (!std::isfinite(v)) return "0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

void AppendUInt(std::string& out, unsigned long long v) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

}  // namespace sheet
