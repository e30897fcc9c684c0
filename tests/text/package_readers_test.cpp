// Descriptions read from packages: ZIP comments made by the real zip, the
// RPM package built by rpmbuild and damaged copies of it, LSM entries and the
// info command's text.
#include "text/package_readers.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "catalog/catalog_context.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"
#include "text/package_readers.h"

namespace orbisto {
namespace {

const std::string kRpm =
    std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/packages/hello-desc-1.0-1.noarch.rpm";

class PackageReaders : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::TempDir tmp;
    std::uint32_t comment = 0;

    std::string text() const { return std::string(ctx.catalog.comment_at(comment)); }
    // A ZIP archive made by the real zip with `note` as its archive comment.
    std::string zip_with_comment(const std::string& note) {
        tmp.write("member.txt", "member");
        tmp.write("note", note);
        const std::string cmd = "cd '" + tmp.path() + "' && zip -q -z a.zip member.txt < note";
        if (std::system(cmd.c_str()) != 0) return {};
        return tmp.file("a.zip");
    }
};

TEST(ZipCommentOf, TakesEverythingAfterTheLastRecordWhateverItsLengthFieldSays) {
    // The record's comment-length field (its last two bytes) claims 0xFFFF.
    const std::string record = std::string("PK\x05\x06", 4) + std::string(18, '\xFF');
    const std::string c50(50, 'c');
    EXPECT_FALSE(zip_comment_of(record + std::string(49, 'c')));
    EXPECT_EQ(zip_comment_of("junk" + record + std::string(50, 'a') + record + c50), c50);
    // A signature near the end cannot start a record.
    EXPECT_FALSE(zip_comment_of(c50 + std::string("PK\x05\x06", 4) + "12345"));
}

TEST_F(PackageReaders, ZipCommentsOfFiftyBytesAndMoreAreCleanedAndKept) {
    const std::string c49 = zip_with_comment(std::string(49, 'x'));
    if (c49.empty()) GTEST_SKIP() << "zip is not installed";
    EXPECT_FALSE(ReadZipComment(ctx, c49, comment));

    const std::string c50 = zip_with_comment("Super Game v1.0 - the best game ever made, 1995 --");
    ASSERT_TRUE(ReadZipComment(ctx, c50, comment));
    EXPECT_EQ(text(), "SuperGamev10thebestgameevermade,1995");

    EXPECT_FALSE(ReadZipComment(ctx, zip_with_comment(std::string(60, '\x01')), comment));
}

TEST_F(PackageReaders, RpmDescriptionOfARealPackageWithinTheLimit) {
    ctx.settings.options.max_description_bytes = 10;
    EXPECT_TRUE(ReadRpmComment(ctx, comment, kRpm));
    EXPECT_EQ(text(), "Hello from");
}

// Offsets in the fixture: main header at 4504, its entry count at 4512,
// data-area size at 4516 and 32 index entries from 4520.
TEST_F(PackageReaders, LyingRpmHeadersGiveNoDescription) {
    const std::string rpm = *read_file(kRpm);
    const auto be32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 8), static_cast<char>(v)};
    };
    const std::size_t desc_field = rpm.find(be32(1005), 4520) + 8;  // offset of tag 1005
    ASSERT_EQ((desc_field - 4520) % 16, 8u);
    const auto patched = [&](std::size_t at, std::uint32_t v) {
        return rpm.substr(0, at) + be32(v) + rpm.substr(at + 4);
    };
    const struct {
        std::string name, bytes;
        bool damaged;
    } cases[] = {
        {"5000 entries", patched(4512, 5000), true},
        {"offset past the end", patched(desc_field, 0x7FFFFFF0), true},
        {"offset past the data area", patched(4516, 40), true},
        {"cut inside the index", rpm.substr(0, 4600), true},
        {"no lead", "\x01" + rpm.substr(1), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fe.statuses.clear();
        comment = 0;
        EXPECT_TRUE(ReadRpmComment(ctx, comment, tmp.write("x.rpm", c.bytes)));
        EXPECT_FALSE(ReadRpmDescriptionInto(ctx, tmp.file("x.rpm"), comment));
        EXPECT_EQ(comment, 0u);
        EXPECT_EQ(fe.statuses, c.damaged ? std::vector<std::string>(2, "RPM defekt?")
                                         : std::vector<std::string>{});
    }
}

TEST(LsmDescription, DescLinesAreJoinedInKeyOrderUpToANul) {
    EXPECT_EQ(lsm_description("Desc2: =two\r\ndesc1=no\r\nDesc1 = one\r\n"), " onetwo");
    EXPECT_EQ(lsm_description(std::string("Desc1=cut\0Desc2=hidden", 22)), "cut");
}

TEST_F(PackageReaders, InfoFileIsCleanedAndRemoved) {
    ctx.paths.temp_dir = tmp.path();
    tmp.write("ORBISTO.INFO", "Packed by ARJ 2.41.");
    ReadInfoFile(ctx, comment);
    EXPECT_EQ(text(), "PackedbyARJ241");
    EXPECT_FALSE(file_exists(tmp.file("ORBISTO.INFO")));
}

}  // namespace
}  // namespace orbisto
