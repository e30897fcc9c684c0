// Browsing a catalogued medium from the command line: "orbisto ls" lists a
// directory of it (or all of it below a directory) with the columns of
// "orbisto find"; "orbisto info-medium" shows its header, its information
// block, its description and what it holds.
#pragma once

#include <string>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// orbisto ls MEDIUM [PATH] [-R] [--json]: exit 0 listed, 1 no such medium or
// path (or unreadable catalogue), 2 usage.
int run_ls(Context& ctx, const std::vector<std::string>& args);

// orbisto info-medium MEDIUM [--json]: exit 0, 1 no such medium, 2 usage.
int run_info_medium(Context& ctx, const std::vector<std::string>& args);

}  // namespace orbisto::app
