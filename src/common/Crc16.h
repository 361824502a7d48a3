// CRC-16/MODBUS as the controller computes it over frames and stored records:
// initial value 0xFFFF, reflected polynomial 0xA001, no final xor. The CRC is
// stored low byte first, so the CRC of a frame or record including its own
// stored CRC is 0.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

inline bool ByteParityOdd(uint8_t b) {
    b ^= b >> 4;
    b ^= b >> 2;
    b ^= b >> 1;
    return (b & 1) != 0;
}

namespace crc16_detail {
// The eight shift steps of one byte, done at compile time for every value of
// the CRC's low byte xor the data byte.
constexpr std::array<uint16_t, 256> MakeTable() {
    std::array<uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
        t[i] = crc;
    }
    return t;
}
inline constexpr std::array<uint16_t, 256> kTable = MakeTable();

constexpr uint16_t Step(uint16_t crc, uint8_t byte) {
    return static_cast<uint16_t>((crc >> 8) ^ kTable[(crc ^ byte) & 0xFF]);
}
}  // namespace crc16_detail

// Adds one byte to a CRC kept as its two bytes: the CRC's low byte xor the
// data byte decides the update.
inline void Crc16Step(uint8_t byte, uint8_t& hi, uint8_t& lo) {
    const uint16_t crc = crc16_detail::Step(static_cast<uint16_t>((hi << 8) | lo), byte);
    hi = static_cast<uint8_t>(crc >> 8);
    lo = static_cast<uint8_t>(crc & 0xFF);
}

inline uint16_t Crc16(const uint8_t* data, std::size_t length) {
    uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) crc = crc16_detail::Step(crc, data[i]);
    return crc;
}

inline uint16_t Crc16(const void* data, std::size_t length) {
    return Crc16(static_cast<const uint8_t*>(data), length);
}

// Appends the CRC of buf[0..length) at buf[length], low byte first.
inline void Crc16Append(uint8_t* buf, std::size_t length) {
    uint16_t c = Crc16(buf, length);
    buf[length] = static_cast<uint8_t>(c & 0xFF);
    buf[length + 1] = static_cast<uint8_t>(c >> 8);
}
