#include "platform/mount_watch.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/files.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

Drive drive(int index, std::string root, std::string device, std::string label = {},
            std::uint32_t serial = 0) {
    Drive d;
    d.index = index;
    d.root = std::move(root);
    d.device = std::move(device);
    d.fs_type = "vfat";
    d.label = std::move(label);
    d.serial = serial;
    d.has_serial = serial != 0;
    return d;
}

std::vector<std::string> roots(const std::vector<Drive>& drives) {
    std::vector<std::string> out;
    for (const Drive& d : drives) out.push_back(d.root);
    return out;
}

TEST(MountWatchTest, DiffMatchesDrivesByRootAndSeesAnotherMediumAtTheSameRoot) {
    using Roots = std::vector<std::string>;
    const Drive a = drive(0, "/a", "/dev/sda1");
    const Drive cd = drive(1, "/cd", "/dev/sr0", "DISC1", 0x1234);
    const Drive z = drive(2, "/z", "/dev/sdz1");
    struct Case {
        const char* what;
        std::vector<Drive> after;
        Roots arrived;
        Roots removed;
    };
    Drive swapped = cd;  // another disc in the same drive, mounted at the same place
    swapped.label = "DISC2";
    swapped.serial = 0x5678;
    Drive new_serial = cd;
    new_serial.serial = 0x1235;
    Drive other_device = a;
    other_device.device = "/dev/sdb1";
    Drive other_fs = a;
    other_fs.fs_type = "ext4";
    Drive shifted_z = z;  // only its index moves
    shifted_z.index = 3;
    const Case cases[] = {
        {"nothing", {a, cd, z}, {}, {}},
        {"one mounted, the others move up",
         {a, drive(1, "/b", "/dev/sdb1"), cd, shifted_z},
         {"/b"},
         {}},
        {"one unmounted", {a, z}, {}, {"/cd"}},
        {"another disc", {a, swapped, z}, {"/cd"}, {"/cd"}},
        {"another serial only", {a, new_serial, z}, {"/cd"}, {"/cd"}},
        {"another device", {other_device, cd, z}, {"/a"}, {"/a"}},
        {"another file system", {other_fs, cd, z}, {"/a"}, {"/a"}},
        {"everything gone", {}, {}, {"/a", "/cd", "/z"}},
    };
    for (const Case& c : cases) {
        const MountChanges changes = diff_drives({a, cd, z}, c.after);
        EXPECT_EQ(roots(changes.arrived), c.arrived) << c.what;
        EXPECT_EQ(roots(changes.removed), c.removed) << c.what;
    }
    // An arrived drive carries its index in the new table.
    const MountChanges moved = diff_drives({a, z}, {a, drive(1, "/b", "/dev/sdb1"), shifted_z});
    EXPECT_EQ(moved.arrived_indexes(), std::vector<int>{1});
}

std::string mount_line(int id, const std::string& point, const std::string& type,
                       const std::string& src) {
    return std::to_string(id) + " 1 8:1 / " + point + " rw,relatime shared:1 - " + type + " " +
           src + " rw\n";
}

