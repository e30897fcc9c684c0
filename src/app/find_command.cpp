#include "app/find_command.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <unordered_set>

#include "app/exit_codes.h"
#include "app/media_commands.h"
#include "app/medium_arg.h"
#include "app/options.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "output/rows.h"
#include "search/search_confirm.h"
#include "search/search_context.h"
#include "search/search_engine.h"
#include "search/search_time.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

constexpr double kMaxBoundKb = 4'000'000.0;

bool parse_int(std::string_view s, int lo, int hi, int& out) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v < lo || v > hi) {
        return false;
    }
    out = v;
    return true;
}

bool parse_kb(const std::string& s, float& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || v < 0) return false;
    out = static_cast<float>(std::min(v, kMaxBoundKb));
    return true;
}

std::optional<SearchMode> parse_mode(std::string_view s) {
    static const std::pair<std::string_view, SearchMode> kModes[] = {
        {"normal", SearchMode::Normal},         {"extended", SearchMode::Approximate},
        {"similarity", SearchMode::Similarity}, {"thumbnails", SearchMode::Thumbnails},
        {"regular", SearchMode::Regular},       {"favourites", SearchMode::Favourites},
        {"duplicates", SearchMode::Duplicates}};
    for (const auto& [name, mode] : kModes) {
        if (s == name) return mode;
    }
    return std::nullopt;
}

std::optional<int> parse_scope(std::string_view s) {
    int scope = 0;
    while (!s.empty()) {
        const std::size_t comma = s.find(',');
        const std::string_view word = s.substr(0, comma);
        if (word == "comments") {
            scope |= kScopeComments;
        } else if (word == "dirs") {
            scope |= kScopeDirs;
        } else if (word == "files") {
            scope |= kScopeFiles;
        } else if (word == "info") {
            scope |= kScopeInfo;
        } else {
            return std::nullopt;
        }
        if (comma == std::string_view::npos) break;
        s.remove_prefix(comma + 1);
        if (s.empty()) return std::nullopt;
    }
    if (scope == 0) return std::nullopt;
    return scope;
}

std::string local_time(std::uint64_t filetime) {
    if (filetime == 0) return {};
    const std::time_t t = static_cast<std::time_t>(unix_of_filetime(filetime));
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return {};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min);
    return buf;
}

struct HitFields {
    char kind = 'F';
    std::string path;
    std::string_view name;
    float size_kb = 0;
    std::uint64_t time = 0;
    std::string_view comment;
};

HitFields fields_of(const Catalog& cat, const HitRecord& hit, const HitDetail& detail) {
    HitFields f;
    const std::uint32_t index = object_index(hit.object);
    if (detail.kind == HitKind::MediumInfo) {
        f.kind = 'M';
        f.name = fixed_text(cat.header.medium_name);
        f.size_kb = cat.header.total_kb;
        f.comment = cat.description();
    } else if (is_dir_object(hit.object)) {
        f.kind = 'D';
        if (index < cat.dirs().size()) {
            const DirRecord& d = cat.dirs()[index];
            f.path = cat.dir_path(d.parent < index ? d.parent : 0);
            f.name = cat.name_at(d.name);
            f.size_kb = d.size_kb;
            f.time = d.time.value();
            f.comment = cat.comment_at(d.comment);
        }
    } else if (index < cat.files().size()) {
        const FileRecord& r = cat.files()[index];
        f.path = cat.dir_path(r.parent);
        f.name = cat.name_at(r.name);
        f.size_kb = r.size_kb;
        f.time = r.time.value();
        f.comment = cat.comment_at(r.comment);
    }
    return f;
}

}  // namespace

