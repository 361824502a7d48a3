// Tests of the emulator itself, driven as the program would drive it: raw
// request frames over a real pseudo-terminal or loopback TCP.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "common/Crc16.h"
#include "emulator/Emulator.h"
#include "emulator/Protocol.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A minimal master: sends a frame, collects what comes back until the line
// has been quiet for `quietMs`.
class Client {
public:
    static Client Tcp(int port) {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(0, ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a));
        return Client(fd);
    }
    static Client Serial(const std::string& path) {
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        EXPECT_GE(fd, 0) << path;
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        return Client(fd);
    }
    // Sets the line speed of the device (a standard rate).
    void SetSpeed(speed_t speed) {
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    Client(Client&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    Bytes Ask(const Bytes& frame, int preambles = 0, int quietMs = 60) {
        Bytes out(static_cast<size_t>(preambles), 0xFF);
        out.insert(out.end(), frame.begin(), frame.end());
        EXPECT_EQ(static_cast<ssize_t>(out.size()), ::write(fd_, out.data(), out.size()));
        Bytes got;
        pollfd p{fd_, POLLIN, 0};
        int wait = 300;  // first byte
        while (::poll(&p, 1, wait) > 0) {
            uint8_t b[256];
            ssize_t n = ::read(fd_, b, sizeof b);
            if (n <= 0) break;
            got.insert(got.end(), b, b + n);
            wait = quietMs;
        }
        return got;
    }

private:
    explicit Client(int fd) : fd_(fd) {}
    int fd_;
};

Bytes Credentials(const std::string& pw, const std::string& code) {
    Bytes b(16, ' ');
    std::copy(pw.begin(), pw.end(), b.begin());
    std::copy(code.begin(), code.end(), b.begin() + 12);
    return b;
}

Bytes ReadReq(uint8_t addr, uint8_t t, uint8_t first, uint8_t count) {
    return emu::BuildRequest(addr, 1, {0, t, first, count});
}

Bytes WriteReq(uint8_t addr, const Bytes& cred, uint8_t t, uint8_t first, const Bytes& rows, uint8_t count = 0) {
    Bytes d = cred;
    d.push_back(0);
    d.insert(d.end(), {t, first, count ? count : static_cast<uint8_t>(rows.size())});
    d.insert(d.end(), rows.begin(), rows.end());
    return emu::BuildRequest(addr, 2, d);
}

// Error code of a well-formed error reply, -1 for a success reply, -2 for anything else.
int ErrorOf(const Bytes& r) {
    if (r.size() < 6 || r[0] != 0x33 || r[2] != r.size() || Crc16(r.data(), r.size()) != 0) return -2;
    return (r[3] & 0x80) ? -1 : r[4];
}

}  // namespace

TEST(Emulator, TablesHaveTheirSizesAndIdentify) {
    emu::Emulator e;
    size_t total = 0;
    for (int t = 0; t < 47; ++t) total += e.Table(t).size();
    EXPECT_EQ(1849u, total);
    for (int t : {1, 31, 36, 40}) EXPECT_TRUE(e.Table(t).empty());
    const Bytes t0 = e.Table(0);
    EXPECT_EQ('I', t0[1]);
    EXPECT_EQ(11, t0[3]);
    EXPECT_EQ(0, t0[12]);
    EXPECT_EQ(3, e.Table(14)[6]);
    const Bytes t5 = e.Table(5);
    const Bytes line1 = {0x8D, 0xA8, 0xE2, 0xAA, 0xA0, ' ', '1'};  // "Нитка 1" in code page 866
    EXPECT_TRUE(std::equal(line1.begin(), line1.end(), t5.begin() + 20));
}

