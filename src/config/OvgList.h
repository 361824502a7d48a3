// The list of flow computers (up to 16 rows of 20 bytes) with its row
// editor TFormOvgPar: change, add, delete, and the accept that checks every
// row and that no address is used twice.
//
//   TFormOvgList f(owner);
//   f.Rows = rows;               // the caller's rows (16 places)
//   f.Count = n;                 // 0 opens with one empty row
//   f.ThreadByte = linesByte;    // table 14 byte 7
//   f.Mode = 1;                  // 1 "Записати в пристрій", 0 "Прийняти"
//   f.ShowModal();
//   if (f.accepted) { n = f.Count; ... f.PasswordChanged[i] ... }
//
// The caller's rows and count change only on accept; the per-row
// password-changed flags then say which rows got a new password (added
// rows, and rows that moved up when one above them was deleted, always do).
#pragma once
#include <cstdint>

#include "config/OvgRows.h"
#include "ui/Ui.h"

class TFormOvgList : public ui::Form {
public:
    explicit TFormOvgList(ui::Component* owner = nullptr);

    OvgRow Work[kMaxOvgCount] = {};              // the working copy
    uint8_t LayoutFlags[kMaxOvgCount] = {};      // per row: 12 + 4 password layout
    uint8_t Count = 0;                           // rows (more than 16 are taken as 16)
    uint8_t PasswordChanged[kMaxOvgCount] = {};  // per row, read after accept
    OvgRow* Rows = nullptr;                      // the caller's rows
    uint8_t ThreadByte = 0;                      // bit 0 line 1, bit 1 line 2 in use
    uint8_t Mode = 0;                            // 0 "Прийняти", 1 "Записати в пристрій"
    uint8_t accepted = 0;

    ui::Panel Panel1{this, "Panel1"};  // "Адреса"
    ui::Panel Panel2{this, "Panel2"};  // "Тип"
    ui::Panel Panel3{this, "Panel3"};  // "Порядок байтів" / "у багатобайтних змінних"
    ui::Panel Panel4{this, "Panel4"};  // "Необхідність запису" / "параметрів газу" / "для трубопроводів"
    ui::StringGrid StringGrid1{this, "StringGrid1"};
    ui::Button BitBtn3{this, "BitBtn3"};  // "Змінити"
    ui::Button BitBtn6{this, "BitBtn6"};  // "Додати"
    ui::Button BitBtn8{this, "BitBtn8"};  // "Видалити"
    ui::Button BitBtn1{this, "BitBtn1"};  // "Прийняти" (mode 0)
    ui::Button BitBtn4{this, "BitBtn4"};  // "Записати в пристрій" (mode 1)
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    // Grid row i from working row i.
    void ShowOvgRow(int i);
    // Grid and window heights for the rows, the buttons under the grid.
    void FitListHeight();
    // "Додати" off at 16 rows, "Видалити" below 2.
    void UpdateListButtons();

private:
    void FormShow();
    void BitBtn3Click();
    void BitBtn6Click();
    void BitBtn8Click();
    void BitBtn1Click();
    int Selected() const;
    // Opens working row i in TFormOvgPar; true when it was accepted, and
    // passwordChanged then says whether its password bytes changed.
    bool EditRow(int i, bool& passwordChanged);
};
