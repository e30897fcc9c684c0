// The settings file as other programs and older versions of this one read
// it: every writer must produce the bytes it always produced.
//
// Fixtures in tests/fixtures/settings/, both made once by the writers of
// commit 305e179 (before the settings got typed members):
// - defaults.ini: write_options, write_start_state, write_output,
//   write_search and write_placement("Orbisto") of a default-constructed
//   Settings, in that order, into a new file.
// - every_key.ini: a hand-written file with every read key set to a value
//   other than its default (odd but valid ones among them: scope bits 13,
//   search flag 0x8003, category 65535, an empty Selbst3-Text, negative
//   placement corners), read by read_options, read_start_state, read_output,
//   read_search, read_placement("Orbisto") and read_dialog_pos("Abbruch"),
//   then written by the same writers plus write_dialog_pos("Abbruch") into a
//   new file. The keys written at close but never read (ShowCRC,
//   Darstellung, AllesAnzeigen) hold their defaults there.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "session/context.h"
#include "settings/settings_io.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::ScriptedFrontend;
using test::TempDir;

std::string fixture(const std::string& name) {
    return read_file(std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/settings/" + name)
        .value_or("<missing fixture " + name + ">");
}

struct Home {
    Home() : ctx(fe) {
        ctx.paths.program_dir = dir.path() + "/";
        ctx.paths.settings_file = dir.file("orbisto.INI");
        ctx.paths.kill_file = dir.file("KILLFILE.LST");
        ctx.paths.log_file = dir.file("orbisto.LOG");
        ctx.paths.default_catalog_dir = dir.file("cds");
        ctx.paths.catalog_dir = ctx.paths.default_catalog_dir;
    }
    void write_all(const WindowPlacement& main_window) {
        ASSERT_TRUE(write_options(ctx));
        ASSERT_TRUE(write_start_state(ctx));
        ASSERT_TRUE(write_output(ctx));
        ASSERT_TRUE(write_search(ctx));
        ASSERT_TRUE(write_placement(ctx, kSectionMainWindow, main_window));
    }
    std::string bytes() const { return read_file(ctx.paths.settings_file).value_or("<none>"); }

    TempDir dir;
    ScriptedFrontend fe;
    Context ctx;
};

TEST(SettingsBytesTest, DefaultsAreWrittenAsBefore) {
    Home h;
    h.write_all(WindowPlacement{});
    EXPECT_EQ(h.bytes(), fixture("defaults.ini"));
}

TEST(SettingsBytesTest, EveryKeyReadAndWrittenBackKeepsItsBytes) {
    Home in;
    in.dir.write("orbisto.INI", fixture("every_key.ini"));
    read_options(in.ctx);
    read_start_state(in.ctx);
    read_output(in.ctx);
    read_search(in.ctx);
    const WindowPlacement main_window = read_placement(in.ctx, kSectionMainWindow);
    const DialogPos cancel_dialog = read_dialog_pos(in.ctx, "Abbruch");

    // Into a new file, so a key that is read but not written, or written
    // under another spelling or in another place, shows up as well.
    Home out;
    out.ctx.settings = in.ctx.settings;
    out.write_all(main_window);
    ASSERT_TRUE(write_dialog_pos(out.ctx, "Abbruch", cancel_dialog));
    EXPECT_EQ(out.bytes(), fixture("every_key.ini"));
}

// Numbers the switches and choices do not expect mean what the program has
// always made of them: a switch tested against 1 is off for 2, the others
// are on; a number that names no choice leaves the default.
TEST(SettingsBytesTest, UnexpectedStoredNumbersKeepTheirOldMeaning) {
    Home h;
    h.dir.write("orbisto.INI",
                "[Optionen]\r\nFastLoad=2\r\nShowProtect=-1\r\nUmlaut=2\r\nEXE=-5\r\n"
                "Restore=2\r\nlanguage=2\r\nCDentpacken=0\r\n"
                "[Suche]\r\nSuchModus=0\r\nGrossKlein=7\r\nUnterkategorien=65536\r\n"
                "[Ausgabe]\r\nWas=999\r\nWie=305\r\nWomit=-1\r\nFiltermodus=346\r\n"
                "GrossKlein=7\r\nZeichensatz=2\r\n");
    read_options(h.ctx);
    read_search(h.ctx);
    read_output(h.ctx);
    const Options& o = h.ctx.settings.options;
    EXPECT_FALSE(o.fast_load);
    EXPECT_FALSE(o.warn_read_only);
    EXPECT_TRUE(o.convert_dos_text);
    EXPECT_TRUE(o.use_exe);
    EXPECT_FALSE(o.restore_after_long_operations);  // bit 0 only
    EXPECT_EQ(o.language, Language::German);
    EXPECT_EQ(o.archive_expansion, ExpansionMode::Nothing);
    const SearchSettings& s = h.ctx.settings.search;
    EXPECT_EQ(s.mode, SearchMode::Normal);
    EXPECT_FALSE(s.ignore_case);
    EXPECT_FALSE(s.include_subcategories);  // a 16-bit number: 65536 is 0
    EXPECT_EQ(h.ctx.settings.output, [] {
        OutputSettings expected;
        expected.ignore_case = true;
        return expected;
    }());
}

}  // namespace
}  // namespace orbisto
