#include "sheet/Workbook.h"

#include "sheet/Package.h"
#include "sheet/SheetModel.h"
#include "sheet/Styles.h"
#include "sheet/XmlNodes.h"
#include "sheet/XmlText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <map>
#include <vector>

namespace sheet {

namespace {

// One call may touch at most this many cells (a whole data block of an export
// is about a quarter of a million); beyond it the caller has made a mistake.
constexpr long long kMaxCellsPerCall = 1LL << 22;
// A cell holds at most this many characters.
constexpr size_t kMaxTextChars = 32767;

const char* const kRelOfficeDocument = "/officeDocument";
const char* const kRelWorksheet = "/worksheet";
const char* const kRelStyles = "/styles";
const char* const kRelCalcChain = "/calcChain";
const char* const kStylesType = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
const char* const kStylesRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";

using xml::Child;
using xml::LocalName;

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string FolderOf(const std::string& part) {
    const size_t s = part.rfind('/');
    return s == std::string::npos ? std::string() : part.substr(0, s + 1);
}

std::string RelsOf(const std::string& part) {
    const size_t s = part.rfind('/');
    if (s == std::string::npos) return "_rels/" + part + ".rels";
    return part.substr(0, s + 1) + "_rels/" + part.substr(s + 1) + ".rels";
}

// A relationship target made absolute within the package (no leading "/").
std::string ResolveTarget(const std::string& sourceFolder, std::string_view target) {
    std::string path = !target.empty() && target[0] == '/' ? std::string(target.substr(1))
                                                           : sourceFolder + std::string(target);
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos) j = path.size();
        const std::string seg = path.substr(i, j - i);
        if (seg == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!seg.empty() && seg != ".") {
            parts.push_back(seg);
        }
        i = j + 1;
    }
    std::string out;
    for (const auto& p : parts) {
        if (!out.empty()) out += '/';
        out += p;
    }
    return out;
}

std::string Format(const char* fmt, const std::string& a, const std::string& b = {}) {
    std::string out;
    for (const char* p = fmt; *p; ++p) {
        if (p[0] == '%' && p[1] == '1') {
            out += a;
            ++p;
        } else if (p[0] == '%' && p[1] == '2') {
            out += b;
            ++p;
        } else {
            out.push_back(*p);
        }
    }
    return out;
}

// The stored width of a column that shows `chars` digits of the standard
// font: the digits plus 5 pixels of margin, at 7 pixels a digit, in 1/256
// steps.
double StoredWidth(double chars) {
    if (chars <= 0) return 0;
    return std::trunc((chars * 7 + 5) / 7 * 256) / 256;
}

std::string NewContentTypes() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/xl/workbook.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
           "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
           "<Override PartName=\"/xl/styles.xml\" ContentType=\"" +
           std::string(kStylesType) + "\"/></Types>";
}

std::string NewRootRels() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" "
           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
           "Target=\"xl/workbook.xml\"/></Relationships>";
}

std::string NewWorkbookXml() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<bookViews><workbookView activeTab=\"0\"/></bookViews>"
           "<sheets><sheet name=\"Аркуш1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
}

std::string NewWorkbookRels() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" "
           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
           "Target=\"worksheets/sheet1.xml\"/>"
           "<Relationship Id=\"rId2\" Type=\"" +
           std::string(kStylesRel) + "\" Target=\"styles.xml\"/></Relationships>";
}

}  // namespace

namespace detail {

// What an open workbook holds.
struct Content {
    Package pkg;
    pugi::xml_document contentTypes;
    bool contentTypesChanged = false;
    std::string workbookPath;
    std::string workbookRelsPath;
    pugi::xml_document workbookRels;
    bool workbookRelsChanged = false;
    std::string sheetPath;   // the active sheet's part
    std::string sheetName;
    pugi::xml_document workbook;
    bool workbookChanged = false;
    pugi::xml_node sheetNode;   // the active sheet's entry in the workbook
    size_t sheetIndex = 0;      // and its place among the sheets
    bool hasPrintArea = false;
    CellRect printArea;
    SheetModel sheet;
    std::string stylesPath;
    bool stylesInPackage = true;
    Styles styles;
    std::string calcChainPath;
    std::string scratch;     // reused for escaping texts
    std::string numberScratch;   // and for the values of numbers
    // The style change of a number format by its decimals, once interned.
    std::uint32_t numberFormats[16];
    Content() { std::fill(std::begin(numberFormats), std::end(numberFormats), kNoChange); }
    static constexpr std::uint32_t kNoChange = std::numeric_limits<std::uint32_t>::max();

