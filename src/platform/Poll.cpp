#include "platform/Poll.h"

#include <poll.h>

#include <cerrno>
#include <ctime>

namespace platform {
namespace {
int WaitFor(int fd, short events, int64_t ns) {
    if (fd < 0) return -1;
    if (ns < 0) ns = 0;
    pollfd p{fd, events, 0};
    timespec ts{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    int r = ppoll(&p, 1, &ts, nullptr);
    if (r < 0) return errno == EINTR ? 0 : -1;
    if (r == 0) return 0;
    if (p.revents & POLLNVAL) return -1;
    return 1;
}
}  // namespace

int WaitReadable(int fd, int64_t ns) { return WaitFor(fd, POLLIN, ns); }
int WaitWritable(int fd, int64_t ns) { return WaitFor(fd, POLLOUT, ns); }

}  // namespace platform
