// Compressed catalogue files: a ZIP archive with the members "HEADER" (the
// 136-byte MediumHeader) and "00.CD" (the whole version 3 or 4 file), made and
// read in memory. A file is compressed when it starts with "PK", whatever
// the settings say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "catalog/records.h"

namespace orbisto {

inline constexpr const char* kZipHeaderMember = "HEADER";
inline constexpr const char* kZipCatalogMember = "00.CD";

bool is_compressed_catalog(std::span<const std::uint8_t> bytes);

enum class ZipReadError {
    None,
    Damaged,   // not a readable archive, no such member, or its data is broken
    TooLarge,  // the member claims a size no catalogue of this archive can have
};

// The largest unpacked size believed for an archive of zip_size bytes: 64
// times the archive plus 4 MiB, and never more than 16 GiB.
std::uint64_t max_unpacked_size(std::size_t zip_size);

// Reads a member of an archive held in memory, case-insensitively by name,
// at most max_bytes of it (the whole member when it is shorter). A member
// read to its end must match its checksum and its size, else it is Damaged.
// The member 00.CD is TooLarge, before it is inflated, when it claims more
// than catalog_bytes_needed allows for the header at its start.
ZipReadError read_zip_member(std::span<const std::uint8_t> zip, const char* name,
                             std::size_t max_bytes, std::vector<std::uint8_t>& out);

// The most bytes a version 3 file with this header's counts and pool sizes
// can need, with generous room for the description and the comments.
std::uint64_t catalog_bytes_needed(const StoredMediumHeader& header);

// The archive for a catalogue: header is the first 136 bytes of catalog.
// nullopt when the archive could not be made; may throw std::bad_alloc.
std::optional<std::vector<std::uint8_t>> make_catalog_zip(std::span<const std::uint8_t> catalog);

}  // namespace orbisto
