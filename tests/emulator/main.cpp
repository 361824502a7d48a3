// zbr-emulator: serves an emulated ЗБР controller until SIGINT or SIGTERM.
//
//   zbr-emulator [--tcp HOST:PORT] [--pty LINKPATH] [--modem] [--dial LIST] [--address N] [--baud N] [--seed N]
//                [--archive-from DATE] [--archive-to DATE] [--version N] [--damaged LIST] [--rate-check]
//
// With neither --tcp nor --pty it serves a pseudo-terminal without a link.
// --modem puts a Hayes modem in front of the pseudo-terminal; --dial gives
// its answers to the first dials (connect, busy, nocarrier, nodialtone,
// noanswer, error, silence, separated by commas; later dials connect).
// --archive-from / --archive-to (YYYY-MM-DD or YYYY-MM-DDTHH:MM) set where
// every archive begins and ends (by default it runs up to the clock).
// --version 14 plays a controller in its recovery state (version 11 again
// once its damaged tables are written), --damaged marks configuration
// tables damaged, --rate-check ignores frames sent at another line speed
// than the controller's (table 3).
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "emulator/Controller.h"
#include "emulator/Emulator.h"
#include "emulator/Modem.h"

namespace {

void Usage() {
    std::cerr << "usage: zbr-emulator [--tcp HOST:PORT] [--pty LINKPATH] [--modem] [--dial LIST] [--address N] [--baud N]"
                 " [--seed N]\n"
                 "                    [--archive-from YYYY-MM-DD[THH:MM]] [--archive-to YYYY-MM-DD[THH:MM]]\n"
                 "                    [--version 11|14] [--damaged T,T,...] [--rate-check]\n";
}

bool ToInt(const char* s, long lo, long hi, long& out) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s, &end, 10);
    if (errno || end == s || *end || v < lo || v > hi) return false;
    out = v;
    return true;
}

// "busy,busy,connect" -> the modem's answers to the first dials.
bool ToDialAnswers(const std::string& list, std::vector<emu::DialAnswer>& out) {
    static const std::pair<const char*, emu::DialAnswer> kNames[] = {
        {"connect", emu::DialAnswer::Connect},       {"busy", emu::DialAnswer::Busy},
        {"nocarrier", emu::DialAnswer::NoCarrier},   {"nodialtone", emu::DialAnswer::NoDialtone},
        {"noanswer", emu::DialAnswer::NoAnswer},     {"error", emu::DialAnswer::Error},
        {"silence", emu::DialAnswer::Silence},
    };
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find(',', pos);
        if (end == std::string::npos) end = list.size();
        const std::string name = list.substr(pos, end - pos);
        const auto* it = std::find_if(std::begin(kNames), std::end(kNames), [&](const auto& n) { return name == n.first; });
        if (it == std::end(kNames)) return false;
        out.push_back(it->second);
        pos = end + 1;
    }
    return true;
}

// "2,5,9" -> configuration tables 2, 5 and 9.
bool ToTables(const std::string& s, std::vector<int>& out) {
    std::size_t at = 0;
    while (at <= s.size()) {
        const std::size_t comma = std::min(s.find(',', at), s.size());
        long t = 0;
        if (!ToInt(s.substr(at, comma - at).c_str(), 0, emu::kTableCount - 1, t) || !emu::Shape(int(t)).config)
            return false;
        out.push_back(int(t));
        at = comma + 1;
    }
    return true;
}

// "2024-02-29" or "2024-02-29T13:45" -> {24, 2, 29, 13, 45, 0}.
bool ToDeviceTime(const std::string& s, emu::DeviceTime& out) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, n = 0;
    const bool withTime = s.size() > 10;
    if (withTime ? std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d%n", &y, &mo, &d, &h, &mi, &n) != 5
                 : std::sscanf(s.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &n) != 3)
        return false;
    if (static_cast<size_t>(n) != s.size() || y < 2000 || y > 2099) return false;
    out = {static_cast<uint8_t>(y - 2000), static_cast<uint8_t>(mo), static_cast<uint8_t>(d),
           static_cast<uint8_t>(h), static_cast<uint8_t>(mi), 0};
    return emu::IsValidDeviceTime(out);
}

}  // namespace

