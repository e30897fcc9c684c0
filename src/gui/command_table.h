// The window's commands as data: id, German and English text, shortcut and
// where they appear. One table builds the main menu, the context menus and
// the shortcuts, so the lists are checked in one place and a test can walk
// them all.
#pragma once

#include <span>
#include <vector>

namespace orbisto::gui {

// The main menu a command is listed in (None: a key or context menu only).
enum class MenuGroup { None, File, View, Options, Help };

struct CommandDef {
    int id;
    const char* de;  // menu text with "&" and "\t" + key text as shown
    const char* en;
    const char* key;  // QKeySequence text, or "" for none
    MenuGroup menu;
    bool checkable;
    bool separator_before;
};

// Command ids.
enum CommandId : int {
    kCmdDeleteWithoutComment = 100,
    kCmdRemoveSelection = 101,
    kCmdDeleteSelection = 102,
    kCmdMediumInfo = 105,
    kCmdDeleteMedium = 109,
    kCmdNewMedium = 110,
    kCmdOnlyWithComment = 111,
    kCmdFolderStructure = 112,
    kCmdFocusNext = 113,
    kCmdSaveMedium = 114,
    kCmdScanPath = 117,
    kCmdColumnsMaxComment = 118,
    kCmdColumnsDefault = 119,
    kCmdUpdateMedium = 120,
    kCmdIdentify = 121,
    kCmdUpdatePath = 122,
    kCmdShowCrc = 126,
    kCmdFont = 127,
    kCmdNegativeList = 128,
    kCmdTooltips = 130,
    kCmdSaveConfigAs = 133,
    kCmdImportMedium = 134,
    kCmdExportMedium = 135,
    kCmdClipName = 136,
    kCmdClipPath = 138,
    kCmdClipFullPath = 139,
    kCmdDelete = 200,
    kCmdDirInfo = 201,
    kCmdShowHit = 204,
    kCmdHitInfo = 225,
    kCmdNewCategory = 226,
    kCmdDeleteCategory = 227,
    kCmdRenameCategory = 228,
    kCmdSameDate = 231,
    kCmdSameLength = 232,
    kCmdSameName = 233,
    kCmdInfo = 705,
    kCmdDeleteDir = 1031,
    kCmdDeleteTreeNode = 1032,
    kCmdViewReport = 1010,
    kCmdViewList = 1011,
    kCmdViewSmallIcons = 1012,
    kCmdViewLargeIcons = 1013,
    kCmdPreview = 1014,
    kCmdSubcategories = 1015,
    kCmdReloadLast = 1016,
    kCmdFileInfo = 2013,
    kCmdMark = 3003,
    kCmdUnmark = 3004,
    kCmdMarkHit = 3006,
    kCmdParent = 5009,
    kCmdPreviousMedium = 5010,
    kCmdNextMedium = 5011,
    kCmdOpenTray = 5013,
    kCmdCloseTray = 5014,
    kCmdAbout = 9900,
    kCmdKeys = 9901,
    kCmdHelpIndex = 9902,
    kCmdHelp = 9998,
    kCmdExit = 9999,
    kCmdCategoryBase = 10000,
};

// Every command of the window, in menu order.
std::span<const CommandDef> command_table();
const CommandDef* find_command(int id);

// The context menus: a file or a directory of the medium view, a hit of the
// search result, a favourite, a node of the tree. Ids of command_table; 0
// stands for a separator.
enum class ContextMenu { File, Dir, Hit, Favourite, Tree, Category };
std::vector<int> context_menu(ContextMenu which);

// The titles of the main menus.
const char* menu_title(MenuGroup group, bool english);

}  // namespace orbisto::gui
