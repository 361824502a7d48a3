// What the archive value viewers have in common.
//
// ArchiveViewerForm: the archive header, the exit / save / print /
// spreadsheet buttons, the save dialogue loop with its overwrite question
// and the checked file writing. The print and spreadsheet buttons show only
// while the action behind them is set (the printed reports and the
// spreadsheet export set them).
//
// TwoGridViewer: the body of the chromatograph viewers. A date-time grid
// StringGrid1 (in ScrollBox3) on the left and the value grid StringGrid2 (in
// ScrollBox1) on the right, one column per gas parameter in display order,
// under the value headings z0_0..z19_2 (caption lines) and l1..l20 (units)
// in ScrollBox2. ScrollBox1 carries the scroll bars; ScrollBox2 follows its
// horizontal and ScrollBox3 its vertical position, and a row selected in one
// grid is selected in the other. The two followers sit in clip panels
// (Panel4, Panel5) that hide their own scroll bars.
//
// Value cells: fixed notation with the display format's decimals for the
// parameter, padded with leading blanks to 10 characters; "  NAN" for NaN
// and infinite values. Oxygen (code 15) is shown only when the header's
// oxygen flag is set.
//
// The grids keep no texts of their own: each viewer makes the texts of a
// record row when the row is read (DateTexts / ValueTexts, RecordTexts,
// through the functions of data/ViewerTexts that the printed reports and the
// spreadsheet exports use too), and the grids ask for the rows they show
// through DateRows() / ValueRows() / Rows(), which a printout or an export
// can read the same way. A list of a hundred thousand records opens as fast
// as one of ten.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "data/ArchiveFiles.h"
#include "data/ArchiveRecords.h"
#include "data/ViewerTexts.h"
#include "common/GasParams.h"
#include "common/ReportFormat.h"
#include "ui/Ui.h"

// ---------------------------------------------------------------------------

class ArchiveViewerForm : public ui::Form {
public:
    ArchiveViewerForm(ui::Component* owner, std::string name);

    // Set by the caller before ShowModal; it stays the caller's and must
    // outlive the window. Without one the viewer shows an empty header.
    const ArchiveFileHeader* Header = nullptr;

    ui::Button BitBtn2{this, "BitBtn2"};  // "Зберегти у файлі"
    ui::Button BitBtn1{this, "BitBtn1"};  // "Вихід"
    ui::Button BitBtn3{this, "BitBtn3"};  // "Друк"
    ui::Button BitBtn5{this, "BitBtn5"};  // "Зберегти у форматі Excel"
    ui::SaveDialog SaveDialog1{this, "SaveDialog1"};

    const ArchiveFileHeader& Hdr() const;
    bool OxygenShown() const { return Hdr().Oxygen(); }

protected:
    // Runs the save dialog until a name is chosen that is new or may be
    // replaced, then writes the header and the entries (count rewritten to
    // `count`) and reports the result. `question` is the overwrite question's
    // first line with a %s for the file name.
    void SaveEntries(ArchiveKind kind, const char* title, const char* question, const void* entries,
                     std::size_t entrySize, uint32_t count);
    template <class R>
    void SaveRecords(ArchiveKind kind, const char* title, const char* question, std::span<const R> records) {
        SaveEntries(kind, title, question, records.data(), sizeof(R), uint32_t(records.size()));
    }
    // Shows BitBtn3 / BitBtn5 only while their actions exist.
    void ShowActionButtons(bool printSet, bool excelSet);
    // Lays the visible buttons out in a row from `left` at `top`.
    void PlaceButtons(int left, int top, std::initializer_list<ui::Button*> buttons);

    // The resize handler waits until FormShow has laid the window out.
    bool suppressResize_ = true;
};

// ---------------------------------------------------------------------------

class TwoGridViewer : public ArchiveViewerForm {
public:
    // A heading of the date-time grid: up to three lines.
    struct DateColumn {
        int width;
        std::vector<std::string> lines;
    };

    TwoGridViewer(ui::Component* owner, std::string name, const std::vector<DateColumn>& dateColumns);
    // No row is asked for once the viewer that makes them is gone.
    ~TwoGridViewer() override { rowCount_ = 0; }

    ui::Panel Panel1{this, "Panel1"};          // headings of the date-time grid
    ui::Panel Panel4{this, "Panel4"};          // clip of ScrollBox2
    ui::ScrollBox ScrollBox2{this, "ScrollBox2"};  // value headings
    ui::Panel Panel5{this, "Panel5"};          // clip of ScrollBox3
    ui::ScrollBox ScrollBox3{this, "ScrollBox3"};  // date-time grid
    ui::StringGrid StringGrid1{this, "StringGrid1"};
    ui::ScrollBox ScrollBox1{this, "ScrollBox1"};  // value grid, with the scroll bars
    ui::StringGrid StringGrid2{this, "StringGrid2"};
    ui::Panel Panel6{this, "Panel6"};          // fills the corner under the date grid
    ui::Button BitBtn4{this, "BitBtn4"};       // "Ознаки стану"

