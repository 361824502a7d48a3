// The twenty like rows, one per gas parameter in code order, that the
// limits, constants and write-selection editors are built of.
//
// Each row is a set of controls found by name: a prefix and the row number,
// which is the parameter code + 1 ("pn1".."pn20" for the name panels, "ev",
// "cb", "pd", "l" for the rest); each control's Tag is its code. The rows
// share the rules of which codes an editor edits (the gas temperature never,
// oxygen only while the component set has it) and the way a limit value
// shows and is read back.
//
//   rows_ = gasrows::Rows(*this, {40, 23});              // first row's top, step
//   pn = rows_.NamePanels(8, 240, 22);                    // captions: GasParamNames
//   ev = rows_.Make<ui::Edit>("ev", 300, 80, 21);
//   for (int c = 0; c < gasrows::kRows; ++c) if (!gasrows::Edited(c, Oxygen)) ...
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/GasParams.h"
#include "ui/Ui.h"

namespace gasrows {

inline constexpr int kRows = kGasParamCount;

// Whether an editor edits code `code`: gas temperature never, oxygen only
// with the oxygen flag.
constexpr bool Edited(int code, bool oxygen) {
    if (code < 0 || code >= kRows || code == kParamGasTemperature) return false;
    return code != kParamOxygen || oxygen;
}
// The oxygen flag: bit 2 of the lines-in-use byte (table 14 byte 7).
constexpr bool OxygenInComponents(uint8_t linesByte) { return (linesByte & 0x04) != 0; }

// "pn7": the prefix and the row number (code + 1).
std::string RowName(std::string_view prefix, int code);

// The rows of a form: row `code` lies at top + code * step in `parent`
// (the form itself when null).
class Rows {
public:
    Rows() = default;
    Rows(ui::Form& form, int top, int step, ui::Control* parent = nullptr)
        : form_(&form), parent_(parent), top_(top), step_(step) {}

    int Top(int code) const { return top_ + code * step_; }

    // One control of type T per code, named prefix + row number, Tag = code,
    // at (left, Top(code) + dy) with the given size; found again by name.
    template <class T> std::array<T*, kRows> Make(std::string_view prefix, int left, int width, int height, int dy = 0) {
        for (int c = 0; c < kRows; ++c) {
            T& ctl = form_->Make<T>(RowName(prefix, c));
            if (parent_) ctl.SetParent(parent_);
            ctl.SetTag(c);
            ctl.SetBounds(left, Top(c) + dy, width, height);
        }
        return Find<T>(prefix);
    }
    template <class T> std::array<T*, kRows> Find(std::string_view prefix) const {
        std::array<T*, kRows> out{};
        for (int c = 0; c < kRows; ++c) out[c] = form_->Find<T>(RowName(prefix, c));
        return out;
    }

    // The name panels pn1..pn20: lowered, the gas parameter's name
    // (GasParamNames) left-aligned.
    std::array<ui::Panel*, kRows> NamePanels(int left, int width, int height);

private:
    ui::Form* form_ = nullptr;
    ui::Control* parent_ = nullptr;
    int top_ = 0, step_ = 0;
};

// The name of a code (GasParamNames), "" outside 0..19.
std::string ParamName(int code);

// A heading panel over a column: lowered, bold, its lines centred.
void Heading(ui::Panel& p, const std::string& caption, int left, int top, int width, int height);

// A limit value as the limits editor shows it: fixed-point, precision 10,
// `decimals` digits after the separator.
std::string LimitText(double v, int decimals);
// Leaving a value edit: a number is written back as LimitText; a text that is
// no number stays as typed. True when it was a number.
bool ReformatLimitEdit(ui::Edit& e, int decimals);

// The texts the value edits showed when the window opened. A shown text
// rounds the stored value to a few decimals; an edit the operator left as it
// was keeps the stored value exactly, so that accepting an untouched window
// changes nothing.
class ShownTexts {
public:
    void Clear() { shown_.fill(false); }
    void Remember(int code, const std::string& text);
    bool Untouched(int code, const std::string& text) const;

private:
    std::array<std::string, kRows> texts_;
    std::array<bool, kRows> shown_{};
};

// What a value edit holds, as single precision.
enum class Value { Empty, Invalid, Number };
// Invalid: not a number, or not finite once rounded to single precision.
Value ReadSingle(const std::string& text, float& v);

// The value of `code` in a block of 20 little-endian single-precision
// values (any alignment), and storing one.
float GetValue(const uint8_t* block, int code);
void PutValue(uint8_t* block, int code, float v);

}  // namespace gasrows
