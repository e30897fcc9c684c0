// The per-directory description lists (DESCRIPT.ION, FILES.BBS, WILDCAT.TXT,
// 00_INDEX.TXT): found among a directory's names, read once and looked up
// per entry. A found text is appended to ctx.catalog's CommentPool and its
// offset set in `comment` (the field of the record being made).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orbisto {

struct CatalogContext;

// The per-directory list file (DESCRIPT.ION, FILES.BBS, WILDCAT.TXT,
// 00_INDEX.TXT) of one directory, read once and searched in memory. Both
// texts are UTF-8 of the same length; `upper` is `text` folded with
// upper_german, so lookups need not fold the list again.
struct DirectoryList {
    std::string text;
    std::string upper;
};

// The list files among the names of one directory: matched without case
// (media from DOS spell them in any case), the exact spelling first.
class ListFileNames {
  public:
    // Takes note of one name of a file (not of a directory).
    void note(std::string_view name);
    const std::array<std::string, 4>& found() const { return found_; }

  private:
    std::array<std::string, 4> found_;
    std::array<bool, 4> exact_{};
};

// Reads the first list file found in `dir`; nothing when there is none.
std::optional<DirectoryList> LoadDirectoryList(CatalogContext& ctx, const std::string& dir);
// The same for a directory whose names the walk has listed already, so that
// it is not read twice.
std::optional<DirectoryList> LoadDirectoryList(CatalogContext& ctx, const std::string& dir,
                                               const ListFileNames& names);
// Sets `comment` from the list's line for `name`, if it has one.
void LookupListComment(CatalogContext& ctx, const DirectoryList& list, std::string_view name,
                       std::uint32_t& comment);

}  // namespace orbisto
