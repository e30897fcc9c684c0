#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSocketNotifier>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "gui/dir_tree_model.h"
#include "gui/file_list_model.h"
#include "gui/hit_list_model.h"
#include "gui/media_list_model.h"
#include "gui/qt_text.h"
#include "gui/row_painter.h"
#include "gui/thumbnail_pixmap.h"
#include "platform/mount_watch.h"
#include "session/context.h"
#include "settings/settings_io.h"

namespace orbisto::gui {

MainWindow::MainWindow(Context& ctx, GuiFrontend& frontend) : ctx_(ctx), frontend_(frontend) {
    setObjectName(QStringLiteral("Orbisto"));
    setWindowTitle(qs(window_title()));
    setAcceptDrops(true);
    tree_index_.build(ctx_.catalog);

    dirs_ = new DirTreeModel(ctx_.catalog, tree_index_, this);
    files_ = new FileListModel(ctx_.catalog, tree_index_, this);
    favourites_ = new FileListModel(ctx_.catalog, tree_index_, this);
    hits_ = new HitListModel(
        [this](std::uint32_t number) -> QString {
            const auto pos = ctx_.media.position_of(number);
            if (!pos) return QString::number(number);
            return one_line(fixed_text(ctx_.media.entries[*pos].medium_name));
        },
        this);
    media_ = new MediaListModel(ctx_.media, this);
    categories_ = new CategoryTreeModel(ctx_.categories, this);
    row_painter_ = new RowPainter(this);
    standard_painter_ = new QStyledItemDelegate(this);

    build_actions();
    build_central();
    // Media dragged from the list onto a category move there.
    connect(categories_, &CategoryTreeModel::media_dropped, this,
            [this](std::vector<std::size_t> positions, int category) {
                if (busy_ || ctx_.busy) return;
                MoveMediaToCategory(ctx_, positions, category, shown_category_);
                on_media_changed();
            });
    // A model that is reset keeps the column widths the user gave.
    for (QAbstractItemModel* m :
         {static_cast<QAbstractItemModel*>(files_), static_cast<QAbstractItemModel*>(favourites_),
          static_cast<QAbstractItemModel*>(hits_), static_cast<QAbstractItemModel*>(media_)}) {
        connect(m, &QAbstractItemModel::modelAboutToBeReset, this, [this, m] {
            if (list_->model() == m) store_column_widths();
        });
        connect(m, &QAbstractItemModel::modelReset, this, [this, m] {
            if (list_->model() == m) apply_column_widths();
        });
    }
    build_menus();
    apply_language();
    apply_options();

    // Hits are taken while their catalogue is in memory.
    ctx_.search.on_hit = [this](const Catalog& cat, const HitRecord& hit, const HitDetail& d) {
        if (hits_->rows() == 0) hits_->set_mode(ctx_.settings.search.mode);
        hits_->add_hit(cat, hit, d);
    };
}

MainWindow::~MainWindow() {
    delete mount_notifier_;
    ctx_.search.on_hit = nullptr;
}

const char* MainWindow::t(const char* de, const char* en) const {
    return ctx_.tr(de, en);
}

void MainWindow::build_actions() {
    for (const CommandDef& c : command_table()) {
        auto* a = new QAction(this);
        a->setObjectName(QStringLiteral("cmd%1").arg(c.id));
        a->setData(c.id);
        a->setCheckable(c.checkable);
        if (*c.key) a->setShortcut(QKeySequence(QString::fromLatin1(c.key)));
        connect(a, &QAction::triggered, this, [this, id = c.id] { run_command(id); });
        actions_[c.id] = a;
        addAction(a);  // shortcuts work without a menu entry too
    }
    // The numeric pad steps through the media of the category.
    actions_[kCmdPreviousMedium]->setShortcut(QKeySequence(Qt::KeypadModifier | Qt::Key_2));
    actions_[kCmdNextMedium]->setShortcut(QKeySequence(Qt::KeypadModifier | Qt::Key_8));
    // Del and Esc act on the lists, not on the text being typed in a box.
    for (int id : {kCmdDeleteSelection, kCmdParent})
        actions_[id]->setShortcutContext(Qt::WidgetWithChildrenShortcut);
}

void MainWindow::build_menus() {
    for (MenuGroup g : {MenuGroup::File, MenuGroup::View, MenuGroup::Options, MenuGroup::Help}) {
        QMenu* menu = menuBar()->addMenu(QString());
        menu->setObjectName(QStringLiteral("menu%1").arg(static_cast<int>(g)));
        for (const CommandDef& c : command_table()) {
            if (c.menu != g) continue;
            if (c.separator_before && !menu->isEmpty()) menu->addSeparator();
            menu->addAction(actions_[c.id]);
        }
    }
}

void MainWindow::build_central() {
    auto* toolbar = addToolBar(QStringLiteral("toolbar"));
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setMovable(false);
    const QStyle* st = style();
    const std::pair<int, QStyle::StandardPixmap> buttons[] = {
        {kCmdNewMedium, QStyle::SP_DriveCDIcon},
        {kCmdScanPath, QStyle::SP_DirOpenIcon},
        {kCmdSaveMedium, QStyle::SP_DialogSaveButton},
        {kCmdIdentify, QStyle::SP_FileDialogContentsView},
        {kCmdMediumInfo, QStyle::SP_FileDialogInfoView},
        {kCmdDeleteSelection, QStyle::SP_TrashIcon},
        {kCmdParent, QStyle::SP_FileDialogToParent},
    };
    for (const auto& [id, pixmap] : buttons) {
        actions_[id]->setIcon(st->standardIcon(pixmap));
        toolbar->addAction(actions_[id]);
    }
    toolbar->addSeparator();
    media_combo_ = new QComboBox(toolbar);
    media_combo_->setObjectName(QStringLiteral("media"));
    media_combo_->setMinimumWidth(300);
    media_combo_->setMaxVisibleItems(30);
    toolbar->addWidget(media_combo_);
    connect(media_combo_, &QComboBox::activated, this, &MainWindow::on_media_combo_chosen);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* top = new QHBoxLayout;
    tabs_ = new QTabBar(central);
    tabs_->setObjectName(QStringLiteral("tabs"));
    for (int i = 0; i < 4; ++i) tabs_->addTab(QString());
    search_label_ = new QLabel(QStringLiteral("suche:"), central);
    search_combo_ = new QComboBox(central);
    search_combo_->setObjectName(QStringLiteral("search"));
    search_combo_->setEditable(true);
    search_combo_->setMinimumWidth(200);
    search_combo_->setInsertPolicy(QComboBox::NoInsert);
    search_combo_->lineEdit()->setMaxLength(128);
    top->addWidget(tabs_);
    top->addStretch();
    top->addWidget(search_label_);
    top->addWidget(search_combo_);
    layout->addLayout(top);
    connect(tabs_, &QTabBar::currentChanged, this, &MainWindow::set_tab);
    // Enter in the search box is taken here once (the line edit and the
    // combo box would each see it).
    search_combo_->lineEdit()->installEventFilter(this);

    split_ = new QSplitter(Qt::Horizontal, central);
    split_->setObjectName(QStringLiteral("split"));
    tree_ = new QTreeView(split_);
    tree_->setObjectName(QStringLiteral("tree"));
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->setAcceptDrops(true);
    tree_->setDropIndicatorShown(true);
    tree_->setDragDropMode(QAbstractItemView::DropOnly);
    preview_split_ = new QSplitter(Qt::Horizontal, split_);
    list_stack_ = new QStackedWidget(preview_split_);
    list_ = new QTreeView(list_stack_);
    list_->setObjectName(QStringLiteral("list"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setDragEnabled(true);
    list_->setDragDropMode(QAbstractItemView::DragOnly);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->header()->setSectionsClickable(true);
    list_->header()->setSortIndicatorShown(false);
    list_->header()->setStretchLastSection(true);
    icons_ = new QListView(list_stack_);
    icons_->setObjectName(QStringLiteral("icons"));
    icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    icons_->setContextMenuPolicy(Qt::CustomContextMenu);
    icons_->setUniformItemSizes(true);
    list_stack_->addWidget(list_);
    list_stack_->addWidget(icons_);
    preview_ = new QLabel(preview_split_);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setMinimumWidth(64);
    layout->addWidget(split_, 1);
    setCentralWidget(central);

    for (QWidget* w : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(list_),
                       static_cast<QWidget*>(icons_)})
        for (int id : {kCmdDeleteSelection, kCmdParent}) w->addAction(actions_[id]);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &MainWindow::on_header_clicked);
    connect(list_, &QTreeView::activated, this, &MainWindow::on_list_activated);
    connect(icons_, &QListView::activated, this, &MainWindow::on_list_activated);
    connect(tree_, &QTreeView::customContextMenuRequested, this,
            [this](const QPoint& p) { show_context_menu(p, true); });
    connect(list_, &QTreeView::customContextMenuRequested, this,
            [this](const QPoint& p) { show_context_menu(p, false); });
    connect(icons_, &QListView::customContextMenuRequested, this,
            [this](const QPoint& p) { show_context_menu(p, false); });

    // Tab moves the focus through the four panes in turn.
    setTabOrder(media_combo_, search_combo_);
    setTabOrder(search_combo_, tree_);
    setTabOrder(tree_, list_);
    setTabOrder(list_, media_combo_);

    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel(this);
        status_[i]->setObjectName(QStringLiteral("status%1").arg(i));
        status_[i]->setTextFormat(Qt::PlainText);
    }
    // The right edges of the first two parts lie 380 and 80 units left of the
    // window's right edge.
    status_[1]->setFixedWidth(300);
    status_[2]->setFixedWidth(80);
    statusBar()->addWidget(status_[0], 1);
    statusBar()->addPermanentWidget(status_[1]);
    statusBar()->addPermanentWidget(status_[2]);

