#include "emulator/Text.h"

namespace emu {

namespace {

std::vector<uint32_t> Decode(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<uint8_t>(s[i]);
        int n = 0;
        uint32_t cp = 0;
        if (c < 0x80) { cp = c; n = 0; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; n = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; n = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; n = 3; }
        else { out.push_back(0xFFFD); ++i; continue; }
        if (n > 0 && i + n >= s.size()) { out.push_back(0xFFFD); break; }  // cut short
        bool ok = true;
        for (int k = 1; k <= n; ++k) {
            const auto d = static_cast<uint8_t>(s[i + k]);
            if ((d & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { out.push_back(0xFFFD); ++i; continue; }
        out.push_back(cp);
        i += n + 1;
    }
    return out;
}

}  // namespace

std::vector<uint8_t> Utf8To866(const std::string& utf8) {
    std::vector<uint8_t> out;
    for (uint32_t cp : Decode(utf8)) {
        uint8_t b = '_';
        if (cp < 0x80) b = static_cast<uint8_t>(cp);
        else if (cp >= 0x410 && cp <= 0x42F) b = static_cast<uint8_t>(0x80 + (cp - 0x410));   // А..Я
        else if (cp >= 0x430 && cp <= 0x43F) b = static_cast<uint8_t>(0xA0 + (cp - 0x430));   // а..п
        else if (cp >= 0x440 && cp <= 0x44F) b = static_cast<uint8_t>(0xE0 + (cp - 0x440));   // р..я
        else switch (cp) {
            case 0x401: b = 0xF0; break;  // Ё
            case 0x451: b = 0xF1; break;  // ё
            case 0x404: b = 0xF2; break;  // Є
            case 0x454: b = 0xF3; break;  // є
            case 0x407: b = 0xF4; break;  // Ї
            case 0x457: b = 0xF5; break;  // ї
            case 0x40E: b = 0xF6; break;  // Ў
            case 0x45E: b = 0xF7; break;  // ў
            case 0x406: b = 'I'; break;   // І
            case 0x456: b = 'i'; break;   // і
            case 0x490: b = 0x83; break;  // Ґ as Г
            case 0x491: b = 0xA3; break;  // ґ as г
            case 0xB0: b = 0xF8; break;   // °
            case 0xB7: b = 0xFA; break;   // ·
            case 0x2116: b = 0xFC; break; // №
            case 0xA4: b = 0xFD; break;   // ¤
            default: break;
        }
        out.push_back(b);
    }
    return out;
}

std::vector<uint8_t> Utf8To1251(const std::string& utf8) {
    std::vector<uint8_t> out;
    for (uint32_t cp : Decode(utf8)) {
        uint8_t b = '?';
        if (cp < 0x80) b = static_cast<uint8_t>(cp);
        else if (cp >= 0x410 && cp <= 0x44F) b = static_cast<uint8_t>(0xC0 + (cp - 0x410));   // А..я
        else switch (cp) {
            case 0x401: b = 0xA8; break;  // Ё
            case 0x451: b = 0xB8; break;  // ё
            case 0x404: b = 0xAA; break;  // Є
            case 0x454: b = 0xBA; break;  // є
            case 0x406: b = 0xB2; break;  // І
            case 0x456: b = 0xB3; break;  // і
            case 0x407: b = 0xAF; break;  // Ї
            case 0x457: b = 0xBF; break;  // ї
            case 0x490: b = 0xA5; break;  // Ґ
            case 0x491: b = 0xB4; break;  // ґ
            case 0x40E: b = 0xA1; break;  // Ў
            case 0x45E: b = 0xA2; break;  // ў
            case 0xB0: b = 0xB0; break;   // °
            case 0x2116: b = 0xB9; break; // №
            default: break;
        }
        out.push_back(b);
    }
    return out;
}

std::vector<uint8_t> Field(std::vector<uint8_t> bytes, std::size_t width, uint8_t pad) {
    bytes.resize(width, pad);
    return bytes;
}

}  // namespace emu
