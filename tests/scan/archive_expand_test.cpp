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

TEST_F(ArchiveExpandTest, ArchivesBecomeFlaggedDirectoriesWithTheirContentsBelow) {
    if (!have("zip") || !have("unzip") || !have("tar")) GTEST_SKIP() << "zip, unzip or tar missing";
    ctx.settings.options.CRC32 = 1;
    put(src + "/a/top.txt", "top");
    put(src + "/a/sub/inner.txt", "inner");
    put(src + "/t/deep.txt", "deep");
    sh("cd " + src + "/t && tar -czf " + src + "/a/nested.tgz deep.txt");
    sh("cd " + src + "/a && zip -qr " + medium + "/a.zip .");
    put(medium + "/broken.zip", "PK but nothing an unpacker can read");
    scan();

    const auto d = dirs();
    ASSERT_TRUE(d.count("a.zip"));
    EXPECT_EQ(d.at("a.zip")->flags, FLAG_ARCHIVE_DIR);
    EXPECT_EQ(d.at("a.zip")->comment, COMMENT_ARCHIVE);
    // An archive inside an archive is expanded one level deeper.
    ASSERT_TRUE(d.count("a.zip/nested.tgz"));
    EXPECT_EQ(d.at("a.zip/nested.tgz")->flags, FLAG_ARCHIVE_DIR);

    const auto f = files();
    EXPECT_TRUE(f.count("a.zip/top.txt"));
    EXPECT_TRUE(f.count("a.zip/sub/inner.txt"));
    EXPECT_TRUE(f.count("a.zip/nested.tgz/deep.txt"));
    EXPECT_FALSE(f.count("a.zip"));
    // Nothing came out: a plain file, without CRC since a packer touched it.
    ASSERT_TRUE(f.count("broken.zip"));
    EXPECT_FALSE(d.count("broken.zip"));
    EXPECT_EQ(f.at("broken.zip").rfind("CRC:", 0), std::string::npos);
    EXPECT_TRUE(work_empty());
}

TEST_F(ArchiveExpandTest, DescriptionModeTakesFileIdDizAsTheArchivesComment) {
    if (!have("zip") || !have("unzip")) GTEST_SKIP() << "zip or unzip missing";
    ctx.settings.options.CDentpacken = kExpandFileIdOnly;
    ctx.settings.options.FILE_ID_DIZ = 1;
    put(src + "/d/FILE_ID.DIZ", "Besttool1996");
    put(src + "/d/tool.exe", "MZ");
    sh("cd " + src + "/d && zip -q " + medium + "/d.zip FILE_ID.DIZ tool.exe");
    scan();

    const auto f = files();
    ASSERT_TRUE(f.count("d.zip"));
    EXPECT_NE(f.at("d.zip").find("Besttool1996"), std::string::npos);
    EXPECT_EQ(ctx.catalog.dir_count(), 1u);
    EXPECT_TRUE(empty_dir(work + "/orbisto"));
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
        EXPECT_NE(path.rfind("links.tar/root/", 0), 0u) << path;
        EXPECT_NE(path.rfind("links.tar/out/", 0), 0u) << path;
    }
    EXPECT_EQ(read_file(tmp.file("outside/keep.txt")), "keep");
    EXPECT_TRUE(work_empty());
}

TEST_F(ArchiveExpandTest, OnlyTheFirstVolumeOfARarSetHasACommand) {
    // The volume rule decides before any program is looked for: with packers
    // untested every program counts as available.
    ctx.settings.options.PackerTesten = 0;
    ctx.settings.packer.RAR.command = "no-such-unpacker-program x %s";
    Mp3Totals mp3;
    for (const char* later : {"set.part02.rar", "set.part2.rar", "set.part002.rar"}) {
        EXPECT_EQ(ExpandArchive(ctx, medium, later, 0, 0, mp3), ArchiveExpansion::NoCommand);
    }
    put(medium + "/set.part01.rar", "Rar!");
    EXPECT_EQ(ExpandArchive(ctx, medium, "set.part01.rar", 0, 0, mp3),
              ArchiveExpansion::NothingCameOut);
    EXPECT_EQ(ctx.catalog.dir_count(), 1u);  // the record made for it was taken back
    EXPECT_TRUE(work_empty());
}

}  // namespace
}  // namespace orbisto
