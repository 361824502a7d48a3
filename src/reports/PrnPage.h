// What the two print windows share: the report, A4 portrait in millimetres,
// with its page header (the controller name at the right) and page footer
// ("Лист <page> з <pages>"), both printed on every page.
//
// A print window owns band objects (Bands.h) made on this report; as a
// derived class it destroys them before this base destroys the report.
#pragma once
#include "print/Report.h"

class PrnReportWindow {
public:
    PrnReportWindow();
    virtual ~PrnReportWindow();
    PrnReportWindow(const PrnReportWindow&) = delete;
    PrnReportWindow& operator=(const PrnReportWindow&) = delete;

    print::TQuickRep QuickRep1;
    print::TQRBand* QRBand1 = nullptr;          // page header
    print::TQRLabel* QRLabel3 = nullptr;        // controller name, right-aligned
    print::TQRBand* PageFooterBand1 = nullptr;  // page footer
    print::TQRLabel* QRLabel30 = nullptr;       // "Лист"
    print::TQRExpr* QRExpr1 = nullptr;          // the page number
    print::TQRLabel* QRLabel31 = nullptr;       // "з <pages>"

    // Heights of the page header and footer bands (report pixels): together
    // they leave the title and a full first block room on the first page.
    static constexpr int kHeaderHeight = 26;
    static constexpr int kFooterHeight = 26;

    // Shows the report in the library's modal preview.
    void Preview();

    // Spreads the header and footer items over the width between the
    // margins (call after the margins are set).
    void PlacePageBands();
    // "з <pages>" with the number of pages the report lays out to, which is
    // `counted` whenever every block fits its page. Returns that number.
    int SetPageCount(int counted);
};