    tree_->setModel(dirs_);
    list_->setModel(files_);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MainWindow::on_tree_selected);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MainWindow::refresh_preview);
}

void MainWindow::apply_language() {
    const bool en = ctx_.english();
    for (const CommandDef& c : command_table()) actions_[c.id]->setText(qs(en ? c.en : c.de));
    const auto menus = menuBar()->actions();
    const MenuGroup groups[] = {MenuGroup::File, MenuGroup::View, MenuGroup::Options,
                                MenuGroup::Help};
    for (int i = 0; i < menus.size() && i < 4; ++i)
        menus[i]->setText(qs(menu_title(groups[i], en)));
    const char* const de_tabs[] = {"Medien-Anzeige ", "Such-Ergebnis ", "Favoriten",
                                   "Medien-Liste"};
    const char* const en_tabs[] = {"media-view ", "search result", "favorites", "media-list "};
    for (int i = 0; i < 4; ++i) tabs_->setTabText(i, qs(en ? en_tabs[i] : de_tabs[i]));
    RowOptions o = files_->options();
    o.english = en;
    files_->set_options(o);
    favourites_->set_options(o);
    hits_->set_options(o);
    media_->set_english(en);
}

void MainWindow::apply_options() {
    const Options& opt = ctx_.settings.options;
    const StartState& st = ctx_.settings.state;
    RowOptions o;
    o.english = ctx_.english();
    o.group_digits = opt.group_digits;
    o.show_crc = st.show_crc;
    o.type_names = opt.comments_from_registry;
    o.tree = &tree_index_;
    files_->set_options(o);
    favourites_->set_options(o);
    hits_->set_options(o);
    media_->set_group_digits(opt.group_digits);
    description_layout_ = opt.description_layout;

    actions_[kCmdFolderStructure]->setChecked(folder_structure_);
    actions_[kCmdOnlyWithComment]->setChecked(only_with_comment_);
    actions_[kCmdReloadLast]->setChecked(opt.reload_last);
    actions_[kCmdSubcategories]->setChecked(opt.include_subcategories);
    actions_[kCmdTooltips]->setChecked(opt.tool_tips);
    actions_[kCmdPreview]->setChecked(st.show_preview);
    actions_[kCmdShowCrc]->setChecked(st.show_crc);
    const int view_ids[] = {kCmdViewReport, kCmdViewList, kCmdViewSmallIcons, kCmdViewLargeIcons};
    for (int i = 0; i < 4; ++i) actions_[view_ids[i]]->setChecked(st.list_view_style == i);
    preview_->setVisible(st.show_preview);
    // The program's own row painter, or the standard one.
    list_->setItemDelegate(opt.own_list_drawing ? row_painter_ : standard_painter_);
    // The list font of the settings; the system font while none is stored.
    const FontSettings& f = ctx_.settings.font;
    if (f.height != -1 && !f.face_name.empty()) {
        QFont font(qs(f.face_name));
        if (f.height != 0) font.setPixelSize(std::abs(f.height));
        font.setBold(f.weight >= 600);
        font.setItalic(f.italic > 0);
        font.setUnderline(f.underline > 0);
        font.setStrikeOut(f.strike_out > 0);
        list_->setFont(font);
        icons_->setFont(font);
    }
    cmd_view_mode(view_ids[std::clamp(st.list_view_style, 0, 3)]);
}

