// bench_messages [records] [runs] [--qt] [--folder DIR] [kinds...]
//
// Opens `records` (default 100,000) diagnostic messages or operator
// interventions in their list window and reports the time until the window
// shows, the time of a jump to another place of the list, the time of a save
// of the whole list (headless only) and the peak memory of the process.
//
// Kinds:
//   ala, aud          a saved .ala / .aud file of that many rows, opened the
//                     way "Перегляд з файлу" does it (ViewArchiveFileAt: the
//                     file read and checked, the rows handed to the window,
//                     the window laid out and shown);
//   alaread, audread  the controller's records as a read hands them over:
//                     read back from the read's temporary file
//                     (ReadTempArchive) and given to the window registered
//                     for the kind (ShowArchiveViewer), by index / by period.
// Default: all four.
//
// Every case runs in a process of its own (this program started again with
// --case), so that each peak is its own: the parent writes the files, runs
// each case `runs` times (default 3) and prints the median times and the
// largest peaks of resident memory: when the window has shown, and at the
// end (after the jumps and the save). Headless, "shown" ends when the texts
// of the rows on screen have been read from the grid (what a screen would
// draw); with --qt the Qt backend shows the real window on the offscreen
// platform and "shown" ends after a full paint of the window into its
// backing store (QWidget::repaint). "jump" is the mean of 50 jumps spread
// over the list (row selected and scrolled into view, then the screen read,
// or painted again). "save" (headless) is "Зберегти у файлі" with a new file
// name, from the click to the message that the file is saved; the saved
// files stay in the folder as saved-<kind>.ala / .aud.
//
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
#include "data/ArchView.h"
#include "data/ArchiveFiles.h"
#include "data/Iniala.h"
#include "data/Iniaud.h"
#include "data/MessageDecoders.h"
#include "data/MessageViewers.h"
#include "platform/Paths.h"
#include "ui/TestDriver.h"

namespace {

using bench::Clock;
using bench::Ms;
using bench::PeakKb;

struct Kind {
    const char* name;
    ArchiveKind kind;
    bool read;  // the records of a read, not a saved file
};
const Kind kKinds[] = {
    {"ala", ArchiveKind::Diagnostic, false},
    {"aud", ArchiveKind::Intervention, false},
    {"alaread", ArchiveKind::Diagnostic, true},
    {"audread", ArchiveKind::Intervention, true},
};

// ---- the records

// Record `i` is `i` times 7 minutes and 13 seconds after 01.01.2013 00:00:00.
DeviceDateTime TimeOf(int i) {
    long long s = (long long)i * (7 * 60 + 13);
    DeviceDateTime t;
    bench::DayDate(int(s / 86400), t.year, t.month, t.day);
    s %= 86400;
    t.hour = uint8_t(s / 3600);
    t.minute = uint8_t(s / 60 % 60);
    t.second = uint8_t(s % 60);
    return t;
}

// Objects of the diagnostic events: tables, the devices and the time settings.
const uint8_t kObjects[] = {0, 3, 5, 9, 14, 22, 23, 33, 34, 41, 46, 200, 201, 202, 242, 243, 244, 12};

// Every event code (a few unknown ones among them) on every kind of object;
// every 4999th record damaged.
std::vector<DiagnosticRecord> DiagnosticRecords(int n) {
    std::vector<DiagnosticRecord> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        DiagnosticRecord& r = v[std::size_t(i)];
        r.time = TimeOf(i);
        r.event = uint8_t((i * 7) % 86);
        r.object = kObjects[std::size_t(i / 86) % std::size(kObjects)];
        r.index = uint8_t((i / 3) % 24);
        if (r.event == 5) r.value[0] = uint8_t(i % 90);
        else PutF32(r.value, float(40.0 + std::sin(i * 0.37) * 12.5));
        PutF32(r.setpoint, float(45.0 + std::cos(i * 0.11) * 3.25));
        if (r.event == 59) PutU32(r.setpoint, 0x5A5A0000u + uint32_t(i));
        SealRecord(r);
        if (i % 4999 == 4998) r.crc[1] ^= 0x5A;
    }
    return v;
}

// Changes of every table, fields 0..11 of each, by four operators (names in
// Windows-1251); every 4999th record damaged.
std::vector<InterventionRecord> InterventionRecords(int n) {
    std::vector<InterventionRecord> v(static_cast<std::size_t>(n));
    const uint8_t names[4][4] = {{0xCE, 0xEF, '0', '1'}, {'Z', 'B', 'R', ' '}, {0xC0, 0xE4, 0xEC, 0}, {'T', 0xE5, 'x', 'n'}};
    for (int i = 0; i < n; ++i) {
        InterventionRecord& r = v[std::size_t(i)];
        r.time = TimeOf(i);
        r.table = uint8_t((i * 5) % 48);
        r.field = uint8_t((i / 48) % 12);
        r.unit = uint8_t(i % 40);
        if (r.table >= 22 && r.table <= 26) {
            PutF32(r.oldValue, float(90.0 + std::sin(i * 0.37)));
            PutF32(r.newValue, float(91.0 + std::cos(i * 0.37)));
        } else if (r.table == 5) {
            std::memcpy(r.oldValue, "\x8f\xa5\xe0\xa2", 4);  // code page 866
            std::memcpy(r.newValue, "\x83\x90\x91-", 4);
        } else {
            for (int k = 0; k < 4; ++k) {
                r.oldValue[k] = uint8_t(i + k);
                r.newValue[k] = uint8_t(i * 3 + k);
            }
        }
        std::memcpy(r.operatorName, names[i % 4], 4);
        SealRecord(r);
        if (i % 4999 == 4998) r.crc[1] ^= 0x5A;
    }
    return v;
}

