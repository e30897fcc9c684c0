// The packer programs: which Linux program stands in for each packer the
// archive handling knows, whether it is installed (the start-up test), where
// it lives (the settings section "AppPaths" or $PATH), and the search the
// settings page offers for a program that was not found.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

struct ArchiveContext;

// The packers in the order of the start-up test.
enum class Packer {
    UNTGZ32,
    EXPANDER,
    EXE2CAB,
    I3COMP,
    I5COMP,
    I6COMP,
    ISCAB,
    ARJ,
    PKZIP,
    PKUNZIP,
    SEVENZ,  // 7Z
    UNZIP,
    LHA,
    LHA32,
    ZOO,
    UNACE,
    UNRAR,
    RAR,
    UC,
    EXTRACT,
    EXTRAC32,
};
inline constexpr std::size_t kPackerCount = 21;

// One row of the table: the packer's name and the Linux program doing its
// work ("" = none on this platform). `fallback` is tried when `program` is
// missing; it handles the same formats with the command line `fallback_line`.
struct PackerProgram {
    const char* name;
    const char* program;
    const char* fallback;
    const char* fallback_line;
};
const PackerProgram& packer_program(Packer p);

// Fixed command lines of the packers without a settings key; "%s" pairs
// are the target directory and the archive.
inline constexpr const char* kExpanderCommand = "unar -q -f -D -p zvmk %s";
inline constexpr const char* kUnshieldCommand = "unshield -d %s x %s";

// `pattern` with each "%s" replaced by the next of `args` (an "%s" past the
// last one becomes empty): the log lines and messages of the packers.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> args);

// The settings section holding registered program paths (key = program
// name, value = full path).
inline constexpr const char* kSectionAppPaths = "AppPaths";

// Looks `name` up and logs the result (always, whatever LogFile says):
// 2 registered in "AppPaths" with an existing executable file, 1 found on
// $PATH, 0 not found. A registered value naming no executable file is
// removed from the section.
int TestPacker(ArchiveContext& ctx, std::string_view name);
// The same result without logging or changes; `out_path` receives the
// program's full path when it is found.
int FindPacker(const ArchiveContext& ctx, std::string_view name, std::string* out_path = nullptr);

// Replaces the first word of a command line (up to the first blank, at most
// 200 characters) by its registered full path; other lines stay as they are.
std::string ResolveCommand(const ArchiveContext& ctx, std::string_view command);

// Tests every packer (with test_packers on) into ctx.packers.found,
// switches default command lines whose program is missing to the fallback
// program when that one is there, and shows "nicht alle Packer vorhanden"
// in the status line when any program is missing.
void TestAllPackers(ArchiveContext& ctx);
// Whether the packer's program may be used (always true when untested).
bool PackerAvailable(const ArchiveContext& ctx, Packer p);

// The program search of the settings page: the program directory, $PATH,
// then every directory below `roots` (the mount points of the drives to
// search; symbolic links are not followed). The path found is registered
// in "AppPaths"; the old entry is removed first. nullopt when nothing is found.
std::optional<std::string> LocatePacker(ArchiveContext& ctx, std::string_view name,
                                        const std::vector<std::string>& roots);

// The full path of an executable regular file named `name` in one of the
// directories of a $PATH-style list; "" when none.
std::string search_path_list(std::string_view name, std::string_view path_list);
// True for an existing regular file we may execute.
bool is_executable_file(const std::string& path);

}  // namespace orbisto
