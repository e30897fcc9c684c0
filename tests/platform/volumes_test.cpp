#include "platform/volumes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>

#include "platform/files.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

std::string mount_line(const std::string& point, const std::string& type, const std::string& src) {
    return "29 1 8:1 / " + point + " rw,relatime shared:1 - " + type + " " + src + " rw\n";
}

TEST(Mountinfo, ParsesFieldsEscapesAndOptionalFieldsAndSurvivesGarbage) {
    auto e = parse_mountinfo_line(
        "36 35 98:0 /mnt1 /media/My\\040Disc\\134x ro,nosuid master:1 shared:7 - iso9660 "
        "/dev/sr0 ro");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->mount_point, "/media/My Disc\\x");
    EXPECT_EQ(e->source, "/dev/sr0");

    // No optional fields at all, and a trailing carriage return.
    e = parse_mountinfo_line("1 0 8:1 / / rw - ext4 /dev/sda1 rw\r");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->source, "/dev/sda1");
    // A backslash that starts no valid escape stays as it is.
    EXPECT_EQ(unescape_mount_field("a\\9b\\04"), "a\\9b\\04");
    // Garbage lines are skipped without harm.
    for (const char* bad : {"", "-", "1 2 3", "1 0 8:1 / / rw shared:1 ext4 /dev/sda1 rw",
                            "1 0 8:1 / / rw shared:1 - ext4", "1 0 8:1 / relative rw - ext4 x y",
                            "1 0 8:1 / / rw - - - - - -", "\\\\\\ \\0 \\07 - - -",
                            "1 0 8:1 / /x\\ rw - ext4 /dev/a rw"}) {
        auto e = parse_mountinfo_line(bad);
        if (e) {
            EXPECT_EQ(e->mount_point[0], '/') << bad;
            EXPECT_FALSE(e->fs_type.empty()) << bad;
        }
    }
}

TEST(Mountinfo, GarbageAndPseudoFileSystemsLeftOutOvermountsHiddenAndSortedByMountPoint) {
    std::string text = "garbage\n\n\x01\x02\xff - -\n";
    text += mount_line("/", "overlay", "overlay");
    text += mount_line("/proc", "proc", "proc");
    text += mount_line("/sys/fs/cgroup", "cgroup2", "cgroup2");
    text += mount_line("/system", "ext4", "/dev/sda3");
    text += mount_line("/mnt/usb", "vfat", "/dev/sdb1");
    text += mount_line("/dev/shm", "tmpfs", "shm");
    text += mount_line("/mnt/usb", "ext4", "/dev/sdc1");  // mounted over the first
    const auto list = parse_mountinfo(text);
    std::vector<std::string> points;
    for (const auto& e : list) points.push_back(e.mount_point);
    EXPECT_EQ(points, (std::vector<std::string>{"/", "/dev/shm", "/mnt/usb", "/system"}));
    EXPECT_EQ(list[2].source, "/dev/sdc1");
}

TEST(Volumes, DriveTypeAndSerialFromDeviceFileSystemAndUuid) {
    auto type = [](const char* fs, const char* src, bool removable = false) {
        return drive_type_for(MountEntry{"/m", fs, src}, removable);
    };
    EXPECT_EQ(type("iso9660", "/dev/loop3"), kDriveCdRom);
    EXPECT_EQ(type("vfat", "/dev/sr1", true), kDriveCdRom);  // a mixed-mode disc in a CD drive
    EXPECT_EQ(type("vfat", "/dev/fd0"), kDriveFloppy);
    EXPECT_EQ(type("ext4", "/dev/fdisk"), kDriveFixed);  // only /dev/fd<number> is a floppy
    EXPECT_EQ(type("fuse.sshfs", "server:/share"), kDriveNetwork);
    EXPECT_EQ(type("tmpfs", "tmpfs"), kDriveRam);
    EXPECT_EQ(serial_from_uuid("ABCD-1234"), 0xABCD1234u);
    EXPECT_EQ(serial_from_uuid("1b4e28ba-2fa1-11d2-883f-0016d3cca427"), 0x1B4E28BAu);
    EXPECT_EQ(serial_from_uuid("zz"), std::nullopt);
    EXPECT_EQ(unescape_by_label("My\\x20Disk\\x2fA"), "My Disk/A");
    EXPECT_EQ(unescape_by_label("end\\x2"), "end\\x2");
}

std::array<std::uint8_t, kIsoSectorSize> crafted_descriptor(const char* label) {
    std::array<std::uint8_t, kIsoSectorSize> pvd{};
    pvd[0] = 1;
    std::memcpy(&pvd[1], "CD001", 5);
    pvd[6] = 1;
    std::memset(&pvd[40], ' ', 32);
    std::memcpy(&pvd[40], label, std::strlen(label));
    return pvd;
}

