#include "app/info_command.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/exit_codes.h"
#include "app/options.h"
#include "fileinfo/file_info.h"
#include "output/rows.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

// The text as indented lines; CR LF and lone CRs end lines as LF does.
std::string indented(std::string_view text) {
    std::string out = "  ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\n  ";
        } else {
            out += c;
        }
    }
    out += '\n';
    return out;
}

std::string info_json(const std::string& path, bool found, const FileInfoResult& r) {
    return json_line({
        RowField::of_text("path", path),
        RowField::of_integer("found", found ? 1 : 0),
        found ? RowField::of_text("text", r.info_text) : RowField::null("text"),
        RowField::of_integer("width", r.width),
        RowField::of_integer("height", r.height),
        RowField::of_integer("depth", r.depth),
        RowField::of_integer("channels", r.channels),
        RowField::of_integer("sample_rate", r.sample_rate),
        RowField::of_integer("bits_per_sample", r.bits_per_sample),
        RowField::of_text("media_type", r.media_type),
        RowField::of_integer("frames", r.frames),
        RowField::of_integer("length_tenths", r.length_tenths),
        RowField::of_integer("video_width", r.video_width),
        RowField::of_integer("video_height", r.video_height),
        RowField::of_integer("video_depth", r.video_depth),
        RowField::of_text("codec", r.codec),
        RowField::of_integer("mp3_bitrate_kbps", r.mp3_bitrate_kbps),
        RowField::of_integer("mp3_length_s", r.mp3_length_s),
        RowField::of_integer("version", r.version_found ? 1 : 0),
        RowField::of_integer("thumbnail_bytes", static_cast<std::int64_t>(r.thumbnail.size())),
    });
}

}  // namespace

int run_info(Context& ctx, const std::vector<std::string>& args) {
    bool json = false;
    const CommandSyntax syntax{
        .command = "info",
        .options = {{"--json", false,
                     [&](const std::string&) {
                         json = true;
                         return std::string();
                     }}},
        .max_operands = static_cast<std::size_t>(-1),
        .words = OptionWords::Dashed,
        .english = ctx.english(),
    };
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.empty())
        return usage_error(syntax, ctx.tr("welche Dateien?", "which files?"));

    // The command is asked for the information, so the master switch is on
    // for its run; the group switches say which readers may run.
    Options& options = ctx.settings.options;
    const bool was_on = options.file_information;
    options.file_information = true;
    int status = kExitSuccess;
    for (const std::string& path : parsed.operands) {
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) {
            std::fprintf(stderr, "orbisto info: %s: %s\n", path.c_str(), std::strerror(errno));
            status = kExitFailure;
            continue;
        }
        FileInfoResult result;
        const bool found = S_ISREG(st.st_mode) &&
                           CollectFileInfo(ctx, ctx.scan.file_info, path,
                                           static_cast<std::uint64_t>(st.st_size), result) != 0;
        if (!found) status = kExitFailure;
        const std::string out =
            json ? info_json(path, found, result)
                 : path + "\n" +
                       (found ? indented(result.info_text)
                              : "  " +
                                    std::string(ctx.tr("(keine Information)", "(no information)")) +
                                    "\n");
        if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) {
            status = kExitFailure;
            break;
        }
    }
    options.file_information = was_on;
    if (std::fflush(stdout) != 0) return kExitFailure;
    return status;
}

}  // namespace orbisto::app
