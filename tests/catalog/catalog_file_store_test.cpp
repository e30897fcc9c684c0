// Loading and saving catalogues through the Context: round trips, numbers,
// messages, atomic saves, header access and compressed files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "catalog/catalog_file_fixture.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store.h"
#include "catalog/catalog_zip.h"

namespace orbisto {
namespace {

using test::Bytes;
using test::get_u16;
using test::get_u32;
using test::small_catalog;
using test::CatalogFileStore;

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

Bytes zip_member(const Bytes& zip, const char* name) {
    Bytes out;
    EXPECT_EQ(read_zip_member(zip, name, SIZE_MAX, out), ZipReadError::None);
    return out;
}

// ---- round trips ----

TEST_F(CatalogFileStore, PlainAndCompressedFilesRoundTrip) {
    for (const int packed : {0, 1}) {
        SCOPED_TRACE(packed);
        ctx.settings.options.gepacktSpeichern = packed;
        const Catalog c = small_catalog("Übersicht", "日本.txt", "Grüße");
        save_as(c, 4);
        const Bytes file = file_bytes(4);
        ASSERT_GE(file.size(), 2u);
        EXPECT_EQ(file[0] == 'P' && file[1] == 'K', packed == 1);  // members: see the header test
        // A compressed file is recognised whatever the setting says.
        ctx.settings.options.gepacktSpeichern = 1 - packed;
        ASSERT_TRUE(LoadCatalog(ctx, 4));
        test::expect_same_catalog(c, ctx.catalog);
        EXPECT_EQ(ctx.catalog.file_path(0), "Übersicht/日本.txt");
        EXPECT_EQ(ctx.catalog.current_number(), 4);
        EXPECT_FALSE(ctx.catalog.changed());
        EXPECT_TRUE(fe.messages.empty());
        ctx.catalog.set_current_number(-1);
    }
}

TEST_F(CatalogFileStore, AChangedCatalogIsOfferedForSavingBeforeALoad) {
    save_as(small_catalog(), 0);
    save_as(small_catalog("other"), 1);
    ASSERT_TRUE(LoadCatalog(ctx, 0));

    // No: the change is dropped.
    set_fixed_text(ctx.catalog.header.medium_name, "first change");
    ctx.catalog.set_changed(true);
    fe.answers = {Answer::No};
    ASSERT_TRUE(LoadCatalog(ctx, 1));
    EXPECT_TRUE(fe.saw_message("Datei schreiben?"));
    ASSERT_TRUE(LoadCatalog(ctx, 0));
    EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "My CD");

    // Yes: saved under its number before the other one is loaded.
    set_fixed_text(ctx.catalog.header.medium_name, "second change");
    ctx.catalog.set_changed(true);
    fe.answers = {Answer::Yes};
    ASSERT_TRUE(LoadCatalog(ctx, 1));
    EXPECT_EQ(ctx.catalog.dir_name(1), "other");
    ASSERT_TRUE(LoadCatalog(ctx, 0));
    EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "second change");
}

TEST_F(CatalogFileStore, AFailedSaveBeforeALoadKeepsTheChangedCatalog) {
    save_as(small_catalog(), 0);
    save_as(small_catalog("other"), 1);
    ASSERT_TRUE(LoadCatalog(ctx, 0));
    set_fixed_text(ctx.catalog.header.medium_name, "unsaved");
    ctx.catalog.set_changed(true);
    ctx.paths.catalog_dir = dir.file("gone");  // the save cannot write
    fe.answers = {Answer::Yes};
    EXPECT_FALSE(LoadCatalog(ctx, 1));
    EXPECT_TRUE(fe.saw_message(kWriteError));
    EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "unsaved");
    EXPECT_TRUE(ctx.catalog.changed());
}

// ---- read failures ----

TEST_F(CatalogFileStore, ReadFailuresShowTheirMessageAndLeaveAnEmptyCatalog) {
    save_as(small_catalog(), 0);
    const Catalog c = small_catalog();
    const Bytes full = write_catalog_bytes(c);
    const std::size_t files = 136 + 872 + c.description().size() + 3 * 36;
    Bytes v4 = full;
    v4[0] = 4;
    const struct {
        Bytes bytes;
        const char* text;
    } cases[] = {
        {Bytes(full.begin(), full.begin() + files + 40), " Lesefehler FILES "},
        {Bytes(full.begin(), full.begin() + 1), "Lesefehler Version"},
        {Bytes(full.begin(), full.begin() + 500), " Lesefehler CD-Info "},
        {v4, " falsche Datenbankversion "},
        {test::to_bytes("PK\x03\x04 not really an archive"), "Entpacken nicht möglich"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.text);
        ASSERT_TRUE(LoadCatalog(ctx, 0));
        write_bytes(5, k.bytes);
        fe.messages.clear();
        EXPECT_FALSE(LoadCatalog(ctx, 5));
        const bool zip = k.bytes[0] == 'P';
        ASSERT_NO_FATAL_FAILURE(
            expect_only_message(fe, k.text, zip ? "Fehler!" : catalog_path(ctx, 5)));
        EXPECT_EQ(fe.messages[0].icon, Icon::Stop);
        EXPECT_EQ(ctx.catalog.dir_count(), 1u);
        EXPECT_EQ(ctx.catalog.file_count(), 0u);
        // The empty Catalog belongs to no file, so it can never be saved
        // over the one shown before.
        EXPECT_EQ(ctx.catalog.current_number(), -1);
    }
}

