#include "scan/scan_time.h"

#include <limits>

namespace orbisto {

namespace {
constexpr std::uint32_t kPlausibleLow = 28000000;
constexpr std::uint32_t kPlausibleHigh = 60000000;
constexpr std::int64_t kTicksPerSecond = 10000000;
}  // namespace

FileTime filetime_from_unix(std::int64_t seconds, std::int64_t nanoseconds) {
    // Whole seconds before 1601 or beyond what 63 bits of 100 ns steps hold
    // have no FILETIME; both are implausible anyway.
    constexpr std::int64_t min_seconds = -kFileTimeUnixOffset / kTicksPerSecond;
    constexpr std::int64_t max_seconds =
        (std::numeric_limits<std::int64_t>::max() - kFileTimeUnixOffset) / kTicksPerSecond - 1;
    if (seconds < min_seconds || seconds > max_seconds) return {};
    if (nanoseconds < 0 || nanoseconds >= 1000000000) nanoseconds = 0;
    const std::int64_t ticks = seconds * kTicksPerSecond + kFileTimeUnixOffset + nanoseconds / 100;
    if (ticks < 0) return {};
    return FileTime::from(static_cast<std::uint64_t>(ticks));
}

bool is_plausible_time(const FileTime& t) {
    return t.high > kPlausibleLow && t.high < kPlausibleHigh;
}

FileTime choose_record_time(const FileTime& write, const FileTime& access,
                            const FileTime& created) {
    if (is_plausible_time(write)) return write;
    if (is_plausible_time(access)) return access;
    if (is_plausible_time(created)) return created;
    return {};
}

bool is_newer(const FileTime& a, const FileTime& b) {
    return a.high > b.high || (a.high == b.high && a.low > b.low);
}

void note_newest_file(ScanState& scan, const FileTime& time, std::string_view name) {
    if (!is_newer(time, scan.newest_time)) return;
    scan.newest_time = time;
    scan.newest_name.assign(name);
}

}  // namespace orbisto
