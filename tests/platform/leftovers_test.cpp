// Leftovers of dead processes: temporary files and work directories are
// removed only when their name names a process that no longer runs and
// nobody holds their lock.
#include "platform/leftovers.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/files.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

// The id of a process that has run and ended.
pid_t dead_pid() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

TEST(Leftovers, OnlyFilesAndDirectoriesOfDeadUnlockedOwnersAreRemoved) {
    test::TempDir dir;
    const std::string dead = std::to_string(dead_pid());
    const std::string alive = std::to_string(::getpid());
    const std::string gone = dir.write(".0.cd.orbisto-" + dead + "-aaaaaa", "part");
    const std::string mine = dir.write(".0.cd.orbisto-" + alive + "-bbbbbb", "part");
    // A dead id whose lock is still held: the owner lives in another pid
    // namespace; it is not provably gone.
    const std::string held = dir.write(".1.cd.orbisto-" + dead + "-cccccc", "part");
    const std::string old_style = dir.write(".0.cd.dddddd", "part");
    const std::string other = dir.write("notes.orbisto-" + dead + "-eeeeee", "keep");
    ASSERT_TRUE(make_directory(dir.file(".2.cd.orbisto-" + dead + "-ffffff")));
    // Work directories: one of a dead run with content, one of ours, one
    // link to somewhere else that must never be followed.
    test::TempDir outside;
    outside.write("keep.txt", "keep");
    const std::string dead_work = dir.file("orbisto-" + dead + "-gggggg");
    ASSERT_TRUE(make_directories(dead_work + "/sub"));
    dir.write("orbisto-" + dead + "-gggggg/sub/x.cd", "x");
    const std::string live_work = dir.file("orbisto-" + alive + "-hhhhhh");
    ASSERT_TRUE(make_directory(live_work));
    const std::string link_work = dir.file("orbisto-" + dead + "-iiiiii");
    ASSERT_EQ(::symlink(outside.path().c_str(), link_work.c_str()), 0);

    FileLock holder;  // a lock of another open file counts as another owner's
    ASSERT_TRUE(holder.lock_path(held));
    EXPECT_EQ(remove_dead_temp_files(dir.path()), 1u);
    EXPECT_EQ(remove_dead_work_dirs(dir.path()), 1u);
    EXPECT_FALSE(file_exists(gone));
    EXPECT_FALSE(file_exists(dead_work));
    for (const std::string& p : {mine, held, old_style, other, live_work, link_work}) {
        EXPECT_TRUE(file_exists(p)) << p;
    }
    EXPECT_TRUE(is_directory(dir.file(".2.cd.orbisto-" + dead + "-ffffff")));
    EXPECT_TRUE(file_exists(outside.file("keep.txt")));

    holder.release();
    EXPECT_EQ(remove_dead_temp_files(dir.path()), 1u);
    EXPECT_FALSE(file_exists(held));
}

}  // namespace
}  // namespace orbisto
