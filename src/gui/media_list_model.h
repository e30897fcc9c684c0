// The media list view: the media of the shown category as rows over the
// MediaList (a row is a MediaList position), and the category tree.
#pragma once

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <vector>

#include "catalog/categories.h"
#include "catalog/media_list.h"

namespace orbisto::gui {

class MediaListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Name, Volume, Dirs, Files, Used, Free, FileName, ColumnCount };

    explicit MediaListModel(const MediaList& media, QObject* parent = nullptr);

    void show_positions(std::vector<std::size_t> positions);
    void set_english(bool english);
    void set_group_digits(bool on);
    std::size_t position_at(int row) const;
    int row_of_position(std::size_t pos) const;
    int rows() const { return static_cast<int>(rows_.size()); }

    void sort_clicked(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Rows are dragged onto a category of the tree as their MediaList
    // positions.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

  private:
    void sort_now();
    const MediaList& media_;
    std::vector<std::size_t> rows_;
    bool english_ = false;
    bool group_digits_ = true;
    int sort_column_ = -1;
    bool ascending_ = true;
};

// The type of dragged media rows: MediaList positions, one per line.
inline constexpr const char* kMediaMimeType = "application/x-orbisto-media";

// The category tree: "! Alle Medien", "! restliche Medien", the user
// categories as a tree, "! verliehen". A node is a category index. Media
// rows dropped on a node ask for their move with media_dropped.
class CategoryTreeModel : public QAbstractItemModel {
    Q_OBJECT
  Q_SIGNALS:
    void media_dropped(std::vector<std::size_t> positions, int category);

  public:
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    explicit CategoryTreeModel(const CategoryTable& table, QObject* parent = nullptr);
    void reload();
    QModelIndex index_of_category(int c) const;
    static int category_of(const QModelIndex& index) {
        return index.isValid() ? static_cast<int>(index.internalId()) : -1;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const CategoryTable& table_;
    std::vector<std::vector<int>> children_;  // children_[0]: the top level
    std::vector<int> row_;
};

}  // namespace orbisto::gui
