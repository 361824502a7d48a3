// bench_certificate [runs] [baud...]
//
// The gas-quality certificates made against the controller emulator as the
// report menu makes them: "Паспорт якості газу за добу" (line 1, 18.03.2024:
// the gas day's 24 hourly records of the chromatograph and of the moisture
// meter and the day's daily records, 17 requests) and "... за місяць"
// (line 1, February 2024: the month's 29 daily records of both, 19
// requests); each time from the menu click to the message that the file is
// saved: the date dialog (accepted at once), the reads, the checks, the
// template opened, the cells written and the workbook saved in REPORT.
//
// The emulator runs in this process and serves loopback TCP (no pause
// before a send) at each simulated line speed given (0 = no line limit;
// default "0 9600"); every certificate is made by a fresh process (this
// program again with --case), connected beforehand (the identification
// tables, not timed), `runs` times (default 5). Prints the median time and
// the largest peak resident memory of those processes (getrusage of the
// finished child: the program, its libraries and the workbook, headless),
// and the peak of the same process connected without a certificate. Each
// read keeps its full progress bar in view for 500 ms at its end, as the
// program does (4 reads for a day, 2 for a month); without a line limit the
// certificates are also made without those pauses: the program's own time.
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
#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/Object.h"
#include "common/ReportFormat.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "data/ArchRead.h"
#include "emulator/Emulator.h"
#include "link/Hgcbox.h"
#include "platform/Paths.h"
#include "platform/Tcp.h"
#include "reports/ExcRep_Date.h"
#include "reports/ExcelCertificate.h"
#include "reports/ExcelReports.h"
#include "reports/Xls_Report.h"
#include "ui/TestDriver.h"

