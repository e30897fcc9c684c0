// "orbisto info" run as the real program on committed fixtures.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/fixtures.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

struct InfoRun {
    test::TempDir home;
    test::ProgramResult operator()(const std::vector<std::string>& args) const {
        std::vector<std::string> all{"info"};
        all.insert(all.end(), args.begin(), args.end());
        return test::run_program(ORBISTO_BINARY, all, {{"ORBISTO_HOME", home.path()}});
    }
};

TEST(InfoCommand, PrintsWhatAScanStoresAndTellsWhetherEveryFileGaveSome) {
    InfoRun info;
    // The master switch of the settings is off (its default): the command
    // still reads the files.
    auto r = info({test::info_fixture("tone.au"), test::info_fixture("tone.aif")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, test::info_fixture("tone.au") + "\n  AIF-Sound 00:00:01,2\n" +
                         test::info_fixture("tone.aif") + "\n  AIF-Sound 00:00:00,5\n");

    r = info({test::info_fixture("tone.au"), test::info_fixture("make_media.sh"),
              info.home.file("missing.au")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, test::info_fixture("tone.au") + "\n  AIF-Sound 00:00:01,2\n" +
                         test::info_fixture("make_media.sh") + "\n  (keine Information)\n");
    EXPECT_NE(r.err.find(info.home.file("missing.au") + ": No such file"), std::string::npos)
        << r.err;

    EXPECT_EQ(info({}).status, 2);
    EXPECT_EQ(info({"--jsn", test::info_fixture("tone.au")}).status, 2);
}

TEST(InfoCommand, FollowsTheLanguageAndSwitchesOfTheSettingsAndWritesJson) {
    InfoRun info;
    info.home.write("orbisto.INI", "[Optionen]\r\nlanguage=1\r\n");
    auto r = info({"--json", test::info_fixture("tone.au")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"text\":\"AIF-sound 00:00:01,2\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"length_tenths\":12,"), std::string::npos) << r.out;

    info.home.write("orbisto.INI", "[Optionen]\r\nNoMCI=1\r\n");
    r = info({test::info_fixture("tone.au")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, test::info_fixture("tone.au") + "\n  (keine Information)\n");
}

}  // namespace
}  // namespace orbisto