void MainWindow::initialize() {
    restore_placement();
    refresh_search_history();
    BuildMediaList(ctx_);
    // The last medium, when it is still listed in the last category, is
    // loaded first, so that the category view picks it.
    const StartState& st = ctx_.settings.state;
    const auto last = ctx_.media.position_of(static_cast<std::uint32_t>(st.last_catalog));
    if (last && IsMemberOfCategory(ctx_.categories, ctx_.settings.options.include_subcategories,
                                   ctx_.media.entries[*last], st.last_category))
        LoadCatalog(ctx_, st.last_catalog);
    show_category(st.last_category);
    set_tab(ctx_.settings.state.show_media_list ? MediaTab : MediumTab);
    // Media arriving in the drives: the kernel marks the mount table.
    mount_watch_ = std::make_unique<MountWatch>(ctx_.scan.volumes());
    if (mount_watch_->fd() >= 0) {
        mount_notifier_ = new QSocketNotifier(mount_watch_->fd(), QSocketNotifier::Exception, this);
        connect(mount_notifier_, &QSocketNotifier::activated, this,
                &MainWindow::on_mount_table_changed);
    }
    if (std::find(ctx_.packers.found.begin(), ctx_.packers.found.end(), 0) !=
        ctx_.packers.found.end())
        on_status(0, qs(t("nicht alle Packer vorhanden (siehe ORBISTO3.LOG)",
                          "not all compression utilities available (see ORBISTO3.LOG)")));
    ctx_.ready = true;
}