ArchiveFileHeader MakeHeader(ArchiveKind kind, uint32_t count, const DeviceDateTime& from, const DeviceDateTime& to) {
    ArchiveFileHeader h = bench::FileHeader(kind, count, 0);
    h.FromDate = from;
    h.ToDate = to;
    return h;
}

// The saved file of the list: one row per record, as the window saves it.
bool WriteSavedFile(ArchiveKind kind, const std::string& path, int n) {
    FileMessage message;
    bool ok = false;
    if (kind == ArchiveKind::Diagnostic) {
        const std::vector<DiagnosticRecord> recs = DiagnosticRecords(n);
        std::vector<DiagnosticRow> rows;
        rows.reserve(recs.size());
        for (const DiagnosticRecord& r : recs) rows.push_back(MakeDiagnosticRow(DecodeDiagnosticRecord(r, 0)));
        ok = SaveArchiveFile(path, MakeHeader(kind, uint32_t(n), TimeOf(0), TimeOf(n - 1)),
                             std::span<const DiagnosticRow>(rows), message);
    } else {
        const std::vector<InterventionRecord> recs = InterventionRecords(n);
        std::vector<InterventionRow> rows;
        rows.reserve(recs.size());
        for (const InterventionRecord& r : recs) rows.push_back(MakeInterventionRow(DecodeInterventionRecord(r, true)));
        ok = SaveArchiveFile(path, MakeHeader(kind, uint32_t(n), TimeOf(0), TimeOf(n - 1)),
                             std::span<const InterventionRow>(rows), message);
    }
    if (!ok) std::fprintf(stderr, "%s: %s %s\n", path.c_str(), message.line1.c_str(), message.line2.c_str());
    return ok;
}

// The records of a read, as its temporary file holds them.
bool WriteReadFile(ArchiveKind kind, const std::string& path, int n) {
    TempArchiveWriter w;
    bool ok = false;
    if (kind == ArchiveKind::Diagnostic) {
        const std::vector<DiagnosticRecord> recs = DiagnosticRecords(n);
        ok = w.Open(path, sizeof(DiagnosticRecord)) && w.Append(recs.data(), recs.size());
    } else {
        const std::vector<InterventionRecord> recs = InterventionRecords(n);
        ok = w.Open(path, sizeof(InterventionRecord)) && w.Append(recs.data(), recs.size());
    }
    ok = w.Close() && ok;
    if (!ok) std::fprintf(stderr, "%s: %s\n", path.c_str(), w.Error().c_str());
    return ok;
}

// ---- one case (a process of its own)

// The texts of the rows the grid shows, read as a screen would.
std::size_t ReadShown(MessageListForm& f) {
    const ui::StringGrid& g = f.StringGrid1;
    std::size_t chars = 0;
    for (int r = g.TopRow(); r < std::min(g.RowCount(), g.TopRow() + g.VisibleRowCount() + 1); ++r)
        for (int c = 0; c < g.ColCount(); ++c) chars += g.Cell(c, r).size();
    return chars;
}

// Jumps to 50 places spread over the list; `show` makes each screen (reads
// its rows, or paints it). The mean time of one jump.
template <class Show>
double JumpAround(MessageListForm& f, Show&& show) {
    return bench::JumpAround(f.StringGrid1.RowCount(), [&](int row) { f.StringGrid1.SetRow(row); }, show);
}

// Hands the case's entries to the window registered for its kind.
bool Open(const Kind& k, const std::string& path, int records) {
    if (!k.read) return ViewArchiveFileAt(k.kind, path);
    const ArchiveKindInfo& info = ArchiveInfo(k.kind);
    ArchiveView view;
    uint32_t count = 0;
    if (!ReadTempArchive(path, RecordSizeOf(info.record), uint32_t(records), view.records, count) || count == 0)
        return false;
    view.kind = k.kind;
    view.header = MakeHeader(k.kind, count, TimeOf(0), TimeOf(int(count) - 1));
    view.entryKind = info.record;
    view.entrySize = RecordSizeOf(info.record);
    view.count = count;
    view.mode = k.kind == ArchiveKind::Diagnostic ? viewmode::kByIndex : viewmode::kByPeriod;
    view.firstIndex = 1000;
    return ShowArchiveViewer(view);
}

