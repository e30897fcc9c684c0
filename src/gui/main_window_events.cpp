// The main window's events: closing with the changed-flag question and the
// exit order, drops, the search box, context menus, tool tips and arriving
// media. Declared in main_window.h.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include "catalog/catalog_store.h"
#include "catalog/category_file.h"
#include "catalog/save_question.h"
#include "gui/dir_tree_model.h"
#include "gui/file_list_model.h"
#include "gui/hit_list_model.h"
#include "gui/main_window.h"
#include "gui/media_list_model.h"
#include "gui/qt_text.h"
#include "platform/mount_watch.h"
#include "search/search_confirm.h"
#include "search/search_engine.h"
#include "search/search_entry.h"
#include "session/context.h"
#include "session/medium_commands.h"
#include "session/scan_request.h"
#include "settings/settings_io.h"

namespace orbisto::gui {

MainWindow::SaveAnswer MainWindow::ask_save_discard_cancel() {
    if (!ctx_.catalog.changed()) return SaveAnswer::Unchanged;
    const Answer a = ctx_.frontend.message(t("Datei schreiben?", "write file?"),
                                           t("Daten geändert!", "file changed!"),
                                           Buttons::YesNoCancel, Icon::Question);
    if (a == Answer::Cancel) return SaveAnswer::Cancelled;
    if (a == Answer::Yes) {
        // A failed save keeps the Catalog and what the user was doing.
        if (SaveCatalog(ctx_, ctx_.catalog.current_number()) < 0) return SaveAnswer::Cancelled;
        on_status(0, qs(t("Datei gespeichert", "file saved")));
        ctx_.catalog.set_changed(false);
        return SaveAnswer::Saved;
    }
    ctx_.catalog.set_changed(false);
    return SaveAnswer::Discarded;
}

bool MainWindow::replace_guarded(const std::function<void()>& replace) {
    const SaveAnswer a = ask_save_discard_cancel();
    if (a == SaveAnswer::Cancelled) return false;
    const unsigned before = frontend_.replacements();
    replace();
    if (a == SaveAnswer::Discarded && frontend_.replacements() == before)
        ctx_.catalog.set_changed(true);
    return true;
}

bool MainWindow::confirm_discard_or_save() {
    return ask_save_discard_cancel() != SaveAnswer::Cancelled;
}

bool MainWindow::write_on_exit() {
    if (!confirm_discard_or_save()) return false;
    store_column_widths();
    save_placement();
    ctx_.settings.options.description_layout = description_layout_;
    write_options(ctx_);
    write_start_state(ctx_);
    if (ctx_.categories.in_settings_file) WriteCategories(ctx_);
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A long operation is aborted first; the window closes at its end.
    if (busy_ || ctx_.busy) {
        ctx_.frontend.request_abort();
        close_after_operation_ = true;
        event->ignore();
        return;
    }
    if (closing_) {
        event->accept();
        return;
    }
    if (in_command_ > 0 || !write_on_exit()) {
        event->ignore();
        return;
    }
    closing_ = true;
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    scan_dropped_paths(paths);
}

void MainWindow::scan_dropped_paths(const QStringList& paths) {
    if (busy_ || ctx_.busy || in_command_ > 0) return;
    ++in_command_;
    const int before = ctx_.catalog.current_number();
    replace_guarded([&] {
        for (const QString& p : paths) {
            const int stored = HandleScanRequest(ctx_, kRequestScanNew, utf8(p));
            if (stored < 0) {
                // The medium shown before comes back; the other paths are dropped.
                if (before >= 0 && ctx_.catalog.current_number() != before)
                    LoadCatalog(ctx_, before);
                break;
            }
            hits_->drop_medium(static_cast<std::uint32_t>(stored));
            ctx_.settings.state.last_catalog = stored;
        }
    });
    --in_command_;
    on_catalog_replaced();
    on_media_changed();
}

void MainWindow::media_arrived(const std::vector<int>& drives) {
    // Device events are ignored while a long operation runs; while a
    // command or its dialog is open they wait until it is done.
    if (busy_ || ctx_.busy || drives.empty()) return;
    if (in_command_ > 0 || QApplication::activeModalWidget()) {
        pending_arrivals_.insert(pending_arrivals_.end(), drives.begin(), drives.end());
        QTimer::singleShot(300, this, [this] {
            std::vector<int> waiting;
            waiting.swap(pending_arrivals_);
            media_arrived(waiting);
        });
        return;
    }
    const Options& o = ctx_.settings.options;
    if (!o.auto_scan && !o.identify_inserted_media) return;
    // The core asks about unsaved changes itself, and only when it is about
    // to replace the medium.
    ++in_command_;
    const ArrivalResult r = MediumArrived(ctx_, drives);
    --in_command_;
    for (int n : r.stored) hits_->drop_medium(static_cast<std::uint32_t>(n));
    if (!r.stored.empty() || r.loaded >= 0) {
        if (r.loaded >= 0) ctx_.settings.state.last_catalog = r.loaded;
        on_catalog_replaced();
        on_media_changed();
    }
}

void MainWindow::start_run_mode() {
    const RunMode mode = ctx_.command_line.run_mode;
    if (mode != RunMode::Search && mode != RunMode::SearchCategory) return;
    hits_->clear();
    if (PrepareCommandLineSearch(ctx_) && RunSearch(ctx_)) {
        hits_->flush();
        set_tab(ResultTab);
    }
}

void MainWindow::on_mount_table_changed() {
    if (!mount_watch_) return;
    // The notice is used up by the look, also while a long operation runs:
    // media that arrive then are ignored, as the arrival rules want.
    const MountChanges changes = mount_watch_->refresh();
    media_arrived(changes.arrived_indexes());
}

void MainWindow::on_search_entered() {
    if (busy_ || ctx_.busy) return;
    const QString text = search_combo_->currentText().left(128);
    if (text.isEmpty()) return;
    if (current_tab() == MediumTab) {
        if (!ConfirmSearch(ctx_, utf8(text))) return;
        hits_->clear();
        RunSearch(ctx_);
        hits_->flush();
        // The history as the core keeps it.
        refresh_search_history();
        search_combo_->setEditText(text);
        set_tab(ResultTab);
        return;
    }
    // The other tabs look for the first row in which any column matches.
    QAbstractItemModel* model = list_->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c) {
            if (model->index(r, c).data().toString().contains(text, Qt::CaseInsensitive)) {
                list_->setCurrentIndex(model->index(r, 0));
                list_->scrollTo(model->index(r, 0));
                list_->setFocus();
                return;
            }
        }
    }
}

