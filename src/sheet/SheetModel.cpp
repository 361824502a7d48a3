#include "sheet/SheetModel.h"

#include "sheet/XmlNodes.h"
#include "sheet/XmlText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace sheet {

namespace {

using xml::Child;
using xml::LocalName;
using xml::StringWriter;

bool ParseUInt(const char* text, std::uint32_t& v) {
    const char* end = text + std::strlen(text);
    auto res = std::from_chars(text, end, v);
    return res.ec == std::errc() && res.ptr == end;
}

bool IsTrue(const pugi::xml_attribute& a) {
    const std::string_view v = a.value();
    return v == "1" || v == "true";
}

void AppendAttr(std::string& out, const pugi::xml_attribute& a) {
    out.push_back(' ');
    out += a.name();
    out += "=\"";
    AppendAttrValue(out, a.value());
    out.push_back('"');
}

constexpr const char* kMarker = "zbr_sheet_data_marker";

// Order of the children of a worksheet.
const char* const kWorksheetOrder[] = {
    "sheetPr",         "dimension",       "sheetViews",       "sheetFormatPr",   "cols",
    "sheetData",       "sheetCalcPr",     "sheetProtection",  "protectedRanges", "scenarios",
    "autoFilter",      "sortState",       "dataConsolidate",  "customSheetViews", "mergeCells",
    "phoneticPr",      "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions",
    "pageMargins",     "pageSetup",       "headerFooter",     "rowBreaks",       "colBreaks",
    "customProperties", "cellWatches",    "ignoredErrors",    "smartTags",       "drawing",
    "legacyDrawing",   "legacyDrawingHF", "drawingHF",        "picture",         "oleObjects",
    "controls",        "webPublishItems", "tableParts",       "extLst"};

int WorksheetOrder(std::string_view local) {
    for (size_t i = 0; i < std::size(kWorksheetOrder); ++i)
        if (local == kWorksheetOrder[i]) return static_cast<int>(i);
    return -1;
}

void SetAttrText(pugi::xml_node n, const char* name, const std::string& value) {
    pugi::xml_attribute a = n.attribute(name);
    if (!a) a = n.append_attribute(name);
    a.set_value(value.c_str());
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Characters that continue a name, a function or a number.
bool IsNameChar(char c) {
    return IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '\\' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Reads "[$]letters" (a column) at f[i]; false when there is none.
bool ReadColumn(std::string_view f, size_t& i, bool& fixed, long& col) {
    size_t j = i;
    fixed = j < f.size() && f[j] == '$';
    if (fixed) ++j;
    size_t n = 0;
    long c = 0;
    while (j < f.size() && IsLetter(f[j]) && n < 4) {
        c = c * 26 + ((f[j] & 0x1F));
        ++j;
        ++n;
    }
    if (n == 0 || n > 3 || (j < f.size() && IsLetter(f[j]))) return false;
    i = j;
    col = c;
    return true;
}

// Reads "[$]digits" (a row) at f[i]; false when there is none.
bool ReadRow(std::string_view f, size_t& i, bool& fixed, long& row) {
    size_t j = i;
    fixed = j < f.size() && f[j] == '$';
    if (fixed) ++j;
    size_t n = 0;
    long r = 0;
    while (j < f.size() && IsDigit(f[j]) && n < 8) {
        r = r * 10 + (f[j] - '0');
        ++j;
        ++n;
    }
    if (n == 0 || n > 7) return false;
    i = j;
    row = r;
    return true;
}

void AppendColumnPart(std::string& out, bool fixed, long col) {
    if (fixed) out.push_back('$');
    AppendColumnName(out, static_cast<int>(col));
}

void AppendRowPart(std::string& out, bool fixed, long row) {
    if (fixed) out.push_back('$');
    out += std::to_string(row);
}

}  // namespace

// The formula of a shared group's master as it reads in a cell `dr` rows and
// `dc` columns away: references without "$" move by that distance, as when
// the spreadsheet program fills a formula. Texts in quotes, sheet names,
// bracketed parts, function names and numbers are copied as they are; a
// reference moved off the sheet becomes #REF!.
std::string ShiftFormula(std::string_view f, long dr, long dc) {
    std::string out;
    out.reserve(f.size() + 8);
    size_t i = 0;
    auto inRange = [](long v, long max) { return v >= 1 && v <= max; };
    while (i < f.size()) {
        const char ch = f[i];
        if (ch == '"' || ch == '\'') {   // a text, or a quoted sheet name
            size_t j = i + 1;
            while (j < f.size()) {
                if (f[j] == ch) {
                    if (j + 1 < f.size() && f[j + 1] == ch) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = std::min(j + 1, f.size());
            out.append(f.substr(i, j - i));
            i = j;
            continue;
        }
        if (ch == '[') {   // structured reference or external book
            size_t j = i;
            int depth = 0;
            while (j < f.size()) {
                if (f[j] == '[') ++depth;
                if (f[j] == ']' && --depth == 0) break;
                ++j;
            }
            j = std::min(j + 1, f.size());
            out.append(f.substr(i, j - i));
            i = j;
            continue;
        }
        const bool atStart = i == 0 || !(IsNameChar(f[i - 1]) || f[i - 1] == '#');
        if (atStart && (ch == '$' || IsLetter(ch) || IsDigit(ch))) {
            // A cell "A1", a column range "A:C" or a row range "1:3".
            size_t j = i;
            bool fc = false, fr = false, fc2 = false, fr2 = false;
            long col = 0, row = 0, col2 = 0, row2 = 0;
            const auto ends = [&](size_t k) {
                return k >= f.size() || !(IsNameChar(f[k]) || f[k] == '(' || f[k] == '!' || f[k] == '$');
            };
            if (ReadColumn(f, j, fc, col)) {
                size_t k = j;
                if (ReadRow(f, k, fr, row) && ends(k) && col <= kMaxColumns && row <= kMaxRows && row >= 1) {
                    const long nc = fc ? col : col + dc, nr = fr ? row : row + dr;
                    if (inRange(nc, kMaxColumns) && inRange(nr, kMaxRows)) {
                        AppendColumnPart(out, fc, nc);
                        AppendRowPart(out, fr, nr);
                    } else {
                        out += "#REF!";
                    }
                    i = k;
                    continue;
                }
                k = j;
                if (k < f.size() && f[k] == ':' && col <= kMaxColumns) {
                    ++k;
                    if (ReadColumn(f, k, fc2, col2) && ends(k) && col2 <= kMaxColumns) {
                        const long n1 = fc ? col : col + dc, n2 = fc2 ? col2 : col2 + dc;
                        if (inRange(n1, kMaxColumns) && inRange(n2, kMaxColumns)) {
                            AppendColumnPart(out, fc, n1);
                            out.push_back(':');
                            AppendColumnPart(out, fc2, n2);
                        } else {
                            out += "#REF!";
                        }
                        i = k;
                        continue;
                    }
                }
            } else {
                j = i;
                if (ReadRow(f, j, fr, row) && j < f.size() && f[j] == ':') {
                    size_t k = j + 1;
                    if (ReadRow(f, k, fr2, row2) && ends(k) && row >= 1 && row2 >= 1 && row <= kMaxRows &&
                        row2 <= kMaxRows) {
                        const long n1 = fr ? row : row + dr, n2 = fr2 ? row2 : row2 + dr;
                        if (inRange(n1, kMaxRows) && inRange(n2, kMaxRows)) {
                            AppendRowPart(out, fr, n1);
                            out.push_back(':');
                            AppendRowPart(out, fr2, n2);
                        } else {
                            out += "#REF!";
                        }
                        i = k;
                        continue;
                    }
                }
            }
            // Anything else: a name, a function, a number (with its exponent).
            size_t k = i;
            if (IsDigit(ch)) {
                while (k < f.size() && (IsDigit(f[k]) || f[k] == '.')) ++k;
                if (k < f.size() && (f[k] == 'E' || f[k] == 'e')) {
                    size_t e = k + 1;
                    if (e < f.size() && (f[e] == '+' || f[e] == '-')) ++e;
                    if (e < f.size() && IsDigit(f[e])) {
                        k = e;
                        while (k < f.size() && IsDigit(f[k])) ++k;
                    }
                }
            } else {
                if (f[k] == '$') ++k;
                while (k < f.size() && IsNameChar(f[k])) ++k;
            }
            out.append(f.substr(i, k - i));
            i = k;
            continue;
        }
        out.push_back(ch);
        ++i;
    }
    return out;
}

struct SheetModel::Doc {
    pugi::xml_document doc;
    pugi::xml_node sheetData;
};

SheetModel::SheetModel() : doc_(std::make_unique<Doc>()) {}
SheetModel::~SheetModel() = default;

std::string SheetModel::EmptyXml() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<dimension ref=\"A1\"/>"
           "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
           "<sheetFormatPr defaultRowHeight=\"15\"/>"
           "<sheetData/>"
           "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
           "footer=\"0.3\"/>"
           "</worksheet>";
}

bool SheetModel::Store(std::string_view s, std::uint32_t& off) {
    if (store_.size() + s.size() > std::numeric_limits<std::uint32_t>::max()) return false;
    off = static_cast<std::uint32_t>(store_.size());
    store_.append(s);
    return true;
}

bool SheetModel::Load(std::string_view xml, std::string& err) {
    rows_.clear();
    store_.clear();
    sharedMasters_.clear();
    dirty_ = false;
    formulaOverwritten_ = false;
    pugi::xml_document& doc = doc_->doc;
    const pugi::xml_parse_result res =
        doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!res) {
        err = std::string("аркуш: ") + res.description();
        return false;
    }
    pugi::xml_node root = doc.document_element();
    if (!root || LocalName(root) != "worksheet") {
        err = "аркуш не є таблицею";
        return false;
    }
    pugi::xml_node data = Child(root, "sheetData");
    if (!data) {
        err = "аркуш без sheetData";
        return false;
    }
    doc_->sheetData = data;
    const std::string_view dn = data.name();
    prefix_ = std::string(dn.substr(0, dn.size() - std::strlen("sheetData")));

    std::uint32_t nextRow = 1;
    std::string scratch;
    for (pugi::xml_node xr = data.first_child(); xr; xr = xr.next_sibling()) {
        if (xr.type() != pugi::node_element || LocalName(xr) != "row") continue;
        std::uint32_t r = nextRow;
        if (pugi::xml_attribute a = xr.attribute("r"); a && !ParseUInt(a.value(), r)) r = 0;
        if (r < 1 || r > static_cast<std::uint32_t>(kMaxRows)) {
            err = "аркуш: неправильний номер рядка";
            return false;
        }
        nextRow = r + 1;
        scratch.clear();
        std::uint32_t style = 0;
        double ht = 0;
        std::uint8_t flags = 0;
        for (pugi::xml_attribute a = xr.first_attribute(); a; a = a.next_attribute()) {
            const std::string_view n = a.name();
            if (n == "r" || n == "spans") continue;   // spans is only a hint; cells may change
            if (n == "ht") {
                ht = a.as_double(0);
                flags |= kRowHt;
            } else if (n == "customHeight") {
                if (IsTrue(a)) flags |= kRowCustomHt;
            } else if (n == "s") {
                style = a.as_uint(0);
                flags |= kRowS;
            } else if (n == "customFormat") {
                if (IsTrue(a)) flags |= kRowCustomFmt;
            } else {
                AppendAttr(scratch, a);
            }
        }
        std::uint32_t attrOff = 0;
        if (!Store(scratch, attrOff)) {
            err = "аркуш завеликий";
            return false;
        }
        const auto attrLen = static_cast<std::uint32_t>(scratch.size());
        {
            Row& row = RowAt(r);
            row.style = style;
            row.ht = ht;
            row.flags = flags;
            row.attrOff = attrOff;
            row.attrLen = attrLen;
        }

        std::uint32_t nextCol = 1;
        for (pugi::xml_node xc = xr.first_child(); xc; xc = xc.next_sibling()) {
            if (xc.type() != pugi::node_element || LocalName(xc) != "c") continue;
            int col = static_cast<int>(nextCol);
            if (pugi::xml_attribute a = xc.attribute("r")) {
                int cr = 0;
                if (!ParseCellName(a.value(), cr, col)) col = 0;
            }
            if (col < 1 || col > kMaxColumns) {
                err = "аркуш: неправильна адреса клітинки";
                return false;
            }
            nextCol = static_cast<std::uint32_t>(col) + 1;
            scratch.clear();
            std::uint32_t cs = 0;
            for (pugi::xml_attribute a = xc.first_attribute(); a; a = a.next_attribute()) {
                const std::string_view n = a.name();
                if (n == "r") continue;
                if (n == "s")
                    cs = a.as_uint(0);
                else
                    AppendAttr(scratch, a);
            }
            const auto attrPart = static_cast<std::uint32_t>(scratch.size());
            bool formula = false, master = false;
            StringWriter w(&scratch);
            for (pugi::xml_node ch = xc.first_child(); ch; ch = ch.next_sibling()) {
                if (ch.type() == pugi::node_element && LocalName(ch) == "f") {
                    formula = true;
                    const std::string_view text = ch.child_value();
                    if (std::string_view(ch.attribute("t").value()) == "shared" && ch.attribute("si") &&
                        !text.empty()) {
                        master = true;
                        sharedMasters_[{r, static_cast<std::uint32_t>(col)}] =
                            SharedMaster{ch.attribute("si").value(), std::string(text), false};
                    }
                }
                ch.print(w, "", pugi::format_raw, pugi::encoding_utf8);
            }
            std::uint32_t off = 0;
            if (!Store(scratch, off)) {
                err = "аркуш завеликий";
                return false;
            }
            Row& row = RowAt(r);
            Cell& cell = CellAt(row, static_cast<std::uint32_t>(col));
            cell.style = cs;
            cell.off = off;
            cell.len = static_cast<std::uint32_t>(scratch.size());
            cell.attrLen = attrPart;
            cell.kind = scratch.empty() ? kEmpty : kRaw;
            cell.flags = static_cast<std::uint8_t>((formula ? kFormula : 0) | (master ? kSharedMaster : 0));
        }
    }
    while (pugi::xml_node ch = data.first_child()) data.remove_child(ch);
    RebuildColumnStyles();
    return true;
}

SheetModel::Row& SheetModel::RowAt(std::uint32_t r) {
    if (rows_.empty() || rows_.back().r < r) {
        rows_.push_back(Row{r, 0, 0, 0, 0, 0, {}});
        return rows_.back();
    }
    if (rows_.back().r == r) return rows_.back();
    auto it = std::lower_bound(rows_.begin(), rows_.end(), r,
                               [](const Row& a, std::uint32_t v) { return a.r < v; });
    if (it != rows_.end() && it->r == r) return *it;
    return *rows_.insert(it, Row{r, 0, 0, 0, 0, 0, {}});
}

std::uint32_t SheetModel::DefaultStyle(const Row& row, std::uint32_t col) const {
    if ((row.flags & kRowS) && (row.flags & kRowCustomFmt)) return row.style;
    if (col >= 1 && col <= colStyle_.size()) return colStyle_[col - 1];
    return 0;
}

SheetModel::Cell& SheetModel::CellAt(Row& row, std::uint32_t col) {
    std::vector<Cell>& v = row.cells;
    if (v.empty() || v.back().col < col) {
        v.push_back(Cell{col, DefaultStyle(row, col), 0, 0, 0, kEmpty, 0});
        return v.back();
    }
    if (v.back().col == col) return v.back();
    auto it = std::lower_bound(v.begin(), v.end(), col,
                               [](const Cell& a, std::uint32_t c) { return a.col < c; });
    if (it != v.end() && it->col == col) return *it;
    return *v.insert(it, Cell{col, DefaultStyle(row, col), 0, 0, 0, kEmpty, 0});
}

void SheetModel::Put(const Row& row, Cell& cell, std::uint8_t kind, std::uint32_t off, std::uint32_t len,
                     bool preserve) {
    if (cell.kind == kRaw && (cell.flags & kFormula)) formulaOverwritten_ = true;
    if (cell.kind == kRaw && (cell.flags & kSharedMaster)) sharedMasters_[{row.r, cell.col}].overwritten = true;
    cell.kind = kind;
    cell.off = off;
    cell.len = len;
    cell.attrLen = 0;
    cell.flags = preserve ? kPreserve : 0;
}

bool SheetModel::SetText(const CellRect& rect, std::string_view escaped, bool preserve) {
    std::uint32_t off = 0;
    if (!Store(escaped, off)) return false;
    dirty_ = true;
    const auto len = static_cast<std::uint32_t>(escaped.size());
    for (int r = rect.row1; r <= rect.row2; ++r) {
        Row& row = RowAt(static_cast<std::uint32_t>(r));
        for (int c = rect.col1; c <= rect.col2; ++c)
            Put(row, CellAt(row, static_cast<std::uint32_t>(c)), len ? kText : kEmpty, off, len, preserve);
    }
    return true;
}

void SheetModel::SetRowHeight(int row1, int row2, double points) {
    dirty_ = true;
    for (int r = row1; r <= row2; ++r) {
        Row& row = RowAt(static_cast<std::uint32_t>(r));
        row.ht = points;
        row.flags |= kRowHt | kRowCustomHt;
    }
}

void SheetModel::SetColumnWidth(int c, double width, bool hidden) {
    dirty_ = true;
    pugi::xml_node root = doc_->doc.document_element();
    pugi::xml_node cols = Child(root, "cols");
    if (!cols) cols = root.insert_child_before((prefix_ + "cols").c_str(), doc_->sheetData);
    const auto uc = static_cast<unsigned>(c);
    pugi::xml_node target;
    for (pugi::xml_node x = cols.first_child(); x; x = x.next_sibling()) {
        if (x.type() != pugi::node_element || LocalName(x) != "col") continue;
        const unsigned mn = x.attribute("min").as_uint(0);
        const unsigned mx = x.attribute("max").as_uint(0);
        if (mn <= uc && uc <= mx) {
            // Split a definition that spans several columns around this one.
            if (mn < uc) cols.insert_copy_before(x, x).attribute("max").set_value(uc - 1);
            if (mx > uc) cols.insert_copy_after(x, x).attribute("min").set_value(uc + 1);
            x.attribute("min").set_value(uc);
            x.attribute("max").set_value(uc);
            target = x;
            break;
        }
        if (mn > uc) {
            target = cols.insert_child_before((prefix_ + "col").c_str(), x);
            break;
        }
    }
    if (!target) target = cols.append_child((prefix_ + "col").c_str());
    if (!target.attribute("min")) target.append_attribute("min") = uc;
    if (!target.attribute("max")) target.append_attribute("max") = uc;
    const std::string w = NumberText(width);
    if (pugi::xml_attribute a = target.attribute("width"))
        a.set_value(w.c_str());
    else
        target.append_attribute("width") = w.c_str();
    if (pugi::xml_attribute a = target.attribute("customWidth"))
        a.set_value("1");
    else
        target.append_attribute("customWidth") = "1";
    target.remove_attribute("hidden");
    if (hidden) target.append_attribute("hidden") = "1";
    RebuildColumnStyles();
}

// The child `local` of the worksheet, made at its place when missing.
static pugi::xml_node WorksheetChild(pugi::xml_node root, const std::string& prefix, const char* local) {
    if (pugi::xml_node n = Child(root, local)) return n;
    const int mine = WorksheetOrder(local);
    const std::string name = prefix + local;
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        const int o = WorksheetOrder(LocalName(c));
        if (o > mine) return root.insert_child_before(name.c_str(), c);
    }
    return root.append_child(name.c_str());
}

bool SheetModel::AddMerge(const CellRect& rect) {
    pugi::xml_node root = doc_->doc.document_element();
    unsigned count = 0;
    pugi::xml_node merges = Child(root, "mergeCells");
    for (pugi::xml_node m = merges.first_child(); m; m = m.next_sibling()) {
        if (m.type() != pugi::node_element || LocalName(m) != "mergeCell") continue;
        ++count;
        CellRect r;
        if (!ParseRangeAddress(m.attribute("ref").value(), r)) continue;
        if (r.row1 <= rect.row2 && rect.row1 <= r.row2 && r.col1 <= rect.col2 && rect.col1 <= r.col2)
            return false;
    }
    if (!merges) merges = WorksheetChild(root, prefix_, "mergeCells");
    pugi::xml_node m = merges.append_child((prefix_ + "mergeCell").c_str());
    m.append_attribute("ref") = RectName(rect).c_str();
    SetAttrText(merges, "count", std::to_string(count + 1));
    dirty_ = true;
    return true;
}

void SheetModel::SetPageSetup(const PageSetup& p) {
    pugi::xml_node root = doc_->doc.document_element();
    const bool fit = p.fitWidth > 0 || p.fitHeight > 0;
    pugi::xml_node sheetPr = Child(root, "sheetPr");
    if (fit || sheetPr) {
        sheetPr = WorksheetChild(root, prefix_, "sheetPr");
        pugi::xml_node fitPr = Child(sheetPr, "pageSetUpPr");
        if (!fitPr) fitPr = sheetPr.append_child((prefix_ + "pageSetUpPr").c_str());
        SetAttrText(fitPr, "fitToPage", fit ? "1" : "0");
    }
    pugi::xml_node opts = WorksheetChild(root, prefix_, "printOptions");
    opts.remove_attribute("horizontalCentered");
    if (p.centerHorizontally) opts.append_attribute("horizontalCentered") = "1";
    if (!opts.first_attribute() && !opts.first_child()) root.remove_child(opts);

    pugi::xml_node margins = WorksheetChild(root, prefix_, "pageMargins");
    SetAttrText(margins, "left", NumberText(p.left));
    SetAttrText(margins, "right", NumberText(p.right));
    SetAttrText(margins, "top", NumberText(p.top));
    SetAttrText(margins, "bottom", NumberText(p.bottom));
    SetAttrText(margins, "header", NumberText(p.header));
    SetAttrText(margins, "footer", NumberText(p.footer));

    pugi::xml_node setup = WorksheetChild(root, prefix_, "pageSetup");
    if (p.paperA4) SetAttrText(setup, "paperSize", "9");
    SetAttrText(setup, "orientation", p.landscape ? "landscape" : "portrait");
    setup.remove_attribute("fitToWidth");
    setup.remove_attribute("fitToHeight");
    if (fit) {
        SetAttrText(setup, "fitToWidth", std::to_string(p.fitWidth));
        SetAttrText(setup, "fitToHeight", std::to_string(p.fitHeight));
    }
    dirty_ = true;
}

void SheetModel::RebuildColumnStyles() {
    colStyle_.clear();
    pugi::xml_node cols = Child(doc_->doc.document_element(), "cols");
    if (!cols) return;
    for (pugi::xml_node x = cols.first_child(); x; x = x.next_sibling()) {
        if (x.type() != pugi::node_element || LocalName(x) != "col") continue;
        pugi::xml_attribute s = x.attribute("style");
        if (!s) continue;
        const unsigned mn = std::max(1u, x.attribute("min").as_uint(0));
        const unsigned mx = std::min(static_cast<unsigned>(kMaxColumns), x.attribute("max").as_uint(0));
        if (mn > mx) continue;
        if (colStyle_.size() < mx) colStyle_.resize(mx, 0);
        for (unsigned c = mn; c <= mx; ++c) colStyle_[c - 1] = s.as_uint(0);
    }
}

void SheetModel::UpdateDimension() {
    pugi::xml_node dim = Child(doc_->doc.document_element(), "dimension");
    if (!dim) return;
    CellRect box{0, 0, 0, 0};
    for (const Row& row : rows_) {
        if (row.cells.empty()) continue;
        const int r = static_cast<int>(row.r);
        const int c1 = static_cast<int>(row.cells.front().col);
        const int c2 = static_cast<int>(row.cells.back().col);
        if (box.row1 == 0) box = CellRect{r, c1, r, c2};
        box.row2 = r;
        box.col1 = std::min(box.col1, c1);
        box.col2 = std::max(box.col2, c2);
    }
    const std::string ref = box.row1 == 0 ? std::string("A1") : RectName(box);
    if (pugi::xml_attribute a = dim.attribute("ref"))
        a.set_value(ref.c_str());
    else
        dim.append_attribute("ref") = ref.c_str();
}

void SheetModel::StreamRows(std::string& out, std::uint32_t styleCount) const {
    const std::string rowOpen = "<" + prefix_ + "row r=\"";
    const std::string rowClose = "</" + prefix_ + "row>";
    const std::string cellOpen = "<" + prefix_ + "c r=\"";
    const std::string cellClose = "</" + prefix_ + "c>";
    const std::string textOpen = " t=\"inlineStr\"><" + prefix_ + "is><" + prefix_ + "t>";
    const std::string textOpenKeep =
        " t=\"inlineStr\"><" + prefix_ + "is><" + prefix_ + "t xml:space=\"preserve\">";
    const std::string textClose = "</" + prefix_ + "t></" + prefix_ + "is>" + cellClose;
    char rowNum[16];
    for (const Row& row : rows_) {
        if (row.cells.empty() && row.flags == 0 && row.attrLen == 0) continue;
        const auto rn = std::to_chars(rowNum, rowNum + sizeof rowNum, row.r);
        const std::string_view rowText(rowNum, static_cast<size_t>(rn.ptr - rowNum));
        out += rowOpen;
        out += rowText;
        out.push_back('"');
        if ((row.flags & kRowS) && row.style < styleCount) {
            out += " s=\"";
            AppendUInt(out, row.style);
            out.push_back('"');
        }
        if (row.flags & kRowCustomFmt) out += " customFormat=\"1\"";
        if (row.flags & kRowHt) {
            out += " ht=\"";
            out += NumberText(row.ht);
            out.push_back('"');
        }
        if (row.flags & kRowCustomHt) out += " customHeight=\"1\"";
        out.append(store_, row.attrOff, row.attrLen);
        if (row.cells.empty()) {
            out += "/>";
            continue;
        }
        out.push_back('>');
        for (const Cell& cell : row.cells) {
            out += cellOpen;
            AppendColumnName(out, static_cast<int>(cell.col));
            out += rowText;
            out.push_back('"');
            if (cell.style && cell.style < styleCount) {
                out += " s=\"";
                AppendUInt(out, cell.style);
                out.push_back('"');
            }
            switch (cell.kind) {
                case kText:
                    out += (cell.flags & kPreserve) ? textOpenKeep : textOpen;
                    out.append(store_, cell.off, cell.len);
                    out += textClose;
                    break;
                case kNumber:
                    out += "><";
                    out += prefix_;
                    out += "v>";
                    out.append(store_, cell.off, cell.len);
                    out += "</";
                    out += prefix_;
                    out += "v>";
                    out += cellClose;
                    break;
                case kRaw:
                    out.append(store_, cell.off, cell.attrLen);
                    if (cell.len == cell.attrLen) {
                        out += "/>";
                    } else {
                        out.push_back('>');
                        out.append(store_, cell.off + cell.attrLen, cell.len - cell.attrLen);
                        out += cellClose;
                    }
                    break;
                default:
                    out += "/>";
            }
        }
        out += rowClose;
    }
}

// The other cells of a shared formula whose master cell now holds a text
// would be left without a formula (a spreadsheet program reports the file as
// damaged): each gets the master's formula as its own, its relative
// references moved by its distance from the master.
void SheetModel::UnshareBrokenGroups() {
    std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> broken;   // group -> master
    for (const auto& [pos, m] : sharedMasters_)
        if (m.overwritten) broken.emplace(m.si, pos);
    if (broken.empty()) return;
    std::string inner;
    for (Row& row : rows_) {
        for (Cell& cell : row.cells) {
            if (cell.kind != kRaw || !(cell.flags & kFormula) || (cell.flags & kSharedMaster)) continue;
            pugi::xml_document frag;
            const std::string wrapped =
                "<c>" + store_.substr(cell.off + cell.attrLen, cell.len - cell.attrLen) + "</c>";
            if (!frag.load_buffer(wrapped.data(), wrapped.size(),
                                  pugi::parse_default | pugi::parse_ws_pcdata_single))
                continue;
            bool changed = false;
            for (pugi::xml_node f = frag.first_child().first_child(); f; f = f.next_sibling()) {
                if (f.type() != pugi::node_element || LocalName(f) != "f") continue;
                if (std::string_view(f.attribute("t").value()) != "shared") continue;
                auto it = broken.find(f.attribute("si").value());
                if (it == broken.end()) continue;
                const auto& [mr, mc] = it->second;
                const std::string& formula = sharedMasters_[it->second].formula;
                f.remove_attribute("t");
                f.remove_attribute("si");
                f.remove_attribute("ref");
                while (f.first_child()) f.remove_child(f.first_child());
                f.text().set(ShiftFormula(formula, static_cast<long>(row.r) - static_cast<long>(mr),
                                          static_cast<long>(cell.col) - static_cast<long>(mc))
                                 .c_str());
                changed = true;
            }
            if (!changed) continue;
            inner.assign(store_, cell.off, cell.attrLen);
            StringWriter w(&inner);
            for (pugi::xml_node ch = frag.first_child().first_child(); ch; ch = ch.next_sibling())
                ch.print(w, "", pugi::format_raw, pugi::encoding_utf8);
            std::uint32_t off = 0;
            if (!Store(inner, off)) continue;
            cell.off = off;
            cell.len = static_cast<std::uint32_t>(inner.size());
        }
    }
    for (const auto& [si, pos] : broken) sharedMasters_.erase(pos);
}

std::string SheetModel::Serialize(std::uint32_t styleCount) {
    UnshareBrokenGroups();
    UpdateDimension();
    std::string head;
    {
        StringWriter w(&head);
        pugi::xml_node data = doc_->sheetData;
        const std::string name = data.name();
        data.set_name(kMarker);
        doc_->doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
        data.set_name(name.c_str());
    }
    size_t at = head.find(std::string("<") + kMarker);
    size_t end = at == std::string::npos ? at : head.find("/>", at);
    if (end == std::string::npos) {   // cannot happen with the writer's output; stay safe
        at = head.size();
        end = head.size();
    } else {
        end += 2;
    }
    size_t cells = 0;
    for (const Row& r : rows_) cells += r.cells.size();
    std::string out;
    out.reserve(head.size() + store_.size() + cells * 40 + rows_.size() * 40 + 128);
    out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    out.append(head, 0, at);
    out += "<" + prefix_ + "sheetData>";
    StreamRows(out, styleCount);
    out += "</" + prefix_ + "sheetData>";
    out.append(head, end, std::string::npos);
    return out;
}

}  // namespace sheet
