#include "platform/FileWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform {

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

constexpr std::string_view kTempMark = ".zbrtmp";

}  // namespace

std::string TempFileBeside(const std::string& path) {
    static unsigned counter = 0;
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return dir + "/." + base + std::string(kTempMark) + std::to_string(::getpid()) + "_" + std::to_string(++counter);
}

int RemoveLeftoverTempFiles(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name(e->d_name);
        if (name.size() < 2 || name[0] != '.') continue;
        const std::size_t mark = name.rfind(kTempMark);
        if (mark == std::string_view::npos || mark < 2) continue;
        // <pid>_<n> after the mark, digits only.
        const std::string_view tail = name.substr(mark + kTempMark.size());
        const std::size_t sep = tail.find('_');
        if (sep == 0 || sep == std::string_view::npos || sep + 1 >= tail.size()) continue;
        bool digits = true;
        for (std::size_t i = 0; i < tail.size() && digits; ++i)
            digits = i == sep ? true : (tail[i] >= '0' && tail[i] <= '9');
        if (!digits || sep > 9) continue;
        const pid_t pid = pid_t(std::stol(std::string(tail.substr(0, sep))));
        if (pid == ::getpid() || (pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM))) continue;
        const std::string full = dir + "/" + std::string(name);
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (::unlink(full.c_str()) == 0) ++removed;
    }
    ::closedir(d);
    return removed;
}

void IgnoreFileSizeSignal() { ::signal(SIGXFSZ, SIG_IGN); }

WriteResult WriteWholeFile(const std::string& path, std::string_view bytes, std::string* error) {
    auto fail = [&](WriteResult r, int err) {
        if (error) *error = std::strerror(err);
        return r;
    };
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) return fail(WriteResult::CreateFailed, EISDIR);

    struct stat st {};
    bool keepMode = false;
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return fail(WriteResult::CreateFailed, EISDIR);
        keepMode = true;
    }

    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = TempFileBeside(path);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return fail(WriteResult::CreateFailed, errno);
    }
    if (fd < 0) return fail(WriteResult::CreateFailed, EEXIST);
    if (keepMode) ::fchmod(fd, st.st_mode & 07777);

    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return fail(WriteResult::WriteFailed, err);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return abandon(errno);
        }
        if (n == 0) return abandon(ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return abandon(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return fail(WriteResult::WriteFailed, err);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return fail(WriteResult::WriteFailed, err);
    }
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return WriteResult::Ok;
}

}  // namespace platform
