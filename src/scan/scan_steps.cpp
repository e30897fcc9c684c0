#include "scan/scan_steps.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "platform/volumes.h"
#include "scan/scan_context.h"
#include "scan/scan_medium.h"

namespace orbisto {

namespace {

// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ull;
constexpr std::int64_t kFileTimePerSecond = 10000000;

}  // namespace

void clear_scan_statistics(ScanContext& ctx) {
    ScanState& scan = ctx.scan;
    scan.newest_time = FileTime{};
    scan.newest_name.clear();
    scan.mp3 = Mp3Totals{};
    ctx.limits_hit = ScanLimitsHit{};
    scan.omissions = ScanOmissions{};
    scan.total_kb = 0;
    scan.bytes_scanned = 0;
    scan.progress_counter = 0;
    scan.last_shown_second = -1;
}

void take_medium_fields(MediumHeader& to, const MediumHeader& from) {
    to.volume_label = from.volume_label;
    to.volume_serial = from.volume_serial;
    to.drive_type = from.drive_type;
    to.free_kb = from.free_kb;
}

std::string path_below_root(std::string_view path, std::string_view root) {
    if (!root.empty() && path.substr(0, root.size()) == root &&
        (path.size() == root.size() || root.back() == '/' || path[root.size()] == '/')) {
        path.remove_prefix(root.size());
    }
    while (!path.empty() && path.front() == '/') path.remove_prefix(1);
    while (!path.empty() && path.back() == '/') path.remove_suffix(1);
    return std::string(path);
}

std::string last_component(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || path.size() == 1) return std::string(path);
    return std::string(path.substr(slash + 1));
}

std::string default_medium_name(std::string_view volume_label, std::string_view path) {
    if (!volume_label.empty()) return std::string(volume_label);
    return last_component(path);
}

std::uint32_t add_path_record(ScanContext& ctx, std::string_view name) {
    if (name.empty()) return 0;
    Catalog& cat = ctx.catalog;
    const AppendResult n = cat.append_name(name);
    if (!n.ok()) {
        if (n.status == AppendStatus::PoolFull) ctx.limits_hit.names = true;
        return 0;
    }
    DirRecord d;
    d.name = n.value;
    d.parent = 0;
    const AppendResult r = cat.append_dir(d);
    return r.ok() ? r.value : 0;
}

std::string newest_file_text(const ScanState& scan) {
    if (scan.newest_name.empty()) return {};
    const std::uint64_t ft = scan.newest_time.value();
    const std::time_t t = static_cast<std::time_t>(
        (static_cast<std::int64_t>(ft - kFileTimeUnixEpoch)) / kFileTimePerSecond);
    std::tm tm{};
    if (!::localtime_r(&t, &tm)) return {};
    char when[64];
    std::snprintf(when, sizeof when, "\r\nvom:%02d.%02d.%d  %02d:%02d", tm.tm_mday, tm.tm_mon + 1,
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min);
    return "Neueste Datei:" + scan.newest_name + when;
}

std::string mp3_totals_line(const Mp3Totals& mp3) {
    if (mp3.count == 0) return {};
    const std::uint64_t s = mp3.seconds;
    char line[128];
    std::snprintf(line, sizeof line,
                  "MP3-Anzahl:%u Laufzeit:%4llu:%02u:%02u Bitrate:%3llu KBit\r\n", mp3.count,
                  static_cast<unsigned long long>(s / 3600), static_cast<unsigned>(s % 3600 / 60),
                  static_cast<unsigned>(s % 60),
                  static_cast<unsigned long long>(mp3.bitrate_sum / mp3.count));
    return line;
}

void report_delete_failed(ScanContext& ctx) {
    if (!ctx.packers.delete_failed) return;
    ctx.frontend.message(ctx.tr("Einige Verzeichnisse konnten\r\nnicht gel\xC3\xB6scht werden!",
                                "some directories could\r\nnot be deleted!"),
                         ctx.tr("Fehler!", "error!"), Buttons::Ok, Icon::Exclamation);
}

void eject_after_scan(ScanContext& ctx) {
    const ScanState& scan = ctx.scan;
    if (!ctx.settings.options.eject_after_scan || scan.drive_type != kDriveCdRom ||
        scan.root.empty()) {
        return;
    }
    if (!ctx.scan.volumes().eject(scan.root)) {
        ctx.frontend.message(ctx.tr("Das Laufwerk konnte nicht ge\303\266ffnet werden: ",
                                    "the drive could not be opened: ") +
                                 scan.root,
                             "MCI error", Buttons::Ok, Icon::Exclamation);
    }
}

void finish_scanned_records(ScanContext& ctx) {
    Catalog& cat = ctx.catalog;
    AggregateScan(cat);
    cat.set_end_markers();
    cat.sync_header();
}

int store_scanned_medium(ScanContext& ctx, int n) {
    const int stored = SaveCatalog(ctx, n);
    if (stored < 0) return -1;
    ctx.catalog.header.catalog_number = static_cast<std::uint32_t>(stored) & 0xFFFF;
    ctx.media.store(ctx.catalog.header);
    WriteFastLoadIndex(ctx);
    ctx.observer.media_changed();
    return stored;
}

}  // namespace orbisto
