// The per-directory lists: DESCRIPT.ION, FILES.BBS, WILDCAT.TXT or
// 00_INDEX.TXT, read once per directory and kept in UTF-8 together with a
// folded copy, so that every entry's lookup is one search.
#include "text/description_lists.h"

#include <dirent.h>

#include <array>
#include <string_view>

#include "catalog/catalog_context.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "text/description_files.h"
#include "text/description_text.h"
#include "text/list_text.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

// The list files in the order they are tried.
constexpr std::array<std::string_view, 4> kListNames = {"DESCRIPT.ION", "FILES.BBS", "WILDCAT.TXT",
                                                        "00_INDEX.TXT"};

// A list file is read up to this size; longer ones are taken as far as that.
constexpr std::size_t kMaxListBytes = std::size_t{64} << 20;

// The names in `dir` of the list files, in the order of kListNames (empty
// where there is none), from one listing.
std::array<std::string, 4> list_file_names(const std::string& dir) {
    ListFileNames names;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return names.found();
    while (const dirent* e = ::readdir(d)) {
        if (e->d_type == DT_DIR) continue;  // a directory of that name does not hide a file
        names.note(e->d_name);
    }
    ::closedir(d);
    return names.found();
}

std::optional<DirectoryList> load_first_list(CatalogContext& ctx, const std::string& dir,
                                             const std::array<std::string, 4>& names) {
    for (const std::string& name : names) {
        if (name.empty()) continue;
        std::optional<std::string> text = read_file_prefix(join_path(dir, name), kMaxListBytes);
        if (!text) continue;  // a directory or a link of that name, or unreadable
        OemToAnsiIfNeeded(*text, ctx.settings.options.convert_dos_text);
        DirectoryList list;
        list.text = is_valid_utf8(*text) ? std::move(*text) : cp1252_to_utf8(*text);
        list.upper = upper_german(list.text);
        return list;
    }
    return std::nullopt;
}

}  // namespace

void ListFileNames::note(std::string_view name) {
    for (std::size_t k = 0; k < kListNames.size(); ++k) {
        if (exact_[k] || !EqualsCI(name, kListNames[k])) continue;
        exact_[k] = name == kListNames[k];
        if (exact_[k] || found_[k].empty()) found_[k] = std::string(name);
    }
}

std::optional<DirectoryList> LoadDirectoryList(CatalogContext& ctx, const std::string& dir) {
    return load_first_list(ctx, dir, list_file_names(dir));
}

std::optional<DirectoryList> LoadDirectoryList(CatalogContext& ctx, const std::string& dir,
                                               const ListFileNames& names) {
    return load_first_list(ctx, dir, names.found());
}

void LookupListComment(CatalogContext& ctx, const DirectoryList& list, std::string_view name,
                       std::uint32_t& comment) {
    const std::string text =
        list_comment_text(list.text, list.upper, name, ctx.settings.options.multi_line_comments,
                          comment_room(ctx.catalog));
    if (!text.empty()) set_description_comment(ctx, text, comment);
}

}  // namespace orbisto
