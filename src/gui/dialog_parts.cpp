#include "gui/dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "gui/dialogs.h"
#include "gui/qt_text.h"

namespace orbisto::gui {

QString text_for(const DialogEnv& env, const char* de, const char* en) {
    return qs(env.english ? en : de);
}

QLabel* plain_label(const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

void add_ok_cancel(QDialog& dialog, QLayout* layout, const DialogEnv& env) {
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(text_for(env, "Abbrechen", "Cancel"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

QString multi_line(std::string_view text) {
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string stored_lines(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return utf8(s);
}

void place_dialog(QWidget* dialog, DialogPos pos) {
    QPoint at(pos.x, pos.y);
    const QSize size = dialog->sizeHint().expandedTo(dialog->minimumSize());
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        // Keep the whole dialog (or at least its top left part) visible.
        const QRect area = screen->availableGeometry();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() - size.width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - size.height())));
    }
    dialog->move(at);
}

DialogPos dialog_pos(const QWidget* dialog) {
    DialogPos pos;
    pos.x = dialog->x();
    pos.y = dialog->y();
    return pos;
}

}  // namespace orbisto::gui
