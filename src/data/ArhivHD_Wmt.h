// The moisture meter's hourly (mode 6) or daily (mode 7) archive: per
// interval its date, start and end, the controller status and the four
// averaged values.
#pragma once
#include <functional>
#include <span>

#include "data/ViewerBody.h"

class TFormArhivHD_Wmt : public WmtViewer {
public:
    explicit TFormArhivHD_Wmt(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (with Header).
    uint8_t Mode = 6;  // 6 hourly, 7 daily
    std::span<const WmtArchiveRecord> Records;

    static inline std::function<void(TFormArhivHD_Wmt&)> PrintAction;
    static inline std::function<void(TFormArhivHD_Wmt&)> ExcelAction;

    bool Daily() const { return Mode == 7; }

private:
    void FormCreate();
    void FormShow();
    // The grid's rows are made from the records when they are read
    // (RecordTexts); this makes it ask again.
    void FillWmtArchiveGrid();
    void RecordTexts(int row, std::vector<std::string>& texts) const override;
    void BitBtn2Click();
};
