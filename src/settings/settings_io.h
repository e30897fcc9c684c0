// Reading and writing the settings file (ctx.paths.settings_file), the
// kill-file list and the list of other settings files.
//
// At start the groups are read in this order: read_options, read_start_state,
// (the categories), read_output, read_search, read_kill_files,
// list_settings_files. Missing files and keys give the defaults silently.
//
// Every writer changes its group in memory and replaces the file once,
// atomically. When the file cannot be written and ShowProtect is 1, the writer
// shows "<path> schreibgeschützt?" (caption "Fehler!") once and leaves the
// file unchanged; with ShowProtect 0 it fails silently. Writers return false
// when the file was not written.
#pragma once

#include <functional>
#include <string>

#include "settings/frontend.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace orbisto {

struct Environment;

// Sections of the settings file used by more than one module.
inline constexpr const char* kSectionOptions = "Optionen";
inline constexpr const char* kSectionMainWindow = "Orbisto";

// Section "Optionen" (the option group), "freeDB" and "Packer". A stored
// DataPfad becomes the CatalogDirectory unless /dir was given. Switches the
// log on or off by LogFile.
void read_options(Environment& ctx);
// The start and display state, the column widths, "Font" and "freeDB". With
// Reload 0 the remembered catalogue and category become 0.
void read_start_state(Environment& ctx);
void read_output(Environment& ctx);
// Section "Suche"; the date fields default to today's local date.
void read_search(Environment& ctx);
// The kill-file list: one name per line, '#' lines and empty lines ignored,
// at most kMaxKillFiles names of up to kMaxKillFileName characters.
void read_kill_files(Environment& ctx);
// The other *.INI files of the program directory (not the settings file, not
// directories), sorted by name, at most kMaxSettingsFiles.
void list_settings_files(Environment& ctx);

// A stored window placement; a ShowCmd of 6 or 2 (minimised) becomes 5.
WindowPlacement read_placement(Environment& ctx, const std::string& section);
// A dialog position (keys X and Y); missing values are 10.
DialogPos read_dialog_pos(Environment& ctx, const std::string& section);

// The option group with "freeDB" (at shutdown and after the options dialog).
bool write_options(Environment& ctx);
// The start and display state, the column widths of both layouts, "Font"
// and AllesAnzeigen 0 (when the main window closes).
bool write_start_state(Environment& ctx);
bool write_output(Environment& ctx);
bool write_search(Environment& ctx);
// The bottom edge is written under the key "unten".
bool write_placement(Environment& ctx, const std::string& section, const WindowPlacement& values);
bool write_dialog_pos(Environment& ctx, const std::string& section, DialogPos pos);

// Appends a name to the kill file and to the list in memory (the list stops
// growing at kMaxKillFiles). Names that one line cannot hold (empty, line
// breaks, a leading '#', longer than kMaxKillFileName) are refused: false.
bool append_kill_file(Environment& ctx, const std::string& name);

// The writer frame shared by every group of every INI file: loads path,
// lets fill change the group and writes the file once. Applies the
// read-only rule above with path as the text of the warning. A file that
// exists but cannot be read is never replaced.
bool write_profile_group(Environment& ctx, const std::string& path,
                         const std::function<void(IniFile&)>& fill);

}  // namespace orbisto