    bool Load(std::string& err);
    void RegisterStyles();
    void DropCalcChain();
    void WritePrintArea();
};

struct Book {
    std::string lastError;
    std::string failure;   // first failure while filling since Add/Open
    unsigned generation = 0;
    std::unique_ptr<Content> content;

    bool Fail(std::string text) {
        lastError = std::move(text);
        if (content && failure.empty()) failure = lastError;
        return false;
    }
    // The open content for a handle of generation `gen`, or null (failure set).
    Content* Use(unsigned gen) {
        if (!content || generation != gen) {
            lastError = "Книгу закрито";
            return nullptr;
        }
        return content.get();
    }
    sheet::Range MakeRange(const std::shared_ptr<Book>& self, const CellRect& r) {
        return sheet::Range(self, generation, r);
    }
};

bool Content::Load(std::string& err) {
    std::string text;
    if (!pkg.Read("[Content_Types].xml", text, err)) return false;
    if (!contentTypes.load_buffer(text.data(), text.size())) {
        err = "пошкоджено [Content_Types].xml";
        return false;
    }

    // The package's main part: the workbook.
    pugi::xml_document rootRels;
    if (!pkg.Read("_rels/.rels", text, err)) return false;
    if (!rootRels.load_buffer(text.data(), text.size())) {
        err = "пошкоджено _rels/.rels";
        return false;
    }
    for (pugi::xml_node r = rootRels.document_element().first_child(); r; r = r.next_sibling())
        if (LocalName(r) == "Relationship" && EndsWith(r.attribute("Type").value(), kRelOfficeDocument))
            workbookPath = ResolveTarget("", r.attribute("Target").value());
    if (workbookPath.empty()) {
        err = "не знайдено книгу в пакеті";
        return false;
    }
    pugi::xml_document& wb = workbook;
    if (!pkg.Read(workbookPath, text, err)) return false;
    if (!wb.load_buffer(text.data(), text.size()) || LocalName(wb.document_element()) != "workbook") {
        err = "пошкоджено " + workbookPath;
        return false;
    }
    workbookRelsPath = RelsOf(workbookPath);
    if (!pkg.Read(workbookRelsPath, text, err)) return false;
    if (!workbookRels.load_buffer(text.data(), text.size())) {
        err = "пошкоджено " + workbookRelsPath;
        return false;
    }
    const std::string folder = FolderOf(workbookPath);
    struct Rel {
        std::string type, target;
    };
    std::map<std::string, Rel> rels;
    for (pugi::xml_node r = workbookRels.document_element().first_child(); r; r = r.next_sibling()) {
        if (LocalName(r) != "Relationship") continue;
        if (std::string_view(r.attribute("TargetMode").value()) == "External") continue;
        const std::string type = r.attribute("Type").value();
        const std::string target = ResolveTarget(folder, r.attribute("Target").value());
        rels[r.attribute("Id").value()] = Rel{type, target};
        if (EndsWith(type, kRelStyles)) stylesPath = target;
        if (EndsWith(type, kRelCalcChain)) calcChainPath = target;
    }

    // The sheets in tab order and the active tab.
    pugi::xml_node root = wb.document_element();
    std::vector<pugi::xml_node> sheets;
    for (pugi::xml_node s = Child(Child(root, "sheets"), "sheet"); s; s = s.next_sibling())
        if (LocalName(s) == "sheet") sheets.push_back(s);
    if (sheets.empty()) {
        err = "у книзі немає аркушів";
        return false;
    }
    size_t active = 0;
    if (pugi::xml_node view = Child(Child(root, "bookViews"), "workbookView")) {
        const unsigned tab = view.attribute("activeTab").as_uint(0);
        if (tab < sheets.size()) active = tab;
    }
    std::string relId;
    for (pugi::xml_attribute a = sheets[active].first_attribute(); a; a = a.next_attribute())
        if (LocalName(a.name()) == "id") relId = a.value();
    sheetName = sheets[active].attribute("name").value();
    sheetNode = sheets[active];
    sheetIndex = active;
    auto it = rels.find(relId);
    if (it == rels.end()) {
        err = "не знайдено аркуш " + sheetName;
        return false;
    }
    if (!EndsWith(it->second.type, kRelWorksheet)) {
        err = "активний аркуш " + sheetName + " не є таблицею";
        return false;
    }
    sheetPath = it->second.target;
    if (!pkg.Read(sheetPath, text, err)) return false;
    if (!sheet.Load(text, err)) return false;

    if (!stylesPath.empty() && pkg.Has(stylesPath)) {
        if (!pkg.Read(stylesPath, text, err)) return false;
        if (!styles.Load(text, err)) return false;
    } else {
        // No style sheet: one is added when the first format is set.
        stylesInPackage = false;
        stylesPath = folder + "styles.xml";
        for (int n = 1; pkg.Has(stylesPath); ++n)   // never over a part of another use
            stylesPath = folder + "styles" + std::to_string(n) + ".xml";
        std::string e;
        styles.Load(Styles::DefaultXml(), e);
    }
    return true;
}

void Content::RegisterStyles() {
    if (stylesInPackage) return;
    pugi::xml_node types = contentTypes.document_element();
    pugi::xml_node o = types.append_child("Override");
    o.append_attribute("PartName") = ("/" + stylesPath).c_str();
    o.append_attribute("ContentType") = kStylesType;
    contentTypesChanged = true;

    pugi::xml_node rels = workbookRels.document_element();
    std::string id;
    for (int n = 1;; ++n) {
        id = "rId" + std::to_string(n);
        bool used = false;
        for (pugi::xml_node r = rels.first_child(); r; r = r.next_sibling())
            if (id == r.attribute("Id").value()) used = true;
        if (!used) break;
    }
    pugi::xml_node r = rels.append_child("Relationship");
    r.append_attribute("Id") = id.c_str();
    r.append_attribute("Type") = kStylesRel;
    r.append_attribute("Target") = stylesPath.substr(FolderOf(workbookPath).size()).c_str();
    workbookRelsChanged = true;
    stylesInPackage = true;
}

// The calculation chain lists the cells holding formulas; once one of them
// holds a text instead, the list is dropped and the spreadsheet program
// rebuilds it.
void Content::DropCalcChain() {
    if (calcChainPath.empty()) return;
    pkg.Remove(calcChainPath);
    pugi::xml_node types = contentTypes.document_element();
    for (pugi::xml_node o = types.first_child(); o;) {
        pugi::xml_node next = o.next_sibling();
        std::string_view part = o.attribute("PartName").value();
        if (!part.empty() && part[0] == '/') part.remove_prefix(1);
        if (LocalName(o) == "Override" && SamePartName(part, calcChainPath)) types.remove_child(o);
        o = next;
    }
    pugi::xml_node rels = workbookRels.document_element();
    for (pugi::xml_node r = rels.first_child(); r;) {
        pugi::xml_node next = r.next_sibling();
        if (EndsWith(r.attribute("Type").value(), kRelCalcChain)) rels.remove_child(r);
        r = next;
    }
    contentTypesChanged = workbookRelsChanged = true;
    calcChainPath.clear();
}

// The print area is a name of the workbook local to its sheet,
// "_xlnm.Print_Area", that refers to the area with the sheet's name.
void Content::WritePrintArea() {
    if (!hasPrintArea) return;
    pugi::xml_node root = workbook.document_element();
    const std::string_view rn = root.name();
    const size_t colon = rn.find(':');
    const std::string prefix = colon == std::string_view::npos ? std::string() : std::string(rn.substr(0, colon + 1));
    pugi::xml_node names = Child(root, "definedNames");
    if (!names) {
        static const char* const kAfter[] = {"definedNames", "calcPr", "oleSize", "customWorkbookViews",
                                             "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing",
                                             "fileRecoveryPr", "webPublishObjects", "extLst"};
        pugi::xml_node before;
        for (pugi::xml_node c = root.first_child(); c && !before; c = c.next_sibling())
            for (const char* a : kAfter)
                if (c.type() == pugi::node_element && LocalName(c) == a) before = c;
        const std::string name = prefix + "definedNames";
        names = before ? root.insert_child_before(name.c_str(), before) : root.append_child(name.c_str());
    }
    const std::string id = std::to_string(sheetIndex);
    pugi::xml_node mine;
    for (pugi::xml_node d = names.first_child(); d; d = d.next_sibling())
        if (LocalName(d) == "definedName" && std::string_view(d.attribute("name").value()) == "_xlnm.Print_Area" &&
            id == d.attribute("localSheetId").value())
            mine = d;
    if (!mine) {
        mine = names.append_child((prefix + "definedName").c_str());
        mine.append_attribute("name") = "_xlnm.Print_Area";
        mine.append_attribute("localSheetId") = id.c_str();
    }
    std::string quoted = "'";
    for (char ch : sheetName) {
        quoted.push_back(ch);
        if (ch == '\'') quoted.push_back('\'');
    }
    quoted += "'!";
    const CellRect& r = printArea;
    quoted += "$" + ColumnName(r.col1) + "$" + std::to_string(r.row1) + ":$" + ColumnName(r.col2) + "$" +
              std::to_string(r.row2);
    while (mine.first_child()) mine.remove_child(mine.first_child());
    mine.text().set(quoted.c_str());
    workbookChanged = true;
}

}  // namespace detail

