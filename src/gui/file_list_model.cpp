#include "gui/file_list_model.h"

#include <QApplication>
#include <QFont>
#include <QStyle>
#include <algorithm>
#include <cstring>
#include <numeric>

#include "gui/qt_text.h"
#include "gui/row_painter.h"

namespace orbisto::gui {

QString sorted_header(const QString& title, bool sorted, bool ascending) {
    if (!sorted) return title;
    return title + (ascending ? QStringLiteral(" +") : QStringLiteral(" -"));
}

namespace {

// The first eight bytes of a text, ASCII letters folded, as a number whose
// order is the order of compare_names on those bytes: most comparisons of a
// sort end on it without touching the texts.
std::uint64_t prefix_key(std::string_view s, std::size_t from = 0) {
    s = s.size() > from ? s.substr(from) : std::string_view();
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        unsigned char c = i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
        key = (key << 8) | c;
    }
    return key;
}

std::string_view raw_name(const Catalog& cat, std::uint32_t ref) {
    return is_dir_object(ref) ? cat.dir_name(object_index(ref)) : cat.file_name(object_index(ref));
}

}  // namespace

// A double as an unsigned number of the same order (for sort keys).
std::uint64_t ordered_bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return (b & 0x8000000000000000ULL) ? ~b : (b | 0x8000000000000000ULL);
}

void sort_objects(const Catalog& cat, std::vector<std::uint32_t>& refs, int column, bool ascending,
                  const RowOptions& options) {
    // One small key record per row, sorted as a whole: the comparison reads
    // the records side by side and touches the texts only on equal prefixes.
    struct Key {
        std::uint64_t primary;    // the column's value (or text prefix)
        std::uint64_t name_key;   // the name's first eight bytes
        std::uint64_t name_key2;  // and the next eight
        std::uint32_t row;
        bool dir;
    };
    const std::size_t n = refs.size();
    std::vector<Key> keys(n);
    std::vector<std::string_view> names(n);
    std::vector<std::string_view> text;
    std::vector<std::string> made;  // texts that are no pool text (type names)
    const bool by_text = column == FileListModel::Description;
    if (by_text) {
        text.resize(n);
        if (options.type_names) made.resize(n);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t ref = refs[i];
        names[i] = raw_name(cat, ref);
        Key& k = keys[i];
        k.row = static_cast<std::uint32_t>(i);
        k.dir = is_dir_object(ref);
        k.name_key = prefix_key(names[i]);
        k.name_key2 = prefix_key(names[i], 8);
        switch (column) {
            case FileListModel::Size:
                k.primary = ordered_bits(object_size_kb(cat, ref));
                break;
            case FileListModel::Date:
                k.primary = object_time_value(cat, ref);
                break;
            case FileListModel::Time:
                // The time column sorts by the time of day.
                k.primary = object_time_value(cat, ref) % 864000000000ULL;
                break;
            case FileListModel::Description:
                if (options.type_names && !object_has_comment(cat, ref)) {
                    made[i] = utf8(object_description(cat, ref, options));
                    text[i] = made[i];
                } else {
                    text[i] = object_comment(cat, ref);
                }
                k.primary = prefix_key(text[i]);
                break;
            default:
                k.primary = 0;  // by name alone
                break;
        }
    }
    auto less = [&](const Key& x, const Key& y) {
        // Directories come first whichever way the list is sorted.
        if (x.dir != y.dir) return x.dir;
        int c = three_way(x.primary, y.primary);
        if (c == 0 && by_text) c = compare_names(text[x.row], text[y.row]);
        if (c == 0) c = three_way(x.name_key, y.name_key);
        if (c == 0) c = three_way(x.name_key2, y.name_key2);
        if (c == 0) c = compare_names(names[x.row], names[y.row]);
        if (c == 0) return x.row < y.row;
        return ascending ? c < 0 : c > 0;
    };
    std::sort(keys.begin(), keys.end(), less);
    std::vector<std::uint32_t> sorted(n);
    for (std::size_t i = 0; i < n; ++i) sorted[i] = refs[keys[i].row];
    refs.swap(sorted);
}

