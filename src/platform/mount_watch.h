// Watching the mount table for arriving media. The kernel marks
// /proc/self/mountinfo with POLLPRI|POLLERR when something is mounted or
// unmounted; the watcher keeps the drive table it saw last and, after a
// notice, tells which drives have arrived and which have gone since then.
// The window hangs its event loop on fd() and calls refresh() when the
// descriptor signals; tests point the watcher at a file of their own.
#pragma once

#include <string>
#include <vector>

#include "platform/volumes.h"

namespace orbisto {

// What changed in the drive table between two looks.
struct MountChanges {
    // Drives mounted since the last look, with their index in the new
    // table (the index the medium commands take).
    std::vector<Drive> arrived;
    // Drives gone since the last look, as the old table had them.
    std::vector<Drive> removed;

    bool empty() const { return arrived.empty() && removed.empty(); }
    std::vector<int> arrived_indexes() const;
};

// The difference of two drive tables, drives matched by their root. A root
// that holds another medium than before (another device, file system,
// label or serial) counts as removed and arrived; a drive that merely moved
// to another index because others came or went is no change.
MountChanges diff_drives(const std::vector<Drive>& before, const std::vector<Drive>& after);

class MountWatch {
  public:
    // Opens the mount table for change notices and takes the drives there
    // now as seen, so media already present do not count as arrived.
    // volumes must read the same table and outlive the watcher.
    explicit MountWatch(Volumes& volumes, const std::string& mountinfo = "/proc/self/mountinfo");
    ~MountWatch();
    MountWatch(const MountWatch&) = delete;
    MountWatch& operator=(const MountWatch&) = delete;

    // The descriptor that signals a change with POLLPRI (for the event
    // loop: a notifier on exceptional conditions); -1 when the table could
    // not be opened, and then no change is ever signalled.
    int fd() const { return fd_; }

    // Waits up to timeout_ms (0: only look, -1: no limit) for a change
    // notice of the table. True when one came; the notice is used up, the
    // next call waits for the next change. A signal ends the wait (false).
    bool wait_for_change(int timeout_ms);

    // Reads the drive table again and returns what changed since the last
    // look (the construction or the previous refresh).
    MountChanges refresh();

  private:
    Volumes& volumes_;
    int fd_ = -1;
    std::vector<Drive> seen_;
};

}  // namespace orbisto
