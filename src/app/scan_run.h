// The headless scan run modes: --drive PATH (scan a new medium) and
// --update PATH (rescan a catalogued medium under its number).
#pragma once

#include <string>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// Builds the media list, runs the scan request for the run mode's path and
// prints "stored medium NAME as catalogue N (D directories, F files)" on
// standard output. Returns 0 when the whole medium was stored, else 1 (the
// reason has gone to standard error through the console frontend): also
// when a catalogue was stored without parts of the medium (directories that
// could not be read or were nested too deep, or the rest of the walk when a
// work area ran full).
// Before that, the catalogue directory is checked (exit 1 with the reason,
// nothing scanned). A folder that is catalogued already is scanned as a new
// medium all the same, and a note names its catalogue and --update.
int run_scan_mode(Context& ctx);

// Why `dir` cannot serve as the catalogue directory (an errno value: it is
// missing, no directory, or, for_writing, not writable); 0 when it can.
int catalogue_directory_problem(const std::string& dir, bool for_writing);

}  // namespace orbisto::app
