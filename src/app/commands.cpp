#include "app/commands.h"

#include "app/browse_commands.h"
#include "app/category_command.h"
#include "app/export_command.h"
#include "app/find_command.h"
#include "app/import_command.h"
#include "app/info_command.h"
#include "app/manage_commands.h"
#include "app/media_commands.h"
#include "app/thumbnail_command.h"
#include "app/verify_command.h"
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
        {"rename", "give medium MEDIUM (number or name) the name NAME", run_rename},
        {"rm", "delete the catalogues of media (asks on a terminal; --yes)", run_rm},
        {"category", "add, rm, mv or rename a category", run_category},
        {"assign", "put medium MEDIUM into category N (0: none)", run_assign},
        {"lend", "mark medium MEDIUM as lent --to NAME [--from D] [--until D]", run_lend},
        {"return", "mark medium MEDIUM as returned", run_return},
        {"pack", "store every catalogue compressed", run_pack},
        {"unpack", "store every catalogue uncompressed", run_unpack},
        {"reindex", "rebuild the fast-load index from the catalogue files", run_reindex},
        {"verify", "compare medium MEDIUM with the files on disk (PATH)", run_verify},
        {"check", "name the damaged catalogue files and why", run_check},
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
