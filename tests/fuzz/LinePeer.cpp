#include "fuzz/LinePeer.h"

#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Crc16.h"
#include "link/Hgcbox.h"

namespace zbr_fuzz {

namespace {

// ZBR_FUZZ_TRACE=1: every request and answer on stderr, to see what an
// input does.
void Trace(char dir, const Bytes& b) {
    static const bool on = std::getenv("ZBR_FUZZ_TRACE") != nullptr;
    if (!on) return;
    std::fprintf(stderr, "%c", dir);
    for (uint8_t c : b) std::fprintf(stderr, " %02X", c);
    std::fprintf(stderr, "\n");
}

}  // namespace

void FixFrameCrcs(Bytes& bytes) {
    std::size_t p = 0;
    while (p + 3 <= bytes.size()) {
        const std::size_t len = bytes[p + 2];
        if (bytes[p] == 0x33 && len >= 6 && p + len <= bytes.size()) {
            Crc16Append(bytes.data() + p, len - 2);
            p += len;
        } else {
            ++p;
        }
    }
}

bool Contains(const Bytes& hay, const uint8_t* needle, std::size_t n, std::size_t limit) {
    const std::size_t end = std::min(limit, hay.size());
    if (n == 0) return true;
    if (n > end) return false;
    return std::search(hay.begin(), hay.begin() + std::ptrdiff_t(end), needle, needle + n) !=
           hay.begin() + std::ptrdiff_t(end);
}

LinePeer::LinePeer(Script& script, hgcbox& box, bool tcp) : script_(script), box_(box), tcp_(tcp) {
    box_.LinkType = tcp ? hgcbox::kLinkTcp : hgcbox::kLinkModem;
    box_.OpenPerExchange = false;
    box_.OpenRetrySec = 0;
    box_.TcpSendDelayMs = 0;
    // A serial port whose line hung up refuses writes (EIO); the socket
    // that plays it would raise SIGPIPE instead.
    if (!tcp_) std::signal(SIGPIPE, SIG_IGN);
    Connect();
    if (tcp_) box_.Reconnect = [this] { return !script_.Done() && Connect(); };
}

LinePeer::~LinePeer() {
    box_.Reconnect = nullptr;
    if (peer_ >= 0) ::close(peer_);
}

bool LinePeer::Connect() {
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, sv) != 0) return false;
    if (peer_ >= 0) ::close(peer_);
    peer_ = sv[0];
    link_ = sv[1];
    in_.clear();
    stream_.clear();
    ++connections_;
    if (tcp_) box_.Sock = link_;
    else box_.hCom = link_;
    return true;
}

long LinePeer::Unread() const {
    if ((tcp_ ? box_.Sock : box_.hCom) != link_ || link_ < 0) return -1;
    int n = 0;
    if (::ioctl(link_, FIONREAD, &n) != 0) return -1;
    return n;
}

std::size_t LinePeer::Consumed() const {
    const long unread = Unread();
    return unread < 0 ? stream_.size() : stream_.size() - std::size_t(unread);
}

void LinePeer::Pump() {
    if (peer_ < 0) return;
    uint8_t buf[1024];
    for (;;) {
        const ssize_t n = ::recv(peer_, buf, sizeof buf, MSG_DONTWAIT);
        if (n <= 0) break;
        in_.insert(in_.end(), buf, buf + n);
    }
    for (;;) {
        // Preambles and anything else before a request start are dropped.
        const auto start = std::find(in_.begin(), in_.end(), uint8_t(0xCC));
        in_.erase(in_.begin(), start);
        if (in_.size() < 3) return;
        const std::size_t len = in_[2];
        if (len < 6) {
            in_.erase(in_.begin());
            continue;
        }
        if (in_.size() < len) return;
        const Bytes request(in_.begin(), in_.begin() + std::ptrdiff_t(len));
        in_.erase(in_.begin(), in_.begin() + std::ptrdiff_t(len));
        ++requests_;
        Trace('>', request);
        if (onRequest) onRequest(request);
        PeerReply reply = script_.Answer(request);
        if (onAnswer) onAnswer(request, reply);
        if (reply.ctl & PeerReply::kFixCrc) FixFrameCrcs(reply.bytes);
        std::size_t sent = 0;
        while (sent < reply.bytes.size()) {
            const ssize_t n = ::send(peer_, reply.bytes.data() + sent, reply.bytes.size() - sent,
                                     MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += std::size_t(n);
        }
        reply.bytes.resize(sent);
        Trace(reply.none ? '.' : '<', reply.bytes);
        stream_.insert(stream_.end(), reply.bytes.begin(), reply.bytes.end());
        chunks_.push_back(std::move(reply.bytes));
        if ((reply.ctl & (PeerReply::kEscape | PeerReply::kEscapeLater)) && onEscape) onEscape(reply.ctl);
        // A closed serial line is a port that reports input and gives none
        // (a modem that hung up); it stays so.
        if (reply.ctl & PeerReply::kCloseAfter) {
            ::close(peer_);
            peer_ = -1;
            return;
        }
    }
}

}  // namespace zbr_fuzz
