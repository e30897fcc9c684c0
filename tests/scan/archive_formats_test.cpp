// Every packer path of the expansion with real archives: made by the
// installed packers where they can write the format, else written byte by
// byte (stored LHA and RAR members) by tests/tools/make_stored_archives.py
// and checked by the real unpackers before the scan.
#include <filesystem>
#include <string>
#include <vector>

#include "archive/archive_signature.h"
#include "archive_fixture.h"
#include "scan/scan_entry_rules.h"
#include "session/context.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;
using test::have;

struct Row {
    std::vector<const char*> tools;
    std::string archive;
    std::string make;  // shell line run in the source folder; MEDIUM = the medium
    std::vector<std::string> members;
};

class ArchiveFormatsTest : public test::ArchiveFixture {
  protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        put(src + "/a.txt", "hello");
        put(src + "/sub/b.txt", "inner");
    }
    bool have_all(const std::vector<const char*>& tools) const {
        for (const char* t : tools) {
            if (!have(t)) return false;
        }
        return true;
    }
    // Makes the archives of the rows whose tools are there, scans once and
    // checks each: a flagged directory with its members below it.
    void make_scan_check(const std::vector<Row>& rows) {
        std::string skipped;
        std::vector<const Row*> made;
        for (const Row& r : rows) {
            if (!have_all(r.tools)) {
                skipped += " " + r.archive;
                continue;
            }
            std::string line = r.make;
            for (std::size_t p; (p = line.find("MEDIUM")) != std::string::npos;) {
                line.replace(p, 6, medium);
            }
            sh("cd " + src + " && (" + line + ") >/dev/null");
            made.push_back(&r);
        }
        scan();
        const auto d = dirs();
        const auto f = files();
        for (const Row* r : made) {
            ASSERT_TRUE(d.count(r->archive)) << r->archive;
            EXPECT_EQ(d.at(r->archive)->flags, FLAG_ARCHIVE_DIR) << r->archive;
            EXPECT_FALSE(f.count(r->archive)) << r->archive;
            for (const std::string& m : r->members) {
                EXPECT_TRUE(f.count(r->archive + "/" + m)) << r->archive << "/" << m;
            }
        }
        EXPECT_TRUE(work_empty());
        if (!skipped.empty()) GTEST_SKIP() << "tools missing for" << skipped;
    }
    // Writes a stored LHA or RAR archive; see make_stored_archives.py.
    void stored(const std::string& kind, const std::string& out, const std::string& members) {
        sh("python3 " + std::string(ORBISTO_SOURCE_DIR) + "/tests/tools/make_stored_archives.py " +
           kind + " " + out + " " + members);
    }
};

TEST_F(ArchiveFormatsTest, ArchivesMadeByTheInstalledPackersBecomeDirectories) {
    make_scan_check({
        {{"arj"}, "t.arj", "arj a -r MEDIUM/t.arj a.txt sub", {"a.txt", "sub/b.txt"}},
        {{"7z"}, "t.7z", "7z a -bd MEDIUM/t.7z a.txt sub", {"a.txt", "sub/b.txt"}},
        // 7-Zip unpacks the outer layer only; the tar inside is expanded a
        // level deeper.
        {{"7z", "tar", "bzip2"},
         "t.tar.bz2",
         "tar -cjf MEDIUM/t.tar.bz2 a.txt sub",
         {"t.tar/a.txt", "t.tar/sub/b.txt"}},
        {{"7z", "gzip"}, "one.gz", "gzip -c a.txt > MEDIUM/one.gz", {"a.txt"}},
        {{"gcab", "cabextract"},
         "T.CAB",
         "gcab -c MEDIUM/T.CAB a.txt sub/b.txt",
         {"a.txt", "sub/b.txt"}},
    });
    if (fs::exists(medium + "/T.CAB")) {
        EXPECT_TRUE(ClassifyArchive(medium + "/T.CAB", 0, ClassifyMode::FullExpansion)
                        .is(ArchiveType::CAB));
    }
}

TEST_F(ArchiveFormatsTest, StoredLhaAndRarArchivesAndTheFirstVolumeOfARarSet) {
    if (!have_all({"python3", "lha", "unar", "lsar"}))
        GTEST_SKIP() << "python3, lha or unar missing";
    stored("lha", medium + "/t.lzh", "a.txt=hello sub/b.txt=inner");
    stored("rar", medium + "/t.rar", "a.txt=hello sub/b.txt=inner");
    stored("rarset", medium + "/x", "a.txt=first b.txt=second");
    // The unpackers take what the script wrote.
    sh("lha t " + medium + "/t.lzh >/dev/null");
    sh("lsar -t " + medium + "/t.rar >/dev/null && lsar -t " + medium + "/x.part1.rar >/dev/null");
    make_scan_check({
        {{}, "t.lzh", "true", {"a.txt", "sub/b.txt"}},
        {{}, "t.rar", "true", {"a.txt", "sub/b.txt"}},
        // The first volume unpacks the whole set; the second is a plain file.
        {{}, "x.part1.rar", "true", {"a.txt", "b.txt"}},
    });
    EXPECT_FALSE(dirs().count("x.part2.rar"));
    EXPECT_TRUE(files().count("x.part2.rar"));
}

