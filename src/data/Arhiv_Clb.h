// The chromatograph's calibration archive: per calibration its date and
// time, the result, the measuring line and, per gas parameter, the measured
// value together with the response factor the calibration gave.
#pragma once
#include <functional>
#include <span>

#include "data/ViewerBody.h"

class TFormArhiv_Clb : public ArchiveViewerForm {
public:
    explicit TFormArhiv_Clb(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (with Header).
    std::span<const CalibRecord> Records;

    static inline std::function<void(TFormArhiv_Clb&)> ExcelAction;

    ui::ScrollBox ScrollBox1{this, "ScrollBox1"};
    // Two heading rows, then record n in row n + 2. Column 0 is a spacer,
    // 1..4 date, time, result and line, 5 + i the parameter at display
    // position i.
    ui::StringGrid StringGrid1{this, "StringGrid1"};

    static constexpr int kHeadRows = 2;
    static constexpr int kFirstValueCol = 5;
    static constexpr int kRowHeight = 20;

    // The column of a gas-parameter code, -1 for a bad code.
    static int ValueColumn(int code);

    // The texts of the record rows (row i = record i, grid row i + 2), made
    // when they are read.
    const ui::RowSource& Rows() const { return rows_; }

private:
    void FormCreate();
    void FormShow();
    void FillHeadings();
    // The record rows: their count and the display settings they are made
    // with; the rows are made when they are read (RecordTexts).
    void FillCalibGrid();
    void RecordTexts(int row, std::vector<std::string>& texts) const;
    void FormResize();
    void LayOut();
    void BitBtn2Click();

    int fullWidth_ = 0, fullHeight_ = 0, fullBoxHeight_ = 0;
    ui::RowFunctions rows_;
    int rowCount_ = 0;
    int valueCol_[kGasParamCount] = {};  // taken when the window shows
    int decimals_[kGasParamCount] = {};
};
