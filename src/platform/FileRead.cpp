#include "platform/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

ReadResult ReadRegularFile(const std::string& path, std::string& out, std::size_t maxBytes, std::string* error,
                           bool* truncated) {
    out.clear();
    if (truncated) *truncated = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int e = errno;
        if (error) *error = std::strerror(e);
        return e == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        if (error) *error = std::strerror(errno);
        ::close(fd);
        return ReadResult::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error) *error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return ReadResult::Failed;
    }
    char buf[65536];
    for (;;) {
        const std::size_t room = maxBytes - out.size();
        // One byte more than allowed tells a file of exactly maxBytes from a longer one.
        const std::size_t want = room < sizeof buf ? room + 1 : sizeof buf;
        const ssize_t n = ::read(fd, buf, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (error) *error = std::strerror(errno);
            ::close(fd);
            out.clear();
            return ReadResult::Failed;
        }
        if (n == 0) break;
        const std::size_t got = static_cast<std::size_t>(n);
        if (got > room) {
            out.append(buf, room);
            if (truncated) *truncated = true;
            break;
        }
        out.append(buf, got);
    }
    ::close(fd);
    return ReadResult::Ok;
}

}  // namespace platform
