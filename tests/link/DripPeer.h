// A line that is never quiet, for the link's tests and benchmark: a peer on
// a pseudo-terminal or loopback TCP that drips noise and answers table reads
// only when told to.
#pragma once
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
// with a reply that echoes the request (four bytes a row).
class DripPeer {
public:
    std::atomic<int> dripMs{50};
    std::atomic<bool> answer{false};

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
                if (!answer || req.size() != 10 || req[3] != 1 || Crc16(req.data(), req.size()) != 0) continue;
                std::vector<uint8_t> rep = {0x33, req[1], 0, 0x81, 0, req[5], req[6], req[7]};
                rep.insert(rep.end(), std::size_t(req[7]) * 4, 0xA5);
                rep.resize(rep.size() + 2);
                rep[2] = uint8_t(rep.size());
                Crc16Append(rep.data(), rep.size() - 2);
                link.Write(rep.data(), rep.size());
            }
            const int drip = dripMs;
            if (drip > 0 && Clock::now() >= next) {
                const uint8_t noise = 0x5A;
                link.Write(&noise, 1);
                next = Clock::now() + std::chrono::milliseconds(drip);
            }
        }
    }

    std::unique_ptr<emu::PtyLink> pty_;
    std::unique_ptr<emu::TcpListener> listener_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

}  // namespace linktest
