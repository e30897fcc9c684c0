// The small description-text helpers and the way a finished text reaches the
// CommentPool.
#include <gtest/gtest.h>

#include <string>

#include "catalog/catalog_context.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "text/description_text.h"

namespace orbisto {
namespace {

TEST(TextClean, LooksLikeTextJudgesOnlyTheFirst2048Bytes) {
    EXPECT_TRUE(LooksLikeText("Super Game\r\n\tv1.0\x1A\xE4\xFF"));
    EXPECT_FALSE(LooksLikeText(std::string("ab\0cd", 5)));
    std::string late(2048, 'x');
    EXPECT_TRUE(LooksLikeText(late + '\x01'));
    late[2047] = '\x1B';
    EXPECT_FALSE(LooksLikeText(late));
}

TEST(TextClean, DosUmlautsConvertOnlyNonUtf8TextWithTheSettingOn) {
    const struct {
        const char* in;
        bool umlaut;
        const char* out;
    } cases[] = {
        {"M\x81ller \x84\x94\xE1", true, "M\xFCller \xE4\xF6\xDF"},  // DOS to Windows-1252
        {"M\x81ller", false, "M\x81ller"},                           // setting off
        {"gr\xC3\xBC\xC3", true, "gr\xC3\xBC\xC3"},  // UTF-8 cut inside a character stays
    };
    for (const auto& c : cases) {
        std::string t = c.in;
        OemToAnsiIfNeeded(t, c.umlaut);
        EXPECT_EQ(t, c.out) << c.in;
    }
}

TEST(TextClean, BlanksAreFoldedAndEmptyLinesDropped) {
    std::string s = " \r\n \tHello  \t world \r\n \t \r\n b";
    NormaliseBlanks(s);
    EXPECT_EQ(s, "Hello world \r\nb");
}

TEST(TextClean, CaseInsensitiveSearchFoldsGermanUmlautsAcrossEncodings) {
    EXPECT_EQ(FindCI("game game", "GAME", 1), 5u);
    EXPECT_EQ(FindCI("abc", "b", 7), std::string_view::npos);
    // Windows-1252 list, UTF-8 name: found at its byte offset in the list
    EXPECT_EQ(FindCI("x m\xFCll.txt Abfall \x80", "M\xC3\x9CLL"), 2u);
    EXPECT_TRUE(ContainsCI("\xC3\xA4rger", "\xC4RGER"));  // UTF-8 list, Windows-1252 name
    // A name with no Windows-1252 form is not in a Windows-1252 list
    EXPECT_FALSE(ContainsCI("abc \xE4", "\xE4\xB8\xAD"));
    EXPECT_FALSE(EndsWithCI("tx", ".ETX"));
}

struct DescriptionText : ::testing::Test {
    test::ScriptedFrontend fe;
    Context ctx{fe};
};

TEST_F(DescriptionText, DescriptionTextsReachThePoolAsUtf8WithinTheRoom) {
    std::uint32_t comment = 0;
    const struct {
        std::string in, out;
    } cases[] = {
        {"Gr\xFC\xDF"
         "e",
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {"\xC3\xA4rger \xC3", "\xC3\xA4rger "},  // cut character dropped
        {std::string("ab\0cd", 5), "ab"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(set_description_comment(ctx, c.in, comment));
        EXPECT_EQ(ctx.catalog.comment_at(comment), c.out);
    }
    // A text longer than the room is cut there, between characters.
    const std::size_t room = comment_room(ctx.catalog);
    ASSERT_TRUE(set_description_comment(ctx, std::string(room - 1, 'a') + "\xC3\xA4", comment));
    EXPECT_EQ(ctx.catalog.comment_at(comment), std::string(room - 1, 'a'));
    EXPECT_FALSE(ctx.limits_hit.comments);
}

TEST_F(DescriptionText, LimitAndConversionFollowTheName) {
    ctx.settings.options.max_description_bytes = 1024;
    ctx.settings.options.max_html_bytes = 1 << 30;
    EXPECT_EQ(description_limit(ctx, "file_id.diz"), 1024u);
    EXPECT_EQ(description_limit(ctx, "info.Html.bak"), comment_room(ctx.catalog));

    ctx.settings.options.convert_dos_text = true;
    std::string dos = "\x84rger", page = "<p>&auml; \x84</p>";
    convert_by_name(ctx, "ETX.TXT", dos);
    convert_by_name(ctx, "a.htm", page);  // HTML is not DOS text
    EXPECT_EQ(dos + "|" + page, "\xE4rger|\xE4 \x84");
}

}  // namespace
}  // namespace orbisto
