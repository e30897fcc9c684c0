#include "app/import_command.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "catalog/media_list.h"
#include "catalog/records.h"
#include "scan/content_import.h"
#include "scan/scan_context.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int usage(const std::string& text) {
    std::fprintf(stderr, "orbisto: import-list: %s\nTry 'orbisto --help'.\n", text.c_str());
    return kExitUsage;
}

std::optional<ContentFormat> parse_format(std::string_view s) {
    if (s == "files-bbs") return ContentFormat::FilesBbs;
    if (s == "index") return ContentFormat::Index;
    return std::nullopt;
}

}  // namespace

int run_import_list(Context& ctx, const std::vector<std::string>& args) {
    std::string file;
    std::optional<ContentFormat> format;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        std::string_view value;
        if (a == "--format") {
            if (i + 1 >= args.size()) return usage("--format needs files-bbs or index");
            value = args[++i];
        } else if (a.starts_with("--format=")) {
            value = a.substr(9);
        } else if (file.empty() && !a.empty() && !a.starts_with("--")) {
            file = a;
            continue;
        } else {
            return usage("unexpected argument '" + std::string(a) + "'");
        }
        format = parse_format(value);
        if (!format) return usage("unknown format '" + std::string(value) + "'");
    }
    if (file.empty()) return usage("which file?");
    if (!format) return usage("--format files-bbs or --format index is needed");

    if (!BuildMediaList(ctx)) return kExitFailure;
    const int n = ImportContentFile(ctx, file, *format);
    if (n < 0) return kExitFailure;
    const std::string name(fixed_text(ctx.catalog.header.medium_name));
    std::printf("stored medium %s as catalogue %d (%u files)\n", name.c_str(), n,
                ctx.catalog.file_count());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

}  // namespace orbisto::app
