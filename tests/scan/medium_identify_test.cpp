// Identification, the duplicate test, the update drive dialog and the scan
// command, on fake drive tables rooted in temporary folders.
#include "scan/medium_identify.h"

#include <gtest/gtest.h>

#include <cmath>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "platform/mount_watch.h"
#include "scan/scan_context.h"
#include "session/context.h"
#include "session/drive_dialogs.h"
#include "session/medium_commands.h"
#include "session/scan_request.h"
#include "support/fake_volumes.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

struct IdentifyFixture : ::testing::Test {
    test::TempDir home;
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::FakeVolumes volumes;

    IdentifyFixture() {
        ctx.paths.catalog_dir = home.path();
        ctx.paths.settings_file = home.file("orbisto.INI");
        ctx.scan.installed_volumes = &volumes;
    }
    // A drive rooted at a real folder, so that its volume can be read.
    void drive(const std::string& name, int type, const std::string& label, std::uint32_t serial) {
        make_directories(home.file(name));
        volumes.add(home.file(name), type, label, serial);
    }
    // Catalogue n with one file, in the MediaList too.
    void medium(int n, const std::string& label, std::uint32_t serial) {
        ctx.catalog.reset(false);
        set_fixed_text(ctx.catalog.header.volume_label, label);
        ctx.catalog.header.volume_serial = serial;
        ctx.catalog.append_file(FileRecord{});
        ASSERT_EQ(SaveCatalog(ctx, n), n);
        ctx.media.store(ctx.catalog.header);
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
    }
};

TEST_F(IdentifyFixture, IdentifyAndDuplicateTestFindTheFirstMatchingMedium) {
    medium(3, "GAMES", 0x11223344);
    medium(5, "GAMES", 0x11223344);
    EXPECT_EQ(IdentifyMedium(ctx, "GAMES", 0x44332211), 1u);  // other byte order, first copy
    EXPECT_EQ(IdentifyMedium(ctx, "games", 0x11223344), 0u);  // labels are case-sensitive

    ctx.media.entries[1].total_kb = 1234.5f;
    set_fixed_text(ctx.catalog.header.volume_label, "GAMES");
    ctx.catalog.header.volume_serial = 0x11223344;
    ctx.catalog.append_file(FileRecord{});
    ctx.catalog.header.total_kb = 1234.5f;
    EXPECT_EQ(FindDuplicateMedium(ctx), 1);
    ctx.catalog.header.total_kb = std::nextafter(1234.5f, 2000.0f);  // one step apart
    EXPECT_EQ(FindDuplicateMedium(ctx), -1);
}

TEST_F(IdentifyFixture, UpdateDialogTakesTheOnlyMatchingDriveWithoutAsking) {
    drive("hd", kDriveFixed, "System", 1);
    drive("cd", kDriveCdRom, "GAMES_2", 0x44332211);  // label begins alike, serial reversed
    drive("cd2", kDriveCdRom, "GAMES", 0x99);
    set_fixed_text(ctx.catalog.header.volume_label, "GAMES");
    ctx.catalog.header.volume_serial = 0x11223344;
    EXPECT_EQ(ChooseDriveForUpdate(ctx), 1);
    EXPECT_TRUE(fe.drive_dialogs.empty());

    drive("cd3", kDriveCdRom, "GAMES", 0x11223344);
    fe.drive_answers = {1};
    EXPECT_EQ(ChooseDriveForUpdate(ctx), 3);
    EXPECT_EQ(fe.drive_dialogs.at(0).items.size(), 2u);
}

