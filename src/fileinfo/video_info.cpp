// Declared in fileinfo/extractors.h: the reader of AVI, OGM and WMV films.
// An AVI gives frames, frame size and codec from its main header and the
// first video stream header; an OGM gives frame size, codec and rate from
// its video stream header; a WMV (anything else) gives only its playing
// time, which the multimedia service measures.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

// The start every branch looks at: the RIFF or Ogg signature and, for an
// AVI, the main header.
constexpr std::size_t kVideoStartBytes = 88;
// How far the stream headers are searched for.
constexpr std::size_t kVideoSearchBytes = 2048;
// The part of an OGM stream header the reader uses, from "video" on.
constexpr std::size_t kOgmHeaderBytes = 52;

bool video_tag_at(const std::vector<std::uint8_t>& b, std::size_t at, std::string_view tag) {
    return at + tag.size() <= b.size() &&
           std::equal(tag.begin(), tag.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}

// The first place in the first `limit` bytes of b where `word` (upper-case
// ASCII letters) stands in any case; npos when it does not.
std::size_t video_find_word(const std::vector<std::uint8_t>& b, std::size_t limit,
                            std::string_view word) {
    const std::size_t end = std::min(limit, b.size());
    for (std::size_t i = 0; i + word.size() <= end; ++i) {
        std::size_t k = 0;
        while (k < word.size() && (b[i + k] & 0xDF) == static_cast<std::uint8_t>(word[k])) ++k;
        if (k == word.size()) return i;
    }
    return std::string_view::npos;
}

// frames x microseconds per frame in tenths, truncated; the product is
// taken in 64 bits, and a header that claims centuries gets the largest
// length the field holds.
std::int32_t video_tenths(std::uint64_t frames, std::uint64_t micros_per_frame) {
    const double tenths = static_cast<double>(frames * micros_per_frame) * 0.00001;
    if (tenths >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(tenths);
}

// The codec text of a code from a stream header: the codec's name and the
// code when the name is known, else the code, or "uncompressed" for a code
// of zero bytes or blanks only.
std::string video_codec_text(std::string_view code) {
    code = code.substr(0, code.find('\0'));
    if (code.find_first_not_of(' ') == std::string_view::npos) return "uncompressed";
    const std::string name = video_codec_description(code);
    if (name.empty()) return "ID:" + std::string(code);
    return name + " ID:" + std::string(code);
}

// The codec of the first video stream header ("vids") in the 2048 bytes
// after the start; nothing when the file is shorter.
void video_find_codec(FileInfoJob& job) {
    // The code may end a few bytes after the searched part: those are read
    // along.
    const std::vector<std::uint8_t> more = job.file.read(kVideoStartBytes, kVideoSearchBytes + 4);
    if (more.size() < kVideoSearchBytes) return;
    const std::size_t at = video_find_word(more, kVideoSearchBytes, "VIDS");
    if (at == std::string_view::npos) {
        job.result.codec = "unknown";
        return;
    }
    const std::size_t from = at + 4;
    const std::size_t n = std::min<std::size_t>(4, more.size() - from);
    job.result.codec =
        video_codec_text(std::string_view(reinterpret_cast<const char*>(more.data() + from), n));
}

// The AVI main header of the 88 start bytes (which begin with "RIFF").
int video_read_avi(FileInfoJob& job, const std::vector<std::uint8_t>& start) {
    FileInfoResult& r = job.result;
    if (!video_tag_at(start, 8, "AVI LIST") || !video_tag_at(start, 20, "hdrlavih")) return 0;
    ByteReader h(start);
    h.seek(32);
    const std::uint32_t micros_per_frame = h.u32le();
    h.seek(48);
    const std::uint32_t frames = h.u32le();
    h.seek(64);
    const std::uint32_t width = h.u32le();
    const std::uint32_t height = h.u32le();
    if (!h.ok()) return 0;
    r.frames = static_cast<std::int32_t>(frames);
    r.video_width = static_cast<std::int32_t>(width);
    r.video_height = static_cast<std::int32_t>(height);
    if (job.options.avi_length_direct) {
        r.length_tenths = video_tenths(frames, micros_per_frame);
    } else {
        MciLength(job);  // a file the service cannot time keeps the length 0
    }
    return 1;
}

// The OGM branch: the first "video" stream header in the first 2048 bytes.
int video_read_ogm(FileInfoJob& job) {
    FileInfoResult& r = job.result;
    r.media_type = "OGM";
    // A shorter file is searched as far as it goes: a small film still has
    // its stream header at the start.
    const std::vector<std::uint8_t> head = job.file.read(0, kVideoSearchBytes);
    const std::size_t at = video_find_word(head, kVideoSearchBytes, "VIDEO");
    if (at == std::string_view::npos) return 0;
    std::vector<std::uint8_t> hdr;
    if (!job.file.read_exact(at, kOgmHeaderBytes, hdr)) return 0;
    ByteReader h(hdr);
    h.seek(8);
    const std::string code = h.fixed_string(4);
    h.seek(16);
    const auto time_unit = static_cast<std::int32_t>(h.u32le());
    h.seek(44);
    const std::uint32_t width = h.u32le();
    const std::uint32_t height = h.u32le();
    if (!h.ok()) return 0;
    r.video_width = static_cast<std::int32_t>(width);
    r.video_height = static_cast<std::int32_t>(height);
    r.codec = video_codec_text(code);
    // The time unit is 100 ns steps per frame.
    if (time_unit != 0) r.codec += " " + std::to_string(10000000 / time_unit) + " FPS";
    MciLength(job);
    return 1;
}

}  // namespace

int ExtractVideo(FileInfoJob& job) {
    FileInfoResult& r = job.result;
    std::vector<std::uint8_t> start;
    if (!job.file.read_exact(0, kVideoStartBytes, start)) return 0;
    r.media_type.clear();
    r.frames = 0;
    r.length_tenths = 0;
    r.video_width = r.video_height = r.video_depth = 0;
    r.codec.clear();

    if (video_tag_at(start, 0, "OggS")) return video_read_ogm(job);
    r.media_type = "AVI";
    video_find_codec(job);
    if (video_tag_at(start, 0, "RIFF")) return video_read_avi(job, start);
    // Anything else is taken for a Windows Media film, of which only the
    // playing time is known; a file the service cannot time is no film.
    r.media_type = "WMV";
    return MciLength(job) ? 1 : 0;
}

}  // namespace orbisto
