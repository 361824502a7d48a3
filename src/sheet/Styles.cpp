#include "sheet/Styles.h"

#include "sheet/XmlNodes.h"
#include "sheet/XmlText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sheet {

namespace {

using xml::Child;
using xml::Elements;
using xml::LocalName;

void SetAttr(pugi::xml_node n, const char* name, const std::string& value) {
    pugi::xml_attribute a = n.attribute(name);
    if (!a) a = n.append_attribute(name);
    a.set_value(value.c_str());
}

// Order of the collections inside the style sheet.
const char* const kSheetOrder[] = {"numFmts", "fonts",  "fills",       "borders",
                                   "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                   "tableStyles",  "colors",  "extLst"};
// Order of the sides inside a border.
const char* const kBorderOrder[] = {"left", "start", "right", "end", "top",
                                    "bottom", "diagonal", "vertical", "horizontal"};

template <size_t N>
int OrderOf(const char* const (&order)[N], std::string_view local) {
    for (size_t i = 0; i < N; ++i)
        if (local == order[i]) return static_cast<int>(i);
    return -1;
}

// Inserts a child named prefix+local at its place in `order`.
template <size_t N>
pugi::xml_node InsertOrdered(pugi::xml_node parent, const std::string& prefix, const char* local,
                             const char* const (&order)[N]) {
    const int mine = OrderOf(order, local);
    const std::string name = prefix + local;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        const int o = OrderOf(order, LocalName(c));
        if (o > mine) return parent.insert_child_before(name.c_str(), c);
    }
    return parent.append_child(name.c_str());
}

std::string SizeText(double pt) { return NumberText(pt); }

}  // namespace

struct Styles::Impl {
    pugi::xml_document doc;
    std::string prefix;
    struct Collection {
        pugi::xml_node node;
        std::string item;   // element name of one entry ("font", "xf")
        std::vector<pugi::xml_node> items;
        std::unordered_map<std::string, std::uint32_t> index;
    };
    Collection fonts, fills, borders, xfs;

    // The id of the number format with `code`: a built-in one, one of the
    // workbook's own, or a new entry after them (ids from 164 are the
    // workbook's).
    std::uint32_t NumFmtId(const std::string& code, bool& changed) {
        if (code == "0") return 1;
        if (code == "0.00") return 2;
        if (code == "@") return 49;
        pugi::xml_node root = doc.document_element();
        std::uint32_t last = 163;
        pugi::xml_node list = Child(root, "numFmts");
        for (pugi::xml_node n : Elements(list, "numFmt")) {
            const std::uint32_t id = n.attribute("numFmtId").as_uint(0);
            if (code == n.attribute("formatCode").value()) return id;
            last = std::max(last, id);
        }
        if (!list) list = Ensure("numFmts");
        pugi::xml_node n = NewElement(list, "numFmt");
        n.append_attribute("numFmtId") = last + 1;
        n.append_attribute("formatCode") = code.c_str();
        SetAttr(list, "count", std::to_string(Elements(list, "numFmt").size()));
        changed = true;
        return last + 1;
    }

    void Index(Collection& c) {
        c.items = Elements(c.node, c.item);
        c.index.clear();
        for (size_t i = 0; i < c.items.size(); ++i) c.index.emplace(xml::NodeText(c.items[i]), static_cast<std::uint32_t>(i));
    }

    // Index of an entry equal to `n`, appending a copy when there is none.
    std::uint32_t Add(Collection& c, const pugi::xml_node& n, bool& changed) {
        std::string key = xml::NodeText(n);
        auto it = c.index.find(key);
        if (it != c.index.end()) return it->second;
        pugi::xml_node copy = c.node.append_copy(n);
        c.items.push_back(copy);
        const auto id = static_cast<std::uint32_t>(c.items.size() - 1);
        c.index.emplace(std::move(key), id);
        SetAttr(c.node, "count", std::to_string(c.items.size()));
        changed = true;
        return id;
    }

    pugi::xml_node Ensure(const char* local) {
        pugi::xml_node root = doc.document_element();
        pugi::xml_node n = Child(root, local);
        if (!n) n = InsertOrdered(root, prefix, local, kSheetOrder);
        return n;
    }

    void AppendXml(pugi::xml_node parent, const char* xml) {
        pugi::xml_document frag;
        frag.load_string(xml);
        for (pugi::xml_node c = frag.first_child(); c; c = c.next_sibling()) {
            pugi::xml_node copy = parent.append_copy(c);
            if (!prefix.empty()) Reprefix(copy);
        }
    }
    void Reprefix(pugi::xml_node n) {
        if (n.type() != pugi::node_element) return;
        n.set_name((prefix + std::string(n.name())).c_str());
        for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) Reprefix(c);
    }
    pugi::xml_node NewElement(pugi::xml_node parent, const char* local) {
        return parent.append_child((prefix + local).c_str());
    }
};

