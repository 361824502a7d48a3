// Reading and writing the XML parts of a workbook with pugixml: element
// names without their namespace prefix, the first child element of a name,
// and parts and nodes printed as text. Internal to src/sheet.
#pragma once
#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace sheet::xml {

// A name without its prefix ("x:row" -> "row").
std::string_view LocalName(std::string_view qualified);
std::string_view LocalName(const pugi::xml_node& n);

// The first child element with this local name (null when none).
pugi::xml_node Child(const pugi::xml_node& parent, std::string_view local);
// Every child element with this local name, in order.
std::vector<pugi::xml_node> Elements(const pugi::xml_node& parent, std::string_view local);

// Appends what pugixml writes to a string.
struct StringWriter : pugi::xml_writer {
    std::string* s;
    explicit StringWriter(std::string* t) : s(t) {}
    void write(const void* data, size_t size) override { s->append(static_cast<const char*>(data), size); }
};

// A node as raw XML (no indentation).
std::string NodeText(const pugi::xml_node& n);
// A whole part: the standalone UTF-8 declaration, then the document raw.
std::string PartText(const pugi::xml_document& doc);

}  // namespace sheet::xml