void MainWindow::restore_placement() {
    const WindowPlacement p = read_placement(ctx_, "Orbisto");
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect r(avail.left() + p.left, avail.top() + p.top, p.right - p.left, p.bottom - p.top);
    // The stored default (400 x 300) cannot show the toolbar, the tabs and
    // both panes; a window that small opens at a size that can.
    if (r.width() < 640 || r.height() < 400) r.setSize(QSize(1000, 700).boundedTo(avail.size()));
    // A placement from another screen layout is pulled back onto this one.
    if (!avail.intersects(r)) r.moveTopLeft(avail.topLeft() + QPoint(10, 10));
    setGeometry(r);
    if (p.show_cmd == 3) setWindowState(Qt::WindowMaximized);
    const int split = std::clamp(ctx_.settings.state.split_percent, 5, 95);
    split_->setSizes({r.width() * split / 100, r.width() * (100 - split) / 100});
    const int split3 = std::clamp(ctx_.settings.state.split3_percent, 5, 95);
    const int right = r.width() * (100 - split) / 100;
    preview_split_->setSizes({right * (100 - split3) / 100, right * split3 / 100});
}

void MainWindow::save_placement() {
    WindowPlacement p;
    const QScreen* screen = this->screen();
    const QRect avail = screen ? screen->availableGeometry() : QRect();
    const QRect r = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    p.left = r.left() - avail.left();
    p.top = r.top() - avail.top();
    p.right = r.right() + 1 - avail.left();
    p.bottom = r.bottom() + 1 - avail.top();
    p.show_cmd = isMaximized() ? 3 : 1;
    write_placement(ctx_, "Orbisto", p);
    const QList<int> sizes = split_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > 0) ctx_.settings.state.split_percent = sizes.value(0) * 100 / total;
    const QList<int> right = preview_split_->sizes();
    const int rtotal = right.value(0) + right.value(1);
    if (rtotal > 0 && preview_->isVisible())
        ctx_.settings.state.split3_percent = right.value(1) * 100 / rtotal;
}

