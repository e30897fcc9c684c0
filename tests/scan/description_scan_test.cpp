// A whole scan of a medium that carries every kind of description: lists in
// two directories, FILE_ID.DIZ, an .ETX file, a user pattern, an LSM entry,
// an INDEX file and an RPM package.
#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "scan_home.h"
#include "session/context.h"
#include "session/scan_request.h"

namespace orbisto {
namespace {

const std::string kRpm =
    std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/packages/hello-desc-1.0-1.noarch.rpm";

TEST(DescriptionScan, EveryKindOfDescriptionEndsUpWhereItBelongs) {
    test::ScanHome h;
    h.volumes.add(h.base, kDriveFixed, "DATA", 1);
    Options& o = h.ctx.settings.options;
    o.use_file_id_diz = o.use_etx = o.use_lsm = o.use_index = true;
    o.own_descriptions[0] = 1;
    o.own_description_names[0] = "INFO";
    for (const char* d : {"games", "docs", "extra", "pkg"}) make_directory(h.medium + "/" + d);
    h.put("DESCRIPT.ION", "readme.txt  Read this first\r\nsetup.exe Installs\r\n   everything\r\n");
    for (const char* f : {"readme.txt", "setup.exe", "games/DOOM.ZIP"}) h.put(f);
    h.put("games/FILE_ID.DIZ", "Super Game v1.0");
    h.put("games/files.bbs", "DOOM.ZIP  The classic\r\n");
    h.put("games/zz.etx", "After the DIZ");  // FILE_ID.DIZ comes first for the directory
    h.put("docs/notes.etx", "Manual pages");
    h.put("extra/my_info.txt", "User info");
    h.put("pkg/app.lsm", "Begin4\r\nDesc1=Hello\r\nDesc2=World\r\nEnd\r\n");
    h.put("pkg/INDEX", "line one\nline two\n");
    ASSERT_TRUE(read_file(kRpm)) << kRpm;
    write_file_atomic(h.medium + "/pkg/app.rpm", *read_file(kRpm));

    ASSERT_GE(HandleScanRequest(h.ctx, kRequestScanNew, h.medium), 0);
    const Catalog& c = h.ctx.catalog;
    std::map<std::string, std::string> dirs, files;  // by the path below the medium
    for (std::uint32_t i = 2; i < c.dir_count(); ++i) dirs[c.dir_path(i)] = c.dir_comment(i);
    for (std::uint32_t i = 0; i < c.file_count(); ++i) files[c.file_path(i)] = c.file_comment(i);
    const std::string m = h.medium + "/";
    EXPECT_EQ(dirs, (std::map<std::string, std::string>{{m + "docs", "Manualpages"},
                                                        {m + "extra", "Userinfo"},
                                                        {m + "games", "SuperGamev10"},
                                                        {m + "pkg", ""}}));
    EXPECT_EQ(files[m + "setup.exe"], "Installs\r\neverything");
    EXPECT_EQ(files[m + "games/DOOM.ZIP"], "The classic");
    EXPECT_EQ(files[m + "pkg/app.lsm"], "HelloWorld");
    EXPECT_EQ(files[m + "pkg/INDEX"], "line one\r\nline two\r\n");
    EXPECT_NE(files[m + "pkg/app.rpm"].find("Hello from a tiny package."), std::string::npos);
}

}  // namespace
}  // namespace orbisto
