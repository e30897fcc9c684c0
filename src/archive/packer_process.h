// Starting a packer or a user command without a shell: the command line is
// split into words before the paths are put in, so a file name is always
// exactly one argument whatever characters it holds. The process runs in
// its own process group with /dev/null as its standard handles, TMPDIR set
// to its work directory and, where the kernel offers Landlock, unable to
// write anywhere but below that directory; the wait keeps the user
// interface alive and ends the whole group on time-out or when the user
// aborts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

struct ArchiveContext;

enum class UserCommand { Own, Info, Dir };
enum class CommandRun { Finished, TimedOut, NotStarted };

// The words of a command line: separated by blanks (and tabs); double
// quotes group blanks into a word and are removed.
std::vector<std::string> SplitCommandWords(std::string_view command);

// The argument vector of a command line: the words of `command` with every
// "%s" replaced by the next entry of `args` (an "%s" past the last entry
// becomes empty). A replacement never splits or joins words.
std::vector<std::string> BuildCommandArgs(std::string_view command,
                                          const std::vector<std::string>& args);

// How the paths go into a packer's command line.
enum class ArgForm {
    Archive,         // "%s" = the archive
    TargetArchive,   // "%s %s" = the target directory, the archive
    ArchiveAndStem,  // "%s %s" = the archive, its name without extension
};
// The paths for a command line of that form.
std::vector<std::string> PackerArgs(ArgForm form, const std::string& target,
                                    const std::string& archive);

// A run that makes more new files and folders than this is ended as too
// large: far more than any real archive holds, and a tree that size would
// fill the catalogue anyway.
inline constexpr std::uint64_t kMaxUnpackedEntries = 2'000'000;

struct PackerCall {
    std::string command;            // the command line, "%s" for each entry of args
    std::vector<std::string> args;  // paths put into the command line
    std::string work_dir;           // the process's current directory
    // Log line before the start ("%s" = the command; written with LogFile).
    std::string log_label = "\r\nentpacken: %s\r\n";
    // Log line when the time-out or an abort ends the process ("%s" = the
    // command; written always).
    std::string kill_label = "entpacken: %s abgebrochen\r\n";
    std::string shown_path;  // shown in the status line with real_time; "" = none
    // How many bytes the run may add to the file system of work_dir; 0 = no
    // cap. A run that writes more, or that leaves less than a tenth of the
    // free space it found, is ended like a time-out, and no single file it
    // writes may grow past the cap.
    std::uint64_t max_output = 0;
    bool keep_std_handles = false;  // the program gets this process's handles, not /dev/null
    bool no_time_limit = false;     // time_out does not apply (an abort still ends it)
    // Writes only below work_dir (where the kernel can enforce it). Off for
    // the user's directory command, whose job is the directory it is given.
    bool confined = true;
};

struct PackerResult {
    CommandRun run = CommandRun::NotStarted;
    int exit_code = -1;      // with Finished: the exit status (128 + signal when killed by one)
    bool aborted = false;    // the user's abort request ended it (run is then TimedOut)
    bool too_large = false;  // it wrote more than max_output (run is then TimedOut)
};

// Runs the call and waits for it: in 100 ms steps with the frontend's
// message pump between; past time_out seconds, on an abort request or when
// it writes past max_output, the whole process group is killed. The
// program word is looked up in "AppPaths", then in $PATH.
PackerResult RunPacker(ArchiveContext& ctx, const PackerCall& call);

// Runs own_command, info_command or dir_command with "%s" = path in `work_dir`, with
// PackerCall::max_output = `max_output`.
PackerResult RunUserCommandIn(ArchiveContext& ctx, UserCommand kind, const std::string& path,
                              const std::string& work_dir, std::uint64_t max_output = 0);

// The name of the file the info command writes into the work directory.
inline constexpr const char* kInfoFileName = "ORBISTO.INFO";

// Runs the user's own_command, info_command or dir_command for `path`.
CommandRun RunUserCommand(ArchiveContext& ctx, UserCommand kind, const std::string& path);

}  // namespace orbisto