int main(int argc, char** argv) {
    std::string tcp, pty;
    bool wantPty = false, modem = false;
    std::vector<emu::DialAnswer> dials;
    long address = -1, baud = 0, seed = 1, version = 0;
    std::vector<int> damaged;
    bool rateCheck = false;
    std::optional<emu::DeviceTime> archiveFrom, archiveTo;
    emu::DeviceTime t{};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = v != nullptr;
        if (a == "--tcp" && ok) tcp = v;
        else if (a == "--pty" && ok) pty = v, wantPty = true;
        else if (a == "--modem") { modem = wantPty = true; continue; }
        else if (a == "--dial" && ok) ok = ToDialAnswers(v, dials), modem = wantPty = true;
        else if (a == "--address" && ok) ok = ToInt(v, 1, 255, address);
        else if (a == "--baud" && ok) ok = ToInt(v, 0, 4000000, baud);
        else if (a == "--seed" && ok) ok = ToInt(v, 0, 0xFFFFFFFFL, seed);
        else if (a == "--archive-from" && ok) ok = ToDeviceTime(v, t), archiveFrom = t;
        else if (a == "--archive-to" && ok) ok = ToDeviceTime(v, t), archiveTo = t;
        else if (a == "--version" && ok) ok = ToInt(v, 0, 255, version);
        else if (a == "--damaged" && ok) ok = ToTables(v, damaged);
        else if (a == "--rate-check") { rateCheck = true; continue; }
        else if (a == "-h" || a == "--help") { Usage(); return 0; }
        else ok = false;
        if (!ok) {
            std::cerr << "zbr-emulator: bad argument " << a << "\n";
            Usage();
            return 2;
        }
        ++i;
    }
    if (tcp.empty()) wantPty = true;

    // Block the stop signals before any thread starts, then wait for one.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    emu::Emulator e(static_cast<uint32_t>(seed));
    if (address > 0) e.SetAddress(static_cast<uint8_t>(address));
    if (baud > 0) e.SetLineBaud(static_cast<int>(baud));
    if (version > 0) e.SetSoftwareVersion(static_cast<uint8_t>(version));
    for (int t : damaged) e.SetTableDamaged(t, true);
    e.SetLineRateCheck(rateCheck);
    if (modem) e.EnableModem().QueueDial(dials);
    for (int k = 0; k < emu::kArchiveCount; ++k) {
        const auto a = static_cast<emu::Archive>(k);
        if (archiveFrom) e.Archives().SetSpan(a, *archiveFrom, archiveTo);
        else if (archiveTo) e.Archives().SetSpanEnd(a, archiveTo);
    }
    try {
        if (wantPty) {
            const std::string path = e.StartPty(pty);
            std::cout << (modem ? "modem on pty " : "pty ") << path;
            if (!pty.empty()) std::cout << " (link " << pty << ")";
            std::cout << "\n";
        }
        if (!tcp.empty()) {
            const auto colon = tcp.rfind(':');
            long port = 0;
            if (colon == std::string::npos || !ToInt(tcp.c_str() + colon + 1, 0, 65535, port)) {
                std::cerr << "zbr-emulator: --tcp wants HOST:PORT\n";
                return 2;
            }
            const int p = e.StartTcp(tcp.substr(0, colon), static_cast<int>(port));
            std::cout << "tcp " << tcp.substr(0, colon) << ":" << p << "\n";
        }
    } catch (const std::exception& ex) {
        std::cerr << "zbr-emulator: " << ex.what() << "\n";
        return 1;
    }
    std::cout << "address " << int(e.Address()) << ", line " << (baud > 0 ? std::to_string(baud) + " baud" : "unlimited")
              << ", seed " << seed << "\n"
              << std::flush;

    int sig = 0;
    sigwait(&set, &sig);
    e.Stop();
    std::cout << "stopped (" << e.Log().size() << " frames received)\n";
    return 0;
}
