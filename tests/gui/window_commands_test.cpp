// Commands of the window beyond browsing: view modes and column sets, the
// placement, the negative list, the clipboard, the search box on each tab,
// the category tree's menu, the long-operation dialog and the row painter.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <memory>

#include "catalog/catalog_store.h"
#include "catalog/category_file.h"
#include "gui/command_table.h"
#include "gui/file_list_model.h"
#include "gui/media_list_model.h"
#include "gui/progress_dialog.h"
#include "gui/row_painter.h"
#include "gui/window_home.h"
#include "platform/files.h"
#include "session/context.h"
#include "session/scan_request.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

using gui::FileListModel;
using gui::MainWindow;

struct Home : test::WindowHome {
    Home() {
        put("disc/alpha.txt", "a");
        put("disc/beta.txt", "b");
        put("disc/docs/readme.txt", "r");
        EXPECT_EQ(scan("disc", "Holiday"), 0);
        put("other/x.txt", "x");
        EXPECT_EQ(scan("other", "Second"), 1);
    }
    // Shows the scanned folder and makes the file `name` current.
    void select(MainWindow& w, const QString& name) {
        w.set_tab(MainWindow::MediumTab);
        w.show_dir(object_index(w.file_model()->object_at(0)));
        for (int r = 0; r < w.file_model()->rows(); ++r)
            if (w.file_model()->index(r, 0).data().toString() == name)
                w.list_view()->setCurrentIndex(w.file_model()->index(r, 0));
        w.list_view()->setFocus();
    }
};

TEST(WindowCommands, ViewModesAndColumnSetsArePersistedOnClose) {
    Home h;
    MainWindow& w = h.open();
    auto* stack = qobject_cast<QStackedWidget*>(w.list_view()->parentWidget());
    ASSERT_NE(stack, nullptr);
    w.run_command(gui::kCmdViewLargeIcons);
    EXPECT_EQ(stack->currentWidget()->objectName(), QStringLiteral("icons"));
    EXPECT_TRUE(w.action(gui::kCmdViewLargeIcons)->isChecked());
    EXPECT_FALSE(w.action(gui::kCmdViewReport)->isChecked());
    w.run_command(gui::kCmdViewReport);
    EXPECT_EQ(stack->currentWidget(), w.list_view());
    const int name_width = w.list_view()->columnWidth(FileListModel::Name);
    // Ctrl+B: the layout with room for the description hides date and time.
    QTest::keyClick(&w, Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(w.list_view()->isColumnHidden(FileListModel::Date));
    w.list_view()->setColumnWidth(FileListModel::Name, 222);
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(w.list_view()->isColumnHidden(FileListModel::Date));
    EXPECT_EQ(w.list_view()->columnWidth(FileListModel::Name), name_width);
    w.list_view()->setColumnWidth(FileListModel::Name, 180);
    w.run_command(gui::kCmdViewSmallIcons);
    ASSERT_TRUE(h.close());
    const auto ini = read_file(h.home + "/orbisto.INI");
    ASSERT_TRUE(ini);
    EXPECT_NE(ini->find("Spalte1="), std::string::npos) << *ini;
    h.window.reset();
    MainWindow& again = h.open();
    EXPECT_NEAR(again.list_view()->columnWidth(FileListModel::Name), 180, 1);
}

TEST(WindowCommands, PlacementIsRestoredAndSavedRelativeToTheScreen) {
    Home h;
    h.settings("[Orbisto]\nLinks=40\nOben=30\nRechts=840\nUnten=630\n");
    MainWindow& w = h.open();
    EXPECT_EQ(w.geometry().width(), 800);
    EXPECT_EQ(w.geometry().height(), 600);
    w.resize(900, 500);
    ASSERT_TRUE(h.close());
    const auto ini = read_file(h.home + "/orbisto.INI");
    ASSERT_TRUE(ini);
    EXPECT_NE(ini->find("Rechts="), std::string::npos);
    h.window.reset();
    MainWindow& again = h.open();
    EXPECT_EQ(again.geometry().width(), 900);
    EXPECT_EQ(again.geometry().height(), 500);
}

TEST(WindowCommands, NegativeListAppendsTheNameToFileAndMemory) {
    Home h;
    MainWindow& w = h.open();
    h.select(w, "beta.txt");
    w.run_command(gui::kCmdNegativeList);
    const auto kill = read_file(h.ctx->paths.kill_file);
    ASSERT_TRUE(kill);
    EXPECT_NE(kill->find("beta.txt"), std::string::npos);
    ASSERT_FALSE(h.ctx->settings.kill_files.empty());
    EXPECT_EQ(h.ctx->settings.kill_files.back(), "beta.txt");
}

TEST(WindowCommands, ClipboardTakesNamePathAndCompletePath) {
    Home h;
    MainWindow& w = h.open();
    h.select(w, "alpha.txt");
    const std::string folder = h.ctx->catalog.dir_path(1);
    w.run_command(gui::kCmdClipName);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("alpha.txt"));
    w.run_command(gui::kCmdClipPath);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), folder);
    w.run_command(gui::kCmdClipFullPath);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), folder + "/alpha.txt");
}

