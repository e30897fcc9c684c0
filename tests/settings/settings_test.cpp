#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <initializer_list>

#include "platform/files.h"
#include "session/context.h"
#include "settings/environment.h"
#include "settings/settings_io.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::ScriptedFrontend;
using test::TempDir;

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() : ctx(fe) { point_at(ctx); }

    void point_at(Context& c) {
        c.paths.program_dir = dir.path() + "/";
        c.paths.settings_file = dir.file("orbisto.INI");
        c.paths.kill_file = dir.file("KILLFILE.LST");
        c.paths.log_file = dir.file("orbisto.LOG");
        c.paths.default_catalog_dir = dir.file("cds");
        c.paths.catalog_dir = c.paths.default_catalog_dir;
    }
    void settings(const std::string& content) { dir.write("orbisto.INI", content); }
    std::string settings_bytes() { return read_file(ctx.paths.settings_file).value_or("<none>"); }
    void read_all(Context& c) {
        read_options(c);
        read_start_state(c);
        read_output(c);
        read_search(c);
        read_kill_files(c);
        list_settings_files(c);
    }

    TempDir dir;
    ScriptedFrontend fe;
    Context ctx;
};

TEST_F(SettingsTest, MissingFileGivesTheDefaultsAndOptionValuesAreNormalised) {
    read_all(ctx);
    Options expected;
    expected.catalog_dir = dir.file("cds");  // the CatalogDirectory in use
    EXPECT_EQ(ctx.settings.options, expected);

    settings(
        "[Optionen]\r\nRestore=3\r\nMaxSize=4\r\nLogFile=1\r\nNichtL\xF6schen=1\r\n"
        "[Packer]\r\nzip=unzip -o %s\r\nARJ=ab\r\n");
    read_options(ctx);
    const Options& o = ctx.settings.options;
    EXPECT_EQ(o.restore_after_long_operations, 1);
    EXPECT_EQ(o.max_html_bytes, 4096);  // absent: the same as max_description_bytes
    EXPECT_TRUE(ctx.log.enabled());
    EXPECT_EQ(o.keep_expanded_files, 1);
    // Packer templates of two characters or fewer are not taken.
    EXPECT_TRUE(ctx.settings.packer.zip.stored);
    EXPECT_EQ(ctx.settings.packer.arj, PackerSettings{}.arj);

    // Sizes whose byte count would not fit an int are held at the largest one.
    settings("[Optionen]\r\nMaxSize=99999999\r\nMaxHTML=-3\r\n");
    read_options(ctx);
    EXPECT_EQ(ctx.settings.options.max_description_bytes, (INT_MAX / 1024) * 1024);
    EXPECT_EQ(ctx.settings.options.max_html_bytes, 0);
}

TEST_F(SettingsTest, StartStateSearchAndPlacementValuesAreCheckedOnReading) {
    settings("[Optionen]\r\nReload=0\r\nLetzteCD=17\r\n[Font]\r\nWeight=700\r\nFaceName=Arial\r\n");
    read_options(ctx);
    read_start_state(ctx);
    EXPECT_EQ(ctx.settings.state.last_catalog, 0);
    // Without a Height the other font values are not taken.
    EXPECT_EQ(ctx.settings.font, FontSettings{});

    settings(
        "[Optionen]\r\nLetzteCD=17\r\n"
        "[Font]\r\nHeight=-13\r\nWeight=700\r\nFaceName=A very long face name beyond 31 bytes\r\n");
    read_options(ctx);
    read_start_state(ctx);
    EXPECT_EQ(ctx.settings.state.last_catalog, 17);
    EXPECT_EQ(ctx.settings.font.face_name, "A very long face name beyond 31");

    // The search category is sixteen bits and the histories are cut.
    settings("[Suche]\r\nKategorie=65537\r\nSuchJahr1=1999\r\nBegriff3=" + std::string(200, 'x') +
             "\r\n[Ausgabe]\r\nBegriff9=last\r\nLetzte \xC4nderung=0\r\nCSV-Liste=1\r\n");
    read_search(ctx);
    read_output(ctx);
    EXPECT_EQ(ctx.settings.search.category, 1);
    EXPECT_EQ(ctx.settings.search.history[3], std::string(127, 'x'));
    EXPECT_EQ(ctx.settings.output.show_last_change, 0);

    // A placement never restores minimised; dialogs default to ten.
    settings("[Orbisto]\r\nShowCmd=2\r\n");
    EXPECT_EQ(read_placement(ctx, "Orbisto").show_cmd, 5);
    EXPECT_EQ(read_dialog_pos(ctx, "Abbruch").x, 10);

    WindowPlacement p;
    p.bottom = 812;
    ASSERT_TRUE(write_placement(ctx, "Orbisto", p));
    const std::string bytes = settings_bytes();
    EXPECT_NE(bytes.find("[Orbisto]\r\nShowCmd=5\r\nFlags=2\r\n"), std::string::npos) << bytes;
    EXPECT_EQ(read_placement(ctx, "Orbisto"), p);
}

