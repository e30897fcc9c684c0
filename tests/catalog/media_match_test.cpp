#include "catalog/media_match.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "media_fixture.h"

namespace orbisto {
namespace {

MediumHeader medium(std::string_view label, std::uint32_t serial, std::uint32_t dirs = 1,
                    std::uint32_t files = 0, float kb = 0) {
    MediumHeader h;
    set_fixed_text(h.volume_label, label);
    h.volume_serial = serial;
    h.dir_count = dirs;
    h.file_count = files;
    h.total_kb = kb;
    return h;
}

TEST(FindMedium, MatchesLabelExactlyAndSerialDirectOrByteReversed) {
    const std::string long_label(40, 'L');
    const std::vector<MediumHeader> list = {medium("FOTOS", 0x12345678),
                                            medium("FOTOS", 0xAABBCCDD), medium(long_label, 7)};
    const struct {
        std::string label;
        std::uint32_t serial;
        std::size_t found;
    } rows[] = {{"FOTOS", 0x12345678, 1}, {"FOTOS", 0x78563412, 1}, {"FOTOS", 0xDDCCBBAA, 2},
                {"fotos", 0x12345678, 0}, {"FOTOS", 0x34127856, 0}, {"FOTO", 0x12345678, 0},
                {long_label, 7, 3}};  // found with its cut label
    for (const auto& r : rows) EXPECT_EQ(find_medium(list, r.label, r.serial), r.found) << r.serial;
}

TEST(FindIdenticalMedium, NeedsLabelCountsTotalAndSerial) {
    const MediumHeader current = medium("CD", 0x01020304, 10, 100, 1234.5f);
    const std::vector<MediumHeader> list = {
        medium("CD", 0x01020304, 11, 100, 1234.5f), medium("CD", 0x01020304, 10, 101, 1234.5f),
        medium("CD", 0x01020304, 10, 100, 1234.0f), medium("CD", 0x01020305, 10, 100, 1234.5f),
        medium("cd", 0x01020304, 10, 100, 1234.5f), medium("CD", 0x04030201, 10, 100, 1234.5f),
    };
    EXPECT_EQ(find_identical_medium(list, current), 5);
}

}  // namespace
}  // namespace orbisto

namespace orbisto {
namespace {

// The scanned path is read from the few bytes that hold it where the file
// allows, and from the whole file otherwise: both give what a load shows.
TEST(ReadScannedPath, GivesWhatALoadGivesForEveryKindOfFile) {
    test::MediaFixture f;
    const struct {
        const char* first_dir;  // nullptr: a whole medium, no directory
        bool packed;
        const char* want;
    } rows[] = {
        {nullptr, false, ""},
        {"/mnt/Grüße", false, "/mnt/Grüße"},  // Windows-1252 file
        {"/mnt/Ωmega", false, "/mnt/Ωmega"},  // names in UTF-8
        {"/mnt/Ωmega", true, "/mnt/Ωmega"},   // compressed: the whole file
        {"docs", false, ""},                  // a directory of the medium
    };
    int n = 0;
    for (const auto& r : rows) {
        f.ctx.settings.options.store_compressed = r.packed;
        f.ctx.catalog.reset(false);
        f.ctx.catalog.set_current_number(-1);
        if (r.first_dir) {
            DirRecord d;
            d.name = f.ctx.catalog.append_name(r.first_dir).value;
            f.ctx.catalog.append_dir(d);
        }
        ASSERT_EQ(SaveCatalog(f.ctx, n), n);
        EXPECT_EQ(read_scanned_path(f.ctx, n), std::optional<std::string>(r.want)) << n;
        ++n;
    }
    f.dir.write("9.cd", std::string(read_file(f.path(1))->substr(0, 1085)));  // cut in the names
    EXPECT_EQ(read_scanned_path(f.ctx, 9), std::nullopt);
}

}  // namespace
}  // namespace orbisto
