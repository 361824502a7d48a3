// A grid of strings with fixed (heading) rows and columns, per-cell colours,
// a current cell and scroll positions. The texts are either kept in the
// grid (SetCell) or, for long lists, asked from their owner row by row when
// they are looked at (SetRowSource).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/Component.h"

namespace ui {

struct GridOptions {
    bool rowSelect = false;   // the whole current row shows selected
    bool editing = false;     // cells can be typed into
    bool colSizing = false;   // the user may drag column widths
    bool rangeSelect = false;
    bool horzLines = true, vertLines = true;
};

// How a cell is drawn; OnDrawCell may change it.
struct CellStyle {
    ui::Color text = clWindowText;
    ui::Color background = clWindow;
    bool bold = false;
    ui::TextAlign align = ui::TextAlign::Left;
};

// Rows of texts that their owner makes when they are asked for, so that a
// list of tens of thousands of records keeps only its records: a grid asks
// for the rows it shows, a printout or an export for the rows it writes.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual int RowCount() const = 0;
    // Appends the texts of row `row` (0 <= row < RowCount()), column 0
    // first, to `texts`, which comes empty; columns left out are empty.
    virtual void RowTexts(int row, std::vector<std::string>& texts) const = 0;
};

// A RowSource made of two functions.
class RowFunctions : public RowSource {
public:
    RowFunctions() = default;
    RowFunctions(std::function<int()> count, std::function<void(int, std::vector<std::string>&)> texts)
        : count(std::move(count)), texts(std::move(texts)) {}
    std::function<int()> count;
    std::function<void(int row, std::vector<std::string>& texts)> texts;
    int RowCount() const override { return count ? count() : 0; }
    void RowTexts(int row, std::vector<std::string>& out) const override {
        if (texts) texts(row, out);
    }
};

class StringGrid : public Control {
public:
    StringGrid(Component* owner, std::string name);

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    void SetColCount(int n);  // keeps the cells that still fit
    void SetRowCount(int n);
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    void SetFixedCols(int n);
    void SetFixedRows(int n);

    int DefaultColWidth() const { return defColWidth_; }
    int DefaultRowHeight() const { return defRowHeight_; }
    void SetDefaultColWidth(int w);   // also resets every column
    void SetDefaultRowHeight(int h);  // also resets every row
    int ColWidth(int c) const;
    int RowHeight(int r) const;
    void SetColWidth(int c, int w);
    void SetRowHeight(int r, int h);
    int GridLineWidth() const { return lineWidth_; }
    void SetGridLineWidth(int w) { lineWidth_ = w; Touch(); }

    // Cells; out-of-range reads give "", writes are ignored.
    std::string Cell(int col, int row) const;
    void SetCell(int col, int row, std::string text);
    std::vector<std::string> RowTexts(int row) const;
    void SetRowTexts(int row, const std::vector<std::string>& texts, int firstCol = 0);
    void ClearCells();

    // Texts from the owner: the rows from FixedRows() on come from `source`
    // (grid row FixedRows() + i is the source's row i; rows past its end
    // read empty) and are made only when read; the fixed rows stay stored.
    // The row count is still the grid's own (SetRowCount). Writes and
    // colours of sourced rows are ignored (OnDrawCell colours them). The
    // source stays the owner's and must outlive the grid or be unset with
    // nullptr, which brings back empty stored cells. After the source's
    // texts change, RowsChanged() makes the grid ask again and redraw.
    void SetRowSource(const RowSource* source);
    const RowSource* Source() const { return source_; }
    bool Sourced(int row) const { return source_ && row >= fixedRows_; }
    void RowsChanged();

    // Per-cell text colour (0xFFFFFFFF = default of the cell kind).
    static constexpr ui::Color kDefault = 0xFFFFFFFFu;
    void SetCellColor(int col, int row, ui::Color text);
    // The style a cell is drawn with (fixed cells grey), after OnDrawCell.
    CellStyle StyleOf(int col, int row) const;

    // The current cell. Setting it in code fires nothing; it is clamped
    // into the scrollable part.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCol(int c);
    void SetRow(int r);
    int TopRow() const { return topRow_; }   // first scrollable row shown
    int LeftCol() const { return leftCol_; }
    void SetTopRow(int r);
    void SetLeftCol(int c);
    // Rows that fit the height (after the fixed rows).
    int VisibleRowCount() const;

    const GridOptions& Options() const { return options_; }
    void SetOptions(const GridOptions& o) { options_ = o; Touch(); }
    ui::ScrollBars ScrollBars() const { return scrollBars_; }
    void SetScrollBars(ui::ScrollBars s) { scrollBars_ = s; Touch(); }
    bool CanFocus() const override { return true; }

    // A user clicks a cell: OnSelectCell may refuse; then the current cell
    // moves and OnClick fires.
    bool SelectCell(int col, int row);
    bool DblClickCell(int col, int row);
    // A user types a cell's new text (with options.editing).
    bool EditCell(int col, int row, std::string text);
    // A user scrolls.
    bool UserScroll(int topRow, int leftCol);

    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
    std::function<void(int col, int row, CellStyle& style)> OnDrawCell;
    std::function<void(int col, int row, const std::string& text)> OnSetEditText;
    std::function<void()> OnTopLeftChanged;

    // Grows with every change; backends redraw when it moves.
    std::uint64_t Revision() const { return revision_; }
    void Touch() { ++revision_; }
    // Grows when a row height may have changed (a backend need not look at
    // every row's height on every redraw).
    std::uint64_t RowHeightsRevision() const { return heightsRevision_; }

private:
    struct CellColors { ui::Color text = kDefault; };
    struct CachedRow {
        int row = -1;
        std::vector<std::string> texts;
    };
    static constexpr int kCachedRows = 128;  // more than a screen shows
    std::size_t Index(int c, int r) const { return std::size_t(r) * std::size_t(cols_) + std::size_t(c); }
    bool Stored(int col, int row) const { return col >= 0 && col < cols_ && row >= 0 && row < stored_; }
    const std::vector<std::string>& SourcedRow(int row) const;
    void Reshape(int cols, int rows);
    void ResetTopLeft();
    int cols_ = 5, rows_ = 5, fixedCols_ = 1, fixedRows_ = 1;
    int defColWidth_ = 64, defRowHeight_ = 24, lineWidth_ = 1;
    std::vector<int> colWidths_, rowHeights_;
    // The stored rows (all, or with a source the fixed ones), row by row;
    // their colours only once a colour was set.
    int stored_ = 0;
    std::vector<std::string> cells_;
    std::vector<CellColors> colors_;
    const RowSource* source_ = nullptr;
    mutable std::vector<CachedRow> cache_;
    std::uint64_t heightsRevision_ = 1;
    bool uniformHeights_ = true;  // no row was given a height of its own
    int col_ = 1, row_ = 1, topRow_ = 1, leftCol_ = 1;
    GridOptions options_;
    ui::ScrollBars scrollBars_ = ui::ScrollBars::Both;
    std::uint64_t revision_ = 1;
};

}  // namespace ui
