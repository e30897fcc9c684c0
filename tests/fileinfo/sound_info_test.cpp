// WAV, VOC and tracker-module titles: the fixtures through the whole
// dispatch in both languages, the rules the fixtures do not reach, and
// headers one byte short giving no information.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fileinfo/reader_run.h"

namespace orbisto {
namespace {

using test::fixture;
using test::ReaderRun;
using namespace std::string_literals;

std::vector<std::uint8_t> sound_bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST(SoundInfo, FixturesGiveTheirTextsInBothLanguages) {
    struct Case {
        const char *file, *german, *english;  // empty: no text
    } const cases[] = {
        {"sound-mono-22050-8.wav", "WAV-Sound Mono 22050 Hz 8 Bit",
         "WAV-sound mono 22050 hz 8 bit"},
        {"sound-stereo-44100-16.wav", "WAV-Sound Stereo 44100 Hz 16 Bit",
         "WAV-sound stereo 44100 hz 16 bit"},
        {"sound-six-channels.wav", "", ""},  // extensible format tag
        {"sound-ulaw.wav", "", ""},          // compressed
        {"sound-11025.voc", "VOC-Sound 10989 Hz", "VOC-sound 10989 Hz"},
        {"sound-16bit.voc", "", ""},  // its first block is not plain sound data
        {"sound-title.mod", "MOD-Sound Orbisto MOD", "MOD-sound Orbisto MOD"},
        // 20 of the 28 title bytes; all 50 XM bytes, through the 0x1A byte.
        {"sound-title.s3m", "S3M-Sound Orbisto S3M with a l", "S3M-sound Orbisto S3M with a l"},
        {"sound-title.xm",
         "XM-Sound Extended Module: Orbisto XM fixture 1\x1a"
         "FastTracker ",
         "XM-sound Extended Module: Orbisto XM fixture 1\x1a"
         "FastTracker "},
    };
    for (const Case& c : cases) {
        for (const Language lang : {Language::German, Language::English}) {
            ReaderRun r;
            r.options.language = lang;
            const std::string want = lang == Language::German ? c.german : c.english;
            EXPECT_EQ(r.collect(fixture(c.file)), want.empty() ? 0 : 1) << c.file;
            EXPECT_EQ(r.result.info_text, want);
        }
    }
}

TEST(SoundInfo, RulesBeyondTheFixtures) {
    ReaderRun r;
    // Six channels of plain PCM are read, but no text has them.
    std::vector<std::uint8_t> wav = test::file_bytes(fixture("sound-mono-22050-8.wav"));
    wav[22] = 6;
    EXPECT_EQ(r.run(ExtractWav, wav, "a.wav"), 1);
    EXPECT_EQ(r.collect(wav, "a.wav"), 0);
    EXPECT_EQ(r.result.info_text, "");

    // VOC: one repeat block is passed over, and only one.
    const std::string voc = "Creative Voice File\x1a\x1a\0\x0a\x01\x29\x11"s;
    const struct {
        std::string blocks;
        int rate;
    } vocs[] = {
        {"\x06\x02\0\0\x03\0\x01\x02\0\0\x9c\0"s, 10000},
        {"\x06\x02\0\0\x03\0\x06\x02\0\0\x03\0"s, 0},
        {"\x06\x02\0\0\x03\0\x01\x02\0\0\x9c"s, 0},  // cut after the repeat
    };
    for (const auto& v : vocs) {
        EXPECT_EQ(r.run(ExtractVoc, sound_bytes(voc + v.blocks), "a.voc"), v.rate ? 1 : 0);
        EXPECT_EQ(r.result.sample_rate, v.rate);
    }

    // Module titles test no signature, but need their whole field.
    EXPECT_EQ(
        r.collect(sound_bytes("<?xml version=\"1.0\"?><catalog><title>Songs</title></catalog>"),
                  "data.xml"),
        1);
    EXPECT_EQ(r.result.info_text, "XM-Sound <?xml version=\"1.0\"?><catalog><title>Songs</title>");
    EXPECT_EQ(r.collect(sound_bytes("nineteen letters ab"), "a.mod"), 0);

    // One byte short of what the WAV and VOC readers need.
    wav.resize(35);
    EXPECT_EQ(r.run(ExtractWav, wav, "a.wav"), 0);
    std::vector<std::uint8_t> voc_cut = test::file_bytes(fixture("sound-11025.voc"));
    voc_cut.resize(31);
    EXPECT_EQ(r.run(ExtractVoc, voc_cut, "a.voc"), 0);
}

}  // namespace
}  // namespace orbisto
