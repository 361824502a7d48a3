// Windows-1251 and code page 866 <-> UTF-8, table-driven (never the host
// locale), and fixed-width byte fields in either code page.
//
// Inside the program every text is UTF-8. Bytes that cross a file, a record
// or the wire are Windows-1251; the controller keeps a few names in code
// page 866. Code page 866 is always reached through Windows-1251 and the two
// translation tables below, so a name reads and writes the same whichever
// way it goes. Characters outside Windows-1251 become '?'; characters of
// Windows-1251 without a counterpart in 866 become '_' (or a look-alike).
// Byte 0x98 is unassigned in Windows-1251 and decodes to U+FFFD.
#pragma once
#include <array>
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

// Translation tables between Windows-1251 and code page 866 (characters
// without a counterpart become a close look-alike or '_'), and the in-place
// translation of n bytes through them.
extern const std::array<uint8_t, 256> Cp1251To866Map;
extern const std::array<uint8_t, 256> Cp866To1251Map;
void CodePage1251To866(uint8_t* text, std::size_t n);
void CodePage866To1251(uint8_t* text, std::size_t n);

// One character: the Unicode code point of a byte, and the byte of a code
// point (-1 when Windows-1251 has no such character). In code page 866 the
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

// The text without the blanks (' ') at its ends: the padding of a
// fixed-width name field.
std::string_view TrimBlanks(std::string_view s);
// The text without blanks, tabs, line ends and other control characters
// (codes up to 0x20, and 0x7F) at its ends.
std::string_view TrimSpace(std::string_view s);

}  // namespace platform
