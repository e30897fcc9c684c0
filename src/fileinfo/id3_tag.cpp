#include "fileinfo/id3_tag.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/id3_genres.h"
#include "platform/byte_io.h"
#include "platform/codepage.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

// Text frames longer than this are cut to kId3TextCut bytes.
constexpr std::int64_t kId3TextLimit = 256;
constexpr std::int64_t kId3TextCut = 250;
// The fields hold at most this many bytes (a cover line is the only one
// that could grow past it).
constexpr std::size_t kId3FieldBytes = 255;

enum class Id3Target { Artist, Album, Title, Year, Genre };

struct Id3TextFrame {
    std::string_view id;  // compared over its own length, so "TCO" also takes "TCOM"
    Id3Target target;
    const char* log_name;
};

// Tested in this order at every frame position.
constexpr Id3TextFrame kId3TextFrames[] = {
    {"TPE1", Id3Target::Artist, "Artist"}, {"TP1", Id3Target::Artist, "Artist"},
    {"TALB", Id3Target::Album, "Album"},   {"TAL", Id3Target::Album, "Album"},
    {"TIT2", Id3Target::Title, "Title"},   {"TT2", Id3Target::Title, "Title"},
    {"TYER", Id3Target::Year, "Year"},     {"TYE", Id3Target::Year, "Year"},
    {"TCON", Id3Target::Genre, "Genre"},   {"TCO", Id3Target::Genre, "Genre"},
};

std::string& id3_field(Id3Fields& f, Id3Target t) {
    switch (t) {
        case Id3Target::Artist:
            return f.artist;
        case Id3Target::Album:
            return f.album;
        case Id3Target::Title:
            return f.title;
        case Id3Target::Year:
            return f.year;
        case Id3Target::Genre:
            return f.genre;
    }
    return f.genre;
}

// The bytes [from, from + n) of the tag body. The tag buffer holds zero
// bytes behind the body, and every use of them (a copy that drops bytes
// below 0x20, a search for a zero byte) ends there, so the range simply
// stops at the end of the body.
std::span<const std::uint8_t> id3_range(std::span<const std::uint8_t> body, std::int64_t from,
                                        std::int64_t n) {
    const auto size = static_cast<std::int64_t>(body.size());
    if (from < 0 || n <= 0 || from >= size) return {};
    ByteReader r(body);
    r.seek(static_cast<std::size_t>(from));
    return r.bytes(static_cast<std::size_t>(n < size - from ? n : size - from));
}

std::uint8_t id3_byte(std::span<const std::uint8_t> body, std::int64_t at) {
    const auto b = id3_range(body, at, 1);
    return b.empty() ? 0 : b[0];
}

bool id3_id_at(std::span<const std::uint8_t> body, std::int64_t pos, std::string_view id) {
    const auto b = id3_range(body, pos, static_cast<std::int64_t>(id.size()));
    return b.size() == id.size() &&
           std::string_view(reinterpret_cast<const char*>(b.data()), b.size()) == id;
}

// The frame header at pos (10 bytes, zero past the body).
struct Id3FrameHeader {
    std::uint8_t bytes[10] = {};
};

Id3FrameHeader id3_header_at(std::span<const std::uint8_t> body, std::int64_t pos) {
    Id3FrameHeader h;
    const auto b = id3_range(body, pos, 10);
    ByteReader(b).read(h.bytes, b.size());
    return h;
}

// The size of a frame with a four-letter identifier: bytes 4..7, synchsafe in
// tags of version 4, else a big-endian integer read as signed (a size of
// 2 GiB or more counts as negative, as in padding, and ends the walk).
std::int64_t id3_frame_size(const Id3FrameHeader& h, int version) {
    if (version == 4) return id3_synchsafe(h.bytes + 4);
    ByteReader r(h.bytes + 4, 4);
    return static_cast<std::int32_t>(r.u32be());
}

// Copies the bytes of a text frame into the field, dropping every byte below
// 0x20: the encoding byte and the zero half of UTF-16 units of Latin text
// go. A frame that copies nothing leaves the field as it was.
void id3_copy_text(std::span<const std::uint8_t> bytes, std::string& field) {
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (b >= 0x20) text.push_back(static_cast<char>(b));
    }
    if (!text.empty()) field = std::move(text);
}

