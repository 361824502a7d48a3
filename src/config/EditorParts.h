// Small pieces that the parameter editors share: the accept button of each
// mode with the cancel button beside it, the lists their combos offer, the
// typed digit-only combos and the input-error message.
//
//   editor::DialogWindow(*this, 412, 320, " Параметри ...");
//   editor::AcceptButtons(BitBtn3, BitBtn1, BitBtn2, 60, 300, 50, [this] { BitBtn1Click(); });
//                                                                 // "Прийняти", "Записати в пристрій", "Відмінити"
//   editor::ShowModeButton(BitBtn3, BitBtn1, Mode);              // at show: mode 1 shows the second
//   editor::NumberCombo(ComboBox1, 1, 254);
//   if (...) return editor::InputError("Уведені не всі параметри");
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ui/Ui.h"

namespace editor {

// An editor window: a dialog with the system menu only, centred on the
// screen, width x height; its caption when one is given (an editor that
// names its row in the caption sets it at show).
void DialogWindow(ui::Form& form, int width, int height, const char* caption = nullptr);

// A column of labelled drop-down lists: each label at (12, top + 3),
// labelWidth x height; its list at comboLeft, comboWidth wide, level with
// the label's top line, or tallShift lower beside a label of more lines.
struct ComboRow {
    ui::Label& label;
    ui::ComboBox& combo;
    const char* caption;
    int top, height;
};
void ComboRows(std::initializer_list<ComboRow> rows, int labelWidth, int comboLeft, int comboWidth, int tallShift);

// The two accept buttons of an editor at the same place ("Прийняти" for
// mode 0, "Записати в пристрій" for mode 1, both 160 x 30 with the OK
// glyph, both running onAccept), and "Відмінити" (Cancel glyph, Esc,
// closes without storing) `gap` pixels to the right of them.
void AcceptButtons(ui::Button& accept, ui::Button& write, ui::Button& cancel, int left, int top, int gap,
                   const std::function<void()>& onAccept);
// "Відмінити" alone: Cancel glyph, Esc, closes without storing; width x 30.
void CancelButton(ui::Button& cancel, int left, int top, int width);
// Mode 1 shows `write` (opened from the main menu), any other mode `accept`.
void ShowModeButton(ui::Button& accept, ui::Button& write, uint8_t mode);

// "first".."last" as decimal text.
std::vector<std::string> NumberItems(int first, int last);
// The 22 rates of BaudRates as decimal text, in code order.
std::vector<std::string> BaudItems();

// An editable combo that takes digits only, at most `maxLength` of them.
void DigitsOnly(ui::ComboBox& c, int maxLength);
// A typed number: "first".."last" to choose from (16 shown at a time),
// digits only, no more of them than `last` has.
void NumberCombo(ui::ComboBox& c, int first, int last);

// The input-error message (kind 2); the window stays open.
void InputError(const std::string& line1, const std::string& line2 = {});

}  // namespace editor

// The decimal text of an integer (the preamble fields show their byte with it).
std::string IntToText(long v);
