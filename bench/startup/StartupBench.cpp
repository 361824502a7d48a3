// bench_startup [runs] [baud...]
// bench_startup --case headless|qt shown|connect FOLDER
//
// Start-up of the program: from the start of the process to the main window
// shown, and on to the end of the connect sequence against the controller
// emulator. The program is this one started again with --case, doing what
// the program's entry does (the screen, the main window, every menu handler
// attached, the main loop):
//
// - "shown": headless, when the main loop has shown the window; with Qt (the
//   offscreen platform), once the loop runs and the window has been painted
//   whole into its backing store.
// - "dialog": the connect dialog up (the main window's 100 ms start timer
//   opens it; headless the timer is fired at once).
// - "connected": the connect sequence over: "Зв'язатися" clicked in the
//   dialog and the operator's code and password typed as soon as each
//   window is up, then over a pseudo-terminal as a direct link (COM1 of the
//   folder, the settings' defaults otherwise: 5 preambles, 2 s reply wait)
//   table 0 read and checked, the identification tables 5, 6, 14, 41 and 15
//   read and the menus shown.
//
// The emulator runs in this process on the pseudo-terminal at each simulated
// line speed given (default 115200 and 9600 bit/s). Each case runs `runs`
// times (default 5), a fresh process each: the medians of the times (from
// just before the fork) and the largest peak resident memory of the
// finished processes (getrusage). A case started by hand ("--case qt shown
// FOLDER") ends once its window has shown: the whole process can be timed
// from outside (/usr/bin/time -v).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "app/Handlers.h"
#include "app/Main.h"
#include "config/Globals.h"
#include "config/Shortuspass.h"
#include "emulator/Emulator.h"
#include "link/Connect.h"
#include "platform/Paths.h"
#include "ui/TestDriver.h"
#ifdef ZBR_BENCH_QT
#include <QtWidgets>

#include "ui/qt/QtUi.h"
#endif

namespace {

using bench::MedianOfAll;

using Clock = std::chrono::steady_clock;

// steady_clock is CLOCK_MONOTONIC: one clock for the parent and its children.
long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

void Mark(const char* what) {
    std::printf("%s %lld\n", what, NowNs());
    std::fflush(stdout);
}

// ---- one start (a process of its own)

int RunHeadless(bool connect) {
    ui::test::Driver drv;
    drv.setScreen(1280, 1024);
    bool unexpected = false;
    drv.onFailure = [&unexpected](const std::string& what) {
        std::fprintf(stderr, "unexpected: %s\n", what.c_str());
        unexpected = true;
    };
    TFormMain main(nullptr);
    AttachMenuHandlers(main);
    ui::Application::Run(main);  // headless: shows the window and returns
    Mark("shown");
    if (!connect) return 0;
    drv.onModal<TFormConnect>([](TFormConnect& f) {
        Mark("dialog");
        f.BitBtn1.Click();
    });
    drv.onModal<TFormShortUsPass>([](TFormShortUsPass& f) {
        f.Edit1.TypeText("1111");
        f.Edit2.TypeText("12345");
        f.BitBtn1.Click();
    });
    drv.fireTimer(main.TimerStart);
    if (!IsConnected || unexpected) {
        std::fprintf(stderr, "not connected\n");
        return 1;
    }
    Mark("connected");
    return 0;
}

#ifdef ZBR_BENCH_QT
int RunQt(bool connect, int argc, char** argv) {
    bench::UseOffscreenQt();
    ui::qt::Screen screen(argc, argv);
    ui::Screen::SetMetrics(1280, 1024, 96);
    TFormMain main(nullptr);
    AttachMenuHandlers(main);
    bool done = false;
    // The first thing the main loop does once the window is up.
    QTimer::singleShot(0, [&] {
        ui::qt::Sync();
        if (QWidget* w = ui::qt::WidgetOf(main)) w->window()->repaint();
        Mark("shown");
        if (!connect) {
            done = true;
            main.Close();
        }
    });
    ui::qt::SetModalShownHook([](ui::Form& f) {
        if (auto* c = dynamic_cast<TFormConnect*>(&f)) {
            Mark("dialog");
            c->BitBtn1.Click();
        } else if (auto* u = dynamic_cast<TFormShortUsPass*>(&f)) {
            u->Edit1.TypeText("1111");
            u->Edit2.TypeText("12345");
            u->BitBtn1.Click();
        } else {
            std::fprintf(stderr, "unexpected window %s\n", f.Name().c_str());
            f.Close();
        }
    });
    // The sequence is over once it is connected and its handler has returned.
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done || !IsConnected || ExchangeGuard::Count() > 0) return;
        done = true;
        Mark("connected");
        main.Close();
    });
    if (connect) poll.start();
    // A sequence that does not end is a failure, not a hang.
    QTimer::singleShot(30000, [&] {
        if (done) return;
        std::fprintf(stderr, "not connected after 30 s\n");
        main.Close();
    });
    ui::Application::Run(main);
    ui::qt::SetModalShownHook(nullptr);
    return done ? 0 : 1;
}
#endif

