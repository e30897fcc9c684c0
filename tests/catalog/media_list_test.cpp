// Building the MediaList from catalogue files and the fast-load index.
#include "catalog/media_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "catalog/fastload.h"
#include "catalog/stored_header.h"
#include "media_fixture.h"
#include "platform/byte_io.h"

namespace orbisto {
namespace {

using test::MediaFixture;

std::string header_bytes(MediumHeader h) {
    const auto stored = header_to_stored(h);
    return std::string(reinterpret_cast<const char*>(stored.data()), stored.size());
}

MediumHeader named_header(std::string_view name, std::uint16_t version = 3) {
    MediumHeader h;
    h.version = version;
    set_fixed_text(h.medium_name, name);
    return h;
}

// A version 2 catalogue: root plus one file "OLD.TXT" of 3,072 bytes in
// directory "SUB".
std::string version2_file(std::string_view name) {
    ByteWriter w;
    w.u16le(2);
    w.fixed_string("OLDLABEL", 14);
    w.fixed_string(name, 44);
    w.u32le(0xCAFE);  // serial
    w.u32le(2);       // directories
    w.u32le(1);       // files
    w.u32le(3);       // total KB
    w.u32le(0);
    const std::string names("\0SUB\0OLD.TXT\0", 13);
    w.u32le(static_cast<std::uint32_t>(names.size()));
    w.fixed_string("Maker", 128);
    w.fixed_string("", 128);
    w.fixed_string("", 128);
    w.fixed_string("", 32);
    w.u32le(0);  // description length
    // directories: root, SUB
    w.u32le(0), w.u32le(0), w.u16le(0), w.u16le(0);
    w.u32le(1), w.u32le(0), w.u16le(0), w.u16le(0);
    // the file
    w.u32le(5), w.u32le(0), w.u32le(3072), w.u64le(0x01D0000000000000ull), w.u16le(1), w.u16le(0);
    w.put(names.data(), names.size());
    w.u8(0);  // comment pool: the empty text
    return std::string(w.buffer().begin(), w.buffer().end());
}

std::uint16_t version_on_disk(const std::string& path) {
    const auto data = read_file(path);
    if (!data || data->size() < 2) return 0;
    std::uint16_t v;
    std::memcpy(&v, data->data(), 2);
    return v;
}

TEST(BuildMediaList, ListsOnlyPlainNumberNamesInNumberOrder) {
    MediaFixture f;
    f.add_medium(10, "ten");
    f.add_medium(2, "two");
    f.add_medium(0, "zero");
    const std::string h = header_bytes(named_header("stray"));
    for (const char* name :
         {"x.cd", "12a.cd", "007.cd", "-1.cd", " 5.cd", "99999.cd", "3.txt", "3.cdx", ".cd"}) {
        f.dir.write(name, h);
    }
    f.dir.write("6.cd", "short");  // shorter than a header: left out silently
    ASSERT_EQ(::mkdir(f.dir.file("7.cd").c_str(), 0755), 0);

    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 2, 10}));
    EXPECT_EQ(f.names(), (std::vector<std::string>{"zero", "two", "ten"}));
    EXPECT_TRUE(f.fe.messages.empty());
    EXPECT_EQ(f.fe.last_status(), "   3: ten");
    EXPECT_GE(f.fe.pumps, 3);
    // The emptied Catalog belongs to no file.
    EXPECT_EQ(f.ctx.catalog.current_number(), -1);
}

TEST(BuildMediaList, ExtensionCaseDoesNotMatterAndTheOwnSpellingWins) {
    MediaFixture f;
    f.dir.write("4.CD", header_bytes(named_header("upper")));
    f.dir.write("5.Cd", header_bytes(named_header("mixed")));
    f.dir.write("5.cd", header_bytes(named_header("own")));
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{4, 5}));
    EXPECT_EQ(f.names(), (std::vector<std::string>{"upper", "own"}));
}

