#include "platform/files.h"

#include <dirent.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

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

// The cases of the one rule for files we replace, checked by the process
// that runs it; returns the names of the cases that went wrong.
std::vector<std::string> replace_rule_failures(const std::string& base) {
    std::vector<std::string> failed;
    const std::string d = base + "/case" + std::to_string(::getpid());
    if (!make_directory(d) || !make_directory(d + "/rodir")) return {"setup"};
    auto put = [&](const std::string& name, mode_t mode) {
        const std::string p = d + "/" + name;
        const bool ok = write_file_atomic(p, "old") && ::chmod(p.c_str(), mode) == 0;
        if (!ok) failed.push_back("setup " + name);
        return p;
    };
    put("plain.cd", 0644);
    put("ro.cd", 0444);
    put("wonly.cd", 0200);
    put("rodir/a.cd", 0644);
    put("target.cd", 0644);
    put("ro-target.cd", 0444);
    ::chmod((d + "/rodir").c_str(), 0555);
    for (auto [link, target] : {std::pair{"link.cd", "target.cd"},
                                {"rolink.cd", "ro-target.cd"},
                                {"dangling.cd", "made.cd"}}) {
        if (::symlink(target, (d + "/" + link).c_str()) != 0) failed.push_back("setup link");
    }
    struct Case {
        const char* name;
        bool replaceable;
        const char* written;  // the file that holds the new text afterwards
    };
    const Case cases[] = {
        {"plain.cd", true, "plain.cd"},   {"ro.cd", false, nullptr},
        {"wonly.cd", true, "wonly.cd"},   {"new.cd", true, "new.cd"},
        {"rodir/a.cd", false, nullptr},   {"link.cd", true, "target.cd"},
        {"rolink.cd", false, nullptr},    {"dangling.cd", true, "made.cd"},
        {"missing/x.cd", false, nullptr},
    };
    for (const Case& c : cases) {
        const std::string p = d + "/" + c.name;
        const auto before = read_file(replace_target(p));
        const bool wrote = write_file_atomic(p, "new");
        const bool ok = file_replaceable(p) == c.replaceable && wrote == c.replaceable &&
                        (wrote || errno == EACCES || errno == ENOENT) &&
                        (c.written ? ::chmod((d + "/" + c.written).c_str(), 0644) == 0 &&
                                         read_file(d + "/" + c.written) == "new"
                                   : read_file(replace_target(p)) == before);
        if (!ok) failed.push_back(c.name);
    }
    // Links stay links; the kept mode of a replaced file is the old one.
    struct stat st {};
    for (const char* link : {"link.cd", "dangling.cd"}) {
        if (::lstat((d + "/" + link).c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            failed.push_back(std::string("link replaced: ") + link);
        }
    }
    ::chmod((d + "/rodir").c_str(), 0755);
    return failed;
}

// Runs check in a child process as the user nobody; its exit status.
int as_nobody(const std::function<int()>& check) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(100);
        }
        ::_exit(check());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST(Files, WriteProtectedFilesAndDirectoriesAreNeverReplacedLinksAreWrittenThrough) {
    test::TempDir dir;
    const auto failed = replace_rule_failures(dir.path());
    EXPECT_TRUE(failed.empty()) << ::testing::PrintToString(failed);
    if (::geteuid() != 0) return;  // already checked as an ordinary user
    // The same rule for an ordinary user, whom the kernel refuses as well.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    EXPECT_EQ(as_nobody([&] { return static_cast<int>(replace_rule_failures(dir.path()).size()); }),
              0);
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
