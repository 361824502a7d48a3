#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace platform {
namespace {
std::string& Dir() {
    static std::string dir = [] {
        char buf[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n <= 0) return std::string(".");
        std::string exe(buf, static_cast<size_t>(n));
        auto slash = exe.rfind('/');
        return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
    }();
    return dir;
}
}  // namespace

const std::string& WorkDir() { return Dir(); }

void SetWorkDir(const std::string& dir) {
    std::string d = dir;
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    Dir() = d;
}

std::string InWorkDir(const std::string& relative) { return Dir() + "/" + relative; }

bool EnsureDir(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0) return true;
    struct stat st {};
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform
