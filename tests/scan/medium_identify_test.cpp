// Identification, the duplicate test, the drive dialogs and the commands
// that lead to them, on fake drive tables rooted in temporary folders.
#include "scan/medium_identify.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "startup/ini_file.h"
#include "support/fake_volumes.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

// A frontend whose drive dialogs also tick boxes and move, like a user would.
struct BoxFrontend : test::ScriptedFrontend {
    bool tick_never_ask = false;
    bool tick_cd_text = false;
    int choose_drive(DriveChoice& choice) override {
        const int row = ScriptedFrontend::choose_drive(choice);
        if (tick_never_ask) choice.never_ask = true;
        if (tick_cd_text) choice.cd_text = true;
        choice.pos = DialogPos{42, 17};
        return row;
    }
};

struct IdentifyFixture : ::testing::Test {
    test::TempDir home;
    BoxFrontend fe;
    Context ctx{fe};
    test::FakeVolumes volumes;

    IdentifyFixture() {
        ctx.paths.catalog_dir = home.path();
        ctx.paths.settings_file = home.file("orbisto.INI");
        ctx.log.set_path(home.file("orbisto.LOG"));
        ctx.log.set_enabled(true);
        ctx.scan.installed_volumes = &volumes;
    }
    // A drive whose root is a real folder, so its volume can be read.
    void drive(const std::string& name, int type, const std::string& label, std::uint32_t serial) {
        const std::string root = home.file(name);
        make_directories(root);
        volumes.add(root, type, label, serial);
    }
    // Catalogue n holding one file, in the MediaList too.
    void medium(int n, const std::string& label, std::uint32_t serial, const std::string& name) {
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
        set_fixed_text(ctx.catalog.header.volume_label, label);
        set_fixed_text(ctx.catalog.header.medium_name, name);
        ctx.catalog.header.volume_serial = serial;
        FileRecord f;
        f.name = ctx.catalog.append_name("f.txt").value;
        ctx.catalog.append_file(f);
        ASSERT_EQ(SaveCatalog(ctx, n), n);
        ctx.media.store(ctx.catalog.header);
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
    }
    IniFile ini() const { return IniFile::load_or_empty(ctx.paths.settings_file); }
};

TEST_F(IdentifyFixture, IdentifyAndDuplicateTestFindTheFirstMatchingMedium) {
    medium(3, "GAMES", 0x11223344, "first copy");
    medium(5, "GAMES", 0x11223344, "second copy");
    medium(8, "Fotos", 0xA1B2C3D4, "photos");
    EXPECT_EQ(IdentifyMedium(ctx, "GAMES", 0x11223344), 1u);
    EXPECT_EQ(IdentifyMedium(ctx, "GAMES", 0x44332211), 1u);  // other byte order
    EXPECT_EQ(IdentifyMedium(ctx, "Fotos", 0xD4C3B2A1), 3u);
    EXPECT_EQ(IdentifyMedium(ctx, "games", 0x11223344), 0u);  // labels are case-sensitive
    EXPECT_EQ(IdentifyMedium(ctx, "GAMES", 0x11223345), 0u);

    // The scanned Catalog of "photos" again: a duplicate only while the total
    // size is exactly the same.
    ctx.media.entries[2].total_kb = 1234.5f;
    ctx.catalog.reset(false);
    set_fixed_text(ctx.catalog.header.volume_label, "Fotos");
    ctx.catalog.header.volume_serial = 0xD4C3B2A1;
    ctx.catalog.append_file(FileRecord{});
    ctx.catalog.header.total_kb = 1234.5f;
    EXPECT_EQ(FindDuplicateMedium(ctx), 2);
    ctx.catalog.header.total_kb = std::nextafter(1234.5f, 2000.0f);
    EXPECT_EQ(FindDuplicateMedium(ctx), -1);
    ctx.catalog.header.total_kb = 1234.5f;
    ctx.catalog.append_file(FileRecord{});  // one file more
    EXPECT_EQ(FindDuplicateMedium(ctx), -1);
}

