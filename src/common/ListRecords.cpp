#include "common/ListRecords.h"

#include "platform/Codepage.h"

#include <cstring>

std::string_view FieldBytes(const char* field, std::size_t width) {
    const void* nul = std::memchr(field, 0, width);
    std::size_t len = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : width;
    return std::string_view(field, len);
}

std::string FieldToUtf8(const char* field, std::size_t width) {
    return platform::Cp1251ToUtf8(FieldBytes(field, width));
}

void BytesToField(char* field, std::size_t width, std::string_view bytes) {
    if (width == 0) return;
    std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    std::size_t len = bytes.size() < width - 1 ? bytes.size() : width - 1;
    std::memcpy(field, bytes.data(), len);
    std::memset(field + len, 0, width - len);
}

void Utf8ToField(char* field, std::size_t width, std::string_view utf8) {
    BytesToField(field, width, platform::Utf8ToCp1251(utf8));
}

std::string IpToText(uint32_t ip) {
    return std::to_string(IpOctet(ip, 0)) + "." + std::to_string(IpOctet(ip, 1)) + "." +
           std::to_string(IpOctet(ip, 2)) + "." + std::to_string(IpOctet(ip, 3));
}
