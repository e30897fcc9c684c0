// The category file on arbitrary bytes: whatever it holds, the table read
// from it keeps its invariants (a parent is 0 or a user category, following
// parents always ends at 0, names are one line of UTF-8 within their length),
// and the table written to a file reads back the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "catalog/categories.h"
#include "catalog/category_file.h"
#include "platform/codepage.h"
#include "settings/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orbisto;
    const IniFile ini = IniFile::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    // A count up to the limit makes as many (mostly empty) categories: large
    // ones only make the run slow, the way there is the same as for small.
    const int count = ini.get_int(kSectionCategories, "Anzahl", 0);
    if (count > 4096 && count <= kMaxUserCategories) return 0;
    CategoryTable table;
    categories_from_ini(ini, table);

    if (table.user_count() < 0 || table.user_count() > kMaxUserCategories) __builtin_trap();
    for (int i = 2; i < table.count(); ++i) {
        const std::string& name = table.name(i);
        if (name.size() > kCategoryNameMax || !is_valid_utf8(name) ||
            name.find_first_of("\r\n") != std::string::npos) {
            __builtin_trap();
        }
        int steps = 0;
        for (int j = i; j != 0; j = table.parent(j)) {
            if (!table.is_user_category(j) || ++steps > table.user_count()) __builtin_trap();
        }
    }

    IniFile out;
    categories_to_ini(table, out);
    CategoryTable back;
    categories_from_ini(IniFile::parse(out.to_bytes()), back);
    if (!(back == table)) __builtin_trap();
    return 0;
}
