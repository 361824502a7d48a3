#include "data/ViewerBody.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>

#include "common/Question.h"
#include "common/Suplfunc.h"
#include "platform/FileWrite.h"
#include "data/WmtCaptions.h"

// ---------------------------------------------------------------------------
// ArchiveViewerForm

namespace {
const ArchiveFileHeader kNoHeader{};
constexpr int kButtonHeight = 28;
}  // namespace

ArchiveViewerForm::ArchiveViewerForm(ui::Component* owner, std::string name) : ui::Form(owner, std::move(name)) {
    SetBorderStyle(ui::BorderStyle::Sizeable);
    // Opens over the main window (the screen keeps it within its free area).
    SetPosition(ui::Position::MainFormCenter);
    BitBtn2.SetCaption("Зберегти у файлі");
    BitBtn2.SetGlyph(ui::Glyph::Save);
    BitBtn1.SetCaption("Вихід");
    BitBtn1.SetGlyph(ui::Glyph::Close);
    BitBtn1.SetCancel(true);
    BitBtn1.SetModalResult(ui::mrOk);
    BitBtn3.SetCaption("Друк");
    BitBtn5.SetCaption("Зберегти у форматі Excel");
    BitBtn2.SetBounds(0, 0, 150, kButtonHeight);
    BitBtn1.SetBounds(0, 0, 110, kButtonHeight);
    BitBtn3.SetBounds(0, 0, 110, kButtonHeight);
    BitBtn5.SetBounds(0, 0, 190, kButtonHeight);
    BitBtn3.Hide();
    BitBtn5.Hide();
}

const ArchiveFileHeader& ArchiveViewerForm::Hdr() const { return Header ? *Header : kNoHeader; }

void ArchiveViewerForm::ShowActionButtons(bool printSet, bool excelSet) {
    BitBtn3.SetVisible(printSet);
    BitBtn5.SetVisible(excelSet);
}

void ArchiveViewerForm::PlaceButtons(int left, int top, std::initializer_list<ui::Button*> buttons) {
    int x = left;
    for (ui::Button* b : buttons) {
        if (!b->Visible()) continue;
        b->SetBounds(x, top, b->Width(), kButtonHeight);
        x += b->Width() + 8;
    }
}

void ArchiveViewerForm::SaveEntries(ArchiveKind kind, const char* title, const char* question, const void* entries,
                                    std::size_t entrySize, uint32_t count) {
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    SaveDialog1.Title = title;
    SaveDialog1.InitialDir = ArchiveFolder(kind);
    SaveDialog1.FileName = DefaultArchiveFileName(kind, Hdr(), PcClockRecord());
    SaveDialog1.Filter = info.saveFilter;
    SaveDialog1.FilterIndex = 1;
    SaveDialog1.DefaultExt = info.extension + 1;  // without the dot
    SaveDialog1.HideReadOnly = true;
    SaveDialog1.NoChangeDir = true;
    SaveDialog1.OverwritePrompt = false;  // the question below asks instead

    std::string path;
    for (;;) {
        if (!SaveDialog1.Execute()) return;
        path = WithDefaultExtension(SaveDialog1.FileName, info.extension);
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) break;
        std::string line1 = question;
        const std::size_t at = line1.find("%s");
        if (at != std::string::npos) line1.replace(at, 2, platform::BaseName(path));
        MessageKind = 3;
        ShowQues(line1, "Ви бажаєте замінити існуючий файл?");
        if (MessageAnswer) break;
        SaveDialog1.FileName = path;  // the dialog comes back with the name last chosen
    }

    FileMessage message;
    {
        ui::HourGlass busy;
        SaveArchiveFile(path, Hdr(), entries, entrySize, count, message);
    }
    if (message.kind != 0) {
        MessageKind = uint32_t(message.kind);
        ShowQues(message.line1, message.line2);
    }
}

// ---------------------------------------------------------------------------
// TwoGridViewer

namespace {
constexpr int kDateLeft = 4;
constexpr int kBar = ui::ScrollBox::kBar;
constexpr int kLineHeight = 14;
// Grid frame: the rows need their steps plus this.
constexpr int kGridFrame = 2;

int GridWidth(const ui::StringGrid& g) {
    int w = 0;
    for (int c = 0; c < g.ColCount(); ++c) w += g.ColWidth(c) + g.GridLineWidth();
    return w;
}

// Value cells read right-aligned.
void RightAlignScrollable(ui::StringGrid& g) {
    g.OnDrawCell = [&g](int col, int row, ui::CellStyle& s) {
        if (col >= g.FixedCols() && row >= g.FixedRows()) s.align = ui::TextAlign::Right;
    };
}
}  // namespace

