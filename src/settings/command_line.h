// The command line: run mode and the values kept for later (label override,
// info text, CatalogDirectory, /hide). Both the classic syntax (/drive"PATH",
// found anywhere at the start of a word, first occurrence wins) and GNU long
// options (--drive PATH, --drive=PATH) are understood.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace orbisto {

enum class RunMode : int {
    Interactive = 0,
    InteractiveDir = 1,
    ScanNew = 2,          // /drive
    Update = 3,           // /update
    Search = 4,           // /search
    SearchCategory = 44,  // /ssearch
    Look = 5,             // /look
    LookCategory = 55,    // /slook
    Export = 6,           // /export
};

bool is_interactive(RunMode mode);

struct CommandLine {
    RunMode run_mode = RunMode::Interactive;
    std::string run_argument;  // path of /drive and /update (30 characters), text of /search
    bool help = false;         // /help or --help
    bool long_help = false;    // --help: the help text plus the long options
    bool version = false;      // --version
    bool label_given = false;
    std::string label;  // /label, up to 30 characters
    bool info_given = false;
    std::string info;  // /info, up to 254 characters
    bool dir_given = false;
    std::string dir;    // /dir, up to 258 characters
    bool hide = false;  // /hide
    bool force = false;  // --force: --export may replace an existing file
    bool progress = false;  // --progress: a scan's progress also when stderr is no terminal
    // A headless query command ("media", "categories", ...) and its words.
    std::string command;
    std::vector<std::string> command_args;
    // A usage error (unknown option, missing argument) in English and in
    // German; empty when none.
    std::string error;
    std::string error_de;
};

// Capacities of the kept values, in bytes (texts are UTF-8; a cut never splits
// a character). The label and the info text go into catalogue fields, so they
// are counted as those store them: in characters when the text is
// Windows-1252, else in UTF-8 bytes.
inline constexpr size_t kLabelCapacity = 30;
inline constexpr size_t kInfoCapacity = 254;
inline constexpr size_t kDirCapacity = 258;
inline constexpr size_t kDriveCapacity = 30;
inline constexpr size_t kSearchCapacity = 258;

CommandLine parse_command_line(const std::vector<std::string>& args);

// The help text of /help, byte for byte.
std::string help_text();
// The long options and headless commands, shown after the help text by --help.
std::string long_help_text();

}  // namespace orbisto
