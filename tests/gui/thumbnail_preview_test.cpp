// The preview pane over a medium scanned with thumbnails on: a photo's row
// is marked "(TN)", and selecting it shows its thumbnail upright in the
// pane, decoded from the catalogue's image pool. With ORBISTO_SCREENSHOTS
// set, the window is saved there as a PNG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>

#include "gui/file_list_model.h"
#include "gui/thumbnail_pixmap.h"
#include "gui/window_home.h"
#include "session/context.h"
#include "session/scan_request.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

using gui::FileListModel;
using gui::MainWindow;

struct PhotoMedium : test::WindowHome {
    int number = -1;
    PhotoMedium() {
        put("disc/notes.txt", "no picture");
        std::filesystem::copy_file(
            std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/fileinfo/photo_800.jpg",
            base + "/disc/beach.jpg");
        test::ScriptedFrontend fe;
        Context c(fe);
        c.paths.catalog_dir = cds;
        c.scan.installed_volumes = &volumes;
        c.command_line.label_given = true;
        c.command_line.label = "Photos";
        c.settings.options.file_information = true;
        c.settings.options.thumbnails = true;
        number = HandleScanRequest(c, kRequestScanNew, base + "/disc");
    }
};

TEST(ThumbnailPreview, SelectingAPhotoShowsItsThumbnailUpright) {
    PhotoMedium h;
    ASSERT_EQ(h.number, 0);
    h.settings("[Optionen]\nPreview=1\n[Orbisto]\nLinks=0\nOben=0\nRechts=1000\nUnten=640\n");
    MainWindow& w = h.open();
    w.resize(1000, 640);
    FileListModel* files = w.file_model();
    ASSERT_EQ(files->rows(), 1);
    w.show_dir(object_index(files->object_at(0)));
    const int photo = test::file_row_named(files, QStringLiteral("(TN) beach.jpg"));
    const int notes = test::file_row_named(files, QStringLiteral("notes.txt"));
    ASSERT_GE(photo, 0);
    ASSERT_GE(notes, 0);

    auto* preview = w.findChild<QLabel*>(QStringLiteral("preview"));
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(preview->isVisible());
    w.list_view()->setCurrentIndex(files->index(photo, 0));
    QApplication::processEvents();
    const QPixmap shown = preview->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_NEAR(static_cast<double>(shown.width()) / shown.height(), 800.0 / 600.0, 0.03)
        << shown.width() << "x" << shown.height();
    // The photo: white above, red below on the left, blue on the right.
    const QImage image = shown.toImage();
    const auto near = [](QColor got, QColor want) {
        return std::abs(got.red() - want.red()) < 40 && std::abs(got.green() - want.green()) < 40 &&
               std::abs(got.blue() - want.blue()) < 40;
    };
    const int pw = image.width(), ph = image.height();
    EXPECT_TRUE(near(image.pixelColor(pw / 2, ph / 10), Qt::white));
    EXPECT_TRUE(near(image.pixelColor(pw / 4, ph * 3 / 4), Qt::red));
    EXPECT_TRUE(near(image.pixelColor(pw * 3 / 4, ph * 3 / 4), Qt::blue));

    if (const char* dir = std::getenv("ORBISTO_SCREENSHOTS")) {
        QTest::qWait(100);
        EXPECT_TRUE(w.grab().save(QString::fromStdString(std::string(dir) + "/preview.png")));
    }

    // A file without a thumbnail empties the pane.
    w.list_view()->setCurrentIndex(files->index(notes, 0));
    QApplication::processEvents();
    EXPECT_TRUE(preview->pixmap().isNull());
}

TEST(ThumbnailPreview, DamagedPoolBytesGiveNoImage) {
    const std::uint8_t junk[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'};
    EXPECT_TRUE(gui::thumbnail_image({}).isNull());
    EXPECT_TRUE(gui::thumbnail_image(junk).isNull());
}

}  // namespace
}  // namespace orbisto
