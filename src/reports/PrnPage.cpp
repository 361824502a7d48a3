#include "reports/PrnPage.h"

#include <algorithm>
#include <initializer_list>

#include "print/Output.h"
#include "data/ViewerTexts.h"
#include "print/PageModel.h"
#include "reports/PrnText.h"

using namespace print;

PrnReportWindow::PrnReportWindow() {
    QuickRep1.Name = "QuickRep1";
    QuickRep1.Options.FirstPageHeader = true;
    QuickRep1.Options.LastPageFooter = true;
    QuickRep1.Font.Name = "MS Sans Serif";

    QRBand1 = new TQRBand(&QuickRep1, rbPageHeader);
    QRBand1->Name = "QRBand1";
    QRBand1->Height = kHeaderHeight;
    QRLabel3 = new TQRLabel(QRBand1);
    QRLabel3->Name = "QRLabel3";
    QRLabel3->Alignment = taRightJustify;
    QRLabel3->Font.Size = 10;

    PageFooterBand1 = new TQRBand(&QuickRep1, rbPageFooter);
    PageFooterBand1->Name = "PageFooterBand1";
    PageFooterBand1->Height = kFooterHeight;
    QRLabel30 = new TQRLabel(PageFooterBand1);
    QRLabel30->Name = "QRLabel30";
    QRLabel30->Caption = "Лист";
    QRLabel30->Alignment = taRightJustify;
    QRExpr1 = new TQRExpr(PageFooterBand1);
    QRExpr1->Name = "QRExpr1";
    QRExpr1->Expression = "PAGENUMBER";
    QRExpr1->Alignment = taCenter;
    QRLabel31 = new TQRLabel(PageFooterBand1);
    QRLabel31->Name = "QRLabel31";
    QRLabel31->Alignment = taLeftJustify;
    for (TQRPrintable* item : std::initializer_list<TQRPrintable*>{QRLabel30, QRExpr1, QRLabel31})
        item->Font.Size = 10;
    PlacePageBands();
}

PrnReportWindow::~PrnReportWindow() = default;

void PrnReportWindow::PlacePageBands() {
    const TQRPage& pg = QuickRep1.Page;
    const double mm = pg.Width - pg.LeftMargin - pg.RightMargin;
    const int width = mm > 0 ? int(mm / 25.4 * ScreenPixelsPerInch()) : 0;
    const int h = 17, top = 5;
    QRLabel3->Left = 0, QRLabel3->Top = top, QRLabel3->Width = std::max(width - 2, 0), QRLabel3->Height = h;
    QRLabel30->Left = std::max(width - 170, 0), QRLabel30->Top = top, QRLabel30->Width = 48,
    QRLabel30->Height = h;
    QRExpr1->Left = QRLabel30->Left + 50, QRExpr1->Top = top, QRExpr1->Width = 32, QRExpr1->Height = h;
    QRLabel31->Left = QRExpr1->Left + 34, QRLabel31->Top = top, QRLabel31->Width = 84, QRLabel31->Height = h;
}

int PrnReportWindow::SetPageCount(int counted) {
    const int laid = Layout(QuickRep1).pageCount();
    const int pages = laid > 0 ? laid : counted;
    QRLabel31->Caption = ViewerFormat("з %d", pages);
    return pages;
}

void PrnReportWindow::Preview() { print::Preview(QuickRep1); }
