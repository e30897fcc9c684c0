// The wall clock the benchmark programs time their steps with.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

namespace orbisto::bench {

using Clock = std::chrono::steady_clock;

inline double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The shortest of several timed runs of the work.
inline double best_of(int runs, const std::function<void()>& work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, seconds_since(start));
    }
    return best;
}

}  // namespace orbisto::bench
