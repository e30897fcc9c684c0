#include "app/category_command.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>

#include "app/exit_codes.h"
#include "app/manage_commands.h"
#include "app/options.h"
#include "catalog/categories.h"
#include "catalog/category_edit.h"
#include "catalog/media_list.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

bool category_number(std::string_view word, int& out) {
    if (word.empty()) return false;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), out);
    return ec == std::errc() && end == word.data() + word.size();
}

// The refusal for an index that names no user category.
int no_user_category(const Context& ctx, std::string_view command, std::string_view word) {
    int n = -1;
    if (category_number(word, n) && ctx.categories.valid(n)) {
        return command_failure(
            command,
            std::string(ctx.tr("Kategorie ", "category ")) + std::string(word) +
                ctx.tr(" ist fest und nicht \xC3\xA4nderbar", " is fixed and cannot be changed"));
    }
    return command_failure(
        command, std::string(ctx.tr("keine Kategorie ", "no category ")) + std::string(word));
}

int edit_result(const Context& ctx, std::string_view command, CategoryEdit result) {
    switch (result) {
        case CategoryEdit::Done:
        case CategoryEdit::Unchanged:
            return kExitSuccess;
        case CategoryEdit::Declined:
            return command_failure(command, ctx.tr("nicht umbenannt", "not renamed"));
        case CategoryEdit::Refused:
            return command_failure(command, ctx.tr("nicht m\xC3\xB6glich", "not possible"));
        case CategoryEdit::NotStored:
            break;
    }
    return command_failure(command, ctx.tr("die Kategoriedatei konnte nicht geschrieben werden",
                                           "the category file could not be written"));
}

// A name the category file keeps whole, else the refusal's text.
std::string name_problem(const Context& ctx, std::string_view name) {
    if (name.find_first_not_of(" \t") == std::string_view::npos) {
        return ctx.tr("der Name ist leer", "the name is empty");
    }
    if (name.size() > kCategoryNameStored) {
        return ctx.tr(
            "der Name ist zu lang (h\xC3\xB6"
            "chstens 255 Bytes)",
            "the name is too long (255 bytes at most)");
    }
    return {};
}

// How many media and subcategories go with category c.
struct Subtree {
    int subcategories = 0;
    int media = 0;
};
Subtree subtree_of(const Context& ctx, int c) {
    Subtree s;
    for (int i = 2; i < ctx.categories.count(); ++i) {
        if (i != c && ctx.categories.in_subtree(i, c)) ++s.subcategories;
    }
    for (const MediumHeader& m : ctx.media.entries) {
        const int mc = static_cast<int>(m.category);
        if (ctx.categories.is_user_category(mc) && ctx.categories.in_subtree(mc, c)) ++s.media;
    }
    return s;
}

int category_add(Context& ctx, const std::vector<std::string>& args) {
    int parent = 0;
    std::string parent_word;
    const CommandSyntax syntax{
        .command = "category",
        .options = {{"--parent", true,
                     [&](const std::string& v) {
                         parent_word = v;
                         return category_number(v, parent)
                                    ? std::string()
                                    : std::string(ctx.tr("--parent braucht eine Nummer",
                                                         "--parent needs a number"));
                     }}},
        .max_operands = 1,
        .words = OptionWords::DoubleDashed,
        .english = ctx.english()};
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.size() != 1) {
        return usage_error(syntax, ctx.tr("welcher Name?", "which name?"));
    }
    const std::string& name = parsed.operands[0];
    if (const std::string problem = name_problem(ctx, name); !problem.empty()) {
        return command_failure("category add", problem);
    }
    if (parent != 0 && !ctx.categories.is_user_category(parent)) {
        return no_user_category(ctx, "category add", parent_word);
    }
    if (ctx.categories.user_count() >= kMaxUserCategories) {
        return command_failure(
            "category add", ctx.tr("die Kategorietabelle ist voll", "the category table is full"));
    }
    const CategoryCreated created = CreateCategory(ctx, name, parent);
    if (created.result != CategoryEdit::Done) {
        return edit_result(ctx, "category add", created.result);
    }
    std::printf("%d\n", created.index);
    return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

