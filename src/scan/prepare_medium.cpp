// Measuring the medium before a scan: the canonical path, its drive root,
// drive type, volume label and serial, free and used space.
//
// Declared in scan/scan_medium.h and scan/scan_steps.h (with the scan steps around it).
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/codepage.h"
#include "platform/volumes.h"
#include "scan/scan_context.h"
#include "scan/scan_medium.h"
#include "scan/scan_steps.h"

namespace orbisto {

namespace {

// The absolute path without links, "." and ".." of an existing directory;
// empty when the path does not exist or is no directory.
std::string canonical_directory(const std::string& path) {
    if (path.empty()) return {};
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return {};
    std::string out(resolved);
    std::free(resolved);
    struct stat st {};
    if (::stat(out.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
    return out;
}

void report_bad_path(ScanContext& ctx, const std::string& path) {
    std::string text = ctx.tr("Der Pfad \"", "the path \"");
    text += path;
    text += ctx.tr("\" existiert nicht oder ist kein Verzeichnis.\r\nEs wurde nichts eingelesen.",
                   "\" does not exist or is not a directory.\r\nNothing was scanned.");
    ctx.frontend.message(text, ctx.tr("Fehler!", "error!"), Buttons::Ok, Icon::Exclamation);
}

}  // namespace

int prepare_medium(ScanContext& ctx, const std::string& path, std::string& canonical) {
    ScanState& scan = ctx.scan;
    // A path that names nothing would be stored as an empty medium and
    // reported as a success; refuse it before anything changes.
    canonical = canonical_directory(path);
    if (canonical.empty()) {
        report_bad_path(ctx, path);
        return -1;
    }
    try {
        // Room for the entry this scan adds to the media list.
        ctx.media.entries.reserve(ctx.media.entries.size() + 1);
    } catch (const std::bad_alloc&) {
        ctx.frontend.message(ctx.tr(" zu wenig Speicher ", " out of memory "),
                             ctx.tr("Fehler!", "error!"), Buttons::Ok, Icon::Stop);
        return -1;
    }
    scan.bytes_used = 1e6;
    scan.bytes_scanned = 0;

    Volumes& volumes = scan.volumes();
    const std::optional<Drive> drive = volumes.drive_of(canonical);
    scan.root = drive ? drive->root : std::string();
    scan.drive_type = drive ? drive->type : 0;
    scan.volume_label =
        drive ? cut_stored(drive->label, decltype(MediumHeader::volume_label)::stored_size - 1)
              : std::string();
    scan.volume_serial = drive ? drive->serial : 0;

    MediumHeader& h = ctx.catalog.header;
    set_fixed_text(h.volume_label, scan.volume_label);
    h.volume_serial = scan.volume_serial;
    h.drive_type = static_cast<std::uint16_t>(scan.drive_type);

    ctx.log.line("\r\nnew file:" + scan.root + "  " + canonical + "\r\n");
    char id[32];
    std::snprintf(id, sizeof id, "\r\ndrive id:%08X\r\n", scan.volume_serial);
    ctx.log.line(id);

    h.free_kb = 0;
    if (const std::optional<DriveSpace> space = volumes.space(canonical)) {
        h.free_kb = static_cast<float>(space->free_kb);
        scan.bytes_used = (space->total_kb - space->free_kb) * 1024.0;
    }
    if (scan.bytes_used <= 0) scan.bytes_used = 1.0;
    scan.bytes_scanned = 0;
    scan.total_known = volumes.is_drive_root(canonical);
    scan.last_progress_ms = 0;
    return 0;
}

int PrepareMedium(ScanContext& ctx, const std::string& root_path) {
    std::string canonical;
    return prepare_medium(ctx, root_path, canonical);
}

}  // namespace orbisto
