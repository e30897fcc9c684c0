// The commands that change the catalogued media (rename, rm, assign, lend,
// return, pack, unpack, reindex, category), run as the real program over
// media it scanned itself.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/catalog.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store_file.h"
#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

// Two folders scanned as catalogues 0 ("alpha") and 1 ("beta"), with the
// given settings; categories 2 "Games" and 3 "Old" (below Games).
struct ManagedHome {
    test::TempDir home;

    explicit ManagedHome(const std::string& settings = {}) {
        home.write("orbisto.INI", "[Optionen]\r\n" + settings);
        for (const char* name : {"alpha", "beta"}) {
            fs::create_directories(home.file(name) + "/sub");
            home.write(std::string(name) + "/readme.txt", name);
            home.write(std::string(name) + "/sub/data.bin", std::string(3000, 'x'));
            const auto r = run({"--drive", home.file(name)});
            EXPECT_EQ(r.status, 0) << r.err;
        }
        home.write("cds/WICHTIG.INI",
                   "[Kategorie]\r\nAnzahl=2\r\nKategorie0=Games\r\nKategorie0parent=-2\r\n"
                   "Kategorie1=Old\r\nKategorie1parent=0\r\n");
    }
    test::ProgramResult run(const std::vector<std::string>& args,
                            const char* lang = "C.UTF-8") const {
        return test::run_program(ORBISTO_BINARY, args,
                                 {{"ORBISTO_HOME", home.path()}, {"LANG", lang}});
    }
    std::string media() const { return run({"media"}).out; }
    std::string categories() const { return run({"categories"}).out; }
    // The stored catalogue n as a load reads it.
    Catalog stored(int n) const {
        Catalog cat;
        CatalogFileBytes bytes;
        WorkLimits limits;
        const std::string path = home.file("cds/" + std::to_string(n) + ".cd");
        EXPECT_EQ(read_catalog_file(path, SIZE_MAX, bytes), FileReadStatus::Ok) << path;
        EXPECT_EQ(read_catalog_bytes(bytes.data(), n, false, limits, cat), CatalogReadError::None);
        return cat;
    }
};

// The field of a media line (0 = number, 1 = name, 7 = category, 8 = lent)
// of catalogue n.
std::string media_field(const std::string& media, int n, int field) {
    std::size_t pos = 0;
    while (pos < media.size()) {
        const std::string line = media.substr(pos, media.find('\n', pos) - pos);
        pos += line.size() + 1;
        if (line.substr(0, line.find('\t')) != std::to_string(n)) continue;
        std::size_t at = 0;
        for (int i = 0; i < field; ++i) at = line.find('\t', at) + 1;
        return line.substr(at, line.find('\t', at) - at);
    }
    return "(none)";
}

TEST(ManageCommands, UsageErrorsExitTwoAndChangeNothing) {
    ManagedHome h;
    const std::string media = h.media();
    const std::string categories = h.categories();
    const std::vector<std::vector<std::string>> cases = {
        {"rename", "0"},
        {"rename", "0", "a", "b"},
        {"rm"},
        {"rm", "--force", "0"},
        {"assign", "0", "Games"},
        {"assign", "0"},
        {"lend", "0"},
        {"lend", "0", "--to"},
        {"return"},
        {"pack", "now"},
        {"unpack", "--all"},
        {"reindex", "x"},
        {"category"},
        {"category", "delete", "2"},
        {"category", "add"},
        {"category", "add", "X", "--parent", "top"},
        {"category", "rm"},
        {"category", "mv", "2"},
        {"category", "rename", "two", "X"},
    };
    for (const auto& args : cases) {
        const auto en = h.run(args);
        EXPECT_EQ(en.status, 2) << args[0] << " " << args.size() << en.err;
        EXPECT_NE(en.err.find("Try 'orbisto " + args[0] + " --help'"), std::string::npos) << en.err;
        const auto de = h.run(args, "de_DE.UTF-8");
        EXPECT_EQ(de.status, 2);
        EXPECT_NE(de.err.find("Hilfe: 'orbisto " + args[0] + " --help'"), std::string::npos)
            << de.err;
    }
    EXPECT_EQ(h.media(), media);
    EXPECT_EQ(h.categories(), categories);
}

