// The program's own row painter of the lists (the setting "schoen"): rows
// in alternating shades, marked entries (favourites) on a coloured band,
// directories in bold; the standard painter draws everything else.
#pragma once

#include <QStyledItemDelegate>

namespace orbisto::gui {

class RowPainter : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// Whether a row is a marked entry or a directory: the models answer these
// roles (Qt::UserRole + 1 and + 2).
inline constexpr int kMarkedRole = Qt::UserRole + 1;
inline constexpr int kDirectoryRole = Qt::UserRole + 2;

}  // namespace orbisto::gui
