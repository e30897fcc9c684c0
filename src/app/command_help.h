// "orbisto COMMAND --help": what each headless command takes, in the
// interface language.
#pragma once

#include <string>
#include <string_view>

namespace orbisto::app {

// The help of the command `name`; empty for a name that is no command.
std::string command_help(std::string_view name, bool english);

}  // namespace orbisto::app
