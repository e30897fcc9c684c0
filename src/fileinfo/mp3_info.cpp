#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/id3_tag.h"
#include "platform/byte_io.h"
#include "platform/codepage.h"

namespace orbisto {

namespace {

// The frame buffer: the bytes after the tag, later moved to begin at the
// frame header. The VBR header is looked for in all of it.
constexpr std::size_t kMp3FrameBuffer = 512;
// The frame search looks at the first half, then reads that much again.
constexpr std::size_t kMp3SearchStep = 256;
// The tag buffer is allocated this much larger than the tag that needs it.
constexpr std::size_t kMp3TagSlack = 1000;
// The version-1 tag at the end, which the constant-bitrate length leaves out.
constexpr std::int64_t kMp3V1Tag = 128;

// kbit/s by [3 - layer bits][bitrate index]: layer I, II, III, then no layer.
constexpr std::int32_t kMp3Mpeg1Rates[4][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {},
};
constexpr std::int32_t kMp3Mpeg2Rates[4][16] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {},
};
// Hz by the sampling bits of an MPEG-1 header; the reserved value 3 gets a
// rate no file has (and that divides without fault).
constexpr std::int32_t kMp3SampleRates[4] = {44100, 48000, 32000, 99999};

using Mp3Buffer = std::array<std::uint8_t, kMp3FrameBuffer>;

bool mp3_is_sync(std::uint8_t a, std::uint8_t b) {
    return a == 0xFF && (b & 0xF0) == 0xF0;
}

// Reads ahead in larger blocks for the frame search, which otherwise walks
// a file without frames in 256-byte steps; what it returns is what single
// reads would return.
class Mp3ReadAhead {
  public:
    explicit Mp3ReadAhead(FileSource& file) : file_(file) {}
    std::size_t read(std::uint64_t offset, std::uint8_t* out, std::size_t n) {
        if (offset < start_ || offset + n > start_ + block_.size()) {
            block_.resize(kBlock);
            start_ = offset;
            block_.resize(file_.read_at(offset, block_.data(), kBlock));
        }
        ByteReader r(block_);
        r.seek(static_cast<std::size_t>(offset - start_));
        const std::size_t got = std::min(n, r.remaining());
        r.read(out, got);
        return got;
    }

  private:
    static constexpr std::size_t kBlock = 64 * 1024;
    FileSource& file_;
    std::vector<std::uint8_t> block_;
    std::uint64_t start_ = 0;
};

// Moves the buffer to the first frame header. When the buffer does not begin
// with one, its first 256 bytes are searched; without a hit the next 256
// bytes of the file (from 2 bytes before the end of the last read) replace
// them and the search goes on, to the end of the file. The second half of
// the buffer keeps what the first read put there. False when the file ends
// first.
bool mp3_find_frame(FileSource& file, std::uint64_t next, Mp3Buffer& buf) {
    if (mp3_is_sync(buf[0], buf[1])) return true;
    Mp3ReadAhead ahead(file);
    for (;;) {
        for (std::size_t i = 0; i + 1 < kMp3SearchStep; ++i) {
            if (!mp3_is_sync(buf[i], buf[i + 1])) continue;
            std::copy(buf.begin() + i, buf.begin() + kMp3SearchStep, buf.begin());
            return true;
        }
        next -= 2;
        if (ahead.read(next, buf.data(), kMp3SearchStep) != kMp3SearchStep) return false;
        next += kMp3SearchStep;
    }
}

// Whether the buffer holds "Xing" or "VBRI", in any case.
bool mp3_has_vbr_mark(const Mp3Buffer& buf) {
    for (const char* mark : {"XING", "VBRI"}) {
        for (std::size_t i = 0; i + 4 <= buf.size(); ++i) {
            std::size_t k = 0;
            // The marks are ASCII letters, which only their own two cases fold to.
            while (k < 4 && (buf[i + k] & 0xDF) == static_cast<unsigned char>(mark[k])) ++k;
            if (k == 4) return true;
        }
    }
    return false;
}

// The fields of a Xing header that the length needs.
struct Mp3Xing {
    std::uint32_t flags = 0;
    std::uint32_t frames = 0;
    std::uint32_t bytes = 0;
};

// The Xing header lies behind the side information, whose length depends on
// the MPEG version and on mono.
Mp3Xing mp3_read_xing(const Mp3Buffer& buf, bool mpeg1, bool mono) {
    const std::size_t at = mpeg1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
    Mp3Xing x;
    ByteReader r(buf.data(), buf.size());
    r.seek(at);
    const auto mark = r.bytes(4);
    if (mark.size() != 4 || std::memcmp(mark.data(), "Xing", 4) != 0) return x;
    x.flags = r.u32be();
    if (x.flags & 1) x.frames = r.u32be();
    if (x.flags & 2) x.bytes = r.u32be();
    return r.ok() ? x : Mp3Xing{};
}

std::int32_t mp3_clamp(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, INT32_MAX));
}

