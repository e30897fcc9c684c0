#include "app/desktop_integration.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "app/desktop_entries.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/run_program.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto::app {
namespace {

constexpr const char* kGio = "/usr/bin/gio";

// A temporary home with its data directory and a stand-in program in a
// folder whose name needs every kind of quoting in an Exec line. The
// program writes its arguments, one per line, to a file beside it.
class DesktopIntegrationTest : public ::testing::Test {
  protected:
    DesktopIntegrationTest() : ctx_(fe_) {
        home_ = tmp_.file("home");
        data_ = tmp_.file("data");
        make_directories(home_);
        const std::string dir = tmp_.file("my programs/it's \"odd\" $HOME `x` \\ &;");
        make_directories(dir);
        program_ = dir + "/orbisto";
        args_file_ = tmp_.file("args");
        write_file_atomic(program_,
                          "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                              args_file_ + ".new' && mv '" + args_file_ + ".new' '" + args_file_ +
                              "'\n");
        ::chmod(program_.c_str(), 0755);
    }

    EnvLookup env(const std::string& xdg_data_home) {
        values_ = {{"HOME", home_}, {"XDG_DATA_HOME", xdg_data_home}};
        return [this](const char* name) -> const char* {
            auto it = values_.find(name);
            return it == values_.end() ? nullptr : it->second.c_str();
        };
    }

    DesktopIntegrationResult refresh(bool app, bool folder, bool search, bool drive) {
        auto& o = ctx_.settings.options;
        o.shell_app_path = app;
        o.shell_folder_verb = folder;
        o.shell_search_verb = search;
        o.shell_drive_verbs = drive;
        return refresh_desktop_integration(ctx_, program_, env(data_));
    }

    // The arguments the program gets when the Exec line is started by GLib's
    // launcher with the path (when not empty) as the selected file; nullopt
    // when it did not run.
    std::optional<std::string> launch(const std::string& exec_line, const std::string& path) {
        ::unlink(args_file_.c_str());
        const std::string entry = tmp_.write(
            "launch.desktop", "[Desktop Entry]\nType=Application\nName=t\n" + exec_line + "\n");
        std::vector<std::string> args{"launch", entry};
        if (!path.empty()) args.push_back(path);
        const auto r = test::run_program(kGio, args);
        if (r.status != 0) return std::nullopt;
        for (int i = 0; i < 100 && !file_exists(args_file_); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return read_file(args_file_);
    }

    std::string path(const std::string& rel) const { return join_path(data_, rel); }

    test::TempDir tmp_;
    test::ScriptedFrontend fe_;
    Context ctx_;
    std::string home_, data_, program_, args_file_;
    std::map<std::string, std::string> values_;
};

std::vector<std::string> exec_lines(const std::string& content) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < content.size()) {
        size_t end = content.find('\n', from);
        if (end == std::string::npos) end = content.size();
        const std::string l = content.substr(from, end - from);
        if (l.starts_with("Exec=")) lines.push_back(l);
        from = end + 1;
    }
    return lines;
}

bool executable(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && (st.st_mode & 0100);
}

