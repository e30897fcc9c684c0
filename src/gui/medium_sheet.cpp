// The medium information sheet: the medium name and description, the
// category and the purchase details, the medium's figures, and where it is
// kept or to whom it is lent. The sheet edits copies of the texts and stores
// them when it is confirmed; cancelled, it puts the Catalog back as it was.
// Declared in gui/dialogs.h.
#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstring>

#include "catalog/catalog.h"
#include "catalog/catalog_store.h"
#include "catalog/categories.h"
#include "gui/dialog_parts.h"
#include "gui/dialogs.h"
#include "gui/medium_place_page.h"
#include "gui/qt_text.h"

namespace orbisto::gui {

namespace {

// A category as the sheet names it: a user category with the names of its
// parents in front ("parent-child"), a pseudo entry by its name.
QString category_text(const CategoryTable* table, std::uint32_t category) {
    if (!table) return QString::number(category);
    const int c =
        category <= static_cast<std::uint32_t>(table->count()) ? static_cast<int>(category) : -1;
    if (!table->is_user_category(c)) return one_line(table->name(c < 0 ? 0 : c));
    QString path = one_line(table->name(c));
    // Parents always lie outside the category's own subtree; the bound only
    // guards against a table that breaks that.
    for (int p = table->parent(c), steps = 0; table->is_user_category(p) && steps < table->count();
         p = table->parent(p), ++steps)
        path = one_line(table->name(p)) + QLatin1Char('-') + path;
    return path;
}

// The statistics page: the medium's figures, read only.
QWidget* statistics_page(const Catalog& cat, const DialogEnv& env, QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("statistics_page"));
    auto* form = new QFormLayout(page);
    const MediumHeader& h = cat.header;
    const auto row = [&](const char* de, const char* en, const QString& value, const char* name) {
        QLabel* label = plain_label(value, page);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(text_for(env, de, en), label);
    };
    row("Medium-Label:", "medium label:", one_line(fixed_text(h.volume_label)), "label");
    row("Verzeichnisse:", "directories:", QString::number(cat.dir_count()), "dirs");
    row("Dateien:", "files:", QString::number(cat.file_count()), "files");
    row("L\303\244nge (KB):", "size (KB):",
        QString::number(static_cast<double>(h.total_kb), 'f', 2), "size");
    row("freier Speicher (KB):", "free space (KB):",
        QString::number(static_cast<double>(h.free_kb), 'f', 2), "free");
    // Records with a text of their own (not the expanded-archive text) and
    // files with a thumbnail.
    std::size_t comments = 0, thumbnails = 0;
    for (const DirRecord& d : cat.dirs())
        if (d.comment > COMMENT_ARCHIVE && d.comment != DIR_DELETED_COMMENT) ++comments;
    for (const FileRecord& f : cat.files()) {
        if (f.comment > COMMENT_ARCHIVE) ++comments;
        if (f.thumbnail >= FIRST_IMAGE_OFFSET) ++thumbnails;
    }
    row("Kommentare:", "comments:", QString::number(comments), "comments");
    row("Thumbnails:", "thumbnails:", QString::number(thumbnails), "thumbnails");
    QString file, date;
    if (!env.catalog_dir.empty() && cat.current_number() >= 0) {
        file = qs(catalog_path(env.catalog_dir, cat.current_number()));
        const QFileInfo info(file);
        date = info.exists() ? info.lastModified().toString(QStringLiteral("dd.MM.yyyy  hh:mm"))
                             : text_for(env, "Fehler", "error");
    }
    row("Dateiname:", "file name:", file, "file_name");
    row("Dateidatum:", "file date:", date, "file_date");
    row("ID:", "ID:", QStringLiteral("%1").arg(h.volume_serial, 8, 16, QLatin1Char('0')).toUpper(),
        "serial");
    auto* audio = new QCheckBox(QStringLiteral("Audio-CD"), page);
    audio->setObjectName(QStringLiteral("audio_cd"));
    audio->setChecked((h.medium_flags & MEDIUM_AUDIO_CD) != 0);
    audio->setEnabled(false);
    form->addRow(QString(), audio);
    return page;
}

}  // namespace

