// The main window: toolbar with the media selector, the four tabs with the
// search box, the tree and the list with their split bar, the preview pane
// and the status bar. It shows the run's Catalog, media list, categories
// and hit list through item models over them, and turns commands, keys,
// context menus, drops and device events into calls of the core.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "catalog/catalog_tree.h"
#include "gui/command_table.h"
#include "gui/gui_frontend.h"

class QAction;
class QAbstractItemModel;
class QStyledItemDelegate;
class QSocketNotifier;
class QComboBox;
class QLabel;
class QListView;
class QMenu;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QTreeView;

namespace orbisto {
struct Context;
class MountWatch;
}  // namespace orbisto

namespace orbisto::gui {

class DirTreeModel;
class FileListModel;
class HitListModel;
class MediaListModel;
class CategoryTreeModel;

class MainWindow : public QMainWindow, public SessionView {
    Q_OBJECT
  public:
    enum Tab { MediumTab = 0, ResultTab = 1, FavouritesTab = 2, MediaTab = 3 };

    MainWindow(Context& ctx, GuiFrontend& frontend);
    ~MainWindow() override;

    // What the window's creation does once it is shown: the media list, the
    // last category and medium; then the ready flag.
    void initialize();

    // What the run mode of the command line asks once the window is up:
    // --search and --ssearch search for the file name and show the result.
    void start_run_mode();

    // Runs a command as the menu, a key or a context menu would.
    void run_command(int id);
    QAction* action(int id) const;

    // The view state, for tests and the status line.
    int current_tab() const;
    void set_tab(int tab);
    std::uint32_t current_dir() const { return current_dir_; }
    void show_dir(std::uint32_t dir);
    QTreeView* tree_view() const { return tree_; }
    QTreeView* list_view() const { return list_; }
    QComboBox* media_combo() const { return media_combo_; }
    QComboBox* search_combo() const { return search_combo_; }
    FileListModel* file_model() const { return files_; }
    HitListModel* hit_model() const { return hits_; }
    MediaListModel* media_model() const { return media_; }
    QString status_part(int part) const;
    // The help pages' index file, or empty when none is installed.
    QString help_index() const;
    // The bytes of the window's own index arrays over the Catalog.
    std::size_t view_memory_bytes() const;
    // The shown category of the media selector and the media list.
    int shown_category() const { return shown_category_; }
    // The changed-flag question "Datei schreiben?" with Yes/No/Cancel.
    enum class SaveAnswer { Unchanged, Saved, Discarded, Cancelled };
    SaveAnswer ask_save_discard_cancel();
    // The question, then `replace` (which may put another medium into the
    // Catalog). Cancel, or a save that failed, runs nothing (false). After No
    // the edits are given up only when `replace` really replaced the
    // Catalog; otherwise they stay, still marked as changed.
    bool replace_guarded(const std::function<void()>& replace);
    // The question for the ways out (close, logout): false to stay.
    bool confirm_discard_or_save();
    // Scans each path as a new medium (a drop on the window).
    void scan_dropped_paths(const QStringList& paths);
    // The arrival of media in these drives (the mount table changed).
    void media_arrived(const std::vector<int>& drives);
    // The mount table signalled a change: the drives that arrived since the
    // last look are handed to the arrival rules.
    void on_mount_table_changed();

    // SessionView
    void on_catalog_replaced() override;
    void on_catalog_changed() override;
    void on_media_changed() override;
    void on_categories_changed() override;
    void on_hits_changed() override;
    void on_long_operation(bool running) override;
    void on_status(int part, const QString& text) override;
    void on_title(const QString& text) override;
    void on_window_action(WindowAction action) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build_actions();
    void build_menus();
    void build_central();
    void apply_language();
    void apply_options();
    void restore_placement();
    void save_placement();
    void refresh_media_combo();
    void refresh_search_history();
    void refresh_list();
    void refresh_favourites();
    void refresh_media_list();
    void refresh_status_counts();
    void count_marked();
    void refresh_preview();
    void apply_column_widths();
    double column_scale() const;
    void attach_icon_view();
    void store_column_widths();
    void on_tree_selected();
    void on_list_activated(const QModelIndex& index);
    void on_media_combo_chosen(int row);
    void on_search_entered();
    void on_header_clicked(int column);
    void show_context_menu(const QPoint& pos, bool on_tree);
    void load_medium_at(std::size_t media_position);
    void show_category(int category);
    bool write_on_exit();

    // Command handlers (main_window_commands.cpp).
    void dispatch(int id);
    void after_scan(int stored);
    void cmd_save();
    void cmd_delete_without_comment();
    void cmd_delete_selection();
    void cmd_delete_medium();
    void cmd_scan_path();
    void cmd_new_medium();
    void cmd_update(bool with_path);
    void cmd_identify();
    void cmd_medium_info();
    void cmd_export_medium();
    void cmd_import_medium();
    void cmd_save_config_as();
    void cmd_font();
    void cmd_view_mode(int id);
    void cmd_toggle(int id);
    void cmd_parent();
    void cmd_step_medium(int step);
    void cmd_mark(bool on);
    void cmd_clipboard(int id);
    void cmd_negative_list();
    void cmd_same(int id);
    void cmd_move_to_category(int n);
    void cmd_category_edit(int id);
    void cmd_info();
    void cmd_show_hit();
    void cmd_help(int id);

    // The selected objects of the file list (object references).
    std::vector<std::uint32_t> selected_objects() const;
    std::uint32_t current_object() const;
    bool has_current_object() const;
    const char* t(const char* de, const char* en) const;

    Context& ctx_;
    GuiFrontend& frontend_;
    CatalogTree tree_index_;
    std::map<int, QAction*> actions_;
    std::unique_ptr<MountWatch> mount_watch_;
    QSocketNotifier* mount_notifier_ = nullptr;
    QMenu* category_menu_ = nullptr;

    QComboBox* media_combo_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QLabel* search_label_ = nullptr;
    QComboBox* search_combo_ = nullptr;
    QSplitter* split_ = nullptr;
    QSplitter* preview_split_ = nullptr;
    QTreeView* tree_ = nullptr;
    QTreeView* list_ = nullptr;
    QListView* icons_ = nullptr;
    QStackedWidget* list_stack_ = nullptr;
    QLabel* preview_ = nullptr;
    QLabel* status_[3] = {};

    DirTreeModel* dirs_ = nullptr;
    FileListModel* files_ = nullptr;
    FileListModel* favourites_ = nullptr;
    HitListModel* hits_ = nullptr;
    MediaListModel* media_ = nullptr;
    CategoryTreeModel* categories_ = nullptr;
    QStyledItemDelegate* row_painter_ = nullptr;
    QStyledItemDelegate* standard_painter_ = nullptr;

    struct MarkedCounts {
        std::size_t marked = 0;
        std::size_t total = 0;
        double marked_kb = 0;
    };
    MarkedCounts marked_;
    const QAbstractItemModel* widths_shown_ = nullptr;  // the list model the widths were applied to
    std::uint32_t current_dir_ = 0;
    int shown_category_ = 0;
    std::vector<std::size_t> combo_positions_;  // MediaList position per combo row
    bool folder_structure_ = true;
    bool only_with_comment_ = false;
    bool busy_ = false;
    int in_command_ = 0;                 // a command (and its dialogs) is running
    std::vector<int> pending_arrivals_;  // drives that arrived while a command ran
    bool close_after_operation_ = false;
    int last_tab_ = 0;
    bool refreshing_ = false;
    bool closing_ = false;
    bool description_layout_ = false;
};

}  // namespace orbisto::gui
