// The commands of the main window that scan, update or identify the medium
// in a drive, and the reaction to media arriving in drives.
#include "session/medium_commands.h"

#include <algorithm>
#include <optional>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_match.h"
#include "scan/drive_list.h"
#include "scan/medium_identify.h"
#include "scan/scan_context.h"
#include "scan/scan_medium.h"
#include "session/context.h"
#include "session/drive_dialogs.h"
#include "session/scan_request.h"

namespace orbisto {

namespace {

std::optional<Drive> drive_at(Context& ctx, int index) {
    for (Drive& d : ctx.scan.volumes().drives()) {
        if (d.index == index) return std::move(d);
    }
    return std::nullopt;
}

// The catalogue number of a MediaList entry (1-based position from
// IdentifyMediumAt).
int number_at(const Context& ctx, std::size_t position) {
    return static_cast<int>(ctx.media.entries[position - 1].catalog_number & 0xFFFF);
}

// The catalogued medium in a drive, by the rule that never takes one medium
// for another (see IdentifyMediumAt).
std::size_t identify_drive(const Context& ctx, const Drive& d) {
    return IdentifyMediumAt(ctx, d.label, d.serial, d.root, true);
}

// Whether an arriving medium needs no scan: one identified, or one whose
// label and serial a catalogued medium carries (copies of a disc are not
// scanned again on every arrival).
bool drive_known(const Context& ctx, const Drive& d) {
    if (identify_drive(ctx, d) != 0) return true;
    return !identity_is_weak(d.label, d.serial) && IdentifyMedium(ctx, d.label, d.serial) != 0;
}

// Loads a catalogued medium; its number, or -1 when the load failed (the
// store has said why).
int load_medium(Context& ctx, int number) {
    return LoadCatalog(ctx, number) ? number : -1;
}

// Runs ScanMedium with update_mode set, clearing it again on the way out.
int scan_as_update(Context& ctx, ScanMode mode) {
    ctx.scan.update_mode = true;
    const int stored = ScanMedium(ctx, mode);
    ctx.scan.update_mode = false;
    return stored;
}

// The drives the user can choose from that hold a medium with this label and
// serial. An update is only safe when exactly one does.
int drives_holding(Context& ctx, std::string_view label, std::uint32_t serial) {
    const std::vector<Drive> rows = readable_drives(ctx);
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](const Drive& d) {
        return stored_label(d.label) == label && serial_matches(serial, d.serial);
    }));
}

// The new-medium dialog found the medium in the catalogue already.
int scan_known_medium(Context& ctx, std::size_t position) {
    const MediumHeader found = ctx.media.entries[position - 1];
    const int number = number_at(ctx, position);
    switch (ctx.scan_dialogs.known_medium(
        ctx.tr("Update oder nicht das ist hier die Frage", "update database"),
        fixed_text(found.medium_name))) {
        case KnownMediumChoice::Cancel:
            return -1;
        case KnownMediumChoice::Show:
            return load_medium(ctx, number);
        case KnownMediumChoice::New:
            return ScanMedium(ctx, ScanMode::Drive);
        case KnownMediumChoice::Update:
            break;
    }
    // A medium told by the path it was scanned from is in that drive alone;
    // otherwise the same disc in two drives must not be guessed at.
    const bool by_path = !read_scanned_path(ctx, number).value_or(std::string()).empty();
    if (!by_path && drives_holding(ctx, fixed_text(found.volume_label), found.volume_serial) != 1) {
        ctx.frontend.message(ctx.tr("ID nicht eindeutig. Bitte UPDATE benutzen!",
                                    "ID not unique. Please use UPDATE!"),
                             ctx.tr("Warnung", "Warning"), Buttons::Ok, Icon::Exclamation);
        return -1;
    }
    if (load_medium(ctx, number) < 0) return -1;
    return scan_as_update(ctx, ScanMode::Drive);
}

}  // namespace

int ScanNewMediumCommand(Context& ctx) {
    const int index = ChooseDriveForScan(ctx);
    if (index < 0) return -1;
    const std::optional<Drive> drive = drive_at(ctx, index);
    if (!drive) return -1;
    ctx.scan.selected_drive = index;
    ctx.scan.update_mode = false;
    const std::size_t found = identify_drive(ctx, *drive);
    if (found == 0) return ScanMedium(ctx, ScanMode::Drive);
    return scan_known_medium(ctx, found);
}

int UpdateCurrentMediumCommand(Context& ctx, bool with_path) {
    // Without a loaded medium there is nothing to update, and a scan in
    // update mode would have no catalogue number to keep.
    if (ctx.catalog.current_number() < 0) return -1;
    if (with_path) return scan_as_update(ctx, ScanMode::Directory);
    const int index = ChooseDriveForUpdate(ctx);
    if (index < 0) return -1;
    ctx.scan.selected_drive = index;
    return scan_as_update(ctx, ScanMode::Drive);
}

int IdentifyMediumCommand(Context& ctx, bool from_tools_page) {
    const int index = ChooseDriveForIdentify(ctx);
    if (index < 0) return -1;
    const std::optional<Drive> drive = drive_at(ctx, index);
    if (!drive) return -1;
    const std::size_t found = identify_drive(ctx, *drive);
    if (found == 0) {
        if (from_tools_page) {
            ctx.frontend.message(ctx.tr("CD nicht gefunden", "CD not found"),
                                 ctx.tr("Achtung!", "attention!"), Buttons::Ok, Icon::Exclamation);
            return -1;
        }
        const Answer a = ctx.frontend.message(ctx.tr("Einlesen ?", "scan new medium ?"),
                                              ctx.tr("Medium nicht gefunden!", "medium not found"),
                                              Buttons::YesNo, Icon::Question);
        return a == Answer::Yes ? ScanNewMediumCommand(ctx) : -1;
    }
    const int loaded = load_medium(ctx, number_at(ctx, found));
    if (loaded >= 0 && from_tools_page) {
        ctx.frontend.message(ctx.tr("CD gefunden und geladen", "CD found and loaded"),
                             ctx.tr("Fertig!", "ready!"), Buttons::Ok, Icon::Information);
    }
    return loaded;
}

ArrivalResult MediumArrived(Context& ctx, const std::vector<int>& drive_indexes) {
    ArrivalResult result;
    if (ctx.scan.scanning) return result;
    const Options& o = ctx.settings.options;
    if (!o.auto_scan && !o.identify_inserted_media) return result;

    std::vector<Drive> arrived;
    for (int index : drive_indexes) {
        std::optional<Drive> d = drive_at(ctx, index);
        if (d && volume_readable(*d)) arrived.push_back(std::move(*d));
    }
    if (o.auto_scan) {
        for (const Drive& d : arrived) {
            if (o.cd_drives_only && d.type != kDriveCdRom) continue;
            if (drive_known(ctx, d)) continue;
            const int stored = HandleScanRequest(ctx, kRequestScanNew, d.root);
            if (stored >= 0) result.stored.push_back(stored);
        }
    }
    if (o.identify_inserted_media) {
        for (const Drive& d : arrived) {
            const std::size_t found = identify_drive(ctx, d);
            if (found == 0) continue;
            result.loaded = load_medium(ctx, number_at(ctx, found));
            break;
        }
    }
    return result;
}

}  // namespace orbisto
