// Only the kernel's terminal structures here: this unit must not include
// <termios.h> (its struct termios differs from the kernel's).
#include "platform/SerialSpeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace platform::detail {
namespace {
struct Rate {
    uint32_t baud;
    unsigned code;
};
constexpr Rate kStandard[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600},
};
}  // namespace

int SetLineSpeed(int fd, uint32_t baud) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return errno;
    unsigned code = BOTHER;
    for (const Rate& r : kStandard)
        if (r.baud == baud) code = r.code;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= code | (code << IBSHIFT);
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    if (ioctl(fd, TCSETS2, &tio) != 0) return errno;
    return 0;
}

int GetLineSpeed(int fd, uint32_t* baud) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return errno;
    *baud = tio.c_ospeed;
    return 0;
}

}  // namespace platform::detail