int MainWindow::current_tab() const {
    return tabs_->currentIndex();
}

void MainWindow::set_tab(int tab) {
    if (tab < 0 || tab > 3) return;
    if (busy_ && tab != last_tab_) {
        // The views stay as they are while a long operation runs.
        tabs_->setCurrentIndex(last_tab_);
        return;
    }
    last_tab_ = tab;
    if (tabs_->currentIndex() != tab) {
        tabs_->setCurrentIndex(tab);  // comes back here through the signal
        return;
    }
    store_column_widths();
    QAbstractItemModel* tree_model = tab == MediaTab ? static_cast<QAbstractItemModel*>(categories_)
                                                     : static_cast<QAbstractItemModel*>(dirs_);
    QAbstractItemModel* list_model = nullptr;
    switch (tab) {
        case MediumTab:
            list_model = files_;
            break;
        case ResultTab:
            list_model = hits_;
            break;
        case FavouritesTab:
            refresh_favourites();
            list_model = favourites_;
            break;
        case MediaTab:
            refresh_media_list();
            list_model = media_;
            break;
    }
    if (tree_->model() != tree_model) {
        tree_->setModel(tree_model);
        connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &MainWindow::on_tree_selected);
        tree_->expandToDepth(0);
        if (tab == MediaTab) {
            tree_->setCurrentIndex(categories_->index_of_category(shown_category_));
        } else {
            tree_->setCurrentIndex(dirs_->index_of_dir(current_dir_));
        }
    }
    if (list_->model() != list_model) {
        list_->setModel(list_model);
        attach_icon_view();
        connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &MainWindow::refresh_preview);
    }
    ctx_.settings.state.show_media_list = tab == MediaTab;
    apply_column_widths();
}

void MainWindow::attach_icon_view() {
    // The icon view holds the list's model only while it is shown: a hidden
    // view that shares it would lay out every row again on every change.
    const bool shown = list_stack_->currentWidget() == icons_;
    if (!shown) {
        icons_->setModel(nullptr);
        return;
    }
    if (icons_->model() != list_->model()) {
        icons_->setModel(list_->model());
        icons_->setSelectionModel(list_->selectionModel());
    }
}

double MainWindow::column_scale() const {
    // Stored widths count pixels of the small font they were made for (six
    // pixels a digit); a larger list font widens them alike, so a header and
    // its values stay readable.
    const double digit =
        list_->fontMetrics().horizontalAdvance(QStringLiteral("0123456789")) / 10.0;
    return std::max(1.0, digit / 6.0);
}

