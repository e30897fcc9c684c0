// The headless "media" and "categories" commands, run as the real program
// over a self-contained ORBISTO_HOME.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "startup/context.h"
#include "support/run_program.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::run_program;

// ORBISTO_HOME with three media and two categories in WICHTIG.INI:
// 2 "Games", 3 "Old games" under it; the lent entry is 4.
struct MediaHome {
    test::TempDir home;
    std::string cds = home.file("cds");

    MediaHome() {
        make_directory(cds);
        home.write("cds/WICHTIG.INI",
                   "[Kategorie]\r\nAnzahl=2\r\nKategorie0=Games\r\nKategorie0parent=-2\r\n"
                   "Kategorie1=Old games\r\nKategorie1parent=0\r\n");
        add(0, "zero", 2, 0, 0x1234ABCD);
        add(1, "one\tlent", 3, MEDIUM_LENT, 0xFF);
        add(2, "M\xC3\xBCll", 0, 0, 0);
    }

    void add(int n, const char* name, std::uint32_t category, std::uint32_t flags,
             std::uint32_t serial) {
        test::ScriptedFrontend fe;
        Context ctx(fe);
        ctx.paths.catalog_dir = cds;
        ctx.catalog.reset(false);
        set_fixed_text(ctx.catalog.header.medium_name, name);
        set_fixed_text(ctx.catalog.header.volume_label, "VOL" + std::to_string(n));
        ctx.catalog.header.category = category;
        ctx.catalog.header.medium_flags = flags;
        ctx.catalog.header.volume_serial = serial;
        DirRecord d;
        d.name = ctx.catalog.append_name("dir").value;
        ctx.catalog.append_dir(d);
        for (int i = 0; i <= n; ++i) {
            FileRecord f;
            f.name = ctx.catalog.append_name("f" + std::to_string(i)).value;
            f.parent = 1;
            f.size_kb = 1.75f;
            ctx.catalog.append_file(f);
            ctx.catalog.header.total_kb += 1.75f;
        }
        ASSERT_EQ(SaveCatalog(ctx, n), n);
    }

    test::ProgramResult run(const std::vector<std::string>& args) const {
        return run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
    }
};

TEST(MediaCommand, PrintsOneTabSeparatedLinePerMedium) {
    MediaHome h;
    const auto r = h.run({"media"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "0\tzero\tVOL0\t1234ABCD\t1\t1\t2\tGames\t0\n"
              "1\tone lent\tVOL1\t000000FF\t1\t2\t4\tOld games\t1\n"
              "2\tM\xC3\xBCll\tVOL2\t00000000\t1\t3\t5\t\t0\n");
    EXPECT_EQ(r.err, "");
}

TEST(MediaCommand, CategoryFilterFollowsMembershipAndSubKat) {
    MediaHome h;
    auto numbers = [&](const std::vector<std::string>& args) {
        const auto r = h.run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        std::string first_column;
        for (std::size_t pos = 0; pos < r.out.size();) {
            first_column += r.out.substr(pos, r.out.find('\t', pos) - pos) + " ";
            pos = r.out.find('\n', pos) + 1;
        }
        return first_column;
    };
    EXPECT_EQ(numbers({"media", "--category", "2"}), "0 ");
    EXPECT_EQ(numbers({"media", "--category=1"}), "2 ");
    EXPECT_EQ(numbers({"media", "--category", "4"}), "1 ");  // lent
    EXPECT_EQ(numbers({"media", "--category", "0"}), "0 1 2 ");

    h.home.write("orbisto.INI", "[Optionen]\r\nSubKat=1\r\n");
    EXPECT_EQ(numbers({"media", "--category", "2"}), "0 1 ");
}

TEST(MediaCommand, BadArgumentsAreUsageErrors) {
    MediaHome h;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"media", "--category"},
                                                 {"media", "--category", "x"},
                                                 {"media", "--category", "5"},
                                                 {"media", "--category", "-1"},
                                                 {"media", "--category", "2x"},
                                                 {"media", "extra"},
                                                 {"categories", "extra"}}) {
        const auto r = h.run(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("orbisto:"), std::string::npos);
    }
}

TEST(CategoriesCommand, PrintsEveryEntryWithItsParent) {
    MediaHome h;
    const auto r = h.run({"categories"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "0\t0\t! Alle Medien   \n"
              "1\t0\t! restliche Medien    \n"
              "2\t0\tGames\n"
              "3\t2\tOld games\n"
              "4\t0\t! verliehen\n");
}

TEST(MediaCommand, EmptyStoreAndTheSettingsFileStaysUntouched) {
    test::TempDir home;
    auto r = run_program(ORBISTO_BINARY, {"media"}, {{"ORBISTO_HOME", home.path()}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = run_program(ORBISTO_BINARY, {"categories"}, {{"ORBISTO_HOME", home.path()}});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(file_exists(home.file("orbisto.INI")));

    MediaHome h;
    const std::string settings = "[Optionen]\r\nFastLoad=1\r\nReload=0\r\nLetzteKategorie=3\r\n";
    h.home.write("orbisto.INI", settings);
    EXPECT_EQ(h.run({"media", "--category", "3"}).status, 0);
    EXPECT_EQ(h.run({"categories"}).status, 0);
    EXPECT_EQ(read_file(h.home.file("orbisto.INI")), settings);
}

TEST(MediaCommand, ReadsTheFastLoadIndexWhenSwitchedOn) {
    MediaHome h;
    h.home.write("orbisto.INI", "[Optionen]\r\nFastLoad=1\r\n");
    // An index that names only medium 2 wins over the three files.
    test::ScriptedFrontend fe;
    Context ctx(fe);
    ctx.paths.catalog_dir = h.cds;
    MediumHeader m;
    ASSERT_EQ(ReadCatalogHeader(ctx, 2, m), 1);
    m.catalog_number = 2;
    m.text_encoding = TEXT_ENCODING_UTF8;  // the texts read are UTF-8
    h.home.write("cds/fastload.cds", std::string(reinterpret_cast<const char*>(&m), sizeof m));
    const auto r = h.run({"media"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2\tM\xC3\xBCll\tVOL2\t00000000\t1\t3\t5\t\t0\n");
}

}  // namespace
}  // namespace orbisto
