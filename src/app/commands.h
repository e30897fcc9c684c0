// Headless query commands ("orbisto media", "orbisto categories", ...): each
// prints to standard output for scripts and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

struct Command {
    const char* name;
    const char* summary;
    int (*run)(Context& ctx, const std::vector<std::string>& args);
};

// The table of commands; empty names end it.
const std::vector<Command>& commands();
const Command* find_command(const std::string& name);

}  // namespace orbisto::app
