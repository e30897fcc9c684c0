// Scans requested without dialogs: a new medium (code 2) or the update of a
// catalogued one (code 3), from a drive root or any folder.
#include "session/scan_request.h"

#include <cstdio>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_match.h"
#include "platform/volumes.h"
#include "scan/medium_identify.h"
#include "scan/medium_update.h"
#include "scan/scan_checks.h"
#include "scan/scan_context.h"
#include "scan/scan_medium.h"
#include "scan/scan_steps.h"
#include "scan/scan_walk.h"
#include "session/context.h"

namespace orbisto {

namespace {

// A request never asks: a changed Catalog is saved under its own number.
void save_changed_catalog(Context& ctx) {
    if (!ctx.catalog.changed()) return;
    SaveCatalog(ctx, ctx.catalog.current_number());
    ctx.catalog.set_changed(false);
}

// The walk of a request: a mount point from the root record, any other
// folder below a record that carries its whole path. So does a mount point
// whose label and serial tell nothing, so that it can be told again later.
void walk_requested_path(Context& ctx, const std::string& canonical) {
    ScanState& scan = ctx.scan;
    const bool whole_medium = scan.volumes().is_drive_root(canonical) &&
                              !identity_is_weak(scan.volume_label, scan.volume_serial);
    const std::uint32_t start = whole_medium ? 0 : add_path_record(ctx, canonical);
    Mp3Totals mp3;
    ScanDirectory(ctx, canonical, start, 0, 0, mp3);
    if (mp3.count > 0) scan.mp3 = mp3;
}

void apply_label_override(Context& ctx) {
    if (ctx.command_line.label_given) {
        set_fixed_text(ctx.catalog.header.medium_name, ctx.command_line.label);
    }
}

// Empties the Catalog for the walk, keeping what PrepareMedium measured.
void reset_for_walk(Context& ctx, const MediumHeader& measured, int number) {
    Catalog& cat = ctx.catalog;
    cat.reset(ctx.english());
    cat.set_current_number(number);
    take_medium_fields(cat.header, measured);
}

// After the walk: an aborted walk stores nothing (nobody confirms a request,
// and a medium cut short must not pass for a complete one); work areas that
// ran full and the directories left out are reported, and what was read is
// stored.
bool walk_complete(Context& ctx) {
    if (ctx.frontend.abort_requested()) {
        ctx.frontend.message(ctx.tr(" Scan abgebrochen - es wurde nichts gespeichert ",
                                    " scan aborted - nothing was stored "),
                             ctx.tr(" Benutzeraktion ", " userinteraction "), Buttons::Ok,
                             Icon::Information);
        return false;
    }
    report_scan_limits(ctx);
    report_scan_omissions(ctx);
    return true;
}

// Drops a Catalog that is not stored and loads catalogue n again (none for -1).
void reload_catalogue(Context& ctx, int n) {
    ctx.catalog.set_changed(false);
    ctx.catalog.set_current_number(-1);
    if (n >= 0) LoadCatalog(ctx, n);
}

void report_unknown_medium(Context& ctx) {
    char serial[16];
    std::snprintf(serial, sizeof serial, "%08X", ctx.scan.volume_serial);
    std::string text = ctx.tr("Dieses Medium ist nicht katalogisiert (Volume-Label \"",
                              "this medium is not catalogued (volume label \"");
    text += ctx.scan.volume_label;
    text += ctx.tr("\", Seriennummer ", "\", serial ");
    text += serial;
    text += ctx.tr(").\r\nEs wurde nichts ge\xC3\xA4ndert.", ").\r\nNothing was changed.");
    ctx.frontend.message(text, ctx.tr("Medium nicht gefunden!", "medium not found"), Buttons::Ok,
                         Icon::Exclamation);
}

// The catalogued medium that the requested path is, as a 1-based MediaList
// position; 0 when none. Label and serial are shared by every folder of a
// file system, and by every file system that has none, so updating one of
// those must never overwrite the catalogue of another.
std::size_t identify_requested_medium(Context& ctx, const std::string& canonical) {
    ScanState& scan = ctx.scan;
    return IdentifyMediumAt(ctx, scan.volume_label, scan.volume_serial, canonical,
                            scan.volumes().is_drive_root(canonical));
}

int scan_new_medium(Context& ctx, const std::string& path) {
    ScanState& scan = ctx.scan;
    Catalog& cat = ctx.catalog;
    scan.update_mode = false;
    save_changed_catalog(ctx);
    clear_scan_statistics(ctx);

    // PrepareMedium refuses a bad path before it changes anything, so the
    // loaded Catalog stays as it was.
    std::string canonical;
    if (prepare_medium(ctx, path, canonical) != 0) return -1;
    // Scanning it again makes a second medium, as asked; the caller may
    // point out the update instead.
    scan.catalogued_as = -1;
    if (const std::size_t found = identify_requested_medium(ctx, canonical);
        found > 0 && found <= ctx.media.entries.size()) {
        scan.catalogued_as = static_cast<int>(ctx.media.entries[found - 1].catalog_number & 0xFFFF);
    }
    const int before = cat.current_number();
    const MediumHeader measured = cat.header;
    reset_for_walk(ctx, measured, -1);

    BeginScan(ctx);
    walk_requested_path(ctx, canonical);
    EndScan(ctx);
    report_delete_failed(ctx);
    if (!walk_complete(ctx)) {
        reload_catalogue(ctx, before);
        return -1;
    }

    set_fixed_text(cat.header.medium_name, default_medium_name(scan.volume_label, canonical));
    apply_label_override(ctx);
    finish_scanned_records(ctx);
    if (cat.description().empty()) {
        cat.set_description(ctx.command_line.info_given ? ctx.command_line.info
                                                        : newest_file_text(scan));
    }
    cat.header.category = 0;
    const int stored = store_scanned_medium(ctx, -1);
    eject_after_scan(ctx);
    return stored;
}

int update_medium(Context& ctx, const std::string& path) {
    Catalog& cat = ctx.catalog;
    save_changed_catalog(ctx);
    clear_scan_statistics(ctx);

    const MediumHeader loaded = cat.header;
    std::string canonical;
    if (prepare_medium(ctx, path, canonical) != 0) {
        EndUpdateScan(ctx);
        return -1;
    }
    const MediumHeader measured = cat.header;
    cat.header = loaded;  // nothing changes until the medium is known

    const std::size_t found = identify_requested_medium(ctx, canonical);
    if (found == 0 || found > ctx.media.entries.size()) {
        report_unknown_medium(ctx);
        EndUpdateScan(ctx);
        return -1;
    }
    const int number = static_cast<int>(ctx.media.entries[found - 1].catalog_number & 0xFFFF);
    if (!LoadCatalog(ctx, number) || PrepareUpdate(ctx) != 0) {
        EndUpdateScan(ctx);
        return -1;
    }
    reset_for_walk(ctx, measured, number);

    BeginScan(ctx);
    walk_requested_path(ctx, canonical);
    EndUpdateScan(ctx);
    report_delete_failed(ctx);
    if (!walk_complete(ctx)) {
        reload_catalogue(ctx, number);
        return -1;
    }
    apply_label_override(ctx);
    finish_scanned_records(ctx);
    const int stored = store_scanned_medium(ctx, number);
    eject_after_scan(ctx);
    return stored;
}

}  // namespace

int HandleScanRequest(Context& ctx, int code, const std::string& path) {
    if (code == kRequestScanNew) return scan_new_medium(ctx, path);
    if (code != kRequestUpdate) return -1;
    ctx.scan.update_mode = true;
    const int stored = update_medium(ctx, path);
    ctx.scan.update_mode = false;
    return stored;
}

}  // namespace orbisto
