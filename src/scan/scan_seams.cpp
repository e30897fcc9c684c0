#include "scan/scan_seams.h"

namespace orbisto {

// Filled by the archive handling: runs a packer for the description only.
bool ExtractDescriptionFromArchive(Context&, const std::string&, std::string_view, std::uint32_t&) {
    return false;
}

// Filled by the archive handling: runs the packer and walks what it made.
ArchiveExpansion ExpandArchive(Context&, const std::string&, std::string_view, std::uint32_t, int,
                               Mp3Totals&) {
    return ArchiveExpansion::NoCommand;
}

// Filled by the file-information layer: the extractor dispatch.
int CollectFileInfo(Context&, const std::string&, std::uint64_t, FileInfoResult&) {
    return 0;
}

}  // namespace orbisto
