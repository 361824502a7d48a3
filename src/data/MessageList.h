// What the diagnostic-message and intervention windows have in common: one
// grid of text rows under heading panels, a message panel in the button bar,
// and the layout rule of these lists.
//
// StringGrid1 has a narrow fixed spacer column 0 and the list's columns
// 1..7, no fixed rows. When shown, the window is as high as all rows need
// (up to the screen height less 60, a whole row at a time); when the grid
// area is shorter than its rows need, the last column gives up room for the
// vertical scroll bar. The last row is selected.
//
// The grid keeps no texts: it asks the window for the rows it shows
// (RowTexts, through a ui::RowSource), and the window makes them from the
// records or saved rows it was given, which stay where the caller keeps them.
// Showing a hundred thousand rows costs what showing ten does.
#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "data/ArchView.h"
#include "data/MessageDecoders.h"
#include "data/ViewerBody.h"

class MessageListForm : public ArchiveViewerForm {
    // Declared before the grid, so that it outlives it.
    ui::RowFunctions source_;

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
    // No row is asked for once the window that makes them is going.
    ~MessageListForm() override { rows_ = 0; }

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
    // The grid gets `rows` rows (0..rows-1), each made by RowTexts when it
    // is shown; the message panel is emptied.
    void PrepareRows(int rows);
    // Shows the unreliable-record message in Panel9 (once per window).
    void MarkUnreliable(const char* text);
    // Sizes the window for its rows, lays it out and selects the last row.
    void ShowLaidOut();

    // The texts of row `row` (0 <= row < RowCount()) as the grid shows
    // them, column 0 (the spacer) first, appended to `texts`.
    virtual void RowTexts(int row, std::vector<std::string>& texts) const = 0;
    // Puts t[i] into column cols[i] of `texts` (one text a grid column).
    template <std::size_t N>
    void PutTexts(std::array<std::string, N>&& t, const std::array<int, N>& cols, std::vector<std::string>& texts) const {
        texts.resize(std::size_t(std::max(StringGrid1.ColCount(), 0)));
        for (std::size_t i = 0; i < N; ++i)
            if (cols[i] >= 0 && std::size_t(cols[i]) < texts.size()) texts[std::size_t(cols[i])] = std::move(t[i]);
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

// True when no record of the list fails its CRC.
template <ArchiveRecordType R>
bool AllRecordsSound(std::span<const R> records) {
    for (const R& r : records)
        if (!RecordCrcOk(r)) return false;
    return true;
}

// A message list of the controller's records (Record, decoded when shown)
// or of a saved file's rows (Row, shown as they stand): what the
// diagnostic-message and intervention windows share. The window decodes a
// record (ShownTexts, MadeRow) and names the grid column of each field.
template <class Record, class Row>
class MessageRowsForm : public MessageListForm {
public:
    using MessageListForm::MessageListForm;
    using Texts = std::array<std::string, Row::kFieldCount>;

    // Set by the caller before ShowModal (with Header); they stay the
    // caller's. Modes 0 (read by index) and 1 (read by period) show
    // Records; mode 2 (from a file) shows SavedRows.
    uint8_t Mode = 0;
    uint32_t FirstIndex = 0;  // mode 0: index of the first record (caption)
    std::span<const Record> Records;
    std::span<const Row> SavedRows;

    // The rows shown, exactly as they are saved (one per record or file
    // row), made now.
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        rows.reserve(std::size_t(RowCount()));
        for (int n = 0; n < RowCount(); ++n) rows.push_back(SavedRow(std::size_t(n)));
        return rows;
    }

protected:
    // A record as it shows: what its saved row will hold (a text longer than
    // its field cut there), so that a reopened file reads like this window.
    virtual Texts ShownTexts(const Record& r) const = 0;
    virtual Row MadeRow(const Record& r) const = 0;
    virtual std::array<int, Row::kFieldCount> Columns() const = 0;

    // Takes what the caller set, the records or (mode 2) a file's rows, into
    // the grid; marks the list when a record fails its CRC.
    void ShowEntries(const char* unreliableText) {
        fromFile_ = Mode == 2;
        records_ = fromFile_ ? std::span<const Record>{} : Records;
        savedRows_ = fromFile_ ? SavedRows : std::span<const Row>{};
        PrepareRows(int(fromFile_ ? savedRows_.size() : records_.size()));
        if (!fromFile_ && !AllRecordsSound(records_)) MarkUnreliable(unreliableText);
    }

    void RowTexts(int row, std::vector<std::string>& texts) const override {
        const std::size_t n = std::size_t(row);
        if (fromFile_) {
            if (n < savedRows_.size()) PutTexts(TextsOf(savedRows_[n]), Columns(), texts);
        } else if (n < records_.size()) {
            PutTexts(ShownTexts(records_[n]), Columns(), texts);
        }
    }

    // Saves the list as a file of `kind`. A file's rows are saved as they
    // are when saving gives them back unchanged (every file this window
    // saved); the others are made now.
    void SaveRows(ArchiveKind kind) {
        if (fromFile_ && std::all_of(savedRows_.begin(), savedRows_.end(), [](const Row& r) {
                const Row again = SavedAgain(r);
                return std::memcmp(&again, &r, sizeof r) == 0;
            })) {
            SaveRecords<Row>(kind, kArchiveSaveTitle, "Файл %s вже є.", savedRows_);
            return;
        }
        const std::vector<Row> rows = Rows();
        SaveRecords<Row>(kind, kArchiveSaveTitle, "Файл %s вже є.", rows);
    }

private:
    Row SavedRow(std::size_t n) const {
        if (fromFile_) return n < savedRows_.size() ? SavedAgain(savedRows_[n]) : Row{};
        return n < records_.size() ? MadeRow(records_[n]) : Row{};
    }

    std::span<const Record> records_;
    std::span<const Row> savedRows_;
    bool fromFile_ = false;
};


// Shows a message view (a read, or an opened file of saved rows) in a list
// window with Header, FirstIndex, Mode, Records and SavedRows. The window
// reads the view's entries where they are (byte records, alignment 1): only
// whole entries of the right size, never more than the view counts.
template <class Form, class Record, class Row>
void ShowMessageView(ArchiveView& v) {
    Form form(nullptr);
    form.Header = &v.header;
    form.FirstIndex = v.firstIndex;
    const std::size_t whole = v.entrySize ? v.records.size() / v.entrySize : 0;
    const std::size_t n = std::min<std::size_t>(whole, v.count);
    if (v.entrySize == sizeof(Row)) {
        form.Mode = 2;
        form.SavedRows = std::span<const Row>(reinterpret_cast<const Row*>(v.records.data()), n);
    } else if (v.entrySize == sizeof(Record)) {
        form.Mode = uint8_t(v.mode == viewmode::kByIndex ? 0 : 1);
        form.Records = std::span<const Record>(reinterpret_cast<const Record*>(v.records.data()), n);
    } else {
        return;
    }
    form.ShowModal();
}