std::string hit_line(const Catalog& cat, const HitRecord& hit, const HitDetail& detail,
                     const HitFormat& format) {
    const HitFields f = fields_of(cat, hit, detail);
    Row row = {RowField::of_integer("catalog", hit.catalog_number),
               RowField::of_text("medium", fixed_text(cat.header.medium_name)),
               RowField::of_text("kind", std::string_view(&f.kind, 1)),
               RowField::of_text("path", f.path),
               RowField::of_text("name", f.name),
               RowField::of_number("size_kb", f.size_kb, 2),
               RowField::of_text("time", local_time(f.time)),
               RowField::of_text("comment", f.comment)};
    // JSON objects carry the quality of the mode; the line has it as a ninth
    // field only when asked, and that field is empty when the mode has none.
    const RowForm quality = format.quality_column ? RowForm::Both : RowForm::JsonOnly;
    if (format.quality == HitQuality::Errors) {
        row.push_back(RowField::of_integer("errors", static_cast<int>(detail.quality), quality));
    } else if (format.quality == HitQuality::Rate) {
        row.push_back(detail.quality >= 0 ? RowField::of_number("rate", detail.quality, 2, quality)
                                          : RowField::null("rate", quality));
    } else if (format.quality_column) {
        row.push_back(RowField::null("quality", RowForm::TsvOnly));
    }
    return format.json ? json_line(row) : tsv_line(row, format.style);
}

