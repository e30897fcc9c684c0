// Archives met by the walk, with real archives made by the installed tools:
// what the catalogue records for them, and that the work directory is left
// empty and nothing lands or is removed outside it.
#include <unistd.h>

#include <filesystem>

#include "scan/archive_fixture.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;
using test::have;

using ArchiveExpandTest = test::ArchiveFixture;

TEST_F(ArchiveExpandTest, NestedArchivesGoOneLevelDeeperAndUnreadableOnesStayFiles) {
    if (!have("zip") || !have("unzip") || !have("tar")) GTEST_SKIP() << "zip, unzip or tar missing";
    ctx.settings.options.compute_crc32 = true;
    put(src + "/a/top.txt", "top");
    put(src + "/t/deep.txt", "deep");
    sh("cd " + src + "/t && tar -czf " + src + "/a/nested.tgz deep.txt");
    sh("cd " + src + "/a && zip -qr " + medium + "/a.zip .");
    put(medium + "/broken.zip", "PK but nothing an unpacker can read");
    scan();

    const auto d = dirs();
    ASSERT_TRUE(d.count("a.zip/nested.tgz"));
    EXPECT_EQ(d.at("a.zip")->comment, COMMENT_ARCHIVE);
    EXPECT_EQ(d.at("a.zip/nested.tgz")->flags, FLAG_ARCHIVE_DIR);
    const auto f = files();
    EXPECT_TRUE(f.count("a.zip/nested.tgz/deep.txt"));
    // Nothing came out: a plain file, without CRC since a packer touched it.
    EXPECT_FALSE(d.count("broken.zip"));
    EXPECT_EQ(f.at("broken.zip"), "");
    EXPECT_TRUE(work_empty());
}

TEST_F(ArchiveExpandTest, HostileMembersNeverReachOutsideTheWorkDirectory) {
    if (!have("unzip") || !have("python3") || !have("tar")) GTEST_SKIP() << "tools missing";
    // Members climbing out of the target and an absolute one.
    sh("python3 -c \"import zipfile; z = zipfile.ZipFile('" + medium +
       "/evil.zip', 'w'); z.writestr('../escape', 'x'); z.writestr('../../escape2', 'x'); "
       "z.writestr('/tmp/orbisto_abs_escape_test', 'x'); z.writestr('ok.txt', 'ok'); z.close()\"");
    // Links to the root and to a folder outside, recorded but never followed,
    // also not when the expanded tree is removed.
    put(tmp.file("outside/keep.txt"), "keep");
    put(src + "/l/file.txt", "f");
    ASSERT_EQ(::symlink("/", (src + "/l/root").c_str()), 0);
    ASSERT_EQ(::symlink(tmp.file("outside").c_str(), (src + "/l/out").c_str()), 0);
    sh("cd " + src + "/l && tar -cf " + medium + "/links.tar file.txt root out");
    scan();

    const auto f = files();
    EXPECT_TRUE(f.count("evil.zip/ok.txt"));
    for (const auto& p : {tmp.file("escape"), tmp.file("medium/escape"), tmp.file("escape2"),
                          std::string("/tmp/orbisto_abs_escape_test")}) {
        EXPECT_FALSE(fs::exists(fs::symlink_status(p))) << p;
    }
    EXPECT_TRUE(f.count("links.tar/file.txt"));
    for (const auto& [path, comment] : f) {
        EXPECT_FALSE(path.starts_with("links.tar/root/") || path.starts_with("links.tar/out/"));
    }
    EXPECT_EQ(read_file(tmp.file("outside/keep.txt")), "keep");
    EXPECT_TRUE(work_empty());
}

}  // namespace
}  // namespace orbisto
