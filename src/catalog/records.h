// The fixed-size records of a catalogue: the medium header, the medium
// information block, directory, file and search-hit records. Directory and
// file records have the same layout in memory and in the catalogue file, so
// arrays of them are copied as raw little-endian blocks. The header and the
// info block hold texts, which are UTF-8 in memory and Windows-1252 or UTF-8
// in a file: they have a stored form of their own (StoredMediumHeader,
// StoredMediumInfo).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "platform/codepage.h"

static_assert(std::endian::native == std::endian::little,
              "catalogue records are copied as little-endian blocks");

namespace orbisto {

// ---- record flags (the same field in DirRecord and FileRecord) ----
inline constexpr std::uint32_t FLAG_CRC = 0x00000001;              // comment starts "CRC:%08X"
inline constexpr std::uint32_t FLAG_VERSION = 0x00000002;          // version information collected
inline constexpr std::uint32_t FLAG_UNKNOWN_PACKING = 0x20000000;  // packed, format unknown
inline constexpr std::uint32_t FLAG_MARKED = 0x40000000;           // marked as a favourite
inline constexpr std::uint32_t FLAG_ARCHIVE_DIR = 0x80000000;      // expanded archive content

// ---- medium flags ----
inline constexpr std::uint32_t MEDIUM_LENT = 0x1;
inline constexpr std::uint32_t MEDIUM_AUDIO_CD = 0x2;

// The parent of the record behind the last one of each array.
inline constexpr std::uint32_t END_MARKER = 0xFFFF;
// Readers use the low 24 bits of a name offset.
inline constexpr std::uint32_t NAME_OFFSET_MASK = 0xFFFFFF;
// Deletion marks, removed by compaction.
inline constexpr float FILE_DELETED_SIZE = -1.0f;  // bits 0xBF800000
inline constexpr std::uint32_t FILE_DELETED_SIZE_BITS = 0xBF800000;
inline constexpr std::uint32_t DIR_DELETED_COMMENT = 0x01000000;
// Comment offsets with a meaning of their own.
inline constexpr std::uint32_t COMMENT_NONE = 0;
inline constexpr std::uint32_t COMMENT_ARCHIVE = 1;  // the fixed expanded-archive text
// Thumbnail offsets below this mean "no thumbnail".
inline constexpr std::uint32_t FIRST_IMAGE_OFFSET = 8;

// Text encoding of a catalogue file, kept in the header's otherwise unused
// word at offset 98.
inline constexpr std::uint16_t TEXT_ENCODING_CP1252 = 0;
inline constexpr std::uint16_t TEXT_ENCODING_UTF8 = 65001;
// The header, info and description texts in Windows-1252, the names and
// comments in UTF-8: what a file is when only names or comments need UTF-8,
// so that no fixed-width text is cut for a name elsewhere.
inline constexpr std::uint16_t TEXT_ENCODING_POOLS_UTF8 = 1252;

// ---- object references: a record index, high bit set for a directory ----
inline constexpr std::uint32_t OBJECT_DIR_BIT = 0x80000000;
constexpr std::uint32_t dir_object(std::uint32_t index) {
    return index | OBJECT_DIR_BIT;
}
constexpr std::uint32_t file_object(std::uint32_t index) {
    return index & ~OBJECT_DIR_BIT;
}
constexpr bool is_dir_object(std::uint32_t ref) {
    return (ref & OBJECT_DIR_BIT) != 0;
}
constexpr std::uint32_t object_index(std::uint32_t ref) {
    return ref & ~OBJECT_DIR_BIT;
}

// A Windows FILETIME (100 ns units since 1601, UTC) stored as two 32-bit
// words, so that it may sit at an offset that is not 8-aligned.
struct FileTime {
    std::uint32_t low = 0;
    std::uint32_t high = 0;

