// The link object over loopback TCP against the controller emulator.
#include "LinkFixture.h"

#include <memory>

#include "link/LinkGlobals.h"

using namespace linktest;

namespace {

class HgcboxTcp : public ::testing::Test {
protected:
    void SetUp() override {
        MakeWorkDir("tcp");
        port = zbr_test::OpenOverTcp(emu, box);
    }
    void TearDown() override {
        box.CloseSocket();
        emu.Stop();
    }
    void Connect() { zbr_test::ConnectTcp(box, port); }
    emu::Emulator emu;
    hgcbox box{1};
    int port = 0;
};

}  // namespace

TEST_F(HgcboxTcp, ReadsAndFailures) {
    box.PreambleLen = 2;
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    EXPECT_EQ(box.RxLen, box.Rx[2]);
    ASSERT_EQ(emu.Log().size(), 1u);
    EXPECT_EQ(emu.Log()[0].preambles, 2);
    EXPECT_EQ(emu.Log()[0].via, "tcp");

    emu.QueueFault({emu::FaultKind::Silence, 0});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 10u);

    emu.QueueFault({emu::FaultKind::CutFrame, 6});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 5u);

    emu.QueueFault({emu::FaultKind::BadCrc, 0});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 7u);

    emu.QueueFault({emu::FaultKind::Noise, 12});
    EXPECT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();

    emu.QueueFault({emu::FaultKind::ErrorReply, 60});
    EXPECT_FALSE(ReadRows(box, 4, 0, 1));
    EXPECT_EQ(box.ErrorText(), "Команда 1.  Зруйнована таблиця 4");

    emu.ClearLog();
    box.Retries = 3;
    for (int i = 0; i < 3; ++i) emu.QueueFault({emu::FaultKind::Silence, 0});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(emu.Log().size(), 3u);

    // Learning the address over TCP as well.
    emu.SetAddress(42);
    box.Address = 255;
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    EXPECT_EQ(box.Address, 42);
}

// A reply that comes after its attempt gave up is dropped before the next
// request goes out: it is never taken for that request's reply.
TEST_F(HgcboxTcp, LateReplyIsNotTakenForTheNextOne) {
    box.ReplyTimeoutMs = 200;
    box.TcpSendDelayMs = 800;  // the late reply is in well before the next send
    emu.QueueFault({emu::FaultKind::ReplyDelay, 400});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 10u);
    ASSERT_TRUE(ReadRows(box, 5, 0, 1)) << box.ErrorText();
    EXPECT_EQ(box.Rx[5], 5);  // the echo of this request, not of the one before
    EXPECT_EQ(box.RxLen, 10u + emu::Shape(5).size);
}

TEST_F(HgcboxTcp, SendDelayAndClosedConnection) {
    box.TcpSendDelayMs = 50;
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();

    // The controller side goes away: the receive fails (21) or, once the
    // socket is known dead, the send does (20).
    emu.Stop();
    platform::WaitMs(50);
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_TRUE(box.Error == 21u || box.Error == 20u) << box.Error;
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_TRUE(box.Error == 21u || box.Error == 20u) << box.Error;
    const std::string text = box.ErrorText();
    EXPECT_TRUE(text == "Команда 1.  Ithernet. Не виконано команду recv (итання відповіді на запит)" ||
                text == "Команда 1.  Ithernet. Не виконано команду send (надсилання запиту)")
        << text;

    // No socket at all.
    box.CloseSocket();
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 20u);
}

TEST_F(HgcboxTcp, DroppedLinkIsConnectedAgainByTheNextRequest) {
    box.CloseSocket();
    EthernetSubscriber sub{};
    sub.contr_adr = 1;
    sub.ip_adr = 0x7F000001u;  // 127.0.0.1
    sub.port = uint32_t(port);
    auto par = std::make_unique<EthernetConnParams>();
    par->Link = {1, 1, 9600, 0, 1, 100, 1};
    par->ConnectWaitTime = 1;
    ASSERT_EQ(ConnectEthernetLink(box, sub, *par, 0), TcpConnectResult::Ok);
    box.TcpSendDelayMs = 0;
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();

    // The controller side goes away: the request fails, and keeps failing
    // while nobody listens.
    emu.Stop();
    platform::WaitMs(50);
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_TRUE(box.Error == 21u || box.Error == 20u) << box.Error;
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 20u);

    // It is back on the same port: the next request connects and is answered.
    emu.StartTcp("127.0.0.1", port);
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    EXPECT_NE(box.Sock, platform::kNoSocket);

    // An operator's disconnect is final: no link comes back by itself.
    box.CloseSocket();
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    EXPECT_EQ(box.Error, 20u);
}

// A serial line left owing a reply (the operator pressed Esc during a
// request) is given up for a TCP connection: nothing of the serial line can
// come on the connection, so its first requests wait for no late reply.
TEST_F(HgcboxTcp, ANewConnectionOwesNothingOfTheSerialLineBeforeIt) {
    box.CloseSocket();
    const auto dir = MakeWorkDir("tcp-after-pty");
    emu::Emulator serial;
    OpenOverPty(serial, box, dir, 3, 115200);
    box.ReplyTimeoutMs = 1000;  // as slow to give up as a real line
    serial.QueueFault({emu::FaultKind::Silence, 0});
    EXPECT_FALSE(ReadRows(box, 0, 0, 1));
    ASSERT_TRUE(box.LineUnsettled());

    EthernetSubscriber sub{};
    sub.contr_adr = 1;
    sub.ip_adr = 0x7F000001u;  // 127.0.0.1
    sub.port = uint32_t(port);
    auto par = std::make_unique<EthernetConnParams>();
    par->Link = {1, 1, 9600, 0, 1, 1000, 1};
    par->ConnectWaitTime = 1;
    ASSERT_EQ(ConnectEthernetLink(box, sub, *par, 0), TcpConnectResult::Ok);
    box.TcpSendDelayMs = 0;
    EXPECT_FALSE(box.LineUnsettled());
    const uint64_t settlesBefore = box.Counters.settles;
    ASSERT_TRUE(ReadRows(box, 0, 0, 1)) << box.ErrorText();
    ASSERT_TRUE(ReadRows(box, 5, 0, 3)) << box.ErrorText();
    EXPECT_EQ(box.Counters.settles, settlesBefore);
    serial.Stop();
}
