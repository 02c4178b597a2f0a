// The items of the "Tools" and "Poi" drop-downs and the menu-bar buttons, with the rules for
// their check marks and gray states. No widgets: the menu bar is built from this table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct FrameState;

enum class MenuId { Tools, Poi };

struct MenuItem {
    int id;                 // 0: a separator
    std::string_view text;
    MenuId menu;
    // The command's work exists in this program; items whose work comes later stay grayed.
    bool available;
};

// Both drop-downs, in menu order.
const std::vector<MenuItem>& menuItems();
const MenuItem* findMenuItem(int id);

struct ButtonItem {
    int id;                 // 0: a gap
    std::string_view text;
    std::string_view tip;   // what the help dialog says of it
};

// The 11 menu-bar buttons, gaps included.
const std::vector<ButtonItem>& menuBarButtons();

struct ItemState {
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
};

// The state an item shows for the frame state (read under the state mutex).
ItemState itemState(const MenuItem& item, const FrameState& frame);

// "COM1".."COM8" for 40052..40059 and the port name "COM1:".."COM8:" they select.
bool isComCommand(int id);
std::string comPortName(int id);

}  // namespace vexa
