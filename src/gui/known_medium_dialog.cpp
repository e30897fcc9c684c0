// The question for a medium that is catalogued already: update its entry,
// catalogue it anew, show the entry, or cancel. Declared in gui/dialogs.h.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_parts.h"
#include "gui/dialogs.h"
#include "gui/qt_text.h"

namespace orbisto::gui {

KnownMediumChoice known_medium_dialog(QWidget* parent, std::string_view caption,
                                      std::string_view medium_name, const DialogEnv& env) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("known_medium_dialog"));
    dialog.setWindowTitle(one_line(caption));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(plain_label(text_for(env, "Dieses Medium ist schon katalogisiert:",
                                           "This medium is catalogued already:"),
                                  &dialog));
    QLabel* name = plain_label(one_line(medium_name), &dialog);
    name->setObjectName(QStringLiteral("medium_name"));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    layout->addWidget(name);

    auto* buttons = new QDialogButtonBox(&dialog);
    KnownMediumChoice answer = KnownMediumChoice::Cancel;
    const auto add = [&](const QString& text, KnownMediumChoice value) {
        QPushButton* b = buttons->addButton(text, QDialogButtonBox::ActionRole);
        QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, &answer, value] {
            answer = value;
            dialog.done(QDialog::Accepted);
        });
        return b;
    };
    add(QStringLiteral("Update"), KnownMediumChoice::Update)->setDefault(true);
    add(text_for(env, "Neu", "new"), KnownMediumChoice::New);
    add(text_for(env, "Anzeigen", "show"), KnownMediumChoice::Show);
    add(text_for(env, "Abbruch", "abort"), KnownMediumChoice::Cancel);
    layout->addWidget(buttons);
    // Escape and the window's close button cancel.
    if (dialog.exec() != QDialog::Accepted) return KnownMediumChoice::Cancel;
    return answer;
}

}  // namespace orbisto::gui
