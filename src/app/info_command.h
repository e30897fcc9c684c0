// The headless command "orbisto info FILE...": what a scan would store as
// the information of each file (image size, sound format and playing time,
// tags, video length and codec, font name, program type and version).
#pragma once

#include <string>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// Prints for each file its path and, indented by two blanks below it, the
// lines of its information text; with --json one object per file with the
// text and the numeric fields. The group switches and the language of the
// settings apply; the master switch is taken as on. Exit status 0 when every
// file gave information, 1 when one did not, 2 for a usage error.
int run_info(Context& ctx, const std::vector<std::string>& args);

}  // namespace orbisto::app
