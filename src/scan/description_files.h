// Description files beside and inside what they describe (FILE_ID.DIZ,
// TOP_ID.DIZ, *.ETX, the user's name patterns), the search for one in a
// whole tree, and the bounded file reads the description readers share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "startup/context.h"

namespace orbisto {

// Reads at most `limit` bytes of the regular file at `path`. A final
// symbolic link is not followed, and a FIFO or device is not opened for
// reading, so a stranger's medium cannot make the read hang or escape.
// Nothing when the file cannot be opened as a regular file.
std::optional<std::string> read_file_prefix(const std::string& path, std::size_t limit);

// The description-file rule on a name: a user pattern (switched on, not
// empty) contained in it, ".ETX" at its end (anywhere with `etx_anywhere`),
// or the name FILE_ID.DIZ or TOP_ID.DIZ.
bool is_description_name(const Options& o, std::string_view name, bool etx_anywhere);

// The first description file of the tree at `tree_path` becomes `comment`:
// the tree is walked in listing order, a subdirectory as soon as it is met;
// in each directory the first description file that opens ends that
// directory's walk, and a later find replaces an earlier one. Links are
// never followed; directories nested deeper than kTreeDepth are left out.
// True when a comment was set.
bool FindDescriptionInTree(Context& ctx, const std::string& tree_path, std::uint32_t& comment);

inline constexpr std::size_t kTreeDepth = 64;

}  // namespace orbisto