TEST_F(IdentifyFixture, ScanDialogListsReadableDrivesAndStoresTheChoice) {
    drive("hd", kDriveFixed, "System", 1);
    volumes.add(home.file("gone"), kDriveRemovable, "Stick", 2);  // cannot be read
    drive("odd", 0, "Unknown", 3);                                // type unknown
    drive("cd", kDriveCdRom, "GAMES", 4);
    drive("cd2", kDriveCdRom, "MUSIC", 5);
    fe.drive_answers = {2};  // "cd2"
    fe.tick_cd_text = true;
    EXPECT_EQ(ChooseDriveForScan(ctx), 4);
    ASSERT_EQ(fe.drive_dialogs.size(), 1u);
    const DriveChoice& shown = fe.drive_dialogs[0];
    EXPECT_EQ(shown.caption, "Neues Medium einlesen");
    EXPECT_EQ(shown.items,
              (std::vector<std::string>{home.file("hd") + " System", home.file("cd") + " GAMES",
                                        home.file("cd2") + " MUSIC"}));
    EXPECT_EQ(shown.preselected, 1);  // the first CD-ROM drive
    const auto log = read_file(ctx.log.path());
    ASSERT_TRUE(log);
    EXPECT_NE(log->find("\r\ndrive:" + home.file("gone") + " = "), std::string::npos);
    // The choice, the ticked box and the dialog's place are in the settings file.
    EXPECT_EQ(ctx.settings.state.Letztes_Laufwerk, 4);
    EXPECT_EQ(ini().get_int("Optionen", "Letztes Laufwerk", -1), 4);
    EXPECT_EQ(ini().get_int("freeDB", "CD-Text", -1), 1);
    EXPECT_EQ(ini().get_int("Optionen", "nicht fragen", -1), 0);
    EXPECT_EQ(ini().get_int("Neu", "X", -1), 42);

    // Cancelled: -1, the last drive stays, but a ticked box still counts.
    fe.drive_answers = {-1};
    fe.tick_never_ask = true;
    EXPECT_EQ(ChooseDriveForScan(ctx), -1);
    EXPECT_EQ(ini().get_int("Optionen", "nicht fragen", -1), 1);
    EXPECT_EQ(ini().get_int("Optionen", "Letztes Laufwerk", -1), 4);

    // "Never ask" now takes drive 4 without a dialog...
    EXPECT_EQ(ChooseDriveForScan(ctx), 4);
    EXPECT_EQ(fe.drive_dialogs.size(), 2u);
    // ...but not a last drive that cannot be read.
    ctx.settings.state.Letztes_Laufwerk = 1;
    fe.drive_answers = {0};
    EXPECT_EQ(ChooseDriveForScan(ctx), 0);
    EXPECT_EQ(fe.drive_dialogs.size(), 3u);
    EXPECT_EQ(ChooseDriveForIdentify(ctx), 3);  // preselected CD-ROM, no settings
    EXPECT_EQ(fe.drive_dialogs.back().caption, "Medium identifizieren");
}

TEST_F(IdentifyFixture, NoReadableDriveEndsEveryDialogWithoutShowingIt) {
    volumes.add(home.file("gone"), kDriveCdRom, "X", 1);
    EXPECT_EQ(ChooseDriveForScan(ctx), -1);
    EXPECT_EQ(ChooseDriveForUpdate(ctx), -1);
    EXPECT_EQ(ChooseDriveForIdentify(ctx), -1);
    EXPECT_EQ(IdentifyMediumCommand(ctx, true), -1);
    EXPECT_TRUE(fe.drive_dialogs.empty());
    EXPECT_TRUE(fe.messages.empty());
}

TEST_F(IdentifyFixture, UpdateDialogTakesTheOnlyMatchingDriveWithoutAsking) {
    drive("hd", kDriveFixed, "System", 1);
    drive("cd", kDriveCdRom, "GAMES_2", 0x44332211);  // label begins alike, serial reversed
    drive("cd2", kDriveCdRom, "GAMES", 0x99);
    set_fixed_text(ctx.catalog.header.volume_label, "GAMES");
    ctx.catalog.header.volume_serial = 0x11223344;
    EXPECT_EQ(ChooseDriveForUpdate(ctx), 1);
    EXPECT_TRUE(fe.drive_dialogs.empty());

    // A second match: the dialog with both and the warning lines.
    drive("cd3", kDriveCdRom, "GAMES", 0x11223344);
    fe.drive_answers = {1};
    EXPECT_EQ(ChooseDriveForUpdate(ctx), 3);
    ASSERT_EQ(fe.drive_dialogs.size(), 1u);
    EXPECT_EQ(fe.drive_dialogs[0].caption, "Medium updaten");
    EXPECT_EQ(fe.drive_dialogs[0].items.size(), 2u);
    EXPECT_EQ(fe.drive_dialogs[0].notes,
              (std::vector<std::string>{"Medium konnte nicht eindeutig identifiziert werden",
                                        "Eine Auswahl kann Daten zerstören. Vorsicht!"}));

    // No match: every readable drive is offered.
    ctx.catalog.header.volume_serial = 0x5;
    EXPECT_EQ(ChooseDriveForUpdate(ctx), 0);
    EXPECT_EQ(fe.drive_dialogs.back().items.size(), 4u);
}

