// Calendar dates and Windows FILETIME values (100 ns units since 1601-01-01,
// UTC) for the date filter of the search.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

namespace orbisto {

inline constexpr std::uint64_t kFileTimePerSecond = 10'000'000;
inline constexpr std::uint64_t kFileTimePerMs = 10'000;
inline constexpr std::uint64_t kFileTimePerDay = 86'400 * kFileTimePerSecond;
// Seconds from 1601-01-01 to 1970-01-01.
inline constexpr std::int64_t kUnixEpochSeconds = 11'644'473'600;

// The instant of a calendar day taken as UTC: 00:00:00.000, or with
// end_of_day 23:59:59.999. Out-of-range fields are clamped (month 1-12, day
// 1 to the month's last day, year 1601-30000) so that stored garbage never
// overflows.
std::uint64_t filetime_of_day(int year, int month, int day, bool end_of_day);

// The start (00:00:00.000 UTC) of the day that holds t.
std::uint64_t filetime_day_start(std::uint64_t t);

// Unix seconds of a FILETIME (rounded down), and back (negative times give 0).
std::int64_t unix_of_filetime(std::uint64_t t);
std::uint64_t filetime_of_unix(std::int64_t seconds, std::int64_t nanoseconds = 0);

// "YYYY-MM-DD" read strictly (a real calendar date, year 1601-9999).
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};
std::optional<CalendarDate> parse_iso_date(const char* text);

}  // namespace orbisto
