#include "gui/window_home.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <climits>
#include <cstdlib>

#include "gui/file_list_model.h"
#include "platform/files.h"
#include "session/scan_request.h"
#include "session/startup.h"
#include "support/scripted_frontend.h"

namespace orbisto::test {

WindowHome::WindowHome() {
    char real[PATH_MAX];
    base = ::realpath(dir.path().c_str(), real) ? real : dir.path();
    home = base + "/home";
    cds = home + "/cds";
    make_directories(cds);
    volumes.add(base, kDriveFixed, "DATA", 0x1234ABCD);
}

WindowHome::~WindowHome() {
    if (window) {
        window->hide();
        frontend->attach(nullptr, nullptr, ctx.get());
        window.reset();
    }
    if (ctx) shut_down(*ctx);
}

std::string WindowHome::put(const std::string& relative, const std::string& text) const {
    const std::string path = base + "/" + relative;
    make_directories(dir_part(path));
    write_file_atomic(path, text);
    return path;
}

int WindowHome::scan(const std::string& folder, const std::string& medium_name) {
    ScriptedFrontend fe;
    Context c(fe);
    c.paths.catalog_dir = cds;
    c.scan.installed_volumes = &volumes;
    c.command_line.label_given = true;
    c.command_line.label = medium_name;
    const int n = HandleScanRequest(c, kRequestScanNew, base + "/" + folder);
    return n;
}

int WindowHome::scan_disc(const std::string& folder, const std::string& label,
                          std::uint32_t serial) {
    insert_disc(folder, label, serial);
    ScriptedFrontend fe;
    Context c(fe);
    c.paths.catalog_dir = cds;
    c.scan.installed_volumes = &volumes;
    const int n = HandleScanRequest(c, kRequestScanNew, base + "/" + folder);
    volumes.table.pop_back();
    return n;
}

void WindowHome::settings(const std::string& text) const {
    write_file_atomic(home + "/orbisto.INI", text);
}

gui::MainWindow& WindowHome::open() {
    frontend = std::make_unique<gui::GuiFrontend>();
    ctx = std::make_unique<Context>(*frontend);
    const std::string h = home;
    const EnvLookup env = [h](const char* name) -> const char* {
        if (std::string_view(name) == "ORBISTO_HOME") return h.c_str();
        // Without a language in the settings the window follows the locale:
        // a German one, as the texts the tests look for are German.
        if (std::string_view(name) == "LANG") return "de_DE.UTF-8";
        return nullptr;
    };
    CommandLine cl;
    start_up(*ctx, cl, home + "/orbisto", env);
    ctx->scan.installed_volumes = &volumes;
    window = std::make_unique<gui::MainWindow>(*ctx, *frontend);
    frontend->attach(window.get(), window.get(), ctx.get());
    window->initialize();
    window->show();
    activate(*window);
    return *window;
}

bool WindowHome::close() {
    const bool closed = window->close();
    QApplication::processEvents();
    return closed;
}

void on_next_modal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        answer(w);
    });
    timer->start();
}

bool press(QWidget* dialog, const QString& text) {
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
        if (b->text().remove(QLatin1Char('&')) == QString(text).remove(QLatin1Char('&'))) {
            b->click();
            return true;
        }
    }
    return false;
}

void activate(QWidget& window) {
    QApplication::setActiveWindow(&window);
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
}

QString box_text(QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    return box ? box->text() : QString();
}

int file_row_named(const gui::FileListModel* files, const QString& name) {
    for (int r = 0; r < files->rows(); ++r) {
        if (files->index(r, gui::FileListModel::Name).data().toString() == name) return r;
    }
    return -1;
}

}  // namespace orbisto::test
