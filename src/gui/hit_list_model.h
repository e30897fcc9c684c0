// The search result as a table model. A hit names an object of a catalogue
// that is in memory only while the search reads it, so the row texts are
// taken as each hit arrives (the search's hit sink) and kept compactly;
// rows are added in batches by a timer, so a result of 100,000 rows is shown
// as it grows while the window stays responsive.
#pragma once

#include <QAbstractTableModel>
#include <QTimer>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "gui/object_texts.h"
#include "search/search_state.h"

namespace orbisto::gui {

struct HitRow {
    std::string name;         // with "(TN) " for a file with a thumbnail
    std::string path;         // directory path on the medium
    std::string description;  // the comment (one line)
    std::string place;        // "number / place" of the medium information
    float size_kb = 0;
    std::uint64_t time = 0;
    std::uint32_t catalog_number = 0;
    std::uint32_t object = 0;
    bool audio_cd = false;
};

class HitListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Name, Size, Date, Time, Medium, Path, Description, Place, ColumnCount };

    // medium_name gives the name of a medium by catalogue number.
    HitListModel(std::function<QString(std::uint32_t)> medium_name, QObject* parent = nullptr);

    // Takes a hit while its Catalog is in memory (the search's hit sink).
    void add_hit(const Catalog& cat, const HitRecord& hit, const HitDetail& detail);
    // The mode of the search whose hits come next (the description prefix).
    void set_mode(SearchMode mode) { mode_ = mode; }
    // Shows every pending hit now.
    void flush();
    void clear();
    // Drops the hits of one catalogue: its records were renumbered or it is
    // another medium now.
    void drop_medium(std::uint32_t catalog_number);
    void set_options(const RowOptions& options);

    const HitRow* row(int r) const;
    int rows() const { return static_cast<int>(shown_); }

    void sort_clicked(int column);
    void sort_by(int column, bool ascending);
    int sort_column() const { return sort_column_; }
    bool ascending() const { return ascending_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const std::string& path_of(const Catalog& cat, std::uint32_t number, std::uint32_t dir);

    std::function<QString(std::uint32_t)> medium_name_;
    // The path of the folder of the last hit (hits come folder by folder).
    std::string path_;
    std::uint32_t path_number_ = 0, path_dir_ = 0;
    const Catalog* path_catalog_ = nullptr;
    bool path_valid_ = false;
    SearchMode mode_ = SearchMode::Normal;
    RowOptions options_;
    std::vector<HitRow> rows_;
    std::vector<std::uint32_t> order_;  // shown order of rows_
    std::size_t shown_ = 0;
    QTimer batch_;
    int sort_column_ = -1;
    bool ascending_ = true;
};

}  // namespace orbisto::gui
