// Building the MediaList from catalogue files and the fast-load index.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalog/fastload.h"
#include "catalog/stored_header.h"
#include "media_fixture.h"
#include "platform/byte_io.h"

namespace orbisto {
namespace {

using test::MediaFixture;

std::string header_bytes(std::string_view name, std::uint16_t version = 3) {
    MediumHeader h;
    h.version = version;
    h.catalog_number = 77;  // as in a file copied from elsewhere
    set_fixed_text(h.medium_name, name);
    const auto stored = header_to_stored(h);
    return std::string(stored.begin(), stored.end());
}

// A version 2 catalogue: the root, directory "SUB" and in it "OLD.TXT" of
// 3,072 bytes.
std::string version2_file() {
    ByteWriter w;
    w.u16le(2);
    w.fixed_string("OLDLABEL", 14);
    w.fixed_string("Old CD", 44);
    for (std::uint32_t v : {0xCAFEu, 2u, 1u, 3u, 0u, 13u}) w.u32le(v);  // serial .. names size
    w.buffer().resize(w.buffer().size() + 416);                         // info texts
    w.u32le(0);                                                         // description length
    for (std::uint32_t name : {0u, 1u}) w.u32le(name), w.u32le(0), w.u32le(0);
    w.u32le(5), w.u32le(0), w.u32le(3072), w.u64le(0x01D0000000000000ull), w.u32le(1);
    w.put("\0SUB\0OLD.TXT\0", 13);
    w.u8(0);
    return std::string(w.buffer().begin(), w.buffer().end());
}

std::uint16_t version_on_disk(const std::string& path) {
    const auto data = read_file(path);
    return data && data->size() >= 2
               ? static_cast<std::uint16_t>(static_cast<unsigned char>((*data)[0]) |
                                            static_cast<unsigned char>((*data)[1]) << 8)
               : 0;
}

TEST(BuildMediaList, ListsOnlyCatalogueNumberNamesInNumberOrder) {
    MediaFixture f;
    f.add_medium(10, "ten");
    f.add_medium(0, "zero");
    for (const char* name : {"x.cd", "12a.cd", "007.cd", "-1.cd", " 5.cd", "99999.cd", "3.cdx"}) {
        f.dir.write(name, header_bytes("stray"));
    }
    f.dir.write("4.CD", header_bytes("upper"));  // any case of the extension
    f.dir.write("6.cd", "short");                // shorter than a header
    ASSERT_EQ(::mkdir(f.dir.file("7.cd").c_str(), 0755), 0);

    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 4, 10}));  // numbers from the names
    EXPECT_EQ(f.names(), (std::vector<std::string>{"zero", "upper", "ten"}));
    EXPECT_TRUE(f.fe.messages.empty());
    EXPECT_EQ(f.fe.last_status(), "   3: ten");
    EXPECT_EQ(f.ctx.catalog.current_number(), -1);
}

TEST(BuildMediaList, Version2IsConvertedOtherVersionsAreRefused) {
    MediaFixture f;
    // The old file comes first: converting must not need media in the list.
    f.dir.write("1.cd", version2_file());
    const std::string broken = version2_file().substr(0, 300);
    f.dir.write("2.cd", broken);
    f.dir.write("3.cd", header_bytes("future", 4));
    f.dir.write("5.cd", header_bytes("ancient", 1));
    ASSERT_TRUE(BuildMediaList(f.ctx));

    ASSERT_EQ(f.numbers(), (std::vector<std::uint32_t>{1}));
    const MediumHeader& e = f.ctx.media.entries[0];
    EXPECT_EQ(fixed_text(e.medium_name), "Old CD");
    EXPECT_EQ(e.version, 3);
    EXPECT_EQ(e.file_count, 1u);
    EXPECT_FLOAT_EQ(e.total_kb, 3.0f);
    EXPECT_EQ(version_on_disk(f.path(1)), 3);
    f.ctx.catalog.set_current_number(-1);
    ASSERT_TRUE(LoadCatalog(f.ctx, 1));
    EXPECT_EQ(f.ctx.catalog.file_path(0), "SUB/OLD.TXT");

    // The broken old file is reported by the store and kept as it is.
    EXPECT_EQ(read_file(f.path(2)), broken);
    ASSERT_EQ(f.fe.messages.size(), 3u);
    EXPECT_EQ(f.fe.messages[1].text, " falsche Datenbankversion ");
    EXPECT_EQ(f.fe.messages[1].caption, f.path(3));
    EXPECT_EQ(f.fe.messages[2].caption, f.path(5));
}

TEST(BuildMediaList, CompressedFilesAreListedByTheirInnerHeader) {
    MediaFixture f;
    f.ctx.settings.options.gepacktSpeichern = 1;
    f.add_medium(3, "packed");
    ASSERT_EQ(version_on_disk(f.path(3)), 0x4B50);      // "PK"
    f.dir.write("4.cd", "PK" + std::string(200, 'x'));  // a damaged archive
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.names(), (std::vector<std::string>{"packed"}));
}

