#include "search/search_scan.h"

#include <new>

#include "search/search_context.h"

namespace orbisto {

namespace {

// The pump runs once per this many text tests; the abort flag is read before
// every test.
constexpr unsigned kPumpInterval = 256;

bool name_inside(const Catalog& cat, std::uint32_t name) {
    return cat.name_offset(name) < cat.names_used();
}

bool has_comment(const Catalog& cat, std::uint32_t comment) {
    return comment != COMMENT_NONE && comment < cat.comments_used();
}

bool has_thumbnail(const Catalog& cat, const FileRecord& f) {
    return f.thumbnail >= FIRST_IMAGE_OFFSET && f.thumbnail < cat.images_used();
}

std::uint32_t file_mark(const Catalog& cat, const FileRecord& f) {
    return has_thumbnail(cat, f) ? 1 : 0;
}

std::uint32_t dir_mark(const DirRecord& d) {
    return (d.flags & FLAG_ARCHIVE_DIR) ? 1 : 0;
}

}  // namespace

ScanParams ScanParams::from_context(const SearchContext& ctx) {
    const SearchSettings& s = ctx.settings.search;
    const SearchState& st = ctx.search;
    ScanParams p;
    p.mode = s.mode;
    p.scope = s.scope;
    p.only_with_comment = st.only_with_comment;
    p.min_on = st.exact_size || st.MinKB >= kSizeBoundMin;
    p.max_on = st.exact_size || st.MaxKB >= kSizeBoundMin;
    p.min_kb = st.MinKB;
    p.max_kb = st.MaxKB;
    p.date_on = st.date_filter;
    p.from = st.from;
    p.to = st.to;
    p.max_errors = s.max_errors;
    return p;
}

bool CatalogScan::tick() {
    if (++ticks_ % kPumpInterval == 0) ctx_.frontend.pump();
    return !full_ && !ctx_.frontend.abort_requested();
}

bool CatalogScan::test(std::string_view text) {
    SearchPattern& p = ctx_.search.pattern;
    if (params_.mode == SearchMode::Approximate) {
        if (!FindApproximate(p, text, params_.max_errors, true)) return false;
        quality_ = p.LastErrors;
        return true;
    }
    const bool hit = MatchText(p, text);
    quality_ = 0.0;
    if (params_.mode == SearchMode::Similarity) {
        // A string too short to be rated is answered by the normal test.
        quality_ = p.characters >= 4 ? p.LastRate : -1.0;
    }
    return hit;
}

bool CatalogScan::record(const Catalog& cat, std::uint32_t object, std::uint32_t mark, HitKind kind,
                         float size_kb) {
    SearchState& st = ctx_.search;
    const HitRecord hit{object, mark, number_};
    const HitDetail detail{kind, quality_};
    try {
        st.hits.push_back(hit);
        try {
            st.details.push_back(detail);
        } catch (const std::bad_alloc&) {
            st.hits.pop_back();
            throw;
        }
    } catch (const std::bad_alloc&) {
        ctx_.frontend.message(ctx_.tr("Zu wenig Speicher!", "out of memory!"),
                              ctx_.tr("Fehler", "error"), Buttons::Ok, Icon::Stop);
        full_ = true;
        return false;
    }
    st.total_kb += size_kb;
    ++hits_;
    if (st.on_hit) st.on_hit(cat, hit, detail);
    return true;
}

bool CatalogScan::medium_info(const Catalog& cat) {
    const MediumInfo& i = cat.info;
    const std::string_view texts[] = {fixed_text(cat.header.medium_name),
                                      fixed_text(i.manufacturer),
                                      fixed_text(i.supplier),
                                      fixed_text(i.order_number),
                                      fixed_text(i.price),
                                      cat.description(),
                                      fixed_text(i.place),
                                      fixed_text(i.number),
                                      fixed_text(i.lent_to),
                                      fixed_text(i.lent_from),
                                      fixed_text(i.lent_until)};
    for (std::string_view text : texts) {
        if (!tick()) return false;
        if (test(text)) return record(cat, file_object(0), 0, HitKind::MediumInfo, 0.0f);
    }
    return true;
}

bool CatalogScan::dir_names(const Catalog& cat) {
    const auto dirs = cat.dirs();
    const bool strict_min = params_.mode != SearchMode::Approximate;
    for (std::uint32_t i = 1; i < dirs.size(); ++i) {
        const DirRecord& d = dirs[i];
        if (is_deleted(d) || !params_.size_ok(d.size_kb, strict_min) ||
            !params_.date_ok(d.time.value()) || !name_inside(cat, d.name)) {
            continue;
        }
        if (!tick()) return false;
        if (!test(cat.name_at(d.name))) continue;
        if (params_.only_with_comment && !has_comment(cat, d.comment)) continue;
        if (!record(cat, dir_object(i), dir_mark(d), HitKind::DirName, 0.0f)) return false;
    }
    return true;
}

bool CatalogScan::dir_comments(const Catalog& cat) {
    const auto dirs = cat.dirs();
    for (std::uint32_t i = 1; i < dirs.size(); ++i) {
        const DirRecord& d = dirs[i];
        if (is_deleted(d) || !has_comment(cat, d.comment) || !params_.size_ok(d.size_kb, false) ||
            !params_.date_ok(d.time.value())) {
            continue;
        }
        if (!tick()) return false;
        if (!test(cat.comment_at(d.comment))) continue;
        if (!record(cat, dir_object(i), dir_mark(d), HitKind::DirComment, 0.0f)) return false;
    }
    return true;
}

bool CatalogScan::file_names(const Catalog& cat) {
    const auto files = cat.files();
    for (std::uint32_t i = 0; i < files.size(); ++i) {
        const FileRecord& f = files[i];
        if (is_deleted(f) || !params_.size_ok(f.size_kb, false) ||
            !params_.date_ok(f.time.value()) || !name_inside(cat, f.name)) {
            continue;
        }
        if (!tick()) return false;
        if (!test(cat.name_at(f.name))) continue;
        if (params_.only_with_comment && !has_comment(cat, f.comment)) continue;
        if (!record(cat, file_object(i), file_mark(cat, f), HitKind::FileName, f.size_kb)) {
            return false;
        }
    }
    return true;
}

bool CatalogScan::file_comments(const Catalog& cat) {
    const auto files = cat.files();
    for (std::uint32_t i = 0; i < files.size(); ++i) {
        const FileRecord& f = files[i];
        if (is_deleted(f) || !has_comment(cat, f.comment) || !params_.size_ok(f.size_kb, false) ||
            !params_.date_ok(f.time.value())) {
            continue;
        }
        if (!tick()) return false;
        if (!test(cat.comment_at(f.comment))) continue;
        if (!record(cat, file_object(i), file_mark(cat, f), HitKind::FileComment, f.size_kb)) {
            return false;
        }
    }
    return true;
}

bool CatalogScan::thumbnails(const Catalog& cat) {
    const auto files = cat.files();
    for (std::uint32_t i = 0; i < files.size(); ++i) {
        const FileRecord& f = files[i];
        if (!tick()) return false;
        if (is_deleted(f) || !has_thumbnail(cat, f) || !params_.size_ok(f.size_kb, false) ||
            !params_.date_ok(f.time.value())) {
            continue;
        }
        if (!record(cat, file_object(i), 1, HitKind::Thumbnail, f.size_kb)) return false;
    }
    return true;
}

bool CatalogScan::favourites(const Catalog& cat) {
    const auto files = cat.files();
    for (std::uint32_t i = 0; i < files.size(); ++i) {
        const FileRecord& f = files[i];
        if (!tick()) return false;
        if (is_deleted(f) || !(f.flags & FLAG_MARKED) || !params_.size_ok(f.size_kb, false) ||
            !params_.date_ok(f.time.value())) {
            continue;
        }
        if (!record(cat, file_object(i), file_mark(cat, f), HitKind::Favourite, f.size_kb)) {
            return false;
        }
    }
    const auto dirs = cat.dirs();
    for (std::uint32_t i = 1; i < dirs.size(); ++i) {
        const DirRecord& d = dirs[i];
        if (!tick()) return false;
        if (is_deleted(d) || !(d.flags & FLAG_MARKED) || !params_.size_ok(d.size_kb, false) ||
            !params_.date_ok(d.time.value())) {
            continue;
        }
        if (!record(cat, dir_object(i), dir_mark(d), HitKind::Favourite, 0.0f)) return false;
    }
    return true;
}

bool CatalogScan::run(const Catalog& cat, std::uint32_t number) {
    number_ = number;
    quality_ = 0;
    if (params_.mode == SearchMode::Thumbnails) return thumbnails(cat);
    if (params_.mode == SearchMode::Favourites) return favourites(cat);
    const int scope = params_.scope;
    if ((scope & kScopeInfo) && !medium_info(cat)) return false;
    if ((scope & kScopeDirs) && !dir_names(cat)) return false;
    // The comment pool always holds the empty text at offset 0; anything more
    // may be a comment.
    const bool comments = (scope & kScopeComments) && cat.comments_used() > 1;
    if (comments && !dir_comments(cat)) return false;
    if ((scope & kScopeFiles) && !file_names(cat)) return false;
    if (comments && !file_comments(cat)) return false;
    return true;
}

}  // namespace orbisto
