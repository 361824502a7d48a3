// Windows-1251 and code page 866 <-> UTF-8, table-driven (never the host
// locale), and fixed-width byte fields in either code page.
//
// Inside the program every text is UTF-8. Bytes that cross a file, a record
// or the wire are Windows-1251; the controller keeps a few names in code
// page 866. Characters that the target code page cannot hold become '?'.
// Byte 0x98 is unassigned in Windows-1251 and decodes to U+FFFD.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class CodePage { Cp1251, Cp866 };

std::string Cp1251ToUtf8(std::string_view bytes);
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp866ToUtf8(std::string_view bytes);
std::string Utf8ToCp866(std::string_view utf8);

std::string ToUtf8(std::string_view bytes, CodePage cp);
std::string FromUtf8(std::string_view utf8, CodePage cp);

// One character: the Unicode code point of a byte, and the byte of a code
// point (-1 when the code page has no such character). In code page 866 the
// Ukrainian I and i are written as the Latin letters, as the controller
// stores them.
char32_t ByteToUnicode(uint8_t byte, CodePage cp);
int UnicodeToByte(char32_t ch, CodePage cp);

// Decodes UTF-8 into code points; a malformed sequence yields U+FFFD for
// each byte it spoils.
std::u32string DecodeUtf8(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t ch);

// Fills a fixed-width field of `width` bytes: the text in the code page,
// cut to the width in bytes, the rest filled with `pad` (a blank or 0).
// Returns false when the text had to be cut.
bool WriteField(void* field, std::size_t width, std::string_view utf8, uint8_t pad = ' ',
                CodePage cp = CodePage::Cp1251);

// Reads a fixed-width field: up to the first zero byte, trailing blanks
// (and zeros) removed when `trimRight`, converted to UTF-8.
std::string ReadField(const void* field, std::size_t width, CodePage cp = CodePage::Cp1251,
                      bool trimRight = true);

}  // namespace platform
