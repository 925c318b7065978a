#include "app/ActionTable.h"

namespace vs {

const std::array<ActionSpec, kActionCount>& ActionTable() {
    static const std::array<ActionSpec, kActionCount> table = {{
        {"pDeleteFolder", "Folder", "Delete", "", ""},
        {"RenameWinFolder", "Win", "Rename", "", ""},
        {"pDeleteFiles", "File", "Delete", "Ctrl+Del", ""},
        {"pRenameFile", "File", "Rename", "Ctrl+R", ""},
        {"CopyToClip", "File", "Copy", "Ctrl+C", ""},
        {"CutToClip", "File", "Cut", "Ctrl+X", ""},
        {"PasteFromClip", "File", "Paste", "Ctrl+V", ""},
        {"pRenameFolder", "Folder", "Rename", "", ""},
        {"SelectAll", "File", "Select all", "Ctrl+A", ""},
        {"pRefreshFiles", "File", "Refresh", "F5", ""},
        {"pRefreshFolder", "Folder", "Refresh", "F5", ""},
        {"DeleteWinFolder", "Win", "Delete", "", ""},
        {"RefreshWinFolder", "Win", "Refresh", "F5", ""},
        {"pNewFolder", "Folder", "Create new folder", "", ""},
        {"PlayAudio", "xf", "Play Audio", "Ctrl+P", ""},
        {"RecordAudio", "xf", "Record Audio", "Ctrl+R", ""},
        {"AutoSize", "View", "Auto Size", "", ""},
        {"FullSize", "View", "Full Size", "", ""},
        {"Size2_1", "View", "1/2 Size", "", ""},
        {"Size4_1", "View", "1/4 Size", "", ""},
        {"Size8_1", "View", "1/8 Size", "", ""},
        {"Setting", "Setting", "Setting", "", ""},
        {"SetWallpaper", "Setting", "Set Wallpaper", "", ""},
        {"PrevPage", "xf", "Prev Page", "", "Prev Page"},
        {"NextPage", "xf", "Next Page", "", "Next Page"},
        {"XfAutoPlay", "xf", "AutoPlay", "", "AutoPlay"},
        {"About", "", "About", "", ""},
        {"Exit", "File", "E&xit", "", ""},
        {"TxtCopy", "", "Copy", "", "Copy to Clipboard"},
        {"TxtSelectAll", "", "Select All", "", "Select All"},
        {"TxtSize8", "", "Best Small", "", ""},
        {"TxtSize10", "", "Small", "", ""},
        {"TxtSize12", "", "Normal", "", ""},
        {"TxtSize16", "", "Big", "", ""},
        {"TxtSize24", "", "Best Big", "", ""},
        {"MediaPlay", "avi", "MediaPlay", "", ""},
        {"MediaPause", "avi", "MediaPause", "", ""},
        {"MediaStop", "avi", "MediaStop", "", ""},
        {"Speed_1", "avi", "1 X", "", ""},
        {"Speed_05", "avi", "0.5 X", "", ""},
        {"Speed_2", "avi", "2 X", "", ""},
    }};
    return table;
}

const std::array<MenuSpec, kMenuCount>& PopupMenus() {
    static const std::array<MenuSpec, kMenuCount> menus = {{
        {"GridMenu",
         {{{"CutToClip"}, {"CopyToClip"}, {"PasteFromClip"}, {"-"}, {"SelectAll"}, {"pRefreshFiles"}, {"-"},
           {"pRenameFile"}, {"pDeleteFiles"}}},
         9},
        {"LibraryMenu", {{{"pNewFolder"}, {"pDeleteFolder"}, {"pRenameFolder"}, {"-"}, {"pRefreshFolder"}}}, 5},
        {"DirectoryMenu", {{{"DeleteWinFolder"}, {"RenameWinFolder"}, {"-"}, {"RefreshWinFolder"}}}, 4},
        {"ContentMenu",
         {{{"AutoSize"}, {"FullSize"}, {"Size2_1"}, {"Size4_1"}, {"Size8_1"}, {"-"}, {"", "Speed", 3}, {"Speed_05"},
           {"Speed_1"}, {"Speed_2"}}},
         10},
        {"ImageMenu", {{{"AutoSize"}, {"FullSize"}, {"Size2_1"}, {"Size4_1"}, {"Size8_1"}, {"-"}, {"SetWallpaper"}}}, 7},
        {"TextMenu",
         {{{"TxtCopy"}, {"", "Font Size", 5}, {"TxtSize24"}, {"TxtSize16"}, {"TxtSize12"}, {"TxtSize10"}, {"TxtSize8"},
           {"-"}, {"TxtSelectAll"}}},
         9},
    }};
    return menus;
}

}  // namespace vs
