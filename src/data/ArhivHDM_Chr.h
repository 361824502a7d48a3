// The chromatograph's hourly (mode 0) or daily (mode 1) archive of one
// measuring line: per record the date, the start and end of the averaging
// interval, the number of valid measurements and the twenty gas parameters.
#pragma once
#include <functional>
#include <span>

#include "data/ViewerBody.h"

class TFormArhivHDM_Chr : public TwoGridViewer {
public:
    explicit TFormArhivHDM_Chr(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (with Header); the records stay the
    // caller's. Their number is the span's size.
    uint8_t Mode = 0;  // 0 hourly, 1 daily
    std::span<const HdmArchiveRecord> Records;

    // The spreadsheet export, once it exists; BitBtn5 shows only while set.
    static inline std::function<void(TFormArhivHDM_Chr&)> ExcelAction;

    bool Daily() const { return Mode == 1; }
    // The caption of the state-sign window for a record.
    std::string StateCaption(const HdmArchiveRecord& r) const;

private:
    void FormCreate();
    void FormShow();
    // Fills both grids: their row count; the rows are made from the records
    // when they are read (DateTexts, ValueTexts).
    void FillHdmGrid();
    void DateTexts(int row, std::vector<std::string>& texts) const override;
    void ValueTexts(int row, std::vector<std::string>& texts) const override;
    void BitBtn2Click();
    void BitBtn4Click();
    void StateSigns() override { BitBtn4Click(); }
};
