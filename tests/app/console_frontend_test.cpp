// The console's headless answers to the dialogs: the run goes on without a
// user and says on the error stream what it decided.
#include "app/console_frontend.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "catalog/catalog.h"

namespace orbisto {
namespace {

std::string written(std::FILE* f) {
    std::rewind(f);
    std::string out;
    for (int c; (c = std::fgetc(f)) != EOF;) out.push_back(static_cast<char>(c));
    return out;
}

TEST(ConsoleFrontend, DialogsTakeThePreselectedDriveDeclineAKnownMediumAndListDuplicates) {
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    {
        ConsoleFrontend fe(err);
        DriveChoice choice;
        EXPECT_EQ(fe.choose_drive(choice), -1);  // no drive to take
        choice.items = {"/mnt/a A", "/mnt/b B"};
        choice.preselected = 1;
        EXPECT_EQ(fe.choose_drive(choice), 1);
        EXPECT_EQ(fe.known_medium("update database", "disc"), KnownMediumChoice::Cancel);

        Catalog cat;
        bool named = false;
        EXPECT_TRUE(
            fe.medium_information(cat, "CD-information", [&](std::string_view) { named = true; }));
        EXPECT_FALSE(named);

        DuplicateMediumPair pair{"medium dupes", "one", "two", "2024-03-10", "Fehler", {}};
        bool shown = false;
        EXPECT_EQ(fe.duplicate_medium(pair, [&](PairMember) { shown = true; }),
                  DuplicateMediumAnswer::Next);
        EXPECT_FALSE(shown);
    }
    EXPECT_EQ(written(err), "medium dupes: one  2024-03-10 | two  Fehler\n");
    std::fclose(err);
}

}  // namespace
}  // namespace orbisto
