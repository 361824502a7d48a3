// The printed moisture-meter report: a title band on the first page, then
// one framed eight-column table band per page; a page holds 65 lines, of
// which the title takes 8 and each table heading 7 (50 rows on the first
// page, 58 on every further one; a row whose text wraps in its column takes
// a line for each of its lines). Modes: 6 hourly values, 7 daily values,
// 8 measured values.
//
// PrintWmtArchive() / PrintWmtMeasurements() are the "Друк" buttons of the
// two moisture-meter viewers (RegisterPrintedReports attaches them).
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

class TFormPrnHDM_Wmt : public PrnReportWindow {
public:
    TFormPrnHDM_Wmt();
    ~TFormPrnHDM_Wmt() override;

    // Set before BuildWmtReport. The rows stay the caller's and must
    // outlive the preview.
    ArchiveFileHeader Header{};
    std::string Heading;
    std::span<const WmtRowTexts> Rows;

    int RowHeight = 0;    // 19 pixels at 120 pixels per inch, scaled
    int LinesLeft = 0;    // lines left on the page being filled
    int PageIndex = 0;
    int PageCounter = 0;
    std::unique_ptr<TrepTitle> Title;
    std::vector<std::unique_ptr<TArh_Wmt_Table>> Tables;  // one per page

    void ClearBands();
};

// Builds the whole report of `mode` on the window.
void BuildWmtReport(TFormPrnHDM_Wmt& w, uint8_t mode);
// Makes the title band and fills its five lines.
void BuildWmtTitle(TFormPrnHDM_Wmt& w, uint8_t mode);

// The viewers' "Друк" buttons. They return when the preview is closed or
// the operator cancelled; they never throw.
void PrintWmtMeasurements(const ArchiveFileHeader& header, std::span<const WmtMomentaryRecord> records);
void PrintWmtArchive(const ArchiveFileHeader& header, std::span<const WmtArchiveRecord> records, uint8_t mode);
// The same for rows already made into texts.
void PrintWmtRows(const ArchiveFileHeader& header, uint8_t mode, std::span<const WmtRowTexts> rows);
