// The frame around every group writer of every INI file: load, change in
// memory, write once atomically, and the read-only warning.
//
// Declared in settings/settings_io.h
// (one header for every group of the settings file, one file per group).
#include <sys/stat.h>

#include <cerrno>

#include "platform/files.h"
#include "settings/environment.h"
#include "settings/settings_io.h"

namespace orbisto {

bool write_profile_group(Environment& ctx, const std::string& path,
                         const std::function<void(IniFile&)>& fill) {
    const bool warn = ctx.settings.options.warn_read_only;
    auto warning = [&] {
        // The text exists in German only; it is shown in both languages.
        ctx.frontend.message(path + " schreibgeschützt?", "Fehler!", Buttons::Ok, Icon::Stop);
    };

    // A first run may find the program directory not made yet.
    const std::string dir = dir_part(path);
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 && errno == ENOENT) make_directory(dir);

    std::optional<IniFile> ini = IniFile::load(path);
    const bool writable = ini && file_replaceable(path);
    if (!writable) {
        if (warn) {
            warning();
            return false;
        }
        // A file we could not read is never replaced: its content would be lost.
        if (!ini) return false;
    }
    fill(*ini);
    if (ini->save(path)) return true;
    // The file looked writable but the write failed (disk full, read-only
    // mount): reported the same way, once.
    if (writable && warn) warning();
    return false;
}

}  // namespace orbisto
