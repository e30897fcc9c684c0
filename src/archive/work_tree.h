// Emptying the directories packers unpacked into. Only directories inside
// the private work directory or the copy directory are ever touched, and
// symbolic links are removed as links, never followed.
#pragma once

#include <string>

namespace orbisto {

struct ArchiveContext;

// Removes everything below `dir` and leaves `dir` itself in place. Nothing
// at all happens with keep_expanded_files on. Each removal is tried up to 3 times,
// 1 second apart; when one still fails, or `dir` lies outside the work and
// copy directories, ctx.packers.delete_failed is set and false returned.
bool DeleteTree(ArchiveContext& ctx, const std::string& dir);

// Removes the emptied directory `dir` itself, up to 3 attempts 1 second
// apart (under the same guard and keep_expanded_files rule as DeleteTree).
bool RemoveWorkDirectory(ArchiveContext& ctx, const std::string& dir);

// True when `dir` is an existing directory (not a link) inside the private
// work directory, or the work directory itself, or strictly inside the copy
// directory copy_path.
bool IsDeletableWorkPath(const ArchiveContext& ctx, const std::string& dir);

}  // namespace orbisto
