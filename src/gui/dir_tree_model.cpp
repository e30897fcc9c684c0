#include "gui/dir_tree_model.h"

#include <QApplication>
#include <QStyle>

#include "gui/qt_text.h"

namespace orbisto::gui {

DirTreeModel::DirTreeModel(const Catalog& cat, const CatalogTree& tree, QObject* parent)
    : QAbstractItemModel(parent), cat_(cat), tree_(tree) {}

void DirTreeModel::reload() {
    beginResetModel();
    endResetModel();
}

QModelIndex DirTreeModel::index_of_dir(std::uint32_t dir) const {
    if (dir >= tree_.dir_count()) return {};
    if (dir == 0) return createIndex(0, 0, quintptr{0});
    return createIndex(static_cast<int>(tree_.row_in_parent(dir)), 0, quintptr{dir});
}

QModelIndex DirTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0 || tree_.dir_count() == 0) return {};
    if (!parent.isValid()) return row == 0 ? createIndex(0, 0, quintptr{0}) : QModelIndex();
    const auto sub = tree_.subdirs(dir_of(parent));
    if (static_cast<std::size_t>(row) >= sub.size()) return {};
    return createIndex(row, 0, quintptr{sub[static_cast<std::size_t>(row)]});
}

QModelIndex DirTreeModel::parent(const QModelIndex& child) const {
    const std::uint32_t d = dir_of(child);
    if (!child.isValid() || d == 0) return {};
    return index_of_dir(tree_.parent(d));
}

int DirTreeModel::rowCount(const QModelIndex& parent) const {
    if (tree_.dir_count() == 0) return 0;
    if (!parent.isValid()) return 1;
    return static_cast<int>(tree_.subdirs(dir_of(parent)).size());
}

int DirTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant DirTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const std::uint32_t d = dir_of(index);
    if (role == Qt::DisplayRole) {
        if (d == 0) {
            std::string_view name = fixed_text(cat_.header.medium_name);
            if (name.empty()) name = fixed_text(cat_.header.volume_label);
            return name.empty() ? QStringLiteral("/") : one_line(name);
        }
        return one_line(cat_.dir_name(d));
    }
    if (role == Qt::DecorationRole) {
        return style_icon(d == 0 ? QStyle::SP_DriveCDIcon : QStyle::SP_DirIcon);
    }
    if (role == Qt::ToolTipRole && d != 0) return plain_tip(cat_.dir_comment(d));
    return {};
}

}  // namespace orbisto::gui
