// File helpers: whole-file reads, atomic replacement, case-insensitive name
// lookup (files copied from Windows media keep their spelling) and removal of
// trees that never follows symbolic links.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

// Reads the whole file in one go; nullopt when it cannot be opened or read.
std::optional<std::string> read_file(const std::string& path);

// Writes data to a temporary file in the same directory, flushes it and
// renames it over path. A symbolic link is written through to its target and
// stays a link. A file that is not replaceable (below) is not written
// (EACCES). On failure path is left as it was and errno is set.
bool write_file_atomic(const std::string& path, std::string_view data);

// The file that a write to path replaces: path itself, or the end of its
// chain of symbolic links (for a dangling link the path it names).
std::string replace_target(const std::string& path);

// The one rule for every file we replace: the target of path (see
// replace_target), when it exists, must be a regular file with a write bit
// set in its mode and writable for us; its directory must exist, have a
// write bit set and be writable for us. The mode bits count even for root,
// who is let through by the access check: a file or directory without any
// write bit has been write-protected by its user, and the atomic rename
// would otherwise replace it regardless.
bool file_replaceable(const std::string& path);

bool file_exists(const std::string& path);
bool is_directory(const std::string& path);

// The directory part (with trailing '/') and the file part of a path.
std::string dir_part(const std::string& path);
std::string file_part(const std::string& path);
// Joins a directory and a name with exactly one '/'.
std::string join_path(std::string_view dir, std::string_view name);

// The entry of dir whose name equals name ignoring ASCII case: the exact
// spelling wins, then the first case-insensitive match; nullopt when none.
std::optional<std::string> find_case_insensitive(const std::string& dir, std::string_view name);

// Removes a directory tree; symbolic links are removed, never followed.
bool remove_tree(const std::string& path);

// True for a directory that can be read and holds no entries.
bool is_empty_directory(const std::string& path);

// Creates one directory level; true when it exists afterwards.
bool make_directory(const std::string& path);
// Creates a directory and any missing parents; true when it exists afterwards.
bool make_directories(const std::string& path);

}  // namespace orbisto
