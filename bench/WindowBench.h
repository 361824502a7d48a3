// What the window benchmarks (value viewers, message lists) share: the
// headless screen of a case and a window shown on Qt's offscreen platform,
// painted and jumped about in.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "BenchTimes.h"
#include "data/ArchiveFiles.h"
#include "ui/Form.h"
#include "ui/TestDriver.h"
#ifdef ZBR_BENCH_QT
#include <QtWidgets>

#include "ui/qt/QtUi.h"
#endif

namespace bench {

// ---- the records

// Date of day `n` after 01.01.2013 (year - 2000, month, day).
inline void DayDate(int n, uint8_t& y, uint8_t& m, uint8_t& d) {
    static const int len[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int year = 2013;
    for (;;) {
        const int days = (year % 4 == 0) ? 366 : 365;
        if (n < days) break;
        n -= days;
        ++year;
    }
    int month = 0;
    for (;; ++month) {
        const int l = len[month] + (month == 1 && year % 4 == 0 ? 1 : 0);
        if (n < l) break;
        n -= l;
    }
    y = uint8_t(year - 2000);
    m = uint8_t(month + 1);
    d = uint8_t(n + 1);
}

// The header of a file of `count` records of `kind`, read 16.03.2024 10:00
// from controller "ZBR-7" (address 5, serial 123456) with the given
// moisture meter; the rest (dates, line) is the caller's.
inline ArchiveFileHeader FileHeader(ArchiveKind kind, uint32_t count, uint8_t moistureMeterType) {
    ArchiveFileHeader h;
    std::memcpy(h.KindTag, ArchiveInfo(kind).tag, 3);
    std::memcpy(h.ControllerName, "ZBR-7", 5);
    h.ControllerAddress = 5;
    h.ProgramVersion = kArchiveProgramVersion;
    h.ChromatographType = kSupportedChromatographType;
    h.MoistureMeterType = moistureMeterType;
    h.SetSerial(123456);
    h.ReadTime = {24, 3, 16, 10, 0, 0};
    h.SetCount(count);
    return h;
}

// ---- one case

// What a case saw of its window.
struct WindowShown {
    Clock::time_point t0, shown;  // opening started; the window shown
    std::size_t chars = 0;        // the text read from the rows on screen
    double jumpMs = 0;            // the mean time of a jump
    long peakKb = 0;              // the peak memory once shown
};

// The screen of a headless case; what the driver finds wrong goes to stderr.
inline void SetUpDriver(ui::test::Driver& drv) {
    drv.setScreen(1280, 1024);
    drv.onFailure = [](const std::string& what) { std::fprintf(stderr, "driver: %s\n", what.c_str()); };
}

// True when this program can show its windows on Qt; otherwise says so.
inline bool QtBuilt() {
#ifdef ZBR_BENCH_QT
    return true;
#else
    std::fprintf(stderr, "built without Qt\n");
    return false;
#endif
}

// Opens a window with `open()` on Qt's offscreen platform. Once it is up it
// is painted whole into its backing store, now: every row on screen asked
// for and drawn ("shown"). Then `read(form)` reads the rows on screen (0:
// not a window of the case) and `jump(form, paint)` the mean time of the
// jumps, each screen painted again. With ZBR_BENCH_PNG=<folder> set, a
// picture of the window is saved there as `png(form)`.png (not timed).
// False when the window did not open or show anything.
template <class Open, class Read, class Jump, class Png>
bool ShowOnQt([[maybe_unused]] int argc, [[maybe_unused]] char** argv, WindowShown& m, Open&& open,
              [[maybe_unused]] Read&& read, [[maybe_unused]] Jump&& jump, [[maybe_unused]] Png&& png) {
#ifdef ZBR_BENCH_QT
    UseOffscreenQt();
    ui::qt::Screen screen(argc, argv);
    ui::Screen::SetMetrics(1280, 1024, 96);
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        ui::qt::Sync();
        QWidget* w = ui::qt::WidgetOf(f);
        if (!w) return;
        w->window()->repaint();
        m.shown = Clock::now();
        m.peakKb = PeakKb();
        m.chars = read(f);
        m.jumpMs = jump(f, [&] {
            ui::qt::Sync();
            w->window()->repaint();
        });
        if (const char* dir = std::getenv("ZBR_BENCH_PNG"))
            ui::qt::RenderToPng(f, std::string(dir) + "/" + png(f) + ".png");
        f.SetModalResult(ui::mrOk);
    });
    m.t0 = Clock::now();
    const bool ok = open() && m.chars != 0;
    ui::qt::SetModalShownHook(nullptr);
    return ok;
#else
    (void)m;
    (void)open;
    return false;
#endif
}

// ---- the parent

// One run of a case as the parent sees it: the case's times and peak when
// shown, and the peak of its whole process.
struct WindowResult {
    bool ok = false;
    double shownMs = 0, jumpMs = 0, saveMs = 0;
    long shownRssKb = 0, maxRssKb = 0;
};

// Runs a case (this program with `args`, and --qt with `qt`) in a process of
// its own. It writes "shown jump [save] chars peak", the save with `save`.
inline WindowResult RunWindowCase(const std::string& self, std::vector<std::string> args, bool qt, bool save) {
    WindowResult res;
    if (qt) args.push_back("--qt");
    const ChildRun run = RunProcess(self, args);
    if (!run.ok) return res;
    std::size_t chars = 0;
    const int got =
        save ? std::sscanf(run.out.c_str(), "%lf %lf %lf %zu %ld", &res.shownMs, &res.jumpMs, &res.saveMs, &chars,
                           &res.shownRssKb)
             : std::sscanf(run.out.c_str(), "%lf %lf %zu %ld", &res.shownMs, &res.jumpMs, &chars, &res.shownRssKb);
    if (got != (save ? 5 : 4)) return res;
    res.ok = true;
    res.maxRssKb = run.peakKb;
    return res;
}

// The runs of one case: the times of each and the largest peaks.
struct WindowRuns {
    std::vector<double> shownMs, jumpMs, saveMs;
    long shownRssKb = 0, maxRssKb = 0;
};

// Runs case `name` `runs` times, `run()` giving each result. False (said on
// stderr) when one fails; what the runs before it gave stays in `all`.
template <class Run>
bool RunTimes(int runs, const std::string& name, WindowRuns& all, Run&& run) {
    for (int r = 0; r < runs; ++r) {
        const WindowResult res = run();
        if (!res.ok) {
            std::fprintf(stderr, "%s: the case failed\n", name.c_str());
            return false;
        }
        all.shownMs.push_back(res.shownMs);
        all.jumpMs.push_back(res.jumpMs);
        all.saveMs.push_back(res.saveMs);
        all.maxRssKb = std::max(all.maxRssKb, res.maxRssKb);
        all.shownRssKb = std::max(all.shownRssKb, res.shownRssKb);
    }
    return true;
}

// For each kind named on the command line, `each(kind, name)`: false when
// its case failed. The exit status: 0 when every kind was known and ran.
template <class Kind, std::size_t N, class Each>
int RunKinds(const Kind (&kinds)[N], const WindowArgs& a, Each&& each) {
    int failures = 0;
    for (const std::string& name : a.kinds) {
        const Kind* k = FindKind(kinds, name);
        if (!k || !each(*k, name)) ++failures;
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace bench
