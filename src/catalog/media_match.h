// Recognising a medium in the list of catalogued media by its volume label
// and serial number.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "catalog/records.h"

namespace orbisto {

struct CatalogContext;

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

// True when a label and serial say nothing about which medium it is: no
// serial and no label, as on most Linux file systems without a UUID (tmpfs,
// overlay, many network shares), shared by all of them.
bool identity_is_weak(std::string_view label, std::uint32_t serial);

// The path a catalogue was scanned from when it records one: the name of
// DirRecord 1 when it hangs below the root and is an absolute path (no
// directory name of a medium holds a '/'). Empty for a whole medium walked
// from its root.
std::string_view scanned_path(const Catalog& cat);

// The scanned path of catalogue n read from its file, without touching the
// current Catalog; nullopt when the file cannot be read as a catalogue.
std::optional<std::string> read_scanned_path(const CatalogContext& ctx, int number);

// Whether two catalogued media, with the scanned paths their files record,
// describe the same medium: equal label and serial, and the same scanned
// path. Without a path, a weak identity tells nothing, so such media are
// never taken for each other.
bool same_medium(const MediumHeader& a, std::string_view path_a, const MediumHeader& b,
                 std::string_view path_b);

}  // namespace orbisto
