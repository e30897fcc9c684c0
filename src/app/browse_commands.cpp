#include "app/browse_commands.h"

#include <cstdio>
#include <string_view>

#include "app/exit_codes.h"
#include "app/find_command.h"
#include "app/media_commands.h"
#include "app/medium_arg.h"
#include "app/options.h"
#include "catalog/catalog_tree.h"
#include "catalog/media_list.h"
#include "output/text_fields.h"
#include "search/search_engine.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

std::string_view without_leading_slashes(std::string_view path) {
    while (!path.empty() && path.front() == '/') path.remove_prefix(1);
    return path;
}

bool write_out(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// The medium a command names, loaded into `cat`; the catalogue number, or
// -1 after the reason went to standard error.
int load_named(Context& ctx, std::string_view command, const std::string& word, Catalog& cat) {
    if (!BuildMediaList(ctx)) return -1;
    std::string error;
    const auto number = resolve_medium(ctx, word, error);
    if (!number) {
        std::fprintf(stderr, "orbisto: %.*s: %s\n", static_cast<int>(command.size()),
                     command.data(), error.c_str());
        return -1;
    }
    if (!LoadCatalogForSearch(ctx, *number, cat)) {
        std::fprintf(stderr, "orbisto: %.*s: %s %d %s\n", static_cast<int>(command.size()),
                     command.data(), ctx.tr("Katalog", "catalogue"), *number,
                     ctx.tr("ist nicht lesbar", "cannot be read"));
        return -1;
    }
    return *number;
}

// Reads the arguments and loads the medium the first operand names into
// `cat`. The catalogue number, or minus the exit status when the run ends
// here (a usage error, no such medium).
int medium_from_args(Context& ctx, const CommandSyntax& syntax,
                     const std::vector<std::string>& args, ParsedArgs& parsed, Catalog& cat) {
    parsed = parse_args(syntax, args);
    if (!parsed.error.empty()) return -usage_error(syntax, parsed.error);
    if (parsed.operands.empty()) {
        return -usage_error(syntax, ctx.tr("welches Medium?", "which medium?"));
    }
    const int number = load_named(ctx, syntax.command, parsed.operands[0], cat);
    return number < 0 ? -kExitFailure : number;
}

// The directory PATH names: its whole stored path, or the path below the
// medium's top-level directory (the folder a medium was scanned from); the
// root for an empty PATH. -1 when none does.
std::int64_t directory_named(const Catalog& cat, const CatalogTree& tree, std::string_view path) {
    const std::string_view wanted = without_leading_slashes(path);
    if (wanted.empty()) return 0;
    for (int below_top = 0; below_top < 2; ++below_top) {
        for (std::uint32_t d = 1; d < tree.dir_count(); ++d) {
            if (dir_deleted(cat.dirs()[d])) continue;
            const std::string full = cat.dir_path(d);
            std::string_view stored = without_leading_slashes(full);
            if (below_top) {
                std::uint32_t top = d;
                while (tree.parent(top) != 0) top = tree.parent(top);
                if (top == d) continue;
                const std::string_view top_path = without_leading_slashes(cat.dir_name(top));
                if (!stored.starts_with(top_path) || stored.size() <= top_path.size() ||
                    stored[top_path.size()] != '/') {
                    continue;
                }
                stored.remove_prefix(top_path.size() + 1);
            }
            if (stored == wanted) return d;
        }
    }
    return -1;
}

class Lister {
  public:
    Lister(const Catalog& cat, std::uint32_t number, const HitFormat& format)
        : cat_(cat), tree_(cat), number_(number), format_(format) {}

    const CatalogTree& tree() const { return tree_; }

    // The subdirectories, then the files of d; below each subdirectory
    // when recursive.
    bool list(std::uint32_t d, bool recursive) {
        for (const std::uint32_t s : tree_.subdirs(d)) {
            if (!row(dir_object(s), HitKind::DirName)) return false;
        }
        for (const std::uint32_t f : tree_.files(d)) {
            if (!row(file_object(f), HitKind::FileName)) return false;
        }
        if (!recursive) return true;
        for (const std::uint32_t s : tree_.subdirs(d)) {
            if (!list(s, true)) return false;
        }
        return true;
    }
    std::size_t rows() const { return rows_; }

  private:
    bool row(std::uint32_t object, HitKind kind) {
        ++rows_;
        return write_out(
            hit_line(cat_, HitRecord{object, 0, number_}, HitDetail{kind, 0}, format_));
    }

    const Catalog& cat_;
    CatalogTree tree_;
    std::uint32_t number_;
    HitFormat format_;
    std::size_t rows_ = 0;
};

}  // namespace

