// Packing and unpacking every catalogue, exporting and importing one.
#include "catalog/bulk.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "catalog/catalog_context.h"
#include "media_fixture.h"

namespace orbisto {
namespace {

struct ThreeMedia : test::MediaFixture {
    test::TempDir elsewhere;
    ThreeMedia() {
        for (int n = 0; n < 3; ++n) add_medium(n, "m" + std::to_string(n), 2);
        EXPECT_TRUE(BuildMediaList(ctx));
    }
    std::vector<bool> packed() const {
        std::vector<bool> out;
        for (int n = 0; n < 3; ++n) out.push_back(read_file(path(n))->starts_with("PK"));
        return out;
    }
};

TEST(PackAll, UnloadableCatalogueIsKeptUnpackingRestoresAndAFailedSaveStopsTheRun) {
    ThreeMedia f;
    const std::string damaged = read_file(f.path(1))->substr(0, 500);
    f.dir.write("1.cd", damaged);
    EXPECT_EQ(PackAll(f.ctx), BulkResult::Done);
    EXPECT_EQ(read_file(f.path(1)), damaged);  // never replaced by an empty Catalog
    EXPECT_EQ(f.packed(), (std::vector<bool>{true, false, true}));

    const std::string packed0 = *read_file(f.path(0));
    f.ctx.settings.options.store_compressed = true;
    ASSERT_EQ(UnpackAll(f.ctx), BulkResult::Done);
    EXPECT_EQ(f.packed(), (std::vector<bool>{false, false, false}));
    ASSERT_TRUE(LoadCatalog(f.ctx, 2));
    EXPECT_EQ(f.ctx.catalog.file_name(0), "file2.txt");

    // Every file write fails beyond 64 bytes.
    f.dir.write("0.cd", packed0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{}, small{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    small = {64, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    const BulkResult result = UnpackAll(f.ctx);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(result, BulkResult::Failed);
    EXPECT_EQ(read_file(f.path(0)), packed0);
}

TEST(Transfer, ExportedFileImportsAsANewMediumFailedImportsChangeNothing) {
    ThreeMedia f;
    f.ctx.settings.options.fast_load = true;
    const std::string out = f.elsewhere.write("copy.OBX", "old");
    ASSERT_TRUE(LoadCatalog(f.ctx, 1));
    f.fe.chosen_paths = {out, out};
    f.fe.answers = {Answer::No};
    EXPECT_FALSE(ExportCatalogue(f.ctx));
    EXPECT_EQ(read_file(out), "old");
    ASSERT_TRUE(ExportCatalogue(f.ctx));
    EXPECT_EQ(read_file(out), read_file(f.path(1)));

    const std::size_t one[] = {1};
    ASSERT_EQ(DeleteMedia(f.ctx, one, true), 1u);
    f.fe.chosen_paths = {out};
    EXPECT_EQ(ImportCatalogue(f.ctx), 1);
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 2, 1}));
    // Category 0 in memory and in the file, so a rebuilt list agrees.
    f.ctx.settings.options.fast_load = false;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.ctx.media.entries[1].category, 0u);

    const auto listing = f.dir_listing();
    f.ctx.limits.media = 2;  // numbers 0 .. 2 all taken
    f.fe.chosen_paths = {out, f.elsewhere.write("junk.OBX", "no catalogue"),
                         f.elsewhere.file("missing.OBX")};
    EXPECT_EQ(ImportCatalogue(f.ctx), -1);
    f.ctx.limits.media = 250;
    EXPECT_EQ(ImportCatalogue(f.ctx), -1);
    EXPECT_EQ(ImportCatalogue(f.ctx), -1);
    EXPECT_EQ(f.dir_listing(), listing);
    EXPECT_EQ(f.ctx.media.count(), 3u);
}

}  // namespace
}  // namespace orbisto
