// The main window over real catalogue directories: opening a medium and
// walking its tree, sorting, the list filters, favourites, deleting and
// saving, and the changed-flag question on close.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include "catalog/catalog_store.h"
#include "gui/dir_tree_model.h"
#include "gui/file_list_model.h"
#include "gui/window_home.h"
#include "platform/files.h"

namespace orbisto {
namespace {

using gui::FileListModel;
using gui::MainWindow;

QString column(QAbstractItemModel* m, int col) {
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) out << m->index(r, col).data().toString();
    return out.join(QLatin1Char(','));
}

// A medium with two folders and files of different sizes, dates and comments.
struct Medium : test::WindowHome {
    int number = -1;
    Medium() {
        put("disc/alpha.txt", std::string(3000, 'a'));
        put("disc/Beta.doc", std::string(100, 'b'));
        put("disc/gamma.bin", std::string(20000, 'g'));
        put("disc/docs/readme.txt", "read me");
        put("disc/docs/deep/note.txt", "note");
        put("disc/pics/one.png", "png");
        number = scan("disc", "Holiday");
    }
};

TEST(MainWindow, OpensTheLastMediumAndWalksItsTree) {
    Medium h;
    ASSERT_EQ(h.number, 0);
    MainWindow& w = h.open();
    ASSERT_EQ(h.ctx->catalog.current_number(), 0) << h.ctx->media.count();
    ASSERT_EQ(h.ctx->catalog.dir_count(), 5u);
    EXPECT_EQ(w.media_combo()->count(), 1);
    EXPECT_EQ(w.media_combo()->currentText(), QStringLiteral("Holiday"));
    // The root lists the scanned folder as its one directory.
    FileListModel* files = w.file_model();
    ASSERT_EQ(files->rows(), 1);
    const std::uint32_t disc = files->object_at(0);
    ASSERT_TRUE(is_dir_object(disc));
    w.show_dir(object_index(disc));
    EXPECT_EQ(column(files, FileListModel::Name).toStdString(),
              std::string("docs,pics,alpha.txt,Beta.doc,gamma.bin"));
    // Enter on a directory row opens it; Esc goes back to its parent.
    w.list_view()->setFocus();
    w.list_view()->setCurrentIndex(files->index(0, 0));
    QTest::keyClick(w.list_view(), Qt::Key_Return);
    EXPECT_EQ(column(files, FileListModel::Name).toStdString(), std::string("deep,readme.txt"));
    QTest::keyClick(w.list_view(), Qt::Key_Escape);
    EXPECT_EQ(w.current_dir(), object_index(disc));
    EXPECT_EQ(w.list_view()->currentIndex().data().toString(), QStringLiteral("docs"));
}

TEST(MainWindow, HeaderClicksSortEachColumnBothWaysWithItsMark) {
    Medium h;
    MainWindow& w = h.open();
    w.show_dir(object_index(w.file_model()->object_at(0)));
    FileListModel* files = w.file_model();
    QHeaderView* header = w.list_view()->header();
    auto click = [&](int col) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(col) + 5, header->height() / 2));
    };
    click(FileListModel::Size);
    EXPECT_EQ(files->headerData(FileListModel::Size, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Länge (KB) +"));
    // Directories stay first; files by size.
    EXPECT_EQ(column(files, FileListModel::Name).section(QLatin1Char(','), 2).toStdString(),
              std::string("Beta.doc,alpha.txt,gamma.bin"));
    click(FileListModel::Size);
    EXPECT_EQ(files->headerData(FileListModel::Size, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Länge (KB) -"));
    EXPECT_EQ(column(files, FileListModel::Name).section(QLatin1Char(','), 2).toStdString(),
              std::string("gamma.bin,alpha.txt,Beta.doc"));
    click(FileListModel::Name);
    EXPECT_EQ(column(files, FileListModel::Name).toStdString(),
              std::string("docs,pics,alpha.txt,Beta.doc,gamma.bin"));
    EXPECT_EQ(files->headerData(FileListModel::Size, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Länge (KB)"));
    click(FileListModel::Name);
    EXPECT_EQ(column(files, FileListModel::Name).toStdString(),
              std::string("pics,docs,gamma.bin,Beta.doc,alpha.txt"));
}

TEST(MainWindow, ClosingWithChangesAsksAndCancelKeepsTheWindow) {
    Medium h;
    MainWindow& w = h.open();
    h.ctx->catalog.set_changed(true);
    QString asked;
    test::on_next_modal([&](QWidget* box) {
        asked = test::box_text(box);
        test::press(box, QStringLiteral("Abbrechen"));
    });
    EXPECT_FALSE(h.close());
    EXPECT_EQ(asked, QStringLiteral("Datei schreiben?"));
    EXPECT_TRUE(w.isVisible());
    test::on_next_modal([&](QWidget* box) { test::press(box, QStringLiteral("Nein")); });
    EXPECT_TRUE(h.close());
}

}  // namespace
}  // namespace orbisto
