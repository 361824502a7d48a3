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
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "ui/Ui.h"

namespace listforms {

// The window of a list of entries (TFormAbonents_List, TFormObjects_List):
// the column heads with their sort buttons over the grid, the five buttons
// under it, and what the grid and the buttons do with the list's count,
// selection and sort order. A derived window says where the list is, fills
// the grid, opens the window of one entry and stores on "Прийняти".
class ListWindow : public ui::Form {
public:
    ui::Panel Panel3{this, "Panel3"};  // "№"
    ui::Panel Panel4{this, "Panel4"};  // "Найменування"
    ui::Button SpeedButton1{this, "SpeedButton1"};  // sort by name
    ui::Panel Panel7{this, "Panel7"};  // the address
    ui::Button SpeedButton2{this, "SpeedButton2"};  // sort by the last column
    ui::StringGrid StringGrid1{this, "StringGrid1"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Змінити"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Додати"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Видалити"
    ui::Button BitBtn4{this, "BitBtn4"};  // "Прийняти"
    ui::Button BitBtn5{this, "BitBtn5"};  // "Відмінити"

    std::uint8_t accepted = 0;  // 1 when closed with "Прийняти"

    void StringGrid1Click();    // selects the entry of the grid's row
    void StringGrid1DblClick();  // selects it and changes it
    void SpeedButton1Click();   // sort by name
    void SpeedButton2Click();   // sort by the other column
    void BitBtn1Click();        // "Змінити": the entry's window on the selected entry
    void BitBtn2Click();        // "Додати": the entry's window on the first free slot
    void BitBtn3Click();        // "Видалити", after the question
    virtual void BitBtn4Click() = 0;  // "Прийняти"
    void BitBtn5Click();        // "Відмінити"

protected:
    // `limit` entries at most; `deleteQuestion` the second line of the
    // question before a deletion.
    ListWindow(ui::Component* owner, std::string name, int limit, const char* deleteQuestion);

    // The count, selection and sort order of the list shown; all null when
    // there is no list to show.
    struct Header {
        std::uint8_t* num = nullptr;
        std::uint8_t* index = nullptr;
        std::uint8_t* sort = nullptr;
    };
    virtual Header ListHeader() = 0;
    // Sorts the list and fills the grid.
    virtual void Refresh() = 0;
    // The window of one entry on slot `slot` (mode 1 change, 0 add); true
    // when it was accepted.
    virtual bool EditEntry(int slot, int mode) = 0;
    // Removes entry `at` of the first `n`.
    virtual void RemoveEntry(int n, int at) = 0;

    // An empty list: one empty row, only "Додати" enabled.
    void ShowEmptyGrid();
    // After the rows are filled: the selected row, and the buttons.
    void FinishRefresh(int count, int index);

private:
    int limit_;
    const char* deleteQuestion_;
};

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