Styles::Styles() : d_(std::make_unique<Impl>()) {}
Styles::~Styles() = default;

std::string Styles::DefaultXml() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<fonts count=\"1\"><font><sz val=\"11\"/><color rgb=\"FF000000\"/><name val=\"Calibri\"/>"
           "<family val=\"2\"/><charset val=\"204\"/></font></fonts>"
           "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
           "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
           "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
           "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
           "<dxfs count=\"0\"/><tableStyles count=\"0\"/>"
           "</styleSheet>";
}

bool Styles::Load(std::string_view xml, std::string& err) {
    Impl& d = *d_;
    const pugi::xml_parse_result r =
        d.doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!r) {
        err = std::string("стилі: ") + r.description();
        return false;
    }
    pugi::xml_node root = d.doc.document_element();
    if (!root || LocalName(root) != "styleSheet") {
        err = "стилі: немає styleSheet";
        return false;
    }
    std::string_view rn = root.name();
    const size_t colon = rn.find(':');
    d.prefix = colon == std::string_view::npos ? std::string() : std::string(rn.substr(0, colon + 1));

    // Every collection the program may add to must exist with its first
    // entry; a workbook lacking one gets the usual default (this only
    // reaches the file when a format is actually added).
    d.fonts.node = d.Ensure("fonts");
    d.fonts.item = "font";
    if (!Child(d.fonts.node, "font"))
        d.AppendXml(d.fonts.node, "<font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>");
    d.fills.node = d.Ensure("fills");
    d.fills.item = "fill";
    if (!Child(d.fills.node, "fill"))
        d.AppendXml(d.fills.node, "<fill><patternFill patternType=\"none\"/></fill>"
                                  "<fill><patternFill patternType=\"gray125\"/></fill>");
    d.borders.node = d.Ensure("borders");
    d.borders.item = "border";
    if (!Child(d.borders.node, "border"))
        d.AppendXml(d.borders.node, "<border><left/><right/><top/><bottom/><diagonal/></border>");
    pugi::xml_node styleXfs = d.Ensure("cellStyleXfs");
    if (!Child(styleXfs, "xf"))
        d.AppendXml(styleXfs, "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>");
    d.xfs.node = d.Ensure("cellXfs");
    d.xfs.item = "xf";
    if (!Child(d.xfs.node, "xf"))
        d.AppendXml(d.xfs.node, "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>");
    d.Index(d.fonts);
    d.Index(d.fills);
    d.Index(d.borders);
    d.Index(d.xfs);
    changes_.clear();
    changeIds_.clear();
    cache_.clear();
    changed_ = false;
    return true;
}

std::uint32_t Styles::Intern(const StyleChange& c) {
    std::string key;
    switch (c.kind) {
        case StyleChange::Kind::FontName: key = "N" + c.name; break;
        case StyleChange::Kind::FontSize: key = "S" + NumberText(c.size); break;
        case StyleChange::Kind::Fill: key = "F" + std::to_string(c.rgb); break;
        case StyleChange::Kind::Border:
            key = "B" + std::to_string(c.side) + (c.line ? "1" : "0");
            break;
        case StyleChange::Kind::FontBold: key = c.line ? "b1" : "b0"; break;
        case StyleChange::Kind::HAlign: key = "H" + c.name; break;
        case StyleChange::Kind::VAlign: key = "V" + c.name; break;
        case StyleChange::Kind::Wrap: key = c.line ? "W1" : "W0"; break;
        case StyleChange::Kind::NumFmt: key = "#" + c.name; break;
    }
    auto it = changeIds_.find(key);
    if (it != changeIds_.end()) return it->second;
    changes_.push_back(c);
    const auto id = static_cast<std::uint32_t>(changes_.size() - 1);
    changeIds_.emplace(std::move(key), id);
    return id;
}

