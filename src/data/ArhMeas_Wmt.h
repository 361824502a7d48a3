// The moisture meter's archive of single measurements: per measurement its
// date and time, the controller status, the meter's state and the four
// values (water and hydrocarbon dew points, pressure, reduced water dew
// point).
#pragma once
#include <functional>
#include <span>

#include "data/ViewerBody.h"

class TFormArhMeas_Wmt : public WmtViewer {
public:
    explicit TFormArhMeas_Wmt(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (with Header).
    std::span<const WmtMomentaryRecord> Records;

    // The printed report and the spreadsheet export, once they exist.
    static inline std::function<void(TFormArhMeas_Wmt&)> PrintAction;
    static inline std::function<void(TFormArhMeas_Wmt&)> ExcelAction;

private:
    void FormCreate();
    void FormShow();
    // The grid's rows are made from the records when they are read
    // (RecordTexts); this makes it ask again.
    void FillWmtMomentaryGrid();
    void RecordTexts(int row, std::vector<std::string>& texts) const override;
    void BitBtn2Click();
};
