// Cell addresses of a worksheet: "A1" style names and rectangles.
//
// Rows and columns are 1-based. A worksheet has at most 1,048,576 rows and
// 16,384 columns (A .. XFD).
#pragma once
#include <string>
#include <string_view>

namespace sheet {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

struct CellRect {
    int row1 = 0, col1 = 0, row2 = 0, col2 = 0;   // row1 <= row2, col1 <= col2
};

inline bool ValidCell(int row, int col) {
    return row >= 1 && row <= kMaxRows && col >= 1 && col <= kMaxColumns;
}

// 1 -> "A", 27 -> "AA"; empty for a column out of range.
std::string ColumnName(int col);
// (3, 2) -> "B3"; empty for a cell out of range.
std::string CellName(int row, int col);
// "A2" or "A2:C5"; a single cell when the rectangle is one cell.
std::string RectName(const CellRect& rect);

// Appends the column letters of a valid column to `out` (no checks).
void AppendColumnName(std::string& out, int col);

// Parses one cell name ("B3", "$B$3", "b3"). False on anything else.
bool ParseCellName(std::string_view text, int& row, int& col);

// Parses a range address: one cell ("B3") or two cells joined by a colon
// ("A2:A5", "$C$5:a2"). The corners are put in order. Blanks around the text
// and around the colon are ignored. False on anything else.
bool ParseRangeAddress(std::string_view text, CellRect& rect);

}  // namespace sheet
