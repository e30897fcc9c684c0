// The headless command "orbisto import-list FILE --format files-bbs|index":
// a file list becomes a new catalogued medium.
#pragma once

#include <string>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// Imports FILE as a new medium and prints
//   stored medium NAME as catalogue N (F files)
// Exit status 0; 1 when nothing was stored (the reason goes to standard
// error); 2 for a missing file name or format.
int run_import_list(Context& ctx, const std::vector<std::string>& args);

}  // namespace orbisto::app
