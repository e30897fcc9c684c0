// Loading and saving catalogues through the Context: round trips, numbers,
// messages, atomic saves, header access and compressed files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "catalog/catalog_context.h"
#include "catalog/catalog_file_fixture.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store.h"
#include "catalog/catalog_store_file.h"
#include "catalog/catalog_zip.h"
#include "catalog/media_list.h"
#include "platform/leftovers.h"
#include "session/context.h"

namespace orbisto {
namespace {

using test::Bytes;
using test::CatalogFileStore;
using test::get_u16;
using test::small_catalog;

const char* const kWriteError =
    "Schreibfehler Head\r\nLaufwerk voll?\r\nCDS-Verzeichnis nicht vorhanden?\r\nSchreibgeschützt?";

std::set<std::string> entries_of(const std::string& dir) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir)) out.insert(e.path().filename());
    return out;
}

// Exactly one message box was shown, with this text and caption.
void expect_only_message(const test::ScriptedFrontend& fe, std::string_view text,
                         std::string_view caption) {
    ASSERT_EQ(fe.messages.size(), 1u);
    EXPECT_EQ(fe.messages[0].text, text);
    EXPECT_EQ(fe.messages[0].caption, caption);
}

// Saved, its header rewritten alone, and loaded again, whatever the setting
// for compressed files says at each step.
TEST_F(CatalogFileStore, PlainAndCompressedFilesRoundTripAndKeepTheirLayoutUnderHeaderWrites) {
    for (const int packed : {0, 1}) {
        SCOPED_TRACE(packed);
        ctx.settings.options.store_compressed = packed;
        Catalog c = small_catalog("Übersicht", "日本.txt", "Grüße");
        save_as(c, 4);
        EXPECT_EQ(file_bytes(4)[0] == 'P', packed == 1);
        ctx.settings.options.store_compressed = 1 - packed;
        MediumHeader h;
        ASSERT_EQ(ReadCatalogHeader(ctx, 4, h), 1);
        h.category = c.header.category = 9;
        h.dir_count = 999;  // the layout of the file is not the header's to change
        h.names_size = 1;
        ASSERT_EQ(WriteCatalogHeader(ctx, 4, h), 1);
        if (packed) {  // both members carry the new header
            Bytes header, cd;
            ASSERT_EQ(read_zip_member(file_bytes(4), "HEADER", SIZE_MAX, header),
                      ZipReadError::None);
            ASSERT_EQ(read_zip_member(file_bytes(4), "00.CD", SIZE_MAX, cd), ZipReadError::None);
            EXPECT_TRUE(std::equal(header.begin(), header.end(), cd.begin()));
        }
        ASSERT_TRUE(LoadCatalog(ctx, 4));
        test::expect_same_catalog(c, ctx.catalog);
        EXPECT_EQ(ctx.catalog.current_number(), 4);
        EXPECT_FALSE(ctx.catalog.changed());
        ctx.catalog.set_current_number(-1);
    }
}

// Yes saves, No drops the change, and a failed save keeps it in memory.
TEST_F(CatalogFileStore, AChangedCatalogIsOfferedForSavingBeforeALoad) {
    save_as(small_catalog(), 0);
    save_as(small_catalog("other"), 1);
    ASSERT_TRUE(LoadCatalog(ctx, 0));
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        set_fixed_text(ctx.catalog.header.medium_name, answer == Answer::Yes ? "saved" : "dropped");
        ctx.catalog.set_changed(true);
        fe.answers = {answer};
        ASSERT_TRUE(LoadCatalog(ctx, 1));
        ASSERT_TRUE(LoadCatalog(ctx, 0));  // not asked: nothing changed
        EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "saved");
    }
    EXPECT_EQ(fe.messages.size(), 2u);

    set_fixed_text(ctx.catalog.header.medium_name, "unsaved");
    ctx.catalog.set_changed(true);
    ctx.paths.catalog_dir = dir.file("gone");  // the save cannot write
    fe.answers = {Answer::Yes};
    EXPECT_FALSE(LoadCatalog(ctx, 1));
    EXPECT_TRUE(fe.saw_message(kWriteError));
    EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "unsaved");
    EXPECT_TRUE(ctx.catalog.changed());
}

TEST_F(CatalogFileStore, ReadFailuresShowTheirMessageAndLeaveAnEmptyCatalog) {
    save_as(small_catalog(), 0);
    const Bytes full = write_catalog_bytes(small_catalog());
    Bytes v5 = full;
    v5[0] = 5;
    const struct {
        Bytes bytes;
        const char* text;
    } cases[] = {
        {Bytes(full.begin(), full.begin() + 500), " Lesefehler CD-Info "},
        {v5, " falsche Datenbankversion "},
        {test::to_bytes("PK\x03\x04 not really an archive"), "Entpacken nicht möglich"},
    };
    for (const auto& k : cases) {
        ASSERT_TRUE(LoadCatalog(ctx, 0));
        write_bytes(5, k.bytes);
        fe.messages.clear();
        EXPECT_FALSE(LoadCatalog(ctx, 5));
        const bool zip = k.bytes[0] == 'P';
        expect_only_message(fe, k.text, zip ? "Fehler!" : catalog_path(ctx.paths.catalog_dir, 5));
        EXPECT_EQ(ctx.catalog.file_count(), 0u);
        // The empty Catalog belongs to no file, so it can never be saved
        // over the one shown before.
        EXPECT_EQ(ctx.catalog.current_number(), -1);
    }
}

