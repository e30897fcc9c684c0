#include "app/manage_commands.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "app/exit_codes.h"
#include "app/medium_arg.h"
#include "app/options.h"
#include "catalog/bulk.h"
#include "catalog/media_list.h"
#include "catalog/medium_edit.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

// The syntax of a command of `operands` operands and the given options.
// Words that start with a single dash are operands (a name may start with
// one); "--" makes every later word an operand.
CommandSyntax manage_syntax(const Context& ctx, std::string_view command, std::size_t operands,
                            std::vector<Option> options = {}) {
    return CommandSyntax{.command = command,
                         .options = std::move(options),
                         .max_operands = operands,
                         .words = OptionWords::DoubleDashed,
                         .english = ctx.english()};
}

// The catalogue number of a MEDIUM operand, after the MediaList is built;
// nullopt after the message has been printed.
std::optional<std::uint32_t> manage_medium(Context& ctx, std::string_view command,
                                           std::string_view word) {
    if (ctx.media.entries.empty() && !BuildMediaList(ctx)) return std::nullopt;
    std::string error;
    const std::optional<int> n = resolve_medium(ctx, word, error);
    if (!n) {
        command_failure(command, error);
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*n);
}

std::string medium_label(const Context& ctx, std::uint32_t number) {
    std::string label = std::to_string(number);
    if (const auto pos = ctx.media.position_of(number)) {
        label += " '" + std::string(fixed_text(ctx.media.entries[*pos].medium_name)) + "'";
    }
    return label;
}

// The exit status of a medium edit, with the message of a refusal.
int edit_status(const Context& ctx, std::string_view command, MediumEdit result,
                std::string_view limit_text) {
    switch (result) {
        case MediumEdit::Done:
        case MediumEdit::Unchanged:
            return kExitSuccess;
        case MediumEdit::Declined:
            return command_failure(command, ctx.tr("nicht umbenannt", "not renamed"));
        case MediumEdit::Empty:
            return command_failure(command, ctx.tr("der Name ist leer", "the name is empty"));
        case MediumEdit::TooLong:
            return command_failure(command, limit_text);
        case MediumEdit::NotLent:
            return command_failure(
                command, ctx.tr("das Medium ist nicht verliehen", "the medium is not lent"));
        case MediumEdit::AlreadyLent:
            return command_failure(command,
                                   ctx.tr("das Medium ist schon verliehen; erst 'orbisto return'",
                                          "the medium is lent already; 'orbisto return' it first"));
        case MediumEdit::Failed:
            break;
    }
    return command_failure(command, ctx.tr("nicht gespeichert", "not stored"));
}

// Reads one answer line from the terminal: yes (y, j, yes, ja) or not.
bool terminal_says_yes() {
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) return false;
    std::string_view a(line);
    while (!a.empty() && (a.back() == '\n' || a.back() == '\r' || a.back() == ' ')) {
        a.remove_suffix(1);
    }
    return a == "y" || a == "Y" || a == "j" || a == "J" || a == "yes" || a == "ja" || a == "Yes" ||
           a == "Ja";
}

int resave_command(Context& ctx, const std::vector<std::string>& args, bool compress) {
    const std::string_view command = compress ? "pack" : "unpack";
    const CommandSyntax syntax = manage_syntax(ctx, command, 0);
    if (const auto parsed = parse_args(syntax, args); !parsed.error.empty()) {
        return usage_error(syntax, parsed.error);
    }
    if (!BuildMediaList(ctx)) return kExitFailure;
    switch (resave_all_catalogues(ctx, compress)) {
        case BulkResult::Done:
        case BulkResult::Cancelled:
            return kExitSuccess;
        case BulkResult::Aborted:
            return command_failure(command, ctx.tr("abgebrochen", "stopped"));
        case BulkResult::Failed:
            break;
    }
    return command_failure(
        command, ctx.tr("nicht alle Kataloge gespeichert", "not every catalogue was stored"));
}

}  // namespace

int command_failure(std::string_view command, std::string_view text) {
    std::fprintf(stderr, "orbisto: %.*s: %.*s\n", static_cast<int>(command.size()), command.data(),
                 static_cast<int>(text.size()), text.data());
    return kExitFailure;
}

int run_rename(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax = manage_syntax(ctx, "rename", 2);
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.size() != 2) {
        return usage_error(
            syntax, ctx.tr("braucht ein Medium und einen Namen", "needs a medium and a name"));
    }
    const auto number = manage_medium(ctx, "rename", parsed.operands[0]);
    if (!number) return kExitFailure;
    const MediumEdit result = RenameMedium(ctx, *number, parsed.operands[1]);
    return edit_status(ctx, "rename", result,
                       ctx.tr("der Name ist zu lang (h\xC3\xB6"
                              "chstens 57 Zeichen)",
                              "the name is too long (57 characters at most)"));
}

