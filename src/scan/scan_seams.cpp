#include "scan/scan_seams.h"

namespace orbisto {

// Filled by the file-information layer: the extractor dispatch.
int CollectFileInfo(Context&, const std::string&, std::uint64_t, FileInfoResult&) {
    return 0;
}

}  // namespace orbisto
