// Basic value types of the window framework: colours, fonts, alignment,
// cursors, modal results and key codes.
#pragma once
#include <cstdint>
#include <string>

namespace ui {

// Colours are 0x00BBGGRR, as the controller's tools have always stored them.
using Color = std::uint32_t;
constexpr Color clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0,
                clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                clWhite = 0xFFFFFF;
// The classic desktop's system colours, as plain values.
constexpr Color clBtnFace = 0xC8D0D4, clWindow = 0xFFFFFF, clWindowText = 0x000000,
                clBtnText = 0x000000, clHighlight = 0x6A240A, clHighlightText = 0xFFFFFF,
                clInfoBk = 0xE1FFFF, clGrayText = 0x808080;

constexpr int RedOf(Color c) { return int(c & 0xFF); }
constexpr int GreenOf(Color c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return int((c >> 16) & 0xFF); }
constexpr Color Rgb(int r, int g, int b) { return Color(r & 0xFF) | Color(g & 0xFF) << 8 | Color(b & 0xFF) << 16; }

// A font; Height is in pixels of a 96-dpi screen.
struct Font {
    std::string Name = "Tahoma";
    int Height = 11;
    ui::Color Color = clWindowText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const Font&) const = default;
};

enum class Align { None, Top, Bottom, Left, Right, Client };
enum class TextAlign { Left, Center, Right };
enum class TextLayout { Top, Center, Bottom };
enum class Bevel { None, Lowered, Raised };
enum class ScrollBars { None, Horizontal, Vertical, Both };
enum class Cursor { Default, HourGlass };

// Modal results.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
              mrYes = 6, mrNo = 7, mrClose = 8;

// Key codes of key-down events (virtual-key numbering).
namespace key {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Escape = 27,
              Space = 32, PageUp = 33, PageDown = 34, End = 35, Home = 36, Left = 37,
              Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46,
              F1 = 112, F2 = 113, F3 = 114, F4 = 115, F5 = 116, F10 = 121;
}
struct Shift {
    bool shift = false, ctrl = false, alt = false;
};

// Application message box flags and answers.
constexpr int MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4, MB_ICONERROR = 0x10,
              MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;

}  // namespace ui
