// What the diagnostic-message and intervention windows have in common: one
// grid of text rows under heading panels, a message panel in the button bar,
// and the layout rule of these lists.
//
// StringGrid1 has a narrow fixed spacer column 0 and the list's columns
// 1..7, no fixed rows. When shown, the window is as high as all rows need
// (up to the screen height less 60, a whole row at a time); when the grid
// area is shorter than its rows need, the last column gives up room for the
// vertical scroll bar. The last row is selected.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/ArchView.h"
#include "data/MessageDecoders.h"
#include "data/ViewerBody.h"

class MessageListForm : public ArchiveViewerForm {
public:
    // A heading panel over the columns first..last (1-based), `top` and
    // `height` within the heading band, its text lines centred.
    struct Heading {
        int first, last;
        int top, height;
        std::vector<std::string> lines;
    };

    MessageListForm(ui::Component* owner, std::string name, int width, const std::vector<int>& colWidths,
                    const std::vector<Heading>& headings);

    ui::StringGrid StringGrid1{this, "StringGrid1"};
    ui::Panel Panel9{this, "Panel9"};  // message panel in the button bar

    static constexpr int kRowHeight = 20;
    static constexpr int kHeadTop = 4;
    static constexpr int kHeadHeight = 48;
    static constexpr int kGridTop = kHeadTop + kHeadHeight + 2;
    static constexpr int kGridLeft = 2;
    // Room below the grid area: frame, caption and the button bar.
    static constexpr int kBelowGrid = 115;
    static constexpr int kScrollBar = 17;

    int RowCount() const { return rows_; }
    // Column c (1..7) of row `row` as shown.
    std::string CellText(int c, int row) const { return StringGrid1.Cell(c, row); }

protected:
    // Sets the row count (grid emptied) before the rows are filled.
    void PrepareRows(int rows);
    // Shows the unreliable-record message in Panel9 (once per window).
    void MarkUnreliable(const char* text);
    // Sizes the window for its rows, lays it out and selects the last row.
    void ShowLaidOut();

    // Shows texts[i] in column cols[i] of row n (an empty text leaves its cell empty).
    void PutRow(int n, std::span<const int> cols, std::span<const std::string> texts);

    // Fills `rows` and the grid from controller records: each record is
    // decoded and made into its saved row, and the grid shows what that row
    // holds (a text longer than its field is cut there, so a reopened file
    // reads like this window). A record whose CRC fails shows unreliableText.
    template <class Row, class Record, class Decode, class MakeRow>
    void ShowRecords(std::span<const Record> records, std::span<const int> cols, const char* unreliableText,
                     Decode decode, MakeRow makeRow, std::vector<Row>& rows) {
        const int count = int(records.size());
        PrepareRows(count);
        rows.assign(std::size_t(count), Row{});
        for (int n = 0; n < count; ++n) {
            const Record& r = records[std::size_t(n)];
            if (!RecordCrcOk(r)) MarkUnreliable(unreliableText);
            rows[std::size_t(n)] = makeRow(decode(r));
            PutRow(n, cols, TextsOf(rows[std::size_t(n)]));
        }
    }

    // Fills `rows` and the grid from the rows of a saved file.
    template <class Row, class MakeRow>
    void ShowSavedRows(std::span<const Row> saved, std::span<const int> cols, MakeRow makeRow, std::vector<Row>& rows) {
        const int count = int(saved.size());
        PrepareRows(count);
        rows.assign(std::size_t(count), Row{});
        for (int n = 0; n < count; ++n) {
            const auto t = TextsOf(saved[std::size_t(n)]);
            PutRow(n, cols, t);
            // What is saved again is what is shown: every field ends in a zero byte.
            rows[std::size_t(n)] = makeRow(t);
        }
    }

private:
    void FormResize();
    void LayOut();

    int width_;
    int rows_ = 0;
    int fullGridHeight_ = 0;  // all rows
    int lastColWidth_ = 0;    // full width of the last column
    bool unreliableShown_ = false;
};

// Shows a message view (a read, or an opened file of saved rows) in a list
// window with Header, FirstIndex, Mode, Records and SavedRows. Only whole
// entries of the right size, never more than the view counts.
template <class Form, class Record, class Row>
void ShowMessageView(ArchiveView& v) {
    Form form(nullptr);
    form.Header = &v.header;
    form.FirstIndex = v.firstIndex;
    std::vector<Record> records;
    std::vector<Row> rows;
    if (v.entrySize == sizeof(Row)) {
        rows = EntriesAs<Row>(v.records);
        if (rows.size() > v.count) rows.resize(v.count);
        form.Mode = 2;
        form.SavedRows = rows;
    } else if (v.entrySize == sizeof(Record)) {
        records = EntriesAs<Record>(v.records);
        if (records.size() > v.count) records.resize(v.count);
        form.Mode = uint8_t(v.mode == viewmode::kByIndex ? 0 : 1);
        form.Records = records;
    } else {
        return;
    }
    form.ShowModal();
}
