#include "output/rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "output/text_fields.h"
#include "platform/codepage.h"

namespace orbisto {
namespace {

using namespace std::string_literals;

TEST(TextFields, AwkwardTextsThroughBothRules) {
    struct Case {
        std::string text, tsv, json;
    };
    const Case cases[] = {
        {"plain \xC3\xBC", "plain \xC3\xBC", "\"plain \xC3\xBC\""},
        {"a\tb", "a b", "\"a\\tb\""},
        {"a\r\nb\nc\rd\n\re", "a b c d  e", "\"a\\r\\nb\\nc\\rd\\n\\re\""},
        {"a\0b"s, "a b", "\"a\\u0000b\""},
        {"esc\x1B[31m del\x7F", "esc [31m del ", "\"esc\\u001b[31m del\\u007f\""},
        // NEL, CSI (C1) and the line separator: line breaks for some readers.
        {"\xC2\x85\xC2\x9B\xE2\x80\xA8\xE2\x80\xA9", "    ", "\"\\u0085\\u009b\\u2028\\u2029\""},
        // Non-BMP characters pass whole.
        {"\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF", "\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF",
         "\"\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF\""},
        {"q\"b\\s/", "q\"b\\s/", "\"q\\\"b\\\\s/\""},
        // Invalid UTF-8 (stray byte, cut sequence, overlong, surrogate, past
        // U+10FFFF): kept in the line, each byte U+FFFD in JSON.
        {"bad\xFF", "bad\xFF", "\"bad\xEF\xBF\xBD\""},
        {"cut\xE2\x82", "cut\xE2\x82", "\"cut\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xC0\xAF\xED\xA0\x80", "\xC0\xAF\xED\xA0\x80",
         "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80",
         "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        // A cut sequence must not swallow the control character after it.
        {"\xC3\n", "\xC3 ", "\"\xEF\xBF\xBD\\n\""},
        {"", "", "\"\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tsv_field(c.text), c.tsv) << testing::PrintToString(c.text);
        EXPECT_EQ(json_string(c.text), c.json) << testing::PrintToString(c.text);
        EXPECT_TRUE(is_valid_utf8(json_string(c.text)));
    }
}

TEST(TextFields, ATerminalSeesWhatWouldActOnItSpelledOut) {
    const struct {
        std::string in, want;
    } cases[] = {
        {"red\x1b[31mtext", "red\\x1b[31mtext"},
        {"bell\x07 del\x7f", "bell\\x07 del\\x7f"},
        {"evil\xE2\x80\xAEtxt.exe", "evil\\u202etxt.exe"},  // right-to-left override
        {"isolate\xE2\x81\xA6x\xE2\x81\xA9", "isolate\\u2066x\\u2069"},
        {"c1\xC2\x9B"
         "2J",
         "c1\\u009b2J"},  // CSI as one character
        {"bad\xFF"
         "byte",
         "bad\\xffbyte"},
        {"two\r\nlines\tand tab", "two lines and tab"},  // as on a pipe
        {"caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC C:\\dir",
         "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC C:\\dir"},
    };
    for (const auto& c : cases) EXPECT_EQ(terminal_field(c.in), c.want) << c.in;
    const Row row = {RowField::of_text("name", "a\x1b]0;x\x07"), RowField::of_integer("n", 1)};
    EXPECT_EQ(tsv_line(row, LineStyle::Terminal), "a\\x1b]0;x\\x07\t1\n");
    EXPECT_EQ(tsv_line(row), "a ]0;x \t1\n");
}

TEST(Rows, TheSameRowAsLineAndAsObject) {
    const double inf = std::numeric_limits<double>::infinity();
    const Row row = {RowField::of_integer("n", -7),
                     RowField::of_text("name", "a\tb\"c"),
                     RowField::of_number("kb", 1.005f, 2),
                     RowField::of_number("big", 0x1p60, 0),
                     RowField::of_number("bad", inf, 1),
                     RowField::of_number("nan", std::nan(""), 2),
                     RowField::null("none"),
                     RowField::of_text("json only", "x", RowForm::JsonOnly),
                     RowField::of_integer("line only", 3, RowForm::TsvOnly)};
    const std::string big = "1152921504606846976";
    EXPECT_EQ(tsv_line(row), "-7\ta b\"c\t1.00\t" + big + "\tinf\tnan\t\t3\n");
    EXPECT_EQ(json_line(row),
              "{\"n\":-7,\"name\":\"a\\tb\\\"c\",\"kb\":1.00,\"big\":" + big +
                  ",\"bad\":null,\"nan\":null,\"none\":null,\"json only\":\"x\"}\n");
    // The largest number with many decimals is written whole, not cut.
    const double most = -std::numeric_limits<double>::max();
    EXPECT_EQ(tsv_line({RowField::of_number("most", most, 20)}).size(), 1 + 309 + 1 + 20 + 1u);
    EXPECT_EQ(tsv_line({}), "\n");
    EXPECT_EQ(json_line({}), "{}\n");
}

}  // namespace
}  // namespace orbisto
