#include "reports/Bands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "data/WmtCaptions.h"
#include "print/Output.h"

using namespace print;

namespace {

const char* const kFontName = "MS Sans Serif";

TQRSubDetail* NewBand(TQuickRep* report, int height, bool framed, int fontSize) {
    auto* band = new TQRSubDetail(report);
    band->Height = height;
    band->Frame.SetAll(framed);
    band->Font.Name = kFontName;
    band->Font.Size = fontSize;
    band->ForceNewPage = false;
    return band;
}

TQRLabel* NewLabel(TQRBand* band, int left, int top, int width, int height, int size, bool bold, TAlignment align) {
    auto* l = new TQRLabel(band);
    l->Left = left, l->Top = top, l->Width = width, l->Height = height;
    l->Font.Name = kFontName;
    l->Font.Size = size;
    l->Font.Bold = bold;
    l->Alignment = align;
    l->AutoSize = false;
    l->WordWrap = false;
    return l;
}

TQRMemo* NewMemo(TQRBand* band, int left, int top, int width, int height, TAlignment align) {
    auto* m = new TQRMemo(band);
    m->Left = left, m->Top = top, m->Width = width, m->Height = height;
    m->Font.Name = kFontName;
    m->Alignment = align;
    m->AutoSize = false;
    m->WordWrap = false;
    return m;
}

struct TitleLine {
    int top, height, size;
    bool bold;
};

// Title lines are 740 pixels wide at 120 pixels per inch; all but the
// second are centred, and so is their box between the report's margins, so
// that the title stands in the middle of the page whatever the margins. The
// second line is left-aligned, four pixels in.
template <int N>
TQRSubDetail* BuildTitle(TQuickRep* report, int height, const TitleLine (&lines)[N], TQRLabel* (&out)[N]) {
    TQRSubDetail* band = NewBand(report, height, false, 10);
    const TQRPage& pg = report->Page;
    const double mm = pg.Width - pg.LeftMargin - pg.RightMargin;
    const int content = mm > 0 ? int(mm / 25.4 * ScreenPixelsPerInch()) : 0;
    const int width = ScaleFrom120(740);
    const int centred = std::max(2, (content - width) / 2);
    for (int i = 0; i < N; ++i)
        out[i] = NewLabel(band, i == 1 ? 4 : centred, lines[i].top, width, lines[i].height, lines[i].size,
                          lines[i].bold, i == 1 ? taLeftJustify : taCenter);
    return band;
}

// A heading line, broken into more lines where it is wider than its memo.
void AddHeadingLine(TQRMemo* memo, const std::string& line) {
    for (const std::string& part : WrapToItem(*memo, line)) memo->Lines.Add(part);
}

template <class Child, int N>
void DeleteAll(Child* (&children)[N]) {
    for (Child*& c : children) {
        delete c;
        c = nullptr;
    }
}

}  // namespace

// ---- rows -------------------------------------------------------------------

std::vector<std::vector<std::string>> WrapRow(TQRMemo* const* data, int columns, const std::string* texts) {
    std::vector<std::vector<std::string>> wrapped(std::size_t(std::max(columns, 0)));
    std::size_t lines = 1;
    for (int c = 0; c < columns; ++c) {
        wrapped[std::size_t(c)] = WrapToItem(*data[c], texts[c]);
        lines = std::max(lines, wrapped[std::size_t(c)].size());
    }
    for (auto& w : wrapped) w.resize(lines);
    return wrapped;
}

void AddRow(TQRMemo* const* data, const std::vector<std::vector<std::string>>& wrapped, int rowHeight) {
    for (std::size_t c = 0; c < wrapped.size(); ++c) {
        for (const std::string& line : wrapped[c]) {
            data[c]->Lines.Add(line);
            data[c]->Height += rowHeight;
        }
    }
}

// ---- titles ---------------------------------------------------------------

