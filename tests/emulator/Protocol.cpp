#include "emulator/Protocol.h"

#include "common/Crc16.h"

namespace emu {

namespace {
std::vector<uint8_t> Build(uint8_t start, uint8_t address, uint8_t command, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> f;
    const size_t len = data.size() + 6;
    f.reserve(len);
    f.push_back(start);
    f.push_back(address);
    f.push_back(static_cast<uint8_t>(len > 255 ? 255 : len));
    f.push_back(command);
    f.insert(f.end(), data.begin(), data.end());
    f.resize(len);
    Crc16Append(f.data(), len - 2);
    return f;
}
}  // namespace

std::vector<uint8_t> BuildRequest(uint8_t address, uint8_t command, const std::vector<uint8_t>& data) {
    return Build(kRequestStart, address, command, data);
}

std::vector<uint8_t> BuildReply(uint8_t address, uint8_t command, const std::vector<uint8_t>& data) {
    return Build(kReplyStart, address, command, data);
}

void FrameParser::Reset() {
    buf_.clear();
    preambles_ = skipped_ = 0;
}

ParsedFrame FrameParser::Finish(bool complete) {
    ParsedFrame f;
    f.bytes = std::move(buf_);
    buf_.clear();
    f.preambles = preambles_;
    f.skipped = skipped_;
    preambles_ = skipped_ = 0;
    f.complete = complete;
    if (f.bytes.size() > 1) f.address = f.bytes[1];
    if (f.bytes.size() > 3) f.command = f.bytes[3];
    if (complete) {
        f.crcOk = Crc16(f.bytes.data(), f.bytes.size()) == 0;
        f.data.assign(f.bytes.begin() + 4, f.bytes.end() - 2);
    } else if (f.bytes.size() > 4) {
        f.data.assign(f.bytes.begin() + 4, f.bytes.end());
    }
    return f;
}

std::optional<ParsedFrame> FrameParser::Feed(uint8_t b, Clock::time_point at) {
    std::optional<ParsedFrame> out;
    // A frame broken off by a long pause ends before this byte.
    if (!buf_.empty() && at - last_ > gap_) out = Finish(false);
    last_ = at;
    if (buf_.empty()) {
        if (b == kRequestStart) buf_.push_back(b);
        else if (b == kPreamble) ++preambles_;
        else ++skipped_;
        return out;
    }
    buf_.push_back(b);
    if (buf_.size() == 3 && b < kMinFrame) {
        // Not a frame: drop the start byte and look at the rest again.
        std::vector<uint8_t> rest(buf_.begin() + 1, buf_.end());
        buf_.clear();
        ++skipped_;
        for (uint8_t r : rest) {
            auto f = Feed(r, at);
            if (f) out = std::move(f);
        }
        return out;
    }
    if (buf_.size() >= 3 && buf_.size() >= buf_[2]) return Finish(true);
    return out;
}

std::optional<ParsedFrame> FrameParser::Poll(Clock::time_point now) {
    if (!buf_.empty() && now - last_ > gap_) return Finish(false);
    return std::nullopt;
}

}  // namespace emu
