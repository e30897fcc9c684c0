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
// 0-based MediaList position of the first medium equal to the scanned
// Catalog (label, counts, total size, serial); -1 = none.
std::ptrdiff_t FindDuplicateMedium(const Context& ctx);

// The drive dialogs; each returns the chosen drive index or -1.
int ChooseDriveForScan(Context& ctx);
int ChooseDriveForUpdate(Context& ctx);
int ChooseDriveForIdentify(Context& ctx);

// The commands of the main window. Each returns the catalogue number stored
// or loaded, or -1 when nothing was.
int ScanNewMediumCommand(Context& ctx);
int UpdateCurrentMediumCommand(Context& ctx, bool with_path);
int IdentifyMediumCommand(Context& ctx, bool from_tools_page);
// A medium arrived in the drives with these indexes.
void MediumArrived(Context& ctx, const std::vector<int>& drive_indexes);

}  // namespace orbisto
