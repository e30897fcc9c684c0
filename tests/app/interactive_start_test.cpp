// The interactive start without a display, and headless work that must
// never need one.
#include <gtest/gtest.h>

#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

const std::vector<std::pair<std::string, std::string>> no_display(const std::string& home) {
    return {{"ORBISTO_HOME", home},
            {"DISPLAY", ""},
            {"WAYLAND_DISPLAY", ""},
            {"QT_QPA_PLATFORM", ""},
            {"LANG", "C.UTF-8"}};
}

TEST(InteractiveStart, WithoutADisplayEndsWithOneClearLineAndStatusOne) {
    test::TempDir home;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"--search", "x.txt"}, {"--look"}}) {
        const auto r = test::run_program(ORBISTO_BINARY, args, no_display(home.path()));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err,
                  "orbisto: no display: the window needs an X11 or Wayland display (DISPLAY or "
                  "WAYLAND_DISPLAY); use a headless command, see --help\n");
        EXPECT_EQ(r.out, "");
    }
}

TEST(InteractiveStart, HeadlessCommandsRunWithoutADisplay) {
    test::TempDir home;
    const auto r = test::run_program(ORBISTO_BINARY, {"media"}, no_display(home.path()));
    EXPECT_EQ(r.status, 0) << r.err;
    const auto v = test::run_program(ORBISTO_BINARY, {"--version"}, no_display(home.path()));
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, "Orbisto 3.6\n");
}

}  // namespace
}  // namespace orbisto
