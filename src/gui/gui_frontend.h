// The window's frontend: message boxes with the core's texts, captions,
// buttons and icons; the modeless cancel dialog; the pump; the choosers;
// the dialogs of the scan and media tools; and the session events, which
// it hands to the window.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "gui/dialogs.h"
#include "gui/progress_dialog.h"
#include "session/session_frontend.h"

class QWidget;
class QEventLoop;

namespace orbisto {
struct Context;
}

namespace orbisto::gui {

class ProgressDialog;

// What the window does with the session events.
class SessionView {
  public:
    virtual ~SessionView() = default;
    virtual void on_catalog_replaced() = 0;
    virtual void on_catalog_changed() = 0;
    virtual void on_media_changed() = 0;
    virtual void on_categories_changed() = 0;
    virtual void on_hits_changed() = 0;
    virtual void on_long_operation(bool running) = 0;
    virtual void on_status(int part, const QString& text) = 0;
    virtual void on_title(const QString& text) = 0;
    virtual void on_window_action(WindowAction action) = 0;
};

class GuiFrontend : public QObject, public SessionFrontend {
    Q_OBJECT
  public:
    GuiFrontend();
    ~GuiFrontend() override;

    // The window: parent of every dialog and receiver of the events.
    void attach(QWidget* window, SessionView* view, Context* ctx);

    Answer message(std::string_view text, std::string_view caption, Buttons buttons,
                   Icon icon) override;
    void status(int part, std::string_view text) override;
    void window_title(std::string_view text) override;
    void progress_open(const ProgressTexts& texts, int range_max, DialogPos pos) override;
    void progress_text(std::string_view text) override;
    void progress_value(int value) override;
    DialogPos progress_close() override;
    void main_window(WindowAction action) override;
    void beep() override;
    void pump() override;
    std::optional<std::string> choose_folder(std::string_view title,
                                             std::string_view start) override;
    std::optional<std::string> choose_open_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view default_ext) override;
    std::optional<std::string> choose_save_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view default_ext) override;

    int choose_drive(DriveChoice& choice) override;
    KnownMediumChoice known_medium(std::string_view caption, std::string_view medium_name) override;
    bool medium_information(Catalog& catalog, std::string_view caption,
                            const std::function<void(std::string_view)>& on_name_edited) override;
    DuplicateMediumAnswer duplicate_medium(DuplicateMediumPair& pair,
                                           const std::function<void(PairMember)>& show) override;

    void catalog_replaced() override;
    void catalog_changed() override;
    void media_changed() override;
    void categories_changed() override;
    void hits_changed() override;
    void long_operation_started() override;
    void long_operation_ended() override;

    DialogEnv dialog_env() const;
    // How often the core has replaced the current Catalog (loaded, emptied,
    // filled by a scan) in this run.
    unsigned replacements() const { return replacements_; }
    ProgressDialog* progress() const { return progress_; }

  private:
    QWidget* window_ = nullptr;
    SessionView* view_ = nullptr;
    Context* ctx_ = nullptr;
    QPointer<ProgressDialog> progress_;
    int depth_ = 0;  // nested long operations
    unsigned replacements_ = 0;
};

}  // namespace orbisto::gui
