#include "emulator/PtySpeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace emu {

uint32_t TerminalSpeed(int fd) {
    struct termios2 tio {};
    if (fd < 0 || ioctl(fd, TCGETS2, &tio) != 0) return 0;
    return tio.c_ospeed;
}

}  // namespace emu
