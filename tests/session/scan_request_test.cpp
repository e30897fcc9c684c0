// Scans requested without dialogs: new media from folders, updates of
// catalogued media, and the requests refused.
#include "session/scan_request.h"

#include <gtest/gtest.h>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "scan/scan_home.h"
#include "session/context.h"

namespace orbisto {
namespace {

// A medium saved directly as catalogue n, with the given label and serial.
void save_medium(test::ScanHome& h, int n, const char* label, std::uint32_t serial) {
    Catalog& c = h.ctx.catalog;
    c.reset(false);
    set_fixed_text(c.header.volume_label, label);
    c.header.volume_serial = serial;
    ASSERT_EQ(SaveCatalog(h.ctx, n), n);
    h.ctx.media.store(c.header);
}

TEST(ScanRequest, FolderHangsBelowItsPathWithLabelInfoCategoryZeroAndLowestFreeNumber) {
    test::ScanHome h;
    h.volumes.add(h.base, kDriveFixed, "DATA", 0x1234ABCD);
    make_directory(h.medium + "/sub");
    h.put("a.txt");
    h.put("sub/b.txt");
    save_medium(h, 0, "X", 1);
    save_medium(h, 2, "Y", 2);
    h.ctx.catalog.set_changed(true);  // saved without asking
    h.ctx.command_line.label_given = h.ctx.command_line.info_given = true;
    h.ctx.command_line.label = "My disc";
    h.ctx.command_line.info = "holiday photos";

    ASSERT_EQ(HandleScanRequest(h.ctx, kRequestScanNew, h.medium + "/"), 1);
    const Catalog& c = h.ctx.catalog;
    EXPECT_EQ(c.dir_name(1), h.medium);
    EXPECT_EQ(fixed_text(c.header.medium_name), "My disc");
    EXPECT_EQ(c.header.volume_serial, 0x1234ABCDu);
    EXPECT_EQ(c.description(), "holiday photos");
    EXPECT_TRUE(file_exists(h.catalogue(1)));
    EXPECT_EQ(h.ctx.media.count(), 3u);
}

TEST(ScanRequest, UpdateKeepsTheMediumTextsAndItsNumber) {
    test::ScanHome h;
    h.volumes.add(h.medium, kDriveCdRom, "VOL", 0xABCD);
    h.put("a.txt");
    ASSERT_EQ(HandleScanRequest(h.ctx, kRequestScanNew, h.medium), 0);
    Catalog& c = h.ctx.catalog;
    c.set_description("my notes");
    c.header.medium_flags = MEDIUM_LENT;
    ASSERT_EQ(SaveCatalog(h.ctx, 0), 0);
    h.put("b.txt");

    ASSERT_EQ(HandleScanRequest(h.ctx, kRequestUpdate, h.medium), 0);
    c.reset(false);
    c.set_current_number(-1);
    ASSERT_TRUE(LoadCatalog(h.ctx, 0));
    EXPECT_EQ(c.description(), "my notes");
    EXPECT_EQ(c.header.medium_flags, MEDIUM_LENT);
    EXPECT_EQ(h.ctx.media.count(), 1u);
    EXPECT_EQ(c.file_count(), 2u);  // the walk found the new file
}

TEST(ScanRequest, RefusedRequestsChangeNothing) {
    test::ScanHome h;
    h.volumes.add(h.base, kDriveFixed, "VOL", 5);
    h.put("a.txt");
    make_directory(h.medium + "/other");
    // A folder of the same file system (same label and serial) is another medium.
    ASSERT_EQ(HandleScanRequest(h.ctx, kRequestScanNew, h.medium + "/other"), 0);
    const std::string before = *read_file(h.catalogue(0));

    EXPECT_EQ(HandleScanRequest(h.ctx, kRequestUpdate, h.medium), -1);
    for (const int code : {kRequestScanNew, kRequestUpdate}) {
        EXPECT_EQ(HandleScanRequest(h.ctx, code, h.base + "/missing"), -1);
        EXPECT_EQ(HandleScanRequest(h.ctx, code, h.medium + "/a.txt"), -1);
    }
    // An aborted walk stores nothing.
    h.fe.on_pump = [&](int) { h.fe.request_abort(); };
    EXPECT_EQ(HandleScanRequest(h.ctx, kRequestScanNew, h.medium), -1);
    EXPECT_EQ(*read_file(h.catalogue(0)), before);
    EXPECT_FALSE(file_exists(h.catalogue(1)));
    EXPECT_EQ(h.ctx.media.count(), 1u);
}

// Label and serial that tell nothing (none at all, or shared by several
// catalogued media) identify a medium only by the path it was scanned from;
// anything else is "not catalogued" and changes nothing.
TEST(ScanRequest, AnUpdateNeverOverwritesAnotherMediumWithTheSameLabelAndSerial) {
    test::ScanHome h;
    for (const char* d : {"/shm", "/cd1", "/cd2", "/medium/folder"}) make_directory(h.base + d);
    h.volumes.add(h.medium, kDriveFixed, "", 0);
    h.volumes.add(h.base + "/shm", kDriveRam, "", 0);
    h.volumes.add(h.base + "/cd1", kDriveCdRom, "DISC", 9);
    h.volumes.add(h.base + "/cd2", kDriveCdRom, "DISC", 9);
    h.put("folder/a.txt");
    ASSERT_EQ(HandleScanRequest(h.ctx, kRequestScanNew, h.medium + "/folder"), 0);
    const std::string folder = *read_file(h.catalogue(0));

    const auto refused = [&](const std::string& path) {
        h.fe.messages.clear();
        EXPECT_EQ(HandleScanRequest(h.ctx, kRequestUpdate, path), -1) << path;
        ASSERT_EQ(h.fe.messages.size(), 1u) << path;
        EXPECT_EQ(h.fe.messages[0].caption, "Medium nicht gefunden!");
    };
    refused(h.base + "/shm");
    refused(h.medium);  // its folder was catalogued, the whole of it never

    // Scanned as a whole, such a mount point records its path and is found
    // again by it.
    ASSERT_EQ(HandleScanRequest(h.ctx, kRequestScanNew, h.base + "/shm"), 1);
    EXPECT_EQ(h.ctx.catalog.dir_name(1), h.base + "/shm");
    write_file_atomic(h.base + "/shm/new.txt", "x");
    EXPECT_EQ(HandleScanRequest(h.ctx, kRequestUpdate, h.base + "/shm"), 1);
    EXPECT_EQ(h.ctx.catalog.file_count(), 1u);

    // Two copies of one disc: which one the drive holds cannot be told.
    ASSERT_EQ(HandleScanRequest(h.ctx, kRequestScanNew, h.base + "/cd1"), 2);
    EXPECT_EQ(HandleScanRequest(h.ctx, kRequestUpdate, h.base + "/cd1"), 2);  // one alone: found
    ASSERT_EQ(HandleScanRequest(h.ctx, kRequestScanNew, h.base + "/cd2"), 3);
    const std::string copy = *read_file(h.catalogue(2));
    refused(h.base + "/cd1");

    EXPECT_EQ(*read_file(h.catalogue(0)), folder);
    EXPECT_EQ(*read_file(h.catalogue(2)), copy);
    EXPECT_EQ(h.ctx.media.count(), 4u);
}

}  // namespace
}  // namespace orbisto
