#include "ui/Grid.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

StringGrid::StringGrid(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    Reshape(cols_, rows_);
}

void StringGrid::Reshape(int cols, int rows) {
    cols = std::max(cols, 0);
    rows = std::max(rows, 0);
    fixedCols_ = std::clamp(fixedCols_, 0, std::max(cols - 1, 0));
    fixedRows_ = std::clamp(fixedRows_, 0, std::max(rows - 1, 0));
    const int stored = source_ ? std::min(fixedRows_, rows) : rows;
    std::vector<std::string> cells(std::size_t(cols) * std::size_t(stored));
    std::vector<CellColors> colors(colors_.empty() ? 0 : cells.size());
    for (int r = 0; r < std::min(stored, stored_); ++r)
        for (int c = 0; c < std::min(cols, cols_); ++c) {
            const std::size_t to = std::size_t(r) * std::size_t(cols) + std::size_t(c);
            cells[to] = std::move(cells_[Index(c, r)]);
            if (!colors.empty()) colors[to] = colors_[Index(c, r)];
        }
    cells_ = std::move(cells);
    colors_ = std::move(colors);
    stored_ = stored;
    cols_ = cols;
    if (rows != rows_) ++heightsRevision_;
    rows_ = rows;
    colWidths_.resize(std::size_t(cols), defColWidth_);
    rowHeights_.resize(std::size_t(rows), defRowHeight_);
    col_ = std::clamp(col_, fixedCols_, std::max(cols_ - 1, fixedCols_));
    row_ = std::clamp(row_, fixedRows_, std::max(rows_ - 1, fixedRows_));
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(rows_ - 1, fixedRows_));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(cols_ - 1, fixedCols_));
    cache_.clear();
    Touch();
}

void StringGrid::SetColCount(int n) { Reshape(n, rows_); }
void StringGrid::SetRowCount(int n) { Reshape(cols_, n); }
// A new number of fixed columns or rows starts the grid over at its first
// scrollable cell, as the classic grid does: a grid whose spacer column was
// made scrollable must not stay scrolled past it.
void StringGrid::SetFixedCols(int n) {
    n = std::max(n, 0);
    if (n == fixedCols_) return;
    fixedCols_ = n;
    Reshape(cols_, rows_);
    ResetTopLeft();
}

void StringGrid::SetFixedRows(int n) {
    n = std::max(n, 0);
    if (n == fixedRows_) return;
    fixedRows_ = n;
    Reshape(cols_, rows_);
    ResetTopLeft();
}

void StringGrid::ResetTopLeft() {
    leftCol_ = col_ = fixedCols_;
    topRow_ = row_ = fixedRows_;
    Touch();
}

void StringGrid::SetDefaultColWidth(int w) {
    defColWidth_ = std::max(w, 0);
    std::fill(colWidths_.begin(), colWidths_.end(), defColWidth_);
    Touch();
}

void StringGrid::SetDefaultRowHeight(int h) {
    defRowHeight_ = std::max(h, 0);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defRowHeight_);
    uniformHeights_ = true;
    ++heightsRevision_;
    Touch();
}

int StringGrid::ColWidth(int c) const { return c >= 0 && c < cols_ ? colWidths_[c] : defColWidth_; }
int StringGrid::RowHeight(int r) const { return r >= 0 && r < rows_ ? rowHeights_[r] : defRowHeight_; }

void StringGrid::SetColWidth(int c, int w) {
    if (c < 0 || c >= cols_) return;
    colWidths_[c] = std::max(w, 0);
    Touch();
}

void StringGrid::SetRowHeight(int r, int h) {
    if (r < 0 || r >= rows_) return;
    rowHeights_[r] = std::max(h, 0);
    if (rowHeights_[r] != defRowHeight_) uniformHeights_ = false;
    ++heightsRevision_;
    Touch();
}

std::string StringGrid::Cell(int col, int row) const {
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_) return {};
    if (Sourced(row)) {
        const std::vector<std::string>& texts = SourcedRow(row);
        return std::size_t(col) < texts.size() ? texts[std::size_t(col)] : std::string();
    }
    return Stored(col, row) ? cells_[Index(col, row)] : std::string();
}

const std::vector<std::string>& StringGrid::SourcedRow(int row) const {
    // One slot per row modulo the cache size: the rows on screen are
    // consecutive, so they never push each other out.
    if (cache_.empty()) cache_.resize(kCachedRows);
    CachedRow& slot = cache_[std::size_t(row % kCachedRows)];
    if (slot.row != row) {
        slot.row = row;
        slot.texts.clear();
        const int i = row - fixedRows_;
        if (i >= 0 && i < source_->RowCount()) source_->RowTexts(i, slot.texts);
    }
    return slot.texts;
}

void StringGrid::SetCell(int col, int row, std::string text) {
    if (!Stored(col, row)) return;
    cells_[Index(col, row)] = std::move(text);
    Touch();
}