using detail::Book;
using detail::Content;

// The program writes its numbers with a decimal comma (the separator of the
// spreadsheet program's locale it was made for).
bool NumberFromText(std::string_view text, std::string& value, int& decimals) {
    constexpr int kMaxDigits = 15;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    const std::string_view t = text.substr(b, e - b);
    std::size_t i = 0;
    const bool minus = i < t.size() && t[i] == '-';
    if (minus) ++i;
    const std::size_t intBegin = i;
    while (i < t.size() && digit(t[i])) ++i;
    const std::size_t intDigits = i - intBegin;
    if (intDigits == 0 || intDigits > kMaxDigits) return false;
    if (intDigits > 1 && t[intBegin] == '0') return false;
    std::size_t decDigits = 0;
    if (i < t.size() && t[i] == ',') {
        const std::size_t decBegin = ++i;
        while (i < t.size() && digit(t[i])) ++i;
        decDigits = i - decBegin;
        if (decDigits == 0 || decDigits > kMaxDigits) return false;
    }
    if (i != t.size()) return false;
    // Digits from the first significant one on.
    std::size_t first = intBegin;
    while (first < t.size() && (t[first] == '0' || t[first] == ',')) ++first;
    if (first == t.size()) {
        if (minus) return false;
    } else if (t.size() - first - (first < intBegin + intDigits && decDigits ? 1 : 0) > kMaxDigits) {
        return false;
    }
    value.assign(t);
    if (decDigits) value[intBegin + intDigits] = '.';
    decimals = static_cast<int>(decDigits);
    return true;
}

