// The bands of the printed reports. Each class owns one sub-detail band of
// the report it is given and a fixed set of labels or memos on it, all made
// in the constructor; the owner sets their texts afterwards. The destructor
// deletes the children, then the band, so an object must go before its
// report does.
//
// Geometry is in report pixels; column widths are given at 120 pixels per
// inch and scaled with print::ScaleFrom120. Every text is in "MS Sans Serif",
// of fixed size. A heading line wider than its column is broken into more
// lines (print::WrapToItem); the data rows are wrapped the same way by the
// print windows, a wrapped row taking as many row heights as it has lines.
// A title is centred between the margins the report has when the title is
// made.
//
//   TarhTitle       title of a message-list report, six lines
//   TrepTitle       title of the moisture-meter report, five lines
//   TAlaTable       one page of the diagnostic-message report, seven columns
//   TArh_Wmt_Table  one page of the moisture-meter report, eight columns
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "print/Report.h"

// What the two titles have in common: a band of N label lines.
template <int N>
class TitleBand {
public:
    TitleBand(const TitleBand&) = delete;
    TitleBand& operator=(const TitleBand&) = delete;

    static constexpr int kLines = N;
    print::TQRSubDetail* Band = nullptr;
    print::TQRLabel* Lines[kLines] = {};

protected:
    TitleBand() = default;
    ~TitleBand() {
        for (print::TQRLabel*& l : Lines) {
            delete l;
            l = nullptr;
        }
        delete Band;
    }
};

class TrepTitle : public TitleBand<5> {
public:
    explicit TrepTitle(print::TQuickRep* report);
};

class TarhTitle : public TitleBand<6> {
public:
    explicit TarhTitle(print::TQuickRep* report);
};

// The texts of one table row, each broken into the lines that fit its
// column's data memo, every column given as many lines as the tallest one
// (blank lines below the shorter texts), so that the columns of a row stay
// side by side.
std::vector<std::vector<std::string>> WrapRow(print::TQRMemo* const* data, int columns,
                                              const std::string* texts);

// Adds one row of wrapped texts (WrapRow) to the data memos, each memo
// growing by `rowHeight` per line.
void AddRow(print::TQRMemo* const* data, const std::vector<std::vector<std::string>>& wrapped, int rowHeight);

class TAlaTable {
public:
    explicit TAlaTable(print::TQuickRep* report);
    ~TAlaTable();
    TAlaTable(const TAlaTable&) = delete;
    TAlaTable& operator=(const TAlaTable&) = delete;

    static constexpr int kColumns = 7;
    // Column widths at 120 pixels per inch: date, time, event, object or
    // cause, current value, setpoint, unit.
    static constexpr int kBaseWidths[kColumns] = {82, 82, 240, 240, 79, 79, 79};
    static constexpr int kDataTop = 65;

    print::TQRSubDetail* Band = nullptr;
    print::TQRLabel* Message = nullptr;           // "Повідомлення" over event and object
    print::TQRMemo* Heads[kColumns] = {};
    print::TQRMemo* Data[kColumns] = {};          // one line per printed row
};

class TArh_Wmt_Table {
public:
    // mode 6 or 7: hourly or daily values; 8: measured values. The value
    // captions follow the meter type.
    TArh_Wmt_Table(print::TQuickRep* report, uint8_t mode, uint8_t meterType);
    ~TArh_Wmt_Table();
    TArh_Wmt_Table(const TArh_Wmt_Table&) = delete;
    TArh_Wmt_Table& operator=(const TArh_Wmt_Table&) = delete;

    static constexpr int kColumns = 8;
    static constexpr int kBaseWidth = 95;   // each column, at 120 pixels per inch
    static constexpr int kDataTop = 73;

    print::TQRSubDetail* Band = nullptr;
    print::TQRMemo* Heads[kColumns] = {};
    print::TQRMemo* Data[kColumns] = {};
};
