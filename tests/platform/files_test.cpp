#include "platform/files.h"

#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/byte_io.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

TEST(Files, AtomicWriteReplacesLeavesNoTemporaryFileAndKeepsTheOldOneOnFailure) {
    test::TempDir dir;
    const std::string p = dir.write("a.ini", "old");
    ASSERT_TRUE(write_file_atomic(p, "new content"));
    EXPECT_EQ(*read_file(p), "new content");
    int entries = 0;
    if (DIR* d = ::opendir(dir.path().c_str())) {
        while (dirent* e = ::readdir(d)) entries += e->d_name[0] != '.' || e->d_name[1] > '.';
        ::closedir(d);
    }
    EXPECT_EQ(entries, 1);

    EXPECT_FALSE(write_file_atomic(dir.file("gone/a.ini"), "x"));
    if (::geteuid() == 0) return;  // root ignores directory permissions
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(write_file_atomic(p, "newer"));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(*read_file(p), "new content");
}

TEST(Files, CaseInsensitiveLookupPrefersTheExactName) {
    test::TempDir dir;
    dir.write("WICHTIG.INI", "x");
    EXPECT_EQ(*find_case_insensitive(dir.path(), "wichtig.ini"), dir.file("WICHTIG.INI"));
    dir.write("wichtig.ini", "y");
    EXPECT_EQ(*find_case_insensitive(dir.path(), "wichtig.ini"), dir.file("wichtig.ini"));
}

TEST(Files, RemoveTreeDoesNotFollowLinks) {
    test::TempDir outside;
    outside.write("keep.txt", "keep");
    test::TempDir dir;
    ASSERT_TRUE(make_directories(dir.file("a/b")));
    dir.write("a/b/f.txt", "f");
    ASSERT_EQ(::symlink(outside.path().c_str(), dir.file("a/link").c_str()), 0);
    EXPECT_TRUE(remove_tree(dir.file("a")));
    EXPECT_FALSE(file_exists(dir.file("a")));
    EXPECT_TRUE(file_exists(outside.file("keep.txt")));
}

TEST(ByteIo, ReaderFailsInsteadOfReadingPastTheEndAndWriterCutsAndPads) {
    const std::uint8_t data[] = {1, 0, 2, 0, 0, 0, 'a', 'b'};
    ByteReader r(data, sizeof data);
    EXPECT_EQ(r.u16le(), 1);
    EXPECT_EQ(r.u32le(), 2u);
    EXPECT_EQ(r.fixed_string(2), "ab");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.u32le(), 0u);
    EXPECT_FALSE(r.ok());
    ByteReader r2(data, sizeof data);
    EXPECT_FALSE(r2.skip(9));
    EXPECT_EQ(r2.pos(), 0u);

    ByteWriter w;
    w.fixed_string("abcdef", 4);
    w.fixed_string("x", 3);
    EXPECT_EQ(w.buffer(), (std::vector<std::uint8_t>{'a', 'b', 'c', 0, 'x', 0, 0}));
}

}  // namespace
}  // namespace orbisto
