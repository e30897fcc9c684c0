// The session observer hears of every change a view must follow, once, from
// the code that makes it: loads, media edits, category edits, searches and
// the long-operation frame.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "catalog/category_edit.h"
#include "catalog/category_fixture.h"
#include "catalog/long_operation.h"
#include "search/search_fixture.h"

namespace orbisto {
namespace {

using Events = std::vector<std::string>;

const std::string kReplaced = "catalog_replaced";
const std::string kChanged = "catalog_changed";
const std::string kMedia = "media_changed";
const std::string kCategories = "categories_changed";
const std::string kHits = "hits_changed";
const std::string kStarted = "long_operation_started";
const std::string kEnded = "long_operation_ended";

// Categories 2 "Games", 3 "Music"; media 0 and 1 in Games, 2 in Music.
struct ObservedMedia : test::CategoryFixture {
    ObservedMedia() {
        ctx.categories.assign({{"Games", 0}, {"Music", 0}});
        add_medium(0, "zero", 2);
        add_medium(1, "one", 2);
        add_medium(2, "two", 3);
        EXPECT_TRUE(BuildMediaList(ctx));
        fe.observed.clear();
    }
    // The events of one step, without those of the steps before it.
    Events during(const std::function<void()>& step) {
        fe.observed.clear();
        step();
        return fe.observed;
    }
};

TEST(SessionObserver, LoadsAndListBuildsReplaceTheCatalogOnlyWhenItReallyChanges) {
    ObservedMedia f;
    ASSERT_TRUE(write_file_atomic(f.path(1), "not a catalogue"));
    struct Case {
        const char* what;
        std::function<void()> step;
        Events expected;
    };
    const Case cases[] = {
        {"load", [&] { EXPECT_TRUE(LoadCatalog(f.ctx, 0)); }, {kReplaced}},
        {"same number again", [&] { EXPECT_TRUE(LoadCatalog(f.ctx, 0)); }, {}},
        {"damaged file empties it", [&] { EXPECT_FALSE(LoadCatalog(f.ctx, 1)); }, {kReplaced}},
        {"missing file empties it", [&] { EXPECT_FALSE(LoadCatalog(f.ctx, 7)); }, {kReplaced}},
        {"list build", [&] { EXPECT_TRUE(BuildMediaList(f.ctx)); }, {kReplaced, kMedia}},
    };
    for (const Case& c : cases) EXPECT_EQ(f.during(c.step), c.expected) << c.what;
}

TEST(SessionObserver, MediaMovesAndDeletesTellTheListAndTheCatalogShown) {
    ObservedMedia f;
    ASSERT_TRUE(LoadCatalog(f.ctx, 0));
    const std::size_t first[] = {0}, second[] = {1};

    // Another medium moves: only the list changes.
    EXPECT_EQ(f.during([&] { MoveMediaToCategory(f.ctx, second, 3, 2); }), Events{kMedia});
    // The medium shown moves: its header in memory changes with it.
    EXPECT_EQ(f.during([&] { MoveMediaToCategory(f.ctx, first, 3, 2); }),
              (Events{kMedia, kChanged}));
    // A drop onto its own category ends at once: nothing changed.
    EXPECT_EQ(f.during([&] { MoveMediaToCategory(f.ctx, first, 3, 2); }), Events{});

    f.fe.answers = {Answer::No};
    EXPECT_EQ(f.during([&] { DeleteMedia(f.ctx, first, true); }), Events{});
    EXPECT_EQ(f.during([&] { EXPECT_EQ(DeleteMedia(f.ctx, first, true), 1u); }),
              (Events{kReplaced, kMedia}));
}

TEST(SessionObserver, CategoryEditsAreHeardOnlyWhenStored) {
    ObservedMedia f;
    ASSERT_TRUE(LoadCatalog(f.ctx, 2));
    EXPECT_EQ(f.during([&] { CreateCategory(f.ctx, "Books", 0); }), Events{kCategories});
    EXPECT_EQ(f.during([&] { RenameCategory(f.ctx, 4, "Novels"); }), Events{kCategories});
    EXPECT_EQ(f.during([&] { RenameCategory(f.ctx, 4, "Novels"); }), Events{});
    EXPECT_EQ(f.during([&] { MoveCategory(f.ctx, 4, 2); }), Events{kCategories});
    {
        test::ReadOnly ro(f.settings());
        EXPECT_EQ(f.during([&] { RenameCategory(f.ctx, 4, "Books"); }), Events{});
    }
    // Deleting "Games" takes its media to no category and renumbers "Music",
    // the category of the medium shown.
    EXPECT_EQ(f.during([&] { EXPECT_EQ(DeleteCategory(f.ctx, 2), CategoryEdit::Done); }),
              (Events{kCategories, kMedia, kChanged}));
}

TEST(SessionObserver, SearchRefillsTheHitsAfterItsLongOperation) {
    test::SearchFixture f;
    f.add(0, "disc", {}, {{.name = "song.mp3"}, {.name = "notes.txt"}});
    f.build();
    f.fe.observed.clear();
    ASSERT_TRUE(f.search("song"));
    EXPECT_EQ(f.fe.observed, (Events{kStarted, kEnded, kHits}));
    EXPECT_FALSE(f.hits().empty());
}

TEST(SessionObserver, LongOperationFrameIsHeardOnceAtEachEnd) {
    test::ScriptedFrontend fe;
    Context ctx{fe};
    {
        LongOperation op(ctx, {"", 100, false});
        EXPECT_EQ(fe.observed, Events{kStarted});
        op.finish();
        op.finish();
    }
    EXPECT_EQ(fe.observed, (Events{kStarted, kEnded}));
}

}  // namespace
}  // namespace orbisto