// A text frame at pos: `start` is where its text begins (the encoding byte),
// `size` its length from there.
void id3_read_text(FileInfoJob& job, std::span<const std::uint8_t> body, std::int64_t pos,
                   std::int64_t start, std::int64_t size, const Id3TextFrame& frame,
                   Id3Fields& fields) {
    if (size > kId3TextLimit) size = kId3TextCut;
    if (job.log)
        job.log_line(info_format("%s Länge:%lld Offset:%lld\r\n", frame.log_name,
                                 static_cast<long long>(size), static_cast<long long>(pos)));
    // Encoding 1 is UTF-16 with a byte-order mark, which is skipped.
    if (id3_byte(body, start) == 1) {
        start += 3;
        size -= 3;
    }
    id3_copy_text(id3_range(body, start, size), id3_field(fields, frame.target));
    fields.has_text = true;
}

bool id3_mime_is(std::string_view mime, std::string_view prefix) {
    if (mime.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upper_german_ascii(static_cast<unsigned char>(mime[i])) !=
            upper_german_ascii(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

// The offset of the first zero byte at or after `from` within the frame's
// first `limit` bytes; -1 when there is none.
std::int64_t id3_zero_after(std::span<const std::uint8_t> body, std::int64_t pos, std::int64_t from,
                            std::int64_t limit) {
    const auto b = id3_range(body, pos + from, limit - from);
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (b[i] == 0) return from + static_cast<std::int64_t>(i);
    }
    return -1;
}

// An attached picture at pos: encoding byte, MIME type, zero, picture type,
// description, zero, picture. A JPEG or PNG picture inside the tag is handed
// to the image reader, whose answer becomes the cover line.
void id3_read_cover(FileInfoJob& job, std::span<const std::uint8_t> body, std::int64_t pos,
                    std::int64_t size, Id3Fields& fields) {
    if (job.log)
        job.log_line(info_format("Cover Länge:%lld Offset:%lld Offset\r\n",
                                 static_cast<long long>(size), static_cast<long long>(pos)));
    const auto tag_size = static_cast<std::int64_t>(body.size());
    if (size <= 0 || size >= tag_size) return;
    // The picture must start inside the frame, so no search looks further.
    const std::int64_t limit = 10 + size;
    const std::int64_t mime_end = id3_zero_after(body, pos, 11, limit);
    if (mime_end < 0) return;
    const std::int64_t text_end = id3_zero_after(body, pos, mime_end + 2, limit);
    if (text_end < 0) return;
    const std::int64_t d = text_end + 1;
    if (d + pos >= tag_size || d >= size) return;

    const auto mime_bytes = id3_range(body, pos + 11, mime_end - 11);
    const std::string_view mime(reinterpret_cast<const char*>(mime_bytes.data()),
                                mime_bytes.size());
    const char* name = nullptr;
    if (id3_mime_is(mime, "image/jpg") || id3_mime_is(mime, "image/jpeg")) {
        name = "ASDFVM.JPG";
    } else if (id3_mime_is(mime, "image/png")) {
        name = "ASDFVM.PNG";
    } else {
        return;
    }
    // A frame that claims more than the tag holds gives the bytes it has.
    const auto picture = id3_range(body, pos + d, limit - d);
    MemorySource source(picture);
    FileInfoResult& r = job.result;
    FileInfoJob cover_job{job.options, job.session, source, name, picture.size(), r, job.log};
    // Only a picture the reader understood describes the cover; a failed
    // reader may have left numbers of its own behind.
    if (ReadImageInfo(cover_job) == 1) {
        fields.cover =
            info_format("%s %d x %d x %d", r.scratch_text.c_str(), r.width, r.height, r.depth);
        if (fields.cover.size() > kId3FieldBytes) fields.cover.resize(kId3FieldBytes);
    }
    // The reader's format name is no part of the MP3 text.
    r.scratch_text.clear();
}

// A version-1 field: up to its first zero byte, without the bytes at its end
// that are 0x20 or below when read as signed (so 0x80 and above go too).
std::string id3v1_trimmed(std::span<const std::uint8_t> field) {
    std::string s;
    for (const std::uint8_t b : field) {
        if (b == 0) break;
        s.push_back(static_cast<char>(b));
    }
    while (!s.empty() && static_cast<signed char>(s.back()) <= 0x20) s.pop_back();
    return s;
}

// A version-1 field is used only when its first byte, read as signed, is
// above a blank.
bool id3v1_present(std::uint8_t first) {
    return static_cast<signed char>(first) > 0x20;
}

}  // namespace

std::uint32_t id3_synchsafe(const std::uint8_t bytes[4]) {
    return (std::uint32_t{bytes[0] & 0x7Fu} << 21) | (std::uint32_t{bytes[1] & 0x7Fu} << 14) |
           (std::uint32_t{bytes[2] & 0x7Fu} << 7) | std::uint32_t{bytes[3] & 0x7Fu};
}

void read_id3v2_frames(FileInfoJob& job, std::span<const std::uint8_t> body, int version,
                       Id3Fields& fields) {
    const auto tag_size = static_cast<std::int64_t>(body.size());
    std::int64_t pos = 0;
    while (pos < tag_size) {
        const Id3FrameHeader h = id3_header_at(body, pos);
        const std::int64_t size4 = id3_frame_size(h, version);
        bool matched = false;
        for (const Id3TextFrame& frame : kId3TextFrames) {
            if (!id3_id_at(body, pos, frame.id)) continue;
            if (frame.id.size() == 4) {
                id3_read_text(job, body, pos, pos + 10, size4, frame, fields);
            } else {
                // Three-letter frames carry a 16-bit size at bytes 4..5 and
                // their text at byte 6. In tags of version 2.3 and 2.4 a
                // longer identifier beginning with one of them (TCOM, TCOP)
                // lands here too; its bytes 4..5 are the high half of its
                // size, so it usually copies nothing.
                const std::int64_t size3 = h.bytes[4] * 256 + h.bytes[5];
                id3_read_text(job, body, pos, pos + 6, size3, frame, fields);
            }
            matched = true;
            break;
        }
        if (!matched && job.options.image_information && id3_id_at(body, pos, "APIC")) {
            id3_read_cover(job, body, pos, size4, fields);
        }
        // A zero or negative size (padding) ends the walk. Tags of version
        // 2.2 have 6-byte frame headers with a 24-bit size; stepping by
        // them reads every frame of such a tag.
        std::int64_t step = size4 + 10;
        if (version == 2) {
            const std::int64_t size22 = (h.bytes[3] << 16) | (h.bytes[4] << 8) | h.bytes[5];
            step = size22 > 0 ? size22 + 6 : tag_size;
        } else if (step < 11) {
            step = tag_size;
        }
        pos += step;
    }
}

void resolve_id3_genre(std::string& genre) {
    if (genre.size() < 2 || genre.front() != '(' || genre.back() != ')') return;
    genre.pop_back();
    // A number must follow: "(RX)" names no entry of the table.
    const char* digits = genre.c_str() + 1;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(digits, &end, 10);
    if (end == digits || errno == ERANGE || n < 0 || n >= kId3GenreCount) return;
    genre = std::string(id3_genre_name(static_cast<int>(n)));
}

Id3v1 read_id3v1(FileSource& file, Id3Fields& fields) {
    const std::uint64_t size = file.size();
    // The extended tag: "TAG+", then 60 more bytes each of title, artist
    // and album (speed, genre and times follow). Missing, it reads as blanks.
    std::vector<std::uint8_t> ext;
    if (size < 355 || !file.read_exact(size - 355, 227, ext) || ext[0] != 'T' || ext[1] != 'A' ||
        ext[2] != 'G' || ext[3] != '+') {
        ext.assign(256, ' ');
    }
    std::vector<std::uint8_t> v1;
    if (size < 128 || !file.read_exact(size - 128, 128, v1)) return Id3v1::ShortRead;
    if (v1[0] != 'T' || v1[1] != 'A' || v1[2] != 'G') return Id3v1::Absent;

    ByteReader tag(v1);
    ByteReader extended(ext);
    tag.skip(3);
    extended.skip(4);
    for (std::string* field : {&fields.title, &fields.artist, &fields.album}) {
        const auto own = tag.bytes(30);
        const auto more = extended.bytes(60);
        if (!id3v1_present(own[0])) continue;
        *field = id3v1_trimmed(own) + id3v1_trimmed(more);
    }
    const auto year = tag.bytes(4);
    if (id3v1_present(year[0])) {
        fields.year.clear();
        for (const std::uint8_t b : year) {
            if (b == 0) break;
            fields.year.push_back(static_cast<char>(b));
        }
    }
    tag.seek(127);
    const std::uint8_t genre = tag.u8();
    if (genre < kId3NamedGenres) fields.genre = std::string(id3_genre_name(genre));
    return Id3v1::Found;
}

std::string id3_block(const Id3Fields& f) {
    return "Artist\t:" + f.artist + "\r\nAlbum\t:" + f.album + "\r\nTitle\t:" + f.title +
           "\r\nYear\t:" + f.year + "\r\nGenre\t:" + f.genre + "\r\nCover\t:" + f.cover +
           "\r\n\r\n";
}

}  // namespace orbisto
