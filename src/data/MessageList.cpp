#include "data/MessageList.h"

#include <algorithm>

namespace {
constexpr int kLineHeight = 14;
constexpr int kButtonsGap = 14;
}  // namespace

MessageListForm::MessageListForm(ui::Component* owner, std::string name, int width, const std::vector<int>& colWidths,
                                 const std::vector<Heading>& headings)
    : ArchiveViewerForm(owner, std::move(name)), width_(width) {
    const int cols = int(colWidths.size());
    StringGrid1.SetColCount(cols);
    StringGrid1.SetRowCount(1);
    StringGrid1.SetFixedCols(1);
    StringGrid1.SetFixedRows(0);
    StringGrid1.SetDefaultRowHeight(kRowHeight);
    for (int c = 0; c < cols; ++c) StringGrid1.SetColWidth(c, colWidths[std::size_t(c)]);
    StringGrid1.SetScrollBars(ui::ScrollBars::Vertical);
    ui::GridOptions opts;
    opts.rowSelect = true;
    StringGrid1.SetOptions(opts);
    lastColWidth_ = colWidths.empty() ? 0 : colWidths.back();
    source_.count = [this] { return rows_; };
    source_.texts = [this](int row, std::vector<std::string>& texts) { RowTexts(row, texts); };
    StringGrid1.SetRowSource(&source_);

    // Left edge of each column inside the grid (after its frame).
    std::vector<int> left(std::size_t(cols) + 1, kGridLeft + 1);
    for (int c = 0; c < cols; ++c)
        left[std::size_t(c) + 1] = left[std::size_t(c)] + colWidths[std::size_t(c)] + StringGrid1.GridLineWidth();

    int n = 0;
    for (const Heading& h : headings) {
        ++n;
        auto& p = Make<ui::Panel>("hd" + std::to_string(n));
        const int x = left[std::size_t(std::clamp(h.first, 0, cols))];
        const int x2 = left[std::size_t(std::clamp(h.last + 1, 0, cols))];
        p.SetBounds(x, kHeadTop + h.top, x2 - x, h.height);
        p.SetCaption({});
        const int lines = int(h.lines.size());
        const int top = (h.height - lines * kLineHeight) / 2;
        for (int k = 0; k < lines; ++k) {
            auto& l = Make<ui::Label>("hd" + std::to_string(n) + "_" + std::to_string(k));
            l.SetParent(&p);
            l.SetAlignment(ui::TextAlign::Center);
            l.SetBounds(1, top + k * kLineHeight, x2 - x - 2, kLineHeight);
            l.SetCaption(h.lines[std::size_t(k)]);
        }
    }

    Panel9.SetBevelOuter(ui::Bevel::Lowered);
    Panel9.SetAlignment(ui::TextAlign::Left);
    Panel9.SetCaption({});
    Panel9.SetFontColor(0x0000FF);
    OnResize = [this] { FormResize(); };
    SetBounds(0, 0, width_, 400);
}

void MessageListForm::PrepareRows(int rows) {
    rows_ = std::max(rows, 0);
    StringGrid1.SetRowCount(rows_);
    StringGrid1.RowsChanged();
    unreliableShown_ = false;
    Panel9.SetCaption({});
}

void MessageListForm::MarkUnreliable(const char* text) {
    if (unreliableShown_) return;
    unreliableShown_ = true;
    Panel9.SetCaption(text);
}

void MessageListForm::ShowLaidOut() {
    fullGridHeight_ = std::max(rows_, 1) * (kRowHeight + StringGrid1.GridLineWidth()) + 3;
    const int cap = ui::Screen::Height() - 60;
    int h = fullGridHeight_ + kGridTop + kBelowGrid;
    while (h > cap && h - (kRowHeight + 1) >= kGridTop + kBelowGrid + kRowHeight + 4) h -= kRowHeight + 1;
    SetBounds(std::max(0, (ui::Screen::Width() - width_) / 2), std::max(0, (ui::Screen::Height() - h) / 2), width_, h);
    suppressResize_ = false;
    LayOut();
    if (rows_ > 0) {
        StringGrid1.SetRow(rows_ - 1);
        StringGrid1.SetCol(1);
    }
    StringGrid1.SetFocus();
}

void MessageListForm::FormResize() {
    if (suppressResize_) return;
    LayOut();
}

void MessageListForm::LayOut() {
    const int areaH = std::clamp(Height() - kGridTop - kBelowGrid, kRowHeight + 4, std::max(fullGridHeight_, kRowHeight + 4));
    const bool scrolled = areaH < fullGridHeight_;
    const int last = StringGrid1.ColCount() - 1;
    if (last >= 1) StringGrid1.SetColWidth(last, scrolled ? lastColWidth_ - kScrollBar : lastColWidth_);
    int gridW = 2;
    for (int c = 0; c <= last; ++c) gridW += StringGrid1.ColWidth(c) + StringGrid1.GridLineWidth();
    if (scrolled) gridW += kScrollBar;
    StringGrid1.SetBounds(kGridLeft, kGridTop, std::min(gridW, ClientWidth() - kGridLeft), areaH);
    const int top = kGridTop + areaH + kButtonsGap;
    PlaceButtons(kGridLeft + 6, top, {&BitBtn2, &BitBtn3, &BitBtn1});
    int right = kGridLeft + 6;
    for (ui::Button* b : {&BitBtn2, &BitBtn3, &BitBtn1})
        if (b->Visible()) right = std::max(right, b->Left() + b->Width());
    const int panelLeft = right + 16;
    Panel9.SetBounds(panelLeft, top, std::max(ClientWidth() - panelLeft - 8, 40), 28);
}
