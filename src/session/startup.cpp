#include "session/startup.h"

#include <cstdio>
#include <new>

#include "catalog/catalog_context.h"
#include "catalog/category_file.h"
#include "platform/files.h"
#include "platform/leftovers.h"
#include "session/context.h"
#include "settings/environment.h"
#include "settings/interface_language.h"
#include "settings/settings_io.h"

namespace orbisto {
namespace {

std::string strip_trailing_slashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

}  // namespace

bool start_up(Context& ctx, const CommandLine& command_line, const std::string& executable,
              const EnvLookup& env) {
    ctx.ready = false;
    ctx.command_line = command_line;
    ctx.paths = derive_paths(executable, env);
    ctx.log.set_path(ctx.paths.log_file);
    ctx.log.remove_file();

    // The CatalogDirectory: the /dir argument (created one level deep), else
    // the default, which settings may replace below (that one is not created).
    make_directories(ctx.paths.program_dir);
    if (command_line.dir_given) {
        ctx.paths.catalog_dir = strip_trailing_slashes(command_line.dir);
        ensure_catalog_dir(ctx.paths, true);
    } else {
        ctx.paths.catalog_dir = ctx.paths.default_catalog_dir;
        ensure_catalog_dir(ctx.paths, false);
    }

    read_options(ctx);
    // A settings file without a language of its own leaves it to the locale.
    if (!settings_choose_language(ctx.paths.settings_file)) {
        ctx.settings.options.language = language_from_locale(env);
    }
    read_start_state(ctx);
    ReadCategories(ctx);
    read_output(ctx);
    read_search(ctx);
    read_kill_files(ctx);
    list_settings_files(ctx);

    // Temporary files that runs killed half-way through a save left behind;
    // the catalogues themselves were never touched by them.
    remove_dead_temp_files(ctx.paths.catalog_dir);
    remove_dead_temp_files(ctx.paths.program_dir);

    const auto& o = ctx.settings.options;
    make_temp_dir(ctx.paths, env, o.keep_expanded_files ? o.copy_path : std::string());

    // Work areas with their start capacities.
    try {
        ctx.limits = WorkLimits{};
        ctx.catalog.reserve(ctx.limits);
        ctx.catalog.reset(ctx.english());
    } catch (const std::bad_alloc&) {
        ctx.frontend.message(ctx.tr(" Nicht genug Speicher ", " not enough memory "),
                             ctx.tr(" Fehler ", " error "), Buttons::Ok, Icon::Stop);
        return false;
    }
    return true;
}

void shut_down(Context& ctx) {
    remove_temp_dir(ctx.paths);
}

}  // namespace orbisto
