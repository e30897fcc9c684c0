#include "gui/gui_run.h"

#include <QApplication>
#include <QPixmap>
#include <QSessionManager>
#include <QSplashScreen>
#include <QTimer>
#include <cstdlib>

#include "gui/gui_frontend.h"
#include "gui/main_window.h"
#include "gui/progress_dialog.h"
#include "gui/qt_print_device.h"
#include "gui/qt_text.h"
#include "session/context.h"
#include "session/startup.h"

namespace orbisto::gui {

bool display_available() {
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string chosen = platform ? platform : "";
    // The X11 and Wayland platforms need their display; the others
    // (offscreen, vnc, a frame buffer) stand on their own.
    if (chosen.starts_with("xcb")) return set("DISPLAY");
    if (chosen.starts_with("wayland")) return set("WAYLAND_DISPLAY");
    if (!chosen.empty()) return true;
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

int run_window(int argc, char** argv, const CommandLine& command_line,
               const std::string& executable, const std::function<void(Environment&)>& started) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbisto"));
    QApplication::setDesktopFileName(QStringLiteral("orbisto"));

    GuiFrontend frontend;
    Context ctx(frontend);
    ctx.print_devices = make_qt_print_device;
    const EnvLookup env = [](const char* name) { return std::getenv(name); };
    if (!start_up(ctx, command_line, executable, env)) {
        shut_down(ctx);
        return 1;
    }

    if (started) started(ctx);

    // The splash picture, while the media list is built.
    std::unique_ptr<QSplashScreen> splash;
    const QPixmap logo(qs(ctx.paths.logo_file));
    if (!logo.isNull()) {
        splash = std::make_unique<QSplashScreen>(logo);
        splash->show();
        QApplication::processEvents();
    }

    int status = 0;
    {
        MainWindow window(ctx, frontend);
        frontend.attach(&window, &window, &ctx);
        app.installEventFilter(&window);
        window.initialize();
        if (splash) splash->finish(&window);
        if (command_line.hide)
            window.showMinimized();
        else
            window.show();

        // The search of the command line runs once the window is up.
        QTimer::singleShot(0, &window, [&window] { window.start_run_mode(); });

        // A session logout asks about unsaved changes as a close does; a
        // cancel asks the session manager to stay.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                         [&window, &ctx](QSessionManager& manager) {
                             // A long operation is stopped first; the logout
                             // is asked to wait for it.
                             if (ctx.busy) {
                                 ctx.frontend.request_abort();
                                 manager.cancel();
                                 return;
                             }
                             if (manager.allowsInteraction()) {
                                 if (!window.confirm_discard_or_save()) manager.cancel();
                                 manager.release();
                             }
                         });
        status = app.exec();
        frontend.attach(nullptr, nullptr, &ctx);
    }
    shut_down(ctx);
    return status;
}

}  // namespace orbisto::gui
