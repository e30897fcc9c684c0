// The file list of the medium view as a table model over the Catalog: a row
// is an object reference (the subdirectories, then the files of the current
// directory; or, without the folder structure, every file below it). Rows
// are an index array; sorting sorts that array by keys taken from the
// records.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/catalog_tree.h"
#include "gui/object_texts.h"

namespace orbisto::gui {

// The order of two numbers as -1, 0 or 1 (the sort comparisons of the lists).
template <class T>
int three_way(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The header suffix of the column the list is sorted by.
QString sorted_header(const QString& title, bool sorted, bool ascending);

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Name, Size, Date, Time, Description, ColumnCount };

    FileListModel(const Catalog& cat, const CatalogTree& tree, QObject* parent = nullptr);

    // Shows directory `dir`: with folder_structure its subdirectories and
    // files, else every file below it; with only_with_comment only entries
    // that have a comment.
    void show_dir(std::uint32_t dir, bool folder_structure, bool only_with_comment);
    // Shows an explicit list of objects (the favourites).
    void show_objects(std::vector<std::uint32_t> refs);
    void clear();
    void set_options(const RowOptions& options);
    const RowOptions& options() const { return options_; }

    std::uint32_t object_at(int row) const;
    int row_of(std::uint32_t ref) const;
    int rows() const { return static_cast<int>(rows_.size()); }
    std::size_t memory_bytes() const { return rows_.capacity() * sizeof(std::uint32_t); }

    // A click on a column header: the same column toggles the direction,
    // another column sorts ascending.
    void sort_clicked(int column);
    void sort_rows(int column, bool ascending);
    int sort_column() const { return sort_column_; }
    bool ascending() const { return ascending_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const Catalog& cat_;
    const CatalogTree& tree_;
    RowOptions options_;
    std::vector<std::uint32_t> rows_;
    // Lists start sorted by name, as a user expects to find a file.
    int sort_column_ = Name;
    bool ascending_ = true;
};

// Sorts object references of one Catalog by a column of the file list:
// directories before files, each group by the column's key, ties by name.
void sort_objects(const Catalog& cat, std::vector<std::uint32_t>& refs, int column, bool ascending,
                  const RowOptions& options);

}  // namespace orbisto::gui
