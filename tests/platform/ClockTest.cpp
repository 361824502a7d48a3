#include <gtest/gtest.h>

#include <ctime>

#include "platform/Clock.h"
#include "platform/MessagePump.h"

using namespace platform;

TEST(Clock, CounterAndTicks) {
    EXPECT_EQ(GetPerfFrequency(), 1'000'000'000);
    EXPECT_EQ(MsToTicks(1500), 1'500'000'000);
    const int64_t a = PerfCounter();
    const uint64_t t = GetTickCount64();
    WaitMs(20);
    EXPECT_GE(PerfCounter() - a, MsToTicks(20));
    EXPECT_GE(GetTickCount64() - t, 20u);
}

TEST(Clock, WaitsLetMessagesRun) {
    int pumped = 0;
    SetMessagePump([&] { ++pumped; });
    WaitMs(100);
    SetMessagePump(nullptr);
    EXPECT_GE(pumped, 3);
}

TEST(Clock, NowDateTimeIsLocalDaysSince1899) {
    const double now = NowDateTime();
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const double frac = now - static_cast<long>(now);
    const double secs = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    EXPECT_NEAR(frac * 86400.0, secs, 5.0);
    // 2024-01-01 is day 45292.
    EXPECT_GT(now, 45292.0);
}
