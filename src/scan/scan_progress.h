// What the walk shows while it runs: the progress bar and the percentage in
// the window title, the counters and the elapsed time in the status bar once
// per second, the estimate of the time left, and the shortened path of the
// entry being read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orbisto {

struct ScanContext;

// Milliseconds of the steady clock, the clock of ScanState::start_ms.
std::int64_t walk_ticks_ms();

// Progress step for one entry of a files pass: the bar and the title on the
// medium itself (archive_depth 0, while the progress frame is open), every
// entry with real_time, else every 100th; at every depth, once per second,
// the counters, the elapsed time and the estimate.
void ShowWalkProgress(ScanContext& ctx, int archive_depth);

// How often the walk's progress is handed to ScanState::on_progress.
inline constexpr std::int64_t kWalkProgressMs = 200;

// Hands the walk's progress to ScanState::on_progress when one is set and
// kWalkProgressMs have passed: at the file `name` of `dir`, of which
// `bytes_left` (counted in bytes_scanned already) are still to be read.
void ReportWalkProgress(ScanContext& ctx, std::string_view dir, std::string_view name,
                        double bytes_left = 0);

// "einlesen dauert noch ca. %ld sec" (up to 100 seconds left) or "... %ld min
// %ld sec", projected from the time so far; empty while nothing was scanned.
std::string estimate_text(bool english, std::int64_t elapsed_ms, double bytes_scanned,
                          double bytes_used);

// A directory path shortened for the status bar: the part up to the drive
// root, the first and the last component stay, every component between
// becomes "." ("/media/cd" + "/a/b/c/d" gives "/media/cd/a/././d"). The
// walk appends "/" and the entry name.
std::string shortened_directory(std::string_view root, std::string_view dir);

}  // namespace orbisto