namespace {

using Clock = std::chrono::steady_clock;

// ---- one certificate (a process of its own)

int RunCase(const std::string& which, bool pauses, int port, const std::string& folder) {
    platform::SetWorkDir(folder);
    const bool month = which == "month";
    if (!pauses) ArchiveReadEndPauseMs = 0;
    ui::test::Driver drv;
    bool unexpected = false;
    drv.onFailure = [&unexpected](const std::string& what) {
        std::fprintf(stderr, "unexpected: %s\n", what.c_str());
        unexpected = true;
    };
    InitConfigImage();
    ReportFormat = DefaultReportFormat();
    // The object list file, as the date dialog leaves it: one object.
    ObjectList = {};
    ObjectList.obj_num = 1;
    ObjectList.objs[0].SetName("ГРС-1/Північ");
    ObjectList.objs[0].contr_adr = 1;
    if (!WriteObjectList(ObjectsIniPath())) return 1;

    TFormMain form(nullptr);
    form.TimerStart.SetEnabled(false);
    form.Show();
    if (form.AttachAll(ExcelReportMenuBindings()) != 4) return 1;
    hgcbox& box = *HgcBox;
    box.Address = 1;
    box.LinkType = hgcbox::kLinkTcp;
    box.OpenPerExchange = false;
    box.TcpSendDelayMs = 0;  // the normal 500 ms pause before each send would add 8.5 or 9.5 s
    box.PreambleLen = 5;
    box.ReplyTimeoutMs = 2000;
    box.ByteTimeoutMs = 100;
    box.Retries = 1;
    sockaddr_in sa{};
    if (!platform::SetTcpAddress("127.0.0.1", std::to_string(port).c_str(), sa, "TCP")) return 1;
    box.Sock = platform::TcpSocket();
    if (box.Sock == platform::kNoSocket || platform::TcpConnect(box.Sock, sa, 2000) != 0) return 1;
    for (TableRequestHeader h : {TableRequestHeader{0, 0, 18}, TableRequestHeader{5, 0, 3}, TableRequestHeader{6, 0, 12},
                                 TableRequestHeader{14, 0, 14}, TableRequestHeader{15, 0, 8}})
        if (!ReadTableRange(h, &form.StatusBar1, true)) return 1;
    IsConnected = 1;
    form.RefreshMenus();
    if (which == "none") {  // the same process without a certificate: the memory it starts from
        std::printf("0 0\n");
        return 0;
    }

    drv.onModal<TFormExcRep_Date>([month](TFormExcRep_Date& d) {
        while (d.UpDown1.Position() > 24) d.UpDown1.ClickDown();
        while (d.UpDown1.Position() < 24) d.UpDown1.ClickUp();
        d.ComboBox2.Select(month ? 1 : 2);
        if (d.Mode == 0) d.ComboBox3.Select(17);
        d.ComboBox1.Select(0);
        d.BitBtn5.Click();
    });
    drv.onModal<TFormXls_Report>([&drv](TFormXls_Report& f) { drv.fireTimer(f.Timer1); });
    ui::MenuItem* item = form.MenuItemByName(month ? "NExcMon_1" : "NExcDay_1");
    if (!item) return 1;
    const Clock::time_point t0 = Clock::now();
    item->Click();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const ui::MessageInfo* said = drv.messages().empty() ? nullptr : &drv.messages().back();
    const bool saved = said && said->lines[0].rfind("Дані збережені в файлі ", 0) == 0;
    if (!saved || unexpected) {
        std::fprintf(stderr, "no certificate: %s\n", said ? said->lines[0].c_str() : "nothing said");
        return 1;
    }
    const std::string file = platform::InWorkDir("REPORT/" + said->lines[0].substr(std::strlen("Дані збережені в файлі ")));
    std::error_code ec;
    std::printf("%.2f %llu\n", ms, static_cast<unsigned long long>(std::filesystem::file_size(file, ec)));
    std::filesystem::remove(file, ec);
    return 0;
}

// ---- the parent

struct Result {
    bool ok = false;
    double ms = 0;
    unsigned long long bytes = 0;
    long peakKb = 0;
};

Result RunChild(const std::string& self, const char* which, bool pauses, int port, const std::string& folder) {
    Result res;
    const bench::ChildRun run =
        bench::RunProcess(self, {"--case", which, pauses ? "pauses" : "no-pauses", std::to_string(port), folder});
    if (!run.ok) return res;
    if (std::sscanf(run.out.c_str(), "%lf %llu", &res.ms, &res.bytes) != 2) return res;
    res.peakKb = run.peakKb;
    res.ok = true;
    return res;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--case") == 0)
        return RunCase(argv[2], std::strcmp(argv[3], "pauses") == 0, std::atoi(argv[4]), argv[5]);

    int runs = 5;
    std::vector<int> bauds;
    for (int i = 1; i < argc; ++i) {
        const int v = std::atoi(argv[i]);
        if (v > 0 && v < 300) runs = v;
        else bauds.push_back(v);
    }
    if (bauds.empty()) bauds = {0, 9600};
    const std::string folder = "/tmp/zbr-bench-certificate";
    std::filesystem::create_directories(std::filesystem::path(folder) / "INI");
    for (const char* t : {kDayTemplateName, kMonthTemplateName})
        std::filesystem::copy_file(std::string(ZBR_TEMPLATE_DIR) + "/" + t, folder + "/" + t,
                                   std::filesystem::copy_options::overwrite_existing);
    const std::string self = bench::SelfPath();

    emu::Emulator emu;
    emu.SetClock({24, 3, 20, 10, 30, 0});
    emu.FreezeClock(true);
    const int port = emu.StartTcp();

    std::printf("median of %d runs, a fresh process each\n\n", runs);
    std::printf("| certificate | line | pauses after the reads | requests | file | time | peak memory |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    int failures = 0;
    auto row = [&](const char* which, int baud, bool pauses) {
        emu.SetLineBaud(baud);
        std::vector<double> times;
        long peak = 0;
        unsigned long long bytes = 0;
        int requests = 0;
        for (int r = 0; r < runs; ++r) {
            emu.ClearLog();
            const Result res = RunChild(self, which, pauses, port, folder);
            if (!res.ok) {
                std::fprintf(stderr, "%s: the case failed\n", which);
                ++failures;
                return;
            }
            requests = 0;
            for (const emu::ReceivedFrame& f : emu.Log()) requests += f.command == 15 || f.command == 16;
            times.push_back(res.ms);
            peak = std::max(peak, res.peakKb);
            bytes = res.bytes;
        }
        std::sort(times.begin(), times.end());
        char line[32];
        std::snprintf(line, sizeof line, baud ? "%d bit/s" : "no limit", baud);
        const std::string what = std::strcmp(which, "day") == 0     ? "day (18.03.2024)"
                                 : std::strcmp(which, "month") == 0 ? "month (February 2024)"
                                                                    : "none (connected only)";
        if (std::strcmp(which, "none") == 0)
            std::printf("| %s | - | - | - | - | - | %.1f MiB |\n", what.c_str(), double(peak) / 1024.0);
        else
            std::printf("| %s | %s | %s | %d | %.0f KB | %.0f ms | %.1f MiB |\n", what.c_str(), line,
                        pauses ? "500 ms each" : "none", requests, double(bytes) / 1000.0, times[times.size() / 2],
                        double(peak) / 1024.0);
        std::fflush(stdout);
    };
    row("none", 0, true);
    for (int baud : bauds)
        for (const char* which : {"day", "month"}) {
            row(which, baud, true);
            if (baud == 0) row(which, baud, false);
        }
    return failures == 0 ? 0 : 1;
}
