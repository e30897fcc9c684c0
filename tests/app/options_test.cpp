#include "app/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbisto::app {
namespace {

using Args = std::vector<std::string>;

// Runs the words through a table of one flag and two valued options and
// returns what was applied, the operands and the error in one string.
std::string read(OptionWords words, const Args& args) {
    std::string applied;
    const CommandSyntax syntax{
        .command = "test",
        .options = {{"--flag", false,
                     [&](const std::string&) {
                         applied += "flag ";
                         return std::string();
                     }},
                    {"--size", true,
                     [&](const std::string& v) {
                         if (v == "bad") return "bad size '" + v + "'";
                         applied += "size=" + v + " ";
                         return std::string();
                     }},
                    {"--kind", true, nullptr, "--kind needs a kind"}},
        .max_operands = 1,
        .words = words,
    };
    const ParsedArgs parsed = parse_args(syntax, args);
    std::string out = applied + "|";
    for (const auto& o : parsed.operands) out += "[" + o + "]";
    return out + "|" + parsed.error;
}

TEST(CommandOptions, WordsAreReadInOrderUntilTheFirstError) {
    const struct {
        OptionWords words;
        Args args;
        std::string want;
    } cases[] = {
        {OptionWords::Dashed, {"--size", "3", "x", "--flag"}, "size=3 flag |[x]|"},
        {OptionWords::Dashed, {"--size=", "--size=a=b"}, "size= size=a=b ||"},
        // A value may look like an option.
        {OptionWords::Dashed, {"--size", "--flag"}, "size=--flag ||"},
        {OptionWords::Dashed, {"--flag=1"}, "||--flag takes no value"},
        {OptionWords::Dashed, {"--size"}, "||--size needs a value"},
        {OptionWords::Dashed, {"--kind"}, "||--kind needs a kind"},
        {OptionWords::Dashed,
         {"--flag", "--bogus=1", "--size", "bad"},
         "flag ||unknown option '--bogus=1'"},
        {OptionWords::Dashed, {"--size", "bad", "--bogus"}, "||bad size 'bad'"},
        {OptionWords::Dashed, {"a", "b"}, "|[a]|unexpected argument 'b'"},
        // "-" and the empty word are operands; after "--" everything is.
        {OptionWords::Dashed, {"-"}, "|[-]|"},
        {OptionWords::Dashed, {""}, "|[]|"},
        {OptionWords::Dashed, {"-x"}, "||unknown option '-x'"},
        {OptionWords::Dashed, {"--", "--flag"}, "|[--flag]|"},
        // Only "--" words are options: "-x" is an operand, "--" and the empty
        // word are unknown.
        {OptionWords::DoubleDashed, {"-x", "--flag"}, "flag |[-x]|"},
        {OptionWords::DoubleDashed, {"--", "a"}, "||unknown option '--'"},
        {OptionWords::DoubleDashed, {"a", ""}, "|[a]|unknown option ''"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read(c.words, c.args), c.want) << testing::PrintToString(c.args);
    }
}

}  // namespace
}  // namespace orbisto::app