TrepTitle::TrepTitle(TQuickRep* report) {
    static constexpr TitleLine kLayout[kLines] = {
        {3, 20, 12, true}, {22, 17, 10, false}, {46, 20, 12, true}, {69, 17, 10, false}, {88, 17, 10, false}};
    Band = BuildTitle(report, 112, kLayout, Lines);
    Band->Name = "TrepTitle";
}

TarhTitle::TarhTitle(TQuickRep* report) {
    static constexpr TitleLine kLayout[kLines] = {{3, 20, 12, true},  {22, 17, 10, false}, {46, 20, 12, true},
                                                  {65, 20, 12, true}, {88, 17, 10, false}, {107, 17, 10, false}};
    Band = BuildTitle(report, 135, kLayout, Lines);
    Band->Name = "TarhTitle";
}

// ---- the diagnostic-message table -------------------------------------------

TAlaTable::TAlaTable(TQuickRep* report) {
    static const std::vector<std::string> kHeads[kColumns] = {
        {"Дата"}, {"Час"}, {"Подія"}, {"Об'єкт/Причина"}, {"Поточне", "значення", "параметру"},
        {"Значення", "уставки"}, {"Одиниця", "вимір."}};
    Band = NewBand(report, 74, true, 8);
    Band->Name = "TAlaTable";
    int left = 3;
    for (int c = 0; c < kColumns; ++c) {
        const int width = ScaleFrom120(kBaseWidths[c]);
        const bool underMessage = c == 2 || c == 3;
        if (c == 2) {
            Message = NewLabel(Band, left, 1, width + ScaleFrom120(kBaseWidths[3]) + 1, 38, 8, false, taCenter);
            Message->Caption = "Повідомлення";
        }
        Heads[c] = NewMemo(Band, left, underMessage ? 40 : 1, width, underMessage ? 19 : 58, taCenter);
        for (const std::string& line : kHeads[c]) AddHeadingLine(Heads[c], line);
        Data[c] = NewMemo(Band, left, kDataTop, width, 3, taLeftJustify);
        left += width + 1;
    }
}

TAlaTable::~TAlaTable() {
    delete Message;
    Message = nullptr;
    DeleteAll(Heads);
    DeleteAll(Data);
    delete Band;
}

// ---- the moisture-meter table ------------------------------------------------

TArh_Wmt_Table::TArh_Wmt_Table(TQuickRep* report, uint8_t mode, uint8_t meterType) {
    static const std::vector<std::string> kIntervalHeads[4] = {
        {" ", "Дата", "початку"}, {" ", "Час", "початку"}, {" ", "Час", "кінця"}, {" ", "Статус", "контролера"}};
    static const std::vector<std::string> kMeasHeads[4] = {
        {" ", "Дата"}, {" ", "Час"}, {" ", "Статус", "контролера"}, {"Ознаки", "стану", "вологоміра"}};
    const auto* values = WmtCaptionsFor(meterType);
    const auto& fixed = mode == 8 ? kMeasHeads : kIntervalHeads;

    Band = NewBand(report, 94, true, 10);
    Band->Name = "TArh_Wmt_Table";
    const int width = ScaleFrom120(kBaseWidth);
    for (int c = 0; c < kColumns; ++c) {
        const int left = 1 + c * width;
        Heads[c] = NewMemo(Band, left, 1, width, 72, taCenter);
        Heads[c]->Font.Size = 9;
        Heads[c]->Frame.DrawRight = c < kColumns - 1;
        if (c < 4) {
            for (const std::string& line : fixed[c]) AddHeadingLine(Heads[c], line);
        } else {
            for (int i = 0; i < 4; ++i) AddHeadingLine(Heads[c], values[c - 4][i]);
        }
        Data[c] = NewMemo(Band, left, kDataTop, width, 3, taLeftJustify);
        Data[c]->Font.Size = 10;
    }
}

TArh_Wmt_Table::~TArh_Wmt_Table() {
    DeleteAll(Heads);
    DeleteAll(Data);
    delete Band;
}
