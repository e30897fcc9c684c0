#include "platform/mount_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <map>

namespace orbisto {

namespace {

// Whether two drives at one root hold the same medium.
bool same_medium(const Drive& a, const Drive& b) {
    return a.device == b.device && a.fs_type == b.fs_type && a.label == b.label &&
           a.has_serial == b.has_serial && (!a.has_serial || a.serial == b.serial);
}

}  // namespace

std::vector<int> MountChanges::arrived_indexes() const {
    std::vector<int> out;
    out.reserve(arrived.size());
    for (const Drive& d : arrived) out.push_back(d.index);
    return out;
}

MountChanges diff_drives(const std::vector<Drive>& before, const std::vector<Drive>& after) {
    std::map<std::string, const Drive*> old_by_root;
    std::map<std::string, const Drive*> new_by_root;
    for (const Drive& d : before) old_by_root.emplace(d.root, &d);
    for (const Drive& d : after) new_by_root.emplace(d.root, &d);

    MountChanges changes;
    for (const Drive& d : before) {
        const auto now = new_by_root.find(d.root);
        if (now == new_by_root.end() || !same_medium(d, *now->second)) {
            changes.removed.push_back(d);
        }
    }
    for (const Drive& d : after) {
        const auto was = old_by_root.find(d.root);
        if (was == old_by_root.end() || !same_medium(*was->second, d)) {
            changes.arrived.push_back(d);
        }
    }
    return changes;
}

MountWatch::MountWatch(Volumes& volumes, const std::string& mountinfo) : volumes_(volumes) {
    fd_ = ::open(mountinfo.c_str(), O_RDONLY | O_CLOEXEC);
    seen_ = volumes_.drives();
}

MountWatch::~MountWatch() {
    if (fd_ >= 0) ::close(fd_);
}

bool MountWatch::wait_for_change(int timeout_ms) {
    if (fd_ < 0) return false;
    pollfd p{fd_, POLLPRI, 0};
    if (::poll(&p, 1, timeout_ms) <= 0) return false;
    return (p.revents & (POLLPRI | POLLERR)) != 0;
}

MountChanges MountWatch::refresh() {
    std::vector<Drive> now = volumes_.drives();
    MountChanges changes = diff_drives(seen_, now);
    seen_ = std::move(now);
    return changes;
}

}  // namespace orbisto