TEST(ManageCommands, RefusalsExitOneWithTheReasonInBothLanguagesAndChangeNothing) {
    ManagedHome h;
    ASSERT_EQ(h.run({"lend", "1", "--to", "Ann"}).status, 0);
    const std::string media = h.media();
    const std::string categories = h.categories();
    struct Case {
        std::vector<std::string> args;
        const char* en;
        const char* de;
    } cases[] = {
        {{"rename", "9", "x"}, "no medium '9'", "kein Medium '9'"},
        {{"rename", "0", std::string(58, 'n')}, "too long", "zu lang"},
        {{"rename", "0", "   "}, "empty", "leer"},
        {{"rm", "0"}, "only with --yes", "nur mit --yes"},
        {{"rm", "0", "gamma"}, "no medium 'gamma'", "kein Medium 'gamma'"},
        {{"assign", "0", "4"}, "orbisto lend", "orbisto lend"},
        {{"assign", "0", "7"}, "no category 7", "keine Kategorie 7"},
        {{"lend", "1", "--to", "Bob"}, "lent already", "schon verliehen"},
        {{"lend", "0", "--to", "Bob", "--until", std::string(32, '9')}, "too long", "zu lang"},
        {{"return", "0"}, "not lent", "nicht verliehen"},
        {{"category", "add", std::string(256, 'c')}, "too long", "zu lang"},
        {{"category", "add", "X", "--parent", "9"}, "no category 9", "keine Kategorie 9"},
        {{"category", "mv", "2", "3"}, "below itself", "unter sich selbst"},
        {{"category", "mv", "2", "2"}, "below itself", "unter sich selbst"},
        {{"category", "rename", "1", "X"}, "fixed", "fest"},
        {{"category", "rm", "4"}, "fixed", "fest"},
        {{"category", "rm", "2"}, "1 subcategories", "1 Unterkategorien"},
    };
    for (const Case& c : cases) {
        const auto en = h.run(c.args);
        EXPECT_EQ(en.status, 1) << c.args[0] << " " << c.args[1] << en.err;
        EXPECT_NE(en.err.find(c.en), std::string::npos) << en.err;
        const auto de = h.run(c.args, "de_DE.UTF-8");
        EXPECT_EQ(de.status, 1);
        EXPECT_NE(de.err.find(c.de), std::string::npos) << de.err;
    }
    EXPECT_EQ(h.media(), media);
    EXPECT_EQ(h.categories(), categories);
    EXPECT_TRUE(fs::exists(h.home.file("cds/0.cd")));
}

