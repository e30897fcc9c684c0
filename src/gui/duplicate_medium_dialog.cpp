// The duplicate-medium dialog: two media-list entries with the same label
// and serial, each with its name and catalogue file date and the buttons to
// delete it, to show it (the dialog stays open) or to fill its comments from
// the other; "Weiter" goes on to the next pair, "Abbruch" ends the search.
// Declared in gui/dialogs.h.
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_parts.h"
#include "gui/dialogs.h"
#include "gui/qt_text.h"

namespace orbisto::gui {

namespace {

QLineEdit* shown_text(const QString& text, const QString& tip, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setReadOnly(true);
    field->setToolTip(tip);
    field->setCursorPosition(0);
    return field;
}

}  // namespace

DuplicateMediumAnswer duplicate_medium_dialog(QWidget* parent, DuplicateMediumPair& pair,
                                              const std::function<void(PairMember)>& show,
                                              const DialogEnv& env) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("duplicate_medium_dialog"));
    dialog.setWindowTitle(one_line(pair.caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    DuplicateMediumAnswer answer = DuplicateMediumAnswer::Stop;
    const auto closing = [&](QPushButton* b, DuplicateMediumAnswer value) {
        QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, &answer, value] {
            answer = value;
            dialog.done(QDialog::Accepted);
        });
    };
    struct Member {
        const char* key;
        const std::string* name;
        const std::string* date;
        PairMember which;
        DuplicateMediumAnswer remove, take;
        const char* tips_de[5];
        const char* tips_en[5];
    };
    const Member members[] = {
        {"first",
         &pair.first_name,
         &pair.first_date,
         PairMember::First,
         DuplicateMediumAnswer::DeleteFirst,
         DuplicateMediumAnswer::TakeIntoFirst,
         {"Name des 1. Doubles", "Dateidatum der 1. Doublette", "1. Double l\303\266schen",
          "1. Double anzeigen", "1. Doublette mit Kommentaren der 2. Doublette aktualisieren"},
         {"name of the 1st dupe", "file date of the 1st dupe", "delete the 1st dupe",
          "show the 1st dupe", "update the 1st dupe with the comments of the 2nd dupe"}},
        {"second",
         &pair.second_name,
         &pair.second_date,
         PairMember::Second,
         DuplicateMediumAnswer::DeleteSecond,
         DuplicateMediumAnswer::TakeIntoSecond,
         {"Name des 2. Doubles", "Dateidatum der 2. Doublette", "2. Double l\303\266schen",
          "2. Double anzeigen", "2. Doublette mit Kommentaren der 1. Doublette aktualisieren"},
         {"name of the 2nd dupe", "file date of the 2nd dupe", "delete the 2nd dupe",
          "show the 2nd dupe", "update the 2nd dupe with the comments of the 1st dupe"}},
    };
    int row = 0;
    for (const Member& m : members) {
        const auto tip = [&](int i) { return qs(env.english ? m.tips_en[i] : m.tips_de[i]); };
        const QString key = QString::fromLatin1(m.key);
        QLineEdit* name = shown_text(one_line(*m.name), tip(0), &dialog);
        name->setObjectName(key + QStringLiteral("_name"));
        name->setMinimumWidth(260);
        QLineEdit* date = shown_text(one_line(*m.date), tip(1), &dialog);
        date->setObjectName(key + QStringLiteral("_date"));
        date->setMinimumWidth(
            date->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000  00:00")) + 16);
        auto* remove = new QPushButton(text_for(env, "L\303\266schen", "delete"), &dialog);
        remove->setObjectName(key + QStringLiteral("_delete"));
        remove->setToolTip(tip(2));
        closing(remove, m.remove);
        auto* view = new QPushButton(text_for(env, "Anzeigen", "show"), &dialog);
        view->setObjectName(key + QStringLiteral("_show"));
        view->setToolTip(tip(3));
        const PairMember which = m.which;
        QObject::connect(view, &QPushButton::clicked, &dialog, [&show, which] {
            if (show) show(which);
        });
        auto* take = new QPushButton(text_for(env, "aktualisieren", "update"), &dialog);
        take->setObjectName(key + QStringLiteral("_update"));
        take->setToolTip(tip(4));
        closing(take, m.take);
        grid->addWidget(name, row, 0);
        grid->addWidget(date, row, 1);
        grid->addWidget(remove, row, 2);
        grid->addWidget(view, row, 3);
        grid->addWidget(take, row, 4);
        ++row;
    }
    grid->setColumnStretch(0, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    auto* next = new QPushButton(text_for(env, "&Weiter", "&next"), &dialog);
    next->setObjectName(QStringLiteral("next"));
    next->setToolTip(text_for(env, "n\303\244chste Doublette suchen", "search the next dupe"));
    next->setDefault(true);
    closing(next, DuplicateMediumAnswer::Next);
    auto* stop = new QPushButton(text_for(env, "&Abbruch", "&abort"), &dialog);
    stop->setObjectName(QStringLiteral("abort"));
    QObject::connect(stop, &QPushButton::clicked, &dialog, &QDialog::reject);
    bottom->addWidget(next);
    bottom->addWidget(stop);
    layout->addLayout(bottom);

    place_dialog(&dialog, pair.pos);
    next->setFocus();
    const int result = dialog.exec();
    pair.pos = dialog_pos(&dialog);
    // Escape and the window's close button end the search.
    return result == QDialog::Accepted ? answer : DuplicateMediumAnswer::Stop;
}

}  // namespace orbisto::gui
