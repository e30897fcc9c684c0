#include "settings/interface_language.h"

#include <string_view>

#include "settings/ini_file.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace orbisto {

namespace {
constexpr const char* kLanguageKey = "language";
}  // namespace

Language language_from_locale(const EnvLookup& env) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = env ? env(name) : nullptr;
        if (!value || !*value) continue;
        return std::string_view(value).starts_with("de") ? Language::German : Language::English;
    }
    return Language::English;
}

bool settings_choose_language(const std::string& settings_file) {
    return IniFile::load_or_empty(settings_file).has_key(kSectionOptions, kLanguageKey);
}

Language interface_language(const std::string& settings_file, const EnvLookup& env) {
    const IniFile ini = IniFile::load_or_empty(settings_file);
    if (!ini.has_key(kSectionOptions, kLanguageKey)) return language_from_locale(env);
    Language language = Language::German;
    settings_detail::from_stored(ini.get_int(kSectionOptions, kLanguageKey, 0), language);
    return language;
}

}  // namespace orbisto