// The watcher over a mountinfo file of the test's own, read by the real
// volume code: pseudo file systems never arrive, and the indexes are those
// of the drive table the medium commands read.
TEST(MountWatchTest, RefreshReportsWhatTheTableGainedAndLostSinceTheLastLook) {
    test::TempDir t;
    const std::string m = t.path() + "/m";
    ASSERT_TRUE(make_directory(m));
    for (const char* d : {"/usb", "/cd", "/stick", "/b"}) ASSERT_TRUE(make_directory(m + d));
    std::string before = mount_line(20, "/", "ext4", "/dev/sda1");
    before += mount_line(21, "/proc", "proc", "proc");
    before += mount_line(22, m + "/usb", "vfat", "/dev/sdb1");
    before += mount_line(23, m + "/stick", "vfat", "/dev/sdc1");
    const std::string info = t.write("mountinfo", before);
    SystemVolumes volumes({info, t.path() + "/no-disk", t.path() + "/no-sys"});
    MountWatch watch(volumes, info);
    ASSERT_GE(watch.fd(), 0);
    EXPECT_TRUE(watch.refresh().empty());  // what was there at the start never arrives

    std::string after = mount_line(20, "/", "ext4", "/dev/sda1");
    after += mount_line(21, "/proc", "proc", "proc");
    after += mount_line(24, m + "/cd", "iso9660", "/dev/sr0");
    after += mount_line(25, m + "/stick", "vfat", "/dev/sdd1");  // another stick at the same place
    after += mount_line(26, m + "/b", "ext4", "/dev/sde1");
    after += mount_line(27, "/sys/fs/cgroup", "cgroup2", "cgroup2");
    after += mount_line(28, m + "/tmp", "mqueue", "mqueue");
    t.write("mountinfo", after);
    const MountChanges changes = watch.refresh();
    EXPECT_EQ(roots(changes.arrived),
              (std::vector<std::string>{m + "/b", m + "/cd", m + "/stick"}));
    EXPECT_EQ(roots(changes.removed), (std::vector<std::string>{m + "/stick", m + "/usb"}));
    const std::vector<Drive> table = volumes.drives();
    for (const Drive& d : changes.arrived) {
        ASSERT_LT(static_cast<size_t>(d.index), table.size());
        EXPECT_EQ(table[static_cast<size_t>(d.index)].root, d.root);
    }
    EXPECT_EQ(changes.arrived[1].type, kDriveCdRom);
    EXPECT_TRUE(watch.refresh().empty());  // each change is told once

    // A regular file never signals a change.
    EXPECT_FALSE(watch.wait_for_change(0));
}

TEST(MountWatchTest, AMissingTableSignalsNothingAndReportsNothing) {
    SystemVolumes none({"/no/such/mountinfo", "/no/such/disk", "/no/such/sys"});
    MountWatch watch(none, "/no/such/mountinfo");
    EXPECT_EQ(watch.fd(), -1);
    EXPECT_FALSE(watch.wait_for_change(0));
    EXPECT_TRUE(watch.refresh().empty());
}

// Exit codes of the child below.
enum ChildResult {
    kChildOk = 0,
    kChildNoNamespace = 77,
    kChildNoticeBeforeMount = 2,
    kChildNoNoticeOnMount = 3,
    kChildMountNotArrived = 4,
    kChildNoticeNotUsedUp = 5,
    kChildNoNoticeOnUnmount = 6,
    kChildUnmountNotRemoved = 7,
};

ChildResult watch_a_tmpfs_mount(const std::string& dir) {
    if (::unshare(CLONE_NEWNS) != 0) return kChildNoNamespace;
    // Nothing of what follows may reach the mount table of the machine.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return kChildNoNamespace;
    }
    SystemVolumes volumes;
    MountWatch watch(volumes);
    if (watch.wait_for_change(0)) return kChildNoticeBeforeMount;
    if (::mount("orbisto-test", dir.c_str(), "tmpfs", 0, "size=64k") != 0) {
        return kChildNoNamespace;
    }
    if (!watch.wait_for_change(5000)) return kChildNoNoticeOnMount;
    const MountChanges mounted = watch.refresh();
    const bool arrived =
        std::any_of(mounted.arrived.begin(), mounted.arrived.end(), [&](const Drive& d) {
            return d.root == dir && d.type == kDriveRam && d.device == "orbisto-test";
        });
    if (!arrived || !mounted.removed.empty()) return kChildMountNotArrived;
    if (watch.wait_for_change(0)) return kChildNoticeNotUsedUp;
    if (::umount(dir.c_str()) != 0) return kChildUnmountNotRemoved;
    if (!watch.wait_for_change(5000)) return kChildNoNoticeOnUnmount;
    const MountChanges unmounted = watch.refresh();
    if (roots(unmounted.removed) != std::vector<std::string>{dir} || !unmounted.arrived.empty()) {
        return kChildUnmountNotRemoved;
    }
    return kChildOk;
}

// A real mount in a mount namespace of its own (a forked child, so the
// test process and the machine keep their mount tables).
TEST(MountWatchTest, PollSignalsARealMountAndUnmount) {
    test::TempDir t;
    const std::string dir = std::filesystem::canonical(t.path()).string();
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) ::_exit(watch_a_tmpfs_mount(dir));
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kChildNoNamespace) {
        GTEST_SKIP() << "no mount namespace of our own here (unshare or mount not permitted)";
    }
    EXPECT_EQ(WEXITSTATUS(status), kChildOk);
}

}  // namespace
}  // namespace orbisto