int category_rm(Context& ctx, const std::vector<std::string>& args) {
    bool yes = false;
    const CommandSyntax syntax{.command = "category",
                               .options = {{"--yes", false,
                                            [&](const std::string&) {
                                                yes = true;
                                                return std::string();
                                            }}},
                               .max_operands = 1,
                               .english = ctx.english()};
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    int c = -1;
    if (parsed.operands.size() != 1 || !category_number(parsed.operands[0], c)) {
        return usage_error(syntax,
                           ctx.tr("welche Kategorie? (eine Nummer)", "which category? (a number)"));
    }
    if (!ctx.categories.is_user_category(c))
        return no_user_category(ctx, "category rm", parsed.operands[0]);
    if (!BuildMediaList(ctx)) return kExitFailure;
    const Subtree s = subtree_of(ctx, c);
    if (!yes && (s.subcategories > 0 || s.media > 0)) {
        char what[200];
        std::snprintf(what, sizeof what,
                      ctx.tr("'%s' hat %d Unterkategorien und %d Medien (die Medien kommen "
                             "in keine Kategorie)",
                             "'%s' has %d subcategories and %d media (the media go to no "
                             "category)"),
                      ctx.categories.name(c).c_str(), s.subcategories, s.media);
        if (!::isatty(STDIN_FILENO)) {
            return command_failure(
                "category rm", std::string(what) + ctx.tr("; nur mit --yes", "; only with --yes"));
        }
        std::fprintf(stderr, "%s\n%s", what, ctx.tr("L\xC3\xB6schen? [j/n] ", "Delete? [y/n] "));
        std::fflush(stderr);
        char line[64];
        const std::string_view a = std::fgets(line, sizeof line, stdin) ? line : "";
        if (!(a.starts_with('y') || a.starts_with('Y') || a.starts_with('j') ||
              a.starts_with('J'))) {
            return command_failure("category rm",
                                   ctx.tr("nichts gel\xC3\xB6scht", "nothing deleted"));
        }
    }
    return edit_result(ctx, "category rm", DeleteCategory(ctx, c));
}

// "category mv" and "category rename": two words, no options.
CommandSyntax two_operands(const Context& ctx) {
    return {.command = "category",
            .options = {},
            .max_operands = 2,
            .words = OptionWords::DoubleDashed,
            .english = ctx.english()};
}

int category_mv(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax = two_operands(ctx);
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    int c = -1;
    int parent = -1;
    if (parsed.operands.size() != 2 || !category_number(parsed.operands[0], c) ||
        !category_number(parsed.operands[1], parent)) {
        return usage_error(syntax, ctx.tr("braucht zwei Nummern: Kategorie und Oberkategorie",
                                          "needs two numbers: category and parent"));
    }
    if (!ctx.categories.is_user_category(c))
        return no_user_category(ctx, "category mv", parsed.operands[0]);
    if (parent != 0 && !ctx.categories.is_user_category(parent)) {
        return no_user_category(ctx, "category mv", parsed.operands[1]);
    }
    if (parent != 0 && ctx.categories.in_subtree(parent, c)) {
        return command_failure("category mv",
                               ctx.tr("eine Kategorie kann nicht unter sich selbst oder eine "
                                      "ihrer Unterkategorien",
                                      "a category cannot go below itself or one of its "
                                      "subcategories"));
    }
    return edit_result(ctx, "category mv", MoveCategory(ctx, c, parent));
}

int category_rename(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax = two_operands(ctx);
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    int c = -1;
    if (parsed.operands.size() != 2 || !category_number(parsed.operands[0], c)) {
        return usage_error(
            syntax, ctx.tr("braucht eine Nummer und einen Namen", "needs a number and a name"));
    }
    if (!ctx.categories.is_user_category(c)) {
        return no_user_category(ctx, "category rename", parsed.operands[0]);
    }
    if (const std::string problem = name_problem(ctx, parsed.operands[1]); !problem.empty()) {
        return command_failure("category rename", problem);
    }
    return edit_result(ctx, "category rename", RenameCategory(ctx, c, parsed.operands[1]));
}

}  // namespace

int run_category(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax{.command = "category", .options = {}, .english = ctx.english()};
    if (args.empty()) {
        return usage_error(syntax, ctx.tr("add, rm, mv oder rename?", "add, rm, mv or rename?"));
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "add") return category_add(ctx, rest);
    if (args[0] == "rm") return category_rm(ctx, rest);
    if (args[0] == "mv") return category_mv(ctx, rest);
    if (args[0] == "rename") return category_rename(ctx, rest);
    return usage_error(syntax, std::string(ctx.tr("unbekannt: '", "unknown: '")) + args[0] +
                                   ctx.tr("' (add, rm, mv, rename)", "' (add, rm, mv, rename)"));
}

}  // namespace orbisto::app
