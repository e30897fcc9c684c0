// Text encoding of catalogue files. In memory every text is UTF-8; a file
// holds its texts in Windows-1252 (what Windows peers write and read) or in
// UTF-8, named by the header word text_encoding. Converting a pool changes
// the byte positions of the texts behind each non-ASCII character, so every
// record offset into it is remapped.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/records.h"

namespace orbisto {

// Maps byte offsets of a pool to the offsets of the converted pool. It keeps
// one entry per character whose length changed, with the running sum of the
// changes, so a lookup is a binary search.
class PoolRemap {
  public:
    // Records a character at old position pos (positions strictly
    // increasing) whose length changes from old_len to new_len bytes.
    void add(std::uint32_t pos, std::uint32_t old_len, std::uint32_t new_len);
    bool empty() const { return entries_.empty(); }
    // The new offset of an old one. An offset inside a changed character maps
    // to the start of its conversion; offsets past the pool keep their
    // distance to its end.
    std::uint32_t map(std::uint32_t offset) const;

  private:
    struct Entry {
        std::uint32_t pos;
        std::uint32_t old_len;
        std::int64_t delta_after;  // sum of (new - old) lengths up to and including this one
    };
    std::vector<Entry> entries_;
};

// Length of the leading run of ASCII bytes.
std::size_t ascii_prefix(std::span<const std::uint8_t> bytes);

// A Windows-1252 pool as UTF-8. remap is filled only when a byte changed.
std::vector<std::uint8_t> pool_cp1252_to_utf8(std::span<const std::uint8_t> pool, PoolRemap& remap);
// A UTF-8 pool as Windows-1252; nullopt when a character has no
// Windows-1252 byte or the bytes are not valid UTF-8.
std::optional<std::vector<std::uint8_t>> pool_utf8_to_cp1252(std::span<const std::uint8_t> pool,
                                                             PoolRemap& remap);

// Converts the NamePool and the CommentPool of a Catalog read from a
// Windows-1252 file to UTF-8, with the record offsets remapped (the header,
// info and description texts are converted as they are read). False when the NamePool
// would pass its offset range (the Catalog is then unusable and must be
// reset). May throw std::bad_alloc.
bool convert_catalog_to_utf8(Catalog& cat);

// The texts of a Catalog as a file stores them: Windows-1252 when every text
// fits, else UTF-8 as they are. Pools (and the records that point into them)
// are only present when their bytes changed; the writer takes the Catalog's
// own otherwise.
struct FileTexts {
    std::uint16_t encoding = TEXT_ENCODING_UTF8;
    StoredMediumHeader header;  // fixed text fields in the file's encoding
    StoredMediumInfo info;
    std::string description;
    std::optional<std::vector<std::uint8_t>> names;
    std::optional<std::vector<std::uint8_t>> comments;
    std::optional<std::vector<DirRecord>> dirs;
    std::optional<std::vector<FileRecord>> files;
};

FileTexts encode_catalog_texts(const Catalog& cat);

}  // namespace orbisto
