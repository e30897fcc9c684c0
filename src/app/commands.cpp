#include "app/commands.h"

#include "app/browse_commands.h"
#include "app/export_command.h"
#include "app/find_command.h"
#include "app/import_command.h"
#include "app/info_command.h"
#include "app/media_commands.h"
#include "app/thumbnail_command.h"
#include "session/context.h"

namespace orbisto::app {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"media", "list the catalogued media (--category N: members of category N)", run_media},
        {"ls", "list a directory of a medium (-R: everything below it)", run_ls},
        {"info-medium", "show a medium's header, information, description and statistics",
         run_info_medium},
        {"categories", "list the categories: index, parent, name", run_categories},
        {"find", "search all catalogues; one hit per line (see README)", run_find},
        {"import-list", "store a FILES.BBS or INDEX file list as a new medium", run_import_list},
        {"export",
         "write or print a file list, tree, CSV or dBase table or media list (see README)",
         run_export},
        {"info", "what a scan stores as the information of each FILE (--json: with its fields)",
         run_info},
        {"thumbnail", "write the stored thumbnail of PATH in catalogue N to --output FILE (a JPEG)",
         run_thumbnail},
    };
    return table;
}

const Command* find_command(const std::string& name) {
    for (const auto& c : commands()) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

}  // namespace orbisto::app