TEST(BuildMediaList, EntryNumbersComeFromFileNamesNotFromHeaders) {
    MediaFixture f;
    MediumHeader h = named_header("copied");
    h.catalog_number = 77;  // a file copied from elsewhere
    f.dir.write("8.cd", header_bytes(h));
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_EQ(f.ctx.media.count(), 1u);
    EXPECT_EQ(f.ctx.media.entries[0].catalog_number, 8u);
}

TEST(BuildMediaList, TextsOfBothFileEncodingsArriveAsUtf8) {
    MediaFixture f;
    MediumHeader latin = named_header("");
    std::memcpy(latin.medium_name,
                "M\xFC"
                "ll",
                4);  // Windows-1252 "Müll"
    latin.text_encoding = TEXT_ENCODING_CP1252;
    std::string raw(reinterpret_cast<const char*>(&latin), sizeof latin);
    f.dir.write("1.cd", raw);
    f.add_medium(2, "\xE6\x97\xA5\xE6\x9C\xAC");  // "日本" needs a UTF-8 file
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.names(), (std::vector<std::string>{"M\xC3\xBCll", "\xE6\x97\xA5\xE6\x9C\xAC"}));
}

TEST(BuildMediaList, Version2FilesAreConvertedAndRewritten) {
    MediaFixture f;
    // The old file is the first one listed: the conversion must not depend
    // on media already being in the list.
    f.dir.write("1.cd", version2_file("Old CD"));
    f.add_medium(4, "new");
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_EQ(f.numbers(), (std::vector<std::uint32_t>{1, 4}));
    const MediumHeader& e = f.ctx.media.entries[0];
    EXPECT_EQ(e.version, 3);
    EXPECT_EQ(fixed_text(e.medium_name), "Old CD");
    EXPECT_EQ(e.volume_serial, 0xCAFEu);
    EXPECT_EQ(e.dir_count, 2u);
    EXPECT_EQ(e.file_count, 1u);
    EXPECT_FLOAT_EQ(e.total_kb, 3.0f);
    EXPECT_EQ(version_on_disk(f.path(1)), 3);
    EXPECT_TRUE(f.fe.messages.empty());

    // The rewritten file is an ordinary catalogue from now on.
    f.ctx.catalog.set_current_number(-1);
    ASSERT_TRUE(LoadCatalog(f.ctx, 1));
    EXPECT_EQ(f.ctx.catalog.file_name(0), "OLD.TXT");
    EXPECT_EQ(f.ctx.catalog.dir_name(1), "SUB");
    EXPECT_FLOAT_EQ(f.ctx.catalog.dirs()[1].size_kb, 3.0f);
}

TEST(BuildMediaList, BrokenVersion2FileIsLeftOutAndKeptOnDisk) {
    MediaFixture f;
    const std::string broken = version2_file("Old CD").substr(0, 300);  // cut inside the info
    f.dir.write("1.cd", broken);
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_TRUE(f.ctx.media.entries.empty());
    EXPECT_FALSE(f.fe.messages.empty());  // the store says why
    EXPECT_EQ(read_file(f.path(1)), broken);
}

TEST(BuildMediaList, OtherVersionsAreRefusedWithTheirPath) {
    MediaFixture f;
    f.dir.write("1.cd", header_bytes(named_header("future", 4)));
    f.dir.write("2.cd", header_bytes(named_header("ancient", 1)));
    f.add_medium(3, "fine");
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{3}));
    ASSERT_EQ(f.fe.messages.size(), 2u);
    EXPECT_EQ(f.fe.messages[0].text, " falsche Datenbankversion ");
    EXPECT_EQ(f.fe.messages[0].caption, f.path(1));
    EXPECT_EQ(f.fe.messages[1].caption, f.path(2));

    MediaFixture en;
    en.ctx.settings.options.language = 1;
    en.dir.write("1.cd", header_bytes(named_header("future", 4)));
    BuildMediaList(en.ctx);
    ASSERT_EQ(en.fe.messages.size(), 1u);
    EXPECT_EQ(en.fe.messages[0].text, " wrong version of database ");
}

