#include "gui/gui_frontend.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "gui/progress_dialog.h"
#include "gui/qt_text.h"
#include "session/context.h"

namespace orbisto::gui {

namespace {

QString box_text(std::string_view text) {
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QMessageBox::Icon box_icon(Icon icon) {
    switch (icon) {
        case Icon::Stop:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString filter_text(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const FileFilter& f : filters) {
        // Files copied from Windows media may carry either case.
        const QString pattern = qs(f.pattern);
        QString both = pattern;
        if (pattern.toLower() != pattern) both += QLatin1Char(' ') + pattern.toLower();
        parts << QStringLiteral("%1 (%2)").arg(qs(f.label), both);
    }
    return parts.join(QStringLiteral(";;"));
}

}  // namespace

GuiFrontend::GuiFrontend() = default;
GuiFrontend::~GuiFrontend() = default;

void GuiFrontend::attach(QWidget* window, SessionView* view, Context* ctx) {
    window_ = window;
    view_ = view;
    ctx_ = ctx;
}

DialogEnv GuiFrontend::dialog_env() const {
    DialogEnv env;
    if (ctx_) {
        env.english = ctx_->english();
        env.categories = &ctx_->categories;
        env.catalog_dir = ctx_->paths.catalog_dir;
    }
    return env;
}

Answer GuiFrontend::message(std::string_view text, std::string_view caption, Buttons buttons,
                            Icon icon) {
    const bool en = ctx_ && ctx_->english();
    QMessageBox box(box_icon(icon), box_text(caption), box_text(text), QMessageBox::NoButton,
                    window_);
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    switch (buttons) {
        case Buttons::Ok:
            ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            break;
        case Buttons::OkCancel:
            ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            cancel = box.addButton(en ? QStringLiteral("Cancel") : QStringLiteral("Abbrechen"),
                                   QMessageBox::RejectRole);
            break;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            yes = box.addButton(en ? QStringLiteral("&Yes") : QStringLiteral("&Ja"),
                                QMessageBox::YesRole);
            no = box.addButton(en ? QStringLiteral("&No") : QStringLiteral("&Nein"),
                               QMessageBox::NoRole);
            if (buttons == Buttons::YesNoCancel)
                cancel = box.addButton(en ? QStringLiteral("Cancel") : QStringLiteral("Abbrechen"),
                                       QMessageBox::RejectRole);
            break;
    }
    if (cancel)
        box.setEscapeButton(cancel);
    else if (no)
        box.setEscapeButton(no);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == yes) return Answer::Yes;
    if (clicked && clicked == no) return Answer::No;
    if (clicked && clicked == ok) return Answer::Ok;
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (buttons == Buttons::YesNo) return Answer::No;
    return Answer::Cancel;
}

void GuiFrontend::status(int part, std::string_view text) {
    if (view_) view_->on_status(part, qs(text));
}

void GuiFrontend::window_title(std::string_view text) {
    if (view_) view_->on_title(qs(text));
}

void GuiFrontend::progress_open(const ProgressTexts& texts, int range_max, DialogPos pos) {
    if (progress_) progress_->deleteLater();
    progress_ = new ProgressDialog(*this, texts, range_max, window_);
    progress_->move(pos.x, pos.y);
    progress_->show();
    QApplication::processEvents();
}

void GuiFrontend::progress_text(std::string_view text) {
    if (progress_) progress_->set_text(qs(text));
}

void GuiFrontend::progress_value(int value) {
    if (progress_) progress_->set_value(value);
}

DialogPos GuiFrontend::progress_close() {
    DialogPos pos;
    if (progress_) {
        pos.x = progress_->x();
        pos.y = progress_->y();
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    return pos;
}

void GuiFrontend::main_window(WindowAction action) {
    if (view_) view_->on_window_action(action);
}

void GuiFrontend::beep() {
    QApplication::beep();
}

void GuiFrontend::pump() {
    QApplication::processEvents(QEventLoop::AllEvents);
    // A paused operation waits here until "go on" or an abort.
    while (progress_ && progress_->paused() && !abort_requested())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::optional<std::string> GuiFrontend::choose_folder(std::string_view title,
                                                      std::string_view start) {
    const QString dir = QFileDialog::getExistingDirectory(
        window_, qs(title), qs(start),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (dir.isEmpty()) return std::nullopt;
    return utf8(dir);
}

std::optional<std::string> GuiFrontend::choose_open_file(std::string_view title,
                                                         const std::vector<FileFilter>& filters,
                                                         std::string_view) {
    const QString file =
        QFileDialog::getOpenFileName(window_, qs(title), QString(), filter_text(filters), nullptr,
                                     QFileDialog::DontUseNativeDialog);
    if (file.isEmpty()) return std::nullopt;
    return utf8(file);
}

std::optional<std::string> GuiFrontend::choose_save_file(std::string_view title,
                                                         const std::vector<FileFilter>& filters,
                                                         std::string_view default_ext) {
    QFileDialog dialog(window_, qs(title), QString(), filter_text(filters));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The core asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QString ext = qs(default_ext);
    if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
    dialog.setDefaultSuffix(ext);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return utf8(dialog.selectedFiles().front());
}

int GuiFrontend::choose_drive(DriveChoice& choice) {
    return drive_dialog(window_, choice, dialog_env());
}

KnownMediumChoice GuiFrontend::known_medium(std::string_view caption,
                                            std::string_view medium_name) {
    return known_medium_dialog(window_, caption, medium_name, dialog_env());
}

bool GuiFrontend::medium_information(Catalog& catalog, std::string_view caption,
                                     const std::function<void(std::string_view)>& on_name_edited) {
    return medium_sheet(window_, catalog, caption, on_name_edited, dialog_env());
}

DuplicateMediumAnswer GuiFrontend::duplicate_medium(DuplicateMediumPair& pair,
                                                    const std::function<void(PairMember)>& show) {
    return duplicate_medium_dialog(window_, pair, show, dialog_env());
}

void GuiFrontend::catalog_replaced() {
    ++replacements_;
    if (view_) view_->on_catalog_replaced();
}

void GuiFrontend::catalog_changed() {
    if (view_) view_->on_catalog_changed();
}

void GuiFrontend::media_changed() {
    if (view_) view_->on_media_changed();
}

void GuiFrontend::categories_changed() {
    if (view_) view_->on_categories_changed();
}

void GuiFrontend::hits_changed() {
    if (view_) view_->on_hits_changed();
}

void GuiFrontend::long_operation_started() {
    if (++depth_ == 1 && view_) view_->on_long_operation(true);
}

void GuiFrontend::long_operation_ended() {
    if (depth_ > 0 && --depth_ == 0 && view_) view_->on_long_operation(false);
}

}  // namespace orbisto::gui
