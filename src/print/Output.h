// Output of a report: a PDF file and the modal preview window from which the
// operator prints. Plain C++ on the outside; the drawing is done with Qt.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "print/PageModel.h"
#include "print/Report.h"

namespace print {

// Writes the laid-out report as a PDF file, one page per report page, through
// a temporary file in the same folder renamed over `path`. Throws ReportError
// when the report cannot be laid out or the file cannot be written; an old
// file at `path` is then left as it was.
void SavePdf(const TQuickRep& report, const std::string& path);

// Width on paper, in millimetres, of one line of text in a font, as the PDF
// and the printer set it.
double TextWidthMm(const ResolvedFont& font, const std::string& text);

// A text broken into lines that each fit `widthMm` in the font. A text
// that fits comes back as one line, unchanged; one that does not first
// loses its leading blanks (they only set it off in its column), then is
// broken at blanks (the blanks at a break are dropped). A single word wider
// than the width gets a line of its own, which the drawing sets narrower to
// fit (down to 0.6 of its natural width: a number or a code is not cut);
// only a word too wide even for that is broken between characters. An
// empty text gives one empty line.
std::vector<std::string> WrapText(const ResolvedFont& font, const std::string& text, double widthMm);

// The same for the text box of a report item (TextBox of its width, in its
// font): the lines to give a memo so that none runs out of its box. Items
// never wrap by themselves; the code that builds a report wraps with this
// and sizes the memo and its band for the lines it gets.
std::vector<std::string> WrapToItem(const TQRPrintable& item, const std::string& text);

// Lays the report out and shows it in a modal preview window (zoom, page
// navigation, page set-up, Print and "save as PDF"). Returns when the
// operator closes it.
// Throws ReportError when the report cannot be laid out or no window can be
// shown: no display, or Qt running on its offscreen or minimal platform, where
// nobody could close the window (unless AllowPreviewWithoutDisplay(true)).
void Preview(const TQuickRep& report);

// For tests that drive the real preview window on the offscreen platform.
void AllowPreviewWithoutDisplay(bool allow);

// While a handler is installed, Preview hands it the laid-out document
// instead of opening a window (for tests and runs without a display). Pass
// nullptr to remove it.
using PreviewHandler = std::function<void(const TQuickRep&, const Document&)>;
void SetPreviewHandler(PreviewHandler handler);

// The preview's "save as PDF" button (the action named "actionSavePdf" on
// the preview's tool bar). It asks for a file name, starting from the
// report's PdfFileName, adds ".pdf" when the name has no extension and
// writes the pages shown, as SavePdf does. The result is told in a message
// box over the preview, which stays open either way.
//
// For tests and callers with their own dialogs: a chooser replaces the file
// dialog (it gets the suggested path and returns the chosen one, "" for
// cancel) and a notice replaces the message boxes (it gets the path and the
// error text, empty on success). nullptr restores the defaults.
using PdfPathChooser = std::function<std::string(const std::string& suggested)>;
using PdfSaveNotice = std::function<void(const std::string& path, const std::string& error)>;
void SetPdfPathChooser(PdfPathChooser chooser);
void SetPdfSaveNotice(PdfSaveNotice notice);

}  // namespace print
