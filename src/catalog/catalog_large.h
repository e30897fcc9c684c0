// The large form of the catalogue file, for media that pass what version 3
// readers can hold. Its layout is the version 3 layout byte for byte; only
// the version word differs (4), and with it the meaning of two fields:
//   - name offsets are full 32-bit offsets (version 3 readers use the low 24
//     bits, so a NamePool of more than 16 MiB cannot be addressed);
//   - directory indexes may reach 0xFFFF and beyond (version 3 readers stop
//     at a record whose parent is 0xFFFF, taking it for the end marker).
// Readers that know only versions 2 and 3 refuse such a file as a wrong
// version instead of reading a cut-down medium. The large form is written
// only when a catalogue needs it; every catalogue that fits the old limits
// stays a version 3 file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "catalog/records.h"

namespace orbisto {

inline constexpr std::uint16_t kVersionLarge = 4;

// A NamePool of up to this many bytes has every offset below 2^24.
inline constexpr std::uint64_t kSmallNamesLimit = std::uint64_t{1} << 24;
// Directory counts (with the root) up to this have no directory at index
// 0xFFFF, so no parent can look like the end marker.
inline constexpr std::uint64_t kSmallDirLimit = END_MARKER;

// True for the versions of the current layout (3 and the large form 4).
constexpr bool is_current_version(std::uint16_t version) {
    return version == 3 || version == kVersionLarge;
}

// Whether a catalogue of these counts needs the large form.
constexpr bool needs_large_form(std::uint64_t dir_count, std::uint64_t names_size) {
    return dir_count > kSmallDirLimit || names_size > kSmallNamesLimit;
}

// The bits of a stored name offset that address the NamePool. A pool that
// fits 24 bits is read as version 3 readers read it (the top byte ignored);
// a larger one exists only in the large form, whose offsets are 32-bit.
constexpr std::uint32_t name_offset_mask(std::uint64_t names_size) {
    return names_size > kSmallNamesLimit ? 0xFFFFFFFFu : NAME_OFFSET_MASK;
}

// Clears the top byte of every name offset, for records whose pool is about
// to pass 24 bits: what a version 3 reader saw stays what is read.
void drop_name_top_bytes(std::span<DirRecord> dirs, std::span<FileRecord> files);

}  // namespace orbisto
