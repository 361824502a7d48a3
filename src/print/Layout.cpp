// Pagination: bands in creation order, each once, whole bands only.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "print/PageModel.h"

namespace print {

namespace {

constexpr double kEps = 1e-6;
const char* const kDefaultFontName = "MS Sans Serif";
constexpr int kDefaultFontSize = 10;

bool IsPageNumber(const std::string& expr) {
    size_t b = 0, e = expr.size();
    while (b < e && std::isspace(static_cast<unsigned char>(expr[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(expr[e - 1]))) --e;
    static const std::string kWord = "PAGENUMBER";
    if (e - b != kWord.size()) return false;
    for (size_t i = 0; i < kWord.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(expr[b + i])) != kWord[i]) return false;
    return true;
}

template <class T>
T Pick(const std::optional<T>& a, const std::optional<T>& b, const std::optional<T>& c, T fallback) {
    if (a) return *a;
    if (b) return *b;
    if (c) return *c;
    return fallback;
}

ResolvedFont Resolve(const TFont& item, const TFont& band, const TFont& report) {
    ResolvedFont f;
    f.name = Pick<std::string>(item.Name, band.Name, report.Name, kDefaultFontName);
    if (f.name.empty()) f.name = kDefaultFontName;
    f.sizePt = Pick<int>(item.Size, band.Size, report.Size, kDefaultFontSize);
    if (f.sizePt < 1) f.sizePt = 1;
    if (f.sizePt > 400) f.sizePt = 400;
    f.bold = Pick<bool>(item.Bold, band.Bold, report.Bold, false);
    return f;
}

double FrameWidthMm(const TQRFrame& frame) { return PixelsToMm(std::max(frame.Width, 1)); }

std::string Describe(const std::string& name, const char* what) {
    return name.empty() ? std::string(what) : std::string(what) + " " + name;
}

// Items of one band, with positions relative to the band's placed rectangle.
PlacedBand PlaceBand(const TQuickRep& rep, const TQRBand& band, PlacedBandKind kind, double left,
                     double top, double width) {
    PlacedBand pb;
    pb.kind = kind;
    pb.name = band.Name;
    pb.source = &band;
    pb.rect = {left, top, width, PixelsToMm(band.Height)};
    pb.frame = band.Frame;
    pb.frameWidthMm = FrameWidthMm(band.Frame);
    for (const TQRPrintable* child : band.Children()) {
        if (child->AutoSize || child->WordWrap)
            throw ReportError(Describe(child->Name, "report item") +
                              ": automatic size and word wrap are not supported");
        if (child->Width < 0 || child->Height < 0)
            throw ReportError(Describe(child->Name, "report item") + ": negative size");
        PlacedItem it;
        it.name = child->Name;
        it.source = child;
        it.rect = {left + PixelsToMm(child->Left), top + PixelsToMm(child->Top),
                   PixelsToMm(child->Width), PixelsToMm(child->Height)};
        it.alignment = child->Alignment;
        it.font = Resolve(child->Font, band.Font, rep.Font);
        it.frame = child->Frame;
        it.frameWidthMm = FrameWidthMm(child->Frame);
        if (auto* label = dynamic_cast<const TQRLabel*>(child)) {
            it.kind = ItemKind::Label;
            it.lines.push_back(label->Caption);
        } else if (auto* memo = dynamic_cast<const TQRMemo*>(child)) {
            it.kind = ItemKind::Memo;
            it.lines = memo->Lines.Items();
        } else if (auto* expr = dynamic_cast<const TQRExpr*>(child)) {
            it.kind = ItemKind::Expr;
            if (!IsPageNumber(expr->Expression))
                throw ReportError(Describe(child->Name, "expression") + ": cannot evaluate \"" +
                                  expr->Expression + "\"");
            it.lines.push_back(std::string());   // the page number, filled per page
        } else {
            throw ReportError(Describe(child->Name, "report item") + ": unknown kind");
        }
        const double natural = LineSpacingMm(it.font.sizePt);
        const size_t n = it.lines.size();
        it.linePitchMm = natural;
        if (n > 1 && it.rect.height > 0 && natural * static_cast<double>(n) > it.rect.height + kEps)
            it.linePitchMm = it.rect.height / static_cast<double>(n);
        pb.items.push_back(std::move(it));
    }
    return pb;
}

void SetPageNumbers(PlacedBand& band, int number) {
    for (PlacedItem& it : band.items)
        if (it.kind == ItemKind::Expr) it.lines.assign(1, std::to_string(number));
}

void CheckPage(const TQRPage& p) {
    for (int i = 0; i <= 6; ++i)
        if (!std::isfinite(p.Value(i)) || p.Value(i) < 0)
            throw ReportError("page value " + std::to_string(i) + " is not a valid size in millimetres");
    if (p.Width <= 0 || p.Length <= 0) throw ReportError("page width and length must be positive");
    if (p.LeftMargin + p.RightMargin >= p.Width)
        throw ReportError("left and right margins leave no room on the page");
    if (p.TopMargin + p.BottomMargin >= p.Length)
        throw ReportError("top and bottom margins leave no room on the page");
}

}  // namespace

double LineSpacingMm(int sizePt) { return sizePt * 25.4 / 72.0 * 1.17; }

RectMm TextBox(const RectMm& box) {
    if (box.width <= 4 * kTextInsetMm) return box;
    return {box.left + kTextInsetMm, box.top, box.width - 2 * kTextInsetMm, box.height};
}

ResolvedFont ResolveFont(const TQRPrintable& item) {
    static const TFont kNone;
    const TQRBand* band = item.Parent();
    const TQuickRep* rep = band ? band->Report() : nullptr;
    return Resolve(item.Font, band ? band->Font : kNone, rep ? rep->Font : kNone);
}

std::string PlacedItem::text() const {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) out += '\n';
        out += lines[i];
    }
    return out;
}

