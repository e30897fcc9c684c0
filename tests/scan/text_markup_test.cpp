// HTML and XML descriptions turned into the text of a comment.
#include <gtest/gtest.h>

#include <string>

#include "scan/text_convert.h"

namespace orbisto {
namespace {

std::string html(std::string s) {
    HtmlToText(s);
    return s;
}
std::string xml(std::string s) {
    XmlToText(s);
    return s;
}

TEST(HtmlText, TextBetweenTagsWithLineBreaksAndWithoutHiddenParts) {
    const struct {
        const char *in, *out;
    } cases[] = {
        {"<html><body><b>Super</b> Game</body></html>", "Super Game "},
        {"lost<p>kept</p>lost too", "kept"},
        {"<p>one<br>two<BR/>three<br />four</p>", "one\r\ntwo\r\nthree\r\nfour"},
        {"<p>a<!-- hidden <b>x</b> -->b</p>", "ab"},
        {"<head><style type=text/css>p { color: red }</style></head><p>x</p>", "x"},
        {"<p>x</p><SCRIPT>if (a<b) alert(1)</SCRIPT><p>y</p>", "x y"},
        // an unterminated block ends its removal step; the rest is still converted
        {"<p>x</p><script>var a = 1;<p>y</p>", "x var a = 1; y"},
        {"<p>a<!-- never closed<p>b</p>", "a b"},
        {"no tags at all", ""},
        {"<p>  spaced \t\t out\r\n\r\n\r\n\r\nend</p>", "spaced out\r\nend"},
    };
    for (const auto& c : cases) EXPECT_EQ(html(c.in), c.out) << c.in;
}

TEST(HtmlText, EntitiesGiveWindows1252OrUtf8ByTheText) {
    // Windows-1252 text (the \xB0 sign) gets Windows-1252 bytes.
    EXPECT_EQ(html("<p>\xB0 &auml; &Egrave; &szlig;&nbsp;&copy;&#169;&middot;</p>"),
              "\xB0 \xE4 \xC8 \xDF \xA9\xA9\xB7");
    EXPECT_EQ(html("<p>\xB0&mdash;&bdquo;x&ldquo; &euro; &AUML;</p>"),
              "\xB0\x97\x84x\x93 &euro; &AUML;");  // unknown names and other case stay
    // ASCII is UTF-8 as well: the same characters in UTF-8.
    EXPECT_EQ(html("<p>&auml;&Egrave;&mdash;</p>"), "\xC3\xA4\xC3\x88\xE2\x80\x94");
    // An escaped entity stays the text of the entity.
    EXPECT_EQ(html("<p>&amp;lt; &amp;auml; &lt;b&gt; &amp;amp;</p>"), "&lt; &auml; <b> &amp;");
    // UTF-8 text keeps its characters and gets the entities in UTF-8.
    EXPECT_EQ(html("<p>Gr\xC3\xBC\xC3\x9F"
                   "e &auml;</p>"),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xC3\xA4");
    // A UTF-8 page cut inside a character by the read limit is still UTF-8.
    EXPECT_EQ(html("<p>\xC3\xBC &auml;</p>\xE2\x82"), "\xC3\xBC \xC3\xA4");
    // Windows-1252 text keeps its bytes.
    EXPECT_EQ(html("<p>Gr\xFC\xDF"
                   "e &ouml;</p>"),
              "Gr\xFC\xDF"
              "e \xF6");
    EXPECT_EQ(html("<p>& &; &amp &auml</p>"), "& &; &amp &auml");
}

TEST(HtmlText, LargeInputIsLinear) {
    std::string big;
    for (int i = 0; i < 100000; ++i) big += "<p>a&amp;b<!--c--></p>";
    big += "<script>";
    HtmlToText(big);
    EXPECT_EQ(big.size(), 100000u * 4);
    EXPECT_EQ(big.substr(0, 8), "a&b a&b ");
}

TEST(XmlText, ProgramElementsElseOfficeParagraphs) {
    const struct {
        const char *in, *out;
    } cases[] = {
        {"<Software><Program id=\"1\">Super <b>Game</b></Program><x>no</x>"
         "<PROGRAM>Two</PROGRAM></Software>",
         " Super Game Two"},
        {"<Program>open to the end <i>x", " open to the end x"},
        {"<ProgramList>no</ProgramList><text:p>Para</text:p>", " Para"},
        {"<office:text><text:p text:style-name=\"P1\">One <text:span>span</text:span></text:p>"
         "<text:p/><text:page-number>3</text:page-number><text:p>Two</text:p></office:text>",
         " One span Two"},
        {"<Program></Program><text:p>fallback</text:p>", " fallback"},
        {"<Program>a &lt;b&gt; &amp;lt; &#228;&#xE4;&#0;</Program>",
         " a <b> &lt; \xC3\xA4\xC3\xA4?"},
        {"<Program>caf\xC3\xA9 \xE4\xC3</Program>", " caf\xE9 \xE4\xC3"},  // repaired pair
        {"<Program>\xC3\xA9t\xC3\xA9 &#233;</Program>",
         " \xC3\xA9t\xC3\xA9 \xC3\xA9"},  // UTF-8 kept
        {"<Program>Ver\xE4nderung &#233;&#x4E2D;</Program>", " Ver\xE4nderung \xE9?"},
        {"<Program", ""},
        {"plain", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(xml(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace orbisto
