#include "app/thumbnail_command.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/exit_codes.h"
#include "app/options.h"
#include "catalog/catalog.h"
#include "fileinfo/thumbnail.h"
#include "platform/files.h"
#include "search/search_engine.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

std::string_view without_leading_slashes(std::string_view path) {
    while (!path.empty() && path.front() == '/') path.remove_prefix(1);
    return path;
}

// A file's stored path (`full`, its leading slashes dropped) without its
// top-level directory; empty for a file at the medium's root.
std::string_view below_top_directory(const Catalog& catalog, const FileRecord& file,
                                     std::string_view full) {
    const auto dirs = catalog.dirs();
    std::uint32_t d = file.parent;
    while (d < dirs.size() && dirs[d].parent != 0 && dirs[d].parent < d) d = dirs[d].parent;
    if (d == 0 || d >= dirs.size()) return {};
    const std::string_view top = without_leading_slashes(catalog.dir_name(d));
    if (full.size() <= top.size() + 1 || !full.starts_with(top) || full[top.size()] != '/')
        return {};
    return full.substr(top.size() + 1);
}

int fail(const std::string& text) {
    std::fprintf(stderr, "orbisto thumbnail: %s\n", text.c_str());
    return kExitFailure;
}

}  // namespace

int run_thumbnail(Context& ctx, const std::vector<std::string>& args) {
    std::string output;
    bool force = false;
    const CommandSyntax syntax{
        .command = "thumbnail",
        .options = {{"--output", true,
                     [&](const std::string& v) {
                         output = v;
                         return v.empty() ? std::string(ctx.tr("--output braucht eine Datei",
                                                               "--output needs a file"))
                                          : std::string();
                     },
                     ctx.tr("--output braucht eine Datei", "--output needs a file")},
                    {"--force", false,
                     [&](const std::string&) {
                         force = true;
                         return std::string();
                     }}},
        .max_operands = 2,
        .words = OptionWords::DoubleDashed,
        .english = ctx.english(),
    };
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.size() != 2) {
        return usage_error(syntax, ctx.tr("braucht eine Katalognummer und einen Pfad",
                                          "needs a catalogue number and a path"));
    }
    if (output.empty()) {
        return usage_error(syntax, ctx.tr("--output DATEI fehlt", "--output FILE is needed"));
    }
    const std::string& number = parsed.operands[0];
    int n = -1;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
    if (ec != std::errc() || end != number.data() + number.size() || n < 0) {
        return usage_error(syntax,
                           ctx.tr("keine Katalognummer '", "no catalogue number '") + number + "'");
    }
    const std::string_view wanted = without_leading_slashes(parsed.operands[1]);
    if (wanted.empty()) return usage_error(syntax, ctx.tr("welche Datei?", "which file?"));

    Catalog catalog;
    if (!LoadCatalogForSearch(ctx, n, catalog)) {
        return fail(ctx.tr("Katalog ", "catalogue ") + number +
                    ctx.tr(" ist nicht lesbar", " cannot be read"));
    }
    // The whole stored path first; then the path below the top-level
    // directory (the folder a medium was scanned from). The first record
    // with a thumbnail wins: an archive may list a path twice.
    const auto files = catalog.files();
    bool found = false;
    std::span<const std::uint8_t> stored;
    for (int below_top = 0; below_top < 2 && stored.empty(); ++below_top) {
        for (std::uint32_t f = 0; f < files.size() && stored.empty(); ++f) {
            const std::string path = catalog.file_path(f);
            const std::string_view full = without_leading_slashes(path);
            if ((below_top ? below_top_directory(catalog, files[f], full) : full) != wanted) {
                continue;
            }
            found = true;
            stored = catalog.image_at(files[f].thumbnail);
        }
    }
    const std::string shown(parsed.operands[1]);
    if (!found) {
        return fail(ctx.tr("keine Datei '", "no file '") + shown +
                    ctx.tr("' in Katalog ", "' in catalogue ") + number);
    }
    if (stored.empty()) {
        return fail("'" + shown + ctx.tr("' hat kein Vorschaubild", "' has no thumbnail"));
    }
    std::string error;
    const std::size_t length = thumbnail_stream_length(stored, error);
    if (length == 0) {
        return fail(ctx.tr("das Vorschaubild von '", "the thumbnail of '") + shown +
                    ctx.tr("' ist besch\xC3\xA4"
                           "digt: ",
                           "' is damaged: ") +
                    error);
    }
    if (!force && file_exists(output)) {
        return fail(output +
                    ctx.tr(" ist vorhanden (--force ersetzt es)", " exists (--force replaces it)"));
    }
    const std::string_view bytes(reinterpret_cast<const char*>(stored.data()), length);
    if (!write_file_atomic(output, bytes)) {
        return fail(output + ": " + std::strerror(errno));
    }
    return kExitSuccess;
}

}  // namespace orbisto::app
