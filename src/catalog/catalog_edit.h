// Deleting objects from the Catalog. Deletion only marks records (a file's
// size becomes -1.0, a directory's comment DIR_DELETED_COMMENT); compaction
// removes the marked records later. Every accepted deletion sets the changed
// flag.
#pragma once

#include <cstdint>
#include <functional>

#include "catalog/catalog.h"

namespace orbisto {

// Marks file `index` deleted and subtracts its size from total_kb. False for
// an index out of range; a file already deleted is left as it is.
bool delete_file(Catalog& cat, std::uint32_t index);

// Deletes directory `index` with everything below it: every directory in its
// subtree is marked, every file in them deleted as by delete_file, children
// before their parent and each directory's files after its subdirectories.
// `pump` (may be empty) runs after each directory. Time and memory are linear
// in the number of records. False (nothing changed) for the root, an index
// out of range, or when the work memory cannot be had.
bool delete_directory(Catalog& cat, std::uint32_t index, const std::function<void()>& pump = {});

// Deletes every file without a comment; returns how many were deleted.
std::uint32_t delete_files_without_comment(Catalog& cat);

}  // namespace orbisto
