// The catalogue file as bytes. Version 3 and its large form, version 4
// (catalog_large.h), are read and written; the older version 2 is read and
// converted. Both directions are pure: bytes in, a
// Catalog or the error of the part that failed out; a Catalog in, bytes out.
//
// Version 3, all integers little-endian, no padding between the parts:
//   MediumHeader   136 bytes (version 3; the word at offset 98 names the text
//                  encoding: 0 Windows-1252, 65001 UTF-8, 1252 Windows-1252
//                  but the name and comment pools UTF-8)
//   MediumInfo     872 bytes, its last field the description length
//   description    description_length bytes, no NUL
//   DirRecords     dir_count * 36 bytes, no end-marker record
//   FileRecords    file_count * 32 bytes, no end-marker record
//   NamePool       names_size bytes
//   ImagePool      images_size bytes
//   CommentPool    the rest of the file (without the 0xFF 0x00 end mark)
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/records.h"
#include "catalog/work_limits.h"

namespace orbisto {

inline constexpr std::size_t kHeaderBytes = sizeof(StoredMediumHeader);  // 136
inline constexpr std::size_t kInfoBytes = sizeof(StoredMediumInfo);      // 872
inline constexpr std::size_t kDirBytes = sizeof(DirRecord);              // 36
inline constexpr std::size_t kFileBytes = sizeof(FileRecord);            // 32
inline constexpr std::uint16_t kVersion2 = 2;
inline constexpr std::uint16_t kVersion3 = 3;

// What went wrong while reading a catalogue, by the part being read.
enum class CatalogReadError {
    None,
    Version,       // not even the version word could be read
    WrongVersion,  // the version is none of 2, 3 and 4
    Header,        // the rest of the header
    Info,
    Description,
    Dirs,
    Files,
    Names,
    Images,
    Comments,  // not returned by the readers here: the CommentPool is whatever remains
    Damaged,   // marked version 2 but not laid out as one (never converted)
    OutOfMemory,
};

// Reads a whole catalogue file (version 2, 3 or 4, not compressed) into cat.
// Every count is checked against the bytes that remain before anything is
// allocated. Windows-1252 texts are converted to UTF-8. References that point
// outside their pool or directory array are set to 0, record 0 is made a
// plain root, the end markers are set, and cat.header.catalog_number becomes
// number. limits grows as a load of this size requires; the areas are
// reserved from it. On failure cat is reset (in the given interface
// language) and its current number is left alone.
CatalogReadError read_catalog_bytes(std::span<const std::uint8_t> bytes, int number, bool english,
                                    WorkLimits& limits, Catalog& cat);

// The bytes of a version 3 file holding cat, or of a version 4 file when the
// medium passes the limits of version 3. Counts and sizes in the header
// are taken from the containers, not trusted from the header fields. Texts
// are written in Windows-1252 when every one of them fits, else in UTF-8; the
// word at offset 98 says which. May throw std::bad_alloc.
std::vector<std::uint8_t> write_catalog_bytes(const Catalog& cat);

// ---- pieces shared by the readers ----

// Grows the limits as a Catalog of these counts and pool sizes requires.
void grow_limits(WorkLimits& limits, std::uint64_t dirs, std::uint64_t files,
                 std::uint64_t names_size, std::uint64_t images_size, std::uint64_t comments_size);

// A vector with room for the area its limit asks for (at least n elements).
template <class T>
std::vector<T> make_area(std::size_t n, std::size_t area) {
    std::vector<T> v;
    v.reserve(n > area ? n : area);
    return v;
}

// Reads the version 2 layout (the version word already checked) into cat:
// records and header converted, directory totals computed, drive type 5.
// The header, info and description texts are converted to UTF-8; the pools
// stay in Windows-1252 for read_catalog_bytes to convert.
CatalogReadError read_catalog_v2(std::span<const std::uint8_t> bytes, int number,
                                 WorkLimits& limits, Catalog& cat);

// Sets the description from its stored bytes in the file's encoding.
void set_stored_description(Catalog& cat, std::span<const std::uint8_t> stored,
                            std::uint16_t encoding);

// Sets references that point outside their pool or directory array to 0 and
// makes record 0 a plain root (empty name, no comment, no flags, parent 0). A directory whose
// parent is not an earlier directory is attached to the root, so parent chains always end.
void repair_references(Catalog& cat);

}  // namespace orbisto
