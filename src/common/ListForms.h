// Pieces that the list windows (subscribers, objects) and the windows of
// one subscriber, one object and the connection share: the column heads
// with their sort buttons over a grid, the button row under it, the empty
// list, and the controller address box with its check.
//
//   listforms::LayOutColumns({{&Panel3, "№", 40}, {&Panel4, "Найменування", 370}}, StringGrid1, 523, 372);
//   listforms::SortButton(SpeedButton1, Panel4, "Сортувати за найменуванням");
//   listforms::FillAddresses(ComboBox1);               // "1".."255"
//   int address;
//   if (!listforms::CheckNameAndAddress(Edit1, ComboBox1, address)) return;
#pragma once
#include <cstring>
#include <initializer_list>
#include <string>

#include "ui/Ui.h"

namespace listforms {

struct Column {
    ui::Panel* head;
    const char* caption;
    int width;
};

// The column heads side by side from (8, 8), 24 high, and the grid under
// them at (8, 32): one column per head, each a pixel narrower than its head
// (the grid line), rows 20 high, no fixed rows or columns, whole rows
// selected, a vertical scroll bar.
void LayOutColumns(std::initializer_list<Column> columns, ui::StringGrid& grid, int gridWidth, int gridHeight);

// A flat sort button "▼" at the right end of a column head.
void SortButton(ui::Button& b, ui::Panel& head, const char* hint);

// The five buttons under a list, all `width` wide and 32 high at `top`:
// "Змінити", "Додати", "Видалити", "Прийняти" (OK glyph) and "Відмінити"
// (Cancel glyph, Esc).
struct ButtonPlace {
    ui::Button* button;
    int left;
};
void ListButtons(const ButtonPlace (&places)[5], int top, int width);

// The sort button of the order in force (0 by name, 1 by the other
// column) is the disabled one; another order leaves both as they are.
void ShowSortOrder(int sort, ui::Button& byName, ui::Button& byOther);

// An empty list: the grid keeps one empty row; only "Додати" is enabled.
void ShowEmptyList(ui::StringGrid& grid, ui::Button& change, ui::Button& add, ui::Button& remove);

// A number in a grid cell, as printf formats it ("  %u").
std::string Format(const char* fmt, unsigned v);

// Removes entry `at` of the first `n` of a list; the freed last slot is
// zeroed.
template <class T, std::size_t N>
void RemoveAt(T (&items)[N], int n, int at) {
    for (int i = at; i < n - 1; ++i) items[i] = items[i + 1];
    std::memset(&items[n - 1], 0, sizeof items[n - 1]);
}

// The buttons of a record window: "Прийняти" (OK glyph, Enter) at (left,
// top) and "Відмінити" (Cancel glyph, Esc) 140 pixels further, each 120 x 32.
void AcceptCancelButtons(ui::Button& accept, ui::Button& cancel, int left, int top);

// The controller address box: editable, 3 characters, 16 lines dropped
// down; FillAddresses gives it the items "1".."255".
void SetUpAddressBox(ui::ComboBox& c);
void FillAddresses(ui::ComboBox& c);

// Nothing but blanks (or nothing at all): such a name or number is not given.
bool IsBlankText(const std::string& text);

// The name and the address of a record window are given and the address is
// 1..255; otherwise says so (message kind 2) and returns false. A name of
// blanks only counts as not given: it would show as an empty row.
bool CheckNameAndAddress(const ui::Edit& name, const ui::ComboBox& address, int& value);

}  // namespace listforms
