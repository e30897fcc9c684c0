#include "settings/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/files.h"

namespace orbisto {
namespace {

std::string with_slash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
}

std::string without_slash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string env_or(const EnvLookup& env, const char* name, const std::string& fallback) {
    const char* v = env(name);
    return (v && *v) ? std::string(v) : fallback;
}

// The file name in dir, as found on disk when a case variant exists, else as
// spelt here.
std::string own_file(const std::string& dir, const std::string& name) {
    if (auto found = find_case_insensitive(dir, name)) return *found;
    return dir + name;
}

}  // namespace

std::string executable_path(const char* argv0) {
    std::vector<char> buf(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n > 0) return std::string(buf.data(), static_cast<size_t>(n));
    return argv0 ? std::string(argv0) : std::string("orbisto");
}

Paths derive_paths(const std::string& executable, const EnvLookup& env) {
    Paths p;
    std::string base = file_part(executable);
    if (const auto dot = base.rfind('.'); dot != std::string::npos && dot > 0) base.resize(dot);
    if (base.empty()) base = "orbisto";
    p.base_name = base;

    const std::string settings_name = base + ".INI";
    const std::string home = env_or(env, "HOME", "/tmp");
    if (const char* oh = env("ORBISTO_HOME"); oh && *oh) {
        p.program_dir = with_slash(oh);
        p.portable = true;
    } else if (find_case_insensitive(dir_part(executable), settings_name)) {
        p.program_dir = with_slash(dir_part(executable));
        p.portable = true;
    } else {
        p.program_dir = with_slash(env_or(env, "XDG_CONFIG_HOME", home + "/.config")) + "orbisto/";
    }

    p.settings_file = own_file(p.program_dir, settings_name);
    p.log_file = own_file(p.program_dir, base + ".LOG");
    p.playlist_file = own_file(p.program_dir, base + ".M3U");
    p.help_file = own_file(p.program_dir, base + ".CHM");
    p.kill_file = own_file(p.program_dir, "KILLFILE.LST");
    p.logo_file = own_file(p.program_dir, "LOGO.PNG");

    if (p.portable) {
        p.default_catalog_dir = p.program_dir + "cds";
    } else {
        p.default_catalog_dir =
            with_slash(env_or(env, "XDG_DATA_HOME", home + "/.local/share")) + "orbisto/cds";
    }
    p.catalog_dir = p.default_catalog_dir;
    return p;
}

void ensure_catalog_dir(const Paths& paths, bool from_command_line) {
    if (from_command_line) {
        make_directory(paths.catalog_dir);
        return;
    }
    // The default location may lie below directories that do not exist yet.
    make_directories(paths.catalog_dir);
}

bool make_temp_dir(Paths& paths, const EnvLookup& env, const std::string& keep_dir) {
    if (!keep_dir.empty()) {
        paths.temp_dir = without_slash(keep_dir);
        paths.temp_is_private = false;
        make_directory(paths.temp_dir);
        return is_directory(paths.temp_dir);
    }
    const std::string base = env_or(env, "TMPDIR", "/tmp");
    remove_dead_work_dirs(base);
    std::string templ = work_dir_template(base);
    auto lock = std::make_shared<FileLock>();
    if (!::mkdtemp(templ.data())) {
        paths.temp_dir.clear();
        return false;
    }
    if (!lock->lock_path(templ)) {
        ::rmdir(templ.c_str());
        paths.temp_dir.clear();
        return false;
    }
    paths.temp_dir = templ;
    paths.temp_is_private = true;
    paths.temp_lock = std::move(lock);
    return true;
}

void remove_temp_dir(Paths& paths) {
    if (paths.temp_is_private && !paths.temp_dir.empty()) remove_tree(paths.temp_dir);
    paths.temp_is_private = false;
    paths.temp_lock.reset();
}

}  // namespace orbisto
