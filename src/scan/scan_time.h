// The times of scanned entries: FILETIME values from the file system's
// seconds and nanoseconds, the plausibility test, the choice of one time per
// record and the newest-file statistic.
#pragma once

#include <cstdint>
#include <string_view>

#include "catalog/records.h"
#include "scan/scan_state.h"

namespace orbisto {

// 100 ns steps between 1601-01-01 and 1970-01-01.
inline constexpr std::int64_t kFileTimeUnixOffset = 116444736000000000;

// The FILETIME of a unix time; 0 for times before 1601 or too far ahead to
// be represented.
FileTime filetime_from_unix(std::int64_t seconds, std::int64_t nanoseconds);

// A time is plausible when its high word lies strictly between 28,000,000
// (early 1982) and 60,000,000 (the year 2417).
bool is_plausible_time(const FileTime& t);

// The first plausible of last-write, last-access and creation time, else 0.
FileTime choose_record_time(const FileTime& write, const FileTime& access, const FileTime& created);

// True when a is later than b.
bool is_newer(const FileTime& a, const FileTime& b);

// Takes the file as the newest of the medium when its time is strictly newer.
void note_newest_file(ScanState& scan, const FileTime& time, std::string_view name);

}  // namespace orbisto
