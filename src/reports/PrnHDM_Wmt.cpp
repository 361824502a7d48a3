#include "reports/PrnHDM_Wmt.h"

#include "reports/Ques_Prn.h"
#include "ui/Ui.h"

TFormPrnHDM_Wmt::TFormPrnHDM_Wmt() {
    // Design margins of this report: 25 mm left, 22 mm right, 10 mm top and
    // bottom.
    QuickRep1.Page.Value(0) = 10;
    QuickRep1.Page.Value(2) = 10;
    QuickRep1.Page.Value(4) = 25;
    QuickRep1.Page.Value(5) = 22;
    PlacePageBands();
    RowHeight = print::ScaleFrom120(19);
}

TFormPrnHDM_Wmt::~TFormPrnHDM_Wmt() { ClearBands(); }

void TFormPrnHDM_Wmt::ClearBands() {
    Tables.clear();
    Title.reset();
}

void BuildWmtTitle(TFormPrnHDM_Wmt& w, uint8_t mode) {
    w.Title = std::make_unique<TrepTitle>(&w.QuickRep1);
    const std::vector<std::string> lines = WmtTitleLines(w.Header, w.Heading, mode);
    for (int i = 0; i < TrepTitle::kLines; ++i) w.Title->Lines[i]->Caption = lines[std::size_t(i)];
}

void BuildWmtReport(TFormPrnHDM_Wmt& w, uint8_t mode) {
    ui::HourGlass busy;
    w.ClearBands();
    w.QuickRep1.ReportTitle = PrintKindText(mode);
    w.QuickRep1.PdfFileName = PrnPdfFileName(w.Header, mode);
    w.LinesLeft = kWmtLinesPerPage;
    w.QRLabel3->Caption = w.Header.ControllerNameText();
    BuildWmtTitle(w, mode);
    w.LinesLeft -= kWmtTitleLines;
    w.PageIndex = 0;
    w.PageCounter = 1;

    // Rows are counted in printed lines: a text wider than its column wraps
    // and its row takes a line more of the page's budget for each.
    // The first page's table measures the rows for all.
    std::unique_ptr<TArh_Wmt_Table> first;
    std::vector<int> lines;
    lines.reserve(w.Rows.size());
    if (!w.Rows.empty()) {
        first = std::make_unique<TArh_Wmt_Table>(&w.QuickRep1, mode, w.Header.MoistureMeterType);
        for (const WmtRowTexts& row : w.Rows)
            lines.push_back(int(WrapRow(first->Data, TArh_Wmt_Table::kColumns, row.data()).front().size()));
    }
    const std::vector<std::size_t> pages = WmtPageSizes(lines);
    w.Tables.reserve(pages.size());
    std::size_t r = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        auto table = p == 0 ? std::move(first)
                            : std::make_unique<TArh_Wmt_Table>(&w.QuickRep1, mode, w.Header.MoistureMeterType);
        if (p > 0) {
            table->Band->ForceNewPage = true;
            ++w.PageCounter;
            ++w.PageIndex;
            w.LinesLeft = kWmtLinesPerPage;
        }
        w.LinesLeft -= kWmtHeadingLines;
        for (std::size_t n = 0; n < pages[p]; ++n, ++r) {
            AddRow(table->Data, WrapRow(table->Data, TArh_Wmt_Table::kColumns, w.Rows[r].data()), w.RowHeight);
            w.LinesLeft -= lines[r];
        }
        table->Band->Height = table->Data[0]->Top + table->Data[0]->Height + 3;
        w.Tables.push_back(std::move(table));
    }
    w.SetPageCount(w.PageCounter);
}

namespace {
void PreviewWmtRows(const ArchiveFileHeader& header, const std::string& heading, uint8_t mode,
                    std::span<const WmtRowTexts> rows) {
    TFormPrnHDM_Wmt w;
    w.Header = header;
    w.Heading = heading;
    w.Rows = rows;
    BuildWmtReport(w, mode);
    w.Preview();
}

template <class R, class F>
void PrintRecords(const ArchiveFileHeader& header, uint8_t mode, std::span<const R> records, F rowOf) {
    RunReportPrint(header, mode, records.size(), [&](const std::string& heading) {
        std::vector<WmtRowTexts> rows;
        rows.reserve(records.size());
        for (const R& rec : records) rows.push_back(rowOf(rec));
        PreviewWmtRows(header, heading, mode, rows);
    });
}
}  // namespace

void PrintWmtRows(const ArchiveFileHeader& header, uint8_t mode, std::span<const WmtRowTexts> rows) {
    RunReportPrint(header, mode, rows.size(),
                   [&](const std::string& heading) { PreviewWmtRows(header, heading, mode, rows); });
}

void PrintWmtMeasurements(const ArchiveFileHeader& header, std::span<const WmtMomentaryRecord> records) {
    const uint8_t type = header.MoistureMeterType;
    PrintRecords(header, kPrintWmtMeas, records,
                 [type](const WmtMomentaryRecord& r) { return WmtMomentaryRowTexts(r, type); });
}

void PrintWmtArchive(const ArchiveFileHeader& header, std::span<const WmtArchiveRecord> records, uint8_t mode) {
    const uint8_t type = header.MoistureMeterType;
    const bool daily = mode == kPrintWmtDay;
    PrintRecords(header, daily ? kPrintWmtDay : kPrintWmtHour, records,
                 [type, daily](const WmtArchiveRecord& r) { return WmtArchiveRowTexts(r, type, daily); });
}
