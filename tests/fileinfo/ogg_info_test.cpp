#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "reader_run.h"

namespace orbisto {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kTagsText =
    " Artist:Some Artist\r\n Album:An Album\r\n Titel:Tiny Title\r\n Jahr:2001\r\n"
    " Kategorie:Jazz\r\n Kommentar:hello\r\n";

// Real files made by oggenc and vorbiscomment; the playing time from the
// multimedia service in the language of the interface.
TEST(OggInfo, FixturesWithAndWithoutTheMultimediaService) {
    struct Case {
        const char* file;
        std::string text;
    };
    const Case cases[] = {
        {"ogg_tags.ogg", kTagsText},
        // An empty ARTIST value: the label, then the line end.
        {"ogg_empty_artist.ogg", " Artist:\r\n Titel:Only\r\n"},
    };
    for (const Case& c : cases) {
        test::ReaderRun r;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1) << c.file;
        const std::string prefix = "OGG-Sound\r\n" + c.text;
        ASSERT_EQ(r.result.info_text.substr(0, prefix.size()), prefix) << c.file;
        EXPECT_EQ(r.result.info_text.substr(prefix.size()), "\r\nLänge:00:00:02,0") << c.file;
        EXPECT_NEAR(r.result.length_tenths / 10.0, test::ffprobe_seconds("mp3_ffprobe.txt", c.file),
                    0.1)
            << c.file;

        r.options.language = Language::English;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1) << c.file;
        EXPECT_EQ(r.result.info_text, prefix + "\r\nlength:00:00:02,0") << c.file;

        // Without the service the comments alone make the text.
        r.options.no_mci = true;
        ASSERT_EQ(r.collect(test::fixture(c.file)), 1) << c.file;
        EXPECT_EQ(r.result.info_text, prefix) << c.file;
    }
}

// 2048 bytes at the start, "OggS" in any case, each key's first occurrence.
TEST(OggInfo, CommentsFoundInTheFirst2048Bytes) {
    auto page = [](std::string_view magic,
                   std::initializer_list<std::pair<std::size_t, std::string>> at) {
        Bytes b(2048, 0x01);
        std::copy(magic.begin(), magic.end(), b.begin());
        for (const auto& [pos, s] : at) {
            if (pos + s.size() > b.size()) b.resize(pos + s.size(), 0x01);
            std::copy(s.begin(), s.end(), b.begin() + pos);
        }
        return b;
    };
    struct Case {
        const char* what;
        Bytes bytes;
        int rc;
        std::string text;
    };
    const Case cases[] = {
        {"keys in any case, in key order", page("oggs", {{100, "comment=c"}, {200, "Artist=a b"}}),
         1, " Artist:a b\r\n Kommentar:c\r\n"},
        {"first occurrence only", page("OggS", {{100, "TITLE=one"}, {300, "TITLE=two"}}), 1,
         " Titel:one\r\n"},
        // A longer key ending in one of them is taken for it.
        {"SUBTITLE", page("OggS", {{100, "SUBTITLE=sub"}}), 1, " Titel:sub\r\n"},
        {"value up to a control byte or 0x80",
         page("OggS", {{100,
                        "GENRE=Ab\xE4"
                        "cd"},
                       {200,
                        "DATE=19\x1F"
                        "99"}}),
         1, " Jahr:19\r\n Kategorie:Ab\r\n"},
        {"at most 100 bytes", page("OggS", {{100, "ALBUM=" + std::string(150, 'x')}}), 1,
         " Album:" + std::string(100, 'x') + "\r\n"},
        {"value at the end of the 2048 bytes", page("OggS", {{2040, "DATE=1234567"}}), 1,
         " Jahr:123\r\n"},
        {"key beyond the 2048 bytes", page("OggS", {{2045, "DATE=1"}}), 0, ""},
        {"not OggS", page("RIFF", {{100, "ARTIST=x"}}), 0, ""},
        {"no key", page("OggS", {}), 0, ""},
        {"2047 bytes",
         [&] {
             Bytes b = page("OggS", {{100, "ARTIST=x"}});
             b.resize(2047);
             return b;
         }(),
         0, ""},
    };
    for (const Case& c : cases) {
        test::ReaderRun r;
        r.options.no_mci = true;
        EXPECT_EQ(r.run(ExtractOgg, c.bytes, "a.ogg"), c.rc) << c.what;
        if (c.rc) {
            EXPECT_EQ(r.result.scratch_text, c.text) << c.what;
        }
        EXPECT_EQ(r.collect(c.bytes, "a.ogg"), c.rc) << c.what;
    }
}

}  // namespace
}  // namespace orbisto
