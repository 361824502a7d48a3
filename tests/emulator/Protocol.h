// Wire format of the controller's own request/reply protocol, seen from the
// controller's side.
//
// Request:  0xCC, address, total length (CRC included), command, data..., CRC lo, CRC hi
// Reply:    0x33, address, total length (CRC included), command | 0x80, data..., CRC lo, CRC hi
// Error:    0x33, address, 9, command (bit 7 clear), error code, command, table, CRC lo, CRC hi
//
// The CRC is CRC-16/MODBUS over every byte before it, stored low byte first.
// A request may be preceded by any number of 0xFF preamble bytes.
#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace emu {

constexpr uint8_t kRequestStart = 0xCC;
constexpr uint8_t kReplyStart = 0x33;
constexpr uint8_t kPreamble = 0xFF;
constexpr uint8_t kAnyAddress = 255;
constexpr int kMinFrame = 6;

// Builds a complete request frame (start, address, length, command, data, CRC).
std::vector<uint8_t> BuildRequest(uint8_t address, uint8_t command, const std::vector<uint8_t>& data);
// Builds a complete reply frame; `command` is put as given (the caller sets bit 7).
std::vector<uint8_t> BuildReply(uint8_t address, uint8_t command, const std::vector<uint8_t>& data);

// One frame as the parser cut it out of the byte stream.
struct ParsedFrame {
    std::vector<uint8_t> bytes;  // from the start byte to the last CRC byte (or as far as it came)
    int preambles = 0;           // 0xFF bytes seen since the previous frame
    int skipped = 0;             // other bytes dropped before the start byte
    bool complete = true;        // false: the line went quiet before the frame's length was reached
    bool crcOk = false;
    uint8_t address = 0, command = 0;
    std::vector<uint8_t> data;   // bytes between the command and the CRC
};

// Cuts request frames out of a byte stream. A frame starts at 0xCC; a length
// byte below 6 drops that start byte and the search goes on with the bytes
// after it. A frame that stops arriving for longer than the gap time is
// given back as incomplete.
class FrameParser {
public:
    using Clock = std::chrono::steady_clock;
    explicit FrameParser(std::chrono::milliseconds gap = std::chrono::milliseconds(200)) : gap_(gap) {}

    // Feeds one byte; returns a frame when this byte completed one.
    std::optional<ParsedFrame> Feed(uint8_t b, Clock::time_point at);
    // Returns an incomplete frame when the line has been quiet too long in the middle of one.
    std::optional<ParsedFrame> Poll(Clock::time_point now);
    void Reset();

private:
    ParsedFrame Finish(bool complete);
    std::chrono::milliseconds gap_;
    std::vector<uint8_t> buf_;
    int preambles_ = 0, skipped_ = 0;
    Clock::time_point last_{};
};

}  // namespace emu
