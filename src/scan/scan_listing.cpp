#include "scan/scan_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "scan/scan_time.h"

namespace orbisto {

namespace {

EntryKind kind_of_mode(unsigned mode) {
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Directory;
    return EntryKind::Special;
}

// Fills size, time and kind of one entry. Returns false when the entry is
// gone (removed between listing and asking).
bool describe_entry(int dirfd, const char* name, dev_t dir_dev, ListedEntry& e) {
    struct statx sx {};
    constexpr unsigned mask = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_ATIME | STATX_BTIME;
    if (::statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &sx) == 0) {
        e.kind = kind_of_mode(sx.stx_mode);
        e.size = sx.stx_size;
        const FileTime write = filetime_from_unix(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
        const FileTime access = filetime_from_unix(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
        const FileTime created = (sx.stx_mask & STATX_BTIME)
                                     ? filetime_from_unix(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec)
                                     : FileTime{};
        e.time = choose_record_time(write, access, created);
        e.other_device = e.kind == EntryKind::Directory &&
                         makedev(sx.stx_dev_major, sx.stx_dev_minor) != dir_dev;
        return true;
    }
    if (errno == ENOENT) return false;
    struct stat st {};
    if (errno == ENOSYS && ::fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        e.kind = kind_of_mode(st.st_mode);
        e.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
        e.time = choose_record_time(filetime_from_unix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec),
                                    filetime_from_unix(st.st_atim.tv_sec, st.st_atim.tv_nsec), {});
        e.other_device = e.kind == EntryKind::Directory && st.st_dev != dir_dev;
        return true;
    }
    if (errno == ENOENT) return false;
    // Listed but not describable (permissions of an odd file system): it is
    // recorded with what the listing said, without size or time, and a
    // directory of that kind is not entered.
    e.error = errno;
    e.size = 0;
    e.time = {};
    e.other_device = true;
    e.undescribed = true;
    return true;
}

}  // namespace

DirectoryFd::~DirectoryFd() {
    if (fd_ >= 0) ::close(fd_);
}

DirectoryFd open_directory(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    return DirectoryFd(fd, fd < 0 ? errno : 0);
}

DirectoryFd open_subdirectory(const DirectoryFd& parent, const std::string& name) {
    if (!parent.ok()) return DirectoryFd(-1, parent.error());
    const int fd =
        ::openat(parent.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return DirectoryFd(fd, fd < 0 ? errno : 0);
}

bool list_directory(const DirectoryFd& dir, std::vector<ListedEntry>& out) {
    out.clear();
    if (!dir.ok()) {
        errno = dir.error();
        return false;
    }
    struct stat self {};
    if (::fstat(dir.get(), &self) != 0) return false;
    // The listing gets a descriptor of its own: closing the stream closes
    // it, and dir stays open for opening the subdirectories.
    const int listing_fd = ::dup(dir.get());
    if (listing_fd < 0) return false;
    DIR* d = ::fdopendir(listing_fd);
    if (!d) {
        const int err = errno;
        ::close(listing_fd);
        errno = err;
        return false;
    }
    ::rewinddir(d);
    for (;;) {
        errno = 0;
        const dirent* de = ::readdir(d);
        if (!de) {
            const int err = errno;
            ::closedir(d);
            errno = err;
            return err == 0;
        }
        const char* name = de->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        ListedEntry e;
        if (de->d_type == DT_DIR) {
            e.kind = EntryKind::Directory;
        } else if (de->d_type == DT_REG || de->d_type == DT_UNKNOWN) {
            e.kind = EntryKind::File;
        } else {
            e.kind = EntryKind::Special;
        }
        if (!describe_entry(dir.get(), name, self.st_dev, e)) continue;
        e.name.assign(name);
        out.push_back(std::move(e));
    }
}

}  // namespace orbisto
