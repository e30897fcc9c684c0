// Comparing a catalogued medium with the medium on disk: which entries are
// missing, which are new, and which differ in size, date or, where the
// catalogue holds a CRC, in their contents. The disk is read the way a scan
// reads it (one listing per directory, links never followed, folders on
// other file systems not entered, names as the catalogue records them).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orbisto {

class Catalog;
class Frontend;

enum class VerifyKind {
    Missing,     // catalogued, not on disk
    New,         // on disk, not catalogued
    Size,        // a file's size differs
    Date,        // a file's date differs
    Content,     // the CRC of a file of equal size differs from the stored one
    Unreadable,  // a folder could not be listed, or a file read for its CRC
};

struct VerifyFinding {
    VerifyKind kind;
    // Below the compared folder, '/'-separated; a folder ends with '/'.
    std::string path;
    int error = 0;  // errno of an Unreadable finding, when known
};

struct VerifyProgress {
    std::uint64_t entries = 0;    // disk entries compared so far
    std::uint64_t crc_bytes = 0;  // bytes read for CRCs so far
    std::string_view path;        // the folder being compared
};

struct VerifyResult {
    std::uint64_t entries = 0;
    std::uint64_t differences = 0;
    bool aborted = false;  // the frontend's abort flag stopped the comparison
};

// Sizes count as equal within one step of the stored 32-bit KB value (exact
// below 8 MiB, 128 bytes at 1 GiB); dates within this many 100 ns units
// (two seconds: the steps of FAT write times).
inline constexpr std::uint64_t kVerifyDateTolerance = 20000000;

// Compares the directory `dir` of cat (and everything below it) with the
// folder `path`. Each difference goes to `found` as it is seen, in name
// order within each folder; `progress` (may be empty) is told after every
// folder and every CRC step. The CRCs are read through the frontend, whose
// abort flag ends the comparison.
VerifyResult verify_medium(Frontend& frontend, const Catalog& cat, std::uint32_t dir,
                           const std::string& path,
                           const std::function<void(const VerifyFinding&)>& found,
                           const std::function<void(const VerifyProgress&)>& progress);

// Which directory of cat stands for the scanned folder, and where that
// folder was: a folder scanned on its own hangs below the root as one
// record named by its path (or by its path below its file system's root,
// with the medium name holding the whole path). A whole medium walked from
// its root has no known place (empty path, directory 0).
struct VerifyStart {
    std::uint32_t dir = 0;
    std::string path;  // empty when the catalogue does not know it
};
VerifyStart verify_start(const Catalog& cat, std::string_view given_path);

}  // namespace orbisto
