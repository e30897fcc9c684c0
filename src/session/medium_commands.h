// The commands of the main window that start a scan, an update or an
// identification of a medium, and the reaction to an arriving medium.
#pragma once

#include <vector>

namespace orbisto {

struct Context;

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
    int loaded = -1;          // catalogue number loaded (identify_inserted_media), or -1
};
// Media arrived in the drives with these indexes: with auto_scan unknown media
// are scanned (only CD-ROM drives with cd_drives_only), with identify_inserted_media the first
// known one is loaded. Nothing happens while a scan runs.
ArrivalResult MediumArrived(Context& ctx, const std::vector<int>& drive_indexes);

}  // namespace orbisto
