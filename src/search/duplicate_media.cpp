// Duplicate media: the pair walk with its dialog, deleting one of a pair, and
// taking comments over from one medium into the other.
#include "search/duplicate_media.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <new>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/long_operation.h"
#include "catalog/media_list.h"
#include "catalog/media_match.h"
#include "search/search_context.h"
#include "settings/environment.h"
#include "settings/settings_io.h"

namespace orbisto {

namespace {

constexpr const char* kDialogPlace = "Doppelt";
// Records handled between two runs of the message pump.
constexpr std::uint32_t kPumpEvery = 256;

int number_at(const SearchContext& ctx, std::size_t pos) {
    return static_cast<int>(ctx.media.entries[pos].catalog_number & 0xFFFF);
}

// The scanned paths of the media-list entries, read from their files when a
// pair first needs them; kept in step with the list as entries are deleted.
class ScannedPaths {
  public:
    explicit ScannedPaths(const SearchContext& ctx) : ctx_(ctx), paths_(ctx.media.count()) {}

    // Whether the entries at i and j describe one medium. An entry whose
    // file cannot be read is never the same as another.
    bool same(std::size_t i, std::size_t j) {
        const MediumHeader& a = ctx_.media.entries[i];
        const MediumHeader& b = ctx_.media.entries[j];
        if (a.volume_serial != b.volume_serial ||
            fixed_text(a.volume_label) != fixed_text(b.volume_label)) {
            return false;
        }
        const std::optional<std::string>& pa = path(i);
        const std::optional<std::string>& pb = path(j);
        return pa && pb && same_medium(a, *pa, b, *pb);
    }
    void erase(std::size_t pos) {
        if (pos < paths_.size()) paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(pos));
    }

  private:
    const std::optional<std::string>& path(std::size_t pos) {
        Slot& slot = paths_[pos];
        if (!slot.read) {
            slot.path = read_scanned_path(ctx_, number_at(ctx_, pos));
            slot.read = true;
        }
        return slot.path;
    }
    struct Slot {
        bool read = false;
        std::optional<std::string> path;
    };
    const SearchContext& ctx_;
    std::vector<Slot> paths_;
};

void out_of_memory(SearchContext& ctx) {
    ctx.frontend.message(ctx.tr("Zu wenig Speicher!", "out of memory!"), ctx.tr("Fehler", "error"),
                         Buttons::Ok, Icon::Stop);
}

// Removes the catalogue file of the entry at pos and the entry. A file that
// cannot be removed keeps its entry (it would come back with the next list
// build). The current Catalog is emptied when it was this medium, so it can
// never be saved over a file of its own again.
bool delete_medium(SearchContext& ctx, std::size_t pos) {
    const int number = number_at(ctx, pos);
    const std::string path = catalog_path(ctx.paths.catalog_dir, number);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        ctx.frontend.message(
            ctx.tr("Datei konnte nicht gel\xC3\xB6scht werden", "file could not be deleted"), path,
            Buttons::Ok, Icon::Stop);
        return false;
    }
    ctx.media.entries.erase(ctx.media.entries.begin() + static_cast<std::ptrdiff_t>(pos));
    if (ctx.catalog.current_number() == number) {
        ctx.catalog.reset(ctx.english());
        ctx.catalog.set_current_number(-1);
        ctx.observer.catalog_replaced();
    }
    WriteFastLoadIndex(ctx);
    ctx.observer.media_changed();
    return true;
}

// Full paths of a catalogue's directories and files mapped to the first
// record with that path.
using PathIndex = std::unordered_map<std::string, std::uint32_t>;

std::vector<std::string> dir_paths(const Catalog& cat) {
    std::vector<std::string> paths(cat.dir_count());
    for (std::uint32_t d = 1; d < cat.dir_count(); ++d) paths[d] = cat.dir_path(d);
    return paths;
}

std::string file_path_in(const Catalog& cat, const std::vector<std::string>& dirs,
                         std::uint32_t f) {
    const std::uint32_t parent = cat.files()[f].parent;
    std::string path = parent < dirs.size() ? dirs[parent] : std::string();
    if (!path.empty()) path += '/';
    path += cat.file_name(f);
    return path;
}

}  // namespace

std::string catalog_file_date(const SearchContext& ctx, int number) {
    struct stat st {};
    if (::stat(catalog_path(ctx.paths.catalog_dir, number).c_str(), &st) != 0)
        return ctx.tr("Fehler", "error");
    std::tm tm{};
    const std::time_t t = st.st_mtime;
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%d  %02d:%02d", tm.tm_mday, tm.tm_mon + 1,
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min);
    return buf;
}

