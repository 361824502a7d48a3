// bench_readers [folder] [baud...] [faults[=percent]]
// bench_readers [folder] slow[=percent] [days=N] [attempts=N]
// bench_readers line [runs] [tcp|pty] [baud...]
// bench_readers index [runs] [count...]
//
// Reads a year of the chromatograph's hourly archive (8,760 records, 4,380
// requests of command 15 with two 94-byte records a reply) through the
// program's hourly reader, from the controller emulator over loopback TCP,
// once for each simulated line speed given (0 = no line limit; default
// "0 9600"). Prints the wall time, the time the bytes alone need on the line
// (10 bits a byte, requests and replies), and the processor time of the
// program's thread (the emulator runs in threads of its own) and of the
// whole process.
//
// With "faults" (default 7 %) it reads a leap year instead (8,784 hours)
// with that share of the requests spoilt on the line and, independently,
// in the archive (tests/support/HourlySoak.h), every question answered
// "Так", with a reply wait of 150 ms and a byte wait of 20 ms, and prints
// what was lost, doubled or out of order, and what the faults cost.
//
// With "slow" (default 7 %) it reads a month of hourly records, January
// 2024 (744, or `days=N` days of them), with that share of the requests
// answered by a reply whose bytes come one by one 5 ms slower than the byte
// wait allows, and no other fault (same waits as with "faults"; one attempt
// an exchange, or `attempts=N`).
//
// With "line" it reads shorter periods at simulated line speeds (default
// 9600 and 115200 bit/s), over a pseudo-terminal as a direct link (RTS
// switched, the link's default 5 preambles, 2 s reply wait, 100 ms byte
// wait) and over loopback TCP (no pause before a send), each `runs` times
// (default 3): a week of hourly records (168, command 15), a month of daily
// records (31, command 16) and 6 hours of measured values by period (120,
// command 8, page by page). Prints the medians of the wall time against the
// line time of the bytes exchanged, the reader thread's processor time and
// its share of the wall time, and how often the thread woke from a wait.
//
// With "index" it reads diagnostic messages by index (command 7, 11 records
// a request) through the program's index reader, from the emulator over
// loopback TCP with no line limit, `count` of them (default 1000 and
// 100000; give 1000000 for the long case), each `runs` times (default 3).
// Prints the medians of the wall time and of the reader thread's processor
// time, also per message (the emulator answers in threads of its own), and
// checks the records handed to the viewer against the archive.
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "app/Main.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "data/ArchRead.h"
#include "data/ArchView.h"
#include "emulator/ArchiveModel.h"
#include "emulator/Controller.h"
#include "emulator/Emulator.h"
#include "link/Hgcbox.h"
#include "data/ArchiveRecords.h"
#include "common/Question.h"
#include "platform/Paths.h"
#include "platform/Tcp.h"
#include "support/HourlySoak.h"
#include "ui/TestDriver.h"

namespace {

using bench::MedianOfAll;

double ThreadCpu() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Voluntary context switches of the calling thread: its wake-ups after a wait.
long ThreadWakeups() {
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    return ru.ru_nvcsw;
}

double ProcessCpu() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
}

bool Connect(int port) {
    hgcbox& box = *HgcBox;
    box.LinkType = hgcbox::kLinkTcp;
    box.Address = 1;
    box.ReplyTimeoutMs = 2000;
    box.ByteTimeoutMs = 100;
    box.Retries = 1;
    box.TcpSendDelayMs = 0;  // the normal 500 ms pause before each send would add 36 minutes
    sockaddr_in sa{};
    if (!platform::SetTcpAddress("127.0.0.1", std::to_string(port).c_str(), sa, "TCP")) return false;
    box.CloseSocket();
    box.Sock = platform::TcpSocket();
    return box.Sock != platform::kNoSocket && platform::TcpConnect(box.Sock, sa, 2000) == 0;
}

// The link's waits (reply 150 ms, byte 20 ms), the controller's clock at
// `now` and its hourly archive from 1 December 2023, no line limit.
void PrepareRead(emu::Emulator& emu, emu::ArchiveModel& model, hgcbox& box, const emu::DeviceTime& now) {
    box.ReplyTimeoutMs = 150;
    box.ByteTimeoutMs = 20;
    emu.SetClock(now);
    model.SetNow(now);
    model.SetSpan(emu::Archive::ChromHourly, {23, 12, 1, 0, 0, 0});
    emu.SetLineBaud(0);
    emu.ClearLog();
}