// The frame header's part of the text, the bitrate and the playing time in
// whole seconds (0 for none).
struct Mp3Frame {
    std::string text;
    std::int32_t kbps = 0;
    std::int32_t seconds = 0;
};

Mp3Frame mp3_describe_frame(FileInfoJob& job, const Mp3Buffer& buf, std::int64_t tag_size) {
    Mp3Frame f;
    const int layer_row = 3 - ((buf[1] >> 1) & 3);
    const int rate_index = buf[2] >> 4;
    const int sampling = (buf[2] >> 2) & 3;
    const int mode = buf[3] >> 6;
    if (buf[1] & 0x08) {
        f.text = "mpeg\t:1.0\r\n";
        const std::int32_t hz = kMp3SampleRates[sampling];
        std::string rate_text;
        if (!mp3_has_vbr_mark(buf)) {
            job.log_line("CBR\r\n");
            f.kbps = kMp3Mpeg1Rates[layer_row][rate_index];
            rate_text = info_format("bitrate\t:%d kbit/s", f.kbps);
            if (f.kbps > 0) {
                // The version-1 tag is always taken off, the 10-byte header
                // of a version-2 tag never.
                const std::uint64_t capped = std::min<std::uint64_t>(job.size_bytes, INT64_MAX / 8);
                const std::int64_t audio = static_cast<std::int64_t>(capped) - kMp3V1Tag - tag_size;
                f.seconds = mp3_clamp(audio * 8 / 1000 / f.kbps);
            }
        } else {
            job.log_line("VBR\r\n");
            const Mp3Xing x = mp3_read_xing(buf, true, mode == 3);
            if (x.frames > 0) {
                const std::int64_t per_second = std::int64_t{x.bytes / x.frames} * hz / 144;
                f.kbps = mp3_clamp(per_second / 1000);
                rate_text = info_format("bitrate\t:VBR %d kbit/s", f.kbps);
                f.seconds =
                    mp3_clamp(static_cast<std::int64_t>(double(x.frames) * 1152 / hz + 0.5));
            } else {
                rate_text = " VBR ";
            }
        }
        f.text +=
            rate_text + "\r\nfreq\t:" + info_format("%d.%03d Hz", hz / 1000, hz % 1000) + "\r\n";
    } else {
        job.log_line("MPEG 2\r\n");
        f.kbps = kMp3Mpeg2Rates[layer_row][rate_index];
        static const char* const kHz[4] = {"22.050Hz", "24.000Hz", "16.000Hz", ""};
        f.text = "mpeg\t:2.0\r\n" + info_format("bitrate\t:%d kbit", f.kbps) +
                 "\r\nfreq\t:" + kHz[sampling] + "\r\n";
    }
    static const char* const kModes[4] = {"mode\t:Stereo", "mode\t:joint Stereo", "mode\t:2-Kanal",
                                          "mode\t:mono"};
    f.text += kModes[mode];
    return f;
}

