// The walk-through in README.md, run as it stands: every line of the block
// after the "walk-through" marker is given to /bin/sh in a fresh home folder
// with `orbisto` on the PATH, and must end with exit status 0 (or the one a
// trailing "# exit N" names). So the README cannot drift from the program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

// The lines of the fenced block that follows the marker.
std::vector<std::string> walkthrough_lines() {
    std::ifstream in(std::string(ORBISTO_SOURCE_DIR) + "/README.md");
    std::vector<std::string> lines;
    std::string line;
    bool marked = false, inside = false;
    while (std::getline(in, line)) {
        if (!marked) {
            marked = line == "<!-- walk-through: run by tests/app/readme_walkthrough_test.cpp -->";
        } else if (!inside) {
            inside = line.starts_with("```");
        } else if (line.starts_with("```")) {
            break;
        } else if (!line.empty() && !line.starts_with("#")) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The exit status a line expects: "# exit N" at its end, else 0.
int expected_status(const std::string& line) {
    const std::size_t at = line.rfind("# exit ");
    return at == std::string::npos ? 0 : std::stoi(line.substr(at + 7));
}

TEST(ReadmeWalkthrough, EveryCommandOfTheWalkThroughRunsAsTheReadmeSays) {
    const std::vector<std::string> lines = walkthrough_lines();
    ASSERT_GE(lines.size(), 10u) << "no walk-through block in README.md";
    test::TempDir home;
    make_directory(home.file("bin"));
    ASSERT_EQ(::symlink(ORBISTO_BINARY, home.file("bin/orbisto").c_str()), 0);
    const std::string path = home.file("bin") + ":/usr/bin:/bin";
    std::string said;
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        const auto r = test::run_program("/bin/sh", {"-c", line},
                                         {{"HOME", home.path()},
                                          {"PATH", path},
                                          {"LANG", "C.UTF-8"},
                                          {"ORBISTO_HOME", ""},
                                          {"XDG_CONFIG_HOME", ""},
                                          {"XDG_DATA_HOME", ""},
                                          {"TZ", "UTC"}});
        EXPECT_EQ(r.status, expected_status(line)) << r.out << r.err;
        said += r.out;
    }
    // What the walk-through shows along the way.
    EXPECT_NE(said.find("\tsunset.jpg\t"), std::string::npos) << said;
    EXPECT_NE(said.find("0\tPhotos\t\t00000000\t2\t1\t0\tHolidays\t0\n"), std::string::npos)
        << said;
    EXPECT_NE(said.find("new 2024/sunrise.jpg\n"), std::string::npos) << said;
    EXPECT_TRUE(file_exists(home.file("all.csv")));
}

}  // namespace
}  // namespace orbisto
