#include "platform/SerialPort.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/Poll.h"
#include "platform/SerialSpeed.h"

namespace platform {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The entry of WorkDir/dev whose name is "comN" in any case, "" when none.
std::string DevLink(int port) {
    const std::string dir = InWorkDir("dev");
    const std::string want = "com" + std::to_string(port);
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) return {};
    std::string found;
    while (dirent* e = readdir(d)) {
        if (Lower(e->d_name) == want) {
            found = dir + "/" + e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

int OpenRaw(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return -1;
    }
    return open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

// Exclusive hold: TIOCEXCL keeps out other openers except root; the flock
// keeps out every opener that takes it too (this program, also as root).
bool TakeExclusive(int fd) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        errno = EBUSY;
        return false;
    }
    if (ioctl(fd, TIOCEXCL) != 0 && !IsPseudoTerminal(fd)) return false;
    return true;
}

bool SetModemLine(int fd, int bit, bool on) {
    int bits = bit;
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
    return IsPseudoTerminal(fd);
}

}  // namespace

std::string ComDevicePath(int port) {
    if (port < 1) return {};
    std::string link = DevLink(port);
    if (!link.empty()) return link;
    if (port <= 32) return "/dev/ttyS" + std::to_string(port - 1);
    if (port <= 64) return "/dev/ttyUSB" + std::to_string(port - 33);
    if (port <= 96) return "/dev/ttyACM" + std::to_string(port - 65);
    return {};
}

bool IsPseudoTerminal(int handle) {
    struct stat st {};
    if (fstat(handle, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned maj = major(st.st_rdev);
    // Unix98 pty slaves and masters, and the legacy BSD ones.
    return (maj >= 136 && maj <= 143) || maj == 128 || maj == 2 || maj == 3 || maj == 5;
}

bool ComPortPresent(int port) {
    const std::string path = ComDevicePath(port);
    if (path.empty()) return false;
    int fd = OpenRaw(path);
    if (fd < 0) return errno == EBUSY || errno == EACCES || errno == EPERM;
    // A serial driver without a device behind the name refuses its line
    // settings; a port that someone holds is still there.
    bool present = true;
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) present = false;
    close(fd);
    return present;
}

uint32_t ClampBaud(uint32_t baud) {
    if (baud < 110) return 110;
    if (baud > 256000) return 256000;
    return baud;
}

int ComOpenPath(const std::string& path, uint32_t baud, int dataBits, int parity, int stopBits,
                bool dtrOn, bool rtsOn) {
    int fd = OpenRaw(path);
    if (fd < 0) return kNoHandle;
    auto fail = [fd] {
        int e = errno;
        close(fd);
        errno = e;
        return kNoHandle;
    };
    if (!TakeExclusive(fd)) return fail();
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return fail();
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSIZE | PARENB | PARODD | CSTOPB);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    if (dataBits < 4) dataBits = 4;
    if (dataBits > 8) dataBits = 8;
    switch (dataBits) {
        case 4:
        case 5: tio.c_cflag |= CS5; break;
        case 6: tio.c_cflag |= CS6; break;
        case 7: tio.c_cflag |= CS7; break;
        default: tio.c_cflag |= CS8; break;
    }
    if (parity == 1) tio.c_cflag |= PARENB;
    else if (parity == 2) tio.c_cflag |= PARENB | PARODD;
    if (stopBits == 1 || stopBits == 2) tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) return fail();
    if (!ComSetBaud(fd, baud)) return fail();
    // The modem lines are set as asked; a device without them still serves.
    SetModemLine(fd, TIOCM_DTR, dtrOn);
    SetModemLine(fd, TIOCM_RTS, rtsOn);
    return fd;
}

int ComOpen(int port, uint32_t baud, int dataBits, int parity, int stopBits, int /*inQueue*/,
            int /*outQueue*/, bool dtrOn, bool rtsOn) {
    return ComOpenPath(ComDevicePath(port), baud, dataBits, parity, stopBits, dtrOn, rtsOn);
}

void ComClose(int handle) {
    if (handle >= 0) close(handle);
}

bool ComSetBaud(int handle, uint32_t baud) {
    if (handle < 0) return false;
    if (detail::SetLineSpeed(handle, ClampBaud(baud)) == 0) return true;
    return IsPseudoTerminal(handle);
}

bool ComSetTimeouts(int handle, uint32_t readInterval, uint32_t readTotalMultiplier,
                    uint32_t readTotalConstant) {
    termios tio{};
    if (handle < 0 || tcgetattr(handle, &tio) != 0) return false;
    const bool immediate = readInterval == 0xFFFFFFFFu && readTotalMultiplier == 0 && readTotalConstant == 0;
    tio.c_cc[VMIN] = 0;
    uint32_t tenths = immediate ? 0 : (readTotalConstant + 99) / 100;
    tio.c_cc[VTIME] = static_cast<cc_t>(tenths > 255 ? 255 : tenths);
    if (tcsetattr(handle, TCSANOW, &tio) != 0) return false;
    // The program's reads never block: the descriptor stays non-blocking in
    // either case and waits go through ComWaitReadable.
    int flags = fcntl(handle, F_GETFL);
    return flags >= 0 && fcntl(handle, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool ComClearError(int handle) { return handle >= 0 && fcntl(handle, F_GETFD) >= 0; }

bool ComSetRts(int handle, bool on) { return handle >= 0 && SetModemLine(handle, TIOCM_RTS, on); }
bool ComSetDtr(int handle, bool on) { return handle >= 0 && SetModemLine(handle, TIOCM_DTR, on); }

bool ComPurge(int handle, bool tx, bool rx) {
    if (handle < 0 || (!tx && !rx)) return handle >= 0;
    return tcflush(handle, tx && rx ? TCIOFLUSH : (tx ? TCOFLUSH : TCIFLUSH)) == 0;
}

ssize_t ComRead(int handle, void* buf, std::size_t size) {
    if (handle < 0) return -1;
    ssize_t n = read(handle, buf, size);
    if (n >= 0) return n;
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
}

bool ComWrite(int handle, const void* data, std::size_t size, int timeoutMs) {
    if (handle < 0) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    const int64_t deadline = PerfCounter() + MsToTicks(timeoutMs);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = write(handle, p + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        const int64_t left = deadline - PerfCounter();
        if (left <= 0) return false;
        if (WaitWritable(handle, left < MsToTicks(kWaitSliceMs) ? left : MsToTicks(kWaitSliceMs)) < 0)
            return false;
    }
    return true;
}

int ComBytesAvailable(int handle) {
    int n = 0;
    if (handle < 0 || ioctl(handle, FIONREAD, &n) != 0) return -1;
    return n;
}

int ComBytesPending(int handle) {
    int n = 0;
    if (handle < 0 || ioctl(handle, TIOCOUTQ, &n) != 0) return -1;
    return n;
}

int ComWaitReadable(int handle, int64_t ns) { return WaitReadable(handle, ns); }

bool ContainsText(std::string_view text, std::string_view pattern) {
    if (text.empty() || pattern.size() > text.size()) return false;
    return text.find(pattern) != std::string_view::npos;
}

}  // namespace platform
