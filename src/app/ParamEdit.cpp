#include "app/ParamEdit.h"

#include <cstring>
#include <span>

#include "config/ConfigImage.h"
#include "ui/Ui.h"

namespace {

// Bytes of the rows of `h`, or 0 when they do not lie in the table or do not
// fit the copy kept in OldRows.
std::size_t RowBytes(const TFormMain& form, const TableRequestHeader& h) {
    if (h.table >= kTableCount || h.rows == 0) return 0;
    const TableDescriptor& d = ConfigTableDir[h.table];
    if (!d.Exists() || int(h.first) + int(h.rows) > int(d.rows)) return 0;
    const std::size_t n = std::size_t(h.rows) * d.rowSize;
    return n <= sizeof form.OldRows ? n : 0;
}

}  // namespace

bool ReadRowsForEdit(TFormMain& form, const TableRequestHeader& h) {
    const std::size_t n = RowBytes(form, h);
    if (n == 0) return false;
    bool ok = false;
    {
        ui::HourGlass busy;
        ok = ReadTableRange(h, &form.StatusBar1, true);
    }
    if (!ok) return false;
    std::memcpy(form.OldRows, RowPtr(h.table, h.first), n);
    return true;
}

bool WriteRowsChangedFrom(TFormMain& form, const TableRequestHeader& h, std::span<const uint8_t> oldRows,
                          bool* nothingChanged) {
    if (nothingChanged) *nothingChanged = false;
    if (h.rows == 0) {
        // An empty range: nothing to compare, nothing to send.
        if (nothingChanged) *nothingChanged = true;
        return true;
    }
    const std::span<const uint8_t> now = RowsSpan(h.table, h.first, h.rows);
    if (now.empty() || oldRows.size() != now.size()) return false;
    const bool same = std::memcmp(oldRows.data(), now.data(), now.size()) == 0;
    if (nothingChanged) *nothingChanged = same;
    if (same) return true;
    ui::HourGlass busy;
    return WriteChangedRows(h, oldRows, &form.StatusBar1);
}

bool WriteEditedRows(TFormMain& form, const TableRequestHeader& h, bool* nothingChanged) {
    if (h.rows == 0) return WriteRowsChangedFrom(form, h, {}, nothingChanged);
    const std::size_t n = RowBytes(form, h);
    if (nothingChanged) *nothingChanged = false;
    if (n == 0) return false;
    return WriteRowsChangedFrom(form, h, std::span<const uint8_t>(form.OldRows, n), nothingChanged);
}

EditOutcome EditTableRows(TFormMain& form, const TableRequestHeader& h, const std::function<bool()>& edit,
                          const std::function<void()>& followUp) {
    if (!ReadRowsForEdit(form, h)) return EditOutcome::ReadFailed;
    if (!edit()) return EditOutcome::Cancelled;
    bool unchanged = false;
    if (!WriteEditedRows(form, h, &unchanged)) return EditOutcome::WriteFailed;
    if (followUp) followUp();
    return unchanged ? EditOutcome::Unchanged : EditOutcome::Written;
}