namespace {

struct FindOptions {
    std::optional<std::string> text;
    bool json = false;
    bool rate = false;
    bool all_matches = false;
    std::string medium;  // --medium: the one medium searched; empty for all
    bool have_from = false;
    bool have_to = false;
    CalendarDate from;
    CalendarDate to;
};

// Applies the options to the search settings and state in memory. Returns
// the exit status of a usage error, or 0.
int parse_options(Context& ctx, const std::vector<std::string>& args, FindOptions& o) {
    SearchSettings& s = ctx.settings.search;
    SearchState& st = ctx.search;
    s.mode = SearchMode::Normal;
    s.ignore_case = true;
    s.category = 0;
    s.include_subcategories = true;
    s.automatic = false;
    s.flags &= ~kSearchFlagLoadedOnly;
    st.only_with_comment = false;
    st.date_filter = false;
    st.MinKB = st.MaxKB = 0;
    st.exact_size = false;

    const auto flag = [](auto set) {
        return [set](const std::string&) {
            set();
            return std::string();
        };
    };
    const auto date = [&o, &ctx](bool from) {
        return [&o, &ctx, from](const std::string& v) {
            const auto d = parse_iso_date(v.c_str());
            if (!d) {
                return ctx.tr("ung\xC3\xBCltiges Datum '", "bad date '") + v +
                       ctx.tr("' (JJJJ-MM-TT)", "' (YYYY-MM-DD)");
            }
            (from ? o.from : o.to) = *d;
            (from ? o.have_from : o.have_to) = true;
            return std::string();
        };
    };
    const auto kb = [&ctx](const char* name, float& bound) {
        return [name, &bound, &ctx](const std::string& v) {
            return parse_kb(v, bound) ? std::string()
                                      : ctx.tr(
                                            "ung\xC3\xBCltige Gr\xC3\xB6\xC3\x9F"
                                            "e '",
                                            "bad size '") +
                                            v + ctx.tr("' f\xC3\xBCr ", "' for ") + name;
        };
    };
    const CommandSyntax syntax{
        .command = "find",
        .options = {{"--case", false, flag([&] { s.ignore_case = false; })},
                    {"--comment-only", false, flag([&] { st.only_with_comment = true; })},
                    {"--no-subcategories", false, flag([&] { s.include_subcategories = false; })},
                    {"--auto", false, flag([&] { s.automatic = true; })},
                    {"--json", false, flag([&] { o.json = true; })},
                    {"--all-matches", false, flag([&] { o.all_matches = true; })},
                    {"--medium", true,
                     [&](const std::string& v) {
                         o.medium = v;
                         return std::string();
                     }},
                    {"--rate", false, flag([&] { o.rate = true; })},
                    {"--mode", true,
                     [&](const std::string& v) {
                         const auto mode = parse_mode(v);
                         if (!mode)
                             return ctx.tr("unbekannter Modus '", "unknown mode '") + v + "'";
                         s.mode = *mode;
                         return std::string();
                     }},
                    {"--scope", true,
                     [&](const std::string& v) {
                         const auto scope = parse_scope(v);
                         if (!scope) {
                             return ctx.tr("ung\xC3\xBCltiger Bereich '", "bad scope '") + v +
                                    "' (comments,dirs,files,info)";
                         }
                         s.scope = *scope;
                         return std::string();
                     }},
                    {"--category", true,
                     [&](const std::string& v) {
                         int c = 0;
                         if (!parse_int(v, 0, 0xFFFF, c) || !ctx.categories.valid(c)) {
                             return ctx.tr("keine Kategorie '", "no category '") + v + "'";
                         }
                         s.category = c;
                         return std::string();
                     }},
                    {"--from", true, date(true)},
                    {"--to", true, date(false)},
                    {"--min-kb", true, kb("--min-kb", st.MinKB)},
                    {"--max-kb", true, kb("--max-kb", st.MaxKB)},
                    {"--errors", true,
                     [&](const std::string& v) {
                         return parse_int(v, 0, 4, s.max_errors)
                                    ? std::string()
                                    : ctx.tr("--errors nimmt 0 bis 4", "--errors takes 0 to 4");
                     }},
                    {"--threshold", true,
                     [&](const std::string& v) {
                         return parse_int(v, 0, 100, s.similarity_threshold)
                                    ? std::string()
                                    : ctx.tr("--threshold nimmt 0 bis 100",
                                             "--threshold takes 0 to 100");
                     }}},
        .max_operands = 1,
        .extra_operand = ctx.tr("mehr als ein Suchtext: '{}'", "more than one search text: '{}'"),
        .english = ctx.english(),
    };
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (o.have_from || o.have_to) {
        st.date_filter = true;
        st.from = o.have_from ? filetime_of_day(o.from.year, o.from.month, o.from.day, false) : 0;
        st.to = o.have_to ? filetime_of_day(o.to.year, o.to.month, o.to.day, true) : UINT64_MAX;
        if (st.from > st.to)
            return usage_error(syntax, ctx.tr("--from liegt nach --to", "--from lies after --to"));
    }
    o.text = parsed.operands.empty() ? std::string() : parsed.operands.front();
    // The duplicate search compares every file with every other; it has no
    // use for a search text.
    if (TrimSearchString(*o.text).empty() && !search_mode_without_text(s.mode) &&
        s.mode != SearchMode::Duplicates) {
        return usage_error(syntax, ctx.tr("kein Suchtext", "no search text"));
    }
    return 0;
}

bool write_out(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// What find printed: rows, and the size of the files among them (as the
// search's own total counts files only).
struct Printed {
    std::size_t rows = 0;
    double kb = 0;
    void add(const HitFields& f) {
        ++rows;
        if (f.kind == 'F') kb += f.size_kb;
    }
};

// One row per object unless every match is wanted: an object found by its
// name and by its comment is printed once. The hits of a medium come
// together, so the objects seen are kept for one medium at a time.
class RowFilter {
  public:
    explicit RowFilter(bool all) : all_(all) {}
    bool first_time(const HitRecord& hit, const HitDetail& detail) {
        if (all_) return true;
        if (hit.catalog_number != medium_) {
            medium_ = hit.catalog_number;
            seen_.clear();
        }
        // The medium information is recorded under the reference of the
        // first file; it is an object of its own.
        const std::uint64_t key = std::uint64_t{hit.object} |
                                  (detail.kind == HitKind::MediumInfo ? std::uint64_t{1} << 32 : 0);
        return seen_.insert(key).second;
    }

  private:
    bool all_;
    std::uint32_t medium_ = UINT32_MAX;
    std::unordered_set<std::uint64_t> seen_;
};

// The duplicate search records its rows after the media were read: each
// catalogue that holds a row is loaded once and the lines are put in order.
bool print_later(Context& ctx, const HitFormat& format, Printed& printed) {
    const auto& hits = ctx.search.hits;
    std::map<std::uint32_t, std::vector<std::size_t>> by_medium;
    for (std::size_t i = 0; i < hits.size(); ++i) by_medium[hits[i].catalog_number].push_back(i);
    std::vector<std::string> lines(hits.size());
    Catalog cat(ctx.limits, ctx.english());
    for (const auto& [number, rows] : by_medium) {
        if (!LoadCatalogForSearch(ctx, static_cast<int>(number), cat)) continue;
        for (const std::size_t i : rows) {
            lines[i] = hit_line(cat, hits[i], ctx.search.details[i], format);
            printed.add(fields_of(cat, hits[i], ctx.search.details[i]));
        }
    }
    bool ok = true;
    for (const auto& line : lines) ok = write_out(line) && ok;
    return ok;
}

}  // namespace

int run_find(Context& ctx, const std::vector<std::string>& args) {
    FindOptions o;
    if (const int status = parse_options(ctx, args, o); status != 0) return status;
    // The duplicate search reads no text, but the engine wants one to run.
    if (ctx.settings.search.mode == SearchMode::Duplicates && TrimSearchString(*o.text).empty()) {
        o.text->assign(1, '*');
    }
    if (auto error = PrepareSearch(ctx, *o.text)) {
        ctx.frontend.message(error->text, error->title, Buttons::Ok, Icon::Stop);
        return kExitUsage;
    }
    // The regular language notes what it cannot read and goes on; a search
    // run from a script stops instead of printing what the rest matches.
    if (ctx.settings.search.mode == SearchMode::Regular &&
        !ctx.search.pattern.regular_problem.empty()) {
        std::fprintf(stderr, "orbisto: find: %s: %s\n",
                     ctx.tr("Suchbegriff falsch", "illegal search string"),
                     ctx.search.pattern.regular_problem.c_str());
        return kExitUsage;
    }
    if (!BuildMediaList(ctx)) return kExitNoHits;
    if (!o.medium.empty()) {
        std::string error;
        const auto number = resolve_medium(ctx, o.medium, error);
        if (!number) {
            std::fprintf(stderr, "orbisto: find: %s\n", error.c_str());
            return kExitFailure;
        }
        if (!LoadCatalog(ctx, *number)) return kExitFailure;
        ctx.settings.search.flags |= kSearchFlagLoadedOnly;
    }

    const SearchMode mode = ctx.settings.search.mode;
    HitFormat format;
    format.json = o.json;
    format.quality_column = o.rate;
    format.style = stdout_line_style();
    if (mode == SearchMode::Approximate) format.quality = HitQuality::Errors;
    if (mode == SearchMode::Similarity) format.quality = HitQuality::Rate;
    const bool later = mode == SearchMode::Duplicates;
    bool output_ok = true;
    Printed printed;
    RowFilter filter(o.all_matches);
    if (!later) {
        ctx.search.on_hit = [&](const Catalog& cat, const HitRecord& hit, const HitDetail& detail) {
            if (!filter.first_time(hit, detail)) return;
            output_ok = write_out(hit_line(cat, hit, detail, format)) && output_ok;
            printed.add(fields_of(cat, hit, detail));
        };
    }
    const bool ran = RunSearch(ctx);
    ctx.search.on_hit = nullptr;
    if (ran && later) output_ok = print_later(ctx, format, printed);
    if (std::fflush(stdout) != 0) output_ok = false;
    if (!ran) return kExitNoHits;
    // The totals count what was printed.
    std::fprintf(
        stderr, "%s\n",
        search_status_text(ctx, printed.rows, static_cast<float>(printed.kb), ctx.search.seconds)
            .c_str());
    if (!output_ok) {
        std::fprintf(stderr, "%s",
                     ctx.tr("orbisto: find: die Treffer lassen sich nicht ausgeben\n",
                            "orbisto: find: could not write the hits\n"));
        return kExitNoHits;
    }
    return printed.rows == 0 ? kExitNoHits : 0;
}

}  // namespace orbisto::app
