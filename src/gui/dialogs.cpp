// Provisional forms of the dialogs: plain choosers and question boxes until
// the dialogs of their own are built.
#include "gui/dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "gui/qt_text.h"

namespace orbisto::gui {

int drive_dialog(QWidget* parent, DriveChoice& choice, const DialogEnv&) {
    QStringList items;
    for (const auto& s : choice.items) items << one_line(s);
    if (items.isEmpty()) return -1;
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, qs(choice.caption), QString(), items,
                                                 choice.preselected, false, &ok);
    return ok ? static_cast<int>(items.indexOf(chosen)) : -1;
}

KnownMediumChoice known_medium_dialog(QWidget* parent, std::string_view caption,
                                      std::string_view medium_name, const DialogEnv&) {
    QMessageBox box(QMessageBox::Question, qs(caption), one_line(medium_name),
                    QMessageBox::NoButton, parent);
    auto* update = box.addButton(QStringLiteral("Update"), QMessageBox::AcceptRole);
    auto* fresh = box.addButton(QStringLiteral("Neu"), QMessageBox::AcceptRole);
    auto* show = box.addButton(QStringLiteral("Anzeigen"), QMessageBox::AcceptRole);
    auto* cancel = box.addButton(QStringLiteral("Abbruch"), QMessageBox::RejectRole);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == update) return KnownMediumChoice::Update;
    if (box.clickedButton() == fresh) return KnownMediumChoice::New;
    if (box.clickedButton() == show) return KnownMediumChoice::Show;
    return KnownMediumChoice::Cancel;
}

bool medium_sheet(QWidget*, Catalog&, std::string_view,
                  const std::function<void(std::string_view)>&, const DialogEnv&) {
    return true;
}

DuplicateMediumAnswer duplicate_medium_dialog(QWidget* parent, DuplicateMediumPair& pair,
                                              const std::function<void(PairMember)>&,
                                              const DialogEnv&) {
    QMessageBox box(QMessageBox::Question, qs(pair.caption),
                    one_line(pair.first_name) + QLatin1Char('\n') + one_line(pair.second_name),
                    QMessageBox::NoButton, parent);
    auto* next = box.addButton(QStringLiteral("&Weiter"), QMessageBox::AcceptRole);
    auto* stop = box.addButton(QStringLiteral("&Abbruch"), QMessageBox::RejectRole);
    box.setEscapeButton(stop);
    box.exec();
    return box.clickedButton() == next ? DuplicateMediumAnswer::Next : DuplicateMediumAnswer::Stop;
}

}  // namespace orbisto::gui
