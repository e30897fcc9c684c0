#include "app/desktop_integration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "app/desktop_entries.h"
#include "platform/files.h"
#include "settings/environment.h"

namespace orbisto::app {
namespace {

// A file larger than this at one of our paths is not one we wrote.
constexpr off_t kLargestOwnFile = 1 << 20;

bool setting_on(const Options& o, ShellSetting s) {
    switch (s) {
        case ShellSetting::AppPath:
            return o.shell_app_path;
        case ShellSetting::FolderVerb:
            return o.shell_folder_verb;
        case ShellSetting::SearchVerb:
            return o.shell_search_verb;
        case ShellSetting::DriveVerbs:
            return o.shell_drive_verbs;
    }
    return false;
}

std::optional<std::string> real_path(const std::string& path) {
    char buf[PATH_MAX];
    if (!::realpath(path.c_str(), buf)) return std::nullopt;
    return std::string(buf);
}

bool within(const std::string& real, const std::string& root) {
    return real == root || (real.starts_with(root) && real.size() > root.size() &&
                            (root.back() == '/' || real[root.size()] == '/'));
}

std::string with_reason(const std::string& path, const std::string& reason) {
    return path + ": " + reason;
}

// Files are placed below the data directory only.
class Placer {
  public:
    Placer(const Environment& env, DesktopIntegrationResult& result)
        : env_(env), result_(result), dir_(result.data_dir) {}

    // Writes the files of a setting that is on.
    void write(const std::vector<DesktopFile>& files) {
        for (const DesktopFile& f : files) write_one(f);
    }

    // Removes the files of a setting that is off.
    void remove(const std::vector<std::string>& relative_paths) {
        for (const std::string& rel : relative_paths) remove_one(rel);
    }

  private:
    // The directory of a relative path, each level checked to resolve within
    // the data directory and, with create, made where missing. nullopt when
    // it is missing (and not to be made) or leads elsewhere; the latter is
    // reported when create is set.
    std::optional<std::string> directory_of(const std::string& rel, bool create) {
        if (!root_) {
            if (!is_directory(dir_) && !(create && make_directories(dir_))) {
                if (create) fail(dir_, std::strerror(errno));
                return std::nullopt;
            }
            root_ = real_path(dir_);
            if (!root_) {
                if (create) fail(dir_, std::strerror(errno));
                return std::nullopt;
            }
        }
        std::string path = dir_;
        size_t from = 0;
        for (size_t slash; (slash = rel.find('/', from)) != std::string::npos; from = slash + 1) {
            path = join_path(path, rel.substr(from, slash - from));
            struct stat st {};
            if (::lstat(path.c_str(), &st) != 0) {
                if (!create) return std::nullopt;
                if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
                    fail(path, std::strerror(errno));
                    return std::nullopt;
                }
            }
            const auto real = real_path(path);
            if (!real || !within(*real, *root_) || !is_directory(*real)) {
                if (create) {
                    fail(path, env_.tr("führt aus dem Datenverzeichnis hinaus oder ist kein Ordner",
                                       "leads out of the data directory or is no folder"));
                }
                return std::nullopt;
            }
        }
        return path;
    }

    // The file at path is one we wrote; its content in *content.
    static bool ours(const std::string& path, const struct stat& st, std::string* content) {
        if (!S_ISREG(st.st_mode) || st.st_size > kLargestOwnFile) return false;
        auto data = read_file(path);
        if (!data || data->find(kGeneratedMark) == std::string::npos) return false;
        if (content) *content = std::move(*data);
        return true;
    }

    void write_one(const DesktopFile& f) {
        const auto dir = directory_of(f.relative_path, true);
        if (!dir) return;
        const std::string path = join_path(*dir, file_part(f.relative_path));
        struct stat st {};
        std::string old;
        if (::lstat(path.c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode)) {
                keep(path, env_.tr("symbolischer Link, nicht hindurch geschrieben",
                                   "a symbolic link, not written through"));
                return;
            }
            if (!ours(path, st, &old)) {
                keep(path, env_.tr("nicht von Orbisto geschrieben", "not written by Orbisto"));
                return;
            }
        }
        if (old != f.content) {
            if (!write_file_atomic(path, f.content)) {
                fail(path, std::strerror(errno));
                return;
            }
            result_.written.push_back(path);
            if (::lstat(path.c_str(), &st) != 0) return;
        }
        if (f.executable && (st.st_mode & 0111) != 0111) {
            if (::chmod(path.c_str(), (st.st_mode & 07777) | 0111) != 0) {
                fail(path, std::strerror(errno));
            }
        }
    }

    void remove_one(const std::string& rel) {
        const auto dir = directory_of(rel, false);
        if (!dir) return;
        const std::string path = join_path(*dir, file_part(rel));
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return;
        if (!ours(path, st, nullptr)) {
            keep(path, env_.tr("nicht von Orbisto geschrieben", "not written by Orbisto"));
            return;
        }
        if (::unlink(path.c_str()) != 0) {
            fail(path, std::strerror(errno));
            return;
        }
        result_.removed.push_back(path);
    }

    void fail(const std::string& path, const std::string& reason) {
        result_.failures.push_back(with_reason(path, reason));
    }
    void keep(const std::string& path, const std::string& reason) {
        result_.kept.push_back(with_reason(path, reason));
    }

    const Environment& env_;
    DesktopIntegrationResult& result_;
    const std::string dir_;
    std::optional<std::string> root_;  // the data directory resolved, once it exists
};

}  // namespace

std::string user_data_dir(const EnvLookup& env_lookup) {
    if (const char* xdg = env_lookup("XDG_DATA_HOME"); xdg && xdg[0] == '/') return xdg;
    if (const char* home = env_lookup("HOME"); home && home[0] == '/') {
        return join_path(home, ".local/share");
    }
    return {};
}

DesktopIntegrationResult refresh_desktop_integration(const Environment& env,
                                                     const std::string& executable,
                                                     const EnvLookup& env_lookup) {
    DesktopIntegrationResult result;
    try {
        result.data_dir = user_data_dir(env_lookup);
        if (const char* xdg = env_lookup("XDG_DATA_HOME"); xdg && *xdg && xdg[0] != '/') {
            result.ignored_data_home = xdg;
        }
        if (result.data_dir.empty()) {
            result.failures.push_back(env.tr(
                "kein Datenverzeichnis: weder XDG_DATA_HOME noch HOME ist ein absoluter Pfad",
                "no data directory: neither XDG_DATA_HOME nor HOME is an absolute path"));
            return result;
        }
        const std::string unusable = unusable_program_path(executable);
        Placer placer(env, result);
        for (const ShellSetting s : kShellSettings) {
            if (!setting_on(env.settings.options, s)) {
                placer.remove(desktop_file_paths(s));
            } else if (!unusable.empty()) {
                const std::string failure = with_reason(executable, unusable);
                if (result.failures.empty() || result.failures.back() != failure) {
                    result.failures.push_back(failure);
                }
            } else {
                placer.write(desktop_files_for(s, executable));
            }
        }
    } catch (const std::exception& e) {
        result.failures.push_back(e.what());
    }
    return result;
}

}  // namespace orbisto::app