TEST(Volumes, IsoSerialSumsFourByteLanesThatWrapOnTheirOwn) {
    std::array<std::uint8_t, kIsoSectorSize> buf{};
    buf[0] = 0x01;     // lane 0
    buf[5] = 0x02;     // lane 1
    buf[10] = 0x03;    // lane 2
    buf[2047] = 0x04;  // lane 3
    EXPECT_EQ(iso_volume_serial(buf), 0x01020304u);

    // 0x80 + 0x81 overflows lane 3; the carry must not reach lane 2.
    buf = {};
    buf[3] = 0x80;
    buf[7] = 0x81;
    EXPECT_EQ(iso_volume_serial(buf), 0x00000001u);

    // Worked by hand: type 1, "CD001", version 1, label "A" and 31 blanks.
    EXPECT_EQ(iso_volume_serial(crafted_descriptor("A")), 0x52744530u);

    // Short buffers are refused, never read past.
    const auto pvd = crafted_descriptor("HOLIDAY 2009");
    EXPECT_EQ(iso_volume_serial(std::span(pvd).first(2047)), std::nullopt);
    EXPECT_FALSE(is_iso_primary_descriptor(std::span(pvd).first(100)));
    EXPECT_EQ(iso_volume_label(std::span(pvd).first(50)), "");
}

TEST(Volumes, DriveRootIsTheLongestMountPointAboveThePath) {
    const std::vector<std::string> points{"/", "/mnt", "/mnt/cd", "/mnt/cdrom2", "/home"};
    EXPECT_EQ(drive_root_of(points, "/mnt/cd/sub/file"), "/mnt/cd");
    EXPECT_EQ(drive_root_of(points, "/mnt/cdx"), "/mnt");  // not a folder of /mnt/cd
    EXPECT_EQ(drive_root_of(points, "/etc/passwd"), "/");
    EXPECT_EQ(drive_root_of({"/home"}, "/etc"), "");
}

// The real implementation against a temporary tree standing in for /proc,
// /dev/disk and /sys/block.
TEST(SystemVolumesTest, ReadsTypesLabelsAndSerialsFromTheSystemTrees) {
    test::TempDir t;
    namespace fs = std::filesystem;
    const std::string dev = t.path() + "/dev";
    for (const char* d : {"/dev", "/dev/disk", "/dev/disk/by-uuid", "/dev/disk/by-label", "/sys",
                          "/sys/sdb", "/m", "/m/usb", "/m/cd", "/m/net"}) {
        ASSERT_TRUE(make_directory(t.path() + d));
    }
    t.write("m/hosts", "a file bound over a file");
    t.write("dev/sdb1", "");
    t.write("sys/sdb/removable", "1\n");
    const auto pvd = crafted_descriptor("MYCD");
    std::string image(kIsoPvdOffset, '\0');
    image.append(reinterpret_cast<const char*>(pvd.data()), pvd.size());
    t.write("dev/sr0", image);
    fs::create_symlink("../../sdb1", dev + "/disk/by-uuid/ABCD-1234");
    fs::create_symlink("../../sdb1", dev + "/disk/by-label/My\\x20Stick");
    fs::create_symlink("../../gone", dev + "/disk/by-label/Dangling");
    std::string info;
    info += mount_line(t.path() + "/m/usb", "vfat", dev + "/sdb1");
    info += mount_line(t.path() + "/m/cd", "iso9660", dev + "/sr0");
    info += mount_line(t.path() + "/m/net", "nfs4", "server:/export");
    info += mount_line(t.path() + "/m/hosts", "ext4", dev + "/sdb1");
    info += "this line is garbage\n";
    t.write("mountinfo", info);

    SystemVolumes v({t.path() + "/mountinfo", dev + "/disk", t.path() + "/sys"});
    const auto drives = v.drives();
    ASSERT_EQ(drives.size(), 3u);  // the bound file is no drive
    EXPECT_EQ(drives[0].root, t.path() + "/m/cd");
    EXPECT_EQ(drives[0].label, "MYCD");
    EXPECT_EQ(drives[0].serial, *iso_volume_serial(pvd));
    EXPECT_FALSE(drives[1].has_serial);
    EXPECT_EQ(drives[2].type, kDriveRemovable);
    EXPECT_EQ(drives[2].label, "My Stick");
    EXPECT_EQ(drives[2].serial, 0xABCD1234u);

    EXPECT_EQ(v.drive_root(t.path() + "/m/usb/new/file"), t.path() + "/m/usb");
    // Regular files are no CD drives: the tray requests fail quietly.
    EXPECT_FALSE(v.eject(t.path() + "/m/cd"));
}

TEST(SystemVolumesTest, MissingSourcesGiveAnEmptyTableAndTheRealOneWorks) {
    SystemVolumes none({"/no/such/mountinfo", "/no/such/disk", "/no/such/sys"});
    EXPECT_TRUE(none.drives().empty());

    SystemVolumes real;
    const auto s = real.space("/");
    ASSERT_TRUE(s);
    EXPECT_LE(s->free_kb, s->total_kb);
    EXPECT_FALSE(real.space("/no/such/path"));
}

}  // namespace
}  // namespace orbisto