TwoGridViewer::TwoGridViewer(ui::Component* owner, std::string name, const std::vector<DateColumn>& dateColumns)
    : ArchiveViewerForm(owner, std::move(name)), dateColumns_(dateColumns) {
    ui::GridOptions opts;
    opts.rowSelect = true;

    // Date-time grid: column 0 is a narrow spacer.
    StringGrid1.SetParent(&ScrollBox3);
    StringGrid1.SetColCount(int(dateColumns_.size()));
    StringGrid1.SetRowCount(25);
    StringGrid1.SetFixedRows(0);
    StringGrid1.SetFixedCols(1);
    StringGrid1.SetDefaultRowHeight(kRowHeight);
    for (int c = 0; c < int(dateColumns_.size()); ++c) StringGrid1.SetColWidth(c, dateColumns_[c].width);
    StringGrid1.SetScrollBars(ui::ScrollBars::None);
    StringGrid1.SetOptions(opts);
    dateWidth_ = GridWidth(StringGrid1);
    areaLeft_ = kDateLeft + dateWidth_ + 2;

    // Value grid: spacer, then one column per display position.
    StringGrid2.SetParent(&ScrollBox1);
    StringGrid2.SetColCount(kGasParamCount + 1);
    StringGrid2.SetRowCount(25);
    StringGrid2.SetFixedRows(0);
    StringGrid2.SetFixedCols(1);
    StringGrid2.SetDefaultRowHeight(kRowHeight);
    StringGrid2.SetDefaultColWidth(kValueColWidth);
    StringGrid2.SetColWidth(0, 2);
    StringGrid2.SetScrollBars(ui::ScrollBars::None);
    StringGrid2.SetOptions(opts);
    RightAlignScrollable(StringGrid2);

    // Both grids ask for the rows they show.
    dateRows_.count = valueRows_.count = [this] { return rowCount_; };
    dateRows_.texts = [this](int row, std::vector<std::string>& t) {
        if (row >= 0 && row < rowCount_) DateTexts(row, t);
    };
    valueRows_.texts = [this](int row, std::vector<std::string>& t) {
        if (row >= 0 && row < rowCount_) ValueTexts(row, t);
    };
    StringGrid1.SetRowSource(&dateRows_);
    StringGrid2.SetRowSource(&valueRows_);

    for (ui::ScrollBox* sb : {&ScrollBox1, &ScrollBox2, &ScrollBox3}) sb->SetBorderSingle(false);
    ScrollBox1.SetHorzIncrement(kColStep);
    ScrollBox1.SetVertIncrement(kRowStep);
    ScrollBox3.SetVertIncrement(kRowStep);
    ScrollBox2.SetHorzIncrement(kColStep);
    ScrollBox2.SetParent(&Panel4);
    ScrollBox3.SetParent(&Panel5);
    for (ui::Panel* p : {&Panel4, &Panel5, &Panel6}) {
        p->SetBevelOuter(ui::Bevel::None);
        p->SetCaption({});
    }
    Panel6.Hide();

    // Headings of the date-time grid.
    Panel1.SetBevelOuter(ui::Bevel::None);
    Panel1.SetBounds(kDateLeft, kHeadTop, dateWidth_, kHeadHeight);
    int x = 0;
    for (int c = 0; c < int(dateColumns_.size()); ++c) {
        const DateColumn& col = dateColumns_[c];
        const int w = col.width + 1;
        if (c > 0) {
            auto& p = Make<ui::Panel>("hd" + std::to_string(c));
            p.SetParent(&Panel1);
            p.SetBounds(x, 0, w, kHeadHeight);
            p.SetCaption({});
            const int n = int(col.lines.size());
            const int top = (kHeadHeight - n * kLineHeight) / 2;
            for (int k = 0; k < n; ++k) {
                auto& l = Make<ui::Label>("hd" + std::to_string(c) + "_" + std::to_string(k));
                l.SetParent(&p);
                l.SetAlignment(ui::TextAlign::Center);
                l.SetBounds(1, top + k * kLineHeight, w - 2, kLineHeight);
                l.SetCaption(col.lines[k]);
            }
        }
        x += w;
    }

    // Value headings: panel pz<i>, caption labels z<i>_<line>, unit label l<i+1>.
    x = StringGrid2.ColWidth(0) + StringGrid2.GridLineWidth();
    for (int i = 0; i < kGasParamCount; ++i) {
        auto& p = Make<ui::Panel>("pz" + std::to_string(i));
        p.SetParent(&ScrollBox2);
        p.SetBounds(x + i * kColStep, 0, kColStep, kHeadHeight);
        p.SetCaption({});
        for (int k = 0; k < 3; ++k) {
            auto& l = Make<ui::Label>("z" + std::to_string(i) + "_" + std::to_string(k));
            l.SetParent(&p);
            l.SetAlignment(ui::TextAlign::Center);
            l.SetBounds(1, 3 + k * kLineHeight, kColStep - 2, kLineHeight);
        }
        auto& u = Make<ui::Label>("l" + std::to_string(i + 1));
        u.SetParent(&p);
        u.SetAlignment(ui::TextAlign::Center);
        u.SetBounds(1, 3 + 3 * kLineHeight + 1, kColStep - 2, kLineHeight);
    }
    for (int i = 0; i < kGasParamCount; ++i) {
        for (int k = 0; k < 3; ++k) zLabels[i][k] = Find<ui::Label>("z" + std::to_string(i) + "_" + std::to_string(k));
        lLabels[i] = Find<ui::Label>("l" + std::to_string(i + 1));
    }

    BitBtn4.SetCaption("Ознаки стану");
    BitBtn4.SetBounds(0, 0, 130, 28);

    StringGrid1.OnClick = [this] { StringGrid1Click(); };
    StringGrid2.OnClick = [this] { StringGrid2Click(); };
    StringGrid2.OnDblClick = [this] { StringGrid2DblClick(); };
    ScrollBox1.OnScroll = [this] { SyncFollowers(); };
    ScrollBox1.OnResize = [this] { SyncFollowers(); };
    // A wheel turned over a follower moves the value area.
    ScrollBox3.OnScroll = [this] {
        ScrollBox1.SetVertPosition(ScrollBox3.VertPosition());
        SyncFollowers();
    };
    ScrollBox2.OnScroll = [this] {
        ScrollBox1.SetHorzPosition(ScrollBox2.HorzPosition());
        SyncFollowers();
    };
    OnResize = [this] { FormResize(); };
    SetBounds(0, 0, 900, 600);
}

