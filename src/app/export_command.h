// The headless output: "orbisto export [options]" writes a file list, tree,
// CSV or dBase table or media list with the output settings given as
// options (the settings file is neither read for them nor written), and the
// run mode --export, which writes what the stored output settings describe.
#pragma once

#include <string>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// Exit status 0 when the file was written, 1 when it was not (or not all of
// it: an abort or a write error keeps what was written), 2 for a usage error.
// An existing file is replaced only with --force.
int run_export(Context& ctx, const std::vector<std::string>& args);

// --export: the stored output settings; --force lets it replace a file.
int run_export_mode(Context& ctx);

}  // namespace orbisto::app
