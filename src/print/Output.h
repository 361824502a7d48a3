// Output of a report: a PDF file and the modal preview window from which the
// operator prints. Plain C++ on the outside; the drawing is done with Qt.
#pragma once
#include <functional>
#include <string>

#include "print/PageModel.h"
#include "print/Report.h"

namespace print {

// Writes the laid-out report as a PDF file, one page per report page, through
// a temporary file in the same folder renamed over `path`. Throws ReportError
// when the report cannot be laid out or the file cannot be written; an old
// file at `path` is then left as it was.
void SavePdf(const TQuickRep& report, const std::string& path);

// Lays the report out and shows it in a modal preview window (zoom, page
// navigation, page set-up and Print). Returns when the operator closes it.
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

}  // namespace print
