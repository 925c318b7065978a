#pragma once

#include <array>
#include <string_view>

namespace vs {

// One user command of the main window. Menus and buttons share these by name.
struct ActionSpec {
    std::string_view name;
    std::string_view category;
    std::string_view caption;
    std::string_view shortcut;  // portable key text ("Ctrl+R"), empty for none
    std::string_view hint;
};

inline constexpr int kActionCount = 41;

// Every action, in the order shortcuts are resolved when no pop-up menu takes the key.
const std::array<ActionSpec, kActionCount>& ActionTable();

// A pop-up menu item: an action name, "-" for a separator, or a sub-menu with a caption.
struct MenuItemSpec {
    std::string_view action;                  // action name, or "-"
    std::string_view subMenuCaption = {};     // non-empty: a sub-menu of the next items
    int subMenuItems = 0;                     // how many of the following items it holds
};

struct MenuSpec {
    std::string_view name;
    std::array<MenuItemSpec, 10> items;
    int count;
};

enum MenuId { kGridMenu, kLibraryMenu, kDirectoryMenu, kContentMenu, kImageMenu, kTextMenu, kMenuCount };

const std::array<MenuSpec, kMenuCount>& PopupMenus();

}  // namespace vs
