// Waiting on one descriptor for at most a slice of time (ppoll, to the
// nanosecond), the building block of every wait on a port or socket.
#pragma once
#include <cstdint>

namespace platform {

// 1 readable (input, end of file, hang-up or error condition), 0 the time
// passed, -1 the call failed (not for EINTR, which counts as 0).
int WaitReadable(int fd, int64_t ns);
// 1 writable, 0 the time passed, -1 the call failed.
int WaitWritable(int fd, int64_t ns);

}  // namespace platform
