#include "archive/packer_table.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "archive/archive_context.h"
#include "platform/files.h"
#include "settings/environment.h"
#include "settings/ini_file.h"
#include "settings/settings_io.h"

namespace orbisto {

namespace {

// The row order follows the enum Packer.
constexpr std::array<PackerProgram, kPackerCount> kPrograms = {{
    {"UNTGZ32", "tar", nullptr, nullptr},
    {"EXPANDER", "unar", nullptr, nullptr},
    {"EXE2CAB", "cabextract", nullptr, nullptr},
    {"I3COMP", "", nullptr, nullptr},
    {"I5COMP", "unshield", nullptr, nullptr},
    {"I6COMP", "unshield", nullptr, nullptr},
    {"ISCAB", "unshield", nullptr, nullptr},
    {"ARJ", "arj", nullptr, nullptr},
    {"PKZIP", "zip", nullptr, nullptr},
    {"PKUNZIP", "unzip", nullptr, nullptr},
    {"7Z", "7z", nullptr, nullptr},
    {"UNZIP", "unzip", nullptr, nullptr},
    {"LHA", "lha", nullptr, nullptr},
    {"LHA32", "lha", nullptr, nullptr},
    {"ZOO", "zoo", "unar", kExpanderCommand},
    {"UNACE", "unace", "unar", kExpanderCommand},
    {"UNRAR", "unrar", "unar", kExpanderCommand},
    {"RAR", "rar", nullptr, nullptr},
    {"UC", "", nullptr, nullptr},
    {"EXTRACT", "cabextract", nullptr, nullptr},
    {"EXTRAC32", "cabextract", nullptr, nullptr},
}};

// The command line a fallback program replaces, when it has one.
PackerTemplate* template_of(PackerSettings& s, Packer p) {
    switch (p) {
        case Packer::ZOO:
            return &s.zoo;
        case Packer::UNACE:
            return &s.ace;
        case Packer::UNRAR:
            return &s.rar;
        default:
            return nullptr;
    }
}

std::optional<std::string> registered_value(const ArchiveContext& ctx, std::string_view name) {
    if (name.empty() || ctx.paths.settings_file.empty()) return std::nullopt;
    return IniFile::load_or_empty(ctx.paths.settings_file).get(kSectionAppPaths, name);
}

void register_path(ArchiveContext& ctx, std::string_view name, const std::string* path) {
    if (ctx.paths.settings_file.empty()) return;
    write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        if (path) {
            ini.set(kSectionAppPaths, name, *path);
        } else {
            ini.remove_key(kSectionAppPaths, name);
        }
    });
}

// Searches `dir` and below for an executable named `name`, staying on the
// file system of `dev` and never following links.
std::optional<std::string> search_below(ArchiveContext& ctx, const std::string& dir,
                                        std::string_view name, dev_t dev, int depth) {
    if (depth > 64 || ctx.frontend.abort_requested()) return std::nullopt;
    ctx.frontend.pump();
    DIR* d = ::opendir(dir.c_str());
    if (!d) return std::nullopt;
    std::vector<std::string> subdirs;
    std::optional<std::string> found;
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        const std::string path = join_path(dir, e->d_name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (st.st_dev == dev) subdirs.push_back(path);
        } else if (e->d_name == name && is_executable_file(path)) {
            found = path;
            break;
        }
    }
    ::closedir(d);
    for (size_t i = 0; !found && i < subdirs.size(); ++i) {
        found = search_below(ctx, subdirs[i], name, dev, depth + 1);
    }
    return found;
}

}  // namespace

const PackerProgram& packer_program(Packer p) {
    return kPrograms[static_cast<size_t>(p)];
}

bool is_executable_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string search_path_list(std::string_view name, std::string_view path_list) {
    if (name.empty() || name.find('/') != std::string_view::npos) return {};
    while (true) {
        const size_t colon = path_list.find(':');
        const std::string_view dir = path_list.substr(0, colon);
        // An empty element would mean the current directory, which changes
        // with the work directory; it is skipped.
        if (!dir.empty()) {
            std::string candidate = join_path(dir, name);
            if (is_executable_file(candidate)) return candidate;
        }
        if (colon == std::string_view::npos) return {};
        path_list.remove_prefix(colon + 1);
    }
}

