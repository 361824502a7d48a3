// The chromatograph's verification archive: per check against a reference
// gas its date and time, the result, the measuring line and the measured
// gas parameters (gas temperature is not part of a verification).
#pragma once
#include <functional>
#include <span>

#include "data/ViewerBody.h"

class TFormArhiv_Verif : public TwoGridViewer {
public:
    explicit TFormArhiv_Verif(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (with Header).
    std::span<const VerifRecord> Records;

    static inline std::function<void(TFormArhiv_Verif&)> ExcelAction;

private:
    void FormCreate();
    void FormShow();
    // Fills both grids: their row count; the rows are made from the records
    // when they are read (DateTexts, ValueTexts).
    void FillVerifGrids();
    void DateTexts(int row, std::vector<std::string>& texts) const override;
    void ValueTexts(int row, std::vector<std::string>& texts) const override;
    void BitBtn2Click();
};
