// The link object against the controller emulator, set up as the link,
// table-layer and users tests use it: over a pseudo-terminal linked as a
// COM port of the WorkDir, or over loopback TCP, kept open between
// exchanges, with short time-outs so that failures come quickly.
//
//   emu::Emulator emu;
//   hgcbox box{1};
//   zbr_test::OpenOverPty(emu, box, dir, 5, 115200);  // dir/dev/com5
//   const int port = zbr_test::OpenOverTcp(emu, box);
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "emulator/Emulator.h"
#include "link/Hgcbox.h"
#include "platform/Tcp.h"

namespace zbr_test {

inline void FastTimeouts(hgcbox& box) {
    box.ReplyTimeoutMs = 300;
    box.ByteTimeoutMs = 100;
    box.Retries = 1;
    box.OpenRetrySec = 0;
    box.TcpSendDelayMs = 0;
}

// Starts the emulator on a pseudo-terminal linked as <workDir>/dev/com<com>
// and opens `box` on that port.
inline void OpenOverPty(emu::Emulator& emu, hgcbox& box, const std::filesystem::path& workDir, uint8_t com,
                        uint32_t baud, uint8_t linkType = hgcbox::kLinkDirect) {
    emu.StartPty((workDir / "dev" / ("com" + std::to_string(com))).string());
    box.ComPort = com;
    box.Baud = baud;
    box.LinkType = linkType;
    box.OpenPerExchange = false;
    FastTimeouts(box);
    ASSERT_TRUE(box.OpenPort()) << box.ErrorText();
}

// Connects the socket of `box` (closing an open one first) to the emulator
// listening on loopback `port`.
inline void ConnectTcp(hgcbox& box, int port) {
    box.CloseSocket();
    sockaddr_in sa{};
    ASSERT_TRUE(platform::SetTcpAddress("127.0.0.1", std::to_string(port).c_str(), sa, "TCP"));
    box.Sock = platform::TcpSocket();
    ASSERT_NE(box.Sock, platform::kNoSocket);
    ASSERT_EQ(platform::TcpConnect(box.Sock, sa, 2000), 0);
}

// Starts the emulator on loopback TCP and connects `box` to it; the port.
inline int OpenOverTcp(emu::Emulator& emu, hgcbox& box) {
    const int port = emu.StartTcp();
    box.LinkType = hgcbox::kLinkTcp;
    box.OpenPerExchange = false;
    FastTimeouts(box);
    ConnectTcp(box, port);
    return port;
}

}  // namespace zbr_test