void MainWindow::show_context_menu(const QPoint& pos, bool on_tree) {
    if (busy_) return;
    ContextMenu which;
    QWidget* source = on_tree ? static_cast<QWidget*>(tree_) : list_stack_->currentWidget();
    if (on_tree) {
        if (tree_->model() == categories_)
            which = ContextMenu::Category;
        else
            which = ContextMenu::Tree;
        const QModelIndex idx = tree_->indexAt(pos);
        if (idx.isValid()) tree_->setCurrentIndex(idx);
        tree_->setFocus();
    } else {
        const QModelIndex idx =
            list_stack_->currentWidget() == list_ ? list_->indexAt(pos) : icons_->indexAt(pos);
        if (!idx.isValid()) return;
        list_->setFocus();
        if (list_->model() == files_)
            which =
                is_dir_object(files_->object_at(idx.row())) ? ContextMenu::Dir : ContextMenu::File;
        else if (list_->model() == favourites_)
            which = ContextMenu::Favourite;
        else if (list_->model() == hits_)
            which = ContextMenu::Hit;
        else
            return;
    }
    QMenu menu(this);
    for (int id : context_menu(which)) {
        if (id == 0)
            menu.addSeparator();
        else
            menu.addAction(actions_[id]);
    }
    menu.exec(source->mapToGlobal(pos));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == search_combo_->lineEdit()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            on_search_entered();
            return true;
        }
    }
    // Tool tips are shown only while they are switched on.
    if (event->type() == QEvent::ToolTip && !ctx_.settings.options.tool_tips) return true;
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace orbisto::gui
