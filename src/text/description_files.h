// Description files beside and inside what they describe (FILE_ID.DIZ,
// TOP_ID.DIZ, *.ETX, the user's name patterns), the search for one in a
// whole tree, and the bounded file reads the description readers share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace orbisto {

struct CatalogContext;

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
bool FindDescriptionInTree(CatalogContext& ctx, const std::string& tree_path,
                           std::uint32_t& comment);

inline constexpr std::size_t kTreeDepth = 64;

// ---- the walk's description readers ----
//
// Comment offsets are passed as `std::uint32_t& comment` (the field of the
// record being made): a function that finds a text appends it to
// ctx.catalog's CommentPool and sets the offset; otherwise it leaves it.

// True when `name` is a description file under the settings (FILE_ID.DIZ,
// *.ETX, the user's patterns).
bool IsDescriptionFile(const CatalogContext& ctx, std::string_view name);
// The description file's own text becomes its comment. False when the file
// cannot be opened (the walk then makes no record for it).
bool ReadDescriptionFileInto(CatalogContext& ctx, std::uint32_t& comment, const std::string& path);
// A description file inside the subdirectory `dir` becomes its comment.
void ReadDirectoryDescription(CatalogContext& ctx, std::uint32_t& comment, const std::string& dir);

// The conversion applied to a comment taken over from the old Catalog
// during an update (DOS umlauts when convert_dos_text is on).
std::string ConvertTakenOverComment(const CatalogContext& ctx, std::string_view text);

}  // namespace orbisto
