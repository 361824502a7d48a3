// Spreadsheet workbooks (.xlsx) for the exports and certificates.
//
// A workbook is started empty or opened from a template file; the program
// fills cells of its active sheet with texts (numbers among them become
// numbers) and formats and saves it under
// a file name. Everything the program does not change is kept: a template's
// other sheets, drawings, styles, merged ranges and so on go into the saved
// file byte for byte, and its own formats keep their numbers.
//
//   sheet::Workbook wb;
//   if (!wb.Open(templatePath)) show(wb.LastError());      // or wb.Add()
//   sheet::Worksheet ws = wb.ActiveSheet();
//   ws.SetColumnWidth(1, 9);
//   ws.Cells(1, 1).SetValue("Дата");
//   sheet::Range head = ws.Range(ws.Cells(2, 1), ws.Cells(5, 22));
//   head.SetInteriorColor(sheet::kHeadingGrey);
//   head.SetHorizontalAlignment(sheet::HAlign::Center);
//   ws.Range("A2:A5").SetBorder(sheet::Border::Left);
//   if (!wb.SaveAs(fileName)) show(wb.LastError());
//   wb.Close();
//
// Failures. Every call returns false on failure and leaves its text in
// LastError(). A failure while filling the sheet (a bad address, a bad
// value) is also remembered: the workbook is then incomplete, and SaveAs
// refuses to write it, reporting that first failure, until ClearFailure().
// A Range or Worksheet taken from a workbook that was closed since (or
// destroyed) fails its calls harmlessly.
#pragma once
#include "sheet/CellRef.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sheet {

// Border items: each cell of the range gets that side.
enum class Border { Left = 1, Right = 2, Top = 3, Bottom = 4 };
// Line styles of a border: a thin continuous line, or no line.
enum class LineStyle { Continuous = 1, None = -4142 };
// Horizontal alignment of cell contents.
enum class HAlign { General = 1, Left = 2, Center = 3, Right = 4 };
// Vertical alignment of cell contents.
enum class VAlign { Top = 1, Center = 2, Bottom = 3 };

// How the active sheet prints (see Worksheet::SetPageSetup).
struct PageSetup {
    bool landscape = false;
    bool paperA4 = true;
    // Shrinks the print to this many pages across and down (0: as many as
    // it takes); both 0 prints at 100 %.
    int fitWidth = 0, fitHeight = 0;
    // Margins in inches.
    double left = 0.7, right = 0.7, top = 0.75, bottom = 0.75, header = 0.3, footer = 0.3;
    bool centerHorizontally = false;
};

// Colours are given as 0x00BBGGRR; this is the light grey (223, 223, 223)
// of heading rows.
constexpr std::uint32_t kHeadingGrey = 14671839;

namespace detail {
struct Book;
}

// When `text` is a number as the program writes it: its value as stored in
// the workbook ("-12.5", "0.0352") and its number of decimals. The rule:
// blanks around, an optional minus, 1 to 15 integer digits, optionally the
// decimal comma and 1 to 15 decimals, at most 15 digits from the first
// significant one (a spreadsheet keeps no more). Stays a text: an integer
// part with a leading zero ("007", "01": codes, serial and day numbers keep
// their zeros), dates and times ("01.11.26", "10:00"), a point or blanks
// inside, a plus sign, exponent forms, "--", "NAN", and a minus before
// zeros only ("-0,0" would show without its sign).
bool NumberFromText(std::string_view text, std::string& value, int& decimals);

class Range {
public:
    Range() = default;   // refers to nothing; every call fails

    bool Valid() const { return valid_; }
    int Row() const { return rect_.row1; }
    int Column() const { return rect_.col1; }
    int LastRow() const { return rect_.row2; }
    int LastColumn() const { return rect_.col2; }
    std::string Address() const;   // "A2:A5", or "B3" for one cell

