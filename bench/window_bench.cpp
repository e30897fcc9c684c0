// The window over a large medium: a catalogue of 1,000,000 files (one
// directory of 100,000 of them) is loaded into the real main window on the
// offscreen platform, and the program reports the time to show the root,
// to list the large directory, to sort it by each column both ways and to
// run a quick search from the search box, and the memory of the window's
// own index arrays against the Catalog's.
//
//   window_bench               1,000,000 files
//   window_bench --files N     another size (the large directory keeps N / 10)
#include <stdlib.h>
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/console_frontend.h"
#include "bench_clock.h"
#include "bench_names.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "gui/file_list_model.h"
#include "gui/gui_frontend.h"
#include "gui/hit_list_model.h"
#include "gui/main_window.h"
#include "platform/files.h"
#include "session/context.h"
#include "session/startup.h"

namespace {

using namespace orbisto;
using bench::Clock;
using bench::file_name;
using bench::peak_rss_mb;
using bench::seconds_since;

// Directory 1 holds `big` files; the others are spread over folders of 100.
void build(Catalog& c, std::uint32_t files, std::uint32_t big) {
    c.reset(false);
    set_fixed_text(c.header.medium_name, "window bench");
    const std::uint32_t spread = files - big;
    const std::uint32_t dirs = 1 + spread / 100;
    c.reserve_dirs(dirs + 2);
    c.reserve_files(files);
    DirRecord d;
    d.name = c.append_name("big folder").value;
    c.append_dir(d);
    char name[64];
    for (std::uint32_t i = 0; i + 1 < dirs; ++i) {
        std::snprintf(name, sizeof name, "project %u", i);
        d.name = c.append_name(name).value;
        d.parent = i < 50 ? 0 : 2 + (i % 50);
        c.append_dir(d);
    }
    for (std::uint32_t i = 0; i < files; ++i) {
        FileRecord f;
        file_name(name, sizeof name, i);
        f.name = c.append_name(name).value;
        f.size_kb = static_cast<float>((i * 2654435761u) % 900000) / 7.0f;
        f.time = FileTime::from(132000000000000000ULL +
                                (i * 40503ULL % 100000) * 86400ULL * 10000000ULL / 1000);
        f.parent = i < big ? 1 : 2 + (i - big) / 100;
        if (i % 10 == 0) f.comment = c.append_comment("a comment to sort by").value;
        c.append_file(f);
    }
    c.sync_header();
}

}  // namespace

int main(int argc, char** argv) {
    std::uint32_t files = 1000000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--files") == 0)
            files = static_cast<std::uint32_t>(std::atoi(argv[i + 1]));
    const std::uint32_t big = files / 10;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    char tmpl[] = "/tmp/orbisto-window-bench-XXXXXX";
    const std::string home = ::mkdtemp(tmpl);
    make_directories(home + "/cds");
    {
        ConsoleFrontend fe;
        Context c(fe);
        c.paths.catalog_dir = home + "/cds";
        build(c.catalog, files, big);
        c.media.entries.push_back(c.catalog.header);
        if (SaveCatalog(c, 0) != 0) return 1;
    }
    std::printf("catalogue: %u files, %u in one directory\n", files, big);

    gui::GuiFrontend frontend;
    Context ctx(frontend);
    const EnvLookup env = [&home](const char* n) -> const char* {
        return std::strcmp(n, "ORBISTO_HOME") == 0 ? home.c_str() : nullptr;
    };
    start_up(ctx, CommandLine{}, home + "/orbisto", env);
    ctx.settings.options.reload_last = false;
    gui::MainWindow window(ctx, frontend);
    frontend.attach(&window, &window, &ctx);
    window.resize(1200, 800);
    window.show();
    QApplication::processEvents();

    // Loading, then the root shown: the view's part is timed apart.
    auto t = Clock::now();
    BuildMediaList(ctx);
    frontend.attach(&window, nullptr, &ctx);  // the load alone, without the view
    LoadCatalog(ctx, 0);
    const double load = seconds_since(t);
    frontend.attach(&window, &window, &ctx);
    t = Clock::now();
    window.on_catalog_replaced();
    window.repaint();
    QApplication::processEvents();
    std::printf("load catalogue: %.3f s; root shown after load: %.3f s\n", load, seconds_since(t));

    t = Clock::now();
    window.show_dir(1);
    window.list_view()->repaint();
    QApplication::processEvents();
    std::printf("directory of %d files listed: %.3f s\n", window.file_model()->rows(),
                seconds_since(t));

    // The model's part alone (rows taken and sorted by name), again.
    t = Clock::now();
    window.file_model()->show_dir(1, true, false);
    std::printf("  of which the list model: %.3f s\n", seconds_since(t));

    const char* names[] = {"name", "size", "date", "time", "description"};
    for (int col = 0; col < gui::FileListModel::ColumnCount; ++col) {
        for (bool asc : {true, false}) {
            t = Clock::now();
            window.file_model()->sort_rows(col, asc);
            window.list_view()->repaint();
            QApplication::processEvents();
            std::printf("sort by %-11s %s: %.3f s\n", names[col], asc ? "+" : "-",
                        seconds_since(t));
        }
    }

    // A quick search typed into the search box: every file of the medium.
    window.search_combo()->lineEdit()->setText(QStringLiteral("IMG_0000123*"));
    t = Clock::now();
    QTest::keyClick(window.search_combo()->lineEdit(), Qt::Key_Return);
    QApplication::processEvents();
    std::printf("quick search 'IMG_0000123*': %.3f s, %d hits\n", seconds_since(t),
                window.hit_model()->rows());

    // A search with 125,000 hits: the result grows while the search runs,
    // and the event loop keeps turning (the longest pause is reported).
    window.set_tab(gui::MainWindow::MediumTab);
    window.search_combo()->lineEdit()->setText(QStringLiteral("IMG_*"));
    QElapsedTimer gap;
    qint64 longest = 0;
    int ticks = 0, rows_seen_during = 0;
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (gap.isValid()) longest = std::max(longest, gap.elapsed());
        gap.restart();
        ++ticks;
        rows_seen_during = std::max(rows_seen_during, window.hit_model()->rows());
    });
    tick.start();
    gap.start();
    t = Clock::now();
    QTest::keyClick(window.search_combo()->lineEdit(), Qt::Key_Return);
    const double search_time = seconds_since(t);
    tick.stop();
    std::printf(
        "search 'IMG_*': %.3f s, %d hits; rows shown while it ran: %d; longest event-loop "
        "pause %lld ms over %d turns\n",
        search_time, window.hit_model()->rows(), rows_seen_during, static_cast<long long>(longest),
        ticks);
    t = Clock::now();
    window.hit_model()->sort_clicked(0);
    window.list_view()->repaint();
    std::printf("sort 125,000 hits by name: %.3f s\n", seconds_since(t));

    const Catalog& cat = ctx.catalog;
    const double catalog_mb = (static_cast<double>(cat.dirs_capacity()) * sizeof(DirRecord) +
                               static_cast<double>(cat.files_capacity()) * sizeof(FileRecord) +
                               cat.names_capacity() + cat.comments_capacity() + cat.images_used()) /
                              1e6;
    const double view_mb = static_cast<double>(window.view_memory_bytes()) / 1e6;
    std::printf(
        "memory: Catalog %.1f MB, window's index arrays %.1f MB (%.0f %%), peak RSS %.0f MB\n",
        catalog_mb, view_mb, 100.0 * view_mb / catalog_mb, peak_rss_mb());

    frontend.attach(nullptr, nullptr, &ctx);
    shut_down(ctx);
    remove_tree(home);
    return 0;
}
