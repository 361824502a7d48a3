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

class TFormAud : public MessageRowsForm<InterventionRecord, InterventionRow> {
public:
    explicit TFormAud(ui::Component* owner = nullptr);

    // Whether the controller keeps its names in code page 866; unset: as
    // byte 12 of table 0 in the configuration image says (0 = code page 866).
    std::optional<bool> NamesIn866;

    int colDate = 0, colTime = 0, colParameter = 0, colOld = 0, colNew = 0, colUnit = 0, colOperator = 0;

    static constexpr const char* kUnreliableText = "  ***  Дані запису недостовірні (не збігається КС)";

private:
    void FormCreate();
    void FormShow();
    Texts ShownTexts(const InterventionRecord& r) const override;
    InterventionRow MadeRow(const InterventionRecord& r) const override;
    std::array<int, InterventionRow::kFieldCount> Columns() const override;
    void BitBtn2Click();

    // The code page the records' names are read in, from FormShow on.
    bool namesIn866_ = false;
};

// Shows an intervention view (a read or an opened .aud file) in TFormAud.
void ShowInterventionView(ArchiveView& view);
