#include "app/commands.h"

namespace orbisto::app {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {};
    return table;
}

const Command* find_command(const std::string& name) {
    for (const auto& c : commands()) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

}  // namespace orbisto::app
