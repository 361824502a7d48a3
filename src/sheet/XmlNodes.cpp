#include "sheet/XmlNodes.h"

namespace sheet::xml {

std::string_view LocalName(std::string_view qualified) {
    const size_t c = qualified.find(':');
    return c == std::string_view::npos ? qualified : qualified.substr(c + 1);
}

std::string_view LocalName(const pugi::xml_node& n) { return LocalName(std::string_view(n.name())); }

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view local) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && LocalName(c) == local) return c;
    return {};
}

std::vector<pugi::xml_node> Elements(const pugi::xml_node& parent, std::string_view local) {
    std::vector<pugi::xml_node> v;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && LocalName(c) == local) v.push_back(c);
    return v;
}

std::string NodeText(const pugi::xml_node& n) {
    std::string s;
    StringWriter w(&s);
    n.print(w, "", pugi::format_raw, pugi::encoding_utf8);
    return s;
}

std::string PartText(const pugi::xml_document& doc) {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    StringWriter w(&s);
    doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return s;
}

}  // namespace sheet::xml
