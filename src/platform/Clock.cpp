#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "platform/MessagePump.h"

namespace platform {
namespace {
using Clock = std::chrono::steady_clock;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

void SleepNs(int64_t ns) {
    if (ns > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
}
}  // namespace

int64_t GetPerfFrequency() { return 1'000'000'000; }
int64_t PerfCounter() { return NowNs(); }
int64_t MsToTicks(int64_t ms) { return ms * GetPerfFrequency() / 1000; }

uint64_t GetTickCount64() { return static_cast<uint64_t>(NowNs() / 1'000'000); }
uint32_t GetTickCount() { return static_cast<uint32_t>(GetTickCount64()); }

void WaitMs(int64_t ms) {
    if (ms <= 0) {
        PumpMessages();
        return;
    }
    WaitUntilCounter(PerfCounter() + MsToTicks(ms), 0);
}

void WaitUntilCounter(int64_t counter, int pumpMarginMs) {
    const int64_t slice = MsToTicks(kWaitSliceMs);
    const int64_t margin = MsToTicks(pumpMarginMs);
    for (;;) {
        int64_t left = counter - PerfCounter();
        if (left <= 0) return;
        if (left > margin) {
            PumpMessages();
            left = counter - PerfCounter();
            if (left <= 0) return;
        }
        SleepNs(left < slice ? left : slice);
    }
}

double NowDateTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    // Days from 1899-12-30 to the local calendar date (proleptic Gregorian).
    auto daysFromCivil = [](int y, unsigned m, unsigned d) {
        y -= m <= 2;
        const int era = (y >= 0 ? y : y - 399) / 400;
        const unsigned yoe = static_cast<unsigned>(y - era * 400);
        const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + static_cast<int>(doe) - 719468;  // days since 1970-01-01
    };
    const int days = daysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                   static_cast<unsigned>(local.tm_mday)) + 25569;
    const auto sinceSecond = duration_cast<microseconds>(now.time_since_epoch()).count() % 1'000'000;
    const double secs = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + sinceSecond / 1e6;
    return days + secs / 86400.0;
}

}  // namespace platform
