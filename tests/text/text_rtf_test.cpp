// RTF descriptions turned into the text of a comment: a document written by a
// word processor, the parts of the format a reader must get right, and
// malformed or hostile input.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "platform/files.h"
#include "support/scripted_frontend.h"
#include "text/text_convert.h"

namespace orbisto {
namespace {

struct Rtf : ::testing::Test {
    test::ScriptedFrontend fe;
    std::string text(std::string rtf) {
        RtfToText(fe, rtf);
        EXPECT_TRUE(is_valid_utf8(rtf));
        return rtf;
    }
    std::string fixture(const char* name) {
        const auto bytes =
            read_file(std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/rtf/" + name);
        EXPECT_TRUE(bytes.has_value()) << name;
        return text(bytes.value_or(""));
    }
    // The one message shown, or "" when none was.
    std::string message() const {
        EXPECT_LE(fe.messages.size(), 1u);
        if (fe.messages.empty()) return "";
        EXPECT_EQ(fe.messages[0].caption, "RTF-Error");
        EXPECT_EQ(fe.messages[0].icon, Icon::Exclamation);
        return fe.messages[0].text;
    }
};

TEST_F(Rtf, DocumentsOfAWordProcessor) {
    EXPECT_EQ(fixture("notes.rtf"),
              "Spielesammlung f\xC3\xBCr DOS\n"
              "Name:\tS\xC3\xBC\xC3\x9F"
              "e \xC3\x84pfel\n"
              "\xC3\x96l & Wasser \xE2\x80\x94 Gr\xC3\xB6\xC3\x9F"
              "e 10\xE2\x82\xAC\n");
    EXPECT_EQ(fixture("table.rtf"),
              "\xC3\x9C"
              "bersicht der Dateien\nzweite Zeile\n"
              "Datei\tGr\xC3\xB6\xC3\x9F"
              "e\t\nspiel.exe\t12 KB\t\nEnde.\n");
    EXPECT_EQ(message(), "");
}

TEST_F(Rtf, SymbolsEscapesAndCharacterSets) {
    const struct {
        const char *in, *out;
    } cases[] = {
        {"{\\rtf1 a\\~b\\-c\\_d \\{x\\} \\\\ e\\tab f\\line g\\page h\\row i}",
         "a b-c-d {x} \\ e\tf\ng\nh\ni"},
        {"{\\rtf1\\ansi caf\\'e9 \\'80 \\'81}", "caf\xC3\xA9 \xE2\x82\xAC ?"},
        {"{\\rtf1\\mac \\'8a\\'a5\\'d0\\'b0}", "\xC3\xA4\xE2\x80\xA2\xE2\x80\x93?"},
        {"{\\rtf1\\pc \\'84\\'e1\\'9e\\'c4}", "\xC3\xA4\xC3\x9F??"},
        // \u with its fallback, counted by \uc in the group
        {"{\\rtf1 \\u8364?\\u-10179?\\u-8704?{\\uc2\\u1488\\'e0\\'e0x}\\u21452\\'3fy}",
         "\xE2\x82\xAC\xF0\x9F\x98\x80\xD7\x90x\xE5\x8F\x8Cy"},
        // destinations without body text
        {"{\\rtf1{\\info{\\title T}{\\author A}}{\\*\\unknown x}{\\header H}"
         "{\\pict\\bin4 }}}}data}body{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt link}}}",
         "bodylink"},
        {"{\\rtf1 \\fs2147483647999 big\\fs-99999999999 \\'4 x}", "big x"},
    };
    for (const auto& c : cases) EXPECT_EQ(text(c.in), c.out) << c.in;
    EXPECT_EQ(message(), "");
}

TEST_F(Rtf, MalformedHeaderTablesAreReportedOnce) {
    const struct {
        const char *in, *error, *out;
    } cases[] = {
        {"{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\fswiss Arial;}}x}",
         "FTErr - missing font number", "x"},
        {"{\\rtf1{\\stylesheet{\\s1\\sbasedon2 A;}{\\s2\\sbasedon1 B;}}x}",
         "Style expansion loop, style A", "x"},
        // two faults: only the first is shown
        {"{\\rtf1{\\fonttbl{\\f0;}}{\\colortbl x;}x}", "FTErr - missing font name", "x"},
    };
    for (const auto& c : cases) {
        fe.messages.clear();
        EXPECT_EQ(text(c.in), c.out) << c.in;
        EXPECT_EQ(message(), c.error) << c.in;
    }
    // Well-formed tables with character styles, plain font entries and a
    // chain of base styles are quiet.
    fe.messages.clear();
    EXPECT_EQ(text("{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;\\f1 Courier;}"
                   "{\\colortbl;\\red255\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}"
                   "{\\*\\cs10\\additive Default;}{\\s1\\sbasedon0 H1;}{\\s2\\sbasedon1 H2;}"
                   "{\\cs11\\sbasedon10 Link;}}ok}"),
              "ok");
    EXPECT_EQ(message(), "");
}

TEST_F(Rtf, HostileInputEndsCleanly) {
    std::string deep = "{\\rtf1 a";
    for (int i = 0; i < 10000; ++i) deep += "{";
    deep += "b";
    for (int i = 0; i < 10000; ++i) deep += "}";
    deep += "c}";
    EXPECT_EQ(text(deep), "abc");

    EXPECT_EQ(text(std::string(100000, '{') + "x"), "x");

    const char* cut[] = {"{\\rtf1 x\\",         "{\\rtf1 x\\'",
                         "{\\rtf1 x\\'4",       "{\\rtf1 x\\u",
                         "{\\rtf1 x\\u-",       "{\\rtf1 x\\bin99999 abc",
                         "{\\rtf1 x}}}}",       "{\\rtf1 x\\uc99999999\\u65 abc",
                         "{\\rtf1 x\\u99999999"};
    for (const char* c : cut) {
        const std::string out = text(c);
        EXPECT_EQ(out.substr(0, 1), "x") << c;
        EXPECT_LE(out.size(), 2u) << c;
    }
    EXPECT_EQ(message(), "");
}

}  // namespace
}  // namespace orbisto
