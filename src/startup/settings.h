// PLACEHOLDER: replaced by the settings module (all keys of the settings file).
#pragma once

#include <string>

namespace orbisto {

struct Options {
    int language = 0;
    int LogFile = 0;
    int ShowProtect = 1;
    int Minimize = 0;
    int Restore = 1;
    int Idle = 0;
    int NichtLoeschen = 0;
    int Reload = 1;
    std::string CopyPfad;
    std::string DataPfad;
};

struct Settings {
    Options options;
};

}  // namespace orbisto
