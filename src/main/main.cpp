// Process entry: the command line decides between help, a headless command,
// a non-interactive run mode and the interactive window. Headless work never
// needs a display; it creates a Qt application (on the offscreen platform)
// only to print.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_help.h"
#include "app/commands.h"
#include "app/console_frontend.h"
#include "app/desktop_integration.h"
#include "app/exit_codes.h"
#include "app/export_command.h"
#include "app/scan_run.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/category_file.h"
#include "session/context.h"
#include "session/startup.h"
#include "settings/command_line.h"
#include "settings/interface_language.h"
#include "settings/lang.h"

#if ORBISTO_WITH_GUI
#include "gui/gui_run.h"
#include "gui/qt_print_device.h"
#endif

using namespace orbisto;

namespace {

int run_mode(Context& ctx) {
    const RunMode mode = ctx.command_line.run_mode;
    if (mode == RunMode::ScanNew || mode == RunMode::Update) return app::run_scan_mode(ctx);
    if (mode == RunMode::Export) return app::run_export_mode(ctx);
    std::fprintf(stderr, "%s",
                 ctx.tr("orbisto: das Fenster gibt es in diesem Build nicht; nichts wurde getan.\n",
                        "orbisto: the interactive window is not available in this build yet; "
                        "nothing was done.\n"));
    return app::kExitNotAvailable;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine cl = parse_command_line(args);
    const EnvLookup env = [](const char* name) { return std::getenv(name); };
    // The language of what is said before the settings are read: the
    // settings file's, else the locale's.
    const bool english =
        interface_language(derive_paths(executable_path(argv[0]), env).settings_file, env) ==
        Language::English;
    const app::Command* command = cl.command.empty() ? nullptr : app::find_command(cl.command);
    if (!cl.command.empty() && !command) {
        std::fprintf(stderr,
                     tr(english, "orbisto: unbekannter Befehl '%s'\nHilfe: 'orbisto --help'.\n",
                        "orbisto: unknown command '%s'\nTry 'orbisto --help'.\n"),
                     cl.command.c_str());
        return app::kExitUsage;
    }
    if (cl.long_help && command) {
        const std::string text = app::command_help(command->name, english);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }

    if (cl.help) {
        std::string text = help_text();
        if (cl.long_help) {
            text += long_help_text();
            text += "Headless commands:\n";
            for (const auto& c : app::commands()) {
                char line[160];
                std::snprintf(line, sizeof line, "  %-16s  %s\n", c.name, c.summary);
                text += line;
            }
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("%s\n", window_title().c_str());
        return 0;
    }
    if (!cl.error.empty()) {
        std::fprintf(stderr,
                     tr(english, "orbisto: %s\nHilfe: 'orbisto --help'.\n",
                        "orbisto: %s\nTry 'orbisto --help'.\n"),
                     (english || cl.error_de.empty() ? cl.error : cl.error_de).c_str());
        return app::kExitUsage;
    }

#if ORBISTO_WITH_GUI
    if (!command && is_interactive(cl.run_mode)) {
        if (!gui::display_available()) {
            std::fprintf(stderr, "%s",
                         tr(english,
                            "orbisto: keine Anzeige: das Fenster braucht eine X11- oder "
                            "Wayland-Anzeige (DISPLAY oder WAYLAND_DISPLAY); ohne Fenster gehen "
                            "die Befehle, siehe --help\n",
                            "orbisto: no display: the window needs an X11 or Wayland display "
                            "(DISPLAY or WAYLAND_DISPLAY); use a headless command, see --help\n"));
            return app::kExitFailure;
        }
        const std::string exe = executable_path(argv[0]);
        return gui::run_window(argc, argv, cl, exe, [&exe](Environment& env) {
            // The desktop entries follow the four settings at every start;
            // what could not be done is logged, the start goes on.
            const auto result = app::refresh_desktop_integration(
                env, exe, [](const char* name) { return std::getenv(name); });
            for (const std::string& f : result.failures)
                env.log.always("desktop integration: " + f + "\r\n");
        });
    }
#endif

    // A command reads (or adds to) the catalogues of an existing directory;
    // one that is not there is a mistyped path, not a place to create.
    if (command && cl.dir_given) {
        if (const int problem = app::catalogue_directory_problem(cl.dir, false)) {
            std::fprintf(stderr, "orbisto: %s %s: %s\n",
                         tr(english, "Katalogverzeichnis", "catalogue directory"), cl.dir.c_str(),
                         std::strerror(problem));
            return app::kExitFailure;
        }
    }
#if ORBISTO_WITH_GUI
    // Printing needs Qt: made only when a run prints.
    gui::HeadlessPrinting printing(argc, argv);
#endif
    ConsoleFrontend frontend;
    // A scan draws its own progress line.
    frontend.set_percent_shown(!command && cl.run_mode != RunMode::ScanNew &&
                               cl.run_mode != RunMode::Update);
    Context ctx(frontend);
#if ORBISTO_WITH_GUI
    ctx.print_devices = printing.factory();
#endif
    frontend.set_english(english);
    const bool started = start_up(ctx, cl, executable_path(argv[0]), env);
    frontend.set_english(ctx.english());
    if (!started) {
        shut_down(ctx);
        return app::kExitFailure;
    }
    const int status = command ? command->run(ctx, cl.command_args) : run_mode(ctx);
    shut_down(ctx);
    return status;
}