TEST(Emulator, ReadsOverTcpAndAnswersAnyAddress) {
    emu::Emulator e;
    e.SetAddress(7);
    Client c = Client::Tcp(e.StartTcp());

    Bytes r = c.Ask(ReadReq(255, 0, 0, 18), 3);
    ASSERT_EQ(-1, ErrorOf(r));
    EXPECT_EQ(28u, r.size());
    EXPECT_EQ(7, r[1]);           // its own address
    EXPECT_EQ(0x81, r[3]);
    EXPECT_EQ(0, r[4]);           // status
    EXPECT_EQ(Bytes({0, 0, 18}), Bytes(r.begin() + 5, r.begin() + 8));  // echo {table, first, count}
    EXPECT_EQ('I', r[9]);
    EXPECT_EQ(11, r[11]);

    EXPECT_TRUE(c.Ask(ReadReq(8, 0, 0, 18)).empty());  // not its address
    EXPECT_EQ(11, ErrorOf(c.Ask(ReadReq(7, 31, 0, 1))));   // an empty table
    EXPECT_EQ(9, ErrorOf(c.Ask(ReadReq(7, 47, 0, 1))));
    EXPECT_EQ(13, ErrorOf(c.Ask(ReadReq(7, 3, 4, 1))));
    EXPECT_EQ(4, ErrorOf(c.Ask(ReadReq(7, 3, 2, 3))));
    EXPECT_EQ(2, ErrorOf(c.Ask(emu::BuildRequest(7, 1, {0, 0, 0}))));

    const auto log = e.Log();
    ASSERT_EQ(7u, log.size());
    EXPECT_EQ(3, log[0].preambles);
    EXPECT_EQ(255, log[0].address);
    EXPECT_EQ(1, log[0].command);
    EXPECT_EQ(Bytes({0, 0, 0, 18}), log[0].data);
    EXPECT_FALSE(log[1].answered);

    // A second connection takes over from the first.
    Client c2 = Client::Tcp(e.TcpPort());
    EXPECT_EQ(-1, ErrorOf(c2.Ask(ReadReq(7, 3, 0, 4))));
}

TEST(Emulator, WritesNeedAUsersCredentialsAndFollowTheNewAddress) {
    emu::Emulator e;
    e.SetCredentials("secret", "42");
    Client c = Client::Tcp(e.StartTcp());

    EXPECT_EQ(34, ErrorOf(c.Ask(WriteReq(1, Credentials("secret", "43"), 28, 0, {2, 0}))));
    EXPECT_EQ(34, ErrorOf(c.Ask(WriteReq(1, Credentials("Secret", "42"), 28, 0, {2, 0}))));
    EXPECT_EQ(1, e.Table(28)[0]);
    Bytes r = c.Ask(WriteReq(1, Credentials("secret", "42"), 28, 0, {2, 0}));
    ASSERT_EQ(-1, ErrorOf(r));
    EXPECT_EQ(Bytes({28, 0, 2}), Bytes(r.begin() + 5, r.begin() + 8));
    EXPECT_EQ(2, e.Table(28)[0]);
    EXPECT_EQ(2, ErrorOf(c.Ask(WriteReq(1, Credentials("secret", "42"), 28, 0, {2, 0}, 1))));
    EXPECT_EQ(12, ErrorOf(c.Ask(WriteReq(1, Credentials("secret", "42"), 0, 0, {1}))));

    // The reply to the write of a new address comes from that address.
    r = c.Ask(WriteReq(1, Credentials("secret", "42"), 3, 0, {9}));
    ASSERT_EQ(-1, ErrorOf(r));
    EXPECT_EQ(9, r[1]);
    EXPECT_TRUE(c.Ask(ReadReq(1, 3, 0, 4)).empty());
    EXPECT_EQ(-1, ErrorOf(c.Ask(ReadReq(9, 3, 0, 4))));

    // The users table keeps one manufacturer.
    Bytes row(22, ' ');
    row[4] = 0;
    EXPECT_EQ(30, ErrorOf(c.Ask(WriteReq(9, Credentials("secret", "42"), 4, 0, row, 1))));

    // Reset of the non-volatile data: address 1 after the reply.
    r = c.Ask(emu::BuildRequest(9, 25, Credentials("secret", "42")));
    ASSERT_EQ(-1, ErrorOf(r));
    EXPECT_EQ(9, r[1]);
    EXPECT_EQ(1, e.Address());
}

TEST(Emulator, ClockCorrectionAndDamagedTables) {
    emu::Emulator e;
    e.FreezeClock(true);
    e.SetClock({24, 3, 31, 10, 15, 20});
    const Bytes t2 = e.Table(2);
    EXPECT_EQ(1, t2[6]);  // a Sunday
    EXPECT_EQ(0, t2[7]);  // summer time since 3:00
    Bytes d = Credentials("12345", "1111");
    d.push_back(105);
    d.push_back(0);
    EXPECT_EQ(-1, ErrorOf(e.Process(emu::BuildRequest(1, 12, d))));
    EXPECT_EQ((emu::DeviceTime6{24, 3, 31, 10, 17, 5}), e.Clock());

    e.SetTableDamaged(22, true);
    EXPECT_EQ(22, e.Table(0)[0]);
    const Bytes r = e.Process(ReadReq(1, 22, 0, 20));
    EXPECT_EQ(60, ErrorOf(r));
    EXPECT_EQ(22, r[6]);
    const Bytes cred = Credentials("12345", "1111");
    EXPECT_EQ(23, ErrorOf(e.Process(WriteReq(1, cred, 22, 10, Bytes(40, 0), 10))));
    EXPECT_EQ(-1, ErrorOf(e.Process(WriteReq(1, cred, 22, 0, Bytes(40, 0), 10))));
    EXPECT_EQ(-1, ErrorOf(e.Process(WriteReq(1, cred, 22, 10, Bytes(40, 0), 10))));
    EXPECT_FALSE(e.TableDamaged(22));
    EXPECT_EQ(0, e.Table(0)[0]);
}

