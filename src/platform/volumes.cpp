#include "platform/volumes.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <system_error>

#include "platform/files.h"

namespace orbisto {
namespace fs = std::filesystem;

namespace {

bool is_octal(char c) {
    return c >= '0' && c <= '7';
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        const size_t end = s.find(sep, start);
        out.push_back(s.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return out;
        start = end + 1;
    }
}

bool one_of(std::string_view s, std::initializer_list<std::string_view> list) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

// The canonical path of a device node; empty when it is not an absolute path.
std::string device_path(const std::string& device) {
    if (device.empty() || device[0] != '/') return {};
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(device, ec);
    return ec ? device : p.string();
}

// Finds the entry of dir that links to the device; returns its name.
std::optional<std::string> link_name_for(const std::string& dir, const std::string& device) {
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) return std::nullopt;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return std::nullopt;
        std::error_code ec2;
        const fs::path target = fs::canonical(it->path(), ec2);
        if (!ec2 && target.string() == device) return it->path().filename().string();
    }
    return std::nullopt;
}

// Reads the ISO primary volume descriptor of a disc; nullopt when the device
// cannot be opened or holds none.
std::optional<std::array<std::uint8_t, kIsoSectorSize>> read_iso_descriptor(
    const std::string& dev) {
    const int fd = ::open(dev.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    std::array<std::uint8_t, kIsoSectorSize> buf{};
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && (S_ISBLK(st.st_mode) || S_ISREG(st.st_mode));
    if (ok) {
        const ssize_t n = ::pread(fd, buf.data(), buf.size(), static_cast<off_t>(kIsoPvdOffset));
        ok = n == static_cast<ssize_t>(buf.size()) && is_iso_primary_descriptor(buf);
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    return buf;
}

// /proc and /sys hold kernel interfaces only, whatever file system is
// mounted there (systems mount a tmpfs at /sys/fs/cgroup, for example).
bool below_kernel_folder(std::string_view point) {
    for (std::string_view top : {"/proc", "/sys"}) {
        if (point.starts_with(top) && (point.size() == top.size() || point[top.size()] == '/')) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string unescape_mount_field(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && is_octal(field[i + 1]) &&
            is_octal(field[i + 2]) && is_octal(field[i + 3]) && field[i + 1] <= '3') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

std::optional<MountEntry> parse_mountinfo_line(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto f = split(line, ' ');
    // id parent major:minor root mount-point options [optional fields...] - type source ...
    if (f.size() < 9) return std::nullopt;
    size_t sep = 6;
    while (sep < f.size() && f[sep] != "-") ++sep;
    if (sep + 2 >= f.size()) return std::nullopt;
    MountEntry e;
    e.mount_point = unescape_mount_field(f[4]);
    e.fs_type = unescape_mount_field(f[sep + 1]);
    e.source = unescape_mount_field(f[sep + 2]);
    if (e.mount_point.empty() || e.mount_point[0] != '/' || e.fs_type.empty()) return std::nullopt;
    return e;
}

std::vector<MountEntry> parse_mountinfo(std::string_view text) {
    // Later lines are mounted later: a mount point seen again is covered.
    std::map<std::string, MountEntry> by_point;
    for (std::string_view line : split(text, '\n')) {
        auto e = parse_mountinfo_line(line);
        if (!e || is_pseudo_fs(e->fs_type) || below_kernel_folder(e->mount_point)) continue;
        std::string key = e->mount_point;
        by_point.insert_or_assign(std::move(key), std::move(*e));
    }
    std::vector<MountEntry> out;
    out.reserve(by_point.size());
    for (auto& [point, e] : by_point) out.push_back(std::move(e));
    return out;
}

bool is_pseudo_fs(std::string_view t) {
    if (t.starts_with("cgroup")) return true;
    return one_of(t, {"proc", "sysfs", "devpts", "devtmpfs", "mqueue", "debugfs", "tracefs",
                      "securityfs", "pstore", "bpf", "autofs", "configfs", "fusectl", "hugetlbfs",
                      "binfmt_misc", "nsfs", "rpc_pipefs", "efivarfs", "selinuxfs"});
}

int drive_type_for(const MountEntry& m, bool removable) {
    const std::string_view src = m.source;
    if (src.starts_with("/dev/sr") || one_of(m.fs_type, {"iso9660", "udf"})) return kDriveCdRom;
    if (src.starts_with("/dev/fd") && src.size() > 7 && src[7] >= '0' && src[7] <= '9') {
        return kDriveFloppy;
    }
    if (one_of(m.fs_type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p"})) {
        return kDriveNetwork;
    }
    if (one_of(m.fs_type, {"tmpfs", "ramfs"})) return kDriveRam;
    return removable ? kDriveRemovable : kDriveFixed;
}

std::string drive_root_of(const std::vector<std::string>& mount_points, std::string_view path) {
    std::string best;
    for (const std::string& m : mount_points) {
        if (m.empty() || (!best.empty() && m.size() <= best.size())) continue;
        const bool under =
            path == m || (path.starts_with(m) && (m.back() == '/' || path[m.size()] == '/'));
        if (under) best = m;
    }
    return best;
}

std::optional<Drive> Volumes::drive_of(const std::string& path) {
    const std::string c = canonical(path);
    const std::vector<Drive> table = drives();
    std::vector<std::string> roots;
    for (const Drive& d : table) roots.push_back(d.root);
    const std::string root = drive_root_of(roots, c);
    for (const Drive& d : table) {
        if (!root.empty() && d.root == root) return d;
    }
    return std::nullopt;
}

std::string Volumes::drive_root(const std::string& path) {
    auto d = drive_of(path);
    return d ? d->root : std::string();
}

bool Volumes::is_drive_root(const std::string& path) {
    const std::string c = canonical(path);
    for (const Drive& d : drives()) {
        if (d.root == c) return true;
    }
    return false;
}

std::vector<Drive> SystemVolumes::drives() {
    std::vector<Drive> out;
    const auto text = read_file(sources_.mountinfo);
    if (!text) return out;
    for (MountEntry& m : parse_mountinfo(*text)) {
        Drive d;
        d.type = drive_type_for(m, removable(m.source));
        // A single file bound over another (as containers do with
        // /etc/hosts) is no drive. Network mounts are not probed: a dead
        // server would block here.
        if (d.type != kDriveNetwork) {
            struct stat st {};
            if (::stat(m.mount_point.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) continue;
        }
        d.index = static_cast<int>(out.size());
        d.root = std::move(m.mount_point);
        d.device = std::move(m.source);
        d.fs_type = std::move(m.fs_type);
        identify(d);
        out.push_back(std::move(d));
    }
    return out;
}

bool SystemVolumes::removable(const std::string& device) const {
    const std::string dev = device_path(device);
    if (dev.empty()) return false;
    std::string name = fs::path(dev).filename().string();
    auto flag = [&](const std::string& n) -> std::optional<bool> {
        const auto text = read_file(join_path(join_path(sources_.sys_block, n), "removable"));
        if (!text || text->empty()) return std::nullopt;
        return (*text)[0] == '1';
    };
    if (name.empty()) return false;
    if (auto f = flag(name)) return *f;
    // A partition: its disk is the name without the partition number
    // (sda1 -> sda, nvme0n1p2 -> nvme0n1, mmcblk0p1 -> mmcblk0).
    while (!name.empty() && name.back() >= '0' && name.back() <= '9') name.pop_back();
    if (name.size() > 1 && name.back() == 'p' && name[name.size() - 2] >= '0' &&
        name[name.size() - 2] <= '9') {
        name.pop_back();
    }
    if (name.empty()) return false;
    return flag(name).value_or(false);
}

void SystemVolumes::identify(Drive& d) const {
    const std::string dev = device_path(d.device);
    if (dev.empty()) return;
    if (d.type == kDriveCdRom) {
        if (auto pvd = read_iso_descriptor(dev)) {
            d.serial = *iso_volume_serial(*pvd);
            d.has_serial = true;
            d.label = iso_volume_label(*pvd);
            return;
        }
    }
    if (auto name = link_name_for(join_path(sources_.disk_dir, "by-uuid"), dev)) {
        if (auto s = serial_from_uuid(*name)) {
            d.serial = *s;
            d.has_serial = true;
        }
    }
    if (auto name = link_name_for(join_path(sources_.disk_dir, "by-label"), dev)) {
        d.label = unescape_by_label(*name);
    }
}

std::optional<DriveSpace> SystemVolumes::space(const std::string& path) {
    struct statvfs st {};
    if (::statvfs(path.c_str(), &st) != 0) return std::nullopt;
    const double unit = static_cast<double>(st.f_frsize ? st.f_frsize : st.f_bsize) / 1024.0;
    DriveSpace s;
    s.free_kb = static_cast<double>(st.f_bfree) * unit;
    s.total_kb = static_cast<double>(st.f_blocks) * unit;
    s.avail_kb = static_cast<double>(st.f_bavail) * unit;
    return s;
}

bool SystemVolumes::tray(const std::string& root, bool open) {
    const auto d = drive_of(root);
    const std::string dev = d ? device_path(d->device) : std::string();
    if (dev.empty()) return false;
    const int fd = ::open(dev.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISBLK(st.st_mode);
    if (ok) ok = ::ioctl(fd, open ? CDROMEJECT : CDROMCLOSETRAY, 0) == 0;
    ::close(fd);
    return ok;
}

bool SystemVolumes::eject(const std::string& root) {
    return tray(root, true);
}
bool SystemVolumes::close_tray(const std::string& root) {
    return tray(root, false);
}

std::string SystemVolumes::canonical(const std::string& path) {
    std::error_code ec;
    std::string c = fs::weakly_canonical(path, ec).string();
    if (ec) c = fs::path(path).lexically_normal().string();
    while (c.size() > 1 && c.back() == '/') c.pop_back();
    return c;
}

}  // namespace orbisto
