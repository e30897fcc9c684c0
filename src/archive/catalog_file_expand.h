// Unpacking a file of the catalogue on the user's request: the archive at
// `path` is unpacked by its packer program into a new directory below the
// copy directory (copy_path), where it stays for the user.
#pragma once

#include <string>

namespace orbisto {

struct ArchiveContext;

struct CatalogFileExpansion {
    std::string target;  // the directory the archive went to; "" when none was kept
    std::string error;   // "" on success, else a short text in the user's language
    int exit_code = -1;  // the packer's exit status when it ran to its end
    bool ok() const { return error.empty(); }
};

// Unpacks the archive at `path` into copy_path/<name without extension>.
// Only names containing one of ".ZIP", ".ARJ", ".CAB", ".A0", ".LHA", ".LZH",
// ".RAR", ".UC2", ".EXE", ".TAR", ".TGZ", ".GZ", ".Z" or ".ZOO" (in any case)
// are taken. The packer is chosen by the file's signature (for a program:
// the archive appended to it), by the name where the format has none the
// signature table knows (tar, gzip). When the directory exists already, its
// last character is replaced by ' ', '!', '"', … until a new one can be made.
// The packer runs there without a shell, with this process's standard
// handles and no time limit; an abort request still ends it, and so does
// filling the disk. A run that leaves nothing removes the directory again
// and reports an error.
CatalogFileExpansion ExpandCatalogFile(ArchiveContext& ctx, const std::string& path);

}  // namespace orbisto
