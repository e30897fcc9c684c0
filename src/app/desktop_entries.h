// The texts of the desktop integration: the program's desktop entry and icon,
// and the folder, search and drive verbs in the three formats that file
// managers read:
//   applications/*.desktop         Desktop Entry files (menus, "Open With";
//                                  GNOME Files, Dolphin, Thunar, Nemo, Caja)
//   kio/servicemenus/*.desktop     KDE service menus (Dolphin, Konqueror)
//   file-manager/actions/*.desktop the file-manager actions format
//                                  (FileManager-Actions for Nautilus, Nemo and
//                                  Caja)
// Every generated file carries the key X-Orbisto-Generated (a comment in the
// icon), so a later start tells its own files from the user's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbisto::app {

// The four settings of the shell integration.
enum class ShellSetting { AppPath, FolderVerb, SearchVerb, DriveVerbs };

inline constexpr ShellSetting kShellSettings[] = {ShellSetting::AppPath, ShellSetting::FolderVerb,
                                                  ShellSetting::SearchVerb,
                                                  ShellSetting::DriveVerbs};

// The mark that every file written by the desktop integration carries.
inline constexpr std::string_view kGeneratedMark = "X-Orbisto-Generated";

struct DesktopFile {
    std::string relative_path;  // below the data directory, e.g. "applications/orbisto.desktop"
    std::string content;
    // KDE runs service menus from the user's own directories only when they
    // are executable.
    bool executable = false;
};

// One argument of an Exec key, quoted by the Desktop Entry rules when it
// holds a reserved character ('"', '`', '$' and '\' escaped inside the
// quotes) and with '%' doubled; the result still gets the escaping of a
// string value (escape_desktop_value) when it is written into a file.
std::string quote_exec_argument(std::string_view arg);

// A value of type string: '\' becomes "\\", a leading blank "\s" and the
// control characters newline, tab and carriage return their escapes.
std::string escape_desktop_value(std::string_view value);

// Why the program path cannot go into a desktop entry (not absolute, not
// UTF-8, a control character or '%'); empty when it can.
std::string unusable_program_path(std::string_view executable);

// The files that a setting writes for the program at executable (a path that
// unusable_program_path accepts), in a fixed order.
std::vector<DesktopFile> desktop_files_for(ShellSetting setting, std::string_view executable);

// The relative paths of the files a setting writes (the same as
// desktop_files_for's), for removing them when the setting is off.
std::vector<std::string> desktop_file_paths(ShellSetting setting);

// The program icon (SVG), as installed.
std::string_view program_icon_svg();

}  // namespace orbisto::app
