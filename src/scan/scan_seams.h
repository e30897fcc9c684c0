// The points where the walk hands an entry to the description readers, the
// archive handling and the file-information layer. The description readers
// live in description_lists.cpp, description_files.cpp and
// package_readers.cpp, the archive handling in archive_expand.cpp and
// packer_process.cpp; CollectFileInfo (scan_seams.cpp) finds nothing until
// the file-information layer fills it in.
//
// Comment offsets are passed as `std::uint32_t& comment` (the `comment`
// field of the record being made): a function that finds a text appends it
// to ctx.catalog's CommentPool and sets the offset; otherwise it leaves it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_state.h"
#include "startup/context.h"

namespace orbisto {

struct ListedEntry;

// The per-directory list file (DESCRIPT.ION, FILES.BBS, WILDCAT.TXT,
// 00_INDEX.TXT) of one directory, read once and searched in memory. Both
// texts are UTF-8 of the same length; `upper` is `text` folded with
// upper_german, so lookups need not fold the list again.
struct DirectoryList {
    std::string text;
    std::string upper;
};

// Reads the first list file found in `dir`; nothing when there is none.
std::optional<DirectoryList> LoadDirectoryList(Context& ctx, const std::string& dir);
// The same for a directory the walk has listed already, so that it is not
// read twice.
std::optional<DirectoryList> LoadDirectoryList(Context& ctx, const std::string& dir,
                                               const std::vector<ListedEntry>& listing);
// Sets `comment` from the list's line for `name`, if it has one.
void LookupListComment(Context& ctx, const DirectoryList& list, std::string_view name,
                       std::uint32_t& comment);

// True when `name` is a description file under the settings (FILE_ID.DIZ,
// *.ETX, the user's patterns).
bool IsDescriptionFile(const Context& ctx, std::string_view name);
// The description file's own text becomes its comment. False when the file
// cannot be opened (the walk then makes no record for it).
bool ReadDescriptionFileInto(Context& ctx, std::uint32_t& comment, const std::string& path);
// The description lines of a Linux Software Map entry.
void ReadLsmComment(Context& ctx, std::uint32_t& comment, const std::string& path);
// The description of an RPM package. False when the package cannot be opened
// (no record is made).
bool ReadRpmComment(Context& ctx, std::uint32_t& comment, const std::string& path);
// The comment of a file named INDEX, read from the INDEX file of `dir`.
void ReadIndexComment(Context& ctx, std::uint32_t& comment, const std::string& dir);
// The text the user's info command left in the work directory.
void ReadInfoFile(Context& ctx, std::uint32_t& comment);
// A description file inside the subdirectory `dir` becomes its comment.
void ReadDirectoryDescription(Context& ctx, std::uint32_t& comment, const std::string& dir);

// The conversion applied to a comment taken over from the old Catalog
// during an update (DOS umlauts when the Umlaut setting is on).
std::string ConvertTakenOverComment(const Context& ctx, std::string_view text);

// Expansion mode 2055: extracts only FILE_ID.DIZ / TOP_ID.DIZ from the
// archive `name` in `dir` into `comment`. Returns true when a packer program
// ran for it (the file then gets no CRC).
bool ExtractDescriptionFromArchive(Context& ctx, const std::string& dir, std::string_view name,
                                   std::uint32_t& comment);

enum class ArchiveExpansion {
    NoCommand,       // no packer handles it: recorded as a plain file
    Expanded,        // it became a directory record with its contents walked
    NothingCameOut,  // a packer ran but produced no file: a plain file without CRC
};
// Expansion mode 2056: unpacks the archive `name` in `dir` into a work
// directory, appends its DirRecord below `parent_index` and walks the tree
// one archive level deeper; `mp3` receives the totals the walk passed up.
ArchiveExpansion ExpandArchive(Context& ctx, const std::string& dir, std::string_view name,
                               std::uint32_t parent_index, int archive_depth, Mp3Totals& mp3);

enum class UserCommand { Own, Info, Dir };
enum class CommandRun { Finished, TimedOut, NotStarted };
// Runs the user's OwnCmd, InfoCmd or DirCmd for `path`.
CommandRun RunUserCommand(Context& ctx, UserCommand kind, const std::string& path);

// What the file-information layer found for one file.
struct FileInfoResult {
    std::string info_text;                // the new comment text
    std::uint32_t mp3_bitrate_kbps = 0;   // > 0 for an MP3 file
    std::uint32_t mp3_length_s = 0;       // its playing time
    std::vector<std::uint8_t> thumbnail;  // a picture for the ImagePool; empty = none
    void clear() {
        info_text.clear();
        mp3_bitrate_kbps = 0;
        mp3_length_s = 0;
        thumbnail.clear();
    }
};
// Extracts information from the file at `path` of `size_bytes` bytes into
// `result` (cleared by the caller). Returns non-zero when info_text holds a
// new text.
int CollectFileInfo(Context& ctx, const std::string& path, std::uint64_t size_bytes,
                    FileInfoResult& result);

// Stand-ins that tests install through ctx.scan.walk_hooks; an empty
// function leaves the call to the real one.
struct WalkHooks {
    std::function<ArchiveExpansion(const std::string& dir, std::string_view name)> expand_archive;
    std::function<int(const std::string& path, FileInfoResult& result)> collect_file_info;
};

}  // namespace orbisto
