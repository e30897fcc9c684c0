// A whole scan of a medium that carries every kind of description: lists in
// two directories, FILE_ID.DIZ, an .ETX file, a user pattern, an LSM entry,
// an INDEX file and an RPM package.
#include <dirent.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "scan/scan_request.h"
#include "scan_home.h"

namespace orbisto {
namespace {

// The first .rpm package among the committed fixtures; empty when there is none.
std::string fixture_rpm() {
    const std::string dir = std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/packages";
    std::string found;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() > 4 && name.ends_with(".rpm") && found.empty())
                found = dir + "/" + name;
        }
        ::closedir(d);
    }
    return found;
}

TEST(DescriptionScan, EveryKindOfDescriptionEndsUpWhereItBelongs) {
    test::ScanHome h;
    h.volumes.add(h.base, kDriveFixed, "DATA", 1);
    Options& o = h.ctx.settings.options;
    o.FILE_ID_DIZ = o.ETX = o.LSM = o.INDEX = 1;
    o.Selbst[0] = 1;
    o.Selbst_Text[0] = "INFO";
    for (const char* d : {"games", "docs", "extra", "pkg"}) make_directory(h.medium + "/" + d);
    h.put("DESCRIPT.ION", "readme.txt  Read this first\r\nsetup.exe Installs\r\n   everything\r\n");
    h.put("readme.txt");
    h.put("setup.exe");
    h.put("games/FILE_ID.DIZ", "Super Game v1.0");
    h.put("games/files.bbs", "DOOM.ZIP  The classic\r\n");
    h.put("games/DOOM.ZIP");
    h.put("docs/notes.etx", "Manual pages");
    h.put("extra/my_info.txt", "User info");
    h.put("pkg/app.lsm", "Begin4\r\nDesc1=Hello\r\nDesc2=World\r\nEnd\r\n");
    h.put("pkg/INDEX", "line one\nline two\n");
    const std::string rpm = fixture_rpm();
    if (!rpm.empty()) write_file_atomic(h.medium + "/pkg/app.rpm", *read_file(rpm));

    ASSERT_GE(HandleScanRequest(h.ctx, kRequestScanNew, h.medium), 0);
    const Catalog& c = h.ctx.catalog;
    std::map<std::string, std::string> dirs, files;
    for (std::uint32_t i = 2; i < c.dir_count(); ++i)
        dirs[std::string(c.dir_name(i))] = c.dir_comment(i);
    for (std::uint32_t i = 0; i < c.file_count(); ++i) {
        const std::uint32_t parent = c.files()[i].parent;
        const std::string dir = parent > 1 ? std::string(c.dir_name(parent)) + "/" : "";
        files[dir + std::string(c.file_name(i))] = c.file_comment(i);
    }
    EXPECT_EQ(dirs, (std::map<std::string, std::string>{{"docs", "Manualpages"},
                                                        {"extra", "Userinfo"},
                                                        {"games", "SuperGamev10"},
                                                        {"pkg", ""}}));
    EXPECT_EQ(files["readme.txt"], "Read this first");
    EXPECT_EQ(files["setup.exe"], "Installs\r\neverything");
    EXPECT_EQ(files["DESCRIPT.ION"], "");
    EXPECT_EQ(files["games/FILE_ID.DIZ"], "Super Game v10");
    EXPECT_EQ(files["games/DOOM.ZIP"], "The classic");
    EXPECT_EQ(files["docs/notes.etx"], "Manual pages");
    EXPECT_EQ(files["extra/my_info.txt"], "User info");
    EXPECT_EQ(files["pkg/app.lsm"], "HelloWorld");
    EXPECT_EQ(files["pkg/INDEX"], "line one\r\nline two\r\n");
    ASSERT_FALSE(rpm.empty()) << "no RPM package in tests/fixtures/packages";
    EXPECT_NE(files["pkg/app.rpm"].find("Hello from a tiny package."), std::string::npos)
        << files["pkg/app.rpm"];
}

}  // namespace
}  // namespace orbisto
