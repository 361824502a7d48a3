// bench_wait [seconds] [runs] [tcp|pty] [--qt]
//
// What the program spends while a reply is late: the main window reads
// table 0 (as the connect sequence does, ReadTableRange with the status
// panel) from a controller emulator that answers `seconds` (default 10) late,
// with a reply wait of that plus 5 s; `runs` reads (default 3). The emulator
// runs in a child process of its own, so that the processor time of this
// process (getrusage, every thread) is the program's alone. Over a
// pseudo-terminal as a direct link at 115200 bit/s (default) or over
// loopback TCP without the pause before a send. Headless, or with --qt the
// main window shown on Qt's offscreen platform, whose event loop runs in
// every slice of the wait (Qt's own threads counted too).
//
// Prints per read: the wall time, the process's user + system time, its
// share of one core, and the wake-ups (voluntary context switches) per
// second; then the medians.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "app/Main.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "emulator/Emulator.h"
#include "link/Hgcbox.h"
#include "platform/Paths.h"
#include "platform/Tcp.h"
#include "ui/TestDriver.h"
#ifdef ZBR_BENCH_QT
#include <QtWidgets>

#include "ui/qt/QtUi.h"
#endif

namespace {

using bench::MedianOfAll;

struct Usage {
    double cpu = 0;    // user + system, s
    long wakeups = 0;  // voluntary context switches
};

Usage Now() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return {double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6,
            ru.ru_nvcsw};
}

// The emulator in a child process: every one of the next `replies` requests
// answered `delayMs` late. Writes its TCP port into `ready` once it serves,
// and ends when `quit` is closed.
[[noreturn]] void RunEmulator(const std::string& folder, int delayMs, int replies, int ready, int quit) {
    int port = 0;
    {
        emu::Emulator emu;
        emu.SetLineBaud(115200);
        port = emu.StartTcp();
        emu.StartPty(folder + "/dev/com1");
        for (int i = 0; i < replies; ++i) emu.QueueFault({emu::FaultKind::ReplyDelay, delayMs});
        if (write(ready, &port, sizeof port) != sizeof port) _exit(1);
        close(ready);
        char c;
        while (read(quit, &c, 1) > 0) {
        }
    }
    _exit(0);
}

int Measure(TFormMain& form, bool tcp, int port, int seconds, int runs) {
    hgcbox& box = *HgcBox;
    box.Address = 1;
    box.Baud = 115200;
    box.PreambleLen = 5;
    box.ReplyTimeoutMs = uint32_t(seconds + 5) * 1000;
    box.ByteTimeoutMs = 100;
    box.Retries = 1;
    box.TcpSendDelayMs = 0;
    box.OpenRetrySec = 0;
    box.OpenPerExchange = false;
    if (tcp) {
        box.LinkType = hgcbox::kLinkTcp;
        sockaddr_in sa{};
        if (!platform::SetTcpAddress("127.0.0.1", std::to_string(port).c_str(), sa, "TCP")) return 1;
        box.Sock = platform::TcpSocket();
        if (box.Sock == platform::kNoSocket || platform::TcpConnect(box.Sock, sa, 2000) != 0) {
            std::fprintf(stderr, "no TCP connection to the emulator\n");
            return 1;
        }
    } else {
        box.LinkType = hgcbox::kLinkDirect;
        box.ComPort = 1;
        if (!box.OpenPort()) {
            std::fprintf(stderr, "cannot open the pseudo-terminal: %s\n", box.ErrorText().c_str());
            return 1;
        }
    }
    std::printf("%s, reply %d s late, reply wait %u s\n", tcp ? "loopback TCP" : "pseudo-terminal, direct link",
                seconds, box.ReplyTimeoutMs / 1000);
    std::printf("%6s %10s %10s %10s %12s\n", "read", "wall s", "CPU ms", "CPU %", "wake-ups/s");
    std::vector<double> walls, cpus, shares, rates;
    for (int i = 0; i < runs; ++i) {
        const Usage u0 = Now();
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = ReadTableRange({0, 0, 18}, &form.StatusBar1, true);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const Usage u1 = Now();
        if (!ok) {
            std::fprintf(stderr, "the read failed: %s\n", box.ErrorText().c_str());
            return 1;
        }
        const double cpu = u1.cpu - u0.cpu;
        walls.push_back(wall);
        cpus.push_back(cpu);
        shares.push_back(100.0 * cpu / wall);
        rates.push_back(double(u1.wakeups - u0.wakeups) / wall);
        std::printf("%6d %10.2f %10.1f %10.2f %12.0f\n", i + 1, wall, cpu * 1000, shares.back(), rates.back());
        std::fflush(stdout);
    }
    std::printf("%6s %10.2f %10.1f %10.2f %12.0f\n", "median", MedianOfAll(walls), MedianOfAll(cpus) * 1000,
                MedianOfAll(shares), MedianOfAll(rates));
    box.ClosePort();
    box.CloseSocket();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int seconds = 10, runs = 3;
    bool tcp = false, qt = false;
    int numbers = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--qt") qt = true;
        else if (a == "tcp") tcp = true;
        else if (a == "pty") tcp = false;
        else if (!a.empty() && a[0] >= '0' && a[0] <= '9') (numbers++ == 0 ? seconds : runs) = std::atoi(a.c_str());
    }
    if (seconds < 1 || runs < 1) return 2;
    const std::string folder = "/tmp/zbr-bench-wait-" + std::to_string(getpid());
    std::filesystem::create_directories(std::filesystem::path(folder) / "INI");

    // The emulator first, before this process has threads of its own.
    int ready[2], quit[2];
    if (pipe(ready) != 0 || pipe(quit) != 0) return 1;
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        close(ready[0]);
        close(quit[1]);
        RunEmulator(folder, seconds * 1000, runs, ready[1], quit[0]);
    }
    close(ready[1]);
    close(quit[0]);
    int port = 0;
    if (read(ready[0], &port, sizeof port) != sizeof port) {
        std::fprintf(stderr, "the emulator did not start\n");
        return 1;
    }
    close(ready[0]);

    platform::SetWorkDir(folder);
    InitConfigImage();
    int rc = 0;
    if (qt) {
#ifdef ZBR_BENCH_QT
        bench::UseOffscreenQt();
        ui::qt::Screen screen(argc, argv);
        TFormMain form(nullptr);
        form.TimerStart.SetEnabled(false);  // no connect dialog: the link is set up here
        form.Show();
        QCoreApplication::processEvents();
        std::printf("Qt (offscreen), main window shown\n");
        rc = Measure(form, tcp, port, seconds, runs);
#else
        std::fprintf(stderr, "built without Qt\n");
        rc = 2;
#endif
    } else {
        ui::test::Driver drv;
        drv.onFailure = [](const std::string& what) { std::fprintf(stderr, "unexpected: %s\n", what.c_str()); };
        TFormMain form(nullptr);
        form.TimerStart.SetEnabled(false);
        form.Show();
        std::printf("headless\n");
        rc = Measure(form, tcp, port, seconds, runs);
    }
    close(quit[1]);
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::remove_all(folder);
    return rc;
}