TEST_F(CatalogFileStore, AMissingFileIsReportedInEitherLanguage) {
    EXPECT_FALSE(LoadCatalog(ctx, 8));
    expect_only_message(fe, " Datei nicht vorhanden ", catalog_path(ctx, 8));
    ctx.settings.options.language = 1;
    EXPECT_FALSE(LoadCatalog(ctx, 9));
    EXPECT_EQ(fe.messages.back().text, " file not found ");
    EXPECT_EQ(ctx.catalog.dir_comment(0), "");
    EXPECT_EQ(ctx.catalog.comment_at(1), "expanded archive!! NO real directory");
}

// Sets the unpacked size of every member named `name` in both the local and
// the central directory headers.
void claim_size(Bytes& zip, std::string_view name, std::uint32_t size) {
    for (std::size_t i = 0; i + 46 <= zip.size(); ++i) {
        if (zip[i] != 'P' || zip[i + 1] != 'K') continue;
        std::size_t name_at = 0, size_at = 0, name_len = 0;
        if (zip[i + 2] == 3 && zip[i + 3] == 4) {
            name_len = test::get_u16(zip, i + 26), name_at = i + 30, size_at = i + 22;
        } else if (zip[i + 2] == 1 && zip[i + 3] == 2) {
            name_len = test::get_u16(zip, i + 28), name_at = i + 46, size_at = i + 24;
        } else {
            continue;
        }
        if (name_at + name_len > zip.size()) continue;
        if (std::string_view(reinterpret_cast<const char*>(&zip[name_at]), name_len) == name) {
            test::set_u32(zip, size_at, size);
        }
    }
}

TEST_F(CatalogFileStore, ACompressedFileClaimingAnAbsurdSizeIsRefused) {
    const auto zip = make_catalog_zip(write_catalog_bytes(small_catalog()));
    ASSERT_TRUE(zip.has_value());
    for (const std::uint32_t claim : {0xC0000000u, 200000000u}) {
        Bytes bomb = *zip;
        claim_size(bomb, "00.CD", claim);
        write_bytes(6, bomb);
        fe.messages.clear();
        EXPECT_FALSE(LoadCatalog(ctx, 6)) << claim;
        expect_only_message(fe, "Lesefehler Version", catalog_path(ctx, 6));
        MediumHeader h;
        EXPECT_EQ(ReadCatalogHeader(ctx, 6, h), 0);
    }
}

// ---- numbers ----

TEST_F(CatalogFileStore, ANewCatalogueTakesTheLowestFreeNumberWhateverTheCaseOfTheOthers) {
    for (const int n : {0, 3}) save_as(small_catalog(), n);
    dir.write("notes.txt", "not a catalogue");
    dir.write("1.Cd", "x");  // files copied from Windows
    dir.write("4.CD", "x");
    EXPECT_EQ(catalog_path(ctx, 4), dir.file("4.CD"));
    EXPECT_EQ(catalog_path(ctx, 5), dir.file("5.cd"));
    EXPECT_EQ(find_free_catalog_number(ctx), 2);
    ctx.catalog = small_catalog();
    EXPECT_EQ(SaveCatalog(ctx, -1), 2);
    EXPECT_EQ(ctx.catalog.current_number(), 2);
    EXPECT_EQ(get_u32(file_bytes(2), 124), 2u);  // the header knows its number
    EXPECT_EQ(find_free_catalog_number(ctx), 5);
}

TEST_F(CatalogFileStore, AtTheMediaLimitNothingIsWritten) {
    ctx.limits.media = 2;
    for (const int n : {0, 1, 2}) save_as(small_catalog(), n);
    const auto before = entries_of(dir.path());
    EXPECT_EQ(find_free_catalog_number(ctx), -1);
    ctx.catalog = small_catalog();
    fe.messages.clear();
    EXPECT_EQ(SaveCatalog(ctx, -1), -1);
    expect_only_message(fe, " Zuviele Dateien ", " Fehler ");
    EXPECT_EQ(entries_of(dir.path()), before);
}

// ---- saving ----

