#include "app/media_commands.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "catalog/catalog_context.h"
#include "catalog/category_edit.h"
#include "catalog/media_list.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A field of a tab-separated line: tabs and line breaks become blanks, so
// every line keeps its columns whatever a name holds.
std::string field(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

int usage(const char* text) {
    std::fprintf(stderr, "orbisto: %s\nTry 'orbisto --help'.\n", text);
    return kExitUsage;
}

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

std::string media_lines(const Context& ctx, int category) {
    std::string out;
    for (const MediumHeader& m : ctx.media.entries) {
        if (category >= 0 && !IsMemberOfCategory(ctx, m, category)) continue;
        const int cat = m.category <= static_cast<std::uint32_t>(ctx.categories.count())
                            ? static_cast<int>(m.category)
                            : -1;
        char numbers[160];
        std::snprintf(numbers, sizeof numbers, "%08X\t%u\t%u\t%.0f", m.volume_serial,
                      m.dir_count > 0 ? m.dir_count - 1 : 0u, m.file_count,
                      static_cast<double>(m.total_kb));
        out += std::to_string(m.catalog_number);
        out += '\t';
        out += field(fixed_text(m.medium_name));
        out += '\t';
        out += field(fixed_text(m.volume_label));
        out += '\t';
        out += numbers;
        out += '\t';
        out += ctx.categories.is_user_category(cat) ? field(ctx.categories.name(cat)) : "";
        out += (m.medium_flags & MEDIUM_LENT) ? "\t1\n" : "\t0\n";
    }
    return out;
}

std::string category_lines(const Context& ctx) {
    std::string out;
    for (int i = 0; i <= ctx.categories.count(); ++i) {
        out += std::to_string(i) + '\t' + std::to_string(ctx.categories.parent(i)) + '\t' +
               field(ctx.categories.name(i)) + '\n';
    }
    return out;
}

int run_media(Context& ctx, const std::vector<std::string>& args) {
    int category = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        std::string_view value;
        if (a == "--category") {
            if (i + 1 >= args.size()) return usage("media: --category needs a number");
            value = args[++i];
        } else if (a.starts_with("--category=")) {
            value = a.substr(11);
        } else {
            return usage(("media: unexpected argument '" + std::string(a) + "'").c_str());
        }
        if (!parse_int(value, category) || !ctx.categories.valid(category)) {
            return usage(("media: no category '" + std::string(value) + "'").c_str());
        }
    }
    if (!BuildMediaList(ctx)) return kExitFailure;
    return print(media_lines(ctx, category));
}

int run_categories(Context& ctx, const std::vector<std::string>& args) {
    if (!args.empty()) return usage("categories: takes no arguments");
    return print(category_lines(ctx));
}

}  // namespace orbisto::app
