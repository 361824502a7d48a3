// Report components: ownership of bands and items, page values, units.
#include "print/Report.h"

#include <algorithm>
#include <atomic>

namespace print {

namespace {
std::atomic<int> g_ppi{96};

template <class T>
void Unlist(std::vector<T*>& v, T* p) {
    v.erase(std::remove(v.begin(), v.end(), p), v.end());
}
}  // namespace

int ScreenPixelsPerInch() { return g_ppi.load(); }

void SetScreenPixelsPerInch(int ppi) {
    if (ppi >= 1 && ppi <= 2400) g_ppi.store(ppi);
}

int ScaleFrom120(int px120) {
    // 64-bit product: no overflow for any int width at any accepted ppi.
    return static_cast<int>(static_cast<long long>(px120) * ScreenPixelsPerInch() / 120);
}

double PixelsToMm(double px) { return px * 25.4 / ScreenPixelsPerInch(); }

// ---- page -------------------------------------------------------------------

double& TQRPage::Value(int index) {
    switch (index) {
        case 0: return BottomMargin;
        case 1: return Length;
        case 2: return TopMargin;
        case 3: return Width;
        case 4: return LeftMargin;
        case 5: return RightMargin;
        case 6: return ColumnSpace;
        default: throw ReportError("page value index " + std::to_string(index) + " out of range 0..6");
    }
}

double TQRPage::Value(int index) const { return const_cast<TQRPage*>(this)->Value(index); }

// ---- items ------------------------------------------------------------------

TQRPrintable::TQRPrintable(TQRBand* band) : band_(band) {
    if (!band) throw ReportError("a report item needs a band");
    band->children_.push_back(this);
}

TQRPrintable::~TQRPrintable() {
    if (band_ && !band_->dying_) Unlist(band_->children_, this);
}

// ---- bands ------------------------------------------------------------------

TQRBand::TQRBand(TQuickRep* report, TQRBandType type) : report_(report), type_(type) {
    if (!report) throw ReportError("a band needs a report");
    switch (type) {
        case rbPageHeader:
            if (report->header_) throw ReportError("the report already has a page header band");
            report->header_ = this;
            break;
        case rbPageFooter:
            if (report->footer_) throw ReportError("the report already has a page footer band");
            report->footer_ = this;
            break;
        case rbSubDetail:
            report->details_.push_back(this);
            break;
        default:
            throw ReportError("unknown band type");
    }
}

TQRBand::~TQRBand() {
    dying_ = true;
    for (TQRPrintable* child : children_) {
        child->band_ = nullptr;
        delete child;
    }
    children_.clear();
    if (report_ && !report_->dying_) {
        if (report_->header_ == this) report_->header_ = nullptr;
        if (report_->footer_ == this) report_->footer_ = nullptr;
        Unlist(report_->details_, static_cast<TQRBand*>(this));
    }
}

// ---- report -----------------------------------------------------------------

TQuickRep::~TQuickRep() {
    dying_ = true;
    std::vector<TQRBand*> owned = details_;
    if (header_) owned.push_back(header_);
    if (footer_) owned.push_back(footer_);
    details_.clear();
    header_ = footer_ = nullptr;
    for (TQRBand* band : owned) {
        band->report_ = nullptr;
        delete band;
    }
}

}  // namespace print
