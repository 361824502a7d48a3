#include "sheet/CellRef.h"

#include <algorithm>

#include "platform/Codepage.h"

namespace sheet {

void AppendColumnName(std::string& out, int col) {
    char buf[4];
    int n = 0;
    while (col > 0 && n < 4) {
        int rem = (col - 1) % 26;
        buf[n++] = static_cast<char>('A' + rem);
        col = (col - 1) / 26;
    }
    while (n > 0) out.push_back(buf[--n]);
}

std::string ColumnName(int col) {
    std::string s;
    if (col >= 1 && col <= kMaxColumns) AppendColumnName(s, col);
    return s;
}

std::string CellName(int row, int col) {
    if (!ValidCell(row, col)) return {};
    std::string s = ColumnName(col);
    s += std::to_string(row);
    return s;
}

std::string RectName(const CellRect& r) {
    std::string s = CellName(r.row1, r.col1);
    if (r.row1 != r.row2 || r.col1 != r.col2) {
        s += ':';
        s += CellName(r.row2, r.col2);
    }
    return s;
}

bool ParseCellName(std::string_view text, int& row, int& col) {
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && text[i] == '$') ++i;
    long c = 0;
    size_t letters = 0;
    while (i < n) {
        char ch = text[i];
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        if (ch < 'A' || ch > 'Z') break;
        c = c * 26 + (ch - 'A' + 1);
        if (++letters > 3) return false;
        ++i;
    }
    if (letters == 0) return false;
    if (i < n && text[i] == '$') ++i;
    long r = 0;
    size_t digits = 0;
    if (i < n && text[i] == '0') return false;   // no leading zeros, no row 0
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        r = r * 10 + (text[i] - '0');
        if (++digits > 7) return false;
        ++i;
    }
    if (digits == 0 || i != n) return false;
    if (r < 1 || r > kMaxRows || c < 1 || c > kMaxColumns) return false;
    row = static_cast<int>(r);
    col = static_cast<int>(c);
    return true;
}

bool ParseRangeAddress(std::string_view text, CellRect& rect) {
    text = platform::TrimSpace(text);
    size_t colon = text.find(':');
    int r1, c1, r2, c2;
    if (colon == std::string_view::npos) {
        if (!ParseCellName(text, r1, c1)) return false;
        r2 = r1;
        c2 = c1;
    } else {
        if (!ParseCellName(platform::TrimSpace(text.substr(0, colon)), r1, c1)) return false;
        if (!ParseCellName(platform::TrimSpace(text.substr(colon + 1)), r2, c2)) return false;
    }
    rect.row1 = std::min(r1, r2);
    rect.row2 = std::max(r1, r2);
    rect.col1 = std::min(c1, c2);
    rect.col2 = std::max(c1, c2);
    return true;
}

}  // namespace sheet
