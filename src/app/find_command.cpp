#include "app/find_command.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>

#include "catalog/media_list.h"
#include "search/search_confirm.h"
#include "search/search_engine.h"
#include "search/search_time.h"

namespace orbisto::app {

namespace {

constexpr int kExitNoHits = 1;
constexpr int kExitUsage = 2;
constexpr double kMaxBoundKb = 4'000'000.0;

int usage(const std::string& text) {
    std::fprintf(stderr, "orbisto: find: %s\nTry 'orbisto --help'.\n", text.c_str());
    return kExitUsage;
}

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

// A field of the tab-separated line: tabs and line breaks become one blank
// each ("\r\n" counts as one break).
std::string field(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
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

// The length of the valid UTF-8 sequence at s[i], or 0 when it is invalid.
std::size_t utf8_sequence(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        return 0;
    }
    return n;
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

std::string json_string(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = utf8_sequence(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text.substr(i, n));
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
        i += n;
    }
    out += '"';
    return out;
}

std::string hit_line(const Catalog& cat, const HitRecord& hit, const HitDetail& detail,
                     const HitFormat& format) {
    const bool json = format.json;
    const HitFields f = fields_of(cat, hit, detail);
    const std::string_view medium = fixed_text(cat.header.medium_name);
    char size[64];
    std::snprintf(size, sizeof size, "%.2f", static_cast<double>(f.size_kb));
    const std::string time = local_time(f.time);
    std::string quality;
    if (format.quality == HitQuality::Errors) {
        quality = std::to_string(static_cast<int>(detail.quality));
    } else if (format.quality == HitQuality::Rate && detail.quality >= 0) {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.2f", detail.quality);
        quality = rate;
    }
    std::string out;
    if (json) {
        out = "{\"catalog\":" + std::to_string(hit.catalog_number) +
              ",\"medium\":" + json_string(medium) + ",\"kind\":\"" + f.kind +
              "\",\"path\":" + json_string(f.path) + ",\"name\":" + json_string(f.name) +
              ",\"size_kb\":" + (std::isfinite(f.size_kb) ? size : "null") +
              ",\"time\":" + json_string(time) + ",\"comment\":" + json_string(f.comment);
        if (format.quality == HitQuality::Errors) out += ",\"errors\":" + quality;
        if (format.quality == HitQuality::Rate) {
            out += ",\"rate\":" + (quality.empty() ? std::string("null") : quality);
        }
        out += "}\n";
    } else {
        out = std::to_string(hit.catalog_number) + '\t' + field(medium) + '\t' + f.kind + '\t' +
              field(f.path) + '\t' + field(f.name) + '\t' + size + '\t' + time + '\t' +
              field(f.comment);
        if (format.quality_column) out += '\t' + quality;
        out += '\n';
    }
    return out;
}

namespace {

struct FindOptions {
    std::optional<std::string> text;
    bool json = false;
    bool rate = false;
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

    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options_done || a.empty() || a[0] != '-' || a == "-") {
            if (o.text) return usage("more than one search text: '" + a + "'");
            o.text = a;
            continue;
        }
        if (a == "--") {
            options_done = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> value;
        if (const std::size_t eq = a.find('='); eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        auto flag = [&]() {
            if (value) return false;
            return true;
        };
        auto need = [&]() -> bool {
            if (value) return true;
            if (i + 1 >= args.size()) return false;
            value = args[++i];
            return true;
        };
        if (name == "--case" || name == "--comment-only" || name == "--no-subcategories" ||
            name == "--auto" || name == "--json" || name == "--rate") {
            if (!flag()) return usage(name + " takes no value");
            if (name == "--case") s.ignore_case = false;
            if (name == "--comment-only") st.only_with_comment = true;
            if (name == "--no-subcategories") s.include_subcategories = false;
            if (name == "--auto") s.automatic = true;
            if (name == "--json") o.json = true;
            if (name == "--rate") o.rate = true;
            continue;
        }
        if (name != "--mode" && name != "--scope" && name != "--category" && name != "--from" &&
            name != "--to" && name != "--min-kb" && name != "--max-kb" && name != "--errors" &&
            name != "--threshold") {
            return usage("unknown option '" + a + "'");
        }
        if (!need()) return usage(name + " needs a value");
        const std::string& v = *value;
        if (name == "--mode") {
            const auto mode = parse_mode(v);
            if (!mode) return usage("unknown mode '" + v + "'");
            s.mode = *mode;
        } else if (name == "--scope") {
            const auto scope = parse_scope(v);
            if (!scope) return usage("bad scope '" + v + "' (comments,dirs,files,info)");
            s.scope = *scope;
        } else if (name == "--category") {
            int c = 0;
            if (!parse_int(v, 0, 0xFFFF, c) || !ctx.categories.valid(c)) {
                return usage("no category '" + v + "'");
            }
            s.category = c;
        } else if (name == "--from" || name == "--to") {
            const auto d = parse_iso_date(v.c_str());
            if (!d) return usage("bad date '" + v + "' (YYYY-MM-DD)");
            (name == "--from" ? o.from : o.to) = *d;
            (name == "--from" ? o.have_from : o.have_to) = true;
        } else if (name == "--min-kb" || name == "--max-kb") {
            if (!parse_kb(v, name == "--min-kb" ? st.MinKB : st.MaxKB)) {
                return usage("bad size '" + v + "' for " + name);
            }
        } else if (name == "--errors") {
            if (!parse_int(v, 0, 4, s.max_errors)) return usage("--errors takes 0 to 4");
        } else {
            if (!parse_int(v, 0, 100, s.similarity_threshold)) {
                return usage("--threshold takes 0 to 100");
            }
        }
    }
    if (o.have_from || o.have_to) {
        st.date_filter = true;
        st.from = o.have_from ? filetime_of_day(o.from.year, o.from.month, o.from.day, false) : 0;
        st.to = o.have_to ? filetime_of_day(o.to.year, o.to.month, o.to.day, true) : UINT64_MAX;
        if (st.from > st.to) return usage("--from lies after --to");
    }
    if (!o.text) o.text = std::string();
    if (TrimSearchString(*o.text).empty() && !search_mode_without_text(s.mode)) {
        return usage("no search text");
    }
    return 0;
}

bool write_out(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// The duplicate search records its rows after the media were read: each
// catalogue that holds a row is loaded once and the lines are put in order.
bool print_later(Context& ctx, const HitFormat& format) {
    const auto& hits = ctx.search.hits;
    std::map<std::uint32_t, std::vector<std::size_t>> by_medium;
    for (std::size_t i = 0; i < hits.size(); ++i) by_medium[hits[i].catalog_number].push_back(i);
    std::vector<std::string> lines(hits.size());
    Catalog cat(ctx.limits, ctx.english());
    for (const auto& [number, rows] : by_medium) {
        if (!LoadCatalogForSearch(ctx, static_cast<int>(number), cat)) continue;
        for (const std::size_t i : rows) {
            lines[i] = hit_line(cat, hits[i], ctx.search.details[i], format);
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
    if (auto error = PrepareSearch(ctx, *o.text)) {
        ctx.frontend.message(error->text, error->title, Buttons::Ok, Icon::Stop);
        return kExitUsage;
    }
    if (!BuildMediaList(ctx)) return kExitNoHits;

    const SearchMode mode = ctx.settings.search.mode;
    HitFormat format;
    format.json = o.json;
    format.quality_column = o.rate;
    if (mode == SearchMode::Approximate) format.quality = HitQuality::Errors;
    if (mode == SearchMode::Similarity) format.quality = HitQuality::Rate;
    const bool later = mode == SearchMode::Duplicates;
    bool output_ok = true;
    if (!later) {
        ctx.search.on_hit = [&](const Catalog& cat, const HitRecord& hit, const HitDetail& detail) {
            output_ok = write_out(hit_line(cat, hit, detail, format)) && output_ok;
        };
    }
    const bool ran = RunSearch(ctx);
    ctx.search.on_hit = nullptr;
    if (ran && later) output_ok = print_later(ctx, format);
    if (std::fflush(stdout) != 0) output_ok = false;
    if (!ran) return kExitNoHits;
    std::fprintf(stderr, "%s\n", ctx.search.status_text.c_str());
    if (!output_ok) {
        std::fprintf(stderr, "orbisto: find: could not write the hits\n");
        return kExitNoHits;
    }
    return ctx.search.hits.empty() ? kExitNoHits : 0;
}

}  // namespace orbisto::app