TEST(BuildMediaList, CompressedFilesAreListedByTheirInnerHeader) {
    MediaFixture f;
    f.ctx.settings.options.gepacktSpeichern = 1;
    f.add_medium(3, "packed");
    ASSERT_EQ(version_on_disk(f.path(3)), 0x4B50);  // "PK"
    f.ctx.settings.options.gepacktSpeichern = 0;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.names(), (std::vector<std::string>{"packed"}));
    EXPECT_EQ(f.ctx.media.entries[0].version, 3);
    // A damaged archive is reported by the store and left out.
    f.dir.write("4.cd", "PK" + std::string(200, 'x'));
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{3}));
}

TEST(BuildMediaList, MediaLimitGrowsWhileFilesAreRead) {
    MediaFixture f;
    f.ctx.limits.media = 20;
    for (int n = 0; n < 25; ++n) {
        f.dir.write(std::to_string(n) + ".cd", header_bytes(named_header("m")));
    }
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.ctx.media.count(), 25u);
    EXPECT_EQ(f.ctx.limits.media, 70u);  // raised by 50 at 10 media, again at 20
}

// ---- the fast-load index ----

struct FastLoadFixture : MediaFixture {
    FastLoadFixture() {
        add_medium(0, "zero");
        add_medium(1, "one");
        add_medium(2, "two");
        ctx.settings.options.FastLoad = 1;
    }
    std::string index_path() const { return dir.file(kFastLoadName); }
};

TEST(FastLoadIndex, ValidIndexIsUsedEvenWhenFilesDiffer) {
    FastLoadFixture f;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_TRUE(WriteFastLoadIndex(f.ctx));
    EXPECT_EQ(read_file(f.index_path())->size(), 3 * 136u);

    ASSERT_EQ(::unlink(f.path(1).c_str()), 0);
    f.add_medium(5, "five");
    f.fe.statuses.clear();
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(f.names(), (std::vector<std::string>{"zero", "one", "two"}));
    EXPECT_TRUE(f.fe.statuses.empty());  // no file was read

    // With FastLoad off the files count.
    f.ctx.settings.options.FastLoad = 0;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 2, 5}));
}

TEST(FastLoadIndex, DamagedIndexIsIgnoredSilently) {
    FastLoadFixture f;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_TRUE(WriteFastLoadIndex(f.ctx));
    const std::string good = *read_file(f.index_path());
    f.add_medium(7, "seven");  // only the files know this one

    // One byte too many.
    f.dir.write(kFastLoadName, good.substr(0, 136) + "x");
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2, 7}));

    // An entry of another version.
    std::string bad = good;
    bad[136] = 4;
    f.dir.write(kFastLoadName, bad);
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2, 7}));

    // An empty index holds nothing to take.
    f.dir.write(kFastLoadName, "");
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.ctx.media.count(), 4u);
    EXPECT_TRUE(f.fe.messages.empty());
}

TEST(FastLoadIndex, TextsSurviveTheIndexInBothEncodings) {
    MediaFixture f;
    f.ctx.settings.options.FastLoad = 1;
    f.add_medium(0, "M\xC3\xBCll");               // fits Windows-1252
    f.add_medium(1, "\xE6\x97\xA5\xE6\x9C\xAC");  // does not
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_TRUE(WriteFastLoadIndex(f.ctx));
    const std::string index = *read_file(f.dir.file(kFastLoadName));
    EXPECT_EQ(index.substr(34, 4),
              "M\xFC"
              "ll");  // stored as Windows-1252
    const auto back = read_fastload_entries(f.dir.file(kFastLoadName));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ(fixed_text((*back)[0].medium_name), "M\xC3\xBCll");
    EXPECT_EQ(fixed_text((*back)[1].medium_name), "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST(FastLoadIndex, LargeIndexRaisesTheMediaLimit) {
    MediaFixture f;
    f.ctx.settings.options.FastLoad = 1;
    std::string index;
    for (int i = 0; i < 300; ++i) {
        MediumHeader h = named_header("m");
        h.catalog_number = static_cast<std::uint32_t>(i);
        index += header_bytes(h);
    }
    f.dir.write(kFastLoadName, index);
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.ctx.media.count(), 300u);
    EXPECT_EQ(f.ctx.limits.media, 350u);
}