TEST(BuildMediaList, MediaLimitGrowsWhileFilesAreRead) {
    MediaFixture f;
    f.ctx.limits.media = 20;
    for (int n = 0; n < 25; ++n) f.dir.write(std::to_string(n) + ".cd", header_bytes("m"));
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.ctx.media.count(), 25u);
    EXPECT_EQ(f.ctx.limits.media, 70u);  // raised by 50 at 10 media and at 20
}

// ---- the fast-load index ----

struct FastLoadFixture : MediaFixture {
    FastLoadFixture() {
        add_medium(0, "zero");
        add_medium(1, "one");
        add_medium(2, "two");
        ctx.settings.options.FastLoad = 1;
        EXPECT_TRUE(BuildMediaList(ctx));
        EXPECT_TRUE(WriteFastLoadIndex(ctx));
    }
    std::string index_path() const { return dir.file(kFastLoadName); }
};

TEST(FastLoadIndex, ValidIndexWinsOverTheFilesDamagedOneIsIgnored) {
    FastLoadFixture f;
    const std::string good = *read_file(f.index_path());
    EXPECT_EQ(good.size(), 3 * 136u);
    ASSERT_EQ(::unlink(f.path(1).c_str()), 0);
    f.add_medium(5, "five");
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2}));

    const std::vector<std::uint32_t> from_files{0, 2, 5};
    std::string other_version = good;
    other_version[136] = 4;
    for (const std::string& bad : {good.substr(0, 136) + "x", other_version, std::string()}) {
        f.dir.write(kFastLoadName, bad);
        ASSERT_TRUE(BuildMediaList(f.ctx));
        EXPECT_EQ(f.numbers(), from_files) << bad.size();
    }
    f.dir.write(kFastLoadName, good);
    f.ctx.settings.options.FastLoad = 0;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), from_files);
    EXPECT_TRUE(f.fe.messages.empty());
}

TEST(FastLoadIndex, TextsAreStoredAsWindows1252WhenTheyFit) {
    MediaFixture f;
    f.add_medium(0, "M\xC3\xBCll");
    f.add_medium(1, "\xE6\x97\xA5\xE6\x9C\xAC");  // no Windows-1252 form
    f.ctx.settings.options.FastLoad = 1;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_TRUE(WriteFastLoadIndex(f.ctx));
    EXPECT_EQ(read_file(f.dir.file(kFastLoadName))->substr(34, 5), std::string("M\xFCll\0", 5));
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.names(), (std::vector<std::string>{"M\xC3\xBCll", "\xE6\x97\xA5\xE6\x9C\xAC"}));
}

TEST(FastLoadIndex, WrittenOnlyWithFastLoadFailuresReported) {
    FastLoadFixture f;
    ASSERT_EQ(::unlink(f.index_path().c_str()), 0);
    f.ctx.settings.options.FastLoad = 0;
    EXPECT_TRUE(WriteFastLoadIndex(f.ctx));
    EXPECT_FALSE(file_exists(f.index_path()));

    f.ctx.settings.options.FastLoad = 1;
    f.ctx.paths.catalog_dir = f.dir.file("missing");
    EXPECT_FALSE(WriteFastLoadIndex(f.ctx));
    ASSERT_EQ(f.fe.messages.size(), 1u);
    EXPECT_EQ(f.fe.messages[0].text, "Datei konnte nicht angelegt werden");
    EXPECT_EQ(f.fe.messages[0].caption, f.dir.file("missing/fastload.cds"));
}

TEST(FastLoadIndex, RegenerationAsksThenRebuildsFromTheFiles) {
    FastLoadFixture f;
    f.add_medium(9, "nine");  // the index is stale now
    f.fe.answers = {Answer::No};
    EXPECT_FALSE(RegenerateFastLoadIndex(f.ctx));
    EXPECT_EQ(f.fe.messages[0].text,
              "Sie haben FastLoad aktiviert.\r\nSoll ich die FastLoad-Datei neu erzeugen?");
    EXPECT_EQ(read_file(f.index_path())->size(), 3 * 136u);

    f.ctx.catalog.set_changed(true);
    f.fe.answers = {Answer::Yes, Answer::No};
    EXPECT_TRUE(RegenerateFastLoadIndex(f.ctx));
    EXPECT_EQ(f.fe.messages.back().text, "Datei schreiben?");
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2, 9}));
    EXPECT_EQ(read_file(f.index_path())->size(), 4 * 136u);
    EXPECT_EQ(f.ctx.settings.options.FastLoad, 1);
}

}  // namespace
}  // namespace orbisto
