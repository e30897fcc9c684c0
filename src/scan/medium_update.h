// Updating a catalogued medium: the copy of the old Catalog and the lookups
// that let the new walk take over the comments of the old entries.
#pragma once

#include <cstdint>
#include <string_view>

namespace orbisto {

struct ScanContext;

// Copies ctx.catalog into ctx.scan.old and indexes it for the lookups.
// Returns 0, or 1 when memory is missing ("Zu wenig Speicher!" shown,
// nothing copied).
int PrepareUpdate(ScanContext& ctx);

// The old FileRecord whose comment the entry `name` in the directory
// `dir_path` (the new Catalog's Catalog::dir_path of its parent) takes over,
// or -1. With update_by_name the first old file of that name anywhere
// wins; otherwise it must lie in the same directory. Old entries without a
// comment never count.
std::int64_t LookupOldFile(const ScanContext& ctx, std::string_view dir_path,
                           std::string_view name);
// The same for directories (the root record never counts).
std::int64_t LookupOldDir(const ScanContext& ctx, std::string_view dir_path, std::string_view name);

}  // namespace orbisto
