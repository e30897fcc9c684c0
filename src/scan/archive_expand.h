// Archives met by the walk: unpacked into a work directory whose tree is
// walked one archive level deeper (expansion mode 2056), or searched only
// for their description file (mode 2055).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scan/scan_state.h"

namespace orbisto {

struct ScanContext;

// Expansion mode 2055: extracts only FILE_ID.DIZ / TOP_ID.DIZ from the
// archive `name` in `dir` into `comment`. Returns true when a packer program
// ran for it (the file then gets no CRC).
bool ExtractDescriptionFromArchive(ScanContext& ctx, const std::string& dir, std::string_view name,
                                   std::uint32_t& comment);

enum class ArchiveExpansion {
    NoCommand,       // no packer handles it: recorded as a plain file
    Expanded,        // it became a directory record with its contents walked
    NothingCameOut,  // a packer ran but produced no file: a plain file without CRC
};
// Expansion mode 2056: unpacks the archive `name` in `dir` into a work
// directory, appends its DirRecord below `parent_index` and walks the tree
// one archive level deeper; `mp3` receives the totals the walk passed up.
ArchiveExpansion ExpandArchive(ScanContext& ctx, const std::string& dir, std::string_view name,
                               std::uint32_t parent_index, int archive_depth, Mp3Totals& mp3);

}  // namespace orbisto
