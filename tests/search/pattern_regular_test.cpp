#include "pattern_test_util.h"

namespace orbisto {
namespace {

using Messages = std::vector<std::string>;

bool regular(std::string_view pattern, std::string_view text, bool ignore_case = true) {
    Prepared x;
    prepare(x, pattern, SearchMode::Regular, ignore_case);
    return MatchText(x.p, text);
}

Messages messages_of(std::string_view pattern) {
    Prepared x;
    prepare(x, pattern, SearchMode::Regular);
    return x.messages;
}

struct RegularCase {
    const char* pattern;
    const char* text;
    bool match;
};

TEST(RegularLanguage, OperatorsClassesAndCase) {
    const RegularCase cases[] = {
        // Anchors, runs and occurrence operators.
        {"^ab$", "abc", false},
        {"^b", "ab", false},
        {"b$", "ab", true},
        {"a*z", "z-to-a", false},
        {"a+z", "az", true},
        {"ab-c", "ac", false},
        {"a*b*c", "axxbyyc", true},
        {"x.z", "xyz", true},
        {"x\\.z", "xyz", false},
        {"a", "", false},
        // Named classes; bytes 128-255 count as white.
        {":d", "track", false},
        {"^:a:n", "x9", true},
        {"x: ", "xä", true},
        {"x: ", "xy", false},
        // Bracket classes; no range before ']'.
        {"[^0-9]", "123", false},
        {"^[A-C]+", "b", true},
        {"[x\\]]", "]", true},
        {"[a-]", "-", true},
        // Case is ignored, umlauts included.
        {"müller", "MÜLLER.TXT", true},
        {"[ä-ü]", "Ö", true},
        // Compiling goes on after a message: the operator is dropped, nothing
        // is compiled for ":x", a lone ':' is literal, the open class is kept,
        // an empty class matches nothing.
        {"+abc", "xabc", true},
        {"a:xb", "ab", true},
        {"a:", "a:", true},
        {"a:", "ab", false},
        {"[abc", "b", true},
        {"x[]", "xa", false},
        {"x[^]", "xa", true}};
    for (const RegularCase& c : cases) EXPECT_EQ(regular(c.pattern, c.text), c.match) << c.pattern;
    EXPECT_TRUE(regular("abc", "XABC", false));
    const std::string big = "[" + std::string(40, '\x0e') + "]";
    EXPECT_FALSE(regular(big + big + big, "\x0e\x0e\x0e"));  // no usable code
}

TEST(RegularLanguage, CompileMessagesAndCodeFillingExactly256Bytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"^+a", "Illegal occurrance op."},
        {"a:x", "Unknown : type"},
        {"a:", "No : type"},
        {"[abc", "Unterminated class"},
        {"[a\\", "Class terminates badly"},
        {"x[]", "Empty class"},
        {"[" + std::string(90, '\x0e') + "]", "Class too large"}};
    for (const auto& [pattern, message] : cases) EXPECT_EQ(messages_of(pattern), Messages{message});
    const std::string big = "[" + std::string(40, '\x0e') + "]";
    EXPECT_EQ(messages_of(big + big + big), Messages{"Pattern too complex\r\n"});
    EXPECT_TRUE(messages_of("^a*b+c-:d:a:n: [x-z]\\$$").empty());
    // 127 literals take 254 bytes, plus the end code and its NUL.
    Prepared x;
    prepare(x, std::string(127, 'a'), SearchMode::Regular);
    EXPECT_TRUE(x.messages.empty());
    EXPECT_TRUE(MatchText(x.p, std::string(130, 'a')));
    EXPECT_EQ(x.p.single.regular.size, pattern::kRegularCodeSize);
}

TEST(RegularLanguage, OutputFilterUsesTheChosenLanguage) {
    SearchPattern p;
    p.IgnoreCase = true;
    PrepareFilterString(p, "*.mp3*");
    EXPECT_EQ(p.typed, ".mp3*");  // the filter keeps a trailing star
    EXPECT_TRUE(MatchFilter(p, "song.MP3x", OutputFilter::Normal));
    PrepareFilterString(p, "^s.*3$");
    EXPECT_TRUE(MatchFilter(p, "song.mp3", OutputFilter::Regular));
    EXPECT_FALSE(MatchFilter(p, "song.mp3", OutputFilter::Normal));
}

}  // namespace
}  // namespace orbisto
