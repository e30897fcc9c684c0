#include <gtest/gtest.h>

#include "pattern_test_util.h"

namespace orbisto {
namespace {

using testing::prepare;
using testing::Prepared;

bool regular(std::string_view pattern, std::string_view text, bool ignore_case = true) {
    Prepared x;
    prepare(x, pattern, kSearchModeRegular, ignore_case);
    return MatchText(x.p, text);
}

std::vector<std::string> messages_of(std::string_view pattern) {
    Prepared x;
    prepare(x, pattern, kSearchModeRegular);
    return x.messages;
}

using Messages = std::vector<std::string>;

TEST(RegularLanguage, AnchorsRunsAndOccurrenceOperators) {
    EXPECT_TRUE(regular("^ab$", "ab"));
    EXPECT_FALSE(regular("^ab$", "abc"));
    EXPECT_FALSE(regular("^b", "ab"));
    EXPECT_TRUE(regular("b$", "ab"));
    EXPECT_TRUE(regular("a*z", "a-to-z"));  // a, any run, z
    EXPECT_FALSE(regular("a*z", "z-to-a"));
    EXPECT_TRUE(regular("a+z", "az"));
    EXPECT_TRUE(regular("ab-c", "abc"));
    EXPECT_FALSE(regular("ab-c", "ac"));
    EXPECT_TRUE(regular("a*b*c", "axxbyyc"));
    EXPECT_FALSE(regular("a*b*c", "axxcyyb"));
    EXPECT_TRUE(regular("x.z", "xyz"));
    EXPECT_FALSE(regular("x\\.z", "xyz"));
    EXPECT_TRUE(regular("x\\.z", "x.z"));
    EXPECT_FALSE(regular("a", ""));
}

TEST(RegularLanguage, NamedClasses) {
    EXPECT_TRUE(regular(":d", "track7"));
    EXPECT_FALSE(regular(":d", "track"));
    EXPECT_TRUE(regular("^:a:n", "x9"));
    EXPECT_FALSE(regular("^:a", "9x"));
    EXPECT_TRUE(regular("x: y", "x y"));
    EXPECT_TRUE(regular("x: ", "xä"));  // bytes 128-255 count as white
    EXPECT_FALSE(regular("x: ", "xy"));
}

TEST(RegularLanguage, BracketClasses) {
    EXPECT_TRUE(regular("[^0-9]", "12a"));
    EXPECT_FALSE(regular("[^0-9]", "123"));
    EXPECT_TRUE(regular("^[A-C]+", "b"));
    EXPECT_TRUE(regular("[x\\]]", "]"));
    EXPECT_TRUE(regular("[a-]", "-"));  // no range before ']'
    EXPECT_FALSE(regular("[a-]", "b"));
}

TEST(RegularLanguage, ComparisonIgnoresCaseIncludingUmlauts) {
    EXPECT_TRUE(regular("ABC", "xabc"));
    EXPECT_TRUE(regular("abc", "XABC", false));
    EXPECT_TRUE(regular("müller", "müller.txt"));
    EXPECT_TRUE(regular("müller", "MÜLLER.TXT"));
    EXPECT_TRUE(regular("MÜLLER", "müller.txt", false));
    EXPECT_TRUE(regular("[ä-ü]", "Ö"));
}

TEST(RegularLanguage, CompileMessages) {
    EXPECT_EQ(messages_of("+a"), Messages{"Illegal occurrance op."});
    EXPECT_EQ(messages_of("^+a"), Messages{"Illegal occurrance op."});
    EXPECT_EQ(messages_of("a$-"), Messages{"Illegal occurrance op."});
    EXPECT_EQ(messages_of("a:x"), Messages{"Unknown : type"});
    EXPECT_EQ(messages_of("a:"), Messages{"No : type"});
    EXPECT_EQ(messages_of("[abc"), Messages{"Unterminated class"});
    EXPECT_EQ(messages_of("[a\\"), Messages{"Class terminates badly"});
    EXPECT_EQ(messages_of("x[]"), Messages{"Empty class"});
    EXPECT_EQ(messages_of("[" + std::string(90, '\x0e') + "]"), Messages{"Class too large"});
    const std::string big = "[" + std::string(40, '\x0e') + "]";
    EXPECT_EQ(messages_of(big + big + big), Messages{"Pattern too complex\r\n"});
    EXPECT_TRUE(messages_of("^a*b+c-:d:a:n: [x-z]\\$$").empty());
}

TEST(RegularLanguage, CompilingGoesOnAfterAMessage) {
    EXPECT_TRUE(regular("+abc", "xabc"));  // the operator is dropped
    EXPECT_TRUE(regular("a:xb", "ab"));    // nothing is compiled for ":x"
    EXPECT_TRUE(regular("a:", "a:"));      // a lone ':' is literal
    EXPECT_FALSE(regular("a:", "ab"));
    EXPECT_TRUE(regular("[abc", "b"));   // the open class is kept
    EXPECT_FALSE(regular("x[]", "xa"));  // an empty class matches nothing
    EXPECT_TRUE(regular("x[^]", "xa"));
    const std::string big = "[" + std::string(40, '\x0e') + "]";
    EXPECT_FALSE(regular(big + big + big, "\x0e\x0e\x0e"));  // no usable code
}

TEST(RegularLanguage, CodeFillsExactly256Bytes) {
    // 127 literals take 254 bytes, plus the end code and its NUL.
    Prepared x;
    prepare(x, std::string(127, 'a'), kSearchModeRegular);
    EXPECT_TRUE(x.messages.empty());
    EXPECT_TRUE(MatchText(x.p, std::string(130, 'a')));
    EXPECT_EQ(x.p.single.regular.size, pattern::kRegularCodeSize);
}

TEST(RegularLanguage, UnknownCodeIsReportedAndFails) {
    pattern::RegularProgram prog;
    prog.code = {99, pattern::kReEnd, 0};
    prog.size = 3;
    prog.usable = true;
    std::vector<std::string> said;
    const pattern::StatusReport report = [&](std::string_view m) { said.emplace_back(m); };
    EXPECT_FALSE(pattern::run_regular(prog, "abc", pattern::lower_ascii_table(), report));
    EXPECT_EQ(said, Messages{"Bad op code"});
}

TEST(RegularLanguage, OutputFilterUsesTheChosenLanguage) {
    SearchPattern p;
    p.IgnoreCase = true;
    PrepareFilterString(p, "*.mp3*");
    EXPECT_EQ(p.typed, ".mp3*");  // the filter keeps a trailing star
    EXPECT_TRUE(MatchFilter(p, "song.MP3x", kFilterModeNormal));
    PrepareFilterString(p, "^s.*3$");
    EXPECT_TRUE(MatchFilter(p, "song.mp3", kFilterModeRegular));
    EXPECT_FALSE(MatchFilter(p, "song.mp3", kFilterModeNormal));
    PrepareFilterString(p, "*");
    EXPECT_EQ(p.typed, "?");
    EXPECT_TRUE(MatchFilter(p, "a", kFilterModeNormal));
}

}  // namespace
}  // namespace orbisto
