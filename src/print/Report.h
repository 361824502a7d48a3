// The report library: a banded report of pages in millimetres.
//
// A report (`TQuickRep`) holds an optional page header band and page footer
// band, printed on every page, and a list of sub-detail bands created at run
// time. Bands print in the order of their creation, each exactly once; a band
// that does not fit on the rest of a page moves whole to the next page, and a
// band with `ForceNewPage` starts a new page. Nothing grows by itself: the
// code that builds a report sizes every band and memo.
//
// Geometry of bands and of the labels, memos and expressions on them is given
// in screen pixels (see ScreenPixelsPerInch below); page values are in
// millimetres. Objects follow the owner rule of the classic form libraries:
// `new TQRLabel(band)` is owned by the band, `new TQRSubDetail(&report)` by
// the report; an owner deletes what it still owns when it goes, and deleting
// an object earlier removes it from its owner.
//
// This header is plain C++; the rendering (PDF, preview, printing) lives in
// Output.h, the page model that a layout produces in PageModel.h.
#pragma once
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace print {

// Everything that goes wrong while a report is built, laid out, written or
// previewed is thrown as a ReportError; the print windows catch it and report
// "Помилка друку даних".
class ReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---- pixels and millimetres ----------------------------------------------
//
// Report geometry is drawn in pixels of a screen of ScreenPixelsPerInch()
// (96 unless set). The report code gives column widths at 120 pixels per inch
// and scales them with ScaleFrom120 (integer division, as the reports have
// always done); every pixel value then maps to the page as px / ppi inches.
int ScreenPixelsPerInch();
void SetScreenPixelsPerInch(int ppi);   // ignored unless 1..2400
int ScaleFrom120(int px120);            // px120 * ppi / 120, truncated
double PixelsToMm(double px);           // px * 25.4 / ppi

// ---- small value types ----------------------------------------------------

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TQRBandType { rbPageHeader, rbPageFooter, rbSubDetail };

// A font whose unset fields come from the band, then the report, then the
// default ("MS Sans Serif", 10 points, regular). Assign to set a field:
//   label->Font.Size = 12; label->Font.Bold = true;
struct TFont {
    std::optional<std::string> Name;
    std::optional<int> Size;     // points
    std::optional<bool> Bold;
};

// Lines drawn on the sides of a band or an item's rectangle.
struct TQRFrame {
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;
    int Width = 1;               // line width in pixels
    void SetAll(bool on) { DrawTop = DrawBottom = DrawLeft = DrawRight = on; }
    bool Any() const { return DrawTop || DrawBottom || DrawLeft || DrawRight; }
};

// The lines of a memo.
class TStrings {
public:
    void Clear() { lines_.clear(); }
    void Add(const std::string& line) { lines_.push_back(line); }
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int i) const { return lines_.at(static_cast<size_t>(i)); }
    const std::vector<std::string>& Items() const { return lines_; }
private:
    std::vector<std::string> lines_;
};

class TQuickRep;
class TQRBand;

// ---- page ------------------------------------------------------------------

// Page values in millimetres. By index: 0 bottom margin, 1 length, 2 top
// margin, 3 width, 4 left margin, 5 right margin, 6 column space.
struct TQRPage {
    double BottomMargin = 10;
    double Length = 297;
    double TopMargin = 10;
    double Width = 210;
    double LeftMargin = 7;
    double RightMargin = 7;
    double ColumnSpace = 0;      // kept for completeness; reports are one column

    double& Value(int index);    // throws ReportError for an index outside 0..6
    double Value(int index) const;
};

struct TQROptions {
    bool FirstPageHeader = true; // the page header prints on the first page too
    bool LastPageFooter = true;  // the page footer prints on the last page too
};

// ---- printable items --------------------------------------------------------

class TQRPrintable {
public:
    virtual ~TQRPrintable();
    TQRPrintable(const TQRPrintable&) = delete;
    TQRPrintable& operator=(const TQRPrintable&) = delete;

    TQRBand* Parent() const { return band_; }

    std::string Name;
    int Left = 0, Top = 0, Width = 65, Height = 17;  // pixels, relative to the band
    TAlignment Alignment = taLeftJustify;
    TFont Font;
    TQRFrame Frame;
    // Items are always of fixed size and never wrap. The two flags exist so
    // that building code can state it; setting either to true makes the
    // layout throw.
    bool AutoSize = false;
    bool WordWrap = false;

protected:
    explicit TQRPrintable(TQRBand* band);   // owner and parent

private:
    friend class TQRBand;
    TQRBand* band_;
};

// One line of text (drawn as one line, never wrapped).
class TQRLabel : public TQRPrintable {
public:
    explicit TQRLabel(TQRBand* band) : TQRPrintable(band) {}
    std::string Caption;
};

// Lines drawn from the top of the memo downwards.
class TQRMemo : public TQRPrintable {
public:
    explicit TQRMemo(TQRBand* band) : TQRPrintable(band) {}
    TStrings Lines;
};

// A value computed when the page is laid out. The expression "PAGENUMBER"
// (any case, surrounding spaces ignored) gives the number of the page the
// item prints on; anything else makes the layout throw.
class TQRExpr : public TQRPrintable {
public:
    explicit TQRExpr(TQRBand* band) : TQRPrintable(band) {}
    std::string Expression;
};

// ---- bands ------------------------------------------------------------------

class TQRBand {
public:
    // A page header or page footer band (one of each per report) or a
    // sub-detail band appended after the bands created before it.
    TQRBand(TQuickRep* report, TQRBandType type);
    virtual ~TQRBand();
    TQRBand(const TQRBand&) = delete;
    TQRBand& operator=(const TQRBand&) = delete;

    TQRBandType BandType() const { return type_; }
    TQuickRep* Report() const { return report_; }
    const std::vector<TQRPrintable*>& Children() const { return children_; }

    std::string Name;
    int Height = 40;             // pixels
    TQRFrame Frame;
    TFont Font;
    bool ForceNewPage = false;   // sub-detail bands only: start on a new page

private:
    friend class TQRPrintable;
    friend class TQuickRep;
    TQuickRep* report_;
    TQRBandType type_;
    std::vector<TQRPrintable*> children_;
    bool dying_ = false;
};

class TQRSubDetail : public TQRBand {
public:
    explicit TQRSubDetail(TQuickRep* report) : TQRBand(report, rbSubDetail) {}
};

// ---- report -----------------------------------------------------------------

class TQuickRep {
public:
    TQuickRep() = default;
    ~TQuickRep();
    TQuickRep(const TQuickRep&) = delete;
    TQuickRep& operator=(const TQuickRep&) = delete;

    std::string Name;
    std::string ReportTitle;     // document title of the PDF and the print job
    // The file the preview's "save as PDF" offers (full path; empty: the
    // working folder and the report's name).
    std::string PdfFileName;
    TQRPage Page;                // A4 portrait, margins 10/10/7/7 mm
    TQROptions Options;
    TFont Font;

    TQRBand* PageHeader() const { return header_; }
    TQRBand* PageFooter() const { return footer_; }
    // The sub-detail bands in creation order.
    const std::vector<TQRBand*>& DetailBands() const { return details_; }

private:
    friend class TQRBand;
    TQRBand* header_ = nullptr;
    TQRBand* footer_ = nullptr;
    std::vector<TQRBand*> details_;
    bool dying_ = false;
};

}  // namespace print
