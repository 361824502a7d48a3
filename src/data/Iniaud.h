// The operator-intervention list: the controller's intervention records
// (read by index or by period) or the rows of a saved .aud file, seven
// columns per change: date, time, the changed parameter, old value, new
// value, unit, operator. The list saves as an .aud file of fixed-width
// Windows-1251 rows. There is no printing from this window.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/ArchView.h"
#include "data/MessageDecoders.h"
#include "data/MessageList.h"

class TFormAud : public MessageListForm {
public:
    explicit TFormAud(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (with Header), as in TFormAla.
    uint8_t Mode = 0;
    uint32_t FirstIndex = 0;
    std::span<const InterventionRecord> Records;
    std::span<const InterventionRow> SavedRows;
    // Whether the controller keeps its names in code page 866; unset: as
    // byte 12 of table 0 in the configuration image says (0 = code page 866).
    std::optional<bool> NamesIn866;

    int colDate = 0, colTime = 0, colParameter = 0, colOld = 0, colNew = 0, colUnit = 0, colOperator = 0;

    // The rows shown, exactly as they are saved, made now.
    std::vector<InterventionRow> Rows() const;

    static constexpr const char* kUnreliableText = "  ***  Дані запису недостовірні (не збігається КС)";

private:
    void FormCreate();
    void FormShow();
    void ShowInterventionRecords();
    void ShowSavedInterventionRows();
    std::array<int, InterventionRow::kFieldCount> Columns() const;
    void RowTexts(int row, std::vector<std::string>& texts) const override;
    InterventionRow SavedRow(std::size_t n) const;
    void BitBtn2Click();

    // What the window shows, from FormShow on: the records, or the rows of
    // a file (fromFile_); the code page the records' names are read in.
    std::span<const InterventionRecord> records_;
    std::span<const InterventionRow> savedRows_;
    bool fromFile_ = false;
    bool namesIn866_ = false;
};

// Shows an intervention view (a read or an opened .aud file) in TFormAud.
void ShowInterventionView(ArchiveView& view);