DuplicateMediumTexts duplicate_medium_texts(bool english) {
    DuplicateMediumTexts t;
    t.remove = tr(english, "L\xC3\xB6schen", "delete");
    t.show = tr(english, "Anzeigen", "show");
    t.next = tr(english, "&Weiter", "&next");
    t.update = tr(english, "aktualisieren", "update");
    t.abort = tr(english, "&Abbruch", "&abort");
    const char* de[11] = {"Name des 1. Doubles",
                          "Name des 2. Doubles",
                          "1. Double l\xC3\xB6schen",
                          "2. Double l\xC3\xB6schen",
                          "1. Double anzeigen",
                          "2. Double anzeigen",
                          "n\xC3\xA4"
                          "chste Doublette suchen",
                          "Dateidatum der 1. Doublette",
                          "Dateidatum der 2. Doublette",
                          "1. Doublette mit Kommentaren der 2. Doublette aktualisieren",
                          "2. Doublette mit Kommentaren der 1. Doublette aktualisieren"};
    const char* en[11] = {"name of the 1st double",
                          "name of the 2nd double",
                          "delete the 1st double",
                          "delete the 2nd double",
                          "show the 1st double",
                          "show the 2nd double",
                          "search for the next double",
                          "file date of the 1st double",
                          "file date of the 2nd double",
                          "update the 1st double with the comments of the 2nd",
                          "update the 2nd double with the comments of the 1st"};
    for (int i = 0; i < 11; ++i) t.tips[i] = english ? en[i] : de[i];
    return t;
}

DuplicateMediaResult FindDuplicateMedia(SearchContext& ctx) {
    DuplicateMediaResult result;
    if (ctx.media.count() == 1) {
        ctx.frontend.message(
            ctx.tr("Was soll ich finden?\r\nDu Scherzkeks", "what should I find?\r\nvery funny"),
            ctx.tr("Nur eine CD eingelesen", "only one CD in database"), Buttons::Ok,
            Icon::Information);
        return result;
    }
    const DialogPos start_pos = read_dialog_pos(ctx, kDialogPlace);
    DialogPos pos = start_pos;

    // After a deletion the list has shifted: deleting i brings the next
    // medium to position i, whose pairs start again at i + 1; deleting j
    // brings the next one to position j, which is compared with i next.
    ScannedPaths paths(ctx);
    for (std::size_t i = 0; i + 1 < ctx.media.count();) {
        bool i_deleted = false;
        for (std::size_t j = i + 1; j < ctx.media.count();) {
            if (!paths.same(i, j)) {
                ++j;
                continue;
            }
            DuplicateMediumPair pair;
            pair.caption = ctx.tr("doppeltes Medium", "medium dupes");
            pair.first_name = std::string(fixed_text(ctx.media.entries[i].medium_name));
            pair.second_name = std::string(fixed_text(ctx.media.entries[j].medium_name));
            pair.first_date = catalog_file_date(ctx, number_at(ctx, i));
            pair.second_date = catalog_file_date(ctx, number_at(ctx, j));
            pair.pos = pos;
            ++result.pairs;
            const std::size_t first = i, second = j;
            const DuplicateMediumAnswer answer =
                ctx.media_dialogs.duplicate_medium(pair, [&](PairMember which) {
                    const std::size_t p = which == PairMember::First ? first : second;
                    if (p < ctx.media.count()) LoadCatalog(ctx, number_at(ctx, p));
                });
            pos = pair.pos;

            if (answer == DuplicateMediumAnswer::Stop) {
                result.stopped = true;
                break;
            }
            if (answer == DuplicateMediumAnswer::DeleteFirst && delete_medium(ctx, i)) {
                paths.erase(i);
                ++result.deleted;
                result.changed = true;
                i_deleted = true;
                break;
            }
            if (answer == DuplicateMediumAnswer::DeleteSecond && delete_medium(ctx, j)) {
                paths.erase(j);
                ++result.deleted;
                result.changed = true;
                continue;
            }
            if (answer == DuplicateMediumAnswer::TakeIntoFirst) {
                TakeComments(ctx, i, j);
                result.changed = true;
            } else if (answer == DuplicateMediumAnswer::TakeIntoSecond) {
                TakeComments(ctx, j, i);
                result.changed = true;
            }
            ++j;
        }
        if (result.stopped) break;
        if (!i_deleted) ++i;
    }
    if (pos.x != start_pos.x || pos.y != start_pos.y) write_dialog_pos(ctx, kDialogPlace, pos);
    if (result.stopped) return result;
    ctx.frontend.message(ctx.tr("Suche beendet", "search completed"), ctx.tr("Fertig", "ready"),
                         Buttons::Ok, Icon::Information);
    return result;
}

