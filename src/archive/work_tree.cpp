#include "archive/work_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "archive/archive_context.h"

namespace orbisto {

namespace {

constexpr int kAttempts = 3;

std::string real_path(const std::string& path) {
    if (path.empty()) return {};
    char buf[PATH_MAX];
    if (!::realpath(path.c_str(), buf)) return {};
    return buf;
}

// True when `path` is `base` or lies below it.
bool is_within(const std::string& path, const std::string& base, bool allow_equal) {
    if (base.empty() || path.size() < base.size()) return false;
    if (path.compare(0, base.size(), base) != 0) return false;
    if (path.size() == base.size()) return allow_equal;
    return base == "/" || path[base.size()] == '/';
}

bool gone(int dirfd, const char* name) {
    struct stat st {};
    return ::fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
}

// Tries one removal up to kAttempts times; stops early when the entry is gone.
template <typename F>
bool with_retries(int dirfd, const char* name, F&& attempt) {
    for (int i = 0; i < kAttempts; ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::seconds(1));
        attempt();
        if (gone(dirfd, name)) return true;
    }
    return false;
}

bool empty_directory_fd(int fd);

// Removes the entry `name` of the directory `dirfd`; a directory is opened
// without following links, made writable, emptied and removed.
bool remove_entry(int dirfd, const char* name) {
    struct stat st {};
    if (::fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) {
        return with_retries(dirfd, name, [&] { ::unlinkat(dirfd, name, 0); });
    }
    bool emptied = true;
    const int sub = ::openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub >= 0) {
        ::fchmod(sub, (st.st_mode & 07777) | S_IRWXU);
        emptied = empty_directory_fd(sub);
        ::close(sub);
    } else {
        ::fchmodat(dirfd, name, (st.st_mode & 07777) | S_IRWXU, 0);
    }
    return with_retries(dirfd, name, [&] { ::unlinkat(dirfd, name, AT_REMOVEDIR); }) && emptied;
}

// Removes every entry of the open directory `fd` (which stays open).
bool empty_directory_fd(int fd) {
    const int own = ::dup(fd);
    if (own < 0) return false;
    DIR* d = ::fdopendir(own);
    if (!d) {
        ::close(own);
        return false;
    }
    std::vector<std::string> names;
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
            names.emplace_back(e->d_name);
        }
    }
    ::closedir(d);
    bool ok = true;
    for (const auto& n : names) ok = remove_entry(fd, n.c_str()) && ok;
    return ok;
}

}  // namespace

bool IsDeletableWorkPath(const ArchiveContext& ctx, const std::string& dir) {
    struct stat st {};
    if (dir.empty() || ::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    const std::string real = real_path(dir);
    if (real.empty()) return false;
    const std::string work = real_path(ctx.paths.temp_dir);
    const std::string copy = real_path(ctx.settings.options.copy_path);
    return is_within(real, work, true) || is_within(real, copy, false);
}

bool DeleteTree(ArchiveContext& ctx, const std::string& dir) {
    if (ctx.settings.options.keep_expanded_files) return true;
    ctx.log.line("\r\ndel file/dir:" + dir + "\r\n");
    bool ok = false;
    if (IsDeletableWorkPath(ctx, dir)) {
        const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            ok = empty_directory_fd(fd);
            ::close(fd);
        }
    }
    if (!ok) ctx.packers.delete_failed = true;
    return ok;
}

bool RemoveWorkDirectory(ArchiveContext& ctx, const std::string& dir) {
    if (ctx.settings.options.keep_expanded_files) return true;
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 && errno == ENOENT) return true;
    bool ok = IsDeletableWorkPath(ctx, dir) && real_path(dir) != real_path(ctx.paths.temp_dir);
    if (ok) {
        ok = with_retries(AT_FDCWD, dir.c_str(), [&] { ::rmdir(dir.c_str()); });
    }
    if (!ok) ctx.packers.delete_failed = true;
    return ok;
}

}  // namespace orbisto
