#include "fileinfo/file_info.h"

#include "catalog/catalog_context.h"

namespace orbisto {

// Filled by the file-information layer: the extractor dispatch.
int CollectFileInfo(CatalogContext&, const std::string&, std::uint64_t, FileInfoResult&) {
    return 0;
}

}  // namespace orbisto
