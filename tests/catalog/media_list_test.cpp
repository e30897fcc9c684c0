// Building the MediaList from catalogue files and the fast-load index.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalog/fastload.h"
#include "catalog/stored_header.h"
#include "media_fixture.h"

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

// ---- the fast-load index ----

struct FastLoadFixture : MediaFixture {
    FastLoadFixture() {
        for (int n = 0; n < 3; ++n) add_medium(n, "m");
        ctx.settings.options.FastLoad = 1;
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

}  // namespace
}  // namespace orbisto
