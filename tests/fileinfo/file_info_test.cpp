#include "fileinfo/file_info.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "fileinfo/reader_run.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

// A multimedia service that answers from a table, for the arithmetic of the
// texts and the extension cache; the real service is tested on real files.
class TableService : public MediaService {
  public:
    bool handles(std::string_view extension) override {
        ++asked[std::string(extension)];
        return extension != "XYZ";
    }
    std::optional<MediaFacts> length(const std::string&) override { return facts; }
    std::map<std::string, int> asked;
    std::optional<MediaFacts> facts = MediaFacts{754300, -1};
};

double recorded_seconds(const std::string& name) {
    return test::ffprobe_seconds("media_ffprobe.txt", name);
}

TEST(FileInfoDispatch, SwitchesDecideWhetherAReaderRuns) {
    test::ReaderRun r;
    const std::string aif = test::fixture("tone.aif");
    ASSERT_EQ(r.collect(aif), 1);
    EXPECT_EQ(r.result.info_text, "AIF-Sound 00:00:00,5");

    r.options.file_information = false;  // the master switch wins over every group
    EXPECT_EQ(r.collect(aif), 0);
    EXPECT_EQ(r.result.info_text, "");

    r.options.file_information = true;
    r.options.sound_information = false;  // no other group has the extension
    EXPECT_EQ(r.collect(aif), 0);

    r.options.sound_information = true;
    r.options.no_mci = true;  // the service is off: no playing time, no text
    EXPECT_EQ(r.collect(aif), 0);
}

TEST(FileInfoDispatch, ExtensionPrefixFoldedAndTakenFromTheNameOnly) {
    test::TempDir dir;
    fs::create_directory(dir.file("dir.wav"));
    const std::string bytes = [] {
        std::ifstream in(test::fixture("tone.au"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    test::ReaderRun r;
    // ".Aiff" begins with the row text ".AIF"; ".au" with ".AU".
    EXPECT_EQ(r.collect(dir.write("Tone.Aiff", bytes)), 1);
    EXPECT_EQ(r.collect(dir.write("dir.wav/tone.au", bytes)), 1);
    EXPECT_EQ(r.result.info_text, "AIF-Sound 00:00:01,2");
    // No extension, or a dot only in the folder name: no reader.
    EXPECT_EQ(r.collect(dir.write("dir.wav/tone", bytes)), 0);
    EXPECT_EQ(r.collect(dir.write("tone.", bytes)), 0);
}

TEST(FileInfoDispatch, PlayingTimesAgreeWithFfprobe) {
    test::ReaderRun r;
    for (const char* name : {"tone.aif", "tone.au", "tone.snd"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(r.collect(test::fixture(name)), 1);
        EXPECT_NEAR(r.result.length_tenths / 10.0, recorded_seconds(name), 0.1);
    }
    r.options.language = Language::English;
    ASSERT_EQ(r.collect(test::fixture("tone.au")), 1);
    EXPECT_EQ(r.result.info_text, "AIF-sound 00:00:01,2");
}

TEST(FileInfoDispatch, TimedTextsSplitTenthsIntoHoursMinutesSeconds) {
    test::ReaderRun r;
    auto service = std::make_unique<TableService>();
    TableService* table = service.get();
    r.session.set_media(std::move(service));
    const std::vector<std::uint8_t> none;
    // 754.3 s = 7543 tenths.
    ASSERT_EQ(r.collect(none, "/x/a.aif"), 1);
    EXPECT_EQ(r.result.info_text, "AIF-Sound 00:12:34,3");
    table->facts = MediaFacts{36000 * 100 + 59 * 60000 + 59900, -1};
    ASSERT_EQ(r.collect(none, "/x/a.au"), 1);
    EXPECT_EQ(r.result.info_text, "AIF-Sound 01:59:59,9");
    table->facts = std::nullopt;  // the service cannot time the file
    EXPECT_EQ(r.collect(none, "/x/a.au"), 0);
}

TEST(FileInfoDispatch, TheServiceIsAskedOncePerExtensionUpToThirtyOne) {
    test::ReaderRun r;
    auto service = std::make_unique<TableService>();
    TableService* table = service.get();
    r.session.set_media(std::move(service));
    FileInfoResult result;
    MemorySource none({});
    const auto ask = [&](const std::string& ext) {
        const std::string path = "/x/a." + ext;  // the job only points at it
        FileInfoJob job{r.options, r.session, none, path, 0, result, nullptr};
        return LookupMciDevice(job);
    };
    for (int i = 0; i < 31; ++i) EXPECT_TRUE(ask("E" + std::to_string(i)));
    EXPECT_TRUE(ask("e0"));  // cached, whatever the case
    EXPECT_EQ(table->asked["E0"], 1);
    EXPECT_TRUE(ask("E31"));  // the 32nd is answered but not remembered
    EXPECT_TRUE(ask("E31"));
    EXPECT_EQ(table->asked["E31"], 2);
    EXPECT_FALSE(ask("XYZ"));  // what the service does not handle is asked again
    EXPECT_FALSE(ask("XYZ"));
    EXPECT_EQ(table->asked["XYZ"], 2);
    EXPECT_EQ(r.session.devices.size(), 31u);
}

TEST(MediaService, RefusesWhatItCannotReadAndNamesCodecs) {
    test::TempDir dir;
    test::ReaderRun r;
    // Not a sound file, an empty one, one cut after its header.
    EXPECT_EQ(r.collect(dir.write("text.aif", std::string(5000, 'x'))), 0);
    EXPECT_EQ(r.collect(dir.write("empty.au", "")), 0);
    EXPECT_EQ(r.collect(dir.write("cut.au", ".snd")), 0);

    EXPECT_EQ(video_codec_description("XVID"), "MPEG-4 part 2");
    EXPECT_EQ(video_codec_description("xvid"), "MPEG-4 part 2");
    EXPECT_EQ(video_codec_description("QQQQ"), "");
    EXPECT_EQ(video_codec_description("abc"), "");
}

}  // namespace
}  // namespace orbisto