TEST(Emulator, TheLiveStateMovesEveryTenSecondsAndStandsWithTheClock) {
    emu::Emulator e;
    e.FreezeClock(true);
    const emu::DeviceTime6 start{24, 3, 31, 10, 0, 0};
    int valueChanges = 0, chromLost = 0, wmtLost = 0, ovgLost = 0, zonesOff = 0, flagged = 0;
    Bytes last30;
    for (int step = 0; step < 400; ++step) {
        emu::DeviceTime6 t = start;
        t[4] = uint8_t(step * 10 / 60 % 60);
        t[3] = uint8_t(10 + step * 10 / 3600);
        t[5] = uint8_t(step * 10 % 60);
        e.SetClock(t);
        const Bytes t30 = e.Table(30), t16 = e.Table(16), t32 = e.Table(32), t33 = e.Table(33), t34 = e.Table(34);
        EXPECT_EQ(t30, e.Table(30));  // a frozen clock holds the state
        EXPECT_EQ(t30[6], t[5]);      // the analysis of this step
        if (!last30.empty() && t30 != last30) ++valueChanges;
        last30 = t30;
        chromLost += t33[0] == 0;
        wmtLost += t33[1] == 0;
        ovgLost += t34[0] == 0 || t34[1] == 0;
        EXPECT_EQ(t34[2], 0);  // only the two flow computers of table 9
        for (uint8_t z : t32) zonesOff += z != 0;
        EXPECT_EQ(t32[16], 0);  // gas temperature has no zone
        for (uint8_t z : t32) EXPECT_LE(z, 4);
        // The situations follow the links.
        EXPECT_EQ(t16[7] != 0, t33[0] == 0 || t16[7] == 12);
        EXPECT_EQ(t16[6] != 0, t34[0] == 0 || t34[1] == 0);
        flagged += t16[6] || t16[7] || t16[8] || t16[9] || t16[10] || t16[11];
    }
    EXPECT_EQ(valueChanges, 399);
    // Now and then, never mostly.
    for (int n : {chromLost, wmtLost, ovgLost, zonesOff, flagged}) {
        EXPECT_GT(n, 3);
        EXPECT_LT(n, 200);
    }
    // A test fixes a table by setting it.
    e.SetTable(33, {1, 1});
    e.SetClock({24, 3, 31, 12, 0, 0});
    EXPECT_EQ(e.Table(33), (Bytes{1, 1}));
}

