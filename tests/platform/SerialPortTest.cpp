#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Paths.h"
#include "platform/SerialPort.h"
#include "platform/SerialSpeed.h"
#include "support/TestFolders.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

// A pseudo-terminal whose master side the test drives.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) slave = ptsname(master);
    }
    ~Pty() {
        if (master >= 0) close(master);
    }
    std::string ReadAll(int waitMs = 200) {
        std::string out;
        pollfd p{master, POLLIN, 0};
        while (poll(&p, 1, waitMs) > 0) {
            char buf[256];
            ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) break;
            out.append(buf, static_cast<size_t>(n));
            waitMs = 20;
        }
        return out;
    }
};

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = zbr_test::FreshWorkDir("serial");
        fs::create_directories(dir / "dev");
    }
    void TearDown() override { fs::remove_all(dir); }
    void Link(const std::string& name, const std::string& target) {
        fs::create_symlink(target, dir / "dev" / name);
    }
    fs::path dir;
};

}  // namespace

TEST_F(SerialPortTest, ComNumbersNameDevices) {
    EXPECT_EQ(ComDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(ComDevicePath(32), "/dev/ttyS31");
    EXPECT_EQ(ComDevicePath(33), "/dev/ttyUSB0");
    EXPECT_EQ(ComDevicePath(64), "/dev/ttyUSB31");
    EXPECT_EQ(ComDevicePath(65), "/dev/ttyACM0");
    EXPECT_EQ(ComDevicePath(96), "/dev/ttyACM31");
    EXPECT_EQ(ComDevicePath(97), "");
    EXPECT_EQ(ComDevicePath(0), "");

    // A link in WorkDir/dev names the device, whatever the case of "com".
    Link("com5", "/dev/ttyUSB3");
    Link("COM7", "/dev/null");
    Link("Com120", "/dev/zero");
    EXPECT_EQ(ComDevicePath(5), (dir / "dev" / "com5").string());
    EXPECT_EQ(ComDevicePath(7), (dir / "dev" / "COM7").string());
    EXPECT_EQ(ComDevicePath(120), (dir / "dev" / "Com120").string());
    EXPECT_EQ(ComDevicePath(6), "/dev/ttyS5");
    EXPECT_EQ(ComDevicePath(50), "/dev/ttyUSB17");
}

TEST_F(SerialPortTest, PresenceOfPorts) {
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    Link("com3", pty.slave);
    Link("com4", (dir / "nothing").string());
    Link("com8", "/dev/null");  // not a serial device
    EXPECT_TRUE(ComPortPresent(3));
    EXPECT_FALSE(ComPortPresent(4));
    EXPECT_FALSE(ComPortPresent(8));
    EXPECT_FALSE(ComPortPresent(97));

    // A port held by someone is still there.
    int h = ComOpen(3, 9600, 8, 0, 0, 1000, 1000, true, false);
    ASSERT_NE(h, kNoHandle);
    EXPECT_TRUE(ComPortPresent(3));
    ComClose(h);
}

TEST_F(SerialPortTest, OpenIsExclusiveAndFailureLeavesNothingOpen) {
    Pty pty;
    Link("com2", pty.slave);
    int h = ComOpen(2, 1200, 8, 0, 0, 1000, 1000, true, false);
    ASSERT_NE(h, kNoHandle);
    EXPECT_TRUE(IsPseudoTerminal(h));
    EXPECT_EQ(ComOpen(2, 1200, 8, 0, 0, 1000, 1000, true, false), kNoHandle);
    // Through another name of the same device as well.
    EXPECT_EQ(ComOpenPath(pty.slave, 1200), kNoHandle);
    ComClose(h);
    h = ComOpen(2, 1200, 8, 0, 0, 1000, 1000, true, false);
    EXPECT_NE(h, kNoHandle);
    ComClose(h);

    EXPECT_EQ(ComOpen(40, 1200, 8, 0, 0, 1000, 1000, true, false) == kNoHandle,
              !fs::exists("/dev/ttyUSB7"));
    Link("com9", (dir / "missing").string());
    EXPECT_EQ(ComOpen(9, 1200, 8, 0, 0, 1000, 1000, true, false), kNoHandle);
}

TEST_F(SerialPortTest, EveryRateOfTheRateTable) {
    Pty pty;
    int h = ComOpenPath(pty.slave, 9600);
    ASSERT_NE(h, kNoHandle);
    const uint32_t rates[] = {300,  600,   1200,  2400,  3200,  3600,  4800,   5760,
                              6400, 7200,  7680,  9600,  11520, 12800, 14400,  19200,
                              23040, 28800, 38400, 57600, 115200, 230400};
    for (uint32_t r : rates) {
        ASSERT_TRUE(ComSetBaud(h, r)) << r;
        uint32_t got = 0;
        ASSERT_EQ(detail::GetLineSpeed(h, &got), 0);
        EXPECT_EQ(got, r);
    }
    EXPECT_EQ(ClampBaud(50), 110u);
    EXPECT_EQ(ClampBaud(460800), 256000u);
    ASSERT_TRUE(ComSetBaud(h, 50));
    uint32_t got = 0;
    detail::GetLineSpeed(h, &got);
    EXPECT_EQ(got, 110u);
    ComClose(h);
}

TEST_F(SerialPortTest, RawNonBlockingTransfer) {
    Pty pty;
    int h = ComOpenPath(pty.slave, 9600);
    ASSERT_NE(h, kNoHandle);
    EXPECT_TRUE(ComSetTimeouts(h, 0xFFFFFFFFu, 0, 0));
    EXPECT_TRUE(ComSetRts(h, true));  // no lines on a pty: accepted
    EXPECT_TRUE(ComSetDtr(h, false));
    EXPECT_TRUE(ComClearError(h));

    uint8_t buf[64];
    EXPECT_EQ(ComRead(h, buf, sizeof buf), 0);  // nothing there: at once
    EXPECT_EQ(ComWaitReadable(h, 5'000'000), 0);

    // Raw: every byte value passes unchanged both ways, CR and LF included.
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    ASSERT_TRUE(ComWrite(h, bytes.data(), bytes.size()));
    EXPECT_EQ(pty.ReadAll(), bytes);

    ASSERT_EQ(write(pty.master, "\x33\x0D\x0A\x11\x13\xFF", 6), 6);
    ASSERT_EQ(ComWaitReadable(h, 500'000'000), 1);
    usleep(20000);
    EXPECT_EQ(ComBytesAvailable(h), 6);
    EXPECT_EQ(ComRead(h, buf, 2), 2);
    EXPECT_EQ(ComRead(h, buf + 2, sizeof buf - 2), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 6), "\x33\x0D\x0A\x11\x13\xFF");
    EXPECT_GE(ComBytesPending(h), 0);

    // A purge drops what waits unread.
    ASSERT_EQ(write(pty.master, "abc", 3), 3);
    usleep(20000);
    EXPECT_TRUE(ComPurge(h, true, true));
    EXPECT_EQ(ComRead(h, buf, sizeof buf), 0);
    ComClose(h);
}

TEST(ContainsText, Rules) {
    EXPECT_TRUE(ContainsText("\r\nOK\r\n", "OK"));
    EXPECT_FALSE(ContainsText("", "OK"));
    EXPECT_FALSE(ContainsText("", ""));
    EXPECT_TRUE(ContainsText("abc", ""));
    EXPECT_FALSE(ContainsText("OK", "OKAY"));
    EXPECT_FALSE(ContainsText("ok", "OK"));
    EXPECT_TRUE(ContainsText("CONNECT 9600", "ONNE"));
}
