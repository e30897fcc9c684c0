#include "app/export_command.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "app/exit_codes.h"
#include "app/options.h"
#include "catalog/media_list.h"
#include "session/context.h"
#include "session/output_run.h"

namespace orbisto::app {

namespace {

std::optional<int> number_of(std::string_view s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v < 0) return std::nullopt;
    return v;
}

template <class T>
struct Named {
    std::string_view name;
    T value;
};

template <class T, std::size_t N>
std::optional<T> by_name(const Named<T> (&table)[N], std::string_view name) {
    for (const auto& n : table) {
        if (n.name == name) return n.value;
    }
    return std::nullopt;
}

constexpr Named<OutputFormat> kFormats[] = {{"list", OutputFormat::Files},
                                            {"tree", OutputFormat::Tree},
                                            {"csv", OutputFormat::Csv},
                                            {"dbf", OutputFormat::Dbase},
                                            {"media", OutputFormat::MediaList}};

constexpr Named<OutputFilter> kFilters[] = {{"normal", OutputFilter::Normal},
                                            {"regular", OutputFilter::Regular},
                                            {"thumbnails", OutputFilter::Thumbnails},
                                            {"favourites", OutputFilter::Favourites}};

constexpr Named<bool OutputSettings::*> kColumns[] = {
    {"place", &OutputSettings::show_place},
    {"medium", &OutputSettings::show_medium_name},
    {"name", &OutputSettings::show_name},
    {"ext", &OutputSettings::show_extension},
    {"size", &OutputSettings::show_size},
    {"date", &OutputSettings::show_date},
    {"path", &OutputSettings::show_path},
    {"comment", &OutputSettings::show_comment},
    {"manufacturer", &OutputSettings::show_manufacturer},
    {"supplier", &OutputSettings::show_supplier},
    {"order", &OutputSettings::show_order_number},
    {"price", &OutputSettings::show_price},
    {"info", &OutputSettings::show_medium_info},
    {"changed", &OutputSettings::show_last_change},
    {"category", &OutputSettings::show_category},
    {"free", &OutputSettings::show_free_space},
};

// Sets exactly the named columns; an error text for a name it does not know.
std::string set_columns(OutputSettings& s, std::string_view list, bool english) {
    for (const auto& c : kColumns) s.*c.value = false;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view word = list.substr(0, comma);
        const auto member = by_name(kColumns, word);
        if (!member) {
            return tr(english, "unbekannte Spalte '", "unknown column '") + std::string(word) + "'";
        }
        s.*(*member) = true;
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return {};
}

int status_of(const Context& ctx, const OutputResult& r, const OutputSettings& s) {
    if (r.status != OutputStatus::Written) return kExitFailure;
    const auto items = static_cast<unsigned long long>(r.items);
    if (s.target == OutputTarget::Printer && s.print_file.empty()) {
        std::fprintf(stderr,
                     ctx.tr("orbisto: %llu Eintr\xC3\xA4ge auf dem Standarddrucker gedruckt\n",
                            "orbisto: printed %llu entries on the default printer\n"),
                     items);
    } else if (s.target == OutputTarget::Printer) {
        std::fprintf(stderr,
                     ctx.tr("orbisto: %llu Eintr\xC3\xA4ge nach %s gedruckt\n",
                            "orbisto: printed %llu entries to %s\n"),
                     items, r.path.c_str());
    } else {
        std::fprintf(stderr,
                     ctx.tr("orbisto: %llu Eintr\xC3\xA4ge nach %s geschrieben\n",
                            "orbisto: wrote %llu entries to %s\n"),
                     items, r.path.c_str());
    }
    return kExitSuccess;
}

}  // namespace

