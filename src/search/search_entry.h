// Searches started without the dialog: the context-menu entries "same name",
// "same length" and "same date" on a file row, and the /search and /ssearch
// start-ups.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orbisto {

struct SearchContext;

// The three context-menu searches on an object of the loaded Catalog
// (`object` is an object reference). Each forces mode 507, scope 6
// (directory and file names), subcategories on, only-with-comment off and
// not only the loaded medium; the category is 0, or the main window's
// current category (last_category) when Shift is held. After the run the
// search settings are read back from the settings file, so the forced values
// do not persist. Refused (false, nothing runs) for a directory or an index
// outside the Catalog.
//
// same name: the file's name, case ignored, date filter off.
bool SearchSameName(SearchContext& ctx, std::uint32_t object, bool shift_held);
// same length: "?" with both size bounds at the file's size, case compared,
// date filter off.
bool SearchSameLength(SearchContext& ctx, std::uint32_t object, bool shift_held);
// same date: "?" with the date filter on from the start to the end of the
// file's day (UTC), case compared.
bool SearchSameDate(SearchContext& ctx, std::uint32_t object, bool shift_held);

// The file-name part of a path: the text after the last '/' or '\' (and
// after a drive "X:").
std::string_view search_file_name_part(std::string_view path);

// The /search (RunMode 4) and /ssearch (44) start-up: the file-name part of
// the command-line argument becomes the search string; mode 507, scope 6,
// case ignored, subcategories on, not only the loaded medium, date filter
// and size bounds off; RunMode 4 searches category 0, 44 the remembered
// search category. The caller then runs RunSearch. False when the run mode
// is neither or the pattern cannot be used.
bool PrepareCommandLineSearch(SearchContext& ctx);

}  // namespace orbisto
