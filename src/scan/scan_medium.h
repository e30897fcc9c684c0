// One whole scan of a medium: preparing it (drive root, label, serial, space),
// the progress frame, the walk, the totals, the checks and questions, the
// medium-information sheet and saving.
#pragma once

#include <string>

#include "catalog/catalog.h"

namespace orbisto {

struct ScanContext;

enum class ScanMode : int { Drive = 0, Directory = 1 };

// Reads the drive root, drive type, volume label and serial, free and used
// space of the medium that holds root_path into ctx.scan and the Catalog
// header. Returns 0, or -1 when the media list could not grow (message
// shown, nothing scanned).
int PrepareMedium(ScanContext& ctx, const std::string& root_path);

// Open and close the progress frame and restore the window state.
// EndUpdateScan also puts back the medium texts of the old Catalog and frees
// the copy.
void BeginScan(ScanContext& ctx);
void EndScan(ScanContext& ctx);
void EndUpdateScan(ScanContext& ctx);

// Sizes and times of every directory from the files below it.
void AggregateScan(Catalog& catalog);

// Runs one interactive scan (a new medium, or with ctx.scan.update_mode the
// loaded medium again). Drive mode scans the drive ctx.scan.selected_drive,
// directory mode asks for a folder. Returns the catalogue number stored, or
// -1 when nothing was stored.
int ScanMedium(ScanContext& ctx, ScanMode mode);

}  // namespace orbisto
