// MIDI playing times worked out from the file: the fixtures against the
// length another program computes, tempo maps, time code, the three song
// formats, and damaged files that must give nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "fileinfo/reader_run.h"

namespace orbisto {
namespace {

using test::fixture;
using test::ReaderRun;
using namespace std::string_literals;

std::string midi_vlq_text(std::uint32_t n) {
    std::string out(1, static_cast<char>(n & 0x7F));
    while (n >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (n & 0x7F)));
    return out;
}
std::string midi_be(std::uint32_t v, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(v >> (8 * i));
    return out;
}
std::string midi_chunk(const char* tag, const std::string& data) {
    return tag + midi_be(static_cast<std::uint32_t>(data.size()), 4) + data;
}
std::string midi_meta(std::uint32_t delta, int type, const std::string& data) {
    return midi_vlq_text(delta) + '\xFF' + static_cast<char>(type) +
           midi_vlq_text(static_cast<std::uint32_t>(data.size())) + data;
}
std::string midi_tempo(std::uint32_t delta, std::uint32_t us) {
    return midi_meta(delta, 0x51, midi_be(us, 3));
}
std::string midi_end(std::uint32_t delta) {
    return midi_meta(delta, 0x2F, "");
}
std::string midi_note(std::uint32_t delta) {
    return midi_vlq_text(delta) + "\x90\x3C\x64";
}
std::string midi_song(std::uint16_t format, std::uint16_t division,
                      const std::vector<std::string>& tracks) {
    std::string s = midi_chunk("MThd", midi_be(format, 2) +
                                           midi_be(static_cast<std::uint32_t>(tracks.size()), 2) +
                                           midi_be(division, 2));
    for (const std::string& t : tracks) s += midi_chunk("MTrk", t);
    return s;
}
std::vector<std::uint8_t> midi_bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

// The playing times the recipe wrote next to the fixtures, in seconds.
std::map<std::string, double> midi_reference_lengths() {
    std::map<std::string, double> out;
    std::ifstream in(fixture("sound_ffprobe.txt"));
    std::string file;
    double seconds = 0;
    while (in >> file >> seconds) out[file] = seconds;
    return out;
}

TEST(MidiInfo, FixturesAgreeWithTheReferenceLengthInBothLanguages) {
    const std::map<std::string, double> lengths = midi_reference_lengths();
    for (const char* file : {"sound-tempo-change.mid", "sound-tempo-change.rmi"}) {
        SCOPED_TRACE(file);
        ASSERT_EQ(lengths.count(file), 1u);
        ReaderRun r;
        ASSERT_EQ(r.collect(fixture(file)), 1);
        EXPECT_NEAR(r.result.length_tenths / 10.0, lengths.at(file), 0.1);
        EXPECT_EQ(r.result.info_text, "Midi-Sound 00:00:01,5 (c) 2026 Orbisto fixtures");
        r.options.language = Language::English;
        ASSERT_EQ(r.collect(fixture(file)), 1);
        EXPECT_EQ(r.result.info_text, "midi-sound 00:00:01,5 (c) 2026 Orbisto fixtures");
        // Switched off together with the multimedia service.
        r.options.no_mci = true;
        EXPECT_EQ(r.collect(fixture(file)), 0);
        EXPECT_EQ(r.result.info_text, "");
    }
}

TEST(MidiInfo, LengthsThroughTempoMapsTimeCodeAndSongFormats) {
    // Track A: 120 bpm, at tick 480 a change to 60 bpm, ends at 960.
    const std::string a = midi_tempo(0, 500000) + midi_tempo(480, 1000000) + midi_end(480);
    // Track B: 240 bpm, ends at 960; track C: no tempo, a note at 1440.
    const std::string b = midi_tempo(0, 250000) + midi_end(960);
    const std::string c = midi_note(1440);
    struct Case {
        const char* what;
        std::string song;
        std::int32_t tenths;
    } const cases[] = {
        {"no tempo: 120 bpm", midi_song(0, 480, {midi_note(960) + midi_end(0)}), 10},
        {"tempo change", midi_song(0, 480, {a}), 15},
        // Format 1: one map for all tracks, whichever holds the tempo.
        {"map from a later track", midi_song(1, 480, {c, a}), 25},
        {"later track at the same tick wins",
         midi_song(1, 480, {midi_tempo(0, 1000000) + midi_end(480), b}), 5},
        // Format 2: every track its own song with its own map.
        {"format 2 takes the longest", midi_song(2, 480, {b, c}), 15},
        {"format 1 of the same tracks", midi_song(1, 480, {b, c}), 7},
        // 25 frames of 40 ticks: 1000 ticks a second; tempo does not apply.
        {"time code 25 fps", midi_song(1, 0xE728, {midi_tempo(0, 250000) + midi_note(2500)}), 25},
        {"time code 29.97 fps", midi_song(0, 0xE364, {midi_note(29970)}), 100},
        // The end of the track counts, not its last note; bytes after it do not.
        {"end of track after the note",
         midi_song(0, 480, {midi_note(0) + midi_end(1920) + midi_note(9600)}), 20},
        {"running status across meta and sysex",
         midi_song(0, 96,
                   {midi_note(0) + midi_meta(0, 1, "x") + midi_vlq_text(96) + "\x3C\x00"s +
                    midi_vlq_text(0) + "\xF0\x02\x7E\xF7" + midi_vlq_text(96) + "\x3C\x40" +
                    midi_vlq_text(48) + "\xC0\x05"}),
         12},
        {"foreign chunk between tracks",
         midi_chunk("MThd", midi_be(1, 2) + midi_be(2, 2) + midi_be(480, 2)) +
             midi_chunk("MTrk", midi_end(480)) + midi_chunk("XFIH", "abc") +
             midi_chunk("MTrk", midi_note(960)),
         10},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ReaderRun r;
        ASSERT_EQ(r.run(ExtractMidi, midi_bytes(k.song), "a.mid"), 1);
        EXPECT_EQ(r.result.length_tenths, k.tenths);
    }
}

TEST(MidiInfo, CopyrightOfTheFirstTrackOnly) {
    const std::string song = midi_song(1, 480,
                                       {midi_meta(0, 3, "Name") + midi_meta(0, 2, "First") +
                                            midi_meta(0, 2, "Second") + midi_end(480),
                                        midi_meta(0, 2, "Other track") + midi_end(0)});
    ReaderRun r;
    ASSERT_EQ(r.run(ExtractMidi, midi_bytes(song), "a.mid"), 1);
    EXPECT_EQ(r.result.scratch_text, "First");

    ASSERT_EQ(r.run(ExtractMidi, midi_bytes(midi_song(1, 480, {midi_end(0), midi_meta(0, 2, "x")})),
                    "a.mid"),
              1);
    EXPECT_EQ(r.result.scratch_text, "");
    ASSERT_EQ(r.collect(midi_bytes(midi_song(0, 480, {midi_end(480)})), "a.mid"), 1);
    EXPECT_EQ(r.result.info_text, "Midi-Sound 00:00:00,5 ");

    const std::string text = std::string("zero\0after", 10);
    ASSERT_EQ(r.run(ExtractMidi, midi_bytes(midi_song(0, 480, {midi_meta(0, 2, text)})), "a.mid"),
              1);
    EXPECT_EQ(r.result.scratch_text, "zero");
    ASSERT_EQ(
        r.run(ExtractMidi, midi_bytes(midi_song(0, 480, {midi_meta(0, 2, std::string(5000, 'c'))})),
              "a.mid"),
        1);
    EXPECT_EQ(r.result.scratch_text, std::string(4040, 'c'));
}

TEST(MidiInfo, DamagedSongsGiveNothing) {
    const std::string good =
        midi_song(1, 480, {midi_tempo(0, 400000) + midi_end(480), midi_note(960)});
    std::string lying_track = good;
    lying_track[good.size() - 8] = '\x7F';  // the last track's length, far beyond the file
    std::string lying_header = good;
    lying_header[7] = '\x7F';
    const std::string cases[] = {
        lying_track,
        lying_header,
        midi_song(0, 480, {midi_vlq_text(0) + "\x3C\x40"}),  // running status without a status
        midi_song(0, 480, {"\x80\x80\x80\x80\x00\x90\x3C\x40"s}),  // five-byte quantity
        midi_song(0, 480,
                  {midi_vlq_text(0) + "\xFF\x01\x10"
                                      "abc"}),                   // meta longer than the track
        midi_song(0, 480, {midi_vlq_text(0) + "\xF0\x7F\x01"}),  // sysex longer than the track
        midi_song(0, 480, {midi_vlq_text(0) + "\xF8"}),          // real-time byte
        midi_song(0, 480, {midi_note(0) + midi_vlq_text(0)}),    // a delta without its event
        midi_song(0, 0, {midi_end(0)}),                          // no ticks per quarter
        midi_song(3, 480, {midi_end(0)}),
        midi_song(1, 480, {}),
        "RIFF\x10\0\0\0RMIDdata\xFF\0\0\0"s + good,  // data chunk beyond the file
        "RIFF\x10\0\0\0RMIDLIST\x02\0\0\0ab"s,       // no data chunk
        "MTrk" + good.substr(4),
    };
    for (const std::string& bytes : cases) {
        ReaderRun r;
        EXPECT_EQ(r.run(ExtractMidi, midi_bytes(bytes), "a.mid"), 0)
            << testing::PrintToString(bytes);
    }
    // Every cut of the fixtures, whose last track runs to the end of the file.
    for (const char* file : {"sound-tempo-change.mid", "sound-tempo-change.rmi"}) {
        const std::vector<std::uint8_t> bytes = test::file_bytes(fixture(file));
        ReaderRun r;
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + n);
            EXPECT_EQ(r.run(ExtractMidi, cut, file), 0) << file << " cut to " << n;
        }
    }
}

TEST(MidiInfo, HugeSongsAreCappedNotWrapped) {
    // At the slowest tempo and one tick per quarter, a song that ends just
    // past 2^64 / tempo ticks: wrapped round, its length would be 16.7 s.
    std::string track = midi_tempo(0, 0xFFFFFF);
    for (int i = 0; i < 4096; ++i) track += midi_note(0x0FFFFFFF);
    track += midi_note((1u << 16) + 1 + 4096);
    ReaderRun r;
    ASSERT_EQ(r.run(ExtractMidi, midi_bytes(midi_song(0, 1, {track})), "a.mid"), 1);
    EXPECT_EQ(r.result.length_tenths, std::numeric_limits<std::int32_t>::max());

    // A file above the 16 MiB the reader reads is left alone, even a song.
    std::vector<std::uint8_t> big = midi_bytes(midi_song(0, 480, {midi_end(480)}));
    ASSERT_EQ(r.run(ExtractMidi, big, "a.mid"), 1);
    big.resize((16u << 20) + 1);
    EXPECT_EQ(r.run(ExtractMidi, big, "a.mid"), 0);
}

}  // namespace
}  // namespace orbisto
