#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileinfo/extractors.h"
#include "platform/byte_io.h"
#include "reader_run.h"

namespace orbisto {
namespace {

using test::fixture;
using test::ReaderRun;
using FontBytes = std::vector<std::uint8_t>;

void font_u16be(ByteWriter& w, std::uint16_t v) {
    w.u8(static_cast<std::uint8_t>(v >> 8));
    w.u8(static_cast<std::uint8_t>(v));
}
void font_u32be(ByteWriter& w, std::uint32_t v) {
    font_u16be(w, static_cast<std::uint16_t>(v >> 16));
    font_u16be(w, static_cast<std::uint16_t>(v));
}

struct TtfNameRecord {
    std::uint16_t platform, encoding, name_id;
    std::string bytes;  // as stored
};

std::string font_be16(std::u16string s) {
    std::string out;
    for (char16_t c : s) {
        out += static_cast<char>(c >> 8);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

// A font of a "head" table and a "name" table with the given records.
FontBytes ttf_font(const std::vector<TtfNameRecord>& records) {
    ByteWriter name;
    font_u16be(name, 0);
    font_u16be(name, static_cast<std::uint16_t>(records.size()));
    font_u16be(name, static_cast<std::uint16_t>(6 + 12 * records.size()));
    std::string strings;
    for (const TtfNameRecord& r : records) {
        for (std::uint16_t v : {r.platform, r.encoding, std::uint16_t{0}, r.name_id,
                                static_cast<std::uint16_t>(r.bytes.size()),
                                static_cast<std::uint16_t>(strings.size())}) {
            font_u16be(name, v);
        }
        strings += r.bytes;
    }
    name.put(strings.data(), strings.size());

    ByteWriter w;
    font_u32be(w, 0x00010000);
    for (std::uint16_t v : {2, 32, 1, 0}) font_u16be(w, v);
    w.put("head", 4);
    for (std::uint32_t v : {0u, 44u, 4u}) font_u32be(w, v);
    w.put("name", 4);
    for (std::uint32_t v : {0u, 48u, static_cast<std::uint32_t>(name.buffer().size())}) {
        font_u32be(w, v);
    }
    font_u32be(w, 0);
    w.put(name.buffer().data(), name.buffer().size());
    return w.buffer();
}

TEST(FontInfo, FixturesGiveTheirTextsInBothLanguages) {
    struct Case {
        const char* file;
        const char* german;
        const char* english;
    };
    const Case cases[] = {
        {"system.fon", "FON-Font FONTRES 100,96,96 : Orbisto Sans 10, 12 (Ä)",
         "FON-font FONTRES 100,96,96 : Orbisto Sans 10, 12 (Ä)"},
        {"dejavu_names.ttf", "TTF-Font DejaVu Sans", "TTF-font DejaVu Sans"},
        // The first full name is a Windows Unicode name of 10 bytes.
        {"unicode_name.ttf", "TTF-Font Orbis", "TTF-font Orbis"},
        {"p052.afm", "AFM-Font P052-Roman", "AFM-font P052-Roman"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ReaderRun r;
        ASSERT_EQ(r.collect(fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.german);
        r.options.language = Language::English;
        ASSERT_EQ(r.collect(fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.english);
    }
}

TEST(FontInfo, TrueTypeNameChoiceAndEncodings) {
    struct Case {
        const char* name;
        FontBytes font;
        int result;
        const char* text;
    };
    const Case cases[] = {
        {"first full name wins",
         ttf_font({{1, 0, 1, "Fam"}, {1, 0, 4, "Mac Full"}, {3, 1, 4, font_be16(u"Win Full")}}), 1,
         "Mac Full"},
        {"no full name: the last record", ttf_font({{1, 0, 1, "Fam"}, {1, 0, 2, "Bold"}}), 1,
         "Bold"},
        {"an id whose low byte is 4", ttf_font({{1, 0, 0x104, "Odd"}, {1, 0, 4, "Real"}}), 1,
         "Odd"},
        {"Windows names beyond Latin-1", ttf_font({{3, 1, 4, font_be16(u"\u0141\u00f3d\u017a")}}),
         1, "Łódź"},
        {"a Windows symbol font", ttf_font({{3, 0, 4, font_be16(u"Symbols")}}), 1, "Symbols"},
        {"Unicode platform", ttf_font({{0, 3, 4, font_be16(u"Uni")}}), 1, "Uni"},
        {"ISO Unicode", ttf_font({{2, 1, 4, font_be16(u"Iso")}}), 1, "Iso"},
        {"ISO ASCII is 8-bit", ttf_font({{2, 0, 4, "Ascii"}}), 1, "Ascii"},
        {"Mac Roman bytes stay", ttf_font({{1, 0, 4, "Caf\x8E"}}), 1, "Caf\xC5\xBD"},
        {"8-bit name ends at a zero byte", ttf_font({{1, 0, 4, std::string("Ab\0cd", 5)}}), 1,
         "Ab"},
        {"odd UTF-16 length", ttf_font({{3, 1, 4, font_be16(u"Ab") + "C"}}), 1, "Ab"},
        {"no records", ttf_font({}), 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRun r;
        EXPECT_EQ(r.collect(c.font, "f.ttf"), c.result);
        // Mac Roman 0x8E is read as Windows-1252 (Ž) by the dispatcher.
        EXPECT_EQ(r.result.info_text, c.result ? std::string("TTF-Font ") + c.text : "");
    }
}

TEST(FontInfo, DamagedFontsGiveNothing) {
    const FontBytes good = ttf_font({{1, 0, 1, "Fam"}, {1, 0, 4, "Full"}});
    auto with = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
        FontBytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    // Offsets: table count 4, the name table's record 28 (offset at 36), the
    // name table 48 (record count 50), its second record 66 (id 72, length
    // 74, offset 76).
    FontBytes no_name_many_tables = with(4, {0xFF, 0xFF});
    no_name_many_tables[31] = 'x';
    FontBytes many_records = with(50, {0xFF, 0xFF});
    many_records[73] = 5;
    FontBytes fon = test::file_bytes(fixture("system.fon"));
    FontBytes fon_far = fon, fon_not_ne = fon, fon_entry_far = fon;
    fon_far[60] = 0xF0;
    fon_not_ne[0x41] = 'X';
    fon_entry_far[0x44] = fon_entry_far[0x45] = 0xFF;
    FontBytes afm = test::file_bytes(fixture("p052.afm"));
    const FontBytes afm_short(afm.begin(), afm.begin() + 2047);
    FontBytes afm_no_blank(2048, 'x');
    std::copy_n("FontName", 8, afm_no_blank.end() - 8);
    FontBytes afm_without(afm);
    afm_without[afm.size() > 80 ? std::string(afm.begin(), afm.end()).find("FontName") : 0] = 'f';
    struct Case {
        const char* name;
        FontBytes bytes;
        const char* path;
    };
    const Case cases[] = {
        {"no name table", with(28, {'n', 'a', 'm', 'x'}), "f.ttf"},
        {"huge table count, no name table", no_name_many_tables, "f.ttf"},
        {"name table beyond the end", with(36, {0x7F, 0xFF}), "f.ttf"},
        {"huge record count, no full name before the end", many_records, "f.ttf"},
        {"string beyond the end", with(76, {0xFF, 0x00}), "f.ttf"},
        {"string longer than the file", with(74, {0xFF, 0xFF}), "f.ttf"},
        {"FON header past the end", fon_far, "f.fon"},
        {"FON without NE", fon_not_ne, "f.fon"},
        {"FON entry table past the end", fon_entry_far, "f.fon"},
        {"AFM shorter than its head", afm_short, "f.afm"},
        {"AFM without a blank after the key", afm_no_blank, "f.afm"},
        {"AFM without the key", afm_without, "f.afm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRun r;
        EXPECT_EQ(r.collect(c.bytes, c.path), 0);
        EXPECT_EQ(r.result.info_text, "");
    }
}

TEST(FontInfo, AfmNameEndsAtControlAndHighBytes) {
    std::string text = "StartFontMetrics 4.1\nFontName Orbis-Bold\xE9xtra\nFullName x\n";
    text.resize(2048, ' ');
    ReaderRun r;
    ASSERT_EQ(r.run(ExtractAfmName, FontBytes(text.begin(), text.end()), "a.afm"), 1);
    EXPECT_EQ(r.result.scratch_text, "Orbis-Bold");
    text.replace(text.find("Orbis"), 16, "Orbis Bold\r\nxxxx");
    ASSERT_EQ(r.run(ExtractAfmName, FontBytes(text.begin(), text.end()), "a.afm"), 1);
    EXPECT_EQ(r.result.scratch_text, "Orbis Bold");
}

TEST(FontInfo, EveryTruncationOfTheFontFixturesIsSafe) {
    for (const char* name : {"system.fon", "dejavu_names.ttf", "unicode_name.ttf"}) {
        SCOPED_TRACE(name);
        const FontBytes whole = test::file_bytes(fixture(name));
        const std::string ext = std::string(name).substr(std::string(name).rfind('.'));
        ReaderRun r;
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const FontBytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            r.collect(part, "x" + ext);
        }
    }
}

}  // namespace
}  // namespace orbisto
