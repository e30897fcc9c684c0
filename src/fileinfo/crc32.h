// The CRC32 of a file's contents (the ZIP / IEEE 802.3 polynomial) and the
// "CRC:" prefix the scanner puts at the start of a file's comment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

class Frontend;

enum class CrcStatus {
    Ok,          // crc holds the value; an empty file gives 0
    CannotOpen,  // missing, unreadable, or not a regular file (FIFO, device, link, folder)
    ReadError,
    Aborted,   // the abort flag was set during the computation
    NoMemory,  // the read buffer could not be allocated
};

// Bytes read per step; the frontend's events are handled after every step.
inline constexpr size_t kCrcReadStep = 0x40000;

// Computes the CRC32 of the whole file at path. Only a regular file is ever
// opened: anything else could block the scan (a FIFO waits for a writer) or
// never end (a character device). crc is set only when the result is Ok.
CrcStatus FileCrc32(Frontend& frontend, const std::string& path, std::uint32_t& crc);
// The same with a read buffer kept by the caller (grown to kCrcReadStep on
// first use), so that a scan over many small files does not allocate and
// release a quarter megabyte per file.
CrcStatus FileCrc32(Frontend& frontend, const std::string& path, std::uint32_t& crc,
                    std::vector<unsigned char>& buffer);
// The file `name` of the open directory dir_fd, for a walk that has listed it
// as a regular file already: one open relative to the directory instead of
// two look-ups of the whole path. A link is never followed, and anything but
// a regular file is refused after the open.
// listed_size is the length the listing reported: a read that ends exactly
// there is taken as the end of the file without asking once more.
// `progress`, when set, is told the bytes read so far after each block.
CrcStatus FileCrc32At(Frontend& frontend, int dir_fd, const std::string& name,
                      std::uint64_t listed_size, std::uint32_t& crc,
                      std::vector<unsigned char>& buffer,
                      const std::function<void(std::uint64_t)>& progress = {});

// "CRC:%08X": the word, a colon and eight upper-case hex digits.
inline constexpr size_t kCrcPrefixLength = 12;
std::string crc_prefix(std::uint32_t crc);

// The comment with the prefix at its start: a comment that already begins
// with "CRC:" has that prefix replaced; other text follows after one blank.
std::string apply_crc_prefix(std::string_view comment, std::uint32_t crc);

// The comment as the file list shows and sorts it: without a leading "CRC:"
// prefix unless show_crc is on (what remains starts with the blank, if any).
std::string_view comment_without_crc(std::string_view comment, bool show_crc);

}  // namespace orbisto
