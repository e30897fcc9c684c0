// One interactive scan of a medium, from the choice of the folder or drive
// to the stored catalogue.
#include "scan/scan_medium.h"

#include <cstdio>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_match.h"
#include "catalog/save_question.h"
#include "platform/codepage.h"
#include "platform/volumes.h"
#include "scan/medium_sheet.h"
#include "scan/medium_update.h"
#include "scan/old_catalog_index.h"
#include "scan/scan_checks.h"
#include "scan/scan_context.h"
#include "scan/scan_steps.h"
#include "scan/scan_walk.h"

namespace orbisto {

namespace {

// The medium name of a scanned folder holds the start of its path.
constexpr std::size_t kPathNameBytes = 56;

// Clears the scanning flag on every way out of a scan.
struct ScanningFlag {
    explicit ScanningFlag(ScanState& s) : scan(s) { scan.scanning = true; }
    ~ScanningFlag() { scan.scanning = false; }
    ScanningFlag(const ScanningFlag&) = delete;
    ScanningFlag& operator=(const ScanningFlag&) = delete;
    ScanState& scan;
};

// Seam for audio CDs: a CD-ROM whose root holds TRACK01.CDA is to be
// recorded from its track list instead of being walked. Reading track lists
// is not part of this program yet, so every medium is walked.
bool fill_from_audio_cd(ScanContext& ctx, const std::string& path) {
    (void)ctx;
    (void)path;
    return false;
}

void drop_old_copy(ScanState& scan) {
    scan.old.reset();
    scan.old_index.reset();
}

// The folder or drive to scan; empty when the user cancelled.
std::optional<std::string> choose_path(ScanContext& ctx, ScanMode mode) {
    if (mode == ScanMode::Directory) {
        return ctx.frontend.choose_folder(ctx.tr("Pfad ausw\xC3\xA4hlen", "select path"), "");
    }
    const std::vector<Drive> drives = ctx.scan.volumes().drives();
    const int i = ctx.scan.selected_drive;
    // A drive that went away is refused by PrepareMedium with the path named.
    if (i < 0 || static_cast<std::size_t>(i) >= drives.size()) return std::string();
    return drives[static_cast<std::size_t>(i)].root;
}

}  // namespace

int ScanMedium(ScanContext& ctx, ScanMode mode) {
    ScanState& scan = ctx.scan;
    ScanningFlag scanning(scan);
    const bool update = scan.update_mode;
    Catalog& cat = ctx.catalog;

    ask_save_if_changed(ctx);
    clear_scan_statistics(ctx);

    const std::optional<std::string> path = choose_path(ctx, mode);
    if (!path) return -1;
    const int number = update ? cat.current_number() : -1;
    if (update && PrepareUpdate(ctx) != 0) return -1;

    std::string canonical;
    if (prepare_medium(ctx, *path, canonical) != 0) {
        drop_old_copy(scan);
        return -1;
    }
    const MediumHeader measured = cat.header;
    cat.reset(ctx.english());
    cat.set_current_number(number);
    take_medium_fields(cat.header, measured);

    BeginScan(ctx);
    if (mode == ScanMode::Drive) {
        set_fixed_text(cat.header.medium_name, default_medium_name(scan.volume_label, canonical));
    } else {
        set_fixed_text(cat.header.medium_name, cut_stored(canonical, kPathNameBytes));
    }
    cat.header.catalog_number = number < 0 ? 0 : static_cast<std::uint32_t>(number);
    // A folder below its drive root hangs below a record named after it; a
    // drive whose label and serial tell nothing, below its whole path, so
    // that it can be told from the others later.
    std::uint32_t start = 0;
    if (mode == ScanMode::Directory) {
        start = add_path_record(ctx, path_below_root(canonical, scan.root));
    } else if (identity_is_weak(scan.volume_label, scan.volume_serial)) {
        start = add_path_record(ctx, canonical);
    }
    scan.start_ms = scan_ticks_ms();
    if (mode != ScanMode::Drive || !fill_from_audio_cd(ctx, canonical)) {
        Mp3Totals mp3;
        ScanDirectory(ctx, canonical, start, 0, 0, mp3);
        if (mp3.count > 0) scan.mp3 = mp3;
    }
    eject_after_scan(ctx);
    scan.end_ms = scan_ticks_ms();
    if (update) {
        EndUpdateScan(ctx);
    } else {
        EndScan(ctx);
    }
    const std::int64_t elapsed_ms = scan.end_ms - scan.start_ms;

    finish_scanned_records(ctx);
    report_delete_failed(ctx);
    keep_described_files(ctx);
    report_scan_limits(ctx);
    report_scan_omissions(ctx);
    if (!confirm_empty_medium(ctx)) return -1;
    if (!update && !confirm_not_duplicate(ctx)) return -1;

    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%lld sec", static_cast<long long>(elapsed_ms / 1000));
    ctx.frontend.status(2, elapsed);

    if (!ShowMediumSheet(ctx, !update)) return -1;
    return store_scanned_medium(ctx, number);
}

}  // namespace orbisto