int FindPacker(const ArchiveContext& ctx, std::string_view name, std::string* out_path) {
    if (const auto reg = registered_value(ctx, name); reg && is_executable_file(*reg)) {
        if (out_path) *out_path = *reg;
        return 2;
    }
    const char* path_env = std::getenv("PATH");
    std::string found =
        search_path_list(name, path_env ? path_env : "/usr/local/bin:/usr/bin:/bin");
    if (found.empty()) return 0;
    if (out_path) *out_path = std::move(found);
    return 1;
}

int TestPacker(ArchiveContext& ctx, std::string_view name) {
    const std::string n(name);
    if (const auto reg = registered_value(ctx, name)) {
        if (is_executable_file(*reg)) {
            ctx.log.always(
                FillIn(ctx.tr("%s gefunden in %s\r\n", "%s found in %s\r\n"), {n, *reg}));
            return 2;
        }
        register_path(ctx, name, nullptr);
    }
    std::string path;
    if (FindPacker(ctx, name, &path) != 0) {
        ctx.log.always(FillIn(
            ctx.tr("%s gefunden im Suchpfad %s\r\n", "%s found in searchpath %s\r\n"), {n, path}));
        return 1;
    }
    ctx.log.always(FillIn(
        ctx.tr("Packer: %s nicht gefunden\r\n", "compression utility: %s notfound\r\n"), {n}));
    return 0;
}

std::string ResolveCommand(const ArchiveContext& ctx, std::string_view command) {
    const size_t blank = command.find(' ');
    const std::string_view word = command.substr(0, blank);
    if (word.empty() || word.size() > 200) return std::string(command);
    std::string path;
    if (FindPacker(ctx, word, &path) != 2) return std::string(command);
    return path + std::string(command.substr(word.size()));
}

void TestAllPackers(ArchiveContext& ctx) {
    ctx.packers.found.clear();
    if (!ctx.settings.options.test_packers) return;
    std::vector<int> found(kPackerCount, 0);
    bool missing = false;
    for (size_t i = 0; i < kPackerCount; ++i) {
        const PackerProgram& row = kPrograms[i];
        int result = 0;
        if (*row.program) {
            // A program standing in for several packers is tested once.
            size_t j = 0;
            while (j < i && std::strcmp(kPrograms[j].program, row.program) != 0) ++j;
            result = j < i ? found[j] : TestPacker(ctx, row.program);
        }
        if (result == 0 && row.fallback) {
            result = TestPacker(ctx, row.fallback);
            PackerTemplate* t = template_of(ctx.settings.packer, static_cast<Packer>(i));
            if (result != 0 && t && !t->stored) t->command = row.fallback_line;
        }
        if (result == 0 && *row.program) missing = true;
        found[i] = result;
    }
    ctx.packers.found = std::move(found);
    if (missing) {
        const std::string log_name = file_part(ctx.paths.log_file);
        ctx.status(FillIn(ctx.tr("nicht alle Packer vorhanden (siehe %s)",
                                 "not all compression utilities available (see %s)"),
                          {log_name}));
    }
}

bool PackerAvailable(const ArchiveContext& ctx, Packer p) {
    const auto i = static_cast<size_t>(p);
    if (i >= ctx.packers.found.size()) return ctx.packers.found.empty();
    return ctx.packers.found[i] != 0;
}

std::optional<std::string> LocatePacker(ArchiveContext& ctx, std::string_view name,
                                        const std::vector<std::string>& roots) {
    register_path(ctx, name, nullptr);
    std::string found;
    if (!ctx.paths.program_dir.empty()) {
        const std::string own = join_path(ctx.paths.program_dir, name);
        if (is_executable_file(own)) found = own;
    }
    if (found.empty()) FindPacker(ctx, name, &found);
    for (size_t i = 0; found.empty() && i < roots.size(); ++i) {
        struct stat st {};
        if (::lstat(roots[i].c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
        if (auto hit = search_below(ctx, roots[i], name, st.st_dev, 0)) found = *hit;
    }
    if (found.empty()) return std::nullopt;
    register_path(ctx, name, &found);
    return found;
}

std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    auto next = args.begin();
    for (size_t pos; (pos = pattern.find("%s")) != std::string_view::npos;) {
        out.append(pattern.substr(0, pos));
        if (next != args.end()) out.append(*next++);
        pattern.remove_prefix(pos + 2);
    }
    out.append(pattern);
    return out;
}

}  // namespace orbisto
