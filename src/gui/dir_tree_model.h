// The directory tree of the loaded medium as an item model over the Catalog
// itself: a node is a directory record index, its children come from the
// CatalogTree. Nothing is copied per directory.
#pragma once

#include <QAbstractItemModel>

#include "catalog/catalog.h"
#include "catalog/catalog_tree.h"

namespace orbisto::gui {

class DirTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    DirTreeModel(const Catalog& cat, const CatalogTree& tree, QObject* parent = nullptr);

    // Call after the Catalog or the tree changed.
    void reload();

    QModelIndex index_of_dir(std::uint32_t dir) const;
    static std::uint32_t dir_of(const QModelIndex& index) {
        return index.isValid() ? static_cast<std::uint32_t>(index.internalId()) : 0;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const Catalog& cat_;
    const CatalogTree& tree_;
};

}  // namespace orbisto::gui
