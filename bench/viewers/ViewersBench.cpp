// bench_viewers [records] [runs] [--qt] [--folder DIR] [kinds...]
//
// Opens an archive file of `records` records (default 100,000) in the value
// viewer of each kind, the way "Перегляд з файлу" does it
// (ViewArchiveFileAt: the file read and checked, the records handed to the
// viewer, the window laid out and shown), and reports the time until the
// window shows, the time of a jump to another place of the archive, and the
// peak memory of the process.
//
// Every case runs in a process of its own (this program started again with
// --case), so that each peak is its own: the parent writes the files, runs
// each case `runs` times (default 3) and prints the median times and the
// largest peaks of resident memory: when the window has shown, and at the
// end (after the jumps). Headless, "shown" ends when the texts of the rows on screen
// have been read from the grids (what a screen would draw) after the
// window's modal handler started. With --qt the Qt backend shows the real
// window on the offscreen platform; "shown" ends after a full paint of the
// window into its backing store (QWidget::repaint) once its dialog is up. "jump" is the mean of 50
// jumps spread over the archive (row selected and scrolled into view, then
// the screen read, or with --qt painted again).
//
// Kinds: meas hour day calib verif wmtmeas wmthour wmtday (default all).
// With ZBR_BENCH_PNG=<folder> set, the Qt case also saves a picture of each
// window there (after the timing).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "BenchTimes.h"
#include "WindowBench.h"
#include "data/ArchOpen.h"
#include "data/ArchiveFiles.h"
#include "data/ArhMeas_Chr.h"
#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHDM_Chr.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Arhiv_Clb.h"
#include "data/Arhiv_Verif.h"
#include "common/GasParams.h"
#include "common/ReportFormat.h"
#include "data/ValueViewers.h"
#include "platform/Paths.h"
#include "ui/TestDriver.h"

