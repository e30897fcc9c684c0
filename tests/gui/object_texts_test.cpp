// What a row shows of a catalogue entry: the thumbnail mark, the ratio of an
// expanded archive, the CRC start of a comment, the desktop's type name, and
// names and comments that must not break a row or turn into markup.
#include "gui/object_texts.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QMimeDatabase>

#include "catalog/catalog_tree.h"
#include "gui/dir_tree_model.h"
#include "gui/file_list_model.h"

namespace orbisto::gui {
namespace {

struct Rows {
    Catalog c;
    std::uint32_t file(const char* name, float kb, const char* comment = nullptr,
                       std::uint32_t parent = 0, std::uint32_t flags = 0) {
        FileRecord f;
        f.name = c.append_name(name).value;
        f.size_kb = kb;
        f.parent = parent;
        f.flags = flags;
        if (comment) f.comment = c.append_comment(comment).value;
        return c.append_file(f).value;
    }
};

TEST(ObjectTexts, ThumbnailMarkArchiveRatioCrcAndTypeNames) {
    Rows r;
    const std::uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xD9};
    const auto pic = r.file("photo.jpg", 10);
    r.c.files()[pic].thumbnail = r.c.append_image(jpeg).value;
    const auto zip = r.file("pack.zip", 25);
    DirRecord d;
    d.name = r.c.append_name("pack.zip").value;
    d.flags = FLAG_ARCHIVE_DIR;
    d.comment = COMMENT_ARCHIVE;
    d.size_kb = 100;
    const auto dir = r.c.append_dir(d).value;
    const auto crc = r.file("data.bin", 1, "CRC:0A1B2C3D\r\nthe data", 0, FLAG_CRC);
    const auto pdf = r.file("paper.pdf", 1);
    CatalogTree tree(r.c);
    RowOptions o;
    o.tree = &tree;
    EXPECT_EQ(object_name(r.c, file_object(pic)), QStringLiteral("(TN) photo.jpg"));
    EXPECT_EQ(object_name(r.c, file_object(zip)), QStringLiteral("pack.zip"));
    EXPECT_TRUE(
        object_description(r.c, dir_object(dir), o).startsWith(QStringLiteral("( 25.00%) ")));
    EXPECT_EQ(object_description(r.c, file_object(crc), o), QStringLiteral("the data"));
    o.show_crc = true;
    EXPECT_TRUE(
        object_description(r.c, file_object(crc), o).startsWith(QStringLiteral("CRC:0A1B2C3D")));
    EXPECT_EQ(object_description(r.c, file_object(pdf), o), QString());
    o.type_names = true;
    EXPECT_TRUE(object_description(r.c, file_object(pdf), o).startsWith(QStringLiteral("(R)")))
        << object_description(r.c, file_object(pdf), o).toStdString();
    EXPECT_EQ(object_description(r.c, file_object(r.file("noext", 1)), o), QString());
}

TEST(ObjectTexts, TypeDescriptionsAgreeWithQtsMimeDatabase) {
    if (type_description("a.pdf", true).isEmpty()) {
        GTEST_SKIP() << "no shared MIME database (package shared-mime-info)";
    }
    const QMimeDatabase db;
    for (const char* name : {"a.pdf", "b.txt", "c.PNG", "d.mp3", "e.tar.gz", "f.html"}) {
        const QMimeType type =
            db.mimeTypeForFile(QString::fromUtf8(name), QMimeDatabase::MatchExtension);
        // Qt answers in the locale's language; untranslated under the test's C locale.
        if (QLocale().language() == QLocale::C || QLocale().language() == QLocale::English) {
            EXPECT_EQ(type_description(name, true), type.comment()) << name;
        }
        EXPECT_FALSE(type_description(name, false).isEmpty()) << name;
    }
    EXPECT_EQ(type_description("x.pdf", false), QStringLiteral("PDF-Dokument"));
}

TEST(ObjectTexts, LineBreaksAndMarkupStayPlainText) {
    Rows r;
    const auto f = r.file("two\nlines", 1, "<b>bold</b> & <script>");
    CatalogTree tree(r.c);
    FileListModel m(r.c, tree);
    m.show_dir(0, true, false);
    const QModelIndex name = m.index(0, FileListModel::Name);
    EXPECT_EQ(name.data().toString(), QStringLiteral("two\uFFFDlines"));
    EXPECT_EQ(m.index(0, FileListModel::Description).data().toString(),
              QStringLiteral("<b>bold</b> & <script>"));
    const QString tip = name.data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains(QStringLiteral("&lt;b&gt;bold&lt;/b&gt; &amp; &lt;script&gt;")))
        << tip.toStdString();
    (void)f;
    // A comment's lines are joined by blanks; other controls stay visible.
    const auto info = r.file("beach.jpg", 1, "JPEG :Holiday\r\n 800 x 600 x 24\nend\x01");
    EXPECT_EQ(object_description(r.c, file_object(info), RowOptions{}),
              QStringLiteral("JPEG :Holiday  800 x 600 x 24 end\uFFFD"));
    // A Unicode line separator cannot break the row either.
    const auto g = r.file("para\u2028graph", 1);
    EXPECT_EQ(object_name(r.c, file_object(g)), QStringLiteral("para\uFFFDgraph"));
    // The tree's tool tip of a folder comment is escaped as well.
    DirRecord d;
    d.name = r.c.append_name("dir").value;
    d.comment = r.c.append_comment("<img src=x>").value;
    r.c.append_dir(d);
    CatalogTree t2(r.c);
    DirTreeModel dirs(r.c, t2);
    const QString tree_tip = dirs.index_of_dir(1).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tree_tip.contains(QStringLiteral("&lt;img src=x&gt;"))) << tree_tip.toStdString();
}

TEST(ObjectTexts, SizesFollowTheGroupingSwitchAndAudioCdsShowPlayingTime) {
    Rows r;
    const auto f = r.file("big", 1234567.5f);
    RowOptions o;
    EXPECT_EQ(object_size(r.c, file_object(f), o), QStringLiteral("  1.234.567,500"));
    o.group_digits = false;
    EXPECT_EQ(object_size(r.c, file_object(f), o), QStringLiteral("1234567.50"));
    r.c.header.medium_flags |= MEDIUM_AUDIO_CD;
    r.c.files()[f].size_kb = 125;
    o.group_digits = true;
    EXPECT_EQ(object_size(r.c, file_object(f), o), QStringLiteral("2:05"));
}

}  // namespace
}  // namespace orbisto::gui
