// Text in the controller's code pages: its names (table 5) are stored in code
// page 866 or in Windows-1251, as byte 12 of table 0 says.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace emu {

// UTF-8 to code page 866. Ukrainian І/і, which 866 lacks, become Latin I/i;
// anything else without a counterpart becomes '_'.
std::vector<uint8_t> Utf8To866(const std::string& utf8);
// UTF-8 to Windows-1251; characters without a counterpart become '?'.
std::vector<uint8_t> Utf8To1251(const std::string& utf8);
// Fixed-width field: the text cut to `width` bytes and padded with blanks.
std::vector<uint8_t> Field(std::vector<uint8_t> bytes, std::size_t width, uint8_t pad = ' ');

}  // namespace emu
