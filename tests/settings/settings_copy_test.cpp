// "Save configuration as": the copy, the overwrite question and the error.
#include "settings/settings_copy.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

TEST(SaveSettingsAs, CopiesAsksBeforeReplacingAndReportsAFailedWrite) {
    test::TempDir dir;
    test::ScriptedFrontend fe;
    Context ctx(fe);
    ctx.paths.settings_file = dir.write("orbisto.INI", "[Optionen]\r\nlanguage=0\r\n");
    const std::string target = dir.file("copy.INI");
    ASSERT_TRUE(SaveSettingsAs(ctx, target));
    EXPECT_EQ(read_file(target), read_file(ctx.paths.settings_file));
    EXPECT_TRUE(fe.messages.empty());

    // An existing file: No keeps it, Yes replaces it.
    write_file_atomic(target, "old");
    fe.answers = {Answer::No};
    EXPECT_FALSE(SaveSettingsAs(ctx, target));
    ASSERT_EQ(fe.messages.size(), 1u);
    EXPECT_EQ(fe.messages[0].text, " Datei vorhanden. Überschreiben? ");
    EXPECT_EQ(fe.messages[0].caption, " Fehler ");
    EXPECT_EQ(read_file(target), std::optional<std::string>("old"));
    fe.answers = {Answer::Yes};
    EXPECT_TRUE(SaveSettingsAs(ctx, target));
    EXPECT_EQ(read_file(target), read_file(ctx.paths.settings_file));

    // A target that cannot be written: the error with its number.
    fe.messages.clear();
    EXPECT_FALSE(SaveSettingsAs(ctx, dir.file("no such folder/x.INI")));
    ASSERT_EQ(fe.messages.size(), 1u);
    EXPECT_EQ(fe.messages[0].caption, "Fehler!");
    EXPECT_EQ(fe.messages[0].text.rfind("Fehler beim Kopieren:", 0), 0u) << fe.messages[0].text;
    EXPECT_NE(fe.messages[0].text, "Fehler beim Kopieren:0");
}

}  // namespace
}  // namespace orbisto
