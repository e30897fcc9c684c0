// The interface language of a run: the settings file's `language` key, and
// when the file has none, the locale the user runs under.
#pragma once

#include <string>

#include "settings/paths.h"
#include "settings/settings.h"

namespace orbisto {

// The language the locale asks for: the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty decides; German when it starts with "de",
// else English (whether or not that locale is installed).
Language language_from_locale(const EnvLookup& env);

// Whether the settings file chooses the language (its `language` key).
bool settings_choose_language(const std::string& settings_file);

// The interface language before the settings are read: the file's key, else
// the locale.
Language interface_language(const std::string& settings_file, const EnvLookup& env);

}  // namespace orbisto
