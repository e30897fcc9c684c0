#include "app/progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

#include "output/text_fields.h"
#include "platform/codepage.h"

namespace orbisto::app {

namespace {

// Bytes as "812 KB", "4.5 MB", "12.3 GB".
std::string byte_text(double bytes) {
    static const char* const kUnits[] = {"B", "KB", "MB", "GB", "TB"};
    int unit = 0;
    while (bytes >= 1024 && unit < 4) {
        bytes /= 1024;
        ++unit;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, unit == 0 || bytes >= 100 ? "%.0f %s" : "%.1f %s", bytes,
                  kUnits[unit]);
    return buf;
}

// The characters of a UTF-8 text; invalid bytes count one each.
std::size_t chars_of(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp = 0;
        const std::size_t len = decode_utf8_char(s, i, cp);
        i += len == 0 ? 1 : len;
        ++n;
    }
    return n;
}

// The last `count` characters of a UTF-8 text.
std::string_view last_chars(std::string_view s, std::size_t count) {
    std::size_t total = chars_of(s);
    std::size_t i = 0;
    while (total > count && i < s.size()) {
        char32_t cp = 0;
        const std::size_t len = decode_utf8_char(s, i, cp);
        i += len == 0 ? 1 : len;
        --total;
    }
    return s.substr(i);
}

std::size_t terminal_width(std::FILE* out) {
    winsize ws{};
    if (::ioctl(::fileno(out), TIOCGWINSZ, &ws) == 0 && ws.ws_col > 20) return ws.ws_col;
    return 80;
}

}  // namespace

std::string fit_progress(std::string_view head, std::string_view path, std::size_t width) {
    std::string text(head);
    const std::string shown = terminal_field(text_to_utf8(path));
    const std::size_t used = chars_of(text) + 2;
    if (used + 4 < width && !shown.empty()) {
        const std::size_t room = width - used - 1;
        text += "  ";
        if (chars_of(shown) > room) {
            text += "...";
            text += last_chars(shown, room - 3);
        } else {
            text += shown;
        }
    }
    return text;
}

std::string progress_text(const WalkProgress& p, bool english, std::size_t width) {
    char head[160];
    const double seconds = static_cast<double>(std::max<std::int64_t>(p.elapsed_ms, 1)) / 1000.0;
    std::snprintf(
        head, sizeof head,
        english ? "%llu dirs  %llu files  %s  %s/s" : "%llu Verz.  %llu Dateien  %s  %s/s",
        static_cast<unsigned long long>(p.dirs), static_cast<unsigned long long>(p.files),
        byte_text(p.bytes).c_str(), byte_text(p.bytes / seconds).c_str());
    std::string text = head;
    if (p.total_bytes > 0) {
        char percent[16];
        std::snprintf(percent, sizeof percent, "  %3.0f%%",
                      std::clamp(100.0 * p.bytes / p.total_bytes, 0.0, 100.0));
        text += percent;
    }
    std::string path(p.dir);
    if (!p.name.empty()) {
        if (path.empty() || path.back() != '/') path += '/';
        path += p.name;
    }
    return fit_progress(text, path, width);
}

ProgressLine::ProgressLine(std::FILE* out, bool terminal, bool english)
    : out_(out), terminal_(terminal), english_(english) {}

ProgressLine::~ProgressLine() {
    finish();
}

void ProgressLine::show(const WalkProgress& p) {
    if (terminal_) {
        draw(progress_text(p, english_, terminal_width(out_)));
    } else if (plain_due(p.elapsed_ms)) {
        std::fprintf(out_, "%s\n", progress_text(p, english_, 200).c_str());
        std::fflush(out_);
    }
}

void ProgressLine::show(std::string_view head, std::string_view path, std::int64_t elapsed_ms) {
    if (terminal_) {
        draw(fit_progress(head, path, terminal_width(out_)));
    } else if (plain_due(elapsed_ms)) {
        std::fprintf(out_, "%s\n", fit_progress(head, path, 200).c_str());
        std::fflush(out_);
    }
}

void ProgressLine::draw(const std::string& text) {
    const std::size_t width = terminal_width(out_);
    const std::size_t pad = width - 1 > chars_of(text) ? width - 1 - chars_of(text) : 0;
    std::fprintf(out_, "\r%s%s", text.c_str(), std::string(pad, ' ').c_str());
    std::fflush(out_);
    shown_ = true;
}

bool ProgressLine::plain_due(std::int64_t elapsed_ms) {
    // A log or a pipe gets a line every few seconds.
    if (last_plain_ms_ >= 0 && elapsed_ms - last_plain_ms_ < 5000) return false;
    last_plain_ms_ = elapsed_ms;
    return true;
}

void ProgressLine::finish() {
    if (!shown_) return;
    shown_ = false;
    const std::size_t width = terminal_width(out_);
    std::fprintf(out_, "\r%s\r", std::string(width - 1, ' ').c_str());
    std::fflush(out_);
}

}  // namespace orbisto::app
