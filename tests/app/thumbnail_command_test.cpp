// "orbisto thumbnail" on a medium scanned by the real program with
// thumbnails on: the stored JPEG written out, and the refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/catalog.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store_file.h"
#include "fileinfo/thumbnail.h"
#include "platform/files.h"
#include "support/fixtures.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

std::span<const std::uint8_t> bytes_of(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// A medium of an 800 × 600 JPEG (twice, in two folders) and a picture too
// small for a thumbnail, scanned as catalogue 0. The scanned folder is the
// catalogue's one top-level directory, named by its full path.
struct ThumbnailHome {
    test::TempDir home;

    ThumbnailHome() {
        fs::create_directories(home.file("medium/photos/2024"));
        fs::copy_file(test::info_fixture("photo_800.jpg"),
                      home.file("medium/photos/2024/beach.jpg"));
        fs::copy_file(test::info_fixture("photo_800.jpg"), home.file("medium/root.jpg"));
        fs::copy_file(test::info_fixture("pic.gif"), home.file("medium/photos/small.gif"));
        home.write("orbisto.INI", "[Optionen]\r\nDateiinformationen=1\r\nThumbnails=1\r\n");
        const auto r = run({"--drive", home.file("medium")});
        EXPECT_EQ(r.status, 0) << r.err;
    }
    test::ProgramResult run(const std::vector<std::string>& args) const {
        return test::run_program(ORBISTO_BINARY, args,
                                 {{"ORBISTO_HOME", home.path()}, {"LANG", "C.UTF-8"}});
    }
    test::ProgramResult thumbnail(const std::vector<std::string>& args) const {
        std::vector<std::string> all{"thumbnail"};
        all.insert(all.end(), args.begin(), args.end());
        return run(all);
    }
    // The ImagePool bytes of a file's thumbnail, to the pool's end.
    std::string pool_from(const std::string& name) const {
        CatalogFileBytes bytes;
        Catalog catalog;
        WorkLimits limits;
        if (read_catalog_file(home.file("cds/0.cd"), SIZE_MAX, bytes) != FileReadStatus::Ok ||
            read_catalog_bytes(bytes.data(), 0, false, limits, catalog) != CatalogReadError::None) {
            return {};
        }
        for (std::uint32_t f = 0; f < catalog.files().size(); ++f) {
            if (catalog.file_name(f) != name) continue;
            const auto image = catalog.image_at(catalog.files()[f].thumbnail);
            return {image.begin(), image.end()};
        }
        return {};
    }
};

TEST(ThumbnailCommand, WritesExactlyTheStoredJpeg) {
    ThumbnailHome h;
    const std::string out = h.home.file("beach.jpg");
    auto r = h.thumbnail({"0", "photos/2024/beach.jpg", "--output", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto written = read_file(out);
    ASSERT_TRUE(written.has_value());
    // The stream alone: the pool holds more after it (its 0 byte, and the
    // next thumbnail when the other copy was stored later).
    const std::string pool = h.pool_from("beach.jpg");
    ASSERT_GT(pool.size(), written->size());
    EXPECT_EQ(pool.compare(0, written->size(), *written), 0);
    EXPECT_EQ(written->substr(written->size() - 2), "\xFF\xD9");
    Picture picture;
    std::string error;
    ASSERT_TRUE(DecodeThumbnail(bytes_of(*written), picture, error)) << error;
    EXPECT_EQ(picture.width, 256);
    EXPECT_EQ(picture.height, 192);

    // The whole stored path (the scanned folder's path first), and the path
    // below the folder with a leading slash.
    r = h.thumbnail({"0", h.home.file("medium/root.jpg"), "--output", h.home.file("a.jpg")});
    EXPECT_EQ(r.status, 0) << r.err;
    r = h.thumbnail({"0", "/root.jpg", "--output", h.home.file("b.jpg")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(h.home.file("a.jpg")), read_file(h.home.file("b.jpg")));
}

TEST(ThumbnailCommand, RefusesWhatIsNotThereAndKeepsAnExistingFile) {
    ThumbnailHome h;
    const std::string out = h.home.file("out.jpg");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;  // part of standard error
    };
    const Case cases[] = {
        {{"0", "photos/missing.jpg", "--output", out}, 1, "no file 'photos/missing.jpg'"},
        {{"0", "photos/small.gif", "--output", out}, 1, "has no thumbnail"},
        {{"0", "photos/2024", "--output", out}, 1, "no file"},  // a folder
        {{"7", "root.jpg", "--output", out}, 1, "catalogue 7"},
        {{}, 2, ""},
        {{"0", "root.jpg"}, 2, "--output"},
        {{"0", "/", "--output", out}, 2, "which file"},
        {{"x", "root.jpg", "--output", out}, 2, "'x'"},
        {{"0", "root.jpg", "--output", out, "extra"}, 2, ""},
        {{"0", "root.jpg", "--outptu", out}, 2, ""},
    };
    for (const Case& c : cases) {
        const auto r = h.thumbnail(c.args);
        EXPECT_EQ(r.status, c.status) << ::testing::PrintToString(c.args) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(file_exists(out));
    }
    h.home.write("out.jpg", "keep me");
    auto r = h.thumbnail({"0", "root.jpg", "--output", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
    EXPECT_EQ(read_file(out), "keep me");
    r = h.thumbnail({"0", "root.jpg", "--output", out, "--force"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(out)->substr(0, 2), "\xFF\xD8");
}

}  // namespace
}  // namespace orbisto
