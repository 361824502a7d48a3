// The clocks of every timed wait: a high-resolution counter for the
// protocol's timing and time-outs, a millisecond tick count for settle
// delays and retries. Both run on std::chrono::steady_clock, so they never
// jump with the wall clock.
//
// No wait burns a core: long waits sleep in slices of a few milliseconds and
// let window messages run between them (platform::PumpMessages()).
#pragma once
#include <cstdint>

namespace platform {

// Ticks per second of PerfCounter() (the counter counts nanoseconds).
int64_t GetPerfFrequency();
// Current value of the high-resolution counter.
int64_t PerfCounter();
// Milliseconds to counter ticks: ms x frequency / 1000 in 64 bits.
int64_t MsToTicks(int64_t ms);

// Milliseconds since an arbitrary start (32-bit form wraps after 49 days).
uint64_t GetTickCount64();
uint32_t GetTickCount();

// Slice length of the polling waits, in milliseconds.
constexpr int kWaitSliceMs = 4;

// Waits `ms` milliseconds, letting window messages run every slice.
void WaitMs(int64_t ms);

// Waits until PerfCounter() reaches `counter`, precisely (to a fraction of a
// millisecond) and without spinning. Window messages run between slices
// only while more than `pumpMarginMs` remain, so that a slow handler cannot
// make the wait overshoot its end.
void WaitUntilCounter(int64_t counter, int pumpMarginMs = 5);

// Local date and time as days since 1899-12-30 (the fraction is the time of
// day), the date-time form the program's records and the controller's clock
// correction use.
double NowDateTime();

}  // namespace platform
