#include "data/Arhiv_Clb.h"

#include <algorithm>

#include "common/Suplfunc.h"

namespace {
constexpr int kBoxLeft = 4, kBoxTop = 4;
constexpr int kBar = ui::ScrollBox::kBar;
constexpr int kGridFrame = 2;
const int kColWidths[TFormArhiv_Clb::kFirstValueCol] = {4, 64, 64, 80, 46};
constexpr int kValueColWidth = 150;
}  // namespace

TFormArhiv_Clb::TFormArhiv_Clb(ui::Component* owner) : ArchiveViewerForm(owner, "FormArhiv_Clb") {
    ScrollBox1.SetBorderSingle(false);
    ScrollBox1.SetHorzIncrement(kValueColWidth + 1);
    ScrollBox1.SetVertIncrement(kRowHeight + 1);
    StringGrid1.SetParent(&ScrollBox1);
    StringGrid1.SetColCount(kFirstValueCol + kGasParamCount);
    StringGrid1.SetRowCount(kHeadRows + 1);
    // Only the spacer is a fixed column: the grid scrolls inside its box,
    // and the date, time, result and line columns are painted as headings.
    StringGrid1.SetFixedCols(1);
    StringGrid1.SetFixedRows(kHeadRows);
    StringGrid1.SetDefaultRowHeight(kRowHeight);
    StringGrid1.SetDefaultColWidth(kValueColWidth);
    for (int c = 0; c < kFirstValueCol; ++c) StringGrid1.SetColWidth(c, kColWidths[c]);
    StringGrid1.SetScrollBars(ui::ScrollBars::None);
    ui::GridOptions opts;
    opts.rowSelect = true;
    StringGrid1.SetOptions(opts);
    StringGrid1.OnDrawCell = [this](int col, int row, ui::CellStyle& s) {
        if (row >= kHeadRows && col > 0 && col < kFirstValueCol && row != StringGrid1.Row()) {
            s.background = ui::clBtnFace;
            s.text = ui::clBtnText;
        }
    };

    // The record rows are asked for when they show; the heading rows are stored.
    rows_.count = [this] { return rowCount_; };
    rows_.texts = [this](int row, std::vector<std::string>& t) {
        if (row >= 0 && row < rowCount_) RecordTexts(row, t);
    };
    StringGrid1.SetRowSource(&rows_);

    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn5.OnClick = [this] {
        if (ExcelAction) ExcelAction(*this);
    };
    OnShow = [this] { FormShow(); };
    OnResize = [this] { FormResize(); };
    SetBounds(0, 0, 900, 500);
    FormCreate();
}

void TFormArhiv_Clb::FormCreate() {
    Header = nullptr;
    Records = {};
    suppressResize_ = true;
}

int TFormArhiv_Clb::ValueColumn(int code) {
    for (int p = 0; p < kGasParamCount; ++p)
        if (ParamCodeAt(p) == code) return kFirstValueCol + p;
    return -1;
}

void TFormArhiv_Clb::FillHeadings() {
    StringGrid1.SetCell(1, 0, "   Дата");
    StringGrid1.SetCell(2, 0, "    Час");
    StringGrid1.SetCell(3, 0, "     Стан.");
    StringGrid1.SetCell(4, 0, " Нитка");
    for (int i = 0; i < kGasParamCount; ++i) {
        const int c = ParamCodeAt(i);
        const int col = kFirstValueCol + i;
        StringGrid1.SetCell(col, 0, ParamShortName(c));
        StringGrid1.SetCell(col, 1, CalibUnitHeading(c));
    }
}

void TFormArhiv_Clb::FillCalibGrid() {
    for (int code = 0; code < kGasParamCount; ++code) {
        valueCol_[code] = ValueColumn(code);
        decimals_[code] = ParamDecimals(code);
    }
    rowCount_ = int(Records.size());
    StringGrid1.RowsChanged();
}

void TFormArhiv_Clb::RecordTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    const CalibRecord& r = Records[std::size_t(row)];
    CalibDateTexts(r, t);
    if (!RecordCrcOk(r)) return;
    t.resize(std::size_t(kFirstValueCol + kGasParamCount));
    const bool oxygen = OxygenShown();
    // The decimals of the display format as they were at the show.
    const GasValueFormat bare = [this](float v, int code) {
        return IsFloatNanInf(v) ? std::string("NAN") : FloatToStrFixed(v, 12, decimals_[code]);
    };
    for (int code = 0; code < kGasParamCount; ++code) {
        const int col = valueCol_[code];
        if (col >= 0) t[std::size_t(col)] = CalibValueText(r, code, oxygen, bare);
    }
}

void TFormArhiv_Clb::FormShow() {
    const ArchiveFileHeader& h = Hdr();
    SetCaption(ViewerFormat("Калібрувальні дані хроматографа (сер. № %u) за період  з  %s  по  %s", h.Serial(),
                       ViewerDateTimeText(h.FromDate).c_str(), ViewerDateTimeText(h.ToDate).c_str()));
    const int rows = kHeadRows + int(Records.size());
    StringGrid1.SetRowCount(std::max(rows, kHeadRows + 1));
    StringGrid1.ClearCells();
    FillHeadings();
    FillCalibGrid();

    int gridW = 0, gridH = 0;
    for (int c = 0; c < StringGrid1.ColCount(); ++c) gridW += StringGrid1.ColWidth(c) + StringGrid1.GridLineWidth();
    for (int r = 0; r < StringGrid1.RowCount(); ++r) gridH += StringGrid1.RowHeight(r) + StringGrid1.GridLineWidth();
    gridH += kGridFrame;
    StringGrid1.SetBounds(0, 0, gridW, gridH);

    const int screenW = ui::Screen::Width(), screenH = ui::Screen::Height();
    fullBoxHeight_ = gridH + kBar;
    fullWidth_ = std::min(kBoxLeft + 18 + gridW + kBar, screenW - 10);
    fullHeight_ = std::min(kBoxTop + 80 + fullBoxHeight_, screenH - 40);
    BitBtn3.Hide();
    ShowActionButtons(false, bool(ExcelAction));
    SetBounds(0, std::max(0, (screenH - fullHeight_) / 2 - 10), fullWidth_, fullHeight_);
    suppressResize_ = false;
    LayOut();
    ScrollBox1.SetHorzPosition(0);
    ScrollBox1.SetVertPosition(0);
    if (!Records.empty()) StringGrid1.SetRow(kHeadRows);
    StringGrid1.SetFocus();
}

void TFormArhiv_Clb::FormResize() {
    if (suppressResize_) return;
    if (Width() > fullWidth_ || Height() > fullHeight_) {
        SetBounds(Left(), Top(), std::min(Width(), fullWidth_), std::min(Height(), fullHeight_));
        return;
    }
    LayOut();
}

void TFormArhiv_Clb::LayOut() {
    const int boxW = std::max(Width() - kBoxLeft - 18, kBar + 40);
    const int boxH = std::clamp(Height() - kBoxTop - 80, 0, fullBoxHeight_);
    ScrollBox1.SetBounds(kBoxLeft, kBoxTop, boxW, boxH);
    ScrollBox1.SetHorzPosition(ScrollBox1.HorzPosition());
    ScrollBox1.SetVertPosition(ScrollBox1.VertPosition());
    PlaceButtons(kBoxLeft + 4, kBoxTop + boxH + 12, {&BitBtn2, &BitBtn5, &BitBtn1});
}

void TFormArhiv_Clb::BitBtn2Click() {
    SaveRecords(ArchiveKind::Calib, "Введіть ім'я файлу для збереження даних", "Файл %s уже есть.", Records);
}