    // Heading labels by display position, found by name at creation.
    ui::Label* zLabels[kGasParamCount][3] = {};
    ui::Label* lLabels[kGasParamCount] = {};

    static constexpr int kRowHeight = 20;
    static constexpr int kRowStep = kRowHeight + 1;
    static constexpr int kValueColWidth = 63;
    static constexpr int kColStep = kValueColWidth + 1;
    static constexpr int kHeadTop = 4;
    static constexpr int kHeadHeight = 62;
    static constexpr int kAreaTop = kHeadTop + kHeadHeight + 2;

    // The value column of a gas-parameter code (display position + 1), -1
    // for a bad code.
    static int ValueColumn(int code);
    // Rows of the value area that show at once.
    int VisibleRows() const;
    // Makes `row` (0-based) visible in the value area and selects it in
    // both grids.
    void ScrollRowIntoView(int row);

    // The texts of the record rows, grid by grid (row i = record i).
    const ui::RowSource& DateRows() const { return dateRows_; }
    const ui::RowSource& ValueRows() const { return valueRows_; }

protected:
    // Captions and units of the value headings; `hiddenCodes` get none.
    void FillHeadings(std::initializer_list<int> hiddenCodes);
    // Sets the row count of both grids (and their heights) and takes the
    // column order and the decimals of the display format as they are now
    // for the value texts.
    void SetRows(int rows);

    // The texts of record row `row` (0 <= row < rowCount_): the date-time
    // grid's columns (column 0, the spacer, first) ...
    virtual void DateTexts(int row, std::vector<std::string>& texts) const = 0;
    // ... and the value grid's, put in place with PutValue.
    virtual void ValueTexts(int row, std::vector<std::string>& texts) const = 0;
    // Puts `text` into the value column of `code` (nothing for a bad code).
    void PutValue(std::vector<std::string>& texts, int code, std::string text) const;
    // A value cell's text with the parameter's decimals (FormatGasCell).
    std::string GasText(float v, int code) const;
    // Puts the text of every code, as valueText(code, GasText) gives it
    // (the ...ValueText functions of ViewerTexts); "" leaves the column
    // empty.
    template <class F>
    void PutValues(std::vector<std::string>& texts, F&& valueText) const {
        const GasValueFormat gas = [this](float v, int code) { return GasText(v, code); };
        for (int code = 0; code < kGasParamCount; ++code) {
            std::string text = valueText(code, gas);
            if (!text.empty()) PutValue(texts, code, std::move(text));
        }
    }
    // Lays the window out for `rows` rows (FormShow) and selects the last or
    // first row, scrolled into view.
    void ShowLaidOut(bool selectLast);
    // The state-sign window of the selected row (nothing by default).
    virtual void StateSigns() {}

    int rowCount_ = 0;
    // The window is never higher than the screen less this.
    int screenHeightMargin_ = 42;

private:
    void FormResize();
    void LayOut();
    void SyncFollowers();
    void StringGrid1Click();
    void StringGrid2Click();
    void StringGrid2DblClick();

    std::vector<DateColumn> dateColumns_;
    ui::RowFunctions dateRows_, valueRows_;
    int valueCol_[kGasParamCount] = {};  // value column by code, taken by SetRows
    int decimals_[kGasParamCount] = {};  // decimals by code, taken by SetRows
    int dateWidth_ = 0;     // width of StringGrid1
    int areaLeft_ = 0;      // left of ScrollBox1
    int fullAreaWidth_ = 0, fullAreaHeight_ = 0;
    int fullWidth_ = 0, fullHeight_ = 0;
};

// ---------------------------------------------------------------------------

// The body of the moisture-meter viewers: one grid StringGrid1 of eight
// columns under heading memos (mh1..mh4 for the date, time and status
// columns, mm1..mm4 for the four values, their texts by meter type), 720
// pixels wide, as high as the rows need up to the screen.
class WmtViewer : public ArchiveViewerForm {
public:
    WmtViewer(ui::Component* owner, std::string name, const std::vector<std::vector<std::string>>& headings);
    ~WmtViewer() override { rowCount_ = 0; }

    ui::StringGrid StringGrid1{this, "StringGrid1"};
    ui::Memo* mh[4] = {};
    ui::Memo* mm[4] = {};  // found by name at creation

    static constexpr int kWidth = 720;
    static constexpr int kRowHeight = 20;
    static constexpr int kGridTop = 68;

    // The texts of the record rows (row i = record i).
    const ui::RowSource& Rows() const { return rows_; }

protected:
    // Value headings by meter type, rows, window height.
    void PrepareShow(int rows);
    void FormResize();
    void LayOut();
    // The eight texts of record row `row` (0 <= row < rowCount_), as
    // WmtMomentaryRecordTexts / WmtArchiveRecordTexts make them.
    virtual void RecordTexts(int row, std::vector<std::string>& texts) const = 0;

    int heightCap_ = 0;
    int rowCount_ = 0;

private:
    ui::RowFunctions rows_;
};
