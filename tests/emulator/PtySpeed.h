// The line speed a terminal device is set to (kept apart: the kernel's
// terminal structures cannot live beside <termios.h> in one unit).
#pragma once
#include <cstdint>

namespace emu {

// The output speed of the terminal behind `fd` (any rate, standard or
// not); 0 when it cannot be read.
uint32_t TerminalSpeed(int fd);

}  // namespace emu
