#include "settings/settings_copy.h"

#include <cerrno>
#include <cstdio>

#include "platform/files.h"
#include "settings/environment.h"

namespace orbisto {

bool SaveSettingsAs(Environment& ctx, const std::string& target) {
    if (target.empty()) return false;
    if (file_exists(target)) {
        const Answer a = ctx.frontend.message(
            ctx.tr(" Datei vorhanden. Überschreiben? ", " file already exists. overwrite? "),
            ctx.tr(" Fehler ", " error "), Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes) return false;
    }
    errno = 0;
    // A program that never wrote its settings copies an empty file.
    std::optional<std::string> data = file_exists(ctx.paths.settings_file)
                                          ? read_file(ctx.paths.settings_file)
                                          : std::optional<std::string>(std::string());
    bool ok = data.has_value();
    if (ok) {
        errno = 0;
        ok = !is_directory(target) && write_file_atomic(target, *data);
    }
    if (!ok) {
        const int err = errno != 0 ? errno : EIO;
        char text[64];
        std::snprintf(text, sizeof text, ctx.tr("Fehler beim Kopieren:%d", "file error:%d"), err);
        ctx.frontend.message(text, ctx.tr("Fehler!", "error!"), Buttons::Ok, Icon::Stop);
    }
    return ok;
}

}  // namespace orbisto
