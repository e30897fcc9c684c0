// The file format of the fast-load index: the MediaList entries back to back,
// 136 bytes each, with no header, count or checksum.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/records.h"

namespace orbisto {

// The entries of an index file, or nullopt when the file cannot be used: it
// is missing, unreadable or empty, its length is not a multiple of 136, or an
// entry's version is not 3.
std::optional<std::vector<MediumHeader>> read_fastload_entries(const std::string& path);
// The same for the bytes of an index file.
std::optional<std::vector<MediumHeader>> parse_fastload_entries(std::string_view bytes);

// The bytes of an index holding these entries.
std::string fastload_bytes(std::span<const MediumHeader> entries);

}  // namespace orbisto
