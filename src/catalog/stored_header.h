// The header and the info block as they are stored outside memory
// (catalogue files, the fast-load index): fixed-width texts in Windows-1252
// unless the header word at offset 98 is 65001 (UTF-8). In
// memory the texts are always UTF-8, in fields wide enough for any text a
// stored field holds, so converting a file's texts never shortens them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "catalog/records.h"

namespace orbisto {

inline constexpr std::size_t kStoredHeaderSize = sizeof(StoredMediumHeader);
inline constexpr std::size_t kStoredInfoSize = sizeof(StoredMediumInfo);

// The header of the stored bytes with its texts as UTF-8. Any value other
// than 65001 in the encoding word means Windows-1252, which is what the
// Windows program writes there. The encoding word itself is kept.
MediumHeader header_from_stored(const StoredMediumHeader& stored);
MediumHeader header_from_stored(std::span<const std::uint8_t, kStoredHeaderSize> bytes);
// An info block stored in the given encoding, texts as UTF-8.
MediumInfo info_from_stored(const StoredMediumInfo& stored, std::uint16_t encoding);

// True when every text of the header (or info block) can be stored in the
// given encoding without being cut.
bool header_fits(const MediumHeader& header, std::uint16_t encoding);
bool info_fits(const MediumInfo& info, std::uint16_t encoding);

// The stored form in the given encoding, its encoding word set to it. Texts
// that do not fit are cut at a character boundary (UTF-8), or are stored as
// far as they have Windows-1252 characters: callers check *_fits first
// where a cut must not happen.
StoredMediumHeader header_to_file(const MediumHeader& header, std::uint16_t encoding);
StoredMediumInfo info_to_file(const MediumInfo& info, std::uint16_t encoding);

// The stored form of a header on its own (the fast-load index): texts as
// Windows-1252 (word 0) when both fit, else as UTF-8 (word 65001).
std::array<std::uint8_t, kStoredHeaderSize> header_to_stored(const MediumHeader& header);

// True when the stored bytes start with "PK", the mark of a compressed file.
inline bool is_compressed_mark(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == 'K';
}

}  // namespace orbisto
