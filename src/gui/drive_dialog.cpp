// The drive dialogs: a list of the drives with their volume labels, the
// notes of the update dialog, the two check boxes of the scan dialog and
// the buttons that start or cancel. Declared in gui/dialogs.h.
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/dialog_parts.h"
#include "gui/dialogs.h"
#include "gui/qt_text.h"

namespace orbisto::gui {

int drive_dialog(QWidget* parent, DriveChoice& choice, const DialogEnv& env) {
    if (choice.items.empty()) return -1;
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("drive_dialog"));
    dialog.setWindowTitle(one_line(choice.caption));
    auto* layout = new QVBoxLayout(&dialog);
    for (const std::string& note : choice.notes) layout->addWidget(plain_label(qs(note), &dialog));

    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("drives"));
    for (const std::string& item : choice.items) list->addItem(one_line(item));
    const int rows = list->count();
    list->setCurrentRow(choice.preselected >= 0 && choice.preselected < rows ? choice.preselected
                                                                             : 0);
    list->setMinimumWidth(320);
    // As high as its rows, up to ten; more scroll.
    const int shown_rows = std::clamp(rows, 3, 10);
    list->setFixedHeight(list->sizeHintForRow(0) * shown_rows + 2 * list->frameWidth() + 4);
    layout->addWidget(list);

    QCheckBox* never_ask = nullptr;
    QCheckBox* cd_text = nullptr;
    if (choice.kind == DriveDialog::Scan) {
        never_ask =
            new QCheckBox(text_for(env, "immer letztes &Laufwerk benutzen wenn Medium drin ist",
                                   "always use the last &drive when it holds a medium"),
                          &dialog);
        never_ask->setObjectName(QStringLiteral("never_ask"));
        never_ask->setChecked(choice.never_ask);
        cd_text = new QCheckBox(text_for(env, "&CD-Text lesen", "read &CD-Text"), &dialog);
        cd_text->setObjectName(QStringLiteral("cd_text"));
        cd_text->setChecked(choice.cd_text);
        layout->addWidget(never_ask);
        layout->addWidget(cd_text);
    }

    auto* buttons = new QDialogButtonBox(&dialog);
    const QString start = choice.kind == DriveDialog::Update ? text_for(env, "An&zeigen", "&show")
                                                             : QStringLiteral("&Start");
    QPushButton* ok = buttons->addButton(start, QDialogButtonBox::AcceptRole);
    buttons->addButton(text_for(env, "&Abbruch", "&abort"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    QObject::connect(list, &QListWidget::currentRowChanged,
                     [ok](int row) { ok->setEnabled(row >= 0); });

    // Only the scan dialog has a place of its own; the others open over the
    // window.
    if (choice.kind == DriveDialog::Scan) place_dialog(&dialog, choice.pos);
    list->setFocus();
    const bool accepted = dialog.exec() == QDialog::Accepted;

    // The check boxes count whichever button closed the dialog.
    if (never_ask) choice.never_ask = never_ask->isChecked();
    if (cd_text) choice.cd_text = cd_text->isChecked();
    if (choice.kind == DriveDialog::Scan) choice.pos = dialog_pos(&dialog);
    if (!accepted) return -1;
    return list->currentRow();
}

}  // namespace orbisto::gui
