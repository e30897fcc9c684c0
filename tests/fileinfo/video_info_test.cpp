#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fileinfo/reader_run.h"
#include "platform/byte_io.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::ReaderRun;

// A tenth of a second, and the rounding of 1.8 - 1.7 in doubles.
constexpr double kVideoTenth = 0.1 + 1e-9;

// The start of an AVI as a muxer writes it: RIFF, the main header and the
// first stream header with its type and code, padded to `size` bytes.
struct AviShape {
    std::uint32_t micros_per_frame = 40000;
    std::uint32_t frames = 2500;
    std::uint32_t width = 320, height = 240;
    std::string stream_type = "vids";
    std::string code = "ZZZZ";  // no codec is known by this code
    std::size_t size = 4096;
};

std::vector<std::uint8_t> video_avi_bytes(const AviShape& s) {
    ByteWriter w;
    w.put("RIFF\0\0\0\0AVI LIST\0\0\0\0hdrlavih\x38\0\0\0", 32);
    for (std::uint32_t v :
         {s.micros_per_frame, 0u, 0u, 0u, s.frames, 0u, 1u, 0u, s.width, s.height}) {
        w.u32le(v);
    }
    w.fixed_string("", 16);
    w.put("LISTstrlstrh\x38\0\0\0", 16);
    w.put(s.stream_type.data(), 4);
    w.put(s.code.data(), 4);
    w.buffer().resize(s.size, 0);
    return w.buffer();
}

// An Ogg page whose one packet is an OGM video stream header of 64 x 48.
std::vector<std::uint8_t> video_ogm_bytes(const std::string& code, std::int32_t time_unit,
                                          std::size_t size = 4096) {
    ByteWriter w;
    w.put("OggS\0\2", 6);
    w.fixed_string("", 20);
    w.put("\1\x35\1video\0\0\0", 11);
    w.put(code.data(), 4);
    w.u32le(0x38);
    w.u32le(static_cast<std::uint32_t>(time_unit));
    w.fixed_string("", 24);
    w.u32le(64);
    w.u32le(48);
    w.buffer().resize(size, 0);
    return w.buffer();
}

// ---------------------------------------------------------------------------
// The fixtures as the walk describes them, and their playing times.

struct VideoFixtureCase {
    const char* file;
    const char* german;
    const char* english;
};

const VideoFixtureCase kVideoFixtures[] = {
    {"video_xvid.avi", "AVI-Film 00:00:02  10 Frames 32 x 24 codec:MPEG-4 part 2 ID:XVID",
     "AVI-movie 00:00:02  10 frames 32 x 24 codec:MPEG-4 part 2 ID:XVID"},
    {"video_mjpg.avi", "AVI-Film 00:00:01  5 Frames 32 x 24 codec:Motion JPEG ID:MJPG",
     "AVI-movie 00:00:01  5 frames 32 x 24 codec:Motion JPEG ID:MJPG"},
    {"video_raw.avi", "AVI-Film 00:00:01  5 Frames 16 x 12 codec:uncompressed",
     "AVI-movie 00:00:01  5 frames 16 x 12 codec:uncompressed"},
    {"video_wmv2.wmv", "WMV-Film 00:00:02", "WMV-movie 00:00:02"},
    {"video_divx.ogm", "OGM-Film 00:00:01  0 Frames 32 x 24 codec:MPEG-4 part 2 ID:DIVX 5 FPS",
     "OGM-movie 00:00:01  0 frames 32 x 24 codec:MPEG-4 part 2 ID:DIVX 5 FPS"},
};

// The playing time is compared with ffprobe's in tenths; the text shows
// whole seconds.
TEST(VideoInfoTest, FixturesGiveTheirTextInBothLanguages) {
    for (const auto& c : kVideoFixtures) {
        SCOPED_TRACE(c.file);
        ReaderRun r;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.german);
        EXPECT_NEAR(r.result.length_tenths / 10.0,
                    test::ffprobe_seconds("video_ffprobe.txt", c.file), kVideoTenth);
        r.options.language = Language::English;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.english);
    }
}

