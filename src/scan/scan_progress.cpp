#include "scan/scan_progress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/codepage.h"
#include "scan/scan_context.h"

namespace orbisto {

std::int64_t walk_ticks_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string estimate_text(bool english, std::int64_t elapsed_ms, double bytes_scanned,
                          double bytes_used) {
    if (!(bytes_scanned > 0)) return {};
    // More bytes than the medium uses (hard links, a wrong size): nothing left.
    const double left = std::max(0.0, bytes_used - bytes_scanned);
    const double ms =
        static_cast<double>(std::max<std::int64_t>(elapsed_ms, 0)) * left / bytes_scanned;
    const long seconds = static_cast<long>(std::min(ms, 1e15)) / 1000;
    char buf[96];
    if (seconds <= 100) {
        std::snprintf(
            buf, sizeof buf,
            english ? "still scanning for about %ld sec" : "einlesen dauert noch ca. %ld sec",
            seconds);
    } else {
        std::snprintf(buf, sizeof buf,
                      english ? "still scanning for about %ld min %ld sec"
                              : "einlesen dauert noch ca. %ld min %ld sec",
                      seconds / 60, seconds % 60);
    }
    return buf;
}

std::string shortened_directory(std::string_view root, std::string_view dir) {
    std::string out;
    std::string_view rest = dir;
    if (!root.empty() && root != "/" && dir.starts_with(root) &&
        (dir.size() == root.size() || dir[root.size()] == '/')) {
        out.assign(root);
        rest.remove_prefix(root.size());
    }
    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        out += '/';
        if (i == 0 || i + 1 == parts.size()) {
            out += parts[i];
        } else {
            out += '.';
        }
    }
    if (out.empty()) out = "/";
    if (out.size() > 1 && out.back() == '/') out.pop_back();
    return text_to_utf8(out);
}

void ShowWalkProgress(ScanContext& ctx, int archive_depth) {
    ScanState& s = ctx.scan;
    const bool realtime = ctx.settings.options.real_time;
    if (archive_depth == 0 && s.frame && s.bytes_used > 0) {
        ++s.progress_counter;
        if (realtime || s.progress_counter % 100 == 0) {
            const double percent = std::clamp(100.0 * s.bytes_scanned / s.bytes_used, 0.0, 100.0);
            ctx.frontend.progress_value(static_cast<int>(percent));
            char title[48];
            std::snprintf(title, sizeof title, ctx.tr("%6.2f%% fertig", "%6.2f%% ready"), percent);
            ctx.frontend.window_title(title);
        }
    }

    const std::int64_t elapsed = walk_ticks_ms() - s.start_ms;
    const std::int64_t second = elapsed / 1000;
    if (second == s.last_shown_second) return;
    s.last_shown_second = second;

    const std::string counters = ctx.catalog.status_text(0);
    ctx.frontend.status(1, counters);
    if (ctx.log.enabled()) ctx.log.line("status:" + counters + "\r\n");
    char clock[48];
    std::snprintf(clock, sizeof clock, "%ld:%02ld", static_cast<long>(second / 60),
                  static_cast<long>(second % 60));
    ctx.frontend.status(2, clock);
    if (s.frame && s.bytes_scanned > 0) {
        ctx.frontend.progress_text(
            estimate_text(ctx.english(), elapsed, s.bytes_scanned, s.bytes_used));
    }
}

void ReportWalkProgress(ScanContext& ctx, std::string_view dir, std::string_view name,
                        double bytes_left) {
    ScanState& s = ctx.scan;
    if (!s.on_progress) return;
    const std::int64_t now = walk_ticks_ms();
    if (now - s.last_progress_ms < kWalkProgressMs) return;
    s.last_progress_ms = now;
    WalkProgress p;
    p.dirs = ctx.catalog.dir_count();
    p.files = ctx.catalog.file_count();
    p.bytes = std::max(0.0, s.bytes_scanned - bytes_left);
    p.total_bytes = s.total_known ? s.bytes_used : 0;
    p.elapsed_ms = now - s.start_ms;
    p.dir = dir;
    p.name = name;
    s.on_progress(p);
}

}  // namespace orbisto
