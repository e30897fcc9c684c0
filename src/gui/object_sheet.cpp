// The information sheet of a file or a folder: its stored data, its comment
// (which the user may edit) and, for a file, its thumbnail. Declared in
// gui/dialogs.h.
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "catalog/catalog.h"
#include "fileinfo/crc32.h"
#include "gui/dialog_parts.h"
#include "gui/dialogs.h"
#include "gui/object_texts.h"
#include "gui/qt_text.h"
#include "gui/thumbnail_pixmap.h"

namespace orbisto::gui {

namespace {

// The "CRC:%08X" start that a record with FLAG_CRC keeps in front of its
// comment; empty when the comment does not carry one.
std::string_view crc_start(std::string_view comment, std::uint32_t flags) {
    if (!(flags & FLAG_CRC) || !comment.starts_with("CRC:") || comment.size() < kCrcPrefixLength)
        return {};
    return comment.substr(0, kCrcPrefixLength);
}

// The comment as the user edits it: without the checksum start and the
// blank that follows it.
std::string_view editable_comment(std::string_view comment, std::uint32_t flags) {
    const std::string_view start = crc_start(comment, flags);
    if (start.empty()) return comment;
    comment.remove_prefix(start.size());
    if (comment.starts_with(' ')) comment.remove_prefix(1);
    return comment;
}

QString flag_texts(std::uint32_t flags, bool is_dir, const DialogEnv& env) {
    QStringList parts;
    if (flags & FLAG_MARKED) parts << text_for(env, "Favorit", "favourite");
    if (is_dir && (flags & FLAG_ARCHIVE_DIR))
        parts << text_for(env, "Archivinhalt", "archive contents");
    if (flags & FLAG_UNKNOWN_PACKING)
        parts << text_for(env, "unbekannt gepackt", "unknown packing");
    if (flags & FLAG_VERSION) parts << text_for(env, "Versionsinformation", "version information");
    return parts.join(QStringLiteral(", "));
}

QWidget* data_page(const Catalog& cat, std::uint32_t object, const DialogEnv& env,
                   QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("data_page"));
    auto* form = new QFormLayout(page);
    const bool is_dir = is_dir_object(object);
    const std::uint32_t index = object_index(object);
    const auto row = [&](const char* de, const char* en, const QString& value, const char* name) {
        QLabel* label = plain_label(value, page);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        form->addRow(text_for(env, de, en), label);
    };
    RowOptions options;
    options.english = env.english;
    std::uint32_t parent_dir = 0;
    if (is_dir)
        parent_dir = index == 0 ? 0 : cat.dirs()[index].parent;
    else
        parent_dir = cat.files()[index].parent;
    row("Name:", "name:", one_line(is_dir ? cat.dir_name(index) : cat.file_name(index)), "name");
    row("Verzeichnis:", "folder:", QLatin1Char('/') + one_line(cat.dir_path(parent_dir)), "folder");
    row("L\303\244nge (KB):", "size (KB):", object_size(cat, object, options).trimmed(), "size");
    row("Datum:", "date:",
        object_date(cat, object, options).trimmed() + QStringLiteral("  ") +
            object_time(cat, object),
        "date");
    const std::uint32_t flags = object_flags(cat, object);
    const std::string_view start = crc_start(object_comment(cat, object), flags);
    if (!start.empty()) row("CRC32:", "CRC32:", qs(start.substr(4)), "crc");
    if (is_dir) {
        const auto files = cat.files();
        const auto count = std::count_if(
            files.begin(), files.end(), [index](const FileRecord& f) { return f.parent == index; });
        row("Dateien:", "files:", QString::number(count), "file_count");
    }
    const QString marks = flag_texts(flags, is_dir, env);
    if (!marks.isEmpty()) row("Merkmale:", "attributes:", marks, "flags");
    return page;
}

QWidget* preview_page(const Catalog& cat, std::uint32_t file, const DialogEnv& env,
                      QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("preview_page"));
    auto* layout = new QVBoxLayout(page);
    auto* picture = new QLabel(page);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setAlignment(Qt::AlignCenter);
    picture->setTextFormat(Qt::PlainText);
    const QImage image = thumbnail_image(cat.image_at(cat.files()[file].thumbnail));
    if (!image.isNull())
        picture->setPixmap(QPixmap::fromImage(image));
    else
        picture->setText(text_for(env, "kein Thumbnail", "no thumbnail"));
    layout->addWidget(picture);
    return page;
}

}  // namespace

bool object_sheet(QWidget* parent, Catalog& catalog, std::uint32_t object, const DialogEnv& env) {
    const bool is_dir = is_dir_object(object);
    const std::uint32_t index = object_index(object);
    if (is_dir ? index >= catalog.dir_count() : index >= catalog.file_count()) return false;

    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("object_sheet"));
    dialog.setWindowTitle(is_dir ? text_for(env, "Ordnerinformation", "folder information")
                                 : text_for(env, "Dateiinformation", "file information"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* tabs = new QTabWidget(&dialog);
    layout->addWidget(tabs);
    tabs->addTab(data_page(catalog, object, env, tabs), text_for(env, "Daten", "data"));

    const std::uint32_t flags = object_flags(catalog, object);
    const std::string old_comment(object_comment(catalog, object));
    auto* comment = new QPlainTextEdit(tabs);
    comment->setObjectName(QStringLiteral("comment"));
    comment->setPlainText(multi_line(editable_comment(old_comment, flags)));
    comment->document()->setModified(false);
    tabs->addTab(comment, text_for(env, "Beschreibung", "description"));
    if (!is_dir) tabs->addTab(preview_page(catalog, index, env, tabs), QStringLiteral("Preview"));

    add_ok_cancel(dialog, layout, env);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(460, 360)));

    if (dialog.exec() != QDialog::Accepted || !comment->document()->isModified()) return false;

    // A comment with a checksum keeps it in front.
    const std::string text = stored_lines(comment->toPlainText());
    const std::string start(crc_start(old_comment, flags));
    std::string stored = text;
    if (!start.empty()) stored = text.empty() ? start : start + ' ' + text;
    if (stored == old_comment) return false;

    std::uint32_t offset = COMMENT_NONE;
    if (!stored.empty()) {
        // Appended, never written over: other records may share the old text.
        const AppendResult r = catalog.append_comment(stored);
        if (!r.ok()) {
            QMessageBox::warning(parent, text_for(env, "Fehler", "error"),
                                 text_for(env, "Zu wenig Speicher!", "out of memory!"));
            return false;
        }
        offset = r.value;
    }
    if (is_dir)
        catalog.dirs()[index].comment = offset;
    else
        catalog.files()[index].comment = offset;
    catalog.set_changed(true);
    return true;
}

}  // namespace orbisto::gui
