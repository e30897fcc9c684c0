// The three drive dialogs: scan a new medium, update the loaded medium,
// identify a medium. Each lists drives as "<root> <label>" rows and returns
// the drive index of the row chosen, or -1.
//
// Drive indexes are positions in the drive table (mounted file systems
// ordered by mount point). The floppy setting `Disk` has no meaning here:
// there are no floppy drive letters to leave out.
#include "session/drive_dialogs.h"

#include <cstddef>

#include "catalog/catalog_context.h"
#include "catalog/media_match.h"
#include "scan/drive_list.h"
#include "scan/medium_identify.h"
#include "scan/scan_context.h"
#include "session/context.h"
#include "settings/environment.h"
#include "settings/settings_io.h"

namespace orbisto {

namespace {

// The settings section that remembers where the scan dialog was.
constexpr const char* kScanDialogPlace = "Neu";

// The row of the first CD-ROM drive, else the first row.
int first_cd_rom_row(const std::vector<Drive>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].type == kDriveCdRom) return static_cast<int>(i);
    }
    return 0;
}

DriveChoice choice_for(DriveDialog kind, const char* caption, const std::vector<Drive>& rows) {
    DriveChoice choice;
    choice.kind = kind;
    choice.caption = caption;
    for (const Drive& d : rows) choice.items.push_back(drive_row(d));
    return choice;
}

// The drive index of the answered row; -1 for "Abbruch" or an answer that
// names no row.
int drive_of_row(const std::vector<Drive>& rows, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return -1;
    return rows[static_cast<std::size_t>(row)].index;
}

}  // namespace

int ChooseDriveForScan(Context& ctx) {
    StartState& state = ctx.settings.state;
    const std::vector<Drive> rows = readable_drives(ctx);

    // "Never ask": the last drive at once, when it holds a readable medium.
    if (state.never_ask_drive) {
        for (const Drive& d : rows) {
            if (d.index == state.last_drive) return d.index;
        }
    }
    if (rows.empty()) return -1;

    DriveChoice choice =
        choice_for(DriveDialog::Scan, ctx.tr("Neues Medium einlesen", "scan new medium"), rows);
    choice.preselected = first_cd_rom_row(rows);
    choice.never_ask = state.never_ask_drive;
    choice.cd_text = ctx.settings.freedb.read_cd_text;
    const DialogPos start_pos = read_dialog_pos(ctx, kScanDialogPlace);
    choice.pos = start_pos;

    const int drive = drive_of_row(rows, ctx.scan_dialogs.choose_drive(choice));

    // The check boxes take effect whatever button closed the dialog.
    const bool never_ask = choice.never_ask;
    const bool cd_text = choice.cd_text;
    const bool boxes_changed =
        never_ask != state.never_ask_drive || cd_text != ctx.settings.freedb.read_cd_text;
    const bool drive_changed = drive >= 0 && drive != state.last_drive;
    state.never_ask_drive = never_ask;
    ctx.settings.freedb.read_cd_text = cd_text;
    if (drive >= 0) state.last_drive = drive;
    if (boxes_changed || drive_changed) {
        write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
            ini.set_int(kSectionOptions, "nicht fragen", state.never_ask_drive ? 1 : 0);
            ini.set_int("freeDB", "CD-Text", ctx.settings.freedb.read_cd_text ? 1 : 0);
            ini.set_int(kSectionOptions, "Letztes Laufwerk", state.last_drive);
        });
    }
    if (choice.pos.x != start_pos.x || choice.pos.y != start_pos.y) {
        write_dialog_pos(ctx, kScanDialogPlace, choice.pos);
    }
    return drive;
}

int ChooseDriveForUpdate(Context& ctx) {
    const std::vector<Drive> readable = readable_drives(ctx);
    const std::string_view label = fixed_text(ctx.catalog.header.volume_label);
    const std::uint32_t serial = ctx.catalog.header.volume_serial;

    // Drives that may hold the loaded medium: the label starts like its
    // label and the serial matches in either byte order. A medium scanned
    // from a recorded path fits only the drive at that path, and one whose
    // label and serial tell nothing fits no drive by them.
    const std::string_view scanned = scanned_path(ctx.catalog);
    const bool weak = identity_is_weak(label, serial);
    std::vector<Drive> hits;
    for (const Drive& d : readable) {
        if (stored_label(d.label).starts_with(label) && serial_matches(serial, d.serial) &&
            (scanned.empty() ? !weak : scanned == d.root)) {
            hits.push_back(d);
        }
    }
    if (hits.size() == 1) return hits.front().index;
    const std::vector<Drive>& rows = hits.empty() ? readable : hits;
    if (rows.empty()) return -1;

    DriveChoice choice =
        choice_for(DriveDialog::Update, ctx.tr("Medium updaten", "update medium"), rows);
    choice.notes = {
        ctx.tr("Medium konnte nicht eindeutig identifiziert werden", "ID of media is not unique."),
        ctx.tr("Eine Auswahl kann Daten zerst\xC3\xB6ren. Vorsicht!",
               "Update can destroy data. Attention!")};
    return drive_of_row(rows, ctx.scan_dialogs.choose_drive(choice));
}

int ChooseDriveForIdentify(Context& ctx) {
    const std::vector<Drive> rows = readable_drives(ctx);
    if (rows.empty()) return -1;
    DriveChoice choice =
        choice_for(DriveDialog::Identify, ctx.tr("Medium identifizieren", "identify medium"), rows);
    choice.preselected = first_cd_rom_row(rows);
    return drive_of_row(rows, ctx.scan_dialogs.choose_drive(choice));
}

}  // namespace orbisto