int TwoGridViewer::ValueColumn(int code) {
    for (int p = 0; p < kGasParamCount; ++p)
        if (ParamCodeAt(p) == code) return p + 1;
    return -1;
}

void TwoGridViewer::FillHeadings(std::initializer_list<int> hiddenCodes) {
    for (int i = 0; i < kGasParamCount; ++i) {
        const int c = ParamCodeAt(i);
        const bool hidden = std::find(hiddenCodes.begin(), hiddenCodes.end(), c) != hiddenCodes.end();
        for (int k = 0; k < 3; ++k) {
            if (!zLabels[i][k]) continue;
            zLabels[i][k]->SetCaption(ParamCaptionLine(c, k, ReportFormat.FractionWording));
            zLabels[i][k]->SetVisible(!hidden);
        }
        if (lLabels[i]) {
            lLabels[i]->SetCaption(ParamUnit(c, ReportFormat.HeatUnitKcal));
            lLabels[i]->SetVisible(!hidden);
        }
    }
}

void TwoGridViewer::SetRows(int rows) {
    for (int code = 0; code < kGasParamCount; ++code) {
        valueCol_[code] = ValueColumn(code);
        decimals_[code] = ParamDecimals(code);
    }
    rowCount_ = std::max(rows, 0);
    for (ui::StringGrid* g : {&StringGrid1, &StringGrid2}) {
        g->SetRowCount(rowCount_);
        g->RowsChanged();
        g->SetBounds(0, 0, GridWidth(*g), rowCount_ * kRowStep + kGridFrame);
    }
}

void TwoGridViewer::PutValue(std::vector<std::string>& texts, int code, std::string text) const {
    if (code < 0 || code >= kGasParamCount) return;
    const int col = valueCol_[code];
    if (col <= 0) return;
    if (texts.size() < std::size_t(kGasParamCount + 1)) texts.resize(std::size_t(kGasParamCount + 1));
    texts[std::size_t(col)] = std::move(text);
}

