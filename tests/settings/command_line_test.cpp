#include "settings/command_line.h"

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
        {{"/ssearch\"a\"", "/search\"b\""}, RunMode::Search},
        {{"/ssearch\"a\""}, RunMode::SearchCategory},
        {{"--dir", "/d", "--drive", "/x"}, RunMode::ScanNew},
        {{"/dir\"/data/cds\""}, RunMode::InteractiveDir},
    };
    for (const auto& [args, mode] : cases) {
        const auto cl = parse(args);
        EXPECT_EQ(cl.run_mode, mode) << testing::PrintToString(args);
        EXPECT_TRUE(cl.error.empty());
    }
    EXPECT_EQ(parse({"/search\"x.txt\"", "/drive\"/mnt/cd\""}).run_argument, "/mnt/cd");
}

TEST(CommandLine, ArgumentFormsAfterTheShellStripsQuotes) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"/drive/mnt/cd"}, "/mnt/cd"},  // as typed in a shell: the quotes are gone
        {{"/drive\"/mnt/my cd\"rest"}, "/mnt/my cd"},
        {{"/drive", "/media/usb"}, "/media/usb"},
        {{"--drive=/a/b"}, "/a/b"},
        // A path that begins like an option stays the argument of the option before it.
        {{"--search", "/helpdesk/dirk.txt"}, "/helpdesk/dirk.txt"},
    };
    for (const auto& [args, want] : cases) EXPECT_EQ(parse(args).run_argument, want) << args[0];
}

TEST(CommandLine, LabelIsCutAt30AndNeedsItsTextRightBehind) {
    const auto cl = parse({"/label\"0123456789012345678901234567890123\"", "/drive\"/x\""});
    EXPECT_TRUE(cl.label_given);
    EXPECT_EQ(cl.label, "012345678901234567890123456789");
    EXPECT_FALSE(parse({"/label", "Name", "/drive\"/x\""}).label_given);
    // Counted as the catalogue stores it: Windows-1252 characters, else
    // UTF-8 bytes, and a cut never splits a character.
    std::string umlauts;
    for (int i = 0; i < 20; ++i) umlauts += "\xC3\xA4";
    EXPECT_EQ(parse({"--label", umlauts}).label, umlauts);
    EXPECT_EQ(parse({"--label", std::string(29, 'a') + "\xCE\xA9"}).label, std::string(29, 'a'));
    std::string info;
    for (int i = 0; i < 300; ++i) info += "\xC3\xB6";
    EXPECT_EQ(parse({"--info", info}).info.size(), 2 * 254u);
}

TEST(CommandLine, InfoAndDirAreCutHelpGoesAnywhereAndUsageErrors) {
    EXPECT_EQ(parse({"--info", std::string(300, 'i')}).info.size(), 254u);
    EXPECT_EQ(parse({"--dir", std::string(300, 'd')}).dir.size(), 258u);
    // Help stands before anything else: usage errors anywhere, a command and
    // its arguments; a command's text after "--" is its own.
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"/help", "--bogus"},
                                               {"--bogus", "/help"},
                                               {"--look=x", "/help"},
                                               {"-x", "--help"},
                                               {"media", "/help"},
                                               {"find", "--json", "--help", "x"}}) {
        const auto cl = parse(args);
        EXPECT_TRUE(cl.help && cl.error.empty()) << testing::PrintToString(args);
    }
    EXPECT_TRUE(parse({"find", "--help"}).long_help);
    EXPECT_FALSE(parse({"find", "--", "/help"}).help);
    EXPECT_FALSE(parse({"--search", "/helpdesk/dirk.txt"}).help);
    for (const char* bad : {"--bogus", "--drive", "--look=x", "/unknown"}) {
        EXPECT_FALSE(parse({bad}).error.empty()) << bad;
    }
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