    constexpr std::uint64_t value() const { return (static_cast<std::uint64_t>(high) << 32) | low; }
    constexpr void set(std::uint64_t v) {
        low = static_cast<std::uint32_t>(v);
        high = static_cast<std::uint32_t>(v >> 32);
    }
    static constexpr FileTime from(std::uint64_t v) {
        FileTime t;
        t.set(v);
        return t;
    }
};

// A text field of the header or the info block. A file stores it in N bytes,
// NUL-terminated, in the file's encoding; in memory it is UTF-8 with room for
// N - 1 Windows-1252 characters (each up to 3 UTF-8 bytes), so that no text
// read from a Windows-1252 file is ever cut by its conversion.
template <std::size_t N>
struct TextField {
    static_assert(N > 1);
    static constexpr std::size_t stored_size = N;
    char bytes[3 * (N - 1) + 1] = {};
};

// The header and the info block in memory. The stored layouts below are
// what files hold; stored_header.h converts between the two.
struct MediumHeader {
    std::uint16_t version = 3;
    TextField<32> volume_label;
    TextField<58> medium_name;
    float free_kb = 0;
    std::uint16_t drive_type = 0;
    // The encoding of the file the header came from (or was last written to).
    std::uint16_t text_encoding = TEXT_ENCODING_CP1252;  // TEXT_ENCODING_*
    std::uint32_t medium_flags = 0;                      // MEDIUM_*
    std::uint32_t category = 0;
    std::uint32_t volume_serial = 0;
    std::uint32_t dir_count = 1;  // including the root record 0
    std::uint32_t file_count = 0;
    float total_kb = 0;
    std::uint32_t catalog_number = 0;  // only the low 16 bits are meaningful
    std::uint32_t names_size = 1;
    std::uint32_t images_size = FIRST_IMAGE_OFFSET;
};

struct MediumInfo {
    TextField<128> manufacturer;
    TextField<128> supplier;
    TextField<128> order_number;
    TextField<34> price;
    TextField<256> lent_to;
    TextField<32> lent_from;
    TextField<32> lent_until;
    TextField<64> number;
    TextField<64> place;
    char reserved[2] = {};
    char padding[2] = {};  // explicit, so that copies of the block are fully defined
    std::uint32_t description_length = 0;
};

// The header as a file stores it: 136 little-endian bytes whose two texts
// are Windows-1252 unless text_encoding is 65001 (UTF-8).
struct StoredMediumHeader {
    std::uint16_t version = 3;
    char volume_label[32] = {};
    char medium_name[58] = {};
    float free_kb = 0;
    std::uint16_t drive_type = 0;
    std::uint16_t text_encoding = TEXT_ENCODING_CP1252;
    std::uint32_t medium_flags = 0;
    std::uint32_t category = 0;
    std::uint32_t volume_serial = 0;
    std::uint32_t dir_count = 1;
    std::uint32_t file_count = 0;
    float total_kb = 0;
    std::uint32_t catalog_number = 0;
    std::uint32_t names_size = 1;
    std::uint32_t images_size = FIRST_IMAGE_OFFSET;
};

// The info block as a file stores it (872 bytes), texts in the file's encoding.
struct StoredMediumInfo {
    char manufacturer[128] = {};
    char supplier[128] = {};
    char order_number[128] = {};
    char price[34] = {};
    char lent_to[256] = {};
    char lent_from[32] = {};
    char lent_until[32] = {};
    char number[64] = {};
    char place[64] = {};
    char reserved[2] = {};
    std::uint32_t description_length = 0;
};

struct DirRecord {
    std::uint32_t name = 0;     // NamePool offset (low 24 bits)
    std::uint32_t comment = 0;  // CommentPool offset; 0 none, 1 archive text
    float size_kb = 0;          // all files below, all levels
    FileTime time;              // newest last-write time below
    std::uint32_t flags = 0;
    std::uint32_t parent = 0;
    std::uint32_t reserved1 = 0;
    std::uint32_t reserved2 = 0;
};

struct FileRecord {
    std::uint32_t name = 0;
    std::uint32_t comment = 0;
    float size_kb = 0;  // bytes / 1024; on an audio CD the playing time in seconds
    FileTime time;
    std::uint32_t flags = 0;
    std::uint32_t parent = 0;
    std::uint32_t thumbnail = 0;  // ImagePool offset, 0 = none
};

struct HitRecord {
    std::uint32_t object = 0;  // object reference
    std::uint32_t mark = 0;    // 1: file with thumbnail, or directory of an expanded archive
    std::uint32_t catalog_number = 0;
};

#define ORBISTO_CHECK_RECORD(T, size)                                           \
    static_assert(sizeof(T) == (size), #T " has the wrong size");               \
    static_assert(std::is_standard_layout_v<T>, #T " must be standard-layout"); \
    static_assert(std::is_trivially_copyable_v<T>, #T " must be trivially copyable")

ORBISTO_CHECK_RECORD(FileTime, 8);
ORBISTO_CHECK_RECORD(StoredMediumHeader, 136);
ORBISTO_CHECK_RECORD(StoredMediumInfo, 872);
ORBISTO_CHECK_RECORD(DirRecord, 36);
ORBISTO_CHECK_RECORD(FileRecord, 32);
ORBISTO_CHECK_RECORD(HitRecord, 12);
#undef ORBISTO_CHECK_RECORD
static_assert(std::is_trivially_copyable_v<MediumHeader> &&
              std::is_trivially_copyable_v<MediumInfo>);
// No implicit padding in the memory forms either: whole-block comparisons
// and copies see only defined bytes.
static_assert(sizeof(MediumHeader) == offsetof(MediumHeader, images_size) + 4);
static_assert(sizeof(MediumInfo) == offsetof(MediumInfo, description_length) + 4 &&
              offsetof(MediumInfo, description_length) == offsetof(MediumInfo, padding) + 2);

static_assert(offsetof(StoredMediumHeader, version) == 0);
static_assert(offsetof(StoredMediumHeader, volume_label) == 2);
static_assert(offsetof(StoredMediumHeader, medium_name) == 34);
static_assert(offsetof(StoredMediumHeader, free_kb) == 92);
static_assert(offsetof(StoredMediumHeader, drive_type) == 96);
static_assert(offsetof(StoredMediumHeader, text_encoding) == 98);
static_assert(offsetof(StoredMediumHeader, medium_flags) == 100);
static_assert(offsetof(StoredMediumHeader, category) == 104);
static_assert(offsetof(StoredMediumHeader, volume_serial) == 108);
static_assert(offsetof(StoredMediumHeader, dir_count) == 112);
static_assert(offsetof(StoredMediumHeader, file_count) == 116);
static_assert(offsetof(StoredMediumHeader, total_kb) == 120);
static_assert(offsetof(StoredMediumHeader, catalog_number) == 124);
static_assert(offsetof(StoredMediumHeader, names_size) == 128);
static_assert(offsetof(StoredMediumHeader, images_size) == 132);

static_assert(offsetof(StoredMediumInfo, manufacturer) == 0);
static_assert(offsetof(StoredMediumInfo, supplier) == 128);
static_assert(offsetof(StoredMediumInfo, order_number) == 256);
static_assert(offsetof(StoredMediumInfo, price) == 384);
static_assert(offsetof(StoredMediumInfo, lent_to) == 418);
static_assert(offsetof(StoredMediumInfo, lent_from) == 674);
static_assert(offsetof(StoredMediumInfo, lent_until) == 706);
static_assert(offsetof(StoredMediumInfo, number) == 738);
static_assert(offsetof(StoredMediumInfo, place) == 802);
static_assert(offsetof(StoredMediumInfo, reserved) == 866);
static_assert(offsetof(StoredMediumInfo, description_length) == 868);

static_assert(offsetof(DirRecord, name) == 0);
static_assert(offsetof(DirRecord, comment) == 4);
static_assert(offsetof(DirRecord, size_kb) == 8);
static_assert(offsetof(DirRecord, time) == 12);
static_assert(offsetof(DirRecord, flags) == 20);
static_assert(offsetof(DirRecord, parent) == 24);
static_assert(offsetof(DirRecord, reserved1) == 28);
static_assert(offsetof(DirRecord, reserved2) == 32);

static_assert(offsetof(FileRecord, name) == 0);
static_assert(offsetof(FileRecord, comment) == 4);
static_assert(offsetof(FileRecord, size_kb) == 8);
static_assert(offsetof(FileRecord, time) == 12);
static_assert(offsetof(FileRecord, flags) == 20);
static_assert(offsetof(FileRecord, parent) == 24);
static_assert(offsetof(FileRecord, thumbnail) == 28);

static_assert(offsetof(HitRecord, object) == 0);
static_assert(offsetof(HitRecord, mark) == 4);
static_assert(offsetof(HitRecord, catalog_number) == 8);

// ---- deletion marks ----
inline bool is_deleted(const FileRecord& f) {
    return std::bit_cast<std::uint32_t>(f.size_kb) == FILE_DELETED_SIZE_BITS;
}
inline bool is_deleted(const DirRecord& d) {
    return d.comment == DIR_DELETED_COMMENT;
}

// ---- sizes ----
// A length in bytes as stored: 1,536 bytes are 1.5 KB.
inline float size_kb_from_bytes(std::uint64_t bytes) {
    return static_cast<float>(static_cast<double>(bytes) / 1024.0);
}
// The length in bytes of a stored size, rounded; 0 for negative or invalid sizes.
inline std::uint64_t bytes_from_size_kb(float size_kb) {
    const double b = static_cast<double>(size_kb) * 1024.0;
    if (!(b > 0)) return 0;  // also NaN
    if (b >= 18446744073709549568.0) return UINT64_MAX;
    return static_cast<std::uint64_t>(b + 0.5);
}

// ---- fixed text fields ----
// Stores text in a fixed field: cut at its first NUL and at a character
// boundary to leave room for the terminating NUL; the rest is zero-filled.
template <std::size_t N>
void set_fixed_text(char (&field)[N], std::string_view text) {
    static_assert(N > 0);
    text = text.substr(0, text.find('\0'));
    const std::size_t n = utf8_prefix_length(text, N - 1);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, N - n);
}

// The text of a fixed field up to its first NUL, never past the field (a
// field read from a file may lack its NUL).
template <std::size_t N>
std::string_view fixed_text(const char (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != '\0') ++n;
    return std::string_view(field, n);
}

// The UTF-8 text of a header or info field.
template <std::size_t N>
std::string_view fixed_text(const TextField<N>& field) {
    return fixed_text(field.bytes);
}

// Stores a UTF-8 text in a header or info field, cut (at its first NUL and
// at a character boundary) to what the N-byte field of a file holds: N - 1
// characters when the text is Windows-1252, else N - 1 UTF-8 bytes.
template <std::size_t N>
void set_fixed_text(TextField<N>& field, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const std::size_t n = stored_prefix_length(text, N - 1);
    std::memcpy(field.bytes, text.data(), n);
    std::memset(field.bytes + n, 0, sizeof field.bytes - n);
}

}  // namespace orbisto