// The leap year 2024 read with `percent` % of the requests spoilt.
int ReadUnderFaults(emu::Emulator& emu, emu::ArchiveModel& model, TFormMain& form, int percent) {
    ui::test::Driver drv;
    int questions = 0;
    drv.onModal<TFormQues>([&questions](TFormQues& q) {
        ++questions;
        q.Answer(true);
    });
    hgcbox& box = *HgcBox;
    PrepareRead(emu, model, box, {25, 1, 2, 10, 30, 0});
    const zbr_test::MixedFaults f =
        zbr_test::QueueMixedFaults(emu, model, 7001, 6000, percent, box.ReplyTimeoutMs, box.ByteTimeoutMs, true);
    std::vector<std::vector<uint8_t>> got;
    SetArchiveViewer(ArchiveKind::ChromHour, [&got](ArchiveView& v) {
        got.clear();
        for (uint32_t i = 0; i < v.count; ++i) got.emplace_back(v.Entry(i), v.Entry(i) + v.entrySize);
    });
    const hgcbox::LineCounters before = box.Counters;
    const double cpu0 = ThreadCpu();
    const auto t0 = std::chrono::steady_clock::now();
    const DeviceDateTime begin{24, 1, 1, 0, 0, 0}, end{24, 12, 31, 23, 0, 0};
    const ArchiveReadResult r = ReadHourDayArchive(form, ArchiveKind::ChromHour, 0, begin, end);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = ThreadCpu() - cpu0;
    emu.ClearFaults();
    model.ClearFaults();
    int requests = 0;
    for (const emu::ReceivedFrame& fr : emu.Log()) requests += fr.command == 15;
    const zbr_test::SoakTally t =
        zbr_test::TallyHourly(got, model.Records(emu::Archive::ChromHourly, 0, {24, 1, 1, 0, 0, 0}, {24, 12, 31, 23, 0, 0}));
    std::printf("| faults | line faults | archive faults | requests | questions | records | lost | doubled | out of order "
                "| broken | after the period | dropped | quiet-line waits | bytes dropped | wall | CPU |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::printf("| %d %% | %d | %d | %d | %d | %zu | %zu | %zu | %zu | %zu | %zu | %u | %llu | %llu | %.1f s | %.2f s |\n",
                percent, f.line, f.archive, requests, questions, t.stored, t.lost, t.doubled, t.outOfOrder, t.broken,
                t.after, r.dropped, static_cast<unsigned long long>(box.Counters.settles - before.settles),
                static_cast<unsigned long long>(box.Counters.droppedBytes - before.droppedBytes), wall, cpu);
    std::printf("\n%s; the read %s\n", t.Text().c_str(), r.complete ? "ended complete" : "did NOT end complete");
    return t.Clean() && r.complete ? 0 : 1;
}