TEST(Emulator, FaultsOverAPseudoTerminal) {
    emu::Emulator e;
    const std::filesystem::path dir = std::filesystem::path(ZBR_TEST_TMP) / "emulator-pty";
    const std::string link = (dir / "dev" / "com3").string();
    e.StartPty(link);
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    Client c = Client::Serial(link);
    const Bytes req = ReadReq(1, 3, 0, 4);
    const Bytes good = c.Ask(req);
    ASSERT_EQ(14u, good.size());

    using K = emu::FaultKind;
    for (auto f : {emu::Fault{K::Silence}, emu::Fault{K::CutFrame, 3}, emu::Fault{K::BadCrc},
                   emu::Fault{K::Noise, 5}, emu::Fault{K::WrongAddress}, emu::Fault{K::ErrorReply, 9},
                   emu::Fault{K::WrongEcho}, emu::Fault{K::ByteDelay, 5}, emu::Fault{K::WrongAddressPrefix}})
        e.QueueFault(f);
    EXPECT_TRUE(c.Ask(req, 0, 100).empty());
    EXPECT_EQ(Bytes(good.begin(), good.begin() + 3), c.Ask(req));
    Bytes r = c.Ask(req);
    EXPECT_EQ(good.size(), r.size());
    EXPECT_NE(0, Crc16(r.data(), r.size()));
    r = c.Ask(req);
    ASSERT_EQ(19u, r.size());
    EXPECT_EQ(good, Bytes(r.begin() + 5, r.end()));
    EXPECT_EQ(std::count(r.begin(), r.begin() + 5, 0x33), 0);
    r = c.Ask(req);
    EXPECT_EQ(2, r[1]);
    EXPECT_EQ(-1, ErrorOf(r));
    EXPECT_EQ(9, ErrorOf(c.Ask(req)));
    r = c.Ask(req);
    EXPECT_EQ(1, r[6]);  // first row echoed as 1
    EXPECT_EQ(good, c.Ask(req, 0, 100));
    r = c.Ask(req);
    EXPECT_EQ(good, Bytes(r.begin() + 2, r.end()));
    EXPECT_EQ(0u, e.PendingFaults());

    // On a simulated 1200-baud line the reply still comes whole.
    e.SetLineBaud(1200);
    EXPECT_EQ(2, e.Table(3)[1]);  // baud code of 1200
    EXPECT_EQ(-1, ErrorOf(c.Ask(req)));
    e.Stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(Emulator, Version14WithDamagedTablesAndTheLineSpeedOfTable3) {
    emu::Emulator e;
    e.SetCredentials("secret", "42");
    e.SetSoftwareVersion(14);
    e.SetTableDamaged(5, true);
    e.SetTableDamaged(9, true);
    EXPECT_EQ(14, e.Table(0)[3]);
    EXPECT_EQ(5, e.Table(0)[0]);  // the lowest damaged table
    const std::filesystem::path dir = std::filesystem::path(ZBR_TEST_TMP) / "emulator-rate";
    const std::string link = (dir / "dev" / "com4").string();
    e.StartPty(link);
    e.SetLineRateCheck(true);
    Client c = Client::Serial(link);
    const Bytes cred = Credentials("secret", "42");

    // At another speed than table 3's 9600 baud the controller hears noise.
    c.SetSpeed(B19200);
    EXPECT_TRUE(c.Ask(ReadReq(1, 3, 0, 4), 0, 100).empty());
    ASSERT_FALSE(e.Log().empty());
    EXPECT_FALSE(e.Log().back().rateOk);
    EXPECT_FALSE(e.Log().back().answered);
    c.SetSpeed(B9600);
    EXPECT_EQ(60, ErrorOf(c.Ask(ReadReq(1, 5, 0, 3))));  // damaged
    EXPECT_TRUE(e.Log().back().rateOk);

    // Address 7 at 19200 baud: the reply comes from the new address, the
    // next request must come at the new speed.
    const Bytes r = c.Ask(WriteReq(1, cred, 3, 0, {7, 15, 0, 0}));
    ASSERT_EQ(-1, ErrorOf(r));
    EXPECT_EQ(7, r[1]);
    EXPECT_TRUE(c.Ask(ReadReq(7, 3, 0, 4), 0, 100).empty());
    c.SetSpeed(B19200);
    EXPECT_TRUE(c.Ask(ReadReq(1, 3, 0, 4), 0, 100).empty());
    EXPECT_EQ(-1, ErrorOf(c.Ask(ReadReq(7, 3, 0, 4))));

    // The damaged names table, written whole, is sound again; with the last
    // damaged table whole the controller leaves its recovery state.
    EXPECT_EQ(-1, ErrorOf(c.Ask(WriteReq(7, cred, 5, 0, Bytes(60, ' '), 3))));
    EXPECT_FALSE(e.TableDamaged(5));
    EXPECT_EQ(9, e.Table(0)[0]);
    EXPECT_EQ(14, e.Table(0)[3]);
    EXPECT_EQ(-1, ErrorOf(c.Ask(WriteReq(7, cred, 9, 0, e.Table(9), 6))));
    EXPECT_EQ(0, e.Table(0)[0]);
    EXPECT_EQ(11, e.Table(0)[3]);
    e.Stop();
}

// A held reply goes out only when the next request comes in, ahead of that
// request's own reply -- even when that one gets no reply of its own.
TEST(Emulator, AHeldReplyComesAheadOfTheNextOne) {
    emu::Emulator e;
    const Bytes a = ReadReq(1, 3, 0, 1), b = ReadReq(1, 5, 0, 1);
    const Bytes replyA = e.Process(a), replyB = e.Process(b);
    e.QueueFault({emu::FaultKind::HeldReply});
    EXPECT_TRUE(e.Process(a).empty());
    Bytes both = replyA;
    both.insert(both.end(), replyB.begin(), replyB.end());
    EXPECT_EQ(both, e.Process(b));
    EXPECT_EQ(replyB, e.Process(b));

    e.QueueFault({emu::FaultKind::HeldReply});
    e.QueueFault({emu::FaultKind::Silence});
    EXPECT_TRUE(e.Process(a).empty());
    EXPECT_EQ(replyA, e.Process(b));

    e.QueueFault({emu::FaultKind::HeldReply});
    EXPECT_TRUE(e.Process(a).empty());
    e.ClearFaults();  // forgets the held reply as well
    EXPECT_EQ(replyB, e.Process(b));
}
