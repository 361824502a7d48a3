// Text as it goes into the XML parts of a workbook.
#pragma once
#include <string>
#include <string_view>

namespace sheet {

// Appends a cell text as XML character data. The text is UTF-8; bytes that
// do not form valid UTF-8 become U+FFFD. Characters XML cannot carry (control
// characters other than tab, line feed and carriage return, U+FFFE, U+FFFF)
// are written in the workbook's own escape form "_xHHHH_", and a literal
// "_xHHHH_" in the text gets its underscore escaped, so that a reader gets
// back exactly the text. Returns the number of characters (code points).
size_t AppendCellText(std::string& out, std::string_view utf8);

// True when the bytes are valid UTF-8.
bool IsValidUtf8(std::string_view text);

// True when a text must be marked xml:space="preserve" to keep its blanks
// (leading or trailing white space, tabs or line breaks).
bool NeedsSpacePreserve(std::string_view text);

// Appends an attribute value with &, <, > and " escaped and tabs/line breaks
// as character references.
void AppendAttrValue(std::string& out, std::string_view value);

// Shortest text of a number that reads back as the same value ("9", "9.7109375").
std::string NumberText(double v);

// Appends an unsigned integer in decimal.
void AppendUInt(std::string& out, unsigned long long v);

}  // namespace sheet
