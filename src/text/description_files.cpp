// Description files: the file's own text as its comment, a description file
// inside a subdirectory as the directory's comment, and the search through
// an extracted tree. All reads are bounded by the limit for the name and the
// CommentPool's room.
#include "text/description_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "catalog/catalog_context.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "text/description_text.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

struct Listed {
    std::string name;
    bool dir = false;
};

// The regular files and directories of `path` in listing order; links and
// other entries are left out, and `path` itself must not be a link.
std::vector<Listed> list_entries(const std::string& path) {
    std::vector<Listed> out;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return out;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return out;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        unsigned type = e->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR || type == DT_REG) out.push_back({std::string(name), type == DT_DIR});
    }
    ::closedir(d);
    return out;
}

// The file of the listing called `name`: its exact spelling, else the first
// spelling that differs only in case.
const Listed* find_named(const std::vector<Listed>& files, std::string_view name) {
    const Listed* other = nullptr;
    for (const Listed& f : files) {
        if (f.dir) continue;
        if (f.name == name) return &f;
        if (!other && EqualsCI(f.name, name)) other = &f;
    }
    return other;
}

// Reads a description file and turns it into comment text: limited by its
// name, converted by its name, cleaned with `set`. Nothing when the file
// cannot be opened; an empty text when it reads nothing or is no text.
std::optional<std::string> read_description(CatalogContext& ctx, const std::string& path,
                                            std::string_view name, CleanUp set) {
    std::optional<std::string> text = read_file_prefix(path, description_limit(ctx, name));
    if (!text) return text;
    if (text->empty() || !LooksLikeText(*text)) {
        text->clear();
        return text;
    }
    convert_by_name(ctx, name, *text);
    ApplyCleanUp(*text, set);
    return text;
}

}  // namespace

std::optional<std::string> read_file_prefix(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string out;
    const auto expected = static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0);
    out.resize(expected < limit ? expected : limit);
    std::size_t got = 0;
    // A file that grew since fstat is read up to the limit all the same.
    while (got < limit) {
        if (got == out.size()) out.resize(got + std::min<std::size_t>(limit - got, 65536));
        const ssize_t r = ::read(fd, out.data() + got, out.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    out.resize(got);
    return out;
}

bool is_description_name(const Options& o, std::string_view name, bool etx_anywhere) {
    for (std::size_t n = 0; n < o.own_descriptions.size(); ++n) {
        // An empty pattern would make every file a description file.
        if (o.own_descriptions[n] && !o.own_description_names[n].empty() &&
            ContainsCI(name, o.own_description_names[n])) {
            return true;
        }
    }
    if (o.use_etx && (etx_anywhere ? ContainsCI(name, ".ETX") : EndsWithCI(name, ".ETX"))) {
        return true;
    }
    return o.use_file_id_diz && (EqualsCI(name, "FILE_ID.DIZ") || EqualsCI(name, "TOP_ID.DIZ"));
}

bool IsDescriptionFile(const CatalogContext& ctx, std::string_view name) {
    return is_description_name(ctx.settings.options, name, false);
}

bool ReadDescriptionFileInto(CatalogContext& ctx, std::uint32_t& comment, const std::string& path) {
    const std::string name = file_part(path);
    const std::optional<std::string> text =
        read_description(ctx, path, name, CleanUp::WithoutBlank);
    if (!text) return false;
    set_description_comment(ctx, *text, comment);
    return true;
}

void ReadDirectoryDescription(CatalogContext& ctx, std::uint32_t& comment, const std::string& dir) {
    const Options& o = ctx.settings.options;
    const std::vector<Listed> files = list_entries(dir);
    if (files.empty()) return;

    // The candidates in their order; the first that opens is read.
    std::vector<const Listed*> candidates;
    if (o.use_file_id_diz) {
        candidates.push_back(find_named(files, "FILE_ID.DIZ"));
        candidates.push_back(find_named(files, "TOP_ID.DIZ"));
    }
    const auto first_file = [&](auto matches) -> const Listed* {
        for (const Listed& f : files) {
            if (!f.dir && matches(f.name)) return &f;
        }
        return nullptr;
    };
    if (o.use_etx) {
        candidates.push_back(first_file([](std::string_view n) { return EndsWithCI(n, ".ETX"); }));
    }
    for (std::size_t n = 0; n < o.own_descriptions.size(); ++n) {
        const std::string& part = o.own_description_names[n];
        if (!o.own_descriptions[n] || part.empty()) continue;
        candidates.push_back(first_file([&](std::string_view f) { return ContainsCI(f, part); }));
    }

    for (const Listed* f : candidates) {
        if (!f) continue;
        const std::optional<std::string> text =
            read_description(ctx, join_path(dir, f->name), f->name, CleanUp::Full);
        if (!text) continue;
        set_description_comment(ctx, *text, comment);
        return;
    }
}

std::string ConvertTakenOverComment(const CatalogContext& ctx, std::string_view text) {
    std::string out(text);
    if (!ctx.settings.options.convert_dos_text || is_ascii(out)) return out;
    // Texts in memory are UTF-8; a comment that came from a Windows-1252
    // catalogue holds the DOS umlauts as the Windows-1252 characters of
    // their bytes. Back to those bytes, converted, and up to UTF-8 again.
    const std::optional<std::string> bytes =
        is_valid_utf8(out) ? utf8_to_cp1252(out) : std::optional<std::string>(out);
    if (!bytes) return out;  // characters beyond Windows-1252: a true UTF-8 text
    std::string converted = *bytes;
    OemToAnsiIfNeeded(converted, true);
    if (converted == *bytes) return is_valid_utf8(out) ? out : cp1252_to_utf8(out);
    return cp1252_to_utf8(converted);
}

bool FindDescriptionInTree(CatalogContext& ctx, const std::string& tree_path,
                           std::uint32_t& comment) {
    const Options& o = ctx.settings.options;
    struct Frame {
        std::string path;
        std::vector<Listed> entries;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    stack.push_back({tree_path, list_entries(tree_path), 0});
    std::string found;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= f.entries.size()) {
            stack.pop_back();
            continue;
        }
        const Listed& e = f.entries[f.next++];
        std::string path = join_path(f.path, e.name);
        if (e.dir) {
            if (stack.size() <= kTreeDepth) {
                std::vector<Listed> inner = list_entries(path);
                stack.push_back({std::move(path), std::move(inner), 0});
            }
            continue;
        }
        if (!is_description_name(o, e.name, true)) continue;
        std::optional<std::string> text = read_description(ctx, path, e.name, CleanUp::Full);
        if (!text) continue;
        if (!text->empty()) found = std::move(*text);
        f.next = f.entries.size();  // the first that opens ends this directory
    }
    return !found.empty() && set_description_comment(ctx, found, comment);
}

}  // namespace orbisto
