// Packer processes: argument words that no file name can break up, the
// process's directory and handles, exit codes, and the end of a process
// group on time-out or abort. Real processes throughout.
#include "archive/packer_process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "archive/archive_context.h"
#include "platform/files.h"
#include "platform/write_confinement.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

class PackerProcess : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::TempDir tmp;
    std::string work;

    void SetUp() override {
        work = tmp.file("work");
        make_directory(work);
        ctx.paths.temp_dir = work;
        ctx.log.set_path(tmp.file("ORBISTO.LOG"));
        ctx.log.set_enabled(true);
    }
    std::string script(const std::string& name, const std::string& body) {
        const std::string path = tmp.write(name, "#!/bin/sh\n" + body);
        ::chmod(path.c_str(), 0755);
        return path;
    }
    PackerResult run(const std::string& command, std::vector<std::string> args = {}) {
        PackerCall call;
        call.command = command;
        call.args = std::move(args);
        call.work_dir = work;
        return RunPacker(ctx, call);
    }
    std::string log() const { return read_file(ctx.log.path()).value_or(""); }
};

// True while a process of the id runs (a zombie counts as ended).
bool running(const std::string& pid) {
    const auto stat = read_file("/proc/" + pid + "/stat");
    if (!stat) return false;
    const size_t paren = stat->rfind(')');
    return paren != std::string::npos && paren + 2 < stat->size() && (*stat)[paren + 2] != 'Z';
}

TEST(CommandWords, QuotesGroupAndPathsStayOneWord) {
    EXPECT_EQ(BuildCommandArgs("7z x -y -pzvmk \"%s\"", {"/m/a b \"c\".7z"}),
              (std::vector<std::string>{"7z", "x", "-y", "-pzvmk", "/m/a b \"c\".7z"}));
    EXPECT_EQ(BuildCommandArgs("cabextract  -q -d %s %s", {"/w/t dir", "x;y.cab"}),
              (std::vector<std::string>{"cabextract", "-q", "-d", "/w/t dir", "x;y.cab"}));
    EXPECT_EQ(BuildCommandArgs("prog -i%stest.ini %s", {"/w/", "$(id)"}),
              (std::vector<std::string>{"prog", "-i/w/test.ini", "$(id)"}));
    EXPECT_EQ(BuildCommandArgs("prog %s %s", {"only"}),
              (std::vector<std::string>{"prog", "only", ""}));
    EXPECT_TRUE(BuildCommandArgs("  \t ", {"x"}).empty());
}

TEST_F(PackerProcess, HostileNamesAreSingleArgumentsInTheWorkDirectory) {
    const PackerResult r = run("touch %s %s", {"x; touch PWNED", "a \"b\" `c`.zip"});
    EXPECT_EQ(r.run, CommandRun::Finished);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_TRUE(file_exists(work + "/x; touch PWNED"));
    EXPECT_TRUE(file_exists(work + "/a \"b\" `c`.zip"));
    EXPECT_FALSE(file_exists(work + "/PWNED"));
    EXPECT_NE(log().find("\r\nentpacken: /"), std::string::npos);
}

TEST_F(PackerProcess, RunsWithNullHandlesInItsOwnGroupAndReportsTheExitCode) {
    const std::string s = script("probe", R"sh(p=/proc/$$/fd
echo "$(readlink $p/0) $(readlink $p/1) $(readlink $p/2)" > handles
echo $$ > pid
cut -d' ' -f5 /proc/$$/stat > group
exit 3
)sh");
    const PackerResult r = run(s);
    EXPECT_EQ(r.run, CommandRun::Finished);
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(read_file(work + "/handles").value_or(""), "/dev/null /dev/null /dev/null\n");
    EXPECT_EQ(read_file(work + "/pid"), read_file(work + "/group"));

    EXPECT_EQ(run("no-such-packer-program %s", {"a.zip"}).run, CommandRun::NotStarted);
    EXPECT_EQ(run(tmp.file("missing") + " %s", {"a.zip"}).run, CommandRun::NotStarted);
}

