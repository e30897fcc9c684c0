// Unpacking a catalogued archive into the copy directory, with archives made
// by the installed tools at test time.
#include "archive/catalog_file_expand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "archive/archive_context.h"
#include "archive/packer_table.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

bool have(const char* program) {
    const char* path = std::getenv("PATH");
    return !search_path_list(program, path ? path : "/usr/bin:/bin").empty();
}

class CatalogFileExpandTest : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::TempDir tmp;
    std::string copy = tmp.file("copy"), src = tmp.file("src");

    void SetUp() override {
        make_directory(copy);
        make_directories(src + "/sub");
        write_file_atomic(src + "/top.txt", "top");
        write_file_atomic(src + "/sub/inner.txt", "inner");
        ctx.settings.options.copy_path = copy;
        ctx.settings.options.language = Language::English;
    }
    // Runs a shell line made of the test's own paths (no foreign input).
    void sh(const std::string& line) { ASSERT_EQ(std::system(line.c_str()), 0) << line; }
    std::string expand_ok(const std::string& path) {
        const CatalogFileExpansion r = ExpandCatalogFile(ctx, path);
        EXPECT_TRUE(r.ok()) << path << ": " << r.error;
        return r.target;
    }
};

TEST_F(CatalogFileExpandTest, EachFormatGoesIntoTheDirectoryNamedAfterIt) {
    if (!have("zip") || !have("unzip") || !have("arj") || !have("tar") || !have("7z")) {
        GTEST_SKIP() << "zip, unzip, arj, tar or 7z missing";
    }
    const std::string in = "cd '" + src + "' && ";
    sh(in +
       "zip -qr ../pack.zip top.txt sub && tar czf ../Tree.TGZ top.txt sub && "
       "arj a -r -y ../old.arj '*' >/dev/null && gzip -nc top.txt > ../note.txt.gz");
    for (const char* name : {"pack.zip", "Tree.TGZ", "old.arj"}) {
        const std::string target = expand_ok(tmp.file(name));
        EXPECT_EQ(target, copy + "/" + std::string(name).substr(0, std::string(name).find('.')))
            << name;
        EXPECT_EQ(read_file(target + "/top.txt"), "top") << name;
        EXPECT_EQ(read_file(target + "/sub/inner.txt"), "inner") << name;
    }
    EXPECT_EQ(read_file(expand_ok(tmp.file("note.txt.gz")) + "/note.txt"), "top");

    // The name is taken: its last character is replaced, from blank upwards.
    EXPECT_EQ(expand_ok(tmp.file("pack.zip")), copy + "/pac ");
    EXPECT_EQ(expand_ok(tmp.file("pack.zip")), copy + "/pac!");
    EXPECT_EQ(read_file(copy + "/pac!/sub/inner.txt"), "inner");
    sh("cp '" + tmp.file("pack.zip") + "' '" + tmp.file("Café.zip") + "'");
    expand_ok(tmp.file("Café.zip"));
    EXPECT_EQ(expand_ok(tmp.file("Café.zip")), copy + "/Caf ");  // never half a character
}

TEST_F(CatalogFileExpandTest, ZipAppendedToAProgramIsUnpacked) {
    if (!have("zip") || !have("unzip")) GTEST_SKIP() << "zip or unzip missing";
    sh("cd '" + src +
       "' && zip -qr ../inner.zip top.txt && cat /bin/true ../inner.zip > ../setup.exe");
    EXPECT_EQ(read_file(expand_ok(tmp.file("setup.exe")) + "/top.txt"), "top");
}

TEST_F(CatalogFileExpandTest, WhatIsNoArchiveIsRefusedAndNothingIsMade) {
    if (!have("zip")) GTEST_SKIP() << "zip missing";
    sh("cd '" + src +
       "' && zip -qr - top.txt > ../real.txt && cp /bin/true ../plain.exe && "
       "cp ../real.txt ../real.zip");
    write_file_atomic(tmp.file("fake.zip"), "just text, no archive");
    for (const char* name : {"real.txt", "fake.zip", "plain.exe"}) {
        EXPECT_EQ(ExpandCatalogFile(ctx, tmp.file(name)).error, "not an archive") << name;
    }
    for (const std::string& path : {tmp.file("missing.zip"), tmp.path()}) {
        EXPECT_EQ(ExpandCatalogFile(ctx, path).error, "file not found") << path;
    }

    ctx.settings.options.copy_path.clear();
    EXPECT_EQ(ExpandCatalogFile(ctx, tmp.file("real.zip")).error, "no copy directory set");
    ctx.settings.options.language = Language::German;
    EXPECT_EQ(ExpandCatalogFile(ctx, tmp.file("fake.zip")).error, "kein Archiv");
    EXPECT_TRUE(fs::is_empty(copy));
}

TEST_F(CatalogFileExpandTest, MembersClimbingOutStayInsideTheTarget) {
    if (!have("unzip") || !have("python3")) GTEST_SKIP() << "unzip or python3 missing";
    sh("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1],'w'); "
       "[z.writestr(n,'x') for n in ('ok.txt','../up.txt','../../up2.txt','/abs.txt')]\" '" +
       tmp.file("evil.zip") + "'");
    const std::string target = expand_ok(tmp.file("evil.zip"));
    EXPECT_EQ(read_file(target + "/ok.txt"), "x");
    for (const auto& p : {copy + "/up.txt", tmp.file("up2.txt"), std::string("/abs.txt")}) {
        EXPECT_FALSE(fs::exists(p)) << p;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(copy), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace orbisto
