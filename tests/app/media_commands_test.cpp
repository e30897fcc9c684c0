// The headless "media" and "categories" commands, run as the real program
// over a self-contained ORBISTO_HOME.
#include <gtest/gtest.h>

#include "catalog/catalog_context.h"
#include "catalog/catalog_fixture.h"
#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/run_program.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

// Categories 2 "Games", 3 "Old games" (under Games), lent entry 4; three
// media with n + 1 files of 1.75 KB each.
struct MediaHome {
    test::TempDir home;

    MediaHome() {
        make_directory(home.file("cds"));
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
        ctx.paths.catalog_dir = home.file("cds");
        set_fixed_text(ctx.catalog.header.medium_name, name);
        set_fixed_text(ctx.catalog.header.volume_label, "VOL" + std::to_string(n));
        ctx.catalog.header.category = category;
        ctx.catalog.header.medium_flags = flags;
        ctx.catalog.header.volume_serial = serial;
        ctx.catalog.append_dir(DirRecord{});
        for (int i = 0; i <= n; ++i) test::add_file(ctx.catalog, "f", 0, 1.75f);
        ASSERT_EQ(SaveCatalog(ctx, n), n);
    }
    test::ProgramResult run(const std::vector<std::string>& args) const {
        return test::run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
    }
    // The first column of every line.
    std::string numbers(const std::vector<std::string>& args) const {
        std::string out, text = run(args).out;
        for (std::size_t pos = 0; pos < text.size(); pos = text.find('\n', pos) + 1) {
            out += text.substr(pos, text.find('\t', pos) - pos) + " ";
        }
        return out;
    }
};

TEST(MediaCommand, ListsOneTabSeparatedLinePerEntryAndRefusesBadArgumentsWritingNothing) {
    MediaHome h;
    EXPECT_EQ(h.run({"media"}).out,
              "0\tzero\tVOL0\t1234ABCD\t1\t1\t2\tGames\t0\n"
              "1\tone lent\tVOL1\t000000FF\t1\t2\t4\tOld games\t1\n"
              "2\tM\xC3\xBCll\tVOL2\t00000000\t1\t3\t5\t\t0\n");
    // Every category entry with its parent.
    EXPECT_EQ(h.run({"categories"}).out,
              "0\t0\t! Alle Medien   \n1\t0\t! restliche Medien    \n2\t0\tGames\n"
              "3\t2\tOld games\n4\t0\t! verliehen\n");

    EXPECT_EQ(h.numbers({"media", "--category", "2"}), "0 ");
    EXPECT_EQ(h.numbers({"media", "--category", "4"}), "1 ");
    const std::string settings = "[Optionen]\r\nSubKat=1\r\nLetzteKategorie=3\r\n";
    h.home.write("orbisto.INI", settings);
    EXPECT_EQ(h.numbers({"media", "--category", "2"}), "0 1 ");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"media", "--category"},
                                                 {"media", "--category", "5"},
                                                 {"categories", "extra"}}) {
        const auto bad = h.run(args);
        EXPECT_EQ(bad.status, 2) << args.back();
        EXPECT_EQ(bad.out, "");
    }
    EXPECT_EQ(read_file(h.home.file("orbisto.INI")), settings);
}

}  // namespace
}  // namespace orbisto
