// The printed list of diagnostic messages: a title band, then one framed
// seven-column table band per page (63 printed lines on the first page, the
// one with the title, 71 on every further page: RowsFirstPage /
// RowsNextPage; a row is one line unless a text wraps in its column),
// shown in the report preview, from which the operator prints or saves a
// PDF.
//
// PrintDiagnosticList() is the list window's "Друк" button: the heading
// dialog, this print window, its preview, and "Помилка друку даних" when
// anything on that road fails.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "data/ArchiveFiles.h"
#include "reports/Bands.h"
#include "reports/PrnPage.h"
#include "reports/PrnText.h"

class TFormPrnArhiv : public PrnReportWindow {
public:
    TFormPrnArhiv();
    ~TFormPrnArhiv() override;

    // Set before BuildArhivReport. The rows stay the caller's and must
    // outlive the preview.
    ArchiveFileHeader Header{};
    std::string Heading;
    std::span<const AlaRowTexts> Rows;

    int RowHeight = 0;    // 16 pixels at 120 pixels per inch, scaled
    int PageCounter = 0;
    std::unique_ptr<TarhTitle> Title;
    std::vector<std::unique_ptr<TAlaTable>> Tables;  // one per block

    // Deletes the title and every table (before a new build, and when the
    // window goes).
    void ClearBands();
};

// Builds the whole report of `kind` (3) on the window.
void BuildArhivReport(TFormPrnArhiv& w, uint8_t kind);
// Makes the title band and fills its six lines.
void BuildArhivTitle(TFormPrnArhiv& w, uint8_t kind);
// Fills table `block` with `rows` rows from `firstRow`: each cell trimmed
// and broken into the lines that fit its column, the memos and the band
// grown to fit.
void FillAlaPage(TFormPrnArhiv& w, std::size_t block, std::size_t firstRow, std::size_t rows);

// The "Друк" button of the diagnostic-message list, given the list's header
// and its rows (as saved in .ala files, or as texts). Returns when the
// preview is closed or the operator cancelled; never throws.
void PrintDiagnosticList(const ArchiveFileHeader& header, std::span<const DiagnosticRow> rows);
void PrintDiagnosticList(const ArchiveFileHeader& header, std::span<const AlaRowTexts> rows);
