// FLI/FLC animation headers and animated-cursor titles: the fixtures through
// the whole dispatch in both languages, the signature tests, and files too
// short for what the readers need.
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

// A RIFF file of total bytes whose text from offset 32 on is title_area,
// the rest zero.
std::vector<std::uint8_t> anim_cursor(const std::string& title_area, std::size_t total,
                                      const char* magic = "RIFF") {
    std::vector<std::uint8_t> v(total, 0);
    std::copy(magic, magic + 4, v.begin());
    const std::string list = "ACONLIST\x40\0\0\0INFOINAM\x20\0\0\0"s;
    std::copy(list.begin(), list.end(), v.begin() + 8);
    std::copy(title_area.begin(), title_area.end(), v.begin() + 32);
    return v;
}

TEST(AnimationInfo, FixturesGiveTheirTextsInBothLanguages) {
    struct Case {
        const char* file;
        const char* german;
        const char* english;
    } const cases[] = {
        {"anim-320x200.fli", "FLI-Animation 2 Frames 320 x 200 8 Bit",
         "FLI-animation 2 frames 320 x 200 8 bit"},
        {"anim-64x48.flc", "FLI-Animation 3 Frames 64 x 48 8 Bit",
         "FLI-animation 3 frames 64 x 48 8 bit"},
        // The title is Windows-1252 in the file, UTF-8 in the text.
        {"anim-cursor.ani", "Cursor Zeiger Grün", "cursor Zeiger Grün"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ReaderRun r;
        EXPECT_EQ(r.collect(fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.german);
        r.options.language = Language::English;
        EXPECT_EQ(r.collect(fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.english);
    }
}

TEST(AnimationInfo, FliNeedsItsSignatureAndFortyFourBytes) {
    const std::vector<std::uint8_t> fli = test::file_bytes(fixture("anim-320x200.fli"));
    ASSERT_GE(fli.size(), 44u);
    ReaderRun r;
    for (std::size_t n = 0; n < 44; ++n) {
        EXPECT_EQ(
            r.run(ExtractFli, std::vector<std::uint8_t>(fli.begin(), fli.begin() + n), "a.fli"), 0)
            << "cut to " << n;
    }
    EXPECT_EQ(r.run(ExtractFli, std::vector<std::uint8_t>(fli.begin(), fli.begin() + 44), "a.fli"),
              1);
    for (const std::uint16_t magic : {0xAF10, 0xAF13, 0x11AF, 0x0000}) {
        std::vector<std::uint8_t> other = fli;
        other[4] = static_cast<std::uint8_t>(magic);
        other[5] = static_cast<std::uint8_t>(magic >> 8);
        EXPECT_EQ(r.run(ExtractFli, other, "a.fli"), 0) << std::hex << magic;
    }
}

TEST(AnimationInfo, CursorTitleRules) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int ok;
        std::string title;
    } const cases[] = {
        {"title up to its zero", anim_cursor("Arrow\0IART\x08\0\0\0Someone\0"s, 4128), 1, "Arrow"},
        {"one byte short", anim_cursor("Arrow\0"s, 4127), 0, ""},
        {"not RIFF", anim_cursor("Arrow\0"s, 5000, "RIFX"), 0, ""},
        // Without its zero the title ends where the artist's chunk begins.
        {"cut at IART",
         anim_cursor("Pointer"
                     "IART\x08\0\0\0Someone\0"s,
                     4128),
         1, "Pointer"},
        {"iart is not IART",
         anim_cursor("Pointer"
                     "iart\0"s,
                     4128),
         1, "Pointeriart"},
        // A title filling the block keeps all but its last byte.
        {"no zero at all", anim_cursor(std::string(4096, 'T'), 4128), 1, std::string(4095, 'T')},
        {"IART past the block", anim_cursor(std::string(4094, 'T') + "IART", 4200), 1,
         std::string(4094, 'T') + "I"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReaderRun r;
        EXPECT_EQ(r.run(ExtractCursorTitle, c.bytes, "a.ani"), c.ok);
        EXPECT_EQ(r.result.scratch_text, c.title);
    }
}

}  // namespace
}  // namespace orbisto
