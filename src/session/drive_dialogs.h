// The drive dialogs of the scan, update and identify commands.
#pragma once

namespace orbisto {

struct Context;

// The drive dialogs; each returns the chosen drive index or -1 (also when no
// drive with a readable volume is there).
//
// Scan: with never_ask_drive on, the drive last_drive is taken
// without asking when its volume can be read; the dialog preselects the
// first CD-ROM drive, writes its check boxes back to the settings and
// remembers the chosen drive.
int ChooseDriveForScan(Context& ctx);
// Update: the drives whose label begins with the loaded medium's label and
// whose serial matches; exactly one is taken without asking; none lists all
// readable drives.
int ChooseDriveForUpdate(Context& ctx);
int ChooseDriveForIdentify(Context& ctx);

}  // namespace orbisto
