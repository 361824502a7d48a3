// What the benchmarks that measure a process of its own share: this program
// started again for one case (its output and its peak memory), the peak
// memory of this process, the offscreen Qt platform, an even-handed median,
// and the command line of the window benchmarks.
#pragma once
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

// The peak resident memory of this process so far (VmHWM), KiB.
inline long PeakKb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// One run of a case in a process of its own.
struct ChildRun {
    bool ok = false;  // started, and ended of itself with status 0
    std::string out;  // what it wrote to its standard output
    long peakKb = 0;  // its peak resident memory (getrusage of the child)
    std::chrono::steady_clock::time_point started;  // just before the fork
};

// Runs `program` with `args` (argv[1]...) in a new process, its standard
// output read into the result, and waits for it to end.
inline ChildRun RunProcess(const std::string& program, const std::vector<std::string>& args) {
    ChildRun run;
    std::vector<const char*> argv = {program.c_str()};
    for (const std::string& a : args) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    int fd[2];
    if (pipe(fd) != 0) return run;
    run.started = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        close(fd[0]);
        close(fd[1]);
        return run;
    }
    if (pid == 0) {
        dup2(fd[1], 1);
        close(fd[0]);
        close(fd[1]);
        execv(program.c_str(), const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(fd[1]);
    char buf[256];
    for (ssize_t n; (n = read(fd[0], buf, sizeof buf)) > 0;) run.out.append(buf, std::size_t(n));
    close(fd[0]);
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return run;
    run.peakKb = ru.ru_maxrss;
    run.ok = true;
    return run;
}

// This program's own file, to start again for a case.
inline std::string SelfPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

// Before the Qt backend starts: Qt's offscreen platform (unless another one
// is asked for) and a runtime folder of this user's own where none is set.
inline void UseOffscreenQt() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string runtime = "/tmp/zbr-bench-runtime-" + std::to_string(getuid());
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
}

// The median, of an even count the mean of the two middle values; 0 of none.
inline double MedianOfAll(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The command line of a window benchmark: [records] [runs] [--qt]
// [--folder DIR] [kinds...]. The first number is the records, the second
// the runs; anything else is a kind.
struct WindowArgs {
    int records = 100000, runs = 3;
    bool qt = false;
    std::string folder;
    std::vector<std::string> kinds;
};

// With no kind named, all of `kinds` (each with a `name`).
template <class Kind, std::size_t N>
WindowArgs ParseWindowArgs(int argc, char** argv, const std::string& folder, const Kind (&kinds)[N]) {
    WindowArgs a;
    a.folder = folder;
    int numbers = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string s = argv[i];
        if (s == "--qt") a.qt = true;
        else if (s == "--folder" && i + 1 < argc) a.folder = argv[++i];
        else if (!s.empty() && s[0] >= '0' && s[0] <= '9') (numbers++ == 0 ? a.records : a.runs) = std::atoi(s.c_str());
        else a.kinds.push_back(s);
    }
    if (a.kinds.empty())
        for (const Kind& k : kinds) a.kinds.push_back(k.name);
    return a;
}

// The first line of a window benchmark's table: what shows the windows, how
// many records, how many runs.
inline void PrintWindowRuns(const WindowArgs& a) {
    std::printf("%s, %d records, median of %d runs\n", a.qt ? "Qt (offscreen)" : "headless", a.records, a.runs);
}

// The entry of `kinds` (each with a `name`) called `name`; null (said on
// stderr) when there is none.
template <class Kind, std::size_t N>
const Kind* FindKind(const Kind (&kinds)[N], const std::string& name) {
    for (const Kind& k : kinds)
        if (name == k.name) return &k;
    std::fprintf(stderr, "unknown kind %s\n", name.c_str());
    return nullptr;
}

// Jumps to 50 places spread over `rows` rows: `jumpTo(row)` moves the
// window there, `show()` makes the screen (reads its rows, or paints it).
// The mean time of one jump, ms.
template <class JumpTo, class Show>
double JumpAround(int rows, JumpTo&& jumpTo, Show&& show) {
    if (rows <= 0) return 0;
    constexpr int kJumps = 50;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kJumps; ++i) {
        jumpTo(int((long long)rows * ((i * 37) % kJumps) / kJumps));
        show();
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / kJumps;
}

}  // namespace bench