FileListModel::FileListModel(const Catalog& cat, const CatalogTree& tree, QObject* parent)
    : QAbstractTableModel(parent), cat_(cat), tree_(tree) {}

void FileListModel::show_dir(std::uint32_t dir, bool folder_structure, bool only_with_comment) {
    beginResetModel();
    rows_.clear();
    if (dir < tree_.dir_count()) {
        if (folder_structure) {
            const auto sub = tree_.subdirs(dir);
            const auto files = tree_.files(dir);
            rows_.reserve(sub.size() + files.size());
            for (std::uint32_t d : sub) rows_.push_back(dir_object(d));
            for (std::uint32_t f : files) rows_.push_back(file_object(f));
        } else {
            rows_ = tree_.files_below(dir);
        }
        if (only_with_comment)
            std::erase_if(rows_, [&](std::uint32_t r) { return !object_has_comment(cat_, r); });
    }
    if (sort_column_ >= 0) sort_objects(cat_, rows_, sort_column_, ascending_, options_);
    endResetModel();
}

void FileListModel::show_objects(std::vector<std::uint32_t> refs) {
    beginResetModel();
    rows_ = std::move(refs);
    if (sort_column_ >= 0) sort_objects(cat_, rows_, sort_column_, ascending_, options_);
    endResetModel();
}

void FileListModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void FileListModel::set_options(const RowOptions& options) {
    beginResetModel();
    options_ = options;
    endResetModel();
}

std::uint32_t FileListModel::object_at(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size() ? rows_[row] : 0;
}

int FileListModel::row_of(std::uint32_t ref) const {
    const auto it = std::find(rows_.begin(), rows_.end(), ref);
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

void FileListModel::sort_clicked(int column) {
    const bool asc = column == sort_column_ ? !ascending_ : true;
    sort_rows(column, asc);
}

void FileListModel::sort_rows(int column, bool ascending) {
    if (column < 0 || column >= ColumnCount) return;
    Q_EMIT layoutAboutToBeChanged();
    sort_column_ = column;
    ascending_ = ascending;
    sort_objects(cat_, rows_, column, ascending, options_);
    Q_EMIT layoutChanged();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) return {};
    const std::uint32_t ref = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case Name:
                    return object_name(cat_, ref);
                case Size:
                    return object_size(cat_, ref, options_);
                case Date:
                    return object_date(cat_, ref, options_);
                case Time:
                    return object_time(cat_, ref);
                case Description:
                    return object_description(cat_, ref, options_);
            }
            return {};
        case Qt::DecorationRole:
            if (index.column() != Name) return {};
            return style_icon(is_dir_object(ref) ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
        case Qt::TextAlignmentRole:
            if (index.column() == Size) return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::ToolTipRole: {
            // Plain text, escaped: a comment that looks like HTML stays as written.
            const QString text = qs(object_comment(cat_, ref));
            if (text.isEmpty()) return {};
            return QStringLiteral("<p style='white-space:pre-wrap'>%1</p>")
                .arg(text.toHtmlEscaped());
        }
        case Qt::FontRole:
            if (object_flags(cat_, ref) & FLAG_MARKED) {
                QFont f;
                f.setBold(true);
                return f;
            }
            return {};
        case Qt::UserRole:
            return QVariant::fromValue(ref);
        case kMarkedRole:
            return (object_flags(cat_, ref) & FLAG_MARKED) != 0;
        case kDirectoryRole:
            return is_dir_object(ref);
    }
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const de[] = {"Name", "Länge (KB)", "Datum", "Zeit", "Beschreibung"};
    static const char* const en[] = {"name", "length (KB)", "date", "time", "description"};
    if (section < 0 || section >= ColumnCount) return {};
    const QString title = qs(options_.english ? en[section] : de[section]);
    return sorted_header(title, section == sort_column_, ascending_);
}

}  // namespace orbisto::gui
