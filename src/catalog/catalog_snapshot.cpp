#include "catalog/catalog_snapshot.h"

#include <new>
#include <vector>

#include "settings/lang.h"

namespace orbisto {

namespace {

template <class T>
std::vector<T> copy_with_room(std::span<const T> src) {
    std::vector<T> v;
    v.reserve(src.size() + 2);  // room for the end marker or end mark
    v.insert(v.end(), src.data(), src.data() + src.size());
    return v;
}

}  // namespace

bool take_snapshot(const Catalog& current, CatalogSnapshot& out, Frontend& fe, bool english) {
    try {
        release_snapshot(out);
        CatalogSnapshot snap;
        Catalog& old = snap.old;
        old.info = current.info;
        old.set_description(current.description());
        old.assign_records(copy_with_room(current.dirs()), copy_with_room(current.files()));
        old.assign_names(copy_with_room(current.name_bytes()));
        old.assign_comments(copy_with_room(current.comment_bytes()));
        old.header = current.header;
        old.set_current_number(current.current_number());
        snap.taken = true;
        out = std::move(snap);
    } catch (const std::bad_alloc&) {
        out.taken = false;  // the copies made so far went with `snap`
        fe.message(tr(english, "Zu wenig Speicher!", "out of memory!"),
                   tr(english, "Fehler", "error"), Buttons::Ok, Icon::Stop);
        return false;
    }
    return true;
}

void release_snapshot(CatalogSnapshot& snap) {
    snap.taken = false;
    try {
        snap.old = Catalog(WorkLimits{0, 0, 0, 0, 0, 0, 0, 0, 0});
    } catch (const std::bad_alloc&) {
        snap.old.reset(false);  // keeps its memory, but holds nothing old
    }
}

}  // namespace orbisto
