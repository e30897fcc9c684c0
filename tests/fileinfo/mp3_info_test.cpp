#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

#include "reader_run.h"

namespace orbisto {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, std::string_view s) {
    a.insert(a.end(), s.begin(), s.end());
    return a;
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes be32(std::uint32_t v) {
    return {Bytes::value_type(v >> 24), Bytes::value_type(v >> 16), Bytes::value_type(v >> 8),
            Bytes::value_type(v)};
}
Bytes synchsafe(std::uint32_t v) {
    return {Bytes::value_type(v >> 21 & 0x7F), Bytes::value_type(v >> 14 & 0x7F),
            Bytes::value_type(v >> 7 & 0x7F), Bytes::value_type(v & 0x7F)};
}
// A frame of a version 2.3 or 2.4 tag, and a text frame (encoding byte 0).
Bytes frame(std::string_view id, const Bytes& payload, int version = 3) {
    const auto n = std::uint32_t(payload.size());
    return (Bytes{} + id) + (version == 4 ? synchsafe(n) : be32(n)) + Bytes{0, 0} + payload;
}
Bytes text(std::string_view id, std::string_view s, int version = 3) {
    return frame(id, Bytes{0} + s, version);
}
Bytes tag(int version, const std::vector<Bytes>& frames, std::size_t padding = 0) {
    Bytes body;
    for (const Bytes& f : frames) body = body + f;
    body.resize(body.size() + padding, 0);
    return Bytes{'I', 'D', '3', Bytes::value_type(version), 0, 0} +
           synchsafe(std::uint32_t(body.size())) + body;
}
// A frame header (128 kbit/s, 44.1 kHz, joint stereo unless told) and zeros.
Bytes audio(Bytes head = {0xFF, 0xFB, 0x90, 0x44}, std::size_t n = 1024) {
    head.resize(n, 0);
    return head;
}
int run_sized(test::ReaderRun& r, const Bytes& bytes, std::uint64_t size_bytes) {
    r.result.clear();
    MemorySource src(bytes);
    FileInfoJob job{r.options, r.session, src, "a.mp3", size_bytes, r.result, nullptr};
    return ExtractMp3(job);
}
std::string block(const std::string& artist, const std::string& album, const std::string& title,
                  const std::string& year = "", const std::string& genre = "") {
    return "Artist\t:" + artist + "\r\nAlbum\t:" + album + "\r\nTitle\t:" + title +
           "\r\nYear\t:" + year + "\r\nGenre\t:" + genre + "\r\nCover\t:none\r\n\r\n";
}
// The tag block of the reader's text (what comes before the frame lines).
std::string tag_part(const test::ReaderRun& r) {
    return r.result.scratch_text.substr(0, r.result.scratch_text.find("mpeg\t:"));
}

// Real files of lame and ffmpeg through the whole dispatch; the text is the
// same in both languages and the length is within a second of ffprobe's.
TEST(Mp3Info, RealFilesInBothLanguages) {
    const std::string lame = block("Some Artist", "An Album", "Tiny Title", "1999", "Rock");
    const std::string cbr = "mpeg\t:1.0\r\nbitrate\t:32 kbit/s\r\nfreq\t:32.000 Hz\r\n";
    const std::string two_s = "\r\nlength\t:00:00:02,0";
    const std::string info48 =
        "mpeg\t:1.0\r\nbitrate\t:48 kbit/s\r\nfreq\t:32.000 Hz\r\nmode\t:Stereo"
        "\r\nlength\t:00:00:01,0";
    const struct {
        const char* file;
        std::string text;
        std::uint32_t kbps, seconds;
    } cases[] = {
        {"mp3_cbr_v23.mp3", lame + cbr + "mode\t:joint Stereo" + two_s, 32, 2},
        {"mp3_v1only.mp3", lame + cbr + "mode\t:joint Stereo" + two_s, 32, 2},
        // The cover goes through the image reader under a .JPG name, so the
        // JPEG comment ffmpeg wrote into it becomes part of the cover line.
        {"mp3_cover.mp3",
         block("Some Artist", "An Album", "Tiny Title", "1999", "Rock")
                 .replace(lame.find("Cover\t:") + 7, 4, "JPEG :Lavc59.37.100\r\n 8 x 8 x 24") +
             cbr + "mode\t:joint Stereo" + two_s,
         32, 2},
        {"mp3_mono.mp3", cbr + "mode\t:mono" + two_s, 32, 2},
        {"mp3_vbr.mp3",
         lame + "mpeg\t:1.0\r\nbitrate\t:VBR 37 kbit/s\r\nfreq\t:32.000 Hz\r\nmode\t:joint Stereo" +
             two_s,
         37, 2},
        {"mp3_mpeg2.mp3", "mpeg\t:2.0\r\nbitrate\t:16 kbit\r\nfreq\t:16.000Hz\r\nmode\t:mono", 16,
         0},
        // UTF-8 text (2.4) stays; UTF-16 text (2.3) loses its zero bytes and
        // is read as Latin-1. ffmpeg's "Info" frame is neither Xing nor VBRI,
        // so its own bitrate times the file.
        {"mp3_v24_utf8.mp3", block("Künstler", "Straße", "Grüße", "", "Rock") + info48, 48, 1},
        {"mp3_v23_utf16.mp3", block("Künstler", "Plain", "Grüße", "", "(17) Rock") + info48, 48, 1},
    };
    for (const auto& c : cases) {
        for (const Language lang : {Language::German, Language::English}) {
            SCOPED_TRACE(c.file);
            test::ReaderRun r;
            r.options.language = lang;
            ASSERT_EQ(r.collect(test::fixture(c.file)), 1);
            EXPECT_EQ(r.result.info_text, "MP3-Sound\r\n" + c.text);
            EXPECT_EQ(r.result.mp3_bitrate_kbps, c.kbps);
            EXPECT_EQ(r.result.mp3_length_s, c.seconds);
            EXPECT_EQ(r.result.length_tenths, std::int32_t(c.seconds));
            if (c.kbps == 32 || c.kbps == 37) {
                EXPECT_LT(std::fabs(c.seconds - test::ffprobe_seconds("mp3_ffprobe.txt", c.file)),
                          1.0);
            }
        }
    }
}

// Bitrate, sampling, mode and length from the first frame header and its VBR header.
TEST(Mp3Info, FrameHeaderLengthAndVbrHeader) {
    auto xing = [](std::uint32_t flags, std::uint32_t frames, std::uint32_t bytes) {
        return (Bytes{} + "Xing") + be32(flags) + (flags & 1 ? be32(frames) : Bytes{}) +
               (flags & 2 ? be32(bytes) : Bytes{});
    };
    const Bytes x5000 = xing(3, 5000, 5000 * 417);
    const struct {
        const char* what;
        Bytes head;
        std::size_t mark_at;  // where `mark` goes (0: nowhere)
        Bytes mark;
        std::uint64_t size_bytes;
        std::string text;
        std::uint32_t kbps, seconds;
    } cases[] = {
        // 4,000,000 bytes of sound after the 128 always taken off.
        {"CBR 128",
         {0xFF, 0xFB, 0x90, 0x44},
         0,
         {},
         4000128,
         "1.0\r\nbitrate\t:128 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:joint "
         "Stereo\r\nlength\t:00:04:10,0",
         128,
         250},
        {"CBR too short for a length",
         {0xFF, 0xFB, 0x90, 0x00},
         0,
         {},
         100,
         "1.0\r\nbitrate\t:128 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:Stereo",
         128,
         0},
        {"Xing 5000 frames",
         {0xFF, 0xFB, 0x90, 0x44},
         36,
         x5000,
         100,
         "1.0\r\nbitrate\t:VBR 127 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:joint "
         "Stereo\r\nlength\t:00:02:11,0",
         127,
         131},
        {"mono: Xing at 21",
         {0xFF, 0xFB, 0x90, 0xC4},
         21,
         x5000,
         100,
         "1.0\r\nbitrate\t:VBR 127 kbit/s\r\nfreq\t:44.100 "
         "Hz\r\nmode\t:mono\r\nlength\t:00:02:11,0",
         127,
         131},
        {"mono with Xing at 36",
         {0xFF, 0xFB, 0x90, 0xC4},
         36,
         x5000,
         100,
         "1.0\r\n VBR \r\nfreq\t:44.100 Hz\r\nmode\t:mono",
         0,
         0},
        {"48 kHz, frame count only",
         {0xFF, 0xFB, 0x94, 0x00},
         36,
         xing(1, 4800, 0),
         100,
         "1.0\r\nbitrate\t:VBR 0 kbit/s\r\nfreq\t:48.000 "
         "Hz\r\nmode\t:Stereo\r\nlength\t:00:01:55,0",
         0,
         115},
        {"VBRI",
         {0xFF, 0xFB, 0x98, 0x80},
         36,
         Bytes{} + "VBRI",
         4000128,
         "1.0\r\n VBR \r\nfreq\t:32.000 Hz\r\nmode\t:2-Kanal",
         0,
         0},
        {"xing in lower case",
         {0xFF, 0xFB, 0x90, 0x44},
         36,
         Bytes{} + "xing",
         100,
         "1.0\r\n VBR \r\nfreq\t:44.100 Hz\r\nmode\t:joint Stereo",
         0,
         0},
        {"layer I",
         {0xFF, 0xFF, 0x40, 0x00},
         0,
         {},
         100,
         "1.0\r\nbitrate\t:128 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:Stereo",
         128,
         0},
        {"no layer",
         {0xFF, 0xF9, 0x90, 0x00},
         0,
         {},
         4000128,
         "1.0\r\nbitrate\t:0 kbit/s\r\nfreq\t:44.100 Hz\r\nmode\t:Stereo",
         0,
         0},
        {"reserved sampling",
         {0xFF, 0xFB, 0x9C, 0x00},
         0,
         {},
         100,
         "1.0\r\nbitrate\t:128 kbit/s\r\nfreq\t:99.999 Hz\r\nmode\t:Stereo",
         128,
         0},
        // MPEG-2 never has a length.
        {"MPEG-2 layer III",
         {0xFF, 0xF3, 0x84, 0x40},
         0,
         {},
         4000128,
         "2.0\r\nbitrate\t:64 kbit\r\nfreq\t:24.000Hz\r\nmode\t:joint Stereo",
         64,
         0},
        {"MPEG-2 layer I",
         {0xFF, 0xF7, 0x8C, 0xC0},
         36,
         x5000,
         4000128,
         "2.0\r\nbitrate\t:128 kbit\r\nfreq\t:\r\nmode\t:mono",
         128,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes b = audio(c.head);
        std::copy(c.mark.begin(), c.mark.end(), b.begin() + c.mark_at);
        test::ReaderRun r;
        ASSERT_EQ(run_sized(r, b, c.size_bytes), 1);
        EXPECT_EQ(r.result.scratch_text, "mpeg\t:" + c.text);
        EXPECT_EQ(r.result.mp3_bitrate_kbps, c.kbps);
        EXPECT_EQ(r.result.mp3_length_s, c.seconds);
    }
    // A version-2 tag's body counts against the size, its 10-byte header not.
    test::ReaderRun r;
    ASSERT_EQ(run_sized(r, tag(3, {text("TIT2", "T")}, 988) + audio(), 4000128 + 1000 + 16000), 1);
    EXPECT_EQ(r.result.mp3_length_s, 251u);
}

TEST(Mp3Info, GenreNumbersInParentheses) {
    const std::pair<const char*, const char*> cases[] = {
        {"(17)", "Rock"},
        {"(17) Rock", "(17) Rock"},
        {"(255)", "(255"},
        {"(67)", "Psychadelic"},
        {"(119)", "freestyle"},
        {"(123)", "A capella"},
        {"(0)", "Blues"},
        {"(126)", ""},
        {"(199)", ""},
        {"(200)", "(200"},
        {"(-1)", "(-1"},
        {"Rock", "Rock"},
        // No number: "(RX)" names no entry (and is not genre 0, Blues).
        {"(RX)", "(RX"},
        {"()", "("},
    };
    for (const auto& [genre, shown] : cases) {
        test::ReaderRun r;
        ASSERT_EQ(r.run(ExtractMp3, tag(3, {text("TCON", genre)}) + audio(), "a.mp3"), 1);
        EXPECT_EQ(tag_part(r), block("", "", "", "", shown)) << genre;
    }
}

// The version-2 frame walk: identifiers, sizes by version, encodings, the
// cut to 250, the step, cover frames.
TEST(Mp3Info, VersionTwoFrameWalk) {
    const std::string long_text(299, 'a');
    const Bytes utf16{1, 0xFF, 0xFE, 'A', 0, 'b', 0, 'c', 0};
    const Bytes picture = (Bytes{0} + std::string_view("image/jpeg\0\3desc\0", 18)) +
                          Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'};
    Bytes padded = tag(3, {text("TIT2", "One")}, 20) + text("TPE1", "Lost");
    padded[9] = Bytes::value_type(padded.size() - 10);
    Bytes lying_cover = tag(3, {text("TIT2", "Before"), frame("APIC", Bytes(40, 'x'))});
    lying_cover[10 + 17 + 4] = 0x7F;  // the APIC size's top byte
    Bytes v22 = {'I', 'D', '3', 2, 0, 0, 0, 0, 0, 0};
    for (const auto& [id, s] : {std::pair{"TT2", "Title"}, {"TP1", "Artist"}, {"TAL", "Album"}}) {
        v22 = (v22 + id) + Bytes{0, 0, Bytes::value_type(std::string_view(s).size() + 1), 0} + s;
    }
    v22[9] = Bytes::value_type(v22.size() - 10);
    const struct {
        const char* what;
        Bytes file;
        std::string block;
    } cases[] = {
        // A 300-byte frame: a plain size in 2.3 and a synchsafe one in 2.4.
        {"2.3 size", tag(3, {text("TIT2", long_text), text("TPE1", "Next")}),
         block("Next", "", std::string(249, 'a'))},
        {"2.4 size", tag(4, {text("TIT2", long_text, 4), text("TPE1", "Next", 4)}),
         block("Next", "", std::string(249, 'a'))},
        {"UTF-16 with BOM", tag(3, {frame("TALB", utf16)}), block("", "Abc", "")},
        // Bytes below 0x20 go, a later frame replaces the text, and one that
        // copies nothing keeps it.
        {"replace and keep",
         tag(3, {text("TYER",
                      "19\x01"
                      "99"),
                 text("TIT2", "Old"), text("TIT2", "New"), text("TPE1", "Kept"),
                 text("TPE1", "\x01\x02")}),
         block("Kept", "", "New", "1999")},
        // TCOM matches "TCO" with a 16-bit size of 0: nothing is copied, but
        // the tag has text, so the version-1 tag behind is not read.
        {"TCOM alone", tag(3, {text("TCOM", "Bach")}), block("", "", "")},
        {"padding ends the walk", padded, block("", "", "One")},
        {"2.2 frames, stepped by their own size", v22, block("Artist", "Album", "Title")},
        {"cover then text", tag(3, {frame("APIC", picture), text("TIT2", "After")}),
         block("", "", "After")},
        {"cover larger than the tag", lying_cover, block("", "", "Before")},
    };
    Bytes v1(128, 0);
    std::copy_n("TAGv1 title", 11, v1.begin());
    for (const auto& c : cases) {
        for (const bool pictures : {true, false}) {
            test::ReaderRun r;
            r.options.image_information = pictures;
            ASSERT_EQ(r.run(ExtractMp3, c.file + audio() + v1, "a.mp3"), 1) << c.what;
            EXPECT_EQ(tag_part(r), c.block) << c.what;
        }
    }
}

// Version-1 tag: signed first bytes, trailing trimming, the extended tag.
TEST(Mp3Info, VersionOneTagAndItsExtension) {
    auto v1 = [](std::vector<std::string> fields, std::uint8_t genre) {
        Bytes t = Bytes{} + "TAG";
        for (std::size_t i = 0; i < 4; ++i) {
            fields[i].resize(i < 3 ? 30 : 4, '\0');
            t = t + fields[i];
        }
        t.resize(127, 0);
        t.push_back(genre);
        return t;
    };
    Bytes ext = Bytes{} + "TAG+more words";
    ext.resize(227, ' ');
    const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    const struct {
        const char* what;
        Bytes tail;  // the last 355 bytes
        std::string block;
    } cases[] = {
        {"extended title continues", ext + v1({thirty, "Art  ", "Alb", "2001"}, 17),
         block("Art", "Alb", thirty + "more words", "2001", "Rock")},
        {"genre 67", Bytes(227) + v1({"T", "A", "B", "1999"}, 67),
         block("A", "B", "T", "1999", "Psychadelic")},
        {"genre 255", Bytes(227) + v1({"T", "A", "B", "1999"}, 255), block("A", "B", "T", "1999")},
        // A blank, a control byte or 0x80 and above first leaves a field
        // empty; such bytes at the end are trimmed. A zero byte ends a field.
        {"first and last bytes",
         Bytes(227) + v1({" Blank", "\xC4rger", "Alb\xE9  \x01",
                          "\x85"
                          "99"},
                         0),
         block("", "Alb", "", "", "Blues")},
        {"zero byte", Bytes(227) + v1({std::string("Ab\0cd", 5), "A", "B", "12"}, 12),
         block("A", "B", "Ab", "12", "Other")},
    };
    for (const auto& c : cases) {
        test::ReaderRun r;
        ASSERT_EQ(r.run(ExtractMp3, audio() + c.tail, "a.mp3"), 1) << c.what;
        EXPECT_EQ(tag_part(r), c.block) << c.what;
    }
}

// The search reads 512 bytes, searches their first half, then reads 256
// bytes from 2 before the end of the last read; the buffer's second half
// keeps what the first read left there.
TEST(Mp3Info, FrameSearchIn256ByteSteps) {
    const Bytes head{0xFF, 0xFB, 0x90, 0x44};
    auto at = [&](std::size_t size, std::initializer_list<std::pair<std::size_t, Bytes>> parts) {
        Bytes b(size, 0);
        for (const auto& [pos, bytes] : parts)
            std::copy(bytes.begin(), bytes.end(), b.begin() + pos);
        return b;
    };
    const struct {
        const char* what;
        Bytes file;
        int rc;
        std::uint32_t kbps;
    } cases[] = {
        {"in the first half", at(4096, {{100, head}}), 1, 128},
        {"bytes 256 to 509 are never searched", at(4096, {{300, head}}), 0, 0},
        {"found in a later step", at(4096, {{600, head}}), 1, 128},
        // "Xing" left in the stale half makes the file VBR, without a header.
        {"stale Xing", at(4096, {{600, head}, {300, Bytes{} + "Xing"}}), 1, 0},
        {"in the last, incomplete step", at(100000, {{99900, head}}), 0, 0},
        {"far into the file", at(100000, {{70001, head}}), 1, 128},
    };
    for (const auto& c : cases) {
        test::ReaderRun r;
        EXPECT_EQ(r.run(ExtractMp3, c.file, "a.mp3"), c.rc) << c.what;
        EXPECT_EQ(r.result.mp3_bitrate_kbps, c.kbps) << c.what;
    }
}

// Short, truncated and lying files give 0, no text and no statistics.
TEST(Mp3Info, DamagedFilesGiveNothing) {
    Bytes liar = tag(3, {text("TIT2", "x")});
    std::copy_n(synchsafe(200'000'000).begin(), 4, liar.begin() + 6);
    liar.resize(1024, 0);
    const std::pair<const char*, Bytes> cases[] = {
        {"ID3 without a frame", tag(3, {text("TIT2", "Only a tag")}) + Bytes(600)},
        {"200 MB tag in 1 KB", liar},
        {"511 bytes after the tag", tag(3, {text("TIT2", "x")}) + audio({0xFF, 0xFB, 0, 0}, 511)},
        {"9 bytes", {'I', 'D', '3', 3, 0, 0, 0, 0, 0}},
        {"511 bytes of sound", audio({0xFF, 0xFB, 0, 0}, 511)},
    };
    for (const auto& [what, bytes] : cases) {
        test::ReaderRun r;
        EXPECT_EQ(r.run(ExtractMp3, bytes, "a.mp3"), 0) << what;
        EXPECT_EQ(r.result.scratch_text, "") << what;
        EXPECT_EQ(r.result.mp3_bitrate_kbps + r.result.mp3_length_s, 0u) << what;
        EXPECT_EQ(r.collect(bytes, "a.mp3"), 0) << what;
        EXPECT_LT(r.session.id3_buffer.capacity(), 100'000u)
            << what;  // nothing allocated for 200 MB
    }
    // Every cut of a real file: 0 until the 512 bytes after its tag are there.
    const Bytes real = test::file_bytes(test::fixture("mp3_cover.mp3"));
    for (std::size_t n = 0; n < real.size(); n += 97) {
        test::ReaderRun r;
        EXPECT_EQ(r.run(ExtractMp3, Bytes(real.begin(), real.begin() + n), "a.mp3"),
                  n >= 0x1D0 + 512 ? 1 : 0)
            << n;
    }
}

// The tag buffer grows to a tag's size plus 1000 only for a tag larger than
// the one that grew it last, and is kept across files.
TEST(Mp3Info, TagBufferIsReusedAcrossFiles) {
    test::ReaderRun r;
    const std::pair<std::size_t, std::size_t> steps[] = {{500, 1500},  {300, 1500},  {500, 1500},
                                                         {1200, 2200}, {1400, 2400}, {100, 2400}};
    for (const auto& [body, buffer] : steps) {
        const std::vector<std::uint8_t> kept = r.session.id3_buffer;
        const std::uint8_t* before = r.session.id3_buffer.data();
        ASSERT_EQ(r.run(ExtractMp3, tag(3, {text("TIT2", "t")}, body - 12) + audio(), "a.mp3"), 1);
        EXPECT_EQ(r.session.id3_buffer.size(), buffer) << body;
        if (kept.size() == buffer) {
            EXPECT_EQ(r.session.id3_buffer.data(), before) << body;  // not allocated again
        }
    }
}

}  // namespace
}  // namespace orbisto