// Reads a version-2 tag body into the session's tag buffer, which grows to
// the tag size plus some slack only when a larger tag arrives and is kept
// for the next file. False on a short read or when memory runs out.
bool mp3_read_tag(FileInfoJob& job, std::uint64_t tag_size, std::span<const std::uint8_t>& body) {
    // A size the file cannot hold is a short read, found before allocating.
    if (tag_size > job.file.size() - 10) return false;
    std::vector<std::uint8_t>& buffer = job.session.id3_buffer;
    const std::size_t capacity = buffer.empty() ? 0 : buffer.size() - kMp3TagSlack;
    if (tag_size > capacity) {
        if (job.log)
            job.log_line(info_format("id3 length:%llu max:%zu\r\n",
                                     static_cast<unsigned long long>(tag_size), capacity));
        try {
            std::vector<std::uint8_t>().swap(buffer);
            buffer.resize(static_cast<std::size_t>(tag_size) + kMp3TagSlack);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    const auto n = static_cast<std::size_t>(tag_size);
    if (job.file.read_at(10, buffer.data(), n) != n) return false;
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(n), buffer.end(), 0);
    body = std::span<const std::uint8_t>(buffer).first(n);
    return true;
}

int mp3_extract(FileInfoJob& job) {
    FileInfoResult& r = job.result;
    r.scratch_text.clear();
    std::uint8_t head[10];
    if (job.file.read_at(0, head, sizeof head) != sizeof head) return 0;

    Id3Fields fields;
    std::uint64_t tag_size = 0;
    const bool tagged = head[0] == 'I' && head[1] == 'D' && head[2] == '3';
    if (tagged) {
        tag_size = id3_synchsafe(head + 6);
        std::span<const std::uint8_t> body;
        if (!mp3_read_tag(job, tag_size, body)) return 0;
        read_id3v2_frames(job, body, head[3], fields);
        if (fields.has_text) {
            if (job.log)
                job.log_line(info_format("Genre prüfen Länge:%zu Offset:%llu\r\n",
                                         fields.genre.size(),
                                         static_cast<unsigned long long>(tag_size)));
            resolve_id3_genre(fields.genre);
            r.scratch_text = id3_block(fields);
        }
    }
    const std::uint64_t audio = tagged ? 10 + tag_size : 0;
    Mp3Buffer buf;
    if (job.file.read_at(audio, buf.data(), buf.size()) != buf.size()) return 0;

    job.log_line("Start suchen\r\n");
    if (!mp3_find_frame(job.file, audio + buf.size(), buf)) return 0;

    if (!fields.has_text) {
        job.log_line("TAG-V1\r\n");
        const Id3v1 v1 = read_id3v1(job.file, fields);
        if (v1 == Id3v1::ShortRead) return 0;
        if (v1 == Id3v1::Found) r.scratch_text = id3_block(fields);
    }

    r.length_tenths = 0;
    const Mp3Frame frame = mp3_describe_frame(job, buf, static_cast<std::int64_t>(tag_size));
    r.scratch_text += frame.text;
    r.mp3_bitrate_kbps = static_cast<std::uint32_t>(frame.kbps);
    r.mp3_length_s = 0;
    if (frame.seconds > 0) {
        const std::int32_t t = frame.seconds;
        r.scratch_text +=
            info_format("\r\nlength\t:%02d:%02d:%02d,%01d", t / 3600, (t % 3600) / 60, t % 60, 0);
        r.length_tenths = t;
        r.mp3_length_s = static_cast<std::uint32_t>(t);
    }
    return 1;
}

}  // namespace

int ExtractMp3(FileInfoJob& job) {
    if (job.log)
        job.log_line(info_format("Datei:%.*s Länge:%llu\r\n", static_cast<int>(job.path.size()),
                                 job.path.data(), static_cast<unsigned long long>(job.size_bytes)));
    const int found = mp3_extract(job);
    // A file without a frame header gives no text at all.
    if (!found) job.result.scratch_text.clear();
    job.log_line("ENDE\r\n\r\n");
    return found;
}

}  // namespace orbisto