void MainWindow::apply_column_widths() {
    widths_shown_ = list_->model();
    const double scale = column_scale();
    const ColumnSettings& c = ctx_.settings.columns;
    auto apply = [&](const auto& set) {
        const auto& w = description_layout_ ? set.description_layout : set.normal;
        const int n = list_->header()->count();
        for (int i = 0; i < n && i < static_cast<int>(w.size()); ++i) {
            list_->setColumnHidden(i, w[static_cast<std::size_t>(i)] == 0);
            if (w[static_cast<std::size_t>(i)] > 0)
                list_->setColumnWidth(i, qRound(w[static_cast<std::size_t>(i)] * scale));
        }
    };
    switch (current_tab()) {
        case MediumTab:
            apply(c.files);
            break;
        case ResultTab:
            apply(c.results);
            break;
        case FavouritesTab:
            apply(c.files);
            break;
        case MediaTab:
            apply(c.media_list);
            break;
    }
}

void MainWindow::store_column_widths() {
    // Only widths that the list shows from the settings are taken back (a
    // header made fresh has Qt's default sizes, not the user's).
    if (widths_shown_ == nullptr || widths_shown_ != list_->model()) return;
    ColumnSettings& c = ctx_.settings.columns;
    const double scale = column_scale();
    auto store = [&](auto& set) {
        auto& w = description_layout_ ? set.description_layout : set.normal;
        const int n = list_->header()->count();
        for (int i = 0; i < n && i < static_cast<int>(w.size()); ++i)
            if (!list_->isColumnHidden(i))
                w[static_cast<std::size_t>(i)] = qRound(list_->columnWidth(i) / scale);
    };
    if (list_->model() == files_)
        store(c.files);
    else if (list_->model() == hits_)
        store(c.results);
    else if (list_->model() == media_)
        store(c.media_list);
}

void MainWindow::show_dir(std::uint32_t dir) {
    if (dir >= tree_index_.dir_count()) dir = 0;
    current_dir_ = dir;
    files_->show_dir(dir, folder_structure_, only_with_comment_);
    if (tree_->model() == dirs_) {
        const QModelIndex idx = dirs_->index_of_dir(dir);
        if (tree_->currentIndex() != idx) {
            refreshing_ = true;
            tree_->setCurrentIndex(idx);
            refreshing_ = false;
        }
    }
    refresh_status_counts();
}

void MainWindow::refresh_list() {
    show_dir(current_dir_);
}

void MainWindow::refresh_favourites() {
    std::vector<std::uint32_t> marked;
    const Catalog& cat = ctx_.catalog;
    for (std::uint32_t d = 1; d < cat.dir_count(); ++d)
        if ((cat.dirs()[d].flags & FLAG_MARKED) && !dir_deleted(cat.dirs()[d]))
            marked.push_back(dir_object(d));
    for (std::uint32_t f = 0; f < cat.file_count(); ++f)
        if ((cat.files()[f].flags & FLAG_MARKED) && !file_deleted(cat.files()[f]))
            marked.push_back(file_object(f));
    favourites_->show_objects(std::move(marked));
}

void MainWindow::refresh_media_list() {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < ctx_.media.entries.size(); ++i)
        if (IsMemberOfCategory(ctx_.categories, ctx_.settings.options.include_subcategories,
                               ctx_.media.entries[i], shown_category_))
            rows.push_back(i);
    media_->show_positions(std::move(rows));
}

void MainWindow::count_marked() {
    // One pass over the records when the Catalog or its marks change; the
    // status line is redrawn from these counts.
    const Catalog& cat = ctx_.catalog;
    marked_ = MarkedCounts{};
    for (const FileRecord& f : cat.files()) {
        if (file_deleted(f)) continue;
        ++marked_.total;
        if (f.flags & FLAG_MARKED) {
            ++marked_.marked;
            marked_.marked_kb += f.size_kb;
        }
    }
    for (std::uint32_t d = 1; d < cat.dir_count(); ++d)
        if ((cat.dirs()[d].flags & FLAG_MARKED) && !dir_deleted(cat.dirs()[d])) {
            ++marked_.marked;
            marked_.marked_kb += cat.dirs()[d].size_kb;
        }
}

