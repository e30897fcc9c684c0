#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "fileinfo/id3_genres.h"
#include "reader_run.h"
#include "settings/log.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using Bytes = std::vector<std::uint8_t>;

void add(Bytes& b, std::string_view s) {
    b.insert(b.end(), s.begin(), s.end());
}
void add(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

Bytes be32(std::uint32_t v) {
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}
Bytes synchsafe(std::uint32_t v) {
    return {std::uint8_t((v >> 21) & 0x7F), std::uint8_t((v >> 14) & 0x7F),
            std::uint8_t((v >> 7) & 0x7F), std::uint8_t(v & 0x7F)};
}

// A frame of a version 2.3 or 2.4 tag: identifier, size, two flag bytes.
Bytes frame(std::string_view id, const Bytes& payload, int version = 3) {
    Bytes b;
    add(b, id);
    add(b, version == 4 ? synchsafe(std::uint32_t(payload.size()))
                        : be32(std::uint32_t(payload.size())));
    add(b, Bytes{0, 0});
    add(b, payload);
    return b;
}
// A text frame with encoding byte 0 (Latin-1) unless the text brings its own.
Bytes text(std::string_view id, std::string_view s, int version = 3) {
    Bytes p{0};
    add(p, s);
    return frame(id, p, version);
}
Bytes tag(int version, const std::vector<Bytes>& frames, std::size_t padding = 0) {
    Bytes body;
    for (const Bytes& f : frames) add(body, f);
    body.resize(body.size() + padding, 0);
    Bytes b;
    add(b, "ID3");
    add(b, Bytes{std::uint8_t(version), 0, 0});
    add(b, synchsafe(std::uint32_t(body.size())));
    add(b, body);
    return b;
}
// An MPEG audio frame header and zero bytes behind it.
Bytes audio(std::uint8_t b1 = 0xFB, std::uint8_t b2 = 0x90, std::uint8_t b3 = 0x44,
            std::size_t n = 1024) {
    Bytes b{0xFF, b1, b2, b3};
    b.resize(n, 0);
    return b;
}

// The reader on bytes with the length the scanner would pass.
int run_sized(test::ReaderRun& r, const Bytes& bytes, std::uint64_t size_bytes) {
    r.result.clear();
    MemorySource src(bytes);
    FileInfoJob job{r.options, r.session, src, "a.mp3", size_bytes, r.result, nullptr};
    return ExtractMp3(job);
}

// The text after "MP3-Sound\r\n" of a tag block with these fields.
std::string block(const std::string& artist, const std::string& album, const std::string& title,
                  const std::string& year, const std::string& genre,
                  const std::string& cover = "none") {
    return "Artist\t:" + artist + "\r\nAlbum\t:" + album + "\r\nTitle\t:" + title +
           "\r\nYear\t:" + year + "\r\nGenre\t:" + genre + "\r\nCover\t:" + cover + "\r\n\r\n";
}
const std::string kCbr32 = "mpeg\t:1.0\r\nbitrate\t:32 kbit/s\r\nfreq\t:32.000 Hz\r\n";
const std::string kLameBlock = block("Some Artist", "An Album", "Tiny Title", "1999", "Rock");

std::map<std::string, double> ffprobe_seconds() {
    std::ifstream in(test::fixture("mp3_ffprobe.txt"));
    std::map<std::string, double> out;
    std::string name;
    double s = 0;
    while (in >> name >> s) out[name] = s;
    return out;
}

// Real files made by lame and ffmpeg, through the whole dispatch. The MP3
// text is the same in both languages.
TEST(Mp3Info, FixturesGiveTheirFullTextInBothLanguages) {
    struct Case {
        const char* file;
        std::string text;
        std::uint32_t kbps, seconds;
    };
    const Case cases[] = {
        {"mp3_cbr_v23.mp3", kLameBlock + kCbr32 + "mode\t:joint Stereo\r\nlength\t:00:00:02,0", 32,
         2},
        // The version-1 tag of the same file is read only without a version-2 text.
        {"mp3_v1only.mp3", kLameBlock + kCbr32 + "mode\t:joint Stereo\r\nlength\t:00:00:02,0", 32,
         2},
        // The cover stays "none" while no image reader understands it; the
        // frames before it are read all the same.
        {"mp3_cover.mp3", kLameBlock + kCbr32 + "mode\t:joint Stereo\r\nlength\t:00:00:02,0", 32,
         2},
        {"mp3_mono.mp3", kCbr32 + "mode\t:mono\r\nlength\t:00:00:02,0", 32, 2},
        {"mp3_vbr.mp3",
         kLameBlock + "mpeg\t:1.0\r\nbitrate\t:VBR 37 kbit/s\r\nfreq\t:32.000 Hz\r\n" +
             "mode\t:joint Stereo\r\nlength\t:00:00:02,0",
         37, 2},
        {"mp3_mpeg2.mp3", "mpeg\t:2.0\r\nbitrate\t:16 kbit\r\nfreq\t:16.000Hz\r\nmode\t:mono", 16,
         0},
        // ffmpeg's tags: UTF-8 text (version 2.4) stays, UTF-16 text (2.3)
        // loses its zero bytes and is read as Latin-1. Its "Info" frame is
        // neither Xing nor VBRI, so its own bitrate (48) times the file.
        {"mp3_v24_utf8.mp3",
         block("Künstler", "Straße", "Grüße", "", "Rock") +
             "mpeg\t:1.0\r\nbitrate\t:48 kbit/s\r\nfreq\t:32.000 Hz\r\nmode\t:Stereo\r\n" +
             "length\t:00:00:01,0",
         48, 1},
        {"mp3_v23_utf16.mp3",
         block("Künstler", "Plain", "Grüße", "", "(17) Rock") +
             "mpeg\t:1.0\r\nbitrate\t:48 kbit/s\r\nfreq\t:32.000 Hz\r\nmode\t:Stereo\r\n" +
             "length\t:00:00:01,0",
         48, 1},
    };
    for (const Case& c : cases) {
        for (const Language lang : {Language::German, Language::English}) {
            test::ReaderRun r;
            r.options.language = lang;
            ASSERT_EQ(r.collect(test::fixture(c.file)), 1) << c.file;
            EXPECT_EQ(r.result.info_text, "MP3-Sound\r\n" + c.text) << c.file;
            EXPECT_EQ(r.result.mp3_bitrate_kbps, c.kbps) << c.file;
            EXPECT_EQ(r.result.mp3_length_s, c.seconds) << c.file;
            EXPECT_EQ(r.result.length_tenths, std::int32_t(c.seconds)) << c.file;
        }
    }
}

// Whole seconds, so within a second of what ffprobe measures for the files
// whose first frame is a real audio frame or a Xing header.
TEST(Mp3Info, PlayingTimesAgreeWithFfprobe) {
    const auto probe = ffprobe_seconds();
    for (const char* file :
         {"mp3_cbr_v23.mp3", "mp3_v1only.mp3", "mp3_cover.mp3", "mp3_mono.mp3", "mp3_vbr.mp3"}) {
        test::ReaderRun r;
        ASSERT_EQ(r.collect(test::fixture(file)), 1) << file;
        ASSERT_TRUE(probe.count(file)) << file;
        EXPECT_LT(std::fabs(r.result.mp3_length_s - probe.at(file)), 1.0) << file;
    }
}

TEST(Mp3Info, ConstantBitrateLengthComesFromTheFileSize) {
    test::ReaderRun r;
    // 128 kbit/s, 44.1 kHz, joint stereo, no version-2 tag: 4,000,000 bytes
    // of sound after the 128 bytes always taken off.
    ASSERT_EQ(run_sized(r, audio(0xFB, 0x90, 0x44), 4000128), 1);
    EXPECT_EQ(r.result.scratch_text,
              "mpeg\t:1.0\r\nbitrate\t:128 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:joint Stereo"
              "\r\nlength\t:00:04:10,0");
    EXPECT_EQ(r.result.mp3_length_s, 250u);
    EXPECT_EQ(r.result.mp3_bitrate_kbps, 128u);

    // A version-2 tag's body counts against the size, its 10-byte header not.
    Bytes tagged = tag(3, {text("TIT2", "T")}, 988);  // body of 1000 bytes
    add(tagged, audio());
    ASSERT_EQ(run_sized(r, tagged, 4000128 + 1000 + 16000), 1);
    EXPECT_EQ(r.result.mp3_length_s, 251u);

    // Too small for the 128 bytes: no length, the bitrate still counts.
    ASSERT_EQ(run_sized(r, audio(), 100), 1);
    EXPECT_EQ(r.result.mp3_length_s, 0u);
    EXPECT_EQ(r.result.length_tenths, 0);
    EXPECT_EQ(r.result.mp3_bitrate_kbps, 128u);
    EXPECT_EQ(r.result.scratch_text.find("length"), std::string::npos);

    // Hours: 32 kbit/s for 14,400,000 bytes is 3600 s.
    ASSERT_EQ(run_sized(r, audio(0xFB, 0x18, 0x44), 14400128), 1);
    EXPECT_NE(r.result.scratch_text.find("\r\nlength\t:01:00:00,0"), std::string::npos);
}

// Frame headers: version, layer, bitrate index, sampling and mode bits, and
// the Xing header at its place for each.
TEST(Mp3Info, FrameHeadersAndVbrHeaders) {
    struct Case {
        const char* what;
        Bytes head;           // the first bytes of the sound
        std::size_t mark_at;  // where `mark` goes (0: nowhere)
        std::string mark;     // "Xing" + flags + counts, or another word
        std::string text;     // the text after the mpeg line
        std::uint32_t kbps, seconds;
    };
    auto xing = [](std::uint32_t flags, std::uint32_t frames, std::uint32_t bytes) {
        Bytes b;
        add(b, "Xing");
        add(b, be32(flags));
        if (flags & 1) add(b, be32(frames));
        if (flags & 2) add(b, be32(bytes));
        return std::string(b.begin(), b.end());
    };
    const std::string x5000 = xing(3, 5000, 5000 * 417);
    const Case cases[] = {
        {"Xing 5000 frames",
         {0xFF, 0xFB, 0x90, 0x44},
         36,
         x5000,
         "bitrate\t:VBR 127 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:joint Stereo\r\n"
         "length\t:00:02:11,0",
         127,
         131},
        {"mono: Xing at 21",
         {0xFF, 0xFB, 0x90, 0xC4},
         21,
         x5000,
         "bitrate\t:VBR 127 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:mono\r\nlength\t:00:02:11,0",
         127,
         131},
        {"mono with Xing at 36",
         {0xFF, 0xFB, 0x90, 0xC4},
         36,
         x5000,
         " VBR \r\nfreq\t:44.100 Hz\r\nmode\t:mono",
         0,
         0},
        {"48 kHz, frames only",
         {0xFF, 0xFB, 0x94, 0x00},
         36,
         xing(1, 4800, 0),
         "bitrate\t:VBR 0 kbit/s\r\nfreq\t:48.000 Hz\r\nmode\t:Stereo\r\nlength\t:00:01:55,0",
         0,
         115},
        {"VBRI is variable too",
         {0xFF, 0xFB, 0x98, 0x80},
         36,
         "VBRI",
         " VBR \r\nfreq\t:32.000 Hz\r\nmode\t:2-Kanal",
         0,
         0},
        {"lower-case xing is VBR without a header",
         {0xFF, 0xFB, 0x90, 0x44},
         36,
         "xing",
         " VBR \r\nfreq\t:44.100 Hz\r\nmode\t:joint Stereo",
         0,
         0},
        {"layer I",
         {0xFF, 0xFF, 0x40, 0x00},
         0,
         "",
         "bitrate\t:128 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:Stereo",
         128,
         0},
        {"layer II",
         {0xFF, 0xFD, 0xE0, 0x00},
         0,
         "",
         "bitrate\t:384 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:Stereo",
         384,
         0},
        {"no layer",
         {0xFF, 0xF9, 0x90, 0x00},
         0,
         "",
         "bitrate\t:0 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:Stereo",
         0,
         0},
        {"reserved sampling",
         {0xFF, 0xFB, 0x9C, 0x00},
         0,
         "",
         "bitrate\t:128 kbit/s\r\nfreq\t:99.999 Hz\r\nmode\t:Stereo",
         128,
         0},
    };
    for (const Case& c : cases) {
        Bytes b = c.head;
        b.resize(1024, 0);
        if (c.mark_at) std::copy(c.mark.begin(), c.mark.end(), b.begin() + c.mark_at);
        test::ReaderRun r;
        // Short enough for the constant-bitrate rows to have no length.
        ASSERT_EQ(run_sized(r, b, 100), 1) << c.what;
        EXPECT_EQ(r.result.scratch_text, "mpeg\t:1.0\r\n" + c.text) << c.what;
        EXPECT_EQ(r.result.mp3_bitrate_kbps, c.kbps) << c.what;
        EXPECT_EQ(r.result.mp3_length_s, c.seconds) << c.what;
    }
}

TEST(Mp3Info, Mpeg2HasNoPlayingTime) {
    struct Case {
        Bytes head;
        std::string text;
        std::uint32_t kbps;
    };
    const Case cases[] = {
        {{0xFF, 0xF3, 0x80, 0xC4}, "bitrate\t:64 kbit\r\nfreq\t:22.050Hz\r\nmode\t:mono", 64},
        {{0xFF, 0xF3, 0x84, 0x40},
         "bitrate\t:64 kbit\r\nfreq\t:24.000Hz\r\nmode\t:joint Stereo",
         64},
        {{0xFF, 0xF7, 0x88, 0x00}, "bitrate\t:128 kbit\r\nfreq\t:16.000Hz\r\nmode\t:Stereo", 128},
        {{0xFF, 0xF3, 0x1C, 0x80}, "bitrate\t:8 kbit\r\nfreq\t:\r\nmode\t:2-Kanal", 8},
    };
    for (const Case& c : cases) {
        Bytes b = c.head;
        b.resize(1024, 0);
        test::ReaderRun r;
        ASSERT_EQ(run_sized(r, b, 4000128), 1);
        EXPECT_EQ(r.result.scratch_text, "mpeg\t:2.0\r\n" + c.text);
        EXPECT_EQ(r.result.mp3_bitrate_kbps, c.kbps);
        EXPECT_EQ(r.result.mp3_length_s, 0u);
        EXPECT_EQ(r.result.length_tenths, 0);
    }
}

TEST(Mp3Info, GenreNumbersInParentheses) {
    const std::pair<const char*, const char*> cases[] = {
        {"(17)", "Rock"},
        {"(17) Rock", "(17) Rock"},
        {"(255)", "(255"},
        {"(67)", "Psychadelic"},
        {"(119)", "freestyle"},
        {"(125)", "Dance Hall"},
        {"(0)", "Blues"},
        {"(126)", ""},
        {"(199)", ""},
        {"(200)", "(200"},
        {"(-1)", "(-1"},
        {"Rock", "Rock"},
        // No number: "(RX)" is no entry of the table (not genre 0, Blues).
        {"(RX)", "(RX"},
        {"()", "("},
    };
    for (const auto& [genre, shown] : cases) {
        Bytes b = tag(3, {text("TCON", genre)});
        add(b, audio());
        test::ReaderRun r;
        ASSERT_EQ(r.run(ExtractMp3, b, "a.mp3"), 1) << genre;
        EXPECT_EQ(r.result.scratch_text.substr(0, r.result.scratch_text.find("mpeg")),
                  block("", "", "", "", shown))
            << genre;
    }
    EXPECT_EQ(id3_genre_name(40), "AlternRock");
    EXPECT_EQ(id3_genre_name(123), "A capella");
    EXPECT_EQ(id3_genre_name(-1), "");
}

// The frame walk: identifiers, sizes by version, encodings, the cut, the step.
TEST(Mp3Info, VersionTwoFrameWalk) {
    const std::string long_text(299, 'a');
    Bytes utf16{1, 0xFF, 0xFE};
    for (char c : std::string("Abc")) add(utf16, Bytes{std::uint8_t(c), 0});
    struct Case {
        const char* what;
        Bytes file;
        std::string block;
    };
    const Case cases[] = {
        // A 300-byte frame: a plain size in 2.3 and a synchsafe one in 2.4;
        // the text is cut to 250 bytes (the encoding byte among them).
        {"2.3 size", tag(3, {text("TIT2", long_text), text("TPE1", "Next")}),
         block("Next", "", std::string(249, 'a'), "", "")},
        {"2.4 size", tag(4, {text("TIT2", long_text, 4), text("TPE1", "Next", 4)}),
         block("Next", "", std::string(249, 'a'), "", "")},
        {"UTF-16 with BOM", tag(3, {frame("TALB", utf16)}), block("", "Abc", "", "", "")},
        // Bytes below 0x20 go, a later frame replaces the earlier text, and
        // a frame that copies nothing keeps it.
        {"replace and keep",
         tag(3, {text("TYER",
                      "19\x01"
                      "99"),
                 text("TIT2", "Old"), text("TIT2", "New"), text("TPE1", "Kept"),
                 text("TPE1", "\x01\x02")}),
         block("Kept", "", "New", "1999", "")},
        // Composer matches "TCO": its 16-bit size is 0, so nothing is copied,
        // but the tag has text and the version-1 tag is not read.
        {"TCOM alone", tag(3, {text("TCOM", "Bach")}), block("", "", "", "", "")},
        // Padding ends the walk: a frame behind it is not read.
        {"padding",
         [] {
             Bytes t = tag(3, {text("TIT2", "One")}, 20);
             Bytes more = text("TPE1", "Lost");
             t.insert(t.end(), more.begin(), more.end());
             t[9] = std::uint8_t(t.size() - 10);
             return t;
         }(),
         block("", "", "One", "", "")},
        // Version 2.2: 6-byte headers, stepped by their own 24-bit size.
        {"2.2 frames",
         [] {
             Bytes body;
             for (auto [id, s] : {std::pair{"TT2", "Title"}, {"TP1", "Artist"}, {"TAL", "Album"}}) {
                 add(body, id);
                 add(body, Bytes{0, 0, std::uint8_t(std::strlen(s) + 1), 0});
                 add(body, s);
             }
             Bytes t{'I', 'D', '3', 2, 0, 0};
             add(t, synchsafe(std::uint32_t(body.size())));
             add(t, body);
             return t;
         }(),
         block("Artist", "Album", "Title", "", "")},
        // A picture nobody reads leaves the cover "none" and the walk goes on.
        {"APIC then text",
         [] {
             Bytes pic{0};
             add(pic, std::string_view("image/jpeg\0\3desc\0", 18));
             add(pic, Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'});
             return tag(3, {frame("APIC", pic), text("TIT2", "After")});
         }(),
         block("", "", "After", "", "")},
        // A picture frame claiming more than the tag holds.
        {"APIC too long",
         [] {
             Bytes t = tag(3, {text("TIT2", "Before"), frame("APIC", Bytes(40, 'x'))});
             t[10 + 17 + 4] = 0x7F;  // the APIC size's top byte
             return t;
         }(),
         block("", "", "Before", "", "")},
    };
    for (const Case& c : cases) {
        Bytes b = c.file;
        add(b, audio());
        test::ReaderRun r;
        ASSERT_EQ(r.run(ExtractMp3, b, "a.mp3"), 1) << c.what;
        const std::string& s = r.result.scratch_text;
        EXPECT_EQ(s.substr(0, s.find("mpeg")), c.block) << c.what;
        r.options.image_information = false;
        ASSERT_EQ(r.run(ExtractMp3, b, "a.mp3"), 1) << c.what;
        EXPECT_EQ(s.substr(0, s.find("mpeg")), c.block) << c.what;
    }
}

// Latin-1 and UTF-8 text both come out as UTF-8.
TEST(Mp3Info, TagTextEncodingsInTheFinalText) {
    Bytes utf8{3};
    add(utf8,
        "Gr\xC3\xBC\xC3\x9F"
        "e");
    Bytes b = tag(4, {frame("TIT2", utf8, 4)});
    add(b, audio());
    test::ReaderRun r;
    ASSERT_EQ(r.collect(b, "x/song.MP3"), 1);
    EXPECT_NE(r.result.info_text.find("Title\t:Grüße\r\n"), std::string::npos);

    b = tag(3, {text("TIT2",
                     "Stra\xDF"
                     "e")});
    add(b, audio());
    ASSERT_EQ(r.collect(b, "song.mp3"), 1);
    EXPECT_NE(r.result.info_text.find("Title\t:Straße\r\n"), std::string::npos);
}

// Version-1 tag: signed first bytes, trailing trimming, the extended tag.
TEST(Mp3Info, VersionOneTagAndItsExtension) {
    auto v1 = [](const std::string& title, const std::string& artist, const std::string& album,
                 const std::string& year, std::uint8_t genre) {
        Bytes t;
        add(t, "TAG");
        for (const std::string* f : {&title, &artist, &album}) {
            Bytes field(30, 0);
            std::copy(f->begin(), f->end(), field.begin());
            add(t, field);
        }
        Bytes y(4, 0);
        std::copy(year.begin(), year.end(), y.begin());
        add(t, y);
        t.resize(127, 0);
        t.push_back(genre);
        return t;
    };
    auto ext = [](const std::string& title) {
        Bytes t;
        add(t, "TAG+");
        Bytes field(60, ' ');
        std::copy(title.begin(), title.end(), field.begin());
        add(t, field);
        t.resize(227, ' ');
        return t;
    };
    const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    struct Case {
        const char* what;
        Bytes extended;  // the 227 bytes before the tag
        Bytes tag;
        std::string block;
    };
    const Case cases[] = {
        {"extended title continues", ext("more words  "), v1(thirty, "Art  ", "Alb", "2001", 17),
         block("Art", "Alb", thirty + "more words", "2001", "Rock")},
        {"genre 67", Bytes(227, 0), v1("T", "A", "B", "1999", 67),
         block("A", "B", "T", "1999", "Psychadelic")},
        {"genre 255", Bytes(227, 0), v1("T", "A", "B", "1999", 255),
         block("A", "B", "T", "1999", "")},
        {"genre 126", Bytes(227, 0), v1("T", "A", "B", "1999", 126),
         block("A", "B", "T", "1999", "")},
        // A blank, a control byte or a byte of 0x80 first leaves a field
        // empty; bytes of 0x80 and above at the end go like blanks.
        {"first and last bytes", Bytes(227, 0),
         v1(" Blank", "\xC4rger", "Alb\xE9  \x01",
            "\x85"
            "99",
            0),
         block("", "Alb", "", "", "Blues")},
        {"text after a zero byte", Bytes(227, 0), v1(std::string("Ab\0cd", 5), "A", "B", "12", 12),
         block("A", "B", "Ab", "12", "Other")},
    };
    for (const Case& c : cases) {
        Bytes b = audio();
        add(b, c.extended);
        add(b, c.tag);
        test::ReaderRun r;
        ASSERT_EQ(r.run(ExtractMp3, b, "a.mp3"), 1) << c.what;
        const std::string& s = r.result.scratch_text;
        EXPECT_EQ(s.substr(0, s.find("mpeg")), c.block) << c.what;
    }
}

// The frame search reads the first 512 bytes, searches their first half,
// then reads 256 bytes from 2 bytes before the end of the last read; the
// second half of the buffer keeps what the first read left there.
TEST(Mp3Info, FrameSearchWalksIn256ByteSteps) {
    test::ReaderRun r;
    Bytes b(4096, 0);
    std::copy_n(Bytes{0xFF, 0xFB, 0x90, 0x44}.begin(), 4, b.begin() + 100);
    ASSERT_EQ(r.run(ExtractMp3, b, "a.mp3"), 1);
    EXPECT_EQ(r.result.mp3_bitrate_kbps, 128u);

    // Bytes 256 to 509 of the first read are never searched.
    b.assign(4096, 0);
    std::copy_n(Bytes{0xFF, 0xFB, 0x90, 0x44}.begin(), 4, b.begin() + 300);
    EXPECT_EQ(r.run(ExtractMp3, b, "a.mp3"), 0);
    EXPECT_EQ(r.result.mp3_bitrate_kbps, 0u);

    // Found in a later step (file offset 600); "Xing" in the stale half
    // (file offset 300) makes the file variable-bitrate, without a header.
    b.assign(4096, 0);
    std::copy_n(Bytes{0xFF, 0xFB, 0x90, 0x44}.begin(), 4, b.begin() + 600);
    ASSERT_EQ(r.run(ExtractMp3, b, "a.mp3"), 1);
    EXPECT_EQ(r.result.scratch_text.find("VBR"), std::string::npos);
    std::copy_n(std::string("Xing").begin(), 4, b.begin() + 300);
    ASSERT_EQ(r.run(ExtractMp3, b, "a.mp3"), 1);
    EXPECT_NE(r.result.scratch_text.find("\r\n VBR \r\n"), std::string::npos);

    // A sync in the last, incomplete 256 bytes is not reached; nor is one
    // far into a large file missed.
    b.assign(100000, 0);
    std::copy_n(Bytes{0xFF, 0xFB, 0x90, 0x44}.begin(), 4, b.end() - 100);
    EXPECT_EQ(r.run(ExtractMp3, b, "a.mp3"), 0);
    std::copy_n(Bytes{0xFF, 0xFB, 0x90, 0x44}.begin(), 4, b.begin() + 70001);
    EXPECT_EQ(r.run(ExtractMp3, b, "a.mp3"), 1);
}

// Short, truncated and lying files give 0, no text and no statistics.
TEST(Mp3Info, DamagedFilesGiveNothing) {
    Bytes no_audio = tag(3, {text("TIT2", "Only a tag")});
    no_audio.resize(no_audio.size() + 600, 0);
    Bytes liar = tag(3, {text("TIT2", "x")});
    std::copy_n(synchsafe(200'000'000).begin(), 4, liar.begin() + 6);
    liar.resize(1024, 0);
    Bytes short_after_tag = tag(3, {text("TIT2", "x")});
    add(short_after_tag, audio(0xFB, 0x90, 0x44, 511));
    const std::pair<const char*, Bytes> cases[] = {
        {"ID3 without a frame", no_audio},
        {"200 MB tag in 1 KB", liar},
        {"511 bytes after the tag", short_after_tag},
        {"9 bytes", Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0}},
        {"empty", Bytes{}},
        {"511 bytes of sound", audio(0xFB, 0x90, 0x44, 511)},
    };
    for (const auto& [what, bytes] : cases) {
        test::ReaderRun r;
        EXPECT_EQ(r.run(ExtractMp3, bytes, "a.mp3"), 0) << what;
        EXPECT_EQ(r.result.scratch_text, "") << what;
        EXPECT_EQ(r.result.mp3_bitrate_kbps, 0u) << what;
        EXPECT_EQ(r.result.mp3_length_s, 0u) << what;
        EXPECT_EQ(r.collect(bytes, "a.mp3"), 0) << what;
        EXPECT_EQ(r.result.info_text, "") << what;
        // Nothing is allocated for a tag the file cannot hold.
        EXPECT_LT(r.session.id3_buffer.capacity(), 100'000u) << what;
    }

    // Every cut of a real file: a frame header is found or nothing is said.
    const Bytes real = test::file_bytes(test::fixture("mp3_cover.mp3"));
    for (std::size_t n = 0; n < real.size(); n += 97) {
        test::ReaderRun r;
        const Bytes cut(real.begin(), real.begin() + n);
        const int rc = r.run(ExtractMp3, cut, "a.mp3");
        EXPECT_EQ(rc, n >= 0x1d0 + 512 ? 1 : 0) << n;
    }
}

// The tag buffer grows to a tag's size plus 1000 only when a larger tag
// than the last one that grew it arrives, and is kept across files.
TEST(Mp3Info, TagBufferIsReusedAcrossFiles) {
    test::ReaderRun r;
    auto file_with_tag = [](std::size_t body) {
        Bytes b = tag(3, {text("TIT2", "t")}, body - 12);
        add(b, audio());
        return b;
    };
    const std::pair<std::size_t, std::size_t> steps[] = {{500, 1500},  {300, 1500},  {500, 1500},
                                                         {1200, 2200}, {1400, 2400}, {100, 2400}};
    for (const auto& [body, buffer] : steps) {
        const std::uint8_t* before = r.session.id3_buffer.data();
        ASSERT_EQ(r.run(ExtractMp3, file_with_tag(body), "a.mp3"), 1) << body;
        EXPECT_EQ(r.session.id3_buffer.size(), buffer) << body;
        if (body <= 500 && before) {
            EXPECT_EQ(r.session.id3_buffer.data(), before) << body;
        }
    }
}

TEST(Mp3Info, LogFileLines) {
    test::TempDir dir;
    Log log(dir.file("scan.log"));
    log.set_enabled(true);
    Bytes b = tag(3, {text("TIT2", "Title"), text("TPE1", "Artist")});
    add(b, audio());
    test::ReaderRun r;
    MemorySource src(b);
    FileInfoJob job{r.options, r.session, src, "/m/a.mp3", b.size(), r.result, &log};
    ASSERT_EQ(ExtractMp3(job), 1);
    std::stringstream all;
    all << std::ifstream(dir.file("scan.log")).rdbuf();
    EXPECT_EQ(all.str(),
              "Datei:/m/a.mp3 Länge:1067\r\nid3 length:33 max:0\r\nTitle Länge:6 Offset:0\r\n"
              "Artist Länge:7 Offset:16\r\nGenre prüfen Länge:0 Offset:33\r\nStart suchen\r\n"
              "CBR\r\nENDE\r\n\r\n");
}

}  // namespace
}  // namespace orbisto
