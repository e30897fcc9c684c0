#include "app/import_command.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "app/exit_codes.h"
#include "app/options.h"
#include "catalog/media_list.h"
#include "catalog/records.h"
#include "scan/content_import.h"
#include "scan/scan_context.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

std::optional<ContentFormat> parse_format(std::string_view s) {
    if (s == "files-bbs") return ContentFormat::FilesBbs;
    if (s == "index") return ContentFormat::Index;
    return std::nullopt;
}

}  // namespace

int run_import_list(Context& ctx, const std::vector<std::string>& args) {
    std::optional<ContentFormat> format;
    const CommandSyntax syntax{
        .command = "import-list",
        .options = {{"--format", true,
                     [&](const std::string& v) {
                         format = parse_format(v);
                         return format
                                    ? std::string()
                                    : ctx.tr("unbekanntes Format '", "unknown format '") + v + "'";
                     },
                     ctx.tr("--format braucht files-bbs oder index",
                            "--format needs files-bbs or index")}},
        .max_operands = 1,
        .words = OptionWords::DoubleDashed,
        .unknown = ctx.tr("unerwartetes Argument '{}'", "unexpected argument '{}'"),
        .english = ctx.english(),
    };
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.empty()) return usage_error(syntax, ctx.tr("welche Datei?", "which file?"));
    if (!format) {
        return usage_error(syntax, ctx.tr("--format files-bbs oder --format index fehlt",
                                          "--format files-bbs or --format index is needed"));
    }
    const std::string& file = parsed.operands.front();

    if (!BuildMediaList(ctx)) return kExitFailure;
    const int n = ImportContentFile(ctx, file, *format);
    if (n < 0) return kExitFailure;
    const std::string name(fixed_text(ctx.catalog.header.medium_name));
    std::printf(ctx.tr("Medium %s als Katalog %d gespeichert (%u Dateien)\n",
                       "stored medium %s as catalogue %d (%u files)\n"),
                name.c_str(), n, ctx.catalog.file_count());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

}  // namespace orbisto::app