void MainWindow::refresh_status_counts() {
    const Catalog& cat = ctx_.catalog;
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  t("%zu/%zu - %.1f MB/%.1f MB markiert - Hits:%d",
                    "%zu/%zu - %.1f MB/%.1f MB marked - Hits:%d"),
                  marked_.marked, marked_.total, marked_.marked_kb / 1024.0,
                  static_cast<double>(cat.header.total_kb) / 1024.0, hits_->rows());
    status_[1]->setText(QString::fromLatin1(buf));
    status_[2]->setText(
        cat.current_number() >= 0 ? QStringLiteral("%1.cd").arg(cat.current_number()) : QString());
}

void MainWindow::refresh_preview() {
    if (!preview_->isVisible()) return;
    preview_->clear();
    if (list_->model() != files_ && list_->model() != favourites_) return;
    if (!has_current_object()) return;
    const std::uint32_t ref = current_object();
    if (is_dir_object(ref) || object_index(ref) >= ctx_.catalog.file_count()) return;
    const FileRecord& f = ctx_.catalog.files()[object_index(ref)];
    const QImage image = thumbnail_image(ctx_.catalog.image_at(f.thumbnail));
    if (!image.isNull())
        preview_->setPixmap(QPixmap::fromImage(image).scaled(preview_->size(), Qt::KeepAspectRatio,
                                                             Qt::SmoothTransformation));
}

void MainWindow::refresh_search_history() {
    // The stored history, newest first, in the search box's list.
    const QString typed = search_combo_->currentText();
    search_combo_->clear();
    for (const std::string& h : ctx_.settings.search.history)
        if (!h.empty()) search_combo_->addItem(one_line(h));
    search_combo_->setEditText(typed);
}

void MainWindow::refresh_media_combo() {
    refreshing_ = true;
    media_combo_->clear();
    combo_positions_.clear();
    int selected = -1;
    for (std::size_t i = 0; i < ctx_.media.entries.size(); ++i) {
        const MediumHeader& m = ctx_.media.entries[i];
        if (!IsMemberOfCategory(ctx_.categories, ctx_.settings.options.include_subcategories, m,
                                shown_category_))
            continue;
        if (static_cast<int>(m.catalog_number & 0xFFFF) == ctx_.catalog.current_number())
            selected = static_cast<int>(combo_positions_.size());
        combo_positions_.push_back(i);
        media_combo_->addItem(one_line(fixed_text(m.medium_name)));
    }
    media_combo_->setCurrentIndex(selected);
    refreshing_ = false;
}

void MainWindow::show_category(int category) {
    replace_guarded([&] { shown_category_ = ShowCategory(ctx_, category).category; });
    refresh_media_combo();
    if (current_tab() == MediaTab) refresh_media_list();
}

void MainWindow::load_medium_at(std::size_t pos) {
    if (pos >= ctx_.media.entries.size()) return;
    const int number = static_cast<int>(ctx_.media.entries[pos].catalog_number & 0xFFFF);
    replace_guarded([&] {
        if (LoadCatalog(ctx_, number)) ctx_.settings.state.last_catalog = number;
    });
    refresh_media_combo();
}

void MainWindow::on_media_combo_chosen(int row) {
    if (refreshing_ || busy_ || row < 0 || static_cast<std::size_t>(row) >= combo_positions_.size())
        return;
    load_medium_at(combo_positions_[static_cast<std::size_t>(row)]);
}

void MainWindow::on_tree_selected() {
    if (refreshing_ || busy_) return;
    const QModelIndex idx = tree_->currentIndex();
    if (tree_->model() == categories_) {
        const int c = CategoryTreeModel::category_of(idx);
        if (c >= 0 && c != shown_category_)
            show_category(c);
        else
            refresh_media_list();
        return;
    }
    const std::uint32_t d = DirTreeModel::dir_of(idx);
    if (current_tab() != MediumTab) set_tab(MediumTab);
    show_dir(d);
}