// ---------------------------------------------------------------- Workbook

Workbook::Workbook() : book_(std::make_shared<Book>()) {}
Workbook::~Workbook() = default;
Workbook::Workbook(Workbook&&) noexcept = default;
Workbook& Workbook::operator=(Workbook&&) noexcept = default;

bool Workbook::IsOpen() const { return book_ && book_->content; }

const std::string& Workbook::LastError() const {
    static const std::string kNone;
    return book_ ? book_->lastError : kNone;
}

bool Workbook::Failed() const { return book_ && !book_->failure.empty(); }

void Workbook::ClearFailure() {
    if (book_) book_->failure.clear();
}

bool Workbook::Add() {
    if (!book_) book_ = std::make_shared<Book>();
    if (book_->content) return book_->Fail("Книга вже відкрита");
    auto c = std::make_unique<Content>();
    c->pkg.CreateEmpty();
    c->pkg.Put("[Content_Types].xml", NewContentTypes());
    c->pkg.Put("_rels/.rels", NewRootRels());
    c->pkg.Put("xl/workbook.xml", NewWorkbookXml());
    c->pkg.Put("xl/_rels/workbook.xml.rels", NewWorkbookRels());
    c->pkg.Put("xl/worksheets/sheet1.xml", SheetModel::EmptyXml());
    c->pkg.Put("xl/styles.xml", Styles::DefaultXml());
    std::string err;
    if (!c->Load(err)) return book_->Fail("Не вдалося створити книгу: " + err);
    book_->content = std::move(c);
    book_->failure.clear();
    book_->lastError.clear();
    ++book_->generation;
    return true;
}

