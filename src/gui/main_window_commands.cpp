// The main window's command handlers. Declared in main_window.h.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "catalog/bulk.h"
#include "catalog/catalog_compact.h"
#include "catalog/catalog_edit.h"
#include "catalog/catalog_store.h"
#include "catalog/category_edit.h"
#include "catalog/media_list.h"
#include "gui/dialogs.h"
#include "gui/dir_tree_model.h"
#include "gui/file_list_model.h"
#include "gui/hit_list_model.h"
#include "gui/main_window.h"
#include "gui/media_list_model.h"
#include "gui/qt_text.h"
#include "platform/volumes.h"
#include "scan/scan_medium.h"
#include "search/search_engine.h"
#include "search/search_entry.h"
#include "session/context.h"
#include "session/medium_commands.h"
#include "settings/settings_copy.h"
#include "settings/settings_io.h"

namespace orbisto::gui {

void MainWindow::run_command(int id) {
    // While a long operation runs, commands wait for its end; a command that
    // arrives while another one runs (its pump, its dialog) is dropped.
    if (busy_ || ctx_.busy || in_command_ > 0) return;
    ++in_command_;
    dispatch(id);
    --in_command_;
}

void MainWindow::dispatch(int id) {
    if (id >= kCmdCategoryBase) {
        cmd_move_to_category(id - kCmdCategoryBase);
        return;
    }
    switch (id) {
        case kCmdSaveMedium:
            return cmd_save();
        case kCmdDeleteWithoutComment:
            return cmd_delete_without_comment();
        case kCmdDeleteSelection:
        case kCmdDelete:
        case kCmdDeleteDir:
        case kCmdDeleteTreeNode:
            return cmd_delete_selection();
        case kCmdDeleteMedium:
            return cmd_delete_medium();
        case kCmdScanPath:
            return cmd_scan_path();
        case kCmdNewMedium:
            return cmd_new_medium();
        case kCmdUpdateMedium:
            return cmd_update(false);
        case kCmdUpdatePath:
            return cmd_update(true);
        case kCmdIdentify:
            return cmd_identify();
        case kCmdMediumInfo:
            return cmd_medium_info();
        case kCmdExportMedium:
            return cmd_export_medium();
        case kCmdImportMedium:
            return cmd_import_medium();
        case kCmdSaveConfigAs:
            return cmd_save_config_as();
        case kCmdExit:
            // The close runs after this command, so its question may open.
            QTimer::singleShot(0, this, &QWidget::close);
            return;
        case kCmdRemoveSelection:
            list_->clearSelection();
            return;
        case kCmdFont:
            return cmd_font();
        case kCmdViewReport:
        case kCmdViewList:
        case kCmdViewSmallIcons:
        case kCmdViewLargeIcons:
            return cmd_view_mode(id);
        case kCmdFolderStructure:
        case kCmdOnlyWithComment:
        case kCmdReloadLast:
        case kCmdSubcategories:
        case kCmdTooltips:
        case kCmdPreview:
        case kCmdShowCrc:
            return cmd_toggle(id);
        case kCmdColumnsDefault:
            ctx_.settings.columns = ColumnSettings{};
            description_layout_ = false;
            ctx_.settings.options.description_layout = false;
            apply_column_widths();
            return;
        case kCmdColumnsMaxComment: {
            description_layout_ = true;
            ctx_.settings.options.description_layout = true;
            apply_column_widths();
            // The description column takes what the others leave.
            const int last = list_->header()->count() - 1;
            int others = 0;
            for (int i = 0; i < last; ++i)
                if (!list_->isColumnHidden(i)) others += list_->columnWidth(i);
            if (last >= 0)
                list_->setColumnWidth(last, std::max(100, list_->viewport()->width() - others));
            return;
        }
        case kCmdParent:
            return cmd_parent();
        case kCmdPreviousMedium:
            return cmd_step_medium(-1);
        case kCmdNextMedium:
            return cmd_step_medium(+1);
        case kCmdOpenTray:
        case kCmdCloseTray: {
            auto drives = ctx_.scan.volumes().drives();
            const int d = ctx_.scan.selected_drive;
            if (d >= 0 && static_cast<std::size_t>(d) < drives.size()) {
                const std::string& root = drives[static_cast<std::size_t>(d)].root;
                if (id == kCmdOpenTray)
                    ctx_.scan.volumes().eject(root);
                else
                    ctx_.scan.volumes().close_tray(root);
            }
            return;
        }
        case kCmdFocusNext: {
            QWidget* order[] = {media_combo_, search_combo_, tree_, list_};
            int at = 0;
            for (int i = 0; i < 4; ++i)
                if (order[i]->hasFocus() || order[i]->isAncestorOf(QApplication::focusWidget()))
                    at = i;
            // Panes that are not shown (a toolbar cut by a narrow window) are passed.
            for (int step = 1; step <= 4; ++step) {
                QWidget* next = order[(at + step) % 4];
                if (next->isVisible() && next->isEnabled()) {
                    next->setFocus(Qt::TabFocusReason);
                    break;
                }
            }
            return;
        }
        case kCmdMark:
        case kCmdMarkHit:
            return cmd_mark(true);
        case kCmdUnmark:
            return cmd_mark(false);
        case kCmdClipName:
        case kCmdClipPath:
        case kCmdClipFullPath:
            return cmd_clipboard(id);
        case kCmdNegativeList:
            return cmd_negative_list();
        case kCmdSameName:
        case kCmdSameLength:
        case kCmdSameDate:
            return cmd_same(id);
        case kCmdNewCategory:
        case kCmdDeleteCategory:
        case kCmdRenameCategory:
            return cmd_category_edit(id);
        case kCmdInfo:
        case kCmdFileInfo:
        case kCmdDirInfo:
        case kCmdHitInfo:
            return cmd_info();
        case kCmdShowHit:
            return cmd_show_hit();
        case kCmdHelpIndex:
        case kCmdHelp:
        case kCmdKeys:
        case kCmdAbout:
            return cmd_help(id);
        default:
            // The window's own child controls and unknown ids do nothing.
            return;
    }
}

QAction* MainWindow::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::cmd_save() {
    // Nothing loaded and nothing scanned: there is nothing to save (and no
    // empty catalogue is to be made).
    if (ctx_.catalog.current_number() < 0 && !ctx_.catalog.changed()) return;
    const int n = SaveCatalog(ctx_, ctx_.catalog.current_number());
    if (n < 0) return;
    ctx_.settings.state.last_catalog = n;
    on_status(0, qs(t("Datei gespeichert", "file saved")));
    refresh_media_combo();
    refresh_status_counts();
}

void MainWindow::cmd_delete_without_comment() {
    if (ctx_.frontend.message(
            t("Alle Einträge ohne Kommentar löschen?", "delete all entries without a comment?"),
            t("Achtung!", "attention!"), Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    if (delete_files_without_comment(ctx_.catalog) == 0) return;
    compact_records_and_names(ctx_.catalog, ctx_.frontend, ctx_.english());
    // The records are renumbered: hits on this medium would point elsewhere.
    hits_->drop_medium(static_cast<std::uint32_t>(ctx_.catalog.current_number()));
    ctx_.catalog.set_changed(true);
    on_catalog_changed();
}

void MainWindow::cmd_delete_selection() {
    if (list_->model() != files_ && tree_->model() != dirs_) return;
    std::vector<std::uint32_t> chosen = selected_objects();
    // From the tree (its context menu or Del with the tree in focus): the
    // directory shown.
    if (tree_->hasFocus() && tree_->model() == dirs_) chosen = {dir_object(current_dir_)};
    std::erase_if(chosen, [](std::uint32_t r) { return r == dir_object(0); });
    if (chosen.empty()) return;
    if (ctx_.frontend.message(t("Eintrag wirklich löschen?", "really delete entry?"),
                              t("Achtung!", "attention!"), Buttons::YesNo,
                              Icon::Question) != Answer::Yes)
        return;
    // The directory shown keeps its place: compaction moves it down by the
    // directories removed before it; when it goes itself its parent is shown.
    Catalog& cat = ctx_.catalog;
    for (std::uint32_t ref : chosen) {
        if (is_dir_object(ref))
            delete_directory(cat, object_index(ref), [this] { ctx_.frontend.pump(); });
        else
            delete_file(cat, object_index(ref));
    }
    std::uint32_t keep = current_dir_;
    while (keep != 0 && dir_deleted(cat.dirs()[keep])) keep = tree_index_.parent(keep);
    std::uint32_t removed_before = 0;
    for (std::uint32_t d = 1; d < keep; ++d)
        if (dir_deleted(cat.dirs()[d])) ++removed_before;
    compact_records_and_names(cat, ctx_.frontend, ctx_.english());
    cat.set_changed(true);
    hits_->drop_medium(static_cast<std::uint32_t>(cat.current_number()));
    current_dir_ = keep - removed_before;
    on_catalog_changed();
}

void MainWindow::cmd_delete_medium() {
    std::vector<std::size_t> positions;
    bool from_list = false;
    if (current_tab() == MediaTab && list_->model() == media_) {
        for (const QModelIndex& i : list_->selectionModel()->selectedRows())
            positions.push_back(media_->position_at(i.row()));
        from_list = !positions.empty();
    }
    if (positions.empty()) {
        const int row = media_combo_->currentIndex();
        if (row < 0 || static_cast<std::size_t>(row) >= combo_positions_.size()) return;
        positions.push_back(combo_positions_[static_cast<std::size_t>(row)]);
    }
    std::vector<std::uint32_t> numbers;
    for (std::size_t p : positions)
        if (p < ctx_.media.entries.size()) numbers.push_back(ctx_.media.entries[p].catalog_number);
    if (DeleteMedia(ctx_, positions, from_list) > 0) {
        for (std::uint32_t n : numbers)
            if (!ctx_.media.position_of(n)) hits_->drop_medium(n);
        on_catalog_replaced();
        on_media_changed();
    }
}

void MainWindow::cmd_scan_path() {
    int n = -1;
    replace_guarded([&] {
        ctx_.scan.update_mode = false;
        n = ScanMedium(ctx_, ScanMode::Directory);
    });
    after_scan(n);
}

void MainWindow::cmd_new_medium() {
    int n = -1;
    replace_guarded([&] { n = ScanNewMediumCommand(ctx_); });
    after_scan(n);
}

void MainWindow::cmd_update(bool with_path) {
    if (ctx_.catalog.current_number() < 0) return;
    after_scan(UpdateCurrentMediumCommand(ctx_, with_path));
}

void MainWindow::cmd_identify() {
    int n = -1;
    replace_guarded([&] { n = IdentifyMediumCommand(ctx_, false); });
    if (n >= 0) ctx_.settings.state.last_catalog = n;
    on_catalog_replaced();
    on_media_changed();
}

void MainWindow::after_scan(int stored) {
    if (stored >= 0) {
        // A number stored again is a medium read anew: its old hits are void.
        hits_->drop_medium(static_cast<std::uint32_t>(stored));
        ctx_.settings.state.last_catalog = stored;
    }
    on_catalog_replaced();
    on_media_changed();
}

void MainWindow::cmd_medium_info() {
    if (ctx_.catalog.current_number() < 0 && !ctx_.catalog.changed()) return;
    DialogEnv env = frontend_.dialog_env();
    env.category_chosen = [this](int n) { run_command(kCmdCategoryBase + n); };
    const bool was_changed = ctx_.catalog.changed();
    if (medium_sheet(this, ctx_.catalog, t("Medium-Info", "medium-info"), {}, env) &&
        ctx_.catalog.changed() && !was_changed)
        on_catalog_changed();
}

void MainWindow::cmd_export_medium() {
    ExportCatalogue(ctx_);
}

void MainWindow::cmd_import_medium() {
    if (ImportCatalogue(ctx_) >= 0) on_media_changed();
}

void MainWindow::cmd_save_config_as() {
    const auto target =
        ctx_.frontend.choose_save_file(t("Datei für Export", "file for export"),
                                       {{t("INI-Dateien", "INI files"), "*.INI"}}, ".INI");
    if (!target) return;
    // The copy holds this session's settings too.
    store_column_widths();
    write_options(ctx_);
    write_start_state(ctx_);
    SaveSettingsAs(ctx_, *target);
}

void MainWindow::cmd_font() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, list_->font(), this);
    if (!ok) return;
    list_->setFont(font);
    icons_->setFont(font);
    FontSettings& f = ctx_.settings.font;
    f.height = font.pixelSize() > 0 ? -font.pixelSize() : -qRound(font.pointSizeF() * 96 / 72);
    f.weight = font.weight() >= QFont::Bold ? 700 : 400;
    f.italic = font.italic() ? 1 : 0;
    f.underline = font.underline() ? 1 : 0;
    f.strike_out = font.strikeOut() ? 1 : 0;
    f.face_name = utf8(font.family()).substr(0, kFaceNameBufferSize - 1);
}

void MainWindow::cmd_view_mode(int id) {
    const int ids[] = {kCmdViewReport, kCmdViewList, kCmdViewSmallIcons, kCmdViewLargeIcons};
    int style = 0;
    for (int i = 0; i < 4; ++i) {
        actions_[ids[i]]->setChecked(ids[i] == id);
        if (ids[i] == id) style = i;
    }
    ctx_.settings.state.list_view_style = style;
    if (style == 0) {
        list_stack_->setCurrentWidget(list_);
        attach_icon_view();
        return;
    }
    list_stack_->setCurrentWidget(icons_);
    attach_icon_view();
    icons_->setModelColumn(0);
    if (style == 1) {
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(QListView::TopToBottom);
        icons_->setWrapping(true);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize());
    } else {
        const int size = style == 2 ? 16 : 48;
        icons_->setViewMode(QListView::IconMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWrapping(true);
        icons_->setIconSize(QSize(size, size));
        icons_->setGridSize(style == 2 ? QSize(160, 24) : QSize(110, 90));
    }
    icons_->setResizeMode(QListView::Adjust);
}

void MainWindow::cmd_toggle(int id) {
    Options& o = ctx_.settings.options;
    StartState& s = ctx_.settings.state;
    const bool on = actions_[id]->isChecked();
    switch (id) {
        case kCmdFolderStructure:
            folder_structure_ = on;
            refresh_list();
            break;
        case kCmdOnlyWithComment:
            only_with_comment_ = on;
            refresh_list();
            break;
        case kCmdReloadLast:
            o.reload_last = on;
            break;
        case kCmdSubcategories:
            o.include_subcategories = on;
            refresh_media_combo();
            if (current_tab() == MediaTab) refresh_media_list();
            break;
        case kCmdTooltips:
            o.tool_tips = on;
            break;
        case kCmdPreview:
            s.show_preview = on;
            preview_->setVisible(on);
            refresh_preview();
            break;
        case kCmdShowCrc:
            s.show_crc = on;
            apply_options();
            break;
    }
}

void MainWindow::cmd_parent() {
    if (current_tab() != MediumTab || current_dir_ == 0) return;
    const std::uint32_t child = current_dir_;
    show_dir(tree_index_.parent(current_dir_));
    // The directory we came from stays selected in the list.
    const int row = files_->row_of(dir_object(child));
    if (row >= 0) list_->setCurrentIndex(files_->index(row, 0));
}

void MainWindow::cmd_step_medium(int step) {
    const int row = media_combo_->currentIndex() + step;
    if (row < 0 || row >= media_combo_->count() || media_combo_->currentIndex() < 0) return;
    load_medium_at(combo_positions_[static_cast<std::size_t>(row)]);
}

void MainWindow::cmd_mark(bool on) {
    std::vector<std::uint32_t> chosen = selected_objects();
    if (list_->model() == hits_) {
        // A hit of the loaded medium is marked in its record.
        for (const QModelIndex& i : list_->selectionModel()->selectedRows()) {
            const HitRow* r = hits_->row(i.row());
            if (r && static_cast<int>(r->catalog_number) == ctx_.catalog.current_number())
                chosen.push_back(r->object);
        }
    }
    if (chosen.empty() && tree_->hasFocus() && current_dir_ != 0)
        chosen = {dir_object(current_dir_)};
    bool changed = false;
    Catalog& cat = ctx_.catalog;
    for (std::uint32_t ref : chosen) {
        const std::uint32_t i = object_index(ref);
        std::uint32_t* flags = nullptr;
        if (is_dir_object(ref) && i < cat.dir_count()) flags = &cat.dirs()[i].flags;
        if (!is_dir_object(ref) && i < cat.file_count()) flags = &cat.files()[i].flags;
        if (!flags || ((*flags & FLAG_MARKED) != 0) == on) continue;
        *flags = on ? (*flags | FLAG_MARKED) : (*flags & ~FLAG_MARKED);
        changed = true;
    }
    if (!changed) return;
    cat.set_changed(true);
    Q_EMIT files_->dataChanged(files_->index(0, 0), files_->index(files_->rows() - 1, 0));
    if (current_tab() == FavouritesTab) refresh_favourites();
    count_marked();
    refresh_status_counts();
}

void MainWindow::cmd_clipboard(int id) {
    QString name, path;
    if (list_->model() == hits_) {
        const HitRow* r = hits_->row(list_->currentIndex().row());
        if (!r) return;
        name = one_line(r->name.starts_with("(TN) ") ? r->name.substr(5) : r->name);
        path = one_line(r->path);
    } else if (has_current_object() &&
               (list_->model() == files_ || list_->model() == favourites_)) {
        const std::uint32_t ref = current_object();
        const std::uint32_t i = object_index(ref);
        const Catalog& cat = ctx_.catalog;
        name = one_line(is_dir_object(ref) ? cat.dir_name(i) : cat.file_name(i));
        path = one_line(is_dir_object(ref)
                            ? cat.dir_path(tree_index_.parent(i))
                            : cat.dir_path(i < cat.file_count() ? cat.files()[i].parent : 0));
    } else if (tree_->model() == dirs_ && current_dir_ != 0) {
        name = one_line(ctx_.catalog.dir_name(current_dir_));
        path = one_line(ctx_.catalog.dir_path(tree_index_.parent(current_dir_)));
    } else {
        return;
    }
    QString text = name;
    if (id == kCmdClipPath) text = path;
    if (id == kCmdClipFullPath) text = path.isEmpty() ? name : path + QLatin1Char('/') + name;
    QApplication::clipboard()->setText(text);
}

void MainWindow::cmd_negative_list() {
    if (!has_current_object()) return;
    const std::uint32_t ref = current_object();
    const std::uint32_t i = object_index(ref);
    const std::string name(is_dir_object(ref) ? ctx_.catalog.dir_name(i)
                                              : ctx_.catalog.file_name(i));
    if (append_kill_file(ctx_, name))
        on_status(0, qs(t("in Negativliste: ", "in negative list: ")) + one_line(name));
}

void MainWindow::cmd_same(int id) {
    if (!has_current_object() || list_->model() != files_) return;
    const std::uint32_t ref = current_object();
    const bool shift = QApplication::keyboardModifiers() & Qt::ShiftModifier;
    hits_->clear();
    bool ran = false;
    if (id == kCmdSameName) ran = SearchSameName(ctx_, ref, shift);
    if (id == kCmdSameLength) ran = SearchSameLength(ctx_, ref, shift);
    if (id == kCmdSameDate) ran = SearchSameDate(ctx_, ref, shift);
    if (ran) {
        hits_->flush();
        set_tab(ResultTab);
    }
}

void MainWindow::cmd_move_to_category(int n) {
    const int number = ctx_.catalog.current_number();
    if (number < 0) return;
    // Only existing categories; the medium's own category is no move.
    if (n < 0 || n >= ctx_.categories.count()) return;
    const auto pos = ctx_.media.position_of(static_cast<std::uint32_t>(number));
    if (!pos || static_cast<int>(ctx_.media.entries[*pos].category) == n) return;
    const std::size_t positions[] = {*pos};
    MoveMediaToCategory(ctx_, positions, n, shown_category_);
    on_media_changed();
}

void MainWindow::cmd_category_edit(int id) {
    const int c = CategoryTreeModel::category_of(tree_->currentIndex());
    if (tree_->model() != categories_) return;
    if (id == kCmdNewCategory) {
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, qs(t("neue Kategorie", "new category")),
                                  qs(t("Name:", "name:")), QLineEdit::Normal, QString(), &ok);
        if (!ok || name.trimmed().isEmpty()) return;
        CreateCategory(ctx_, utf8(name), ctx_.categories.is_user_category(c) ? c : 0);
    } else if (id == kCmdRenameCategory) {
        if (!ctx_.categories.is_user_category(c)) return;
        bool ok = false;
        const QString name = QInputDialog::getText(
            this, qs(t("Kategorie umbenennen", "rename category")), qs(t("Name:", "name:")),
            QLineEdit::Normal, qs(ctx_.categories.name(c)), &ok);
        if (!ok) return;
        RenameCategory(ctx_, c, utf8(name));
    } else {
        if (!ctx_.categories.is_user_category(c)) return;
        if (ctx_.frontend.message(ctx_.categories.name(c),
                                  t("Kategorie löschen", "delete category"), Buttons::YesNo,
                                  Icon::Question) != Answer::Yes)
            return;
        DeleteCategory(ctx_, c);
    }
    on_categories_changed();
    on_media_changed();
}