std::uint32_t Styles::Apply(std::uint32_t xf, std::uint32_t id) {
    const std::uint64_t key = (std::uint64_t{xf} << 32) | id;
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;

    Impl& d = *d_;
    const StyleChange& c = changes_.at(id);
    const std::uint32_t base = xf < d.xfs.items.size() ? xf : 0;
    pugi::xml_document tmp;
    pugi::xml_node nx = tmp.append_copy(d.xfs.items[base]);

    auto refOf = [&](const char* attr, const Impl::Collection& col) {
        std::uint32_t v = nx.attribute(attr).as_uint(0);
        return v < col.items.size() ? v : 0u;
    };

    switch (c.kind) {
        case StyleChange::Kind::FontName:
        case StyleChange::Kind::FontSize:
        case StyleChange::Kind::FontBold: {
            pugi::xml_document t2;
            pugi::xml_node nf = t2.append_copy(d.fonts.items[refOf("fontId", d.fonts)]);
            if (c.kind == StyleChange::Kind::FontName) {
                // A theme font (scheme) would override the name; the family
                // belongs to the old name.
                while (pugi::xml_node s = Child(nf, "scheme")) nf.remove_child(s);
                while (pugi::xml_node s = Child(nf, "family")) nf.remove_child(s);
                pugi::xml_node n = Child(nf, "name");
                if (!n) n = d.NewElement(nf, "name");
                SetAttr(n, "val", c.name);
            } else if (c.kind == StyleChange::Kind::FontBold) {
                // <b/> is the first property of a font.
                while (pugi::xml_node b = Child(nf, "b")) nf.remove_child(b);
                if (c.line) nf.prepend_child((d.prefix + "b").c_str());
            } else {
                pugi::xml_node n = Child(nf, "sz");
                if (!n) n = nf.prepend_child((d.prefix + "sz").c_str());
                SetAttr(n, "val", SizeText(c.size));
            }
            const std::uint32_t fid = d.Add(d.fonts, nf, changed_);
            SetAttr(nx, "fontId", std::to_string(fid));
            SetAttr(nx, "applyFont", "1");
            break;
        }
        case StyleChange::Kind::Fill: {
            char rgb[16];
            std::snprintf(rgb, sizeof rgb, "FF%06X", static_cast<unsigned>(c.rgb & 0xFFFFFF));
            pugi::xml_document t2;
            pugi::xml_node nf = t2.append_child((d.prefix + "fill").c_str());
            pugi::xml_node pf = d.NewElement(nf, "patternFill");
            pf.append_attribute("patternType") = "solid";
            d.NewElement(pf, "fgColor").append_attribute("rgb") = rgb;
            d.NewElement(pf, "bgColor").append_attribute("indexed") = "64";
            const std::uint32_t fid = d.Add(d.fills, nf, changed_);
            SetAttr(nx, "fillId", std::to_string(fid));
            SetAttr(nx, "applyFill", "1");
            break;
        }
        case StyleChange::Kind::Border: {
            static const char* const kSide[] = {"", "left", "right", "top", "bottom"};
            const char* side = kSide[c.side >= 1 && c.side <= 4 ? c.side : 1];
            pugi::xml_document t2;
            pugi::xml_node nb = t2.append_copy(d.borders.items[refOf("borderId", d.borders)]);
            pugi::xml_node s = Child(nb, side);
            if (!s) s = InsertOrdered(nb, d.prefix, side, kBorderOrder);
            while (pugi::xml_node ch = s.first_child()) s.remove_child(ch);
            s.remove_attribute("style");
            if (c.line) {
                s.append_attribute("style") = "thin";
                d.NewElement(s, "color").append_attribute("indexed") = "64";
            }
            const std::uint32_t bid = d.Add(d.borders, nb, changed_);
            SetAttr(nx, "borderId", std::to_string(bid));
            SetAttr(nx, "applyBorder", "1");
            break;
        }
        case StyleChange::Kind::HAlign:
        case StyleChange::Kind::VAlign:
        case StyleChange::Kind::Wrap: {
            const char* attr = c.kind == StyleChange::Kind::HAlign   ? "horizontal"
                               : c.kind == StyleChange::Kind::VAlign ? "vertical"
                                                                     : "wrapText";
            const std::string value = c.kind == StyleChange::Kind::Wrap ? (c.line ? "1" : "") : c.name;
            pugi::xml_node a = Child(nx, "alignment");
            if (!value.empty()) {
                if (!a) a = nx.prepend_child((d.prefix + "alignment").c_str());
                SetAttr(a, attr, value);
            } else if (a) {
                a.remove_attribute(attr);
                if (!a.first_attribute() && !a.first_child()) nx.remove_child(a);
            }
            SetAttr(nx, "applyAlignment", "1");
            break;
        }
        case StyleChange::Kind::NumFmt:
            SetAttr(nx, "numFmtId", std::to_string(d.NumFmtId(c.name, changed_)));
            SetAttr(nx, "applyNumberFormat", "1");
            break;
    }
    const std::uint32_t result = d.Add(d.xfs, nx, changed_);
    cache_.emplace(key, result);
    return result;
}

bool Styles::IsTextFormat(std::uint32_t xf) const {
    const Impl& d = *d_;
    if (xf >= d.xfs.items.size()) return false;
    const std::uint32_t id = d.xfs.items[xf].attribute("numFmtId").as_uint(0);
    if (id == 49) return true;
    if (id < 164) return false;
    for (pugi::xml_node n : Elements(Child(d.doc.document_element(), "numFmts"), "numFmt"))
        if (n.attribute("numFmtId").as_uint(0) == id) return std::string_view(n.attribute("formatCode").value()) == "@";
    return false;
}

std::uint32_t Styles::Count() const { return static_cast<std::uint32_t>(d_->xfs.items.size()); }

std::string Styles::Serialize() const { return xml::PartText(d_->doc); }

}  // namespace sheet