// Sets the unpacked size of every member named `name` in both the local and
// the central directory headers.
void claim_size(Bytes& zip, std::string_view name, std::uint32_t size) {
    const std::string text = test::to_string(zip);
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        if (at >= 30 && text.compare(at - 30, 4, "PK\3\4") == 0) test::set_u32(zip, at - 8, size);
        if (at >= 46 && text.compare(at - 46, 4, "PK\1\2") == 0) test::set_u32(zip, at - 22, size);
    }
}

TEST_F(CatalogFileStore, ACompressedFileClaimingAnAbsurdSizeIsRefused) {
    const auto zip = make_catalog_zip(write_catalog_bytes(small_catalog()));
    ASSERT_TRUE(zip.has_value());
    for (const std::uint32_t claim : {0xC0000000u, 200000000u}) {
        Bytes bomb = *zip;
        claim_size(bomb, "00.CD", claim);
        write_bytes(6, bomb);
        EXPECT_FALSE(LoadCatalog(ctx, 6)) << claim;
        MediumHeader h;
        EXPECT_EQ(ReadCatalogHeader(ctx, 6, h), 0);
    }
    EXPECT_EQ(fe.messages.back().text, "Lesefehler Version");
}

// Every byte of the archive flipped in turn: the file either loads as the
// very catalogue that was saved or is refused with a message, and a refused
// file is left as it was.
TEST_F(CatalogFileStore, EveryFlippedByteOfACompressedFileIsCaughtOrHarmless) {
    const Catalog saved = small_catalog("Übersicht", "readme.txt", "a comment to be kept");
    const auto zip = make_catalog_zip(write_catalog_bytes(saved));
    ASSERT_TRUE(zip.has_value());
    int refused = 0;
    for (std::size_t at = 0; at < zip->size(); ++at) {
        SCOPED_TRACE(at);
        Bytes damaged = *zip;
        damaged[at] ^= 0x5A;
        write_bytes(7, damaged);
        fe.messages.clear();
        if (LoadCatalog(ctx, 7)) {
            EXPECT_TRUE(fe.messages.empty());
            test::expect_same_catalog(saved, ctx.catalog);
        } else {
            ++refused;
            EXPECT_EQ(fe.messages.size(), 1u);
            EXPECT_EQ(ctx.catalog.current_number(), -1);
            EXPECT_EQ(file_bytes(7), damaged);
        }
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
    }
    EXPECT_GT(refused, 0);
}

// Within the ratio an archive may have, but far beyond what the header's
// counts can need: refused like an absurd size, before anything is inflated.
TEST_F(CatalogFileStore, ACompressedMemberLargerThanItsCountsCanNeedIsRefused) {
    const Bytes plain = write_catalog_bytes(small_catalog());
    const auto zip = make_catalog_zip(plain);
    ASSERT_TRUE(zip.has_value());
    StoredMediumHeader counts;
    std::memcpy(&counts, plain.data(), sizeof counts);
    const std::uint64_t claim = 3u << 20;
    ASSERT_LT(claim, max_unpacked_size(zip->size()));
    ASSERT_GT(claim, catalog_bytes_needed(counts));
    Bytes bomb = *zip;
    claim_size(bomb, "00.CD", static_cast<std::uint32_t>(claim));
    write_bytes(6, bomb);
    EXPECT_FALSE(LoadCatalog(ctx, 6));
    ASSERT_EQ(fe.messages.size(), 1u);
    EXPECT_EQ(fe.messages[0].text, "Lesefehler Version");
}

TEST_F(CatalogFileStore, ACatalogueTooLongForThatBoundIsStoredPlainAndLoadsAgain) {
    // A description file of 3 MB taken as a comment (the size setting allows
    // it) passes what the counts of four files make plausible when packed.
    Catalog c = small_catalog();
    c.files()[1].comment = c.append_comment(std::string(3 << 20, 'c')).value;
    ctx.settings.options.store_compressed = true;
    save_as(c, 2);
    EXPECT_NE(file_bytes(2)[0], 'P');
    ASSERT_TRUE(LoadCatalog(ctx, 2));
    EXPECT_EQ(ctx.catalog.file_comment(1).size(), 3u << 20);
}

