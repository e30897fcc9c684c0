// The wall clock the benchmark programs time their steps with.
#pragma once

#include <chrono>

namespace orbisto::bench {

using Clock = std::chrono::steady_clock;

inline double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace orbisto::bench
