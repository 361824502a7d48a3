#include "reports/PrnArhiv.h"

#include <algorithm>
#include <array>

#include "config/Globals.h"
#include "reports/Ques_Prn.h"
#include "ui/Ui.h"
#include "platform/Codepage.h"

TFormPrnArhiv::TFormPrnArhiv() {
    RowHeight = print::ScaleFrom120(16);
    PageCounter = 0;
}

TFormPrnArhiv::~TFormPrnArhiv() { ClearBands(); }

void TFormPrnArhiv::ClearBands() {
    Tables.clear();
    Title.reset();
}

void BuildArhivTitle(TFormPrnArhiv& w, uint8_t /*kind*/) {
    w.Title = std::make_unique<TarhTitle>(&w.QuickRep1);
    const std::vector<std::string> lines = ArhivTitleLines(w.Header, w.Heading);
    for (int i = 0; i < TarhTitle::kLines; ++i) w.Title->Lines[i]->Caption = lines[std::size_t(i)];
}

namespace {
// The texts of row r as printed: each cell trimmed.
std::array<std::string, TAlaTable::kColumns> PrintedRow(const AlaRowTexts& row) {
    std::array<std::string, TAlaTable::kColumns> texts;
    for (int c = 0; c < TAlaTable::kColumns; ++c) texts[std::size_t(c)] = std::string(platform::TrimSpace(row[std::size_t(c)]));
    return texts;
}
}  // namespace

void FillAlaPage(TFormPrnArhiv& w, std::size_t block, std::size_t firstRow, std::size_t rows) {
    if (block >= w.Tables.size() || !w.Tables[block])
        throw print::ReportError("no table for block " + std::to_string(block));
    TAlaTable& t = *w.Tables[block];
    const std::size_t end = firstRow >= w.Rows.size() ? firstRow : std::min(w.Rows.size(), firstRow + rows);
    for (std::size_t r = firstRow; r < end; ++r) {
        const auto texts = PrintedRow(w.Rows[r]);
        AddRow(t.Data, WrapRow(t.Data, TAlaTable::kColumns, texts.data()), w.RowHeight);
    }
    t.Band->Height = t.Data[0]->Top + t.Data[0]->Height + 3;
}

void BuildArhivReport(TFormPrnArhiv& w, uint8_t kind) {
    ui::HourGlass busy;
    w.ClearBands();
    w.QuickRep1.Page.Value(4) = 12;
    w.QuickRep1.Page.Value(5) = 9;
    w.QuickRep1.ReportTitle = "Перелік діагностичних повідомлень";
    w.QuickRep1.PdfFileName = PrnPdfFileName(w.Header, kind);
    w.PlacePageBands();
    w.QRLabel3->Caption = w.Header.ControllerNameText();
    w.PageCounter = 1;
    BuildArhivTitle(w, kind);

    // The first block shares its page with the title. A block takes the
    // rows that fill a page: RowsFirstPage / RowsNextPage printed lines, a
    // row whose text wraps in its column counting each of its lines.
    std::vector<int> lines;
    lines.reserve(w.Rows.size());
    if (!w.Rows.empty()) {
        w.Tables.push_back(std::make_unique<TAlaTable>(&w.QuickRep1));
        const TAlaTable& t = *w.Tables.front();
        for (const AlaRowTexts& row : w.Rows) {
            const auto texts = PrintedRow(row);
            lines.push_back(int(WrapRow(t.Data, TAlaTable::kColumns, texts.data()).front().size()));
        }
    }
    const std::vector<std::size_t> blocks = BlockSizesByLines(lines, RowsFirstPage, RowsNextPage);
    w.Tables.reserve(blocks.size());
    std::size_t first = 0;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (b > 0) w.Tables.push_back(std::make_unique<TAlaTable>(&w.QuickRep1));
        FillAlaPage(w, b, first, blocks[b]);
        first += blocks[b];
        if (b > 0) ++w.PageCounter;
    }
    w.SetPageCount(w.PageCounter);
}

namespace {
void PreviewDiagnosticList(const ArchiveFileHeader& header, const std::string& heading,
                           std::span<const AlaRowTexts> rows) {
    TFormPrnArhiv w;
    w.Header = header;
    w.Heading = heading;
    w.Rows = rows;
    BuildArhivReport(w, kPrintDiagnostic);
    w.Preview();
}
}  // namespace

void PrintDiagnosticList(const ArchiveFileHeader& header, std::span<const AlaRowTexts> rows) {
    RunReportPrint(header, kPrintDiagnostic, rows.size(),
                   [&](const std::string& heading) { PreviewDiagnosticList(header, heading, rows); });
}

void PrintDiagnosticList(const ArchiveFileHeader& header, std::span<const DiagnosticRow> rows) {
    RunReportPrint(header, kPrintDiagnostic, rows.size(), [&](const std::string& heading) {
        std::vector<AlaRowTexts> texts;
        texts.reserve(rows.size());
        for (const DiagnosticRow& row : rows) texts.push_back(AlaRowTextsOf(row));
        PreviewDiagnosticList(header, heading, texts);
    });
}
