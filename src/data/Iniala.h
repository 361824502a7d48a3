// The diagnostic-message list: the controller's diagnostic records (read by
// index or by period) or the rows of a saved .ala file, seven columns per
// message: date, time, event, object / cause, current value, set point,
// unit. The list saves as an .ala file of fixed-width Windows-1251 rows; the
// print button hands the list to the printed report once that is set.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "data/ArchView.h"
#include "data/MessageDecoders.h"
#include "data/MessageList.h"

class TFormAla : public MessageListForm {
public:
    explicit TFormAla(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (with Header); they stay the
    // caller's. Modes 0 (read by index) and 1 (read by period) show
    // Records; mode 2 (from a file) shows SavedRows.
    uint8_t Mode = 0;
    uint32_t FirstIndex = 0;  // mode 0: index of the first record (caption)
    std::span<const DiagnosticRecord> Records;
    std::span<const DiagnosticRow> SavedRows;

    // The printed report, once it exists (BitBtn3 shows only then).
    static inline std::function<void(TFormAla&)> PrintAction;

    // Column numbers of the grid.
    int colDate = 0, colTime = 0, colEvent = 0, colObject = 0, colValue = 0, colSetpoint = 0, colUnit = 0;

    // The rows shown, exactly as they are saved (one per record or file
    // row), made now.
    std::vector<DiagnosticRow> Rows() const;

    static constexpr const char* kUnreliableText = "  ***  Дані у запису недостовірні (не співпадає КС)";

private:
    void FormCreate();
    void FormShow();
    void ShowDiagnosticRecords();
    void ShowSavedDiagnosticRows();
    std::array<int, DiagnosticRow::kFieldCount> Columns() const;
    void RowTexts(int row, std::vector<std::string>& texts) const override;
    DiagnosticRow SavedRow(std::size_t n) const;
    void BitBtn2Click();
    void BitBtn3Click();

    // What the window shows, from FormShow on: the records, or the rows of
    // a file (fromFile_); the moisture-meter type the records read by.
    std::span<const DiagnosticRecord> records_;
    std::span<const DiagnosticRow> savedRows_;
    bool fromFile_ = false;
    uint8_t moistureMeterType_ = 0;
};

// Shows a diagnostic view (a read or an opened .ala file) in TFormAla.
void ShowDiagnosticView(ArchiveView& view);
