#include "scan/scan_seams.h"

namespace orbisto {

// Filled by the description-file reader: DESCRIPT.ION, FILES.BBS, ...
std::optional<DirectoryList> LoadDirectoryList(Context&, const std::string&) {
    return std::nullopt;
}

// Filled by the description-file reader: the list line of a name.
void LookupListComment(Context&, const DirectoryList&, std::string_view, std::uint32_t&) {}

// Filled by the description-file reader: FILE_ID.DIZ, *.ETX, Selbst patterns.
bool IsDescriptionFile(const Context&, std::string_view) {
    return false;
}

// Filled by the description-file reader. Reports "opened" so that nothing is
// left out while no reader exists.
bool ReadDescriptionFileInto(Context&, std::uint32_t&, const std::string&) {
    return true;
}

// Filled by the description-file reader: the Desc1..Desc5 lines.
void ReadLsmComment(Context&, std::uint32_t&, const std::string&) {}

// Filled by the description-file reader: the package header's description.
// Reports "opened" so that no package is left out while no reader exists.
bool ReadRpmComment(Context&, std::uint32_t&, const std::string&) {
    return true;
}

// Filled by the description-file reader: the INDEX file's entry.
void ReadIndexComment(Context&, std::uint32_t&, const std::string&) {}

// Filled by the description-file reader: ORBISTO.INFO in the work directory.
void ReadInfoFile(Context&, std::uint32_t&) {}

// Filled by the description-file reader: FILE_ID.DIZ etc. inside a folder.
void ReadDirectoryDescription(Context&, std::uint32_t&, const std::string&) {}

// Filled by the description-file reader with its DOS-umlaut conversion.
std::string ConvertTakenOverComment(const Context&, std::string_view text) {
    return std::string(text);
}

// Filled by the archive handling: runs a packer for the description only.
bool ExtractDescriptionFromArchive(Context&, const std::string&, std::string_view, std::uint32_t&) {
    return false;
}

// Filled by the archive handling: runs the packer and walks what it made.
ArchiveExpansion ExpandArchive(Context&, const std::string&, std::string_view, std::uint32_t, int,
                               Mp3Totals&) {
    return ArchiveExpansion::NoCommand;
}

// Filled by the archive handling: starts the user's command and waits for it.
CommandRun RunUserCommand(Context&, UserCommand, const std::string&) {
    return CommandRun::NotStarted;
}

// Filled by the file-information layer: the extractor dispatch.
int CollectFileInfo(Context&, const std::string&, std::uint64_t, FileInfoResult&) {
    return 0;
}

}  // namespace orbisto
