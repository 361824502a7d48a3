// A line that is never quiet, for the link's tests and benchmark: a peer on
// a pseudo-terminal or loopback TCP that drips noise and answers table reads
// only when told to.
#pragma once
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "common/Crc16.h"
#include "emulator/Transport.h"

namespace linktest {

// A line that is never quiet: a peer that sends a noise byte (never 0x33)
// every `dripMs` and, once `answer` is set, answers each table read at once
// with a reply that echoes the request (four bytes a row). With `frames`
// set, what it drips from the first request on are frames that look like a
// reply to it (0x33, the address asked, length `frameLength`), one after the
// other, whose CRC never fits.
class DripPeer {
public:
    std::atomic<int> dripMs{50};
    std::atomic<bool> answer{false};
    std::atomic<bool> frames{false};
    std::atomic<int> frameLength{255};

    ~DripPeer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    // The pseudo-terminal, linked as `linkPath`.
    void StartPty(const std::filesystem::path& linkPath) {
        pty_ = std::make_unique<emu::PtyLink>();
        std::filesystem::create_directories(linkPath.parent_path());
        std::filesystem::create_symlink(pty_->SlavePath(), linkPath);
        thread_ = std::thread([this] { Serve(*pty_); });
    }
    // Loopback TCP; the port.
    int StartTcp() {
        listener_ = std::make_unique<emu::TcpListener>("127.0.0.1", 0);
        thread_ = std::thread([this] {
            while (!stop_) {
                const int fd = listener_->Accept(20);
                if (fd < 0) continue;
                emu::FdLink link(fd);
                Serve(link);
            }
        });
        return listener_->Port();
    }

private:
    void Serve(emu::Link& link) {
        using Clock = std::chrono::steady_clock;
        auto next = Clock::now();
        std::vector<uint8_t> in;
        uint8_t buf[512];
        while (!stop_) {
            const int n = link.Read(buf, sizeof buf, 5);
            if (n < 0) return;
            in.insert(in.end(), buf, buf + n);
            while (!in.empty()) {
                if (in[0] != 0xCC) {
                    in.erase(in.begin());
                    continue;
                }
                if (in.size() < 3 || in.size() < in[2]) break;
                const std::vector<uint8_t> req(in.begin(), in.begin() + in[2]);
                in.erase(in.begin(), in.begin() + in[2]);
                if (!asked_) {
                    asked_ = true;
                    address_ = req[1];
                    next = Clock::now();
                }
                if (!answer || req.size() != 10 || req[3] != 1 || Crc16(req.data(), req.size()) != 0) continue;
                std::vector<uint8_t> rep = {0x33, req[1], 0, 0x81, 0, req[5], req[6], req[7]};
                rep.insert(rep.end(), std::size_t(req[7]) * 4, 0xA5);
                rep.resize(rep.size() + 2);
                rep[2] = uint8_t(rep.size());
                Crc16Append(rep.data(), rep.size() - 2);
                link.Write(rep.data(), rep.size());
            }
            const int drip = dripMs;
            const bool asFrames = frames;
            if (drip > 0 && (!asFrames || asked_) && Clock::now() >= next) {
                const uint8_t b = asFrames ? FrameByte() : 0x5A;
                link.Write(&b, 1);
                next = Clock::now() + std::chrono::milliseconds(drip);
            }
        }
    }

    // The next byte of the frames dripped: start, address, length, then
    // filler that never holds a start byte; the last two bytes break the CRC.
    uint8_t FrameByte() {
        const int length = std::clamp(int(frameLength), 6, 255);
        const int at = framePos_ % length;
        ++framePos_;
        if (at == 0) return 0x33;
        if (at == 1) return address_;
        if (at == 2) return uint8_t(length);
        return 0x5A;
    }

    bool asked_ = false;
    uint8_t address_ = 0;
    int framePos_ = 0;
    std::unique_ptr<emu::PtyLink> pty_;
    std::unique_ptr<emu::TcpListener> listener_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

}  // namespace linktest