int run_export(Context& ctx, const std::vector<std::string>& args) {
    OutputSettings s;
    s.scope = OutputScope::AllMedia;
    s.file_name.clear();
    OutputRequest request;
    request.exact_path = true;
    request.existing = ExistingFile::Keep;
    std::string scope_word = "all";
    const auto flag = [](bool& b) {
        return [&b](const std::string&) {
            b = true;
            return std::string();
        };
    };
    const CommandSyntax syntax{
        .command = "export",
        .options = {{"--format", true,
                     [&](const std::string& v) {
                         const auto f = by_name(kFormats, v);
                         if (!f) {
                             return ctx.tr("unbekanntes Format '", "unknown format '") + v +
                                    "' (list, tree, csv, dbf, media)";
                         }
                         s.format = *f;
                         return std::string();
                     }},
                    {"--scope", true,
                     [&](const std::string& v) {
                         if (v != "all" && v != "lent" && v != "category" && v != "medium") {
                             return ctx.tr("unbekannter Bereich '", "unknown scope '") + v +
                                    "' (all, lent, category N, medium N)";
                         }
                         scope_word = v;
                         return std::string();
                     }},
                    {"--output", true,
                     [&](const std::string& v) {
                         s.file_name = v;
                         return v.empty() ? std::string(ctx.tr("--output braucht einen Dateinamen",
                                                               "--output needs a file name"))
                                          : std::string();
                     }},
                    {"--filter", true,
                     [&](const std::string& v) {
                         s.use_filter = true;
                         request.filter_text = v;
                         return std::string();
                     }},
                    {"--filter-mode", true,
                     [&](const std::string& v) {
                         const auto f = by_name(kFilters, v);
                         if (!f) {
                             return ctx.tr("unbekannte Filterart '", "unknown filter mode '") + v +
                                    "'";
                         }
                         s.use_filter = true;
                         s.filter = *f;
                         return std::string();
                     }},
                    {"--columns", true,
                     [&](const std::string& v) { return set_columns(s, v, ctx.english()); }},
                    {"--max-level", true,
                     [&](const std::string& v) {
                         const auto n = number_of(v);
                         if (!n) return ctx.tr("ung\xC3\xBCltige Ebene '", "bad level '") + v + "'";
                         s.max_level = *n;
                         return std::string();
                     }},
                    {"--printer", false,
                     [&](const std::string&) {
                         s.target = OutputTarget::Printer;
                         return std::string();
                     }},
                    {"--pdf", true,
                     [&](const std::string& v) {
                         s.target = OutputTarget::Printer;
                         s.print_file = v;
                         return v.empty() ? std::string(ctx.tr("--pdf braucht einen Dateinamen",
                                                               "--pdf needs a file name"))
                                          : std::string();
                     }},
                    {"--margin", true,
                     [&](const std::string& v) {
                         const auto n = number_of(v);
                         if (!n)
                             return ctx.tr("ung\xC3\xBCltiger Rand '", "bad margin '") + v + "'";
                         s.left_margin = *n;
                         return std::string();
                     }},
                    {"--header", false, flag(s.header)},
                    {"--append", false, flag(s.append)},
                    {"--form-feed", false, flag(s.form_feed)},
                    {"--one-line", false, flag(s.one_line)},
                    {"--dirs-only", false, flag(s.dirs_only)},
                    {"--root-only", false, flag(s.root_only)},
                    {"--csv", false, flag(s.media_list_csv)},
                    {"--comment-only", false, flag(s.only_with_comment)},
                    {"--ignore-case", false, flag(s.ignore_case)},
                    {"--windows-1252", false, flag(s.windows1252_text)},
                    {"--no-subcategories", false,
                     [&](const std::string&) {
                         s.include_subcategories = false;
                         return std::string();
                     }},
                    {"--force", false,
                     [&](const std::string&) {
                         request.existing = ExistingFile::Replace;
                         return std::string();
                     }}},
        .max_operands = 1,
        .words = OptionWords::DoubleDashed,
        .english = ctx.english(),
    };
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (s.target == OutputTarget::File && s.file_name.empty()) {
        return usage_error(syntax, ctx.tr("--output DATEI fehlt (oder --printer)",
                                          "--output FILE is needed (or --printer)"));
    }
    if (s.target == OutputTarget::Printer && !s.file_name.empty()) {
        return usage_error(syntax, ctx.tr("--output und --printer schlie\xC3\x9F"
                                          "en einander aus",
                                          "--output and --printer exclude each other"));
    }
    if (!BuildMediaList(ctx)) return kExitFailure;

    const bool numbered = scope_word == "category" || scope_word == "medium";
    if (numbered != !parsed.operands.empty()) {
        return usage_error(
            syntax, numbered
                        ? "--scope " + scope_word + ctx.tr(" braucht eine Zahl", " needs a number")
                        : ctx.tr("unerwartetes Argument '", "unexpected argument '") +
                              parsed.operands.front() + "'");
    }
    if (scope_word == "all") s.scope = OutputScope::AllMedia;
    if (scope_word == "lent") s.scope = OutputScope::LentMedia;
    if (numbered) {
        const auto n = number_of(parsed.operands.front());
        if (scope_word == "category") {
            if (!n || !ctx.categories.valid(*n)) {
                return usage_error(syntax, ctx.tr("keine Kategorie '", "no category '") +
                                               parsed.operands.front() + "'");
            }
            s.scope = OutputScope::Category;
            request.category = *n;
        } else {
            if (!n || !ctx.media.position_of(static_cast<std::uint32_t>(*n))) {
                return usage_error(
                    syntax, ctx.tr("kein Medium '", "no medium '") + parsed.operands.front() + "'");
            }
            s.scope = OutputScope::CurrentMedium;
            request.medium = *n;
        }
    }
    return status_of(ctx, RunOutputTo(ctx, s, request), s);
}

int run_export_mode(Context& ctx) {
    return status_of(
        ctx,
        RunOutputNoDialog(ctx, ctx.command_line.force ? ExistingFile::Replace : ExistingFile::Keep),
        ctx.settings.output);
}

}  // namespace orbisto::app
