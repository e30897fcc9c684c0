// Reading catalogue files only to judge them: whether a file loads whole,
// and if not, why. Nothing is shown to the user and no Catalog is touched.
#pragma once

#include <cstdint>
#include <string>

namespace orbisto {

struct CatalogContext;

// Empty when catalogue file `path` (plain or compressed) loads as catalogue
// `number` with everything its header counts; else the reason in the
// interface language: missing or unreadable, too short, a damaged
// compressed file, a wrong version, a part that the file ends before, or
// comments that end inside a text or are pointed to beyond the file's end
// (a file cut short within its last part, which a load takes silently).
std::string catalog_file_damage(const CatalogContext& ctx, const std::string& path,
                                std::uint32_t number);

}  // namespace orbisto
