#include "app/options.h"

#include <cstdio>

#include "app/exit_codes.h"
#include "settings/lang.h"

namespace orbisto::app {

namespace {

std::string with_word(std::string_view text, std::string_view word) {
    std::string out(text);
    if (const std::size_t at = out.find("{}"); at != std::string::npos) out.replace(at, 2, word);
    return out;
}

bool is_option_word(OptionWords words, std::string_view a) {
    if (words == OptionWords::Dashed) return a.size() > 1 && a[0] == '-';
    return a.empty() || a.starts_with("--");
}

const Option* find_option(const CommandSyntax& syntax, std::string_view name) {
    for (const Option& o : syntax.options) {
        if (o.name == name) return &o;
    }
    return nullptr;
}

}  // namespace

ParsedArgs parse_args(const CommandSyntax& syntax, const std::vector<std::string>& args) {
    ParsedArgs out;
    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options_done || !is_option_word(syntax.words, a)) {
            if (out.operands.size() >= syntax.max_operands) {
                out.error = with_word(!syntax.extra_operand.empty()
                                          ? syntax.extra_operand
                                          : tr(syntax.english, "unerwartetes Argument '{}'",
                                               "unexpected argument '{}'"),
                                      a);
                return out;
            }
            out.operands.push_back(a);
            continue;
        }
        if (a == "--" && syntax.words == OptionWords::Dashed) {
            options_done = true;
            continue;
        }
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        const Option* option = find_option(syntax, name);
        if (!option) {
            out.error =
                with_word(!syntax.unknown.empty()
                              ? syntax.unknown
                              : tr(syntax.english, "unbekannte Option '{}'", "unknown option '{}'"),
                          a);
            return out;
        }
        std::string value;
        if (eq != std::string::npos) {
            if (!option->takes_value) {
                out.error = name + tr(syntax.english, " nimmt keinen Wert", " takes no value");
                return out;
            }
            value = a.substr(eq + 1);
        } else if (option->takes_value) {
            if (i + 1 >= args.size()) {
                out.error = option->missing.empty()
                                ? name + tr(syntax.english, " braucht einen Wert", " needs a value")
                                : std::string(option->missing);
                return out;
            }
            value = args[++i];
        }
        if (option->apply) out.error = option->apply(value);
        if (!out.error.empty()) return out;
    }
    return out;
}

int usage_error(const CommandSyntax& syntax, std::string_view text) {
    const std::string_view command = syntax.command;
    std::fprintf(stderr,
                 tr(syntax.english, "orbisto: %.*s: %.*s\nHilfe: 'orbisto %.*s --help'.\n",
                    "orbisto: %.*s: %.*s\nTry 'orbisto %.*s --help'.\n"),
                 static_cast<int>(command.size()), command.data(), static_cast<int>(text.size()),
                 text.data(), static_cast<int>(command.size()), command.data());
    return kExitUsage;
}

}  // namespace orbisto::app
