#include "gui/row_painter.h"

#include <QPainter>

namespace orbisto::gui {

void RowPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
    QStyleOptionViewItem o(option);
    initStyleOption(&o, index);
    if (!(o.state & QStyle::State_Selected)) {
        QColor band = index.row() % 2 ? QColor(0xF3, 0xF6, 0xFA) : QColor(Qt::white);
        if (index.data(kMarkedRole).toBool()) band = QColor(0xFF, 0xF2, 0xC6);
        painter->fillRect(o.rect, band);
        o.backgroundBrush = band;
    }
    if (index.data(kDirectoryRole).toBool()) o.font.setBold(true);
    QStyledItemDelegate::paint(painter, o, index);
}

}  // namespace orbisto::gui
