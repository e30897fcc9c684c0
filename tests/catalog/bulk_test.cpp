// Packing and unpacking every catalogue, exporting and importing one.
#include "catalog/bulk.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>

#include "catalog/catalog_store.h"
#include "catalog/fastload.h"
#include "media_fixture.h"

namespace orbisto {
namespace {

using test::MediaFixture;

bool is_packed(const std::string& path) {
    const auto data = read_file(path);
    return data && data->size() >= 2 && (*data)[0] == 'P' && (*data)[1] == 'K';
}

struct ThreeMedia : MediaFixture {
    ThreeMedia() {
        for (int n = 0; n < 3; ++n) add_medium(n, "m" + std::to_string(n), 2);
        EXPECT_TRUE(BuildMediaList(ctx));
    }

    // Loads every medium afresh and checks what the fixture stored.
    void expect_contents() {
        for (int n = 0; n < 3; ++n) {
            ctx.catalog.set_current_number(-1);
            ASSERT_TRUE(LoadCatalog(ctx, n)) << n;
            EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "m" + std::to_string(n));
            EXPECT_EQ(ctx.catalog.file_name(0), "file" + std::to_string(n) + ".txt");
            EXPECT_EQ(ctx.catalog.header.category, 2u);
        }
    }
};

TEST(PackAll, RoundTripPacksEverythingAndUnpacksItAgain) {
    ThreeMedia f;
    EXPECT_EQ(PackAll(f.ctx), BulkResult::Done);
    EXPECT_EQ(f.fe.messages[0].text, "Alle Dateien packen?");
    EXPECT_EQ(f.fe.messages[0].caption, "Katalog packen");
    EXPECT_EQ(f.fe.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(f.fe.progress_texts.front(), "Dateien werden gepackt.");
    EXPECT_EQ(f.fe.progress_range, 3);
    EXPECT_EQ(f.fe.progress_values, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(f.fe.progress_shown);
    EXPECT_FALSE(f.ctx.busy);
    EXPECT_EQ(f.ctx.settings.options.gepacktSpeichern, 0);
    for (int n = 0; n < 3; ++n) EXPECT_TRUE(is_packed(f.path(n))) << n;
    f.expect_contents();

    f.ctx.settings.options.gepacktSpeichern = 1;
    f.fe.messages.clear();
    EXPECT_EQ(UnpackAll(f.ctx), BulkResult::Done);
    EXPECT_EQ(f.fe.messages[0].text, "Alle Dateien entpacken?");
    EXPECT_EQ(f.fe.messages[0].caption, "Katalog entpacken");
    EXPECT_EQ(f.fe.progress_texts.back(), "Dateien werden entpackt.");
    EXPECT_EQ(f.ctx.settings.options.gepacktSpeichern, 1);
    for (int n = 0; n < 3; ++n) EXPECT_FALSE(is_packed(f.path(n))) << n;
    f.expect_contents();
}

TEST(PackAll, CancelDoesNothing) {
    ThreeMedia f;
    f.fe.answers = {Answer::Cancel};
    EXPECT_EQ(PackAll(f.ctx), BulkResult::Cancelled);
    EXPECT_TRUE(f.fe.progress_texts.empty());
    for (int n = 0; n < 3; ++n) EXPECT_FALSE(is_packed(f.path(n)));
}

TEST(PackAll, AbortStopsBetweenMediaAndRestoresTheSetting) {
    ThreeMedia f;
    // Abort once the second medium has been announced.
    f.fe.on_pump = [&](int) {
        if (f.fe.last_status() == "m1") f.fe.request_abort();
    };
    EXPECT_EQ(PackAll(f.ctx), BulkResult::Aborted);
    EXPECT_TRUE(is_packed(f.path(0)));
    EXPECT_FALSE(is_packed(f.path(1)));
    EXPECT_FALSE(is_packed(f.path(2)));
    EXPECT_EQ(f.ctx.settings.options.gepacktSpeichern, 0);
    EXPECT_FALSE(f.fe.progress_shown);
    EXPECT_FALSE(f.ctx.busy);
}

TEST(PackAll, UnloadableCatalogueIsLeftAloneAndTheRunGoesOn) {
    ThreeMedia f;
    const std::string damaged = read_file(f.path(1))->substr(0, 500);  // cut inside the info
    f.dir.write("1.cd", damaged);
    EXPECT_EQ(PackAll(f.ctx), BulkResult::Done);
    EXPECT_EQ(read_file(f.path(1)), damaged);
    EXPECT_TRUE(is_packed(f.path(0)));
    EXPECT_TRUE(is_packed(f.path(2)));
}

// Makes every write of a file beyond a few bytes fail while it lives.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit l = old_;
        l.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

  private:
    rlimit old_{};
    void (*old_handler_)(int);
};

TEST(PackAll, FailedSaveStopsTheRunWithItsMessage) {
    ThreeMedia f;
    const std::string before = *read_file(f.path(0));
    BulkResult result;
    {
        FileSizeLimit limit(64);
        result = PackAll(f.ctx);
    }
    EXPECT_EQ(result, BulkResult::Failed);
    EXPECT_TRUE(f.fe.saw_message("Daten konnten nicht gepackt werden!"));
    EXPECT_EQ(read_file(f.path(0)), before);  // the old file is intact
    EXPECT_EQ(f.ctx.settings.options.gepacktSpeichern, 0);
    EXPECT_FALSE(f.fe.progress_shown);
}

// ---- export and import ----

TEST(Transfer, ExportedFileImportsAsANewMedium) {
    ThreeMedia f;
    f.ctx.settings.options.FastLoad = 1;
    test::TempDir elsewhere;
    const std::string out = elsewhere.file("copy.OBX");
    ASSERT_TRUE(LoadCatalog(f.ctx, 1));
    f.fe.chosen_paths = {out};
    ASSERT_TRUE(ExportCatalogue(f.ctx));
    EXPECT_EQ(read_file(out), read_file(f.path(1)));
    EXPECT_NE(
        std::find(f.fe.events.begin(), f.fe.events.end(), "choose_save_file:Datei für Export"),
        f.fe.events.end());

    // Free number 1 again, so the import takes it.
    const std::size_t one[] = {1};
    ASSERT_EQ(DeleteMedia(f.ctx, one, true), 1u);
    f.fe.chosen_paths = {out};
    EXPECT_EQ(ImportCatalogue(f.ctx), 1);
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 2, 1}));
    EXPECT_EQ(f.ctx.catalog.current_number(), 1);
    EXPECT_EQ(fixed_text(f.ctx.catalog.header.medium_name), "m1");
    // Category 0 and the new number, in memory, in the file and in the index.
    EXPECT_EQ(f.ctx.media.entries[2].category, 0u);
    MediumHeader h;
    ASSERT_EQ(ReadCatalogHeader(f.ctx, 1, h), 1);
    EXPECT_EQ(h.category, 0u);
    EXPECT_EQ(h.catalog_number, 1u);
    EXPECT_EQ(read_fastload_entries(f.dir.file("fastload.cds"))->size(), 3u);
}