    // Every cell of the range gets the text (UTF-8). As a spreadsheet
    // program takes a typed entry, a text that is a plain decimal number as
    // the program writes them ("  0,0352", "-12,5", "123") becomes that
    // number, and its cell a number format that shows exactly the text's
    // digits ("0.0000" for four decimals), the rest of the cell's format
    // kept; see NumberFromText for what counts. Anything else (dates,
    // times, "--", "NAN", names, codes) is stored as text exactly as given,
    // and so is everything written into a cell formatted as text ("@").
    // An empty text clears the values and keeps the formats.
    bool SetValue(std::string_view text);
    bool SetBorder(Border item, LineStyle style = LineStyle::Continuous);
    bool SetHorizontalAlignment(HAlign align);
    // Height of every row of the range, in points (0..409).
    bool SetRowHeight(double points);
    bool SetFontName(std::string_view name);
    // Font size in points (1..409).
    bool SetFontSize(double points);
    // Solid fill of colour 0x00BBGGRR.
    bool SetInteriorColor(std::uint32_t color);
    bool SetFontBold(bool bold);
    bool SetVerticalAlignment(VAlign align);
    // Long texts break into lines within the cell's width.
    bool SetWrapText(bool wrap);
    // The number format of every cell of the range, as a format code
    // ("0.00", "@" for text: what is written into it later stays text).
    bool SetNumberFormat(std::string_view code);
    // Joins the cells of the range into one (its first cell shows the
    // value). Fails when the range overlaps a merged range already there.
    bool Merge();

private:
    friend class Worksheet;
    friend struct detail::Book;
    Range(std::weak_ptr<detail::Book> book, unsigned generation, CellRect rect)
        : book_(std::move(book)), generation_(generation), rect_(rect), valid_(true) {}

    std::weak_ptr<detail::Book> book_;
    unsigned generation_ = 0;
    CellRect rect_;
    bool valid_ = false;
};

class Worksheet {
public:
    Worksheet() = default;   // refers to nothing; every call fails

    bool Valid() const;
    std::string Name() const;

    // Width of a column in characters of the standard font (0..255; 0 hides it).
    bool SetColumnWidth(int column, double width);
    // The sheet's tab name (1..31 characters, none of : \ / ? * [ ], not
    // the name of another sheet).
    bool SetName(std::string_view name);
    // Paper, orientation, fitting and margins of the printout.
    bool SetPageSetup(const PageSetup& setup);
    // The part of the sheet that prints.
    bool SetPrintArea(const sheet::Range& area);
    // One cell, 1-based.
    sheet::Range Cells(int row, int column) const;
    // The rectangle between two cells (or ranges) of this sheet.
    sheet::Range Range(const sheet::Range& first, const sheet::Range& second) const;
    // An address text: "A2:A5", "B3", "$A$2:$C$5".
    sheet::Range Range(std::string_view address) const;

private:
    friend class Workbook;
    Worksheet(std::weak_ptr<detail::Book> book, unsigned generation)
        : book_(std::move(book)), generation_(generation), valid_(true) {}

    std::weak_ptr<detail::Book> book_;
    unsigned generation_ = 0;
    bool valid_ = false;
};

class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(Workbook&&) noexcept;
    Workbook& operator=(Workbook&&) noexcept;
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // A new workbook with one empty sheet.
    bool Add();
    // Opens a template (the full path of an .xlsx file); the file itself is
    // only read.
    bool Open(const std::string& path);
    bool IsOpen() const;

    // The sheet shown when the workbook is opened (the active tab).
    Worksheet ActiveSheet();

    // Stores the workbook as an .xlsx file under `path` (whatever its
    // extension), replacing an existing file. The file is written under a
    // temporary name in the same folder and then renamed, so a failed save
    // leaves an existing file as it was. The workbook stays open.
    bool SaveAs(const std::string& path);
    // Closes the workbook without saving.
    bool Close();

    const std::string& LastError() const;
    // True when a step of filling has failed since Add/Open (see above).
    bool Failed() const;
    void ClearFailure();

private:
    std::shared_ptr<detail::Book> book_;
};

}  // namespace sheet
