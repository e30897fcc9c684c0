// WAV, VOC and tracker-module titles: the fixtures through the whole
// dispatch in both languages, the format rules on bytes built here, and
// every cut of a header giving no information.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fileinfo/reader_run.h"
#include "platform/byte_io.h"

namespace orbisto {
namespace {

using test::fixture;
using test::ReaderRun;

std::vector<std::uint8_t> sound_bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

// The 36 bytes a WAV header of this format tag and layout starts with.
std::vector<std::uint8_t> sound_wav_header(std::uint16_t tag, std::uint16_t channels,
                                           std::uint32_t rate, std::uint16_t bits) {
    ByteWriter w;
    w.put("RIFF", 4);
    w.u32le(1000);
    w.put("WAVEfmt ", 8);
    w.u32le(16);
    w.u16le(tag);
    w.u16le(channels);
    w.u32le(rate);
    w.u32le(rate * channels * bits / 8);
    w.u16le(static_cast<std::uint16_t>(channels * bits / 8));
    w.u16le(bits);
    return w.buffer();
}

// A VOC file header (26 bytes) followed by the given blocks.
std::vector<std::uint8_t> sound_voc(const std::vector<std::uint8_t>& blocks) {
    std::string v("Creative Voice File\x1a\x1a\x00\x0a\x01\x29\x11", 26);
    for (const std::uint8_t b : blocks) v += static_cast<char>(b);
    return sound_bytes(v);
}

TEST(SoundInfo, FixturesGiveTheirTextsInBothLanguages) {
    struct Case {
        const char* file;
        const char* german;  // empty: no text
        const char* english;
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
        // 20 of the 28 title bytes are read.
        {"sound-title.s3m", "S3M-Sound Orbisto S3M with a l", "S3M-sound Orbisto S3M with a l"},
        // All 50 bytes: signature, module name, end-of-text byte, tracker.
        {"sound-title.xm",
         "XM-Sound Extended Module: Orbisto XM fixture 1\x1a"
         "FastTracker ",
         "XM-sound Extended Module: Orbisto XM fixture 1\x1a"
         "FastTracker "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        for (const Language lang : {Language::German, Language::English}) {
            ReaderRun r;
            r.options.language = lang;
            const std::string want = lang == Language::German ? c.german : c.english;
            EXPECT_EQ(r.collect(fixture(c.file)), want.empty() ? 0 : 1);
            EXPECT_EQ(r.result.info_text, want);
        }
    }
}

TEST(SoundInfo, WavOnlyPlainPcmWithOneOrTwoChannels) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        int reader;     // what ExtractWav returns
        int collected;  // what the dispatch returns
    } const cases[] = {
        {sound_wav_header(1, 1, 8000, 16), 1, 1},
        {sound_wav_header(1, 6, 48000, 16), 1, 0},  // read, but no text for six channels
        {sound_wav_header(1, 0, 48000, 16), 1, 0},
        {sound_wav_header(2, 2, 44100, 4), 0, 0},  // ADPCM
        {sound_wav_header(0xFFFE, 2, 44100, 16), 0, 0},
    };
    for (const Case& c : cases) {
        ReaderRun r;
        EXPECT_EQ(r.run(ExtractWav, c.bytes, "a.wav"), c.reader);
        EXPECT_EQ(r.collect(c.bytes, "a.wav"), c.collected);
        if (!c.collected) {
            EXPECT_EQ(r.result.info_text, "");
        }
    }
    ReaderRun r;
    ASSERT_EQ(r.run(ExtractWav, sound_wav_header(1, 2, 96000, 24), "a.wav"), 1);
    EXPECT_EQ(r.result.channels, 2);
    EXPECT_EQ(r.result.sample_rate, 96000);
    EXPECT_EQ(r.result.bits_per_sample, 24);
}

TEST(SoundInfo, VocRateFromTheFirstBlockOrTheOneAfterARepeat) {
    struct Case {
        std::vector<std::uint8_t> blocks;
        int rate;  // 0: no information
    } const cases[] = {
        {{1, 2, 0, 0, 165, 0}, 10989},
        {{1, 2, 0, 0, 0, 0}, 3906},
        {{1, 2, 0, 0, 255, 0}, 1000000},
        {{6, 2, 0, 0, 3, 0, 1, 2, 0, 0, 156, 0}, 10000},  // repeat, then the sound
        {{6, 2, 0, 0, 3, 0, 6, 2, 0, 0, 3, 0}, 0},        // only one repeat is passed over
        {{6, 2, 0, 0, 3, 0, 1, 2, 0, 0, 156}, 0},         // cut after the repeat
        {{9, 12, 0, 0, 0x40, 0x1F}, 0},                   // a newer sound block
        {{1, 2, 0, 0, 165}, 0},                           // cut block header
    };
    for (const Case& c : cases) {
        ReaderRun r;
        EXPECT_EQ(r.run(ExtractVoc, sound_voc(c.blocks), "a.voc"), c.rate ? 1 : 0);
        EXPECT_EQ(r.result.sample_rate, c.rate);
    }
    // The signature is compared without its last letter.
    std::vector<std::uint8_t> voc = sound_voc({1, 2, 0, 0, 165, 0});
    voc[18] = 'X';
    ReaderRun r;
    EXPECT_EQ(r.run(ExtractVoc, voc, "a.voc"), 1);
    voc[17] = 'X';
    EXPECT_EQ(r.run(ExtractVoc, voc, "a.voc"), 0);
}

TEST(SoundInfo, ModuleTitlesNeedTheirWholeFieldAndStopAtAZero) {
    struct Case {
        std::string bytes;
        const char* name;
        const char* text;  // empty: no text
    } const cases[] = {
        {std::string("twenty letters exact"), "a.mod", "MOD-Sound twenty letters exact"},
        {std::string("nineteen letters ab"), "a.mod", ""},
        {std::string("short\0title\0\0\0\0\0\0\0\0\0", 20), "a.s3m", "S3M-Sound short"},
        {std::string(20, '\0'), "a.mod", "MOD-Sound "},
        // No signature is tested: the first 50 bytes of an XML document.
        {"<?xml version=\"1.0\"?><catalog><title>Songs</title></catalog>", "data.xml",
         "XM-Sound <?xml version=\"1.0\"?><catalog><title>Songs</title>"},
        {std::string(49, 'x'), "a.xm", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ReaderRun r;
        EXPECT_EQ(r.collect(sound_bytes(c.bytes), c.name), *c.text ? 1 : 0);
        EXPECT_EQ(r.result.info_text, c.text);
    }
}

TEST(SoundInfo, EveryCutOfAHeaderGivesNothing) {
    struct Case {
        const char* file;
        int (*reader)(FileInfoJob&);
        std::size_t needed;  // bytes the reader needs
    } const cases[] = {
        {"sound-mono-22050-8.wav", ExtractWav, 36},
        {"sound-11025.voc", ExtractVoc, 32},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> bytes = test::file_bytes(fixture(c.file));
        ASSERT_GE(bytes.size(), c.needed);
        ReaderRun r;
        for (std::size_t n = 0; n < c.needed; ++n) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + n);
            EXPECT_EQ(r.run(c.reader, cut, c.file), 0) << c.file << " cut to " << n;
        }
        const std::vector<std::uint8_t> enough(bytes.begin(), bytes.begin() + c.needed);
        EXPECT_EQ(r.run(c.reader, enough, c.file), 1) << c.file;
    }
}

}  // namespace
}  // namespace orbisto
