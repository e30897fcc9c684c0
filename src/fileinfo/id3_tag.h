// The tags of MP3 files: the frames of an ID3 tag of version 2 at the start
// of the file, the version-1 tag (with its extended form) at its end, and
// the block of text the MP3 reader makes of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orbisto {

struct FileInfoJob;
class FileSource;

// What a tag says, as the raw bytes of the tag (Latin-1, or UTF-8 for
// frames that say so); every field holds at most 250 bytes of a frame.
struct Id3Fields {
    std::string artist, album, title, year, genre;
    std::string cover = "none";  // "<format> <w> x <h> x <depth>" of a readable cover picture
    bool has_text = false;       // a text frame of a version-2 tag was seen
};

// The size of a version-2 tag body from its 10-byte header: bytes 6..9 as a
// synchsafe integer (7 bits each, most significant first).
std::uint32_t id3_synchsafe(const std::uint8_t bytes[4]);

// Walks the frames of a version-2 tag body (`body`, the tag_size bytes after
// the 10-byte header) of tag version `version` (byte 3 of the header) into
// fields. Cover pictures are read only when image information is on.
void read_id3v2_frames(FileInfoJob& job, std::span<const std::uint8_t> body, int version,
                       Id3Fields& fields);

// A genre written as "(n)" becomes the name of genre n (0 to 199).
void resolve_id3_genre(std::string& genre);

// Reads the version-1 tag at the end of the file and its extended form
// ("TAG+", 227 bytes before it) into fields.
enum class Id3v1 { ShortRead, Absent, Found };
Id3v1 read_id3v1(FileSource& file, Id3Fields& fields);

// The six lines of the tag block, ending in an empty line.
std::string id3_block(const Id3Fields& fields);

}  // namespace orbisto
