// Recognising a medium in the list of catalogued media by its volume label
// and serial number.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "catalog/records.h"

namespace orbisto {

// True when a stored serial equals the reported one directly or with its
// four bytes in reverse order (some systems report them the other way round).
bool serial_matches(std::uint32_t stored, std::uint32_t reported);

// The first entry whose volume label equals `label` exactly (case-sensitive;
// the label is first cut as a stored label would be) and whose serial
// matches: its position + 1, or 0 when none matches.
std::size_t find_medium(std::span<const MediumHeader> media, std::string_view label,
                        std::uint32_t serial);

// The first entry that looks like the same medium as `current`: equal volume
// label, dir_count, file_count and total_kb, and a matching serial. Its
// position, or -1 when none matches.
std::ptrdiff_t find_identical_medium(std::span<const MediumHeader> media,
                                     const MediumHeader& current);

}  // namespace orbisto