bool Workbook::Open(const std::string& path) {
    if (!book_) book_ = std::make_shared<Book>();
    if (book_->content) return book_->Fail("Книга вже відкрита");
    std::string bytes, err;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, err, missing)) {
        if (missing) return book_->Fail(Format("Файл %1 не знайдено", path));
        return book_->Fail(Format("Не вдалося прочитати файл %1: %2", path, err));
    }
    auto c = std::make_unique<Content>();
    if (!c->pkg.OpenBytes(std::move(bytes), err) || !c->Load(err))
        return book_->Fail(
            Format("Файл %1 пошкоджений або не є книгою Excel (.xlsx): %2", path, err));
    book_->content = std::move(c);
    book_->failure.clear();
    book_->lastError.clear();
    ++book_->generation;
    return true;
}

Worksheet Workbook::ActiveSheet() {
    if (!IsOpen()) {
        if (book_) book_->lastError = "Книга не відкрита";
        return Worksheet();
    }
    return Worksheet(book_, book_->generation);
}

bool Workbook::SaveAs(const std::string& path) {
    if (!IsOpen()) {
        if (book_) book_->lastError = "Книга не відкрита";
        return false;
    }
    Book& b = *book_;
    Content& c = *b.content;
    if (!b.failure.empty()) {
        b.lastError = "Книгу не збережено: " + b.failure;
        return false;
    }
    if (path.empty()) {
        b.lastError = "Не вказано ім'я файлу";
        return false;
    }
    std::map<std::string, const std::string*> replaced;
    std::string sheetXml, stylesXml, typesXml, relsXml;
    if (c.sheet.Dirty()) {
        if (c.sheet.FormulaOverwritten()) c.DropCalcChain();
        sheetXml = c.sheet.Serialize(c.styles.Count());
        replaced[c.sheetPath] = &sheetXml;
    }
    if (c.styles.Changed()) {
        c.RegisterStyles();
        stylesXml = c.styles.Serialize();
        if (!c.pkg.Has(c.stylesPath)) c.pkg.Put(c.stylesPath, std::string());
        replaced[c.stylesPath] = &stylesXml;
    }
    std::string workbookXml;
    c.WritePrintArea();
    if (c.workbookChanged) {
        workbookXml = xml::PartText(c.workbook);
        replaced[c.workbookPath] = &workbookXml;
    }
    if (c.contentTypesChanged) {
        typesXml = xml::PartText(c.contentTypes);
        replaced["[Content_Types].xml"] = &typesXml;
    }
    if (c.workbookRelsChanged) {
        relsXml = xml::PartText(c.workbookRels);
        replaced[c.workbookRelsPath] = &relsXml;
    }
    std::string bytes, err;
    if (!c.pkg.Build(replaced, bytes, err)) {
        b.lastError = Format("Не вдалося зберегти файл %1: %2", path, err);
        return false;
    }
    sheetXml.clear();
    sheetXml.shrink_to_fit();
    if (!WriteFileAtomically(path, bytes, err)) {
        b.lastError = Format("Не вдалося зберегти файл %1: %2", path, err);
        return false;
    }
    return true;
}

bool Workbook::Close() {
    if (!IsOpen()) {
        if (book_) book_->lastError = "Книга не відкрита";
        return false;
    }
    book_->content.reset();
    book_->failure.clear();
    ++book_->generation;
    return true;
}

// --------------------------------------------------------------- Worksheet

bool Worksheet::Valid() const {
    auto b = book_.lock();
    return valid_ && b && b->content && b->generation == generation_;
}

std::string Worksheet::Name() const {
    auto b = book_.lock();
    if (!valid_ || !b) return {};
    Content* c = b->Use(generation_);
    return c ? c->sheetName : std::string();
}

