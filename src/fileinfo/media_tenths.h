// A playing time the multimedia service measured, as the readers store it:
// tenths of a second, truncated, within what the field holds.
#pragma once

#include <cstdint>
#include <limits>

namespace orbisto {

inline std::int32_t media_tenths(std::int64_t length_ms) {
    if (length_ms <= 0) return 0;
    const std::int64_t tenths = length_ms / 100;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(tenths < kMax ? tenths : kMax);
}

}  // namespace orbisto
