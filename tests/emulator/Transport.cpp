#include "emulator/Transport.h"

#include "emulator/PtySpeed.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace emu {

namespace {

std::runtime_error SysError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

int PollIn(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    int r;
    do r = ::poll(&p, 1, timeoutMs);
    while (r < 0 && errno == EINTR);
    if (r <= 0) return r;
    return (p.revents & (POLLIN | POLLHUP | POLLERR)) ? 1 : 0;
}

// Writes everything to a non-blocking descriptor, waiting while it is full
// (up to a second in all).
bool WriteAll(int fd, const uint8_t* p, size_t n, bool socket) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (n > 0) {
        ssize_t w = socket ? ::send(fd, p, n, MSG_NOSIGNAL) : ::write(fd, p, n);
        if (w > 0) {
            p += w;
            n -= static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            pollfd pf{fd, POLLOUT, 0};
            ::poll(&pf, 1, 10);
            continue;
        }
        return false;
    }
    return true;
}

}  // namespace

// ---- pseudo-terminal ----

PtyLink::PtyLink() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) throw SysError("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        ::close(master_);
        throw SysError("grantpt/unlockpt");
    }
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        ::close(master_);
        throw SysError("ptsname");
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        ::close(master_);
        throw SysError("open " + slavePath_);
    }
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyLink::~PtyLink() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

int PtyLink::Read(uint8_t* buf, int cap, int timeoutMs) {
    if (PollIn(master_, timeoutMs) <= 0) return 0;
    ssize_t n = ::read(master_, buf, static_cast<size_t>(cap));
    if (n > 0) return static_cast<int>(n);
    // EIO while no slave is open cannot happen as we hold one; treat any
    // error as a quiet line and avoid spinning on it.
    if (n < 0 && errno != EAGAIN && errno != EINTR) ::poll(nullptr, 0, timeoutMs);
    return 0;
}

bool PtyLink::Write(const uint8_t* p, size_t n) { return WriteAll(master_, p, n, false); }

uint32_t PtyLink::LineSpeed() const { return TerminalSpeed(slave_); }

// ---- socket ----

FdLink::~FdLink() {
    if (fd_ >= 0) ::close(fd_);
}

int FdLink::Read(uint8_t* buf, int cap, int timeoutMs) {
    if (PollIn(fd_, timeoutMs) <= 0) return 0;
    ssize_t n = ::recv(fd_, buf, static_cast<size_t>(cap), 0);
    if (n > 0) return static_cast<int>(n);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    return -1;  // closed or failed
}

bool FdLink::Write(const uint8_t* p, size_t n) { return WriteAll(fd_, p, n, true); }

TcpListener::TcpListener(const std::string& host, int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw SysError("socket");
    int one = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &a.sin_addr) != 1) {
        ::close(fd_);
        throw std::runtime_error("bad IPv4 address: " + host);
    }
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 4) != 0) {
        auto e = SysError("bind/listen " + host + ":" + std::to_string(port));
        ::close(fd_);
        throw e;
    }
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
}

TcpListener::~TcpListener() {
    if (fd_ >= 0) ::close(fd_);
}

bool TcpListener::Poll(int timeoutMs) { return PollIn(fd_, timeoutMs) > 0; }

int TcpListener::Accept(int timeoutMs) {
    if (!Poll(timeoutMs)) return -1;
    int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (c < 0) return -1;
    int one = 1;
    ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return c;
}

}  // namespace emu