TEST(WindowCommands, EnterInTheSearchBoxSearchesOrFindsTheRowOfTheTab) {
    Home h;
    MainWindow& w = h.open();
    QLineEdit* edit = w.search_combo()->lineEdit();
    edit->setText(QStringLiteral("*.txt"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(w.current_tab(), MainWindow::ResultTab);
    EXPECT_EQ(w.list_view()->model()->rowCount(), 4);
    EXPECT_EQ(w.search_combo()->itemText(0), QStringLiteral("*.txt"));
    // One Enter is one search: no row of the result is looked for after it.
    w.set_tab(MainWindow::MediumTab);
    edit->setText(QStringLiteral("alpha.txt"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(w.list_view()->model()->rowCount(), 1);
    EXPECT_FALSE(w.list_view()->currentIndex().isValid());
    // On the media list Enter finds the first row with the text.
    w.set_tab(MainWindow::MediaTab);
    edit->setText(QStringLiteral("second"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(w.list_view()->currentIndex().row(), 1);
    EXPECT_EQ(w.current_tab(), MainWindow::MediaTab);
    // Tab moves the focus on through the panes: from the list to the
    // media selector, then to the search box.
    test::activate(w);
    w.list_view()->setFocus();
    w.run_command(gui::kCmdFocusNext);
    EXPECT_TRUE(w.media_combo()->hasFocus());
    w.run_command(gui::kCmdFocusNext);
    EXPECT_TRUE(w.search_combo()->hasFocus());
}

TEST(WindowCommands, HelpPagesAreFoundInTheProgramDirectory) {
    Home h;
    const auto page = read_file(std::string(ORBISTO_SOURCE_DIR) + "/data/help/index.html");
    ASSERT_TRUE(page);
    make_directories(h.home + "/help");
    write_file_atomic(h.home + "/help/index.html", *page);
    MainWindow& w = h.open();
    EXPECT_EQ(w.help_index().toStdString(), h.home + "/help/index.html");
}

TEST(WindowCommands, StoredSearchHistoryFillsTheSearchBox) {
    Home h;
    h.settings("[Suche]\nBegriff0=*.mp3\nBegriff1=urlaub\n");
    MainWindow& w = h.open();
    ASSERT_GE(w.search_combo()->count(), 2);
    EXPECT_EQ(w.search_combo()->itemText(0), QStringLiteral("*.mp3"));
    EXPECT_EQ(w.search_combo()->itemText(1), QStringLiteral("urlaub"));
}

TEST(WindowCommands, MediaDraggedOntoACategoryMoveThere) {
    Home h;
    h.settings("[Kategorie]\nAnzahl=1\nKategorie0=Filme\nKategorie0parent=-2\n");
    MainWindow& w = h.open();
    w.set_tab(MainWindow::MediaTab);
    auto* media = w.media_model();
    ASSERT_EQ(media->rows(), 2);
    std::unique_ptr<QMimeData> data(media->mimeData({media->index(1, 0)}));
    QAbstractItemModel* tree = w.tree_view()->model();
    const QModelIndex filme = tree->index(2, 0);
    ASSERT_EQ(filme.data().toString(), QStringLiteral("Filme"));
    ASSERT_TRUE(tree->canDropMimeData(data.get(), Qt::MoveAction, -1, -1, filme));
    tree->dropMimeData(data.get(), Qt::MoveAction, -1, -1, filme);
    EXPECT_EQ(h.ctx->media.entries[1].category, 2u);
    MediumHeader stored;
    ASSERT_EQ(ReadCatalogHeader(*h.ctx, 1, stored), 1);
    EXPECT_EQ(stored.category, 2u);
}

TEST(WindowCommands, CategoryMenuCreatesRenamesAndDeletesCategories) {
    Home h;
    MainWindow& w = h.open();
    w.set_tab(MainWindow::MediaTab);
    test::on_next_modal([](QWidget* d) {
        auto* input = qobject_cast<QInputDialog*>(d);
        ASSERT_NE(input, nullptr);
        input->setTextValue(QStringLiteral("Filme"));
        input->done(QDialog::Accepted);
    });
    w.run_command(gui::kCmdNewCategory);
    ASSERT_EQ(h.ctx->categories.user_count(), 1);
    EXPECT_EQ(h.ctx->categories.name(2), "Filme");
    w.tree_view()->setCurrentIndex(w.tree_view()->model()->index(2, 0));
    test::on_next_modal([](QWidget* d) {
        auto* input = qobject_cast<QInputDialog*>(d);
        input->setTextValue(QStringLiteral("Kino"));
        input->done(QDialog::Accepted);
    });
    w.run_command(gui::kCmdRenameCategory);
    EXPECT_EQ(h.ctx->categories.name(2), "Kino");
    w.tree_view()->setCurrentIndex(w.tree_view()->model()->index(2, 0));
    test::on_next_modal([](QWidget* box) { test::press(box, QStringLiteral("Ja")); });
    w.run_command(gui::kCmdDeleteCategory);
    EXPECT_EQ(h.ctx->categories.user_count(), 0);
}

TEST(WindowCommands, CancelDialogAbortsOnEscapeAndHoldsWhilePaused) {
    Home h;
    h.open();
    gui::GuiFrontend& fe = *h.frontend;
    ProgressTexts texts{
        "Einlesen läuft.", "&Pause", "&Weiter", "&Abbruch", "Operation wird abgebrochen!",
        "PAUSE!"};
    fe.progress_open(texts, 100, DialogPos{20, 20});
    ASSERT_NE(fe.progress(), nullptr);
    fe.progress_value(40);
    EXPECT_EQ(fe.progress()->findChild<QProgressBar*>()->value(), 40);
    // Pause: the pump holds until "go on".
    test::press(fe.progress(), QStringLiteral("Pause"));
    ASSERT_TRUE(fe.progress()->paused());
    bool pumped = false, went_on = false;
    QObject guard;
    QTimer::singleShot(50, &guard, [&] {
        went_on = !pumped;
        test::press(fe.progress(), QStringLiteral("Weiter"));
    });
    fe.pump();
    pumped = true;
    EXPECT_TRUE(went_on) << "the pump returned before go on";
    EXPECT_FALSE(fe.abort_requested());
    QTest::keyClick(fe.progress(), Qt::Key_Escape);
    EXPECT_TRUE(fe.abort_requested());
    fe.progress_close();
    fe.clear_abort();
}

TEST(WindowCommands, OwnRowPainterFollowsTheSetting) {
    Home h;
    h.settings("[Optionen]\nschoen=1\n");
    MainWindow& w = h.open();
    EXPECT_NE(qobject_cast<gui::RowPainter*>(w.list_view()->itemDelegate()), nullptr);
    h.window.reset();
    h.settings("[Optionen]\nschoen=0\n");
    MainWindow& plain = h.open();
    EXPECT_EQ(qobject_cast<gui::RowPainter*>(plain.list_view()->itemDelegate()), nullptr);
}

TEST(WindowCommands, NoFollowedByNothingLoadedKeepsTheEditsMarked) {
    Home h;
    MainWindow& w = h.open();
    h.ctx->catalog.set_changed(true);
    // "Nein" to the question, then the folder chooser is cancelled.
    test::on_next_modal([](QWidget* box) {
        test::press(box, QStringLiteral("Nein"));
        test::on_next_modal([](QWidget* chooser) { QTest::keyClick(chooser, Qt::Key_Escape); });
    });
    w.run_command(gui::kCmdScanPath);
    EXPECT_TRUE(h.ctx->catalog.changed());
    EXPECT_EQ(h.ctx->catalog.current_number(), 0);
    // "Nein" and another medium loaded: the edits are given up.
    test::on_next_modal([](QWidget* box) { test::press(box, QStringLiteral("Nein")); });
    w.run_command(gui::kCmdNextMedium);
    EXPECT_EQ(h.ctx->catalog.current_number(), 1);
    EXPECT_FALSE(h.ctx->catalog.changed());
}

TEST(WindowCommands, SavingWithNothingLoadedWritesNoCatalogue) {
    test::WindowHome h;
    MainWindow& w = h.open();
    ASSERT_EQ(h.ctx->catalog.current_number(), -1);
    w.run_command(gui::kCmdSaveMedium);
    w.run_command(gui::kCmdMediumInfo);
    EXPECT_FALSE(file_exists(h.cds + "/0.cd"));
}

TEST(WindowCommands, HitsOfRenumberedRecordsAreDropped) {
    Home h;
    MainWindow& w = h.open();
    QLineEdit* edit = w.search_combo()->lineEdit();
    edit->setText(QStringLiteral("*.txt"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(w.list_view()->model()->rowCount(), 4);
    h.select(w, "alpha.txt");
    w.list_view()->selectionModel()->select(
        w.list_view()->currentIndex(), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    test::on_next_modal([](QWidget* box) { test::press(box, QStringLiteral("Ja")); });
    w.run_command(gui::kCmdDeleteSelection);
    // Only the hit on the other medium is left.
    w.set_tab(MainWindow::ResultTab);
    ASSERT_EQ(w.list_view()->model()->rowCount(), 1);
    EXPECT_EQ(w.list_view()->model()->index(0, 0).data().toString(), QStringLiteral("x.txt"));
}

TEST(WindowCommands, AMediumArrivingWhileADialogIsOpenWaitsForIt) {
    Home h;
    h.put("cdrom/song.txt", "la");
    ASSERT_EQ(h.scan_disc("cdrom", "MUSIC", 0xCAFE0001), 2);
    h.settings("[Optionen]\nAutoCD=1\n");
    MainWindow& w = h.open();
    int during = -2;
    test::on_next_modal([&](QWidget* sheet) {
        h.insert_disc("cdrom", "MUSIC", 0xCAFE0001);
        w.on_mount_table_changed();
        QTest::qWait(400);
        during = h.ctx->catalog.current_number();
        QTest::keyClick(sheet, Qt::Key_Escape);
    });
    w.run_command(gui::kCmdMediumInfo);
    EXPECT_EQ(during, 0);
    QTRY_COMPARE(h.ctx->catalog.current_number(), 2);
}

}  // namespace
}  // namespace orbisto
