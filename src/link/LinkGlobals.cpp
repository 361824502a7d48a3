#include "link/LinkGlobals.h"

#include <algorithm>
#include <cstdio>

#include "link/Tcp_fun.h"
#include "platform/Clock.h"
#include "platform/MessagePump.h"
#include "platform/Tcp.h"

namespace {
// Pause between two connect attempts: a refused connect comes back at once.
constexpr int64_t kRetryPauseMs = 100;

int64_t MsLeft(int64_t deadline) {
    const int64_t left = deadline - platform::PerfCounter();
    return left <= 0 ? 0 : left / std::max<int64_t>(1, platform::MsToTicks(1));
}
}  // namespace

bool IsComPortPresent(int port) { return platform::ComPortPresent(port); }

void LoadLinkObject(hgcbox& box, const LinkParams& p, std::uint8_t linkType, bool openPerExchange,
                    std::uint32_t openRetrySec) {
    box.Address = p.Adr;
    box.Baud = p.Rate;
    box.ComPort = p.COMPort;
    box.LinkType = linkType;
    // The settings file is not range-checked when read: a hand-edited value
    // is held to what the link-parameter window allows, so that a wild one
    // (WaitTime=-1 reads as 4294967295 s) can never hang the program.
    box.OpenRetrySec = std::min<std::uint32_t>(openRetrySec, kMaxPortReleaseWaitSec);
    box.OpenPerExchange = openPerExchange;
    // Copies first: the record is packed, its fields cannot be bound to references.
    const std::uint32_t waitSec = p.WaitTime, byteWaitMs = p.TimeOut;
    box.ReplyTimeoutMs = std::clamp(waitSec, kMinReplyWaitSec, kMaxReplyWaitSec) * 1000u;
    box.ByteTimeoutMs = std::clamp(byteWaitMs, kMinByteWaitMs, kMaxByteWaitMs);
    box.PreambleLen = p.Preambles;
    box.Retries = p.Repeat;
}

TcpConnectResult ConnectEthernetLink(hgcbox& box, const EthernetSubscriber& sub, const EthernetConnParams& par,
                                     int settleMs, std::string* error) {
    box.CloseSocket();
    box.ClosePort();
    platform::InitWinsock();
    const int64_t deadline = platform::PerfCounter() + platform::MsToTicks(int64_t(par.ConnectWaitTime) * 1000);

    if (sub.port == 0 || sub.port > 65535) {
        if (error) *error = "невідомий сервіс: " + std::to_string(sub.port);
        return TcpConnectResult::BadAddress;
    }
    const std::string host = IpToText(sub.ip_adr);
    const std::string port = std::to_string(sub.port);
    sockaddr_in address{};
    if (!platform::SetTcpAddress(host.c_str(), port.c_str(), address, "TCP", error))
        return TcpConnectResult::BadAddress;

    int sock = platform::kNoSocket;
    for (bool first = true;; first = false) {
        const int64_t left = MsLeft(deadline);
        if (!first && left == 0) return TcpConnectResult::TimedOut;
        sock = platform::TcpSocket();
        if (sock == platform::kNoSocket) return TcpConnectResult::NoSocket;
        if (platform::TcpConnect(sock, address, int(std::clamp<int64_t>(left, 1, 24 * 3600 * 1000))) == 0) break;
        platform::TcpClose(sock);
        sock = platform::kNoSocket;
        const int64_t pause = std::min(kRetryPauseMs, MsLeft(deadline));
        if (pause > 0) platform::WaitMs(pause);
        else platform::PumpMessages();
    }
    if (settleMs > 0) platform::WaitMs(settleMs);
    box.Sock = sock;
    box.NewConnection();
    // A link the controller side drops later is connected again, within the
    // same wait, by the next request.
    const int waitMs = int(std::clamp<int64_t>(int64_t(par.ConnectWaitTime) * 1000, 1, 24 * 3600 * 1000));
    box.Reconnect = [&box, address, waitMs] {
        const int again = platform::TcpSocket();
        if (again == platform::kNoSocket) return false;
        if (platform::TcpConnect(again, address, waitMs) != 0) {
            platform::TcpClose(again);
            return false;
        }
        box.Sock = again;
        return true;
    };
    LoadLinkObject(box, par.Link, hgcbox::kLinkTcp, false, box.OpenRetrySec);
    box.Address = sub.contr_adr;
    return TcpConnectResult::Ok;
}
