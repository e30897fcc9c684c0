// Catalogue files on disk: reading one whole (a compressed one unpacked in
// memory), writing one atomically, and choosing the number of a new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/leftovers.h"

namespace orbisto {

struct CatalogContext;

enum class FileReadStatus {
    Ok,
    NotFound,
    CannotOpen,
    VersionError,  // too short for a version word, or an unbelievable packed size
    ExpandFailed,  // a damaged compressed file
    OutOfMemory,
};

// A catalogue file as its readers see it.
struct CatalogFileBytes {
    std::string raw;                     // the file as read
    std::vector<std::uint8_t> unpacked;  // the member 00.CD of a compressed file
    bool compressed = false;

    std::span<const std::uint8_t> data() const {
        if (compressed) return unpacked;
        return {reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()};
    }
};

// Reads a catalogue file in one read. With max_bytes below the file's size
// only that much is read of a plain file, and only that much unpacked of a
// compressed one (which is always read whole).
FileReadStatus read_catalog_file(const std::string& path, std::size_t max_bytes,
                                 CatalogFileBytes& out);

// Writes the bytes of a version 3 file to path through a temporary file and
// a rename, as a ZIP archive when compress is set. On failure path is left as
// it was. May throw std::bad_alloc.
bool write_catalog_file(const std::string& path, std::span<const std::uint8_t> bytes,
                        bool compress);

// Claims the lowest free catalogue number by creating its file exclusively
// as a placeholder naming this process, locked by claim until the save has
// replaced it. The placeholder of a process that died before its save is
// taken back, so its number is not lost. Shows " Zugriff verweigert " for numbers
// whose existence cannot be checked, " Kann Datei nicht anlegen " when the
// file cannot be created and " Zuviele Dateien " past the media limit;
// returns -1 then.
int claim_catalog_number(CatalogContext& ctx, FileLock& claim);

}  // namespace orbisto
