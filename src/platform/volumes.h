// The "drives" of the program on Linux: the mounted file systems, each with a
// drive type, volume label, serial number and free space, and the CD tray.
// The Volumes interface lets the scanner work against the real system or a
// fake table in tests. The pure helpers below do the parsing and mapping and
// never touch the file system.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

// Drive type codes as the catalogue stores them.
inline constexpr int kDriveRemovable = 2;
inline constexpr int kDriveFixed = 3;
inline constexpr int kDriveNetwork = 4;
inline constexpr int kDriveCdRom = 5;
inline constexpr int kDriveRam = 6;
inline constexpr int kDriveFloppy = 255;

// One line of /proc/self/mountinfo, escapes resolved.
struct MountEntry {
    std::string mount_point;
    std::string fs_type;
    std::string source;  // the device or share, e.g. /dev/sda1 or server:/export
};

// One drive of the table.
struct Drive {
    int index = 0;       // position in the table (ordered by mount point)
    std::string root;    // the mount point
    std::string device;  // the mount source
    std::string fs_type;
    int type = kDriveFixed;
    std::string label;  // empty when the volume has none
    std::uint32_t serial = 0;
    bool has_serial = false;
};

struct DriveSpace {
    double free_kb = 0;  // free for the super-user too
    double total_kb = 0;
    double avail_kb = 0;  // free for an ordinary user
};

// Resolves the octal escapes (\040 blank, \011 tab, \012 newline, \134
// backslash) that mountinfo uses in paths. Anything else stays as it is.
std::string unescape_mount_field(std::string_view field);
// Resolves the \xHH escapes of /dev/disk/by-label names.
std::string unescape_by_label(std::string_view name);

// Parses one mountinfo line; nullopt for a line that does not have the form.
std::optional<MountEntry> parse_mountinfo_line(std::string_view line);
// The drive list of a whole mountinfo text: malformed lines, pseudo file
// systems and anything mounted below /proc or /sys left out; a mount point mounted over keeps only
// the last (visible) mount; ordered by mount point.
std::vector<MountEntry> parse_mountinfo(std::string_view text);

// File systems that hold no user data (kernel interfaces). An overlay stays a
// drive: in a container it is the root file system.
bool is_pseudo_fs(std::string_view fs_type);

// The drive type of a mount; removable is what sysfs says about its disk.
int drive_type_for(const MountEntry& mount, bool removable);

// The serial of a file-system UUID: its first eight hex digits, dashes
// skipped, so a FAT "ABCD-1234" gives 0xABCD1234. nullopt without any.
std::optional<std::uint32_t> serial_from_uuid(std::string_view uuid);

// The ISO 9660 primary volume descriptor (sector 16, 2048 bytes).
inline constexpr size_t kIsoSectorSize = 2048;
inline constexpr std::uint64_t kIsoPvdOffset = 16 * kIsoSectorSize;
// True when the buffer is a primary volume descriptor (type 1, "CD001").
bool is_iso_primary_descriptor(std::span<const std::uint8_t> pvd);
// The serial Windows gives a disc: the descriptor's bytes summed in four
// byte-wide lanes (byte i into lane i % 4), lane 0 the highest byte.
// nullopt when the buffer is not 2048 bytes long.
std::optional<std::uint32_t> iso_volume_serial(std::span<const std::uint8_t> pvd);
// The volume identifier (bytes 40-71) without its blank padding.
std::string iso_volume_label(std::span<const std::uint8_t> pvd);

// The longest mount point that is the path itself or a folder above it;
// empty when none is. The path must already be canonical.
std::string drive_root_of(const std::vector<std::string>& mount_points, std::string_view path);

class Volumes {
  public:
    virtual ~Volumes() = default;

    // The drive table, freshly read.
    virtual std::vector<Drive> drives() = 0;
    // Free and total space of the file system that holds path.
    virtual std::optional<DriveSpace> space(const std::string& path) = 0;
    // Opens or closes the tray of the drive at root; false when that failed.
    virtual bool eject(const std::string& root) = 0;
    virtual bool close_tray(const std::string& root) = 0;

    // The drive that holds path, and its root; nullopt/empty when none does.
    std::optional<Drive> drive_of(const std::string& path);
    std::string drive_root(const std::string& path);
    // A path is a drive root when it is a mount point.
    bool is_drive_root(const std::string& path);

  protected:
    // The canonical form of a path for the mount-point comparison.
    virtual std::string canonical(const std::string& path) = 0;
};

// Where the real implementation looks; tests point these at a temporary tree.
struct VolumeSources {
    std::string mountinfo = "/proc/self/mountinfo";
    std::string disk_dir = "/dev/disk";  // holds by-label and by-uuid
    std::string sys_block = "/sys/block";
};

class SystemVolumes : public Volumes {
  public:
    SystemVolumes() = default;
    explicit SystemVolumes(VolumeSources sources) : sources_(std::move(sources)) {}

    std::vector<Drive> drives() override;
    std::optional<DriveSpace> space(const std::string& path) override;
    bool eject(const std::string& root) override;
    bool close_tray(const std::string& root) override;

  protected:
    std::string canonical(const std::string& path) override;

  private:
    bool removable(const std::string& device) const;
    void identify(Drive& d) const;
    bool tray(const std::string& root, bool open);

    VolumeSources sources_;
};

}  // namespace orbisto
