// Pieces shared by the window's dialogs: the text in the interface
// language, labels that show catalogue texts as plain text, multi-line texts
// between the catalogue's "\r\n" form and an edit field, and the remembered
// position of a dialog (kept on a screen, so a position stored on another
// monitor does not hide the dialog).
#pragma once

#include <QLineEdit>
#include <QString>
#include <string>
#include <string_view>

#include "catalog/records.h"
#include "gui/qt_text.h"
#include "settings/frontend.h"

class QDialog;
class QLabel;
class QLayout;
class QWidget;

namespace orbisto::gui {

struct DialogEnv;

// The German or the English text.
QString text_for(const DialogEnv& env, const char* de, const char* en);
// A label whose text is never read as rich text.
QLabel* plain_label(const QString& text, QWidget* parent);
// "OK" (the default) and "Abbrechen"/"Cancel" below a sheet, closing it.
void add_ok_cancel(QDialog& dialog, QLayout* layout, const DialogEnv& env);
// A stored multi-line text for an edit field (line breaks as '\n').
QString multi_line(std::string_view text);
// An edited multi-line text in the stored form (line breaks as "\r\n").
std::string stored_lines(const QString& text);
// A one-line field for a header or info text stored in N bytes: N - 1
// characters at most (the Catalog cuts UTF-8 texts further to the stored
// bytes).
template <std::size_t N>
QLineEdit* text_field_edit(const TextField<N>& field, const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(one_line(fixed_text(field)), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(static_cast<int>(N - 1));
    edit->setCursorPosition(0);
    return edit;
}

// Stores an edited field. A field the user did not touch keeps its bytes
// (also those a line edit cannot show); one that was emptied is emptied.
template <std::size_t N>
void store_text_field(TextField<N>& field, const QLineEdit* edit) {
    if (edit->isModified() || edit->text().isEmpty()) set_fixed_text(field, utf8(edit->text()));
}

// Moves a window to a stored position, moved onto the screen when it would
// lie outside every screen.
void place_dialog(QWidget* dialog, DialogPos pos);
// The position of a window as it is stored.
DialogPos dialog_pos(const QWidget* dialog);

}  // namespace orbisto::gui
