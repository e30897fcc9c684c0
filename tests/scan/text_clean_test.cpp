// The small description-text helpers and the way a finished text reaches the
// CommentPool.
#include <gtest/gtest.h>

#include <string>

#include "scan/description_text.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

TEST(TextClean, LooksLikeTextJudgesOnlyTheFirst2048Bytes) {
    EXPECT_TRUE(LooksLikeText(""));
    EXPECT_TRUE(LooksLikeText("Super Game\r\n\tv1.0\x1A\xE4\xFF"));
    EXPECT_FALSE(LooksLikeText(std::string("ab\0cd", 5)));
    EXPECT_FALSE(LooksLikeText("ab\x1B"));
    std::string late(2048, 'x');
    late += '\x01';
    EXPECT_TRUE(LooksLikeText(late));
    late[2047] = '\x01';
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
        {"caf\x82 \xE9t\xE9", true, "caf\x82 \xE9t\xE9"},            // no DOS umlaut in it
        {"gr\xC3\xBC\xC3\x9F \xC3\x84", true, "gr\xC3\xBC\xC3\x9F \xC3\x84"},  // UTF-8 stays
        {"gr\xC3\xBC\xC3", true, "gr\xC3\xBC\xC3"},  // UTF-8 cut inside a character stays
    };
    for (const auto& c : cases) {
        std::string t = c.in;
        OemToAnsiIfNeeded(t, c.umlaut);
        EXPECT_EQ(t, c.out) << c.in;
    }
}

TEST(TextClean, CleanUpSetsAndBlanks) {
    std::string t = "Super Game v1.0 - the_best +&=*~";
    ApplyCleanUp(t, CleanUp::WithoutBlank);
    EXPECT_EQ(t, "Super Game v10  thebest ");
    ApplyCleanUp(t, CleanUp::Full);
    EXPECT_EQ(t, "SuperGamev10thebest");
    StripCharacter(t, 'e');
    EXPECT_EQ(t, "SuprGamv10thbst");

    const struct {
        const char *in, *out;
    } blanks[] = {
        {" \r\n \tHello  \t world ", "Hello world "},
        {"a\r\n\r\n\r\n\nb", "a\r\nb"},
        {"a\r\n \t \r\n b", "a\r\nb"},
        {"a \r\nb", "a \r\nb"},
    };
    for (const auto& c : blanks) {
        std::string s = c.in;
        NormaliseBlanks(s);
        EXPECT_EQ(s, c.out) << c.in;
    }
}

TEST(TextClean, CaseInsensitiveSearchFoldsGermanUmlautsAcrossEncodings) {
    EXPECT_EQ(FindCI("game game", "GAME", 1), 5u);
    EXPECT_EQ(FindCI("abc", "abcd"), std::string_view::npos);
    EXPECT_EQ(FindCI("abc", "b", 7), std::string_view::npos);
    // UTF-8 text, UTF-8 part
    EXPECT_TRUE(
        ContainsCI("M\xC3\x9C"
                   "LL.TXT",
                   "m\xC3\xBCll"));
    // Windows-1252 list, UTF-8 name: found at its byte offset in the list
    EXPECT_EQ(FindCI("x m\xFCll.txt Abfall \x80",
                     "M\xC3\x9C"
                     "LL"),
              2u);
    // UTF-8 list, Windows-1252 name
    EXPECT_TRUE(ContainsCI("\xC3\xA4rger", "\xC4RGER"));
    // A name with no Windows-1252 form is not in a Windows-1252 list
    EXPECT_FALSE(ContainsCI("abc \xE4", "\xE4\xB8\xAD"));
    EXPECT_TRUE(EndsWithCI("\xC3\xA4.etx", "\xC3\x84.ETX"));
    EXPECT_FALSE(EndsWithCI("notes.etx.bak", ".ETX"));
    EXPECT_FALSE(EndsWithCI("tx", ".ETX"));
}

struct DescriptionText : ::testing::Test {
    test::ScriptedFrontend fe;
    Context ctx{fe};
};

TEST_F(DescriptionText, DescriptionTextsReachThePoolAsUtf8WithinTheRoom) {
    std::uint32_t comment = 0;
    ASSERT_TRUE(set_description_comment(ctx,
                                        "Gr\xFC\xDF"
                                        "e",
                                        comment));
    EXPECT_EQ(ctx.catalog.comment_at(comment),
              "Gr\xC3\xBC\xC3\x9F"
              "e");

    ASSERT_TRUE(set_description_comment(ctx, "\xC3\xA4rger \xC3", comment));
    EXPECT_EQ(ctx.catalog.comment_at(comment), "\xC3\xA4rger ");  // cut character dropped

    ASSERT_TRUE(set_description_comment(ctx, std::string("ab\0cd", 5), comment));
    EXPECT_EQ(ctx.catalog.comment_at(comment), "ab");

    comment = 7;
    EXPECT_TRUE(set_description_comment(ctx, "", comment));
    EXPECT_EQ(comment, 7u);

    // A text longer than the room is cut there, between characters.
    const std::size_t room = comment_room(ctx.catalog);
    ASSERT_GT(room, 10u);
    std::string big(room - 1, 'a');
    big += "\xC3\xA4\xC3\xA4";
    ASSERT_TRUE(set_description_comment(ctx, big, comment));
    EXPECT_EQ(ctx.catalog.comment_at(comment), std::string(room - 1, 'a'));
    EXPECT_LE(ctx.catalog.comments_used() + 2, ctx.catalog.comments_capacity());
    EXPECT_FALSE(ctx.scan.limits_hit.comments);
}

TEST_F(DescriptionText, LimitAndConversionFollowTheName) {
    ctx.settings.options.MaxSize = 1024;
    ctx.settings.options.MaxHTML = 4096;
    EXPECT_EQ(description_limit(ctx, "file_id.diz"), 1024u);
    EXPECT_EQ(description_limit(ctx, "info.Html.bak"), 4096u);
    EXPECT_EQ(description_limit(ctx, "READ.RTF"), 4096u);
    ctx.settings.options.MaxSize = -5;
    EXPECT_EQ(description_limit(ctx, "a.txt"), 0u);
    ctx.settings.options.MaxHTML = 1 << 30;
    EXPECT_EQ(description_limit(ctx, "a.xml"), comment_room(ctx.catalog));

    ctx.settings.options.Umlaut = 1;
    std::string dos = "\x84rger";
    convert_by_name(ctx, "ETX.TXT", dos);
    EXPECT_EQ(dos, "\xE4rger");
    std::string page = "<p>&auml; \x84</p>";
    convert_by_name(ctx, "a.htm", page);  // HTML is not DOS text
    EXPECT_EQ(page, "\xE4 \x84");
}

}  // namespace
}  // namespace orbisto
