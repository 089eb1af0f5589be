// The best time of several runs after one warm-up, for the folder search
// benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <sys/resource.h>

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

// The least wall-clock time and the least user CPU time of several runs
// after one warm-up. The CPU time is this process's (all its threads), or
// with bChildren that of the child processes fn waits for.
struct CBestRun
{
    double dWall = 1e300;
    double dUser = 1e300;
};

inline CBestRun BestRun(int nRuns, const std::function<void()> &fn, bool bChildren = false)
{
    using Clock = std::chrono::steady_clock;
    auto UserSeconds = [bChildren] {
        rusage usage{};
        ::getrusage(bChildren ? RUSAGE_CHILDREN : RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
    };
    fn();  // warm-up
    CBestRun best;
    for (int i = 0; i < nRuns; ++i) {
        const double dUser = UserSeconds();
        const auto t = Clock::now();
        fn();
        best.dWall = std::min(best.dWall, std::chrono::duration<double>(Clock::now() - t).count());
        best.dUser = std::min(best.dUser, UserSeconds() - dUser);
    }
    return best;
}
