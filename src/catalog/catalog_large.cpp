#include "catalog/catalog_large.h"

namespace orbisto {

void drop_name_top_bytes(std::span<DirRecord> dirs, std::span<FileRecord> files) {
    for (DirRecord& d : dirs) d.name &= NAME_OFFSET_MASK;
    for (FileRecord& f : files) f.name &= NAME_OFFSET_MASK;
}

}  // namespace orbisto