void MainWindow::cmd_info() {
    // On a hit: the hit's medium is shown first, then the entry's sheet.
    if (list_->model() == hits_) {
        if (!hits_->row(list_->currentIndex().row())) return;
        cmd_show_hit();
        if (list_->model() != files_) return;
    }
    if (!has_current_object() || (list_->model() != files_ && list_->model() != favourites_))
        return;
    if (object_sheet(this, ctx_.catalog, current_object(), frontend_.dialog_env()))
        on_catalog_changed();
}

void MainWindow::cmd_show_hit() {
    const HitRow* r = hits_->row(list_->currentIndex().row());
    if (!r) return;
    const std::uint32_t object = r->object;
    const int number = static_cast<int>(r->catalog_number & 0xFFFF);
    if (number != ctx_.catalog.current_number()) {
        bool loaded = false;
        replace_guarded([&] { loaded = LoadCatalog(ctx_, number); });
        if (!loaded) return;
        ctx_.settings.state.last_catalog = number;
    }
    set_tab(MediumTab);
    const Catalog& cat = ctx_.catalog;
    const std::uint32_t i = object_index(object);
    std::uint32_t dir = 0;
    if (is_dir_object(object))
        dir = i < cat.dir_count() ? tree_index_.parent(i) : 0;
    else
        dir = i < cat.file_count() ? cat.files()[i].parent : 0;
    show_dir(dir < tree_index_.dir_count() ? dir : 0);
    const int row = files_->row_of(object);
    if (row >= 0) {
        list_->setCurrentIndex(files_->index(row, 0));
        list_->scrollTo(files_->index(row, 0));
    }
    list_->setFocus();
}

