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
#include <string_view>

#include "scan/scan_state.h"

namespace orbisto::app {

// A progress line of at most `width` characters: `head` (the counts), then
// as much of `path` as fits (its end, which names the file), with whatever
// could act on a terminal spelled out.
std::string fit_progress(std::string_view head, std::string_view path, std::size_t width);

// The text of a scan's progress line (without line end): counts, bytes,
// rate, percentage, then the path.
std::string progress_text(const WalkProgress& p, bool english, std::size_t width);

class ProgressLine {
  public:
    ProgressLine(std::FILE* out, bool terminal, bool english);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const WalkProgress& p);
    // Any run's progress: the counts in `head`, the file at hand in `path`;
    // `elapsed_ms` paces the plain lines written without a terminal.
    void show(std::string_view head, std::string_view path, std::int64_t elapsed_ms);
    // Clears the line on a terminal, so that what follows starts clean.
    void finish();

  private:
    void draw(const std::string& text);
    bool plain_due(std::int64_t elapsed_ms);

    std::FILE* out_;
    bool terminal_;
    bool english_;
    bool shown_ = false;
    std::int64_t last_plain_ms_ = -1;
};

}  // namespace orbisto::app