bool Worksheet::SetColumnWidth(int column, double width) {
    auto b = book_.lock();
    if (!valid_ || !b) return false;
    Content* c = b->Use(generation_);
    if (!c) return false;
    if (column < 1 || column > kMaxColumns)
        return b->Fail("Неправильний номер стовпця " + std::to_string(column));
    if (!(width >= 0 && width <= 255))
        return b->Fail("Неправильна ширина стовпця " + NumberText(width));
    c->sheet.SetColumnWidth(column, StoredWidth(width), width == 0);
    return true;
}

bool Worksheet::SetName(std::string_view name) {
    auto b = book_.lock();
    if (!valid_ || !b) return false;
    Content* c = b->Use(generation_);
    if (!c) return false;
    size_t chars = 0;
    bool ok = !name.empty() && IsValidUtf8(name) && name.front() != '\'' && name.back() != '\'';
    for (unsigned char ch : name) {
        if (ch < 0x20 || std::string_view(":\\/?*[]").find(char(ch)) != std::string_view::npos) ok = false;
        if ((ch & 0xC0) != 0x80) ++chars;
    }
    for (pugi::xml_node s = Child(Child(c->workbook.document_element(), "sheets"), "sheet"); s && ok;
         s = s.next_sibling())
        if (s != c->sheetNode && LocalName(s) == "sheet" && name == s.attribute("name").value()) ok = false;
    if (!ok || chars > 31) return b->Fail("Неправильна назва аркуша \"" + std::string(name) + "\"");
    c->sheetName = std::string(name);
    c->sheetNode.attribute("name").set_value(c->sheetName.c_str());
    c->workbookChanged = true;
    return true;
}

bool Worksheet::SetPageSetup(const PageSetup& p) {
    auto b = book_.lock();
    if (!valid_ || !b) return false;
    Content* c = b->Use(generation_);
    if (!c) return false;
    auto margin = [](double m) { return m >= 0 && m <= 49; };
    if (p.fitWidth < 0 || p.fitWidth > 32767 || p.fitHeight < 0 || p.fitHeight > 32767 || !margin(p.left) ||
        !margin(p.right) || !margin(p.top) || !margin(p.bottom) || !margin(p.header) || !margin(p.footer))
        return b->Fail("Неправильні параметри сторінки");
    c->sheet.SetPageSetup(p);
    return true;
}

bool Worksheet::SetPrintArea(const sheet::Range& area) {
    auto b = book_.lock();
    if (!valid_ || !b) return false;
    Content* c = b->Use(generation_);
    if (!c) return false;
    if (!area.Valid() || area.book_.lock() != b || area.generation_ != generation_)
        return b->Fail("Неправильна область друку");
    c->printArea = area.rect_;
    c->hasPrintArea = true;
    return true;
}

sheet::Range Worksheet::Cells(int row, int column) const {
    auto b = book_.lock();
    if (!valid_ || !b || !b->Use(generation_)) return {};
    if (!ValidCell(row, column)) {
        b->Fail("Неправильна адреса клітинки (рядок " + std::to_string(row) + ", стовпець " +
                std::to_string(column) + ")");
        return {};
    }
    return b->MakeRange(b, CellRect{row, column, row, column});
}

sheet::Range Worksheet::Range(const sheet::Range& first, const sheet::Range& second) const {
    auto b = book_.lock();
    if (!valid_ || !b || !b->Use(generation_)) return {};
    auto same = [&](const sheet::Range& r) {
        return r.Valid() && r.book_.lock() == b && r.generation_ == generation_;
    };
    if (!same(first) || !same(second)) {
        b->Fail("Неправильний діапазон: клітинки не з цього аркуша");
        return {};
    }
    CellRect r;
    r.row1 = std::min(first.rect_.row1, second.rect_.row1);
    r.col1 = std::min(first.rect_.col1, second.rect_.col1);
    r.row2 = std::max(first.rect_.row2, second.rect_.row2);
    r.col2 = std::max(first.rect_.col2, second.rect_.col2);
    return b->MakeRange(b, r);
}