bool TakeComments(SearchContext& ctx, std::size_t target, std::size_t source) {
    if (target >= ctx.media.count() || source >= ctx.media.count() || target == source)
        return false;
    const int target_number = number_at(ctx, target);
    if (!LoadCatalog(ctx, number_at(ctx, source))) return false;

    Catalog copy;
    PathIndex source_dirs, source_files;
    std::vector<std::string> target_dirs;
    try {
        copy = ctx.catalog;
        const std::vector<std::string> paths = dir_paths(copy);
        for (std::uint32_t d = 1; d < copy.dir_count(); ++d) source_dirs.try_emplace(paths[d], d);
        for (std::uint32_t f = 0; f < copy.file_count(); ++f) {
            source_files.try_emplace(file_path_in(copy, paths, f), f);
        }
    } catch (const std::bad_alloc&) {
        out_of_memory(ctx);
        return false;
    }

    LongOperation op(ctx, {"", 100, false});
    if (!LoadCatalog(ctx, target_number)) return false;
    Catalog& cat = ctx.catalog;
    // The comments taken stay, whichever way the walk ends: tell the view.
    struct ChangedNotice {
        SearchContext& ctx;
        ~ChangedNotice() {
            if (ctx.catalog.changed()) ctx.observer.catalog_changed();
        }
    } notice{ctx};
    try {
        target_dirs = dir_paths(cat);
    } catch (const std::bad_alloc&) {
        out_of_memory(ctx);
        return false;
    }

    const std::uint64_t total = std::uint64_t{cat.dir_count()} + cat.file_count();
    std::uint64_t done = 0;
    // Takes the comment of the source record found under path, once.
    // Returns the new comment offset, 0 when there is nothing to take, or
    // nullopt when the pool cannot grow.
    const auto take = [&](const PathIndex& index, const std::string& path, bool dir,
                          std::uint32_t& flags_out) -> std::optional<std::uint32_t> {
        const auto it = index.find(path);
        if (it == index.end()) return 0u;
        std::uint32_t& comment =
            dir ? copy.dirs()[it->second].comment : copy.files()[it->second].comment;
        if (comment == COMMENT_NONE || (dir && is_deleted(copy.dirs()[it->second]))) return 0u;
        const std::string_view text = copy.comment_at(comment);
        if (text.empty()) return 0u;
        const AppendResult added = cat.append_comment(text);
        if (!added.ok()) return std::nullopt;
        if (!dir) flags_out = copy.files()[it->second].flags & FLAG_CRC;
        comment = COMMENT_NONE;
        return added.value;
    };
    const auto step = [&]() -> bool {
        ++done;
        if (done % kPumpEvery != 0) return true;
        op.progress(static_cast<int>(done * 100 / (total ? total : 1)));
        return op.step();
    };
    const auto aborted = [&] {
        op.finish();
        ctx.frontend.message(ctx.tr("Du hast den Button gedr\xC3\xBC"
                                    "ckt!",
                                    "you pressed the button!"),
                             ctx.tr("Abbruch", "abbort"), Buttons::Ok, Icon::Exclamation);
        return false;
    };

    for (std::uint32_t d = 1; d < cat.dir_count(); ++d) {
        if (!step()) return aborted();
        if (cat.dirs()[d].comment != COMMENT_NONE) continue;
        std::uint32_t flags = 0;
        const auto offset = take(source_dirs, target_dirs[d], true, flags);
        if (!offset) {
            out_of_memory(ctx);
            return false;
        }
        if (*offset == 0) continue;
        cat.dirs()[d].comment = *offset;
        cat.set_changed(true);
    }
    for (std::uint32_t f = 0; f < cat.file_count(); ++f) {
        if (!step()) return aborted();
        if (cat.files()[f].comment != COMMENT_NONE || is_deleted(cat.files()[f])) continue;
        std::uint32_t flags = 0;
        std::optional<std::uint32_t> offset;
        try {
            offset = take(source_files, file_path_in(cat, target_dirs, f), false, flags);
        } catch (const std::bad_alloc&) {
            offset.reset();
        }
        if (!offset) {
            out_of_memory(ctx);
            return false;
        }
        if (*offset == 0) continue;
        cat.files()[f].comment = *offset;
        // A taken "CRC:" comment keeps its flag, so it still reads as a checksum.
        cat.files()[f].flags |= flags;
        cat.set_changed(true);
    }
    op.progress(100);
    return true;
}

}  // namespace orbisto
