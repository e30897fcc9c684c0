#include <gtest/gtest.h>

#include <cmath>
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

// The playing times ffprobe measured when the fixtures were made.
std::map<std::string, double> video_ffprobe_lengths() {
    std::map<std::string, double> out;
    std::ifstream in(test::fixture("video_ffprobe.txt"));
    std::string name;
    double seconds = 0;
    while (in >> name >> seconds) out[name] = seconds;
    return out;
}

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
    w.put("RIFF", 4);
    w.u32le(static_cast<std::uint32_t>(s.size - 8));
    w.put("AVI LIST", 8);
    w.u32le(0x1238);
    w.put("hdrlavih", 8);
    w.u32le(56);
    w.u32le(s.micros_per_frame);  // 32
    w.u32le(0);
    w.u32le(0);
    w.u32le(0x910);
    w.u32le(s.frames);  // 48
    w.u32le(0);
    w.u32le(1);
    w.u32le(0x100000);
    w.u32le(s.width);  // 64
    w.u32le(s.height);
    w.fixed_string("", 16);
    w.put("LISTstrlstrh", 12);
    w.u32le(56);
    w.put(s.stream_type.data(), s.stream_type.size());
    w.put(s.code.data(), s.code.size());
    auto& b = w.buffer();
    b.resize(s.size, 0);
    return b;
}

// An Ogg page whose one packet is an OGM video stream header.
std::vector<std::uint8_t> video_ogm_bytes(const std::string& code, std::int32_t time_unit,
                                          std::size_t size = 4096) {
    ByteWriter w;
    w.put("OggS", 4);
    w.u8(0);
    w.u8(2);
    w.fixed_string("", 20);
    w.u8(1);
    w.u8(53);
    w.u8(1);
    w.put("video\0\0\0", 8);
    w.put(code.data(), 4);
    w.u32le(0x38);
    w.u64le(static_cast<std::uint64_t>(static_cast<std::int64_t>(time_unit)));
    w.u64le(1);
    w.u32le(0x10000);
    w.u32le(0);
    w.u16le(0);
    w.u16le(0);
    w.u32le(64);  // width
    w.u32le(48);  // height
    auto& b = w.buffer();
    b.resize(std::max(size, b.size()), 0);
    return b;
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

TEST(VideoInfoTest, FixturesGiveTheirTextInBothLanguages) {
    for (const auto& c : kVideoFixtures) {
        SCOPED_TRACE(c.file);
        ReaderRun r;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.german);
        r.options.language = Language::English;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.english);
    }
}

TEST(VideoInfoTest, PlayingTimesAgreeWithFfprobe) {
    const auto lengths = video_ffprobe_lengths();
    for (const auto& c : kVideoFixtures) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(lengths.count(c.file));
        ReaderRun r;
        ASSERT_EQ(r.run_file(ExtractVideo, test::fixture(c.file)), 1);
        EXPECT_NEAR(r.result.length_tenths / 10.0, lengths.at(c.file), 0.1);
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReaderRun r;
        r.options.no_mci = true;
        AviShape s;
        s.stream_type = c.stream_type;
        s.code = c.code;
        s.size = c.size;
        ASSERT_EQ(r.run(ExtractVideo, video_avi_bytes(s), "a.avi"), 1);
        EXPECT_EQ(r.result.codec, c.codec);
        EXPECT_EQ(r.result.media_type, "AVI");
        EXPECT_EQ(r.result.frames, 2500);
        EXPECT_EQ(r.result.video_width, 320);
        EXPECT_EQ(r.result.length_tenths, 0);
    }
}

// A stream header right at the end of the searched part still names its
// code from the bytes that follow; one beyond it is not seen.
TEST(VideoInfoTest, AviStreamHeaderAtTheEdgeOfTheSearch) {
    AviShape s;
    s.stream_type = "xxxx";
    auto bytes = video_avi_bytes(s);
    std::memcpy(bytes.data() + 88 + 2044, "vidsXVID", 8);
    ReaderRun r;
    r.options.no_mci = true;
    ASSERT_EQ(r.run(ExtractVideo, bytes, "a.avi"), 1);
    EXPECT_EQ(r.result.codec, "MPEG-4 part 2 ID:XVID");

    bytes = video_avi_bytes(s);
    std::memcpy(bytes.data() + 88 + 2045, "vidsXVID", 8);
    ASSERT_EQ(r.run(ExtractVideo, bytes, "a.avi"), 1);
    EXPECT_EQ(r.result.codec, "unknown");
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

// A file with the films' extension but RIFF inside is read as an AVI; the
// ".WMV" text shows only the time.
TEST(VideoInfoTest, TheTextFollowsTheExtensionTheDataTheContents) {
    ReaderRun r;
    r.options.no_mci = true;
    r.options.avi_length_direct = true;
    const auto bytes = test::file_bytes(test::fixture("video_xvid.avi"));
    ASSERT_EQ(r.collect(bytes, "/m/clip.Wmv"), 1);
    EXPECT_EQ(r.result.info_text, "AVI-Film 00:00:02");
    ASSERT_EQ(r.collect(bytes, "/m/clip.ogm"), 1);
    EXPECT_EQ(r.result.info_text,
              "AVI-Film 00:00:02  10 Frames 32 x 24 codec:MPEG-4 part 2 ID:XVID");
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

// The reader clears what an earlier film left in the record.
TEST(VideoInfoTest, EachFilmStartsFromClearedFields) {
    ReaderRun r;
    r.options.no_mci = true;
    const auto avi = video_avi_bytes(AviShape{});
    MemorySource first_src(avi);
    const auto ogm = video_ogm_bytes("ZZZZ", 0);
    MemorySource second_src(ogm);
    FileInfoJob first{r.options, r.session, first_src, "a.avi", 4096, r.result};
    ASSERT_EQ(ExtractVideo(first), 1);
    r.result.video_depth = 8;
    FileInfoJob second{r.options, r.session, second_src, "b.ogm", ogm.size(), r.result};
    ASSERT_EQ(ExtractVideo(second), 1);
    EXPECT_EQ(r.result.frames, 0);
    EXPECT_EQ(r.result.video_depth, 0);
    EXPECT_EQ(r.result.codec, "ID:ZZZZ");
}

}  // namespace
}  // namespace orbisto
