// The kill-file list (names that switch archive expansion off for their
// directory) and the list of other settings files in the program directory.
//
// Declared in settings/settings_io.h
// (one header for every group of the settings file, one file per group).
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "platform/codepage.h"
#include "platform/files.h"
#include "settings/environment.h"
#include "settings/settings_io.h"

namespace orbisto {
namespace {

size_t utf8_chars(std::string_view s) {
    return static_cast<size_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool ends_with_ini(std::string_view name) {
    return name.size() > 4 && ::strncasecmp(name.data() + name.size() - 4, ".ini", 4) == 0;
}

}  // namespace

void read_kill_files(Environment& ctx) {
    std::vector<std::string>& list = ctx.settings.kill_files;
    list.clear();
    const auto data = read_file(ctx.paths.kill_file);
    if (!data) return;
    std::string_view rest = *data;
    while (!rest.empty() && list.size() < kMaxKillFiles) {
        const size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view{} : rest.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        // Each line on its own: lines added later may differ in encoding.
        std::string name = text_to_utf8(line);
        // No file name is that long; a cut one would match the wrong file.
        if (utf8_chars(name) > kMaxKillFileName) continue;
        list.push_back(std::move(name));
    }
}

bool append_kill_file(Environment& ctx, const std::string& name) {
    const std::string text = text_to_utf8(name);
    if (text.empty() || text.front() == '#' || text.find_first_of("\r\n") != std::string::npos ||
        utf8_chars(text) > kMaxKillFileName) {
        return false;
    }
    const std::string& path = ctx.paths.kill_file;
    std::string content;
    if (auto old = read_file(path)) {
        content = std::move(*old);
    } else if (errno != ENOENT) {
        return false;  // never replace a list we could not read
    }
    if (!content.empty() && content.back() != '\n') content += "\r\n";
    // Windows-1252 like the rest of a list shared with Windows peers, unless
    // the list is already UTF-8 or the name does not fit.
    const bool list_is_utf8 = !is_ascii(content) && is_valid_utf8(content);
    const auto cp = list_is_utf8 ? std::nullopt : utf8_to_cp1252(text);
    content += cp ? *cp : text;
    content += "\r\n";
    if (!file_replaceable(path) || !write_file_atomic(path, content)) return false;
    if (ctx.settings.kill_files.size() < kMaxKillFiles) ctx.settings.kill_files.push_back(text);
    return true;
}

void list_settings_files(Environment& ctx) {
    std::vector<std::string>& out = ctx.settings.settings_files;
    out.clear();
    const std::string& dir = ctx.paths.program_dir;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return;
    const std::string own = file_part(ctx.paths.settings_file);
    std::vector<std::string> names;
    while (dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (name.front() == '.' || !ends_with_ini(name)) continue;
        if (::strcasecmp(e->d_name, own.c_str()) == 0) continue;
        struct stat st {};
        if (::stat(join_path(dir, name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        names.emplace_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int c = ::strcasecmp(a.c_str(), b.c_str());
        return c != 0 ? c < 0 : a < b;
    });
    if (names.size() > kMaxSettingsFiles) names.resize(kMaxSettingsFiles);
    for (const auto& n : names) out.push_back(join_path(dir, n));
}

}  // namespace orbisto