TEST_F(CatalogFileStore, AFailedSaveIsReportedAndKeepsTheChangedFlag) {
    ctx.paths.catalog_dir = dir.file("missing");
    ctx.catalog = small_catalog();
    ctx.catalog.set_changed(true);
    EXPECT_EQ(SaveCatalog(ctx, 0), -1);
    expect_only_message(fe, kWriteError, catalog_path(ctx, 0));
    EXPECT_TRUE(ctx.catalog.changed());
    EXPECT_EQ(ctx.catalog.current_number(), -1);

    EXPECT_EQ(SaveCatalog(ctx, -1), -1);  // a new number cannot even be created
    EXPECT_EQ(fe.messages.back().text, " Kann Datei nicht anlegen ");
    EXPECT_EQ(fe.messages.back().caption, catalog_path(ctx, 0));
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
        if (SaveCatalog(ctx, 0) == -1) result |= 1;
        if (fe.saw_message(kWriteError)) result |= 2;
        if (SaveCatalog(ctx, -1) == -1) result |= 4;
        ::_exit(result);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(file_bytes(0), old);
    // Neither the claimed number nor a temporary file is left behind.
    EXPECT_EQ(entries_of(dir.path()), std::set<std::string>{"0.cd"});
}

// ---- the header alone ----

TEST_F(CatalogFileStore, HeaderReadsAndWritesOnPlainAndCompressedFiles) {
    for (const int packed : {0, 1}) {
        SCOPED_TRACE(packed);
        ctx.settings.options.gepacktSpeichern = packed;
        const Catalog c = small_catalog();
        save_as(c, 1);
        MediumHeader h;
        ASSERT_EQ(ReadCatalogHeader(ctx, 1, h), 1);
        EXPECT_EQ(fixed_text(h.medium_name), "My CD");
        h.category = 9;
        h.medium_flags = 0;
        set_fixed_text(h.medium_name, "Umbenannt");
        h.dir_count = 999;  // the layout of the file is not the header's to change
        h.names_size = 1;
        ASSERT_EQ(WriteCatalogHeader(ctx, 1, h), 1);
        EXPECT_TRUE(fe.messages.empty());

        const Bytes file = file_bytes(1);
        EXPECT_EQ(file[0] == 'P', packed == 1);
        if (packed) {
            // Both members carry the new header.
            const Bytes header = zip_member(file, "HEADER");
            const Bytes cd = zip_member(file, "00.CD");
            ASSERT_EQ(header.size(), 136u);
            EXPECT_EQ(get_u32(header, 104), 9u);
            EXPECT_TRUE(std::equal(header.begin(), header.end(), cd.begin()));
        }
        MediumHeader again;
        ASSERT_EQ(ReadCatalogHeader(ctx, 1, again), 1);
        EXPECT_EQ(again.category, 9u);
        EXPECT_EQ(fixed_text(again.medium_name), "Umbenannt");
        EXPECT_EQ(again.dir_count, 3u);

        Catalog expected = c;
        expected.header.category = 9;
        expected.header.medium_flags = 0;
        set_fixed_text(expected.header.medium_name, "Umbenannt");
        ASSERT_TRUE(LoadCatalog(ctx, 1));
        test::expect_same_catalog(expected, ctx.catalog);
        ctx.catalog.set_current_number(-1);
    }
}

TEST_F(CatalogFileStore, AHeaderTextOutsideWindows1252RewritesTheFileAsUtf8) {
    save_as(small_catalog("Bücher"), 0);
    ASSERT_EQ(get_u16(file_bytes(0), 98), TEXT_ENCODING_CP1252);
    MediumHeader h;
    ASSERT_EQ(ReadCatalogHeader(ctx, 0, h), 1);
    set_fixed_text(h.medium_name, "日本");
    ASSERT_EQ(WriteCatalogHeader(ctx, 0, h), 1);
    EXPECT_EQ(get_u16(file_bytes(0), 98), TEXT_ENCODING_UTF8);
    ASSERT_TRUE(LoadCatalog(ctx, 0));
    EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "日本");
    EXPECT_EQ(ctx.catalog.file_path(0), "Bücher/readme.txt");
}

TEST_F(CatalogFileStore, HeaderAccessToMissingShortAndOldFiles) {
    MediumHeader h;
    h.category = 77;
    EXPECT_EQ(ReadCatalogHeader(ctx, 5, h), 0);  // missing: silent
    EXPECT_EQ(WriteCatalogHeader(ctx, 5, h), 0);
    EXPECT_TRUE(fe.messages.empty());
    EXPECT_EQ(h.category, 77u);

    dir.write("6.cd", std::string(100, '\3'));
    EXPECT_EQ(ReadCatalogHeader(ctx, 6, h), 0);
    expect_only_message(fe, "Lesefehler Version", catalog_path(ctx, 6));
    EXPECT_EQ(WriteCatalogHeader(ctx, 6, h), 0);
    EXPECT_EQ(fe.messages.back().text, "Lesefehler Version");
    EXPECT_EQ(read_file(dir.file("6.cd")).value(), std::string(100, '\3'));

    Bytes v2 = write_catalog_bytes(small_catalog());
    v2[0] = 2;
    write_bytes(7, v2);
    EXPECT_EQ(ReadCatalogHeader(ctx, 7, h), 0);
    EXPECT_EQ(h.version, 2u);
}

}  // namespace
}  // namespace orbisto
