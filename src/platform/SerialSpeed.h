// Line speed through termios2 (kept apart: <asm/termbits.h> cannot live
// beside <termios.h> in one unit).
#pragma once
#include <cstdint>

namespace platform::detail {

// Sets input and output speed; a standard rate by its constant, any other
// as an arbitrary rate. 0 or the errno of the failing call.
int SetLineSpeed(int fd, uint32_t baud);
// Reads the output speed; 0 or errno.
int GetLineSpeed(int fd, uint32_t* baud);

}  // namespace platform::detail
