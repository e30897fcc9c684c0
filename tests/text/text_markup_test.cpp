// HTML and XML descriptions turned into the text of a comment.
#include <gtest/gtest.h>

#include <string>

#include "text/text_convert.h"

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
        {"<p>x</p><SCRIPT>if (a<b) alert(1)</SCRIPT><p>y</p>", "x y"},
        // an unterminated block ends its removal step; the rest is still converted
        {"<p>x</p><script>var a = 1;<p>y</p>", "x var a = 1; y"},
        {"<p>a<!-- never closed<p>b</p>", "a b"},
        {"<p>  spaced \t\t out\r\n\r\n\r\n\r\nend</p>", "spaced out\r\nend"},
    };
    for (const auto& c : cases) EXPECT_EQ(html(c.in), c.out) << c.in;
}

TEST(HtmlText, EntitiesGiveWindows1252OrUtf8ByTheText) {
    const struct {
        const char *in, *out;
    } cases[] = {
        // Windows-1252 text (the \xB0 sign) gets Windows-1252 bytes; unknown names stay.
        {"<p>\xB0 &auml;&mdash;&nbsp;&euro; &AUML;</p>", "\xB0 \xE4\x97 &euro; &AUML;"},
        {"<p>&auml;&mdash;</p>", "\xC3\xA4\xE2\x80\x94"},           // ASCII is UTF-8 as well
        {"<p>&amp;lt; &lt;b&gt; &amp;amp;</p>", "&lt; <b> &amp;"},  // escaped stays escaped
        // A UTF-8 page cut inside a character by the read limit is still UTF-8.
        {"<p>\xC3\xBC &auml;</p>\xE2\x82", "\xC3\xBC \xC3\xA4"},
        {"<p>& &; &amp &auml</p>", "& &; &amp &auml"},
    };
    for (const auto& c : cases) EXPECT_EQ(html(c.in), c.out) << c.in;
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
        {"<office:text><text:p text:style-name=\"P1\">One <text:span>span</text:span></text:p>"
         "<text:p/><text:page-number>3</text:page-number><text:p>Two</text:p></office:text>",
         " One span Two"},
        {"<Program>a &lt;b&gt; &amp;lt; &#228;&#xE4;&#0;</Program>",
         " a <b> &lt; \xC3\xA4\xC3\xA4?"},
        {"<Program>caf\xC3\xA9 \xE4\xC3</Program>", " caf\xE9 \xE4\xC3"},  // repaired pair
        {"<Program", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(xml(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace orbisto
