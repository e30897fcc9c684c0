// Start-up and shutdown of a run, apart from the window: paths, command-line
// values, CatalogDirectory, settings in their reading order, the private work
// directory and the work areas.
#pragma once

#include <functional>
#include <string>

#include "startup/context.h"

namespace orbisto {

struct StartupHooks {
    // Reads the categories; called between the start state and the output
    // settings, as the reading order requires. Installed by the catalogue store.
    std::function<void(Context&)> read_categories;
};

// Runs start-up up to the allocation of the work areas. Returns false when
// the work areas could not be allocated (the message has been shown).
bool start_up(Context& ctx, const CommandLine& command_line, const std::string& executable,
              const EnvLookup& env, const StartupHooks& hooks = {});

// Removes the private work directory. Settings are written by the run modes
// that write them, not here.
void shut_down(Context& ctx);

// The title of the main window, "Orbisto %3.1f" of the version.
std::string window_title();

}  // namespace orbisto
