// Pictures of the window for people to look at: with ORBISTO_SCREENSHOTS set
// to a folder, the window is shown over a catalogue of this source tree
// (medium view, search result, media list; German and English) and each
// view is saved as a PNG there. Without the variable these tests skip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <cstdlib>

#include "gui/command_table.h"
#include "gui/file_list_model.h"
#include "gui/window_home.h"
#include "session/context.h"
#include "session/scan_request.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

using gui::MainWindow;

void shoot(QWidget& w, const std::string& name) {
    QApplication::processEvents();
    QTest::qWait(100);
    const std::string dir = std::getenv("ORBISTO_SCREENSHOTS");
    ASSERT_TRUE(w.grab().save(QString::fromStdString(dir + "/" + name + ".png")));
}

void take(bool english) {
    if (!std::getenv("ORBISTO_SCREENSHOTS")) GTEST_SKIP() << "ORBISTO_SCREENSHOTS not set";
    test::WindowHome h;
    h.volumes.add(ORBISTO_SOURCE_DIR, kDriveFixed, "SOURCE", 0x0BADCAFE);
    const std::string lang = english ? "en" : "de";
    h.settings(std::string("[Optionen]\nlanguage=") + (english ? "1" : "0") +
               "\n[Orbisto]\nLinks=0\nOben=0\nRechts=1200\nUnten=720\n");
    // Three media: the program's sources, its documentation, its tests.
    for (const char* sub : {"src", "doc", "tests"}) {
        test::ScriptedFrontend fe;
        Context c(fe);
        c.paths.catalog_dir = h.cds;
        c.scan.installed_volumes = &h.volumes;
        c.command_line.label_given = true;
        c.command_line.label = std::string("Orbisto ") + sub;
        ASSERT_GE(
            HandleScanRequest(c, kRequestScanNew, std::string(ORBISTO_SOURCE_DIR) + "/" + sub), 0);
    }
    MainWindow& w = h.open();
    w.resize(1200, 720);
    // The medium view: the sources, in the folder of the window.
    w.tree_view()->expandAll();
    const auto* files = w.file_model();
    for (int i = 0; i < files->rows(); ++i) {
        if (is_dir_object(files->object_at(i))) {
            w.show_dir(object_index(files->object_at(i)));
            break;
        }
    }
    for (int i = 0; i < w.file_model()->rows(); ++i) {
        if (w.file_model()->index(i, 0).data().toString() == "gui") {
            w.show_dir(object_index(w.file_model()->object_at(i)));
            break;
        }
    }
    shoot(w, "medium-view-" + lang);
    // A search over all media.
    w.search_combo()->setFocus();
    w.search_combo()->lineEdit()->setText(QStringLiteral("*window*"));
    QTest::keyClick(w.search_combo()->lineEdit(), Qt::Key_Return);
    shoot(w, "search-result-" + lang);
    w.set_tab(MainWindow::MediaTab);
    shoot(w, "media-list-" + lang);
    // The medium sheet of the loaded medium.
    test::on_next_modal([&](QWidget* sheet) {
        shoot(*sheet, "medium-sheet-" + lang);
        QTest::keyClick(sheet, Qt::Key_Escape);
    });
    w.run_command(gui::kCmdMediumInfo);
}

TEST(Screenshots, German) {
    take(false);
}

TEST(Screenshots, English) {
    take(true);
}

}  // namespace
}  // namespace orbisto
