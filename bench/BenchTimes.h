// What the benchmarks share: a steady clock read in milliseconds, the
// median of a set of runs, and the times of one workbook run.
#pragma once
#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The middle value (the upper one of an even count); `v` must not be empty.
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One run of a workbook benchmark: filling the sheet, saving it, both, and
// the size of the file saved.
struct WorkbookTimes {
    double fill = 0, save = 0, total = 0;
    long long bytes = 0;
};

}  // namespace bench
