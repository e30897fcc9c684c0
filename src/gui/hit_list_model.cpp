#include "gui/hit_list_model.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "gui/file_list_model.h"
#include "gui/qt_text.h"
#include "output/number_text.h"

namespace orbisto::gui {

HitListModel::HitListModel(std::function<QString(std::uint32_t)> medium_name, QObject* parent)
    : QAbstractTableModel(parent), medium_name_(std::move(medium_name)) {
    batch_.setInterval(250);
    batch_.setSingleShot(true);
    connect(&batch_, &QTimer::timeout, this, &HitListModel::flush);
}

void HitListModel::add_hit(const Catalog& cat, const HitRecord& hit, const HitDetail& detail) {
    HitRow r;
    const std::uint32_t ref = hit.object;
    r.object = ref;
    r.catalog_number = hit.catalog_number;
    r.audio_cd = (cat.header.medium_flags & MEDIUM_AUDIO_CD) != 0;
    const std::uint32_t i = object_index(ref);
    if (detail.kind == HitKind::MediumInfo) {
        // A hit in the medium information stands for the medium itself.
        r.name = fixed_text(cat.header.medium_name);
        r.size_kb = cat.header.total_kb;
        r.description = cat.description().substr(0, 200);
    } else if (is_dir_object(ref)) {
        if (i < cat.dir_count()) {
            r.name = cat.dir_name(i);
            r.path = path_of(cat, hit.catalog_number, cat.dirs()[i].parent);
            r.size_kb = cat.dirs()[i].size_kb;
            r.time = cat.dirs()[i].time.value();
        }
    } else if (i < cat.file_count()) {
        const FileRecord& f = cat.files()[i];
        r.name = cat.file_name(i);
        if (f.thumbnail >= FIRST_IMAGE_OFFSET && !cat.image_at(f.thumbnail).empty())
            r.name = "(TN) " + r.name;
        r.path = path_of(cat, hit.catalog_number, f.parent);
        r.size_kb = f.size_kb;
        r.time = f.time.value();
    }
    if (detail.kind != HitKind::MediumInfo) r.description = std::string(object_comment(cat, ref));
    // Approximate hits carry their error count, similar ones their rate.
    char prefix[32] = "";
    if (mode_ == SearchMode::Approximate)
        std::snprintf(prefix, sizeof prefix, "(%d)", static_cast<int>(detail.quality));
    else if (mode_ == SearchMode::Similarity)
        std::snprintf(prefix, sizeof prefix, "(%6.2f%%)", detail.quality);
    if (*prefix) r.description = prefix + r.description;
    const std::string_view number = fixed_text(cat.info.number);
    const std::string_view place = fixed_text(cat.info.place);
    if (!number.empty() || !place.empty())
        r.place = std::string(number) + " / " + std::string(place);
    rows_.push_back(std::move(r));
    if (!batch_.isActive()) batch_.start();
}

const std::string& HitListModel::path_of(const Catalog& cat, std::uint32_t number,
                                         std::uint32_t dir) {
    // Hits come folder by folder: the last folder's path is kept.
    if (!path_valid_ || number != path_number_ || dir != path_dir_ || &cat != path_catalog_) {
        path_ = cat.dir_path(dir);
        path_number_ = number;
        path_dir_ = dir;
        path_catalog_ = &cat;
        path_valid_ = true;
    }
    return path_;
}

void HitListModel::flush() {
    if (shown_ == rows_.size()) return;
    if (sort_column_ >= 0) {
        // A sorted view is re-sorted as a whole.
        beginResetModel();
        order_.resize(rows_.size());
        std::iota(order_.begin(), order_.end(), 0u);
        shown_ = rows_.size();
        endResetModel();
        sort_by(sort_column_, ascending_);
        return;
    }
    const int first = static_cast<int>(shown_);
    const int last = static_cast<int>(rows_.size()) - 1;
    beginInsertRows({}, first, last);
    for (std::size_t k = shown_; k < rows_.size(); ++k)
        order_.push_back(static_cast<std::uint32_t>(k));
    shown_ = rows_.size();
    endInsertRows();
}

void HitListModel::clear() {
    path_valid_ = false;
    beginResetModel();
    rows_.clear();
    order_.clear();
    shown_ = 0;
    endResetModel();
}

void HitListModel::drop_medium(std::uint32_t catalog_number) {
    flush();
    if (std::none_of(rows_.begin(), rows_.end(),
                     [&](const HitRow& r) { return r.catalog_number == catalog_number; }))
        return;
    beginResetModel();
    std::erase_if(rows_, [&](const HitRow& r) { return r.catalog_number == catalog_number; });
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), 0u);
    shown_ = rows_.size();
    endResetModel();
    if (sort_column_ >= 0) sort_by(sort_column_, ascending_);
}

void HitListModel::set_options(const RowOptions& options) {
    beginResetModel();
    options_ = options;
    endResetModel();
}

const HitRow* HitListModel::row(int r) const {
    if (r < 0 || static_cast<std::size_t>(r) >= shown_) return nullptr;
    return &rows_[order_[static_cast<std::size_t>(r)]];
}

void HitListModel::sort_clicked(int column) {
    if (column < 0 || column >= ColumnCount) return;
    sort_by(column, column == sort_column_ ? !ascending_ : true);
}

void HitListModel::sort_by(int column, bool asc) {
    if (column < 0 || column >= ColumnCount) return;
    Q_EMIT layoutAboutToBeChanged();
    sort_column_ = column;
    ascending_ = asc;
    auto key_cmp = [&](const HitRow& a, const HitRow& b) -> int {
        switch (column) {
            case Size:
                return three_way(a.size_kb, b.size_kb);
            case Date:
            case Time:
                return three_way(a.time, b.time);
            case Medium:
                return three_way(a.catalog_number, b.catalog_number);
            case Path:
                return compare_names(a.path, b.path);
            case Description:
                return compare_names(a.description, b.description);
            case Place:
                return compare_names(a.place, b.place);
        }
        return 0;
    };
    std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t x, std::uint32_t y) {
        int c = key_cmp(rows_[x], rows_[y]);
        if (c == 0) c = compare_names(rows_[x].name, rows_[y].name);
        return asc ? c < 0 : c > 0;
    });
    Q_EMIT layoutChanged();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

int HitListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_);
}

int HitListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HitListModel::data(const QModelIndex& index, int role) const {
    const HitRow* r = row(index.row());
    if (!r) return {};
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case Name:
                return one_line(r->name);
            case Size:
                return qs(size_text(r->size_kb, options_.group_digits, r->audio_cd));
            case Date:
                return date_text(r->time, options_.english);
            case Time:
                return time_text(r->time);
            case Medium:
                return medium_name_ ? medium_name_(r->catalog_number) : QString();
            case Path:
                return one_line(r->path);
            case Description:
                return comment_line(r->description);
            case Place:
                return one_line(r->place);
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == Size)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant HitListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const de[] = {"Name",   "Länge (KB)", "Datum",        "Zeit",
                                     "Medium", "Pfad",       "Beschreibung", "Nummer / Ort"};
    static const char* const en[] = {"name",   "length (KB)", "date",        "time",
                                     "medium", "path",        "description", "number / place"};
    if (section < 0 || section >= ColumnCount) return {};
    return sorted_header(qs(options_.english ? en[section] : de[section]), section == sort_column_,
                         ascending_);
}

}  // namespace orbisto::gui