TEST_F(CatalogFileStore, ANewCatalogueTakesTheLowestFreeNumberWhateverTheCaseOfTheOthers) {
    for (const int n : {0, 3}) save_as(small_catalog(), n);
    dir.write("1.Cd", "x");  // files copied from Windows
    dir.write("4.CD", "x");
    EXPECT_EQ(catalog_path(ctx.paths.catalog_dir, 4), dir.file("4.CD"));
    ctx.catalog = small_catalog();
    EXPECT_EQ(SaveCatalog(ctx, -1), 2);
    EXPECT_EQ(test::get<std::uint32_t>(file_bytes(2), 124), 2u);  // the header knows its number

    ctx.limits.media = 4;  // at the limit nothing is written
    const auto before = entries_of(dir.path());
    fe.messages.clear();
    EXPECT_EQ(SaveCatalog(ctx, -1), -1);
    expect_only_message(fe, " Zuviele Dateien ", " Fehler ");
    EXPECT_EQ(entries_of(dir.path()), before);
}

TEST_F(CatalogFileStore, AWriteThatFailsHalfwayLeavesThePreviousFileIntact) {
    save_as(small_catalog(), 0);
    const Bytes old = file_bytes(0);
    Catalog big = small_catalog();
    big.set_description(std::string(30000, 'x'));

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The child may write files of at most 4,000 bytes.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4000, 4000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int result = 0;
        ctx.catalog = big;
        ctx.catalog.set_changed(true);
        if (SaveCatalog(ctx, 0) == -1) result |= 1;
        if (fe.saw_message(kWriteError)) result |= 2;
        if (SaveCatalog(ctx, -1) == -1) result |= 4;
        if (ctx.catalog.changed()) result |= 8;
        ::_exit(result);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 15);
    EXPECT_EQ(file_bytes(0), old);
    // Neither the claimed number nor a temporary file is left behind.
    EXPECT_EQ(entries_of(dir.path()), std::set<std::string>{"0.cd"});
}

TEST_F(CatalogFileStore, TheNumberOfAClaimWhoseRunDiedIsTakenAgainALiveClaimIsNot) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        FileLock claim;
        ::_exit(claim_catalog_number(ctx, claim) == 0 ? 0 : 1);  // dies before its save
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(BuildMediaList(ctx));
    EXPECT_TRUE(ctx.media.entries.empty());  // a placeholder is no medium
    EXPECT_TRUE(fe.messages.empty());

    ctx.catalog = small_catalog();
    EXPECT_EQ(SaveCatalog(ctx, -1), 0);
    FileLock live;
    EXPECT_EQ(claim_catalog_number(ctx, live), 1);
    // Files that merely look like a claim are no claims.
    dir.write("2.cd", "");
    std::string boot = read_file("/proc/sys/kernel/random/boot_id").value_or("");
    if (!boot.empty() && boot.back() == '\n') boot.pop_back();
    const std::string owner = "orbisto-claim " + std::to_string(pid) + " ";
    const std::string mark = owner + boot + "\n";
    dir.write("3.cd", mark + std::string(200, 'x'));
    EXPECT_EQ(SaveCatalog(ctx, -1), 4);
    // A claim made on another machine that shares the directory is never
    // judged by this machine's processes and locks.
    dir.write("5.cd", owner + "another-machine\n");
    dir.write("6.cd", mark);  // the dead run's mark alone is its claim
    EXPECT_EQ(SaveCatalog(ctx, -1), boot.empty() ? 7 : 6);
    EXPECT_EQ(entries_of(dir.path()).size(), boot.empty() ? 8u : 7u);
}

TEST_F(CatalogFileStore, AHeaderTextOutsideWindows1252RewritesTheFileAsUtf8) {
    save_as(small_catalog("Bücher"), 0);
    MediumHeader h;
    ASSERT_EQ(ReadCatalogHeader(ctx, 0, h), 1);
    set_fixed_text(h.medium_name, "日本");
    ASSERT_EQ(WriteCatalogHeader(ctx, 0, h), 1);
    EXPECT_EQ(get_u16(file_bytes(0), 98), TEXT_ENCODING_UTF8);
    ASSERT_TRUE(LoadCatalog(ctx, 0));
    EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "日本");
    EXPECT_EQ(ctx.catalog.file_path(0), "Bücher/readme.txt");
}

TEST_F(CatalogFileStore, HeaderAccessToMissingShortAndOldFilesChangesNothing) {
    MediumHeader h;
    EXPECT_EQ(ReadCatalogHeader(ctx, 5, h), 0);  // missing: silent
    EXPECT_EQ(WriteCatalogHeader(ctx, 5, h), 0);
    EXPECT_TRUE(fe.messages.empty());

    dir.write("6.cd", std::string(100, '\3'));
    EXPECT_EQ(WriteCatalogHeader(ctx, 6, h), 0);
    expect_only_message(fe, "Lesefehler Version", catalog_path(ctx.paths.catalog_dir, 6));
    EXPECT_EQ(read_file(dir.file("6.cd")).value(), std::string(100, '\3'));
}

}  // namespace
}  // namespace orbisto
