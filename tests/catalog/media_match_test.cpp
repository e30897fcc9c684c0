#include "catalog/media_match.h"

#include <gtest/gtest.h>

#include <vector>

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
    const std::vector<MediumHeader> list = {medium("DATA", 0x11111111), medium("FOTOS", 0x12345678),
                                            medium("FOTOS", 0xAABBCCDD), medium(long_label, 7)};
    EXPECT_EQ(find_medium(list, "FOTOS", 0x12345678), 2u);
    EXPECT_EQ(find_medium(list, "FOTOS", 0x78563412), 2u);  // bytes reversed
    EXPECT_EQ(find_medium(list, "FOTOS", 0xDDCCBBAA), 3u);
    EXPECT_EQ(find_medium(list, "fotos", 0x12345678), 0u);  // case counts
    EXPECT_EQ(find_medium(list, "FOTOS", 0x34127856), 0u);  // swapped words are no match
    EXPECT_EQ(find_medium(list, "FOTO", 0x12345678), 0u);
    // a label longer than the field finds the medium stored with its cut label
    EXPECT_EQ(find_medium(list, long_label, 7), 4u);
}

TEST(FindIdenticalMedium, NeedsLabelCountsTotalAndSerial) {
    const MediumHeader current = medium("CD", 0x01020304, 10, 100, 1234.5f);
    const std::vector<MediumHeader> list = {
        medium("CD", 0x01020304, 11, 100, 1234.5f), medium("CD", 0x01020304, 10, 101, 1234.5f),
        medium("CD", 0x01020304, 10, 100, 1234.0f), medium("CD", 0x01020305, 10, 100, 1234.5f),
        medium("cd", 0x01020304, 10, 100, 1234.5f), medium("CD", 0x04030201, 10, 100, 1234.5f),
    };
    EXPECT_EQ(find_identical_medium(list, current), 5);
    EXPECT_EQ(find_identical_medium(std::span(list).first(5), current), -1);
}

}  // namespace
}  // namespace orbisto