int RunCaseHeadless(const Kind& k, const std::string& path, int records, const std::string& saveTo) {
    ui::test::Driver drv;
    bench::SetUpDriver(drv);
    Clock::time_point t0, read;
    std::size_t chars = 0;
    double jump = 0, save = 0;
    long peakShown = 0;
    auto onShown = [&](MessageListForm& f) {
        chars = ReadShown(f);
        read = Clock::now();
        peakShown = PeakKb();
        jump = JumpAround(f, [&] { chars += ReadShown(f); });
        std::filesystem::remove(saveTo);
        drv.chooseFile(saveTo);
        drv.expectMessage(6, "Дані збережені в файлі " + std::filesystem::path(saveTo).filename().string() + ".", "");
        const Clock::time_point s0 = Clock::now();
        f.BitBtn2.Click();
        save = Ms(Clock::now() - s0);
    };
    drv.onModal<TFormAla>([&](TFormAla& f) { onShown(f); });
    drv.onModal<TFormAud>([&](TFormAud& f) { onShown(f); });
    t0 = Clock::now();
    if (!Open(k, path, records) || chars == 0 || !std::filesystem::exists(saveTo)) {
        std::fprintf(stderr, "the list did not show or save %s\n", path.c_str());
        return 1;
    }
    std::printf("%.2f %.3f %.2f %zu %ld\n", Ms(read - t0), jump, save, chars, peakShown);
    return 0;
}

int RunCaseQt(const Kind& k, const std::string& path, int records, int argc, char** argv) {
    if (!bench::QtBuilt()) return 1;
    bench::WindowShown m;
    const bool shown = bench::ShowOnQt(
        argc, argv, m, [&] { return Open(k, path, records); },
        [](ui::Form& form) -> std::size_t {
            auto* f = dynamic_cast<MessageListForm*>(&form);
            return f ? ReadShown(*f) : 0;
        },
        [](ui::Form& form, auto paint) {
            auto* f = dynamic_cast<MessageListForm*>(&form);
            return f ? JumpAround(*f, paint) : 0.0;
        },
        [&](ui::Form&) { return std::string(k.name); });
    if (!shown) {
        std::fprintf(stderr, "the list did not show %s\n", path.c_str());
        return 1;
    }
    std::printf("%.2f %.3f %.2f %zu %ld\n", Ms(m.shown - m.t0), m.jumpMs, 0.0, m.chars, m.peakKb);
    return 0;
}

int RunCase(const std::string& kindName, const std::string& path, int records, const std::string& saveTo, bool qt,
            int argc, char** argv) {
    RegisterMessageViewers();
    if (const Kind* k = bench::FindKind(kKinds, kindName))
        return qt ? RunCaseQt(*k, path, records, argc, argv) : RunCaseHeadless(*k, path, records, saveTo);
    return 1;
}

// ---- the parent

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--case") == 0) {
        if (argc < 6) return 2;  // never the parent again
        return RunCase(argv[2], argv[3], std::atoi(argv[4]), argv[5], argc >= 7 && std::strcmp(argv[6], "--qt") == 0,
                       argc, argv);
    }

    const bench::WindowArgs args = bench::ParseWindowArgs(argc, argv, "/tmp/zbr-bench-messages", kKinds);
    const int records = args.records, runs = args.runs;
    const bool qt = args.qt;
    const std::string& folder = args.folder;
    if (records <= 0 || runs <= 0) {
        std::fprintf(stderr, "records and runs must be positive\n");
        return 2;
    }
    for (const char* sub : {"INI", "ALAFILES", "AUDFILES"}) std::filesystem::create_directories(std::filesystem::path(folder) / sub);
    platform::SetWorkDir(folder);
    const std::string self = bench::SelfPath();

    bench::PrintWindowRuns(args);
    std::printf("%-8s %10s %12s %10s %10s %12s\n", "kind", "shown ms", "peak MiB", "jump ms", "save ms", "peak MiB end");
    return bench::RunKinds(kKinds, args, [&](const Kind& k, const std::string& name) {
        const std::string ext = ArchiveInfo(k.kind).extension;
        const std::string path = folder + "/bench-" + name + "-" + std::to_string(records) + (k.read ? ".rec" : ext);
        const std::string saveTo = folder + "/saved-" + name + "-" + std::to_string(records) + ext;
        if (!std::filesystem::exists(path) &&
            !(k.read ? WriteReadFile(k.kind, path, records) : WriteSavedFile(k.kind, path, records)))
            return false;
        bench::WindowRuns all;
        const std::vector<std::string> caseArgs = {"--case", name, path, std::to_string(records), saveTo};
        const bool ok =
            bench::RunTimes(runs, name, all, [&] { return bench::RunWindowCase(self, caseArgs, qt, true); });
        if (all.shownMs.empty()) return ok;
        std::printf("%-8s %10.1f %12.1f %10.2f %10.1f %12.1f\n", name.c_str(), bench::Median(all.shownMs),
                    double(all.shownRssKb) / 1024.0, bench::Median(all.jumpMs), bench::Median(all.saveMs),
                    double(all.maxRssKb) / 1024.0);
        std::fflush(stdout);
        return ok;
    });
}