int run_ls(Context& ctx, const std::vector<std::string>& args) {
    bool recursive = false, json = false;
    const auto flag = [](bool& b) {
        return [&b](const std::string&) {
            b = true;
            return std::string();
        };
    };
    const CommandSyntax syntax{
        .command = "ls",
        .options = {{"-R", false, flag(recursive)},
                    {"--recursive", false, flag(recursive)},
                    {"--json", false, flag(json)}},
        .max_operands = 2,
        .english = ctx.english(),
    };
    ParsedArgs parsed;
    Catalog cat(ctx.limits, ctx.english());
    const int number = medium_from_args(ctx, syntax, args, parsed, cat);
    if (number < 0) return -number;
    HitFormat format;
    format.json = json;
    format.style = stdout_line_style();
    Lister lister(cat, static_cast<std::uint32_t>(number), format);
    const std::string path = parsed.operands.size() > 1 ? parsed.operands[1] : std::string();
    const std::int64_t d = directory_named(cat, lister.tree(), path);
    if (d < 0) {
        std::fprintf(stderr, "orbisto: ls: %s '%s' %s %d\n",
                     ctx.tr("kein Verzeichnis", "no directory"), path.c_str(),
                     ctx.tr("in Katalog", "in catalogue"), number);
        return kExitFailure;
    }
    const bool ok = lister.list(static_cast<std::uint32_t>(d), recursive);
    if (!ok || std::fflush(stdout) != 0) return kExitFailure;
    return kExitSuccess;
}

namespace {

struct Statistics {
    std::uint64_t dirs = 0, files = 0, thumbnails = 0, commented = 0, checksummed = 0,
                  favourites = 0;
    double kb = 0;
};

Statistics statistics_of(const Catalog& cat) {
    Statistics s;
    for (std::uint32_t d = 1; d < cat.dir_count(); ++d) s.dirs += !dir_deleted(cat.dirs()[d]);
    for (const FileRecord& f : cat.files()) {
        if (file_deleted(f)) continue;
        ++s.files;
        s.kb += f.size_kb;
        s.thumbnails += f.thumbnail != 0;
        s.commented += f.comment > COMMENT_ARCHIVE && !(f.flags & FLAG_CRC);
        s.checksummed += (f.flags & FLAG_CRC) != 0;
        s.favourites += (f.flags & FLAG_MARKED) != 0;
    }
    return s;
}

const char* drive_type_name(const Context& ctx, int type) {
    switch (type) {
        case 2:
            return ctx.tr("Wechseldatentr\xC3\xA4ger", "removable");
        case 3:
            return ctx.tr("Festplatte", "fixed disk");
        case 4:
            return ctx.tr("Netzlaufwerk", "network");
        case 5:
            return "CD/DVD";
        case 6:
            return ctx.tr("RAM-Disk", "RAM disk");
        case 255:
            return ctx.tr("Diskette", "floppy");
        default:
            return "?";
    }
}

}  // namespace

