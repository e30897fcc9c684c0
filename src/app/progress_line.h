// The progress of a headless scan on standard error. On a terminal one line
// is rewritten in place: directories and files so far, the bytes passed, the
// rate, a percentage only when the medium's total is known (a whole file
// system; a folder of one has none), and the file at hand, cut to the
// terminal's width. Without a terminal (asked for with --progress) a plain
// line is written every few seconds instead.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "scan/scan_state.h"

namespace orbisto::app {

// The text of one progress line (without line end), at most `width`
// characters: counts, bytes, rate, percentage, then as much of the path as
// fits (its end, which names the file).
std::string progress_text(const WalkProgress& p, bool english, std::size_t width);

class ProgressLine {
  public:
    ProgressLine(std::FILE* out, bool terminal, bool english);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const WalkProgress& p);
    // Clears the line on a terminal, so that what follows starts clean.
    void finish();

  private:
    std::FILE* out_;
    bool terminal_;
    bool english_;
    bool shown_ = false;
    std::int64_t last_plain_ms_ = -1;
};

}  // namespace orbisto::app
