// Tying a medium in a drive to its catalogue entry: identification, the
// duplicate test after a scan, the drive dialogs and the commands of the main
// window that start a scan, an update or an identification, and the reaction
// to an arriving medium.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "startup/context.h"

namespace orbisto {

// 1-based MediaList position of the first medium with this label and a
// matching serial (either byte order); 0 = none.
std::size_t IdentifyMedium(const Context& ctx, std::string_view label, std::uint32_t serial);
// The catalogued medium held by the drive or folder at `path`, whose label
// and serial are given, as a 1-based MediaList position; 0 when none. Label
// and serial alone decide only for a drive root whose identity is not weak
// and that exactly one catalogued whole medium answers to. Otherwise the
// catalogued medium must have been scanned from this very path: always for a
// folder, for a drive with a weak identity, and when several catalogued
// media share the label and serial.
std::size_t IdentifyMediumAt(const Context& ctx, std::string_view label, std::uint32_t serial,
                             std::string_view path, bool drive_root);
// 0-based MediaList position of the first medium equal to the scanned
// Catalog (label, counts, total size, serial); -1 = none.
std::ptrdiff_t FindDuplicateMedium(const Context& ctx);

// The drive dialogs; each returns the chosen drive index or -1 (also when no
// drive with a readable volume is there).
//
// Scan: with "nicht fragen" on, the drive "Letztes Laufwerk" is taken
// without asking when its volume can be read; the dialog preselects the
// first CD-ROM drive, writes its check boxes back to the settings and
// remembers the chosen drive.
int ChooseDriveForScan(Context& ctx);
// Update: the drives whose label begins with the loaded medium's label and
// whose serial matches; exactly one is taken without asking; none lists all
// readable drives.
int ChooseDriveForUpdate(Context& ctx);
int ChooseDriveForIdentify(Context& ctx);

// The commands of the main window. Each returns the catalogue number stored
// or loaded, or -1 when nothing was.
//
// Scan a new medium: drive dialog, identification; an unknown medium is
// scanned, a known one offers update, new scan, show or cancel.
int ScanNewMediumCommand(Context& ctx);
// Update the loaded medium from a drive (drive dialog) or, with_path, from
// a folder. Nothing happens while no medium is loaded.
int UpdateCurrentMediumCommand(Context& ctx, bool with_path);
// Identify the medium in a drive and load it. From the menu an unknown
// medium offers a scan; from the tools page the result is reported.
int IdentifyMediumCommand(Context& ctx, bool from_tools_page);

// What the arrival of media led to, for the main window to show.
struct ArrivalResult {
    std::vector<int> stored;  // catalogue numbers of media scanned automatically
    int loaded = -1;          // catalogue number loaded (AutoCD), or -1
};
// Media arrived in the drives with these indexes: with AutoScan unknown media
// are scanned (only CD-ROM drives with CDonly), with AutoCD the first known
// one is loaded. Nothing happens while a scan runs.
ArrivalResult MediumArrived(Context& ctx, const std::vector<int>& drive_indexes);

}  // namespace orbisto