sheet::Range Worksheet::Range(std::string_view address) const {
    auto b = book_.lock();
    if (!valid_ || !b || !b->Use(generation_)) return {};
    CellRect r;
    if (!ParseRangeAddress(address, r)) {
        b->Fail("Неправильна адреса діапазону \"" + std::string(address) + "\"");
        return {};
    }
    return b->MakeRange(b, r);
}

// ------------------------------------------------------------------- Range

namespace {

long long Area(const CellRect& r) {
    return static_cast<long long>(r.row2 - r.row1 + 1) * (r.col2 - r.col1 + 1);
}

}  // namespace

std::string Range::Address() const { return valid_ ? RectName(rect_) : std::string(); }

#define ZBR_RANGE_ENTER()                                              \
    auto book = book_.lock();                                          \
    if (!book) return false;                                           \
    if (!valid_) {                                                     \
        book->lastError = "Неправильний діапазон";                     \
        return false;                                                  \
    }                                                                  \
    Content* content = book->Use(generation_);                         \
    if (!content) return false

bool Range::SetValue(std::string_view text) {
    ZBR_RANGE_ENTER();
    if (Area(rect_) > kMaxCellsPerCall) return book->Fail("Завеликий діапазон " + Address());
    std::string& esc = content->scratch;
    esc.clear();
    if (AppendCellText(esc, text) > kMaxTextChars)
        return book->Fail("Текст довший за 32767 знаків не вміщується в клітинку " + Address());
    std::string& value = content->numberScratch;
    int decimals = 0;
    bool stored = false;
    if (NumberFromText(text, value, decimals)) {
        std::uint32_t& id = content->numberFormats[decimals];
        if (id == Content::kNoChange) {
            StyleChange ch;
            ch.kind = StyleChange::Kind::NumFmt;
            ch.name = decimals > 0 ? "0." + std::string(std::size_t(decimals), '0') : "0";
            id = content->styles.Intern(ch);
        }
        Styles& styles = content->styles;
        std::uint32_t lastIn = Content::kNoChange, lastOut = 0, lastTextIn = Content::kNoChange;
        bool lastText = false;
        stored = content->sheet.SetNumber(
            rect_, value, esc, NeedsSpacePreserve(text),
            [&](std::uint32_t s) {
                if (s != lastTextIn) {
                    lastTextIn = s;
                    lastText = styles.IsTextFormat(s);
                }
                return lastText;
            },
            [&](std::uint32_t s) {
                if (s != lastIn) {
                    lastIn = s;
                    lastOut = styles.Apply(s, id);
                }
                return lastOut;
            });
    } else {
        stored = content->sheet.SetText(rect_, esc, NeedsSpacePreserve(text));
    }
    if (!stored) return book->Fail("Забагато тексту на аркуші");
    return true;
}

namespace {

bool ApplyChange(Book& book, Content& content, const CellRect& rect, const StyleChange& change) {
    if (Area(rect) > kMaxCellsPerCall) return book.Fail("Завеликий діапазон " + RectName(rect));
    const std::uint32_t id = content.styles.Intern(change);
    std::uint32_t lastIn = std::numeric_limits<std::uint32_t>::max(), lastOut = 0;
    content.sheet.MapStyles(rect, [&](std::uint32_t s) {
        if (s != lastIn) {
            lastIn = s;
            lastOut = content.styles.Apply(s, id);
        }
        return lastOut;
    });
    return true;
}

}  // namespace

bool Range::SetBorder(Border item, LineStyle style) {
    ZBR_RANGE_ENTER();
    const int side = static_cast<int>(item);
    if (side < 1 || side > 4) return book->Fail("Неправильний номер межі " + std::to_string(side));
    if (style != LineStyle::Continuous && style != LineStyle::None)
        return book->Fail("Непідтримуваний тип лінії " + std::to_string(static_cast<int>(style)));
    StyleChange ch;
    ch.kind = StyleChange::Kind::Border;
    ch.side = side;
    ch.line = style == LineStyle::Continuous;
    return ApplyChange(*book, *content, rect_, ch);
}