TEST_F(PackerProcess, TimeOutAndAbortEndTheWholeGroup) {
    const std::string s = script("hang", "sleep 1000 &\necho $! > child\nsleep 1000\n");
    ctx.settings.options.time_out = 1;
    const PackerResult r = run(s);
    EXPECT_EQ(r.run, CommandRun::TimedOut);
    EXPECT_FALSE(r.aborted);
    EXPECT_NE(log().find(" abgebrochen\r\n"), std::string::npos);
    std::string child = read_file(work + "/child").value_or("");
    while (!child.empty() && child.back() == '\n') child.pop_back();
    ASSERT_FALSE(child.empty());
    for (int i = 0; i < 50 && running(child); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_FALSE(running(child));

    ctx.settings.options.time_out = 5;
    fe.on_pump = [this](int) { fe.request_abort(); };
    const PackerResult aborted = run(s);
    EXPECT_EQ(aborted.run, CommandRun::TimedOut);
    EXPECT_TRUE(aborted.aborted);
}

TEST_F(PackerProcess, ARunThatWritesPastItsCapIsStopped) {
    constexpr std::uint64_t kCap = 8u << 20;
    // A real archive that expands to 64 MiB from a few kilobytes: no file
    // may grow past the cap.
    const std::string bomb = tmp.file("bomb.zip");
    ASSERT_EQ(std::system(("python3 -c \"import zipfile; z = zipfile.ZipFile('" + bomb +
                           "', 'w', zipfile.ZIP_DEFLATED); z.writestr('zeros', bytes(64 << 20))\"")
                              .c_str()),
              0);
    PackerCall call;
    call.command = "unzip -qq -o %s";
    call.args = {bomb};
    call.work_dir = work;
    call.max_output = kCap;
    EXPECT_NE(RunPacker(ctx, call).exit_code, 0);
    struct stat st {};
    ASSERT_EQ(::stat((work + "/zeros").c_str(), &st), 0);
    EXPECT_LE(static_cast<std::uint64_t>(st.st_size), kCap);

    // Many files each below the cap: the run is ended once they add up.
    call.command =
        script("flood", "i=0\nwhile :; do head -c 1048576 /dev/zero > f$i; i=$((i+1)); done\n");
    call.args = {};
    ::sync();
    const PackerResult r = RunPacker(ctx, call);
    EXPECT_EQ(r.run, CommandRun::TimedOut);
    EXPECT_TRUE(r.too_large);
    EXPECT_NE(log().find(" zu gro\xC3\x9F\r\n"), std::string::npos);
}

TEST_F(PackerProcess, UserCommandsFollowTheirExtensionListsAndRunInTheWorkDirectory) {
    ctx.settings.packer.info_command = "true %s";
    ctx.settings.packer.info_extensions = "xyz";
    ctx.settings.packer.dir_command = "touch %s/seen";
    const std::string info = tmp.write("a.xyz", "the info");
    tmp.write("work/ORBISTO.INFO", "stale");
    EXPECT_EQ(RunUserCommand(ctx, UserCommand::Info, tmp.write("b.txt", "")),
              CommandRun::NotStarted);
    EXPECT_EQ(RunUserCommand(ctx, UserCommand::Info, info), CommandRun::Finished);
    EXPECT_FALSE(file_exists(work + "/ORBISTO.INFO")) << "an earlier file's info is not left";
    ctx.settings.packer.info_command = "cp %s ORBISTO.INFO";
    EXPECT_EQ(RunUserCommand(ctx, UserCommand::Info, info), CommandRun::Finished);
    EXPECT_EQ(read_file(work + "/ORBISTO.INFO").value_or(""), "the info");
    EXPECT_EQ(RunUserCommand(ctx, UserCommand::Dir, tmp.path()), CommandRun::Finished);
    EXPECT_TRUE(file_exists(tmp.file("seen")));
    EXPECT_EQ(RunUserCommand(ctx, UserCommand::Own, info), CommandRun::NotStarted);
}

// A packer that tries to write outside its work directory in every way a
// shell can: nothing outside changes, while reading anything, its own
// directory, TMPDIR and /dev/null still work.
TEST_F(PackerProcess, APackerCannotWriteOutsideItsWorkDirectory) {
    if (landlock_abi() == 0)
        GTEST_SKIP() << "the kernel offers no Landlock: packers run unconfined";
    const std::string outside = tmp.file("outside");
    make_directory(outside);
    tmp.write("outside/old.txt", "before");
    const std::string archive = tmp.write("a.arc", "archive bytes");
    const std::string s = script("escape", R"sh(cat "$1" > read.txt
echo t > "$TMPDIR/tmp.txt"
echo noise > /dev/null && echo ok > null.txt
echo out > "$2/new.txt"
echo out >> "$2/old.txt"
truncate -s 0 "$2/old.txt"
mkdir "$2/dir"
ln -s /etc/passwd "$2/link"
mkfifo "$2/fifo"
cp read.txt moved.txt && mv moved.txt "$2/moved.txt"
rm -f "$2/old.txt"
mkdir -p sub/deeper && echo in > sub/deeper/member.txt
exit 0
)sh");
    EXPECT_EQ(run(s + " %s %s", {archive, outside}).run, CommandRun::Finished);
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(outside)) {
        left.push_back(e.path().filename());
    }
    EXPECT_EQ(left, std::vector<std::string>{"old.txt"});
    EXPECT_EQ(read_file(outside + "/old.txt").value_or(""), "before");
    EXPECT_EQ(read_file(work + "/read.txt").value_or(""), "archive bytes");
    for (const char* made : {"tmp.txt", "null.txt", "moved.txt", "sub/deeper/member.txt"}) {
        EXPECT_TRUE(file_exists(work + "/" + made)) << made;
    }
    EXPECT_EQ(log().find("unbeschr"), std::string::npos);
}

}  // namespace
}  // namespace orbisto
