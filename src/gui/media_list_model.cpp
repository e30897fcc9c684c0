#include "gui/media_list_model.h"

#include <QApplication>
#include <QMimeData>
#include <QStyle>
#include <algorithm>
#include <cstdio>

#include "gui/file_list_model.h"
#include "gui/qt_text.h"
#include "output/number_text.h"

namespace orbisto::gui {

namespace {

QString mb_text(float kb) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(kb) / 1024.0);
    return QString::fromLatin1(buf);
}

}  // namespace

MediaListModel::MediaListModel(const MediaList& media, QObject* parent)
    : QAbstractTableModel(parent), media_(media) {}

void MediaListModel::show_positions(std::vector<std::size_t> positions) {
    beginResetModel();
    rows_ = std::move(positions);
    std::erase_if(rows_, [&](std::size_t p) { return p >= media_.entries.size(); });
    if (sort_column_ >= 0) sort_now();
    endResetModel();
}

void MediaListModel::set_english(bool english) {
    english_ = english;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void MediaListModel::set_group_digits(bool on) {
    beginResetModel();
    group_digits_ = on;
    endResetModel();
}

std::size_t MediaListModel::position_at(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size() ? rows_[row]
                                                                    : static_cast<std::size_t>(-1);
}

int MediaListModel::row_of_position(std::size_t pos) const {
    const auto it = std::find(rows_.begin(), rows_.end(), pos);
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

void MediaListModel::sort_clicked(int column) {
    if (column < 0 || column >= ColumnCount) return;
    ascending_ = column == sort_column_ ? !ascending_ : true;
    sort_column_ = column;
    Q_EMIT layoutAboutToBeChanged();
    sort_now();
    Q_EMIT layoutChanged();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void MediaListModel::sort_now() {
    const auto& e = media_.entries;
    auto cmp = [&](std::size_t x, std::size_t y) -> int {
        const MediumHeader& a = e[x];
        const MediumHeader& b = e[y];
        switch (sort_column_) {
            case Name:
                return compare_names(fixed_text(a.medium_name), fixed_text(b.medium_name));
            case Volume:
                return compare_names(fixed_text(a.volume_label), fixed_text(b.volume_label));
            case Dirs:
                return three_way(a.dir_count, b.dir_count);
            case Files:
                return three_way(a.file_count, b.file_count);
            case Used:
                return three_way(a.total_kb, b.total_kb);
            case Free:
                return three_way(a.free_kb, b.free_kb);
            case FileName:
                return three_way(a.catalog_number, b.catalog_number);
        }
        return 0;
    };
    const bool asc = ascending_;
    std::stable_sort(rows_.begin(), rows_.end(), [&](std::size_t x, std::size_t y) {
        const int c = cmp(x, y);
        return asc ? c < 0 : c > 0;
    });
}

int MediaListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int MediaListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MediaListModel::data(const QModelIndex& index, int role) const {
    const std::size_t pos = position_at(index.row());
    if (pos >= media_.entries.size()) return {};
    const MediumHeader& m = media_.entries[pos];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case Name:
                return one_line(fixed_text(m.medium_name));
            case Volume:
                return one_line(fixed_text(m.volume_label));
            case Dirs:
                // The root record is no directory of the medium.
                return qs(count_text(m.dir_count > 0 ? m.dir_count - 1 : 0, group_digits_));
            case Files:
                return qs(count_text(m.file_count, group_digits_));
            case Used:
                return mb_text(m.total_kb);
            case Free:
                return mb_text(m.free_kb);
            case FileName:
                return QStringLiteral("%1.cd").arg(m.catalog_number & 0xFFFF);
        }
    }
    if (role == Qt::DecorationRole && index.column() == Name)
        return style_icon(QStyle::SP_DriveCDIcon);
    if (role == Qt::TextAlignmentRole && index.column() >= Dirs && index.column() <= Free)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant MediaListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const de[] = {"Medium",      "Volume",    "Verzeichnisse", "Dateien",
                                     "belegt (MB)", "frei (MB)", "Dateiname"};
    static const char* const en[] = {"medium",    "volume",    "directories", "files",
                                     "used (MB)", "free (MB)", "filename"};
    if (section < 0 || section >= ColumnCount) return {};
    return sorted_header(qs(english_ ? en[section] : de[section]), section == sort_column_,
                         ascending_);
}

Qt::ItemFlags MediaListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid()) f |= Qt::ItemIsDragEnabled;
    return f;
}