// The whole way through the real scan: an unknown medium is stored; inserted
// again, "Update" rescans it under its number and keeps a file's comment.
TEST_F(IdentifyFixture, NewMediumCommandScansAndLaterUpdatesKeepingComments) {
    drive("cd", kDriveCdRom, "DATA", 0x0BADF00D);
    const std::string root = volumes.table[0].root;
    volumes.spaces[root] = DriveSpace{100, 1000, 100};
    make_directories(root + "/sub");
    ASSERT_TRUE(write_file_atomic(root + "/a.txt", "aaaa"));
    ASSERT_TRUE(write_file_atomic(root + "/sub/b.txt", "bb"));
    const int n = ScanNewMediumCommand(ctx);
    ASSERT_GE(n, 0);
    Catalog& cat = ctx.catalog;
    for (std::uint32_t i = 0; i < cat.file_count(); ++i) {
        if (cat.file_name(i) == "b.txt") cat.files()[i].comment = cat.append_comment("mine").value;
    }
    ASSERT_EQ(SaveCatalog(ctx, n), n);

    ASSERT_TRUE(write_file_atomic(root + "/c.txt", "c"));
    fe.known_medium_answers = {KnownMediumChoice::Update};
    EXPECT_EQ(ScanNewMediumCommand(ctx), n);
    EXPECT_EQ(ctx.media.count(), 1u);  // replaced, not added
    ASSERT_TRUE(LoadCatalog(ctx, n));
    ASSERT_EQ(ctx.catalog.file_count(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(ctx.catalog.file_comment(i) == "mine", ctx.catalog.file_name(i) == "b.txt");
    }

    // An unknown medium arriving is scanned on its own; a known one is not.
    drive("usb", kDriveRemovable, "STICK", 0x77);
    volumes.spaces[volumes.table[1].root] = DriveSpace{100, 1000, 100};
    ctx.settings.options.auto_scan = true;
    EXPECT_EQ(MediumArrived(ctx, {0, 1}).stored.size(), 1u);
    EXPECT_EQ(ctx.media.count(), 2u);
}

// Drives without label and serial are told apart only by the path their
// medium was scanned from: identification, the update dialog's choice
// without asking and the "Update" of a known medium all follow it.
TEST_F(IdentifyFixture, DrivesWithoutLabelOrSerialAreToldByTheirScannedPath) {
    drive("run", kDriveRam, "", 0);
    drive("shm", kDriveRam, "", 0);
    for (const Drive& d : volumes.table) volumes.spaces[d.root] = DriveSpace{100, 1000, 100};
    ASSERT_TRUE(write_file_atomic(volumes.table[0].root + "/a.txt", "a"));
    ASSERT_EQ(HandleScanRequest(ctx, kRequestScanNew, volumes.table[0].root), 0);

    fe.drive_answers = {1, 0};
    EXPECT_EQ(IdentifyMediumCommand(ctx, true), -1);  // shm: not the medium of run
    EXPECT_EQ(fe.messages.back().text, "CD nicht gefunden");
    EXPECT_EQ(IdentifyMediumCommand(ctx, true), 0);
    EXPECT_EQ(fe.messages.back().text, "CD gefunden und geladen");

    fe.drive_dialogs.clear();
    EXPECT_EQ(ChooseDriveForUpdate(ctx), 0);
    EXPECT_TRUE(fe.drive_dialogs.empty());

    // The same without a recorded path: no drive fits by label and serial,
    // so the user is asked to choose among all of them.
    ctx.catalog.reset(false);
    fe.drive_answers = {1};
    EXPECT_EQ(ChooseDriveForUpdate(ctx), 1);
    ASSERT_EQ(fe.drive_dialogs.size(), 1u);
    EXPECT_EQ(fe.drive_dialogs[0].items.size(), 2u);
}

// A medium mounted while the program runs: the mount watch names the new
// drive by the index the arrival rules take, so AutoCD loads its catalogue
// even when the new drive pushes others to later indexes.
TEST_F(IdentifyFixture, MountWatchNamesArrivedDrivesAsTheArrivalRulesNumberThem) {
    medium(4, "GAMES", 0x11223344);
    drive("hd", kDriveFixed, "System", 1);
    drive("zip", kDriveRemovable, "", 0);
    MountWatch watch(volumes, home.file("no-mountinfo"));

    make_directories(home.file("cd"));
    Drive cd;
    cd.root = home.file("cd");
    cd.type = kDriveCdRom;
    cd.label = "GAMES";
    cd.serial = 0x11223344;
    cd.has_serial = true;
    volumes.table.insert(volumes.table.begin() + 1, cd);
    const MountChanges changes = watch.refresh();
    ASSERT_EQ(changes.arrived_indexes(), std::vector<int>{1});
    EXPECT_TRUE(changes.removed.empty());

    ctx.settings.options.identify_inserted_media = true;
    EXPECT_EQ(MediumArrived(ctx, changes.arrived_indexes()).loaded, 4);
    EXPECT_EQ(ctx.catalog.current_number(), 4);
}

}  // namespace
}  // namespace orbisto
