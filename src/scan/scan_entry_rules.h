// Decisions the walk takes from an entry's name and the settings: which
// entries are archives, the kill-file rule, extension lists, and the MP3
// summary comment of a directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_listing.h"
#include "scan/scan_state.h"
#include "settings/settings.h"
#include "text/name_rules.h"

namespace orbisto {

// The name as the catalogue records it: UTF-8 as it stands, anything else
// read as Windows-1252 (converted into scratch).
std::string_view recorded_name(std::string_view raw, std::string& scratch);

// Any of the settings for description files inside a directory is on
// (FILE_ID.DIZ, ETX, Selbst1..5).
bool any_description_setting(const Options& o);

// Expansion mode 2056: the name ends with one of the archive extensions
// (".ZIP", ".7z", ... ".ZOO") or its extension is in the user's own_extensions list.
bool is_expandable_archive(std::string_view name, std::string_view own_ext);

// Expansion mode 2055: the name ends with one of the archive extensions;
// ".EXE" only when `exe` is on.
bool may_hold_description(std::string_view name, bool exe);

// True when an entry of the directory has a name of the kill-file list.
bool lists_kill_file(const std::vector<ListedEntry>& entries,
                     const std::vector<std::string>& kill_files);

// "MP3-Anzahl:%d Länge:%2d:%02d:%02d Bitrate:%d KBit" for a directory's MP3
// totals (count > 0).
std::string mp3_summary_comment(const Mp3Totals& mp3);

}  // namespace orbisto