void MainWindow::on_list_activated(const QModelIndex& index) {
    if (busy_ || !index.isValid()) return;
    if (list_->model() == files_) {
        const std::uint32_t ref = files_->object_at(index.row());
        if (is_dir_object(ref)) show_dir(object_index(ref));
        return;
    }
    if (list_->model() == media_) {
        load_medium_at(media_->position_at(index.row()));
        return;
    }
    if (list_->model() == hits_) cmd_show_hit();
}

void MainWindow::on_header_clicked(int column) {
    if (busy_) return;
    if (list_->model() == files_)
        files_->sort_clicked(column);
    else if (list_->model() == favourites_)
        favourites_->sort_clicked(column);
    else if (list_->model() == hits_)
        hits_->sort_clicked(column);
    else if (list_->model() == media_)
        media_->sort_clicked(column);
}

std::vector<std::uint32_t> MainWindow::selected_objects() const {
    std::vector<std::uint32_t> out;
    const FileListModel* model = list_->model() == favourites_ ? favourites_ : files_;
    if (list_->model() != model) return out;
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    for (const QModelIndex& i : rows) out.push_back(model->object_at(i.row()));
    return out;
}

bool MainWindow::has_current_object() const {
    if (list_->hasFocus() || list_->currentIndex().isValid())
        return list_->currentIndex().isValid();
    return false;
}

std::uint32_t MainWindow::current_object() const {
    const FileListModel* model = list_->model() == favourites_ ? favourites_ : files_;
    return model->object_at(list_->currentIndex().row());
}

std::size_t MainWindow::view_memory_bytes() const {
    return tree_index_.memory_bytes() + files_->memory_bytes() + favourites_->memory_bytes();
}

QString MainWindow::status_part(int part) const {
    return part >= 0 && part < 3 ? status_[part]->text() : QString();
}

// ---- session events ----

void MainWindow::on_catalog_replaced() {
    tree_index_.build(ctx_.catalog);
    count_marked();
    dirs_->reload();
    current_dir_ = 0;
    tree_->expandToDepth(0);
    show_dir(0);
    if (current_tab() == FavouritesTab) refresh_favourites();
    refresh_media_combo();
}

void MainWindow::on_catalog_changed() {
    tree_index_.build(ctx_.catalog);
    count_marked();
    dirs_->reload();
    tree_->expandToDepth(0);
    show_dir(current_dir_ < tree_index_.dir_count() ? current_dir_ : 0);
    if (current_tab() == FavouritesTab) refresh_favourites();
}

void MainWindow::on_media_changed() {
    refresh_media_combo();
    if (current_tab() == MediaTab) refresh_media_list();
}

void MainWindow::on_categories_changed() {
    categories_->reload();
    tree_->expandToDepth(0);
    refresh_media_combo();
}

void MainWindow::on_hits_changed() {
    if (ctx_.search.hits.empty())
        hits_->clear();
    else
        hits_->flush();
    refresh_status_counts();
}

void MainWindow::on_long_operation(bool running) {
    busy_ = running;
    if (running && ctx_.scan.scanning) {
        // A scan empties and refills the Catalog: the views let go of it
        // until the scan ends.
        tree_index_ = CatalogTree();
        dirs_->reload();
        files_->clear();
        favourites_->clear();
        current_dir_ = 0;
    }
    if (!running && close_after_operation_) {
        close_after_operation_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
    for (auto& [id, a] : actions_) a->setEnabled(!running);
    media_combo_->setEnabled(!running);
    search_combo_->setEnabled(!running);
    if (!running) hits_->flush();
}

void MainWindow::on_status(int part, const QString& text) {
    if (part >= 0 && part < 3) status_[part]->setText(text);
}

void MainWindow::on_title(const QString& text) {
    setWindowTitle(text);
}

void MainWindow::on_window_action(WindowAction action) {
    switch (action) {
        case WindowAction::Minimize:
            showMinimized();
            break;
        case WindowAction::Hide:
            hide();
            break;
        case WindowAction::Restore:
            showNormal();
            break;
    }
}

}  // namespace orbisto::gui
