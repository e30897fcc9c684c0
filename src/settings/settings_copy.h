// "Save configuration as": the settings file copied to a file the user
// chose, with the overwrite question and the copy error of the window.
#pragma once

#include <string>

namespace orbisto {

struct Environment;

// Copies the settings file to target. An existing target is replaced only
// after " Datei vorhanden. Überschreiben? " (caption " Fehler ", Yes/No); a
// failed read or write shows "Fehler beim Kopieren:%d" with the system error
// number (caption "Fehler!") and leaves the target as it was. The copy is
// written atomically. True when it was written.
bool SaveSettingsAs(Environment& ctx, const std::string& target);

}  // namespace orbisto