// January 2024 from the 1st, `days` days of it, with `percent` % of the
// requests answered slowly byte by byte and no other fault.
int ReadSlowReplies(emu::Emulator& emu, emu::ArchiveModel& model, TFormMain& form, int percent, int days,
                    int attempts) {
    ui::test::Driver drv;
    int questions = 0;
    const auto t0 = std::chrono::steady_clock::now();
    // A read that does not end still says how far it got.
    drv.onModal<TFormQues>([&questions, t0](TFormQues& q) {
        if (++questions % 100 == 0)
            std::fprintf(stderr, "%d questions in %.0f s\n", questions,
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        q.Answer(true);
    });
    hgcbox& box = *HgcBox;
    PrepareRead(emu, model, box, {24, 3, 20, 10, 30, 0});
    box.Retries = uint8_t(attempts);
    // Faults for far more requests than the read makes: requests sent into a
    // slow reply use them up as well.
    robust::Dice dice(7001);
    std::vector<bool> slowAt;
    for (int r = 0; r < days * 12 * 20; ++r) {
        const bool spoilt = dice.Chance(percent);
        slowAt.push_back(spoilt);
        emu.QueueFault(spoilt ? emu::Fault{emu::FaultKind::ByteDelay, int(box.ByteTimeoutMs) + 5}
                              : emu::Fault{emu::FaultKind::None, 0});
    }
    std::vector<std::vector<uint8_t>> got;
    SetArchiveViewer(ArchiveKind::ChromHour, [&got](ArchiveView& v) {
        got.clear();
        for (uint32_t i = 0; i < v.count; ++i) got.emplace_back(v.Entry(i), v.Entry(i) + v.entrySize);
    });
    const hgcbox::LineCounters before = box.Counters;
    const DeviceDateTime begin{24, 1, 1, 0, 0, 0}, end{24, 1, uint8_t(days), 23, 0, 0};
    const ArchiveReadResult r = ReadHourDayArchive(form, ArchiveKind::ChromHour, 0, begin, end);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    emu.ClearFaults();
    int requests = 0;
    for (const emu::ReceivedFrame& fr : emu.Log()) requests += fr.command == 15;
    const zbr_test::SoakTally t =
        zbr_test::TallyHourly(got, model.Records(emu::Archive::ChromHourly, 0, {24, 1, 1, 0, 0, 0}, {24, 1, uint8_t(days), 23, 0, 0}));
    int drawn = 0;  // slow replies the requests sent drew
    for (int i = 0; i < requests && i < int(slowAt.size()); ++i) drawn += slowAt[std::size_t(i)];
    std::printf("| slow replies | attempts | records | requests | slow replies drawn | questions | lost | doubled "
                "| out of order | settle waits | bytes dropped | wall |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::printf("| %d %% | %d | %zu | %d | %d | %d | %zu | %zu | %zu | %llu | %llu | %.1f s |\n", percent, attempts,
                t.stored, requests, drawn, questions, t.lost, t.doubled, t.outOfOrder,
                static_cast<unsigned long long>(box.Counters.settles - before.settles),
                static_cast<unsigned long long>(box.Counters.droppedBytes - before.droppedBytes), wall);
    std::printf("\n%s; the read %s\n", t.Text().c_str(), r.complete ? "ended complete" : "did NOT end complete");
    return t.Clean() && r.complete ? 0 : 1;
}

// ---- reads at simulated line speeds

struct LineCase {
    const char* name;
    ArchiveKind kind;
    uint8_t command;        // the reads' command
    uint32_t replyOverhead; // reply bytes besides the records: 0x33, address, length, function, CRC, and
                            // the count (15, 16) or status, page, count, more-data flag (8)
    DeviceDateTime begin, end;
};

// The controller's clock standing still at 20.03.2024 10:30:00, the
// emulator's and its archives'.
void StillClock(emu::Emulator& emu) {
    const emu::DeviceTime now{24, 3, 20, 10, 30, 0};
    emu.SetClock(now);
    emu.FreezeClock(true);
    emu.Archives().SetNow(now);
}

// Tables 0, 5, 6 and 14 read into the image, as the connect sequence reads
// them; false (told) when one is not.
bool ReadIdentification(TFormMain& form) {
    for (TableRequestHeader h : {TableRequestHeader{0, 0, 18}, TableRequestHeader{5, 0, 3},
                                 TableRequestHeader{6, 0, 12}, TableRequestHeader{14, 0, 14}})
        if (!ReadTableRange(h, &form.StatusBar1, false)) {
            std::fprintf(stderr, "identification tables not read: %s\n", HgcBox->ErrorText().c_str());
            return false;
        }
    return true;
}

int RunLineReads(const std::string& folder, int runs, const std::vector<std::string>& links, std::vector<int> bauds) {
    if (bauds.empty()) bauds = {9600, 115200};
    ui::test::Driver drv;
    drv.onFailure = [](const std::string& what) { std::fprintf(stderr, "unexpected: %s\n", what.c_str()); };
    emu::Emulator emu;
    StillClock(emu);
    const int port = emu.StartTcp();
    emu.StartPty(folder + "/dev/com1");

    InitConfigImage();
    TFormMain form(nullptr);
    form.TimerStart.SetEnabled(false);
    ArchiveReadEndPauseMs = 0;
    uint32_t shown = 0;
    for (ArchiveKind k : {ArchiveKind::ChromHour, ArchiveKind::ChromDay, ArchiveKind::ChromMeas})
        SetArchiveViewer(k, [&shown](ArchiveView& v) { shown = v.count; });
    hgcbox& box = *HgcBox;
    box.Address = 1;
    box.PreambleLen = 5;  // the program's defaults for a direct link
    box.ReplyTimeoutMs = 2000;
    box.ByteTimeoutMs = 100;
    box.Retries = 1;
    box.TcpSendDelayMs = 0;

    const LineCase cases[] = {
        {"hourly, a week", ArchiveKind::ChromHour, 15, 7, {24, 3, 12, 7, 0, 0}, {24, 3, 19, 6, 0, 0}},
        {"daily, a month", ArchiveKind::ChromDay, 16, 7, {24, 1, 1, 0, 0, 0}, {24, 1, 31, 0, 0, 0}},
        {"measured, 6 hours", ArchiveKind::ChromMeas, 8, 10, {24, 3, 19, 6, 0, 0}, {24, 3, 19, 11, 59, 59}},
    };
    std::printf("median of %d runs\n\n", runs);
    std::printf("| link | line | read | records | requests | bytes on the line | line time | wall | wall / line time "
                "| CPU (reader thread) | CPU share | wake-ups a second |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    int failures = 0;
    for (const std::string& link : links) {
        box.CloseSocket();
        box.ClosePort();
        if (link == "tcp") {
            box.LinkType = hgcbox::kLinkTcp;
            if (!Connect(port)) {
                std::fprintf(stderr, "no connection to the emulator\n");
                return 1;
            }
        } else {
            box.LinkType = hgcbox::kLinkDirect;
            box.ComPort = 1;
            box.OpenPerExchange = false;
            box.OpenRetrySec = 0;
        }
        for (int baud : bauds) {
            emu.SetLineBaud(baud);
            box.Baud = uint32_t(baud);
            if (link != "tcp" && !box.OpenPort()) {
                std::fprintf(stderr, "cannot open the pseudo-terminal: %s\n", box.ErrorText().c_str());
                return 1;
            }
            if (!ReadIdentification(form)) return 1;
            for (const LineCase& c : cases) {
                std::vector<double> walls, cpus, wakeups;
                uint64_t bytes = 0;
                int requests = 0;
                uint32_t records = 0;
                for (int run = 0; run < runs; ++run) {
                    emu.ClearLog();
                    shown = 0;
                    const hgcbox::LineCounters before = box.Counters;
                    const double cpu0 = ThreadCpu();
                    const long wake0 = ThreadWakeups();
                    const auto t0 = std::chrono::steady_clock::now();
                    const ArchiveReadResult r = c.command == 8 ? ReadPeriodArchive(form, c.kind, 0, c.begin, c.end)
                                                               : ReadHourDayArchive(form, c.kind, 0, c.begin, c.end);
                    walls.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
                    cpus.push_back(ThreadCpu() - cpu0);
                    wakeups.push_back(double(ThreadWakeups() - wake0) / walls.back());
                    // The bytes: each request as the controller got it, preambles included; each
                    // reply from its records (every request answered once: checked).
                    bytes = 0;
                    requests = 0;
                    bool clean = box.Counters.settles == before.settles;
                    for (const emu::ReceivedFrame& f : emu.Log()) {
                        if (f.command != c.command) continue;
                        ++requests;
                        clean = clean && f.answered && f.complete && f.crcOk;
                        bytes += f.bytes.size() + uint64_t(f.preambles) + c.replyOverhead;
                    }
                    bytes += uint64_t(shown) * 94;
                    records = shown;
                    if (!r.complete || r.aborted || !clean || shown == 0 || uint32_t(requests) != r.requests) {
                        std::fprintf(stderr, "%s over %s at %d: the read was not clean (%u records, %d requests)\n",
                                     c.name, link.c_str(), baud, shown, requests);
                        ++failures;
                    }
                }
                const double lineTime = double(bytes) * 10.0 / baud;
                const double wall = MedianOfAll(walls), cpu = MedianOfAll(cpus);
                std::printf("| %s | %d bit/s | %s | %u | %d | %llu | %.2f s | %.2f s | %.3f | %.3f s | %.2f %% | %.0f |\n",
                            link == "tcp" ? "TCP" : "pseudo-terminal, direct", baud, c.name, records, requests,
                            static_cast<unsigned long long>(bytes), lineTime, wall, wall / lineTime, cpu,
                            100.0 * cpu / wall, MedianOfAll(wakeups));
                std::fflush(stdout);
            }
            box.ClosePort();
        }
    }
    box.CloseSocket();
    return failures == 0 ? 0 : 1;
}

// ---- reads by index

int RunIndexReads(int runs, std::vector<uint32_t> counts) {
    if (counts.empty()) counts = {1000, 100000};
    ui::test::Driver drv;
    drv.onFailure = [](const std::string& what) { std::fprintf(stderr, "unexpected: %s\n", what.c_str()); };
    emu::Emulator emu;
    emu::ArchiveModel& model = emu.Archives();
    StillClock(emu);
    const uint32_t most = *std::max_element(counts.begin(), counts.end());
    model.SetIndexBounds(emu::Archive::Diagnostic, 1, most);
    emu.SetLineBaud(0);
    const int port = emu.StartTcp();

    InitConfigImage();
    TFormMain form(nullptr);
    form.TimerStart.SetEnabled(false);
    ArchiveReadEndPauseMs = 0;
    std::vector<uint8_t> got;
    uint32_t shown = 0;
    SetArchiveViewer(ArchiveKind::Diagnostic, [&got, &shown](ArchiveView& v) {
        shown = v.count;
        got.swap(v.records);  // no copy inside the time measured
    });
    if (!Connect(port)) {
        std::fprintf(stderr, "no connection to the emulator\n");
        return 1;
    }
    if (!ReadIdentification(form)) return 1;

    std::printf("median of %d runs\n\n", runs);
    std::printf("| messages | requests | wall | CPU (reader thread) | CPU a message | peak memory so far |\n");
    std::printf("|---|---|---|---|---|---|\n");
    int failures = 0;
    for (const uint32_t count : counts) {
        std::vector<double> walls, cpus;
        uint32_t requests = 0;
        for (int run = 0; run < runs; ++run) {
            emu.ClearLog();
            shown = 0;
            std::vector<uint8_t>().swap(got);  // the records of the run before let go
            const double cpu0 = ThreadCpu();
            const auto t0 = std::chrono::steady_clock::now();
            const ArchiveReadResult r = ReadAlaByIndex(form, 1, count);
            walls.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
            cpus.push_back(ThreadCpu() - cpu0);
            requests = r.requests;
            // Every message once, in order, as the archive holds them (asked
            // for a part at a time, so that the peak stays the reader's).
            bool same = r.complete && !r.aborted && shown == count && got.size() == std::size_t(count) * 22;
            for (uint32_t at = 0; same && at < count; at += 10000) {
                const uint32_t part = std::min<uint32_t>(10000, count - at);
                const std::vector<emu::Record> want = model.IndexRecords(emu::Archive::Diagnostic, 1 + at, part);
                same = want.size() == part;
                for (std::size_t i = 0; same && i < want.size(); ++i)
                    same = std::equal(want[i].begin(), want[i].end(), got.begin() + std::ptrdiff_t((at + i) * 22));
            }
            if (!same) {
                std::fprintf(stderr, "%u messages: the read was not clean (%u handed over)\n", count, shown);
                ++failures;
            }
        }
        const double cpu = MedianOfAll(cpus);
        std::printf("| %u | %u | %.3f s | %.3f s | %.2f us | %.1f MiB |\n", count, requests, MedianOfAll(walls), cpu,
                    cpu * 1e6 / count, double(bench::PeakKb()) / 1024.0);
        std::fflush(stdout);
    }
    SetArchiveViewer(ArchiveKind::Diagnostic, {});
    HgcBox->CloseSocket();
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = "/tmp/zbr-bench-readers";
    if (argc >= 2 && std::string(argv[1]) == "line") {
        int runs = 3;
        std::vector<std::string> links;
        std::vector<int> bauds;
        for (int i = 2; i < argc; ++i) {
            const std::string a = argv[i];
            if (a == "tcp" || a == "pty") links.push_back(a);
            else if (std::atoi(a.c_str()) >= 300) bauds.push_back(std::atoi(a.c_str()));
            else if (std::atoi(a.c_str()) > 0) runs = std::atoi(a.c_str());
        }
        if (links.empty()) links = {"pty", "tcp"};
        std::filesystem::create_directories(std::filesystem::path(folder) / "INI");
        platform::SetWorkDir(folder);
        return RunLineReads(folder, runs, links, bauds);
    }
    if (argc >= 2 && std::string(argv[1]) == "index") {
        int runs = 3;
        std::vector<uint32_t> counts;
        for (int i = 2; i < argc; ++i) {
            const long v = std::atol(argv[i]);
            if (i == 2 && v > 0 && v < 100) runs = int(v);
            else if (v > 0) counts.push_back(uint32_t(std::min(v, 10000000L)));
        }
        std::filesystem::create_directories(std::filesystem::path(folder) / "INI");
        platform::SetWorkDir(folder);
        return RunIndexReads(runs, counts);
    }
    std::vector<int> bauds;
    int faults = 0, slow = 0, days = 31, attempts = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("faults", 0) == 0) faults = a.size() > 7 ? std::atoi(a.c_str() + 7) : 7;
        else if (a.rfind("slow", 0) == 0) slow = a.size() > 5 ? std::atoi(a.c_str() + 5) : 7;
        else if (a.rfind("days=", 0) == 0) days = std::clamp(std::atoi(a.c_str() + 5), 1, 31);
        else if (a.rfind("attempts=", 0) == 0) attempts = std::clamp(std::atoi(a.c_str() + 9), 1, 9);
        else if (!a.empty() && (a[0] < '0' || a[0] > '9')) folder = a;
        else bauds.push_back(std::atoi(a.c_str()));
    }
    if (bauds.empty()) bauds = {0, 9600};
    std::filesystem::create_directories(std::filesystem::path(folder) / "INI");
    platform::SetWorkDir(folder);

    emu::Emulator emu;
    emu::ArchiveModel model;
    const emu::DeviceTime now{24, 3, 20, 10, 30, 0};
    emu.SetClock(now);
    emu.FreezeClock(true);
    model.SetNow(now);
    model.SetSpan(emu::Archive::ChromHourly, {22, 12, 1, 0, 0, 0});
    emu.WithController([&model](emu::Controller& c) {
        for (uint8_t cmd : {uint8_t(15), uint8_t(16)})
            c.SetHandler(cmd, 0, [&model, cmd](emu::Controller& ctl, const emu::Request& r) {
                const emu::ArchiveReply a = model.Answer(cmd, r.data, ctl.Clock());
                if (a.error) return ctl.Error(cmd, a.code);
                return ctl.Ok(cmd, a.data);
            });
    });
    const int port = emu.StartTcp();

    InitConfigImage();
    TFormMain form(nullptr);
    ArchiveReadEndPauseMs = 0;
    uint32_t shown = 0;
    SetArchiveViewer(ArchiveKind::ChromHour, [&shown](ArchiveView& v) { shown = v.count; });
    if (!Connect(port)) {
        std::fprintf(stderr, "no connection to the emulator\n");
        return 1;
    }
    for (TableRequestHeader h : {TableRequestHeader{0, 0, 18}, TableRequestHeader{5, 0, 3}})
        ReadTableRange(h, &form.StatusBar1, false);
    if (faults > 0) return ReadUnderFaults(emu, model, form, faults);
    if (slow > 0) return ReadSlowReplies(emu, model, form, slow, days, attempts);

    const DeviceDateTime begin{23, 1, 1, 0, 0, 0}, end{23, 12, 31, 23, 0, 0};
    std::printf("| line | records | requests | bytes on the line | line time | wall | CPU (reader thread) | CPU (process, with emulator) |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (int baud : bauds) {
        emu.SetLineBaud(baud);
        emu.ClearLog();
        shown = 0;
        const double cpu0 = ThreadCpu(), proc0 = ProcessCpu();
        const auto t0 = std::chrono::steady_clock::now();
        const ArchiveReadResult r = ReadHourDayArchive(form, ArchiveKind::ChromHour, 0, begin, end);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = ThreadCpu() - cpu0, proc = ProcessCpu() - proc0;

        uint64_t bytes = 0;
        int requests = 0;
        for (const emu::ReceivedFrame& f : emu.Log()) {
            if (f.command != 15) continue;
            ++requests;
            bytes += f.bytes.size() + uint64_t(f.preambles);
        }
        bytes += uint64_t(requests) * 7 + uint64_t(shown) * 94;  // replies: 0x33, address, length, function, n, CRC
        char line[32];
        std::snprintf(line, sizeof line, baud ? "%d bit/s" : "no limit", baud);
        const double lineTime = baud ? double(bytes) * 10.0 / baud : 0.0;
        std::printf("| %s | %u | %d | %llu | %.1f s | %.2f s | %.2f s | %.2f s |\n", line, shown, requests,
                    static_cast<unsigned long long>(bytes), lineTime, wall, cpu, proc);
        std::fflush(stdout);
        if (!r.complete || shown != 8760) std::fprintf(stderr, "read incomplete: %u records\n", shown);
    }
    return 0;
}