TEST_F(IdentifyFixture, KnownMediumChoicesOfTheNewMediumCommand) {
    medium(4, "GAMES", 0x11223344, "Spiele 1");
    drive("cd", kDriveCdRom, "GAMES", 0x44332211);
    fe.known_medium_answers = {KnownMediumChoice::Cancel, KnownMediumChoice::Show};
    EXPECT_EQ(ScanNewMediumCommand(ctx), -1);
    ASSERT_FALSE(fe.events.empty());
    EXPECT_EQ(fe.events.back(), "known_medium:Update oder nicht das ist hier die Frage|Spiele 1");
    EXPECT_EQ(ScanNewMediumCommand(ctx), 4);  // shown: loaded, nothing scanned
    EXPECT_EQ(ctx.catalog.current_number(), 4);
    EXPECT_EQ(fe.medium_sheets, 0);

    // The same medium in a second drive makes "Update" unsafe.
    drive("cd2", kDriveCdRom, "GAMES", 0x11223344);
    ctx.catalog.reset(false);
    ctx.catalog.set_current_number(-1);
    fe.known_medium_answers = {KnownMediumChoice::Update};
    EXPECT_EQ(ScanNewMediumCommand(ctx), -1);
    EXPECT_TRUE(fe.saw_message("ID nicht eindeutig. Bitte UPDATE benutzen!"));
    EXPECT_EQ(fe.messages.back().caption, "Warnung");
    EXPECT_EQ(ctx.catalog.current_number(), -1);  // nothing loaded
    EXPECT_FALSE(ctx.scan.update_mode);
}

TEST_F(IdentifyFixture, IdentifyCommandReportsAndLoads) {
    medium(6, "Fotos", 0xA1B2C3D4, "photos");
    drive("cd", kDriveCdRom, "Urlaub", 7);
    EXPECT_EQ(IdentifyMediumCommand(ctx, true), -1);
    EXPECT_TRUE(fe.saw_message("CD nicht gefunden"));
    EXPECT_EQ(fe.messages.back().caption, "Achtung!");
    fe.answers = {Answer::No};
    EXPECT_EQ(IdentifyMediumCommand(ctx, false), -1);
    EXPECT_EQ(fe.messages.back().text, "Einlesen ?");
    EXPECT_EQ(fe.messages.back().caption, "Medium nicht gefunden!");
    EXPECT_EQ(fe.drive_dialogs.size(), 2u);  // "No": no new-medium dialog

    volumes.table[0].label = "Fotos";
    volumes.table[0].serial = 0xA1B2C3D4;
    ctx.settings.options.language = 1;
    EXPECT_EQ(IdentifyMediumCommand(ctx, true), 6);
    EXPECT_EQ(ctx.catalog.current_number(), 6);
    EXPECT_EQ(fe.messages.back().text, "CD found and loaded");
    EXPECT_EQ(fe.messages.back().caption, "ready!");
}

TEST_F(IdentifyFixture, ArrivingMediumIsLoadedWhenKnownAndIgnoredDuringAScan) {
    medium(2, "Fotos", 0xA1B2C3D4, "photos");
    drive("stick", kDriveRemovable, "Urlaub", 7);
    drive("cd", kDriveCdRom, "Fotos", 0xA1B2C3D4);
    ctx.settings.options.AutoCD = 1;
    ctx.scan.scanning = true;
    EXPECT_EQ(MediumArrived(ctx, {0, 1}).loaded, -1);
    ctx.scan.scanning = false;
    const ArrivalResult r = MediumArrived(ctx, {0, 1});
    EXPECT_EQ(r.loaded, 2);
    EXPECT_TRUE(r.stored.empty());
    EXPECT_EQ(ctx.catalog.current_number(), 2);
}

}  // namespace
}  // namespace orbisto
