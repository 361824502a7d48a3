// The common way of the main menu's parameter items: the rows of a table are
// read from the controller into the image (the table layer offers the retry),
// kept as they were read in TFormMain::OldRows, edited in place in the image
// by their editor in mode 1 ("Записати в пристрій"), and the rows the
// operator changed are written back; a follow-up runs once the write
// succeeded.
//
//   void N_EthernetClick(TFormMain& form, ui::MenuItem&) {
//       EditTableRows(form, {29, 0, 7}, [&] {
//           TFormConEth ed(&form);
//           ed.Block = RowPtr(29, 0);
//           ed.Mode = 1;
//           ed.ShowModal();
//           return ed.accepted != 0;
//       });
//   }
//
// Items that move several tables or edit a copy use the steps one by one:
// ReadRowsForEdit, then their editor, then WriteEditedRows (against OldRows)
// or WriteRowsChangedFrom (against a copy of their own), table by table,
// stopping at the first failure.
//
// The rows are kept and compared as the image holds them, after the table
// layer's code-page conversion of the names (table 5): an editor closed
// without a change sends nothing, whatever code page the controller keeps
// its names in.
#pragma once
#include <cstdint>
#include <functional>
#include <span>

#include "app/Main.h"
#include "config/Conffun.h"

enum class EditOutcome {
    ReadFailed,    // the read failed; the operator has had the retry offer
    Cancelled,     // the editor closed without accepting
    Unchanged,     // accepted, nothing changed: nothing sent
    Written,       // accepted, the changed rows written
    WriteFailed,   // accepted, a write failed (the image keeps the edited rows)
};

// Reads the rows of `h` into the image under the hourglass (progress and
// errors in panel 2 of StatusBar1) and copies them into form.OldRows. False
// when the read failed, or when the rows do not fit OldRows (nothing is read
// then).
bool ReadRowsForEdit(TFormMain& form, const TableRequestHeader& h);

// Writes the rows of `h` that differ from form.OldRows, under the hourglass.
// `nothingChanged` (when given) tells whether there was nothing to write.
// True when every write succeeded or nothing needed writing (also for an
// empty range, which sends nothing).
bool WriteEditedRows(TFormMain& form, const TableRequestHeader& h, bool* nothingChanged = nullptr);

// The same against a copy the caller kept (`oldRows`: h.rows rows as read),
// for items that edit several tables or a copy of their rows. False, with
// nothing sent, when the copy does not hold exactly the rows of `h`.
bool WriteRowsChangedFrom(TFormMain& form, const TableRequestHeader& h, std::span<const uint8_t> oldRows,
                          bool* nothingChanged = nullptr);

// The whole way: read, `edit` (opens the editor on the image, returns
// whether it was accepted), write, then `followUp` once the write succeeded
// (also when there was nothing to send).
EditOutcome EditTableRows(TFormMain& form, const TableRequestHeader& h, const std::function<bool()>& edit,
                          const std::function<void()>& followUp = {});
