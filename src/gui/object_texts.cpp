#include "gui/object_texts.h"

#include <QDateTime>
#include <cstdio>

#include "gui/qt_text.h"
#include "output/number_text.h"
#include "text/mime_types.h"

namespace orbisto::gui {

namespace {

constexpr std::uint64_t kFileTimeUnixOffset = 116444736000000000ULL;

const DirRecord* dir_of(const Catalog& cat, std::uint32_t ref) {
    if (!is_dir_object(ref)) return nullptr;
    const auto i = object_index(ref);
    return i < cat.dir_count() ? &cat.dirs()[i] : nullptr;
}

const FileRecord* file_of(const Catalog& cat, std::uint32_t ref) {
    if (is_dir_object(ref)) return nullptr;
    const auto i = object_index(ref);
    return i < cat.file_count() ? &cat.files()[i] : nullptr;
}

// The packed size of an expanded archive against its contents: the archive
// is the file of the same name in the directory's parent.
bool archive_ratio(const Catalog& cat, const CatalogTree* tree, std::uint32_t d, double& ratio) {
    if (d >= cat.dir_count()) return false;
    const DirRecord& dir = cat.dirs()[d];
    if (!tree || !(dir.flags & FLAG_ARCHIVE_DIR) || dir.size_kb <= 0) return false;
    const std::string_view name = cat.dir_name(d);
    for (std::uint32_t f : tree->files(tree->parent(d))) {
        // The tree may be older than the Catalog (a scan is filling it).
        if (f >= cat.file_count()) continue;
        const FileRecord& rec = cat.files()[f];
        if (rec.size_kb >= 0 && cat.file_name(f) == name) {
            ratio = 100.0 * rec.size_kb / dir.size_kb;
            return true;
        }
    }
    return false;
}

}  // namespace

QString object_name(const Catalog& cat, std::uint32_t ref) {
    if (const DirRecord* d = dir_of(cat, ref)) {
        (void)d;
        return one_line(cat.dir_name(object_index(ref)));
    }
    if (const FileRecord* f = file_of(cat, ref)) {
        const QString name = one_line(cat.file_name(object_index(ref)));
        if (f->thumbnail >= FIRST_IMAGE_OFFSET && !cat.image_at(f->thumbnail).empty())
            return QStringLiteral("(TN) %1").arg(name);
        return name;
    }
    return {};
}

float object_size_kb(const Catalog& cat, std::uint32_t ref) {
    if (const DirRecord* d = dir_of(cat, ref)) return d->size_kb;
    if (const FileRecord* f = file_of(cat, ref)) return f->size_kb;
    return 0;
}

std::uint64_t object_time_value(const Catalog& cat, std::uint32_t ref) {
    if (const DirRecord* d = dir_of(cat, ref)) return d->time.value();
    if (const FileRecord* f = file_of(cat, ref)) return f->time.value();
    return 0;
}

std::uint32_t object_flags(const Catalog& cat, std::uint32_t ref) {
    if (const DirRecord* d = dir_of(cat, ref)) return d->flags;
    if (const FileRecord* f = file_of(cat, ref)) return f->flags;
    return 0;
}

QString object_size(const Catalog& cat, std::uint32_t ref, const RowOptions& o) {
    if (!dir_of(cat, ref) && !file_of(cat, ref)) return {};
    const bool audio = (cat.header.medium_flags & MEDIUM_AUDIO_CD) != 0;
    return qs(size_text(object_size_kb(cat, ref), o.group_digits, audio));
}

QString date_text(std::uint64_t filetime, bool english) {
    if (filetime < kFileTimeUnixOffset) return {};
    const qint64 secs = static_cast<qint64>((filetime - kFileTimeUnixOffset) / 10000000ULL);
    const QDateTime t = QDateTime::fromSecsSinceEpoch(secs);
    return t.toString(english ? QStringLiteral("MM/dd/yyyy") : QStringLiteral("dd.MM.yyyy"));
}

QString time_text(std::uint64_t filetime) {
    if (filetime < kFileTimeUnixOffset) return {};
    const qint64 secs = static_cast<qint64>((filetime - kFileTimeUnixOffset) / 10000000ULL);
    return QDateTime::fromSecsSinceEpoch(secs).toString(QStringLiteral("HH:mm:ss"));
}

QString object_date(const Catalog& cat, std::uint32_t ref, const RowOptions& o) {
    return date_text(object_time_value(cat, ref), o.english);
}

QString object_time(const Catalog& cat, std::uint32_t ref) {
    return time_text(object_time_value(cat, ref));
}

std::string_view object_comment(const Catalog& cat, std::uint32_t ref) {
    if (const DirRecord* d = dir_of(cat, ref)) {
        if (d->comment == DIR_DELETED_COMMENT) return {};
        return cat.comment_at(d->comment);
    }
    if (const FileRecord* f = file_of(cat, ref)) return cat.comment_at(f->comment);
    return {};
}

bool object_has_comment(const Catalog& cat, std::uint32_t ref) {
    std::uint32_t offset = 0;
    if (const DirRecord* d = dir_of(cat, ref))
        offset = d->comment == DIR_DELETED_COMMENT ? 0 : d->comment;
    else if (const FileRecord* f = file_of(cat, ref))
        offset = f->comment;
    return offset != COMMENT_NONE && offset < cat.comments_used();
}

QString type_description(std::string_view file_name, bool english) {
    return qs(shared_mime_types().description(file_name, english));
}

QString object_description(const Catalog& cat, std::uint32_t ref, const RowOptions& o) {
    std::string_view comment = object_comment(cat, ref);
    const std::uint32_t flags = object_flags(cat, ref);
    if ((flags & FLAG_CRC) && !o.show_crc && comment.starts_with("CRC:") && comment.size() >= 12) {
        comment.remove_prefix(12);
        while (!comment.empty() &&
               (comment.front() == ' ' || comment.front() == '\r' || comment.front() == '\n'))
            comment.remove_prefix(1);
    }
    QString text = comment_line(comment);
    if (is_dir_object(ref)) {
        double ratio = 0;
        const auto d = object_index(ref);
        if (d < cat.dir_count() && archive_ratio(cat, o.tree, d, ratio)) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "(%6.2f%%)", ratio);
            text =
                text.isEmpty() ? QString::fromLatin1(buf) : QString::fromLatin1(buf) + ' ' + text;
        }
    } else if (text.isEmpty() && o.type_names && !object_has_comment(cat, ref)) {
        const QString type = type_description(cat.file_name(object_index(ref)), o.english);
        if (!type.isEmpty()) text = QStringLiteral("(R)%1").arg(type);
    }
    return text;
}

}  // namespace orbisto::gui
