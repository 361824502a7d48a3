// The link object's receiver against damaged replies over loopback TCP: the
// emulator's reply faults in random order, and a peer that answers every
// request with random bytes. Every exchange must end with one of the link's
// own error codes (or success with a whole, checked frame), and RxLen must
// stay within Rx.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "common/Crc16.h"
#include "emulator/Controller.h"
#include "emulator/Emulator.h"
#include "link/Hgcbox.h"
#include "robustness/Random.h"
#include "support/EmulatorLink.h"
#include "support/TestFolders.h"

using robust::Dice;

namespace {

void ShortTimeouts(hgcbox& box) {
    zbr_test::FastTimeouts(box);
    box.ReplyTimeoutMs = 150;
    box.ByteTimeoutMs = 20;
}

bool ReadRows(hgcbox& box, uint8_t t, uint8_t first, uint8_t rows) {
    const uint8_t hdr[3] = {t, first, rows};
    return box.Exchange(1, hdr, 3);
}

// A whole reply frame in Rx: its length byte, the right start and a CRC that checks.
void ExpectWholeFrame(const hgcbox& box) {
    ASSERT_GE(box.RxLen, 6u);
    ASSERT_LE(box.RxLen, sizeof box.Rx);
    EXPECT_EQ(box.Rx[0], 0x33);
    EXPECT_EQ(box.RxLen, box.Rx[2]);
    EXPECT_EQ(Crc16(box.Rx, box.RxLen), 0);
}

}  // namespace

TEST(LinkRobust, EmulatorFaultsInRandomOrder) {
    zbr_test::FreshWorkDir("robustness");
    emu::Emulator emu(77);
    hgcbox box{1};
    zbr_test::OpenOverTcp(emu, box);
    ShortTimeouts(box);
    Dice dice(3001);
    const std::vector<uint8_t> tables = {0, 3, 4, 5, 6, 9, 14};
    for (int i = 0; i < 50; ++i) {
        SCOPED_TRACE(i);
        const uint8_t t = dice.Pick(tables);
        const uint32_t len = 10 + emu::Shape(t).size;  // the reply to one row
        emu::Fault f;
        switch (dice.Int(0, 6)) {
        case 0: f = {emu::FaultKind::None, 0}; break;
        case 1: f = {emu::FaultKind::Noise, int(dice.Int(0, 400))}; break;
        case 2: f = {emu::FaultKind::CutFrame, int(dice.Int(0, int64_t(len) + 3))}; break;
        case 3: f = {emu::FaultKind::BadCrc, 0}; break;
        case 4: f = {emu::FaultKind::BadLengthPrefix, 0}; break;
        case 5: f = {emu::FaultKind::WrongAddressPrefix, 0}; break;
        default: f = {emu::FaultKind::WrongAddress, int(dice.Int(2, 254))}; break;
        }
        if (f.kind != emu::FaultKind::None) emu.QueueFault(f);
        const bool ok = ReadRows(box, t, 0, 1);
        EXPECT_LE(box.RxLen, sizeof box.Rx);
        switch (f.kind) {
        case emu::FaultKind::None:
        case emu::FaultKind::Noise:
        case emu::FaultKind::BadLengthPrefix:
        case emu::FaultKind::WrongAddressPrefix:
            ASSERT_TRUE(ok) << box.ErrorText();
            break;
        case emu::FaultKind::CutFrame:
            if (f.param > 0 && uint32_t(f.param) < len) {
                EXPECT_FALSE(ok);
                // Cut after the start and address: the bytes stop; before it: nothing that counts came.
                EXPECT_TRUE(box.Error == hgcbox::kErrByteTimeout || box.Error == hgcbox::kErrNoReply)
                    << box.Error << " cut at " << f.param;
            } else if (f.param >= int(len)) {
                EXPECT_TRUE(ok) << box.ErrorText();
            }
            break;
        case emu::FaultKind::BadCrc:
            EXPECT_FALSE(ok);
            EXPECT_EQ(box.Error, hgcbox::kErrCrc);
            break;
        default:  // from a foreign address: never taken for ours
            EXPECT_FALSE(ok);
            EXPECT_EQ(box.Error, hgcbox::kErrNoReply);
            break;
        }
        if (ok) {
            ExpectWholeFrame(box);
            EXPECT_EQ(box.Rx[3], 0x81);
            EXPECT_EQ(box.Rx[5], t);
            EXPECT_EQ(box.RxLen, len);
        }
        EXPECT_FALSE(box.ErrorText().empty());
    }
    // Still in step: a clean read after all that.
    emu.ClearFaults();
    ASSERT_TRUE(ReadRows(box, 5, 0, 1)) << box.ErrorText();
    EXPECT_EQ(box.Rx[5], 5);
}