// Without the multimedia service an AVI keeps what its header says; the
// other films have nothing but their playing time and give no text.
TEST(VideoInfoTest, WithoutTheServiceOnlyAviHeadersSpeak) {
    ReaderRun r;
    r.options.no_mci = true;
    ASSERT_EQ(r.collect(test::fixture("video_xvid.avi")), 1);
    EXPECT_EQ(r.result.info_text,
              "AVI-Film 00:00:00  10 Frames 32 x 24 codec:MPEG-4 part 2 ID:XVID");
    r.options.avi_length_direct = true;
    ASSERT_EQ(r.collect(test::fixture("video_xvid.avi")), 1);
    EXPECT_EQ(r.result.info_text,
              "AVI-Film 00:00:02  10 Frames 32 x 24 codec:MPEG-4 part 2 ID:XVID");
    EXPECT_EQ(r.collect(test::fixture("video_wmv2.wmv")), 0);
    EXPECT_EQ(r.result.info_text, "");
}

// ---------------------------------------------------------------------------
// AVI headers: the length taken from the header, the codec text.

struct AviLengthCase {
    std::uint32_t frames, micros_per_frame;
    std::int32_t tenths;
    const char* german;
};

TEST(VideoInfoTest, AviLengthFromTheHeader) {
    const AviLengthCase cases[] = {
        {2500, 40000, 1000, "AVI-Film 00:01:40  2500 Frames 320 x 240 codec:ID:ZZZZ"},
        // Two hours at 25 frames a second: the product does not fit 32 bits.
        {180000, 40000, 72000, "AVI-Film 02:00:00  180000 Frames 320 x 240 codec:ID:ZZZZ"},
        {1, 99999, 0, "AVI-Film 00:00:00  1 Frames 320 x 240 codec:ID:ZZZZ"},
        {3, 33367, 1, "AVI-Film 00:00:00  3 Frames 320 x 240 codec:ID:ZZZZ"},
        // A lying header gets the longest time the field holds, not garbage.
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0x7FFFFFFF,
         "AVI-Film 59652:19:24  -1 Frames 320 x 240 codec:ID:ZZZZ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames);
        ReaderRun r;
        r.options.no_mci = true;
        r.options.avi_length_direct = true;
        AviShape s;
        s.frames = c.frames;
        s.micros_per_frame = c.micros_per_frame;
        const auto bytes = video_avi_bytes(s);
        ASSERT_EQ(r.collect(bytes, "/m/film.avi"), 1);
        EXPECT_EQ(r.result.length_tenths, c.tenths);
        EXPECT_EQ(r.result.info_text, c.german);
    }
}

struct AviCodecCase {
    const char* what;
    std::string stream_type, code;
    std::size_t size;
    const char* codec;
    std::size_t header_at = 0;  // "vidsXVID" this far after the 88 start bytes
};

TEST(VideoInfoTest, AviCodecText) {
    const AviCodecCase cases[] = {
        {"known code", "vids", "XVID", 4096, "MPEG-4 part 2 ID:XVID"},
        {"upper-case stream type", "VIDS", "MJPG", 4096, "Motion JPEG ID:MJPG"},
        {"unknown code", "vids", "ZZZZ", 4096, "ID:ZZZZ"},
        {"short code", "vids", std::string("AB\0\0", 4), 4096, "ID:AB"},
        {"zero code", "vids", std::string(4, '\0'), 4096, "uncompressed"},
        {"blank code", "vids", "    ", 4096, "uncompressed"},
        {"no video stream", "auds", "ZZZZ", 4096, "unknown"},
        // Too short for the search: no codec text at all, the rest stays.
        {"short file", "vids", "XVID", 88 + 2047, ""},
        // The code after a header at the end of the searched part is read
        // from the bytes that follow; a header beyond it is not seen.
        {"header at the end of the search", "xxxx", "ZZZZ", 4096, "MPEG-4 part 2 ID:XVID", 2044},
        {"header beyond the search", "xxxx", "ZZZZ", 4096, "unknown", 2045},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReaderRun r;
        r.options.no_mci = true;
        AviShape s;
        s.stream_type = c.stream_type;
        s.code = c.code;
        s.size = c.size;
        auto bytes = video_avi_bytes(s);
        if (c.header_at) std::memcpy(bytes.data() + 88 + c.header_at, "vidsXVID", 8);
        ASSERT_EQ(r.run(ExtractVideo, bytes, "a.avi"), 1);
        EXPECT_EQ(r.result.codec, c.codec);
        EXPECT_EQ(r.result.media_type, "AVI");
        EXPECT_EQ(r.result.frames, 2500);
        EXPECT_EQ(r.result.video_width, 320);
        EXPECT_EQ(r.result.length_tenths, 0);
    }
}

