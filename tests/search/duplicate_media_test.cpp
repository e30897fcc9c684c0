// Duplicate media: the pair walk, deletion from the shifted list, the dialog
// answers, and taking comments over between saved catalogues.
#include "search/duplicate_media.h"

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "search/duplicates_test_util.h"
#include "search/search_context.h"
#include "session/context.h"

namespace orbisto {
namespace {

using dup_test::DupFixture;
using dup_test::FileEntry;
using dup_test::make_catalog;

std::vector<std::string> pair_names(const test::ScriptedFrontend& fe) {
    std::vector<std::string> out;
    for (const auto& p : fe.duplicate_medium_pairs)
        out.push_back(p.first_name + "|" + p.second_name);
    return out;
}

std::vector<std::string> media_names(const Context& ctx) {
    std::vector<std::string> out;
    for (const auto& m : ctx.media.entries) out.emplace_back(fixed_text(m.medium_name));
    return out;
}

// Media 0..3: "A" and "A copy" and "A third" share label and serial; "B" has
// the label of "A" but another serial, "C" the serial but another label.
struct PairFixture : DupFixture {
    PairFixture() {
        const Catalog empty = make_catalog({{"f", 1.0f}});
        save(0, "A", empty, "CD1", 0x1111);
        save(1, "B", empty, "CD1", 0x2222);
        save(2, "A copy", empty, "CD1", 0x1111);
        save(3, "C", empty, "cd1", 0x1111);
        save(4, "A third", empty, "CD1", 0x1111);
        build();
    }
};

TEST(FindDuplicateMedia, PairsNeedEqualSerialAndExactlyEqualLabel) {
    PairFixture f;
    const auto r = FindDuplicateMedia(f.ctx);
    EXPECT_EQ(pair_names(f.fe),
              (std::vector<std::string>{"A|A copy", "A|A third", "A copy|A third"}));
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(f.fe.messages.size(), 1u);  // the closing message

    // "&Abbruch" ends at once, without the final message.
    PairFixture g;
    g.fe.duplicate_medium_answers = {DuplicateMediumAnswer::Stop};
    EXPECT_TRUE(FindDuplicateMedia(g.ctx).stopped);
    EXPECT_EQ(g.fe.duplicate_medium_pairs.size(), 1u);
    EXPECT_TRUE(g.fe.messages.empty());
}

TEST(FindDuplicateMedia, DeletingWalksOnOverTheShiftedListWithoutSkippingAPair) {
    PairFixture f;
    // Delete the first of (A, A copy): "A copy" moves to A's turn and still
    // meets "A third". Then delete the second of (A copy, A third).
    f.fe.duplicate_medium_answers = {DuplicateMediumAnswer::DeleteFirst,
                                     DuplicateMediumAnswer::DeleteSecond};
    FindDuplicateMedia(f.ctx);
    EXPECT_EQ(pair_names(f.fe), (std::vector<std::string>{"A|A copy", "A copy|A third"}));
    EXPECT_EQ(media_names(f.ctx), (std::vector<std::string>{"B", "A copy", "C"}));
    // The list on disk agrees.
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(media_names(f.ctx), (std::vector<std::string>{"B", "A copy", "C"}));
}

// Folders of one file system share its label and serial, and file systems
// without either share "nothing": neither makes a pair on that alone, so
// neither is offered for deletion. The same folder twice and copies of a
// disc are pairs.
TEST(FindDuplicateMedia, OnlyTheSamePathMakesAPairWhereLabelAndSerialCannotTell) {
    DupFixture f;
    const auto from = [](const char* path) {
        return make_catalog({{"f", 1.0f, "", 1}}, {{path, 0}});
    };
    const Catalog whole = make_catalog({{"f", 1.0f}});
    f.save(0, "photos", from("/mnt/usb/photos"), "USB", 0x77);
    f.save(1, "music", from("/mnt/usb/music"), "USB", 0x77);
    f.save(2, "stick", whole, "USB", 0x77);
    f.save(3, "shm", whole, "", 0);
    f.save(4, "run", whole, "", 0);
    f.save(5, "tmp", from("/tmp/x"), "", 0);
    f.save(6, "tmp again", from("/tmp/x"), "", 0);
    f.save(7, "photos again", from("/mnt/usb/photos"), "USB", 0x77);
    f.save(8, "stick copy", whole, "USB", 0x77);
    f.build();
    FindDuplicateMedia(f.ctx);
    EXPECT_EQ(pair_names(f.fe), (std::vector<std::string>{"photos|photos again", "stick|stick copy",
                                                          "tmp|tmp again"}));
}

// ---- taking comments over ----

TEST(TakeComments, FillsMissingCommentsByFullPathAndKeepsExistingOnes) {
    // Medium 0: the fresh scan without comments (plus one of its own).
    // Medium 1: the older entry with comments.
    DupFixture f;
    f.save(
        0, "new",
        make_catalog(
            {{"a.txt", 1, "", 1}, {"b.txt", 1, "", 2}, {"c.txt", 1, "own", 1}, {"a.txt", 1, "", 2}},
            {{"docs", 0, ""}, {"sub", 1, ""}}),
        "CD", 7);
    f.save(1, "old",
           make_catalog({{"a.txt", 1, "comment a", 1},
                         {"b.txt", 1, "comment b", 2},
                         {"c.txt", 1, "other c", 1},
                         {"a.txt", 1, "a elsewhere", 0}},
                        {{"docs", 0, "the docs"}, {"sub", 1, "the sub"}}),
           "CD", 7);
    f.build();
    ASSERT_TRUE(TakeComments(f.ctx, 0, 1));
    const Catalog& c = f.ctx.catalog;
    EXPECT_EQ(c.dir_comment(2), "the sub");
    EXPECT_EQ(c.file_comment(0), "comment a");  // docs/a.txt
    EXPECT_EQ(c.file_comment(1), "comment b");  // docs/sub/b.txt
    EXPECT_EQ(c.file_comment(2), "own");        // kept
    EXPECT_EQ(c.file_comment(3), "");           // docs/sub/a.txt exists only in the target

    // The source is untouched.
    ASSERT_EQ(SaveCatalog(f.ctx, 0), 0);
    ASSERT_TRUE(LoadCatalog(f.ctx, 1));
    EXPECT_EQ(f.ctx.catalog.file_comment(0), "comment a");
}

TEST(TakeComments, AbortEndsWithTheMessageAndKeepsWhatWasTaken) {
    std::vector<FileEntry> fresh, old;
    for (int k = 0; k < 2000; ++k) {
        fresh.push_back({"f" + std::to_string(k), 1});
        old.push_back({"f" + std::to_string(k), 1, "c" + std::to_string(k)});
    }
    DupFixture f;
    f.save(0, "new", make_catalog(fresh), "CD", 7);
    f.save(1, "old", make_catalog(old), "CD", 7);
    f.build();
    f.fe.on_pump = [&](int) { f.fe.request_abort(); };
    EXPECT_FALSE(TakeComments(f.ctx, 0, 1));
    EXPECT_EQ(f.ctx.catalog.file_comment(0), "c0");
    EXPECT_EQ(f.ctx.catalog.file_comment(1999), "");
    EXPECT_TRUE(f.ctx.catalog.changed());
}

}  // namespace
}  // namespace orbisto
