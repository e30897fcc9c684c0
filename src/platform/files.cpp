#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/leftovers.h"

namespace orbisto {

std::optional<std::string> read_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        data.reserve(static_cast<size_t>(st.st_size));
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            errno = e;
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

std::string replace_target(const std::string& path) {
    std::string target = path;
    // The kernel's own limit on links followed in one lookup.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4095) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) break;
        link.resize(static_cast<size_t>(n));
        target = link.front() == '/' ? link : dir_part(target) + link;
    }
    return target;
}

bool file_replaceable(const std::string& path) {
    const std::string target = replace_target(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
        if (::access(target.c_str(), W_OK) != 0) return false;
    } else if (errno != ENOENT) {
        return false;
    }
    const std::string dir = dir_part(target);
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0) {
        return false;
    }
    return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

bool write_file_atomic(const std::string& path, std::string_view data) {
    const std::string target = replace_target(path);
    if (!file_replaceable(target)) {
        // A missing directory stays a missing directory for the caller.
        errno = is_directory(dir_part(target)) ? EACCES : ENOENT;
        return false;
    }
    // The name carries our process id and the file stays locked while we
    // write it, so a run after a crash can tell it is a leftover.
    std::string tmp = temp_file_template(target);
    FileLock lock;
    if (!lock.adopt(::mkstemp(tmp.data()))) return false;
    const int fd = lock.fd();
    auto fail = [&tmp](int e) {
        ::unlink(tmp.c_str());
        errno = e;
        return false;
    };
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    // Keep the permissions of the file being replaced; new files get 0644.
    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
    if (::fsync(fd) != 0) return fail(errno);
    if (::rename(tmp.c_str(), target.c_str()) != 0) return fail(errno);
    // The lock goes with the descriptor, after the rename.
    return true;
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool is_directory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string dir_part(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string file_part(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string join_path(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (!out.empty() && out.back() != '/') out.push_back('/');
    while (!name.empty() && name.front() == '/') name.remove_prefix(1);
    out.append(name);
    return out;
}

std::optional<std::string> find_case_insensitive(const std::string& dir, std::string_view name) {
    const std::string exact = join_path(dir, name);
    if (file_exists(exact)) return exact;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> found;
    const std::string wanted(name);
    while (dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, wanted.c_str()) == 0) {
            found = join_path(dir, e->d_name);
            break;
        }
    }
    ::closedir(d);
    return found;
}

bool remove_tree(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0;
    bool ok = true;
    if (DIR* d = ::opendir(path.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
            ok = remove_tree(join_path(path, e->d_name)) && ok;
        }
        ::closedir(d);
    }
    return ::rmdir(path.c_str()) == 0 && ok;
}

bool is_empty_directory(const std::string& path) {
    DIR* d = ::opendir(path.c_str());
    if (!d) return false;
    bool empty = true;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view n = e->d_name;
        if (n != "." && n != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(d);
    return empty;
}

bool make_directory(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && is_directory(path);
}

bool make_directories(const std::string& path) {
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] == '/') make_directory(path.substr(0, i));
    }
    return make_directory(path);
}

}  // namespace orbisto