std::vector<std::string> StringGrid::RowTexts(int row) const {
    std::vector<std::string> out;
    for (int c = 0; c < cols_; ++c) out.push_back(Cell(c, row));
    return out;
}

void StringGrid::SetRowTexts(int row, const std::vector<std::string>& texts, int firstCol) {
    for (std::size_t i = 0; i < texts.size(); ++i) SetCell(firstCol + int(i), row, texts[i]);
}

void StringGrid::ClearCells() {
    for (auto& s : cells_) s.clear();
    Touch();
}

void StringGrid::SetRowSource(const RowSource* source) {
    if (source == source_) {
        RowsChanged();
        return;
    }
    source_ = source;
    Reshape(cols_, rows_);
}

void StringGrid::RowsChanged() {
    cache_.clear();
    Touch();
}

void StringGrid::SetCellColor(int col, int row, ui::Color text) {
    if (!Stored(col, row)) return;
    if (colors_.empty()) colors_.resize(cells_.size());
    colors_[Index(col, row)].text = text;
    Touch();
}

CellStyle StringGrid::StyleOf(int col, int row) const {
    CellStyle s;
    bool fixed = col < fixedCols_ || row < fixedRows_;
    if (fixed) {
        s.background = clBtnFace;
        s.text = clBtnText;
    } else if (row == row_ && (options_.rowSelect || col == col_)) {
        s.background = clHighlight;
        s.text = clHighlightText;
    } else {
        s.background = Color();
        s.text = Font().Color;
    }
    if (!colors_.empty() && Stored(col, row)) {
        const CellColors& c = colors_[Index(col, row)];
        if (c.text != kDefault) s.text = c.text;
    }
    if (OnDrawCell) OnDrawCell(col, row, s);
    return s;
}

void StringGrid::SetCol(int c) {
    col_ = std::clamp(c, fixedCols_, std::max(cols_ - 1, fixedCols_));
    if (col_ < leftCol_) leftCol_ = col_;
    Touch();
}

void StringGrid::SetRow(int r) {
    row_ = std::clamp(r, fixedRows_, std::max(rows_ - 1, fixedRows_));
    int vis = std::max(VisibleRowCount(), 1);
    if (row_ < topRow_) topRow_ = row_;
    else if (row_ >= topRow_ + vis) topRow_ = row_ - vis + 1;
    Touch();
}

void StringGrid::SetTopRow(int r) {
    topRow_ = std::clamp(r, fixedRows_, std::max(rows_ - 1, fixedRows_));
    Touch();
}

void StringGrid::SetLeftCol(int c) {
    leftCol_ = std::clamp(c, fixedCols_, std::max(cols_ - 1, fixedCols_));
    Touch();
}

int StringGrid::VisibleRowCount() const {
    int h = ClientHeight();
    for (int r = 0; r < fixedRows_ && r < rows_; ++r) h -= rowHeights_[r] + lineWidth_;
    if (uniformHeights_) {
        // Every row of the default height: no walk through a long list.
        const int step = defRowHeight_ + lineWidth_;
        if (step <= 0) return std::max(rows_ - topRow_, 0);
        return std::clamp(h / step, 0, std::max(rows_ - topRow_, 0));
    }
    int n = 0;
    for (int r = topRow_; r < rows_ && h >= rowHeights_[r] + lineWidth_; ++r, ++n) h -= rowHeights_[r] + lineWidth_;
    return n;
}

bool StringGrid::SelectCell(int col, int row) {
    if (!UserCan("select a cell in")) return false;
    if (col < fixedCols_ || col >= cols_ || row < fixedRows_ || row >= rows_) {
        Backend::Current().Refused(*this, "select cell " + std::to_string(col) + "," + std::to_string(row) +
                                              " (outside the scrollable cells)");
        return false;
    }
    bool can = true;
    if (OnSelectCell) OnSelectCell(col, row, can);
    if (!can) return false;
    SetFocus();
    SetCol(col);
    SetRow(row);
    if (OnClick) OnClick();
    return true;
}

bool StringGrid::DblClickCell(int col, int row) {
    if (!SelectCell(col, row)) return false;
    if (OnDblClick) OnDblClick();
    return true;
}

bool StringGrid::EditCell(int col, int row, std::string text) {
    if (!UserCan("edit a cell in")) return false;
    if (!options_.editing || col < fixedCols_ || col >= cols_ || row < fixedRows_ || row >= rows_) {
        Backend::Current().Refused(*this, "edit a cell (not editable)");
        return false;
    }
    SetCell(col, row, text);
    if (OnSetEditText) OnSetEditText(col, row, text);
    return true;
}

bool StringGrid::UserScroll(int topRow, int leftCol) {
    if (!UserCan("scroll")) return false;
    SetTopRow(topRow);
    SetLeftCol(leftCol);
    if (OnTopLeftChanged) OnTopLeftChanged();
    return true;
}

}  // namespace ui
