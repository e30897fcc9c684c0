// FLI/FLC headers and animated-cursor titles: the fixtures through the
// whole dispatch in both languages, the signature tests, the title's limits
// and files too short for what the readers need.
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

TEST(AnimationInfo, FixturesGiveTheirTextsInBothLanguages) {
    const struct {
        const char *file, *german, *english;
    } cases[] = {
        {"anim-320x200.fli", "FLI-Animation 2 Frames 320 x 200 8 Bit",
         "FLI-animation 2 frames 320 x 200 8 bit"},
        {"anim-64x48.flc", "FLI-Animation 3 Frames 64 x 48 8 Bit",
         "FLI-animation 3 frames 64 x 48 8 bit"},
        {"anim-cursor.ani", "Cursor Zeiger Grün",
         "cursor Zeiger Grün"},  // Windows-1252 in the file
    };
    for (const auto& c : cases) {
        ReaderRun r;
        EXPECT_EQ(r.collect(fixture(c.file)), 1) << c.file;
        EXPECT_EQ(r.result.info_text, c.german);
        r.options.language = Language::English;
        EXPECT_EQ(r.collect(fixture(c.file)), 1) << c.file;
        EXPECT_EQ(r.result.info_text, c.english);
    }
}

TEST(AnimationInfo, FliNeedsItsSignatureAndFortyFourBytes) {
    std::vector<std::uint8_t> fli = test::file_bytes(fixture("anim-320x200.fli"));
    ReaderRun r;
    for (std::size_t n = 0; n <= 44; ++n) {
        const std::vector<std::uint8_t> cut(fli.begin(), fli.begin() + n);
        EXPECT_EQ(r.run(ExtractFli, cut, "a.fli"), n == 44 ? 1 : 0) << n;
    }
    fli[4] = 0x13;  // AF13
    EXPECT_EQ(r.run(ExtractFli, fli, "a.fli"), 0);
}

TEST(AnimationInfo, CursorTitleLimits) {
    // A RIFF file of `total` bytes with `text` at offset 32, the rest zero.
    const auto cursor = [](const std::string& text, std::size_t total, const char* magic = "RIFF") {
        std::string v = magic + std::string(28, '\0') + text;
        v.resize(total);
        return std::vector<std::uint8_t>(v.begin(), v.end());
    };
    const struct {
        std::vector<std::uint8_t> bytes;
        int ok;
        std::string title;
    } cases[] = {
        {cursor("Arrow\0IART"s, 4128), 1, "Arrow"},
        {cursor("Arrow\0"s, 4127), 0, ""},  // the block after offset 32 is short
        {cursor("Arrow\0"s, 5000, "RIFX"), 0, ""},
        {cursor("PointerIART\x08\0\0\0Someone\0"s, 4128), 1, "Pointer"},    // no zero: cut at IART
        {cursor(std::string(4096, 'T'), 4128), 1, std::string(4095, 'T')},  // the last byte never
        {cursor(std::string(4094, 'T') + "IART", 4200), 1, std::string(4094, 'T') + "I"},
    };
    for (const auto& c : cases) {
        ReaderRun r;
        EXPECT_EQ(r.run(ExtractCursorTitle, c.bytes, "a.ani"), c.ok) << c.title;
        EXPECT_EQ(r.result.scratch_text, c.title);
    }
}

}  // namespace
}  // namespace orbisto
