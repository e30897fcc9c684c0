// The headless scan run modes: --drive PATH (scan a new medium) and
// --update PATH (rescan a catalogued medium under its number).
#pragma once

#include "startup/context.h"

namespace orbisto::app {

// Builds the media list, runs the scan request for the run mode's path and
// prints "stored medium NAME as catalogue N (D directories, F files)" on
// standard output. Returns 0 when a catalogue was stored, else 1 (the
// reason has gone to standard error through the console frontend).
int run_scan_mode(Context& ctx);

}  // namespace orbisto::app