QStringList MediaListModel::mimeTypes() const {
    return {QString::fromLatin1(kMediaMimeType)};
}

QMimeData* MediaListModel::mimeData(const QModelIndexList& indexes) const {
    // One position per row, in the order of the view.
    std::vector<int> rows;
    for (const QModelIndex& i : indexes)
        if (i.isValid()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QByteArray text;
    for (int r : rows) text += QByteArray::number(static_cast<qulonglong>(position_at(r))) + '\n';
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kMediaMimeType), text);
    return data;
}

Qt::ItemFlags CategoryTreeModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractItemModel::flags(index);
    if (index.isValid()) f |= Qt::ItemIsDropEnabled;
    return f;
}

QStringList CategoryTreeModel::mimeTypes() const {
    return {QString::fromLatin1(kMediaMimeType)};
}

bool CategoryTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                        const QModelIndex& parent) const {
    return data && data->hasFormat(QString::fromLatin1(kMediaMimeType)) && category_of(parent) >= 0;
}

bool CategoryTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                     int column, const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    std::vector<std::size_t> positions;
    for (const QByteArray& line : data->data(QString::fromLatin1(kMediaMimeType)).split('\n')) {
        bool ok = false;
        const qulonglong p = line.toULongLong(&ok);
        if (ok) positions.push_back(static_cast<std::size_t>(p));
    }
    if (positions.empty()) return false;
    Q_EMIT media_dropped(std::move(positions), category_of(parent));
    // The rows are moved by the window, not removed by the view.
    return false;
}

CategoryTreeModel::CategoryTreeModel(const CategoryTable& table, QObject* parent)
    : QAbstractItemModel(parent), table_(table) {
    reload();
}

void CategoryTreeModel::reload() {
    beginResetModel();
    const int n = table_.count() + 1;  // with the lent entry
    children_.assign(static_cast<std::size_t>(n), {});
    row_.assign(static_cast<std::size_t>(n), 0);
    std::vector<int>& top = children_[0];
    // The whole list is the root of everything; the others hang below it
    // by their parents (a top-level category's parent is 0).
    top.push_back(0);
    top.push_back(1);
    for (int c = 2; c < table_.count(); ++c) {
        const int p = table_.parent(c);
        if (table_.is_user_category(p))
            children_[static_cast<std::size_t>(p)].push_back(c);
        else
            top.push_back(c);
    }
    top.push_back(table_.lent_index());
    for (std::size_t p = 0; p < children_.size(); ++p)
        for (std::size_t k = 0; k < children_[p].size(); ++k)
            row_[static_cast<std::size_t>(children_[p][k])] = static_cast<int>(k);
    endResetModel();
}

QModelIndex CategoryTreeModel::index_of_category(int c) const {
    if (c < 0 || c >= static_cast<int>(row_.size())) return {};
    return createIndex(row_[static_cast<std::size_t>(c)], 0, quintptr(c));
}

QModelIndex CategoryTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    // Category 0 is a top-level node without children of its own here.
    const std::vector<int>* list = nullptr;
    if (!parent.isValid()) {
        list = &children_[0];
    } else {
        const int p = category_of(parent);
        if (p <= 1 || p >= static_cast<int>(children_.size())) return {};
        list = &children_[static_cast<std::size_t>(p)];
    }
    if (static_cast<std::size_t>(row) >= list->size()) return {};
    return createIndex(row, 0, quintptr((*list)[static_cast<std::size_t>(row)]));
}

QModelIndex CategoryTreeModel::parent(const QModelIndex& child) const {
    const int c = category_of(child);
    if (c < 2 || !table_.is_user_category(c)) return {};
    const int p = table_.parent(c);
    if (!table_.is_user_category(p)) return {};
    return index_of_category(p);
}

int CategoryTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return static_cast<int>(children_.empty() ? 0 : children_[0].size());
    const int p = category_of(parent);
    if (p <= 1 || p >= static_cast<int>(children_.size())) return 0;
    return static_cast<int>(children_[static_cast<std::size_t>(p)].size());
}

int CategoryTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant CategoryTreeModel::data(const QModelIndex& index, int role) const {
    const int c = category_of(index);
    if (c < 0) return {};
    if (role == Qt::DisplayRole) return one_line(table_.name(c)).trimmed();
    if (role == Qt::DecorationRole) return style_icon(QStyle::SP_DirClosedIcon);
    return {};
}

}  // namespace orbisto::gui
