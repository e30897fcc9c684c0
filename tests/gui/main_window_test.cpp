// The main window over real catalogue directories: opening a medium and
// walking its tree, sorting, the list filters, favourites, deleting and
// saving, and the changed-flag question on close.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <initializer_list>
#include <set>

#include "catalog/catalog_store.h"
#include "gui/command_table.h"
#include "gui/dir_tree_model.h"
#include "gui/file_list_model.h"
#include "gui/hit_list_model.h"
#include "gui/window_home.h"
#include "platform/files.h"
#include "session/context.h"
#include "session/scan_request.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

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

TEST(MainWindow, EveryColumnSortsBothWaysAndKeepsFoldersFirst) {
    Medium h;
    MainWindow& w = h.open();
    w.show_dir(object_index(w.file_model()->object_at(0)));
    FileListModel* files = w.file_model();
    for (int col = 0; col < FileListModel::ColumnCount; ++col) {
        for (bool asc : {true, false}) {
            files->sort_rows(col, asc);
            const QString title =
                files->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
            EXPECT_TRUE(title.endsWith(asc ? QStringLiteral(" +") : QStringLiteral(" -")))
                << title.toStdString();
            EXPECT_TRUE(is_dir_object(files->object_at(0)) && is_dir_object(files->object_at(1)));
            EXPECT_FALSE(is_dir_object(files->object_at(2)));
        }
    }
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

// The folder of the medium (the one directory below the root).
std::uint32_t open_disc(MainWindow& w) {
    const std::uint32_t disc = w.file_model()->object_at(0);
    w.show_dir(object_index(disc));
    return object_index(disc);
}

// Selects the rows of these names in the file list, which gets the focus.
void select_named(MainWindow& w, std::initializer_list<const char*> names) {
    w.list_view()->setFocus();
    for (const char* name : names)
        w.list_view()->selectionModel()->select(
            w.file_model()->index(test::file_row_named(w.file_model(), QString::fromUtf8(name)), 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

TEST(MainWindow, FolderStructureAndOnlyWithCommentFilterTheList) {
    Medium h;
    MainWindow& w = h.open();
    const std::uint32_t disc = open_disc(w);
    // F6 off: every file below the directory, no directories.
    QTest::keyClick(&w, Qt::Key_F6);
    EXPECT_FALSE(w.action(gui::kCmdFolderStructure)->isChecked());
    EXPECT_EQ(column(w.file_model(), FileListModel::Name).toStdString(),
              "alpha.txt,Beta.doc,gamma.bin,note.txt,one.png,readme.txt");
    QTest::keyClick(&w, Qt::Key_F6);
    EXPECT_EQ(w.file_model()->rows(), 5);
    // F7 on: only entries with a comment; give one file a comment first.
    Catalog& cat = h.ctx->catalog;
    for (std::uint32_t f = 0; f < cat.file_count(); ++f)
        if (cat.file_name(f) == "gamma.bin")
            cat.files()[f].comment = cat.append_comment("Spiel").value;
    QTest::keyClick(&w, Qt::Key_F7);
    EXPECT_EQ(column(w.file_model(), FileListModel::Name).toStdString(), "gamma.bin");
    EXPECT_EQ(w.file_model()->index(0, FileListModel::Description).data().toString(),
              QStringLiteral("Spiel"));
    QTest::keyClick(&w, Qt::Key_F7);
    EXPECT_EQ(w.current_dir(), disc);
    EXPECT_EQ(w.file_model()->rows(), 5);
}

TEST(MainWindow, MarkingFillsTheFavouritesAndTheStatusCounts) {
    Medium h;
    MainWindow& w = h.open();
    open_disc(w);
    select_named(w, {"alpha.txt", "gamma.bin"});
    w.run_command(gui::kCmdMark);
    EXPECT_TRUE(h.ctx->catalog.changed());
    EXPECT_TRUE(w.status_part(1).startsWith(QStringLiteral("2/6 - 0.0 MB/0.0 MB markiert")))
        << w.status_part(1).toStdString();
    w.set_tab(MainWindow::FavouritesTab);
    EXPECT_EQ(column(w.list_view()->model(), FileListModel::Name).toStdString(),
              "alpha.txt,gamma.bin");
    // Unmarking from the favourites takes the row out.
    w.list_view()->setCurrentIndex(w.list_view()->model()->index(0, 0));
    w.run_command(gui::kCmdUnmark);
    EXPECT_EQ(column(w.list_view()->model(), FileListModel::Name).toStdString(), "gamma.bin");
    EXPECT_TRUE(w.status_part(1).startsWith(QStringLiteral("1/6")));
}

TEST(MainWindow, DeletedSelectionIsGoneFromTheSavedFileAfterReload) {
    Medium h;
    MainWindow& w = h.open();
    open_disc(w);
    FileListModel* files = w.file_model();
    select_named(w, {"docs", "Beta.doc"});
    QString asked;
    test::on_next_modal([&](QWidget* box) {
        asked = test::box_text(box);
        test::press(box, QStringLiteral("Ja"));
    });
    QTest::keyClick(w.list_view(), Qt::Key_Delete);
    EXPECT_EQ(asked, QStringLiteral("Eintrag wirklich löschen?"));
    EXPECT_EQ(column(files, FileListModel::Name).toStdString(), "pics,alpha.txt,gamma.bin");
    test::activate(w);  // the window is active again once the box is gone
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w.status_part(0).toStdString(), "Datei gespeichert");
    EXPECT_FALSE(h.ctx->catalog.changed());
    // A fresh run reads the file: readme, note and Beta are gone.
    h.window.reset();
    MainWindow& again = h.open();
    open_disc(again);
    EXPECT_EQ(column(again.file_model(), FileListModel::Name).toStdString(),
              "pics,alpha.txt,gamma.bin");
    EXPECT_EQ(h.ctx->catalog.file_count(), 3u);
}

TEST(MainWindow, YesOnCloseSavesTheChangedMedium) {
    Medium h;
    h.open();
    h.ctx->catalog.set_description("new words");
    h.ctx->catalog.set_changed(true);
    test::on_next_modal([](QWidget* box) { test::press(box, QStringLiteral("Ja")); });
    EXPECT_TRUE(h.close());
    const auto bytes = read_file(catalog_path(h.cds, 0));
    ASSERT_TRUE(bytes);
    EXPECT_NE(bytes->find("new words"), std::string::npos);
    // The placement was written with the settings.
    const auto ini = read_file(h.home + "/orbisto.INI");
    ASSERT_TRUE(ini);
    EXPECT_NE(ini->find("[Orbisto]"), std::string::npos);
}

TEST(MainWindow, CategoryCommandsMoveTheLoadedMediumAndIgnoreBadNumbers) {
    Medium h;
    h.settings("[Optionen]\n[Kategorie]\nAnzahl=1\nKategorie0=Urlaub\nKategorie0parent=-2\n");
    MainWindow& w = h.open();
    const int urlaub = 2;
    ASSERT_EQ(h.ctx->categories.name(urlaub), "Urlaub");
    const auto file_before = read_file(catalog_path(h.cds, 0));
    w.run_command(gui::kCmdCategoryBase + 99);     // no such category
    w.run_command(gui::kCmdCategoryBase - 1 + 0);  // a child control: ignored
    EXPECT_EQ(read_file(catalog_path(h.cds, 0)), file_before);
    w.run_command(gui::kCmdCategoryBase + urlaub);
    EXPECT_EQ(h.ctx->media.entries[0].category, static_cast<std::uint32_t>(urlaub));
    MediumHeader stored;
    ASSERT_EQ(ReadCatalogHeader(*h.ctx, 0, stored), 1);
    EXPECT_EQ(stored.category, static_cast<std::uint32_t>(urlaub));
    EXPECT_FALSE(h.ctx->catalog.changed());
}

TEST(MainWindow, DroppedFolderIsScannedAsANewMedium) {
    Medium h;
    MainWindow& w = h.open();
    h.put("second/x.txt", "x");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(h.base + "/second"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    EXPECT_TRUE(file_exists(catalog_path(h.cds, 1)));
    EXPECT_EQ(h.ctx->media.count(), 2u);
    EXPECT_EQ(w.media_combo()->count(), 2);
    EXPECT_EQ(h.ctx->catalog.current_number(), 1);
}

TEST(MainWindow, AnArrivingCatalogedMediumIsLoadedWithAutoCd) {
    Medium h;  // catalogue 0 from the folder "disc"
    // A disc catalogued from its own drive, then taken out.
    h.put("cdrom/song.txt", "la");
    ASSERT_EQ(h.scan_disc("cdrom", "MUSIC", 0xCAFE0001), 1);
    h.settings("[Optionen]\nAutoCD=1\n");
    MainWindow& w = h.open();
    ASSERT_EQ(h.ctx->catalog.current_number(), 0);
    // Nothing arrived: nothing happens.
    w.on_mount_table_changed();
    EXPECT_EQ(h.ctx->catalog.current_number(), 0);
    // The disc comes back into its drive.
    h.insert_disc("cdrom", "MUSIC", 0xCAFE0001);
    w.on_mount_table_changed();
    EXPECT_EQ(h.ctx->catalog.current_number(), 1);
    EXPECT_EQ(w.media_combo()->currentText(), QStringLiteral("MUSIC"));
}

TEST(MainWindow, CtrlF2ScansAChosenFolderWithTheMediumSheetAndStoresIt) {
    Medium h;
    h.settings("[Optionen]\nshow info=1\n");
    MainWindow& w = h.open();
    h.put("newdisc/sub/x.txt", "x");
    h.put("newdisc/y.txt", "y");
    const QString folder = QString::fromStdString(h.base + "/newdisc");
    QString chooser_title, sheet_name;
    test::on_next_modal([&](QWidget* d) {
        // The folder chooser: the path typed, then accepted.
        chooser_title = d->windowTitle();
        auto* dialog = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(folder);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(folder);
        // Then the medium sheet after the scan: a name, OK.
        test::on_next_modal([&](QWidget* sheet) {
            auto* name = sheet->findChild<QLineEdit*>(QStringLiteral("medium_name"));
            ASSERT_NE(name, nullptr);
            sheet_name = name->text();
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("Neue Scheibe"));
            test::press(sheet, QStringLiteral("OK"));
        });
        QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                        Qt::Key_Return);
    });
    QTest::keyClick(&w, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(chooser_title, QStringLiteral("Pfad auswählen"));
    EXPECT_TRUE(sheet_name.endsWith(QStringLiteral("newdisc"))) << sheet_name.toStdString();
    ASSERT_TRUE(file_exists(catalog_path(h.cds, 1)));
    MediumHeader stored;
    ASSERT_EQ(ReadCatalogHeader(*h.ctx, 1, stored), 1);
    EXPECT_EQ(fixed_text(stored.medium_name), "Neue Scheibe");
    EXPECT_EQ(h.ctx->catalog.current_number(), 1);
    EXPECT_EQ(w.media_combo()->currentText(), QStringLiteral("Neue Scheibe"));
    EXPECT_EQ(h.ctx->catalog.file_count(), 2u);
}

TEST(MainWindow, SearchRunModeShowsTheHitsOfTheFileNamePart) {
    Medium h;
    MainWindow& w = h.open();
    h.ctx->command_line.run_mode = RunMode::Search;
    h.ctx->command_line.run_argument = "/somewhere/else/README.TXT";
    w.start_run_mode();
    EXPECT_EQ(w.current_tab(), MainWindow::ResultTab);
    ASSERT_EQ(w.hit_model()->rows(), 1);
    EXPECT_EQ(w.hit_model()->index(0, 0).data().toString(), QStringLiteral("readme.txt"));
}

TEST(MainWindow, EnglishSettingGivesEnglishMenusTabsAndHeaders) {
    Medium h;
    h.settings("[Optionen]\nlanguage=1\n");
    MainWindow& w = h.open();
    EXPECT_EQ(w.action(gui::kCmdNewMedium)->text(), QStringLiteral("&new medium\tF2"));
    EXPECT_EQ(w.action(gui::kCmdNewMedium)->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(w.file_model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("length (KB)"));
    h.ctx->catalog.set_changed(true);
    QString caption;
    test::on_next_modal([&](QWidget* box) {
        caption = box->windowTitle();
        test::press(box, QStringLiteral("No"));
    });
    EXPECT_TRUE(h.close());
    EXPECT_EQ(caption, QStringLiteral("file changed!"));
}

TEST(MainWindow, EveryCommandHasBothTextsAndNoKeyIsTakenTwice) {
    Medium h;
    MainWindow& w = h.open();
    std::set<QString> keys;
    for (const gui::CommandDef& c : gui::command_table()) {
        EXPECT_TRUE(*c.de && *c.en) << c.id;
        ASSERT_NE(w.action(c.id), nullptr) << c.id;
        if (*c.key) {
            EXPECT_TRUE(keys.insert(QString::fromLatin1(c.key)).second) << c.key;
        }
    }
    // Previous and next medium on the numeric pad, both ends do nothing.
    w.run_command(gui::kCmdPreviousMedium);
    w.run_command(gui::kCmdNextMedium);
    EXPECT_EQ(h.ctx->catalog.current_number(), 0);
}

}  // namespace
}  // namespace orbisto
