#include "app/media_commands.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <string_view>

#include "app/exit_codes.h"
#include "app/options.h"
#include "catalog/catalog_context.h"
#include "catalog/category_edit.h"
#include "catalog/media_list.h"
#include "output/rows.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

bool parse_int(std::string_view s, int& out) {
    if (s.empty()) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

int print(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        return kExitFailure;
    }
    return 0;
}

}  // namespace

LineStyle stdout_line_style() {
    return ::isatty(STDOUT_FILENO) ? LineStyle::Terminal : LineStyle::Plain;
}

std::string media_lines(const Context& ctx, int category, LineStyle style) {
    std::string out;
    for (const MediumHeader& m : ctx.media.entries) {
        if (category >= 0 && !IsMemberOfCategory(ctx, m, category)) continue;
        const int cat = m.category <= static_cast<std::uint32_t>(ctx.categories.count())
                            ? static_cast<int>(m.category)
                            : -1;
        char serial[16];
        std::snprintf(serial, sizeof serial, "%08X", m.volume_serial);
        out += tsv_line({RowField::of_integer("catalog", m.catalog_number),
                         RowField::of_text("medium", fixed_text(m.medium_name)),
                         RowField::of_text("label", fixed_text(m.volume_label)),
                         RowField::of_text("serial", serial),
                         RowField::of_integer("dirs", m.dir_count > 0 ? m.dir_count - 1 : 0u),
                         RowField::of_integer("files", m.file_count),
                         RowField::of_number("total_kb", m.total_kb, 0),
                         RowField::of_text("category", ctx.categories.is_user_category(cat)
                                                           ? ctx.categories.name(cat)
                                                           : std::string_view()),
                         RowField::of_integer("lent", (m.medium_flags & MEDIUM_LENT) ? 1 : 0)},
                        style);
    }
    return out;
}

std::string category_lines(const Context& ctx, LineStyle style) {
    std::string out;
    for (int i = 0; i <= ctx.categories.count(); ++i) {
        out += tsv_line({RowField::of_integer("index", i),
                         RowField::of_integer("parent", ctx.categories.parent(i)),
                         RowField::of_text("name", ctx.categories.name(i))},
                        style);
    }
    return out;
}

int run_media(Context& ctx, const std::vector<std::string>& args) {
    int category = -1;
    const CommandSyntax syntax{
        .command = "media",
        .options = {{"--category", true,
                     [&](const std::string& v) {
                         if (!parse_int(v, category) || !ctx.categories.valid(category)) {
                             return ctx.tr("keine Kategorie '", "no category '") + v + "'";
                         }
                         return std::string();
                     },
                     ctx.tr("--category braucht eine Zahl", "--category needs a number")}},
        .words = OptionWords::DoubleDashed,
        .unknown = ctx.tr("unerwartetes Argument '{}'", "unexpected argument '{}'"),
        .english = ctx.english(),
    };
    if (const auto parsed = parse_args(syntax, args); !parsed.error.empty()) {
        return usage_error(syntax, parsed.error);
    }
    if (!BuildMediaList(ctx)) return kExitFailure;
    return print(media_lines(ctx, category, stdout_line_style()));
}

int run_categories(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax{
        .command = "categories",
        .options = {},
        .words = OptionWords::DoubleDashed,
        .unknown = ctx.tr("nimmt keine Argumente", "takes no arguments"),
        .extra_operand = ctx.tr("nimmt keine Argumente", "takes no arguments"),
        .english = ctx.english()};
    if (const auto parsed = parse_args(syntax, args); !parsed.error.empty()) {
        return usage_error(syntax, parsed.error);
    }
    return print(category_lines(ctx, stdout_line_style()));
}

}  // namespace orbisto::app