std::string TwoGridViewer::GasText(float v, int code) const {
    return FormatGasCell(v, code >= 0 && code < kGasParamCount ? decimals_[code] : 0);
}

int TwoGridViewer::VisibleRows() const { return std::max(1, (ScrollBox1.ClientHeight() - kGridFrame) / kRowStep); }

void TwoGridViewer::ShowLaidOut(bool selectLast) {
    const int screenW = ui::Screen::Width(), screenH = ui::Screen::Height();
    fullAreaWidth_ = StringGrid2.Width() + kBar;
    fullWidth_ = fullAreaWidth_ + areaLeft_ + 23;
    int w = fullWidth_;
    // Narrowed a whole column (its width and the grid line) at a time.
    while (w > screenW - 15 && w - kColStep >= areaLeft_ + 23 + kColStep + kBar) w -= kColStep;
    fullAreaHeight_ = StringGrid2.Height() + kBar;
    fullHeight_ = fullAreaHeight_ + kAreaTop + 80;
    const int h = std::min(fullHeight_, screenH - screenHeightMargin_);
    SetBounds(0, std::max(0, (screenH - h) / 2), w, h);
    suppressResize_ = false;
    LayOut();

    ScrollBox1.SetHorzPosition(0);
    ScrollBox1.SetVertPosition(selectLast ? INT_MAX / 2 : 0);
    if (rowCount_ > 0) {
        const int row = selectLast ? rowCount_ - 1 : 0;
        StringGrid1.SetRow(row);
        StringGrid2.SetRow(row);
    }
    SyncFollowers();
    StringGrid2.SetFocus();
}

void TwoGridViewer::FormResize() {
    if (suppressResize_) return;
    const int capH = ui::Screen::Height() - screenHeightMargin_;
    if (Width() > fullWidth_ || Height() > capH) {
        // Runs this handler again with the capped size.
        SetBounds(Left(), Top(), std::min(Width(), fullWidth_), std::min(Height(), capH));
        return;
    }
    LayOut();
}

void TwoGridViewer::LayOut() {
    const int areaW = std::max(Width() - areaLeft_ - 23, kBar + kColStep);
    const int areaH = std::clamp(Height() - kAreaTop - 80, 0, std::max(fullAreaHeight_, 0));
    ScrollBox1.SetBounds(areaLeft_, kAreaTop, areaW, areaH);
    // The followers see exactly what the value area's client shows.
    const int clientW = ScrollBox1.ClientWidth(), clientH = ScrollBox1.ClientHeight();
    Panel4.SetBounds(areaLeft_, kHeadTop, clientW, kHeadHeight);
    ScrollBox2.SetBounds(0, 0, clientW, kHeadHeight + kBar);
    Panel5.SetBounds(kDateLeft, kAreaTop, dateWidth_, clientH);
    ScrollBox3.SetBounds(0, 0, dateWidth_ + kBar, clientH);
    const bool narrow = ScrollBox1.HorzBarShown();
    Panel6.SetVisible(narrow);
    if (narrow) Panel6.SetBounds(kDateLeft, kAreaTop + clientH, dateWidth_, areaH - clientH);

    PlaceButtons(kDateLeft + 4, kAreaTop + areaH + 12, {&BitBtn2, &BitBtn4, &BitBtn5, &BitBtn3, &BitBtn1});
    // Positions may now lie beyond the smaller range.
    ScrollBox1.SetHorzPosition(ScrollBox1.HorzPosition());
    ScrollBox1.SetVertPosition(ScrollBox1.VertPosition());
    SyncFollowers();
}

void TwoGridViewer::SyncFollowers() {
    ScrollBox2.SetHorzPosition(ScrollBox1.HorzPosition());
    ScrollBox3.SetVertPosition(ScrollBox1.VertPosition());
}

void TwoGridViewer::ScrollRowIntoView(int row) {
    if (row < 0 || row >= rowCount_) return;
    const int visible = VisibleRows();
    int pos = ScrollBox1.VertPosition();
    const int first = pos / kRowStep;
    const int last = first + visible - 1;
    if (row < first) pos = row * kRowStep;
    else if (row > last) pos = (row - visible + 1) * kRowStep;
    ScrollBox1.SetVertPosition(pos);
    StringGrid1.SetRow(row);
    StringGrid2.SetRow(row);
    SyncFollowers();
}

void TwoGridViewer::StringGrid1Click() { StringGrid2.SetRow(StringGrid1.Row()); }

