// Descriptions carried by packages: the comment of a ZIP archive, the
// description of an RPM package, the Desc lines of an LSM entry, a Linux
// INDEX file and the text an info command leaves in the work directory.
//
// The parsers below the readers work on bytes already read and never look
// past them, so they can be tested and fuzzed without files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orbisto {

struct CatalogContext;

// ---- ZIP ----

// Bytes read from the end of a ZIP file to look for its comment.
inline constexpr std::size_t kZipTailBytes = 4000;
// A shorter comment is taken for packer noise and ignored.
inline constexpr std::size_t kZipMinComment = 50;

// The comment in the last bytes of a ZIP file: everything after the last
// end-of-central-directory record up to the end of `tail`. The record's own
// comment-length field is not trusted. Nothing when there is no record, when
// it does not leave 10 bytes, or when the comment is shorter than 50 bytes.
std::optional<std::string_view> zip_comment_of(std::string_view tail);

// Sets `comment` from the comment of the ZIP archive at `path` once it
// looks like text and, converted and cleaned, holds more than 4 characters.
// Returns true when a comment was set.
bool ReadZipComment(CatalogContext& ctx, const std::string& path, std::uint32_t& comment);

// ---- RPM ----

// Bytes of the file start that hold the lead, the window searched for the
// header magic and the largest index the reader accepts.
inline constexpr std::size_t kRpmSearchWindow = 5000;
inline constexpr std::uint32_t kRpmMaxEntries = 1000;
inline constexpr std::size_t kRpmHeadBytes = 4 + kRpmSearchWindow + 16 + 16 * kRpmMaxEntries;

enum class RpmStatus {
    NotPackage,     // no RPM lead
    NoDescription,  // a header without entries or without a description entry
    Damaged,        // counts or offsets that the file cannot hold
    Found,
};

struct RpmDescription {
    RpmStatus status = RpmStatus::NotPackage;
    std::uint64_t offset = 0;  // file offset of the description text
    std::uint64_t end = 0;     // where the header's data area (or the file) ends
};

// Locates the description in `head`, the first bytes of an RPM file of
// `file_size` bytes (at least min(file_size, kRpmHeadBytes) of them).
RpmDescription rpm_description_offset(std::span<const std::uint8_t> head, std::uint64_t file_size);

// The description text from the bytes at its offset: each NUL becomes a
// blank, and the text ends at the first pair of NULs.
std::string rpm_description_text(std::string_view raw);

// The archive variant of ReadRpmComment: the description is used only when it
// looks like text and, converted and cleaned, holds more than 4 characters.
// Returns true when a comment was set.
bool ReadRpmDescriptionInto(CatalogContext& ctx, const std::string& path, std::uint32_t& comment);

// ---- LSM ----

// The values of the keys Desc1 … Desc5 (exact case, each its first
// occurrence, after the next '=' up to CR, LF or NUL), joined.
std::string lsm_description(std::string_view text);

// ---- file access ----

struct FilePart {
    std::string bytes;
    std::uint64_t file_size = 0;
};

// Reads at most `max` bytes from `offset` of a regular file, or (with
// `from_end`) its last `max` bytes. Nothing when it cannot be opened or read.
std::optional<FilePart> read_file_part(const std::string& path, std::uint64_t offset,
                                       std::size_t max, bool from_end = false);

// Characters of a text: code points when it is valid UTF-8, else bytes.
std::size_t text_characters(std::string_view text);

// ---- the walk's package readers (comment as in description_files.h) ----

// The description lines of a Linux Software Map entry.
void ReadLsmComment(CatalogContext& ctx, std::uint32_t& comment, const std::string& path);
// The description of an RPM package. False when the package cannot be opened
// (no record is made).
bool ReadRpmComment(CatalogContext& ctx, std::uint32_t& comment, const std::string& path);
// The comment of a file named INDEX, read from the INDEX file of `dir`.
void ReadIndexComment(CatalogContext& ctx, std::uint32_t& comment, const std::string& dir);
// The text the user's info command left in the work directory.
void ReadInfoFile(CatalogContext& ctx, std::uint32_t& comment);

}  // namespace orbisto