TEST_F(DesktopIntegrationTest, EachSettingWritesEntriesWhoseExecLinesStartTheProgram) {
    if (::access(kGio, X_OK) != 0) GTEST_SKIP() << "gio (libglib2.0-bin) is not installed";
    const bool have_validator = ::access("/usr/bin/desktop-file-validate", X_OK) == 0;
    const std::string folder = tmp_.file("a folder with blanks");
    make_directories(folder);

    // Each file and the option its Exec line gives the program the path with
    // ("" for the program's own entry, which takes no path).
    using Files = std::vector<std::pair<std::string, std::string>>;
    const std::pair<ShellSetting, Files> cases[] = {
        {ShellSetting::AppPath,
         {{"applications/orbisto.desktop", ""}, {"icons/hicolor/scalable/apps/orbisto.svg", ""}}},
        {ShellSetting::FolderVerb,
         {{"applications/orbisto-daten.desktop", "--dir"},
          {"kio/servicemenus/orbisto-daten.desktop", "--dir"},
          {"file-manager/actions/orbisto-daten.desktop", "--dir"}}},
        {ShellSetting::SearchVerb,
         {{"applications/orbisto-suchen.desktop", "--search"},
          {"kio/servicemenus/orbisto-suchen.desktop", "--search"},
          {"file-manager/actions/orbisto-suchen.desktop", "--search"}}},
        // Context menus only: no "Open With" entry for folders that scans.
        {ShellSetting::DriveVerbs,
         {{"kio/servicemenus/orbisto-katalogisieren.desktop", "--drive"},
          {"file-manager/actions/orbisto-katalogisieren.desktop", "--drive"},
          {"kio/servicemenus/orbisto-update.desktop", "--update"},
          {"file-manager/actions/orbisto-update.desktop", "--update"}}},
    };
    for (const auto& [setting, files] : cases) {
        SCOPED_TRACE(files.front().first);
        const auto r =
            refresh(setting == ShellSetting::AppPath, setting == ShellSetting::FolderVerb,
                    setting == ShellSetting::SearchVerb, setting == ShellSetting::DriveVerbs);
        ASSERT_TRUE(r.ok()) << r.failures.front();
        std::vector<std::string> want;
        for (const auto& f : files) want.push_back(path(f.first));
        EXPECT_EQ(r.written, want);
        for (const auto& [f, option] : files) {
            const std::string content = read_file(path(f)).value_or("");
            if (f.ends_with(".svg")) {
                EXPECT_NE(content.find("<svg"), std::string::npos);
                continue;
            }
            EXPECT_EQ(executable(path(f)), f.starts_with("kio/")) << f;
            const auto lines = exec_lines(content);
            ASSERT_EQ(lines.size(), 1u) << f;
            EXPECT_EQ(launch(lines[0], option.empty() ? "" : folder),
                      option.empty() ? "" : option + "\n" + folder + "\n")
                << f << "\n"
                << lines[0];
            if (have_validator && f.starts_with("applications/")) {
                const auto v = test::run_program("/usr/bin/desktop-file-validate", {path(f)});
                EXPECT_EQ(v.status, 0) << v.out << v.err;
            }
        }
    }
}

TEST_F(DesktopIntegrationTest, ASettingTurnedOffRemovesOnlyItsOwnFiles) {
    ASSERT_TRUE(refresh(true, true, true, true).ok());
    // A file of the user beside ours stays whatever happens.
    const std::string other = path("applications/other.desktop");
    write_file_atomic(other, "[Desktop Entry]\nType=Application\nName=x\nExec=x\n");

    const auto r = refresh(true, false, true, true);
    ASSERT_TRUE(r.ok());
    std::vector<std::string> want;
    for (const auto& f : desktop_file_paths(ShellSetting::FolderVerb)) want.push_back(path(f));
    EXPECT_EQ(r.removed, want);
    EXPECT_TRUE(r.written.empty());
    for (const auto& f : want) EXPECT_FALSE(file_exists(f)) << f;
    for (const auto s : {ShellSetting::AppPath, ShellSetting::SearchVerb, ShellSetting::DriveVerbs})
        for (const auto& f : desktop_file_paths(s)) EXPECT_TRUE(file_exists(path(f))) << f;

    const auto off = refresh(false, false, false, false);
    EXPECT_TRUE(off.ok());
    for (const auto s : kShellSettings)
        for (const auto& f : desktop_file_paths(s)) EXPECT_FALSE(file_exists(path(f))) << f;
    EXPECT_TRUE(file_exists(other));
}

TEST_F(DesktopIntegrationTest, AnEntryTheUserInstalledIsNeitherReplacedNorRemoved) {
    // For instance from `cmake --install build --prefix ~/.local`.
    make_directories(path("applications"));
    const std::string installed = "[Desktop Entry]\nType=Application\nName=Orbisto\nExec=orbisto\n";
    write_file_atomic(path("applications/orbisto.desktop"), installed);
    for (const bool on : {false, true}) {
        const auto r = refresh(on, false, false, false);
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(read_file(path("applications/orbisto.desktop")), installed);
        ASSERT_EQ(r.kept.size(), 1u);
        EXPECT_TRUE(r.kept[0].starts_with(path("applications/orbisto.desktop") + ": "));
    }
}

TEST_F(DesktopIntegrationTest, UnchangedFilesAreNotRewritten) {
    ASSERT_TRUE(refresh(true, true, true, true).ok());
    const std::string entry = path("applications/orbisto.desktop");
    const timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, entry.c_str(), old_times, 0), 0);

    const auto again = refresh(true, true, true, true);
    EXPECT_TRUE(again.ok());
    EXPECT_TRUE(again.written.empty());
    struct stat st {};
    ASSERT_EQ(::stat(entry.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);

    // A service menu that lost its executable bit gets it back unwritten.
    const std::string menu = path("kio/servicemenus/orbisto-daten.desktop");
    ::chmod(menu.c_str(), 0644);
    EXPECT_TRUE(refresh(true, true, true, true).written.empty());
    EXPECT_TRUE(executable(menu));

    // The program moved: its entries follow it.
    const std::string moved = tmp_.file("moved orbisto");
    ASSERT_EQ(::rename(program_.c_str(), moved.c_str()), 0);
    program_ = moved;
    const auto after_move = refresh(true, false, false, false);
    EXPECT_EQ(after_move.written, std::vector<std::string>{entry});
    EXPECT_NE(read_file(entry).value_or("").find("TryExec=" + moved + "\n"), std::string::npos);
}