TEST(ManageCommands, RenameByNumberOrNameStoresTheNameInTheFileAndTheIndex) {
    ManagedHome h("FastLoad=1\r\n");
    ASSERT_EQ(h.run({"reindex"}).status, 0);
    auto r = h.run({"rename", "0", "Holiday 2024"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(media_field(h.media(), 0, 1), "Holiday 2024");
    EXPECT_EQ(fixed_text(h.stored(0).header.medium_name), "Holiday 2024");
    // By its new name, case ignored; a name of 57 characters is kept whole.
    const std::string longest(57, 'L');
    r = h.run({"rename", "holiday 2024", longest});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fixed_text(h.stored(0).header.medium_name), longest);
    // The fast-load index holds the new name: the list read from it says so.
    const auto index = read_file(h.home.file("cds/fastload.cds"));
    ASSERT_TRUE(index.has_value());
    EXPECT_NE(index->find(longest), std::string::npos);
    // The other medium and the files of this one are untouched.
    EXPECT_EQ(h.stored(0).file_count(), 2u);
    EXPECT_EQ(media_field(h.media(), 1, 1), "beta");
    // A name another medium has: the window's question, answered Yes.
    r = h.run({"rename", "0", "BETA"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Media already exists. Rename? [Yes]"), std::string::npos) << r.err;
    EXPECT_EQ(media_field(h.media(), 0, 1), "BETA");
    // The question and its answer in German.
    r = h.run({"rename", "0", "beta"}, "de_DE.UTF-8");
    EXPECT_NE(r.err.find("? [Ja]"), std::string::npos) << r.err;
}

TEST(ManageCommands, RmWithYesDeletesTheCataloguesAndKeepsTheOthersNumbers) {
    ManagedHome h;
    ASSERT_EQ(h.run({"rm", "--yes", "0"}).status, 0);
    EXPECT_FALSE(fs::exists(h.home.file("cds/0.cd")));
    EXPECT_EQ(media_field(h.media(), 1, 0), "1");
    EXPECT_EQ(media_field(h.media(), 0, 0), "(none)");
}

TEST(ManageCommands, AssignLendAndReturnChangeTheStoredMedium) {
    ManagedHome h;
    ASSERT_EQ(h.run({"assign", "1", "3"}).status, 0);
    EXPECT_EQ(media_field(h.media(), 1, 7), "Old");
    EXPECT_EQ(h.stored(1).header.category, 3u);
    ASSERT_EQ(h.run({"assign", "1", "0"}).status, 0);
    EXPECT_EQ(h.stored(1).header.category, 0u);

    auto r = h.run({"lend", "0", "--to", "Ann B.", "--from", "2024-05-01", "--until", "June"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(media_field(h.media(), 0, 8), "1");
    Catalog lent = h.stored(0);
    EXPECT_TRUE(lent.header.medium_flags & MEDIUM_LENT);
    EXPECT_EQ(fixed_text(lent.info.lent_to), "Ann B.");
    EXPECT_EQ(fixed_text(lent.info.lent_from), "2024-05-01");
    EXPECT_EQ(fixed_text(lent.info.lent_until), "June");
    EXPECT_EQ(lent.file_count(), 2u);

    ASSERT_EQ(h.run({"return", "0"}).status, 0);
    EXPECT_EQ(media_field(h.media(), 0, 8), "0");
    const Catalog back = h.stored(0);
    EXPECT_FALSE(back.header.medium_flags & MEDIUM_LENT);
    EXPECT_EQ(fixed_text(back.info.lent_to), "");
    EXPECT_EQ(fixed_text(back.info.lent_until), "");
}

TEST(ManageCommands, PackAndUnpackRewriteEveryCatalogueLosingNothing) {
    ManagedHome h;
    const std::string media = h.media();
    ASSERT_EQ(h.run({"pack"}).status, 0);
    for (const char* f : {"cds/0.cd", "cds/1.cd"})
        EXPECT_EQ(read_file(h.home.file(f))->substr(0, 2), "PK");
    EXPECT_EQ(h.media(), media);
    EXPECT_EQ(h.stored(1).file_count(), 2u);
    ASSERT_EQ(h.run({"unpack"}).status, 0);
    for (const char* f : {"cds/0.cd", "cds/1.cd"})
        EXPECT_NE(read_file(h.home.file(f))->substr(0, 2), "PK");
    EXPECT_EQ(h.media(), media);
}

TEST(ManageCommands, ReindexWritesAnEntryPerCatalogueAndSaysWhenFastLoadIsOff) {
    ManagedHome h;
    // A catalogue stored by another run meanwhile is in the index too.
    auto r = h.run({"reindex"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("FastLoad is off"), std::string::npos);
    EXPECT_EQ(read_file(h.home.file("cds/fastload.cds"))->size(), 2u * 136u);
    fs::remove(h.home.file("cds/1.cd"));
    h.home.write("orbisto.INI", "[Optionen]\r\nFastLoad=1\r\n");
    r = h.run({"reindex"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(read_file(h.home.file("cds/fastload.cds"))->size(), 136u);
}

TEST(CategoryCommand, AddMoveRenameAndRemoveKeepTheTreeAndTheMediaConsistent) {
    ManagedHome h;
    auto r = h.run({"category", "add", "Music"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "4\n");
    r = h.run({"category", "add", "Jazz", "--parent", "4"});
    EXPECT_EQ(r.out, "5\n");
    ASSERT_EQ(h.run({"category", "mv", "3", "0"}).status, 0);
    ASSERT_EQ(h.run({"category", "rename", "5", "Cool jazz"}).status, 0);
    EXPECT_EQ(h.categories(),
              "0\t0\t! Alle Medien   \n1\t0\t! restliche Medien    \n2\t0\tGames\n"
              "3\t0\tOld\n4\t0\tMusic\n5\t4\tCool jazz\n6\t0\t! verliehen\n");

    // A category with members needs --yes; its media then have none, and
    // media of later categories follow theirs down.
    ASSERT_EQ(h.run({"assign", "0", "4"}).status, 0);
    ASSERT_EQ(h.run({"assign", "1", "5"}).status, 0);
    // Games, then Old: empty, so no question.
    ASSERT_EQ(h.run({"category", "rm", "2"}).status, 0);
    r = h.run({"category", "rm", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(media_field(h.media(), 1, 7), "Cool jazz");
    EXPECT_EQ(h.stored(1).header.category, 3u);
    r = h.run({"category", "rm", "2"}, "de_DE.UTF-8");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("'Music' hat 1 Unterkategorien und 2 Medien"), std::string::npos) << r.err;
    ASSERT_EQ(h.run({"category", "rm", "--yes", "2"}).status, 0);
    EXPECT_EQ(h.categories(),
              "0\t0\t! Alle Medien   \n1\t0\t! restliche Medien    \n"
              "2\t0\t! verliehen\n");
    EXPECT_EQ(h.stored(0).header.category, 0u);
    EXPECT_EQ(h.stored(1).header.category, 0u);
}

}  // namespace
}  // namespace orbisto