TEST(FastLoadIndex, WrittenOnlyWithFastLoadAndFailuresAreReported) {
    FastLoadFixture f;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    f.ctx.settings.options.FastLoad = 0;
    EXPECT_TRUE(WriteFastLoadIndex(f.ctx));
    EXPECT_FALSE(file_exists(f.index_path()));

    f.ctx.settings.options.FastLoad = 1;
    f.ctx.paths.catalog_dir = f.dir.file("missing");
    EXPECT_FALSE(WriteFastLoadIndex(f.ctx));
    ASSERT_EQ(f.fe.messages.size(), 1u);
    EXPECT_EQ(f.fe.messages[0].text, "Datei konnte nicht angelegt werden");
    EXPECT_EQ(f.fe.messages[0].caption, f.dir.file("missing/fastload.cds"));
    EXPECT_EQ(f.fe.messages[0].icon, Icon::Stop);
}

TEST(FastLoadIndex, ExistingIndexOfAnotherSpellingIsReplaced) {
    FastLoadFixture f;
    f.dir.write("FASTLOAD.CDS", "old");
    ASSERT_TRUE(BuildMediaList(f.ctx));  // "old" is no valid index
    ASSERT_TRUE(WriteFastLoadIndex(f.ctx));
    EXPECT_EQ(read_file(f.dir.file("FASTLOAD.CDS"))->size(), 3 * 136u);
    EXPECT_FALSE(file_exists(f.index_path()));
}

TEST(FastLoadIndex, RegenerationAsksAndRebuildsFromTheFiles) {
    FastLoadFixture f;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_TRUE(WriteFastLoadIndex(f.ctx));
    f.add_medium(9, "nine");  // the index is stale now

    f.fe.answers = {Answer::No};
    EXPECT_FALSE(RegenerateFastLoadIndex(f.ctx));
    ASSERT_EQ(f.fe.messages.size(), 1u);
    EXPECT_EQ(f.fe.messages[0].text,
              "Sie haben FastLoad aktiviert.\r\nSoll ich die FastLoad-Datei neu erzeugen?");
    EXPECT_EQ(f.fe.messages[0].caption, "FastLoad");
    EXPECT_EQ(read_file(f.index_path())->size(), 3 * 136u);

    // Yes: the changed Catalog is offered for saving first.
    f.ctx.catalog.set_changed(true);
    f.fe.messages.clear();
    f.fe.answers = {Answer::Yes, Answer::No};
    EXPECT_TRUE(RegenerateFastLoadIndex(f.ctx));
    ASSERT_EQ(f.fe.messages.size(), 2u);
    EXPECT_EQ(f.fe.messages[1].text, "Datei schreiben?");
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2, 9}));
    EXPECT_EQ(read_file(f.index_path())->size(), 4 * 136u);
    EXPECT_EQ(f.ctx.settings.options.FastLoad, 1);
}

TEST(MediaListEntries, StoreReplacesByNumberOrAppends) {
    MediaList list;
    MediumHeader a = named_header("a");
    a.catalog_number = 4;
    list.store(a);
    MediumHeader b = named_header("b");
    b.catalog_number = 2;
    list.store(b);
    set_fixed_text(a.medium_name, "a2");
    list.store(a);
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(fixed_text(list.entries[0].medium_name), "a2");
    EXPECT_EQ(list.position_of(2), 1u);
    EXPECT_FALSE(list.position_of(3));
}

}  // namespace
}  // namespace orbisto
