// A grid of strings with fixed (heading) rows and columns, per-cell colours,
// a current cell and scroll positions.
#pragma once
#include <cstdint>
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
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string text);
    std::vector<std::string> RowTexts(int row) const;
    void SetRowTexts(int row, const std::vector<std::string>& texts, int firstCol = 0);
    void ClearCells();

    // Per-cell colours (0xFFFFFFFF = default of the cell kind).
    static constexpr ui::Color kDefault = 0xFFFFFFFFu;
    void SetCellColor(int col, int row, ui::Color text);
    void SetCellBackground(int col, int row, ui::Color background);
    void ClearCellColors();
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

private:
    struct CellColors { ui::Color text = kDefault, background = kDefault; };
    int Index(int c, int r) const { return r * cols_ + c; }
    void Reshape(int cols, int rows);
    int cols_ = 5, rows_ = 5, fixedCols_ = 1, fixedRows_ = 1;
    int defColWidth_ = 64, defRowHeight_ = 24, lineWidth_ = 1;
    std::vector<int> colWidths_, rowHeights_;
    std::vector<std::string> cells_;
    std::vector<CellColors> colors_;
    int col_ = 1, row_ = 1, topRow_ = 1, leftCol_ = 1;
    GridOptions options_;
    ui::ScrollBars scrollBars_ = ui::ScrollBars::Both;
    std::uint64_t revision_ = 1;
};

}  // namespace ui
