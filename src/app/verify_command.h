// orbisto verify: a catalogued medium compared with the medium on disk.
// orbisto check: which catalogue files are damaged, and why.
#pragma once

#include <string>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// orbisto verify MEDIUM [PATH]: one line per difference on standard output,
// "KIND PATH" with KIND one of missing, new, size, date, content,
// unreadable (a folder ends with '/'). PATH defaults to the folder the
// medium was scanned from when the catalogue records it. Progress goes to
// standard error when that is a terminal. Exit status 0 equal, 1 different,
// 2 a usage error or nothing compared.
int run_verify(Context& ctx, const std::vector<std::string>& args);

// orbisto check [MEDIUM...]: reads every catalogue file (or the named ones)
// whole and prints "FILE: REASON" for each damaged one. Exit status 0 all
// sound, 1 some damaged or not found, 2 a usage error.
int run_check(Context& ctx, const std::vector<std::string>& args);

}  // namespace orbisto::app
