// The program's own file names. The program directory is $ORBISTO_HOME when
// set (a fully self-contained run), else the executable's directory when the
// settings file lies there (portable mode), else $XDG_CONFIG_HOME/orbisto/.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/leftovers.h"

namespace orbisto {

struct Paths {
    std::string program_dir;    // with trailing '/'
    std::string base_name;      // the executable's base name, e.g. "orbisto"
    std::string settings_file;  // program_dir + base_name + ".INI"
    std::string log_file;       // ... ".LOG"
    std::string playlist_file;  // ... ".M3U"
    std::string help_file;      // ... ".CHM" (help pages ship beside the program)
    std::string kill_file;      // program_dir + "KILLFILE.LST"
    std::string logo_file;      // program_dir + "LOGO.PNG"
    std::string catalog_dir;    // CatalogDirectory, without trailing '/'
    std::string
        default_catalog_dir;  // used when neither /dir nor the stored catalogue directory gives one
    std::string temp_dir;     // private work directory, without trailing '/'
    bool temp_is_private = false;  // made by us with mkdtemp, removed at exit
    // Held on the private work directory while we live: a later run removes
    // the directory only when this lock is free and our process id is gone.
    std::shared_ptr<FileLock> temp_lock;
    bool portable = false;  // ORBISTO_HOME or settings file beside the executable
};

using EnvLookup = std::function<const char*(const char*)>;

// Derives the paths from the executable's path and the environment. Existing
// files are looked up case-insensitively (files copied from Windows keep
// their spelling). Creates nothing.
Paths derive_paths(const std::string& executable, const EnvLookup& env);

// The executable's own path (/proc/self/exe), falling back to argv0.
std::string executable_path(const char* argv0);

// Makes the CatalogDirectory exist: a /dir argument one level only, the
// default location with its parents. Failure is not reported here.
void ensure_catalog_dir(const Paths& paths, bool from_command_line);

// Creates the private work directory below $TMPDIR (or /tmp) with mkdtemp,
// named after our process id and locked while we run; work directories that
// dead runs of ours left there are removed first. With keep_dir non-empty
// (keep_expanded_files) that directory is used instead and never removed.
// Returns false when none could be made.
bool make_temp_dir(Paths& paths, const EnvLookup& env, const std::string& keep_dir);

// Removes the private work directory made by make_temp_dir.
void remove_temp_dir(Paths& paths);

}  // namespace orbisto
