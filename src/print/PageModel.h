// The laid-out report: pages, the bands placed on them and the items of each
// band with absolute positions in millimetres from the top-left paper corner.
// Rendering draws exactly this; tests read it without any display.
#pragma once
#include <string>
#include <vector>

#include "print/Report.h"

namespace print {

struct RectMm {
    double left = 0, top = 0, width = 0, height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

struct ResolvedFont {
    std::string name;
    int sizePt = 10;
    bool bold = false;
};

enum class ItemKind { Label, Memo, Expr };

struct PlacedItem {
    ItemKind kind = ItemKind::Label;
    std::string name;
    const TQRPrintable* source = nullptr;
    RectMm rect;
    TAlignment alignment = taLeftJustify;
    ResolvedFont font;
    TQRFrame frame;
    double frameWidthMm = 0;
    // Label: its caption; memo: its lines; expression: its value on this page.
    std::vector<std::string> lines;
    // Distance between the tops of consecutive lines: the font's natural line
    // spacing, closed up when the memo is too short for all its lines, so
    // that no line is ever lost.
    double linePitchMm = 0;
    std::string text() const;   // lines joined with '\n'
};

enum class PlacedBandKind { PageHeader, PageFooter, Detail };

struct PlacedBand {
    PlacedBandKind kind = PlacedBandKind::Detail;
    std::string name;
    const TQRBand* source = nullptr;
    int detailIndex = -1;        // position among the sub-detail bands
    RectMm rect;
    TQRFrame frame;
    double frameWidthMm = 0;
    // True for a band taller than a whole page: it stands alone on its page
    // and runs past the bottom of the detail area.
    bool overflows = false;
    std::vector<PlacedItem> items;
};

struct Page {
    int number = 1;              // 1-based
    double widthMm = 210, heightMm = 297;
    std::vector<PlacedBand> bands;   // header first, details top-down, footer last

    const PlacedItem* findItem(const std::string& name) const;   // first by name
    const PlacedBand* findBand(const std::string& name) const;
    std::vector<const PlacedBand*> details() const;
};

struct Document {
    std::string title;
    std::vector<Page> pages;
    int pageCount() const { return static_cast<int>(pages.size()); }
    // 1-based number of the page holding the given sub-detail band, 0 if none.
    int pageOf(const TQRBand* band) const;
};

// Lays the report out. Throws ReportError for impossible page values, a
// negative height, an unknown expression or an item asking for automatic
// size or word wrap.
Document Layout(const TQuickRep& report);

// Natural line spacing of a font of the given size, in millimetres.
double LineSpacingMm(int sizePt);

// Room kept free inside an item's box on the left and on the right: text
// never touches the edges of its box nor a frame line drawn on them.
inline constexpr double kTextInsetMm = 0.5;

// The part of an item's box that its text may take: the box less the inset
// on both sides (a box too narrow for that keeps its whole width).
RectMm TextBox(const RectMm& box);

// The font an item prints in: its own settings, then its band's, then the
// report's, then the default.
ResolvedFont ResolveFont(const TQRPrintable& item);

}  // namespace print
