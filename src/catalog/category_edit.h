// Working with the categories through the Context: membership with the
// include_subcategories option, the duplicate-name questions before a rename, and the
// edits of the category tree that the main window offers (create, rename,
// move under another parent, delete with the whole subtree). Every edit that
// goes through is written to the category file at once.
#pragma once

#include <string_view>

#include "catalog/records.h"

namespace orbisto {

struct CatalogContext;

// IsMemberOfCategory with the table and include_subcategories option of ctx.
bool IsMemberOfCategory(const CatalogContext& ctx, const MediumHeader& m, int c);

// Before a category is renamed: compares name, ignoring case (German
// folding), with every other entry of the table, the pseudo entries
// included. On the first equal one asks "Kategorie schon vorhanden.
// Umbenennen?" (Yes/No). Returns whether the rename may go through.
bool CheckCategoryName(CatalogContext& ctx, int index, std::string_view name);

// The same against the medium_name of every other MediaList entry (index is
// the position in ctx.media.entries), asking "Medium schon vorhanden.
// Umbenennen?".
bool CheckMediumName(CatalogContext& ctx, int index, std::string_view name);

enum class CategoryEdit {
    Done,       // changed and written to the category file
    Unchanged,  // nothing to change (same name or parent, or an emptied name)
    Declined,   // the user answered No to the duplicate-name question
    Refused,    // not a user category, a bad parent, a move into its own
                // subtree, an empty name or a full table
    NotStored,  // the category file could not be written; nothing changed
};

struct CategoryCreated {
    CategoryEdit result = CategoryEdit::Refused;
    int index = -1;  // the new category's position when result is Done
};

// Appends a user category under parent (0 = top level) just before
// "! verliehen", which moves up by one; the remembered category and the
// search category follow it when they named it.
CategoryCreated CreateCategory(CatalogContext& ctx, std::string_view name, int parent);

// Renames a user category after CheckCategoryName. Names are cut to
// kCategoryNameStored bytes; an empty name (blanks only) counts as a
// cancelled edit.
CategoryEdit RenameCategory(CatalogContext& ctx, int index, std::string_view name);

// Puts a user category under another parent (0 = top level). Refused when
// the parent lies in the category's own subtree.
CategoryEdit MoveCategory(CatalogContext& ctx, int index, int parent);

// Deletes a user category with its whole subtree. The shrunk table is
// written first; when that fails nothing changes. Then every medium of the
// MediaList whose category moved gets the new position in its catalogue
// file and its MediaList entry: media of the deleted subtree get 0, media of
// later categories follow their category down. A header that cannot be read
// ("Fehler beim Lesen des Headers") or written (the store's write error) is
// reported and the next medium follows; its MediaList entry keeps the
// position its file still holds, as memory changes only after the file.
// The current Catalog's header (unless its file could not be rewritten), the
// remembered category and the search category are renumbered the same way,
// so a later save of the current Catalog writes the new position and never
// brings back the old one (the Catalog's changed flag is left as it is). With fast_load on the
// FastLoadIndex is written when a MediaList entry changed.
CategoryEdit DeleteCategory(CatalogContext& ctx, int index);

}  // namespace orbisto
