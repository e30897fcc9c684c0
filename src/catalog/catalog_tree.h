// The shape of a Catalog as lists: the subdirectories and the files of every
// directory, built in one pass over the records (linear time, two index
// arrays of one entry per record). The views of the window and the commands
// that list a directory walk these instead of searching the records.
//
// Records whose parent does not name an earlier directory (a damaged file)
// hang below the root, so every record is reachable exactly once. Deleted
// records (marked, not yet compacted) are left out.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"

namespace orbisto {

// Case-blind order of two UTF-8 names (ASCII letters folded, other bytes as
// they are, so the order is total and cheap): the order of every list of
// names the user sees.
int compare_names(std::string_view a, std::string_view b);

class CatalogTree {
  public:
    CatalogTree() = default;
    explicit CatalogTree(const Catalog& cat) { build(cat); }
    void build(const Catalog& cat);

    std::uint32_t dir_count() const { return static_cast<std::uint32_t>(parent_.size()); }
    // The subdirectories of directory d in name order and its files in
    // record order; empty for a d out of range.
    std::span<const std::uint32_t> subdirs(std::uint32_t d) const;
    std::span<const std::uint32_t> files(std::uint32_t d) const;
    // The parent as the tree sees it (0 for the root itself).
    std::uint32_t parent(std::uint32_t d) const { return d < parent_.size() ? parent_[d] : 0; }
    // The position of d among its parent's subdirectories.
    std::uint32_t row_in_parent(std::uint32_t d) const { return d < row_.size() ? row_[d] : 0; }
    // Every file of d and of all directories below it, in tree order.
    std::vector<std::uint32_t> files_below(std::uint32_t d) const;
    // The bytes the index arrays hold.
    std::size_t memory_bytes() const;
    // Whether d is `ancestor` or lies below it.
    bool is_below(std::uint32_t d, std::uint32_t ancestor) const;

  private:
    std::vector<std::uint32_t> parent_;
    std::vector<std::uint32_t> row_;
    std::vector<std::uint32_t> dir_start_, dir_list_;    // CSR of subdirectories
    std::vector<std::uint32_t> file_start_, file_list_;  // CSR of files
};

// Deletion marks as the views see them.
bool dir_deleted(const DirRecord& d);
bool file_deleted(const FileRecord& f);

}  // namespace orbisto
