#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace orbisto {
namespace {

CommandLine parse(std::vector<std::string> args) {
    return parse_command_line(args);
}

TEST(CommandLine, RunModeFollowsTheFixedPrecedenceWhateverTheOrder) {
    const std::pair<std::vector<std::string>, RunMode> cases[] = {
        {{}, RunMode::Interactive},
        {{"/search\"x.txt\"", "/drive\"/mnt/cd\""}, RunMode::ScanNew},
        {{"--export", "--update", "/a"}, RunMode::Update},
        {{"--slook", "--look"}, RunMode::Look},
        {{"/ssearch\"a\"", "/search\"b\""}, RunMode::Search},
        {{"/ssearch\"a\""}, RunMode::SearchCategory},
        {{"/slook"}, RunMode::LookCategory},
        {{"/export"}, RunMode::Export},
        {{"--dir", "/d", "--drive", "/x"}, RunMode::ScanNew},
    };
    for (const auto& [args, mode] : cases) {
        const auto cl = parse(args);
        EXPECT_EQ(cl.run_mode, mode) << testing::PrintToString(args);
        EXPECT_TRUE(cl.error.empty());
    }
    EXPECT_EQ(parse({"/search\"x.txt\"", "/drive\"/mnt/cd\""}).run_argument, "/mnt/cd");
}

TEST(CommandLine, ClassicArgumentFormsAfterTheShellStripsQuotes) {
    // As typed in a shell: /drive"/mnt/cd" arrives as /drive/mnt/cd.
    EXPECT_EQ(parse({"/drive/mnt/cd"}).run_argument, "/mnt/cd");
    // Quotes kept by the caller are honoured; the text ends at the next quote.
    EXPECT_EQ(parse({"/drive\"/mnt/my cd\"rest"}).run_argument, "/mnt/my cd");
    // The option alone takes the next word.
    EXPECT_EQ(parse({"/drive", "/media/usb"}).run_argument, "/media/usb");
    EXPECT_EQ(parse({"--drive=/a/b"}).run_argument, "/a/b");
}

TEST(CommandLine, LabelIsCutAt30AndNeedsItsTextRightBehind) {
    const auto cl = parse({"/label\"0123456789012345678901234567890123\"", "/drive\"/x\""});
    EXPECT_TRUE(cl.label_given);
    EXPECT_EQ(cl.label, "012345678901234567890123456789");
    const auto bare = parse({"/label", "Name", "/drive\"/x\""});
    EXPECT_FALSE(bare.label_given);
    // A cut never splits a character.
    const auto umlauts = parse({"--label", std::string(29, 'a') + "\xC3\xA4"});
    EXPECT_EQ(umlauts.label, std::string(29, 'a'));
}

TEST(CommandLine, InfoAndDirAreCutAndDirSetsItsRunMode) {
    EXPECT_EQ(parse({"--info", std::string(300, 'i')}).info.size(), 254u);
    const auto cl = parse({"/dir\"/data/cds\""});
    EXPECT_EQ(cl.dir, "/data/cds");
    EXPECT_EQ(cl.run_mode, RunMode::InteractiveDir);
    EXPECT_EQ(parse({"--dir", std::string(300, 'd')}).dir.size(), 258u);
}

TEST(CommandLine, HelpAnywhereAndArgumentsAreNotTakenForOptions) {
    EXPECT_TRUE(parse({"/drive\"/x\"", "/hide"}).hide);
    EXPECT_TRUE(parse({"--help"}).long_help);
    EXPECT_TRUE(parse({"/help", "--bogus"}).help);  // even next to a usage error
    // A path that begins like an option stays the argument of the option before it.
    const auto cl = parse({"--search", "/helpdesk/dirk.txt"});
    EXPECT_FALSE(cl.help || cl.dir_given);
    EXPECT_EQ(cl.run_argument, "/helpdesk/dirk.txt");
}

TEST(CommandLine, UsageErrors) {
    for (const char* bad : {"--bogus", "--drive", "/drive", "--look=x", "/unknown"}) {
        EXPECT_FALSE(parse({bad}).error.empty()) << bad;
    }
}

TEST(CommandLine, CommandTakesTheRestOfTheWords) {
    const auto cl = parse({"--dir", "/c", "media", "--category", "3"});
    EXPECT_EQ(cl.command, "media");
    EXPECT_EQ(cl.command_args, (std::vector<std::string>{"--category", "3"}));
    EXPECT_TRUE(cl.dir_given);
}

TEST(CommandLine, HelpTextByteForByte) {
    const std::string expected =
        "--------------------------\r\n"
        "Orbisto Kommandozeilenoptionen\r\n"
        "--------------------------\r\n"
        "/drive\"C:\" liest Laufwerk C ein und beendet sich danach.\r\n"
        "/label\"Label\" setzt den Mediumnamen auf Label. Wirkt nur im Zusammenhang mit /drive.\r\n"
        "/info\"Informationen\" setzt ddie Kurzinformationen. Wirkt nur im Zusammenhang mit "
        "/drive.\r\n"
        "/dir\"C:\\Verzeichnis\\CDS\\\" setzt den Pfad f\xC3\xBCr die Orbisto-Datenbank auf das "
        "angegebene Verzeichnis.\r\n";
    EXPECT_EQ(help_text(), expected);
}

}  // namespace
}  // namespace orbisto
