// The progress of a headless scan: what one line shows (a percentage only
// when the total is known, the path's end when it is long, nothing that can
// act on a terminal), and when it is written at all.
#include "app/progress_line.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

TEST(ProgressLine, ShowsCountsBytesRateAndAPercentageOnlyForAKnownTotal) {
    WalkProgress p;
    p.dirs = 12;
    p.files = 3456;
    p.bytes = 1.5 * 1024 * 1024 * 1024;
    p.elapsed_ms = 3000;
    p.dir = "/mnt/usb/photos";
    p.name = "beach.jpg";
    EXPECT_EQ(app::progress_text(p, true, 200),
              "12 dirs  3456 files  1.5 GB  512 MB/s  /mnt/usb/photos/beach.jpg");
    EXPECT_EQ(app::progress_text(p, false, 200),
              "12 Verz.  3456 Dateien  1.5 GB  512 MB/s  /mnt/usb/photos/beach.jpg");
    p.total_bytes = 6.0 * 1024 * 1024 * 1024;
    EXPECT_NE(app::progress_text(p, true, 200).find("512 MB/s   25%  /mnt"), std::string::npos);

    // A long path keeps its end (the file's name) and the line its width;
    // an escape sequence in a name is spelled out.
    p.dir = "/mnt/usb/a/very/long/path/that/goes/on/and/on/through/many/folders";
    p.name = "clip\x1b[2J.mp4";
    const std::string cut = app::progress_text(p, true, 80);
    EXPECT_LE(cut.size(), 80u);
    EXPECT_NE(cut.find("..."), std::string::npos) << cut;
    EXPECT_TRUE(cut.ends_with("/clip\\x1b[2J.mp4")) << cut;
}

TEST(ProgressLine, AScanWritesItsProgressWithoutATerminalOnlyWhenAsked) {
    test::TempDir home;
    make_directory(home.file("medium"));
    home.write("medium/a.txt", "a");
    const auto run = [&](const std::vector<std::string>& args) {
        return test::run_program(ORBISTO_BINARY, args,
                                 {{"ORBISTO_HOME", home.path()}, {"LANG", "C.UTF-8"}});
    };
    const auto quiet = run({"--drive", home.file("medium")});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err.find("files  "), std::string::npos) << quiet.err;
    const auto shown = run({"--drive", home.file("medium"), "--progress"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    // A folder is no whole file system: counts, no percentage.
    EXPECT_NE(shown.err.find(" dirs  0 files  0 B  "), std::string::npos) << shown.err;
    EXPECT_EQ(shown.err.find('%'), std::string::npos) << shown.err;
    EXPECT_NE(shown.err.find(home.file("medium") + "/a.txt"), std::string::npos);
}

}  // namespace
}  // namespace orbisto
