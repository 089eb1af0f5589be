// The best time of several runs after one warm-up, for the folder search
// benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

inline double BestSeconds(int nRuns, const std::function<void()> &fn)
{
    using Clock = std::chrono::steady_clock;
    fn();  // warm-up
    double dBest = 1e300;
    for (int i = 0; i < nRuns; ++i) {
        const auto t = Clock::now();
        fn();
        dBest = std::min(dBest, std::chrono::duration<double>(Clock::now() - t).count());
    }
    return dBest;
}
