// The walk of one directory: a pass over its files, then a pass over its
// subdirectories (each walked by a recursive call), filling the DirRecords,
// FileRecords and pools of ctx.catalog.
#pragma once

#include <cstdint>
#include <string>

#include "scan/scan_state.h"

namespace orbisto {

struct ScanContext;

// Walks the directory `path` (no trailing slash except for "/") whose own
// DirRecord is `parent_index`; entries found get it as parent.
// `archive_depth` is 0 on the medium and one more per level of expanded
// archive. Returns the number of FileRecords added during this call (the
// file count now minus `files_before`). `mp3` receives this directory's MP3
// totals only when its MP3 summary was written; otherwise it is left as the
// caller set it.
std::uint32_t ScanDirectory(ScanContext& ctx, const std::string& path, std::uint32_t parent_index,
                            int archive_depth, std::uint32_t files_before, Mp3Totals& mp3);

}  // namespace orbisto
