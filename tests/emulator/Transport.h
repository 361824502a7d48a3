// Byte transports the emulated controller is reached over. A Link moves raw
// bytes; the session above it knows nothing of where they come from, so a
// modem in front of the line can later be another Link wrapped around one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace emu {

class Link {
public:
    virtual ~Link() = default;
    // Waits up to timeoutMs for bytes. Returns the number read, 0 when none
    // came, -1 when the other side is gone for good.
    virtual int Read(uint8_t* buf, int cap, int timeoutMs) = 0;
    // Writes all n bytes; false when the other side is gone.
    virtual bool Write(const uint8_t* p, size_t n) = 0;
};

// The master side of a pseudo-terminal. The emulator keeps the slave side
// open itself (in raw mode), so the program may open and close the device as
// often as it likes without the line hanging up.
class PtyLink : public Link {
public:
    PtyLink();  // throws std::runtime_error
    ~PtyLink() override;
    const std::string& SlavePath() const { return slavePath_; }
    // The line speed the device is set to now (by whoever opened it last);
    // 0 when it cannot be read.
    uint32_t LineSpeed() const;
    int Read(uint8_t* buf, int cap, int timeoutMs) override;
    bool Write(const uint8_t* p, size_t n) override;

private:
    int master_ = -1, slave_ = -1;
    std::string slavePath_;
};

// A connected socket (or any stream descriptor); owns and closes it.
class FdLink : public Link {
public:
    explicit FdLink(int fd) : fd_(fd) {}
    ~FdLink() override;
    int Read(uint8_t* buf, int cap, int timeoutMs) override;
    bool Write(const uint8_t* p, size_t n) override;

private:
    int fd_;
};

// A listening TCP socket.
class TcpListener {
public:
    TcpListener(const std::string& host, int port);  // throws std::runtime_error
    ~TcpListener();
    int Port() const { return port_; }
    // A new connection within timeoutMs, or -1.
    int Accept(int timeoutMs);
    bool Pending() { return Poll(0); }

private:
    bool Poll(int timeoutMs);
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace emu