namespace {

// A peer on loopback that answers each request with the bytes `make` gives.
class RandomPeer {
public:
    explicit RandomPeer(std::function<std::string()> make) : make_(std::move(make)) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof sa;
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&sa), n) != 0 || ::listen(listen_, 1) != 0 ||
            ::getsockname(listen_, reinterpret_cast<sockaddr*>(&sa), &n) != 0)
            throw std::runtime_error("peer");
        port_ = ntohs(sa.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~RandomPeer() {
        stop_ = true;
        thread_.join();
        ::close(listen_);
    }
    int Port() const { return port_; }

private:
    void Run() {
        int fd = -1;
        while (!stop_) {
            pollfd p{fd < 0 ? listen_ : fd, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0) continue;
            if (fd < 0) {
                fd = ::accept(listen_, nullptr, nullptr);
                continue;
            }
            uint8_t buf[512];
            const ssize_t got = ::recv(fd, buf, sizeof buf, 0);
            if (got <= 0) {
                ::close(fd);
                fd = -1;
                continue;
            }
            // Each request ends with its CRC; a request arrives in one piece on loopback.
            const std::string reply = make_();
            if (!reply.empty()) (void)::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
        if (fd >= 0) ::close(fd);
    }
    std::function<std::string()> make_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

// Random replies: mostly frames from our address with a random length byte
// and random contents (some with a right CRC, some whole error replies),
// some pure garbage. Whatever comes, the exchange ends with a defined error
// or a checked frame.
TEST(LinkRobust, RandomRepliesFromAPeer) {
    zbr_test::FreshWorkDir("robustness");
    Dice dice(3002);
    Dice peerDice(3003);
    RandomPeer peer([&peerDice]() {
        Dice& d = peerDice;
        std::string out;
        if (d.Chance(10)) out += d.Bytes(std::size_t(d.Int(0, 30)));  // garbage ahead
        if (d.Chance(5)) return out;                                   // nothing else
        std::string f;
        f += char(0x33);
        f += char(d.Chance(90) ? 1 : d.Byte());
        const uint8_t len = d.Chance(20) ? uint8_t(d.Int(0, 7)) : d.Byte();
        f += char(len);
        f += char(d.Chance(50) ? 0x81 : d.Byte());
        const std::size_t body = len > 6 ? len - 6 : 0;
        f += d.Bytes(body);
        if (len >= 6) {
            const uint16_t crc = Crc16(f.data(), f.size());
            f += char(crc & 0xFF);
            f += char(crc >> 8);
            if (d.Chance(30)) f[std::size_t(d.Int(3, int64_t(f.size()) - 1))] ^= char(d.Int(1, 255));
        }
        if (d.Chance(20)) f.resize(std::size_t(d.Int(0, int64_t(f.size()))));  // cut
        out += f;
        if (d.Chance(10)) out += d.Bytes(std::size_t(d.Int(0, 300)));  // trailing junk
        return out;
    });
    hgcbox box{1};
    box.LinkType = hgcbox::kLinkTcp;
    box.OpenPerExchange = false;
    ShortTimeouts(box);
    box.ReplyTimeoutMs = 40;
    box.ByteTimeoutMs = 10;
    zbr_test::ConnectTcp(box, peer.Port());
    const std::set<uint32_t> defined = {hgcbox::kOk,          hgcbox::kErrByteTimeout, hgcbox::kErrCrc,
                                        hgcbox::kErrDevice,   hgcbox::kErrReplyFunction, hgcbox::kErrNoReply};
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        const bool ok = dice.Chance(50) ? ReadRows(box, uint8_t(dice.Int(0, 46)), 0, 1) : box.Exchange(25);
        EXPECT_LE(box.RxLen, sizeof box.Rx);
        EXPECT_TRUE(defined.count(box.Error)) << box.Error;
        if (ok) ExpectWholeFrame(box);
        else EXPECT_FALSE(box.ErrorText().empty());
        if (box.Error == hgcbox::kErrDevice) (void)box.DeviceErrorCode();
    }
}
