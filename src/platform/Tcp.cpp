#include "platform/Tcp.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/Clock.h"
#include "platform/MessagePump.h"
#include "platform/Poll.h"

namespace platform {

bool InitWinsock() { return true; }

bool ParseIpAddress(const char* text, uint32_t& address) {
    if (text == nullptr) return false;
    const in_addr_t a = inet_addr(text);
    if (a == INADDR_NONE && std::strcmp(text, "255.255.255.255") != 0) return false;
    address = a;
    return true;
}

bool SetTcpAddress(const char* host, const char* port, sockaddr_in& address, const char* protocol,
                   std::string* error) {
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    if (host == nullptr || *host == '\0') {
        address.sin_addr.s_addr = htonl(INADDR_ANY);
    } else {
        uint32_t a = 0;
        if (ParseIpAddress(host, a)) {
            address.sin_addr.s_addr = a;
        } else {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* res = nullptr;
            if (getaddrinfo(host, nullptr, &hints, &res) != 0 || res == nullptr) {
                if (error) *error = std::string("невідомий хост: ") + host;
                return false;
            }
            address.sin_addr = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr;
            freeaddrinfo(res);
        }
    }
    const char* p = port ? port : "";
    char* end = nullptr;
    errno = 0;
    long n = *p ? std::strtol(p, &end, 0) : 0;
    if (*p && end && *end == '\0' && errno == 0 && n >= 0 && n <= 0xFFFF) {
        address.sin_port = htons(static_cast<uint16_t>(n));
        return true;
    }
    std::string proto = protocol ? protocol : "tcp";
    for (char& c : proto) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    servent* s = *p ? getservbyname(p, proto.c_str()) : nullptr;
    if (s == nullptr) {
        if (error) *error = std::string("невідомий сервіс: ") + p;
        return false;
    }
    address.sin_port = static_cast<in_port_t>(s->s_port);
    return true;
}

int TcpSocket() {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) return kNoSocket;
    int one = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return s;
}

int TcpConnectStart(int sock, const sockaddr_in& address) {
    if (sock < 0) return EBADF;
    int flags = fcntl(sock, F_GETFL);
    if (flags >= 0) fcntl(sock, F_SETFL, flags | O_NONBLOCK);
    if (connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return 0;
    return errno == EINPROGRESS || errno == EINTR ? EINPROGRESS : errno;
}

int TcpConnectPoll(int sock, int waitMs) {
    int r = WaitWritable(sock, MsToTicks(waitMs < 0 ? 0 : waitMs));
    if (r == 0) return 0;
    if (r < 0) return -1;
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(sock, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return -1;
    if (err != 0) {
        errno = err;
        return -1;
    }
    return 1;
}

int TcpConnect(int sock, const sockaddr_in& address, int timeoutMs) {
    int r = TcpConnectStart(sock, address);
    if (r != EINPROGRESS) return r;
    const int64_t deadline = PerfCounter() + MsToTicks(timeoutMs);
    for (;;) {
        const int64_t left = deadline - PerfCounter();
        if (left <= 0) return ETIMEDOUT;
        const int slice = static_cast<int>(left / MsToTicks(1)) < kWaitSliceMs
                              ? static_cast<int>(left / MsToTicks(1)) + 1
                              : kWaitSliceMs;
        int p = TcpConnectPoll(sock, slice);
        if (p == 1) return 0;
        if (p < 0) return errno ? errno : ECONNREFUSED;
        PumpMessages();
    }
}

ssize_t TcpSend(int sock, const void* data, std::size_t size, int timeoutMs) {
    if (sock < 0) return -1;
    const auto* p = static_cast<const uint8_t*>(data);
    const int64_t deadline = PerfCounter() + MsToTicks(timeoutMs);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = send(sock, p + done, size - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) break;
        const int64_t left = deadline - PerfCounter();
        if (left <= 0) break;
        if (WaitWritable(sock, left < MsToTicks(kWaitSliceMs) ? left : MsToTicks(kWaitSliceMs)) < 0) break;
    }
    if (done == 0 && size > 0) return -1;
    return static_cast<ssize_t>(done);
}

int TcpBytesAvailable(int sock) {
    int n = 0;
    if (sock < 0 || ioctl(sock, FIONREAD, &n) != 0) return -1;
    return n;
}

ssize_t TcpRecv(int sock, void* buf, std::size_t size) {
    if (sock < 0) return -1;
    if (size == 0) return 0;
    ssize_t n = recv(sock, buf, size, MSG_DONTWAIT);
    if (n > 0) return n;
    if (n == 0) return -2;
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
}

int TcpWaitReadable(int sock, int64_t ns) { return WaitReadable(sock, ns); }

void TcpClose(int sock) {
    if (sock >= 0) close(sock);
}

std::string IpToText(uint32_t address) {
    char buf[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = address;
    inet_ntop(AF_INET, &a, buf, sizeof buf);
    return buf;
}

}  // namespace platform
