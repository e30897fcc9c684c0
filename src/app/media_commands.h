// The headless commands over the catalogued media: "orbisto media" and
// "orbisto categories". Both print tab-separated lines to standard output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "output/rows.h"

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// orbisto media [--category N]: one line per medium of the MediaList, in
// catalogue-number order (or fast-load index order):
//   number, medium name, volume label, serial (%08X), directories (without
//   the root), files, total KB (%.0f), category name (empty for none), lent
//   (0/1).
// --category N keeps the members of category N (include_subcategories applies).
int run_media(Context& ctx, const std::vector<std::string>& args);

// orbisto categories: index, parent and name of every CategoryTable entry.
int run_categories(Context& ctx, const std::vector<std::string>& args);

// The lines the commands print, for writing to any stream (for a terminal,
// in LineStyle::Terminal).
std::string media_lines(const Context& ctx, int category, LineStyle style = LineStyle::Plain);
std::string category_lines(const Context& ctx, LineStyle style = LineStyle::Plain);

// The style of lines for standard output: Terminal when it is one.
LineStyle stdout_line_style();

}  // namespace orbisto::app