const PlacedItem* Page::findItem(const std::string& name) const {
    for (const PlacedBand& b : bands)
        for (const PlacedItem& it : b.items)
            if (it.name == name) return &it;
    return nullptr;
}

const PlacedBand* Page::findBand(const std::string& name) const {
    for (const PlacedBand& b : bands)
        if (b.name == name) return &b;
    return nullptr;
}

std::vector<const PlacedBand*> Page::details() const {
    std::vector<const PlacedBand*> out;
    for (const PlacedBand& b : bands)
        if (b.kind == PlacedBandKind::Detail) out.push_back(&b);
    return out;
}

int Document::pageOf(const TQRBand* band) const {
    for (const Page& p : pages)
        for (const PlacedBand& b : p.bands)
            if (b.source == band && b.kind == PlacedBandKind::Detail) return p.number;
    return 0;
}

Document Layout(const TQuickRep& rep) {
    const TQRPage& pg = rep.Page;
    CheckPage(pg);
    const TQRBand* header = rep.PageHeader();
    const TQRBand* footer = rep.PageFooter();
    for (const TQRBand* b : {header, footer})
        if (b && b->Height < 0) throw ReportError(Describe(b->Name, "band") + ": negative height");

    const double left = pg.LeftMargin;
    const double width = pg.Width - pg.LeftMargin - pg.RightMargin;
    const double headerH = header ? PixelsToMm(header->Height) : 0;
    const double footerH = footer ? PixelsToMm(footer->Height) : 0;
    const double footerTop = pg.Length - pg.BottomMargin - footerH;
    auto detailTop = [&](int number) {
        return pg.TopMargin + ((header && (number > 1 || rep.Options.FirstPageHeader)) ? headerH : 0);
    };
    if (footerTop <= detailTop(2) + kEps)
        throw ReportError("page header and footer leave no room for the report on the page");

    Document doc;
    doc.title = rep.ReportTitle;
    std::vector<std::vector<PlacedBand>> details(1);
    double y = detailTop(1);

    const auto& bands = rep.DetailBands();
    for (size_t i = 0; i < bands.size(); ++i) {
        const TQRBand& band = *bands[i];
        if (band.Height < 0) throw ReportError(Describe(band.Name, "band") + ": negative height");
        const double h = PixelsToMm(band.Height);
        const bool pageUsed = !details.back().empty();
        if (pageUsed && (band.ForceNewPage || y + h > footerTop + kEps)) {
            details.emplace_back();
            y = detailTop(static_cast<int>(details.size()));
        }
        PlacedBand pb = PlaceBand(rep, band, PlacedBandKind::Detail, left, y, width);
        pb.detailIndex = static_cast<int>(i);
        pb.overflows = y + h > footerTop + kEps;
        details.back().push_back(std::move(pb));
        y += h;
    }

    const int count = static_cast<int>(details.size());
    for (int n = 1; n <= count; ++n) {
        Page page;
        page.number = n;
        page.widthMm = pg.Width;
        page.heightMm = pg.Length;
        if (header && (n > 1 || rep.Options.FirstPageHeader))
            page.bands.push_back(PlaceBand(rep, *header, PlacedBandKind::PageHeader, left, pg.TopMargin, width));
        for (PlacedBand& b : details[static_cast<size_t>(n - 1)]) page.bands.push_back(std::move(b));
        if (footer && (n < count || rep.Options.LastPageFooter))
            page.bands.push_back(PlaceBand(rep, *footer, PlacedBandKind::PageFooter, left, footerTop, width));
        for (PlacedBand& b : page.bands) SetPageNumbers(b, n);
        doc.pages.push_back(std::move(page));
    }
    return doc;
}

}  // namespace print
