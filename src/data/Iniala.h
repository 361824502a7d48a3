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

class TFormAla : public MessageRowsForm<DiagnosticRecord, DiagnosticRow> {
public:
    explicit TFormAla(ui::Component* owner = nullptr);

    // The printed report, once it exists (BitBtn3 shows only then).
    static inline std::function<void(TFormAla&)> PrintAction;

    // Column numbers of the grid.
    int colDate = 0, colTime = 0, colEvent = 0, colObject = 0, colValue = 0, colSetpoint = 0, colUnit = 0;

    static constexpr const char* kUnreliableText = "  ***  Дані у запису недостовірні (не співпадає КС)";

private:
    void FormCreate();
    void FormShow();
    Texts ShownTexts(const DiagnosticRecord& r) const override;
    DiagnosticRow MadeRow(const DiagnosticRecord& r) const override;
    std::array<int, DiagnosticRow::kFieldCount> Columns() const override;
    void BitBtn2Click();
    void BitBtn3Click();

    // The moisture-meter type the records are read by, from FormShow on.
    uint8_t moistureMeterType_ = 0;
};

// Shows a diagnostic view (a read or an opened .ala file) in TFormAla.
void ShowDiagnosticView(ArchiveView& view);
