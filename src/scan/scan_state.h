// The state of the scanner, one per Context: the flags and counters of the
// scan that runs, the measurements of the medium, the newest-file and MP3
// statistics, and the copy of the old Catalog during an update.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/records.h"
#include "fileinfo/file_info.h"

namespace orbisto {

class Volumes;
class LongOperation;
class InfoPrefetch;
struct OldCatalogIndex;
struct WalkHooks;

// MP3 totals of a directory and everything below it.
struct Mp3Totals {
    std::uint32_t count = 0;
    std::uint64_t seconds = 0;
    std::uint64_t bitrate_sum = 0;  // kbit/s, summed over the files
    void add(const Mp3Totals& o) {
        count += o.count;
        seconds += o.seconds;
        bitrate_sum += o.bitrate_sum;
    }
};

// Which work area could not take more during the walk (the limit messages
// after the scan report them).

// What a walk left out of the medium: directories it could not read,
// directories nested too deep to enter, and directories whose rest was
// dropped when a work area ran full. The first kNamed are kept by path (in
// the order met); `count` counts them all.
enum class OmissionReason : std::uint8_t {
    Unreadable,  // `error` holds the errno of the failed open or listing
    TooDeep,
    LimitHit,  // the limit is the one named by ScanLimitsHit
};

struct ScanOmission {
    std::string path;
    OmissionReason reason = OmissionReason::Unreadable;
    int error = 0;
};

struct ScanOmissions {
    static constexpr std::size_t kNamed = 20;
    std::vector<ScanOmission> named;
    std::uint64_t count = 0;

    void add(std::string path, OmissionReason reason, int error = 0) {
        ++count;
        if (named.size() < kNamed) named.push_back({std::move(path), reason, error});
    }
    bool any() const { return count > 0; }
};

// What a progress display shows of a walk.
struct WalkProgress {
    std::uint64_t dirs = 0;
    std::uint64_t files = 0;
    double bytes = 0;        // of the medium's files, read or passed so far
    double total_bytes = 0;  // the medium's used space; 0 when not known (a folder)
    std::int64_t elapsed_ms = 0;
    std::string_view dir;   // the directory of the file at hand
    std::string_view name;  // the file at hand
};

struct ScanState {
    ScanState();
    ~ScanState();
    ScanState(const ScanState&) = delete;
    ScanState& operator=(const ScanState&) = delete;

    // The drive table. The program and tests install theirs; when none is
    // installed, volumes() makes the system's on first use.
    Volumes* installed_volumes = nullptr;
    Volumes& volumes();

    bool scanning = false;     // a scan runs (the main window refuses new commands)
    bool update_mode = false;  // the loaded medium is updated instead of a new one made
    int selected_drive = 0;    // drive index chosen in the drive dialog

    // Millisecond ticks (steady clock) of the walk.
    std::int64_t start_ms = 0;
    std::int64_t end_ms = 0;
    std::int64_t last_shown_second = -1;
    std::uint64_t progress_counter = 0;

    // Bytes of the files walked on the medium itself, and the medium's used
    // space (total minus free); used > 0 always.
    double bytes_scanned = 0;
    double bytes_used = 1e6;
    double total_kb = 0;  // sum of size_kb of all FileRecords made

    // The medium being scanned: its drive root, label, serial and type as
    // PrepareMedium read them.
    std::string root;
    std::string volume_label;
    std::uint32_t volume_serial = 0;
    int drive_type = 0;

    // The newest file of the medium (cleared at the start of every scan).
    FileTime newest_time{};
    std::string newest_name;

    // MP3 totals of the whole medium (filled by the walk of the root).
    Mp3Totals mp3;

    // The read buffer of the CRC computation, kept for the whole scan.
    std::vector<unsigned char> crc_buffer;

    // What the file-information readers keep from one file to the next (the
    // multimedia service, the tag buffer), for the whole run.
    FileInfoSession file_info;
    // The workers that read pictures ahead of the walk; set while a walk
    // with thumbnails runs on a machine of more than one core, else null.
    InfoPrefetch* prefetch = nullptr;

    // What the walk left out (cleared at the start of every scan).
    ScanOmissions omissions;

    // A new scan of a folder that is catalogued already (same path, label
    // and serial): that catalogue's number; -1 otherwise.
    int catalogued_as = -1;

    // Called with the walk's progress, at most every kWalkProgressMs and
    // while a large file's checksum is computed; unset: nothing is shown.
    std::function<void(const WalkProgress&)> on_progress;
    std::int64_t last_progress_ms = 0;
    // The medium is a whole file system, so its used space is the total the
    // walk will pass; a folder of one has no known total.
    bool total_known = false;

    // The copy of the Catalog taken by PrepareUpdate before an update scan;
    // null otherwise. The update lookups search it; EndUpdateScan puts its
    // medium texts back and frees it.
    std::unique_ptr<Catalog> old;
    std::unique_ptr<OldCatalogIndex> old_index;

    // The progress frame opened by BeginScan and closed by EndScan.
    std::unique_ptr<LongOperation> frame;

    // Tests put stand-ins for the walk's archive and file-information calls
    // here (walk_hooks.h); null in the program.
    WalkHooks* walk_hooks = nullptr;

  private:
    std::unique_ptr<Volumes> own_volumes_;
};

}  // namespace orbisto
