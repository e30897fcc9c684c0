// Reading one directory for the walk: every entry once, with one
// statx/fstatat call relative to the directory's descriptor, never following
// a symbolic link.
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/records.h"

namespace orbisto {

enum class EntryKind : std::uint8_t {
    File,       // a regular file: may be read (CRC, descriptions, information)
    Directory,  // walked by the subdirectories pass
    Special,    // symbolic link, FIFO, socket or device: recorded, never opened
};

struct ListedEntry {
    std::string name;  // as the file system lists it (bytes, maybe not UTF-8)
    std::uint64_t size = 0;
    FileTime time;  // the record's time (the first plausible one)
    EntryKind kind = EntryKind::File;
    bool other_device = false;  // a directory on another file system: not entered
    // Listed but its status could not be read (errno in `error`): recorded
    // from the listing alone; a directory of this kind is not entered.
    bool undescribed = false;
    int error = 0;
};

// An open directory descriptor, closed when it goes.
class DirectoryFd {
  public:
    DirectoryFd() = default;
    // error: the errno of a failed open (fd < 0).
    explicit DirectoryFd(int fd, int error = 0) : fd_(fd), error_(error) {}
    ~DirectoryFd();
    DirectoryFd(DirectoryFd&& o) noexcept : fd_(o.fd_), error_(o.error_) { o.fd_ = -1; }
    DirectoryFd& operator=(DirectoryFd&&) = delete;
    DirectoryFd(const DirectoryFd&) = delete;
    DirectoryFd& operator=(const DirectoryFd&) = delete;

    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    int error() const { return error_; }

  private:
    int fd_ = -1;
    int error_ = EBADF;
};

// Opens the directory at `path` (a link to a directory is followed here: it
// is the place the user chose).
DirectoryFd open_directory(const std::string& path);
// Opens the subdirectory `name` of an open directory; a link is never followed.
DirectoryFd open_subdirectory(const DirectoryFd& parent, const std::string& name);

// Lists every entry except "." and ".." in the order the file system returns
// them. Returns false, with errno set, when the directory could not be read
// in full; entries read before a later error are kept.
bool list_directory(const DirectoryFd& dir, std::vector<ListedEntry>& out);

}  // namespace orbisto