namespace {

using bench::Clock;
using bench::Ms;
using bench::DayDate;
using bench::PeakKb;

struct Kind {
    const char* name;
    ArchiveKind kind;
};
const Kind kKinds[] = {
    {"meas", ArchiveKind::ChromMeas}, {"hour", ArchiveKind::ChromHour},  {"day", ArchiveKind::ChromDay},
    {"calib", ArchiveKind::Calib},    {"verif", ArchiveKind::Verif},     {"wmtmeas", ArchiveKind::WmtMeas},
    {"wmthour", ArchiveKind::WmtHour}, {"wmtday", ArchiveKind::WmtDay},
};

// ---- the files

// A value of code `k` that varies from record to record like a real gas.
float GasValue(int k, int i) {
    static const float base[kGasParamCount] = {92.4f, 3.1f, 0.85f, 0.12f, 0.15f, 0.031f, 0.029f, 0.011f, 0.9f, 1.6f,
                                               0.004f, 8050.f, 0.7312f, 9620.f, 0.9978f, 0.0021f, 12.5f, 50.1f, 8890.f,
                                               0.5661f};
    const double wobble = std::sin(double(i) * 0.37 + k) * 0.013 + std::cos(double(i) * 0.011 * (k + 1)) * 0.004;
    return float(double(base[k]) * (1.0 + wobble));
}

template <class R>
void Stamp(R& r, int i, int perDay) {
    DeviceDateTime t{};
    DayDate(i / perDay, t.year, t.month, t.day);
    const int slot = i % perDay;
    t.hour = uint8_t(slot * 24 / perDay);
    t.minute = uint8_t(slot * 24 * 60 / perDay % 60);
    t.second = uint8_t(i * 7 % 60);
    r.time = t;
}

template <class R>
void StampInterval(R& r, int i, bool daily) {
    DayDate(daily ? i : i / 24, r.year, r.month, r.day);
    r.startHour = uint8_t(daily ? 10 : i % 24);
    r.endHour = uint8_t(daily ? (0x80 | 9) : i % 24);
    r.endMinute = 59;
    r.endSecond = 59;
}

// Every 997th record is switched off, every 1009th has a NaN, every 4999th
// is damaged (CRC).
template <class R>
void Finish(std::vector<R>& recs) {
    for (std::size_t i = 0; i < recs.size(); ++i) {
        SealRecord(recs[i]);
        if (i % 4999 == 4998) reinterpret_cast<uint8_t*>(&recs[i])[sizeof(R) - 1] ^= 0x5A;
    }
}

template <class R>
std::vector<R> MakeRecords(ArchiveKind kind, int n) {
    std::vector<R> recs(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        R& r = recs[std::size_t(i)];
        if constexpr (std::is_same_v<R, HdmArchiveRecord>) {
            StampInterval(r, i, kind == ArchiveKind::ChromDay);
            r.SetCount(uint16_t(10 + i % 3));
            for (int k = 0; k < kGasParamCount; ++k) r.SetValue(k, GasValue(k, i));
            if (i % 997 == 996) r.status = 0x02;
        } else if constexpr (std::is_same_v<R, ChromMeasRecord>) {
            Stamp(r, i, 96);
            for (int k = 0; k < kGasParamCount; ++k) r.SetValue(k, GasValue(k, i));
            if (i % 997 == 996) r.controllerStatus = 0x02;
        } else if constexpr (std::is_same_v<R, VerifRecord>) {
            Stamp(r, i, 4);
            r.line = uint8_t(1 + i % 2);
            r.result = uint8_t(i % 13 == 0);
            for (int k = 0; k < kGasParamCount; ++k) r.SetValue(k, GasValue(k, i));
        } else if constexpr (std::is_same_v<R, CalibRecord>) {
            Stamp(r, i, 4);
            r.line = uint8_t(1 + i % 2);
            r.result = uint8_t(i % 13 == 0);
            for (int k = 0; k < kGasParamCount; ++k) {
                r.SetValue(k, GasValue(k, i));
                r.SetFactor(k, GasValue(k, i + 1) / GasValue(k, i));
            }
        } else if constexpr (std::is_same_v<R, WmtMomentaryRecord>) {
            Stamp(r, i, 96);
            for (int v = 0; v < kWmtValueCount; ++v) r.SetValue(v, -12.5f + 0.01f * float(i % 1000) + float(v));
            if (i % 997 == 996) r.status = 0x02;
        } else {
            StampInterval(r, i, kind == ArchiveKind::WmtDay);
            for (int v = 0; v < kWmtValueCount; ++v) r.SetValue(v, -12.5f + 0.01f * float(i % 1000) + float(v));
            if (i % 997 == 996) r.status = 0x02;
        }
        if constexpr (requires { r.SetValue(2, 0.f); }) {
            if (i % 1009 == 1008) r.SetValue(2, std::nanf(""));
        }
    }
    Finish(recs);
    return recs;
}

ArchiveFileHeader MakeHeader(ArchiveKind kind, uint32_t count) {
    ArchiveFileHeader h = bench::FileHeader(kind, count, 1);
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    h.LineDevice = uint8_t(info.device < 0 ? 0 : info.device);
    if (info.device == 0 && kind != ArchiveKind::Calib && kind != ArchiveKind::Verif)
        std::memcpy(h.LineName, "North 1", 7);
    h.FromDate = {13, 1, 1, 0, 0, 0};
    h.ToDate = {24, 3, 15, 23, 0, 0};
    h.OxygenShown = 1;
    return h;
}

template <class R>
bool WriteFile(ArchiveKind kind, const std::string& path, int n) {
    const std::vector<R> recs = MakeRecords<R>(kind, n);
    FileMessage message;
    if (!SaveArchiveFile(path, MakeHeader(kind, uint32_t(n)), std::span<const R>(recs), message)) {
        std::fprintf(stderr, "%s: %s %s\n", path.c_str(), message.line1.c_str(), message.line2.c_str());
        return false;
    }
    return true;
}

bool WriteFileOf(ArchiveKind kind, const std::string& path, int n) {
    switch (kind) {
    case ArchiveKind::ChromMeas: return WriteFile<ChromMeasRecord>(kind, path, n);
    case ArchiveKind::ChromHour:
    case ArchiveKind::ChromDay: return WriteFile<HdmArchiveRecord>(kind, path, n);
    case ArchiveKind::Calib: return WriteFile<CalibRecord>(kind, path, n);
    case ArchiveKind::Verif: return WriteFile<VerifRecord>(kind, path, n);
    case ArchiveKind::WmtMeas: return WriteFile<WmtMomentaryRecord>(kind, path, n);
    default: return WriteFile<WmtArchiveRecord>(kind, path, n);
    }
}

// ---- one case (a process of its own)

// The texts of the rows a grid shows, read as a screen would.
std::size_t ReadShownRows(const ui::StringGrid& g, int rows) {
    std::size_t chars = 0;
    for (int r = 0; r < g.FixedRows(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) chars += g.Cell(c, r).size();
    for (int r = g.TopRow(); r < std::min(g.RowCount(), g.TopRow() + rows); ++r)
        for (int c = 0; c < g.ColCount(); ++c) chars += g.Cell(c, r).size();
    return chars;
}

std::size_t ReadShown(ui::Form& f) {
    if (auto* v = dynamic_cast<TwoGridViewer*>(&f)) {
        // The value area shows VisibleRows() rows from its scroll position.
        const int first = v->ScrollBox1.VertPosition() / TwoGridViewer::kRowStep;
        const int n = v->VisibleRows() + 1;
        std::size_t chars = 0;
        for (ui::StringGrid* g : {&v->StringGrid1, &v->StringGrid2})
            for (int r = first; r < std::min(g->RowCount(), first + n); ++r)
                for (int c = 0; c < g->ColCount(); ++c) chars += g->Cell(c, r).size();
        return chars;
    }
    if (auto* c = dynamic_cast<TFormArhiv_Clb*>(&f)) {
        const int first = c->StringGrid1.FixedRows() + c->ScrollBox1.VertPosition() / (TFormArhiv_Clb::kRowHeight + 1);
        const int n = c->ScrollBox1.ClientHeight() / (TFormArhiv_Clb::kRowHeight + 1) + 1;
        std::size_t chars = 0;
        for (int r = 0; r < c->StringGrid1.FixedRows(); ++r)
            for (int col = 0; col < c->StringGrid1.ColCount(); ++col) chars += c->StringGrid1.Cell(col, r).size();
        for (int r = first; r < std::min(c->StringGrid1.RowCount(), first + n); ++r)
            for (int col = 0; col < c->StringGrid1.ColCount(); ++col) chars += c->StringGrid1.Cell(col, r).size();
        return chars;
    }
    if (auto* w = dynamic_cast<WmtViewer*>(&f)) return ReadShownRows(w->StringGrid1, w->StringGrid1.VisibleRowCount() + 1);
    return 0;
}

// Moves the window to record row `row` as a user's jump there would (the
// row selected and scrolled into view).
void JumpTo(ui::Form& f, int row) {
    if (auto* v = dynamic_cast<TwoGridViewer*>(&f)) {
        v->ScrollRowIntoView(row);
    } else if (auto* c = dynamic_cast<TFormArhiv_Clb*>(&f)) {
        c->ScrollBox1.SetVertPosition(row * (TFormArhiv_Clb::kRowHeight + 1));
        c->StringGrid1.SetRow(TFormArhiv_Clb::kHeadRows + row);
    } else if (auto* w = dynamic_cast<WmtViewer*>(&f)) {
        w->StringGrid1.SetRow(row);
    }
}

int RowCountOf(ui::Form& f) {
    if (auto* v = dynamic_cast<TFormArhMeas_Chr*>(&f)) return int(v->Records.size());
    if (auto* v = dynamic_cast<TFormArhivHDM_Chr*>(&f)) return int(v->Records.size());
    if (auto* v = dynamic_cast<TFormArhiv_Verif*>(&f)) return int(v->Records.size());
    if (auto* v = dynamic_cast<TFormArhiv_Clb*>(&f)) return int(v->Records.size());
    if (auto* v = dynamic_cast<TFormArhMeas_Wmt*>(&f)) return int(v->Records.size());
    if (auto* v = dynamic_cast<TFormArhivHD_Wmt*>(&f)) return int(v->Records.size());
    return 0;
}

// Jumps to 50 places spread over the records; `show` makes each screen (reads
// its rows, or paints it). The mean time of one jump.
template <class Show>
double JumpAround(ui::Form& f, Show&& show) {
    return bench::JumpAround(RowCountOf(f), [&](int row) { JumpTo(f, row); }, show);
}

int RunCaseHeadless(ArchiveKind kind, const std::string& path) {
    ui::test::Driver drv;
    bench::SetUpDriver(drv);
    Clock::time_point t0, shown, read;
    std::size_t chars = 0;
    double jump = 0;
    long peakShown = 0;
    auto onShown = [&](ui::Form& f) {
        shown = Clock::now();
        chars = ReadShown(f);
        read = Clock::now();
        peakShown = PeakKb();
        jump = JumpAround(f, [&] { chars += ReadShown(f); });
    };
    drv.onModal<TFormArhMeas_Chr>([&](TFormArhMeas_Chr& f) { onShown(f); });
    drv.onModal<TFormArhivHDM_Chr>([&](TFormArhivHDM_Chr& f) { onShown(f); });
    drv.onModal<TFormArhiv_Clb>([&](TFormArhiv_Clb& f) { onShown(f); });
    drv.onModal<TFormArhiv_Verif>([&](TFormArhiv_Verif& f) { onShown(f); });
    drv.onModal<TFormArhMeas_Wmt>([&](TFormArhMeas_Wmt& f) { onShown(f); });
    drv.onModal<TFormArhivHD_Wmt>([&](TFormArhivHD_Wmt& f) { onShown(f); });
    t0 = Clock::now();
    if (!ViewArchiveFileAt(kind, path) || chars == 0) {
        std::fprintf(stderr, "the viewer did not show %s\n", path.c_str());
        return 1;
    }
    std::printf("%.2f %.3f %zu %ld\n", Ms(read - t0), jump, chars, peakShown);
    return 0;
}

int RunCaseQt(ArchiveKind kind, const std::string& path, int argc, char** argv) {
    if (!bench::QtBuilt()) return 1;
    bench::WindowShown m;
    const bool shown = bench::ShowOnQt(
        argc, argv, m, [&] { return ViewArchiveFileAt(kind, path); }, [](ui::Form& f) { return ReadShown(f); },
        [](ui::Form& f, auto paint) { return JumpAround(f, paint); },
        [](ui::Form& f) { return ui::test::Driver::ClassName(f); });
    if (!shown) {
        std::fprintf(stderr, "the viewer did not show %s\n", path.c_str());
        return 1;
    }
    std::printf("%.2f %.3f %zu %ld\n", Ms(m.shown - m.t0), m.jumpMs, m.chars, m.peakKb);
    return 0;
}

int RunCase(const std::string& kindName, const std::string& path, bool qt, int argc, char** argv) {
    ReportFormat = DefaultReportFormat();
    ParamOrder = ParamOrderDefault;
    RegisterValueViewers();
    if (const Kind* k = bench::FindKind(kKinds, kindName))
        return qt ? RunCaseQt(k->kind, path, argc, argv) : RunCaseHeadless(k->kind, path);
    return 1;
}

// ---- the parent

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--case") == 0)
        return RunCase(argv[2], argv[3], argc >= 5 && std::strcmp(argv[4], "--qt") == 0, argc, argv);

    const bench::WindowArgs args = bench::ParseWindowArgs(argc, argv, "/tmp/zbr-bench-viewers", kKinds);
    const int records = args.records, runs = args.runs;
    const bool qt = args.qt;
    const std::string& folder = args.folder;
    std::filesystem::create_directories(std::filesystem::path(folder) / "INI");
    platform::SetWorkDir(folder);
    const std::string self = bench::SelfPath();

    bench::PrintWindowRuns(args);
    std::printf("%-8s %10s %12s %10s %12s\n", "kind", "shown ms", "peak MiB", "jump ms", "peak MiB end");
    return bench::RunKinds(kKinds, args, [&](const Kind& k, const std::string& name) {
        const std::string path =
            folder + "/bench-" + name + "-" + std::to_string(records) + ArchiveInfo(k.kind).extension;
        if (!std::filesystem::exists(path) && !WriteFileOf(k.kind, path, records)) return false;
        bench::WindowRuns all;
        const std::vector<std::string> caseArgs = {"--case", name, path};
        const bool ok =
            bench::RunTimes(runs, name, all, [&] { return bench::RunWindowCase(self, caseArgs, qt, false); });
        if (all.shownMs.empty()) return ok;
        std::printf("%-8s %10.1f %12.1f %10.2f %12.1f\n", name.c_str(), bench::Median(all.shownMs),
                    double(all.shownRssKb) / 1024.0, bench::Median(all.jumpMs), double(all.maxRssKb) / 1024.0);
        std::fflush(stdout);
        return ok;
    });
}
