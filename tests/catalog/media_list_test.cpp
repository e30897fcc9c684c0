// Building the MediaList from catalogue files and the fast-load index.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalog/fastload.h"
#include "catalog/stored_header.h"
#include "media_fixture.h"
#include "session/context.h"

namespace orbisto {
namespace {

using test::MediaFixture;

std::string header_bytes(std::string_view name, std::uint16_t version = 3) {
    MediumHeader h;
    h.version = version;
    h.catalog_number = 77;  // as in a file copied from elsewhere
    set_fixed_text(h.medium_name, name);
    const auto stored = header_to_stored(h);
    return std::string(stored.begin(), stored.end());
}

TEST(BuildMediaList, ListsOnlyCatalogueNumberNamesInNumberOrder) {
    MediaFixture f;
    f.add_medium(10, "ten");
    f.add_medium(0, "zero");
    for (const char* name : {"x.cd", "12a.cd", "007.cd", "-1.cd", " 5.cd", "99999.cd", "3.cdx"}) {
        f.dir.write(name, header_bytes("stray"));
    }
    f.dir.write("4.CD", header_bytes("upper"));  // any case of the extension
    f.dir.write("6.cd", "short");                // shorter than a header
    ASSERT_EQ(::mkdir(f.dir.file("7.cd").c_str(), 0755), 0);

    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 4, 10}));  // numbers from the names
    EXPECT_EQ(fixed_text(f.ctx.media.entries[1].medium_name), "upper");
}

TEST(BuildMediaList, ACatalogueWithADamagedVersionWordIsReportedAndLeftAlone) {
    MediaFixture f;
    f.add_medium(0, "zero");
    std::string damaged = *read_file(f.path(0));
    damaged[0] = 2;  // a version 3 file that now claims the old layout
    f.dir.write("1.cd", damaged);
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0}));
    EXPECT_TRUE(f.fe.saw_message(" Datei beschädigt, nicht umgewandelt "));
    EXPECT_EQ(*read_file(f.path(1)), damaged);
}

// ---- the fast-load index ----

struct FastLoadFixture : MediaFixture {
    FastLoadFixture() {
        for (int n = 0; n < 3; ++n) add_medium(n, "m");
        ctx.settings.options.fast_load = true;
        EXPECT_TRUE(BuildMediaList(ctx));
        EXPECT_TRUE(WriteFastLoadIndex(ctx));
    }
    std::string index_path() const { return dir.file(kFastLoadName); }
};

TEST(FastLoadIndex, ValidIndexWinsOverTheFilesDamagedOneIsIgnored) {
    FastLoadFixture f;
    const std::string good = *read_file(f.index_path());
    ASSERT_EQ(::unlink(f.path(1).c_str()), 0);
    f.add_medium(5, "five");
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2}));

    const std::vector<std::uint32_t> from_files{0, 2, 5};
    std::string other_version = good;
    other_version[136] = 5;
    for (const std::string& bad : {good.substr(0, 136) + "x", other_version}) {
        f.dir.write(kFastLoadName, bad);
        ASSERT_TRUE(BuildMediaList(f.ctx));
        EXPECT_EQ(f.numbers(), from_files) << bad.size();
    }
}

TEST(FastLoadIndex, RegenerationAsksThenRebuildsFromTheFilesAFailedWriteIsReported) {
    FastLoadFixture f;
    f.add_medium(9, "nine");  // the index is stale now
    f.fe.answers = {Answer::No};
    EXPECT_FALSE(RegenerateFastLoadIndex(f.ctx));
    f.fe.answers = {Answer::Yes};
    EXPECT_TRUE(RegenerateFastLoadIndex(f.ctx));
    EXPECT_EQ(read_file(f.index_path())->size(), 4 * 136u);
    f.ctx.paths.catalog_dir = f.dir.file("missing");
    EXPECT_FALSE(WriteFastLoadIndex(f.ctx));
    EXPECT_TRUE(f.fe.saw_message("Datei konnte nicht angelegt werden"));
}

TEST(FastLoadIndex, EveryWriteListsTheMediaOtherRunsStoredOrDeletedMeanwhile) {
    FastLoadFixture a;
    // A second run on the same directory that read the same index at start.
    test::ScriptedFrontend fe;
    Context b{fe};
    b.paths.catalog_dir = a.dir.path();
    b.settings.options.fast_load = true;
    ASSERT_TRUE(BuildMediaList(b));
    auto store_new = [](Context& ctx, const char* name) {
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
        set_fixed_text(ctx.catalog.header.medium_name, name);
        const int n = SaveCatalog(ctx, -1);
        ctx.media.store(ctx.catalog.header);
        EXPECT_TRUE(WriteFastLoadIndex(ctx));
        return n;
    };
    auto indexed = [&] {
        std::vector<std::uint32_t> out;
        const auto index = read_fastload_entries(a.index_path());
        for (const MediumHeader& e : index.value_or(std::vector<MediumHeader>{})) {
            out.push_back(e.catalog_number);
        }
        return out;
    };
    EXPECT_EQ(store_new(b, "from b"), 3);
    EXPECT_EQ(store_new(a.ctx, "from a"), 4);
    // The writer's own order first, then what the other run stored.
    EXPECT_EQ(indexed(), (std::vector<std::uint32_t>{0, 1, 2, 4, 3}));
    fe.answers = {Answer::Yes};
    const std::size_t second[] = {1};
    ASSERT_EQ(DeleteMedia(b, second, true), 1u);
    a.ctx.catalog.set_changed(false);
    EXPECT_TRUE(WriteFastLoadIndex(a.ctx));
    EXPECT_EQ(indexed(), (std::vector<std::uint32_t>{0, 2, 4, 3}));
}

}  // namespace
}  // namespace orbisto
