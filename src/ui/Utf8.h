// UTF-8 helpers: lengths and positions in characters (code points), which
// is how widths, carets and maximum lengths are counted on screen.
#pragma once
#include <string>
#include <string_view>

namespace ui::utf8 {

int Length(std::string_view s);                        // code points
std::size_t ByteOffset(std::string_view s, int chars);  // byte offset of character `chars` (clamped)
std::string Sub(std::string_view s, int from, int count = -1);
std::u32string Decode(std::string_view s);               // invalid bytes become U+FFFD
std::string Encode(char32_t c);
std::string Encode(std::u32string_view s);

}  // namespace ui::utf8