QString MainWindow::help_index() const {
    // The help pages lie beside the program (a build, a portable copy) or in
    // the installed data folder.
    const QString exe_dir = QCoreApplication::applicationDirPath();
    for (const QString& candidate :
         {exe_dir + QStringLiteral("/help/index.html"),
          exe_dir + QStringLiteral("/../share/orbisto/help/index.html"),
          QFileInfo(qs(ctx_.paths.help_file)).absolutePath() + QStringLiteral("/help/index.html"),
          QStringLiteral(ORBISTO_DATA_DIR "/help/index.html")}) {
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

void MainWindow::cmd_help(int id) {
    if (id == kCmdAbout) {
        QMessageBox::about(
            this, qs(t("Über Orbisto", "about Orbisto")),
            qs(window_title()) +
                qs(t("\nKatalogisiert CDs, DVDs, USB-Platten, Netzlaufwerke und Ordner.",
                     "\ncatalogues CDs, DVDs, USB disks, network shares and folders.")));
        return;
    }
    if (id == kCmdKeys) {
        QString text;
        for (const CommandDef& c : command_table()) {
            if (!*c.key) continue;
            QString label = qs(ctx_.english() ? c.en : c.de);
            label = label.section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
            text += QStringLiteral("%1\t%2\n").arg(QString::fromLatin1(c.key), label);
        }
        text += qs(t("Num 2\tvoriges Medium\nNum 8\tnächstes Medium\nTab\tnächster Bereich\n",
                     "Num 2\tprevious medium\nNum 8\tnext medium\nTab\tnext pane\n"));
        QMessageBox box(QMessageBox::Information, qs(t("Tastatur", "keys")), text, QMessageBox::Ok,
                        this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    const QString page = help_index();
    if (!page.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
        return;
    }
    ctx_.frontend.message(t("Hilfe nicht gefunden", "help not found"), t("Hilfe", "help"),
                          Buttons::Ok, Icon::Information);
}

}  // namespace orbisto::gui
