// One worksheet part (xl/worksheets/sheetN.xml) held for editing.
//
// The cells live in a compact structure: rows sorted by number, each with
// its cells sorted by column; a cell is a few integers, its text kept in one
// shared character store. Everything of the part outside the cell data
// (views, column definitions, merged ranges, page setup, drawings, ...)
// stays in the parsed document and is written back as it was. On saving,
// the cell rows are streamed straight into the output text.
// Internal to src/sheet.
#pragma once
#include "sheet/CellRef.h"
#include "sheet/Workbook.h"   // PageSetup

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheet {

// The formula text of a shared formula's master cell as it reads in a cell
// `dr` rows and `dc` columns away (relative references moved).
std::string ShiftFormula(std::string_view formula, long dr, long dc);

class SheetModel {
public:
    SheetModel();
    ~SheetModel();
    SheetModel(const SheetModel&) = delete;
    SheetModel& operator=(const SheetModel&) = delete;

    // A new, empty worksheet part.
    static std::string EmptyXml();

    bool Load(std::string_view xml, std::string& err);

    // Sets the text of every cell of the rectangle; `escaped` is the text as
    // XML character data (AppendCellText), `preserve` marks blanks to keep.
    // An empty text clears the value and keeps the cell's format. False
    // when the character store would overflow.
    bool SetText(const CellRect& rect, std::string_view escaped, bool preserve);
    // Sets a number in every cell of the rectangle: `value` is its text as
    // stored ("-12.5"), and each cell gets the format `map(old format)`.
    // A cell whose format `keepsText` holds gets the text instead (`escaped`,
    // `preserve` as for SetText). False when the character store would
    // overflow.
    template <class T, class F>
    bool SetNumber(const CellRect& rect, std::string_view value, std::string_view escaped, bool preserve,
                   T&& keepsText, F&& map);
    // Gives every cell of the rectangle the format `map(old format)`.
    template <class F>
    void MapStyles(const CellRect& rect, F&& map);
    // Height of every row of [row1, row2], in points.
    void SetRowHeight(int row1, int row2, double points);
    // Column width in stored units (see Workbook.cpp).
    void SetColumnWidth(int col, double width, bool hidden);
    // Adds a merged range; false when it overlaps one already there.
    bool AddMerge(const CellRect& rect);
    void SetPageSetup(const PageSetup& setup);

    bool Dirty() const { return dirty_; }
    // True once a cell holding a formula has been overwritten.
    bool FormulaOverwritten() const { return formulaOverwritten_; }
    // The part's text. Format numbers of `styleCount` and above (a damaged
    // source) are written as the default format 0.
    std::string Serialize(std::uint32_t styleCount);

private:
    enum : std::uint8_t { kEmpty = 0, kText = 1, kRaw = 2, kNumber = 3 };
    enum : std::uint8_t { kPreserve = 1, kFormula = 2, kSharedMaster = 4 };
    struct Cell {
        std::uint32_t col;
        std::uint32_t style;
        std::uint32_t off;      // kText: escaped text; kNumber: the value;
                                // kRaw: attributes then inner XML
        std::uint32_t len;
        std::uint32_t attrLen;  // kRaw: length of the attribute part
        std::uint8_t kind;
        std::uint8_t flags;
    };
    enum : std::uint8_t { kRowHt = 1, kRowCustomHt = 2, kRowS = 4, kRowCustomFmt = 8 };
    struct Row {
        std::uint32_t r;
        std::uint32_t style;     // row format (kRowS); new cells take it when kRowCustomFmt
        double ht;
        std::uint32_t attrOff, attrLen;   // the row's other attributes, as written
        std::uint8_t flags;
        std::vector<Cell> cells;
    };

    Row& RowAt(std::uint32_t r);
    Cell& CellAt(Row& row, std::uint32_t col);
    // Gives a cell new contents, noting a formula it held.
    void Put(const Row& row, Cell& cell, std::uint8_t kind, std::uint32_t off, std::uint32_t len, bool preserve);
    std::uint32_t DefaultStyle(const Row& row, std::uint32_t col) const;
    bool Store(std::string_view s, std::uint32_t& off);
    void RebuildColumnStyles();
    void StreamRows(std::string& out, std::uint32_t styleCount) const;
    void UpdateDimension();
    void UnshareBrokenGroups();

    struct Doc;
    std::unique_ptr<Doc> doc_;
    std::vector<Row> rows_;
    std::string store_;
    std::vector<std::uint32_t> colStyle_;   // column format of columns 1..n (index col-1)
    std::string prefix_;                    // namespace prefix of the cell elements ("" or "x:")
    // The master cells of shared formulas (a formula filled along a row or
    // column is stored once, in its first cell; the other cells of the group
    // refer to it by its number): position -> group number and formula text.
    struct SharedMaster {
        std::string si;
        std::string formula;
        bool overwritten = false;
    };
    std::map<std::pair<std::uint32_t, std::uint32_t>, SharedMaster> sharedMasters_;
    bool dirty_ = false;
    bool formulaOverwritten_ = false;
};

template <class T, class F>
bool SheetModel::SetNumber(const CellRect& rect, std::string_view value, std::string_view escaped, bool preserve,
                           T&& keepsText, F&& map) {
    std::uint32_t valueOff = 0, textOff = 0;
    bool textStored = false;
    if (!Store(value, valueOff)) return false;
    dirty_ = true;
    for (int r = rect.row1; r <= rect.row2; ++r) {
        Row& row = RowAt(static_cast<std::uint32_t>(r));
        for (int c = rect.col1; c <= rect.col2; ++c) {
            Cell& cell = CellAt(row, static_cast<std::uint32_t>(c));
            if (keepsText(cell.style)) {
                if (!textStored && !Store(escaped, textOff)) return false;
                textStored = true;
                Put(row, cell, escaped.empty() ? kEmpty : kText, textOff, static_cast<std::uint32_t>(escaped.size()),
                    preserve);
            } else {
                Put(row, cell, kNumber, valueOff, static_cast<std::uint32_t>(value.size()), false);
                cell.style = map(cell.style);
            }
        }
    }
    return true;
}

template <class F>
void SheetModel::MapStyles(const CellRect& rect, F&& map) {
    dirty_ = true;
    for (int r = rect.row1; r <= rect.row2; ++r) {
        Row& row = RowAt(static_cast<std::uint32_t>(r));
        for (int c = rect.col1; c <= rect.col2; ++c) {
            Cell& cell = CellAt(row, static_cast<std::uint32_t>(c));
            cell.style = map(cell.style);
        }
    }
}

}  // namespace sheet