TEST_F(DesktopIntegrationTest, ARelativeXdgDataHomeIsIgnoredAndReported) {
    const std::string cwd = tmp_.file("cwd");
    make_directories(cwd);
    char old_cwd[4096];
    ASSERT_NE(::getcwd(old_cwd, sizeof old_cwd), nullptr);
    ASSERT_EQ(::chdir(cwd.c_str()), 0);
    ctx_.settings.options.shell_app_path = true;
    const auto r = refresh_desktop_integration(ctx_, program_, env("rel/share"));
    ASSERT_EQ(::chdir(old_cwd), 0);

    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.ignored_data_home, "rel/share");
    EXPECT_EQ(r.data_dir, home_ + "/.local/share");
    EXPECT_TRUE(file_exists(home_ + "/.local/share/applications/orbisto.desktop"));
    EXPECT_TRUE(is_empty_directory(cwd));

    // Without an absolute HOME there is no data directory at all.
    home_ = "relative/home";
    const auto none = refresh_desktop_integration(ctx_, program_, env("rel/share"));
    EXPECT_TRUE(none.data_dir.empty());
    EXPECT_EQ(none.failures.size(), 1u);
}

TEST_F(DesktopIntegrationTest, SymbolicLinksAreNeitherWrittenThroughNorFollowedOutside) {
    const std::string outside = tmp_.file("outside");
    make_directories(outside);
    const std::string victim = tmp_.write("outside/victim", "precious\n");
    make_directories(path("applications"));
    ASSERT_EQ(::symlink(victim.c_str(), path("applications/orbisto.desktop").c_str()), 0);
    // A folder of ours that leads out of the data directory.
    make_directories(path("kio"));
    ASSERT_EQ(::symlink(outside.c_str(), path("kio/servicemenus").c_str()), 0);

    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "on" : "off");
        const auto r = refresh(on, on, on, on);
        EXPECT_EQ(read_file(victim), "precious\n");
        EXPECT_EQ(std::vector<std::string>{"victim"}, [&] {
            std::vector<std::string> names;
            for (const char* n : {"victim", "orbisto-daten.desktop", "orbisto-suchen.desktop",
                                  "orbisto-katalogisieren.desktop", "orbisto-update.desktop"})
                if (file_exists(join_path(outside, n))) names.push_back(n);
            return names;
        }());
        struct stat st {};
        ASSERT_EQ(::lstat(path("applications/orbisto.desktop").c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        if (on) {
            // The rest is written; the link and the folder outside are reported.
            EXPECT_TRUE(file_exists(path("icons/hicolor/scalable/apps/orbisto.svg")));
            EXPECT_TRUE(file_exists(path("file-manager/actions/orbisto-update.desktop")));
            EXPECT_EQ(r.kept.size(), 1u);
            EXPECT_FALSE(r.ok());
            const bool named = std::any_of(r.failures.begin(), r.failures.end(), [&](auto& f) {
                return f.starts_with(path("kio/servicemenus") + ": ");
            });
            EXPECT_TRUE(named);
        } else {
            EXPECT_TRUE(r.ok());
            EXPECT_FALSE(file_exists(path("icons/hicolor/scalable/apps/orbisto.svg")));
        }
    }
}

TEST_F(DesktopIntegrationTest, AProgramPathThatCannotBeNamedWritesNothing) {
    ASSERT_TRUE(refresh(false, true, false, false).ok());
    for (const char* bad : {"relative/orbisto", "/opt/line\nbreak/orbisto", "/opt/\xff/orbisto",
                            "/opt/100%/orbisto"}) {
        program_ = bad;
        const auto r = refresh(true, true, false, false);
        EXPECT_EQ(r.failures.size(), 1u) << bad;
        EXPECT_TRUE(r.written.empty());
        // The old entries stay rather than vanish.
        EXPECT_TRUE(file_exists(path("applications/orbisto-daten.desktop")));
    }
}

}  // namespace
}  // namespace orbisto::app
