#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/Tcp.h"

using namespace platform;

namespace {
// A listening socket on 127.0.0.1 with a port of the system's choosing.
struct Listener {
    int fd = -1;
    int port = 0;
    Listener() {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(fd, 4);
        socklen_t len = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Listener() { close(fd); }
    int Accept() {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 2000) <= 0) return -1;
        return accept(fd, nullptr, nullptr);
    }
};
}  // namespace

TEST(Tcp, ParseIpAddress) {
    uint32_t a = 0;
    EXPECT_TRUE(ParseIpAddress("255.255.255.255", a));
    EXPECT_EQ(a, 0xFFFFFFFFu);
    EXPECT_TRUE(ParseIpAddress("192.168.1.20", a));
    EXPECT_EQ(ntohl(a), 0xC0A80114u);
    EXPECT_TRUE(ParseIpAddress("0x7f.1", a));  // inet_addr forms
    EXPECT_EQ(ntohl(a), 0x7F000001u);
    EXPECT_FALSE(ParseIpAddress("localhost", a));
    EXPECT_FALSE(ParseIpAddress("1.2.3.256", a));
    EXPECT_FALSE(ParseIpAddress(nullptr, a));
}

TEST(Tcp, SetTcpAddress) {
    sockaddr_in sa{};
    std::string err;
    ASSERT_TRUE(SetTcpAddress("10.1.2.3", "0x1F6", sa, "TCP", &err));
    EXPECT_EQ(sa.sin_family, AF_INET);
    EXPECT_EQ(ntohs(sa.sin_port), 502);
    EXPECT_EQ(ntohl(sa.sin_addr.s_addr), 0x0A010203u);
    ASSERT_TRUE(SetTcpAddress(nullptr, "010", sa, "TCP"));
    EXPECT_EQ(ntohs(sa.sin_port), 8);
    EXPECT_EQ(sa.sin_addr.s_addr, htonl(INADDR_ANY));
    ASSERT_TRUE(SetTcpAddress("localhost", "4001", sa, "TCP"));
    EXPECT_EQ(ntohl(sa.sin_addr.s_addr), 0x7F000001u);
    EXPECT_EQ(IpToText(sa.sin_addr.s_addr), "127.0.0.1");

    EXPECT_FALSE(SetTcpAddress("127.0.0.1", "no-such-service-zbr", sa, "TCP", &err));
    EXPECT_EQ(err, "невідомий сервіс: no-such-service-zbr");
    if (std::ifstream("/etc/services").good()) {
        ASSERT_TRUE(SetTcpAddress("127.0.0.1", "http", sa, "TCP"));
        EXPECT_EQ(ntohs(sa.sin_port), 80);
    }
}

TEST(Tcp, ConnectSendReceiveClose) {
    EXPECT_TRUE(InitWinsock());
    Listener l;
    sockaddr_in sa{};
    ASSERT_TRUE(SetTcpAddress("127.0.0.1", std::to_string(l.port).c_str(), sa, "TCP"));
    int s = TcpSocket();
    ASSERT_NE(s, kNoSocket);
    ASSERT_EQ(TcpConnect(s, sa, 2000), 0);
    int peer = l.Accept();
    ASSERT_GE(peer, 0);

    uint8_t buf[16];
    EXPECT_EQ(TcpRecv(s, buf, sizeof buf), 0);  // nothing yet, at once
    EXPECT_EQ(TcpBytesAvailable(s), 0);
    EXPECT_EQ(TcpSend(s, "\xCC\x01\x06", 3), 3);
    char got[3];
    ASSERT_EQ(recv(peer, got, 3, MSG_WAITALL), 3);
    EXPECT_EQ(std::memcmp(got, "\xCC\x01\x06", 3), 0);

    ASSERT_EQ(send(peer, "\x33\x01", 2, 0), 2);
    ASSERT_EQ(TcpWaitReadable(s, 1'000'000'000), 1);
    EXPECT_EQ(TcpBytesAvailable(s), 2);
    EXPECT_EQ(TcpRecv(s, buf, sizeof buf), 2);

    close(peer);
    ASSERT_EQ(TcpWaitReadable(s, 1'000'000'000), 1);
    EXPECT_EQ(TcpRecv(s, buf, sizeof buf), -2);  // the peer has gone
    // Sending to a closed peer is an error, not a signal that ends the program.
    TcpSend(s, "x", 1);
    usleep(20000);
    EXPECT_LE(TcpSend(s, "x", 1, 100), 0);
    TcpClose(s);
}

TEST(Tcp, ConnectFailures) {
    int port;
    {
        Listener l;  // a port that was just free and is closed again
        port = l.port;
    }
    sockaddr_in sa{};
    ASSERT_TRUE(SetTcpAddress("127.0.0.1", std::to_string(port).c_str(), sa, "TCP"));
    int s = TcpSocket();
    EXPECT_EQ(TcpConnect(s, sa, 1000), ECONNREFUSED);
    TcpClose(s);

    // A connect that cannot finish (the listener's queue is full and it
    // never accepts) ends at its time-out.
    Listener full;
    listen(full.fd, 0);
    ASSERT_TRUE(SetTcpAddress("127.0.0.1", std::to_string(full.port).c_str(), sa, "TCP"));
    int waiting[4];
    for (int& w : waiting) {
        w = TcpSocket();
        TcpConnectStart(w, sa);
    }
    s = TcpSocket();
    EXPECT_EQ(TcpConnect(s, sa, 100), ETIMEDOUT);
    for (int w : waiting) TcpClose(w);
    TcpClose(s);
}
