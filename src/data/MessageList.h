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
#include <string>
#include <vector>

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

private:
    void FormResize();
    void LayOut();

    int width_;
    int rows_ = 0;
    int fullGridHeight_ = 0;  // all rows
    int lastColWidth_ = 0;    // full width of the last column
    bool unreliableShown_ = false;
};