int run_rm(Context& ctx, const std::vector<std::string>& args) {
    bool yes = false;
    const auto set_yes = [&](const std::string&) {
        yes = true;
        return std::string();
    };
    const CommandSyntax syntax =
        manage_syntax(ctx, "rm", static_cast<std::size_t>(-1), {{"--yes", false, set_yes}});
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.empty()) {
        return usage_error(syntax, ctx.tr("welche Medien?", "which media?"));
    }
    std::vector<std::size_t> positions;
    std::string names;
    for (const std::string& word : parsed.operands) {
        const auto number = manage_medium(ctx, "rm", word);
        if (!number) return kExitFailure;
        const std::size_t pos = *ctx.media.position_of(*number);
        if (std::find(positions.begin(), positions.end(), pos) != positions.end()) continue;
        positions.push_back(pos);
        names += "\n  " + medium_label(ctx, *number);
    }
    if (!yes) {
        if (!::isatty(STDIN_FILENO)) {
            return command_failure("rm",
                                   ctx.tr("nichts gel\xC3\xB6scht: ohne Terminal nur mit --yes",
                                          "nothing deleted: without a terminal only with --yes"));
        }
        std::fprintf(stderr, "%s%s\n%s",
                     ctx.tr("Diese Medien l\xC3\xB6schen:", "Delete these media:"), names.c_str(),
                     ctx.tr("L\xC3\xB6schen? [j/n] ", "Delete? [y/n] "));
        std::fflush(stderr);
        if (!terminal_says_yes()) {
            return command_failure("rm", ctx.tr("nichts gel\xC3\xB6scht", "nothing deleted"));
        }
    }
    const std::size_t deleted = delete_media_files(ctx, positions);
    if (deleted != positions.size()) {
        return command_failure(
            "rm", ctx.tr("nicht alle Medien gel\xC3\xB6scht", "not every medium was deleted"));
    }
    return kExitSuccess;
}

int run_assign(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax = manage_syntax(ctx, "assign", 2);
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.size() != 2) {
        return usage_error(syntax, ctx.tr("braucht ein Medium und eine Kategorie",
                                          "needs a medium and a category"));
    }
    int category = -1;
    const std::string& word = parsed.operands[1];
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), category);
    if (word.empty() || ec != std::errc() || end != word.data() + word.size()) {
        return usage_error(syntax, ctx.tr("die Kategorie ist eine Nummer (orbisto categories)",
                                          "the category is a number (orbisto categories)"));
    }
    if (category != 0 && !ctx.categories.is_user_category(category)) {
        if (category == ctx.categories.lent_index()) {
            return command_failure(
                "assign", ctx.tr("zum Verleihen: orbisto lend", "to lend a medium: orbisto lend"));
        }
        return command_failure("assign",
                               std::string(ctx.tr("keine Kategorie ", "no category ")) + word);
    }
    const auto number = manage_medium(ctx, "assign", parsed.operands[0]);
    if (!number) return kExitFailure;
    const std::size_t pos = *ctx.media.position_of(*number);
    if (ctx.media.entries[pos].category == static_cast<std::uint32_t>(category)) {
        return kExitSuccess;
    }
    const std::size_t positions[] = {pos};
    // Shown as "all media": the move only sets the category.
    if (MoveMediaToCategory(ctx, positions, category, 0).moved.empty()) {
        return command_failure("assign", ctx.tr("nicht gespeichert", "not stored"));
    }
    return kExitSuccess;
}

int run_lend(Context& ctx, const std::vector<std::string>& args) {
    std::optional<std::string> to;
    std::string from, until;
    const auto value_of = [](std::string& into) {
        return [&into](const std::string& v) {
            into = v;
            return std::string();
        };
    };
    const auto set_to = [&](const std::string& v) {
        to = v;
        return std::string();
    };
    const CommandSyntax syntax = manage_syntax(ctx, "lend", 1,
                                               {{"--to", true, set_to},
                                                {"--from", true, value_of(from)},
                                                {"--until", true, value_of(until)}});
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.size() != 1) {
        return usage_error(syntax, ctx.tr("welches Medium?", "which medium?"));
    }
    if (!to) return usage_error(syntax, ctx.tr("an wen? (--to NAME)", "to whom? (--to NAME)"));
    const auto number = manage_medium(ctx, "lend", parsed.operands[0]);
    if (!number) return kExitFailure;
    const MediumEdit result = LendMedium(ctx, *number, {*to, from, until});
    return edit_status(ctx, "lend", result,
                       ctx.tr("zu lang: --to h\xC3\xB6"
                              "chstens 255 Zeichen, --from und --until 31",
                              "too long: --to holds 255 characters, --from and --until 31"));
}

int run_return(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax = manage_syntax(ctx, "return", 1);
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.size() != 1) {
        return usage_error(syntax, ctx.tr("welches Medium?", "which medium?"));
    }
    const auto number = manage_medium(ctx, "return", parsed.operands[0]);
    if (!number) return kExitFailure;
    return edit_status(ctx, "return", ReturnMedium(ctx, *number), {});
}

int run_pack(Context& ctx, const std::vector<std::string>& args) {
    return resave_command(ctx, args, true);
}

int run_unpack(Context& ctx, const std::vector<std::string>& args) {
    return resave_command(ctx, args, false);
}

int run_reindex(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax = manage_syntax(ctx, "reindex", 0);
    if (const auto parsed = parse_args(syntax, args); !parsed.error.empty()) {
        return usage_error(syntax, parsed.error);
    }
    if (!rebuild_fast_load_index(ctx)) {
        return command_failure("reindex", ctx.tr("Index nicht geschrieben", "index not written"));
    }
    if (!ctx.settings.options.fast_load) {
        std::fprintf(stderr, "orbisto: reindex: %s\n",
                     ctx.tr("FastLoad ist aus: der Index wird erst benutzt, wenn FastLoad=1 "
                            "gesetzt ist",
                            "FastLoad is off: the index is used once FastLoad=1 is set"));
    }
    return kExitSuccess;
}

}  // namespace orbisto::app
