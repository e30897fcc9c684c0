// Start-up and shutdown of a run, apart from the window: paths, command-line
// values, CatalogDirectory, settings in their reading order, the private work
// directory and the work areas.
#pragma once

#include <functional>
#include <string>

#include "settings/command_line.h"
#include "settings/paths.h"

namespace orbisto {

struct Context;

// Runs start-up up to the allocation of the work areas. Returns false when
// the work areas could not be allocated (the message has been shown).
bool start_up(Context& ctx, const CommandLine& command_line, const std::string& executable,
              const EnvLookup& env);

// Removes the private work directory. Settings are written by the run modes
// that write them, not here.
void shut_down(Context& ctx);

}  // namespace orbisto
