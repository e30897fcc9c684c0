// The CategoryTable: the tree of categories that media are filed in. A
// medium's `category` is a position in this table; 0 means "none".
//
// Layout with n user categories:
//   0       "! Alle Medien   "        every medium
//   1       "! restliche Medien    "  media without a category
//   2..n+1  the user categories, in stored order
//   n+2     "! verliehen"             lent media
// count() is n + 2, so the lent entry sits at the index equal to count().
//
// The table keeps two invariants that every walk relies on: a parent is 0
// (top level) or a user category, and following parents upward always ends
// at 0. Input that breaks them (a damaged category file) is repaired when it
// is assigned; the editing functions refuse changes that would break them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/records.h"

namespace orbisto {

inline constexpr const char* kCategoryAll = "! Alle Medien   ";
inline constexpr const char* kCategoryRest = "! restliche Medien    ";
inline constexpr const char* kCategoryLent = "! verliehen";

// An entry holds up to 257 bytes of name (a 258-byte field with its NUL).
inline constexpr std::size_t kCategoryNameMax = 257;
// The category file is read with a 256-byte buffer, so a name survives a
// write and a re-read only up to 255 bytes; edits cut names to this.
inline constexpr std::size_t kCategoryNameStored = 255;
// Parents are 16-bit: the lent entry at n + 2 must stay below 65,536.
inline constexpr int kMaxUserCategories = 65000;

struct CategoryEntry {
    std::string name;
    std::uint16_t parent = 0;
};

class CategoryTable {
  public:
    // The three pseudo entries and no user category.
    CategoryTable();

    // n + 2: the number of entries before the lent entry.
    int count() const { return static_cast<int>(entries_.size()) - 1; }
    int user_count() const { return count() - 2; }
    int lent_index() const { return count(); }
    // 0 .. count(): an entry of the table.
    bool valid(int index) const { return index >= 0 && index <= count(); }
    bool is_user_category(int index) const { return index >= 2 && index < count(); }

    // The name of an entry; empty for an index outside the table.
    const std::string& name(int index) const;
    // The parent of an entry; 0 for the pseudo entries and outside the table.
    int parent(int index) const;

    // Replaces the user categories. Parents are table positions (2 = the
    // first user category). Names are cut to kCategoryNameMax bytes at a
    // character boundary; a parent that is not 0 and not a user category, or
    // that closes a cycle, becomes 0. At most kMaxUserCategories are taken.
    void assign(std::vector<CategoryEntry> user);

    // Appends a user category before the lent entry (which moves up by one)
    // and returns its index; -1 when the parent is not 0 or a user category,
    // or the table is full.
    int add(std::string_view name, int parent);
    // Renames a user category; false for any other index.
    bool set_name(int index, std::string_view name);
    // Gives a user category a new parent; false when the index is not a user
    // category, the parent is not 0 or a user category, or the parent lies
    // in the category's own subtree (the category itself included).
    bool set_parent(int index, int parent);

    // True when `ancestor` is `index` itself or is reached from `index` by
    // following parents upward.
    bool in_subtree(int index, int ancestor) const;

    // Removes a user category with its whole subtree. Returns the old-to-new
    // position map for positions 0 .. old count(): removed entries map to 0,
    // the others to their new position (the lent entry included). Empty when
    // the index is not a user category (nothing is removed).
    std::vector<int> remove_subtree(int index);

    // Cuts a name to max_bytes at a character boundary, makes it valid UTF-8
    // and turns line breaks into blanks (a name is one line of the file).
    static std::string clean_name(std::string_view name, std::size_t max_bytes);

    bool operator==(const CategoryTable& other) const;

    // The file the categories are read from and written to: WICHTIG.INI in
    // the CatalogDirectory, or the settings file while that does not exist.
    // Empty until the categories are read.
    std::string file;
    // True while `file` is the settings file.
    bool in_settings_file = true;

  private:
    struct Entry {
        std::string name;
        std::uint16_t parent = 0;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> entries_;
};

// Maps a category position through the map of remove_subtree (or any other
// renumbering): positions outside the map stay as they are.
std::uint32_t remap_category(const std::vector<int>& map, std::uint32_t category);

// Whether medium m is shown under category c:
//   c is 0 ("! Alle Medien"); or m's category equals c; or, with sub_kat 1,
//   c is reached from m's category by following parents upward; or c is 1
//   ("! restliche Medien") and m has no category; or c is the lent entry and
//   m is lent. A category that names no user category (a dangling position
//   left by a damaged file) counts as no category, so such a medium is still
//   found under "! restliche Medien". False for c outside the table.
bool IsMemberOfCategory(const CategoryTable& table, int sub_kat, const MediumHeader& m, int c);

}  // namespace orbisto