TEST_F(ArchiveFormatsTest, ProgramWithAZipAppendedAndTheUsersOwnCommand) {
    if (!have_all({"zip", "unzip"})) GTEST_SKIP() << "zip or unzip missing";
    // unzip warns about the program bytes in front and ends with status 1.
    ctx.settings.options.use_exe = true;
    sh("cd " + src + " && zip -qr " + tmp.file("sfx.zip") + " a.txt sub && cat /bin/true " +
       tmp.file("sfx.zip") + " > " + medium + "/setup.exe");
    // The user's command unpacks into its current directory.
    put(src + "/own.sh",
        "#!/bin/sh\necho one > one.txt\nmkdir d\necho two > d/two.txt\ncp \"$1\" copy.bin\n");
    fs::permissions(src + "/own.sh", fs::perms::owner_all);
    ctx.settings.packer.own_command = src + "/own.sh %s";
    // Named for a ZIP too: the ZIP group keeps what it matches.
    ctx.settings.packer.own_extensions = "xyz zip";
    put(medium + "/pack.xyz", "own format");
    sh("cd " + src + " && zip -qr " + medium + "/plain.zip a.txt sub");
    make_scan_check({
        {{}, "setup.exe", "true", {"a.txt", "sub/b.txt"}},
        {{}, "pack.xyz", "true", {"one.txt", "d/two.txt", "copy.bin"}},
        {{}, "plain.zip", "true", {"a.txt", "sub/b.txt"}},
    });
}

TEST_F(ArchiveFormatsTest, DescriptionFilesInsideArjLhaRarAnd7z) {
    ctx.settings.options.use_file_id_diz = true;
    put(src + "/FILE_ID.DIZ", "Besttool1996");
    std::vector<std::string> made;
    if (have("arj")) {
        sh("cd " + src + " && arj a " + medium + "/d.arj FILE_ID.DIZ a.txt >/dev/null");
        made.push_back("d.arj");
    }
    // lha shows the name of the DOS member in lower case; the RAR member was
    // written in lower case.
    if (have_all({"python3", "lha"})) {
        stored("lha", medium + "/d.lzh", "FILE_ID.DIZ=Besttool1996 a.txt=hello");
        made.push_back("d.lzh");
    }
    if (have_all({"python3", "unar"})) {
        stored("rar", medium + "/d.rar", "file_id.diz=Besttool1996 a.txt=hello");
        made.push_back("d.rar");
    }
    ctx.settings.options.archive_expansion = ExpansionMode::DescriptionOnly;
    scan();
    const auto f = files();
    for (const std::string& name : made) {
        ASSERT_TRUE(f.count(name)) << name;
        EXPECT_NE(f.at(name).find("Besttool1996"), std::string::npos) << name;
    }
    EXPECT_EQ(ctx.catalog.dir_count(), 1u);

    std::error_code ec;
    EXPECT_TRUE(fs::remove(work + "/orbisto", ec)) << "description work directory not empty";
    if (!have("7z")) GTEST_SKIP() << "7z missing";
    fs::remove_all(medium);
    make_directory(medium);
    sh("cd " + src + " && 7z a -bd " + medium + "/d.7z FILE_ID.DIZ a.txt >/dev/null");
    Context full{fe};
    full.paths = ctx.paths;
    full.settings = ctx.settings;
    full.settings.options.archive_expansion = ExpansionMode::All;
    Mp3Totals mp3;
    ScanDirectory(full, medium, 0, 0, 0, mp3);
    ASSERT_EQ(full.catalog.dir_count(), 2u);
    EXPECT_EQ(full.catalog.dir_comment(1), "Besttool1996");
    EXPECT_TRUE(work_empty());
}

TEST_F(ArchiveFormatsTest, KeptWorkTreesStayInTheCopyDirectory) {
    if (!have_all({"zip", "unzip"})) GTEST_SKIP() << "zip or unzip missing";
    const std::string copy = tmp.file("copy");
    make_directory(copy);
    ctx.paths.temp_dir = copy;
    ctx.settings.options.keep_expanded_files = true;
    sh("cd " + src + " && zip -qr " + medium + "/a.zip a.txt sub");
    // A second scan of the same medium finds the first tree in the way.
    for (const char* tree : {"a.zip", "Ka.zi!"}) {
        Context run{fe};
        run.paths = ctx.paths;
        run.settings = ctx.settings;
        Mp3Totals mp3;
        ScanDirectory(run, medium, 0, 0, 0, mp3);
        EXPECT_EQ(run.catalog.dir_path(1), "a.zip");
        EXPECT_EQ(run.catalog.file_count(), 2u);
        EXPECT_EQ(read_file(copy + "/" + tree + "/sub/b.txt"), "inner") << tree;
    }

    // Searching for descriptions: what an earlier archive left behind is
    // never taken for the next one's.
    ctx.settings.options.use_file_id_diz = true;
    put(src + "/FILE_ID.DIZ", "Besttool1996");
    sh("cd " + src + " && zip -q " + medium + "/d.zip FILE_ID.DIZ && zip -q " + medium +
       "/n.zip a.txt");
    std::uint32_t with = 0, without = 0;
    EXPECT_TRUE(ExtractDescriptionFromArchive(ctx, medium, "d.zip", with));
    EXPECT_TRUE(ExtractDescriptionFromArchive(ctx, medium, "n.zip", without));
    EXPECT_EQ(ctx.catalog.comment_at(with), "Besttool1996");
    EXPECT_EQ(without, 0u);
}

}  // namespace
}  // namespace orbisto
