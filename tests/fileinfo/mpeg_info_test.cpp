#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fileinfo/reader_run.h"
#include "platform/files.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::ReaderRun;

// A tenth of a second, and the rounding of 1.8 - 1.7 in doubles.
constexpr double kMpegTenth = 0.1 + 1e-9;

// The service opens films by their path, so every case is a file on disk.
std::string mpeg_write(const test::TempDir& dir, const std::string& name,
                       const std::vector<std::uint8_t>& bytes) {
    return dir.write(name, std::string(bytes.begin(), bytes.end()));
}

struct MpegFixtureCase {
    const char* file;
    const char* german;
    const char* english;
};

// The MPEG text keeps its colon in German; the MPEG-2 text names the frames.
const MpegFixtureCase kMpegFixtures[] = {
    {"video_mpeg1.mpg", "MPEG-Film 00:00:01,7:", "MPEG-movie 00:00:01,7"},
    {"video_mpeg2.vob", "MPEG2-Film 00:00:01,7 Frames:45", "MPEG2-movie 00:00:01,7 frames:45"},
    {"video_quicktime.mov", "QuickTime-Film 00:00:02,0", "quickTime-movie 00:00:02,0"},
};

TEST(MpegInfoTest, FixturesGiveTheirTextInBothLanguages) {
    for (const auto& c : kMpegFixtures) {
        SCOPED_TRACE(c.file);
        ReaderRun r;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.german);
        EXPECT_NEAR(r.result.length_tenths / 10.0,
                    test::ffprobe_seconds("video_ffprobe.txt", c.file), kMpegTenth);
        r.options.language = Language::English;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.english);
    }
}

// The MPEG reader counts the frames too, though its text does not show them.
TEST(MpegInfoTest, FrameCountGoesIntoTheScratchText) {
    ReaderRun r;
    ASSERT_EQ(r.run_file(ExtractMpeg, test::fixture("video_mpeg1.mpg")), 1);
    EXPECT_EQ(r.result.scratch_text, "44");  // 1.76 s at 25 frames a second
}

TEST(MpegInfoTest, WithoutTheServiceNoFilmIsTimed) {
    ReaderRun r;
    r.options.no_mci = true;
    for (const char* f : {"video_mpeg1.mpg", "video_mpeg2.vob", "video_quicktime.mov"}) {
        EXPECT_EQ(r.collect(test::fixture(f)), 0) << f;
        EXPECT_EQ(r.result.info_text, "") << f;
    }
}

// A ".DAT" file is a video CD track only when it begins with RIFF; the rule
// looks at the file's own extension, not at a folder's.
TEST(MpegInfoTest, DatFilesMustBeRiff) {
    const auto mpeg = test::file_bytes(test::fixture("video_mpeg1.mpg"));
    test::TempDir dir;
    ReaderRun r;
    EXPECT_EQ(r.run_file(ExtractMpeg, mpeg_write(dir, "AVSEQ01.DAT", mpeg)), 0);
    EXPECT_EQ(r.run_file(ExtractMpeg, mpeg_write(dir, "avseq02.dat", mpeg)), 0);
    EXPECT_EQ(r.run_file(ExtractMpeg, mpeg_write(dir, "short.dat", {'R', 'I'})), 0);
    test::TempDir outer;
    const std::string folder = outer.file("old.dat");
    ASSERT_TRUE(make_directory(folder));
    std::ofstream(folder + "/clip.mpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(mpeg.data()),
               static_cast<std::streamsize>(mpeg.size()));
    EXPECT_EQ(r.run_file(ExtractMpeg, folder + "/clip.mpg"), 1);
    EXPECT_EQ(r.result.length_tenths, 17);
}

TEST(MpegInfoTest, DamagedFilmsGiveNothing) {
    const auto mpeg = test::file_bytes(test::fixture("video_mpeg1.mpg"));
    const auto mov = test::file_bytes(test::fixture("video_quicktime.mov"));
    const std::vector<std::uint8_t> zeros(4096, 0);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty.mpg", {}},
        {"zeros.mpg", zeros},
        {"zeros.vob", zeros},
        {"zeros.mov", zeros},
        {"cut.mov", std::vector<std::uint8_t>(mov.begin(), mov.begin() + 40)},
        {"first-pack.mpg", std::vector<std::uint8_t>(mpeg.begin(), mpeg.begin() + 12)},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        ReaderRun r;
        EXPECT_EQ(r.collect(mpeg_write(dir, c.name, c.bytes)), 0) << c.name;
    }
}

}  // namespace
}  // namespace orbisto
