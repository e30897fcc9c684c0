// The interactive run: the Qt application, the window, the run modes that
// start with a search, and the orderly end.
#pragma once

#include <functional>
#include <string>

#include "settings/command_line.h"

namespace orbisto {
struct Environment;
}

namespace orbisto::gui {

// Whether a window can be shown: a display (X11 or Wayland) or a platform
// chosen by QT_QPA_PLATFORM. Asked before any Qt object exists, so a start
// without one ends with a clear line instead of Qt's abort.
bool display_available();

// Runs the interactive program; returns the exit status. started runs once
// the settings are read, before the window is made (the desktop integration
// is refreshed there).
int run_window(int argc, char** argv, const CommandLine& command_line,
               const std::string& executable,
               const std::function<void(Environment&)>& started = {});

}  // namespace orbisto::gui
