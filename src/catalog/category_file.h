// The category file: section "Kategorie" with `Anzahl` (the number of user
// categories) and for each user category i (0-based) the keys "Kategorie<i>"
// (its name) and "Kategorie<i>parent" (its parent's position minus 2, so a
// top-level category stores -2 and a stored 0 names the first user category).
//
// The categories live in WICHTIG.INI in the CatalogDirectory, shared by
// everyone who uses that directory, or in the settings file while no
// WICHTIG.INI exists. The first write creates WICHTIG.INI.
#pragma once

#include <string>

namespace orbisto {

struct CatalogContext;

inline constexpr const char* kCategoryFileName = "WICHTIG.INI";
inline constexpr const char* kSectionCategories = "Kategorie";
// Names are read with a 256-byte buffer, as Windows peers read them.
inline constexpr std::size_t kCategoryReadBuffer = 256;

class CategoryTable;
class IniFile;

// The table held by the section "Kategorie" of a category file, damaged
// values repaired as ReadCategories says.
void categories_from_ini(const IniFile& ini, CategoryTable& table);
// Writes the table into the section "Kategorie", removing the keys of
// categories beyond its count; other sections and keys stay.
void categories_to_ini(const CategoryTable& table, IniFile& ini);

// WICHTIG.INI in the CatalogDirectory: the existing file in whatever case it
// is spelt, else the path a new one gets; empty without a CatalogDirectory.
std::string category_file_path(const CatalogContext& ctx);

// Reads the CategoryTable from WICHTIG.INI when it exists, else from the
// settings file, and remembers that file in ctx.categories.file. Missing
// files and keys give an empty table. Damaged values are repaired: a
// negative `Anzahl` counts as 0, one above kMaxUserCategories is taken as the
// number of stored names (at most kMaxUserCategories), and parents outside
// the table, on the category itself or in a cycle become top level.
// With reload_last off the remembered catalogue (last_catalog) and category
// (last_category) become 0.
void ReadCategories(CatalogContext& ctx);

// Writes the table to the settings file, then to WICHTIG.INI, which is the
// category file from then on. A file that cannot be written gets the
// read-only warning when warn_read_only is on; a failed settings file then stops
// the write. Keys of categories beyond the new count are removed, so a
// shrunk table leaves nothing behind. Returns true when the file the
// categories will be read from next holds the table.
bool WriteCategories(CatalogContext& ctx);

}  // namespace orbisto