void TwoGridViewer::StringGrid2Click() {
    StringGrid1.SetRow(StringGrid2.Row());
    ScrollRowIntoView(StringGrid2.Row());
}

void TwoGridViewer::StringGrid2DblClick() {
    if (BitBtn4.Visible() && BitBtn4.Enabled()) StateSigns();
}

// ---------------------------------------------------------------------------
// WmtViewer

namespace {
constexpr int kWmtColWidth = 83, kWmtLastColWidth = 102;
constexpr int kWmtGridLeft = 2;
constexpr int kMemoTop = 4, kMemoHeight = 62;

void SetupHeadingMemo(ui::Memo& m, int left, int width) {
    m.SetReadOnly(true);
    m.SetWordWrap(false);
    m.SetScrollBars(ui::ScrollBars::None);
    m.SetColor(ui::clBtnFace);
    m.SetAlignment(ui::TextAlign::Center);
    m.SetBounds(left, kMemoTop, width, kMemoHeight);
}
}  // namespace

WmtViewer::WmtViewer(ui::Component* owner, std::string name, const std::vector<std::vector<std::string>>& headings)
    : ArchiveViewerForm(owner, std::move(name)) {
    StringGrid1.SetColCount(8);
    StringGrid1.SetRowCount(1);
    StringGrid1.SetFixedCols(0);
    StringGrid1.SetFixedRows(0);
    StringGrid1.SetDefaultRowHeight(kRowHeight);
    StringGrid1.SetDefaultColWidth(kWmtColWidth);
    StringGrid1.SetColWidth(7, kWmtLastColWidth);
    StringGrid1.SetScrollBars(ui::ScrollBars::Vertical);
    ui::GridOptions opts;
    opts.rowSelect = true;
    StringGrid1.SetOptions(opts);

    int x = kWmtGridLeft + 1;
    for (int c = 0; c < 8; ++c) {
        const int w = StringGrid1.ColWidth(c) + 1;
        auto& m = Make<ui::Memo>((c < 4 ? "mh" : "mm") + std::to_string(c % 4 + 1));
        SetupHeadingMemo(m, x, w);
        if (c < 4 && c < int(headings.size())) m.SetLines(headings[c]);
        x += w;
    }
    for (int i = 0; i < 4; ++i) {
        mh[i] = Find<ui::Memo>("mh" + std::to_string(i + 1));
        mm[i] = Find<ui::Memo>("mm" + std::to_string(i + 1));
    }
    BitBtn3.OnClick = [] {};
    OnResize = [this] { FormResize(); };
    SetBounds(0, 0, kWidth, 400);

    rows_.count = [this] { return rowCount_; };
    rows_.texts = [this](int row, std::vector<std::string>& t) {
        if (row >= 0 && row < rowCount_) RecordTexts(row, t);
    };
    StringGrid1.SetRowSource(&rows_);
}

void WmtViewer::PrepareShow(int rows) {
    const auto* captions = WmtCaptionsFor(Hdr().MoistureMeterType);
    for (int i = 0; i < 4; ++i)
        if (mm[i]) mm[i]->SetLines({captions[i][0], captions[i][1], captions[i][2], captions[i][3]});
    rowCount_ = std::max(rows, 0);
    StringGrid1.SetRowCount(rowCount_);
    StringGrid1.RowsChanged();
    heightCap_ = ui::Screen::Height() - 40;
    int h = kGridTop + 88 + std::max(rows, 1) * (kRowHeight + 1) + 2;
    while (h > heightCap_ && h > kGridTop + 88 + (kRowHeight + 1)) h -= kRowHeight + 1;
    SetBounds(0, std::max(0, (ui::Screen::Height() - h) / 2), kWidth, h);
    suppressResize_ = false;
    LayOut();
}

void WmtViewer::FormResize() {
    if (suppressResize_) return;
    if (Width() > kWidth) {
        SetWidth(kWidth);
        return;
    }
    LayOut();
}

void WmtViewer::LayOut() {
    const int gridH = std::max(Height() - kGridTop - 88, kRowHeight + 3);
    StringGrid1.SetBounds(kWmtGridLeft, kGridTop, ClientWidth() - 2 * kWmtGridLeft, gridH);
    PlaceButtons(kWmtGridLeft + 4, kGridTop + gridH + 14, {&BitBtn2, &BitBtn3, &BitBtn5, &BitBtn1});
}
