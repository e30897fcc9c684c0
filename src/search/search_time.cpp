#include "search/search_time.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace orbisto {

namespace {

bool is_leap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int days_in_month(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && is_leap(y) ? 29 : kDays[m - 1];
}

// Days from 1601-01-01 to the date (proleptic Gregorian).
std::int64_t days_since_1601(std::int64_t y, int m, int d) {
    // Days from civil, shifted so that March starts the year.
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t from_1970 = era * 146097 + doe - 719468;
    return from_1970 + kUnixEpochSeconds / 86'400;
}

}  // namespace

std::uint64_t filetime_of_day(int year, int month, int day, bool end_of_day) {
    year = std::clamp(year, 1601, 30000);
    month = std::clamp(month, 1, 12);
    day = std::clamp(day, 1, days_in_month(year, month));
    const auto days = static_cast<std::uint64_t>(days_since_1601(year, month, day));
    std::uint64_t t = days * kFileTimePerDay;
    if (end_of_day) t += kFileTimePerDay - kFileTimePerMs;
    return t;
}

std::uint64_t filetime_day_start(std::uint64_t t) {
    return t - t % kFileTimePerDay;
}

std::int64_t unix_of_filetime(std::uint64_t t) {
    return static_cast<std::int64_t>(t / kFileTimePerSecond) - kUnixEpochSeconds;
}

std::uint64_t filetime_of_unix(std::int64_t seconds, std::int64_t nanoseconds) {
    if (seconds < -kUnixEpochSeconds) return 0;
    return static_cast<std::uint64_t>(seconds + kUnixEpochSeconds) * kFileTimePerSecond +
           static_cast<std::uint64_t>(std::clamp<std::int64_t>(nanoseconds, 0, 999'999'999) / 100);
}

std::optional<CalendarDate> parse_iso_date(const char* text) {
    if (!text || std::strlen(text) != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    for (int i = 0; i < 10; ++i) {
        if (i == 4 || i == 7) continue;
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    }
    auto number = [&](int at, int len) {
        int v = 0;
        for (int i = at; i < at + len; ++i) v = v * 10 + (text[i] - '0');
        return v;
    };
    CalendarDate d{number(0, 4), number(5, 2), number(8, 2)};
    if (d.year < 1601 || d.month < 1 || d.month > 12 || d.day < 1 ||
        d.day > days_in_month(d.year, d.month)) {
        return std::nullopt;
    }
    return d;
}

}  // namespace orbisto
