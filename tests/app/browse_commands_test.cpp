// "orbisto ls" and "orbisto info-medium" on media scanned by the real
// program: which rows a directory lists and in which order, the ways a path
// and a medium may be named, and the refusals.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

struct BrowseHome {
    test::TempDir home;
    std::string medium = home.file("photos");
    BrowseHome() {
        make_directories(medium + "/2024/summer");
        make_directory(medium + "/2023");
        home.write("photos/index.txt", "index");
        home.write("photos/2024/beach.txt", "beach");
        home.write("photos/2024/summer/sea.txt", "sea");
        home.write("photos/2024/DESCRIPT.ION", "beach.txt Sand and sun\r\n");
        EXPECT_EQ(run({"--drive", medium, "--label", "Holiday", "--info", "Two years\r\nof photos"})
                      .status,
                  0);
    }
    test::ProgramResult run(const std::vector<std::string>& args,
                            const char* lang = "C.UTF-8") const {
        return test::run_program(ORBISTO_BINARY, args,
                                 {{"ORBISTO_HOME", home.path()}, {"LANG", lang}, {"TZ", "UTC"}});
    }
    // The kind and name columns of each row.
    static std::vector<std::string> names(const std::string& out) {
        std::vector<std::string> rows;
        for (std::size_t at = 0; at < out.size();) {
            const std::size_t end = out.find('\n', at);
            std::vector<std::string> fields;
            for (std::size_t f = at; f <= end;) {
                const std::size_t tab = std::min(out.find('\t', f), end);
                fields.push_back(out.substr(f, tab - f));
                f = tab + 1;
            }
            rows.push_back(fields[2] + " " + fields[3].substr(fields[3].rfind('/') + 1) + "/" +
                           fields[4]);
            at = end + 1;
        }
        return rows;
    }
};

TEST(LsCommand, ListsSubdirectoriesThenFilesByEitherPathAndEverythingBelowWithR) {
    BrowseHome h;
    using V = std::vector<std::string>;
    const auto root = h.run({"ls", "Holiday"});
    EXPECT_EQ(root.status, 0) << root.err;
    EXPECT_EQ(BrowseHome::names(root.out), V{"D /" + h.medium});
    // The path below the scanned folder, and the whole stored path.
    const V top{"D photos/2023", "D photos/2024", "F photos/index.txt"};
    EXPECT_EQ(BrowseHome::names(h.run({"ls", "0", h.medium}).out), top);
    const V in2024{"D 2024/summer", "F 2024/beach.txt", "F 2024/DESCRIPT.ION"};
    EXPECT_EQ(BrowseHome::names(h.run({"ls", "0", "2024"}).out), in2024);
    EXPECT_EQ(BrowseHome::names(h.run({"ls", "holiday", h.medium + "/2024"}).out), in2024);
    EXPECT_EQ(BrowseHome::names(h.run({"ls", "0", "2024", "-R"}).out),
              (V{"D 2024/summer", "F 2024/beach.txt", "F 2024/DESCRIPT.ION", "F summer/sea.txt"}));
    // The comment column, and JSON.
    EXPECT_NE(h.run({"ls", "0", "2024"}).out.find("beach.txt\t0.00\t"), std::string::npos);
    EXPECT_NE(h.run({"ls", "0", "2024"}).out.find("\tSand and sun\n"), std::string::npos);
    const auto json = h.run({"ls", "0", "2024/summer", "--json"});
    EXPECT_NE(json.out.find("\"name\":\"sea.txt\""), std::string::npos) << json.out;

    struct Refusal {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    ASSERT_EQ(h.run({"--drive", h.medium, "--label", "Holiday"}).status, 0);
    for (const Refusal& r : {Refusal{{"ls"}, 2, "which medium?"},
                             Refusal{{"ls", "0", "a", "b"}, 2, "unexpected argument 'b'"},
                             Refusal{{"ls", "7"}, 1, "no medium '7'"},
                             Refusal{{"ls", "Holiday"}, 1, "several media are named 'Holiday'"},
                             Refusal{{"ls", "0", "2025"}, 1, "no directory '2025' in catalogue 0"},
                             Refusal{{"ls", "0", "index.txt"}, 1, "no directory"}}) {
        const auto got = h.run(r.args);
        EXPECT_EQ(got.status, r.status) << testing::PrintToString(r.args);
        EXPECT_NE(got.err.find(r.says), std::string::npos) << got.err;
    }
    EXPECT_NE(h.run({"ls", "0", "2025"}, "de_DE.UTF-8").err.find("kein Verzeichnis '2025'"),
              std::string::npos);
}

TEST(InfoMediumCommand, ShowsTheHeaderTheCountsAndTheDescriptionInEitherLanguage) {
    BrowseHome h;
    const auto en = h.run({"info-medium", "Holiday"});
    EXPECT_EQ(en.status, 0) << en.err;
    for (const char* line : {"catalogue: 0\n", "name: Holiday\n", "directories: 4\n", "files: 4\n",
                             "with comment: 1\n", "description:\n  Two years\n  of photos\n"}) {
        EXPECT_NE(en.out.find(line), std::string::npos) << line << "\n" << en.out;
    }
    const auto de = h.run({"info-medium", "0"}, "de_DE.UTF-8");
    EXPECT_NE(de.out.find("Verzeichnisse: 4\nDateien: 4\n"), std::string::npos) << de.out;
    const auto json = h.run({"info-medium", "0", "--json"});
    EXPECT_NE(json.out.find("\"files\":4,"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"description\":\"Two years\\r\\nof photos\""), std::string::npos);
    EXPECT_EQ(h.run({"info-medium", "9"}).status, 1);
    EXPECT_EQ(h.run({"info-medium"}).status, 2);
}

}  // namespace
}  // namespace orbisto
