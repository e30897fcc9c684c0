// The desktop integration, refreshed at every interactive start from the four
// settings shell_app_path, shell_folder_verb, shell_search_verb and
// shell_drive_verbs: per user below $XDG_DATA_HOME (an absolute value, else
// ~/.local/share) the program's desktop entry and icon, and the folder,
// search and drive verbs as desktop entries and file-manager actions (the
// formats are listed in desktop_entries.h). A setting that is on writes its
// files, one that is off removes them.
//
// Only files that carry the generated mark count as ours: a file of the user
// at one of the paths (for instance a desktop entry installed with
// `cmake --install --prefix ~/.local`) is neither replaced nor removed, and a
// symbolic link at one of the paths is left as it is and never written
// through. Nothing is created, written or removed outside the data directory:
// a folder below it that is a symbolic link leading elsewhere is not used.
#pragma once

#include <string>
#include <vector>

#include "settings/paths.h"

namespace orbisto {
struct Environment;
}  // namespace orbisto

namespace orbisto::app {

struct DesktopIntegrationResult {
    std::string data_dir;               // where the files go; empty when there is none
    std::string ignored_data_home;      // a relative $XDG_DATA_HOME, ignored as the XDG rules say
    std::vector<std::string> written;   // files created or replaced (full paths)
    std::vector<std::string> removed;   // files removed because their setting is off
    std::vector<std::string> kept;      // "PATH: reason" for files left alone that are not ours
    std::vector<std::string> failures;  // "PATH: reason" for what could not be done
    bool ok() const { return failures.empty(); }
};

// The per-user data directory: $XDG_DATA_HOME when it is an absolute path
// (a relative value is to be ignored), else $HOME/.local/share; empty when
// neither gives an absolute path.
std::string user_data_dir(const EnvLookup& env_lookup);

// Writes and removes the files of the four settings for the program at
// executable (its absolute path). Writes a file only when its content
// differs, each atomically; never throws.
DesktopIntegrationResult refresh_desktop_integration(const Environment& env,
                                                     const std::string& executable,
                                                     const EnvLookup& env_lookup);

}  // namespace orbisto::app
