// MIDI playing times worked out from the file: the fixtures against the
// length another program computes, tempo maps, time code, the song formats,
// and damaged files that must give nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "fileinfo/reader_run.h"

namespace orbisto {
namespace {

using test::fixture;
using test::ReaderRun;
using namespace std::string_literals;

std::string midi_vlq(std::uint32_t n) {
    std::string out(1, static_cast<char>(n & 0x7F));
    while (n >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (n & 0x7F)));
    return out;
}
std::string midi_be(std::uint32_t v, int bytes) {
    std::string out;
    while (bytes--) out += static_cast<char>(v >> (8 * bytes));
    return out;
}
std::string midi_chunk(const char* tag, const std::string& data) {
    return tag + midi_be(static_cast<std::uint32_t>(data.size()), 4) + data;
}
std::string midi_meta(std::uint32_t delta, int type, const std::string& data) {
    return midi_vlq(delta) + '\xFF' + static_cast<char>(type) +
           midi_vlq(static_cast<std::uint32_t>(data.size())) + data;
}
std::string midi_tempo(std::uint32_t delta, std::uint32_t us) {
    return midi_meta(delta, 0x51, midi_be(us, 3));
}
std::string midi_end(std::uint32_t delta) {
    return midi_meta(delta, 0x2F, "");
}
std::string midi_note(std::uint32_t delta) {
    return midi_vlq(delta) + "\x90\x3C\x64";
}
std::string midi_song(int format, int division, const std::vector<std::string>& tracks) {
    std::string s =
        midi_chunk("MThd", midi_be(format, 2) + midi_be(static_cast<int>(tracks.size()), 2) +
                               midi_be(division, 2));
    for (const std::string& t : tracks) s += midi_chunk("MTrk", t);
    return s;
}
int midi_run(ReaderRun& r, const std::string& s) {
    return r.run(ExtractMidi, std::vector<std::uint8_t>(s.begin(), s.end()), "a.mid");
}

TEST(MidiInfo, FixturesAgreeWithTheReferenceLengthAndNoMciSwitchesThemOff) {
    for (const char* file : {"sound-tempo-change.mid", "sound-tempo-change.rmi"}) {
        const double seconds = test::ffprobe_seconds("sound_ffprobe.txt", file);
        ReaderRun r;
        ASSERT_EQ(r.collect(fixture(file)), 1);
        EXPECT_NEAR(r.result.length_tenths / 10.0, seconds, 0.1);
        EXPECT_EQ(r.result.info_text, "Midi-Sound 00:00:01,5 (c) 2026 Orbisto fixtures");
        r.options.language = Language::English;
        ASSERT_EQ(r.collect(fixture(file)), 1);
        EXPECT_EQ(r.result.info_text, "midi-sound 00:00:01,5 (c) 2026 Orbisto fixtures");
        r.options.no_mci = true;
        EXPECT_EQ(r.collect(fixture(file)), 0);
    }
}

TEST(MidiInfo, LengthsThroughTempoMapsTimeCodeAndSongFormats) {
    // A: 120 bpm, at tick 480 60 bpm, ends at 960 (1.5 s alone). B: 240 bpm,
    // ends at 960. C: no tempo, a note at 1440.
    const std::string a = midi_tempo(0, 500000) + midi_tempo(480, 1000000) + midi_end(480);
    const std::string b = midi_tempo(0, 250000) + midi_end(960);
    const std::string c = midi_note(1440);
    const struct {
        std::string song;
        std::int32_t tenths;
    } cases[] = {
        {midi_song(0, 480, {a}), 15},
        {midi_song(1, 480, {c, a}), 25},  // one map, whichever track holds it
        {midi_song(1, 480, {midi_tempo(0, 1000000) + midi_end(480), b}), 5},  // later track wins
        {midi_song(2, 480, {b, c}), 15},  // every track its own song: the longest
        {midi_song(1, 480, {b, c}), 7},
        {midi_song(1, 0xE728, {midi_tempo(0, 250000) + midi_note(2500)}), 25},  // 25 fps x 40
        {midi_song(0, 0xE364, {midi_note(29970)}), 100},                        // 29.97 fps x 100
        {midi_song(0, 480, {midi_note(0) + midi_end(1920) + midi_note(9600)}), 20},
        // Running status across meta and sysex events.
        {midi_song(0, 96,
                   {midi_note(0) + midi_meta(0, 1, "x") + midi_vlq(96) + "\x3C\0"s + midi_vlq(0) +
                    "\xF0\x02\x7E\xF7" + midi_vlq(96) + "\x3C\x40"}),
         10},
        {midi_chunk("MThd", midi_be(1, 2) + midi_be(2, 2) + midi_be(480, 2)) +
             midi_chunk("MTrk", midi_end(480)) + midi_chunk("XFIH", "abc") +
             midi_chunk("MTrk", midi_note(960)),
         10},
    };
    for (const auto& k : cases) {
        ReaderRun r;
        ASSERT_EQ(midi_run(r, k.song), 1) << testing::PrintToString(k.song);
        EXPECT_EQ(r.result.length_tenths, k.tenths) << testing::PrintToString(k.song);
    }
}

TEST(MidiInfo, CopyrightOfTheFirstTrackOnlyAndCut) {
    ReaderRun r;
    ASSERT_EQ(midi_run(r, midi_song(1, 480,
                                    {midi_meta(0, 2, "First") + midi_meta(0, 2, "Second"),
                                     midi_meta(0, 2, "Other")})),
              1);
    EXPECT_EQ(r.result.scratch_text, "First");
    ASSERT_EQ(midi_run(r, midi_song(1, 480, {midi_end(0), midi_meta(0, 2, "x")})), 1);
    EXPECT_EQ(r.result.scratch_text, "");
    ASSERT_EQ(midi_run(r, midi_song(0, 480, {midi_meta(0, 2, std::string(5000, 'c'))})), 1);
    EXPECT_EQ(r.result.scratch_text, std::string(4040, 'c'));
}

TEST(MidiInfo, DamagedSongsGiveNothing) {
    const std::string good =
        midi_song(1, 480, {midi_tempo(0, 400000) + midi_end(480), midi_note(960)});
    std::string lying_track = good, lying_header = good;
    lying_track[good.size() - 8] = '\x7F';  // the last track's length, beyond the file
    lying_header[7] = '\x7F';
    const std::string cases[] = {
        lying_track,
        lying_header,
        midi_song(0, 480, {midi_vlq(0) + "\x3C\x40"}),           // running status without a status
        midi_song(0, 480, {"\x80\x80\x80\x80\0\x90\x3C\x40"s}),  // five-byte quantity
        midi_song(0, 480,
                  {midi_vlq(0) + "\xFF\x01\x10"
                                 "abc"}),                 // meta longer than the track
        midi_song(0, 480, {midi_vlq(0) + "\xF8"}),        // real-time byte
        midi_song(0, 480, {midi_note(0) + midi_vlq(0)}),  // a delta without its event
        midi_song(0, 0, {midi_end(0)}),
        midi_song(3, 480, {midi_end(0)}),
        midi_song(1, 480, {}),
        "RIFF\x10\0\0\0RMIDdata\xFF\0\0\0"s + good,  // data chunk beyond the file
    };
    ReaderRun r;
    for (const std::string& bytes : cases) {
        EXPECT_EQ(midi_run(r, bytes), 0) << testing::PrintToString(bytes);
    }
    for (const char* file : {"sound-tempo-change.mid", "sound-tempo-change.rmi"}) {
        const std::vector<std::uint8_t> bytes = test::file_bytes(fixture(file));
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + n);
            EXPECT_EQ(r.run(ExtractMidi, cut, file), 0) << file << " cut to " << n;
        }
    }
}

TEST(MidiInfo, HugeSongsAreCappedNotWrappedAndHugeFilesNotRead) {
    // One tick per quarter at the slowest tempo, ending just past 2^64 /
    // tempo ticks: wrapped round, the length would be 16.7 s.
    std::string track = midi_tempo(0, 0xFFFFFF);
    for (int i = 0; i < 4096; ++i) track += midi_note(0x0FFFFFFF);
    track += midi_note((1u << 16) + 1 + 4096);
    ReaderRun r;
    ASSERT_EQ(midi_run(r, midi_song(0, 1, {track})), 1);
    EXPECT_EQ(r.result.length_tenths, std::numeric_limits<std::int32_t>::max());

    std::string big = midi_song(0, 480, {midi_end(480)});
    ASSERT_EQ(midi_run(r, big), 1);
    big.resize((16u << 20) + 1);  // above the 16 MiB the reader reads
    EXPECT_EQ(midi_run(r, big), 0);
}

}  // namespace
}  // namespace orbisto
