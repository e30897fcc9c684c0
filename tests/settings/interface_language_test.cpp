// The interface language a run takes from the locale when the settings file
// names none.
#include "settings/interface_language.h"

#include <gtest/gtest.h>

namespace orbisto {
namespace {

TEST(InterfaceLanguage, TheFirstLocaleVariableSetDecidesAndGermanNeedsDe) {
    struct Case {
        const char *lc_all, *lc_messages, *lang;
        Language want;
    };
    const Case cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", Language::German},
        {nullptr, nullptr, "de", Language::German},
        {nullptr, nullptr, "en_GB.UTF-8", Language::English},
        {nullptr, nullptr, "C", Language::English},
        {nullptr, nullptr, nullptr, Language::English},
        {"en_US.UTF-8", "de_AT", "de_DE", Language::English},
        {"", "de_AT", "en_US", Language::German},  // empty counts as unset
        {"", "", "de_CH.UTF-8", Language::German},
        {"fr_FR", nullptr, "de_DE", Language::English},
    };
    for (const Case& c : cases) {
        const EnvLookup env = [&](const char* name) -> const char* {
            const std::string_view n(name);
            return n == "LC_ALL" ? c.lc_all : n == "LC_MESSAGES" ? c.lc_messages : c.lang;
        };
        EXPECT_EQ(language_from_locale(env), c.want)
            << (c.lc_all ? c.lc_all : "-") << " " << (c.lang ? c.lang : "-");
    }
}

}  // namespace
}  // namespace orbisto
