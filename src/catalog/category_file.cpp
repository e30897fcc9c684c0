#include "catalog/category_file.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "catalog/catalog_context.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "settings/environment.h"
#include "settings/ini_file.h"
#include "settings/settings_io.h"

namespace orbisto {
namespace {

std::string name_key(int i) {
    return "Kategorie" + std::to_string(i);
}
std::string parent_key(int i) {
    return "Kategorie" + std::to_string(i) + "parent";
}

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return upper_german_ascii(static_cast<unsigned char>(x)) ==
                      upper_german_ascii(static_cast<unsigned char>(y));
           });
}

// The number i of a key "Kategorie<i>" or "Kategorie<i>parent" (any case,
// i written as "%d" writes it); nullopt for every other key.
std::optional<int> category_key_number(std::string_view key) {
    constexpr std::string_view kPrefix = "Kategorie";
    constexpr std::string_view kSuffix = "parent";
    if (key.size() <= kPrefix.size() ||
        !equal_ignoring_ascii_case(key.substr(0, kPrefix.size()), kPrefix)) {
        return std::nullopt;
    }
    key.remove_prefix(kPrefix.size());
    if (key.size() > kSuffix.size() &&
        equal_ignoring_ascii_case(key.substr(key.size() - kSuffix.size()), kSuffix)) {
        key.remove_suffix(kSuffix.size());
    }
    if (key.empty() || (key.size() > 1 && key.front() == '0')) return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), value);
    if (ec != std::errc{} || end != key.data() + key.size() || value < 0) return std::nullopt;
    return value;
}

// The number of user categories a file holds. An impossible `Anzahl` (above
// what parents can address) is replaced by the number of stored names.
int stored_count(const IniFile& ini) {
    const int anzahl = ini.get_int(kSectionCategories, "Anzahl", 0);
    if (anzahl <= 0) return 0;
    if (anzahl <= kMaxUserCategories) return anzahl;
    int highest = -1;
    for (const std::string& key : ini.keys(kSectionCategories)) {
        if (auto i = category_key_number(key); i && *i < kMaxUserCategories) {
            highest = std::max(highest, *i);
        }
    }
    return highest + 1;
}

}  // namespace

void categories_to_ini(const CategoryTable& table, IniFile& ini) {
    const int n = table.user_count();
    ini.set_int(kSectionCategories, "Anzahl", n);
    for (int i = 0; i < n; ++i) {
        ini.set(kSectionCategories, name_key(i), table.name(i + 2));
        ini.set_int(kSectionCategories, parent_key(i), table.parent(i + 2) - 2);
    }
    for (const std::string& key : ini.keys(kSectionCategories)) {
        if (auto i = category_key_number(key); i && *i >= n) {
            ini.remove_key(kSectionCategories, key);
        }
    }
}

void categories_from_ini(const IniFile& ini, CategoryTable& table) {
    const int n = stored_count(ini);
    std::vector<CategoryEntry> user(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        CategoryEntry& e = user[static_cast<std::size_t>(i)];
        e.name = ini.get_string(kSectionCategories, name_key(i), "", kCategoryReadBuffer);
        // Widened, so that a stored value near INT_MAX cannot overflow.
        const long long parent = ini.get_int(kSectionCategories, parent_key(i), 0) + 2LL;
        // Anything a 16-bit parent cannot hold is no entry of the table;
        // assign() makes every non-category parent top level.
        e.parent = parent >= 0 && parent <= 0xFFFF ? static_cast<std::uint16_t>(parent) : 0;
    }
    table.assign(std::move(user));
}

std::string category_file_path(const CatalogContext& ctx) {
    // Without a CatalogDirectory there is no shared file (and never one in
    // whatever the working directory happens to be).
    if (ctx.paths.catalog_dir.empty()) return {};
    if (auto found = find_case_insensitive(ctx.paths.catalog_dir, kCategoryFileName)) {
        if (!is_directory(*found)) return *found;
    }
    return join_path(ctx.paths.catalog_dir, kCategoryFileName);
}

void ReadCategories(CatalogContext& ctx) {
    CategoryTable& table = ctx.categories;
    const std::string wichtig = category_file_path(ctx);
    table.in_settings_file = wichtig.empty() || !file_exists(wichtig) || is_directory(wichtig);
    table.file = table.in_settings_file ? ctx.paths.settings_file : wichtig;

    categories_from_ini(IniFile::load_or_empty(table.file), table);

    if (!ctx.settings.options.reload_last) {
        ctx.settings.state.last_catalog = 0;
        ctx.settings.state.last_category = 0;
    }
}

bool WriteCategories(CatalogContext& ctx) {
    CategoryTable& table = ctx.categories;
    const auto fill = [&table](IniFile& ini) { categories_to_ini(table, ini); };

    const bool settings_written = write_profile_group(ctx, ctx.paths.settings_file, fill);
    if (!settings_written && ctx.settings.options.warn_read_only) return false;

    const std::string wichtig = category_file_path(ctx);
    if (wichtig.empty() || wichtig == ctx.paths.settings_file) return settings_written;
    const bool wichtig_written = write_profile_group(ctx, wichtig, fill);
    if (file_exists(wichtig) && !is_directory(wichtig)) {
        table.file = wichtig;
        table.in_settings_file = false;
        return wichtig_written;
    }
    // No WICHTIG.INI could be made: the settings file stays the category file.
    return settings_written;
}

}  // namespace orbisto
