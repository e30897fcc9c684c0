// Leftovers of dead processes: temporary files, work directories and number
// placeholders are removed only when their name (or content) names a process
// that no longer runs and nobody holds their lock.
#include "platform/leftovers.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

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

// A child that holds a lock on path until it is killed.
class LockHolder {
  public:
    explicit LockHolder(const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            FileLock lock;
            lock.lock_path(path);
            (void)!::write(ready[1], "x", 1);
            for (;;) ::pause();
        }
        char c;
        (void)!::read(ready[0], &c, 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHolder() { stop(); }
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
};

TEST(Leftovers, OnlyOurExactPatternNamesAnOwner) {
    struct Case {
        const char* name;
        bool temp;
        bool work;
    };
    const Case cases[] = {
        {".7.cd.orbisto-123-aB3xYz", true, false},
        {"orbisto-123-aB3xYz", false, true},
        {".7.cd.aB3xYz", false, false},
        {"7.cd.orbisto-123-aB3xYz", false, false},
        {".7.cd.orbisto-0123-aB3xYz", false, false},
        {"orbisto-test-aB3xYz", false, false},
        {".7.cd.orbisto-1-aB.xYz", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(temp_file_owner(c.name).has_value(), c.temp) << c.name;
        EXPECT_EQ(work_dir_owner(c.name).has_value(), c.work) << c.name;
    }
    // The names we make are the ones we recognise, with our own id.
    EXPECT_EQ(temp_file_owner(file_part(temp_file_template("/c/7.cd"))), ::getpid());
    EXPECT_EQ(work_dir_owner(file_part(work_dir_template("/tmp"))), ::getpid());
}

TEST(Leftovers, OnlyFilesAndDirectoriesOfDeadUnlockedOwnersAreRemoved) {
    test::TempDir dir;
    const std::string dead = std::to_string(dead_pid());
    const std::string alive = std::to_string(::getpid());
    const std::string gone = dir.write(".0.cd.orbisto-" + dead + "-aaaaaa", "part");
    const std::string mine = dir.write(".0.cd.orbisto-" + alive + "-bbbbbb", "part");
    // A dead id whose lock is still held: the owner lives in another pid
    // namespace, or the id was misread; either way it is not provably gone.
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

    LockHolder holder(held);
    EXPECT_EQ(remove_dead_temp_files(dir.path()), 1u);
    EXPECT_EQ(remove_dead_work_dirs(dir.path()), 1u);
    EXPECT_FALSE(file_exists(gone));
    EXPECT_FALSE(file_exists(dead_work));
    for (const std::string& p : {mine, held, old_style, other, live_work, link_work}) {
        EXPECT_TRUE(file_exists(p)) << p;
    }
    EXPECT_TRUE(is_directory(dir.file(".2.cd.orbisto-" + dead + "-ffffff")));
    EXPECT_TRUE(file_exists(outside.file("keep.txt")));

    holder.stop();
    EXPECT_EQ(remove_dead_temp_files(dir.path()), 1u);
    EXPECT_FALSE(file_exists(held));
}

TEST(Leftovers, OnlyAPlaceholderOfADeadOwnerIsTakenBack) {
    test::TempDir dir;
    FileLock mine;
    ASSERT_TRUE(create_placeholder(dir.file("1.cd"), mine));
    FileLock again;
    EXPECT_FALSE(create_placeholder(dir.file("1.cd"), again));
    EXPECT_EQ(errno, EEXIST);
    const std::string mark = "orbisto-claim " + std::to_string(dead_pid()) + "\n";
    dir.write("2.cd", "");
    dir.write("3.cd", mark + std::string(200, 'x'));  // a catalogue, whatever it starts with
    dir.write("4.cd", mark);
    for (const char* n : {"1.cd", "2.cd", "3.cd"}) {
        EXPECT_FALSE(remove_dead_placeholder(dir.file(n))) << n;
        EXPECT_TRUE(file_exists(dir.file(n))) << n;
    }
    EXPECT_TRUE(remove_dead_placeholder(dir.file("4.cd")));
    EXPECT_FALSE(file_exists(dir.file("4.cd")));
}

}  // namespace
}  // namespace orbisto
