// The arguments of a headless command, read against a small table of the
// options it takes. Options are "--name VALUE" or "--name=VALUE" (a value
// may start with a dash: "--mode --json" gives --mode the value "--json");
// flags take no value. Arguments are read in order and the first error
// stops the reading, so a command sees its options applied in the order
// they were given.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::app {

struct Option {
    std::string_view name;  // with its dashes: "--mode"
    bool takes_value = false;
    // Applies the option (with its value, empty for a flag); returns a usage
    // error text, empty when the option is accepted.
    std::function<std::string(const std::string& value)> apply;
    // The error text when the value is missing; "NAME needs a value" when
    // empty.
    std::string_view missing = {};
};

// Which words are options.
enum class OptionWords {
    // Every word that starts with a dash except "-" itself; empty words are
    // operands, and "--" makes every later word an operand.
    Dashed,
    // Only words that start with "--"; an empty word is no operand and is
    // refused as an unknown word.
    DoubleDashed,
};

struct CommandSyntax {
    std::string_view command;  // the name the error texts start with
    std::vector<Option> options;
    std::size_t max_operands = 0;
    OptionWords words = OptionWords::Dashed;
    // Error texts; "{}" stands for the word. Empty: "unknown option '{}'"
    // and "unexpected argument '{}'" in the interface language.
    std::string_view unknown = {};
    std::string_view extra_operand = {};
    // The interface language of the error texts.
    bool english = true;
};

struct ParsedArgs {
    std::vector<std::string> operands;
    // The first usage error, empty when there is none.
    std::string error;
};

ParsedArgs parse_args(const CommandSyntax& syntax, const std::vector<std::string>& args);

// Prints "orbisto: COMMAND: TEXT" and the hint to the command's --help on
// standard error, in the syntax's language, and returns kExitUsage.
int usage_error(const CommandSyntax& syntax, std::string_view text);

}  // namespace orbisto::app
