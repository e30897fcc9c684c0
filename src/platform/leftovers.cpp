#include "platform/leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"

namespace orbisto {
namespace {

constexpr std::string_view kTag = "orbisto-";
constexpr std::string_view kClaimMark = "orbisto-claim ";
constexpr std::size_t kRandomLength = 6;  // the XXXXXX of mkstemp and mkdtemp

bool is_alnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A process id written in decimal: digits only, no leading zero, above 0.
std::optional<pid_t> parse_pid(std::string_view digits) {
    if (digits.empty() || digits.size() > 9 || digits.front() == '0') return std::nullopt;
    pid_t pid = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// "orbisto-<pid>-XXXXXX" at the end of name; the pid, and in prefix_length
// where that part starts.
std::optional<pid_t> tagged_owner(std::string_view name, std::size_t& prefix_length) {
    if (name.size() < kTag.size() + 2 + kRandomLength) return std::nullopt;
    const std::string_view random = name.substr(name.size() - kRandomLength);
    for (char c : random) {
        if (!is_alnum(c)) return std::nullopt;
    }
    name.remove_suffix(kRandomLength);
    if (name.back() != '-') return std::nullopt;
    name.remove_suffix(1);
    const std::size_t tag = name.rfind(kTag);
    if (tag == std::string_view::npos) return std::nullopt;
    prefix_length = tag;
    return parse_pid(name.substr(tag + kTag.size()));
}

std::string own_tag() {
    return std::string(kTag) + std::to_string(::getpid()) + "-XXXXXX";
}

// True while path still names the file that fd has open.
bool still_names(const std::string& path, int fd) {
    struct stat open_file {};
    struct stat named {};
    return ::fstat(fd, &open_file) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

}  // namespace

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool FileLock::adopt(int fd) {
    release();
    if (fd < 0) return false;
    // Where the file system offers no locks the descriptor is kept all the
    // same: the owner's id still marks the file, and a lock that cannot be
    // taken by the owner cannot be taken by a sweeper either.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    fd_ = fd;
    return true;
}

bool FileLock::lock_path(const std::string& path) {
    return adopt(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

void FileLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string temp_file_template(const std::string& path) {
    return dir_part(path) + "." + file_part(path) + "." + own_tag();
}

std::optional<pid_t> temp_file_owner(std::string_view name) {
    std::size_t prefix = 0;
    const auto pid = tagged_owner(name, prefix);
    // "." + the replaced file's name + "." before the tag.
    if (!pid || prefix < 3 || name.front() != '.' || name[prefix - 1] != '.') return std::nullopt;
    return pid;
}

std::string work_dir_template(const std::string& base) {
    return join_path(base, own_tag());
}

std::optional<pid_t> work_dir_owner(std::string_view name) {
    std::size_t prefix = 0;
    const auto pid = tagged_owner(name, prefix);
    if (!pid || prefix != 0) return std::nullopt;
    return pid;
}

bool owner_is_gone(pid_t pid, int fd) {
    if (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH) return false;
    // The id may be seen from another pid namespace; the lock tells for sure.
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

std::size_t remove_dead_temp_files(const std::string& dir) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return 0;
    std::size_t removed = 0;
    while (const dirent* e = ::readdir(d)) {
        const auto pid = temp_file_owner(e->d_name);
        if (!pid) continue;
        const std::string path = join_path(dir, e->d_name);
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && owner_is_gone(*pid, fd) &&
            still_names(path, fd) && ::unlink(path.c_str()) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    ::closedir(d);
    return removed;
}

std::size_t remove_dead_work_dirs(const std::string& base) {
    DIR* d = ::opendir(base.empty() ? "." : base.c_str());
    if (!d) return 0;
    std::size_t removed = 0;
    while (const dirent* e = ::readdir(d)) {
        const auto pid = work_dir_owner(e->d_name);
        if (!pid) continue;
        const std::string path = join_path(base, e->d_name);
        const int fd =
            ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        // In a shared /tmp only our own user's directories are ours.
        if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && owner_is_gone(*pid, fd) &&
            still_names(path, fd) && remove_tree(path)) {
            ++removed;
        }
        ::close(fd);
    }
    ::closedir(d);
    return removed;
}

// The id of this boot of this machine. A catalogue directory may be shared
// by several machines whose process ids and locks are their own: a claim is
// judged only on the machine and boot that made it.
const std::string& this_boot() {
    static const std::string id = [] {
        std::string text = read_file("/proc/sys/kernel/random/boot_id").value_or("");
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
        const bool sound =
            !text.empty() && text.size() <= 64 && text.find_first_of(" \n") == std::string::npos;
        return sound ? text : std::string("unknown");
    }();
    return id;
}

bool create_placeholder(const std::string& path, FileLock& lock) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // Locked before it names its owner: until then it is an empty file,
    // which no one takes for a leftover.
    lock.adopt(fd);
    const std::string mark =
        std::string(kClaimMark) + std::to_string(::getpid()) + " " + this_boot() + "\n";
    if (::write(fd, mark.data(), mark.size()) != static_cast<ssize_t>(mark.size())) {
        const int e = errno == 0 ? ENOSPC : errno;
        ::unlink(path.c_str());
        lock.release();
        errno = e;
        return false;
    }
    return true;
}

bool remove_dead_placeholder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    bool removed = false;
    struct stat st {};
    char buf[128];
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        st.st_size <= static_cast<off_t>(sizeof buf)) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, 0);
        const std::string_view text(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
        if (text.size() > kClaimMark.size() + 1 &&
            text.substr(0, kClaimMark.size()) == kClaimMark && text.back() == '\n') {
            const std::string_view owner =
                text.substr(kClaimMark.size(), text.size() - kClaimMark.size() - 1);
            const std::size_t space = owner.find(' ');
            const auto pid =
                space == std::string_view::npos ? std::nullopt : parse_pid(owner.substr(0, space));
            const bool here = space != std::string_view::npos &&
                              owner.substr(space + 1) == this_boot() && this_boot() != "unknown";
            removed = pid && here && owner_is_gone(*pid, fd) && still_names(path, fd) &&
                      ::unlink(path.c_str()) == 0;
        }
    }
    ::close(fd);
    return removed;
}

}  // namespace orbisto