int RunCase(const std::string& screen, bool connect, const std::string& folder, int argc, char** argv) {
    std::filesystem::create_directories(std::filesystem::path(folder) / "INI");
    platform::SetWorkDir(folder);
    if (screen == "qt") {
#ifdef ZBR_BENCH_QT
        return RunQt(connect, argc, argv);
#else
        (void)argc;
        (void)argv;
        std::fprintf(stderr, "built without Qt\n");
        return 1;
#endif
    }
    return RunHeadless(connect);
}

// ---- the parent

struct Result {
    bool ok = false;
    double shownMs = 0, dialogMs = 0, connectedMs = 0;
    long peakKb = 0;
};

Result RunChild(const std::string& self, const std::string& screen, bool connect, const std::string& folder) {
    Result res;
    const bench::ChildRun run = bench::RunProcess(self, {"--case", screen, connect ? "connect" : "shown", folder});
    if (!run.ok) return res;
    const long long t0 = std::chrono::duration_cast<std::chrono::nanoseconds>(run.started.time_since_epoch()).count();
    res.peakKb = run.peakKb;
    char what[32];
    long long at = 0;
    int marks = 0;
    for (const char* p = run.out.c_str(); std::sscanf(p, "%31s %lld", what, &at) == 2;) {
        const double ms = double(at - t0) / 1e6;
        if (std::strcmp(what, "shown") == 0) res.shownMs = ms, ++marks;
        else if (std::strcmp(what, "dialog") == 0) res.dialogMs = ms, ++marks;
        else if (std::strcmp(what, "connected") == 0) res.connectedMs = ms, ++marks;
        p = std::strchr(p, '\n');
        if (!p) break;
        ++p;
    }
    res.ok = marks == (connect ? 3 : 1);
    return res;
}

void WriteSettings(const std::string& folder, int baud) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(std::filesystem::path(folder) / "INI");
    std::ofstream(folder + "/INI/zbr.ini", std::ios::binary)
        << "[CURR_PAR]\r\nConn_Prz=0\r\n[DIR_CONN_PAR]\r\nCOMPort=1\r\nAdr=1\r\nRate=" << baud << "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && std::strcmp(argv[1], "--case") == 0)
        return RunCase(argv[2], std::strcmp(argv[3], "connect") == 0, argv[4], argc, argv);

    int runs = 5;
    std::vector<int> bauds;
    for (int i = 1; i < argc; ++i) {
        const int v = std::atoi(argv[i]);
        if (v > 0 && v < 300) runs = v;
        else if (v >= 300) bauds.push_back(v);
    }
    if (bauds.empty()) bauds = {115200, 9600};
    const std::string folder = "/tmp/zbr-bench-startup";
    const std::string self = bench::SelfPath();
    std::vector<std::string> screens = {"headless"};
#ifdef ZBR_BENCH_QT
    screens.push_back("qt");
#endif

    std::printf("median of %d runs, a fresh process each; times from the fork\n\n", runs);
    std::printf("| screen | case | main window shown | connect dialog | connected | peak memory |\n");
    std::printf("|---|---|---|---|---|---|\n");
    int failures = 0;
    auto row = [&](const std::string& screen, bool connect, int baud) {
        WriteSettings(folder, baud);
        emu::Emulator emu;
        if (connect) {
            emu.SetLineBaud(baud);
            emu.StartPty(folder + "/dev/com1");
        }
        std::vector<double> shown, dialog, connected;
        long peak = 0;
        for (int r = 0; r < runs; ++r) {
            emu.ClearLog();
            const Result res = RunChild(self, screen, connect, folder);
            if (!res.ok) {
                std::fprintf(stderr, "%s %s: the case failed\n", screen.c_str(), connect ? "connect" : "shown");
                ++failures;
                return;
            }
            shown.push_back(res.shownMs);
            dialog.push_back(res.dialogMs);
            connected.push_back(res.connectedMs);
            peak = std::max(peak, res.peakKb);
        }
        // The line time of the sequence's bytes: the requests as the controller got them,
        // the replies as an emulator of the same make answers them.
        uint64_t bytes = 0;
        {
            emu::Emulator replies;
            for (const emu::ReceivedFrame& f : emu.Log())
                bytes += f.bytes.size() + uint64_t(f.preambles) + replies.Process(f.bytes).size();
        }
        char what[64];
        std::snprintf(what, sizeof what, connect ? "connect, direct link at %d bit/s" : "window only", baud);
        if (connect)
            std::printf("| %s | %s | %.0f ms | %.0f ms | %.0f ms (%zu requests, %llu bytes: %.0f ms on the line) | %.1f MiB |\n",
                        screen.c_str(), what, MedianOfAll(shown), MedianOfAll(dialog), MedianOfAll(connected),
                        emu.Log().size(), static_cast<unsigned long long>(bytes), double(bytes) * 10000.0 / baud,
                        double(peak) / 1024.0);
        else
            std::printf("| %s | %s | %.0f ms | - | - | %.1f MiB |\n", screen.c_str(), what, MedianOfAll(shown),
                        double(peak) / 1024.0);
        std::fflush(stdout);
    };
    for (const std::string& screen : screens) {
        row(screen, false, bauds.front());
        for (int baud : bauds) row(screen, true, baud);
    }
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
