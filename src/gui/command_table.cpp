#include "gui/command_table.h"

#include <array>

namespace orbisto::gui {

namespace {

constexpr MenuGroup F = MenuGroup::File;
constexpr MenuGroup V = MenuGroup::View;
constexpr MenuGroup O = MenuGroup::Options;
constexpr MenuGroup H = MenuGroup::Help;
constexpr MenuGroup N = MenuGroup::None;

// The search (F3), output (F12) and options (F5) sheets and the copy
// commands join this table with their sheets and the copy work.
constexpr std::array kCommands = {
    CommandDef{kCmdExportMedium, "E&xport Medium ...", "e&xport medium", "", F, false, false},
    CommandDef{kCmdImportMedium, "I&mport Medium ...", "i&mport medium", "", F, false, false},
    CommandDef{kCmdNewMedium, "&neues Medium\tF2", "&new medium\tF2", "F2", F, false, true},
    CommandDef{kCmdUpdateMedium, "&Update geladenes Medium", "&update loaded medium", "", F, false,
               false},
    CommandDef{kCmdScanPath, "&Pfad scannen\tSTRG+F2", "scan &path\tSTRG+F2", "Ctrl+F2", F, false,
               false},
    CommandDef{kCmdUpdatePath, "U&pdate Pfad", "u&pdate path", "", F, false, false},
    CommandDef{kCmdIdentify, "&Medium identifizieren\tSTRG+I", "identify &medium\tSTRG+I", "Ctrl+I",
               F, false, false},
    CommandDef{kCmdMediumInfo, "Medium-&Info\tF8", "medium-&info\tF8", "F8", F, false, true},
    CommandDef{kCmdSaveMedium, "Medium &speichern\tSTRG+S", "&save medium\tSTRG+S", "Ctrl+S", F,
               false, false},
    CommandDef{kCmdDeleteMedium, "Me&dium löschen", "de&lete medium", "", F, false, true},
    CommandDef{kCmdDeleteWithoutComment, "&ohne Kommentar löschen", "del files without &comment",
               "", F, false, false},
    CommandDef{kCmdDeleteSelection, "Selektion &löschen", "&del selection", "Del", F, false, false},
    CommandDef{kCmdSaveConfigAs, "&Konfiguration speichern unter...", "s&ave configuration as...",
               "", F, false, true},
    CommandDef{kCmdExit, "&Ende", "&exit", "", F, false, true},

    CommandDef{kCmdRemoveSelection, "Selektion &aufheben", "&remove selection", "", V, false,
               false},
    CommandDef{kCmdFont, "&Zeichensatz...", "&font...", "", V, false, false},
    CommandDef{kCmdViewLargeIcons, "&große Icon", "&large icons", "", V, true, true},
    CommandDef{kCmdViewSmallIcons, "&kleine Icon", "&small icons", "", V, true, false},
    CommandDef{kCmdViewList, "&Liste", "&list", "", V, true, false},
    CommandDef{kCmdViewReport, "&Report", "&report", "", V, true, false},
    CommandDef{kCmdColumnsDefault, "&Spalten default\tCTRL+D", "columns &default", "Ctrl+D", V,
               false, true},
    CommandDef{kCmdColumnsMaxComment, "Spalten max. &Bechreibung\tCTRL+B", "columns &max. comment",
               "Ctrl+B", V, false, false},

    CommandDef{kCmdFolderStructure, "&Ordnerstruktur\tF6", "&tree\tF6", "F6", O, true, false},
    CommandDef{kCmdOnlyWithComment, "nur mit &Kommentar\tF7", "only with &comment\tF7", "F7", O,
               true, false},
    CommandDef{kCmdReloadLast, "&letztes Medium/Kategorie laden", "&reload last medium/category",
               "", O, true, true},
    CommandDef{kCmdSubcategories, "&untergeordnete Kategorien", "&show subcategories", "", O, true,
               false},
    CommandDef{kCmdTooltips, "&Tooltips anzeigen\tCTRL+T", "&show tooltips\tCTRL+T", "Ctrl+T", O,
               true, true},
    CommandDef{kCmdPreview, "&Preview\tCTRL+P", "&preview", "Ctrl+P", O, true, false},
    CommandDef{kCmdShowCrc, "&CRC anzeigen", "s&how CRC", "", O, true, false},

    CommandDef{kCmdHelpIndex, "&Index\tF1", "&index\tF1", "F1", H, false, false},
    CommandDef{kCmdKeys, "&Tastatur", "&keys", "", H, false, false},
    CommandDef{kCmdAbout, "&Über...", "&about...", "", H, false, true},

    // Keys and context menus.
    CommandDef{kCmdParent, "übergeordnetes Verzeichnis", "parent directory", "Esc", N, false,
               false},
    CommandDef{kCmdPreviousMedium, "voriges Medium", "previous medium", "", N, false, false},
    CommandDef{kCmdNextMedium, "nächstes Medium", "next medium", "", N, false, false},
    CommandDef{kCmdOpenTray, "Laufwerk öffnen", "open drive", "Ctrl+E", N, false, false},
    CommandDef{kCmdCloseTray, "Laufwerk schließen", "close drive", "Ctrl+Z", N, false, false},
    CommandDef{kCmdFocusNext, "nächster Bereich", "next pane", "", N, false, false},
    CommandDef{kCmdInfo, "&Information\tF9", "&information\tF9", "F9", N, false, false},
    CommandDef{kCmdFileInfo, "&Info", "&info", "", N, false, false},
    CommandDef{kCmdDirInfo, "&Info", "&info", "", N, false, false},
    CommandDef{kCmdHitInfo, "&Info", "&info", "", N, false, false},
    CommandDef{kCmdShowHit, "&Anzeigen", "&show", "", N, false, false},
    CommandDef{kCmdMark, "als &Favorit markieren", "&mark as favourite", "", N, false, false},
    CommandDef{kCmdMarkHit, "als &Favorit markieren", "&mark as favourite", "", N, false, false},
    CommandDef{kCmdUnmark, "Favorit &entfernen", "&unmark favourite", "", N, false, false},
    CommandDef{kCmdClipFullPath, "Clipboard: &kompletter Pfad", "clipboard: &complete path", "", N,
               false, false},
    CommandDef{kCmdClipPath, "Clipboard: &Pfad", "clipboard: &path", "", N, false, false},
    CommandDef{kCmdClipName, "Clipboard: &Name", "clipboard: &name", "", N, false, false},
    CommandDef{kCmdSameName, "suchen: gleicher &Name", "search: same &name", "", N, false, false},
    CommandDef{kCmdSameLength, "suchen: gleiche &Länge", "search: same &length", "", N, false,
               false},
    CommandDef{kCmdSameDate, "suchen: gleiches &Datum", "search: same &date", "", N, false, false},
    CommandDef{kCmdNegativeList, "N&egativliste", "n&egative list", "", N, false, false},
    CommandDef{kCmdDelete, "&Löschen", "&delete", "", N, false, false},
    CommandDef{kCmdDeleteDir, "&Löschen", "&delete", "", N, false, false},
    CommandDef{kCmdDeleteTreeNode, "&Löschen", "&delete", "", N, false, false},
    CommandDef{kCmdHelp, "&Hilfe", "&help", "", N, false, false},
    CommandDef{kCmdNewCategory, "neue Kategorie", "new category", "", N, false, false},
    CommandDef{kCmdDeleteCategory, "Kategorie löschen", "delete category", "", N, false, false},
    CommandDef{kCmdRenameCategory, "Kategorie umbenennen", "rename category", "", N, false, false},
};

}  // namespace

std::span<const CommandDef> command_table() {
    return kCommands;
}

const CommandDef* find_command(int id) {
    for (const CommandDef& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

std::vector<int> context_menu(ContextMenu which) {
    switch (which) {
        case ContextMenu::File:
            return {kCmdFileInfo,
                    kCmdMark,
                    0,
                    kCmdClipFullPath,
                    kCmdClipPath,
                    kCmdClipName,
                    0,
                    kCmdSameName,
                    kCmdSameLength,
                    kCmdSameDate,
                    0,
                    kCmdNegativeList,
                    kCmdDeleteSelection,
                    kCmdDelete,
                    0,
                    kCmdHelp,
                    kCmdExit};
        case ContextMenu::Dir:
            return {kCmdDirInfo,
                    kCmdMark,
                    0,
                    kCmdClipFullPath,
                    kCmdClipPath,
                    kCmdClipName,
                    0,
                    kCmdNegativeList,
                    kCmdDeleteSelection,
                    kCmdDeleteDir,
                    0,
                    kCmdHelp,
                    kCmdExit};
        case ContextMenu::Hit:
            return {kCmdHitInfo,  kCmdShowHit,  kCmdMarkHit, 0,        kCmdClipFullPath,
                    kCmdClipPath, kCmdClipName, 0,           kCmdHelp, kCmdExit};
        case ContextMenu::Favourite:
            return {kCmdFileInfo, kCmdUnmark, 0, kCmdHelp, kCmdExit};
        case ContextMenu::Tree:
            return {kCmdDirInfo, kCmdMark, kCmdDeleteTreeNode, 0, kCmdHelp, kCmdExit};
        case ContextMenu::Category:
            return {kCmdNewCategory, kCmdDeleteCategory, kCmdRenameCategory};
    }
    return {};
}

const char* menu_title(MenuGroup group, bool english) {
    switch (group) {
        case MenuGroup::File:
            return english ? "&file" : "&Datei";
        case MenuGroup::View:
            return english ? "&view" : "&Ansicht";
        case MenuGroup::Options:
            return english ? "&options" : "&Optionen";
        case MenuGroup::Help:
            return english ? "&help" : "&Hilfe";
        case MenuGroup::None:
            break;
    }
    return "";
}

}  // namespace orbisto::gui
