// The window's dialogs driven for real on the offscreen platform: the drive
// dialogs, the known-medium question, the medium information sheet with its
// lending rules and category menu, the duplicate-medium dialog, the file and
// folder sheets, and the medium sheet through the window down to the file.
#include "gui/dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>
#include <cstring>

#include "catalog/catalog.h"
#include "catalog/catalog_store.h"
#include "catalog/categories.h"
#include "gui/command_table.h"
#include "gui/file_list_model.h"
#include "gui/window_home.h"

namespace orbisto {
namespace {

using gui::DialogEnv;

template <class T>
T* child(QWidget* dialog, const char* name) {
    T* w = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Types into a line edit as the user would (replacing its text).
void type_into(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void type_into(QPlainTextEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, lines[i]);
    }
}

// Chooses the entry `text` of the next pop-up menu.
void on_next_popup(const QString& text, QStringList* entries = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, text, entries] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        for (QAction* a : menu->actions()) {
            if (entries) *entries << a->text();
            if (a->text() == text) menu->setActiveAction(a);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    timer->start();
}

// Saves a picture of the dialog when ORBISTO_SCREENSHOTS names a folder.
void screenshot(QWidget* dialog, const char* name) {
    const char* dir = std::getenv("ORBISTO_SCREENSHOTS");
    if (!dir || !*dir) return;
    dialog->grab().save(
        QStringLiteral("%1/dlg-%2.png").arg(QString::fromUtf8(dir), QString::fromLatin1(name)));
}

void screenshot_tabs(QWidget* dialog, const char* name) {
    auto* tabs = dialog->findChild<QTabWidget*>();
    if (!tabs) return screenshot(dialog, name);
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        screenshot(dialog, (std::string(name) + "-" + std::to_string(i + 1)).c_str());
    }
    tabs->setCurrentIndex(0);
}

// ---- drive dialogs ----

DriveChoice scan_choice() {
    DriveChoice c;
    c.kind = DriveDialog::Scan;
    c.caption = "Neues Medium einlesen";
    c.items = {"C:\\ SYSTEM", "D:\\ HOLIDAY", "E:\\ BACKUP"};
    c.preselected = 1;
    c.pos = {120, 140};
    return c;
}

TEST(DriveDialog, ReturnsTheChosenRowAndStoresItsBoxesWhicheverButtonCloses) {
    struct Case {
        const char* button;
        int row;  // row chosen before the button
        int expected;
    };
    const Case cases[] = {{"Start", -1, 1}, {"Start", 2, 2}, {"Abbruch", 2, -1}};
    for (const Case& c : cases) {
        DriveChoice choice = scan_choice();
        QString title;
        bool preselected = false;
        test::on_next_modal([&](QWidget* d) {
            title = d->windowTitle();
            auto* list = child<QListWidget>(d, "drives");
            preselected = list->currentRow() == 1;
            if (c.row >= 0) list->setCurrentRow(c.row);
            child<QCheckBox>(d, "never_ask")->click();
            child<QCheckBox>(d, "cd_text")->click();
            d->move(300, 200);
            screenshot(d, "drive-scan");
            test::press(d, QString::fromLatin1(c.button));
        });
        EXPECT_EQ(gui::drive_dialog(nullptr, choice, DialogEnv{}), c.expected) << c.button;
        EXPECT_EQ(title, QStringLiteral("Neues Medium einlesen"));
        EXPECT_TRUE(preselected);
        EXPECT_TRUE(choice.never_ask);
        EXPECT_TRUE(choice.cd_text);
        EXPECT_EQ(choice.pos.x, 300);
        EXPECT_EQ(choice.pos.y, 200);
    }
}

TEST(DriveDialog, UpdateShowsItsWarningAndAnswersWithShowOrEscape) {
    for (const bool escape : {false, true}) {
        DriveChoice choice = scan_choice();
        choice.kind = DriveDialog::Update;
        choice.notes = {"ID of media is not unique.", "Update can destroy data. Attention!"};
        QStringList labels;
        bool has_boxes = true;
        test::on_next_modal([&](QWidget* d) {
            for (QLabel* l : d->findChildren<QLabel*>()) labels << l->text();
            has_boxes = !d->findChildren<QCheckBox*>().isEmpty();
            screenshot(d, "drive-update");
            if (escape)
                QTest::keyClick(d, Qt::Key_Escape);
            else
                test::press(d, QStringLiteral("show"));
        });
        DialogEnv env;
        env.english = true;
        EXPECT_EQ(gui::drive_dialog(nullptr, choice, env), escape ? -1 : 1);
        EXPECT_TRUE(labels.contains(QStringLiteral("Update can destroy data. Attention!")));
        EXPECT_FALSE(has_boxes);
    }
}

// ---- known medium ----

TEST(KnownMediumDialog, EachButtonGivesItsAnswerAndEscapeCancels) {
    struct Case {
        const char* button;  // nullptr: Escape
        KnownMediumChoice answer;
    };
    const Case cases[] = {{"Update", KnownMediumChoice::Update},
                          {"Neu", KnownMediumChoice::New},
                          {"Anzeigen", KnownMediumChoice::Show},
                          {"Abbruch", KnownMediumChoice::Cancel},
                          {nullptr, KnownMediumChoice::Cancel}};
    for (const Case& c : cases) {
        QString name;
        test::on_next_modal([&](QWidget* d) {
            name = child<QLabel>(d, "medium_name")->text();
            screenshot(d, "known-medium");
            if (c.button)
                EXPECT_TRUE(test::press(d, QString::fromLatin1(c.button)));
            else
                QTest::keyClick(d, Qt::Key_Escape);
        });
        EXPECT_EQ(gui::known_medium_dialog(nullptr, "Update oder nicht das ist hier die Frage",
                                           "<b>Holiday</b>", DialogEnv{}),
                  c.answer)
            << (c.button ? c.button : "Escape");
        EXPECT_EQ(name, QStringLiteral("<b>Holiday</b>"));
    }
}

// ---- medium information sheet ----

Catalog sample_catalog() {
    Catalog cat;
    set_fixed_text(cat.header.medium_name, "Holiday 2024");
    set_fixed_text(cat.header.volume_label, "HOLIDAY");
    cat.header.volume_serial = 0x1234ABCD;
    set_fixed_text(cat.info.manufacturer, "Acme");
    set_fixed_text(cat.info.place, "Shelf 3");
    // Texts left from an earlier loan of a medium that is back.
    set_fixed_text(cat.info.lent_to, "Anna");
    cat.set_description("line one\r\nline two");
    cat.set_changed(false);
    return cat;
}

bool same_catalog(const Catalog& a, const Catalog& b) {
    return std::memcmp(&a.header, &b.header, sizeof a.header) == 0 &&
           std::memcmp(&a.info, &b.info, sizeof a.info) == 0 &&
           a.description() == b.description() && a.changed() == b.changed();
}

TEST(MediumSheet, EditsNameDescriptionInfoAndLendingOnOk) {
    Catalog cat = sample_catalog();
    QStringList offered;
    test::on_next_modal([&](QWidget* d) {
        screenshot_tabs(d, "medium-sheet");
        type_into(child<QLineEdit>(d, "medium_name"), QStringLiteral("Urlaub"));
        type_into(child<QPlainTextEdit>(d, "description"), QStringLiteral("first\nsecond"));
        type_into(child<QLineEdit>(d, "supplier"), QStringLiteral("Shop"));
        child<QCheckBox>(d, "lent")->click();
        type_into(child<QLineEdit>(d, "lent_to"), QStringLiteral("Bernd"));
        type_into(child<QLineEdit>(d, "lent_until"), QStringLiteral("31.12."));
        test::press(d, QStringLiteral("OK"));
    });
    const auto offers = [&](std::string_view name) {
        offered << QString::fromUtf8(name.data(), name.size());
    };
    EXPECT_TRUE(gui::medium_sheet(nullptr, cat, "CD-Informationen", offers, DialogEnv{}));
    EXPECT_EQ(fixed_text(cat.header.medium_name), "Urlaub");
    EXPECT_GE(offered.size(), 6);  // one call per edit
    EXPECT_EQ(offered.back(), QStringLiteral("Urlaub"));
    EXPECT_EQ(cat.description(), "first\r\nsecond");
    EXPECT_EQ(fixed_text(cat.info.manufacturer), "Acme");
    EXPECT_EQ(fixed_text(cat.info.supplier), "Shop");
    EXPECT_EQ(fixed_text(cat.info.lent_to), "Bernd");
    EXPECT_EQ(fixed_text(cat.info.lent_until), "31.12.");
    EXPECT_EQ(fixed_text(cat.info.place), "Shelf 3");
    EXPECT_TRUE(cat.header.medium_flags & MEDIUM_LENT);
    EXPECT_EQ(cat.info.description_length, cat.description().size());
    EXPECT_TRUE(cat.changed());
}

TEST(MediumSheet, CancelLeavesTheCatalogAsItWas) {
    Catalog cat = sample_catalog();
    const Catalog before = cat;
    test::on_next_modal([&](QWidget* d) {
        type_into(child<QLineEdit>(d, "medium_name"), QStringLiteral("Other"));
        type_into(child<QPlainTextEdit>(d, "description"), QStringLiteral("gone"));
        child<QCheckBox>(d, "lent")->click();
        type_into(child<QLineEdit>(d, "price"), QStringLiteral("9,99"));
        test::press(d, QStringLiteral("Abbrechen"));
    });
    // The offers may file the medium while the sheet is open; a cancel undoes it.
    const auto offers = [&](std::string_view) { cat.header.category = 3; };
    EXPECT_FALSE(gui::medium_sheet(nullptr, cat, "CD-Informationen", offers, DialogEnv{}));
    EXPECT_TRUE(same_catalog(cat, before));
}

TEST(MediumSheet, OkWithoutEditsChangesNothing) {
    Catalog cat = sample_catalog();
    // A lent medium keeps its lending texts when nothing is edited.
    cat.header.medium_flags |= MEDIUM_LENT;
    const Catalog before = cat;
    test::on_next_modal([&](QWidget* d) { test::press(d, QStringLiteral("OK")); });
    EXPECT_TRUE(gui::medium_sheet(nullptr, cat, "x", {}, DialogEnv{}));
    EXPECT_TRUE(same_catalog(cat, before));
}

TEST(MediumSheet, PlacePageEnablesLendingOnlyWhileLentAndEmptiesItWhenSwitchedOff) {
    struct Case {
        bool lent;        // the medium is lent when the sheet opens
        bool toggle;      // the box is clicked
        bool lent_after;  // MEDIUM_LENT afterwards
        const char* to;   // "an:" afterwards
    };
    const Case cases[] = {{false, false, false, ""},
                          {true, false, true, "Anna"},
                          {true, true, false, ""},
                          {false, true, true, ""}};
    for (const Case& c : cases) {
        Catalog cat = sample_catalog();
        if (c.lent) cat.header.medium_flags |= MEDIUM_LENT;
        bool enabled_at_open = false, enabled_after = false;
        QString to_at_open;
        test::on_next_modal([&](QWidget* d) {
            auto* to = child<QLineEdit>(d, "lent_to");
            enabled_at_open = to->isEnabled();
            to_at_open = to->text();
            if (c.toggle) child<QCheckBox>(d, "lent")->click();
            enabled_after = to->isEnabled() && child<QLineEdit>(d, "lent_until")->isEnabled();
            test::press(d, QStringLiteral("OK"));
        });
        EXPECT_TRUE(gui::medium_sheet(nullptr, cat, "x", {}, DialogEnv{}));
        EXPECT_EQ(enabled_at_open, c.lent);
        EXPECT_EQ(to_at_open, c.lent ? QStringLiteral("Anna") : QString());
        EXPECT_EQ(enabled_after, c.lent_after);
        EXPECT_EQ((cat.header.medium_flags & MEDIUM_LENT) != 0, c.lent_after);
        EXPECT_EQ(fixed_text(cat.info.lent_to), c.to);
    }
}

TEST(MediumSheet, ChangerButtonsOnlyWithTheChangerAndADacalPlace) {
    struct Case {
        bool changer;
        const char* place;
        bool shown;
    };
    const Case cases[] = {{false, "DACAL-07", false},
                          {true, "DACAL-07", true},
                          {true, "DACAL", false},
                          {true, "xDACAL-07", false},
                          {true, "Shelf 3", false}};
    for (const Case& c : cases) {
        Catalog cat = sample_catalog();
        bool shown = false;
        test::on_next_modal([&](QWidget* d) {
            type_into(child<QLineEdit>(d, "place"), QString::fromLatin1(c.place));
            shown = !child<QPushButton>(d, "changer_load")->isHidden() &&
                    !child<QPushButton>(d, "changer_unload")->isHidden();
            test::press(d, QStringLiteral("Abbrechen"));
        });
        DialogEnv env;
        if (c.changer) env.changer = [](bool) {};
        gui::medium_sheet(nullptr, cat, "x", {}, env);
        EXPECT_EQ(shown, c.shown) << c.place;
    }
}

TEST(MediumSheet, FieldsAreCutToTheirStoredSizes) {
    Catalog cat = sample_catalog();
    const std::string long_text(300, 'x');
    test::on_next_modal([&](QWidget* d) {
        child<QCheckBox>(d, "lent")->click();
        for (const char* name : {"medium_name", "price", "lent_to", "lent_from", "place"}) {
            auto* edit = child<QLineEdit>(d, name);
            edit->setText(QString::fromStdString(long_text));
            edit->setModified(true);
        }
        test::press(d, QStringLiteral("OK"));
    });
    EXPECT_TRUE(gui::medium_sheet(nullptr, cat, "x", {}, DialogEnv{}));
    EXPECT_EQ(fixed_text(cat.header.medium_name).size(), 57u);
    EXPECT_EQ(fixed_text(cat.info.price).size(), 33u);
    EXPECT_EQ(fixed_text(cat.info.lent_to).size(), 255u);
    EXPECT_EQ(fixed_text(cat.info.lent_from).size(), 31u);
    EXPECT_EQ(fixed_text(cat.info.place).size(), 63u);
}

TEST(MediumSheet, CategoryMenuListsAllCategoriesAndFilesTheMedium) {
    CategoryTable table;
    const int music = table.add("Musik", 0);
    const int rock = table.add("Rock", music);
    ASSERT_GE(rock, 0);
    for (const bool through_window : {false, true}) {
        Catalog cat = sample_catalog();
        QStringList entries;
        QString shown;
        std::vector<int> chosen;
        test::on_next_modal([&](QWidget* d) {
            on_next_popup(QStringLiteral("Musik-Rock"), &entries);
            child<QPushButton>(d, "change_category")->click();
            shown = child<QLabel>(d, "category")->text();
            test::press(d, QStringLiteral("Abbrechen"));
        });
        DialogEnv env;
        env.categories = &table;
        if (through_window)
            env.category_chosen = [&](int n) {
                chosen.push_back(n);
                cat.header.category = static_cast<std::uint32_t>(n);
            };
        EXPECT_FALSE(gui::medium_sheet(nullptr, cat, "x", {}, env));
        EXPECT_EQ(entries.join(QLatin1Char('|')).toStdString(),
                  table.name(0) + "|" + table.name(1) + "|Musik|Musik-Rock");
        EXPECT_EQ(shown, QStringLiteral("Musik-Rock"));
        if (through_window) {
            // The window moved the medium at once: a cancel keeps that move.
            EXPECT_EQ(chosen, std::vector<int>{rock});
            EXPECT_EQ(cat.header.category, static_cast<std::uint32_t>(rock));
        } else {
            EXPECT_EQ(cat.header.category, 0u);
        }
    }
    // Without a window the sheet files the medium itself when it is confirmed.
    Catalog cat = sample_catalog();
    test::on_next_modal([&](QWidget* d) {
        on_next_popup(QStringLiteral("Musik"));
        child<QPushButton>(d, "change_category")->click();
        test::press(d, QStringLiteral("OK"));
    });
    DialogEnv env;
    env.categories = &table;
    EXPECT_TRUE(gui::medium_sheet(nullptr, cat, "x", {}, env));
    EXPECT_EQ(cat.header.category, static_cast<std::uint32_t>(music));
    EXPECT_TRUE(cat.changed());
}

// ---- duplicate medium ----

DuplicateMediumPair sample_pair() {
    DuplicateMediumPair p;
    p.caption = "doppeltes Medium";
    p.first_name = "Holiday";
    p.second_name = "Holiday copy";
    p.first_date = "01.02.2024  10:00";
    p.second_date = "Fehler";
    p.pos = {50, 60};
    return p;
}

TEST(DuplicateMediumDialog, ShowCallsBackAndStaysOpenOtherButtonsAnswer) {
    DuplicateMediumPair pair = sample_pair();
    std::vector<PairMember> shown;
    bool open_after_show = false;
    QString tip;
    test::on_next_modal([&](QWidget* d) {
        screenshot(d, "duplicate-medium");
        child<QPushButton>(d, "first_show")->click();
        child<QPushButton>(d, "second_show")->click();
        QApplication::processEvents();
        open_after_show = d->isVisible();
        tip = child<QPushButton>(d, "first_update")->toolTip();
        d->move(200, 210);
        test::press(d, QStringLiteral("Weiter"));
    });
    EXPECT_EQ(gui::duplicate_medium_dialog(
                  nullptr, pair, [&](PairMember m) { shown.push_back(m); }, DialogEnv{}),
              DuplicateMediumAnswer::Next);
    EXPECT_EQ(shown, (std::vector<PairMember>{PairMember::First, PairMember::Second}));
    EXPECT_TRUE(open_after_show);
    EXPECT_EQ(tip, QStringLiteral("1. Doublette mit Kommentaren der 2. Doublette aktualisieren"));
    EXPECT_EQ(pair.pos.x, 200);
    EXPECT_EQ(pair.pos.y, 210);

    struct Case {
        const char* button;  // nullptr: Escape
        DuplicateMediumAnswer answer;
    };
    const Case cases[] = {{"first_delete", DuplicateMediumAnswer::DeleteFirst},
                          {"second_delete", DuplicateMediumAnswer::DeleteSecond},
                          {"first_update", DuplicateMediumAnswer::TakeIntoFirst},
                          {"second_update", DuplicateMediumAnswer::TakeIntoSecond},
                          {"abort", DuplicateMediumAnswer::Stop},
                          {nullptr, DuplicateMediumAnswer::Stop}};
    for (const Case& c : cases) {
        test::on_next_modal([&](QWidget* d) {
            if (c.button)
                child<QPushButton>(d, c.button)->click();
            else
                QTest::keyClick(d, Qt::Key_Escape);
        });
        EXPECT_EQ(gui::duplicate_medium_dialog(nullptr, pair, {}, DialogEnv{}), c.answer)
            << (c.button ? c.button : "Escape");
    }
}

// ---- file and folder sheets ----

std::vector<std::uint8_t> jpeg_bytes() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// A folder "docs" with a file carrying a checksum and a thumbnail, and a
// file whose comment looks like HTML.
Catalog files_catalog() {
    Catalog cat;
    DirRecord d;
    d.name = cat.append_name("docs").value;
    d.parent = 0;
    d.comment = cat.append_comment("the folder").value;
    EXPECT_TRUE(cat.append_dir(d).ok());
    FileRecord f;
    f.name = cat.append_name("photo.jpg").value;
    f.parent = 1;
    f.size_kb = 12.5f;
    f.time.set(133500000000000000ull);  // 2024
    f.flags = FLAG_CRC;
    f.comment = cat.append_comment("CRC:1234ABCD old words").value;
    f.thumbnail = cat.append_image(jpeg_bytes()).value;
    EXPECT_TRUE(cat.append_file(f).ok());
    FileRecord g;
    g.name = cat.append_name("page.html").value;
    g.parent = 1;
    g.comment = cat.append_comment("<b>bold</b> <img src=x>").value;
    EXPECT_TRUE(cat.append_file(g).ok());
    cat.set_changed(false);
    return cat;
}

TEST(ObjectSheet, EditedCommentIsStoredKeepingTheChecksumAndSetsTheChangedFlag) {
    struct Case {
        std::uint32_t object;
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {{0, "new <i>words</i>", "CRC:1234ABCD new <i>words</i>"},
                          {0, "", "CRC:1234ABCD"},
                          {1, "", ""},
                          {dir_object(1), "line1\nline2", "line1\r\nline2"}};
    for (const Case& c : cases) {
        Catalog cat = files_catalog();
        QString before;
        test::on_next_modal([&](QWidget* d) {
            auto* comment = child<QPlainTextEdit>(d, "comment");
            before = comment->toPlainText();
            type_into(comment, QString::fromUtf8(c.typed));
            test::press(d, QStringLiteral("OK"));
        });
        EXPECT_TRUE(gui::object_sheet(nullptr, cat, c.object, DialogEnv{}));
        EXPECT_TRUE(cat.changed());
        const std::string_view stored = is_dir_object(c.object)
                                            ? cat.dir_comment(object_index(c.object))
                                            : cat.file_comment(c.object);
        EXPECT_EQ(stored, c.stored);
        if (c.object == 0) {
            EXPECT_EQ(before, QStringLiteral("old words"));
        }
        if (c.object == 1) {
            EXPECT_EQ(cat.files()[1].comment, COMMENT_NONE);
        }
    }
}

TEST(ObjectSheet, CancelOrNoEditChangesNothingAndHtmlShowsAsText) {
    for (const bool cancel : {true, false}) {
        Catalog cat = files_catalog();
        const std::vector<std::uint8_t> comments(cat.comment_bytes().begin(),
                                                 cat.comment_bytes().end());
        QString shown;
        QStringList formats;
        int pages = 0;
        test::on_next_modal([&](QWidget* d) {
            auto* comment = child<QPlainTextEdit>(d, "comment");
            shown = comment->toPlainText();
            for (QLabel* l : d->findChildren<QLabel*>())
                if (!l->objectName().isEmpty() && l->textFormat() != Qt::PlainText)
                    formats << l->objectName();
            pages = d->findChild<QTabWidget*>()->count();
            screenshot_tabs(d, "file-sheet-html");
            if (cancel) type_into(comment, QStringLiteral("dropped"));
            test::press(d, cancel ? QStringLiteral("Abbrechen") : QStringLiteral("OK"));
        });
        EXPECT_FALSE(gui::object_sheet(nullptr, cat, 1, DialogEnv{}));
        EXPECT_EQ(shown, QStringLiteral("<b>bold</b> <img src=x>"));
        EXPECT_TRUE(formats.isEmpty()) << formats.join(QLatin1Char(',')).toStdString();
        EXPECT_EQ(pages, 3);
        EXPECT_FALSE(cat.changed());
        EXPECT_TRUE(std::equal(comments.begin(), comments.end(), cat.comment_bytes().begin(),
                               cat.comment_bytes().end()));
    }
}

TEST(ObjectSheet, FileShowsItsThumbnailAndFolderHasTwoPages) {
    Catalog cat = files_catalog();
    bool picture = false;
    QString crc;
    test::on_next_modal([&](QWidget* d) {
        screenshot_tabs(d, "file-sheet");
        auto* label = child<QLabel>(d, "picture");
        picture = !label->pixmap().isNull() && label->pixmap().width() == 40;
        crc = child<QLabel>(d, "crc")->text();
        test::press(d, QStringLiteral("OK"));
    });
    EXPECT_FALSE(gui::object_sheet(nullptr, cat, 0, DialogEnv{}));
    EXPECT_TRUE(picture);
    EXPECT_EQ(crc, QStringLiteral("1234ABCD"));

    QStringList tabs;
    QString files;
    test::on_next_modal([&](QWidget* d) {
        screenshot_tabs(d, "folder-sheet");
        auto* t = d->findChild<QTabWidget*>();
        for (int i = 0; i < t->count(); ++i) tabs << t->tabText(i);
        files = child<QLabel>(d, "file_count")->text();
        test::press(d, QStringLiteral("Cancel"));
    });
    DialogEnv env;
    env.english = true;
    EXPECT_FALSE(gui::object_sheet(nullptr, cat, dir_object(1), env));
    EXPECT_EQ(tabs.join(QLatin1Char(',')), QStringLiteral("data,description"));
    EXPECT_EQ(files, QStringLiteral("2"));
    // An object that is not in the Catalog opens nothing.
    EXPECT_FALSE(gui::object_sheet(nullptr, cat, 7, env));
    EXPECT_FALSE(gui::object_sheet(nullptr, cat, dir_object(9), env));
}

// ---- through the window ----

TEST(MediumSheetInWindow, EditedNameIsInTheCatalogueFileAfterSaving) {
    test::WindowHome h;
    h.put("disc/a.txt", "a");
    const int n = h.scan("disc", "Holiday");
    ASSERT_EQ(n, 0);
    gui::MainWindow& w = h.open();
    ASSERT_EQ(h.ctx->catalog.current_number(), 0);
    QString statistics_file;
    test::on_next_modal([&](QWidget* d) {
        statistics_file = child<QLabel>(d, "file_name")->text();
        type_into(child<QLineEdit>(d, "medium_name"), QStringLiteral("Urlaub am Meer"));
        test::press(d, QStringLiteral("OK"));
    });
    w.run_command(gui::kCmdMediumInfo);
    EXPECT_TRUE(statistics_file.endsWith(QStringLiteral("/0.cd")));
    EXPECT_TRUE(h.ctx->catalog.changed());
    w.run_command(gui::kCmdSaveMedium);
    EXPECT_FALSE(h.ctx->catalog.changed());
    MediumHeader stored;
    ASSERT_EQ(ReadCatalogHeader(*h.ctx, 0, stored), 1);
    EXPECT_EQ(fixed_text(stored.medium_name), "Urlaub am Meer");
}

TEST(ObjectSheetInWindow, F9EditsTheCommentOfTheCurrentFileAndTheListShowsIt) {
    test::WindowHome h;
    h.put("disc/a.txt", "a");
    ASSERT_EQ(h.scan("disc", "Holiday"), 0);
    gui::MainWindow& w = h.open();
    gui::FileListModel* files = w.file_model();
    w.show_dir(object_index(files->object_at(0)));
    ASSERT_EQ(files->rows(), 1);
    w.list_view()->setCurrentIndex(files->index(0, 0));
    QString title;
    test::on_next_modal([&](QWidget* d) {
        title = d->windowTitle();
        type_into(child<QPlainTextEdit>(d, "comment"), QStringLiteral("<i>read me</i>"));
        test::press(d, QStringLiteral("OK"));
    });
    w.run_command(gui::kCmdInfo);
    EXPECT_EQ(title, QStringLiteral("Dateiinformation"));
    EXPECT_TRUE(h.ctx->catalog.changed());
    EXPECT_EQ(h.ctx->catalog.file_comment(0), "<i>read me</i>");
    EXPECT_EQ(files->index(0, gui::FileListModel::Description).data().toString(),
              QStringLiteral("<i>read me</i>"));
}

}  // namespace
}  // namespace orbisto