// Gives each sampled number a value of its own, so that a key bound to the
// wrong field or a key left out shows up after a round trip; the sampled
// switches are turned from their defaults.
void number(std::initializer_list<int*> fields, int start) {
    for (int* f : fields) *f = start++;
}
void flip(std::initializer_list<bool*> switches) {
    for (bool* b : switches) *b = !*b;
}

TEST_F(SettingsTest, EveryGroupSurvivesAWriteAndReadRoundTrip) {
    Settings& s = ctx.settings;
    Options& o = s.options;
    flip({&o.auto_category, &o.show_info_after_scan, &o.keep_expanded_files, &o.use_file_id_diz,
          &o.own_descriptions[4], &o.use_expander, &o.real_time});
    number({&o.time_out, &o.thumbnail_height, &o.max_picture_bytes}, 100);
    o.warn_read_only = false;
    o.language = Language::English;
    o.archive_expansion = ExpansionMode::DescriptionOnly;
    o.log_file = true;
    o.max_description_bytes = 7 * 1024;
    o.max_html_bytes = 9 * 1024;
    o.own_description_names = {"a.txt", "b.txt", "ÄÖÜ", " padded ", "\"q\""};
    o.catalog_dir = "/data/cds";
    s.freedb = {
        true, false, true, "/db", true, false, "http://example.invalid/cddb", "me@example.invalid"};
    StartState& st = s.state;
    flip({&st.show_preview, &st.never_ask_drive});
    number({&st.last_catalog, &st.split3_percent, &st.sorting}, 200);
    s.columns.media_list.description_layout[7] = 407;
    s.columns.start.normal[1] = 61;
    number({&s.font.height, &s.font.weight, &s.font.pitch_and_family}, 500);
    s.font.face_name = "DejaVu Sans";
    OutputSettings& out = s.output;
    flip({&out.media_list_csv, &out.show_last_change, &out.windows1252_text});
    number({&out.left_margin, &out.max_level}, 600);
    out.scope = OutputScope::SearchResult;
    out.format = OutputFormat::Dbase;
    out.target = OutputTarget::Printer;
    out.print_file =
        "/home/me/Listen/dr\xC3\xBC"
        "ck.pdf";
    out.filter = OutputFilter::Favourites;
    out.file_name = "/tmp/list.txt";
    SearchSettings& se = s.search;
    number({&se.scope, &se.to_day, &se.fuzzy_tolerance, &se.category}, 700);
    flip({&se.include_subcategories, &se.ignore_case, &se.automatic});
    se.mode = SearchMode::Duplicates;
    for (size_t i = 0; i < kHistoryEntries; ++i) {
        out.history[i] = "out" + std::to_string(i);
        se.history[i] = "such*" + std::to_string(i) + " ö";
    }
    se.history[0] = "日本";  // outside Windows-1252: the file becomes UTF-8

    ASSERT_TRUE(write_options(ctx));
    ASSERT_TRUE(write_start_state(ctx));
    ASSERT_TRUE(write_output(ctx));
    ASSERT_TRUE(write_search(ctx));

    ScriptedFrontend fe2;
    Context back(fe2);
    point_at(back);
    read_all(back);
    EXPECT_EQ(back.settings, s);
    EXPECT_EQ(back.paths.catalog_dir, "/data/cds");

    // Keys whose spelling other programs rely on.
    const std::string bytes = settings_bytes();
    for (const char* line :
         {"\r\nNichtLöschen=1\r\n", "\r\nshow info=1\r\n", "\r\nFILE_ID.DIZ=1\r\n",
          "\r\nSelbst3-Text=ÄÖÜ\r\n", "\r\nMaxSize=7\r\n", "\r\nLetzte Änderung=0\r\n",
          "\r\nCDentpacken=2055\r\n", "\r\nSuchModus=513\r\n", "\r\nFiltermodus=345\r\n",
          "\r\nZeichensatz=1\r\n",
          "\r\nDruckdatei=/home/me/Listen/dr\xC3\xBC"
          "ck.pdf\r\n"}) {
        EXPECT_NE(bytes.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(bytes.find("[Optionen]\r\nAutoKat=0\r\n"), 0u);
}

TEST_F(SettingsTest, WritersChangeOnlyTheirGroupAndWriteWindows1252WhenItFits) {
    settings(
        "; kept\r\n[Optionen]\r\nlanguage=1\r\nUnknownKey=stays\r\n\r\n"
        "[Suche]\r\nBegriff0=alt\r\n\r\n[Elsewhere]\r\nx=1\r\n");
    read_options(ctx);
    read_search(ctx);
    ctx.settings.search.history[0] = "Größe";
    ASSERT_TRUE(write_search(ctx));
    // The options were not written.
    EXPECT_EQ(settings_bytes().find("; kept\r\n[Optionen]\r\nlanguage=1\r\nUnknownKey=stays\r\n\r\n"
                                    "[Suche]\r\nBegriff0=Gr\xF6\xDF\x65\r\n"),
              0u);
}

TEST_F(SettingsTest, ReadOnlyOrUnreadableSettingsFileWarnsOnceAndStaysUnchanged) {
    const std::string original = "[Optionen]\r\nShowProtect=1\r\nLetzteCD=3\r\n";
    settings(original);
    read_options(ctx);
    ASSERT_EQ(::chmod(ctx.paths.settings_file.c_str(), 0444), 0);

    ctx.settings.state.last_catalog = 9;
    EXPECT_FALSE(write_start_state(ctx));
    ASSERT_EQ(fe.messages.size(), 1u);
    EXPECT_EQ(fe.messages[0].text, ctx.paths.settings_file + " schreibgeschützt?");

    // With warn_read_only off the write fails silently.
    ctx.settings.options.warn_read_only = false;
    EXPECT_FALSE(write_options(ctx));
    EXPECT_EQ(fe.messages.size(), 1u);
    EXPECT_EQ(settings_bytes(), original);

    // A file that cannot be read is never replaced.
    ASSERT_EQ(::unlink(ctx.paths.settings_file.c_str()), 0);
    ASSERT_TRUE(make_directory(ctx.paths.settings_file));
    ctx.settings.options.warn_read_only = true;
    EXPECT_FALSE(write_search(ctx));
    EXPECT_TRUE(is_directory(ctx.paths.settings_file));
    EXPECT_EQ(fe.messages.size(), 2u);
}

TEST_F(SettingsTest, KillFileSkipsCommentsHoldsAtMostTwoHundredAndTakesAppendedNames) {
    std::string list = "# comment\r\n\r\nFILE_ID.DIZ\r\nGr\xFC\xDF\x65.txt\n" +
                       std::string(260, 'n') + "\r\n" + std::string(259, 'm') + "\r\n";
    for (int i = 0; i < 250; ++i) list += "name" + std::to_string(i) + "\r\n";
    dir.write("KILLFILE.LST", list);
    read_kill_files(ctx);
    const auto& k = ctx.settings.kill_files;
    ASSERT_EQ(k.size(), 200u);
    EXPECT_EQ(k[2], std::string(259, 'm'));  // the 260-character line is not a name
    EXPECT_EQ(k[199], "name196");

    // Appending; no line end after the last name.
    dir.write("KILLFILE.LST", "# list\r\nfirst");  // no line end after the last name
    read_kill_files(ctx);
    ASSERT_TRUE(append_kill_file(ctx, "Größe.doc"));
    ASSERT_TRUE(append_kill_file(ctx, "Ωmega"));
    // Names one line cannot hold are refused and change nothing.
    for (const std::string& bad :
         {std::string(), std::string("two\nlines"), std::string("#hash"), std::string(260, 'x')}) {
        EXPECT_FALSE(append_kill_file(ctx, bad));
    }
    EXPECT_EQ(read_file(ctx.paths.kill_file), "# list\r\nfirst\r\nGr\xF6\xDF\x65.doc\r\nΩmega\r\n");
    read_kill_files(ctx);  // a mixed file reads back line by line
    EXPECT_EQ(ctx.settings.kill_files, (std::vector<std::string>{"first", "Größe.doc", "Ωmega"}));
}

TEST_F(SettingsTest, SettingsFileListTakesOtherIniFilesOnly) {
    dir.write("orbisto.INI", "");
    dir.write("ORBISTO.ini", "");  // the own file in another spelling
    dir.write("notes.txt", "");
    ASSERT_TRUE(make_directory(dir.file("folder.INI")));
    // Eleven candidates, written out of order: only the first ten by name are listed.
    for (const char* n : {"k.ini", "b.INI", "a.Ini", "j.ini", "c.ini", "i.ini", "d.ini", "h.ini",
                          "e.ini", "g.ini", "f.ini"}) {
        dir.write(n, "");
    }
    list_settings_files(ctx);
    ASSERT_EQ(ctx.settings.settings_files.size(), 10u);
    EXPECT_EQ(ctx.settings.settings_files[0], dir.file("a.Ini"));
    EXPECT_EQ(ctx.settings.settings_files[9], dir.file("j.ini"));
}

}  // namespace
}  // namespace orbisto
