#include "reports/PrnPage.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>

#include "common/Question.h"
#include "print/Output.h"
#include "data/ViewerTexts.h"
#include "platform/FileWrite.h"
#include "print/PageModel.h"
#include "reports/PrnText.h"

using namespace print;

namespace {
// "Зберегти у PDF" of the preview asks and tells as the program does
// everywhere: its own file dialog, and its own message box for the
// question before a file is replaced and for the result.
std::string ChoosePdfFile(const std::string& suggested) {
    const std::filesystem::path at(suggested);
    ui::SaveDialog dialog(nullptr, "SavePdfDialog");
    dialog.Title = "Зберегти у PDF";
    dialog.Filter = "PDF (*.pdf)|*.pdf";
    dialog.DefaultExt = "pdf";
    dialog.InitialDir = at.parent_path().string();
    dialog.FileName = at.filename().string();
    for (;;) {
        if (!dialog.Execute()) return {};
        std::string path = dialog.FileName;
        if (platform::BaseName(path).find('.') == std::string::npos) path += ".pdf";
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) return path;
        MessageKind = 3;
        ShowQues("Файл " + platform::BaseName(path) + " вже є.", "Ви бажаєте замінити існуючий файл?");
        if (MessageAnswer) return path;
        dialog.FileName = path;
    }
}

void TellPdfSaved(const std::string& path, const std::string& error) {
    if (error.empty()) ShowQues(6, "Дані збережені в файлі " + platform::BaseName(path), "");
    else ShowQues(1, "Помилка роботи з файлом", platform::BaseName(path));
}

// The preview's dialog and messages for as long as it is up.
class PdfDialogsOfTheProgram {
public:
    PdfDialogsOfTheProgram() {
        SetPdfPathChooser(ChoosePdfFile);
        SetPdfSaveNotice(TellPdfSaved);
    }
    ~PdfDialogsOfTheProgram() {
        SetPdfPathChooser(nullptr);
        SetPdfSaveNotice(nullptr);
    }
    PdfDialogsOfTheProgram(const PdfDialogsOfTheProgram&) = delete;
    PdfDialogsOfTheProgram& operator=(const PdfDialogsOfTheProgram&) = delete;
};
}  // namespace

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

void PrnReportWindow::Preview() {
    PdfDialogsOfTheProgram dialogs;
    print::Preview(QuickRep1);
}