int run_info_medium(Context& ctx, const std::vector<std::string>& args) {
    bool json = false;
    const CommandSyntax syntax{
        .command = "info-medium",
        .options = {{"--json", false,
                     [&](const std::string&) {
                         json = true;
                         return std::string();
                     }}},
        .max_operands = 1,
        .english = ctx.english(),
    };
    ParsedArgs parsed;
    Catalog cat(ctx.limits, ctx.english());
    const int number = medium_from_args(ctx, syntax, args, parsed, cat);
    if (number < 0) return -number;
    const MediumHeader& h = cat.header;
    const MediumInfo& i = cat.info;
    const Statistics st = statistics_of(cat);
    char serial[16];
    std::snprintf(serial, sizeof serial, "%08X", h.volume_serial);
    const int category = static_cast<int>(h.category);
    const std::string_view category_name =
        ctx.categories.is_user_category(category) ? ctx.categories.name(category) : "";
    // key, German label, English label, value
    struct Line {
        const char* key;
        const char* de;
        const char* en;
        RowField value;
    };
    const Line lines[] = {
        {"catalog", "Katalog", "catalogue", RowField::of_integer("catalog", number)},
        {"medium", "Name", "name", RowField::of_text("medium", fixed_text(h.medium_name))},
        {"label", "Label", "label", RowField::of_text("label", fixed_text(h.volume_label))},
        {"serial", "Seriennummer", "serial", RowField::of_text("serial", serial)},
        {"drive_type", "Laufwerksart", "drive type",
         RowField::of_text("drive_type", drive_type_name(ctx, h.drive_type))},
        {"category", "Kategorie", "category", RowField::of_text("category", category_name)},
        {"dirs", "Verzeichnisse", "directories", RowField::of_integer("dirs", st.dirs)},
        {"files", "Dateien", "files", RowField::of_integer("files", st.files)},
        {"total_kb", "Gesamt KB", "total KB", RowField::of_number("total_kb", st.kb, 0)},
        {"free_kb", "frei KB", "free KB", RowField::of_number("free_kb", h.free_kb, 0)},
        {"commented", "mit Kommentar", "with comment",
         RowField::of_integer("commented", st.commented)},
        {"crc", "mit CRC", "with CRC", RowField::of_integer("crc", st.checksummed)},
        {"thumbnails", "mit Vorschaubild", "with thumbnail",
         RowField::of_integer("thumbnails", st.thumbnails)},
        {"favourites", "Favoriten", "favourites",
         RowField::of_integer("favourites", st.favourites)},
        {"lent", "verliehen", "lent",
         RowField::of_integer("lent", (h.medium_flags & MEDIUM_LENT) ? 1 : 0)},
        {"lent_to", "verliehen an", "lent to", RowField::of_text("lent_to", fixed_text(i.lent_to))},
        {"lent_from", "von", "from", RowField::of_text("lent_from", fixed_text(i.lent_from))},
        {"lent_until", "bis", "until", RowField::of_text("lent_until", fixed_text(i.lent_until))},
        {"manufacturer", "Hersteller", "manufacturer",
         RowField::of_text("manufacturer", fixed_text(i.manufacturer))},
        {"supplier", "Lieferant", "supplier",
         RowField::of_text("supplier", fixed_text(i.supplier))},
        {"order_number", "Bestellnummer", "order number",
         RowField::of_text("order_number", fixed_text(i.order_number))},
        {"price", "Preis", "price", RowField::of_text("price", fixed_text(i.price))},
        {"number", "Nummer", "number", RowField::of_text("number", fixed_text(i.number))},
        {"place", "Ort", "place", RowField::of_text("place", fixed_text(i.place))},
        {"description", "Beschreibung", "description",
         RowField::of_text("description", cat.description())},
    };
    std::string out;
    if (json) {
        Row row;
        for (const Line& l : lines) row.push_back(l.value);
        out = json_line(row);
    } else {
        const LineStyle style = stdout_line_style();
        for (const Line& l : lines) {
            const std::string value = tsv_line({l.value}, style);
            // "label: value"; the description keeps its lines below its label.
            if (std::string_view(l.key) == "description") {
                out += std::string(ctx.tr(l.de, l.en)) + ":\n";
                for (std::string_view rest = cat.description(); !rest.empty();) {
                    const std::size_t end = rest.find('\n');
                    std::string_view piece = rest.substr(0, end);
                    if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
                    out +=
                        "  " +
                        (style == LineStyle::Terminal ? terminal_field(piece) : tsv_field(piece)) +
                        "\n";
                    if (end == std::string_view::npos) break;
                    rest.remove_prefix(end + 1);
                }
            } else {
                out += std::string(ctx.tr(l.de, l.en)) + ": " + value;
            }
        }
    }
    if (!write_out(out) || std::fflush(stdout) != 0) return kExitFailure;
    return kExitSuccess;
}

}  // namespace orbisto::app
