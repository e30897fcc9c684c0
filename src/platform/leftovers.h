// What a process of ours leaves behind only when it dies half-way: the
// temporary file of an atomic write, its private work directory and the
// placeholder that claims a new catalogue number. Each carries the process id
// of its owner (in its name, or as its content) and is locked with flock for
// as long as the owner works on it, so a later run can tell for certain that
// the owner is gone: no process of that id runs any more and the lock is free.
// Only such leftovers are removed; anything else with a similar name is left
// alone.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orbisto {

// An open file or directory with an exclusive flock on it, released when the
// object goes (or the process dies).
class FileLock {
  public:
    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes over fd (opened by the caller) and locks it, waiting for other
    // holders. Where the file system offers no locks the descriptor is kept
    // unlocked. False only for an invalid fd.
    bool adopt(int fd);
    // Opens path (a file or a directory) and locks it as adopt does; false
    // when it cannot be opened.
    bool lock_path(const std::string& path);
    void release();
    bool held() const { return fd_ >= 0; }
    int fd() const { return fd_; }

  private:
    int fd_ = -1;
};

// mkstemp template of the temporary file that replaces dir/name:
// "<dir>/.<name>.orbisto-<pid>-XXXXXX".
std::string temp_file_template(const std::string& path);
// The owner of a temporary file name of that pattern; nullopt for any other
// name.
std::optional<pid_t> temp_file_owner(std::string_view name);

// mkdtemp template of a private work directory below base:
// "<base>/orbisto-<pid>-XXXXXX".
std::string work_dir_template(const std::string& base);
std::optional<pid_t> work_dir_owner(std::string_view name);

// True when the process pid provably no longer runs and nobody holds a lock
// on fd.
bool owner_is_gone(pid_t pid, int fd);

// Removes the temporary files of dead owners from dir; returns how many.
std::size_t remove_dead_temp_files(const std::string& dir);
// Removes the work directories of dead owners below base that belong to
// our user; returns how many.
std::size_t remove_dead_work_dirs(const std::string& base);

// Claims path by creating it exclusively (O_CREAT|O_EXCL) as a placeholder
// that names its owner; lock holds it until the real file is renamed over it.
// False with errno as open set it (EEXIST when the path is taken).
bool create_placeholder(const std::string& path, FileLock& lock);
// Removes path when it is a placeholder of a dead owner; true when it did.
bool remove_dead_placeholder(const std::string& path);

}  // namespace orbisto