TEST(VideoInfoTest, DamagedAviHeadersGiveNothing) {
    const auto good = video_avi_bytes(AviShape{});
    struct Damage {
        const char* what;
        std::size_t at;
        const char* bytes;
    };
    const Damage cases[] = {
        {"not AVI", 8, "WAVE"},
        {"no header list", 12, "JUNK"},
        {"no main header", 24, "strh"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = good;
        std::memcpy(bytes.data() + c.at, c.bytes, std::strlen(c.bytes));
        ReaderRun r;
        r.options.no_mci = true;
        EXPECT_EQ(r.collect(bytes, "a.avi"), 0);
    }
    // Every cut of the start is too short.
    for (std::size_t n = 0; n < 88; ++n) {
        ReaderRun r;
        r.options.avi_length_direct = true;
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_EQ(r.run(ExtractVideo, cut, "a.avi"), 0) << n;
    }
    // Neither RIFF nor Ogg, and the service cannot time it: no film.
    test::TempDir dir;
    ReaderRun r;
    EXPECT_EQ(r.collect(dir.write("notes.avi", std::string(4096, 'x'))), 0);
    EXPECT_EQ(r.collect(dir.write("notes.wmv", std::string(4096, 'x'))), 0);
}

// ---------------------------------------------------------------------------
// OGM stream headers.

struct OgmCase {
    const char* what;
    std::vector<std::uint8_t> bytes;
    int ok;
    const char* codec;
};

TEST(VideoInfoTest, OgmStreamHeader) {
    auto no_video = video_ogm_bytes("DIVX", 400000);
    std::memcpy(no_video.data() + 29, "audio", 5);
    auto cut_header = video_ogm_bytes("DIVX", 400000);
    cut_header.resize(29 + 51);
    const OgmCase cases[] = {
        {"25 frames a second", video_ogm_bytes("DIVX", 400000), 1, "MPEG-4 part 2 ID:DIVX 25 FPS"},
        {"unknown code", video_ogm_bytes("ZZZZ", 333333), 1, "ID:ZZZZ 30 FPS"},
        {"no code", video_ogm_bytes(std::string(4, '\0'), 400000), 1, "uncompressed 25 FPS"},
        {"no time unit", video_ogm_bytes("ZZZZ", 0), 1, "ID:ZZZZ"},
        {"negative time unit", video_ogm_bytes("ZZZZ", -1), 1, "ID:ZZZZ -10000000 FPS"},
        // A film shorter than the searched part is searched as far as it goes.
        {"short file", video_ogm_bytes("ZZZZ", 400000, 200), 1, "ID:ZZZZ 25 FPS"},
        {"no video stream", no_video, 0, ""},
        {"stream header cut", cut_header, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReaderRun r;
        r.options.no_mci = true;
        ASSERT_EQ(r.run(ExtractVideo, c.bytes, "a.ogm"), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(r.result.media_type, "OGM");
        EXPECT_EQ(r.result.codec, c.codec);
        EXPECT_EQ(r.result.video_width, 64);
        EXPECT_EQ(r.result.video_height, 48);
        EXPECT_EQ(r.result.frames, 0);
    }
}

}  // namespace
}  // namespace orbisto
