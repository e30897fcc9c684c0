// What every layer above the settings sees of a run: the frontend, the
// program's paths, the command line, the settings, the log and the run's
// busy state. The layers above extend it with their own state (the catalogue
// layer with the Catalog, the media list and the categories, and so on up
// to the session's Context); a function takes the narrowest of these it
// needs.
#pragma once

#include <string>
#include <string_view>

#include "settings/command_line.h"
#include "settings/frontend.h"
#include "settings/lang.h"
#include "settings/log.h"
#include "settings/paths.h"
#include "settings/settings.h"

namespace orbisto {

struct Environment {
    explicit Environment(Frontend& fe) : frontend(fe) {}
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    Frontend& frontend;
    Paths paths;
    CommandLine command_line;
    Settings settings;
    Log log;

    bool busy = false;   // a long operation runs
    bool ready = false;  // the main window (or the headless driver) has finished its set-up
    bool idle_refusal_logged = false;  // why idle_priority cannot lower this process was logged

    bool english() const { return settings.options.language == Language::English; }
    const char* tr(const char* de, const char* en) const { return orbisto::tr(english(), de, en); }

    // The status-line helper: text to the first status-bar part, logged as
    // "status:%s\r\n" when logging is on.
    void status(std::string_view text);

  protected:
    ~Environment() = default;
};

// The title of the main window, "Orbisto %3.1f" of the version.
std::string window_title();

}  // namespace orbisto
