#include "app/verify_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/exit_codes.h"
#include "app/manage_commands.h"
#include "app/medium_arg.h"
#include "app/options.h"
#include "app/progress_line.h"
#include "catalog/catalog_check.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "platform/files.h"
#include "scan/medium_verify.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

// "nothing compared" is trouble, as with cmp, not a difference.
constexpr int kExitNotCompared = kExitUsage;

const char* kind_word(VerifyKind kind) {
    switch (kind) {
        case VerifyKind::Missing:
            return "missing";
        case VerifyKind::New:
            return "new";
        case VerifyKind::Size:
            return "size";
        case VerifyKind::Date:
            return "date";
        case VerifyKind::Content:
            return "content";
        case VerifyKind::Unreadable:
            break;
    }
    return "unreadable";
}

// A path as one line: control characters as \xNN, so that a name can
// neither break the line nor drive a terminal.
std::string verify_line_text(std::string_view path) {
    std::string out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

// Why `path` is no folder to read, or empty.
std::string folder_problem(const Context& ctx, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return ctx.tr("kein Ordner", "not a folder");
    return {};
}

// The progress shown on a terminal: entries compared, bytes read for
// checksums, the entry at hand; redrawn at most ten times a second.
class VerifyDisplay {
  public:
    VerifyDisplay(bool on, bool english)
        : english_(english), start_(std::chrono::steady_clock::now()) {
        if (on) line_.emplace(stderr, true, english);
    }

    void show(const VerifyProgress& p) {
        if (!line_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        char head[96];
        std::snprintf(
            head, sizeof head,
            english_ ? "%llu entries, %.1f MB read" : "%llu Eintr\xC3\xA4ge, %.1f MB gelesen",
            static_cast<unsigned long long>(p.entries), static_cast<double>(p.crc_bytes) / 1e6);
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count();
        line_->show(head, verify_line_text(p.path), elapsed);
    }
    void clear() {
        if (line_) line_->finish();
    }

  private:
    bool english_;
    std::optional<ProgressLine> line_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace

int run_verify(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax{.command = "verify",
                               .options = {},
                               .max_operands = 2,
                               .words = OptionWords::DoubleDashed,
                               .english = ctx.english()};
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    if (parsed.operands.empty()) {
        return usage_error(syntax, ctx.tr("welches Medium?", "which medium?"));
    }
    if (!BuildMediaList(ctx)) return kExitNotCompared;
    std::string error;
    const std::optional<int> number = resolve_medium(ctx, parsed.operands[0], error);
    if (!number) {
        command_failure("verify", error);
        return kExitNotCompared;
    }
    const MediumHeader& entry = ctx.media.entries[*ctx.media.position_of(*number)];
    if (entry.medium_flags & MEDIUM_AUDIO_CD) {
        command_failure("verify", ctx.tr("eine Audio-CD hat keine Dateien zum Vergleichen",
                                         "an audio CD has no files to compare"));
        return kExitNotCompared;
    }
    if (!LoadCatalog(ctx, *number)) return kExitNotCompared;
    const std::string given = parsed.operands.size() > 1 ? parsed.operands[1] : std::string();
    const VerifyStart start = verify_start(ctx.catalog, given);
    if (start.path.empty()) {
        return usage_error(syntax, ctx.tr("der Katalog wei\xC3\x9F nicht, wo das Medium liegt: "
                                          "PFAD angeben",
                                          "the catalogue does not know where the medium is: "
                                          "give its PATH"));
    }
    if (const std::string problem = folder_problem(ctx, start.path); !problem.empty()) {
        command_failure("verify", start.path + ": " + problem);
        return kExitNotCompared;
    }

    VerifyDisplay display(::isatty(STDERR_FILENO) != 0, ctx.english());
    bool write_failed = false;
    const VerifyResult result = verify_medium(
        ctx.frontend, ctx.catalog, start.dir, start.path,
        [&](const VerifyFinding& f) {
            display.clear();
            std::string line = std::string(kind_word(f.kind)) + " " + verify_line_text(f.path);
            if (f.kind == VerifyKind::Unreadable && f.error != 0) {
                line += std::string(" (") + std::strerror(f.error) + ")";
            }
            line += '\n';
            if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size())
                write_failed = true;
        },
        [&](const VerifyProgress& p) { display.show(p); });
    display.clear();
    if (std::fflush(stdout) != 0) write_failed = true;
    if (result.aborted) {
        command_failure("verify", ctx.tr("abgebrochen", "stopped"));
        return kExitNotCompared;
    }
    if (write_failed) return kExitNotCompared;
    return result.differences > 0 ? kExitFailure : kExitSuccess;
}

int run_check(Context& ctx, const std::vector<std::string>& args) {
    const CommandSyntax syntax{.command = "check",
                               .options = {},
                               .max_operands = static_cast<std::size_t>(-1),
                               .words = OptionWords::DoubleDashed,
                               .english = ctx.english()};
    const ParsedArgs parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return usage_error(syntax, parsed.error);
    const std::string& dir = ctx.paths.catalog_dir;
    if (const std::string problem = folder_problem(ctx, dir); !problem.empty()) {
        return command_failure("check", dir + ": " + problem);
    }
    const auto files = catalog_file_names(dir);
    std::vector<std::pair<std::uint32_t, std::string>> chosen;
    int status = kExitSuccess;
    for (const std::string& word : parsed.operands) {
        // A number names its file even when the file is too damaged for
        // the media list; a name is looked up there.
        std::uint32_t n = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
        const bool numeric = !word.empty() && ec == std::errc() && end == word.data() + word.size();
        std::optional<std::uint32_t> wanted;
        if (numeric) {
            wanted = n;
        } else {
            if (ctx.media.entries.empty() && !BuildMediaList(ctx)) return kExitFailure;
            std::string error;
            if (const auto found = resolve_medium(ctx, word, error)) {
                wanted = static_cast<std::uint32_t>(*found);
            } else {
                status = command_failure("check", error);
                continue;
            }
        }
        bool listed = false;
        for (const auto& f : files) {
            if (f.first == *wanted) {
                chosen.push_back(f);
                listed = true;
            }
        }
        if (!listed) {
            status =
                command_failure("check", std::string(ctx.tr("kein Katalog ", "no catalogue ")) +
                                             std::to_string(*wanted) + " (" + dir + ")");
        }
    }
    if (parsed.operands.empty()) chosen = files;

    std::string out;
    for (const auto& [number, name] : chosen) {
        const std::string reason = catalog_file_damage(ctx, join_path(dir, name), number);
        if (reason.empty()) continue;
        out += verify_line_text(name) + ": " + reason + "\n";
        status = kExitFailure;
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        return kExitFailure;
    }
    return status;
}

}  // namespace orbisto::app
