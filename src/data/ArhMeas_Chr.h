// The chromatograph's archive of single measurements of one measuring line:
// per analysis its date and time and the twenty gas parameters, with the
// controller's marks for analyses made while it was switched off, without a
// chromatograph link or during calibration.
#pragma once
#include <functional>
#include <span>

#include "data/ViewerBody.h"

class TFormArhMeas_Chr : public TwoGridViewer {
public:
    explicit TFormArhMeas_Chr(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (with Header).
    std::span<const ChromMeasRecord> Records;

    static inline std::function<void(TFormArhMeas_Chr&)> ExcelAction;

    std::string StateCaption(const ChromMeasRecord& r) const;

private:
    void FormCreate();
    void FormShow();
    // Fills both grids: their row count; the rows are made from the records
    // when they are read (DateTexts, ValueTexts).
    void FillMeasGrids();
    void DateTexts(int row, std::vector<std::string>& texts) const override;
    void ValueTexts(int row, std::vector<std::string>& texts) const override;
    void BitBtn2Click();
    void BitBtn4Click();
    void StateSigns() override { BitBtn4Click(); }
};