bool medium_sheet(QWidget* parent, Catalog& catalog, std::string_view caption,
                  const std::function<void(std::string_view name)>& on_name_edited,
                  const DialogEnv& env) {
    // What a cancel puts back.
    const MediumHeader old_header = catalog.header;
    const MediumInfo old_info = catalog.info;
    const std::string old_description(catalog.description());
    const bool old_changed = catalog.changed();
    // A category chosen through env.category_chosen is a command of its own
    // (it is written to the medium's file at once): a cancel keeps it.
    bool category_moved = false;

    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("medium_sheet"));
    dialog.setWindowTitle(one_line(caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* tabs = new QTabWidget(&dialog);
    layout->addWidget(tabs);

    // Page "Beschreibung": the medium name and the description.
    auto* describe = new QWidget(tabs);
    describe->setObjectName(QStringLiteral("description_page"));
    auto* describe_layout = new QFormLayout(describe);
    QLineEdit* name = text_field_edit(catalog.header.medium_name, "medium_name", describe);
    describe_layout->addRow(text_for(env, "Medium-Name:", "medium name:"), name);
    auto* description = new QPlainTextEdit(describe);
    description->setObjectName(QStringLiteral("description"));
    description->setPlainText(multi_line(catalog.description()));
    description->document()->setModified(false);
    describe_layout->addRow(description);
    tabs->addTab(describe, text_for(env, "Beschreibung", "description"));

    // Page "Info": the category and the purchase details.
    auto* info_page = new QWidget(tabs);
    info_page->setObjectName(QStringLiteral("info_page"));
    auto* info_form = new QFormLayout(info_page);
    QLabel* category =
        plain_label(category_text(env.categories, catalog.header.category), info_page);
    category->setObjectName(QStringLiteral("category"));
    auto* change =
        new QPushButton(text_for(env, "&Kategorie \303\244ndern", "&change category"), info_page);
    change->setObjectName(QStringLiteral("change_category"));
    change->setEnabled(env.categories != nullptr);
    auto* category_row = new QHBoxLayout;
    category_row->addWidget(category, 1);
    category_row->addWidget(change);
    info_form->addRow(text_for(env, "Kategorie:", "category:"), category_row);
    QLineEdit* manufacturer = text_field_edit(catalog.info.manufacturer, "manufacturer", info_page);
    QLineEdit* supplier = text_field_edit(catalog.info.supplier, "supplier", info_page);
    QLineEdit* order = text_field_edit(catalog.info.order_number, "order_number", info_page);
    QLineEdit* price = text_field_edit(catalog.info.price, "price", info_page);
    info_form->addRow(text_for(env, "Hersteller:", "manufacturer:"), manufacturer);
    info_form->addRow(text_for(env, "Lieferant:", "supplier:"), supplier);
    info_form->addRow(text_for(env, "Bestellnummer:", "order number:"), order);
    info_form->addRow(text_for(env, "Preis:", "price:"), price);
    tabs->addTab(info_page, text_for(env, "Info", "info"));

    const auto show_category = [&] {
        category->setText(category_text(env.categories, catalog.header.category));
    };
    QObject::connect(change, &QPushButton::clicked, &dialog, [&] {
        if (!env.categories) return;
        QMenu menu(&dialog);
        menu.setObjectName(QStringLiteral("category_menu"));
        for (int n = 0; n < env.categories->count(); ++n) {
            QAction* a =
                menu.addAction(category_text(env.categories, static_cast<std::uint32_t>(n)));
            a->setData(n);
            a->setCheckable(true);
            a->setChecked(static_cast<int>(catalog.header.category) == n);
        }
        QAction* chosen = menu.exec(change->mapToGlobal(QPoint(0, change->height())));
        if (!chosen) return;
        const int n = chosen->data().toInt();
        if (env.category_chosen) {
            env.category_chosen(n);
            category_moved = true;
        } else {
            catalog.header.category = static_cast<std::uint32_t>(n);
        }
        show_category();
    });
    // Each edit of the name may offer a category that the name contains.
    if (on_name_edited) {
        QObject::connect(name, &QLineEdit::textEdited, &dialog, [&](const QString& text) {
            on_name_edited(utf8(text));
            show_category();
        });
    }

    tabs->addTab(statistics_page(catalog, env, tabs), text_for(env, "Statistik", "statistics"));
    auto* place = new MediumPlacePage(catalog.info, catalog.header.medium_flags, env, tabs);
    tabs->addTab(place, text_for(env, "Ort", "place"));

    add_ok_cancel(dialog, layout, env);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(520, 420)));
    name->setFocus();

    if (dialog.exec() != QDialog::Accepted) {
        const std::uint32_t kept_category = catalog.header.category;
        catalog.header = old_header;
        if (category_moved) catalog.header.category = kept_category;
        catalog.info = old_info;
        catalog.set_description(old_description);
        catalog.set_changed(old_changed);
        return false;
    }

    store_text_field(catalog.header.medium_name, name);
    if (description->document()->isModified())
        catalog.set_description(stored_lines(description->toPlainText()));
    store_text_field(catalog.info.manufacturer, manufacturer);
    store_text_field(catalog.info.supplier, supplier);
    store_text_field(catalog.info.order_number, order);
    store_text_field(catalog.info.price, price);
    place->store(catalog.info, catalog.header.medium_flags);
    catalog.sync_header();

    // Changed: anything but a category move that was stored on its own.
    MediumHeader before = old_header;
    if (category_moved) before.category = catalog.header.category;
    MediumInfo before_info = old_info;
    before_info.description_length = catalog.info.description_length;
    if (std::memcmp(&before, &catalog.header, sizeof before) != 0 ||
        std::memcmp(&before_info, &catalog.info, sizeof before_info) != 0 ||
        old_description != catalog.description())
        catalog.set_changed(true);
    return true;
}

}  // namespace orbisto::gui