bool Range::SetHorizontalAlignment(HAlign align) {
    ZBR_RANGE_ENTER();
    StyleChange ch;
    ch.kind = StyleChange::Kind::HAlign;
    switch (align) {
        case HAlign::General: break;
        case HAlign::Left: ch.name = "left"; break;
        case HAlign::Center: ch.name = "center"; break;
        case HAlign::Right: ch.name = "right"; break;
        default: return book->Fail("Непідтримуване вирівнювання " + std::to_string(static_cast<int>(align)));
    }
    return ApplyChange(*book, *content, rect_, ch);
}

bool Range::SetVerticalAlignment(VAlign align) {
    ZBR_RANGE_ENTER();
    StyleChange ch;
    ch.kind = StyleChange::Kind::VAlign;
    switch (align) {
        case VAlign::Top: ch.name = "top"; break;
        case VAlign::Center: ch.name = "center"; break;
        case VAlign::Bottom: break;   // the default
        default: return book->Fail("Непідтримуване вирівнювання " + std::to_string(static_cast<int>(align)));
    }
    return ApplyChange(*book, *content, rect_, ch);
}

bool Range::SetWrapText(bool wrap) {
    ZBR_RANGE_ENTER();
    StyleChange ch;
    ch.kind = StyleChange::Kind::Wrap;
    ch.line = wrap;
    return ApplyChange(*book, *content, rect_, ch);
}

bool Range::SetFontBold(bool bold) {
    ZBR_RANGE_ENTER();
    StyleChange ch;
    ch.kind = StyleChange::Kind::FontBold;
    ch.line = bold;
    return ApplyChange(*book, *content, rect_, ch);
}

bool Range::SetNumberFormat(std::string_view code) {
    ZBR_RANGE_ENTER();
    bool ok = !code.empty() && code.size() <= 255 && IsValidUtf8(code);
    for (unsigned char ch : code)
        if (ch < 0x20) ok = false;
    if (!ok) return book->Fail("Неправильний формат числа \"" + std::string(code) + "\"");
    StyleChange ch;
    ch.kind = StyleChange::Kind::NumFmt;
    ch.name = std::string(code);
    return ApplyChange(*book, *content, rect_, ch);
}

bool Range::Merge() {
    ZBR_RANGE_ENTER();
    if (rect_.row1 == rect_.row2 && rect_.col1 == rect_.col2) return true;   // one cell: nothing to join
    if (!content->sheet.AddMerge(rect_))
        return book->Fail("Діапазон " + Address() + " перекриває вже об'єднані клітинки");
    return true;
}

bool Range::SetRowHeight(double points) {
    ZBR_RANGE_ENTER();
    if (!(points >= 0 && points <= 409))
        return book->Fail("Неправильна висота рядка " + NumberText(points));
    content->sheet.SetRowHeight(rect_.row1, rect_.row2, points);
    return true;
}

bool Range::SetFontName(std::string_view name) {
    ZBR_RANGE_ENTER();
    size_t chars = 0;
    bool ok = !name.empty() && IsValidUtf8(name);
    for (unsigned char ch : name) {
        if (ch < 0x20) ok = false;
        if ((ch & 0xC0) != 0x80) ++chars;
    }
    if (!ok || chars > 31)
        return book->Fail("Неправильна назва шрифту \"" + std::string(name) + "\"");
    StyleChange ch;
    ch.kind = StyleChange::Kind::FontName;
    ch.name = std::string(name);
    return ApplyChange(*book, *content, rect_, ch);
}

bool Range::SetFontSize(double points) {
    ZBR_RANGE_ENTER();
    if (!(points >= 1 && points <= 409))
        return book->Fail("Неправильний розмір шрифту " + NumberText(points));
    StyleChange ch;
    ch.kind = StyleChange::Kind::FontSize;
    ch.size = points;
    return ApplyChange(*book, *content, rect_, ch);
}

bool Range::SetInteriorColor(std::uint32_t color) {
    ZBR_RANGE_ENTER();
    if (color > 0xFFFFFF) return book->Fail("Неправильний колір " + std::to_string(color));
    StyleChange ch;
    ch.kind = StyleChange::Kind::Fill;
    // 0x00BBGGRR -> 0xRRGGBB
    ch.rgb = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    return ApplyChange(*book, *content, rect_, ch);
}

#undef ZBR_RANGE_ENTER

}  // namespace sheet
