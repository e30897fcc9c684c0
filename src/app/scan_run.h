// The headless scan run modes: --drive PATH (scan a new medium) and
// --update PATH (rescan a catalogued medium under its number).
#pragma once

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
int run_scan_mode(Context& ctx);

}  // namespace orbisto::app
