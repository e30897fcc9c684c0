// A whole scan with thumbnails whose pictures are read ahead by worker
// threads gives the catalogue, and the status texts, of a scan that reads
// every picture on the spot: the same comments and thumbnails on the same
// files, a description file's comment kept, a damaged picture's message
// shown once, pictures passed over without a record dropped.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "fileinfo/info_prefetch.h"
#include "scan/walk_hooks.h"
#include "scan_home.h"
#include "session/scan_request.h"
#include "support/fixtures.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

struct Stored {
    std::string comment;
    std::vector<std::uint8_t> thumbnail;
    bool operator==(const Stored&) const = default;
};

struct Scanned {
    std::map<std::string, Stored> files;  // by the path below the medium
    int damaged_messages = 0;
};

// The medium: two rolls of photos with other pictures and files between
// them, a comment from a description file, a cut JPEG, and an archive-like
// name the walk does not read.
void fill(const test::ScanHome& h) {
    fs::create_directories(h.medium + "/roll1/sub");
    fs::create_directories(h.medium + "/roll2");
    for (int i = 0; i < 9; ++i) {
        fs::copy_file(test::info_fixture("photo_800.jpg"),
                      h.medium + "/roll1/IMG_0" + std::to_string(i) + ".JPG");
    }
    for (const char* name : {"photo_800.png", "pic_24.bmp", "pic.tif", "pic_24.tga"}) {
        fs::copy_file(test::info_fixture(name), h.medium + "/roll2/" + name);
        fs::copy_file(test::info_fixture(name), h.medium + "/roll1/sub/" + name);
    }
    h.put("roll1/notes.txt", "not a picture");
    h.put("roll1/DESCRIPT.ION", "IMG_03.JPG Beach at noon\r\n");
    std::ifstream in(test::info_fixture("photo_800.jpg"), std::ios::binary);
    std::string head(3000, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    h.put("roll2/cut.jpg", head);
}

Scanned scan(bool workers) {
    test::ScanHome h;
    h.volumes.add(h.base, kDriveFixed, "DATA", 1);
    Options& o = h.ctx.settings.options;
    o.file_information = o.thumbnails = true;
    o.min_image_width = o.min_image_height = 1;
    o.real_time = false;
    fill(h);
    // With workers, three of them whatever the machine has; without, every
    // picture read where the walk reaches it.
    InfoPrefetch pool(o, 3);
    WalkHooks on_the_spot;
    FileInfoSession session;
    on_the_spot.collect_file_info = [&](const std::string& path, FileInfoResult& result) {
        return CollectFileInfo(h.ctx, session, path, fs::file_size(path), result);
    };
    if (workers) {
        h.ctx.scan.prefetch = &pool;
    } else {
        h.ctx.scan.walk_hooks = &on_the_spot;
    }
    EXPECT_GE(HandleScanRequest(h.ctx, kRequestScanNew, h.medium), 0);
    Scanned s;
    const Catalog& c = h.ctx.catalog;
    for (std::uint32_t i = 0; i < c.file_count(); ++i) {
        const auto image = c.image_at(c.files()[i].thumbnail);
        Stored& f = s.files[c.file_path(i).substr(h.medium.size())];
        f.comment = c.file_comment(i);
        if (c.files()[i].thumbnail != 0) f.thumbnail.assign(image.begin(), image.end());
    }
    for (const std::string& text : h.fe.statuses) {
        s.damaged_messages +=
            text.find("kann Bilddaten ") == 0 && text.find("/roll2/cut.jpg") != std::string::npos;
    }
    return s;
}

TEST(PictureReadAhead, GivesTheCatalogueOfAScanThatReadsEveryPictureOnTheSpot) {
    const Scanned ahead = scan(true);
    const Scanned spot = scan(false);
    EXPECT_EQ(ahead.files.size(), 20u);
    EXPECT_TRUE(ahead.files == spot.files);
    for (const auto& [path, f] : ahead.files) {
        SCOPED_TRACE(path);
        EXPECT_EQ(f.thumbnail, spot.files.at(path).thumbnail);
        EXPECT_EQ(f.comment, spot.files.at(path).comment);
    }
    EXPECT_EQ(ahead.files.at("/roll1/IMG_03.JPG").comment, "Beach at noon");
    EXPECT_FALSE(ahead.files.at("/roll1/IMG_03.JPG").thumbnail.empty());
    EXPECT_EQ(ahead.files.at("/roll1/IMG_04.JPG").comment.rfind("JPEG ", 0), 0u);
    EXPECT_FALSE(ahead.files.at("/roll1/sub/pic.tif").thumbnail.empty());
    EXPECT_TRUE(ahead.files.at("/roll2/cut.jpg").thumbnail.empty());
    EXPECT_EQ(ahead.damaged_messages, 1);
    EXPECT_EQ(spot.damaged_messages, 1);
}

}  // namespace
}  // namespace orbisto
