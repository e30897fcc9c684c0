// A MediumHeader as it is stored outside memory (catalogue files, the
// fast-load index): 136 little-endian bytes whose two texts are Windows-1252
// when the word at offset 98 is 0 and UTF-8 when it is 65001. In memory the
// texts are always UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "catalog/records.h"

namespace orbisto {

inline constexpr std::size_t kStoredHeaderSize = sizeof(MediumHeader);

// The header of the stored bytes with its texts as UTF-8. Any value other
// than 65001 in the encoding word means Windows-1252, which is what the
// Windows program writes there. The encoding word itself is kept.
MediumHeader header_from_stored(std::span<const std::uint8_t, kStoredHeaderSize> bytes);

// The stored form of an in-memory header: texts as Windows-1252 (word 0) when
// both fit, else as UTF-8 (word 65001).
std::array<std::uint8_t, kStoredHeaderSize> header_to_stored(const MediumHeader& header);

// True when the stored bytes start with "PK", the mark of a compressed file.
inline bool is_compressed_mark(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == 'K';
}

}  // namespace orbisto