TEST(Transfer, ExportAsksBeforeReplacingAFile) {
    ThreeMedia f;
    test::TempDir elsewhere;
    const std::string out = elsewhere.write("old.OBX", "keep me");
    ASSERT_TRUE(LoadCatalog(f.ctx, 0));
    f.fe.chosen_paths = {out};
    f.fe.answers = {Answer::No};
    EXPECT_FALSE(ExportCatalogue(f.ctx));
    ASSERT_EQ(f.fe.messages.size(), 1u);
    EXPECT_EQ(f.fe.messages[0].text, " Datei vorhanden. Überschreiben? ");
    EXPECT_EQ(f.fe.messages[0].caption, " Fehler ");
    EXPECT_EQ(read_file(out), "keep me");

    f.fe.chosen_paths = {out};
    EXPECT_TRUE(ExportCatalogue(f.ctx));
    EXPECT_EQ(read_file(out), read_file(f.path(0)));

    // A catalogue file that has gone away gives the copy error with errno.
    ASSERT_EQ(::unlink(f.path(0).c_str()), 0);
    f.fe.chosen_paths = {elsewhere.file("new.OBX")};
    EXPECT_FALSE(ExportCatalogue(f.ctx));
    EXPECT_EQ(f.fe.messages.back().text, "Fehler beim Kopieren:2");
    EXPECT_EQ(f.fe.messages.back().caption, "Fehler!");
    EXPECT_FALSE(file_exists(elsewhere.file("new.OBX")));
}

TEST(Transfer, ImportAtTheLimitChangesNothing) {
    ThreeMedia f;
    f.ctx.limits.media = 2;  // numbers 0 .. 2 are all taken
    test::TempDir elsewhere;
    const std::string src = elsewhere.write("in.OBX", *read_file(f.path(0)));
    const auto listing = f.dir_listing();
    f.fe.chosen_paths = {src};
    EXPECT_EQ(ImportCatalogue(f.ctx), -1);
    ASSERT_EQ(f.fe.messages.size(), 1u);
    EXPECT_EQ(f.fe.messages[0].text, " Zuviele Dateien ");
    EXPECT_EQ(f.fe.messages[0].caption, " Fehler ");
    EXPECT_EQ(f.dir_listing(), listing);
    EXPECT_EQ(f.ctx.media.count(), 3u);
}

TEST(Transfer, FileThatDoesNotLoadIsRemovedAgain) {
    ThreeMedia f;
    test::TempDir elsewhere;
    f.fe.chosen_paths = {elsewhere.write("junk.OBX", "this is no catalogue")};
    const auto listing = f.dir_listing();
    EXPECT_EQ(ImportCatalogue(f.ctx), -1);
    EXPECT_FALSE(f.fe.messages.empty());
    EXPECT_EQ(f.dir_listing(), listing);
    EXPECT_EQ(f.ctx.media.count(), 3u);

    // A source that cannot be read leaves nothing behind either.
    f.fe.chosen_paths = {elsewhere.file("missing.OBX")};
    EXPECT_EQ(ImportCatalogue(f.ctx), -1);
    EXPECT_EQ(f.fe.messages.back().text, "Fehler beim Kopieren:2");
    EXPECT_EQ(f.dir_listing(), listing);

    // Cancelled chooser: nothing at all.
    f.fe.messages.clear();
    f.fe.chosen_paths = {std::nullopt};
    EXPECT_EQ(ImportCatalogue(f.ctx), -1);
    EXPECT_TRUE(f.fe.messages.empty());
}

TEST(Transfer, ImportIntoAnEmptyStoreAndOfAPackedFile) {
    MediaFixture source;
    source.ctx.settings.options.gepacktSpeichern = 1;
    source.add_medium(4, "packed", 3);

    MediaFixture f;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_TRUE(f.ctx.media.entries.empty());
    f.fe.chosen_paths = {source.path(4)};
    EXPECT_EQ(ImportCatalogue(f.ctx), 0);
    EXPECT_EQ(f.names(), (std::vector<std::string>{"packed"}));
    EXPECT_EQ(f.ctx.media.entries[0].catalog_number, 0u);
    EXPECT_TRUE(is_packed(f.path(0)));

    // The list built from the files agrees with the list after the import.
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(f.ctx.media.entries[0].category, 0u);
    EXPECT_EQ(f.ctx.media.entries[0].catalog_number, 0u);
}

}  // namespace
}  // namespace orbisto
