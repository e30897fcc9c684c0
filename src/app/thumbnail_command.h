// The headless command "orbisto thumbnail CATALOGUE PATH --output FILE":
// the thumbnail a scan stored for a file, written out as the JPEG it is.
#pragma once

#include <string>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// PATH is the file's path as the catalogue stores it (directory names and the
// file name joined with "/" from the medium's root), or that path below the
// top-level directory (the folder a medium was scanned from, which is stored
// under its own path): "photos/2024/beach.jpg". Leading "/" are ignored.
// Writes the stored JPEG stream to the output file, which is not replaced
// unless --force is given. Exit status 0 when written, 1 when the catalogue,
// the file or its thumbnail is missing or the output cannot be written, 2 for
// a usage error.
int run_thumbnail(Context& ctx, const std::vector<std::string>& args);

}  // namespace orbisto::app
